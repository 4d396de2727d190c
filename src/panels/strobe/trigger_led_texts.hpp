#pragma once
// Texts of the Trigger-LED / ZOOM Control panel, verbatim: its title, heading, captions and
// the lines it writes. Tests compare against these constants.
#include <string_view>

namespace orva::panels::strobe::led::texts {

inline constexpr std::string_view kTitle = "Trigger-LED / ZOOM Control";
// Written as "<< ... >>" when the panel opens, and again once "default" has written its values.
inline constexpr std::string_view kHeading = "Trg-LED, ZOOM Control -- Corvane Camera --";
// The line "default" writes before its values (the window's own spelling).
inline constexpr std::string_view kWriteDefaults = "++ WRITE - defalut data ++";

inline constexpr std::string_view kPatternGroup = "LED Pattern";
inline constexpr std::string_view kPattern1 = "Pattern-1";
inline constexpr std::string_view kPattern2 = "Pattern-2";
inline constexpr std::string_view kPattern3 = "Pattern-3";
inline constexpr std::string_view kPattern4 = "Pattern-4";

inline constexpr std::string_view kTrgTime0 = "Trg Time [t0]";
inline constexpr std::string_view kLedOnTime1 = "LED ON Time [t1]";
inline constexpr std::string_view kLedOnTime2 = "LED ON Time [t2]";
inline constexpr std::string_view kLedOnCount = "LED ON Count [N]";
// The AGC level field's caption, in three lines.
inline constexpr std::string_view kAgcLevel = "AGC Level";
inline constexpr std::string_view kWhichAllows = "which allows";
inline constexpr std::string_view kLedOn = "LED on";

inline constexpr std::string_view kMaskSettingGroup = "Trigger Mask Setting";
inline constexpr std::string_view kHCenter = "H center";
inline constexpr std::string_view kVCenter = "V center";
inline constexpr std::string_view kHWidth = "H width";
inline constexpr std::string_view kVWidth = "V width";
inline constexpr std::string_view kMaskConditionGroup = "Trigger Mask Condition";
inline constexpr std::string_view kShadeLevel = "Shade level";
inline constexpr std::string_view kRyLevel = "R-Y level";
inline constexpr std::string_view kByLevel = "B-Y level";
inline constexpr std::string_view kSeeThroughGroup = "See through level";
inline constexpr std::string_view kChroma = "Chroma";
inline constexpr std::string_view kLuminance = "Luminance";

inline constexpr std::string_view kTrgTime3 = "Trg Time [t3]";
inline constexpr std::string_view kWaitTime6 = "Wait Time [t6]";
inline constexpr std::string_view kTargetMag = "Target Mag [z1]";
inline constexpr std::string_view kZoomSwitch = "Trigger Zoom SW";
inline constexpr std::string_view kZoomOn = "Trigger Zoom ON ";
inline constexpr std::string_view kZoomOff = "Trigger Zoom OFF";

// What scripts call the time shown beside each time field ("Time=%-6.1f [ms]").
inline constexpr std::string_view kTime0 = "Time [t0]";
inline constexpr std::string_view kTime1 = "Time [t1]";
inline constexpr std::string_view kTime2 = "Time [t2]";
inline constexpr std::string_view kTime3 = "Time [t3]";
inline constexpr std::string_view kTime6 = "Time [t6]";

// The check that sends every field to the RAM mirror (a full-width space before 書込みなし).
inline constexpr std::string_view kNoEeprom = "EEPROM　書込みなし";
inline constexpr std::string_view kDefault = "default";

}  // namespace orva::panels::strobe::led::texts
