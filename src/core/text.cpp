#include "core/text.hpp"

namespace orva::core {

std::optional<std::uint32_t> parseHex(std::string_view text, std::size_t maxDigits) {
  if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
  if (text.empty() || text.size() > maxDigits || maxDigits > 8) return std::nullopt;
  std::uint32_t v = 0;
  for (char c : text) {
    std::uint32_t d;
    if (c >= '0' && c <= '9') d = static_cast<std::uint32_t>(c - '0');
    else if (c >= 'a' && c <= 'f') d = static_cast<std::uint32_t>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') d = static_cast<std::uint32_t>(c - 'A' + 10);
    else return std::nullopt;
    v = v * 16 + d;
  }
  return v;
}

}  // namespace orva::core
