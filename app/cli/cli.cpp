#include "cli.hpp"

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "core/version.hpp"
#include "link/settings_forms.hpp"
#include "shell/settings.hpp"

namespace orva::cli {
namespace {

struct Options {
  std::string port;
  std::string settingsText;
  std::string protocol;
  bool noNegotiate = false;
  std::string config;
  std::string logFile;
  bool monitor = false;
  std::optional<std::string> simulate;
  bool yes = false;
};

// Settings come from ORVA.ini (start-up folder or --config); the command line wins over them.
// The CLI never writes the file back.
std::optional<shell::Settings> loadSettings(const Options& o, std::ostream& err) {
  shell::Settings s;
  if (!o.config.empty()) {
    shell::SettingsFile file(o.config);
    std::string why;
    auto loaded = file.load(s, &why);
    if (loaded == shell::SettingsFile::Loaded::Missing) {
      err << fmt::format("orva-cli: configuration file {} not found\n", o.config);
      return std::nullopt;
    }
    if (loaded == shell::SettingsFile::Loaded::Unreadable) {
      err << fmt::format("orva-cli: {}\n", why);
      return std::nullopt;
    }
  } else {
    std::error_code ec;
    auto folder = std::filesystem::current_path(ec);
    shell::SettingsFile file(shell::SettingsFile::locate(ec ? std::filesystem::path(".") : folder));
    std::string why;
    if (file.load(s, &why) == shell::SettingsFile::Loaded::Unreadable)
      err << fmt::format("orva-cli: {}; using the default settings\n", why);
  }
  if (!o.settingsText.empty()) {
    auto form = link::parseSettingsText(o.settingsText);
    if (!form) {
      err << fmt::format("orva-cli: --settings \"{}\" is not a line setting; use one of: ", o.settingsText);
      for (std::size_t i = 0; i < link::kSettingsForms.size(); ++i)
        err << (i ? ", " : "") << '"' << link::kSettingsForms[i].text << '"';
      err << "\n";
      return std::nullopt;
    }
    s.settingsText = std::string(form->text);
  }
  if (o.protocol == "afp") s.protocol = shell::kProtocolAfp;
  if (o.protocol == "eap") s.protocol = shell::kProtocolEap;
  if (!o.port.empty()) s.portDevice = o.port;
  return s;
}

int listPorts(std::ostream&) {
  // No serial device support in this build yet: the list is empty.
  return kExitOk;
}

}  // namespace

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"ORVA: service and control tool for CCTV block cameras on an RS-232 line", "orva-cli"};
  app.set_version_flag("--version", fmt::format("orva-cli {}", core::version()));
  app.fallthrough();  // global options are accepted after the command as well
  app.require_subcommand(0, 1);

  Options o;
  app.add_option("--port", o.port, "Serial device (e.g. /dev/ttyUSB0, /dev/pts/7)");
  app.add_option("--settings", o.settingsText, "Line settings, e.g. \"9600,N,8,1\"");
  app.add_option("--protocol", o.protocol, "Camera protocol")->check(CLI::IsMember({"eap", "afp"}));
  app.add_flag("--no-negotiate", o.noNegotiate, "Use the settings as they are, without a speed scan");
  app.add_option("--config", o.config, "Configuration file (default: ORVA.ini in the current folder)");
  app.add_option("--log", o.logFile, "Write the log file to FILE");
  app.add_flag("--monitor", o.monitor, "Show the monitor text on stderr");
  app.add_option("--simulate", o.simulate, "Work with the built-in virtual camera (optionally of MODEL)")
      ->expected(0, 1);
  app.add_flag("--yes", o.yes, "Answer yes to the questions a command asks");

  auto* ports = app.add_subcommand("ports", "List the serial ports: number, device path, description");

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return kExitOk;
  } catch (const CLI::CallForVersion&) {
    out << app.version() << "\n";
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    err << "orva-cli: " << e.what() << "\n";
    err << "Run 'orva-cli --help' for the commands and options.\n";
    return kExitUsage;
  }

  if (app.get_subcommands().empty()) {
    err << "orva-cli: no command given\nRun 'orva-cli --help' for the commands and options.\n";
    return kExitUsage;
  }

  auto settings = loadSettings(o, err);
  if (!settings) return kExitUsage;

  if (ports->parsed()) return listPorts(out);
  return kExitUsage;
}

}  // namespace orva::cli
