#include "start_options.hpp"

#include <vector>

namespace orva::gui {
namespace {

// "--name VALUE" or "--name=VALUE". Returns false when `word` is not this option.
bool takeValue(std::string_view name, std::span<const std::string_view> args, std::size_t& i,
               std::string& out, std::string& error) {
  const std::string_view word = args[i];
  if (word == name) {
    if (i + 1 >= args.size()) {
      error = std::string(name) + " needs a value";
      return true;
    }
    out = std::string(args[++i]);
    return true;
  }
  if (word.size() > name.size() && word.substr(0, name.size()) == name && word[name.size()] == '=') {
    out = std::string(word.substr(name.size() + 1));
    return true;
  }
  return false;
}

}  // namespace

core::Result<StartOptions> parseStartOptions(std::span<const std::string_view> args) {
  StartOptions o;
  std::vector<std::string_view> switches;
  std::string error;
  for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
    const std::string_view word = args[i];
    if (word == "--user-folder") {
      o.userFolder = true;
    } else if (word == "--simulate") {
      o.simulate = std::string();
    } else if (word.starts_with("--simulate=")) {
      o.simulate = std::string(word.substr(11));
    } else if (takeValue("--port", args, i, o.port, error) || takeValue("--config", args, i, o.config, error) ||
               takeValue("--log-dir", args, i, o.logDir, error)) {
      // taken, with its value
    } else if (word.starts_with("/")) {
      switches.push_back(word);
    } else {
      error = "unknown argument \"" + std::string(word) + "\"";
    }
  }
  if (!error.empty()) return core::Error{error};
  o.switches = shell::parseStartSwitches(std::span<const std::string_view>(switches));
  return o;
}

std::string_view usageText() {
  return "usage: orva [--simulate[=MODEL]] [--port DEV] [--config FILE] [--log-dir DIR] [--user-folder]\n"
         "            [/F] [/FS] [/DS]\n"
         "       orva --help | --version\n"
         "  --simulate[=MODEL]  work with the built-in virtual camera (of MODEL)\n"
         "  --port DEV          the serial device to use instead of the one in ORVA.ini\n"
         "  --config FILE       the configuration file (default: ORVA.ini in the start-up folder)\n"
         "  --log-dir DIR       where \"Log File\" writes (default: the start-up folder)\n"
         "  --user-folder       use $XDG_DATA_HOME/orva (default ~/.local/share/orva) as the start-up\n"
         "                      folder instead of the current one; it is created when missing\n"
         "  /F, /FS             factory switches; /DS: work without a camera when none answers\n";
}

}  // namespace orva::gui
