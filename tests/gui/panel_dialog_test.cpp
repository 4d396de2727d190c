// The panel window's controls of the newer kinds, on the offscreen platform: push-like
// toggles, steppers, an entry's typing, and controls that are shown only. Every one is
// controlled: it reports the operator's intent and shows only what it is told.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <array>
#include <string>
#include <vector>

#include "camera/code_map.hpp"
#include "camera/setting.hpp"
#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "core/prompt.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"
#include "panel_dialog.hpp"
#include "panels/camera_access.hpp"
#include "panels/dispatch.hpp"
#include "panels/operation_runner.hpp"
#include "panels/panel_logic.hpp"

namespace gui = orva::gui;
namespace panels = orva::panels;

namespace {

using panels::Binding;
using panels::Format;

constexpr Binding kAny{orva::camera::kCameraTypeSetting};
constexpr panels::Choice kModes[] = {{"Auto", {0, 1}}, {"Manual", {1, 2}}};

enum : panels::ControlId {
  kToggle = 1,
  kStepper,
  kEntry,
  kShownCheck,
  kShownList,
  kShownToggle,
  kShownEntry,
  kShownStepper,
  kGroupEntry,
  kGroupSet,
};

// Read on request only: the panel opens without a line.
const std::array kControls{
    panels::toggle(kToggle, "EIS", kAny, {0, 1}, {1, 2}, "EIS OFF", "EIS ON ").readOnRequest(),
    panels::stepper(kStepper, "Level", kAny, Format::Hex4, 0, 0xFFFF, 16).readOnRequest(),
    panels::entry(kEntry, "Offset", kAny, Format::Hex2, 0, 0xFF).readOnRequest(),
    panels::check(kShownCheck, "Flip", kAny, {0, 1}, {1, 2}).readOnRequest().shownOnly(),
    panels::list(kShownList, "Focus mode", kAny, kModes).readOnRequest().shownOnly(),
    panels::toggle(kShownToggle, "Freeze", kAny, {0, 1}, {1, 2}, "Freeze", "Freeze").readOnRequest().shownOnly(),
    panels::entry(kShownEntry, "Gain", kAny, Format::Hex2, 0, 0xFF).readOnRequest().shownOnly(),
    panels::stepper(kShownStepper, "Position", kAny, Format::Hex4, 0, 0xFFFF).readOnRequest().shownOnly(),
    panels::entry(kGroupEntry, "X", kAny, Format::Hex2, 0, 0xFF).readOnRequest().inGroup("Area"),
    panels::groupSetButton(kGroupSet, "Send", "Area"),
};
const panels::PanelDescription kPanel{.id = panels::PanelId::CameraType, .title = "TEST", .controls = kControls};

// Takes every intent and notes it, changing nothing: what the window shows is the test's.
class NotingLogic final : public panels::PanelLogic {
 public:
  using PanelLogic::PanelLogic;
  std::vector<std::string> noted;

 protected:
  bool handle(const panels::Intent& i) override {
    static constexpr const char* kKinds[] = {"toggle", "choose", "enter", "click", "press",
                                             "release", "tick", "step", "edit"};
    noted.push_back(std::string(kKinds[static_cast<int>(i.kind)]) + " " + std::to_string(i.control) + " " +
                    std::to_string(i.index) + " " + i.text);
    return true;
  }
};

// A panel whose logic needs no camera, in its window.
struct Window {
  orva::core::FakeClock clock;
  orva::core::RecordingMonitorSink monitor;
  orva::core::ScriptedPrompt prompt;
  orva::link::Link link{clock, monitor};
  orva::link::Eap eap{link};
  orva::link::Afp afp{link};
  orva::camera::FunctionCodes codes{afp, link};
  panels::CameraAccess access{link, eap, codes};
  panels::QueuedDispatcher dispatcher;
  panels::OperationRunner runner{monitor, dispatcher};
  orva::camera::ModelRecord model;
  panels::PanelContext context{access, monitor, prompt, clock, runner, dispatcher, model, [] { return true; }};
  gui::PanelDialog dialog{kPanel, nullptr};
  NotingLogic logic{kPanel, context, dialog};

  Window() {
    dialog.setLogic(&logic);
    if (!logic.open()) qFatal("the test panel did not open");
    dialog.fitToBody();
    dialog.show();
    (void)QTest::qWaitForWindowExposed(&dialog);
  }
  template <typename W>
  W* find(panels::ControlId id, const char* name = nullptr) {
    QWidget* control = dialog.control(id);
    if (control == nullptr) return nullptr;
    if (auto* self = qobject_cast<W*>(control); self != nullptr && name == nullptr) return self;
    return name != nullptr ? control->findChild<W*>(QString::fromLatin1(name)) : control->findChild<W*>();
  }
  std::vector<std::string> take() { return std::exchange(logic.noted, {}); }
};

}  // namespace

class PanelDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void toggleIsAPushButtonThatShowsOnlyWhatItIsTold();
  void stepperReportsStepsAndShowsOnlyItsText();
  void entryReportsTypingAndItsSet();
  void shownOnlyControlsAreLegibleAndReportNothing();
};

void PanelDialogTest::toggleIsAPushButtonThatShowsOnlyWhatItIsTold() {
  Window w;
  auto* button = w.find<QPushButton>(kToggle);
  QVERIFY(button != nullptr && button->isCheckable());
  w.dialog.setValue(kToggle, 1);
  w.dialog.setCaption(kToggle, "EIS ON ");
  QVERIFY(button->isChecked());
  const int width = button->width();
  // A click is an intent; the button stays pressed until the logic says otherwise.
  QTest::mouseClick(button, Qt::LeftButton);
  QCOMPARE(w.take(), (std::vector<std::string>{"toggle 1 0 "}));
  QVERIFY(button->isChecked());
  w.dialog.setValue(kToggle, 0);
  w.dialog.setCaption(kToggle, "EIS OFF");
  QVERIFY(!button->isChecked());
  QCOMPARE(button->text(), QStringLiteral("EIS OFF"));
  QVERIFY(w.take().empty());
  // Made wide enough for both captions: the row does not move with the state.
  QCOMPARE(button->width(), width);
}

void PanelDialogTest::stepperReportsStepsAndShowsOnlyItsText() {
  Window w;
  auto* field = w.find<QLineEdit>(kStepper, "field");
  auto* up = w.find<QToolButton>(kStepper, "up");
  auto* down = w.find<QToolButton>(kStepper, "down");
  QVERIFY(field != nullptr && up != nullptr && down != nullptr);
  QVERIFY(field->isReadOnly());
  w.dialog.setText(kStepper, "0010");
  QTest::mouseClick(up, Qt::LeftButton);
  QTest::mouseClick(down, Qt::LeftButton);
  field->setFocus();
  QTest::keyClick(field, Qt::Key_Up);
  QTest::keyClick(field, Qt::Key_Down);
  QTest::keyClicks(field, "99");
  QCOMPARE(w.take(), (std::vector<std::string>{"step 2 1 ", "step 2 -1 ", "step 2 1 ", "step 2 -1 "}));
  QCOMPARE(field->text(), QStringLiteral("0010"));
}

void PanelDialogTest::entryReportsTypingAndItsSet() {
  Window w;
  auto* edit = w.find<QLineEdit>(kEntry);
  auto* set = w.find<QPushButton>(kEntry);
  QVERIFY(edit != nullptr && set != nullptr);
  QTest::keyClicks(edit, "2A");
  w.dialog.setText(kEntry, "2B");  // the logic's text is no typing
  QTest::mouseClick(set, Qt::LeftButton);
  QCOMPARE(w.take(), (std::vector<std::string>{"edit 3 0 2", "edit 3 0 2A", "enter 3 0 2B"}));
  // An entry its group's one "Set" sends has no "Set" of its own; Return presses the group's.
  auto* member = w.find<QLineEdit>(kGroupEntry);
  QVERIFY(member != nullptr && w.find<QPushButton>(kGroupEntry) == nullptr);
  QTest::keyClicks(member, "7");
  QTest::keyClick(member, Qt::Key_Return);
  QCOMPARE(w.take(), (std::vector<std::string>{"edit 9 0 7", "click 10 0 "}));
}

void PanelDialogTest::shownOnlyControlsAreLegibleAndReportNothing() {
  Window w;
  w.dialog.setValue(kShownCheck, 1);
  w.dialog.setValue(kShownList, 1);
  w.dialog.setValue(kShownToggle, 1);
  w.dialog.setText(kShownEntry, "3C");
  w.dialog.setText(kShownStepper, "1A2B");
  auto* check = w.find<QCheckBox>(kShownCheck);
  auto* list = w.find<QLineEdit>(kShownList);
  auto* toggle = w.find<QPushButton>(kShownToggle);
  auto* entry = w.find<QLineEdit>(kShownEntry);
  auto* stepper = w.find<QLineEdit>(kShownStepper, "field");
  QVERIFY(check != nullptr && list != nullptr && toggle != nullptr && entry != nullptr && stepper != nullptr);
  QVERIFY(check->isChecked() && toggle->isChecked());
  // A list shown only is a field with the chosen entry.
  QCOMPARE(list->text(), QStringLiteral("Manual"));
  w.dialog.setItemCaption(kShownList, 1, "Manual focus");
  QCOMPARE(list->text(), QStringLiteral("Manual focus"));
  QCOMPARE(entry->text(), QStringLiteral("3C"));
  QCOMPARE(stepper->text(), QStringLiteral("1A2B"));
  // No "Set" and no arrows to press.
  QVERIFY(w.find<QPushButton>(kShownEntry) == nullptr);
  QVERIFY(!w.find<QToolButton>(kShownStepper, "up")->isVisible());
  for (QWidget* shown : {static_cast<QWidget*>(check), static_cast<QWidget*>(list), static_cast<QWidget*>(toggle),
                         static_cast<QWidget*>(entry), static_cast<QWidget*>(stepper)}) {
    // Not greyed, yet neither mouse nor keyboard reaches it: a click where it is drawn, as
    // the window delivers it, goes past it.
    QVERIFY(shown->isEnabled());
    QCOMPARE(shown->focusPolicy(), Qt::NoFocus);
    QTest::mouseClick(w.dialog.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      shown->mapTo(&w.dialog, shown->rect().center()));
  }
  QVERIFY(check->isChecked() && toggle->isChecked());
  QCOMPARE(list->text(), QStringLiteral("Manual focus"));
  QCOMPARE(entry->text(), QStringLiteral("3C"));
  QVERIFY(w.take().empty());
}

QTEST_MAIN(PanelDialogTest)
#include "panel_dialog_test.moc"
