#pragma once
// The texts the session's sequences show, verbatim: tests compare against these constants,
// and a reader finds a text on the screen by grepping for it.
#include <string_view>

namespace orva::shell::texts {

inline constexpr std::string_view kAttention = "Attention";
inline constexpr std::string_view kConfirmation = "Confirmation";
inline constexpr std::string_view kInformation = "Information";

// Shown as a heading once the camera is identified; the leading blank is part of it.
inline constexpr std::string_view kConnectionSuccessful = " COM. Connection was Successful !!";
inline constexpr std::string_view kBackupQuestion =
    "Do you want to make a backup file of current EEPROM data values ?";

// The refusals of the commands that need the camera.
inline constexpr std::string_view kSetPort = "Set a communication port.";
inline constexpr std::string_view kMdOffOnly = "Sorry... MD Off mode only !!";
inline constexpr std::string_view kMdOffOnlyTitle = "ORVA2";
inline constexpr std::string_view kBackupFirst = "You must first make a EEPROM backup file before using this function.";

// Asked when "File Select" is 0, as no file dialog gives the operator a way out then.
inline constexpr std::string_view kReadOk = "Does it Read OK ?";
inline constexpr std::string_view kWriteOk = "Does it Write OK ?";
// Asked as an EEPROM run's wait window opens; the three blanks at the end are part of it.
inline constexpr std::string_view kRunConfirm = "Is it all right ?   ";

// Asked when the program is to end while an operation still holds the camera.
inline constexpr std::string_view kStopRunQuestion =
    "An operation is still running.\nDo you want to stop it and exit ?";

// The launcher's MODEL, AE MODE and FORMAT fields while no camera is connected.
inline constexpr std::string_view kNoModelField = "-------";

// The About box's camera lines before they are read.
inline constexpr std::string_view kNoVersionLine = "  ------                              ";

}  // namespace orva::shell::texts
