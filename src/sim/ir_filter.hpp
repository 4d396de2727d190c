#pragma once
// The camera's IR cut filter and PL filter, which move with the camera's time:
//
//   FFE6 = C0 / 80   (AFP 2202 = 1 / 2)   move the IR cut filter in / out: the position FFE7
//                                          (AFP 2201) reads 1 (in) / 0 (out) kFilterMoveTime
//                                          later; 00 releases the command and moves nothing.
//                                          A new command replaces one still under way. With
//                                          the ircf-stuck fault the position never changes.
//   F8A4 (AFP 2205)  the IR light used while the filter is out (function_bindings.hpp). EAP
//                    writes keep every bit, the 0x20 bit included (the tool sets it by the
//                    model). An AFP set of 1, 2, 3 writes 00, C1, C2 with the 0x20 bit as the
//                    register held it; a get reads C1, E1 (and 02, 22) as 2 (IR 950 nm), C2,
//                    E2 (03, 23) as 3 (IR 850 nm), anything else as 1 (normal light).
//   FFEA (AFP 2204)  the threshold offset, carried as it stands (function_bindings.hpp).
//   AFP 2207         the IR direction notification, 1 not notify, 2 notify: kept as set, 2 at
//                    start. While it holds 1 the camera holds back its IR cut filter change
//                    requests (indication kind 1); other indications go out.
//   FFEE = 0 / 1 / 2 the PL filter auto / out / in: the PL status FFEF reads 1 (out) / 2 (in)
//                    kFilterMoveTime after a manual choice; auto and other values leave it.
//                    A profile may start FFEF at any value (3) to try the tool on it.
#include <chrono>
#include <cstdint>

namespace orva::sim {

class VirtualCamera;

inline constexpr std::uint16_t kFilterMoveRegister = 0xFFE6;
inline constexpr std::uint16_t kFilterPositionRegister = 0xFFE7;
inline constexpr std::uint16_t kFilterMoveFunction = 0x2202;
inline constexpr std::uint8_t kFilterMoveIn = 0xC0;
inline constexpr std::uint8_t kFilterMoveOut = 0x80;
inline constexpr std::uint8_t kFilterIn = 1;
inline constexpr std::uint8_t kFilterOut = 0;
inline constexpr std::uint16_t kIrLightRegister = 0xF8A4;
inline constexpr std::uint16_t kIrLightFunction = 0x2205;
inline constexpr std::uint16_t kIrNotificationFunction = 0x2207;
inline constexpr std::uint8_t kIrFilterIndication = 1;
inline constexpr std::uint16_t kPlFilterControlRegister = 0xFFEE;
inline constexpr std::uint16_t kPlFilterStatusRegister = 0xFFEF;
inline constexpr std::chrono::milliseconds kFilterMoveTime{300};

void installIrFilter(VirtualCamera& camera);

}  // namespace orva::sim
