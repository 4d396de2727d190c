#pragma once
// Everything the desktop tool works with from start to end: the monitor, the session (ORVA.ini,
// the line to the camera or to the built-in virtual camera, the menus, the launcher state and
// the operation slot), the main window with the CONTROL launcher, and the commands behind
// their menus and buttons.
//
// Start: the configuration is read, the session set up from it and the start switches, the
// window created with the monitor as its client area, and the launcher placed beside it. End
// (shutdown()): the session stops what runs, closes the line and the log and writes ORVA.ini;
// open questions are answered with their cancelling answer; then the window and the monitor
// go, in that order.
#include <QObject>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "camera/gating.hpp"
#include "core/clock.hpp"
#include "menu_handlers.hpp"
#include "panels/camera_access.hpp"
#include "panels/panel_id.hpp"
#include "panels/panel_logic.hpp"
#include "prompt_relay.hpp"
#include "qt_dispatcher.hpp"
#include "shell/menu_model.hpp"
#include "shell/monitor.hpp"
#include "shell/panel_host.hpp"
#include "shell/session.hpp"
#include "shell/settings.hpp"
#include "sim/virtual_camera.hpp"
#include "start_options.hpp"

namespace orva::gui {

class ConditionWindow;
class LauncherWindow;
class MainWindow;
class PanelDialog;
class ShortcutFilter;
class SignalWatch;
class TypedSender;

// A start option the tool cannot work with (an unknown model for --simulate).
class StartError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class GuiApp {
 public:
  // Needs a QApplication. `startFolder` holds ORVA.ini and, by default, the log files.
  explicit GuiApp(const StartOptions& options, std::filesystem::path startFolder = {});
  ~GuiApp();
  GuiApp(const GuiApp&) = delete;
  GuiApp& operator=(const GuiApp&) = delete;

  MainWindow& window() { return *window_; }
  LauncherWindow& launcher() { return *launcher_; }
  ConditionWindow& condition() { return *condition_; }
  shell::Session& session() { return *session_; }
  shell::Monitor& monitor() { return monitor_; }
  shell::MenuModel& menus() { return session_->menus(); }
  MenuHandlers& handlers() { return handlers_; }
  link::Link& link() { return session_->link(); }
  const std::filesystem::path& settingsPath() const { return settingsPath_; }
  const std::filesystem::path& logFolder() const { return logFolder_; }
  bool simulated() const { return camera_ != nullptr; }
  // The panel open now, if any.
  PanelDialog* openPanel() const { return openPanel_; }

  // Shows both windows, the launcher beside the main window.
  void show();
  // Once; later calls do nothing.
  void shutdown();
  // A signal asked the process to end: questions are answered, dialogs closed and the window
  // closed without asking anything; then `quit` (setQuit()) ends the event loops, whatever
  // windows remain, and the caller of exec() runs shutdown().
  void endBySignal();
  // What ends the program's event loops after a signal; the program passes
  // QCoreApplication::exit, a test that stays in its own loop something milder.
  void setQuit(std::function<void()> quit) { quit_ = std::move(quit); }

  // The launcher's "Connect" box clicked: true to connect, false to disconnect.
  void connectClicked(bool connect);
  // A launcher button: the panels it leads to, one after the other, and the panels they
  // choose to open next.
  void launch(camera::LauncherItem item);
  // How a panel closed, and the panel it chose to open next.
  struct PanelClosed {
    panels::PanelResult result;
    std::optional<panels::PanelId> next;
  };
  // One panel, modal to the launcher (a sub-panel also to the panel that opened it); returns
  // when it has closed. Also for the panels no launcher button leads to (ZOOM CONTROL, FOCUS).
  PanelClosed openPanel(panels::PanelId panel);

 private:
  std::unique_ptr<link::ByteChannel> channel(const StartOptions& options, std::string& portName);
  void addCommands();
  void toggleLogFile();
  void refreshLauncher();
  void notAvailable();
  void closePanels();
  void exitCommand();
  void eepromCommand(shell::CommandResult result);
  void serialPort();
  void readCondition();
  void about();
  void help();

  std::filesystem::path settingsPath_;
  std::filesystem::path logFolder_;
  std::filesystem::path startFolder_;
  core::SteadyClock clock_;
  shell::Monitor monitor_;
  std::unique_ptr<sim::VirtualCamera> camera_;
  QObject dispatchContext_;
  QtDispatcher dispatcher_{dispatchContext_};
  PromptRelay prompt_;
  std::unique_ptr<shell::Session> session_;
  std::unique_ptr<panels::CameraAccess> access_;
  std::unique_ptr<shell::SessionPanelHost> host_;
  std::unique_ptr<panels::PanelContext> panelContext_;
  MenuHandlers handlers_;
  std::unique_ptr<MainWindow> window_;
  LauncherWindow* launcher_ = nullptr;  // the main window's child
  ConditionWindow* condition_ = nullptr;  // the main window's child
  std::unique_ptr<TypedSender> typed_;
  std::unique_ptr<SignalWatch> signals_;
  std::unique_ptr<ShortcutFilter> shortcuts_;
  PanelDialog* openPanel_ = nullptr;
  panels::PanelLogic* openLogic_ = nullptr;
  std::vector<panels::PanelLogic*> openers_;  // the panels under the open sub-panel, outermost first
  bool shutDown_ = false;
  // Connecting, changing the camera's speed or a panel's opening reads, off the window thread.
  bool lineJob_ = false;
  std::function<void()> quit_;
};

}  // namespace orva::gui
