#pragma once
// Texts of the camera condition window and of its readout on the monitor, verbatim, in one
// place: the readout, the window and the tests use these constants.
#include <string_view>

namespace orva::panels::condition_texts {

inline constexpr std::string_view kTitle = "Camera Condition";
inline constexpr std::string_view kConditionButton = "CONDITION";

// Group captions.
inline constexpr std::string_view kZoomGroup = "Zoom Position";
inline constexpr std::string_view kFocusGroup = "Focus Mode";
inline constexpr std::string_view kDssGroup = "Digital Slow Shutter";
inline constexpr std::string_view kAgcGroup = "AGC";
inline constexpr std::string_view kExposureGroup = "Exposure";
inline constexpr std::string_view kIrCutGroup = "IR Cut Filter";
inline constexpr std::string_view kWdrGroup = "Wide Dynamic Range";
inline constexpr std::string_view kReverseGroup = "Reverse";
inline constexpr std::string_view kMirrorGroup = "MIRROR MODE";
inline constexpr std::string_view kMosaicGroup = "Mosaic Mode";
inline constexpr std::string_view kFreezeGroup = "Image  Freeze";  // two blanks
inline constexpr std::string_view kProtocolGroup = "Protocol Type";
inline constexpr std::string_view kCcdDriveGroup = "CCD DRIVE MODE";

// Controls inside the groups.
inline constexpr std::string_view kTimes = "x";
inline constexpr std::string_view kDigital = "Digi.";
inline constexpr std::string_view kAutoFocus = "AF";
inline constexpr std::string_view kManualFocus = "MF";
inline constexpr std::string_view kOn = "ON";
inline constexpr std::string_view kOff = "OFF";
inline constexpr std::string_view kShutter = "Shutter";
inline constexpr std::string_view kSeconds = "S";
inline constexpr std::string_view kDecibels = "dB";
inline constexpr std::string_view kFValue = "F value";
inline constexpr std::string_view kIn = "IN";
inline constexpr std::string_view kOut = "OUT";
inline constexpr std::string_view kAfp = "AFP";
inline constexpr std::string_view kEap = "EAP";
inline constexpr std::string_view kProgressive = "Prog.";
inline constexpr std::string_view kInterlace = "Inter.";

// Monitor headings of the readout: the first with a blank line before it, the others as lines.
inline constexpr std::string_view kHeading = "<< CAMERA CONDITION >>";
inline constexpr std::string_view kZoomLine = "-- ZOOM --";
inline constexpr std::string_view kFocusLine = "-- FOCUS --";
inline constexpr std::string_view kShutterLine = "-- SHUTTER <DSS> --";
inline constexpr std::string_view kAgcLine = "-- AGC --";
inline constexpr std::string_view kExposureLine = "-- EXPO --";
inline constexpr std::string_view kIrCutLine = "-- IRcf --";
inline constexpr std::string_view kWdrLine = "-- WDR --";
inline constexpr std::string_view kReverseLine = "-- REVERSE --";
inline constexpr std::string_view kMirrorLine = "-- MIRROR --";
inline constexpr std::string_view kMosaicLine = "-- MOSAIC --";
inline constexpr std::string_view kFreezeLine = "-- FREEZE --";
inline constexpr std::string_view kCcdDriveLine = "-- CCD_DRIVE --";

// A slow shutter step past the end of its table.
inline constexpr std::string_view kUnknownStep = "???";

}  // namespace orva::panels::condition_texts
