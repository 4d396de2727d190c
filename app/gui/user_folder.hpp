#pragma once
// The per-user start-up folder of `orva --user-folder`: where ORVA.ini and the log files live
// when the desktop starts the tool and its working folder means nothing.
//
// It is $XDG_DATA_HOME/orva, or ~/.local/share/orva when XDG_DATA_HOME is unset, empty or not
// an absolute path (a relative one is to be ignored by the desktop's own rules). The
// environment values are parameters, so the rule is tested without touching the process's.
#include <filesystem>
#include <string_view>

#include "core/error.hpp"

namespace orva::gui {

// The folder for these environment values; an error when neither gives an absolute path.
core::Result<std::filesystem::path> userFolderPath(std::string_view xdgDataHome, std::string_view home);

// Creates `folder` with its parents when missing; an error naming the folder when that fails
// or when something else than a folder stands there.
core::Status makeUserFolder(const std::filesystem::path& folder);

}  // namespace orva::gui
