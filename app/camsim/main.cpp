// orva-camsim: the virtual camera on a pseudo-terminal.
//
// Prints "PTY /dev/pts/N" as its first line on stdout, then answers on that pty until SIGINT
// or SIGTERM (exit 0); SIGUSR1 makes the camera raise the indication I11T, SIGUSR2 I12T (IR cut
// filter change requests, out to in and in to out). With --save-eeprom
// the EEPROM goes to an image file when the camera stops, however it stops. Usage errors exit
// 2, a failing pty or a failed save exits 1.
#include <fmt/format.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "core/clock.hpp"
#include "core/version.hpp"
#include "eeprom/image.hpp"
#include "link/settings_forms.hpp"
#include "sim/faults.hpp"
#include "sim/model_profiles.hpp"
#include "sim/profile.hpp"
#include "sim/pty.hpp"
#include "sim/pty_server.hpp"
#include "sim/virtual_camera.hpp"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct Options {
  std::string profile;
  std::string protocol;
  std::string settings;
  bool lineTiming = false;
  std::vector<std::string> faults;
  std::string eeprom;
  std::uint32_t eepromSeed = orva::sim::kDefaultEepromSeed;
  std::string saveEeprom;
  bool listModels = false;
  std::string model;
  bool verbose = false;
};

int usageError(const std::string& message) {
  fmt::print(stderr, "orva-camsim: {}\n", message);
  return kExitUsage;
}

// The camera the model table describes, in the protocol asked for (EAP unless --protocol afp).
std::optional<orva::sim::Profile> profileOfModel(const Options& o, std::string& error) {
  const auto names = orva::sim::modelNames();
  if (std::find(names.begin(), names.end(), o.model) == names.end()) {
    error = fmt::format("unknown model \"{}\"; orva-camsim --list-models shows the names", o.model);
    return std::nullopt;
  }
  const auto protocol = o.protocol == "afp" ? orva::sim::Protocol::Afp : orva::sim::Protocol::Eap;
  auto profile = orva::sim::modelProfile(o.model, protocol, o.eepromSeed);
  if (!profile) error = fmt::format("{} speaks EAP only", o.model);
  return profile;
}

// The EEPROM options need a range to work on.
std::optional<std::string> needsEepromRange(const Options& o, const orva::sim::Profile& profile) {
  if (profile.eepromRange) return std::nullopt;
  const std::string option = !o.eeprom.empty() ? "--eeprom" : !o.saveEeprom.empty() ? "--save-eeprom" : "";
  if (option.empty()) return std::nullopt;
  return fmt::format("{} needs a camera with an EEPROM range: --model, or an eeprom line in the profile", option);
}

// The image file laid over the EEPROM range as the last register block, so the camera also
// takes it as its factory contents.
bool loadEeprom(const Options& o, orva::sim::Profile& profile, std::string& error) {
  if (auto missing = needsEepromRange(o, profile)) {
    error = *missing;
    return false;
  }
  if (o.eeprom.empty()) return true;
  auto image = orva::eeprom::readImageFile(o.eeprom, *profile.eepromRange);
  if (!image) {
    error = image.message();
    return false;
  }
  profile.registers.push_back({image->start, std::move(image->bytes)});
  return true;
}

// Writes the EEPROM range as it stands; false (and a message on stderr) when that failed.
bool saveEeprom(const std::string& path, const orva::sim::VirtualCamera& camera) {
  const auto saved = orva::eeprom::writeImageFile(path, camera.eepromContents());
  if (saved.failed()) {
    fmt::print(stderr, "orva-camsim: {}\n", saved.message());
    return false;
  }
  fmt::print(stderr, "orva-camsim: EEPROM saved to {}\n", path);
  return true;
}

// The profile with the command line's settings and protocol laid over it.
std::optional<orva::sim::Profile> buildProfile(const Options& o, std::string& error) {
  orva::sim::Profile profile;
  if (!o.model.empty()) {
    auto generated = profileOfModel(o, error);
    if (!generated) return std::nullopt;
    profile = std::move(*generated);
  } else if (!o.profile.empty()) {
    auto loaded = orva::sim::loadProfile(o.profile);
    if (!loaded) {
      error = loaded.message();
      return std::nullopt;
    }
    profile = std::move(*loaded);
  }
  if (!o.settings.empty()) {
    auto form = orva::link::parseSettingsText(o.settings);
    if (!form) {
      error = fmt::format("--settings \"{}\" is not a settings text; use one of", o.settings);
      for (const auto& f : orva::link::kSettingsForms) error += fmt::format(" \"{}\"", f.text);
      return std::nullopt;
    }
    profile.settings = *form;
  }
  if (o.protocol == "eap") profile.protocol = orva::sim::Protocol::Eap;
  if (o.protocol == "afp") profile.protocol = orva::sim::Protocol::Afp;
  if (!loadEeprom(o, profile, error)) return std::nullopt;
  return profile;
}

// Signals arrive as readable data on descriptors the serving loop polls.
int signalFd(std::initializer_list<int> signals) {
  sigset_t set;
  sigemptyset(&set);
  for (int s : signals) sigaddset(&set, s);
  if (sigprocmask(SIG_BLOCK, &set, nullptr) != 0) return -1;
  return signalfd(-1, &set, SFD_CLOEXEC);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"ORVA virtual camera: answers like a camera on a pseudo-terminal", "orva-camsim"};
  app.set_version_flag("--version", fmt::format("orva-camsim {}", orva::core::version()));
  Options o;
  auto* profileOption = app.add_option("--profile", o.profile, "Profile file: settings, protocol and register contents")
                            ->type_name("FILE");
  app.add_option("--protocol", o.protocol, "Protocol the camera speaks")
      ->check(CLI::IsMember({"eap", "afp"}));
  app.add_option("--settings", o.settings, "Line settings the camera listens at (default \"4800,E,8  ,1\")");
  app.add_flag("--line-timing", o.lineTiming, "Take as long per character as a real line at that speed");
  app.add_option("--fault", o.faults, "Fault to show: " + orva::sim::faultUsage())
      ->type_name("KIND[:N]")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_option("--eeprom", o.eeprom, "EEPROM image file laid over the camera's EEPROM range at start")
      ->type_name("FILE");
  app.add_option("--save-eeprom", o.saveEeprom, "Image file the EEPROM range is saved to when the camera stops")
      ->type_name("FILE");
  app.add_flag("--list-models", o.listModels, "List the camera models, one name a line");
  auto* modelOption = app.add_option("--model", o.model, "Camera model from the model table (see --list-models)")
                          ->type_name("NAME")
                          ->excludes(profileOption);
  app.add_option("--eeprom-seed", o.eepromSeed, "Seed of the model's EEPROM contents (default 1)")
      ->type_name("N")
      ->needs(modelOption);
  app.add_flag("--verbose", o.verbose, "Print every frame and its answer on stderr");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kExitOk : kExitUsage;
  }

  if (o.listModels) {
    for (const auto& name : orva::sim::modelNames()) fmt::print("{}\n", name);
    return kExitOk;
  }
  std::string error;
  auto profile = buildProfile(o, error);
  if (!profile) return usageError(error);
  std::vector<orva::sim::Fault> faults;
  for (const auto& text : o.faults) {
    auto fault = orva::sim::parseFault(text);
    if (!fault) return usageError(fault.message());
    faults.push_back(*fault);
  }

  // Taken over before the pty is announced: a signal sent as soon as the tool has read the
  // first line must not end the program.
  const int stopFd = signalFd({SIGINT, SIGTERM});
  const int indicationFd = signalFd({SIGUSR1, SIGUSR2});
  if (stopFd < 0 || indicationFd < 0) {
    fmt::print(stderr, "orva-camsim: could not take over SIGINT, SIGTERM, SIGUSR1 and SIGUSR2\n");
    return kExitFailure;
  }
  orva::sim::VirtualCamera camera(*profile, faults);
  auto pty = orva::sim::Pty::open(camera.settings());
  if (!pty) {
    fmt::print(stderr, "orva-camsim: {}\n", pty.message());
    return kExitFailure;
  }
  fmt::print("PTY {}\n", pty->slavePath());
  std::fflush(stdout);
  fmt::print(stderr, "orva-camsim: {} camera at \"{}\" on {}{}\n", orva::sim::protocolName(camera.protocol()),
             profile->settings.text, pty->slavePath(), o.lineTiming ? " with line timing" : "");
  if (const auto& range = camera.eepromRange())
    fmt::print(stderr, "orva-camsim: EEPROM {:04X}-{:04X}\n", range->start, range->end - 1);

  const orva::sim::ServeOptions serve{o.lineTiming, o.verbose ? stderr : nullptr, indicationFd};
  auto end = orva::sim::servePty(*pty, camera, stopFd, serve);
  ::close(stopFd);
  ::close(indicationFd);
  if (!end) fmt::print(stderr, "orva-camsim: {}\n", end.message());
  if (end && *end == orva::sim::ServeEnd::HungUp && camera.hangUpFault())
    fmt::print(stderr, "orva-camsim: hung up the line, as the {} fault asked\n",
               orva::sim::faultText(*camera.hangUpFault()));
  // Work the camera finished while the line was quiet (a factory default) counts.
  camera.advanceTo(orva::core::SteadyClock().now());
  const bool saved = o.saveEeprom.empty() || saveEeprom(o.saveEeprom, camera);
  return end && saved ? kExitOk : kExitFailure;
}
