#include "shell/session.hpp"

#include <optional>
#include <utility>

#include <fmt/format.h>

#include "camera/setting.hpp"
#include "core/wall_clock.hpp"
#include "eeprom/backup.hpp"
#include "eeprom/command_file.hpp"
#include "eeprom/factory_images.hpp"
#include "eeprom/image.hpp"
#include "eeprom/write_back.hpp"
#include "link/settings_forms.hpp"
#include "shell/session_texts.hpp"

namespace orva::shell {
namespace {

// File dialog modes: the MEM row, opened for reading or (16 and up) for saving.
constexpr int kMemOpenMode = 1;
constexpr int kMemSaveMode = 16 + 1;
// Block-read mode in which a backup may carry the image header.
constexpr int kBlockReadRows = 2;
// The About box's reads.
constexpr std::uint16_t kVersionRegister = 0x0106;
constexpr std::uint16_t kFpgaVersionRegister = 0xFF90;

link::Protocol protocolOf(int setting) { return setting == kProtocolAfp ? link::Protocol::Afp : link::Protocol::Eap; }

}  // namespace

Session::Session(SessionSetup setup, Monitor& monitor, core::Clock& clock, core::Prompt& prompt,
                 panels::Dispatcher& dispatcher)
    : settings_(std::move(setup.settings)),
      settingsFile_(std::move(setup.settingsFile)),
      start_(setup.start),
      startFolder_(std::move(setup.startFolder)),
      dataSearchPath_(std::move(setup.dataSearchPath)),
      monitor_(monitor),
      prompt_(prompt),
      dispatcher_(dispatcher),
      link_(clock, monitor),
      menus_(settings_, start_),
      runner_(monitor, dispatcher),
      backupMade_(settings_.backupMade),
      // 0 is what ORVA.ini holds when it names no camera.
      rememberedModel_(settings_.modelCode != 0 ? static_cast<std::uint16_t>(settings_.modelCode)
                                                : camera::kModelNotIdentified) {
  link_.setChangedAddressSink(&changed_);
  if (start_.noCamera) link_.setNoCameraMode(link::NoCameraMode::Allowed);
  link_.setProtocol(protocolOf(settings_.protocol));
  monitor_.setAfpVariant(settings_.protocol == kProtocolAfp);
}

Session::~Session() {
  stopRuns();
  alive_.close();
}

void Session::setChannel(std::unique_ptr<link::ByteChannel> channel, std::string portName) {
  link_.setChannel(std::move(channel));
  portName_ = std::move(portName);
}

camera::GatingSwitches Session::gatingSwitches() const {
  camera::GatingSwitches sw = shell::gatingSwitches(settings_, start_);
  sw.protocol = link_.protocol();
  return sw;
}

eeprom::Range Session::range() const { return eeprom::cameraRange(rangeModel_.load(), settings_.eepromSize); }

bool Session::identify(camera::ModelRecord& record, camera::IdentificationFlags& flags,
                       camera::LauncherFields& fields, camera::IdentificationSwitches& sw) {
  camera::LinkRegisterReader reader(link_, eap_, afp_);
  camera::Identification identification(reader, monitor_, prompt_);
  if (identification.run(record, flags, sw) == camera::IdentifyOutcome::Failed) return false;
  link_.setBlockReadMode(flags.extendedCommMode);
  fields = identification.launcher();
  return true;
}

// ---- connect, disconnect, exit, shutdown

ConnectResult Session::connect(const LineWork& lineWork) {
  if (runner_.busy()) return ConnectResult::Busy;
  camera::resetModelRecord(record_);
  flags_ = {};
  if (const auto form = link::findSettingsForm(settings_.settingsText))
    link_.setLineSettings(link::lineSettingsOf(*form));
  link_.setProtocol(protocolOf(settings_.protocol));

  // The line's part: the negotiation may try twenty settings and the identification reads
  // dozens of registers, so it may run off the window thread. It reaches only the link, the
  // monitor and the prompt, and hands its results back here.
  enum class Stage { OpenFailed, IdentificationFailed, Identified };
  Stage stage = Stage::OpenFailed;
  // With "/DS" a line that does not open or a camera that does not answer is no failure: the
  // identification's first read fails and the session goes on with the simulated camera.
  const bool allowedWithoutCamera = link_.noCameraMode() == link::NoCameraMode::Allowed;
  const bool negotiate = settings_.rsNegotiate != 0;
  camera::IdentificationSwitches idSwitches{settings_.exComMode, settings_.newFeature, settings_.picModeCmd,
                                            settings_.qb165Clock};
  camera::ModelRecord record = record_;
  camera::IdentificationFlags flags;
  camera::LauncherFields fields;
  bool found = false;
  const std::function<void()> job = [&] {
    found = negotiator_.connect(negotiate) && link_.isOpen();
    if (!found && !allowedWithoutCamera) {
      negotiator_.disconnect();
      return;
    }
    monitor_.setAfpVariant(link_.protocol() == link::Protocol::Afp);
    stage = identify(record, flags, fields, idSwitches) ? Stage::Identified : Stage::IdentificationFailed;
  };
  if (lineWork) lineWork(job);
  else job();

  if (stage == Stage::OpenFailed) {
    // Whatever a camera connected before showed (a reconnect after a speed change) goes.
    closeConnection();
    return ConnectResult::OpenFailed;
  }
  // What the negotiation found is what ORVA.ini keeps for the next start (without a camera
  // there is nothing found, and the settings stay as they were).
  if (found) {
    settings_.protocol = link_.protocol() == link::Protocol::Afp ? kProtocolAfp : kProtocolEap;
    settings_.settingsText = std::string(link::formOf(link_.lineSettings()).text);
  }

  const camera::GatingSwitches sw = gatingSwitches();
  launcher_ = camera::connectedLauncher(launcher_, sw);
  if (stage == Stage::IdentificationFailed) {
    closeConnection();
    return ConnectResult::IdentificationFailed;
  }
  portOpen_ = true;
  record_ = std::move(record);
  flags_ = flags;
  fields_ = std::move(fields);
  settings_.newFeature = idSwitches.newFeature;
  settings_.qb165Clock = idSwitches.qb165Clock;
  rangeModel_ = record_.modelCode;

  launcher_ = camera::launcherGating(launcher_, record_, flags_, sw, presets_);
  presets_.previousModelCode = record_.modelCode;
  menus_.connected(record_, flags_, sw, settingReader());

  // A backup belongs to the model it was made of.
  if (record_.modelCode != rememberedModel_) backupMade_ = false;
  rememberedModel_ = record_.modelCode;

  monitor_.heading(texts::kConnectionSuccessful);
  if (!backupMade_.load() &&
      prompt_.ask(texts::kBackupQuestion, texts::kAttention, core::Buttons::YesNo, core::Icon::Question) ==
          core::Answer::Yes)
    startBackup();

  portField_ = " " + portName_ + ": " + settings_.settingsText;
  return ConnectResult::Connected;
}

camera::SettingReader Session::settingReader() {
  return [this](const camera::Setting& s) -> std::optional<std::uint32_t> {
    std::uint32_t value = 0;
    if (!camera::readSetting(s, value, link_, eap_, codes_)) return std::nullopt;
    return value;
  };
}

void Session::closeConnection() {
  shortcutKeys_.releaseAll();
  negotiator_.disconnect();
  monitor_.closeLog();
  portOpen_ = false;
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
  fields_ = {std::string(texts::kNoModelField), std::string(texts::kNoModelField), {},
             std::string(texts::kNoModelField)};
  portField_.clear();
}

eeprom::CameraContext Session::cameraContext() {
  eeprom::CameraContext context;
  context.modelCode = record_.modelCode;
  context.range = range();
  context.searchPath = dataSearchPath_;
  // Runs on the run thread: the fresh record reaches the window thread by a post.
  context.identify = [this, sw = camera::IdentificationSwitches{settings_.exComMode, settings_.newFeature,
                                                                settings_.picModeCmd, settings_.qb165Clock}]() mutable {
    camera::ModelRecord record;
    camera::IdentificationFlags flags;
    camera::LauncherFields fields;
    if (!identify(record, flags, fields, sw)) return;
    panels::postToPanel(dispatcher_, alive_.token(), [this, record, flags, fields] {
      record_ = record;
      flags_ = flags;
      fields_ = fields;
      rangeModel_ = record_.modelCode;
      notifyChanged();
    });
  };
  return context;
}

bool Session::offerRestore() {
  // The restore writes to the camera: without the line there is nothing to offer.
  if (!portOpen_ || changed_.empty() || !eeprom::factoryImageFor(record_.modelCode)) return false;
  // The question and the restore with its restart wait go to the run thread; whatever the
  // answer, the offer has asked, so the caller stays.
  startRun([this, context = cameraContext()](std::stop_token) {
    eeprom::Restore restore(link_, eap_, afp_, prompt_, changed_);
    restore.offer(context);
  });
  return true;
}

LeaveResult Session::disconnect() {
  if (runner_.busy()) return LeaveResult::Busy;
  if (offerRestore()) return LeaveResult::Stayed;
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
  if (offerRestore()) return LeaveResult::Stayed;
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
  negotiator_.disconnect();
  portOpen_ = false;
  if (monitor_.logOpen()) monitor_.writeLog("\n");
  monitor_.closeLog();
  // Written last, so that it keeps what a run that ended just now has made.
  settings_.backupMade = backupMade_.load();
  if (rememberedModel_ != camera::kModelNotIdentified) settings_.modelCode = rememberedModel_;
  if (!settingsFile_.empty()) result.saved = SettingsFile(settingsFile_).save(settings_);
  shutDown_ = true;
  result.done = true;
  return result;
}

// ---- the run thread

bool Session::startRun(std::function<void(std::stop_token)> body) {
  auto claim = runner_.claim();
  if (!claim) return false;
  // The previous run has given its claim back: it is at its end and the join is short.
  if (run_.joinable()) run_.join();
  run_ = std::jthread([this, held = std::move(*claim), body = std::move(body)](std::stop_token stop) mutable {
    {
      // The slot is given back as the run ends, before its thread is joined.
      panels::OperationRunner::Claim slot(std::move(held));
      body(stop);
    }
    panels::postToPanel(dispatcher_, alive_.token(), [this] { notifyChanged(); });
  });
  return true;
}

void Session::notifyChanged() {
  if (changed_Handler_) changed_Handler_();
}

void Session::stopRuns() {
  if (runWaitHook_) runWaitHook_(true);
  if (run_.joinable()) {
    run_.request_stop();
    run_.join();
  }
  runner_.requestStop();
  runner_.waitIdle();
  if (runWaitHook_) runWaitHook_(false);
}

void Session::waitForRun() {
  if (run_.joinable()) run_.join();
}

void Session::report(std::string_view message) {
  if (message.empty()) return;
  panels::postToPanel(dispatcher_, alive_.token(), [this, text = std::string(message)] {
    prompt_.message(text, texts::kAttention);
  });
}

void Session::backupRun(const FilePlan& plan, std::stop_token stop) {
  std::filesystem::path file = plan.file;
  if (plan.choose) {
    auto chosen = eeprom::chooseFile(prompt_, monitor_, eeprom::fileChoice(kMemSaveMode, file));
    if (!chosen) return;  // no file chosen: no message
    file = *chosen;
  }
  // Declining leaves the camera and the files as they were, which counts as a backup made.
  if (prompt_.ask(texts::kRunConfirm, texts::kAttention, core::Buttons::OkCancel, core::Icon::Question) !=
      core::Answer::Ok) {
    backupMade_ = true;
    return;
  }
  eeprom::BackupRequest request{plan.range, file, std::nullopt};
  if (plan.header && link_.protocol() == link::Protocol::Eap && link_.blockReadMode() == kBlockReadRows)
    request.header = eeprom::imageHeader(plan.model, core::SystemWallClock());
  eeprom::BackupRun run(link_, eap_, afp_, prompt_);
  const eeprom::BackupOutcome outcome = run.run(request, stop);
  if (outcome.backupMade) backupMade_ = true;
  report(eeprom::backupMessage(outcome.result));
}

void Session::writeBackRun(const FilePlan& plan, bool verify, std::stop_token stop) {
  std::filesystem::path file = plan.file;
  if (plan.choose) {
    auto chosen = eeprom::chooseFile(prompt_, monitor_, eeprom::fileChoice(kMemOpenMode, file));
    if (!chosen) return;
    file = *chosen;
  }
  // A file that cannot be read is refused before the operator is asked to go on; what was
  // checked then is what is written, whatever happens to the file meanwhile.
  auto image = eeprom::readImageFile(file, plan.range);
  if (!image) {
    report(eeprom::writeBackMessage(eeprom::WriteBackResult::FileNotOpened));
    return;
  }
  if (prompt_.ask(texts::kRunConfirm, texts::kAttention, core::Buttons::OkCancel, core::Icon::Question) !=
      core::Answer::Ok)
    return;
  eeprom::WriteBackRequest request;
  request.range = plan.range;
  request.file = file;
  request.image = std::move(*image);
  request.verify = verify;
  eeprom::WriteBackRun run(link_, eap_, afp_, prompt_, &changed_);
  report(eeprom::writeBackMessage(run.run(request, stop).result));
}

// ---- the MODEL menu

CommandResult Session::modelCommand(MenuItem item) {
  if (runner_.busy()) return CommandResult::Busy;
  if (refusedWithoutPort()) return CommandResult::Refused;
  auto context = std::make_shared<ModelCommandContext>(ModelCommandContext{
      link_, eap_, afp_, codes_, monitor_, prompt_, link_.clock(), record_, flags_, false,
      [this] {
        panels::postToPanel(dispatcher_, alive_.token(), [this] {
          if (panelCloser_) panelCloser_();
        });
      },
      [this, sw = camera::IdentificationSwitches{settings_.exComMode, settings_.newFeature, settings_.picModeCmd,
                                                 settings_.qb165Clock}](camera::ModelRecord& record,
                                                                        camera::IdentificationFlags& flags,
                                                                        camera::LauncherFields& fields) mutable {
        return identify(record, flags, fields, sw);
      }});
  const bool started = startRun([this, item, context](std::stop_token stop) {
    const ModelCommandOutcome outcome = runModelCommand(item, *context, stop);
    panels::postToPanel(dispatcher_, alive_.token(), [this, outcome] { applyModelOutcome(outcome); });
  });
  return started ? CommandResult::Started : CommandResult::Busy;
}

void Session::applyModelOutcome(const ModelCommandOutcome& outcome) {
  // A line closed meanwhile has taken the model's state with it.
  if (!portOpen_) return;
  if (outcome.record) {
    if (outcome.flags) {
      record_ = *outcome.record;
      flags_ = *outcome.flags;
      if (outcome.fields) fields_ = *outcome.fields;
      rangeModel_ = record_.modelCode;
      const camera::GatingSwitches sw = gatingSwitches();
      launcher_ = camera::launcherGating(camera::connectedLauncher(launcher_, sw), record_, flags_, sw, presets_);
      presets_.previousModelCode = record_.modelCode;
      menus_.applyModel(record_, flags_, sw, settingReader());
    } else {
      record_.lensControlWord = outcome.record->lensControlWord;
    }
  }
  if (outcome.formatField) fields_.format = *outcome.formatField;
  if (outcome.formatSwitchMode) record_.formatSwitchMode = *outcome.formatSwitchMode;
  if (outcome.greySoftReset) menus_.setEnabled(MenuItem::SoftReset, false);
  for (const auto& [item, checked] : outcome.checks) menus_.setChecked(item, checked);
  notifyChanged();
}

// ---- the SETUP, CLS, DEMO and Help menus

void Session::selectProtocol(link::Protocol protocol) {
  if (link_.protocol() == protocol) return;
  const bool afp = protocol == link::Protocol::Afp;
  if (portOpen_) {
    if (runner_.busy()) return;
    // The camera's own switch; the line is reopened whatever the camera answered.
    (void)negotiator_.switchProtocol();
    if (afp) changed_.clear();
  } else {
    link_.setProtocol(protocol);
  }
  settings_.protocol = afp ? kProtocolAfp : kProtocolEap;
  monitor_.setAfpVariant(afp);
  if (portOpen_) {
    // The same camera in the other protocol: what the launcher and the menus offer follows it.
    const camera::GatingSwitches sw = gatingSwitches();
    launcher_ = camera::launcherGating(camera::connectedLauncher(launcher_, sw), record_, flags_, sw, presets_);
    menus_.applyModel(record_, flags_, sw, settingReader());
  }
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

bool Session::clearLineBuffers() {
  const auto slot = runner_.claim();
  if (!slot) return false;
  link_.clearBuffers();
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
  const auto change = negotiator_.changeCameraSpeed(to, modelCode, prompt_);
  if (change == link::Negotiator::SpeedChange::Changed) settings_.settingsText = std::string(to.text);
  return change;
}

std::optional<std::vector<std::string>> Session::versionLines(bool& failed) {
  failed = false;
  if (!portOpen_) return std::vector<std::string>{};
  const auto slot = runner_.claim();
  if (!slot) return std::nullopt;
  const std::size_t count = link_.protocol() == link::Protocol::Eap && (record_.featureWord & 0x2000) != 0 ? 3 : 2;
  std::vector<std::string> lines(count, std::string(texts::kNoVersionLine));
  auto hiLo = [](std::string_view caption, std::uint32_t v) {
    return fmt::format("  {} {:02X}.{:02X}", caption, (v >> 8) & 0xFFu, v & 0xFFu);
  };
  std::uint32_t value = 0;
  if (!camera::readSetting(camera::registerSetting(kVersionRegister, 16), value, link_, eap_, codes_)) {
    failed = true;
    return lines;
  }
  lines[0] = hiLo("Camera Ver", value);
  if (!camera::readSetting(camera::kCameraTypeSetting, value, link_, eap_, codes_)) {
    failed = true;
    return lines;
  }
  lines[1] = hiLo("Camera Type", value);
  if (count == 3) {
    if (!camera::readSetting(camera::registerSetting(kFpgaVersionRegister, 16), value, link_, eap_, codes_)) {
      failed = true;
      return lines;
    }
    lines[2] = hiLo("FPGA Version", value);
  }
  return lines;
}

// ---- the EEPROM menu

bool Session::refusedWithoutPort() {
  if (portOpen_) return false;
  prompt_.message(texts::kSetPort, texts::kAttention);
  return true;
}

bool Session::refusedDuringMotionDetection() {
  if (!motionDetection_) return false;
  prompt_.message(texts::kMdOffOnly, texts::kMdOffOnlyTitle);
  return true;
}

void Session::startBackup() {
  FilePlan plan{range(), startFolder_ / eeprom::kBackupDefaultFile, settings_.fileSelect == 1,
                settings_.epfileModel == 1, record_};
  startRun([this, plan](std::stop_token stop) { backupRun(plan, stop); });
}

CommandResult Session::backup() {
  if (runner_.busy()) return CommandResult::Busy;
  if (refusedWithoutPort() || refusedDuringMotionDetection()) return CommandResult::Refused;
  if (settings_.fileSelect == 0 &&
      prompt_.ask(texts::kReadOk, texts::kAttention, core::Buttons::YesNo, core::Icon::Question) != core::Answer::Yes)
    return CommandResult::Declined;
  startBackup();
  return CommandResult::Started;
}

CommandResult Session::writeBack() {
  if (runner_.busy()) return CommandResult::Busy;
  if (refusedWithoutPort()) return CommandResult::Refused;
  if (!backupMade_.load()) {
    prompt_.message(texts::kBackupFirst, texts::kAttention);
    return CommandResult::Refused;
  }
  if (refusedDuringMotionDetection()) return CommandResult::Refused;
  if (settings_.fileSelect == 0 &&
      prompt_.ask(texts::kWriteOk, texts::kAttention, core::Buttons::YesNo, core::Icon::Question) != core::Answer::Yes)
    return CommandResult::Declined;
  if (settings_.adjDtWrite == 1) return CommandResult::OpensDialog;
  FilePlan plan{range(), startFolder_ / eeprom::kBackupDefaultFile, settings_.fileSelect == 1, false, {}};
  const bool verify = settings_.eepromVerify != 0;
  startRun([this, plan, verify](std::stop_token stop) { writeBackRun(plan, verify, stop); });
  return CommandResult::Started;
}

CommandResult Session::sendFile() {
  if (runner_.busy()) return CommandResult::Busy;
  if (refusedWithoutPort() || refusedDuringMotionDetection()) return CommandResult::Refused;
  const std::filesystem::path folder = startFolder_;
  const bool started = startRun([this, folder](std::stop_token stop) {
    auto chosen = eeprom::chooseFile(prompt_, monitor_, eeprom::fileChoice(eeprom::kSendFileDialogMode, folder));
    if (!chosen) return;
    auto file = eeprom::readCommandFile(*chosen);
    if (!file) {
      report(file.message());
      return;
    }
    eeprom::CommandFileSender sender(link_, eap_, afp_, prompt_);
    const auto result = sender.send(*file, stop);
    if (result.outcome == eeprom::SendResult::Outcome::Failed)
      report(fmt::format("The command file stopped at line {} of {}: the camera did not take it.", result.fileLine,
                         chosen->filename().string()));
  });
  return started ? CommandResult::Started : CommandResult::Busy;
}

CommandResult Session::camEepromWrite(const std::filesystem::path& image, eeprom::WriteMethod method,
                                      eeprom::AdjustmentAddresses adjustment) {
  if (runner_.busy()) return CommandResult::Busy;
  if (refusedWithoutPort()) return CommandResult::Refused;
  eeprom::WriteBackRequest request;
  request.range = range();
  request.file = image;
  request.method = method;
  request.adjustment = std::move(adjustment);
  request.verify = settings_.eepromVerify != 0;
  const bool started = startRun([this, request](std::stop_token stop) mutable {
    // A file that cannot be read is refused before the operator is asked to go on; what was
    // checked then is what is written.
    auto checked = eeprom::readImageFile(request.file, request.range);
    if (!checked) {
      report(eeprom::writeBackMessage(eeprom::WriteBackResult::FileNotOpened));
      return;
    }
    request.image = std::move(*checked);
    if (prompt_.ask(texts::kRunConfirm, texts::kAttention, core::Buttons::OkCancel, core::Icon::Question) !=
        core::Answer::Ok)
      return;
    eeprom::WriteBackRun run(link_, eap_, afp_, prompt_, &changed_);
    report(eeprom::writeBackMessage(run.run(request, stop).result));
  });
  return started ? CommandResult::Started : CommandResult::Busy;
}

CommandResult Session::factoryReset() {
  if (runner_.busy()) return CommandResult::Busy;
  if (refusedWithoutPort()) return CommandResult::Refused;
  if (prompt_.ask(eeprom::kFactoryResetQuestion, texts::kConfirmation, core::Buttons::OkCancel,
                  core::Icon::Question) != core::Answer::Ok)
    return CommandResult::Declined;
  startRun([this, context = cameraContext()](std::stop_token) {
    eeprom::Restore restore(link_, eap_, afp_, prompt_, changed_);
    restore.factoryReset(context);
  });
  return CommandResult::Started;
}

}  // namespace orva::shell
