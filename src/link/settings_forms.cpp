#include "link/settings_forms.hpp"

#include <cctype>

namespace orva::link {
namespace {

std::string squeeze(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == ' ') continue;
    out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return out;
}

}  // namespace

std::optional<SettingsForm> findSettingsForm(std::string_view text) {
  for (const auto& f : kSettingsForms)
    if (f.text == text) return f;
  return std::nullopt;
}

std::optional<SettingsForm> parseSettingsText(std::string_view text) {
  if (auto exact = findSettingsForm(text)) return exact;
  const std::string wanted = squeeze(text);
  for (const auto& f : kSettingsForms)
    if (squeeze(f.text) == wanted) return f;
  return std::nullopt;
}

}  // namespace orva::link
