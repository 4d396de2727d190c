#pragma once
// The Trigger-LED panel's fields and defaults, shared by its description and its logic.
#include <array>
#include <cstdint>
#include <string_view>

#include "camera/setting.hpp"
#include "panels/formats.hpp"
#include "panels/strobe/trigger_led_panel.hpp"
#include "panels/strobe/trigger_led_texts.hpp"

namespace orva::panels::strobe::led {

// The configuration key and the value that sends the fields to the RAM mirror.
inline constexpr std::string_view kLedControlKey = "LED Control =";
inline constexpr int kLedControlMirror = 2;
// The RAM mirror of an EEPROM field lies this far above it.
inline constexpr std::uint16_t kMirrorOffset = 0xA558;

// Bit 5: the camera runs the 60 Hz video standard (clear: 50 Hz).
inline constexpr camera::Setting kVideoStandardRegister = camera::registerSetting(0xFF08, 8);
inline constexpr std::uint32_t kSixtyHertzBit = 0x20;
inline constexpr double kFieldMs60 = 16.666;
inline constexpr double kFieldMs50 = 20.0;

// How a field's value is a time: not, in fields, or in twice as many.
enum class Timing : std::uint8_t { None, Fields, DoubleFields };

// A field stepped with arrows: its EEPROM byte or word, the bits of it the field owns (0: all;
// a nibble is kept shifted down), its range and format, and the readout of its time.
struct Field {
  ControlId id;
  std::string_view caption;
  std::uint16_t address;
  int width;
  std::uint8_t mask;
  Format format;
  std::int64_t maximum;
  std::int64_t minimum = 0;
  Timing timing = Timing::None;
  ControlId time = 0;
  std::string_view timeName = {};
};

inline constexpr std::array<Field, 17> kFields{{
    {kTrgTime0, texts::kTrgTime0, 0x14A1, 8, 0, Format::Hex2, 0xFF, 0, Timing::Fields, kTime0, texts::kTime0},
    {kLedOnTime1, texts::kLedOnTime1, 0x14A2, 16, 0, Format::Hex4, 0xFFFF, 0, Timing::Fields, kTime1, texts::kTime1},
    {kLedOnTime2, texts::kLedOnTime2, 0x14A4, 8, 0, Format::Hex2, 0xFF, 0, Timing::Fields, kTime2, texts::kTime2},
    {kLedOnCount, texts::kLedOnCount, 0x14A7, 8, 0, Format::Hex2, 0xFF},
    {kAgcLevel, texts::kAgcLevel, 0x14A8, 16, 0, Format::Hex4, 0xFFFF},
    {kHCenter, texts::kHCenter, 0x14B0, 8, 0, Format::Hex2, 0xFF},
    {kVCenter, texts::kVCenter, 0x14B1, 8, 0, Format::Hex2, 0xFF},
    {kHWidth, texts::kHWidth, 0x14B2, 8, 0, Format::Hex2, 0xFF},
    {kVWidth, texts::kVWidth, 0x14B3, 8, 0, Format::Hex2, 0xFF},
    {kShadeLevel, texts::kShadeLevel, 0x14B4, 8, 0, Format::Hex2, 15},
    {kRyLevel, texts::kRyLevel, 0x14B5, 8, 0, Format::Hex2, 15},
    {kByLevel, texts::kByLevel, 0x14B6, 8, 0, Format::Hex2, 15},
    {kChroma, texts::kChroma, 0x14B7, 8, 0xF0, Format::Hex1, 3},
    {kLuminance, texts::kLuminance, 0x14B7, 8, 0x0F, Format::Hex1, 3},
    {kTrgTime3, texts::kTrgTime3, 0x1251, 8, 0, Format::Hex2, 0xFF, 0, Timing::DoubleFields, kTime3, texts::kTime3},
    {kWaitTime6, texts::kWaitTime6, 0x1259, 8, 0, Format::Hex2, 0xFF, 0, Timing::DoubleFields, kTime6, texts::kTime6},
    {kTargetMag, texts::kTargetMag, 0x1255, 8, 0xF0, Format::Decimal2, 10, 1},
}};

constexpr const Field& fieldOf(ControlId id) {
  for (const Field& f : kFields)
    if (f.id == id) return f;
  return kFields[0];
}

// The pattern bits of 0x14A0 and the trigger zoom switch, bit 7 of 0x1256.
inline constexpr std::uint16_t kPatternAddress = 0x14A0;
inline constexpr std::uint8_t kPatternMask = 0x0E;
inline constexpr std::uint16_t kZoomAddress = 0x1256;
inline constexpr std::uint8_t kZoomMask = 0x80;

// What "default" writes, in order, to the EEPROM addresses.
struct Default {
  std::uint16_t address;
  int width;
  std::uint16_t value;
};
inline constexpr std::array<Default, 18> kDefaults{{
    {0x14A0, 8, 0x08},   {0x14A1, 8, 0x09}, {0x14A2, 16, 0x003B}, {0x14A4, 8, 0x0C}, {0x14A7, 8, 0x02},
    {0x14A8, 16, 0x0000}, {0x14B0, 8, 0xFE}, {0x14B1, 8, 0xF9},    {0x14B2, 8, 0x72}, {0x14B3, 8, 0x72},
    {0x14B4, 8, 0x00},   {0x14B5, 8, 0x04}, {0x14B6, 8, 0x0F},    {0x14B7, 8, 0x03}, {0x1251, 8, 0x08},
    {0x1255, 8, 0x31},   {0x1256, 8, 0x82}, {0x1259, 8, 0x96},
}};

}  // namespace orva::panels::strobe::led
