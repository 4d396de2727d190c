#pragma once
// Small text helpers shared by the layers.
#include <cstdint>
#include <optional>
#include <string_view>

namespace orva::core {

// The value of one hexadecimal digit, either case; nullopt for any other character.
constexpr std::optional<unsigned> hexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  return std::nullopt;
}

// A hexadecimal number of 1 to `maxDigits` digits (either case, an optional "0x" before it);
// nullopt for anything else, including an empty text and extra characters.
std::optional<std::uint32_t> parseHex(std::string_view text, std::size_t maxDigits);

}  // namespace orva::core
