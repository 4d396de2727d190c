#pragma once
// The session: what the desktop tool holds from its start to its end. It owns the connection
// (the line to the camera and what identification found there), the EEPROM runs with the run
// thread, the state panels set that outlives them, the menu model, the launcher state and the
// operation slot, and the flags that outlive a connection (remembered model code); it runs
// the connect, disconnect, exit and shutdown sequences, the MODEL menu's commands and the
// other menu commands that need the line.
//
// Threads: every public function belongs to the window thread. The EEPROM runs and the MODEL
// commands run on the run thread of EepromRuns and hand what the window must learn back
// through the dispatcher.
//
// Questions and messages go through core::Prompt; a run may ask from its own thread.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "camera/gating.hpp"
#include "camera/model_record.hpp"
#include "camera/preset_file.hpp"
#include "core/clock.hpp"
#include "core/error.hpp"
#include "core/prompt.hpp"
#include "link/negotiator.hpp"
#include "panels/dispatch.hpp"
#include "panels/operation_runner.hpp"
#include "panels/preset/launcher_runs.hpp"
#include "panels/tool_presets.hpp"
#include "shell/camera_state.hpp"
#include "shell/connection.hpp"
#include "shell/eeprom_runs.hpp"
#include "shell/menu_model.hpp"
#include "shell/model_commands.hpp"
#include "shell/monitor.hpp"
#include "shell/settings.hpp"
#include "shell/setup_utility.hpp"
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

enum class AskFirst { IfRunning, Never };

enum class PresetFileResult {
  Done,      // saved, or opened and the launcher's preset keys follow the file
  Refused,   // the operator was told why (no port, not a preset data file, another model, not written)
  Declined,  // no file chosen, or the chosen one could not be read: nothing shown
  Busy,      // the operation slot is taken: ignored silently
};

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

  // The launcher's "Connect" checked: open, negotiate (unless "RS Negotiate" is 0), identify,
  // gate the launcher and the menus, and offer a backup to a camera not yet backed up. The
  // negotiation and identification go through `lineWork` (inline when empty): they touch only
  // the link, the monitor and the prompt, so a GUI may run them off its window thread. A
  // connect that fails leaves the launcher, its fields and the menus as a disconnect does.
  // With "/DS" a line that does not open or stays silent connects to the simulated camera.
  ConnectResult connect(const LineWork& lineWork = {});
  // "Connect" unchecked: the restore offer first; when it asked, the caller checks "Connect"
  // again and stays connected. The session flags panels set are cleared.
  LeaveResult disconnect();
  // "Exit" and the launcher's "EXIT": the restore offer, then shutdown().
  LeaveResult exit();
  // Stops what runs (asking first, unless told not to), closes the line and the log, and
  // writes ORVA.ini. Harmless when called again.
  ShutdownResult shutdown(AskFirst ask = AskFirst::IfRunning);

  // Identifies the connected camera again (through `lineWork`, holding the operation slot)
  // and gates the launcher and the menus for what it found, as after a MODEL command's
  // restart. False, with nothing changed, while disconnected, while the slot is taken or when
  // the identification failed.
  bool identifyAgain(const LineWork& lineWork = {});
  // false: the launcher's model-dependent buttons and menu items are disabled, as a
  // disconnect disables them, while the line stays open; true: the base set and the model's
  // gating are applied again.
  void setLauncherEnabled(bool enabled);
  // The launcher's AE MODE field read again from the camera.
  void refreshLauncherFields();

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
  // The File menu's "Preset Data SAVE" and "Preset Data OPEN": the launcher's eight preset
  // records to and from a preset data file for the connected camera's model. SAVE writes
  // through a temporary file, so a failed save leaves the old file as it was; OPEN takes all
  // eight records and the memory keys' checks, or nothing.
  PresetFileResult savePresetData();
  PresetFileResult openPresetData();
  // The preset records: they live from start to exit, survive disconnects, and are replaced
  // by a store run or an open.
  const camera::PresetRecords& presetRecords() const { return presetRecords_; }
  // What the panels keep (MEM-PRESET's pairs, the easy presets): from start to exit.
  panels::ToolPresets& toolPresets() { return toolPresets_; }
  // The camera setup utility: its record and the page last shown, from start to exit.
  SetupUtility& setupUtility() { return setupUtility_; }

  // A run the launcher owns (the preset keys): started on the operation slot with the menus
  // busy from before its start heading until it has ended, however it ends. False, and
  // nothing written, while the slot is taken.
  bool startLauncherRun(panels::Operation op);
  // The launcher's preset keys, k 0-3 TYPE I 1-4 and 4-7 TYPE II 1-4. Ignored (false) while
  // the slot is taken or the key is not offered. A checked "Memory" key is only unchecked
  // (its "Preset" key disabled, the data kept); an unchecked one is checked and starts the
  // store, which puts the record in place when it got through and unchecks the key when it
  // did not. A "Preset" key starts the restore of its record.
  bool memoryKey(std::size_t k);
  bool presetKey(std::size_t k);
  // The launcher's "ZOOM Arrival Message" check box; only while it is shown and enabled.
  bool setZoomArrivalMessage(bool on);
  // A click on one of the launcher's preset items (a key, a "Preset", the check box), as above.
  bool presetItem(camera::LauncherItem item);

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
  // back: a run has ended, a run identified the camera afresh, or a panel changed the launcher.
  void setChangeHandler(std::function<void()> handler) { changed_Handler_ = std::move(handler); }
  // Told, on the window thread, before it waits for the run thread to end (true) and after
  // (false): a GUI lets go of the run's open questions so the wait ends.
  void setRunWaitHook(std::function<void(bool)> hook) { runWaitHook_ = std::move(hook); }

  // What the gating of the launcher and the menus works from now.
  camera::GatingSwitches gatingSwitches() const;

  Connection& connection() { return connection_; }
  const Connection& connection() const { return connection_; }
  EepromRuns& eepromRuns() { return runs_; }
  CameraState& cameraState() { return state_; }
  const CameraState& cameraState() const { return state_; }
  MenuModel& menus() { return menus_; }
  panels::OperationRunner& runner() { return runner_; }
  const Settings& settings() const { return settings_; }
  const camera::LauncherState& launcher() const { return launcher_; }
  std::uint16_t rememberedModelCode() const { return rememberedModel_; }

  // Shorthands for the connection's.
  bool connected() const { return connection_.isOpen(); }
  const camera::ModelRecord& model() const { return connection_.model(); }
  link::Link& link() { return connection_.link(); }
  link::Eap& eap() { return connection_.eap(); }
  camera::FunctionCodes& functionCodes() { return connection_.functionCodes(); }

 private:
  void closeConnection();
  // The base set and the model's gating of the launcher and the menus, for the record now.
  void gateForModel();
  bool refusedWithoutPort();
  void stopRuns();
  void applyModelOutcome(const ModelCommandOutcome& outcome);
  void notifyChanged();
  bool presetKeyLive(camera::LauncherItem item) const;
  void setMemoryChecked(std::size_t k, bool on);
  // A launcher preset run (store when asked, else restore) with the launcher's choices as they
  // are now; it runs on the operation thread.
  std::function<bool(panels::preset::PresetType, camera::PresetRecord&, bool, std::stop_token)> launcherRunner();

  Settings settings_;
  std::filesystem::path settingsFile_;
  StartSwitches start_;

  Monitor& monitor_;
  core::Prompt& prompt_;
  panels::Dispatcher& dispatcher_;

  Connection connection_;
  MenuModel menus_;
  panels::OperationRunner runner_;
  CameraState state_{menus_};
  camera::LauncherState launcher_ = camera::idleLauncher();
  camera::PresetMemory presets_;
  camera::PresetRecords presetRecords_;
  panels::ToolPresets toolPresets_;
  SetupUtility setupUtility_{*this, monitor_, prompt_};
  bool shutDown_ = false;
  std::uint16_t rememberedModel_ = camera::kModelNotIdentified;
  std::filesystem::path presetFolder_;  // where the preset data file dialog starts

  std::function<void()> panelCloser_;
  ShortcutKeys shortcutKeys_;
  std::function<void()> changed_Handler_;
  std::function<void(bool)> runWaitHook_;

  // Posts made by a MODEL command are dropped once the session has gone.
  panels::PanelLifetime alive_;
  // Last: its run thread reaches everything above, so it goes first.
  EepromRuns runs_;
};

}  // namespace orva::shell
