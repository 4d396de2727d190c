#include "sim/gateway.hpp"

#include <fmt/format.h>

#include "core/text.hpp"

namespace orva::sim {
namespace {

constexpr std::size_t kAddressDigits = 4;

std::size_t valueDigits(std::uint16_t code) { return code == kGatewayWordCode ? 4 : 2; }

std::optional<std::uint16_t> address(std::uint16_t code, std::string_view digits) {
  if (digits.size() != kAddressDigits + valueDigits(code)) return std::nullopt;
  auto a = core::parseHex(digits.substr(0, kAddressDigits), kAddressDigits);
  if (!a) return std::nullopt;
  return static_cast<std::uint16_t>(*a);
}

}  // namespace

bool isGatewayCode(std::uint16_t code) { return code == kGatewayByteCode || code == kGatewayWordCode; }

std::optional<std::vector<MemoryWrite>> gatewayWrites(std::uint16_t code, std::string_view digits) {
  const auto at = address(code, digits);
  if (!at) return std::nullopt;
  auto value = core::parseHex(digits.substr(kAddressDigits), valueDigits(code));
  if (!value) return std::nullopt;
  if (code == kGatewayByteCode) return std::vector<MemoryWrite>{{*at, static_cast<std::uint8_t>(*value)}};
  return std::vector<MemoryWrite>{{*at, static_cast<std::uint8_t>(*value >> 8)},
                                  {static_cast<std::uint16_t>(*at + 1), static_cast<std::uint8_t>(*value)}};
}

std::optional<std::string> gatewayRead(const RegisterMemory& memory, std::uint16_t code,
                                       std::string_view digits) {
  const auto at = address(code, digits);
  if (!at) return std::nullopt;
  const std::string_view asked = digits.substr(0, kAddressDigits);
  if (code == kGatewayByteCode) return fmt::format("{}{:02X}", asked, memory.read(*at));
  const auto next = static_cast<std::uint16_t>(*at + 1);
  return fmt::format("{}{:02X}{:02X}", asked, memory.read(*at), memory.read(next));
}

}  // namespace orva::sim
