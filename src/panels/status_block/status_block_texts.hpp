#pragma once
// Texts of the BLOCK READ panel, verbatim: its title and heading, the group and control
// captions, and the entries of its lists. Tests compare against these constants.
#include <array>
#include <string_view>

namespace orva::panels::status_block::texts {

inline constexpr std::string_view kTitle = "BLOCK READ";
inline constexpr std::string_view kHeading = "BlockRead ...";  // written as "<< BlockRead ... >>"

// Groups.
inline constexpr std::string_view kLensGroup = "Lens";
inline constexpr std::string_view kAeGroup = "AE";
inline constexpr std::string_view kImageGroup = "Image";
inline constexpr std::string_view kFunctionGroup = "Function";
inline constexpr std::string_view kPositionGroup = "Position";

// Lens.
inline constexpr std::string_view kFocusMode = "Focus mode";
inline constexpr std::string_view kContinuousZoom = "Cont. Digi. Zoom";
inline constexpr std::string_view kInstantZoom = "Inst. Digi. Zoom";
inline constexpr std::string_view kFocusMotion = "Focus motion";
inline constexpr std::string_view kZoomMotion = "Zoom motion";
inline constexpr std::string_view kAuto = "Auto";
inline constexpr std::string_view kManual = "Manual";
inline constexpr std::string_view kNo = "No";
inline constexpr std::string_view kFocusing = "Focusing";
inline constexpr std::string_view kZooming = "Zooming";

// AE.
inline constexpr std::string_view kIrcf = "IRcf removal status";
inline constexpr std::string_view kIrcfIn = "IRcf IN";
inline constexpr std::string_view kIrcfOut = "IRcf OUT";
inline constexpr std::string_view kBlc = "Back Light Compensation(BLC) On/Off";
inline constexpr std::string_view kDss = "DSS status";
inline constexpr std::string_view kAeMode = "Program AE mode switch";
inline constexpr std::array<std::string_view, 12> kAeModes{
    "Program AE",       "Program AER1",      "Program AER2",    "Program AE+",
    "Program AER+1",    "Program AER+2",     "Program AER+3",   "Shutter Priority",
    "Exposure Priority", "Full Manual mode", "AGC Priority",    "Exposure Shutter Priority"};
// The slow shutter ranges: the newest families at 50 and at 60 fields a second, the others.
inline constexpr std::array<std::string_view, 7> kDss50{" - 1/50",   "1/50 - 1/25",  "1/25 - 1/12", "1/12 - 1/6",
                                                        "1/6 - 1/3", "1/3 - 1/1.5", "1/0.75"};
inline constexpr std::array<std::string_view, 7> kDss60{" - 1/60",   "1/60 - 1/30", "1/30 - 1/15", "1/15 - 1/8",
                                                        "1/8 - 1/4", "1/4 - 1/2",   "1/1"};
inline constexpr std::array<std::string_view, 4> kDssOther{" - 1/30", "1/30 - 1/15", "1/15 - 1/8", "1/8 - 1/4"};

// Image.
inline constexpr std::string_view kDefog = "Defog Mode";
inline constexpr std::array<std::string_view, 4> kDefogBase{"Defog OFF", "Defog ON(Defog-1)", "Defog ON(Defog-2)",
                                                            "Defog ON(Defog-3)"};
inline constexpr std::array<std::string_view, 2> kDefogP{"Defog ON(Defog-P1)", "Defog ON(Defog-P2)"};
inline constexpr std::string_view kDefogAuto = "Defog ON(Defog-Auto)";
inline constexpr std::string_view kWhiteBalance = "White Balance Mode";
inline constexpr std::string_view kAperture = "Manual Aperture Mode";
inline constexpr std::string_view kWdrOnOff = "WDR ON/OFF";
inline constexpr std::string_view kWdrOff = "WDR OFF";
inline constexpr std::string_view kWdrOn = "WDR ON";
inline constexpr std::string_view kWdrAutoManual = "WDR Auto/Manual";
inline constexpr std::string_view kIntensity = "Enhanced Intensity Mode";
// The entries of the enhanced intensity panel's "Mode" list, without and with the whiteout
// reduction (kept here until that panel's texts can be shared).
inline constexpr std::array<std::string_view, 2> kIntensityTwo{"Off", "On"};
inline constexpr std::array<std::string_view, 3> kIntensityThree{"Off", "On(Enhanced Intensity)",
                                                                 "On(Whiteout Reduction)"};
inline constexpr std::string_view kWbAuto = "WB mode in auto";
inline constexpr std::array<std::string_view, 3> kWbAutoModes{"Normal", "Sodium", "Mercury"};
inline constexpr std::string_view kWdrMode = "WDR mode";
inline constexpr std::array<std::string_view, 3> kWdrModes{"WDR+CNT", "AD_WDR+CNT", "CNT"};

// Function.
inline constexpr std::string_view kPrivacyMask = "Privacy Mask On/Off";
inline constexpr std::string_view kFade = "Fade(mute) On/Off";
inline constexpr std::string_view kReverse = "Reverse/mirror/invert On/Off";
inline constexpr std::string_view kFreeze = "Freeze On/Off";
inline constexpr std::string_view kMotionDetect = "Motion Detect On/Off";
inline constexpr std::string_view kMotionTracking = "Motion Tracking On/Off";
inline constexpr std::string_view kEis = "EIS On/Off";

// Positions.
inline constexpr std::string_view kFocusPosition = "Focus Position";
inline constexpr std::string_view kZoomPosition = "Zoom Position";
inline constexpr std::string_view kIrisPosition = "IRIS position";
inline constexpr std::string_view kShutterPosition = "Shutter position";
inline constexpr std::string_view kAgcPosition = "AGC position";

inline constexpr std::string_view kReadSettings = "Read Settings";
inline constexpr std::string_view kClose = "Close";

}  // namespace orva::panels::status_block::texts
