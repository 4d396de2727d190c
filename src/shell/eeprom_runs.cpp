#include "shell/eeprom_runs.hpp"

#include <utility>

#include <fmt/format.h>

#include "core/wall_clock.hpp"
#include "eeprom/backup.hpp"
#include "eeprom/command_file.hpp"
#include "eeprom/factory_images.hpp"
#include "eeprom/image.hpp"
#include "shell/session_texts.hpp"

namespace orva::shell {
namespace {

// File dialog modes: the MEM row, opened for reading or (16 and up) for saving.
constexpr int kMemOpenMode = 1;
constexpr int kMemSaveMode = 16 + 1;
// Block-read mode in which a backup may carry the image header.
constexpr int kBlockReadRows = 2;

}  // namespace

EepromRuns::EepromRuns(EepromRunsContext context, EepromFolders folders)
    : ctx_(std::move(context)), folders_(std::move(folders)), backupMade_(ctx_.settings.backupMade) {}

EepromRuns::~EepromRuns() {
  stop();
  alive_.close();
}

// ---- the run thread

bool EepromRuns::startRun(std::function<void(std::stop_token)> body) {
  auto claim = ctx_.runner.claim();
  if (!claim) return false;
  // The previous run has given its claim back: it is at its end and the join is short.
  if (run_.joinable()) run_.join();
  run_ = std::jthread([this, held = std::move(*claim), body = std::move(body)](std::stop_token stop) mutable {
    {
      // The slot is given back as the run ends, before its thread is joined.
      panels::OperationRunner::Claim slot(std::move(held));
      body(stop);
    }
    panels::postToPanel(ctx_.dispatcher, alive_.token(), [this] {
      if (ctx_.changed) ctx_.changed();
    });
  });
  return true;
}

void EepromRuns::stop() {
  if (!run_.joinable()) return;
  run_.request_stop();
  run_.join();
}

void EepromRuns::waitForRun() {
  if (run_.joinable()) run_.join();
}

void EepromRuns::report(std::string_view message) {
  if (message.empty()) return;
  panels::postToPanel(ctx_.dispatcher, alive_.token(), [this, text = std::string(message)] {
    ctx_.prompt.message(text, texts::kAttention);
  });
}

eeprom::CameraContext EepromRuns::cameraContext() {
  Connection& line = ctx_.connection;
  eeprom::CameraContext context;
  context.modelCode = line.model().modelCode;
  context.range = line.range();
  context.searchPath = folders_.dataSearchPath;
  // Runs on the run thread: the fresh record reaches the window thread by a post.
  context.identify = [this, sw = Connection::identificationSwitches(ctx_.settings)]() mutable {
    Identity id;
    if (!ctx_.connection.identify(id.record, id.flags, id.fields, sw)) return;
    panels::postToPanel(ctx_.dispatcher, alive_.token(), [this, id] {
      ctx_.connection.take(id);
      if (ctx_.changed) ctx_.changed();
    });
  };
  return context;
}

bool EepromRuns::offerRestore() {
  Connection& line = ctx_.connection;
  // The restore writes to the camera: without the line there is nothing to offer.
  if (!line.isOpen() || line.changedAddresses().empty() || !eeprom::factoryImageFor(line.model().modelCode))
    return false;
  // The question and the restore with its restart wait go to the run thread; whatever the
  // answer, the offer has asked, so the caller stays.
  startRun([this, context = cameraContext()](std::stop_token) {
    Connection& l = ctx_.connection;
    eeprom::Restore restore(l.link(), l.eap(), l.afp(), ctx_.prompt, l.changedAddresses());
    restore.offer(context);
  });
  return true;
}

void EepromRuns::backupRun(const FilePlan& plan, std::stop_token stop) {
  Connection& line = ctx_.connection;
  std::filesystem::path file = plan.file;
  if (plan.choose) {
    auto chosen = eeprom::chooseFile(ctx_.prompt, ctx_.monitor, eeprom::fileChoice(kMemSaveMode, file));
    if (!chosen) return;  // no file chosen: no message
    file = *chosen;
  }
  // Declining leaves the camera and the files as they were, which counts as a backup made.
  if (ctx_.prompt.ask(texts::kRunConfirm, texts::kAttention, core::Buttons::OkCancel, core::Icon::Question) !=
      core::Answer::Ok) {
    backupMade_ = true;
    return;
  }
  eeprom::BackupRequest request{plan.range, file, std::nullopt};
  if (plan.header && line.link().protocol() == link::Protocol::Eap && line.link().blockReadMode() == kBlockReadRows)
    request.header = eeprom::imageHeader(plan.model, core::SystemWallClock());
  eeprom::BackupRun run(line.link(), line.eap(), line.afp(), ctx_.prompt);
  const eeprom::BackupOutcome outcome = run.run(request, stop);
  if (outcome.backupMade) backupMade_ = true;
  report(eeprom::backupMessage(outcome.result));
}

void EepromRuns::writeBackRun(const FilePlan& plan, bool verify, std::stop_token stop) {
  Connection& line = ctx_.connection;
  std::filesystem::path file = plan.file;
  if (plan.choose) {
    auto chosen = eeprom::chooseFile(ctx_.prompt, ctx_.monitor, eeprom::fileChoice(kMemOpenMode, file));
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
  if (ctx_.prompt.ask(texts::kRunConfirm, texts::kAttention, core::Buttons::OkCancel, core::Icon::Question) !=
      core::Answer::Ok)
    return;
  eeprom::WriteBackRequest request;
  request.range = plan.range;
  request.file = file;
  request.image = std::move(*image);
  request.verify = verify;
  eeprom::WriteBackRun run(line.link(), line.eap(), line.afp(), ctx_.prompt, &line.changedAddresses());
  report(eeprom::writeBackMessage(run.run(request, stop).result));
}

// ---- the EEPROM menu

bool EepromRuns::refusedWithoutPort() {
  if (ctx_.connection.isOpen()) return false;
  ctx_.prompt.message(texts::kSetPort, texts::kAttention);
  return true;
}

bool EepromRuns::refusedDuringMotionDetection() {
  if (!ctx_.state.motionDetection()) return false;
  ctx_.prompt.message(texts::kMdOffOnly, texts::kMdOffOnlyTitle);
  return true;
}

void EepromRuns::startBackup() {
  const Settings& s = ctx_.settings;
  FilePlan plan{ctx_.connection.range(), folders_.startFolder / eeprom::kBackupDefaultFile, s.fileSelect == 1,
                s.epfileModel == 1, ctx_.connection.model()};
  startRun([this, plan](std::stop_token stop) { backupRun(plan, stop); });
}

CommandResult EepromRuns::backup() {
  if (ctx_.runner.busy()) return CommandResult::Busy;
  if (refusedWithoutPort() || refusedDuringMotionDetection()) return CommandResult::Refused;
  if (ctx_.settings.fileSelect == 0 &&
      ctx_.prompt.ask(texts::kReadOk, texts::kAttention, core::Buttons::YesNo, core::Icon::Question) !=
          core::Answer::Yes)
    return CommandResult::Declined;
  startBackup();
  return CommandResult::Started;
}

CommandResult EepromRuns::writeBack() {
  const Settings& s = ctx_.settings;
  if (ctx_.runner.busy()) return CommandResult::Busy;
  if (refusedWithoutPort()) return CommandResult::Refused;
  if (!backupMade_.load()) {
    ctx_.prompt.message(texts::kBackupFirst, texts::kAttention);
    return CommandResult::Refused;
  }
  if (refusedDuringMotionDetection()) return CommandResult::Refused;
  if (s.fileSelect == 0 &&
      ctx_.prompt.ask(texts::kWriteOk, texts::kAttention, core::Buttons::YesNo, core::Icon::Question) !=
          core::Answer::Yes)
    return CommandResult::Declined;
  if (s.adjDtWrite == 1) return CommandResult::OpensDialog;
  FilePlan plan{ctx_.connection.range(), folders_.startFolder / eeprom::kBackupDefaultFile, s.fileSelect == 1, false,
                {}};
  const bool verify = s.eepromVerify != 0;
  startRun([this, plan, verify](std::stop_token stop) { writeBackRun(plan, verify, stop); });
  return CommandResult::Started;
}

CommandResult EepromRuns::sendFile() {
  if (ctx_.runner.busy()) return CommandResult::Busy;
  if (refusedWithoutPort() || refusedDuringMotionDetection()) return CommandResult::Refused;
  const std::filesystem::path folder = folders_.startFolder;
  const bool started = startRun([this, folder](std::stop_token stop) {
    auto chosen =
        eeprom::chooseFile(ctx_.prompt, ctx_.monitor, eeprom::fileChoice(eeprom::kSendFileDialogMode, folder));
    if (!chosen) return;
    auto file = eeprom::readCommandFile(*chosen);
    if (!file) {
      report(file.message());
      return;
    }
    Connection& line = ctx_.connection;
    eeprom::CommandFileSender sender(line.link(), line.eap(), line.afp(), ctx_.prompt);
    const auto result = sender.send(*file, stop);
    if (result.outcome == eeprom::SendResult::Outcome::Failed)
      report(fmt::format("The command file stopped at line {} of {}: the camera did not take it.", result.fileLine,
                         chosen->filename().string()));
  });
  return started ? CommandResult::Started : CommandResult::Busy;
}

CommandResult EepromRuns::camEepromWrite(const std::filesystem::path& image, eeprom::WriteMethod method,
                                         eeprom::AdjustmentAddresses adjustment) {
  if (ctx_.runner.busy()) return CommandResult::Busy;
  if (refusedWithoutPort()) return CommandResult::Refused;
  eeprom::WriteBackRequest request;
  request.range = ctx_.connection.range();
  request.file = image;
  request.method = method;
  request.adjustment = std::move(adjustment);
  request.verify = ctx_.settings.eepromVerify != 0;
  const bool started = startRun([this, request](std::stop_token stop) mutable {
    // A file that cannot be read is refused before the operator is asked to go on; what was
    // checked then is what is written.
    auto checked = eeprom::readImageFile(request.file, request.range);
    if (!checked) {
      report(eeprom::writeBackMessage(eeprom::WriteBackResult::FileNotOpened));
      return;
    }
    request.image = std::move(*checked);
    if (ctx_.prompt.ask(texts::kRunConfirm, texts::kAttention, core::Buttons::OkCancel, core::Icon::Question) !=
        core::Answer::Ok)
      return;
    Connection& line = ctx_.connection;
    eeprom::WriteBackRun run(line.link(), line.eap(), line.afp(), ctx_.prompt, &line.changedAddresses());
    report(eeprom::writeBackMessage(run.run(request, stop).result));
  });
  return started ? CommandResult::Started : CommandResult::Busy;
}

CommandResult EepromRuns::factoryReset() {
  if (ctx_.runner.busy()) return CommandResult::Busy;
  if (refusedWithoutPort()) return CommandResult::Refused;
  if (ctx_.prompt.ask(eeprom::kFactoryResetQuestion, texts::kConfirmation, core::Buttons::OkCancel,
                      core::Icon::Question) != core::Answer::Ok)
    return CommandResult::Declined;
  startRun([this, context = cameraContext()](std::stop_token) {
    Connection& line = ctx_.connection;
    eeprom::Restore restore(line.link(), line.eap(), line.afp(), ctx_.prompt, line.changedAddresses());
    restore.factoryReset(context);
  });
  return CommandResult::Started;
}

}  // namespace orva::shell
