#pragma once
// Every text the desktop tool's own windows show, verbatim, in one place: tests compare against
// these constants, and a reader finds a text on the screen by grepping for it.
#include <string_view>

namespace orva::gui::texts {

inline constexpr std::string_view kWindowTitle = "ORVA2";

// A menu command whose handler is not part of this build yet.
inline constexpr std::string_view kNotAvailable = "This function is not available in this version.";
inline constexpr std::string_view kNotAvailableTitle = "Information";

// The wait window of long runs. Cancel is ours: a run stops at its next step.
inline constexpr std::string_view kWaitLine = "Wait for a while.";
inline constexpr std::string_view kWaitCancel = "Cancel";

// Filter added to every file dialog, so that files with other name endings can be picked.
inline constexpr std::string_view kAllFiles = "All files (*)";

// The model of the built-in virtual camera when --simulate names none.
inline constexpr std::string_view kDefaultSimulatedModel = "QB-191";

// The CONTROL launcher.
inline constexpr std::string_view kLauncherTitle = "CONTROL";
inline constexpr std::string_view kConnect = "Connect";
inline constexpr std::string_view kModelField = "MODEL";
inline constexpr std::string_view kAeModeField = "AE MODE";
inline constexpr std::string_view kFormatField = "FORMAT";
inline constexpr std::string_view kPortField = "PORT";
inline constexpr std::string_view kPresetTypeI = "PRESET TYPE I";
inline constexpr std::string_view kPresetTypeII = "PRESET TYPE II";
inline constexpr std::string_view kExitButton = "EXIT";
// How long the indicator shows a failed connect before it goes back to idle.
inline constexpr int kFailedIndicatorMs = 500;

// "CAM EEPROM Data Write".
inline constexpr std::string_view kReadFileGroup = "Read File name (*.mem)";
inline constexpr std::string_view kAdjustmentFileGroup = "ADJ. Address File name (*.cfg)";
inline constexpr std::string_view kFileSelect = "File Select";
inline constexpr std::string_view kWriteMethodGroup = "Write Method";
inline constexpr std::string_view kAllData = "All Data";
inline constexpr std::string_view kExceptAdjustment = "Except ADJ. Data";
inline constexpr std::string_view kStart = "START";
inline constexpr std::string_view kCloseButton = "CLOSE";
inline constexpr std::string_view kAdjustmentFileRefusedTitle = "Attention";

// The About box.
inline constexpr std::string_view kAboutTitle = "About ORVA2";
inline constexpr std::string_view kVersionText = "Version 4.73";
inline constexpr std::string_view kNotConnectedHeading = "!! RS-232C not connect !!";

// Help, when the manual cannot be found or opened.
inline constexpr std::string_view kHelpMissing = "Sorry...";
inline constexpr std::string_view kHelpMissingTitle = "Message";

}  // namespace orva::gui::texts
