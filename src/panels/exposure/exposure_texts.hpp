#pragma once
// Texts of the EXPOSURE CONTROL, SHUTTER SPEED and AGC panels, verbatim: titles (also their
// opening headings), captions and units. Tests compare against these constants.
#include <string_view>

namespace orva::panels::exposure::control::texts {

inline constexpr std::string_view kExposureTitle = "EXPOSURE CONTROL";
inline constexpr std::string_view kShutterTitle = "SHUTTER SPEED";
inline constexpr std::string_view kAgcTitle = "AGC";

inline constexpr std::string_view kAuto = "AUTO";
inline constexpr std::string_view kManual = "MANUAL";

// EXPOSURE CONTROL: the iris offsets in hex, and what scripts call the F-number buttons.
inline constexpr std::string_view kOffsetGroup = "IRIS offset level";
inline constexpr std::string_view kAverage = "Average";
inline constexpr std::string_view kPeak = "Peak";
inline constexpr std::string_view kFNumber = "F-number";

// SHUTTER SPEED: what scripts call the speed buttons.
inline constexpr std::string_view kSpeed = "Speed";

// AGC: what scripts call the ON / OFF pair; three groups, each an entry and its unit.
inline constexpr std::string_view kAgc = "AGC";
inline constexpr std::string_view kOn = "ON";
inline constexpr std::string_view kOff = "OFF";
inline constexpr std::string_view kMaximumGroup = "Maximum";
inline constexpr std::string_view kMaximumGain = "AGC gain";
inline constexpr std::string_view kFixedGroup = "Fixed";
inline constexpr std::string_view kFixedLevel = "AGC level";
inline constexpr std::string_view kChromaGroup = "Chroma";
inline constexpr std::string_view kSuppression = "Suppression level";
inline constexpr std::string_view kDecibel = "[dB]";
inline constexpr std::string_view kHex = "[HEX]";

}  // namespace orva::panels::exposure::control::texts
