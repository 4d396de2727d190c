#pragma once
// Texts of the two enhanced intensity panels, verbatim: titles, list entries, captions and the
// heading texts written before a change. Tests compare against these constants.
#include <string_view>

namespace orva::panels::intensity::texts {

inline constexpr std::string_view kTitle = "Enhanced Intensity";  // both panels

// NIGHTSCOPE
inline constexpr std::string_view kSwitch = "Switch";
inline constexpr std::string_view kEffectLevelGroup = "Effect Level";
inline constexpr std::string_view kDark = "Dark";
inline constexpr std::string_view kBright = "Bright";
inline constexpr std::string_view kOff = "Off";
inline constexpr std::string_view kContinuous = "Continuous";
inline constexpr std::string_view kFix = "Fix";
inline constexpr std::string_view kLow = "Low";
inline constexpr std::string_view kMiddle = "Middle";
inline constexpr std::string_view kHigh = "High";
// Followed by the chosen entry.
inline constexpr std::string_view kSwitchHeading = "Enhanced Intensity(Mode) : ";
inline constexpr std::string_view kDarkHeading = "Enhanced Intensity(Effect:Dark) : ";
inline constexpr std::string_view kBrightHeading = "Enhanced Intensity(Effect:Bright) : ";

// ENHANCEDINTENSITY
inline constexpr std::string_view kMode = "Mode";
inline constexpr std::string_view kOn = "On";
inline constexpr std::string_view kOnEnhanced = "On(Enhanced Intensity)";
inline constexpr std::string_view kOnWhiteout = "On(Whiteout Reduction)";
inline constexpr std::string_view kModeHeading = "E.I Mode : ";  // followed by the chosen entry
inline constexpr std::string_view kEffectLevel = "Enhanced Intensity Effect Level";
inline constexpr std::string_view kWhiteoutLevel = "Whiteout Reduction Effect Level";
inline constexpr std::string_view kEffectLevelHeading = "Enhanced Intensity Effect Level";
inline constexpr std::string_view kWhiteoutLevelHeading = "E.I Whiteout Reduction Effect Level";
inline constexpr std::string_view kHex = "[HEX]";

}  // namespace orva::panels::intensity::texts
