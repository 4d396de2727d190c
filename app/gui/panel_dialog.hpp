#pragma once
// The one window every panel is drawn in: built from the panel's description, it shows what
// the panel logic tells it (panels::PanelView) and reports what the operator does as intents.
// Controls are controlled: a click does not change a check, a choice or a text by itself;
// the logic's answer does.
//
// Layout is derived from the description's order: a list, readout, entry or stepper with a
// caption has it in front, and such fields standing together line up, captions in one column
// and fields in the next; a readout or an entry takes the label that follows it as its unit on
// the same row; buttons and arrows standing together share a row; "CLOSE" closes the window's
// last row on the right. A control that is shown only takes neither mouse nor keyboard and
// reports nothing, but is drawn as legibly as any other (a list as a field with its entry).
#include <QAbstractButton>
#include <QDialog>

#include <map>
#include <optional>
#include <span>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"
#include "panels/panel_view.hpp"
#include "panel_widgets.hpp"

class QLabel;
class QScrollArea;
class QTimer;
class QWidget;

namespace orva::gui {

class PanelDialog final : public QDialog, public panels::PanelView {
  Q_OBJECT

 public:
  PanelDialog(const panels::PanelDescription& description, QWidget* owner);

  // The logic the operator's intents go to; set before the logic opens the panel.
  void setLogic(panels::PanelLogic* logic) { logic_ = logic; }
  bool closedByLogic() const { return closed_; }
  panels::CloseReason closeReason() const { return reason_; }
  QWidget* control(panels::ControlId id) const;
  // The body's size, within the screen (the body scrolls beyond it).
  QSize sizeHint() const override;
  // Sized to the body as it is now, after the logic showed and hid its controls.
  void fitToBody();

  // panels::PanelView
  void setText(panels::ControlId control, std::string_view text) override;
  void setValue(panels::ControlId control, int value) override;
  void setRange(panels::ControlId control, int minimum, int maximum) override;
  void setEnabled(panels::ControlId control, bool enabled) override;
  void setShown(panels::ControlId control, bool shown) override;
  void setCaption(panels::ControlId control, std::string_view caption) override;
  void setItemCaption(panels::ControlId control, std::size_t item, std::string_view caption) override;
  void setItemEnabled(panels::ControlId control, std::size_t item, bool enabled) override;
  void beep() override;
  void startTimer(int timer, std::chrono::milliseconds interval) override;
  void stopTimer(int timer) override;
  void close(panels::CloseReason reason) override;

 public slots:
  void reject() override;

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  struct Control {
    const panels::ControlDescription* description = nullptr;
    QWidget* widget = nullptr;  // the control itself (a group box for a radio group)
    QWidget* row = nullptr;     // what is shown and hidden with it
    std::vector<QAbstractButton*> items;  // a radio group's buttons
    QWidget* editor = nullptr;            // an entry's line edit, a slider's slider
    QLabel* label = nullptr;              // a field's caption, before it
    QWidget* box = nullptr;               // the group box it sits in, if any
    std::vector<QLabel*> scale;           // a slider's scale labels
    std::vector<QString> captions;        // the entries of a list that is shown only
    int value = -1;
  };

  void build(const panels::PanelDescription& description);
  QWidget* makeControl(Control& c);
  void intent(const panels::Intent& intent);
  void releaseArrows();
  // The button that sends an entry with the rest of its group, if it has one.
  std::optional<panels::ControlId> groupSetOf(const panels::ControlDescription& entry) const;
  void fitBody();
  Control* find(panels::ControlId id);

  std::span<const panels::ControlDescription> controlList_;
  QScrollArea* scroll_ = nullptr;
  QWidget* body_ = nullptr;
  bool fitPending_ = false;
  panels::PanelLogic* logic_ = nullptr;
  std::map<panels::ControlId, Control> controls_;
  std::map<int, QTimer*> timers_;
  bool closed_ = false;
  panels::CloseReason reason_ = panels::CloseReason::Closed;
  bool showing_ = false;  // the logic is setting a control: its signals are not the operator's
};

}  // namespace orva::gui
