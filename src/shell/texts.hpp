#pragma once
// Every text the communication monitor shows or writes, verbatim, in one place: tests compare
// against these constants, and a reader finds a text on the screen by grepping for it.
#include <string_view>

namespace orva::shell::texts {

// Header labels above the two panes.
inline constexpr std::string_view kPcHeader = "<< PC send data >>";
inline constexpr std::string_view kCameraHeader = "<< CAMERA send data >>";

// Asked when a pane cut an insertion short; the three blanks at the end are part of it.
inline constexpr std::string_view kBufferFull = "Command Message Buffer is fulled\nAre you clear the buffer?   ";
inline constexpr std::string_view kBufferFullTitle = "Attention";

// The log file could not be created.
inline constexpr std::string_view kLogNotMade = "Not make log file !";
inline constexpr std::string_view kLogNotMadeTitle = "Error";
// Start of the reason given with it ("<prefix><path>: <why>"), also shown as a monitor line.
inline constexpr std::string_view kLogNotCreated = "Log file not created: ";

// The one item of a pane's context menu.
inline constexpr std::string_view kCopyItem = "COPY (&C)";

}  // namespace orva::shell::texts
