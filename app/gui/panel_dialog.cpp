#include "panel_dialog.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QSlider>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <string>

#include "panels/texts.hpp"
#include "qt_text.hpp"

namespace orva::gui {
namespace {

using panels::ControlKind;

// Fields whose caption is drawn as a label before them.
bool takesCaption(ControlKind k) {
  return k == ControlKind::List || k == ControlKind::Readout || k == ControlKind::Entry || k == ControlKind::Stepper;
}

}  // namespace

// ---- the dialog

PanelDialog::PanelDialog(const panels::PanelDescription& description, QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("panel.%1").arg(qs(panels::resourceName(description.id))));
  setWindowTitle(qs(description.title));
  // Not modal in Qt's sense: window modality would block the launcher's parent, the main
  // window, too. Its owner keeps the launcher out of reach while it is open.
  build(description);
}

PanelDialog::Control* PanelDialog::find(panels::ControlId id) {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : &it->second;
}

QWidget* PanelDialog::control(panels::ControlId id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second.widget;
}

QWidget* PanelDialog::makeControl(Control& c) {
  const panels::ControlDescription& d = *c.description;
  const panels::ControlId id = d.id;
  QWidget* w = nullptr;
  // A field's caption stands in a column of its own before it (build() aligns them).
  if (!d.caption.empty() && takesCaption(d.kind)) c.label = new QLabel(qs(d.caption), this);
  switch (d.kind) {
    case ControlKind::Label: w = new QLabel(qs(d.caption), this); break;
    case ControlKind::Toggle: {
      auto* button = toggleButton({qs(d.offCaption), qs(d.onCaption), qs(d.caption)}, this);
      button->setText(qs(d.caption));
      connect(button, &QPushButton::clicked, this, [this, button, id](bool checked) {
        if (showing_) return;
        button->setChecked(!checked);
        intent(panels::Intent::toggle(id));
      });
      w = button;
      break;
    }
    case ControlKind::Stepper: {
      auto* stepper = new StepperField(widestText(d.format, d.minimum, d.maximum), this);
      stepper->setArrowsShown(!d.readOnly);
      c.editor = stepper->field();
      connect(stepper, &StepperField::stepped, this,
              [this, id](int direction) { intent(panels::Intent::step(id, direction)); });
      w = stepper;
      break;
    }
    case ControlKind::Check: {
      auto* box = new QCheckBox(qs(d.caption), this);
      connect(box, &QCheckBox::clicked, this, [this, box, id](bool checked) {
        if (showing_) return;
        box->setChecked(!checked);
        intent(panels::Intent::toggle(id));
      });
      w = box;
      break;
    }
    case ControlKind::Radio: {
      // Without a caption of its own, in a group box, it needs no second frame.
      std::vector<QString> items;
      for (const panels::Choice& choice : d.choices) items.push_back(qs(choice.caption));
      w = radioGroup(qs(d.caption), d.caption.empty() && !d.group.empty(), items, c.items, this);
      for (std::size_t i = 0; i < c.items.size(); ++i)
        connect(c.items[i], &QAbstractButton::clicked, this, [this, id, i] {
          if (showing_) return;
          // Back to what the camera has until the logic says otherwise.
          if (Control* self = find(id)) setValue(id, self->value);
          intent(panels::Intent::choose(id, static_cast<int>(i)));
        });
      break;
    }
    case ControlKind::List: {
      if (d.readOnly) {
        // Shown only, it has no drop-down to offer: drawn as a field with the chosen entry.
        auto* field = new QLineEdit(this);
        for (const panels::Choice& choice : d.choices) c.captions.push_back(qs(choice.caption));
        showChosen(*field, c.captions, c.value);
        w = field;
        break;
      }
      auto* list = new QComboBox(this);
      for (const panels::Choice& choice : d.choices) list->addItem(qs(choice.caption));
      connect(list, &QComboBox::activated, this, [this, id](int index) {
        if (showing_) return;
        if (Control* self = find(id)) setValue(id, self->value);
        intent(panels::Intent::choose(id, index));
      });
      w = list;
      break;
    }
    case ControlKind::Entry: {
      auto* row = new QWidget(this);
      auto* layout = new QHBoxLayout(row);
      layout->setContentsMargins(0, 0, 0, 0);
      if (d.spin) {
        auto* spin = new QSpinBox(row);
        spin->setRange(static_cast<int>(d.minimum), static_cast<int>(d.maximum));
        spin->setKeyboardTracking(false);  // a typed value counts once it is complete
        layout->addWidget(spin);
        c.editor = spin;
        connect(spin, &QSpinBox::valueChanged, this, [this, id](int value) {
          if (!showing_) intent(panels::Intent::enter(id, std::to_string(value)));
        });
        w = row;
        break;
      }
      auto* edit = new QLineEdit(row);
      edit->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000000")));
      layout->addWidget(edit);
      c.editor = edit;
      w = row;
      // Shown only: the field without its "Set".
      if (d.readOnly) break;
      if (const auto groupSet = groupSetOf(d)) {
        // Sent with the rest of its group by the group's one "Set"; Return presses that.
        connect(edit, &QLineEdit::returnPressed, this, [this, set = *groupSet] { intent(panels::Intent::click(set)); });
      } else {
        auto* set = new QPushButton(qs(panels::texts::kSet), row);
        // No "Set" is the dialog's default: Return in one entry would press another's too.
        set->setAutoDefault(false);
        layout->addWidget(set);
        auto send = [this, edit, id] {
          if (!showing_) intent(panels::Intent::enter(id, edit->text().toStdString()));
        };
        connect(set, &QPushButton::clicked, this, send);
        connect(edit, &QLineEdit::returnPressed, this, send);
      }
      // Typing only: setText() does not say textEdited.
      connect(edit, &QLineEdit::textEdited, this,
              [this, id](const QString& text) { intent(panels::Intent::edit(id, text.toStdString())); });
      break;
    }
    case ControlKind::Readout: {
      auto* edit = new QLineEdit(this);
      edit->setReadOnly(true);
      edit->setAlignment(Qt::AlignRight);
      edit->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")));
      edit->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
      w = edit;
      break;
    }
    case ControlKind::Slider: {
      // The slider, with its scale labels under it at quarters of the range.
      auto* box = new QWidget(this);
      auto* column = new QVBoxLayout(box);
      column->setContentsMargins(0, 0, 0, 0);
      auto* slider = new QSlider(Qt::Horizontal, box);
      slider->setObjectName(QStringLiteral("slider"));
      slider->setTickPosition(QSlider::TicksBelow);
      // The zoom moves one step per line or page; a wheel scrolls at most a page per notch.
      slider->setSingleStep(1);
      slider->setPageStep(1);
      slider->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 20);
      column->addWidget(slider);
      auto* scale = new QHBoxLayout;
      scale->setContentsMargins(0, 0, 0, 0);
      for (int k = 0; k < 4; ++k) {
        auto* mark = new QLabel(box);
        mark->setAlignment(Qt::AlignRight);
        scale->addWidget(mark, 1);
        c.items.push_back(nullptr);
        c.scale.push_back(mark);
      }
      column->addLayout(scale);
      c.items.clear();
      c.editor = slider;
      slider->setRange(static_cast<int>(d.minimum), static_cast<int>(d.maximum));
      connect(slider, &QSlider::valueChanged, this, [this, slider, id](int value) {
        if (showing_ || slider->isSliderDown()) return;
        intent(panels::Intent::choose(id, value));
      });
      connect(slider, &QSlider::sliderReleased, this, [this, slider, id] {
        if (!showing_) intent(panels::Intent::choose(id, slider->value()));
      });
      w = box;
      break;
    }
    case ControlKind::Button:
    case ControlKind::Close: {
      auto* button = new QPushButton(qs(d.caption), this);
      button->setAutoDefault(false);
      if (d.kind == ControlKind::Close)
        connect(button, &QPushButton::clicked, this, [this] {
          if (logic_ != nullptr) logic_->close();
        });
      else
        connect(button, &QPushButton::clicked, this, [this, id] { intent(panels::Intent::click(id)); });
      w = button;
      break;
    }
    case ControlKind::Arrow: {
      auto* arrow = new ArrowButton(d.arrow, this);
      connect(arrow, &ArrowButton::pressed, this, [this, id] { intent(panels::Intent::press(id)); });
      connect(arrow, &ArrowButton::released, this, [this, id] { intent(panels::Intent::release(id)); });
      w = arrow;
      break;
    }
  }
  w->setObjectName(QStringLiteral("control.%1").arg(id));
  if (d.readOnly) showOnly(w);
  c.widget = w;
  c.row = w;
  return w;
}

std::optional<panels::ControlId> PanelDialog::groupSetOf(const panels::ControlDescription& entry) const {
  if (entry.group.empty()) return std::nullopt;
  for (const panels::ControlDescription& d : controlList_)
    if (d.setsGroup && d.group == entry.group) return d.id;
  return std::nullopt;
}

void PanelDialog::intent(const panels::Intent& i) {
  if (logic_ == nullptr || closed_) return;
  // A control that is shown only reports nothing (it takes no input either).
  if (const Control* c = i.kind == panels::Intent::Kind::Tick ? nullptr : find(i.control);
      c != nullptr && c->description->readOnly)
    return;
  logic_->intent(i);
}

void PanelDialog::setText(panels::ControlId control, std::string_view text) {
  Control* c = find(control);
  if (c == nullptr) return;
  showing_ = true;
  if (auto* entry = qobject_cast<QLineEdit*>(c->editor)) entry->setText(qs(text));
  else if (auto* spin = qobject_cast<QSpinBox*>(c->editor)) spin->setValue(qs(text).toInt());
  else if (auto* edit = qobject_cast<QLineEdit*>(c->widget)) {
    edit->setText(qs(text));
    // A readout grows to show the whole of a longer text ("Time=1310700.0 [ms]").
    const int need = edit->fontMetrics().horizontalAdvance(edit->text() + QStringLiteral("00"));
    if (edit->isReadOnly() && need > edit->maximumWidth()) edit->setFixedWidth(need);
  } else if (auto* label = qobject_cast<QLabel*>(c->widget)) label->setText(qs(text));
  showing_ = false;
}

void PanelDialog::setValue(panels::ControlId control, int value) {
  Control* c = find(control);
  if (c == nullptr) return;
  c->value = value;
  showing_ = true;
  // A check box or a toggle: pressed or released.
  if (auto* box = qobject_cast<QAbstractButton*>(c->widget); box != nullptr && box->isCheckable())
    box->setChecked(value != 0);
  else if (c->description->kind == ControlKind::List && c->description->readOnly)
    showChosen(*qobject_cast<QLineEdit*>(c->widget), c->captions, c->value);
  else if (auto* list = qobject_cast<QComboBox*>(c->widget)) list->setCurrentIndex(value);
  else if (auto* slider = qobject_cast<QSlider*>(c->editor)) slider->setValue(value);
  else
    for (std::size_t i = 0; i < c->items.size(); ++i) c->items[i]->setChecked(static_cast<int>(i) == value);
  showing_ = false;
}

void PanelDialog::setRange(panels::ControlId control, int minimum, int maximum) {
  Control* c = find(control);
  if (c == nullptr) return;
  showing_ = true;
  if (auto* slider = qobject_cast<QSlider*>(c->editor)) slider->setRange(minimum, maximum);
  // A spin's range may follow the model (the picture panel's maximum gain).
  else if (auto* spin = qobject_cast<QSpinBox*>(c->editor)) spin->setRange(minimum, maximum);
  showing_ = false;
}

void PanelDialog::setEnabled(panels::ControlId control, bool enabled) {
  Control* c = find(control);
  if (c == nullptr) return;
  c->widget->setEnabled(enabled);
  if (c->label != nullptr) c->label->setEnabled(enabled);
}

void PanelDialog::setShown(panels::ControlId control, bool shown) {
  Control* c = find(control);
  if (c == nullptr) return;
  c->row->setVisible(shown);
  if (c->label != nullptr) c->label->setVisible(shown);
  // A group box shows while any of its controls does.
  if (c->box != nullptr) {
    const bool any = std::any_of(controls_.begin(), controls_.end(),
                                 [box = c->box](const auto& kv) { return kv.second.box == box && !kv.second.row->isHidden(); });
    c->box->setVisible(any);
  }
  fitBody();
}

void PanelDialog::setCaption(panels::ControlId control, std::string_view caption) {
  Control* c = find(control);
  if (c == nullptr) return;
  if (c->label != nullptr) c->label->setText(qs(caption));
  else if (auto* button = qobject_cast<QAbstractButton*>(c->widget)) button->setText(qs(caption));
  else if (auto* group = qobject_cast<QGroupBox*>(c->widget)) group->setTitle(qs(caption));
  else if (auto* label = qobject_cast<QLabel*>(c->widget)) label->setText(qs(caption));
}

void PanelDialog::setItemCaption(panels::ControlId control, std::size_t item, std::string_view caption) {
  Control* c = find(control);
  if (c == nullptr) return;
  if (item < c->captions.size()) {
    c->captions[item] = qs(caption);
    showChosen(*qobject_cast<QLineEdit*>(c->widget), c->captions, c->value);
  } else if (item < c->scale.size()) {
    c->scale[item]->setText(qs(caption));
  } else if (item < c->items.size()) {
    c->items[item]->setText(qs(caption));
  } else if (auto* list = qobject_cast<QComboBox*>(c->widget); list != nullptr && item < static_cast<std::size_t>(list->count())) {
    list->setItemText(static_cast<int>(item), qs(caption));
  }
}

void PanelDialog::setItemEnabled(panels::ControlId control, std::size_t item, bool enabled) {
  Control* c = find(control);
  if (c == nullptr) return;
  if (item < c->items.size()) {
    c->items[item]->setEnabled(enabled);
  } else if (auto* list = qobject_cast<QComboBox*>(c->widget); list != nullptr && item < static_cast<std::size_t>(list->count())) {
    // A list entry that cannot be chosen is greyed and skipped.
    if (auto* model = qobject_cast<QStandardItemModel*>(list->model()))
      if (QStandardItem* entry = model->item(static_cast<int>(item))) entry->setEnabled(enabled);
  }
}

void PanelDialog::beep() { QApplication::beep(); }

void PanelDialog::startTimer(int timer, std::chrono::milliseconds interval) {
  QTimer*& t = timers_[timer];
  if (t == nullptr) {
    t = new QTimer(this);
    connect(t, &QTimer::timeout, this, [this, timer] { intent(panels::Intent::tick(timer)); });
  }
  t->start(interval);
}

void PanelDialog::stopTimer(int timer) {
  if (auto it = timers_.find(timer); it != timers_.end()) it->second->stop();
}

void PanelDialog::close(panels::CloseReason reason) {
  closed_ = true;
  reason_ = reason;
  for (auto& [id, t] : timers_) t->stop();
  // Every way out gives the result 0; a panel closed during its open was never shown.
  QDialog::done(0);
  hide();
}

void PanelDialog::reject() {
  // Escape and the frame's close are the panel's close command.
  if (logic_ != nullptr && !closed_) logic_->close();
  else QDialog::done(0);
}

void PanelDialog::releaseArrows() {
  for (auto& [id, c] : controls_)
    if (auto* arrow = qobject_cast<ArrowButton*>(c.widget); arrow != nullptr && arrow->isDown()) {
      arrow->setDown(false);
      intent(panels::Intent::release(id));
    }
}

void PanelDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Some sizes settle only once the window is on the screen.
  fitBody();
}

void PanelDialog::changeEvent(QEvent* event) {
  // A held arrow whose window loses the mouse and the keyboard would keep the lens moving.
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) releaseArrows();
  QDialog::changeEvent(event);
}

}  // namespace orva::gui
