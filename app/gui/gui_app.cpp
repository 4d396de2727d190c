#include "gui_app.hpp"

#include <QApplication>
#include <QDialog>

#include <cstdio>
#include <system_error>

#include "link/port_list.hpp"
#include "link/posix_serial_port.hpp"
#include "link/settings_forms.hpp"
#include "main_window.hpp"
#include "qt_prompt.hpp"
#include "shell/colour.hpp"
#include "signal_watch.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/model_profiles.hpp"
#include "typed_sender.hpp"

namespace orva::gui {
namespace {

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

}  // namespace

GuiApp::GuiApp(const StartOptions& options, std::filesystem::path startFolder)
    : settingsFile_(settingsPathFor(options, startFolderOr(startFolder))),
      logFolder_(options.logDir.empty() ? startFolderOr(startFolder) : std::filesystem::path(options.logDir)),
      link_(clock_, monitor_) {
  std::string why;
  const bool unreadable = settingsFile_.load(settings_, &why) == shell::SettingsFile::Loaded::Unreadable;
  if (unreadable) std::fprintf(stderr, "orva: %s; using the default settings\n", why.c_str());

  if (const auto form = link::findSettingsForm(settings_.settingsText))
    link_.setLineSettings(link::lineSettingsOf(*form));
  link_.setProtocol(settings_.protocol == shell::kProtocolAfp ? link::Protocol::Afp : link::Protocol::Eap);
  if (options.switches.noCamera) link_.setNoCameraMode(link::NoCameraMode::Allowed);
  monitor_.setAfpVariant(settings_.protocol == shell::kProtocolAfp);
  link_.setChannel(channel(options));

  menus_ = std::make_unique<shell::MenuModel>(settings_, options.switches);
  window_ = std::make_unique<MainWindow>(monitor_, *menus_,
                                         MonitorView::Colours{colour(settings_.textColour), colour(settings_.backColour)});
  monitor_.setPrompt(&window_->prompt());
  if (unreadable) monitor_.appendPc("\r\n-- " + why + "; using the default settings --");

  typed_ = std::make_unique<TypedSender>([this](char c) {
    // The AFP receive thread ends when it sees this flag: the typed exchange reads the answers.
    monitor_.setTypedInput(true);
    {
      auto line = link_.command();
      if (link_.protocol() == link::Protocol::Afp) afp_.exchangeTypedChar(c);
      else eap_.exchangeChar(c);
    }
    monitor_.setTypedInput(false);
  });
  window_->setTypedHandler([this](char c) { typed_->send(c); });
  window_->setMenuHandler([this](shell::MenuItem item) { return handlers_.run(item); });
  addCommands();

  signals_ = std::make_unique<SignalWatch>();
  QObject::connect(signals_.get(), &SignalWatch::received, window_.get(), [this](int) { endBySignal(); });
}

GuiApp::~GuiApp() { shutdown(); }

std::unique_ptr<link::ByteChannel> GuiApp::channel(const StartOptions& o) {
  if (o.simulate) {
    // The built-in camera listens at the tool's own settings and protocol, so no scan is needed.
    const auto protocol = settings_.protocol == shell::kProtocolAfp ? sim::Protocol::Afp : sim::Protocol::Eap;
    const auto form = link::findSettingsForm(settings_.settingsText);
    auto profile = sim::builtInProfile(*o.simulate, protocol, form ? *form : *link::findSettingsForm(link::kDefaultSettingsText));
    if (!profile)
      throw StartError("no model \"" + *o.simulate + "\" (orva-cli models lists them; a model speaking only EAP needs \"RS_NEW_PTCL = 2\" in ORVA.ini)");
    camera_ = std::make_unique<sim::VirtualCamera>(*profile);
    return std::make_unique<sim::InProcessChannel>(*camera_, clock_, false);
  }
  const std::string device = link::startPortDevice(o.port, settings_.portDevice, settings_.portNumber());
  if (device.empty()) return nullptr;
  return std::make_unique<link::PosixSerialPort>(device);
}

void GuiApp::addCommands() {
  handlers_.set(shell::MenuItem::ClearScreen, [this] { monitor_.clearScreen(); });
  handlers_.set(shell::MenuItem::LogFile, [this] { toggleLogFile(); });
  handlers_.set(shell::MenuItem::Exit, [this] { window_->closeForShutdown(); });
}

void GuiApp::toggleLogFile() {
  if (menus_->state(shell::MenuItem::LogFile).checked) {
    menus_->setChecked(shell::MenuItem::LogFile, false);
    monitor_.closeLog();
    return;
  }
  // The mark comes first and stays when the file cannot be made.
  menus_->setChecked(shell::MenuItem::LogFile, true);
  (void)monitor_.openLog(logFolder_, &window_->prompt());
}

void GuiApp::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  if (const core::Status saved = settingsFile_.save(settings_); !saved)
    std::fprintf(stderr, "orva: %s\n", saved.message().c_str());
  monitor_.closeLog();
  window_->prompt().close();
  monitor_.setPrompt(nullptr);
  typed_->stop();
  link_.close();
}

void GuiApp::endBySignal() {
  window_->prompt().close();
  // Dialogs of other parts that are open now end as if cancelled.
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* dialog = qobject_cast<QDialog*>(w); dialog != nullptr && dialog->isVisible() && dialog->isModal())
      dialog->reject();
  window_->closeForShutdown();
}

}  // namespace orva::gui
