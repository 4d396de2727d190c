#include "core/text.hpp"

namespace orva::core {

std::optional<std::uint32_t> parseHex(std::string_view text, std::size_t maxDigits) {
  if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
  if (text.empty() || text.size() > maxDigits || maxDigits > 8) return std::nullopt;
  std::uint32_t v = 0;
  for (char c : text) {
    auto d = hexDigit(c);
    if (!d) return std::nullopt;
    v = v * 16 + *d;
  }
  return v;
}

}  // namespace orva::core
