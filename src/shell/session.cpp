#include "shell/session.hpp"

#include <optional>
#include <utility>

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
      backupMade_(settings_.backupMade) {
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

camera::GatingSwitches Session::switches() const {
  camera::GatingSwitches sw = gatingSwitches(settings_, start_);
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

ConnectResult Session::connect() {
  if (runner_.busy()) return ConnectResult::Busy;
  camera::resetModelRecord(record_);
  flags_ = {};
  if (const auto form = link::findSettingsForm(settings_.settingsText))
    link_.setLineSettings(link::lineSettingsOf(*form));
  link_.setProtocol(protocolOf(settings_.protocol));

  const bool allowedWithoutCamera = link_.noCameraMode() == link::NoCameraMode::Allowed && !link_.hasChannel();
  const bool found = negotiator_.connect(settings_.rsNegotiate != 0);
  if (!found || (!link_.isOpen() && !allowedWithoutCamera)) {
    negotiator_.disconnect();
    portOpen_ = false;
    return ConnectResult::OpenFailed;
  }
  portOpen_ = true;
  // What the negotiation found is what ORVA.ini keeps for the next start.
  settings_.protocol = link_.protocol() == link::Protocol::Afp ? kProtocolAfp : kProtocolEap;
  settings_.settingsText = std::string(link::formOf(link_.lineSettings()).text);
  monitor_.setAfpVariant(link_.protocol() == link::Protocol::Afp);

  const camera::GatingSwitches sw = switches();
  launcher_ = camera::connectedLauncher(launcher_, sw);

  camera::IdentificationSwitches idSwitches{settings_.exComMode, settings_.newFeature, settings_.picModeCmd,
                                            settings_.qb165Clock};
  if (!identify(record_, flags_, fields_, idSwitches)) {
    const auto disabled = camera::disableForDisconnect(launcher_, menus_.gatingState(), sw);
    launcher_ = disabled.launcher;
    presets_.savedChecks = disabled.savedChecks;
    menus_.identificationFailed(disabled);
    negotiator_.disconnect();
    portOpen_ = false;
    return ConnectResult::IdentificationFailed;
  }
  settings_.newFeature = idSwitches.newFeature;
  settings_.qb165Clock = idSwitches.qb165Clock;
  rangeModel_ = record_.modelCode;

  launcher_ = camera::launcherGating(launcher_, record_, flags_, sw, presets_);
  presets_.previousModelCode = record_.modelCode;
  menus_.connected(record_, flags_, sw, [this](const camera::Setting& s) -> std::optional<std::uint32_t> {
    std::uint32_t value = 0;
    if (!camera::readSetting(s, value, link_, eap_, codes_)) return std::nullopt;
    return value;
  });

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

void Session::closeConnection() {
  negotiator_.disconnect();
  monitor_.closeLog();
  portOpen_ = false;
  const auto disabled = camera::disableForDisconnect(launcher_, menus_.gatingState(), switches());
  launcher_ = disabled.launcher;
  presets_.savedChecks = disabled.savedChecks;
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
  run_ = std::jthread([held = std::move(*claim), body = std::move(body)](std::stop_token stop) mutable {
    // The slot is given back as the run ends, before its thread is joined.
    panels::OperationRunner::Claim slot(std::move(held));
    body(stop);
  });
  return true;
}

void Session::stopRuns() {
  if (run_.joinable()) {
    run_.request_stop();
    run_.join();
  }
  runner_.requestStop();
  runner_.waitIdle();
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
    auto chosen = prompt_.chooseFile(eeprom::fileChoice(kMemSaveMode, file));
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
  if (plan.header && link_.protocol() == link::Protocol::Eap && link_.blockReadMode() == kBlockReadRows) {
    request.header = eeprom::readImageHeader(eap_, plan.modelName, core::SystemWallClock());
    if (!request.header) {
      report(eeprom::backupMessage(eeprom::BackupResult::CommunicationError));
      return;
    }
  }
  eeprom::BackupRun run(link_, eap_, afp_, prompt_);
  const eeprom::BackupOutcome outcome = run.run(request, stop);
  if (outcome.backupMade) backupMade_ = true;
  report(eeprom::backupMessage(outcome.result));
}

void Session::writeBackRun(const FilePlan& plan, bool verify, std::stop_token stop) {
  std::filesystem::path file = plan.file;
  if (plan.choose) {
    auto chosen = prompt_.chooseFile(eeprom::fileChoice(kMemOpenMode, file));
    if (!chosen) return;
    file = *chosen;
  }
  // A file that cannot be read is refused before the operator is asked to go on.
  if (!eeprom::readImageFile(file, plan.range)) {
    report(eeprom::writeBackMessage(eeprom::WriteBackResult::FileNotOpened));
    return;
  }
  if (prompt_.ask(texts::kRunConfirm, texts::kAttention, core::Buttons::OkCancel, core::Icon::Question) !=
      core::Answer::Ok)
    return;
  eeprom::WriteBackRequest request;
  request.range = plan.range;
  request.file = file;
  request.verify = verify;
  eeprom::WriteBackRun run(link_, eap_, afp_, prompt_, &changed_);
  report(eeprom::writeBackMessage(run.run(request, stop).result));
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
                settings_.epfileModel == 1, record_.name};
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
