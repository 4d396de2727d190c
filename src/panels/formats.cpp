#include "panels/formats.hpp"

#include <cctype>
#include <cstdio>

#include "panels/texts.hpp"

namespace orva::panels {
namespace {

std::string_view trimmed(std::string_view t) {
  while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front())) != 0) t.remove_prefix(1);
  while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back())) != 0) t.remove_suffix(1);
  return t;
}

std::optional<std::uint32_t> digits(std::string_view t, unsigned base, std::size_t most) {
  if (t.empty() || t.size() > most) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : t) {
    unsigned d = 0;
    if (c >= '0' && c <= '9') d = static_cast<unsigned>(c - '0');
    else if (base == 16 && c >= 'A' && c <= 'F') d = static_cast<unsigned>(c - 'A' + 10);
    else if (base == 16 && c >= 'a' && c <= 'f') d = static_cast<unsigned>(c - 'a' + 10);
    else return std::nullopt;
    v = v * base + d;
  }
  if (v > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<std::uint32_t>(v);
}

std::optional<std::uint32_t> tenths(std::string_view t) {
  const auto point = t.find('.');
  const auto whole = digits(t.substr(0, point), 10, 8);
  if (!whole) return std::nullopt;
  std::uint32_t fraction = 0;
  if (point != std::string_view::npos) {
    const auto rest = t.substr(point + 1);
    if (!rest.empty()) {
      if (!digits(rest, 10, 8)) return std::nullopt;
      fraction = static_cast<std::uint32_t>(rest.front() - '0');
    }
  }
  return *whole * 10u + fraction;
}

std::string caption(std::string_view pattern, std::string_view seconds) {
  const auto at = pattern.find("%s");
  std::string out(pattern.substr(0, at));
  out += seconds;
  out += pattern.substr(at + 2);
  return out;
}

}  // namespace

std::string formatValue(Format format, std::uint32_t value) {
  char buffer[24];
  switch (format) {
    case Format::Hex1: std::snprintf(buffer, sizeof buffer, "%01X", value); break;
    case Format::Hex2: std::snprintf(buffer, sizeof buffer, "%02X", value); break;
    case Format::Hex4: std::snprintf(buffer, sizeof buffer, "%04X", value); break;
    case Format::Hex6: std::snprintf(buffer, sizeof buffer, "%06X", value); break;
    case Format::Hex8: std::snprintf(buffer, sizeof buffer, "%08X", value); break;
    case Format::Tenths: std::snprintf(buffer, sizeof buffer, "%1u.%1u", value / 10u, value % 10u); break;
    case Format::Decimal: std::snprintf(buffer, sizeof buffer, "%u", value); break;
    case Format::Decimal2: std::snprintf(buffer, sizeof buffer, "%2u", value); break;
  }
  return buffer;
}

std::optional<std::uint32_t> parseEntry(Format format, std::string_view text) {
  const auto t = trimmed(text);
  switch (format) {
    case Format::Hex1: return digits(t, 16, 1);
    case Format::Hex2: return digits(t, 16, 2);
    case Format::Hex4: return digits(t, 16, 4);
    case Format::Hex6: return digits(t, 16, 6);
    case Format::Hex8: return digits(t, 16, 8);
    case Format::Tenths: return tenths(t);
    case Format::Decimal: return digits(t, 10, 10);
    case Format::Decimal2: return digits(t, 10, 2);
  }
  return std::nullopt;
}

std::string headingText(std::string_view title) {
  std::string out("<< ");
  out += title;
  out += " >>";
  return out;
}

std::string highSpeedCaption(std::string_view seconds) { return caption(texts::kHighSpeedCaption, seconds); }
std::string normalSpeedCaption(std::string_view seconds) { return caption(texts::kNormalSpeedCaption, seconds); }

}  // namespace orva::panels
