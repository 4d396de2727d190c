// The two dialogs behind "Serial Port..." on the offscreen platform: what they open on, what
// OK, CANCEL and CHANGE give, the unusable 2400 speed, a machine without ports, the camera
// speed change that keeps the dialog open until the camera took a new speed, the placement at
// the main window's top right, and lists wide enough for what they hold.
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/negotiator.hpp"
#include "link/port_list.hpp"
#include "link/settings_forms.hpp"
#include "port_dialog.hpp"

namespace gui = orva::gui;
using Change = orva::link::Negotiator::SpeedChange;

namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The controls of the dialog that is open, found by their object names.
struct Open {
  QDialog* dialog = nullptr;
  QListWidget* ports = nullptr;
  QListWidget* speeds = nullptr;
  QListWidget* parity = nullptr;
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
  QLabel* note = nullptr;

  QString speed() const { return speeds->currentItem() != nullptr ? speeds->currentItem()->text() : QString(); }
  QString parityText() const { return parity->currentItem() != nullptr ? parity->currentItem()->text() : QString(); }
  void selectSpeed(const QString& label) const {
    const auto found = speeds->findItems(label, Qt::MatchExactly);
    QVERIFY(found.size() == 1);
    speeds->setCurrentItem(found.front());
  }
};

// Runs `action` on the modal dialog once its event loop runs; an action that leaves it open
// gets it closed, so a failing check never leaves the test waiting.
void whenOpen(std::function<void(const Open&)> action) {
  QTimer::singleShot(0, qApp, [action] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      QTest::qFail("no modal dialog open", __FILE__, __LINE__);
      return;
    }
    Open o;
    o.dialog = dialog;
    o.ports = dialog->findChild<QListWidget*>(QStringLiteral("portList"));
    o.speeds = dialog->findChild<QListWidget*>(QStringLiteral("speedList"));
    o.parity = dialog->findChild<QListWidget*>(QStringLiteral("parityList"));
    o.ok = dialog->findChild<QPushButton*>(QStringLiteral("okButton"));
    o.cancel = dialog->findChild<QPushButton*>(QStringLiteral("cancelButton"));
    o.note = dialog->findChild<QLabel*>(QStringLiteral("noFormNote"));
    if (o.ports != nullptr && o.speeds != nullptr && o.parity != nullptr && o.ok != nullptr && o.cancel != nullptr)
      action(o);
    else
      QTest::qFail("a control of the dialog is missing", __FILE__, __LINE__);
    if (dialog->isVisible()) dialog->done(QDialog::Rejected);
  });
}

std::vector<orva::link::PortInfo> threePorts() {
  return {{1, "/dev/ttyS0", "", ""},
          {2, "/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1ABC-if00-port0", "FTDI FT232R USB UART"},
          {3, "/dev/ttyUSB1", "", "Prolific PL2303 Serial Port"}};
}

gui::PortChoice current(const std::string& device, int number, int rank, int parity) {
  gui::PortChoice c;
  c.port = gui::PortEntry{{}, number, device, {}};
  c.speedRank = rank;
  c.parityIndex = parity;
  return c;
}

orva::link::SettingsForm form(std::string_view text) { return *orva::link::findSettingsForm(text); }

}  // namespace

class PortDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void portDialogOpensOnTheCurrentSettings();
  void okCommitsThePendingChoiceCancelAndCloseDoNot();
  void speed2400CannotBeCommitted();
  void withoutPortsTheListSaysSoAndOkKeepsSpeedAndParity();
  void cameraDialogStaysOpenUntilTheCameraChanged();
  void cameraDialogFailureAndCancelEndWithoutChange();
  void cameraDialogCannotBeClosedWhileChanging();
  void dialogsOpenAtTheMainWindowsTopRight();
  void listsAreWideEnoughForWhatTheyHold();
};

void PortDialogTest::portDialogOpensOnTheCurrentSettings() {
  const auto entries = gui::portEntries(threePorts());
  QCOMPARE(entries[0].text, std::string("1: /dev/ttyS0"));
  QCOMPARE(entries[1].text, std::string("2: /dev/ttyUSB0  (FTDI FT232R USB UART)"));
  QCOMPARE(entries[2].number, 3);

  // By device path (also the by-id name), else by number, else the first.
  QCOMPARE(gui::initialPortRow(entries, "/dev/ttyUSB1", 1), 2);
  QCOMPARE(gui::initialPortRow(entries, entries[1].byId, 3), 1);
  QCOMPARE(gui::initialPortRow(entries, "/dev/ttyACM7", 1), 0);
  QCOMPARE(gui::initialPortRow(entries, "/dev/ttyACM7", 2), 1);
  QCOMPARE(gui::initialPortRow(entries, "", 9), 0);
  QCOMPARE(gui::initialPortRow({}, "/dev/ttyS0", 1), -1);

  int checked = 0;
  whenOpen([&](const Open& o) {
    QCOMPARE(o.dialog->windowTitle(), qs(gui::texts::kPortDialogTitle));
    QCOMPARE(o.ok->text(), QStringLiteral("OK"));
    QCOMPARE(o.cancel->text(), QStringLiteral("CANCEL"));
    QVERIFY(o.ports->isEnabled());
    QCOMPARE(o.ports->count(), 3);
    QCOMPARE(o.ports->currentRow(), 2);
    QStringList speeds;
    for (int i = 0; i < o.speeds->count(); ++i) speeds << o.speeds->item(i)->text();
    QCOMPARE(speeds, (QStringList{"2400 ", "4800 ", "9600 ", "19200", "38400", "57600", "115200"}));
    QCOMPARE(o.speed(), QStringLiteral("19200"));
    QCOMPARE(o.parity->count(), 2);
    QCOMPARE(o.parityText(), QStringLiteral("NON "));
    QVERIFY(o.ok->isEnabled());
    QVERIFY(o.note->isHidden());
    ++checked;
  });
  QVERIFY(!gui::runPortSettingsDialog(nullptr, entries, current("/dev/ttyUSB1", 1, 3, 1)));

  whenOpen([&](const Open& o) {
    QCOMPARE(o.ports->currentRow(), 1);  // number 2: the device path is not on this machine
    QCOMPARE(o.speed(), QStringLiteral("115200"));
    QCOMPARE(o.parityText(), QStringLiteral("EVEN"));
    ++checked;
  });
  QVERIFY(!gui::runPortSettingsDialog(nullptr, entries, current("/dev/ttyACM7", 2, 6, 0)));
  QCOMPARE(checked, 2);
}

void PortDialogTest::okCommitsThePendingChoiceCancelAndCloseDoNot() {
  const auto entries = gui::portEntries(threePorts());
  const auto start = current("/dev/ttyS0", 1, 1, 0);

  whenOpen([](const Open& o) {
    o.ports->setCurrentRow(1);
    o.selectSpeed(QStringLiteral("57600"));
    o.parity->setCurrentRow(1);
    o.ok->click();
  });
  auto choice = gui::runPortSettingsDialog(nullptr, entries, start);
  QVERIFY(choice.has_value());
  QVERIFY(choice->port.has_value());
  QCOMPARE(choice->port->device, std::string("/dev/ttyUSB0"));
  QCOMPARE(choice->port->number, 2);
  QCOMPARE(choice->speedRank, 5);
  QCOMPARE(choice->parityIndex, 1);
  QCOMPARE(choice->form().text, std::string_view("57600,N,8 ,1"));

  // The same changes, then CANCEL, Escape or the window's close button: nothing is committed.
  const std::vector<std::function<void(const Open&)>> leave = {
      [](const Open& o) { o.cancel->click(); },
      [](const Open& o) { QTest::keyClick(o.dialog, Qt::Key_Escape); },
      [](const Open& o) { o.dialog->close(); },
  };
  for (const auto& way : leave) {
    bool closed = false;
    whenOpen([&](const Open& o) {
      o.ports->setCurrentRow(2);
      o.selectSpeed(QStringLiteral("9600 "));
      way(o);
      closed = !o.dialog->isVisible();
    });
    QVERIFY(!gui::runPortSettingsDialog(nullptr, entries, start));
    QVERIFY(closed);
  }
}

void PortDialogTest::speed2400CannotBeCommitted() {
  const auto entries = gui::portEntries(threePorts());
  bool stayedOpen = false;
  whenOpen([&](const Open& o) {
    o.selectSpeed(QStringLiteral("2400 "));
    QVERIFY(!o.ok->isEnabled());
    QVERIFY(o.note->isVisible());
    QCOMPARE(o.note->text(), qs(gui::texts::kNoFormNote));
    o.ok->click();
    QTest::keyClick(o.dialog, Qt::Key_Return);
    stayedOpen = o.dialog->isVisible();
    o.selectSpeed(QStringLiteral("4800 "));
    QVERIFY(o.ok->isEnabled());
    QVERIFY(o.note->isHidden());
    o.ok->click();
  });
  const auto choice = gui::runPortSettingsDialog(nullptr, entries, current("/dev/ttyS0", 1, 2, 0));
  QVERIFY(stayedOpen);
  QVERIFY(choice.has_value());
  QCOMPARE(choice->speedRank, 1);
  QCOMPARE(choice->form().text, std::string_view("4800,E,8  ,1"));
}

void PortDialogTest::withoutPortsTheListSaysSoAndOkKeepsSpeedAndParity() {
  whenOpen([](const Open& o) {
    QCOMPARE(o.ports->count(), 1);
    QCOMPARE(o.ports->item(0)->text(), qs(gui::texts::kNoPortFound));
    QVERIFY(!(o.ports->item(0)->flags() & Qt::ItemIsSelectable));
    o.selectSpeed(QStringLiteral("38400"));
    o.parity->setCurrentRow(1);
    o.ok->click();
  });
  auto choice = gui::runPortSettingsDialog(nullptr, {}, current("/dev/ttyUSB0", 1, 1, 0));
  QVERIFY(choice.has_value());
  QVERIFY(!choice->port.has_value());
  QCOMPARE(choice->form().text, std::string_view("38400,N,8 ,1"));

  // With the built-in camera the caller gives its one entry, and that is what is chosen.
  whenOpen([](const Open& o) {
    QCOMPARE(o.ports->count(), 1);
    QCOMPARE(o.ports->currentItem()->text(), QStringLiteral("Virtual camera (built in)"));
    o.ok->click();
  });
  choice = gui::runPortSettingsDialog(nullptr, {gui::virtualCameraEntry()}, current("/dev/ttyUSB0", 1, 2, 0));
  QVERIFY(choice.has_value());
  QVERIFY(choice->port.has_value());
  QCOMPARE(*choice->port, gui::virtualCameraEntry());
}

void PortDialogTest::cameraDialogStaysOpenUntilTheCameraChanged() {
  std::vector<std::string> asked;
  std::vector<Change> answers = {Change::Unchanged, Change::Cancelled, Change::Changed};
  bool lockedWhileChanging = true;
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
  QListWidget* speeds = nullptr;
  const gui::CameraSpeedChange change = [&](const orva::link::SettingsForm& f) {
    asked.emplace_back(f.text);
    lockedWhileChanging = lockedWhileChanging && !ok->isEnabled() && !cancel->isEnabled() && !speeds->isEnabled();
    const Change r = answers.front();
    answers.erase(answers.begin());
    return r;
  };

  whenOpen([&](const Open& o) {
    ok = o.ok;
    cancel = o.cancel;
    speeds = o.speeds;
    QCOMPARE(o.dialog->windowTitle(), qs(gui::texts::kCameraSpeedTitle));
    QCOMPARE(o.ok->text(), QStringLiteral("CHANGE"));
    QCOMPARE(o.cancel->text(), QStringLiteral("CANCEL"));
    QVERIFY(!o.ports->isEnabled());
    QCOMPARE(o.ports->count(), 1);
    QCOMPARE(o.ports->item(0)->text(), QStringLiteral("2: /dev/ttyUSB0"));
    QCOMPARE(o.speeds->count(), 2);  // model family 0x40 without a speed capability
    QCOMPARE(o.speed(), QStringLiteral("9600 "));
    QCOMPARE(o.parityText(), QStringLiteral("NON "));

    o.ok->click();  // Unchanged
    QVERIFY(o.dialog->isVisible());
    QVERIFY(o.ok->isEnabled() && o.cancel->isEnabled() && o.speeds->isEnabled() && o.parity->isEnabled());
    o.ok->click();  // Cancelled
    QVERIFY(o.dialog->isVisible());
    o.selectSpeed(QStringLiteral("4800 "));
    o.parity->setCurrentRow(0);
    o.ok->click();  // Changed
    QVERIFY(!o.dialog->isVisible());
  });
  const bool changed = gui::runCameraSpeedDialog(nullptr, "2: /dev/ttyUSB0", orva::link::cameraSpeeds(0x0040, 0),
                                                 form("9600,N,8  ,1"), change);
  QVERIFY(changed);
  QVERIFY(lockedWhileChanging);
  QCOMPARE(asked, (std::vector<std::string>{"9600,N,8  ,1", "9600,N,8  ,1", "4800,E,8  ,1"}));
}

void PortDialogTest::cameraDialogFailureAndCancelEndWithoutChange() {
  int calls = 0;
  const gui::CameraSpeedChange fails = [&](const orva::link::SettingsForm&) {
    ++calls;
    return Change::Failed;
  };
  bool closed = false;
  whenOpen([&](const Open& o) {
    o.ok->click();
    closed = !o.dialog->isVisible();
  });
  QVERIFY(!gui::runCameraSpeedDialog(nullptr, "1: /dev/ttyS0", orva::link::cameraSpeeds(0x00B0, 0), form("19200,E,8 ,1"),
                                     fails));
  QVERIFY(closed);
  QCOMPARE(calls, 1);

  // A line faster than the model can be set to selects no speed, and CHANGE waits for one.
  whenOpen([&](const Open& o) {
    QCOMPARE(o.speeds->count(), 5);
    QCOMPARE(o.speeds->currentRow(), -1);
    QVERIFY(!o.ok->isEnabled());
    o.cancel->click();
  });
  QVERIFY(!gui::runCameraSpeedDialog(nullptr, "1: /dev/ttyS0", orva::link::cameraSpeeds(0x00B0, 0), form("115200,N,8,1"),
                                     fails));
  QCOMPARE(calls, 1);
}

void PortDialogTest::cameraDialogCannotBeClosedWhileChanging() {
  QDialog* dialog = nullptr;
  bool openAfterCloseAttempts = false;
  // The change runs the event loop as the caller does while the camera restarts; meanwhile
  // the operator presses Escape and the window's close button.
  const gui::CameraSpeedChange slow = [&](const orva::link::SettingsForm&) {
    QTest::keyClick(dialog, Qt::Key_Escape);
    dialog->close();
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
    openAfterCloseAttempts = dialog->isVisible();
    return Change::Changed;
  };
  whenOpen([&](const Open& o) {
    dialog = o.dialog;
    o.selectSpeed(QStringLiteral("4800 "));
    o.ok->click();
  });
  QVERIFY(gui::runCameraSpeedDialog(nullptr, "1: /dev/ttyS0", orva::link::cameraSpeeds(0x00B0, 0), form("9600,E,8  ,1"),
                                    slow));
  QVERIFY(openAfterCloseAttempts);
}

void PortDialogTest::dialogsOpenAtTheMainWindowsTopRight() {
  QMainWindow main;
  main.setGeometry(120, 80, 900, 600);
  main.show();
  QVERIFY(QTest::qWaitForWindowExposed(&main));
  const QRect mainFrame = main.frameGeometry();

  QRect portDialog;
  whenOpen([&](const Open& o) { portDialog = o.dialog->frameGeometry(); });
  (void)gui::runPortSettingsDialog(&main, gui::portEntries(threePorts()), current("/dev/ttyS0", 1, 1, 0));
  QCOMPARE(portDialog.right(), mainFrame.right());
  QCOMPARE(portDialog.top(), mainFrame.top());

  QRect speedDialog;
  whenOpen([&](const Open& o) { speedDialog = o.dialog->frameGeometry(); });
  (void)gui::runCameraSpeedDialog(&main, "1: /dev/ttyS0", orva::link::cameraSpeeds(0x00B0, 0), form("9600,E,8  ,1"),
                                  [](const orva::link::SettingsForm&) { return Change::Unchanged; });
  QCOMPARE(speedDialog.right(), mainFrame.right());
  QCOMPARE(speedDialog.top(), mainFrame.top());

  // Maximised: the screen's top right, wherever the window's frame was.
  const QRect screen(0, 0, 1920, 1040);
  QCOMPARE(gui::topRightPlacement(QRect(-8, -8, 1936, 1056), true, screen, QSize(400, 300)), QPoint(1520, 0));
  QCOMPARE(gui::topRightPlacement(QRect(100, 50, 800, 500), false, screen, QSize(400, 300)), QPoint(500, 50));
}

void PortDialogTest::listsAreWideEnoughForWhatTheyHold() {
  std::vector<orva::link::PortInfo> ports = threePorts();
  ports.push_back({4, "/dev/ttyUSB10", "", "Silicon Labs CP2102 USB to UART Bridge Controller"});
  const auto entries = gui::portEntries(ports);
  whenOpen([&](const Open& o) {
    const QFontMetrics portFont(o.ports->font());
    for (int i = 0; i < o.ports->count(); ++i)
      QVERIFY2(o.ports->viewport()->width() >= portFont.horizontalAdvance(o.ports->item(i)->text()),
               qPrintable(o.ports->item(i)->text()));
    const QFontMetrics speedFont(o.speeds->font());
    QVERIFY(o.speeds->viewport()->width() >= speedFont.horizontalAdvance(QStringLiteral("115200")));
    // All seven speeds in view without scrolling.
    QVERIFY(o.speeds->visualItemRect(o.speeds->item(6)).bottom() < o.speeds->viewport()->height());
  });
  (void)gui::runPortSettingsDialog(nullptr, entries, current("/dev/ttyS0", 1, 1, 0));
}

QTEST_MAIN(PortDialogTest)
#include "port_dialog_test.moc"
