#pragma once
// Everything the desktop tool works with from start to end: ORVA.ini, the monitor, the camera
// link (to a serial port or to the built-in virtual camera), the menu model, the main window
// and the commands it knows so far.
//
// Start: the configuration is read, the link and the menus set up from it and the start
// switches, and the window created with the monitor as its client area. End (shutdown()):
// the configuration is written back, the log file closed, open questions answered with their
// cancelling answer, the threads stopped and the line closed; then the window and the monitor
// go, in that order.
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/clock.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"
#include "link/negotiator.hpp"
#include "menu_handlers.hpp"
#include "shell/menu_model.hpp"
#include "shell/monitor.hpp"
#include "shell/settings.hpp"
#include "sim/virtual_camera.hpp"
#include "start_options.hpp"

namespace orva::gui {

class MainWindow;
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
  shell::Monitor& monitor() { return monitor_; }
  shell::Settings& settings() { return settings_; }
  shell::MenuModel& menus() { return *menus_; }
  MenuHandlers& handlers() { return handlers_; }
  link::Link& link() { return link_; }
  const std::filesystem::path& settingsPath() const { return settingsFile_.path(); }
  const std::filesystem::path& logFolder() const { return logFolder_; }
  bool simulated() const { return camera_ != nullptr; }

  // Once; later calls do nothing.
  void shutdown();
  // A signal asked the process to end: questions are answered, dialogs closed and the window
  // closed without asking anything.
  void endBySignal();

 private:
  std::unique_ptr<link::ByteChannel> channel(const StartOptions& options);
  void addCommands();
  void toggleLogFile();

  shell::Settings settings_;
  shell::SettingsFile settingsFile_;
  std::filesystem::path logFolder_;
  core::SteadyClock clock_;
  shell::Monitor monitor_;
  std::unique_ptr<sim::VirtualCamera> camera_;
  link::Link link_;
  link::Eap eap_{link_};
  link::Afp afp_{link_};
  link::Negotiator negotiator_{link_, eap_, afp_};
  std::unique_ptr<shell::MenuModel> menus_;
  MenuHandlers handlers_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<TypedSender> typed_;
  std::unique_ptr<SignalWatch> signals_;
  bool shutDown_ = false;
};

}  // namespace orva::gui
