#pragma once
// The registers of the EXPOSURE CONTROL, SHUTTER SPEED and AGC panels (namespace `control`,
// apart from the AE Control panel's of the same folder). None has a function code: in AFP the
// gateway carries each of them, so every control works in both protocols.
#include <array>
#include <cstdint>
#include <string_view>

#include "camera/setting.hpp"

namespace orva::panels::exposure::control {

// One register holds the three automatic-or-manual choices, a bit each; a choice rewrites only
// its bit. A set bit is the manual side (for the gain: AGC off, a fixed level).
inline constexpr camera::Setting kExposureBits = camera::registerSetting(0xFB7F, 8);
inline constexpr std::uint32_t kManualIrisBit = 0x10;
inline constexpr std::uint32_t kManualShutterBit = 0x40;
inline constexpr std::uint32_t kFixedGainBit = 0x80;

// The manual iris: its position, and the direction the camera drives to the next one (bit 1
// set: upwards, an equal position included).
inline constexpr camera::Setting kIrisPosition = camera::registerSetting(0xFB32, 16);
inline constexpr camera::Setting kIrisDirection = camera::registerSetting(0xFB7E, 8);
inline constexpr std::uint32_t kUpwardBit = 0x02;

struct FNumber {
  std::string_view caption;
  std::uint16_t position;
};
inline constexpr std::array<FNumber, 10> kFNumbers{{
    {"F1.4", 0x0000},
    {"F2.0", 0x00C0},
    {"F2.8", 0x0180},
    {"F4.0", 0x0240},
    {"F5.6", 0x0300},
    {"F8.0", 0x03C0},
    {"F11.2", 0x0480},
    {"F16.0", 0x0540},
    {"F22.4", 0x0600},
    {"F32.0", 0x0640},
}};

// The iris offsets. From model code 0x0CF0 on the camera keeps the average elsewhere, unless
// the selector register reads 1.
inline constexpr camera::Setting kAverageOffset = camera::registerSetting(0xFD9E, 8);
inline constexpr camera::Setting kPeakOffset = camera::registerSetting(0xFD9F, 8);
inline constexpr camera::Setting kAverageOffsetMoved = camera::registerSetting(0xFDAE, 8);
inline constexpr camera::Setting kAverageSelector = camera::registerSetting(0xFF60, 8);
inline constexpr std::uint16_t kAverageMovedFrom = 0x0CF0;

// The manual shutter period: whole lines, then the fraction of a line in 1/256, which depends
// on the video standard (bit 5 of the standard register: 60 Hz).
inline constexpr camera::Setting kShutterLines = camera::registerSetting(0xFCA8, 16);
inline constexpr camera::Setting kShutterFraction = camera::registerSetting(0xFCAA, 8);
inline constexpr camera::Setting kVideoStandard = camera::registerSetting(0xFF08, 8);
inline constexpr std::uint32_t kSixtyHertzBit = 0x20;

struct ShutterSpeed {
  std::string_view caption;
  std::uint16_t lines;
  std::uint8_t fraction50;
  std::uint8_t fraction60;
  // The standard whose speeds these are not: 50 for the 1/60 family, 60 for the 1/50 family,
  // 0 for speeds both standards offer.
  int refusedAt;
};
inline constexpr std::array<ShutterSpeed, 13> kShutterSpeeds{{
    {"1/50", 311, 0x00, 0x00, 60},
    {"1/60", 261, 0x00, 0x00, 50},
    {"1/100", 150, 0x80, 0x80, 60},
    {"1/120", 130, 0x80, 0x80, 50},
    {"1/150", 103, 0xAA, 0xAA, 60},
    {"1/180", 87, 0x00, 0x00, 50},
    {"1/250", 62, 0x33, 0xA3, 0},
    {"1/500", 31, 0x19, 0x51, 0},
    {"1/1000", 15, 0x8C, 0xA8, 0},
    {"1/2000", 7, 0xC6, 0xD4, 0},
    {"1/4000", 3, 0xE3, 0xEA, 0},
    {"1/10000", 1, 0x8E, 0x90, 0},
    {"1/30000", 0, 0x84, 0x85, 0},
}};

// Gains in 1/32 dB, shown and entered in whole dB.
inline constexpr camera::Setting kMaximumGainSetting = camera::registerSetting(0xFD46, 16);
inline constexpr camera::Setting kFixedLevelSetting = camera::registerSetting(0xFB38, 16);
inline constexpr camera::Setting kChromaSuppression = camera::registerSetting(0xFD1A, 16);
inline constexpr std::uint32_t kGainScale = 32;
inline constexpr std::int64_t kMaximumGainTop = 40;
inline constexpr std::int64_t kFixedLevelTop = 30;

}  // namespace orva::panels::exposure::control
