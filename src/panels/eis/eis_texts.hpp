#pragma once
// Texts of the EIS setup panel, verbatim: its title, captions, headings and messages. Tests
// compare against these constants.
#include <string_view>

namespace orva::panels::eis::texts {

inline constexpr std::string_view kTitle = "Erectronic Image Stabilizer (EIS) setup";  // the window's own spelling
// Written as "<< ... >>" once the camera was accepted, and when the operator closes the panel.
inline constexpr std::string_view kStartHeading = "EIS setup START";
inline constexpr std::string_view kEndHeading = "EIS setup END";

inline constexpr std::string_view kFrequencyGroup = "Frequency Range select";
inline constexpr std::string_view kFiveHertz = " 5Hz (Peak)";
inline constexpr std::string_view kSixteenHertz = "16Hz (Peak)";
// The same two buttons on the models whose option word has bit 6.
inline constexpr std::string_view kModeOne = "mode1(center: 5Hz)";
inline constexpr std::string_view kModeZero = "mode0(center:10Hz)";

// The push-like on/off button: what scripts call it, and its two captions (one blank after ON,
// so that the heading reads "<< EIS ON  >>").
inline constexpr std::string_view kEis = "EIS";
inline constexpr std::string_view kEisOn = "EIS ON ";
inline constexpr std::string_view kEisOff = "EIS OFF";

inline constexpr std::string_view kSensitivityGroup = "Sensitivity";
inline constexpr std::string_view kPanTiltGroup = "Pan/Tilt Detection(TELE)";
inline constexpr std::string_view kDriveRange = "Drive Range Size";
inline constexpr std::string_view kPanTiltJudge = "Pan/Tilt Judge Level";
inline constexpr std::string_view kCoreVibration = "Core Vibration Level";
inline constexpr std::string_view kCoreCenter = "Core Center Level";
inline constexpr std::string_view kCoreBias = "Core BIAS Level";

inline constexpr std::string_view kDefault = "DEFAULT";
inline constexpr std::string_view kLoadDefaults = "Do you want to load EIS default data ?";
inline constexpr std::string_view kNotAvailable =
    "Electronic Image Stabilization function not available in this camera model !";

}  // namespace orva::panels::eis::texts
