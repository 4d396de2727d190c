#include "main_window.hpp"

#include <QCloseEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

#include "gui_texts.hpp"
#include "menu_bar_view.hpp"
#include "pane_widget.hpp"
#include "qt_prompt.hpp"
#include "qt_text.hpp"

namespace orva::gui {
namespace {

}  // namespace

MainWindow::MainWindow(shell::Monitor& monitor, shell::MenuModel& menus, const MonitorView::Colours& colours,
                       QWidget* parent)
    : QMainWindow(parent) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(qs(texts::kWindowTitle));
  // No close box: the window ends through "Exit".
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint);

  view_ = new MonitorView(monitor, colours, this);
  setCentralWidget(view_);
  prompt_ = std::make_unique<QtPrompt>(this);
  messages_ = prompt_.get();
  menuView_ = new MenuBarView(menus, *menuBar(), [this](shell::MenuItem item) { choose(item); });

  statusBar()->showMessage(view_->statusLine());
  connect(view_, &MonitorView::statusLineShown, this, [this](const QString& text) { statusBar()->showMessage(text); });
  connect(view_, &MonitorView::typed, this, [this](char byte) {
    if (typedHandler_) typedHandler_(byte);
  });
  view_->pane(shell::Side::Pc).setFocus(Qt::OtherFocusReason);
}

// The prompt goes before the widgets its dialogs and wait window hang on.
MainWindow::~MainWindow() { prompt_.reset(); }

void MainWindow::choose(shell::MenuItem item) {
  if (menuHandler_ && menuHandler_(item)) return;
  if (messages_ != nullptr) messages_->message(texts::kNotAvailable, texts::kNotAvailableTitle, core::Icon::Information);
}

void MainWindow::closeForShutdown() {
  closing_ = true;
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  // The frame's close, where a window manager offers one anyway: the same as "Exit", run once
  // this event is done so that its questions open over a window that is still there.
  event->ignore();
  QTimer::singleShot(0, this, [this] { choose(shell::MenuItem::Exit); });
}

}  // namespace orva::gui
