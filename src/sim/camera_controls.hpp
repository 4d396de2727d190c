#pragma once
// The registers and functions through which the tool controls the camera itself:
//   EAP FA58 = 1        speak AFP, from the character after the frame that wrote it
//   AFP FD01 = 1        speak EAP, once the set has completed (after its R and X)
//   EAP E05E = code     take the line speed of an EAP speed code as pending (speed_codes.hpp)
//   AFP 0181 = code     the same with an AFP speed code
//   EAP FCAC = 0        restart, without echoing the frame's last character
//   AFP 0102 = 1        restart, after the R and without completing
// A pending speed takes effect when the camera is up again after a restart; a restart
// without one keeps the speed. A speed code outside the tables changes nothing. Register
// writes through the AFP gateway act like EAP writes, restarting after the R.
#include <cstdint>

namespace orva::sim {

class VirtualCamera;

inline constexpr std::uint16_t kToAfpRegister = 0xFA58;
inline constexpr std::uint16_t kToEapFunction = 0xFD01;
inline constexpr std::uint16_t kResetRegister = 0xFCAC;
inline constexpr std::uint16_t kResetFunction = 0x0102;

void installControls(VirtualCamera& camera);

}  // namespace orva::sim
