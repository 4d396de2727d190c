#pragma once
// The registers of the STROBE panel, shared by its description and its logic. Every one is a
// register (the EEPROM ones at their EEPROM address); none has a function code.
#include <array>
#include <cstdint>

#include "camera/model_record.hpp"
#include "camera/setting.hpp"
#include "link/link.hpp"
#include "panels/panel_description.hpp"

namespace orva::panels::strobe {

inline constexpr camera::Setting kLinkSwitchRegister = reg8(0xFFBE);  // bit 0: 0 on, 1 off
inline constexpr camera::Setting kModeRegister = reg8(0xFFBF);
inline constexpr camera::Setting kLinkStatusRegister = reg8(0xFFC0);
// Bit 0 acquisition mode, bit 1 activation, bits 6, 5, 4 light mode of A, B, C.
inline constexpr camera::Setting kControlRegister = reg8(0xFFB2);
// Bits 0-1 rate, bit 3 mask, bits 4, 5, 6 movie-on of A, B, C.
inline constexpr camera::Setting kRateRegister = reg8(0xFFB3);
inline constexpr camera::Setting kPilotWidthRegister = reg8(0xFFAB);
inline constexpr camera::Setting kPilotDelayRegister = reg8(0xFFA6);  // bits 0-2
inline constexpr std::uint32_t kPilotDelayBits = 0x07;
inline constexpr camera::Setting kGateWidthRegister = reg16(0xFFA7);
inline constexpr camera::Setting kForceRegister = reg8(0xFFA4);
inline constexpr camera::Setting kSourceRegister = reg8(0xFF97);  // bit 0: 1 software, 0 line 0
inline constexpr camera::Setting kSoftwareTriggerRegister = reg8(0xFF96);
inline constexpr camera::Setting kTriggerStatusRegister = reg8(0xFFA5);
// EEPROM.
inline constexpr camera::Setting kSelectorRegister = reg8(0x167F);
inline constexpr camera::Setting kAverageNightRegister = reg8(0x1702);
inline constexpr camera::Setting kAverageTwilightRegister = reg8(0x1703);
inline constexpr camera::Setting kPeakNightRegister = reg8(0x1704);
inline constexpr camera::Setting kPeakTwilightRegister = reg8(0x1705);
// Iris, shutter, AGC, R gain, B gain: 16-bit each, one after the other.
inline constexpr std::uint16_t kManualNightBase = 0x1684;
inline constexpr std::uint16_t kManualTwilightBase = 0x168E;

// One strobe output's registers and its bits in the registers the outputs share.
struct Output {
  std::uint16_t control;     // bits 2-3 switch, bit 0 assert, bit 1 edge type
  std::uint16_t frameDelay;  // 0 to 15
  std::uint16_t rise;        // 16-bit
  std::uint16_t width;       // 16-bit
  std::uint32_t lightModeBit;  // of kControlRegister
  std::uint32_t movieOnBit;    // of kRateRegister
};
inline constexpr std::array<Output, 3> kOutputRegisters{{
    {0xFF98, 0xFF99, 0xFF9A, 0xFF9C, 0x40, 0x10},
    {0xFF9E, 0xFF9F, 0xFFA0, 0xFFA2, 0x20, 0x20},
    {0xFFAC, 0xFFAD, 0xFFAE, 0xFFB0, 0x10, 0x40},
}};

// The values of "Mode" whose manual entries it enables, and of "Auto Control Selector" that
// enables the peak exposure entries.
inline constexpr int kManualTwilightMode = 2;
inline constexpr int kManualNightMode = 3;
inline constexpr int kNotFix = 1;

// The controls work in EAP only.

}  // namespace orva::panels::strobe
