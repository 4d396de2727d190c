#pragma once
// The session: what the desktop tool holds from its start to its end. It owns the line to the
// camera (link, protocols, negotiation), the changed-address list the link feeds, the menu
// model, the launcher state and the operation slot, the model record of the connected camera
// and the flags that outlive a connection (backup made, remembered model code); it runs the
// connect, disconnect, exit and shutdown sequences and the EEPROM menu commands.
//
// Threads: every public function belongs to the window thread. The EEPROM runs (backup,
// write-back, restore, factory reset) take the operation slot and run on a thread of the
// session's own, so the camera's restart waits never freeze the window; they reach only the
// link, the changed-address list, the monitor and the prompt (all thread-safe) and hand what
// the window must learn (run messages, a fresh identification) back through the dispatcher.
// The backup-made flag is the one value such a run sets directly; it is atomic.
//
// Questions and messages go through core::Prompt; a run may ask from its own thread.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "camera/code_map.hpp"
#include "camera/gating.hpp"
#include "camera/identification.hpp"
#include "camera/model_record.hpp"
#include "core/clock.hpp"
#include "core/error.hpp"
#include "core/prompt.hpp"
#include "eeprom/changed_addresses.hpp"
#include "eeprom/range.hpp"
#include "eeprom/restore.hpp"
#include "link/afp.hpp"
#include "link/byte_channel.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"
#include "link/negotiator.hpp"
#include "panels/dispatch.hpp"
#include "panels/operation_runner.hpp"
#include "shell/menu_model.hpp"
#include "shell/monitor.hpp"
#include "shell/settings.hpp"

namespace orva::shell {

// What the program knows before its window exists.
struct SessionSetup {
  Settings settings;                  // as read from ORVA.ini
  std::filesystem::path settingsFile; // written back at shutdown
  StartSwitches start;
  std::filesystem::path startFolder;  // where "EEPROM.MEM" is kept when no file is chosen
  std::vector<std::filesystem::path> dataSearchPath;  // factory images
};

enum class ConnectResult {
  Connected,
  OpenFailed,            // the line did not open or no camera answered: the box goes unchecked
  IdentificationFailed,  // the line was closed again
  Busy,                  // the operation slot is taken: nothing was done
};

enum class LeaveResult {
  Left,    // disconnected (or, for exit(), shut down)
  Stayed,  // the restore offer asked, or the operator kept the program running
  Busy,    // the operation slot is taken: nothing was done
};

enum class CommandResult {
  Started,       // a run holds the slot; its result is reported when it ends
  Refused,       // the operator was told why
  Declined,      // the operator answered a question with No or Cancel
  Busy,          // the operation slot is taken: ignored silently
  OpensDialog,   // "ADJ.DT Write" is 1: the caller opens "CAM EEPROM Data Write"
};

enum class AskFirst { IfRunning, Never };

struct ShutdownResult {
  bool done = false;     // false: the operator kept the running operation (and the program)
  core::Status saved;    // writing ORVA.ini
};

class Session {
 public:
  Session(SessionSetup setup, Monitor& monitor, core::Clock& clock, core::Prompt& prompt,
          panels::Dispatcher& dispatcher);
  // Stops and joins what still runs; ORVA.ini is written only by shutdown().
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The line the next connect() opens, and the name the launcher's port field shows for it.
  void setChannel(std::unique_ptr<link::ByteChannel> channel, std::string portName);

  // The launcher's "Connect" checked: open, negotiate (unless "RS Negotiate" is 0), identify,
  // gate the launcher and the menus, and offer a backup to a camera not yet backed up.
  ConnectResult connect();
  // "Connect" unchecked: the restore offer first; when it asked, the caller checks "Connect"
  // again and stays connected.
  LeaveResult disconnect();
  // "Exit" and the launcher's "EXIT": the restore offer, then shutdown().
  LeaveResult exit();
  // Stops what runs (asking first, unless told not to), closes the line and the log, and
  // writes ORVA.ini. Harmless when called again.
  ShutdownResult shutdown(AskFirst ask = AskFirst::IfRunning);

  // The EEPROM menu.
  CommandResult backup();        // "Camera Data Read -> File"
  CommandResult writeBack();     // "Camera Data Write <- File"
  CommandResult factoryReset();  // "Reset to factory default"

  // Motion detection as the motion detection panel last read or set it.
  void setMotionDetection(bool on) { motionDetection_ = on; }

  // Blocks until the session's EEPROM run (if any) has ended.
  void waitForRun();

  bool connected() const { return portOpen_; }
  bool backupMade() const { return backupMade_.load(); }
  std::uint16_t rememberedModelCode() const { return rememberedModel_; }
  const camera::ModelRecord& model() const { return record_; }
  const camera::IdentificationFlags& flags() const { return flags_; }
  const camera::LauncherState& launcher() const { return launcher_; }
  const camera::LauncherFields& launcherFields() const { return fields_; }
  // " <port>: <settings text>" while connected, empty otherwise.
  const std::string& portField() const { return portField_; }
  const Settings& settings() const { return settings_; }

  MenuModel& menus() { return menus_; }
  panels::OperationRunner& runner() { return runner_; }
  eeprom::ChangedAddresses& changedAddresses() { return changed_; }
  link::Link& link() { return link_; }
  link::Eap& eap() { return eap_; }
  link::Afp& afp() { return afp_; }
  camera::FunctionCodes& functionCodes() { return codes_; }

 private:
  camera::GatingSwitches switches() const;
  bool identify(camera::ModelRecord& record, camera::IdentificationFlags& flags, camera::LauncherFields& fields,
                camera::IdentificationSwitches& sw);
  void closeConnection();
  bool offerRestore();
  eeprom::CameraContext cameraContext();
  eeprom::Range range() const;
  bool refusedWithoutPort();
  bool refusedDuringMotionDetection();
  void startBackup();
  bool startRun(std::function<void(std::stop_token)> body);
  void stopRuns();
  void report(std::string_view message);

  // Bodies of the runs, on the run thread.
  struct FilePlan {
    eeprom::Range range;
    std::filesystem::path file;
    bool choose = false;
    // Backup only: head the image with the camera's version ("EPFile model" 1).
    bool header = false;
    std::string modelName;
  };
  void backupRun(const FilePlan& plan, std::stop_token stop);
  void writeBackRun(const FilePlan& plan, bool verify, std::stop_token stop);

  Settings settings_;
  std::filesystem::path settingsFile_;
  StartSwitches start_;
  std::filesystem::path startFolder_;
  std::vector<std::filesystem::path> dataSearchPath_;

  Monitor& monitor_;
  core::Prompt& prompt_;
  panels::Dispatcher& dispatcher_;

  link::Link link_;
  link::Eap eap_{link_};
  link::Afp afp_{link_};
  link::Negotiator negotiator_{link_, eap_, afp_};
  camera::FunctionCodes codes_{afp_, link_};
  // The model code the EEPROM range follows; the link's writes reach it from any thread.
  std::atomic<std::uint16_t> rangeModel_{camera::kModelNotIdentified};
  eeprom::ChangedAddresses changed_{[this] { return range(); }};

  MenuModel menus_;
  panels::OperationRunner runner_;
  camera::LauncherState launcher_ = camera::idleLauncher();
  camera::PresetMemory presets_;
  camera::LauncherFields fields_;

  camera::ModelRecord record_;
  camera::IdentificationFlags flags_;
  std::string portName_;
  std::string portField_;
  bool portOpen_ = false;
  bool motionDetection_ = false;
  bool shutDown_ = false;
  std::atomic<bool> backupMade_;
  std::uint16_t rememberedModel_ = camera::kModelNotIdentified;

  // Posts made by a run are dropped once the session has gone.
  panels::PanelLifetime alive_;
  std::jthread run_;
};

}  // namespace orva::shell
