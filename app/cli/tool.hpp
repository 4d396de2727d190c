#pragma once
// What every orva-cli command works with: its options, the settings, and the Tool that owns
// the monitor, the link and the protocols for the length of one command.
#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli.hpp"
#include "camera/identification.hpp"
#include "core/clock.hpp"
#include "core/text.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
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

// A message for the operator on stderr, in the program's name.
inline void say(std::ostream& err, std::string_view text) { err << "orva-cli: " << text << "\n" << std::flush; }

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
  std::string second;  // the second file of "eeprom diff"
  std::vector<std::string> actions;  // panel --do

  // preset store / recall: TYPE (I or II) and N (1-4)
  std::string presetType;
  int presetNumber = 0;
  bool arrivalMessage = false;

  // eeprom write
  std::string backupTo;
  bool noBackup = false;
  std::string exceptAdj;
  bool noVerify = false;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Settings come from ORVA.ini (start-up folder or --config); the command line wins over them.
// The CLI never writes the file back.
inline shell::Settings loadSettings(const Options& o, std::ostream& err) {
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

inline std::uint32_t hexArgument(const std::string& text, std::size_t digits, std::string_view what) {
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
    prompt_.setBeforeWriting([this] { view_.finish(); });
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
      // The open failure and its reason are already on stderr: nothing was searched.
      if (negotiator_.openFailed()) return false;
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
  shell::Monitor& monitor() { return monitor_; }
  core::Clock& clock() { return clock_; }

 private:
  std::unique_ptr<link::ByteChannel> channel(const Options& o, const shell::Settings& s) {
    if (o.simulate) {
      // The built-in camera listens at the tool's own settings and protocol, so no scan is needed.
      const auto protocol = s.protocol == shell::kProtocolAfp ? sim::Protocol::Afp : sim::Protocol::Eap;
      auto profile = sim::builtInProfile(*o.simulate, protocol, *link::findSettingsForm(s.settingsText));
      if (!profile)
        throw UsageError(fmt::format("no model \"{}\" (orva-cli models lists them; a model speaking only EAP needs --protocol eap)", *o.simulate));
      camera_ = std::make_unique<sim::VirtualCamera>(*profile);
      return std::make_unique<sim::InProcessChannel>(*camera_, clock_, false);
    }
    const std::string device = link::startPortDevice(o.port, s.portDevice, s.portNumber());
    if (device.empty()) return nullptr;
    return std::make_unique<link::PosixSerialPort>(device);
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

}  // namespace orva::cli
