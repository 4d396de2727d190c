#include "gui_app.hpp"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdio>
#include <deque>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "adr_dialog.hpp"
#include "cam_write_dialog.hpp"
#include "condition_window.hpp"
#include "eeprom/factory_images.hpp"
#include "gui_texts.hpp"
#include "launcher_window.hpp"
#include "link/port_list.hpp"
#include "link/posix_serial_port.hpp"
#include "link/settings_forms.hpp"
#include "main_window.hpp"
#include "pane_widget.hpp"
#include "panel_dialog.hpp"
#include "panels/camera_condition.hpp"
#include "panels/launcher.hpp"
#include "panels/placement.hpp"
#include "panels/registry.hpp"
#include "port_dialog.hpp"
#include "qt_prompt.hpp"
#include "setup_dialog.hpp"
#include "shell/colour.hpp"
#include "shell/session_texts.hpp"
#include "shortcut_filter.hpp"
#include "signal_watch.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/model_profiles.hpp"
#include "typed_sender.hpp"
#include "qt_text.hpp"

namespace orva::gui {
namespace {

using shell::MenuItem;

std::filesystem::path startFolderOr(std::filesystem::path folder) {
  if (!folder.empty()) return folder;
  std::error_code ec;
  auto here = std::filesystem::current_path(ec);
  return ec ? std::filesystem::path(".") : here;
}

std::filesystem::path settingsPathFor(const StartOptions& o, const std::filesystem::path& startFolder) {
  if (!o.config.empty()) return o.config;
  return shell::SettingsFile::locate(startFolder);
}

QColor colour(int code) {
  const shell::Rgb rgb = shell::colourFromCode(code);
  return {rgb.red, rgb.green, rgb.blue};
}

std::filesystem::path programFolder() {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : self.parent_path();
}

shell::SessionSetup sessionSetup(const StartOptions& options, const std::filesystem::path& settingsPath,
                                 const std::filesystem::path& startFolder) {
  shell::SessionSetup setup;
  shell::SettingsFile file(settingsPath);
  std::string why;
  if (file.load(setup.settings, &why) == shell::SettingsFile::Loaded::Unreadable)
    std::fprintf(stderr, "orva: %s; using the default settings\n", why.c_str());
  setup.settingsFile = settingsPath;
  setup.start = options.switches;
  setup.startFolder = startFolder;
  setup.dataSearchPath = eeprom::dataSearchPath(ORVA_INSTALL_PREFIX, programFolder());
  return setup;
}

// Where the user manual is: installed beside the programs, or in the source tree of a build.
std::optional<std::filesystem::path> manualFile() {
  const auto folder = programFolder();
  for (const std::filesystem::path& candidate :
       {folder / ".." / "share" / "doc" / "orva" / "manual.md", std::filesystem::path(ORVA_SOURCE_DIR) / "docs" / "manual.md"}) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
  }
  return std::nullopt;
}

// Runs `job` on a thread of its own while the window thread goes on painting, answering the
// questions the job asks and running its timers; what the operator clicks or types meanwhile
// waits until the job has ended.
void runOffWindowThread(const std::function<void()>& job) {
  QEventLoop loop;
  std::jthread worker([&] {
    job();
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

GuiApp::GuiApp(const StartOptions& options, std::filesystem::path startFolder)
    : settingsPath_(settingsPathFor(options, startFolderOr(startFolder))),
      logFolder_(options.logDir.empty() ? startFolderOr(startFolder) : std::filesystem::path(options.logDir)) {
  const std::filesystem::path folder = startFolderOr(startFolder);
  startFolder_ = folder;
  session_ = std::make_unique<shell::Session>(sessionSetup(options, settingsPath_, folder), monitor_, clock_, prompt_,
                                              dispatcher_);
  std::string portName;
  auto opened = channel(options, portName);
  session_->connection().setChannel(std::move(opened), std::move(portName));
  access_ = std::make_unique<panels::CameraAccess>(session_->link(), session_->eap(), session_->functionCodes());
  host_ = std::make_unique<shell::SessionPanelHost>(
      *session_, shell::SessionPanelHost::Hooks{
                     [this](panels::PanelId panel) {
                       if (panels::panelDescription(panel) == nullptr) return panels::PanelResult{.opened = false};
                       return openPanel(panel).result;
                     },
                     [this](bool enabled) {
                       if (condition_ != nullptr)
                         condition_->conditionButton().setEnabled(enabled && session_->connected());
                     }});
  panelContext_ = std::make_unique<panels::PanelContext>(
      panels::PanelContext{*access_, monitor_, prompt_, clock_, session_->runner(), dispatcher_, session_->model(),
                           [this] { return session_->connected(); }, host_.get()});
  // A panel's opening reads (forty and more at 4800 baud take seconds) run off the window
  // thread under the busy cursor, as a connect does; the window goes on painting.
  panelContext_->lineWork = [this](const std::function<void()>& job) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool busy = std::exchange(lineJob_, true);
    runOffWindowThread(job);
    lineJob_ = busy;
    QApplication::restoreOverrideCursor();
  };
  // The setup utility's reads, writes and its seven-second restart likewise.
  session_->setupUtility().setLineWork(panelContext_->lineWork);

  const shell::Settings& settings = session_->settings();
  window_ = std::make_unique<MainWindow>(monitor_, session_->menus(),
                                         MonitorView::Colours{colour(settings.textColour), colour(settings.backColour)});
  prompt_.setTarget(&window_->prompt());
  monitor_.setPrompt(&window_->prompt());

  launcher_ = new LauncherWindow(window_.get());
  QObject::connect(launcher_, &LauncherWindow::connectClicked, window_.get(), [this](bool on) { connectClicked(on); });
  QObject::connect(launcher_, &LauncherWindow::itemClicked, window_.get(),
                   [this](camera::LauncherItem item) { launch(item); });
  QObject::connect(launcher_, &LauncherWindow::exitClicked, window_.get(), [this] { exitCommand(); });
  condition_ = new ConditionWindow(window_.get());
  QObject::connect(condition_, &ConditionWindow::conditionClicked, window_.get(), [this] { readCondition(); });
  condition_->setConnected(false, session_->model());

  session_->setChangeHandler([this] {
    if (!window_) return;
    refreshLauncher();
    // A run has ended, however: its wait window goes.
    if (!session_->runner().busy()) window_->prompt().endProgress();
  });
  session_->setRunWaitHook([this](bool waiting) {
    if (window_) window_->prompt().refuseWorkers(waiting);
  });

  typed_ = std::make_unique<TypedSender>([this](char c) {
    exchangeTyped({session_->link(), session_->eap(), session_->connection().afp(), session_->runner()}, c);
  });
  window_->setTypedHandler([this](char c) { typed_->send(c); });
  window_->setMenuHandler([this](MenuItem item) {
    // A command chosen while the line is busy connecting would cut across it (the frame's
    // close comes this way too): it is let go, as a click would be.
    if (lineJob_) return true;
    return handlers_.run(item);
  });
  addCommands();
  refreshLauncher();
  session_->setPanelCloser([this] { closePanels(); });
  shortcuts_ = std::make_unique<ShortcutFilter>(session_->shortcutKeys(), [this](const QWidget* w) {
    const QWidget* top = w->window();
    if (top != window_.get() && top != launcher_ && qobject_cast<const PanelDialog*>(top) == nullptr) return false;
    const MonitorView& view = window_->monitorView();
    return w != &view.pane(shell::Side::Pc) && w != &view.pane(shell::Side::Camera);
  });

  signals_ = std::make_unique<SignalWatch>();
  QObject::connect(signals_.get(), &SignalWatch::received, window_.get(), [this](int) { endBySignal(); });
}

GuiApp::~GuiApp() {
  shutdown();
  // The window and its launcher go before the session whose menus they show.
  launcher_ = nullptr;
  window_.reset();
}

std::unique_ptr<link::ByteChannel> GuiApp::channel(const StartOptions& o, std::string& portName) {
  const shell::Settings& settings = session_->settings();
  if (o.simulate) {
    // The built-in camera listens at the tool's own settings and protocol, so no scan is needed.
    const auto protocol = settings.protocol == shell::kProtocolAfp ? sim::Protocol::Afp : sim::Protocol::Eap;
    const auto form = link::findSettingsForm(settings.settingsText);
    const auto& settingsForm = form ? *form : *link::findSettingsForm(link::kDefaultSettingsText);
    // Without a model named, a camera that identifies and has an EEPROM to back up, when it
    // speaks the configured protocol; else the plain camera of the command line tool.
    auto profile = sim::builtInProfile(o.simulate->empty() ? texts::kDefaultSimulatedModel : *o.simulate, protocol,
                                       settingsForm);
    if (!profile && o.simulate->empty()) profile = sim::builtInProfile({}, protocol, settingsForm);
    if (!profile)
      throw StartError("no model \"" + *o.simulate + "\" (orva-cli models lists them; a model speaking only EAP needs \"RS_NEW_PTCL = 2\" in ORVA.ini)");
    camera_ = std::make_unique<sim::VirtualCamera>(*profile);
    portName = virtualCameraEntry().text;
    return std::make_unique<sim::InProcessChannel>(*camera_, clock_, false);
  }
  const std::string device = link::startPortDevice(o.port, settings.portDevice, settings.portNumber());
  portName = device;
  if (device.empty()) return nullptr;
  return std::make_unique<link::PosixSerialPort>(device);
}

void GuiApp::show() {
  window_->show();
  launcher_->show();
  launcher_->placeBeside(*window_);
  condition_->show();
  condition_->placeBeside(*window_, launcher_);
}

// ---- commands

void GuiApp::addCommands() {
  handlers_.set(MenuItem::ClearScreen, [this] { monitor_.clearScreen(); });
  handlers_.set(MenuItem::LogFile, [this] { toggleLogFile(); });
  handlers_.set(MenuItem::Exit, [this] { exitCommand(); });
  handlers_.set(MenuItem::AdrTrans, [this] { runAdrDialog(window_.get(), window_->prompt(), startFolder_); });
  handlers_.set(MenuItem::CameraSetupUtility, [this] { runSetupDialog(window_.get(), *session_, launcher_); });
  handlers_.set(MenuItem::SendFile, [this] { (void)session_->eepromRuns().sendFile(); });
  handlers_.set(MenuItem::CameraDataRead, [this] { eepromCommand(session_->eepromRuns().backup()); });
  handlers_.set(MenuItem::CameraDataWrite, [this] { eepromCommand(session_->eepromRuns().writeBack()); });
  handlers_.set(MenuItem::ResetToFactoryDefault, [this] { eepromCommand(session_->eepromRuns().factoryReset()); });
  // An open that took the file has the session refresh the launcher's preset keys.
  handlers_.set(MenuItem::PresetDataSave, [this] { (void)session_->savePresetData(); });
  handlers_.set(MenuItem::PresetDataOpen, [this] { (void)session_->openPresetData(); });
  handlers_.set(MenuItem::AfpSelect, [this] {
    closePanels();
    session_->selectProtocol(link::Protocol::Afp);
    refreshLauncher();
  });
  handlers_.set(MenuItem::EapSelect, [this] {
    closePanels();
    session_->selectProtocol(link::Protocol::Eap);
    refreshLauncher();
  });
  handlers_.set(MenuItem::RsBufferClear, [this] { (void)session_->clearLineBuffers(); });
  handlers_.set(MenuItem::WaitTime3s, [this] { session_->setDemoWait(3); });
  handlers_.set(MenuItem::WaitTime5s, [this] { session_->setDemoWait(5); });
  handlers_.set(MenuItem::InfLoop, [this] { session_->setDemoLoop(0); });
  handlers_.set(MenuItem::OneTime, [this] { session_->setDemoLoop(1); });
  handlers_.set(MenuItem::LimitedLoop, [this] { session_->setDemoLoop(2); });
  handlers_.set(MenuItem::SerialPort, [this] { serialPort(); });
  handlers_.set(MenuItem::About, [this] { about(); });
  for (MenuItem item : camera::menuItems())
    if (shell::isModelCommand(item)) handlers_.set(item, [this, item] { (void)session_->modelCommand(item); });
  handlers_.set(MenuItem::Help, [this] { help(); });
  for (MenuItem item : camera::menuItems())
    if (const auto panel = panels::menuPanel(item))
      handlers_.set(item, [this, p = *panel] {
        // As a launcher button: nothing opens over a panel or while the line is busy.
        if (shutDown_ || lineJob_ || openPanel_ != nullptr || session_->runner().busy()) return;
        (void)openPanel(p);
      });
}

void GuiApp::toggleLogFile() {
  shell::MenuModel& menus = session_->menus();
  if (menus.state(MenuItem::LogFile).checked) {
    menus.setChecked(MenuItem::LogFile, false);
    monitor_.closeLog();
    return;
  }
  // The mark comes first and stays when the file cannot be made.
  menus.setChecked(MenuItem::LogFile, true);
  (void)monitor_.openLog(logFolder_, &window_->prompt());
}

void GuiApp::notAvailable() {
  window_->prompt().message(texts::kNotAvailable, texts::kNotAvailableTitle, core::Icon::Information);
}

void GuiApp::eepromCommand(shell::CommandResult result) {
  // "ADJ.DT Write" 1 leads to the "CAM EEPROM Data Write" dialog.
  if (result != shell::CommandResult::OpensDialog) return;
  CamWriteDialog dialog(window_.get(), window_->prompt(), startFolder_,
                        [this](const std::filesystem::path& image, eeprom::WriteMethod method,
                               eeprom::AdjustmentAddresses adjustment) {
                          (void)session_->eepromRuns().camEepromWrite(image, method, std::move(adjustment));
                        },
                        &monitor_);
  dialog.exec();
}

void GuiApp::exitCommand() {
  if (shutDown_) return;
  closePanels();
  if (session_->exit() != shell::LeaveResult::Left) return;
  window_->closeForShutdown();
}

void GuiApp::refreshLauncher() {
  if (launcher_ == nullptr) return;
  launcher_->present(session_->launcher(), session_->connection().launcherFields(),
                     session_->connection().portField());
  launcher_->setConnectChecked(session_->connected());
  auto& indicator = launcher_->indicator();
  if (session_->connected()) indicator.setState(ConnectionIndicator::State::Connected);
  else if (indicator.state() != ConnectionIndicator::State::Failed)
    indicator.setState(ConnectionIndicator::State::Idle);
}

void GuiApp::connectClicked(bool connect) {
  // A click that comes while the line is busy (the second half of a double click) is dropped:
  // taken later, it would undo the connect it came during.
  if (shutDown_ || lineJob_) return;
  if (!connect) {
    closePanels();
    session_->disconnect();
    refreshLauncher();
    condition_->setConnected(session_->connected(), session_->model());
    return;
  }
  launcher_->indicator().setState(ConnectionIndicator::State::Connecting);
  launcher_->indicator().repaint();
  // The negotiation may try twenty settings: the cursor says that the tool is working.
  QApplication::setOverrideCursor(Qt::WaitCursor);
  launcher_->setConnectEnabled(false);
  lineJob_ = true;
  const shell::ConnectResult result = session_->connect(runOffWindowThread);
  lineJob_ = false;
  QApplication::restoreOverrideCursor();
  // Clicks held back while the line was busy reach a box that does not take them.
  QCoreApplication::processEvents();
  launcher_->setConnectEnabled(true);
  refreshLauncher();
  condition_->setConnected(session_->connected(), session_->model());
  if (result == shell::ConnectResult::OpenFailed || result == shell::ConnectResult::IdentificationFailed)
    launcher_->showFailed();
}

// ---- panels

void GuiApp::launch(camera::LauncherItem item) {
  if (shutDown_ || openPanel_ != nullptr) return;
  const auto route = panels::launch(item, session_->launcher(), session_->model(), session_->gatingSwitches(),
                                    session_->runner());
  if (!route) return;
  if (route->kind == panels::RouteKind::Presets) {
    (void)session_->presetItem(item);
    // The keys show what the session holds, not the click.
    refreshLauncher();
    return;
  }
  if (route->kind != panels::RouteKind::Panels) {
    refreshLauncher();
    notAvailable();
    return;
  }
  std::deque<panels::PanelId> pending(route->sequence().begin(), route->sequence().end());
  while (!pending.empty()) {
    const panels::PanelId panel = pending.front();
    pending.pop_front();
    // The main window's "Exit" stays usable while a panel is open: nothing opens after it.
    if (shutDown_ || !window_->isVisible()) return;
    if (panels::panelDescription(panel) == nullptr) {
      notAvailable();
      return;
    }
    const PanelClosed closed = openPanel(panel);
    if (!panels::Route::goesOn(closed.result.reason)) return;
    // A panel's choice (a selection, a type change) opens before the rest of the route.
    if (closed.next) pending.push_front(*closed.next);
  }
}

GuiApp::PanelClosed GuiApp::openPanel(panels::PanelId panel) {
  // A sub-panel goes over the panel that opened it, which takes nothing meanwhile.
  PanelDialog* const opener = openPanel_;
  panels::PanelLogic* const openerLogic = openLogic_;
  PanelDialog dialog(*panels::panelDescription(panel), launcher_);
  const panels::PanelOptions options{session_->settings().afFastMode != 0};
  std::unique_ptr<panels::PanelLogic> logic = panels::makePanel(panel, *panelContext_, dialog, options);
  dialog.setLogic(logic.get());
  // Serial Port..., the setup utility and CCD DRIVE MODE wait while a panel is open.
  shell::MenuBusyLock busy(session_->menus());
  const auto closed = [&] {
    // What the panel asked for once it has gone: a fresh identification (off the window
    // thread, as a connect's), after the outermost panel only.
    if (opener == nullptr) host_->identifyIfAsked(runOffWindowThread);
    return PanelClosed{{dialog.closeReason(), logic->result(), true}, logic->nextPanel()};
  };
  if (!logic->open()) return closed();
  dialog.fitToBody();
  const QRect frame = window_->frameGeometry();
  const QScreen* screen = window_->screen();
  const panels::MainPlacement placement{window_->isMaximized(),
                                        {frame.left(), frame.top(), frame.right() + 1, frame.bottom() + 1}};
  const QSize size = dialog.frameGeometry().size();
  if (const auto at = panels::panelPosition(placement, {size.width(), size.height()},
                                            screen != nullptr ? screen->availableGeometry().right() + 1 : frame.right() + 1)) {
    QPoint corner(at->x, at->y);
    // A panel wider than the main window would start left of the screen: keep it on it.
    if (screen != nullptr) {
      const QRect room = screen->availableGeometry();
      corner.setX(std::max(room.left(), std::min(corner.x(), room.right() + 1 - size.width())));
      corner.setY(std::max(room.top(), std::min(corner.y(), room.bottom() + 1 - size.height())));
    }
    dialog.move(corner);
  }
  openPanel_ = &dialog;
  openLogic_ = logic.get();
  // Modal to the launcher alone: the main window's menus and monitor and the condition window
  // stay usable while the panel is open.
  launcher_->setBlocked(true);
  if (opener != nullptr) {
    opener->QWidget::setEnabled(false);
    openers_.push_back(openerLogic);
  }
  QEventLoop loop;
  QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
  dialog.show();
  if (dialog.isVisible()) loop.exec();
  if (opener != nullptr) {
    openers_.pop_back();
    opener->QWidget::setEnabled(true);
  }
  launcher_->setBlocked(opener != nullptr);
  openPanel_ = opener;
  openLogic_ = openerLogic;
  return closed();
}

void GuiApp::closePanels() {
  if (openLogic_ != nullptr) openLogic_->close();
  // The panels under a sub-panel close with it.
  for (auto it = openers_.rbegin(); it != openers_.rend(); ++it) (*it)->close();
}

void GuiApp::readCondition() {
  if (shutDown_ || lineJob_) return;
  panels::ConditionReadout readout(*access_, monitor_, session_->runner());
  const camera::ModelRecord record = session_->model();
  const bool ntsc = session_->connection().flags().ntscTiming;
  const bool open = session_->connected();
  panels::ConditionView view;
  // A dozen reads: off the window thread, as a connect is.
  lineJob_ = true;
  runOffWindowThread([&] { view = readout.read(record, ntsc, open); });
  lineJob_ = false;
  condition_->show(view);
  if (view.ntscTiming) session_->connection().setNtscTiming(*view.ntscTiming);
  if (view.outcome == panels::ConditionOutcome::PortClosed)
    window_->prompt().message(shell::texts::kSetPort, shell::texts::kAttention);
}

// ---- SETUP and Help

void GuiApp::serialPort() {
  launcher_->setConnectEnabled(false);
  if (!session_->connected()) {
    // The port and the settings the next connect starts from.
    const shell::Settings& s = session_->settings();
    const std::vector<PortEntry> entries =
        simulated() ? std::vector<PortEntry>{virtualCameraEntry()} : portEntries(link::listPorts());
    const auto form = link::findSettingsForm(s.settingsText);
    const int code = form ? form->speedCode : 1;
    PortChoice current;
    const int row = initialPortRow(entries, s.portDevice, s.portIndex + 1);
    if (row >= 0) current.port = entries[static_cast<std::size_t>(row)];
    current.speedRank = link::speedRank(code);
    current.parityIndex = link::parityIndex(code);
    if (auto choice = runPortSettingsDialog(window_.get(), entries, current)) {
      if (!simulated() && choice->port && !choice->port->device.empty()) {
        session_->setPortChoice(choice->port->number - 1, choice->port->device);
        session_->connection().setChannel(std::make_unique<link::PosixSerialPort>(choice->port->device), choice->port->device);
      }
      session_->setLineSettingsText(std::string(choice->form().text));
    }
  } else {
    // The camera restarts at its new speed: no run may be on the line meanwhile, and while
    // one is, the command is ignored as a launcher button is.
    auto slot = session_->runner().claim();
    if (!slot) {
      launcher_->setConnectEnabled(true);
      return;
    }
    const auto current = link::formOf(session_->link().lineSettings());
    const std::uint16_t model = session_->model().modelCode;
    auto change = [this, model](const link::SettingsForm& to) {
      // The camera's restart takes seconds: it runs off the window thread while the window
      // goes on painting and answering the questions it asks.
      auto result = link::Negotiator::SpeedChange::Failed;
      lineJob_ = true;
      runOffWindowThread([&] { result = session_->changeCameraSpeed(to, model); });
      lineJob_ = false;
      return result;
    };
    const bool changed = runCameraSpeedDialog(window_.get(), session_->connection().portField(),
                                              link::cameraSpeeds(model, session_->connection().flags().speedCapability), current,
                                              change);
    slot.reset();
    if (changed) {
      // The box stays checked: the camera is connected again at its new speed.
      closePanels();
      connectClicked(true);
    }
  }
  launcher_->setConnectEnabled(true);
}

void GuiApp::help() {
  const auto manual = manualFile();
  if (!manual || !QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(manual->c_str()))))
    window_->prompt().message(texts::kHelpMissing, texts::kHelpMissingTitle, core::Icon::Information);
}

// ---- the end

void GuiApp::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  shortcuts_.reset();
  closePanels();
  // Nobody is asked any more: a run still going is stopped and joined without a question.
  window_->prompt().close();
  const shell::ShutdownResult result = session_->shutdown(shell::AskFirst::Never);
  if (!result.saved) std::fprintf(stderr, "orva: %s\n", result.saved.message().c_str());
  monitor_.setPrompt(nullptr);
  prompt_.setTarget(nullptr);
  typed_->stop();
}

void GuiApp::endBySignal() {
  window_->prompt().close();
  closePanels();
  // Dialogs of other parts that are open now end as if cancelled.
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* dialog = qobject_cast<QDialog*>(w); dialog != nullptr && dialog->isVisible() && dialog->isModal())
      dialog->reject();
  window_->closeForShutdown();
  // The launcher and the condition window are windows of their own: closing the main window
  // alone does not end the event loop.
  if (quit_) quit_();
}

}  // namespace orva::gui
