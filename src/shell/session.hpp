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
#include <optional>
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
#include "eeprom/adjustment.hpp"
#include "eeprom/changed_addresses.hpp"
#include "eeprom/range.hpp"
#include "eeprom/restore.hpp"
#include "eeprom/write_back.hpp"
#include "link/afp.hpp"
#include "link/byte_channel.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"
#include "link/negotiator.hpp"
#include "panels/dispatch.hpp"
#include "panels/operation_runner.hpp"
#include "shell/menu_model.hpp"
#include "shell/model_commands.hpp"
#include "shell/monitor.hpp"
#include "shell/settings.hpp"
#include "shell/shortcut_keys.hpp"

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

  // Runs a job of the line, on the window thread or off it, and returns when it has ended.
  using LineWork = std::function<void(const std::function<void()>&)>;

  // The launcher's "Connect" checked: open, negotiate (unless "RS Negotiate" is 0), identify,
  // gate the launcher and the menus, and offer a backup to a camera not yet backed up. The
  // negotiation and identification go through `lineWork` (inline when empty): they touch only
  // the link, the monitor and the prompt, so a GUI may run them off its window thread. A
  // connect that fails leaves the launcher, its fields and the menus as a disconnect does.
  // With "/DS" a line that does not open or stays silent connects to the simulated camera.
  ConnectResult connect(const LineWork& lineWork = {});
  // "Connect" unchecked: the restore offer first; when it asked, the caller checks "Connect"
  // again and stays connected.
  LeaveResult disconnect();
  // "Exit" and the launcher's "EXIT": the restore offer, then shutdown().
  LeaveResult exit();
  // Stops what runs (asking first, unless told not to), closes the line and the log, and
  // writes ORVA.ini. Harmless when called again.
  ShutdownResult shutdown(AskFirst ask = AskFirst::IfRunning);

  // "Send File...": a command file chosen by the operator, played into the camera on the run
  // thread (refused without the port and while motion detection is on).
  CommandResult sendFile();

  // The EEPROM menu.
  CommandResult backup();        // "Camera Data Read -> File"
  CommandResult writeBack();     // "Camera Data Write <- File"
  CommandResult factoryReset();  // "Reset to factory default"
  // "START" of the "CAM EEPROM Data Write" dialog: `image` written whole (AllData) or without
  // the adjustment addresses (ExceptAdjustment), by register byte writes. Ignored while the
  // slot is taken.
  CommandResult camEepromWrite(const std::filesystem::path& image, eeprom::WriteMethod method,
                               eeprom::AdjustmentAddresses adjustment);

  // The MODEL menu's commands (isModelCommand()): refused without the port, ignored while the
  // slot is taken, otherwise run on the run thread; the check marks, the launcher fields and
  // a fresh identification come back to the window thread when the command has ended.
  CommandResult modelCommand(MenuItem item);
  // How a MODEL command has the window close an open panel before it restarts the camera;
  // called on the window thread.
  void setPanelCloser(std::function<void()> closer) { panelCloser_ = std::move(closer); }
  // The Q, Y, T, W and R keys of the main window.
  ShortcutKeys& shortcutKeys() { return shortcutKeys_; }

  // "AFP select" and "EAP select": nothing when the protocol is the one in use; while
  // disconnected only the variant changes; while connected the camera is switched over and
  // the line reopened (a switch to AFP forgets the changed addresses, which AFP cannot restore).
  void selectProtocol(link::Protocol protocol);
  // The DEMO menu's wait time (3 or 5 seconds) and loop mode (0 endless, 1 once, 2 limited).
  void setDemoWait(int seconds);
  void setDemoLoop(int mode);
  // "RS Buffer Clear": through the operation slot, so that it never empties a reply a run is
  // waiting for; false (nothing done) while the slot is taken.
  bool clearLineBuffers();

  // What "Serial Port..." chose while disconnected: the settings the next connect starts from,
  // and the port that ORVA.ini keeps (its number minus 1 and its device path).
  void setLineSettingsText(std::string text);
  void setPortChoice(int portIndex, std::string device);
  // The camera speed change while connected: asks, writes the camera's new speed, resets it
  // and waits for its restart. The caller holds the operation slot (runner().claim()) from
  // before its dialog opens, so that no run is on the line when the camera restarts. Any
  // thread may run it while the window thread waits; on Changed the caller connects again.
  link::Negotiator::SpeedChange changeCameraSpeed(const link::SettingsForm& to, std::uint16_t modelCode);
  // The About box's camera lines: "  ------" placeholders, filled as far as the reads go. Empty
  // while disconnected; `failed` tells that a read failed. The reads take the operation slot:
  // none (nothing read) while it is taken.
  std::optional<std::vector<std::string>> versionLines(bool& failed);

  // Told, on the window thread, whenever what the window shows may have changed behind its
  // back: a run has ended, or a run identified the camera afresh.
  void setChangeHandler(std::function<void()> handler) { changed_Handler_ = std::move(handler); }
  // Told, on the window thread, before it waits for the run thread to end (true) and after
  // (false): a GUI lets go of the run's open questions so the wait ends.
  void setRunWaitHook(std::function<void(bool)> hook) { runWaitHook_ = std::move(hook); }

  // What the gating of the launcher and the menus works from now.
  camera::GatingSwitches gatingSwitches() const;

  // The NTSC timing flag as a readout of the camera mode found it.
  void setNtscTiming(bool ntsc) { flags_.ntscTiming = ntsc; }

  // The lens the camera emulates, as a lens panel switched it ("36x mode" / "35x mode").
  void setLensIndex(int lensIndex) { record_.lensIndex = lensIndex; }

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
    // Backup only: head the image with the camera's version ("EPFile model" 1), as the
    // identification read it.
    bool header = false;
    camera::ModelRecord model;
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

  void applyModelOutcome(const ModelCommandOutcome& outcome);
  camera::SettingReader settingReader();

  std::function<void()> panelCloser_;
  ShortcutKeys shortcutKeys_{link_, eap_, codes_, [this] { return portOpen_; }, [this] { return runner_.busy(); }};
  std::function<void()> changed_Handler_;
  std::function<void(bool)> runWaitHook_;
  void notifyChanged();

  // Posts made by a run are dropped once the session has gone.
  panels::PanelLifetime alive_;
  std::jthread run_;
};

}  // namespace orva::shell
