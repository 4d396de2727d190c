#pragma once
// The desktop tool's command line:
//   orva [--simulate[=MODEL]] [--port DEV] [--config FILE] [--log-dir DIR] [--user-folder]
//        [/F] [/FS] [/DS]
//   orva --help | --version        (answered before the window system is asked for)
// Qt's own options (-platform and the like) are taken out by QApplication before this reads
// the rest. Words starting with "/" are the start switches and go to shell::parseStartSwitches,
// which ignores the ones it does not know, as the switches always have.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/error.hpp"
#include "shell/menu_model.hpp"

namespace orva::gui {

struct StartOptions {
  std::optional<std::string> simulate;  // the built-in virtual camera; empty: the default model
  std::string port;                     // a device path that wins over ORVA.ini
  std::string config;                   // ORVA.ini elsewhere than in the start-up folder
  std::string logDir;                   // where "Log File" writes; empty: the start-up folder
  bool userFolder = false;              // the start-up folder is the per-user one (user_folder.hpp)
  shell::StartSwitches switches;
};

// `arguments` without the program name.
core::Result<StartOptions> parseStartOptions(std::span<const std::string_view> arguments);

std::string_view usageText();

}  // namespace orva::gui
