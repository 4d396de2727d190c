#pragma once
// The EAP register space reached through AFP: code 0xFE01 carries a byte, 0xFE02 a word,
// each after the 16-bit EAP address. The monitor stays quiet for the exchange, as the
// register traffic of a panel would otherwise drown what the operator asked for.
#include <cstdint>

#include "link/afp.hpp"

namespace orva::link {

bool gatewayReadByte(Afp& afp, Link& link, std::uint16_t address, std::uint8_t& value);
bool gatewayReadWord(Afp& afp, Link& link, std::uint16_t address, std::uint16_t& value);
bool gatewayWriteByte(Afp& afp, Link& link, std::uint16_t address, std::uint8_t value);
bool gatewayWriteWord(Afp& afp, Link& link, std::uint16_t address, std::uint16_t value);

}  // namespace orva::link
