#include "cli.hpp"

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "core/clock.hpp"
#include "core/text.hpp"
#include "camera/code_map.hpp"
#include "camera/identification.hpp"
#include "camera/model_table.hpp"
#include "core/version.hpp"
#include "eeprom/adr_convert.hpp"
#include "eeprom/backup.hpp"
#include "eeprom/command_file.hpp"
#include "eeprom/range.hpp"
#include "eeprom/factory_images.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/gateway.hpp"
#include "link/link.hpp"
#include "link/negotiator.hpp"
#include "link/port_list.hpp"
#include "link/posix_serial_port.hpp"
#include "link/settings_forms.hpp"
#include "shell/monitor.hpp"
#include "shell/settings.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/model_profiles.hpp"
#include "sim/virtual_camera.hpp"
#include "stderr_view.hpp"
#include "terminal_prompt.hpp"
#include "tool.hpp"
#include "eeprom_commands.hpp"
#include "preset_commands.hpp"
#include "setup_commands.hpp"
#include "panel_commands.hpp"

namespace orva::cli {
namespace {

int listPorts(std::ostream& out) {
  for (const auto& p : link::listPorts()) {
    std::string description = p.description;
    if (!p.byId.empty()) description += (description.empty() ? "" : " ") + ("(" + p.byId + ")");
    out << p.number << '\t' << p.device << '\t' << description << '\n';
  }
  return kExitOk;
}

// Needs no camera: the line is never opened.
int adrCommand(const Options& o, std::ostream& out, std::ostream& err) {
  const eeprom::AdrConversion result = eeprom::convertMapFile(o.target);
  if (!result.converted()) {
    err << "orva-cli: " << result.message() << " (" << result.detail << ")\n";
    return kExitUsage;
  }
  out << result.adrPath.string() << "\n";
  return kExitOk;
}

int registerCommand(const std::string& command, const Options& o, const shell::Settings& s, std::ostream& out) {
  const bool word = command.ends_with("-word");
  const bool write = command.starts_with("write");
  const auto address = static_cast<std::uint16_t>(hexArgument(o.address, 4, "address"));
  std::uint32_t value = 0;
  if (write) value = hexArgument(o.value, word ? 4 : 2, "value");

  Tool tool(o, s);
  if (!tool.connect()) return kExitCamera;
  // In AFP the registers are reached through the gateway codes.
  link::Eap& eap = tool.eap();
  link::Afp& afp = tool.afpChannel();
  const bool viaAfp = tool.afp();
  bool ok;
  if (!write && !word) {
    std::uint8_t v = 0;
    ok = viaAfp ? link::gatewayReadByte(afp, tool.link(), address, v) : eap.readByte(address, v);
    if (ok) out << fmt::format("{:02X}\n", v);
  } else if (!write) {
    std::uint16_t v = 0;
    ok = viaAfp ? link::gatewayReadWord(afp, tool.link(), address, v) : eap.readWord(address, v);
    if (ok) out << fmt::format("{:04X}\n", v);
  } else if (!word) {
    const auto v = static_cast<std::uint8_t>(value);
    ok = viaAfp ? link::gatewayWriteByte(afp, tool.link(), address, v) : eap.writeByte(address, v);
  } else {
    const auto v = static_cast<std::uint16_t>(value);
    ok = viaAfp ? link::gatewayWriteWord(afp, tool.link(), address, v) : eap.writeWord(address, v);
  }
  if (!ok && viaAfp && afp.lastStatus() != 0)
    std::fprintf(stderr, "orva-cli: the camera refused the command (status %X)\n", static_cast<unsigned>(afp.lastStatus()));
  return ok ? kExitOk : kExitCamera;
}

// A function code: by its fields in the code map, or as one field of --width bits when the
// map does not know it. get prints the reply's fields in payload order.
int functionCommand(bool set, const Options& o, const shell::Settings& s, std::ostream& out) {
  const auto code = static_cast<std::uint16_t>(hexArgument(o.code, 4, "function code"));
  if (o.width && *o.width != 8 && *o.width != 16 && *o.width != 32) throw UsageError("--width must be 8, 16 or 32");
  const camera::CodeInfo* info = camera::findCode(code, o.width ? *o.width : 0);
  if (o.width && info && info->fields.size() != 1) info = nullptr;
  std::vector<std::uint32_t> values;
  if (info) {
    const std::size_t wanted = set ? info->fields.size() : info->indexCount();
    if (o.values.size() != wanted)
      throw UsageError(fmt::format("{:04X} takes {} value{} here", code, wanted, wanted == 1 ? "" : "s"));
    for (std::size_t i = 0; i < o.values.size(); ++i)
      values.push_back(hexArgument(o.values[i], set ? info->fields[i].digits() : 8, "value"));
  } else if (set && o.values.size() != 1) {
    throw UsageError(fmt::format("{:04X} is not in the code map: give one value and --width", code));
  }
  const auto digits = static_cast<std::size_t>(o.width.value_or(8) / 4);

  Tool tool(o, s);
  camera::ModelRecord record;
  camera::IdentificationFlags flags;
  if (!tool.connect() || !tool.identify(s, record, flags)) return kExitCamera;
  if (!tool.afp()) throw UsageError("get and set are AFP commands, but the camera speaks EAP; use --protocol afp or the protocol command");
  link::Afp& afp = tool.afpChannel();
  bool ok;
  if (info) {
    camera::FunctionCodes codes(afp, tool.link());
    if (set) {
      ok = codes.write(*info, values);
    } else {
      std::vector<std::uint32_t> fields;
      ok = codes.read(*info, fields, values);
      if (ok) {
        const auto reply = info->reply();
        for (std::size_t i = 0; i < fields.size(); ++i)
          out << (i ? " " : "") << fmt::format("{:0{}X}", fields[i], i < reply.size() ? reply[i].digits() : 2);
        out << "\n";
      }
    }
  } else {
    std::string field(digits, 'F');
    if (set) field = fmt::format("{:0{}X}", hexArgument(o.values.front(), digits, "value"), digits);
    const std::string payload = fmt::format("{:04X}{}", code, field);
    std::string reply;
    ok = set ? afp.set(payload, true) : afp.get(payload, reply);
    if (ok && !set) out << reply << "\n";
  }
  if (!ok && afp.lastStatus() != 0)
    std::fprintf(stderr, "orva-cli: the camera refused the command (status %X)\n", static_cast<unsigned>(afp.lastStatus()));
  return ok ? kExitOk : kExitCamera;
}

int identifyCommand(const Options& o, const shell::Settings& s, std::ostream& out) {
  Tool tool(o, s);
  if (!tool.connect()) return kExitCamera;
  camera::ModelRecord record;
  camera::IdentificationFlags flags;
  if (!tool.identify(s, record, flags)) return kExitCamera;
  for (const auto& [key, value] : camera::describeRecord(record, flags)) {
    out << key << ": " << value << "\n";
    if (key == "version") {
      out << "protocol: " << (tool.afp() ? "AFP" : "EAP") << "\n";
      out << "settings: " << link::formOf(tool.link().lineSettings()).text << "\n";
      const auto range = eeprom::cameraRange(record.modelCode, s.eepromSize);
      out << fmt::format("eeprom range: {:04X}-{:04X}\n", range.start, range.end - 1);
    }
  }
  return kExitOk;
}

int sendCommand(const Options& o, const shell::Settings& s) {
  auto file = eeprom::readCommandFile(o.target);
  if (!file) throw UsageError(file.message());
  Tool tool(o, s);
  camera::ModelRecord record;
  camera::IdentificationFlags flags;
  if (!tool.connect() || !tool.identify(s, record, flags)) return kExitCamera;
  eeprom::echoFileChoice(tool.link().monitor(), o.target);
  eeprom::CommandFileSender sender(tool.link(), tool.eap(), tool.afpChannel(), tool.prompt());
  const auto result = sender.send(*file);
  using Outcome = eeprom::SendResult::Outcome;
  if (result.outcome == Outcome::Done) return kExitOk;
  std::fprintf(stderr, "orva-cli: %s at line %zu of %s\n",
               result.outcome == Outcome::Failed ? "the command file stopped" : "cancelled", result.fileLine,
               o.target.c_str());
  return kExitCamera;
}

int modelsCommand(std::ostream& out) {
  for (const auto& row : camera::models())
    for (const auto& v : row.variants) {
      if (v.name.empty()) break;
      out << v.name << '\t' << fmt::format("{:04X}", v.code) << '\t' << (row.speaksAfp ? "EAP AFP" : "EAP") << "\n";
    }
  return kExitOk;
}

int speedCommand(const Options& o, const shell::Settings& s, std::ostream& out) {
  auto form = link::parseSettingsText(o.target);
  if (!form || form->speedCode > 10)
    throw UsageError(fmt::format("\"{}\" is not a camera speed; use 4800 to 57600 with parity E or N, e.g. \"9600,N,8,1\"", o.target));
  Tool tool(o, s);
  camera::ModelRecord record;
  camera::IdentificationFlags flags;
  if (!tool.connect() || !tool.identify(s, record, flags)) return kExitCamera;
  // The model decides which speeds the camera offers and which speed codes it takes.
  // An unknown model restricts nothing: the last connected camera's code, else the code of no model.
  std::uint16_t model = record.modelCode;
  if (model == camera::kModelNotIdentified && s.modelCode != 0) model = static_cast<std::uint16_t>(s.modelCode);
  const auto offered = link::cameraSpeeds(model, flags.speedCapability);
  if (std::none_of(offered.begin(), offered.end(), [&](const link::SpeedChoice& c) { return c.speedRank == link::speedRank(form->speedCode); })) {
    std::string speeds;
    for (const auto& c : offered) speeds += std::string(speeds.empty() ? "" : ", ") + std::string(c.label);
    throw UsageError(fmt::format("this camera offers only these speeds: {}", speeds));
  }
  using Change = link::Negotiator::SpeedChange;
  const Change r = tool.negotiator().changeCameraSpeed(*form, model, tool.prompt());
  if (r == Change::Cancelled) return kExitUsage;
  if (r == Change::Failed) return kExitCamera;
  // The camera restarted at its new speed: meet it there.
  if (r == Change::Changed && !tool.connect()) return kExitCamera;
  out << link::formOf(tool.link().lineSettings()).text << "\n";
  return kExitOk;
}

int protocolCommand(const Options& o, const shell::Settings& s, std::ostream& out) {
  const link::Protocol wanted = o.target == "afp" ? link::Protocol::Afp : link::Protocol::Eap;
  Tool tool(o, s);
  camera::ModelRecord record;
  camera::IdentificationFlags flags;
  if (!tool.connect() || !tool.identify(s, record, flags)) return kExitCamera;
  if (tool.link().protocol() != wanted) {
    tool.negotiator().switchProtocol();
    if (!tool.negotiator().probe()) return kExitCamera;
  }
  out << (wanted == link::Protocol::Afp ? "afp" : "eap") << "\n";
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
  app.add_flag("--monitor", o.monitor, "Show the monitor (PC and camera panes) on stderr");
  app.add_option("--simulate", o.simulate, "Work with the built-in virtual camera (optionally of MODEL)")
      ->expected(0, 1);
  app.add_flag("--yes", o.yes, "Answer yes to the questions a command asks");

  app.add_subcommand("ports", "List the serial ports: number, device path, description");
  for (const char* name : {"read", "read-word"}) {
    auto* c = app.add_subcommand(name, std::string("EAP register ") + (name[4] ? "word" : "byte") + " read; prints the value in hex");
    c->add_option("ADDR", o.address, "Register address (hex)")->required();
  }
  for (const char* name : {"write", "write-word"}) {
    auto* c = app.add_subcommand(name, std::string("EAP register ") + (name[5] ? "word" : "byte") + " write");
    c->add_option("ADDR", o.address, "Register address (hex)")->required();
    c->add_option("VAL", o.value, "Value (hex)")->required();
  }

  auto* get = app.add_subcommand("get", "AFP function read; prints the fields in payload order, in hex");
  get->add_option("CODE", o.code, "Function code (hex)")->required();
  get->add_option("INDEX", o.values, "Index fields of a table function (hex)");
  auto* set = app.add_subcommand("set", "AFP function write (waits for the camera's completion)");
  set->add_option("CODE", o.code, "Function code (hex)")->required();
  set->add_option("VALUE", o.values, "Field values in payload order (hex)")->required();
  for (auto* c : {get, set})
    c->add_option("--width", o.width, "Bits of the value field of a code the map does not know: 8, 16 or 32");
  app.add_subcommand("identify", "Identify the camera; prints the model record as key: value lines");
  app.add_subcommand("models", "List the camera models: name, model code, protocols");
  app.add_subcommand("send", "Send a command file to the camera")->add_option("FILE", o.target, "Command file")->required();
  auto* eepromCmd = app.add_subcommand("eeprom", "EEPROM tools");
  eepromCmd->require_subcommand(1);
  eepromCmd->add_subcommand("factory-images", "Which model codes have factory images, and which files were found");
  eepromCmd->add_subcommand("backup", "Identify the camera, then back its EEPROM range up to FILE")
      ->add_option("FILE", o.target, "EEPROM image file to write")
      ->required();
  auto* write = eepromCmd->add_subcommand(
      "write", "Back the camera up, write FILE into its EEPROM, then read it back and compare");
  write->add_option("FILE", o.target, "EEPROM image file to write into the camera")->required();
  write->add_option("--backup-to", o.backupTo, "Save the camera's EEPROM here first (default: a dated file beside FILE)")
      ->type_name("F2");
  write->add_flag("--no-backup", o.noBackup, "Write without saving the camera's EEPROM first");
  write->add_option("--except-adj", o.exceptAdj, "Leave the addresses of this adjustment-address file unwritten")
      ->type_name("CFG");
  write->add_flag("--no-verify", o.noVerify, "Do not read the camera back after writing");
  write->get_option("--backup-to")->excludes(write->get_option("--no-backup"));
  eepromCmd->add_subcommand("factory-reset", "The camera's own factory default, then a soft reset")->alias("factory");
  auto* diff = eepromCmd->add_subcommand("diff", "Address-by-address differences: ADDR A B, one line each");
  diff->add_option("A", o.target, "Image file, or \"camera\"")->required();
  diff->add_option("B", o.second, "Image file, or \"camera\"")->required();
  app.add_subcommand("adr", "Convert a linker address map into NAME.ADR beside it; prints the ADR file's path")
      ->add_option("MAPFILE", o.target, "Address map file (*.MAP)")
      ->required();
  auto* presetCmd =
      app.add_subcommand("preset", "The launcher's presets: the preset data file, and one record stored or recalled");
  presetCmd->require_subcommand(1);
  presetCmd->add_subcommand("save", "Write an empty preset data file for this camera's model to FILE")
      ->add_option("FILE", o.target, "Preset data file to write")
      ->required();
  presetCmd->add_subcommand("open", "Check FILE against this camera's model; print each record's memory flag")
      ->add_option("FILE", o.target, "Preset data file to read")
      ->required();
  const auto presetKeyArguments = [&o](CLI::App* c, std::string_view fileHelp) {
    c->add_option("TYPE", o.presetType, "I or II")->required()->check(CLI::IsMember({"I", "II"}));
    c->add_option("N", o.presetNumber, "Record 1-4")->required()->check(CLI::Range(1, 4));
    c->add_option("FILE", o.target, std::string(fileHelp))->required();
  };
  presetKeyArguments(presetCmd->add_subcommand("store", "Capture the lens state into record N of TYPE, as the "
                                                        "launcher's Memory key does, and keep it in FILE"),
                     "Preset data file (created for this camera's model when missing; other records kept)");
  auto* recall = presetCmd->add_subcommand("recall", "Restore record N of TYPE from FILE, as the launcher's Preset "
                                                     "key does");
  presetKeyArguments(recall, "Preset data file to read");
  recall->add_flag("--arrival-message", o.arrivalMessage, "Wait for the camera's zoom arrival message (EAP)");
  auto* setupCmd = app.add_subcommand("setup", "The camera setup utility (QB-109 series): setup data files");
  setupCmd->require_subcommand(1);
  setupCmd->add_subcommand("read", "Read the camera's setup data and save it as FILE (.csu appended)")
      ->add_option("FILE", o.target, "Setup data file to write")
      ->required();
  setupCmd->add_subcommand("write", "Load FILE with the utility's checks and write it to the camera (asks; --yes)")
      ->add_option("FILE", o.target, "Setup data file to read")
      ->required();
  setupCmd->add_subcommand("default", "Save the default setup data for the connected camera as FILE")
      ->add_option("FILE", o.target, "Setup data file to write")
      ->required();
  setupCmd->add_subcommand("reset", "Restart the camera as the utility's Camera RESET does and wait for it (asks; --yes)");
  app.add_subcommand("speed", "Change the camera's line speed, then reconnect; prints the new settings")
      ->add_option("TEXT", o.target, "New settings, e.g. \"9600,N,8,1\" (4800 to 57600)")
      ->required();
  app.add_subcommand("protocol", "Switch the camera to the protocol; prints it")
      ->add_option("PROTOCOL", o.target, "eap or afp")
      ->required()
      ->check(CLI::IsMember({"eap", "afp"}));

  app.add_subcommand("status", "AFP: the camera status block as Caption: value lines, in the BLOCK READ panel's order");
  app.add_subcommand("panels", "List the panels: ID, title, enabled or disabled for this camera");
  auto* panel = app.add_subcommand("panel", "Open a panel, perform the actions, print its controls as Caption: value");
  panel->add_option("ID", o.target, "Panel name, as panels lists it")->required();
  panel->add_option("--do", o.actions,
                    "CAPTION (press, select, toggle), CAPTION=VALUE (entry, list, on/off, up/down/+N/-N), "
                    "GROUP/CAPTION; in order")
      ->type_name("ACTION")
      ->allow_extra_args(false);

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
  const std::string command = app.get_subcommands().front()->get_name();

  try {
    if (command == "adr") return adrCommand(o, out, err);
    shell::Settings settings = loadSettings(o, err);
    if (command == "ports") return listPorts(out);
    if (command == "models") return modelsCommand(out);
    if (command == "send") return sendCommand(o, settings);
    if (command == "eeprom") {
      const std::string tool = app.get_subcommands().front()->get_subcommands().front()->get_name();
      return eepromCommand(tool, o, settings, out, err);
    }
    if (command == "preset") {
      const std::string tool = app.get_subcommands().front()->get_subcommands().front()->get_name();
      return presetCommand(tool, o, settings, out, err);
    }
    if (command == "setup") {
      const std::string tool = app.get_subcommands().front()->get_subcommands().front()->get_name();
      return setupCommand(tool, o, settings, out, err);
    }
    if (command == "identify") return identifyCommand(o, settings, out);
    if (command == "get" || command == "set") return functionCommand(command == "set", o, settings, out);
    if (command == "speed") return speedCommand(o, settings, out);
    if (command == "protocol") return protocolCommand(o, settings, out);
    if (command == "status") return statusCommand(o, settings, out, err);
    if (command == "panels") return panelsCommand(o, settings, out);
    if (command == "panel") return panelCommand(o, settings, out, err);
    return registerCommand(command, o, settings, out);
  } catch (const UsageError& e) {
    err << "orva-cli: " << e.what() << "\n";
    return kExitUsage;
  } catch (const NoAnswer& e) {
    err << "orva-cli: " << e.what() << "\n";
    return kExitUsage;
  }
}

}  // namespace orva::cli
