#pragma once
// The EAP register space reached through AFP. Function FE01 carries a byte and FE02 a word
// (high byte at the address, low byte at the next one); their value digits are the EAP
// address, then the value:
//   set  "SFE01" AAAA VV "T"      "SFE02" AAAA VVVV "T"
//   get  "GFE01" AAAA "FF" "T"    "GFE02" AAAA "FFFF" "T"
// A get is answered with the same fields, the value in place of the F's: "YFE01" AAAA VV "T".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/register_memory.hpp"
#include "sim/responder.hpp"

namespace orva::sim {

inline constexpr std::uint16_t kGatewayByteCode = 0xFE01;
inline constexpr std::uint16_t kGatewayWordCode = 0xFE02;

bool isGatewayCode(std::uint16_t code);

// The register writes a gateway set asks for; none when its digits are not an address and a
// value of the code's width.
std::optional<std::vector<MemoryWrite>> gatewayWrites(std::uint16_t code, std::string_view digits);

// The value digits that answer a gateway get: the address as asked, then what the registers
// hold. None when the digits are not an address and a value field of the code's width.
std::optional<std::string> gatewayRead(const RegisterMemory& memory, std::uint16_t code,
                                       std::string_view digits);

}  // namespace orva::sim
