#pragma once
// What a built-in model's registers hold at start beyond what identifies it: values a camera
// of the kind would show, so the panels have something to read. Each is placed over the
// EEPROM pattern and under the registers the identification reads.
//
//   every model   the exposure registers: auto iris, shutter and AGC; F2.8; a manual shutter
//                 of 1/100; 40 dB maximum AGC gain; six distinct weighting areas; freeze,
//                 mirror and mosaic off
//                 the picture registers: auto white balance and aperture, gains in use and
//                 fixed gains apart, power-on mode AWB normal, picture mode 1, the four
//                 picture-mode sets (and the older models' colour level set) each with values
//                 of its own; the IR cut filter in, normal light, the PL filter on auto
//   720-line      the AGC gain limit 10F4
//   QB-191        the strobe registers (FF96 to FFC0) and the strobe EEPROM fields (167F,
//                 1702 to 1705, 1684 to 1697)
//   QB-109        the trigger-LED EEPROM fields at the values of the panel's "default", and
//                 their RAM mirror (each address + A558) holding the same; what the camera
//                 setup utility reads: the zoom position 12A2, the lens reference 12A4, the
//                 two rising trace tables (nine words at 12AE and at 12C0), and the lens RAM's
//                 zoom and focus words (F710, F718, F71A, F7BE, F7C2, F7C4) and curve F895,
//                 and the picture, exposure and mosaic values it reads, within its checks
#include <array>
#include <cstdint>

#include "sim/profile.hpp"

namespace orva::sim {

// Where the trigger-LED panel writes a field instead of its EEPROM address. The mirror is RAM:
// it lies outside every EEPROM range, so an EEPROM image never shows it.
inline constexpr std::uint16_t kTriggerLedMirrorOffset = 0xA558;
inline constexpr std::uint16_t kStrobeModelCode = 0x19F0;
inline constexpr std::uint16_t kTriggerLedModelCode = 0xC0;
// The 720-line models, by model code: their own shutter numbering and AGC gain limit.
inline constexpr std::array<std::uint16_t, 4> k720LineModels{0x13F0, 0x14F0, 0x15F0, 0x16F0};

void putStartValues(Profile& profile, std::uint16_t modelCode);

}  // namespace orva::sim
