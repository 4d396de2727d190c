#include "link/eap_frames.hpp"

#include <fmt/format.h>

#include "core/text.hpp"

namespace orva::link::eap {

std::string readByteFrame(std::uint16_t address, bool altPrefix) {
  return fmt::format("{}R{:04X}00", altPrefix ? ';' : ':', address);
}
std::string readWordFrame(std::uint16_t address, bool altPrefix) {
  return fmt::format("{}r{:04X}0000", altPrefix ? ';' : ':', address);
}
std::string writeByteFrame(std::uint16_t address, std::uint8_t value) {
  return fmt::format(":W{:04X}{:02X}", address, value);
}
std::string writeWordFrame(std::uint16_t address, std::uint16_t value) {
  return fmt::format(":w{:04X}{:04X}", address, value);
}
std::string writeByteHashFrame(std::uint16_t address, std::uint8_t value) {
  return fmt::format("#W{:04X}{:02X}", address, value);
}
std::string writeWordHashFrame(std::uint16_t address, std::uint16_t value) {
  return fmt::format("#w{:04X}{:04X}", address, value);
}

std::optional<std::string> functionFrame(char letter, std::uint32_t value, int form) {
  switch (form) {
    case 1: return fmt::format("/{}{:02X}", letter, value & 0xFFu);
    case 2: return fmt::format("/{}{:04X}", letter, value & 0xFFFFu);
    case 3: return fmt::format("/{}{:02X}{:04X}", letter, (value >> 16) & 0xFFu, value & 0xFFFFu);
    case 4: return fmt::format("/{}{:08X}", letter, value);
    default: return std::nullopt;
  }
}

std::string prefixedReadFrame(std::uint16_t address, char first) {
  return fmt::format("{}R{:04X}00", first, address);
}

std::string blockReadFrame(std::uint16_t address) {
  return fmt::format(":R{:04X}{}", address, std::string(2 * kBlockReadBytes, '0'));
}

std::optional<std::uint32_t> hexValue(std::string_view digits) {
  std::uint32_t v = 0;
  for (char c : digits) {
    auto d = core::hexDigit(c);
    if (!d) return std::nullopt;
    v = v * 16 + *d;
  }
  return v;
}

}  // namespace orva::link::eap
