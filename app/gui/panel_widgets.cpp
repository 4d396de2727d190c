#include "panel_widgets.hpp"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <string>

namespace orva::gui {

// ---- the arrow button

ArrowButton::ArrowButton(panels::ArrowRole role, QWidget* parent) : QAbstractButton(parent), role_(role) {
  setFocusPolicy(Qt::NoFocus);
  setMinimumSize(sizeHint());
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ArrowButton::paintEvent(QPaintEvent*) {
  using panels::ArrowRole;
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const bool down = isDown();
  const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
  p.setPen(QPen(palette().color(QPalette::Shadow), 1));
  p.setBrush(down ? palette().color(QPalette::Mid) : palette().color(QPalette::Button));
  p.drawRoundedRect(r, 4, 4);
  if (!isEnabled()) p.setOpacity(0.4);

  const bool left = role_ == ArrowRole::FocusNear || role_ == ArrowRole::ZoomWide || role_ == ArrowRole::LevelDown;
  QChar letter;
  switch (role_) {
    case ArrowRole::FocusNear: letter = u'N'; break;
    case ArrowRole::FocusFar: letter = u'F'; break;
    case ArrowRole::ZoomWide: letter = u'W'; break;
    case ArrowRole::ZoomTele: letter = u'T'; break;
    case ArrowRole::LevelDown: letter = u'D'; break;
    case ArrowRole::LevelUp: letter = u'U'; break;
  }
  // Pressed, the picture sinks by a pixel, as a pushed button does.
  const QPointF shift = down ? QPointF(1, 1) : QPointF(0, 0);
  const qreal h = r.height(), w = r.width();
  const qreal cy = r.center().y() + shift.y();
  const qreal tipX = left ? r.left() + w * 0.12 : r.right() - w * 0.12;
  const qreal baseX = left ? r.left() + w * 0.50 : r.right() - w * 0.50;
  QPainterPath arrow;
  arrow.moveTo(tipX + shift.x(), cy);
  arrow.lineTo(baseX + shift.x(), cy - h * 0.28);
  arrow.lineTo(baseX + shift.x(), cy + h * 0.28);
  arrow.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(down ? QColor(20, 90, 170) : palette().color(QPalette::ButtonText));
  p.drawPath(arrow);

  QFont f = font();
  f.setBold(true);
  f.setPixelSize(static_cast<int>(h * 0.38));
  p.setFont(f);
  p.setPen(palette().color(QPalette::ButtonText));
  const QRectF letterBox = left ? QRectF(r.left() + w * 0.5, r.top(), w * 0.45, h) : QRectF(r.left() + w * 0.05, r.top(), w * 0.45, h);
  p.drawText(letterBox.translated(shift), Qt::AlignCenter, QString(letter));
}

// ---- the stepper

StepperField::StepperField(const QString& widest, QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  field_ = new QLineEdit(this);
  field_->setObjectName(QStringLiteral("field"));
  field_->setReadOnly(true);
  field_->setAlignment(Qt::AlignRight);
  // Room for the widest value and the frame's margins.
  const int width = field_->fontMetrics().horizontalAdvance(widest + QStringLiteral("00"));
  field_->setMinimumWidth(width);
  field_->setMaximumWidth(width + field_->fontMetrics().horizontalAdvance(QStringLiteral("00")));
  setFocusProxy(field_);
  row->addWidget(field_);
  // The two arrows stacked, together as high as the field.
  auto* arrows = new QVBoxLayout;
  arrows->setContentsMargins(0, 0, 0, 0);
  arrows->setSpacing(0);
  const int half = std::max(field_->sizeHint().height() / 2, 8);
  auto makeArrow = [&](Qt::ArrowType type, const char* name, int direction) {
    auto* arrow = new QToolButton(this);
    arrow->setObjectName(QString::fromLatin1(name));
    arrow->setArrowType(type);
    arrow->setAutoRepeat(true);
    arrow->setFocusPolicy(Qt::NoFocus);
    arrow->setFixedSize(half * 3 / 2, half);
    connect(arrow, &QToolButton::clicked, this, [this, direction] { emit stepped(direction); });
    arrows->addWidget(arrow);
    return arrow;
  };
  up_ = makeArrow(Qt::UpArrow, "up", 1);
  down_ = makeArrow(Qt::DownArrow, "down", -1);
  row->addLayout(arrows);
  row->addStretch(1);
}

void StepperField::setText(const QString& text) { field_->setText(text); }
QString StepperField::text() const { return field_->text(); }

void StepperField::setArrowsShown(bool shown) {
  up_->setVisible(shown);
  down_->setVisible(shown);
}

void StepperField::keyPressEvent(QKeyEvent* event) {
  // The read-only field passes the arrow keys on to here.
  if (up_->isVisible() && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
    emit stepped(event->key() == Qt::Key_Up ? 1 : -1);
    return;
  }
  QWidget::keyPressEvent(event);
}

QPushButton* toggleButton(std::initializer_list<QString> captions, QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setCheckable(true);
  button->setAutoDefault(false);
  button->setStyleSheet(QStringLiteral(
      "QPushButton:checked { background-color: palette(highlight); color: palette(highlighted-text);"
      " border: 1px solid palette(shadow); border-radius: 3px; padding: 4px 8px; }"));
  int width = 0;
  for (const bool pressed : {false, true}) {
    button->setChecked(pressed);
    for (const QString& caption : captions) {
      button->setText(caption);
      width = std::max(width, button->sizeHint().width());
    }
  }
  button->setChecked(false);
  button->setMinimumWidth(width);
  return button;
}

QString widestText(panels::Format format, std::int64_t minimum, std::int64_t maximum) {
  auto shown = [format](std::int64_t v) {
    const auto magnitude = static_cast<std::uint32_t>(v < 0 ? -v : v);
    return QString::fromStdString((v < 0 ? "-" : "") + panels::formatValue(format, magnitude));
  };
  const QString low = shown(minimum), high = shown(maximum);
  return QString(std::max(low.size(), high.size()), QLatin1Char('0'));
}

void showChosen(QLineEdit& field, const std::vector<QString>& captions, int chosen) {
  const bool known = chosen >= 0 && static_cast<std::size_t>(chosen) < captions.size();
  field.setText(known ? captions[static_cast<std::size_t>(chosen)] : QString());
  field.setCursorPosition(0);  // a text that does not fit shows its start
  int widest = 0;
  for (const QString& caption : captions) widest = std::max(widest, field.fontMetrics().horizontalAdvance(caption));
  field.setMinimumWidth(widest + field.fontMetrics().horizontalAdvance(QStringLiteral("00")));
}

void showOnly(QWidget* widget) {
  QList<QWidget*> all = widget->findChildren<QWidget*>();
  all.append(widget);
  for (QWidget* w : all) {
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
    w->setFocusPolicy(Qt::NoFocus);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setReadOnly(true);
  }
}

QWidget* radioGroup(const QString& caption, bool bare, const std::vector<QString>& items,
                    std::vector<QAbstractButton*>& buttons, QWidget* parent) {
  QWidget* group = bare ? new QWidget(parent) : new QGroupBox(caption, parent);
  const bool pair = items.size() == 2 && std::all_of(items.begin(), items.end(), [](const QString& t) {
                      return t.size() <= 12;
                    });
  QBoxLayout* layout = pair ? static_cast<QBoxLayout*>(new QHBoxLayout(group)) : new QVBoxLayout(group);
  if (bare) layout->setContentsMargins(0, 0, 0, 0);
  for (const QString& item : items) {
    auto* radio = new QRadioButton(item, group);
    radio->setAutoExclusive(false);
    layout->addWidget(radio);
    buttons.push_back(radio);
  }
  if (pair) layout->addStretch();
  return group;
}

}  // namespace orva::gui
