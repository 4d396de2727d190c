// The desktop tool's windows on the offscreen platform: the main window and its monitor view,
// the menu bar, the prompt and its wait window, and the program as a whole with the built-in
// virtual camera.
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "core/monitor_sink.hpp"
#include "core/prompt.hpp"
#include "eeprom/backup.hpp"
#include "eeprom/command_file.hpp"
#include "eeprom/setup_runs.hpp"
#include "eeprom/write_back.hpp"
#include "gui_app.hpp"
#include "adr_dialog.hpp"
#include "cam_write_dialog.hpp"
#include "condition_window.hpp"
#include "camera/setting.hpp"
#include "gui_texts.hpp"
#include "launcher_window.hpp"
#include "panel_dialog.hpp"
#include "port_dialog.hpp"
#include "panels/camera_type_panel.hpp"
#include "panels/eis/eis_texts.hpp"
#include "panels/exposure/ae_panel.hpp"
#include "panels/exposure/ae_texts.hpp"
#include "panels/lens/lens_controls.hpp"
#include "panels/lens/lens_panels.hpp"
#include "panels/lens/lens_texts.hpp"
#include "panels/texts.hpp"
#include "shell/session_texts.hpp"
#include "main_window.hpp"
#include "menu_bar_view.hpp"
#include "monitor_view.hpp"
#include "pane_widget.hpp"
#include "qt_prompt.hpp"
#include "setup_dialog.hpp"
#include "shell/menu_model.hpp"
#include "shell/monitor.hpp"
#include "shell/settings.hpp"
#include "shell/texts.hpp"
#include "support/temp_folder.hpp"
#include "wait_window.hpp"

using orva::core::Answer;
using orva::core::Buttons;
using orva::core::Icon;
using orva::shell::MenuItem;
using orva::shell::Side;

namespace gui = orva::gui;
namespace shell = orva::shell;

namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The main window over a monitor and menus of its own, shown, as the program builds it.
struct Fixture {
  shell::Settings settings;
  shell::Monitor monitor;
  shell::MenuModel menus{settings, shell::StartSwitches{}};
  gui::MainWindow window{monitor, menus, gui::MonitorView::Colours{}};

  Fixture() {
    window.resize(800, 500);
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
  }
  gui::MonitorView& view() { return window.monitorView(); }
  gui::PaneWidget& pc() { return view().pane(Side::Pc); }
  gui::PaneWidget& camera() { return view().pane(Side::Camera); }
};

struct BoxSeen {
  bool seen = false;
  bool callerWasWaiting = false;
  bool onWindowThread = false;
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
};

// Clicks `button` in the next message box that opens, from the window thread's event loop.
// `waiting` (if any) tells whether the asking thread is still blocked at that moment.
std::shared_ptr<BoxSeen> answerNextBox(QMessageBox::StandardButton button, std::function<bool()> waiting = {}) {
  auto seen = std::make_shared<BoxSeen>();
  auto* timer = new QTimer(qApp);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, button, seen, waiting] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    seen->seen = true;
    seen->callerWasWaiting = waiting ? waiting() : false;
    seen->onWindowThread = box->thread() == qApp->thread() && QThread::currentThread() == qApp->thread();
    seen->text = box->text();
    seen->title = box->windowTitle();
    seen->icon = box->icon();
    seen->buttons = box->standardButtons();
    timer->stop();
    timer->deleteLater();
    box->button(button)->click();
  });
  timer->start();
  return seen;
}

// Runs `action` from the window thread's event loop once a message box is open.
void whenBoxIsOpen(std::function<void()> action) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
    if (qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) == nullptr) return;
    timer->stop();
    timer->deleteLater();
    action();
  });
  timer->start();
}

// The built-in camera: the default model, or the one named.
gui::StartOptions simulated(std::string model = {}) {
  gui::StartOptions o;
  o.simulate = std::move(model);
  return o;
}

void writeFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

}  // namespace

class GuiTest : public QObject {
  Q_OBJECT

 private slots:
  void windowStartsWithTitleAndBothPanes();
  void textFromAnotherThreadAppears();
  void trimmedPanesStayMirrored();
  void repaintsAreCoalesced();
  void scrollBarGoesThroughTheMonitor();
  void resizeReachesTheMonitor();
  void typedCharactersGoToTheHandler();
  void copyPutsTheSelectionOrThePaneOnTheClipboard();
  void menuBarFollowsTheModel();
  void itemWithoutHandlerSaysItIsNotAvailable();
  void promptFromWorkerGetsTheWindowThreadsAnswer();
  void promptOnWindowThreadAnswersAtOnce();
  void closedPromptReleasesAWaitingWorker();
  void waitWindowShowsProgressAndCancels();
  void coloursComeFromTheConfiguration();
  void typedCharacterReachesTheVirtualCamera();
  void signalClosesTheWindowWithoutAQuestion();
  void connectOpenCameraTypeGetReadTheConditionAndDisconnect();
  void panelWithThePortClosedSaysSetAPort();
  void shortcutKeysDriveTheLensOutsideThePanes();
  void camWriteDialogStartsOnlyWithTheFilesItNeeds();
  void adrDialogConvertsTheChosenMap();
  void setupUtilityReadsTheCameraAndWritesWithoutAsking();
  void failedConnectShowsTheFailureAndUnchecks();
  void zoomFocusPanelDrivesTheLensInBothProtocols();
  void lineMenuCommandsWaitForTheOperationSlot();
  void clicksWhileConnectingAreDropped();
  void shortcutKeysLeaveQuestionsAlone();
  void launcherTypeOneMemoryThenPreset();
  void zoomSliderMovesOneStepAPageOrAWheelNotch();
  void eisSetupMenuItemOpensItsPanel();
  void aSubPanelOpensOverItsOpenerWhichWaitsForIt();
  void screenshots();
  void openingReadsRunOffTheWindowThreadUnderTheBusyCursor();
};

void GuiTest::windowStartsWithTitleAndBothPanes() {
  Fixture f;
  QCOMPARE(f.window.windowTitle(), QStringLiteral("ORVA2"));
  QCOMPARE(f.window.centralWidget(), &f.view());
  auto* pc = f.window.findChild<gui::PaneWidget*>(QStringLiteral("pcPane"));
  auto* camera = f.window.findChild<gui::PaneWidget*>(QStringLiteral("cameraPane"));
  QVERIFY(pc != nullptr && camera != nullptr);
  QVERIFY(pc->isVisible() && camera->isVisible());
  // Side by side, PC on the left, each half of the 80-column layout, below its header.
  QCOMPARE(camera->x(), pc->x() + pc->width());
  QCOMPARE(camera->width(), pc->width());
  QCOMPARE(camera->y(), pc->y());
  const QLabel& pcHeader = f.view().header(Side::Pc);
  const QLabel& cameraHeader = f.view().header(Side::Camera);
  QCOMPARE(pcHeader.text(), qs(shell::texts::kPcHeader));
  QCOMPARE(cameraHeader.text(), qs(shell::texts::kCameraHeader));
  QCOMPARE(pcHeader.y(), 0);
  QCOMPARE(pc->y(), pcHeader.height());
  QCOMPARE(cameraHeader.x(), camera->x());
  QCOMPARE(pc->height(), f.view().clientArea().height() - pcHeader.height());

  QStringList menus;
  for (QAction* a : f.window.menuBar()->actions())
    if (a->isVisible()) menus << a->text();
  QCOMPARE(menus, (QStringList{"File", "SETUP", "CLS", "DEMO", "MODEL", "Help"}));
}

void GuiTest::textFromAnotherThreadAppears() {
  Fixture f;
  const int paintsBefore = f.pc().paintCount();
  std::thread worker([&] {
    f.monitor.heading("<< SOFT RESET ON >>");
    f.monitor.appendPc(":R010200");
    f.monitor.appendCamera(":R010280");
  });
  worker.join();
  QTRY_VERIFY(qs(f.camera().mirror().text()).contains(QStringLiteral(":R010280")));
  const shell::MonitorSnapshot snap = f.monitor.snapshot();
  QCOMPARE(f.pc().mirror().text(), snap.pc);
  QCOMPARE(f.camera().mirror().text(), snap.camera);
  QVERIFY(qs(snap.pc).contains(QStringLiteral("<< SOFT RESET ON >>")));
  QTRY_VERIFY(f.pc().paintCount() > paintsBefore);
}

void GuiTest::trimmedPanesStayMirrored() {
  Fixture f;
  std::atomic<bool> done = false;
  std::thread worker([&] {
    // More lines than the cursor model's 200 rows: the oldest lines go from both panes.
    for (int i = 0; i < 260; ++i) {
      char frame[16];
      std::snprintf(frame, sizeof frame, ":R%04X00", i);
      f.monitor.appendPc(frame);
      f.monitor.appendCamera(frame);
    }
    done = true;
  });
  QTRY_VERIFY(done.load());
  worker.join();
  const shell::MonitorSnapshot snap = f.monitor.snapshot();
  QTRY_COMPARE(f.pc().mirror().text(), snap.pc);
  QCOMPARE(f.camera().mirror().text(), snap.camera);
  QVERIFY(f.pc().mirror().lineCount() <= static_cast<std::size_t>(shell::kScreenRows) + 1);
  QVERIFY(qs(snap.pc).contains(QStringLiteral(":R010300")));
  // The newest line is in view.
  const auto& m = f.pc().mirror();
  QVERIFY(m.top() <= m.lineCount() - 1);
  QVERIFY(m.lineCount() - 1 < m.top() + static_cast<std::size_t>(f.pc().visibleRows()));
}

void GuiTest::repaintsAreCoalesced() {
  Fixture f;
  const int before = f.view().flushCount();
  QElapsedTimer clock;
  clock.start();
  std::atomic<bool> done = false;
  // A fast line one byte per call, as the link shows it: thousands of changes.
  std::thread worker([&] {
    const std::string frame = ":R010200";
    for (int i = 0; i < 1500; ++i) {
      for (char c : frame) f.monitor.appendPc(std::string_view(&c, 1));
      for (char c : frame) f.monitor.appendCamera(std::string_view(&c, 1));
    }
    done = true;
  });
  // The window thread turns as fast as it can, so only the view itself can hold repaints back.
  QDeadlineTimer deadline(120000);
  while (!done.load() && !deadline.hasExpired()) QCoreApplication::processEvents();
  worker.join();
  QTRY_COMPARE(f.pc().mirror().text(), f.monitor.snapshot().pc);
  const qint64 elapsed = clock.elapsed();
  const int flushes = f.view().flushCount() - before;
  qInfo("24000 appends in %lld ms shown in %d repaint batches", static_cast<long long>(elapsed), flushes);
  QVERIFY2(flushes <= elapsed / 25 + 3, "the view repaints more often than every 30 ms");
}

void GuiTest::scrollBarGoesThroughTheMonitor() {
  Fixture f;
  for (int i = 0; i < 100; ++i) f.monitor.appendPc(":R010200");
  f.view().flushNow();
  const shell::ViewState before = f.monitor.snapshot().view;
  QVERIFY(before.verticalPos > 0);
  // Whole-line rounding may leave the position past the maximum; the bar shows it at its end.
  QCOMPARE(f.view().verticalBar().value(), std::min(before.verticalPos, before.verticalMax));
  QCOMPARE(f.view().verticalBar().maximum(), before.verticalMax);
  const std::size_t top = f.pc().mirror().top();

  f.view().verticalBar().triggerAction(QAbstractSlider::SliderSingleStepSub);
  const shell::ViewState after = f.monitor.snapshot().view;
  // The monitor moves the view up by whole lines; the panes follow line for line.
  const int moved = before.verticalPos - after.verticalPos;
  QVERIFY(moved > 0);
  QCOMPARE(moved % before.lineHeight, 0);
  QCOMPARE(f.view().verticalBar().value(), std::min(after.verticalPos, after.verticalMax));
  QCOMPARE(f.pc().mirror().top(), top - static_cast<std::size_t>(moved / before.lineHeight));
  QCOMPARE(f.camera().mirror().top(), f.pc().mirror().top() > f.camera().mirror().lineCount() - 1
                                          ? f.camera().mirror().lineCount() - 1
                                          : f.pc().mirror().top());
}

void GuiTest::resizeReachesTheMonitor() {
  Fixture f;
  f.window.resize(1000, 640);
  QTRY_COMPARE(f.monitor.snapshot().view.clientHeight, f.view().clientArea().height());
  QCOMPARE(f.monitor.snapshot().view.clientWidth, f.view().clientArea().width());
  QCOMPARE(f.pc().height(), f.view().clientArea().height() - f.view().header(Side::Pc).height());
}

void GuiTest::typedCharactersGoToTheHandler() {
  Fixture f;
  std::string typed;
  f.window.setTypedHandler([&](char c) { typed += c; });
  QTest::keyClick(&f.pc(), Qt::Key_A);
  QTest::keyClicks(&f.pc(), QStringLiteral(":R"));
  QTest::keyClick(&f.pc(), Qt::Key_Left);
  QTest::keyClick(&f.pc(), Qt::Key_Home);
  QTest::keyClick(&f.camera(), Qt::Key_B);
  QCOMPARE(typed, std::string("a:Rb"));
  // The exchange shows the byte and its echo; the pane inserts nothing of its own.
  f.view().flushNow();
  QCOMPARE(f.pc().mirror().text(), std::string());
  QCOMPARE(f.camera().mirror().text(), std::string());
}

void GuiTest::copyPutsTheSelectionOrThePaneOnTheClipboard() {
  Fixture f;
  f.monitor.appendPc("\r\n<< COPY ME >>");
  f.view().flushNow();
  const QList<QAction*> items = f.pc().contextMenu()->actions();
  QCOMPARE(items.size(), 1);
  QCOMPARE(items.front()->text(), qs(shell::texts::kCopyItem));

  f.pc().mirror().select({1, 3}, {1, 7});
  items.front()->trigger();
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("COPY"));

  f.pc().mirror().clearSelection();
  items.front()->trigger();
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("\n<< COPY ME >>"));

  // A drag with the left button selects.
  f.pc().scrollToEnd();
  const QFontMetrics metrics(f.pc().font());
  const int cw = metrics.horizontalAdvance(QLatin1Char('M'));
  const int row = static_cast<int>(1 - f.pc().mirror().top());
  const int y = 1 + row * metrics.lineSpacing() + metrics.lineSpacing() / 2;
  QTest::mousePress(&f.pc(), Qt::LeftButton, {}, QPoint(1 + 3 * cw, y));
  QTest::mouseMove(&f.pc(), QPoint(1 + 7 * cw, y));
  QTest::mouseRelease(&f.pc(), Qt::LeftButton, {}, QPoint(1 + 7 * cw, y));
  QCOMPARE(qs(f.pc().mirror().selectedText()), QStringLiteral("COPY"));
}

void GuiTest::menuBarFollowsTheModel() {
  Fixture f;
  gui::MenuBarView& bar = f.window.menuView();
  for (MenuItem item : orva::camera::menuItems()) QVERIFY(bar.action(item) != nullptr);
  // The configuration's defaults take "Send File..." out and grey "Log File".
  QVERIFY(!bar.action(MenuItem::SendFile)->isVisible());
  QVERIFY(!bar.action(MenuItem::LogFile)->isEnabled());
  QVERIFY(bar.action(MenuItem::WaitTime5s)->isChecked());
  QVERIFY(!bar.action(MenuItem::WaitTime3s)->isChecked());
  QCOMPARE(bar.submenu(orva::camera::Submenu::CameraMode)->menuAction()->isEnabled(),
           f.menus.enabled(orva::camera::Submenu::CameraMode));

  f.menus.setEnabled(MenuItem::LogFile, true);
  QVERIFY(bar.action(MenuItem::LogFile)->isEnabled());
  f.menus.checkInGroup(MenuItem::WaitTime3s);
  QVERIFY(bar.action(MenuItem::WaitTime3s)->isChecked());
  QVERIFY(!bar.action(MenuItem::WaitTime5s)->isChecked());

  // Choosing a checked item leaves its mark to the command; this one changes nothing.
  MenuItem chosen{};
  f.window.setMenuHandler([&](MenuItem item) {
    chosen = item;
    return true;
  });
  bar.action(MenuItem::WaitTime3s)->trigger();
  QCOMPARE(chosen, MenuItem::WaitTime3s);
  QVERIFY(bar.action(MenuItem::WaitTime3s)->isChecked());
  {
    shell::MenuBusyLock lock(f.menus);
    QVERIFY(!bar.action(MenuItem::SerialPort)->isEnabled());
  }
  QCOMPARE(bar.action(MenuItem::SerialPort)->isEnabled(), f.menus.state(MenuItem::SerialPort).enabled);
}

void GuiTest::itemWithoutHandlerSaysItIsNotAvailable() {
  Fixture f;
  orva::core::ScriptedPrompt scripted;
  f.window.setMessagePrompt(&scripted);
  std::vector<MenuItem> handled;
  f.window.setMenuHandler([&](MenuItem item) {
    if (item != MenuItem::About) return false;
    handled.push_back(item);
    return true;
  });
  f.window.menuView().action(MenuItem::Help)->trigger();
  QCOMPARE(scripted.asked().size(), std::size_t{1});
  QCOMPARE(scripted.asked()[0].text, std::string(gui::texts::kNotAvailable));
  QCOMPARE(scripted.asked()[0].title, std::string(gui::texts::kNotAvailableTitle));

  f.window.menuView().action(MenuItem::About)->trigger();
  QCOMPARE(handled.size(), std::size_t{1});
  QCOMPARE(scripted.asked().size(), std::size_t{1});

  // The frame's close counts as "Exit", which has no command here either.
  f.window.close();
  QTRY_COMPARE(scripted.asked().size(), std::size_t{2});
  QVERIFY(f.window.isVisible());
}

void GuiTest::promptFromWorkerGetsTheWindowThreadsAnswer() {
  Fixture f;
  std::atomic<int> answer = -1;
  auto seen = answerNextBox(QMessageBox::Yes, [&] { return answer.load() == -1; });
  std::thread worker([&] {
    answer = static_cast<int>(f.window.prompt().ask("Do you want to make a backup file of current EEPROM data values ?",
                                                     "Attention", Buttons::YesNo, Icon::Question));
  });
  QTRY_VERIFY(answer.load() != -1);
  worker.join();
  QCOMPARE(answer.load(), static_cast<int>(Answer::Yes));
  QVERIFY(seen->seen);
  QVERIFY(seen->callerWasWaiting);
  QVERIFY(seen->onWindowThread);
  QCOMPARE(seen->title, QStringLiteral("Attention"));
  QCOMPARE(seen->text, QStringLiteral("Do you want to make a backup file of current EEPROM data values ?"));
  QCOMPARE(seen->icon, QMessageBox::Question);
  QCOMPARE(seen->buttons, QMessageBox::Yes | QMessageBox::No);
}

void GuiTest::promptOnWindowThreadAnswersAtOnce() {
  Fixture f;
  auto seen = answerNextBox(QMessageBox::Cancel);
  const Answer answer = f.window.prompt().ask(shell::texts::kBufferFull, shell::texts::kBufferFullTitle,
                                              Buttons::OkCancel, Icon::Question);
  QCOMPARE(answer, Answer::Cancel);
  QCOMPARE(seen->text, qs(shell::texts::kBufferFull));
  QCOMPARE(seen->buttons, QMessageBox::Ok | QMessageBox::Cancel);

  auto warned = answerNextBox(QMessageBox::Ok);
  QCOMPARE(f.window.prompt().ask("Set a communication port.", "Attention", Buttons::Ok, Icon::Exclamation), Answer::Ok);
  QCOMPARE(warned->icon, QMessageBox::Warning);
}

void GuiTest::closedPromptReleasesAWaitingWorker() {
  Fixture f;
  std::atomic<int> answer = -1;
  // The box runs its own loop inside the window thread's; the close comes from within it.
  whenBoxIsOpen([&] { f.window.prompt().close(); });
  std::thread worker([&] {
    answer = static_cast<int>(f.window.prompt().ask("Reset to factory default is carried out. Is it all right?",
                                                     "Confirmation", Buttons::OkCancel, Icon::Question));
  });
  QTRY_COMPARE(answer.load(), static_cast<int>(Answer::Cancel));
  worker.join();
  QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
  // Later questions get their cancelling answer without a box.
  QCOMPARE(f.window.prompt().ask("Does it Read OK ?", "Attention", Buttons::YesNo, Icon::Question), Answer::No);
  QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void GuiTest::waitWindowShowsProgressAndCancels() {
  Fixture f;
  gui::QtPrompt& prompt = f.window.prompt();
  gui::WaitWindow& wait = prompt.waitWindow();
  std::thread([&] { prompt.progress(orva::eeprom::kBackupCaption, 3, 20); }).join();
  QTRY_VERIFY(wait.isVisible());
  QVERIFY(!wait.isModal());
  QCOMPARE(wait.windowTitle(), qs(orva::eeprom::kBackupCaption));
  QCOMPARE(wait.firstLine().text(), qs(orva::eeprom::kBackupLine));
  QCOMPARE(wait.waitLine().text(), QStringLiteral("Wait for a while."));
  QCOMPARE(wait.bar().maximum(), 100);
  QCOMPARE(wait.bar().value(), 15);
  QCOMPARE(wait.pos().x(), f.window.frameGeometry().left());
  QCOMPARE(wait.pos().y(), f.window.geometry().top() + f.window.menuBar()->height());
  QVERIFY(!prompt.cancelled());

  QTest::mouseClick(&wait.cancelButton(), Qt::LeftButton);
  QVERIFY(prompt.cancelled());
  QVERIFY(!wait.isVisible());
  // The cancelled run's next step shows nothing and keeps the cancel.
  std::thread([&] { prompt.progress(orva::eeprom::kBackupCaption, 4, 20); }).join();
  QCoreApplication::processEvents();
  QVERIFY(!wait.isVisible());
  QVERIFY(prompt.cancelled());

  // The next run starts afresh, and its last step closes the window.
  prompt.progress(orva::eeprom::kWriteCaption, 0, 20);
  QVERIFY(!prompt.cancelled());
  QVERIFY(wait.isVisible());
  QCOMPARE(wait.firstLine().text(), qs(orva::eeprom::kWriteLine));
  QCOMPARE(wait.bar().value(), 0);
  prompt.progress(orva::eeprom::kWriteCaption, 20, 20);
  QVERIFY(!wait.isVisible());
}

void GuiTest::coloursComeFromTheConfiguration() {
  orva::testing::TempFolder dir;
  writeFile(dir / "ORVA.ini", "Text Color  = 4\nBack Color  = 1\n");
  gui::GuiApp app(simulated(), dir.path());
  const gui::PaneWidget& pc = app.window().monitorView().pane(Side::Pc);
  QCOMPARE(pc.palette().color(QPalette::Text), QColor(255, 0, 0));
  QCOMPARE(pc.palette().color(QPalette::Base), QColor(0, 0, 255));
  app.shutdown();
}

void GuiTest::signalClosesTheWindowWithoutAQuestion() {
  orva::testing::TempFolder dir;
  gui::GuiApp app(simulated(), dir.path());
  app.window().show();
  QVERIFY(QTest::qWaitForWindowExposed(&app.window()));
  std::atomic<int> answer = -1;
  whenBoxIsOpen([] { std::raise(SIGTERM); });
  std::thread worker([&] {
    answer = static_cast<int>(app.window().prompt().ask(shell::texts::kBufferFull, shell::texts::kBufferFullTitle,
                                                         Buttons::OkCancel, Icon::Question));
  });
  QTRY_VERIFY(!app.window().isVisible());
  QTRY_COMPARE(answer.load(), static_cast<int>(Answer::Cancel));
  worker.join();
  QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
  app.shutdown();
  QVERIFY(std::filesystem::exists(dir / "ORVA.ini"));
}

namespace {

// The program on its virtual camera, shown, with the launcher beside the main window.
struct Program {
  orva::testing::TempFolder dir;
  gui::GuiApp app;
  explicit Program(std::string model = {}) : app(simulated(std::move(model)), dir.path()) {
    app.window().resize(820, 520);
    app.show();
    (void)QTest::qWaitForWindowExposed(&app.window());
  }
  ~Program() { app.shutdown(); }

  QString field(const char* name) {
    auto* edit = app.launcher().findChild<QLineEdit*>(QString::fromLatin1(name));
    return edit != nullptr ? edit->text() : QString();
  }
  // "Connect" checked as the operator does it, answering the backup question with No.
  void connect() {
    auto seen = answerNextBox(QMessageBox::No);
    app.launcher().findChild<QCheckBox*>(QStringLiteral("connect"))->click();
    QTRY_VERIFY(seen->seen);
    QCOMPARE(seen->text, qs(shell::texts::kBackupQuestion));
  }
};

// Runs `act` once the panel the test opens next is on the screen. A call posted before the
// click could come too early: the panel's opening reads run in an event loop of their own.
void whenPanelOpens(gui::GuiApp& app, std::function<void()> act) {
  auto* timer = new QTimer(&app.window());
  timer->setInterval(1);
  QObject::connect(timer, &QTimer::timeout, timer, [&app, timer, act = std::move(act)] {
    const gui::PanelDialog* panel = app.openPanel();
    if (panel == nullptr || !panel->isVisible()) return;
    timer->stop();
    act();
    timer->deleteLater();
  });
  timer->start();
}

}  // namespace

// Whether a keystroke may go out at all (not before the connect, not while a run holds the
// line) is TypedTurn's.
void GuiTest::typedCharacterReachesTheVirtualCamera() {
  Program p;
  p.connect();
  gui::MonitorView& view = p.app.window().monitorView();
  QTest::keyClick(&view.pane(Side::Pc), Qt::Key_Colon);
  // The camera echoes the character: the PC pane shows what went out, the camera pane the echo.
  QTRY_VERIFY(qs(view.pane(Side::Camera).mirror().text()).contains(QLatin1Char(':')));
  QVERIFY(qs(view.pane(Side::Pc).mirror().text()).contains(QLatin1Char(':')));
  // The exchange ends once the echo has been read: the typed-input mark goes with it.
  QTRY_VERIFY(!p.app.monitor().typedInput());
}

void GuiTest::connectOpenCameraTypeGetReadTheConditionAndDisconnect() {
  Program p;
  auto& launcher = p.app.launcher();
  QCOMPARE(launcher.windowTitle(), qs(gui::texts::kLauncherTitle));
  QCOMPARE(p.field("modelField"), qs(shell::texts::kNoModelField));
  QVERIFY(!launcher.button(orva::camera::LauncherItem::Ver)->isEnabled());
  QVERIFY(!p.app.condition().conditionButton().isEnabled());

  p.connect();
  QVERIFY(p.app.session().connected());
  QVERIFY(launcher.findChild<QCheckBox*>(QStringLiteral("connect"))->isChecked());
  QCOMPARE(launcher.indicator().state(), gui::ConnectionIndicator::State::Connected);
  QCOMPARE(p.field("modelField"), qs(p.app.session().model().name));
  QVERIFY2(p.field("portField").contains(qs(gui::virtualCameraEntry().text)), qPrintable(p.field("portField")));
  QVERIFY(qs(p.app.monitor().snapshot().pc).contains(qs(shell::texts::kConnectionSuccessful)));

  // "Ver" opens CAMERA TYPE; "Get" shows the type code, then "CLOSE". Meanwhile the main
  // window takes what is typed into it and the launcher is out of reach.
  QString shown, typed;
  p.app.window().setTypedHandler([&](char c) { typed += QLatin1Char(c); });
  whenPanelOpens(p.app, [&] {
    gui::PanelDialog* panel = p.app.openPanel();
    QVERIFY(panel != nullptr);
    QCOMPARE(panel->windowTitle(), qs(orva::panels::texts::kCameraTypeTitle));
    p.app.window().monitorView().pane(Side::Pc).setFocus(Qt::OtherFocusReason);
    QTest::keyClick(p.app.window().windowHandle(), Qt::Key_A);
    QVERIFY(p.app.launcher().blocked());
    QVERIFY(panel->isEnabled());
    auto* get = qobject_cast<QPushButton*>(panel->control(orva::panels::camera_type::kGet));
    auto* code = qobject_cast<QLineEdit*>(panel->control(orva::panels::camera_type::kTypeCode));
    QVERIFY(get != nullptr && code != nullptr);
    QVERIFY(code->text().isEmpty());
    get->click();
    shown = code->text();
    qobject_cast<QPushButton*>(panel->control(orva::panels::camera_type::kClose))->click();
  });
  launcher.button(orva::camera::LauncherItem::Ver)->click();
  QVERIFY(p.app.openPanel() == nullptr);
  QCOMPARE(typed, QStringLiteral("a"));
  QVERIFY(!launcher.blocked());
  QVERIFY(qs(p.app.monitor().snapshot().pc).contains(QStringLiteral("<< CAMERA TYPE >>")));

  std::uint32_t type = 0;
  QVERIFY(orva::camera::readSetting(orva::camera::kCameraTypeSetting, type, p.app.link(), p.app.session().eap(),
                                    p.app.session().functionCodes()));
  QCOMPARE(shown, QStringLiteral("%1").arg(type, 4, 16, QLatin1Char('0')).toUpper());

  // "CONDITION" reads the camera into its window, and the slot is free afterwards.
  auto& condition = p.app.condition();
  QVERIFY(condition.conditionButton().isEnabled());
  condition.conditionButton().click();
  QVERIFY(qs(p.app.monitor().snapshot().pc).contains(QStringLiteral("<< CAMERA CONDITION >>")));
  auto* magnification = condition.findChild<QLineEdit*>(QStringLiteral("magnification"));
  QVERIFY(magnification != nullptr && !magnification->text().isEmpty());
  QVERIFY(!p.app.session().runner().busy());

  // A disconnect puts the launcher back as it was, and the same line connects again.
  auto* box = launcher.findChild<QCheckBox*>(QStringLiteral("connect"));
  box->click();
  QVERIFY(!p.app.session().connected());
  QVERIFY(!box->isChecked());
  QCOMPARE(launcher.indicator().state(), gui::ConnectionIndicator::State::Idle);
  QCOMPARE(p.field("modelField"), qs(shell::texts::kNoModelField));
  QVERIFY(p.field("portField").isEmpty());
  QVERIFY(!launcher.button(orva::camera::LauncherItem::Ver)->isEnabled());
  QVERIFY(!p.app.menus().state(MenuItem::CameraDataRead).enabled);
  p.connect();
  QVERIFY(p.app.session().connected());
}

void GuiTest::panelWithThePortClosedSaysSetAPort() {
  Program p;
  // The panel as the launcher opens it, with the line closed: the guard speaks and nothing opens.
  gui::PanelDialog dialog(orva::panels::camera_type::description(), &p.app.launcher());
  orva::panels::CameraAccess access(p.app.link(), p.app.session().eap(), p.app.session().functionCodes());
  orva::core::SteadyClock clock;
  orva::panels::QueuedDispatcher dispatcher;
  orva::panels::PanelContext context{access, p.app.monitor(), p.app.window().prompt(), clock,
                                     p.app.session().runner(), dispatcher, p.app.session().model(),
                                     [] { return false; }};
  orva::panels::PanelLogic logic(orva::panels::camera_type::description(), context, dialog);
  dialog.setLogic(&logic);
  auto seen = answerNextBox(QMessageBox::Ok);
  QVERIFY(!logic.open());
  QVERIFY(seen->seen);
  QCOMPARE(seen->text, qs(orva::panels::texts::kSetPort));
  QCOMPARE(seen->title, qs(orva::panels::texts::kAttention));
  QCOMPARE(seen->icon, QMessageBox::Warning);
  QCOMPARE(dialog.closeReason(), orva::panels::CloseReason::PortClosed);
  QVERIFY(!dialog.isVisible());
  QVERIFY(!qs(p.app.monitor().snapshot().pc).contains(QStringLiteral("CAMERA TYPE")));
}

void GuiTest::shortcutKeysDriveTheLensOutsideThePanes() {
  Program p;
  p.connect();
  auto pc = [&] { return qs(p.app.monitor().snapshot().pc); };
  // T in the PC pane is a character for the camera, not the zoom.
  const auto before = pc().size();
  QTest::keyClick(&p.app.window().monitorView().pane(Side::Pc), Qt::Key_T);
  // The character holds the line until the camera's answer or its time-out; a drive key
  // pressed meanwhile would be ignored.
  QTRY_VERIFY_WITH_TIMEOUT(pc().size() > before && !p.app.session().runner().busy(), 30000);
  QVERIFY(!pc().contains(QStringLiteral(":WFCBB99")));

  // In the launcher it drives the zoom while held, and its release stops it.
  QWidget* exit = p.app.launcher().findChild<QPushButton*>(QStringLiteral("exit"));
  exit->setFocus(Qt::OtherFocusReason);
  QTest::keyPress(exit, Qt::Key_T);
  QTRY_VERIFY_WITH_TIMEOUT(pc().contains(QStringLiteral(":WFCBB99")), 30000);  // a loaded machine is slow
  QVERIFY(!pc().contains(QStringLiteral(":WFCBBFE")));
  QTest::keyRelease(exit, Qt::Key_T);
  QTRY_VERIFY_WITH_TIMEOUT(pc().contains(QStringLiteral(":WFCBBFE")), 30000);
  QCOMPARE(pc().count(QStringLiteral(":WFCBB99")), 1);
  QCOMPARE(pc().count(QStringLiteral(":WFCBBFE")), 1);
}

void GuiTest::camWriteDialogStartsOnlyWithTheFilesItNeeds() {
  orva::testing::TempFolder dir;
  writeFile(dir / "bad.cfg", "1800\r\n");
  writeFile(dir / "adj.cfg", "%END\r\n%END\r\n%END\r\n1800 1801\r\n");
  orva::core::ScriptedPrompt prompt;
  orva::core::RecordingMonitorSink monitor;
  int starts = 0;
  orva::eeprom::WriteMethod method{};
  std::vector<std::uint16_t> kept;
  gui::CamWriteDialog dialog(
      nullptr, prompt, dir.path(),
      [&](const std::filesystem::path& image, orva::eeprom::WriteMethod m, orva::eeprom::AdjustmentAddresses adjustment) {
        ++starts;
        method = m;
        kept = adjustment.addresses;
        QCOMPARE(QString::fromStdString(image.filename().string()), QStringLiteral("cam.mem"));
      },
      &monitor);
  QCOMPARE(dialog.windowTitle(), QStringLiteral("CAM EEPROM Data Write"));
  QVERIFY(!dialog.startEnabled());
  prompt.file(dir / "cam.mem");
  dialog.findChild<QPushButton*>(QStringLiteral("imageSelect"))->click();
  QCOMPARE(monitor.pc(), std::string("\r\n Select File Name > cam.mem\r\n"));
  QVERIFY(dialog.startEnabled());  // "All Data" needs the image only
  dialog.setExceptAdjustment(true);
  QVERIFY(!dialog.startEnabled());
  QVERIFY(!dialog.setAdjustmentFile(dir / "bad.cfg"));
  QCOMPARE(prompt.asked().size(), std::size_t{1});
  QVERIFY(!dialog.startEnabled());
  QVERIFY(dialog.setAdjustmentFile(dir / "adj.cfg"));
  QVERIFY(dialog.startEnabled());
  dialog.pressStart();
  QCOMPARE(starts, 1);
  QCOMPARE(method, orva::eeprom::WriteMethod::ExceptAdjustment);
  QCOMPARE(kept, (std::vector<std::uint16_t>{0x1800, 0x1801}));
}

// The map filter's file dialog; a cancel afterwards empties the name but keeps the button.
void GuiTest::adrDialogConvertsTheChosenMap() {
  orva::testing::TempFolder dir;
  writeFile(dir / "FW.MAP", "EXTERNALLY\n");
  orva::core::ScriptedPrompt prompt;
  gui::AdrDialog dialog(nullptr, prompt, dir.path());
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Address MAP File -> ADR File Converter"));
  QVERIFY(!dialog.convertEnabled());
  prompt.file(dir / "FW.MAP").file(std::nullopt);
  auto* select = dialog.findChild<QPushButton*>(QStringLiteral("mapSelect"));
  select->click();
  QCOMPARE(prompt.fileChoices().at(0).filter, orva::eeprom::fileChoice(6).filter);
  QVERIFY(dialog.convertEnabled());
  dialog.pressConvert();
  QCOMPARE(dialog.resultText(), QFile::decodeName((dir / "FW.ADR").c_str()));
  QVERIFY(std::filesystem::exists(dir / "FW.ADR"));
  select->click();
  QVERIFY(dialog.convertEnabled());
  dialog.pressConvert();
  QCOMPARE(prompt.asked().size(), std::size_t{2});
  QCOMPARE(prompt.asked()[0].text + "|" + prompt.asked()[0].title, std::string("File Convert end !!|Message"));
  QCOMPARE(prompt.asked()[1].text + "|" + prompt.asked()[1].title, std::string("Map File not Found.|Attention"));
}

void GuiTest::failedConnectShowsTheFailureAndUnchecks() {
  orva::testing::TempFolder dir;
  writeFile(dir / "ORVA.ini", "RS Negotiate= 0\r\n");
  gui::StartOptions options;
  options.port = (dir / "no-such-port").string();
  gui::GuiApp app(options, dir.path());
  app.show();
  QVERIFY(QTest::qWaitForWindowExposed(&app.window()));
  auto* box = app.launcher().findChild<QCheckBox*>(QStringLiteral("connect"));
  box->click();
  QVERIFY(!app.session().connected());
  QVERIFY(!box->isChecked());
  QCOMPARE(app.launcher().indicator().state(), gui::ConnectionIndicator::State::Failed);
  QTRY_COMPARE(app.launcher().indicator().state(), gui::ConnectionIndicator::State::Idle);
  QVERIFY(!app.launcher().button(orva::camera::LauncherItem::ZoomFocus)->isEnabled());
  app.shutdown();
}

void GuiTest::zoomFocusPanelDrivesTheLensInBothProtocols() {
  namespace C = orva::panels::lens::controls;
  using orva::link::Protocol;
  Program p;
  p.connect();
  auto pc = [&] { return qs(p.app.monitor().snapshot().pc); };
  for (const Protocol protocol : {p.app.link().protocol(), p.app.link().protocol() == Protocol::Eap ? Protocol::Afp
                                                                                                   : Protocol::Eap}) {
    const bool afp = protocol == Protocol::Afp;
    if (p.app.link().protocol() != protocol) p.app.session().selectProtocol(protocol);
    QCOMPARE(p.app.link().protocol(), protocol);
    const QString tele = afp ? QStringLiteral("S110702T") : QStringLiteral(":WFCBB99");
    const QString stop = afp ? QStringLiteral("S110701T") : QStringLiteral(":WFCBBFE");
    const qsizetype teles = pc().count(tele), stops = pc().count(stop);
    int before = -1, after = -1;
    QString magnificationBefore, magnificationAfter;
    whenPanelOpens(p.app, [&] {
      gui::PanelDialog* panel = p.app.openPanel();
      QVERIFY(panel != nullptr);
      QCOMPARE(panel->windowTitle(), qs(orva::panels::lens::texts::kZoomFocusTitle));
      auto* slider = panel->control(C::kSlider)->findChild<QSlider*>(QStringLiteral("slider"));
      auto* magnification = qobject_cast<QLineEdit*>(panel->control(C::kMagnification));
      QVERIFY(slider != nullptr && magnification != nullptr);
      before = slider->value();
      magnificationBefore = magnification->text();
      // The window lies on the screen (it scrolls inside); a group whose controls this model
      // lacks is hidden.
      QTRY_VERIFY(panel->screen()->availableGeometry().contains(panel->frameGeometry()));
      for (QGroupBox* box : panel->findChildren<QGroupBox*>())
        if (box->title() == qs(orva::panels::lens::texts::kCompatibilityGroup)) QVERIFY(box->isHidden());
      auto* speed = panel->control(C::kManualSpeed)->findChild<QSpinBox*>();
      QVERIFY(speed != nullptr);
      // Held for a second, the tele arrow drives the zoom; the polling follows it.
      QWidget* arrow = panel->control(C::kZoomTele);
      QTest::mousePress(arrow, Qt::LeftButton);
      QTest::qWait(1200);
      QTest::mouseRelease(arrow, Qt::LeftButton);
      QTRY_VERIFY(slider->value() > before);
      after = slider->value();
      magnificationAfter = magnification->text();
      qobject_cast<QPushButton*>(panel->control(C::kClose))->click();
    });
    p.app.launcher().button(orva::camera::LauncherItem::ZoomFocus)->click();
    QVERIFY(p.app.openPanel() == nullptr);
    QVERIFY2(after > before, qPrintable(QStringLiteral("slider %1 -> %2").arg(before).arg(after)));
    QVERIFY(magnificationAfter != magnificationBefore);
    QCOMPARE(pc().count(tele) - teles, 1);
    QCOMPARE(pc().count(stop) - stops, 1);
    QVERIFY(pc().contains(QStringLiteral("<< ZOOM_FOCUS CONTROL >>")));

    // Back to the wide end for the other protocol.
    whenPanelOpens(p.app, [&] {
      gui::PanelDialog* panel = p.app.openPanel();
      QVERIFY(panel != nullptr);
      auto* slider = panel->control(C::kSlider)->findChild<QSlider*>(QStringLiteral("slider"));
      QCOMPARE(slider->value(), after);  // the panel opens on the position the camera holds
      slider->setValue(0);
      QTRY_VERIFY_WITH_TIMEOUT(!p.app.session().runner().busy(), 15000);
      QCOMPARE(slider->value(), 0);
      qobject_cast<QPushButton*>(panel->control(C::kClose))->click();
    });
    p.app.launcher().button(orva::camera::LauncherItem::ZoomFocus)->click();
  }
}

namespace {

// Records and rejects every modal dialog that opens while it lives.
struct DialogCatcher {
  QStringList seen;
  QTimer timer;
  // `under` is the dialog the catching happens over: it is not caught itself.
  explicit DialogCatcher(const QDialog* under = nullptr) {
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [this, under] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || dialog == under || !dialog->isVisible()) return;
      seen << dialog->windowTitle();
      dialog->reject();
    });
    timer.start();
  }
};

}  // namespace

void GuiTest::lineMenuCommandsWaitForTheOperationSlot() {
  Program p;
  p.connect();
  {
    // A run holds the line: the commands that would use it are ignored, as a launcher button is.
    auto run = p.app.session().runner().claim();
    QVERIFY(run.has_value());
    DialogCatcher catcher;
    for (MenuItem item : {MenuItem::SerialPort, MenuItem::About, MenuItem::RsBufferClear}) p.app.window().choose(item);
    QVERIFY2(catcher.seen.isEmpty(), qPrintable(catcher.seen.join(QStringLiteral(", "))));
    QVERIFY(p.app.session().connected());
  }
  DialogCatcher catcher;
  p.app.window().choose(MenuItem::About);
  QCOMPARE(catcher.seen.size(), 1);
}

void GuiTest::clicksWhileConnectingAreDropped() {
  Program p;
  auto* box = p.app.launcher().findChild<QCheckBox*>(QStringLiteral("connect"));
  // The second click of a double click, while the first one's connect is still going.
  bool clickedAgain = false;
  int questions = 0;
  QTimer again;
  again.setInterval(1);
  QObject::connect(&again, &QTimer::timeout, [&] {
    if (auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        question != nullptr && question->isVisible()) {
      ++questions;
      question->button(QMessageBox::No)->click();
      return;
    }
    if (clickedAgain || p.app.launcher().indicator().state() != gui::ConnectionIndicator::State::Connecting) return;
    clickedAgain = true;
    box->click();
  });
  again.start();
  box->click();
  QVERIFY(clickedAgain);
  QCOMPARE(questions, 1);
  QCOMPARE(qs(p.app.monitor().snapshot().pc).count(qs(shell::texts::kConnectionSuccessful)), 1);
  QVERIFY(p.app.session().connected());
  QVERIFY(box->isChecked() && box->isEnabled());
  QCOMPARE(p.app.launcher().indicator().state(), gui::ConnectionIndicator::State::Connected);
}

void GuiTest::shortcutKeysLeaveQuestionsAlone() {
  Program p;
  bool driveHeld = true;
  bool backupStarted = false;
  QMessageBox* question = nullptr;
  QTimer answers;
  answers.setInterval(5);
  QObject::connect(&answers, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    auto* box = qobject_cast<QMessageBox*>(dialog);
    if (question == nullptr && box != nullptr) {
      // Y in the backup question: the box's Yes, not the focus drive.
      question = box;
      QTest::keyPress(box, Qt::Key_Y);
      driveHeld = p.app.session().shortcutKeys().heldKey().has_value();
      QTest::keyRelease(box, Qt::Key_Y);
      if (driveHeld) box->button(QMessageBox::No)->click();
    } else if (dialog != question) {
      backupStarted = true;  // its file choice or its confirmation: declined
      dialog->reject();
    }
  });
  answers.start();
  p.app.launcher().findChild<QCheckBox*>(QStringLiteral("connect"))->click();
  QVERIFY(question != nullptr);
  QVERIFY(!driveHeld);
  QTRY_VERIFY(backupStarted);
  QTRY_VERIFY(!p.app.session().runner().busy());
  QVERIFY(!qs(p.app.monitor().snapshot().pc).contains(QStringLiteral(":WFCBBA9")));
}

// TYPE I Memory1 captures the lens state, Preset1 writes it back: the key shows the session's
// check, and both runs reach the monitor with their headings and END lines.
void GuiTest::launcherTypeOneMemoryThenPreset() {
  using orva::camera::LauncherItem;
  Program p("QB-183");
  p.connect();
  QPushButton* memory = p.app.launcher().button(LauncherItem::MemoryKey1);
  QPushButton* preset = p.app.launcher().button(LauncherItem::PresetButton1);
  QVERIFY(memory->isEnabled() && !memory->isChecked());
  QVERIFY(!preset->isEnabled());
  const auto pc = [&p] { return qs(p.app.monitor().snapshot().pc); };
  memory->click();
  QVERIFY(memory->isChecked());
  QTRY_VERIFY(pc().contains(QStringLiteral("-- END --")));
  QTRY_VERIFY(!p.app.session().runner().busy());
  QVERIFY(memory->isChecked() && preset->isEnabled());
  preset->click();
  QTRY_COMPARE(pc().count(QStringLiteral("-- END --")), 2);
  QVERIFY(pc().contains(QStringLiteral("<< TYPE I Memory1 >>")));
  QVERIFY(pc().contains(QStringLiteral("<< TYPE I Preset1 >>")));
  QTRY_VERIFY(!p.app.session().runner().busy());
}

// A click in the groove, PgUp / PgDn and a wheel notch each move the zoom one step.
void GuiTest::zoomSliderMovesOneStepAPageOrAWheelNotch() {
  namespace C = orva::panels::lens::controls;
  gui::PanelDialog panel(orva::panels::lens::zoomPanelDescription(), nullptr);
  panel.setRange(C::kSlider, 0, 15);
  panel.setValue(C::kSlider, 5);
  auto* slider = panel.control(C::kSlider)->findChild<QSlider*>(QStringLiteral("slider"));
  QVERIFY(slider != nullptr);
  slider->triggerAction(QAbstractSlider::SliderPageStepAdd);
  QCOMPARE(slider->value(), 6);
  slider->triggerAction(QAbstractSlider::SliderPageStepSub);
  QCOMPARE(slider->value(), 5);
  const QPointF at(slider->width() / 2.0, slider->height() / 2.0);
  QWheelEvent notch(at, slider->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(slider, &notch);
  QCOMPARE(std::abs(slider->value() - 5), 1);
}

// Pictures of the windows for a look by eye: ORVA_GUI_SCREENSHOT_DIR=<folder> gui_tests screenshots
void GuiTest::screenshots() {
  const char* folder = std::getenv("ORVA_GUI_SCREENSHOT_DIR");
  if (folder == nullptr) QSKIP("ORVA_GUI_SCREENSHOT_DIR names no folder");
  const QString dir = QString::fromLocal8Bit(folder);
  // The panels, each in its own picture, and the screen with it (where the window system
  // draws one).
  using orva::link::Protocol;
  using orva::panels::PanelId;
  struct Shot {
    PanelId panel;
    const char* file;
    Protocol protocol;
  };
  const auto shoot = [&dir](Program& on, const Shot& shot) {
    if (on.app.link().protocol() != shot.protocol) on.app.session().selectProtocol(shot.protocol);
    whenPanelOpens(on.app, [&] {
      gui::PanelDialog* panel = on.app.openPanel();
      QTest::qWait(50);
      QVERIFY(panel->grab().save(dir + QStringLiteral("/%1.png").arg(QLatin1String(shot.file))));
      (void)panel->screen()->grabWindow(0).save(dir + QStringLiteral("/%1-screen.png").arg(QLatin1String(shot.file)));
      panel->reject();
    });
    on.app.openPanel(shot.panel);
  };
  // The panels of models of their own, one program at a time.
  struct ModelShots {
    const char* model;
    std::vector<Shot> shots;
  };
  const ModelShots models[] = {
      {"QB-183", {{PanelId::EisSetup, "eis-setup", Protocol::Eap}, {PanelId::Ae, "ae", Protocol::Eap},
                  {PanelId::WeightingData, "weighting", Protocol::Afp}}},
      {"QB-145", {{PanelId::Exposure, "exposure", Protocol::Eap}, {PanelId::ShutterSpeed, "shutter", Protocol::Eap},
                  {PanelId::Agc, "agc", Protocol::Eap}}},
      {"QB-109", {{PanelId::TriggerLed, "trigger-led", Protocol::Eap}}},
      {"QB-172", {{PanelId::WhiteBalance, "white-balance", Protocol::Eap}, {PanelId::BackLight, "back-light", Protocol::Eap},
                  {PanelId::Aperture, "aperture", Protocol::Eap}, {PanelId::Picture, "picture", Protocol::Afp}}},
      {"QB-176", {{PanelId::IrcfRemove, "ircf", Protocol::Afp}, {PanelId::PlFilter, "pl-filter", Protocol::Eap}}},
      {"QB-191", {{PanelId::Strobe, "strobe", Protocol::Eap}}},
      {"QB-107", {{PanelId::EepromPreset, "eeprom-preset", Protocol::Eap}}},
      {"QB-146", {{PanelId::EepromStorePreset, "eeprom-store-preset", Protocol::Eap}}},
      {"QB-183", {{PanelId::MemPreset, "mem-preset", Protocol::Eap}, {PanelId::DirectPreset, "direct-preset", Protocol::Eap},
                  {PanelId::CamPreset, "cam-preset", Protocol::Afp}}}};
  for (const ModelShots& m : models) {
    Program on(m.model);
    on.connect();
    for (const Shot& shot : m.shots) shoot(on, shot);
  }
  Program p;
  p.connect();
  for (const char* frame : {":R010200", ":W11EE88", ":RFCC000"}) {
    p.app.monitor().appendPc(frame);
    p.app.monitor().appendCamera(frame);
  }
  QTest::qWait(100);
  QVERIFY(p.app.window().grab().save(dir + QStringLiteral("/main-window.png")));
  QVERIFY(p.app.launcher().grab().save(dir + QStringLiteral("/launcher.png")));
  whenPanelOpens(p.app, [&] {
    gui::PanelDialog* panel = p.app.openPanel();
    qobject_cast<QPushButton*>(panel->control(orva::panels::camera_type::kGet))->click();
    QTest::qWait(50);
    QVERIFY(panel->grab().save(dir + QStringLiteral("/camera-type.png")));
    panel->reject();
  });
  p.app.launcher().button(orva::camera::LauncherItem::Ver)->click();
  for (const Shot shot : {Shot{PanelId::ZoomFocus, "zoom-focus", Protocol::Eap}, Shot{PanelId::Zoom, "zoom", Protocol::Eap},
                          Shot{PanelId::Focus, "focus", Protocol::Eap}, Shot{PanelId::BlockRead, "block-read", Protocol::Afp},
                          Shot{PanelId::EnhancedIntensity, "enhanced-intensity", Protocol::Eap},
                          Shot{PanelId::NightScope, "night-scope", Protocol::Eap}})
    shoot(p, shot);
  auto& prompt = p.app.window().prompt();
  prompt.progress(orva::eeprom::kBackupCaption, 40, 100);
  QTest::qWait(50);
  QVERIFY(prompt.waitWindow().grab().save(dir + QStringLiteral("/wait-window.png")));
  prompt.endProgress();
}

// The window thread goes on with its events while a panel's opening reads run, under the busy
// cursor; the panel then shows what they read.
void GuiTest::openingReadsRunOffTheWindowThreadUnderTheBusyCursor() {
  namespace C = orva::panels::lens::controls;
  Program p;
  p.connect();
  // Posted before the click, it comes in the loop that runs while the reads do.
  bool beforeTheWindow = false;
  Qt::CursorShape cursor = Qt::ArrowCursor;
  QTimer::singleShot(0, &p.app.window(), [&] {
    beforeTheWindow = p.app.openPanel() == nullptr;
    if (const QCursor* shown = QApplication::overrideCursor()) cursor = shown->shape();
  });
  QString magnification;
  bool restored = false;
  whenPanelOpens(p.app, [&] {
    magnification = qobject_cast<QLineEdit*>(p.app.openPanel()->control(C::kMagnification))->text();
    restored = QApplication::overrideCursor() == nullptr;
    p.app.openPanel()->reject();
  });
  p.app.launcher().button(orva::camera::LauncherItem::ZoomFocus)->click();
  QVERIFY(beforeTheWindow);
  QCOMPARE(cursor, Qt::WaitCursor);
  QVERIFY(restored);
  QVERIFY(!magnification.isEmpty());
}

void GuiTest::eisSetupMenuItemOpensItsPanel() {
  // QB-183 has EIS level 2: the SETUP menu offers "EIS Setup" once it is connected.
  Program p("QB-183");
  p.connect();
  QVERIFY(p.app.window().menuView().action(MenuItem::EisSetup)->isEnabled());
  QString shown;
  whenPanelOpens(p.app, [&] {
    gui::PanelDialog* panel = p.app.openPanel();
    QVERIFY(panel != nullptr);
    shown = panel->windowTitle();
    panel->reject();
  });
  p.app.window().choose(MenuItem::EisSetup);
  QCOMPARE(shown, qs(orva::panels::eis::texts::kTitle));
  QVERIFY(qs(p.app.monitor().snapshot().pc).contains(QStringLiteral("<< EIS setup START >>")));
}

// "Set the weighting data" opens its panel over AE Control, which takes nothing until it has
// closed and then goes on; the launcher's AE MODE field follows a mode the panel chose.
void GuiTest::aSubPanelOpensOverItsOpenerWhichWaitsForIt() {
  Program p("QB-183");
  p.connect();
  QString title;
  bool openerWaits = false;
  bool openerBack = false;
  whenPanelOpens(p.app, [&] {
    gui::PanelDialog* ae = p.app.openPanel();
    for (auto* radio : ae->control(orva::panels::exposure::kProgramAePlus)->findChildren<QRadioButton*>())
      if (radio->text() == QStringLiteral("Program AER+2")) radio->click();
    // Once the sub-panel is up: look at both, close the sub-panel, then the opener.
    auto* timer = new QTimer(&p.app.window());
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, timer, [&, ae, timer] {
      gui::PanelDialog* top = p.app.openPanel();
      if (top == ae || top == nullptr || !top->isVisible()) return;
      timer->stop();
      timer->deleteLater();
      title = top->windowTitle();
      openerWaits = !ae->isEnabled();
      top->reject();
    });
    timer->start();
    qobject_cast<QPushButton*>(ae->control(orva::panels::exposure::kOpenWeighting))->click();
    openerBack = p.app.openPanel() == ae && ae->isEnabled();
    ae->reject();
  });
  p.app.launcher().button(orva::camera::LauncherItem::Ae)->click();
  QCOMPARE(title, qs(orva::panels::exposure::texts::kWeightingTitle));
  QVERIFY(openerWaits);
  QVERIFY(openerBack);
  QVERIFY(qs(p.app.monitor().snapshot().pc).contains(QStringLiteral("<< Read the Weighting Data >>")));
  QCOMPARE(p.field("aeModeField"), QStringLiteral("Program AER+2    "));
}

QTEST_MAIN(GuiTest)
#include "gui_test.moc"

// On a QB-109 the utility opens over a disabled launcher; "Read Camera Data" fills the LENS
// page and WRITE, the confirmation unticked, writes without a question.
void GuiTest::setupUtilityReadsTheCameraAndWritesWithoutAsking() {
  Program p("QB-109");
  p.connect();
  bool acted = false;
  auto* timer = new QTimer(&p.app.window());
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, timer, [&p, &acted, timer] {
    auto* dialog = qobject_cast<gui::SetupDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    acted = true;
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Camera Setup Utility"));
    QVERIFY(!p.app.launcher().isEnabled());
    const auto& record = p.app.session().setupUtility().record();
    auto* speed = qobject_cast<QSpinBox*>(dialog->control(QStringLiteral("Manual FOCUS speed")));
    auto* zoom = qobject_cast<QSpinBox*>(dialog->control(QStringLiteral("ZOOM Position")));
    QVERIFY(speed != nullptr && zoom != nullptr);
    speed->setValue(speed->value() == 31 ? 30 : 31);  // an edit the read replaces
    auto seen = answerNextBox(QMessageBox::Ok);
    dialog->menuAction(QStringLiteral("Read Camera Data (&C)"))->trigger();
    QVERIFY(seen->seen);
    QCOMPARE(seen->text, qs(orva::eeprom::kSetupReadQuestion));
    QVERIFY(qs(p.app.monitor().snapshot().pc).contains(qs(orva::eeprom::kSetupReadFinishHeading)));
    QCOMPARE(speed->value(), int{record.byte(orva::eeprom::setup_at::T(3))});
    QCOMPARE(zoom->value(), int{record.word(orva::eeprom::setup_at::L(8))});

    dialog->findChild<QCheckBox*>()->setChecked(false);
    DialogCatcher catcher(dialog);
    dialog->pressWrite();
    QVERIFY2(catcher.seen.isEmpty(), qPrintable(catcher.seen.join(QStringLiteral(", "))));
    QVERIFY(qs(p.app.monitor().snapshot().pc).contains(qs(orva::eeprom::kSetupWriteFinishHeading)));
    dialog->accept();
  });
  timer->start();
  p.app.window().choose(MenuItem::CameraSetupUtility);
  QVERIFY(acted);
  QVERIFY(p.app.launcher().isEnabled());
  QVERIFY(!p.app.session().setupUtility().confirmWrite());
}
