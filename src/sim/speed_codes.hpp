#pragma once
// The codes a camera takes for its own line speed, one per settings form from 4800 even to
// 57600 none (forms 1 to 10, in the order of link::kSettingsForms):
//   EAP register E05E   00 C0 B0 F0 B9 F9 A9 E9 99 D9; models of the 0x90 and 0xA0 families
//                       take B1 and F1 for 9600 even and none, and the camera accepts both
//   AFP function 0181   01 to 0A
#include <cstdint>
#include <optional>

#include "link/byte_channel.hpp"

namespace orva::sim {

inline constexpr std::uint16_t kSpeedRegister = 0xE05E;
inline constexpr std::uint16_t kSpeedFunction = 0x0181;

// The line settings an EAP speed code stands for; none for a code outside the table.
std::optional<link::LineSettings> eapSpeedCode(std::uint8_t code);
// The line settings an AFP speed code stands for; none for a code outside 01 to 0A.
std::optional<link::LineSettings> afpSpeedCode(std::uint32_t code);

}  // namespace orva::sim
