#pragma once
// Texts the panel framework shows, writes to the monitor or hands to a renderer, verbatim, in
// one place: tests compare against these constants.
#include <string_view>

namespace orva::panels::texts {

// The port guard's message box.
inline constexpr std::string_view kSetPort = "Set a communication port.";
inline constexpr std::string_view kAttention = "Attention";

// An operation's end, as "-- " + text + " --" lines: its name and kEnd on success.
inline constexpr std::string_view kEnd = " END";
inline constexpr std::string_view kTimeOver = "Time over Error !!";
inline constexpr std::string_view kError = "Error !!";

// The two zoom speed buttons; %s is the fitted lens's travel time. Ten leading blanks.
inline constexpr std::string_view kHighSpeedCaption = "          HIGH SPEED   ( %ssec )";
inline constexpr std::string_view kNormalSpeedCaption = "          NORMAL SPEED ( %ssec )";

// The camera type window.
inline constexpr std::string_view kCameraTypeTitle = "CAMERA TYPE";
inline constexpr std::string_view kCameraTypeUnit = "[HEX]";
inline constexpr std::string_view kGet = "Get";
inline constexpr std::string_view kClose = "CLOSE";
// The button beside a number entry that sends it.
inline constexpr std::string_view kSet = "Set";

// The heading of the launcher's one button that sends a command instead of opening a panel.
inline constexpr std::string_view kFullAuto = "FULL AUTO";

// Captions the model gating gives launcher buttons, which then open another panel.
inline constexpr std::string_view kEepromPresetCaption = "EEPROM PRESET";
inline constexpr std::string_view kSpotCancelCaption = "SPOT CANCEL";
inline constexpr std::string_view kStatusMessageCaption = "STATUS MESSAGE";
inline constexpr std::string_view kFixedDataCaption = "FIXED DATA SET";
inline constexpr std::string_view kPictureCaption = "PICTURE";
inline constexpr std::string_view kTitleCaption = "TITLE";

}  // namespace orva::panels::texts
