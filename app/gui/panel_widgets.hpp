#pragma once
// The custom widgets panel descriptions name, drawn for PanelDialog: the press-and-hold arrow
// button of the lens panels and the stepper's field with its up and down arrows. Both report
// what the operator does and show only what they are told.
#include <QAbstractButton>
#include <QWidget>

#include <initializer_list>
#include <vector>

#include "panels/formats.hpp"
#include "panels/hold_button.hpp"

class QLineEdit;
class QPushButton;
class QToolButton;

namespace orva::gui {

// A press-and-hold arrow button, its picture drawn in code: an arrow and the letter of its role.
class ArrowButton final : public QAbstractButton {
  Q_OBJECT

 public:
  ArrowButton(panels::ArrowRole role, QWidget* parent);
  QSize sizeHint() const override { return {54, 54}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  panels::ArrowRole role_;
};

// A number the panel logic owns: a read-only field with up and down arrows beside it. An
// arrow press, held it repeats, and the Up and Down keys in the field each report one step;
// the field shows only what setText() says.
class StepperField final : public QWidget {
  Q_OBJECT

 public:
  // `widest`: the longest text the field is to show in full.
  StepperField(const QString& widest, QWidget* parent);

  void setText(const QString& text);
  QString text() const;
  QLineEdit* field() const { return field_; }
  QToolButton* arrow(int direction) const { return direction > 0 ? up_ : down_; }
  // Without arrows, for a value that is shown only.
  void setArrowsShown(bool shown);

 signals:
  void stepped(int direction);  // +1 up, -1 down

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLineEdit* field_;
  QToolButton* up_;
  QToolButton* down_;
};

// A push-like toggle button, as wide as the widest of its captions (so that its row does not
// move when the caption follows the state), its pressed state drawn so that it reads at a
// glance: the style's sunken shade is too faint for a status readout.
QPushButton* toggleButton(std::initializer_list<QString> captions, QWidget* parent);

// The longest text a value in [minimum, maximum] shows in `format`.
QString widestText(panels::Format format, std::int64_t minimum, std::int64_t maximum);

// A list that is shown only, drawn as a field: the chosen entry's caption (none: empty),
// the field wide enough for every entry, as the drop-down list it stands for would be.
void showChosen(QLineEdit& field, const std::vector<QString>& captions, int chosen);

// A radio group's buttons, unchecked and not exclusive (the logic checks them), in a group box
// captioned `caption`, or bare (no frame of its own, inside the group box it stands in). A
// two-way choice of short words (ON / OFF, High / Low) reads best side by side.
QWidget* radioGroup(const QString& caption, bool bare, const std::vector<QString>& items,
                    std::vector<QAbstractButton*>& buttons, QWidget* parent);

// Shown, never taken: the widget and its children take neither mouse nor keyboard, without
// the greyed look of a disabled control (a status readout stays easy to read).
void showOnly(QWidget* widget);

}  // namespace orva::gui
