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

}  // namespace orva::gui::texts
