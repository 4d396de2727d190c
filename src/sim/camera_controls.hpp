#pragma once
// The registers and functions through which the tool controls the camera itself:
//   EAP FA58 = 1        speak AFP, from the character after the frame that wrote it
//   AFP FD01 = 1        speak EAP, once the set has completed (after its R and X)
//   EAP E05E = code     take the line speed of an EAP speed code as pending (speed_codes.hpp)
//   AFP 0181 = code     the same with an AFP speed code
//   EAP FCAC = 0        restart, without echoing the frame's last character
//   AFP 0102 = 1        restart, after the R and without completing
//   EAP F8D8 = 1        factory default: the EEPROM range goes back to its factory contents
//   AFP 018A = 1        the same; the set completes as any set does
// A pending speed takes effect when the camera is up again after a restart; a restart
// without one keeps the speed. A speed code outside the tables changes nothing. Register
// writes through the AFP gateway act like EAP writes, restarting after the R.
//
// Register F8D8 tells how a factory default goes: 02 (busy) for the profile's factory time,
// then 03 (done), the moment the EEPROM is restored; with the factory-fail fault 04 (failed)
// and nothing restored. Asked again while busy, the camera carries on with the first one, and
// the register keeps reading 02 whatever is written to it. A restart does not stop it: the
// EEPROM outlives a restart, and so does the work on it.
#include <cstdint>

namespace orva::sim {

class VirtualCamera;

inline constexpr std::uint16_t kToAfpRegister = 0xFA58;
inline constexpr std::uint16_t kToEapFunction = 0xFD01;
inline constexpr std::uint16_t kResetRegister = 0xFCAC;
inline constexpr std::uint16_t kResetFunction = 0x0102;
inline constexpr std::uint16_t kFactoryRegister = 0xF8D8;
inline constexpr std::uint16_t kFactoryFunction = 0x018A;
inline constexpr std::uint8_t kFactoryStart = 0x01;
inline constexpr std::uint8_t kFactoryBusy = 0x02;
inline constexpr std::uint8_t kFactoryDone = 0x03;
inline constexpr std::uint8_t kFactoryFailed = 0x04;

void installControls(VirtualCamera& camera);

}  // namespace orva::sim
