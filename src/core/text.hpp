#pragma once
// Small text helpers shared by the layers.
#include <cstdint>
#include <optional>
#include <string_view>

namespace orva::core {

// A hexadecimal number of 1 to `maxDigits` digits (either case, an optional "0x" before it);
// nullopt for anything else, including an empty text and extra characters.
std::optional<std::uint32_t> parseHex(std::string_view text, std::size_t maxDigits);

}  // namespace orva::core
