#pragma once
// The EEPROM menu's runs and the session's run thread: backup, write-back, the restore offer,
// factory reset, "CAM EEPROM Data Write" and command files, and the thread they (and the
// MODEL commands) run on, so the camera's restart waits never freeze the window.
//
// Threads: every public function belongs to the window thread. A run takes the operation
// slot and reaches only the link, the changed-address list, the monitor and the prompt (all
// thread-safe); what the window must learn (run messages, a fresh identification, the end of
// the run) comes back through the dispatcher. The backup-made flag is the one value a run
// sets directly; it is atomic.
#include <atomic>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string_view>
#include <thread>
#include <vector>

#include "core/prompt.hpp"
#include "eeprom/adjustment.hpp"
#include "eeprom/restore.hpp"
#include "eeprom/write_back.hpp"
#include "panels/dispatch.hpp"
#include "panels/operation_runner.hpp"
#include "shell/camera_state.hpp"
#include "shell/connection.hpp"
#include "shell/monitor.hpp"
#include "shell/settings.hpp"

namespace orva::shell {

enum class CommandResult {
  Started,       // a run holds the slot; its result is reported when it ends
  Refused,       // the operator was told why
  Declined,      // the operator answered a question with No or Cancel
  Busy,          // the operation slot is taken: ignored silently
  OpensDialog,   // "ADJ.DT Write" is 1: the caller opens "CAM EEPROM Data Write"
};

// Where the runs find and keep their files.
struct EepromFolders {
  std::filesystem::path startFolder;  // where "EEPROM.MEM" is kept when no file is chosen
  std::vector<std::filesystem::path> dataSearchPath;  // factory images
};

// What a run needs of the session beside the line.
struct EepromRunsContext {
  Connection& connection;
  const Settings& settings;  // read on the window thread as a run starts
  const CameraState& state;
  Monitor& monitor;
  core::Prompt& prompt;
  panels::Dispatcher& dispatcher;
  panels::OperationRunner& runner;
  // Told on the window thread when a run has ended or identified the camera afresh.
  std::function<void()> changed;
};

class EepromRuns {
 public:
  EepromRuns(EepromRunsContext context, EepromFolders folders);
  // Stops and joins the run thread; posts of a run are dropped from then on.
  ~EepromRuns();
  EepromRuns(const EepromRuns&) = delete;
  EepromRuns& operator=(const EepromRuns&) = delete;

  // "Send File...": a command file chosen by the operator, played into the camera (refused
  // without the port and while motion detection is on).
  CommandResult sendFile();
  CommandResult backup();        // "Camera Data Read -> File"
  CommandResult writeBack();     // "Camera Data Write <- File"
  CommandResult factoryReset();  // "Reset to factory default"
  // "START" of the "CAM EEPROM Data Write" dialog: `image` written whole (AllData) or without
  // the adjustment addresses (ExceptAdjustment), by register byte writes. Ignored while the
  // slot is taken.
  CommandResult camEepromWrite(const std::filesystem::path& image, eeprom::WriteMethod method,
                               eeprom::AdjustmentAddresses adjustment);

  // The backup a connect offers, once the operator said yes.
  void startBackup();
  // The restore offer when the program leaves the camera: true when it asked (the question
  // and the restore run on the run thread), false when there was nothing to offer.
  bool offerRestore();

  // Runs `body` on the run thread while it holds the operation slot; false (nothing started)
  // while the slot is taken. The change handler is told when the body has ended.
  bool startRun(std::function<void(std::stop_token)> body);
  // Asks the running body to stop and joins it.
  void stop();
  // Blocks until the run (if any) has ended.
  void waitForRun();

  bool backupMade() const { return backupMade_.load(); }
  void setBackupMade(bool made) { backupMade_ = made; }

 private:
  struct FilePlan {
    eeprom::Range range;
    std::filesystem::path file;
    bool choose = false;
    // Backup only: head the image with the camera's version ("EPFile model" 1), as the
    // identification read it.
    bool header = false;
    camera::ModelRecord model;
  };

  bool refusedWithoutPort();
  bool refusedDuringMotionDetection();
  eeprom::CameraContext cameraContext();
  void report(std::string_view message);
  // Bodies of the runs, on the run thread.
  void backupRun(const FilePlan& plan, std::stop_token stop);
  void writeBackRun(const FilePlan& plan, bool verify, std::stop_token stop);

  EepromRunsContext ctx_;
  EepromFolders folders_;
  std::atomic<bool> backupMade_{false};
  // Posts made by a run are dropped once the runs have gone.
  panels::PanelLifetime alive_;
  std::jthread run_;
};

}  // namespace orva::shell
