// How a panel's controls are laid out in its window, and how the window fits them.
#include "panel_dialog.hpp"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

#include "qt_text.hpp"

namespace orva::gui {
namespace {

using panels::ControlKind;

bool sharesButtonRow(ControlKind k) {
  return k == ControlKind::Button || k == ControlKind::Arrow || k == ControlKind::Close;
}

// An empty column past any row's controls.
constexpr int kBesideStretch = 16;

}  // namespace

void PanelDialog::build(const panels::PanelDescription& description) {
  controlList_ = description.controls;
  // The controls live in a body that scrolls when the screen is smaller than the panel (a
  // large panel at 150 %); otherwise the window fits the body exactly. "CLOSE" stays in sight
  // under the body.
  auto* dialogLayout = new QVBoxLayout(this);
  dialogLayout->setContentsMargins(0, 0, 0, 0);
  dialogLayout->setSpacing(0);
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(true);
  body_ = new QWidget(scroll_);
  auto* outer = new QVBoxLayout(body_);
  auto* columns = new QHBoxLayout;
  columns->setAlignment(Qt::AlignTop);
  outer->addLayout(columns);
  std::map<int, QVBoxLayout*> columnLayouts;
  auto columnOf = [&](int n) {
    QVBoxLayout*& c = columnLayouts[n];
    if (c == nullptr) {
      c = new QVBoxLayout;
      c->setAlignment(Qt::AlignTop);
      columns->addLayout(c);
    }
    return c;
  };
  // "CLOSE" ends the window on the right, under every column.
  auto* closeRow = new QHBoxLayout;
  closeRow->addStretch(1);

  const auto& list = description.controls;
  QVBoxLayout* container = nullptr;  // the column, or the group box being filled
  std::string_view openGroup;
  QGroupBox* openBox = nullptr;
  int openColumn = -1;
  QHBoxLayout* buttonRow = nullptr;
  // Captioned fields standing together, and what stands between them: captions in the first
  // column, fields in the second (a list as wide as the widest, a number with its unit after
  // it), anything else across both.
  QGridLayout* fields = nullptr;
  int fieldRows = 0;
  // Rows of a control with others beside it, standing together: one grid, so each column
  // lines up ("10" under "9" in a key grid) whatever the width of the captions.
  QGridLayout* besides = nullptr;
  int besideRows = 0;
  // The label after control `i`, which becomes its unit; `i` moves on to it.
  auto unitAfter = [&](std::size_t& i) {
    const panels::ControlDescription& unit = list[++i];
    Control& u = controls_[unit.id];
    u.description = &unit;
    u.box = openBox;
    return makeControl(u);
  };
  for (std::size_t i = 0; i < list.size(); ++i) {
    const panels::ControlDescription& d = list[i];
    Control& c = controls_[d.id];
    c.description = &d;
    QWidget* w = makeControl(c);
    if (d.kind == ControlKind::Close) {
      closeRow->addWidget(w);
      continue;
    }
    if (container == nullptr || d.column != openColumn || d.group != openGroup) {
      QVBoxLayout* column = columnOf(d.column);
      container = column;
      openBox = nullptr;
      if (!d.group.empty()) {
        openBox = new QGroupBox(qs(d.group), body_);
        auto* inside = new QVBoxLayout(openBox);
        column->addWidget(openBox);
        container = inside;
      }
      openGroup = d.group;
      openColumn = d.column;
      buttonRow = nullptr;
      fields = nullptr;
      besides = nullptr;
    }
    c.box = openBox;
    if (sharesButtonRow(d.kind)) {
      fields = nullptr;
      besides = nullptr;
      if (buttonRow == nullptr) {
        buttonRow = new QHBoxLayout;
        container->addLayout(buttonRow);
      }
      buttonRow->addWidget(w);
      continue;
    }
    buttonRow = nullptr;
    // What stands beside it: a number's unit, or controls placed beside it.
    const std::size_t self = i;
    const auto nextBeside = [&](std::size_t at) {
      if (at + 1 >= list.size() || list[at + 1].group != d.group || list[at + 1].column != d.column) return false;
      if (list[at + 1].beside) return true;
      return at == self && list[at + 1].kind == ControlKind::Label &&
             (d.kind == ControlKind::Readout || d.kind == ControlKind::Entry);
    };
    const bool takesUnit = nextBeside(i);
    if (!takesUnit || c.label != nullptr) besides = nullptr;
    if (c.label != nullptr) {
      if (fields == nullptr) {
        fields = new QGridLayout;
        fields->setColumnStretch(1, 1);
        container->addLayout(fields);
        fieldRows = 0;
      }
      fields->addWidget(c.label, fieldRows, 0);
      if (d.kind == ControlKind::List) {
        fields->addWidget(w, fieldRows++, 1);
        continue;
      }
      auto* cell = new QHBoxLayout;
      cell->addWidget(w);
      while (nextBeside(i)) cell->addWidget(unitAfter(i));
      cell->addStretch(1);
      fields->addLayout(cell, fieldRows++, 1);
      continue;
    }
    if (fields != nullptr && !takesUnit) {
      fields->addWidget(w, fieldRows++, 0, 1, 2);
      continue;
    }
    fields = nullptr;
    if (!takesUnit) {
      container->addWidget(w);
      continue;
    }
    if (besides == nullptr) {
      besides = new QGridLayout;
      besides->setColumnStretch(kBesideStretch, 1);  // what is left of the width goes after them
      container->addLayout(besides);
      besideRows = 0;
    }
    int at = 0;
    besides->addWidget(w, besideRows, at++);
    while (nextBeside(i)) besides->addWidget(unitAfter(i), besideRows, at++);
    ++besideRows;
  }
  scroll_->setWidget(body_);
  dialogLayout->addWidget(scroll_);
  if (closeRow->count() > 1) {
    const QMargins m = outer->contentsMargins();
    closeRow->setContentsMargins(m.left(), 0, m.right(), m.bottom());
    dialogLayout->addLayout(closeRow);
  } else {
    delete closeRow;
  }
}

QSize PanelDialog::sizeHint() const {
  QSize body = body_->sizeHint();
  // What lies under the body ("CLOSE").
  const int below = layout()->sizeHint().height() - scroll_->sizeHint().height();
  QSize want(std::max(body.width(), layout()->sizeHint().width()), body.height() + std::max(below, 0));
  const QScreen* s = screen();
  if (s == nullptr) return want;
  // Room for the window frame and its caption.
  const QSize room = s->availableGeometry().size() - QSize(16, 48);
  const bool tall = want.height() > room.height(), wide = want.width() > room.width();
  if (tall) want.rwidth() += scroll_->verticalScrollBar()->sizeHint().width();
  if (wide) want.rheight() += scroll_->horizontalScrollBar()->sizeHint().height();
  return want.boundedTo(room);
}

void PanelDialog::fitToBody() {
  // Sizes count once the style has polished every control (before the first show it has not).
  ensurePolished();
  if (QLayout* l = body_->layout()) l->activate();
  const QSize size = sizeHint();
  // Only a body wider than the screen scrolls sideways (a bar shown for nothing otherwise).
  scroll_->setHorizontalScrollBarPolicy(size.width() < body_->minimumSizeHint().width() ? Qt::ScrollBarAsNeeded
                                                                                        : Qt::ScrollBarAlwaysOff);
  resize(size);
  // Shown, the window has its frame: pull it back onto the screen if the frame sticks out.
  const QScreen* s = screen();
  if (!isVisible() || s == nullptr) return;
  const QRect room = s->availableGeometry();
  const QRect outer = frameGeometry();
  const int dx = std::max(room.left() - outer.left(), std::min(0, room.right() - outer.right()));
  const int dy = std::max(room.top() - outer.top(), std::min(0, room.bottom() - outer.bottom()));
  if (dx != 0 || dy != 0) move(pos() + QPoint(dx, dy));
}

void PanelDialog::fitBody() {
  // Shown and hidden controls change the body's size; the window follows once the layout has.
  if (!isVisible() || fitPending_) return;
  fitPending_ = true;
  QTimer::singleShot(0, this, [this] {
    fitPending_ = false;
    fitToBody();
  });
}

}  // namespace orva::gui
