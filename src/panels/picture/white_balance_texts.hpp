#pragma once
// Texts of the WHITE BALANCE panel, verbatim: its title, captions, list items, the question of
// "Reset" and the headings its changes write ("<< " + text + " >>"; the blanks before ">>"
// are the camera tool's own). Tests compare against these constants.
#include <array>
#include <string_view>

namespace orva::panels::picture::wb::texts {

inline constexpr std::string_view kTitle = "WHITE BALANCE";

// Captions.
inline constexpr std::string_view kAuto = "AUTO";
inline constexpr std::string_view kManual = "MANUAL";
inline constexpr std::string_view kRGain = "R gain";
inline constexpr std::string_view kBGain = "B gain";
inline constexpr std::string_view kRbGain = "R/B gain";
inline constexpr std::string_view kAdjData = "ADJ. DATA";
inline constexpr std::string_view kAdjMode = "ADJ. MODE";
inline constexpr std::string_view kCoarse = "COARSE";
inline constexpr std::string_view kFine = "FINE";
inline constexpr std::string_view kDown = "DOWN";
inline constexpr std::string_view kUp = "UP";
// The list of light sources has no caption in the window; scripts call it so.
inline constexpr std::string_view kLightSourceName = "Light source";
inline constexpr std::array<std::string_view, 3> kLightSources{"Normal", "Sodium", "Mercury"};
inline constexpr std::string_view kPowerOnMode = "Power On mode";
inline constexpr std::array<std::string_view, 4> kPowerOnModes{"AWB-Normal", "AWB-Sodium", "AWB-Mercury", "MWB-Fixed"};
inline constexpr std::string_view kFixedMode = "WB Fixed mode";
inline constexpr std::string_view kRbcMax = "WB RBC MAX";
inline constexpr std::string_view kNewdark = "newdark_rom";
inline constexpr std::string_view kReset = "Reset";

// Headings.
inline constexpr std::string_view kAutoHeading = "WHITE BALANCE AUTO  ";
inline constexpr std::string_view kManualHeading = "WHITE BALANCE MANUAL";
inline constexpr std::array<std::string_view, 3> kLightSourceHeadings{"NORMAL MODE ", "SODIUM MODE ", "MERCURY MODE "};
inline constexpr std::array<std::string_view, 4> kPowerOnHeadings{"AWB NORMAL MODE ", "AWB SODIUM MODE ",
                                                                  "AWB MERCURY MODE ", "MWB FIXED MODE "};
inline constexpr std::string_view kFixedOnHeading = "WHITE BALANCE FIXED MODE";
inline constexpr std::string_view kFixedOffHeading = "WHITE BALANCE AUTO MODE ";
inline constexpr std::string_view kSoftResetHeading = "SOFT RESET ON";
inline constexpr std::string_view kResetHeading = "WHITE BALANCE RESET";

// "Reset" asks first.
inline constexpr std::string_view kResetQuestion = "Soft Reset is carried out. Is it all right?";
inline constexpr std::string_view kAttention = "Attention";

// The configuration key that shows "WB RBC MAX" and "newdark_rom" when not 0.
inline constexpr std::string_view kWbCtrlModeKey = "WB Ctrl mode=";

}  // namespace orva::panels::picture::wb::texts
