#include "pane_widget.hpp"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "shell/texts.hpp"
#include "qt_text.hpp"

namespace orva::gui {
namespace {

constexpr int kBorder = 1;

// Control bytes from the line take a cell like any character, drawn blank.
QString shown(std::string_view bytes) {
  QString s = qs(bytes);
  for (QChar& c : s)
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char(' ');
  return s;
}

}  // namespace

PaneWidget::PaneWidget(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::IBeamCursor);
  contextMenu_ = new QMenu(this);
  contextMenu_->addAction(qs(shell::texts::kCopyItem), this, &PaneWidget::copyToClipboard);
}

void PaneWidget::setColours(const QColor& text, const QColor& back) {
  QPalette p = palette();
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Base, back);
  setPalette(p);
  update();
}

int PaneWidget::charWidth() const { return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('M'))); }
int PaneWidget::lineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

int PaneWidget::visibleRows() const { return std::max(0, (height() - 2 * kBorder) / lineHeight()); }
int PaneWidget::visibleColumns() const { return std::max(0, (width() - 2 * kBorder) / charWidth()); }

void PaneWidget::scrollToEnd() {
  mirror_.scrollToEnd(static_cast<std::size_t>(visibleRows()), static_cast<std::size_t>(visibleColumns()));
}

QString PaneWidget::copyText() const {
  QString text = qs(mirror_.hasSelection() ? mirror_.selectedText() : mirror_.text());
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

void PaneWidget::copyToClipboard() {
  setFocus(Qt::OtherFocusReason);
  QGuiApplication::clipboard()->setText(copyText());
}

void PaneWidget::paintEvent(QPaintEvent*) {
  ++paints_;
  QPainter p(this);
  const QPalette& pal = palette();
  p.fillRect(rect(), pal.color(QPalette::Base));

  const QRect inner = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
  const int lh = lineHeight();
  const int cw = charWidth();
  const int ascent = fontMetrics().ascent();
  const std::size_t columns = static_cast<std::size_t>(inner.width() / cw + 2);
  const std::size_t rows = static_cast<std::size_t>((inner.height() + lh - 1) / lh);
  const auto [from, to] = mirror_.selection();
  const bool selected = mirror_.hasSelection();
  const std::size_t left = mirror_.left();

  p.setClipRect(inner);
  p.setFont(font());
  for (std::size_t r = 0; r < rows; ++r) {
    const std::size_t line = mirror_.top() + r;
    if (line >= mirror_.lineCount()) break;
    const int y = inner.top() + static_cast<int>(r) * lh;
    const QString text = shown(mirror_.slice(line, left, columns));
    p.setPen(pal.color(QPalette::Text));
    p.drawText(inner.left(), y + ascent, text);
    if (!selected || line < from.line || line > to.line) continue;
    // The selected part again, inverted: a fixed font puts every column at a known place.
    const std::size_t s0 = line == from.line ? from.column : 0;
    const std::size_t s1 = line == to.line ? to.column : mirror_.columns(line);
    const auto x0 = static_cast<long long>(s0) - static_cast<long long>(left);
    const auto x1 = static_cast<long long>(s1) - static_cast<long long>(left);
    if (x1 <= 0 || x1 <= x0) continue;
    const QRect band(inner.left() + static_cast<int>(std::max(0LL, x0)) * cw, y,
                     static_cast<int>(x1 - std::max(0LL, x0)) * cw, lh);
    p.save();
    p.setClipRect(band.intersected(inner));
    p.fillRect(band, pal.color(QPalette::Highlight));
    p.setPen(pal.color(QPalette::HighlightedText));
    p.drawText(inner.left(), y + ascent, text);
    p.restore();
  }
  p.setClipping(false);
  p.setPen(pal.color(QPalette::Mid));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void PaneWidget::keyPressEvent(QKeyEvent* event) {
  event->accept();
  // A character, as the keyboard produces it; Alt combinations are the menu's.
  if (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) return;
  const QString text = event->text();
  if (text.size() != 1 || text.at(0).unicode() > 0xFF) return;
  emit typed(static_cast<char>(static_cast<unsigned char>(text.at(0).unicode())));
}

void PaneWidget::keyReleaseEvent(QKeyEvent* event) { event->accept(); }

PaneMirror::Spot PaneWidget::spotAt(const QPoint& pos) const {
  const int lh = lineHeight();
  const int cw = charWidth();
  const int row = std::max(0, (pos.y() - kBorder) / lh);
  const int column = std::max(0, (pos.x() - kBorder + cw / 2) / cw);
  return mirror_.clamp({mirror_.top() + static_cast<std::size_t>(row), mirror_.left() + static_cast<std::size_t>(column)});
}

void PaneWidget::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() == Qt::LeftButton) {
    setFocus(Qt::MouseFocusReason);
    const auto spot = spotAt(event->position().toPoint());
    mirror_.select(spot, spot);
    selecting_ = true;
    update();
  } else if (event->button() == Qt::RightButton) {
    contextMenu_->popup(event->globalPosition().toPoint());
  }
}

void PaneWidget::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  if (!selecting_) return;
  // The selection runs from where the button went down to the pointer.
  mirror_.select(mirror_.anchor(), spotAt(event->position().toPoint()));
  update();
}

void PaneWidget::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() == Qt::LeftButton) selecting_ = false;
}

// Double clicks select nothing and the middle button does nothing.
void PaneWidget::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void PaneWidget::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  emit focusGained();
}

// Tab is a character for the camera, not a way to the next control.
bool PaneWidget::focusNextPrevChild(bool) { return false; }

}  // namespace orva::gui
