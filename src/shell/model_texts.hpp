#pragma once
// The texts of the MODEL menu commands, verbatim (typos and doubled blanks included): tests
// compare against these constants, and a reader finds a text on the screen by grepping for it.
#include <string_view>

#include "shell/session_texts.hpp"

namespace orva::shell::texts {

// "NTSC" and "PAL".
inline constexpr std::string_view kChangingFormatPal = "<< Changing FORMAT => PAL >>";
inline constexpr std::string_view kChangingFormatNtsc = "<< Changing FORMAT => NTSC >>";
inline constexpr std::string_view kSoftResetOn = "<< SOFT RESET ON >>";
// The launcher's FORMAT field after the format change.
inline constexpr std::string_view kPalModel = "PAL model";
inline constexpr std::string_view kNtscModel = "NTSC model";

// DISPLAY MODE.
inline constexpr std::string_view kSoftResetQuestion = "Soft Reset is carried out. Is it all right?";

// CCD DRIVE MODE. The two questions have titles spelt differently.
inline constexpr std::string_view kWdrPanelOpen = "Please [WDR...] Dialog close.";
inline constexpr std::string_view kCcdDriveTitle = "CCD Drive Message";
inline constexpr std::string_view kCcdDriveInterlaceTitle = "CCD_Drive Message";
inline constexpr std::string_view kCcdDriveModeCheck = "<< CCD DRIVE MODE CHECK >>";
inline constexpr std::string_view kToInterlaceQuestion =
    "CCD DRIVE MODE change from Progressive mode to Interlace mode. \nIs this OK ?";
inline constexpr std::string_view kToProgressiveQuestion =
    "CCD DRIVE MODE change from Interlace mode to Progressive mode. \nIs this OK ?";
inline constexpr std::string_view kInterlaceMode = "<< INTERLACE MODE >>";
inline constexpr std::string_view kProgressiveMode = "<< PROGRESSIVE MODE >>";

// OUTPUT MODE, on models with a digital output switch.
inline constexpr std::string_view kDigitalOutputOff = "<< DIGITAL OUTPUT MODE OFF >>";
inline constexpr std::string_view kDigitalOutputOn = "<< DIGITAL OUTPUT MODE ON  >>";
// OUTPUT MODE, on the others.
inline constexpr std::string_view kOutputModeCheck = "<< OUTPUT MODE CHECK >>";
inline constexpr std::string_view kOutputModeTitle = "Output mode Message";
inline constexpr std::string_view kToAnalogQuestion =
    "ANALOG OUTPUT  (60i) mode cheange.\n30p mode >> 60i(TEST) mode. OK ?";
inline constexpr std::string_view kToDigitalQuestion =
    "DIGITAL OUTPUT (30p) mode cheange.\n60i(TEST) mode >> 30p mode. OK ?";
inline constexpr std::string_view kAnalogOutputMode = "<< ANALOG OUTPUT MODE >>";
inline constexpr std::string_view kDigitalOutputMode = "<< DIGITAL OUTPUT MODE >>";

// CAMERA MODE. A 1080 or 720 item's heading is the prefix, the item's text and the suffix.
inline constexpr std::string_view kCameraModeCheck = "<< CAMERA MODE CHECK >>";
inline constexpr std::string_view kCameraMode720LineSet = "<< CAMERA MODE 720LINE SET >>";
inline constexpr std::string_view kCameraMode960LineSet = "<< CAMERA MODE 960LINE SET >>";
inline constexpr std::string_view kCameraModeSetPrefix = "<< CAMERA MODE ";
inline constexpr std::string_view kCameraModeSetSuffix = " SET >>";

// CLOCK.
inline constexpr std::string_view kClockCheck = "<< CLOCK CHECK >>";
inline constexpr std::string_view kClock36MHzSet = "<< CLOCK 36MHz SET >>";
inline constexpr std::string_view kClock30MHzSet = "<< CLOCK 30MHz SET >>";
inline constexpr std::string_view kClock27MHzSet = "<< CLOCK 27MHz SET >>";
inline constexpr std::string_view kClock28_5MHzSet = "<< CLOCK 28.5MHz SET >>";

// GAIN UP MODE.
inline constexpr std::string_view kSetGainUp = "<< Set Gain Up  >>";
inline constexpr std::string_view kNormalModeSet = "<< NORMAL MODE SET >>";
inline constexpr std::string_view kHighSensitivityModeSet = "<< HIGH-SENSITIVITY MODE SET >>";

// Lines of our own, in the line form of the monitor: the camera stayed silent after its
// restart for as long as the command waits for it, and a command cut short by a stop request
// (a shutdown) says so, so that its last heading is not taken for a change that happened.
inline constexpr std::string_view kCameraLostAfterRestart = "-- The camera does not answer after the restart --";
inline constexpr std::string_view kCommandStopped = "-- The command was stopped --";

}  // namespace orva::shell::texts
