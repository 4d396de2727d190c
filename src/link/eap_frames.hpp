#pragma once
// EAP frames: short upper-case ASCII frames the camera answers character by character.
// Pure builders and the value decoding, so every frame can be checked byte for byte.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orva::link::eap {

std::string readByteFrame(std::uint16_t address, bool altPrefix);   // ":R%04X00" / ";R%04X00"
std::string readWordFrame(std::uint16_t address, bool altPrefix);   // ":r%04X0000" / ";r%04X0000"
std::string writeByteFrame(std::uint16_t address, std::uint8_t value);    // ":W%04X%02X"
std::string writeWordFrame(std::uint16_t address, std::uint16_t value);   // ":w%04X%04X"
std::string writeByteHashFrame(std::uint16_t address, std::uint8_t value);   // "#W%04X%02X"
std::string writeWordHashFrame(std::uint16_t address, std::uint16_t value);  // "#w%04X%04X"
// Forms 1-4: "/%c%02X", "/%c%04X", "/%c%02X%04X" (bits 16-23, then 0-15), "/%c%08X".
std::optional<std::string> functionFrame(char letter, std::uint32_t value, int form);
std::string prefixedReadFrame(std::uint16_t address, char first);  // "%cR%04X00"
std::string blockReadFrame(std::uint16_t address);                 // ":R%04X" + twenty zeros

inline constexpr std::size_t kBlockReadBytes = 10;
// A row read: the byte read of its first register, then a blank for each further digit (the
// next-byte read, which goes on past the row as far as the tool asks).
inline constexpr std::size_t kRowReadBytes = 16;
inline constexpr char kRowReadBlank = ' ';

// The value of hex digits answered by the camera; nullopt when any is not 0-9, A-F or a-f.
std::optional<std::uint32_t> hexValue(std::string_view digits);

}  // namespace orva::link::eap
