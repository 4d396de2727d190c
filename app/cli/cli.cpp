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

  // Command arguments.
  std::string address;
  std::string value;
  std::string code;
  std::vector<std::string> values;
  std::optional<int> width;
  std::string target;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Settings come from ORVA.ini (start-up folder or --config); the command line wins over them.
// The CLI never writes the file back.
shell::Settings loadSettings(const Options& o, std::ostream& err) {
  shell::Settings s;
  if (!o.config.empty()) {
    shell::SettingsFile file(o.config);
    std::string why;
    auto loaded = file.load(s, &why);
    if (loaded == shell::SettingsFile::Loaded::Missing)
      throw UsageError(fmt::format("configuration file {} not found", o.config));
    if (loaded == shell::SettingsFile::Loaded::Unreadable) throw UsageError(why);
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
      std::string forms;
      for (const auto& f : link::kSettingsForms) forms += fmt::format("{}\"{}\"", forms.empty() ? "" : ", ", f.text);
      throw UsageError(fmt::format("--settings \"{}\" is not a line setting; use one of: {}", o.settingsText, forms));
    }
    s.settingsText = std::string(form->text);
  }
  if (o.protocol == "afp") s.protocol = shell::kProtocolAfp;
  if (o.protocol == "eap") s.protocol = shell::kProtocolEap;
  return s;
}

std::uint32_t hexArgument(const std::string& text, std::size_t digits, std::string_view what) {
  auto v = core::parseHex(text, digits);
  if (!v) throw UsageError(fmt::format("{} \"{}\" is not a hexadecimal number of 1 to {} digits", what, text, digits));
  return *v;
}

// Everything one command works with, alive until the command ends.
class Tool {
 public:
  Tool(const Options& o, const shell::Settings& s)
      : view_(stderr, o.monitor), link_(clock_, monitor_), prompt_(o.yes, stdin, stderr) {
    monitor_.subscribe(view_);
    if (!o.logFile.empty()) {
      auto opened = monitor_.openLogFile(o.logFile);
      if (!opened) throw UsageError(opened.message());
    }
    link_.setLineSettings(link::lineSettingsOf(*link::findSettingsForm(s.settingsText)));
    link_.setProtocol(s.protocol == shell::kProtocolAfp ? link::Protocol::Afp : link::Protocol::Eap);
    monitor_.setAfpVariant(s.protocol == shell::kProtocolAfp);
    link_.setChannel(channel(o, s));
    negotiate_ = !o.noNegotiate && s.rsNegotiate != 0;
  }
  ~Tool() {
    link_.close();
    monitor_.closeLog();
    view_.finish();
    monitor_.unsubscribe(view_);
  }
  Tool(const Tool&) = delete;
  Tool& operator=(const Tool&) = delete;

  // Opens the line and finds the camera (unless told not to search).
  bool connect() {
    view_.setSearching(negotiate_);
    const bool found = negotiator_.connect(negotiate_);
    view_.setSearching(false);
    if (!found) {
      std::fprintf(stderr, "orva-cli: no camera answered at any line setting in either protocol\n");
      return false;
    }
    monitor_.setAfpVariant(link_.protocol() == link::Protocol::Afp);
    return link_.isOpen();
  }

  // Reads the camera's identification registers and decides the model.
  bool identify(const shell::Settings& s, camera::ModelRecord& record, camera::IdentificationFlags& flags) {
    camera::LinkRegisterReader reader(link_, eap_, afp_);
    camera::Identification identification(reader, monitor_, prompt_);
    camera::IdentificationSwitches switches{s.exComMode, s.newFeature, s.picModeCmd, s.qb165Clock};
    if (identification.run(record, flags, switches) == camera::IdentifyOutcome::Failed) {
      std::fprintf(stderr, "orva-cli: the camera could not be identified\n");
      return false;
    }
    link_.setBlockReadMode(flags.extendedCommMode);
    return true;
  }

  bool afp() const { return link_.protocol() == link::Protocol::Afp; }
  link::Link& link() { return link_; }
  link::Eap& eap() { return eap_; }
  link::Afp& afpChannel() { return afp_; }
  link::Negotiator& negotiator() { return negotiator_; }
  TerminalPrompt& prompt() { return prompt_; }

 private:
  std::unique_ptr<link::ByteChannel> channel(const Options& o, const shell::Settings& s) {
    if (o.simulate) {
      // The built-in camera listens at the tool's own settings and protocol, so no scan is needed.
      const auto protocol = s.protocol == shell::kProtocolAfp ? sim::Protocol::Afp : sim::Protocol::Eap;
      sim::Profile profile;
      if (!o.simulate->empty()) {
        auto model = sim::modelProfile(*o.simulate, protocol);
        if (!model)
          throw UsageError(fmt::format("no model \"{}\" (orva-cli models lists them; a model speaking only EAP needs --protocol eap)", *o.simulate));
        profile = *model;
      }
      profile.settings = *link::findSettingsForm(s.settingsText);
      profile.protocol = protocol;
      camera_ = std::make_unique<sim::VirtualCamera>(profile);
      return std::make_unique<sim::InProcessChannel>(*camera_, clock_, false);
    }
    if (!o.port.empty()) return std::make_unique<link::PosixSerialPort>(o.port);
    std::error_code ec;
    if (!s.portDevice.empty() && std::filesystem::exists(s.portDevice, ec))
      return std::make_unique<link::PosixSerialPort>(s.portDevice);
    auto ports = link::listPorts();
    if (ports.empty()) return nullptr;
    // The configured number, or the first port when that number is not present.
    auto chosen = link::findPort(ports, s.portNumber());
    return std::make_unique<link::PosixSerialPort>(chosen ? chosen->device : ports.front().device);
  }

  core::SteadyClock clock_;
  shell::Monitor monitor_;
  StderrView view_;
  std::unique_ptr<sim::VirtualCamera> camera_;
  link::Link link_;
  link::Eap eap_{link_};
  link::Afp afp_{link_};
  link::Negotiator negotiator_{link_, eap_, afp_};
  TerminalPrompt prompt_;
  bool negotiate_ = true;
};

int listPorts(std::ostream& out) {
  for (const auto& p : link::listPorts()) {
    std::string description = p.description;
    if (!p.byId.empty()) description += (description.empty() ? "" : " ") + ("(" + p.byId + ")");
    out << p.number << '\t' << p.device << '\t' << description << '\n';
  }
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
  eeprom::CommandFileSender sender(tool.link(), tool.eap(), tool.afpChannel(), tool.prompt());
  const auto result = sender.send(*file);
  using Outcome = eeprom::SendResult::Outcome;
  if (result.outcome == Outcome::Done) return kExitOk;
  std::fprintf(stderr, "orva-cli: %s at line %zu of %s\n",
               result.outcome == Outcome::Failed ? "the command file stopped" : "cancelled", result.fileLine,
               o.target.c_str());
  return kExitCamera;
}

// The terminal prompt, with a progress bar on stderr when stderr is a terminal (a script
// reading stderr gets no bar characters).
class ProgressPrompt final : public core::Prompt {
 public:
  explicit ProgressPrompt(core::Prompt& inner) : inner_(inner), bar_(::isatty(::fileno(stderr)) == 1) {}
  ~ProgressPrompt() override {
    if (drawn_) std::fputc('\n', stderr);
  }
  ProgressPrompt(const ProgressPrompt&) = delete;
  ProgressPrompt& operator=(const ProgressPrompt&) = delete;

  core::Answer ask(std::string_view text, std::string_view title, core::Buttons buttons, core::Icon icon) override {
    return inner_.ask(text, title, buttons, icon);
  }
  std::optional<std::filesystem::path> chooseFile(const core::FileChoice& choice) override {
    return inner_.chooseFile(choice);
  }
  void progress(std::string_view what, std::size_t done, std::size_t total) override {
    if (!bar_ || total == 0) return;
    constexpr std::size_t kWidth = 40;
    const std::size_t filled = std::min(done, total) * kWidth / total;
    std::fprintf(stderr, "\r%.*s [%s%s] %3zu%%", static_cast<int>(what.size()), what.data(),
                 std::string(filled, '#').c_str(), std::string(kWidth - filled, ' ').c_str(),
                 std::min(done, total) * 100 / total);
    std::fflush(stderr);
    drawn_ = true;
  }
  bool cancelled() const override { return inner_.cancelled(); }
  void busy(bool on) override { inner_.busy(on); }

 private:
  core::Prompt& inner_;
  bool bar_;
  bool drawn_ = false;
};

// Identifies the camera and saves its EEPROM range to the file; stdout stays empty.
int backupCommand(const Options& o, const shell::Settings& s) {
  Tool tool(o, s);
  camera::ModelRecord record;
  camera::IdentificationFlags flags;
  if (!tool.connect() || !tool.identify(s, record, flags)) return kExitCamera;
  const eeprom::Range range = eeprom::cameraRange(record.modelCode, s.eepromSize);
  eeprom::BackupOutcome outcome;
  {
    ProgressPrompt prompt(tool.prompt());
    eeprom::BackupRun run(tool.link(), tool.eap(), tool.afpChannel(), prompt);
    outcome = run.run({range, o.target, std::nullopt});
  }
  using eeprom::BackupResult;
  switch (outcome.result) {
    case BackupResult::Done:
      return kExitOk;
    case BackupResult::Cancelled:
      std::fprintf(stderr, "orva-cli: backup cancelled after %zu of %zu rows; %s was not written\n", outcome.rowsRead,
                   range.rows(), o.target.c_str());
      return kExitCamera;
    case BackupResult::FileNotOpened:
      std::fprintf(stderr, "orva-cli: %s\norva-cli: %s\n", std::string(eeprom::backupMessage(outcome.result)).c_str(),
                   outcome.why.c_str());
      return kExitUsage;
    default:
      std::fprintf(stderr, "orva-cli: %s\norva-cli: %s after %zu of %zu rows; %s was not written\n",
                   std::string(eeprom::backupMessage(outcome.result)).c_str(), outcome.why.c_str(), outcome.rowsRead,
                   range.rows(), o.target.c_str());
      return kExitCamera;
  }
}

// Which model codes have a factory EEPROM image, and which files were found for them.
int factoryImagesCommand(std::ostream& out) {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  const auto search = eeprom::dataSearchPath(ORVA_INSTALL_PREFIX, ec ? std::filesystem::path() : self.parent_path());
  for (const auto& c : eeprom::factoryImageCoverage(search)) {
    std::string codes;
    for (auto code : c.entry->modelCodes)
      if (code != 0) codes += fmt::format("{}{:04X}", codes.empty() ? "" : ",", code);
    out << c.entry->fileName() << '\t' << codes << '\t' << (c.file ? c.file->string() : std::string("not found")) << "\n";
  }
  out.flush();
  std::string folders;
  for (const auto& f : search) folders += (folders.empty() ? "" : ", ") + f.string();
  std::fprintf(stderr, "orva-cli: factory images are looked for in %s\n", folders.c_str());
  return kExitOk;
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
  app.add_subcommand("speed", "Change the camera's line speed, then reconnect; prints the new settings")
      ->add_option("TEXT", o.target, "New settings, e.g. \"9600,N,8,1\" (4800 to 57600)")
      ->required();
  app.add_subcommand("protocol", "Switch the camera to the protocol; prints it")
      ->add_option("PROTOCOL", o.target, "eap or afp")
      ->required()
      ->check(CLI::IsMember({"eap", "afp"}));

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
    shell::Settings settings = loadSettings(o, err);
    if (command == "ports") return listPorts(out);
    if (command == "models") return modelsCommand(out);
    if (command == "send") return sendCommand(o, settings);
    if (command == "eeprom") {
      const std::string tool = app.get_subcommands().front()->get_subcommands().front()->get_name();
      if (tool == "backup") return backupCommand(o, settings);
      return factoryImagesCommand(out);
    }
    if (command == "identify") return identifyCommand(o, settings, out);
    if (command == "get" || command == "set") return functionCommand(command == "set", o, settings, out);
    if (command == "speed") return speedCommand(o, settings, out);
    if (command == "protocol") return protocolCommand(o, settings, out);
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
