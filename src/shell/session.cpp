#include "shell/session.hpp"

#include <memory>

#include <optional>
#include <utility>

#include <fmt/format.h>

#include "camera/setting.hpp"
#include "link/settings_forms.hpp"
#include "shell/session_texts.hpp"

namespace orva::shell {
namespace {

// The About box's reads.
constexpr std::uint16_t kVersionRegister = 0x0106;
constexpr std::uint16_t kFpgaVersionRegister = 0xFF90;

}  // namespace

Session::Session(SessionSetup setup, Monitor& monitor, core::Clock& clock, core::Prompt& prompt,
                 panels::Dispatcher& dispatcher)
    : settings_(std::move(setup.settings)),
      settingsFile_(std::move(setup.settingsFile)),
      start_(setup.start),
      monitor_(monitor),
      prompt_(prompt),
      dispatcher_(dispatcher),
      connection_(settings_, start_.noCamera, monitor, clock, prompt),
      menus_(settings_, start_),
      runner_(monitor, dispatcher),
      // 0 is what ORVA.ini holds when it names no camera.
      rememberedModel_(settings_.modelCode != 0 ? static_cast<std::uint16_t>(settings_.modelCode)
                                                : camera::kModelNotIdentified),
      presetFolder_(setup.startFolder),
      shortcutKeys_{connection_.link(), connection_.eap(), connection_.functionCodes(),
                    [this] { return connection_.isOpen(); }, [this] { return runner_.busy(); }},
      runs_(EepromRunsContext{connection_, settings_, state_, monitor, prompt, dispatcher, runner_,
                              [this] { notifyChanged(); }},
            EepromFolders{std::move(setup.startFolder), std::move(setup.dataSearchPath)}) {}

Session::~Session() {
  stopRuns();
  alive_.close();
}

camera::GatingSwitches Session::gatingSwitches() const {
  camera::GatingSwitches sw = shell::gatingSwitches(settings_, start_);
  sw.protocol = connection_.link().protocol();
  return sw;
}

// ---- connect, disconnect, exit, shutdown

ConnectResult Session::connect(const LineWork& lineWork) {
  if (runner_.busy()) return ConnectResult::Busy;
  using Stage = LineOutcome::Stage;
  LineOutcome line = connection_.open(settings_, lineWork);
  if (line.stage == Stage::OpenFailed) {
    // Whatever a camera connected before showed (a reconnect after a speed change) goes.
    closeConnection();
    return ConnectResult::OpenFailed;
  }
  // What the negotiation found is what ORVA.ini keeps for the next start (without a camera
  // there is nothing found, and the settings stay as they were).
  link::Link& link = connection_.link();
  if (line.found) {
    settings_.protocol = link.protocol() == link::Protocol::Afp ? kProtocolAfp : kProtocolEap;
    settings_.settingsText = std::string(link::formOf(link.lineSettings()).text);
  }

  const camera::GatingSwitches sw = gatingSwitches();
  launcher_ = camera::connectedLauncher(launcher_, sw);
  if (line.stage == Stage::IdentificationFailed) {
    closeConnection();
    return ConnectResult::IdentificationFailed;
  }
  connection_.adopt(line.identity, settings_.settingsText);
  settings_.newFeature = line.switches.newFeature;
  settings_.qb165Clock = line.switches.qb165Clock;

  const camera::ModelRecord& record = connection_.model();
  launcher_ = camera::launcherGating(launcher_, record, connection_.flags(), sw, presets_);
  presets_.previousModelCode = record.modelCode;
  menus_.connected(record, connection_.flags(), sw, connection_.settingReader());

  // A backup belongs to the model it was made of.
  if (record.modelCode != rememberedModel_) runs_.setBackupMade(false);
  rememberedModel_ = record.modelCode;

  monitor_.heading(texts::kConnectionSuccessful);
  if (!runs_.backupMade() &&
      prompt_.ask(texts::kBackupQuestion, texts::kAttention, core::Buttons::YesNo, core::Icon::Question) ==
          core::Answer::Yes)
    runs_.startBackup();
  return ConnectResult::Connected;
}

void Session::closeConnection() {
  shortcutKeys_.releaseAll();
  connection_.close();
  monitor_.closeLog();
  state_.disconnected();
  const auto disabled = camera::disableForDisconnect(launcher_, menus_.gatingState(), gatingSwitches());
  launcher_ = disabled.launcher;
  presets_.savedChecks = disabled.savedChecks;
  // What a model renamed or showed goes back to how the launcher starts.
  using camera::LauncherItem;
  for (auto item : {LauncherItem::ShutterSpeed, LauncherItem::Exposure, LauncherItem::WdrReverse,
                    LauncherItem::ApertureLevel})
    launcher_[item].caption = {};
  for (auto item : {LauncherItem::ZoomArrivalMessage, LauncherItem::StatusMessage, LauncherItem::BiCycling})
    launcher_[item].shown = false;
  launcher_[LauncherItem::Ver].enabled = false;
  menus_.disconnected(disabled);
}

LeaveResult Session::disconnect() {
  if (runner_.busy()) return LeaveResult::Busy;
  if (runs_.offerRestore()) return LeaveResult::Stayed;
  closeConnection();
  return LeaveResult::Left;
}

LeaveResult Session::exit() {
  // An operation still on the line is stopped first (when the operator agrees), so that the
  // restore offer finds the line free.
  if (runner_.busy()) {
    if (prompt_.ask(texts::kStopRunQuestion, texts::kConfirmation, core::Buttons::OkCancel, core::Icon::Question) !=
        core::Answer::Ok)
      return LeaveResult::Stayed;
    stopRuns();
  }
  if (runs_.offerRestore()) return LeaveResult::Stayed;
  return shutdown(AskFirst::Never).done ? LeaveResult::Left : LeaveResult::Stayed;
}

ShutdownResult Session::shutdown(AskFirst ask) {
  ShutdownResult result;
  if (shutDown_) {
    result.done = true;
    return result;
  }
  if (ask == AskFirst::IfRunning && runner_.busy() &&
      prompt_.ask(texts::kStopRunQuestion, texts::kConfirmation, core::Buttons::OkCancel, core::Icon::Question) !=
          core::Answer::Ok)
    return result;
  shortcutKeys_.releaseAll();
  // A run is stopped between rows and joined, never cut off in the middle of an EEPROM write.
  stopRuns();
  connection_.close();
  if (monitor_.logOpen()) monitor_.writeLog("\n");
  monitor_.closeLog();
  // Written last, so that it keeps what a run that ended just now has made.
  settings_.backupMade = runs_.backupMade();
  if (rememberedModel_ != camera::kModelNotIdentified) settings_.modelCode = rememberedModel_;
  if (!settingsFile_.empty()) result.saved = SettingsFile(settingsFile_).save(settings_);
  shutDown_ = true;
  result.done = true;
  return result;
}

void Session::stopRuns() {
  if (runWaitHook_) runWaitHook_(true);
  runs_.stop();
  runner_.requestStop();
  runner_.waitIdle();
  if (runWaitHook_) runWaitHook_(false);
}

void Session::notifyChanged() {
  if (changed_Handler_) changed_Handler_();
}

bool Session::refusedWithoutPort() {
  if (connection_.isOpen()) return false;
  prompt_.message(texts::kSetPort, texts::kAttention);
  return true;
}

// ---- what panels ask of the launcher

void Session::gateForModel() {
  const camera::GatingSwitches sw = gatingSwitches();
  const camera::ModelRecord& record = connection_.model();
  launcher_ = camera::launcherGating(camera::connectedLauncher(launcher_, sw), record, connection_.flags(), sw,
                                     presets_);
  presets_.previousModelCode = record.modelCode;
  menus_.applyModel(record, connection_.flags(), sw, connection_.settingReader());
}

bool Session::identifyAgain(const LineWork& lineWork) {
  if (!connection_.isOpen()) return false;
  const auto slot = runner_.claim();
  if (!slot) return false;
  Identity id{connection_.model(), {}, {}};
  auto sw = Connection::identificationSwitches(settings_);
  bool identified = false;
  const std::function<void()> job = [&] { identified = connection_.identify(id.record, id.flags, id.fields, sw); };
  if (lineWork) lineWork(job);
  else job();
  if (!identified) return false;
  connection_.take(id);
  gateForModel();
  notifyChanged();
  return true;
}

void Session::setLauncherEnabled(bool enabled) {
  if (!connection_.isOpen()) return;
  if (enabled) {
    const camera::GatingSwitches sw = gatingSwitches();
    launcher_ = camera::launcherGating(camera::connectedLauncher(launcher_, sw), connection_.model(),
                                       connection_.flags(), sw, presets_);
    menus_.connected(connection_.model(), connection_.flags(), sw, connection_.settingReader());
  } else {
    const auto disabled = camera::disableForDisconnect(launcher_, menus_.gatingState(), gatingSwitches());
    launcher_ = disabled.launcher;
    presets_.savedChecks = disabled.savedChecks;
    menus_.modelItemsDisabled(disabled);
  }
  notifyChanged();
}

void Session::refreshLauncherFields() {
  if (connection_.isOpen() && connection_.readAeMode()) notifyChanged();
}

// ---- the MODEL menu

CommandResult Session::modelCommand(MenuItem item) {
  if (runner_.busy()) return CommandResult::Busy;
  if (refusedWithoutPort()) return CommandResult::Refused;
  Connection& line = connection_;
  auto context = std::make_shared<ModelCommandContext>(ModelCommandContext{
      line.link(), line.eap(), line.afp(), line.functionCodes(), monitor_, prompt_, line.link().clock(),
      line.model(), line.flags(), false,
      [this] {
        panels::postToPanel(dispatcher_, alive_.token(), [this] {
          if (panelCloser_) panelCloser_();
        });
      },
      [this, sw = Connection::identificationSwitches(settings_)](camera::ModelRecord& record,
                                                                  camera::IdentificationFlags& flags,
                                                                  camera::LauncherFields& fields) mutable {
        return connection_.identify(record, flags, fields, sw);
      }});
  const bool started = runs_.startRun([this, item, context](std::stop_token stop) {
    const ModelCommandOutcome outcome = runModelCommand(item, *context, stop);
    panels::postToPanel(dispatcher_, alive_.token(), [this, outcome] { applyModelOutcome(outcome); });
  });
  return started ? CommandResult::Started : CommandResult::Busy;
}

void Session::applyModelOutcome(const ModelCommandOutcome& outcome) {
  // A line closed meanwhile has taken the model's state with it.
  if (!connection_.isOpen()) return;
  if (outcome.record) {
    if (outcome.flags) {
      connection_.take({*outcome.record, *outcome.flags,
                        outcome.fields ? *outcome.fields : connection_.launcherFields()});
      gateForModel();
    } else {
      connection_.setLensControlWord(outcome.record->lensControlWord);
    }
  }
  if (outcome.formatField) connection_.setFormatField(*outcome.formatField);
  if (outcome.formatSwitchMode) connection_.setFormatSwitchMode(*outcome.formatSwitchMode);
  if (outcome.greySoftReset) menus_.setEnabled(MenuItem::SoftReset, false);
  for (const auto& [item, checked] : outcome.checks) menus_.setChecked(item, checked);
  notifyChanged();
}

// ---- the SETUP, CLS, DEMO and Help menus

void Session::selectProtocol(link::Protocol protocol) {
  if (connection_.link().protocol() == protocol) return;
  const bool afp = protocol == link::Protocol::Afp;
  const bool open = connection_.isOpen();
  if (open) {
    if (runner_.busy()) return;
    // The camera's own switch; the line is reopened whatever the camera answered.
    (void)connection_.negotiator().switchProtocol();
    if (afp) connection_.changedAddresses().clear();
  } else {
    connection_.link().setProtocol(protocol);
  }
  settings_.protocol = afp ? kProtocolAfp : kProtocolEap;
  monitor_.setAfpVariant(afp);
  // The same camera in the other protocol: what the launcher and the menus offer follows it.
  if (open) gateForModel();
  menus_.setChecked(MenuItem::AfpSelect, afp);
  menus_.setChecked(MenuItem::EapSelect, !afp);
}

void Session::setDemoWait(int seconds) {
  settings_.demoWaitSeconds = seconds;
  menus_.setChecked(MenuItem::WaitTime3s, seconds == 3);
  menus_.setChecked(MenuItem::WaitTime5s, seconds != 3);
}

void Session::setDemoLoop(int mode) {
  settings_.demoMode = mode;
  menus_.setChecked(MenuItem::InfLoop, mode == 0);
  menus_.setChecked(MenuItem::OneTime, mode == 1);
  menus_.setChecked(MenuItem::LimitedLoop, mode != 0 && mode != 1);
}

bool Session::startLauncherRun(panels::Operation op) {
  if (runner_.busy()) return false;
  // Let go on the window thread when the run's end is posted there; a run that never started
  // lets go as its operation goes.
  auto lock = std::make_shared<std::optional<MenuBusyLock>>(std::in_place, menus_);
  op.ended = [lock, then = std::move(op.ended)] {
    lock->reset();
    if (then) then();
  };
  return runner_.start(std::move(op));
}

bool Session::clearLineBuffers() {
  const auto slot = runner_.claim();
  if (!slot) return false;
  connection_.link().clearBuffers();
  return true;
}

void Session::setLineSettingsText(std::string text) {
  settings_.settingsText = std::move(text);
  normalizeSettingsText(settings_);
}

void Session::setPortChoice(int portIndex, std::string device) {
  settings_.portIndex = portIndex;
  settings_.portDevice = std::move(device);
}

link::Negotiator::SpeedChange Session::changeCameraSpeed(const link::SettingsForm& to, std::uint16_t modelCode) {
  const auto change = connection_.negotiator().changeCameraSpeed(to, modelCode, prompt_);
  if (change == link::Negotiator::SpeedChange::Changed) settings_.settingsText = std::string(to.text);
  return change;
}

std::optional<std::vector<std::string>> Session::versionLines(bool& failed) {
  failed = false;
  if (!connection_.isOpen()) return std::vector<std::string>{};
  const auto slot = runner_.claim();
  if (!slot) return std::nullopt;
  link::Link& link = connection_.link();
  link::Eap& eap = connection_.eap();
  camera::FunctionCodes& codes = connection_.functionCodes();
  const std::size_t count =
      link.protocol() == link::Protocol::Eap && (connection_.model().featureWord & 0x2000) != 0 ? 3 : 2;
  std::vector<std::string> lines(count, std::string(texts::kNoVersionLine));
  auto hiLo = [](std::string_view caption, std::uint32_t v) {
    return fmt::format("  {} {:02X}.{:02X}", caption, (v >> 8) & 0xFFu, v & 0xFFu);
  };
  std::uint32_t value = 0;
  if (!camera::readSetting(camera::registerSetting(kVersionRegister, 16), value, link, eap, codes)) {
    failed = true;
    return lines;
  }
  lines[0] = hiLo("Camera Ver", value);
  if (!camera::readSetting(camera::kCameraTypeSetting, value, link, eap, codes)) {
    failed = true;
    return lines;
  }
  lines[1] = hiLo("Camera Type", value);
  if (count == 3) {
    if (!camera::readSetting(camera::registerSetting(kFpgaVersionRegister, 16), value, link, eap, codes)) {
      failed = true;
      return lines;
    }
    lines[2] = hiLo("FPGA Version", value);
  }
  return lines;
}

}  // namespace orva::shell
