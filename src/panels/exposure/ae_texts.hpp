#pragma once
// Texts of the AE Control and Luminance Weighting Data panels, verbatim: titles, captions,
// headings and monitor lines. Tests compare against these constants.
#include <array>
#include <string_view>

namespace orva::panels::exposure::texts {

inline constexpr std::string_view kAeTitle = "AE Control";
inline constexpr std::string_view kAeHeading = "AE MODE";

// The mode buttons; the main group is called by the panel's heading.
inline constexpr std::string_view kModeGroup = "AE MODE";
inline constexpr std::string_view kProgramAe = "Program AE";
inline constexpr std::string_view kProgramAer1 = "Program AER1";
inline constexpr std::string_view kProgramAer2 = "Program AER2";
inline constexpr std::string_view kProgramAePlus = "Program AE+";
inline constexpr std::string_view kProgramAerPlus1 = "Program AER+1";
inline constexpr std::string_view kProgramAerPlus2 = "Program AER+2";
inline constexpr std::string_view kProgramAerPlus3 = "Program AER+3";
inline constexpr std::string_view kShutterPriority = "Shutter Priority";
inline constexpr std::string_view kExposurePriority = "Exposure Priority";
inline constexpr std::string_view kAgcPriority = "AGC Priority";
inline constexpr std::string_view kFullManual = "Full Manual";
inline constexpr std::string_view kExposureShutterPriority = "Exposure Shutter Priority";

// The parameter groups.
inline constexpr std::string_view kShutterSpeedGroup = "Shutter Speed";
inline constexpr std::string_view kFNumberGroup = "F Number";
inline constexpr std::string_view kGainGroup = "AGC Gain";
// Shutter speed captions by position, top first, at 60 Hz and at 50 Hz.
inline constexpr std::array<std::string_view, 17> kSpeeds60{
    "1/1",  "1/2",  "1/4",  "1/8",   "1/15 ", "1/30",   "1/60",    "1/100",   "1/120",
    "1/180", "1/250", "1/500", "1/1000", "1/2000 ", "1/4000 ", "1/10000 ", "1/30000 "};
inline constexpr std::array<std::string_view, 17> kSpeeds50{
    "1/0.75", "1/1.5", "1/3",  "1/6",    "1/12",    "1/25",    "1/50 ",    "1/100",   "1/120",
    "1/150",  "1/250", "1/500", "1/1000", "1/2000 ", "1/4000 ", "1/10000 ", "1/30000 "};
inline constexpr std::array<std::string_view, 10> kFNumbers{"F1.4", "F2.0", "F2.8", "F4.0", "F5.6",
                                                            "F8.0", "F11",  "F16",  "F22",  "F32"};
// What some models call the sixth, seventh and ninth F-number.
inline constexpr std::string_view kF9 = "F9.0 ";
inline constexpr std::string_view kF11 = "F11.0 ";
inline constexpr std::string_view kF22 = "F22.0 ";
inline constexpr std::array<std::string_view, 6> kGains{" 0dB", " 6dB", "12dB", "18dB", "24dB", "30dB"};

inline constexpr std::string_view kExposure = "Exposure";
inline constexpr std::string_view kShutter = "Shutter";
inline constexpr std::string_view kGain = "Gain";
inline constexpr std::string_view kHalfSecond = "Shutter(0.5s)→1/180";
inline constexpr std::string_view kTenthSecond = "Shutter(0.1s)→1/180";

inline constexpr std::string_view kIrisGroup = "Iris offset level";
inline constexpr std::string_view kAverage = "average";
inline constexpr std::string_view kPeak = "peak";
inline constexpr std::string_view kWdrStatus = "WDR Status";
inline constexpr std::string_view kSlowAe = "Slow AE Response";
inline constexpr std::string_view kNewAeChart = "Use NEW AE Chart";
inline constexpr std::string_view kClarity = "Use Clarity Improve";

inline constexpr std::string_view kFreeze = "Image Freeze";
inline constexpr std::string_view kFreezeField = "ON (Feild)";  // the window's own spelling
inline constexpr std::string_view kFreezeFrame = "ON (Frame)";
inline constexpr std::string_view kMirror = "Mirror";
inline constexpr std::string_view kMosaic = "Mosaic";
inline constexpr std::string_view kOn = "ON";
inline constexpr std::string_view kOff = "OFF";
// Written as a line before every mosaic write.
inline constexpr std::string_view kMosaicLine = "-- MOSAIC --";

inline constexpr std::string_view kOpenWeighting = "Set the weighting data";

// Luminance Weighting Data
inline constexpr std::string_view kWeightingTitle = "Luminance Weighting Data";
inline constexpr std::string_view kWeightingData = "Luminance Weighting Data";
inline constexpr std::string_view kWeightingSetHeading = "Weighting Data Set";
inline constexpr std::string_view kWeightingReadHeading = "Read the Weighting Data";
inline constexpr std::array<std::string_view, 6> kAreas{"weighting area 1 :", "weighting area 2 :",
                                                        "weighting area 3 :", "weighting area 4 :",
                                                        "weighting area 5 :", "weighting area 6 :"};
inline constexpr std::string_view kRead = "Read";

}  // namespace orva::panels::exposure::texts
