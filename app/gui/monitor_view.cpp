#include "monitor_view.hpp"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "pane_widget.hpp"
#include "shell/texts.hpp"
#include "qt_text.hpp"

namespace orva::gui {
namespace {

using shell::ScrollRequest;
using shell::Side;

constexpr int kHalfColumns = shell::kScreenColumns / 2;  // each pane is half the 80-column screen
constexpr int kWheelLines = 3;

std::optional<ScrollRequest> requestOf(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return ScrollRequest::LineUp;
    case QAbstractSlider::SliderSingleStepAdd: return ScrollRequest::LineDown;
    case QAbstractSlider::SliderPageStepSub: return ScrollRequest::PageUp;
    case QAbstractSlider::SliderPageStepAdd: return ScrollRequest::PageDown;
    case QAbstractSlider::SliderToMinimum: return ScrollRequest::Top;
    case QAbstractSlider::SliderToMaximum: return ScrollRequest::Bottom;
    default: return std::nullopt;  // dragging: the view moves when the thumb is let go
  }
}

}  // namespace

MonitorView::MonitorView(shell::Monitor& monitor, const Colours& colours, QWidget* parent)
    : QWidget(parent), monitor_(monitor) {
  // The monitor font measures the layout; the panes and labels show their text in it too, so
  // that 40 columns fill a pane exactly.
  const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const QFontMetrics metrics(font);
  charWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
  lineHeight_ = std::max(1, metrics.lineSpacing());

  canvas_ = new QWidget(this);
  canvas_->setObjectName(QStringLiteral("monitorClient"));
  canvas_->setAutoFillBackground(true);
  canvas_->installEventFilter(this);
  vbar_ = new QScrollBar(Qt::Vertical, this);
  hbar_ = new QScrollBar(Qt::Horizontal, this);
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  grid->addWidget(canvas_, 0, 0);
  grid->addWidget(vbar_, 0, 1);
  grid->addWidget(hbar_, 1, 0);

  const std::array<std::string_view, 2> titles{shell::texts::kPcHeader, shell::texts::kCameraHeader};
  const std::array<const char*, 2> names{"pcPane", "cameraPane"};
  for (std::size_t i = 0; i < 2; ++i) {
    auto* label = new QLabel(qs(titles[i]), canvas_);
    label->setObjectName(QStringLiteral("%1Header").arg(QLatin1String(names[i])));
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::Box);
    label->setFont(font);
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(p);
    headers_[i] = label;

    auto* pane = new PaneWidget(canvas_);
    pane->setObjectName(QLatin1String(names[i]));
    pane->setFont(font);
    pane->setColours(colours.text, colours.back);
    panes_[i] = pane;
    connect(pane, &PaneWidget::typed, this, [this](char byte) {
      emit typed(byte);
      // The exchange shows the byte; the operator goes on typing in the PC pane.
      panes_[0]->setFocus(Qt::OtherFocusReason);
      panes_[0]->scrollToEnd();
      panes_[0]->update();
    });
    connect(pane, &PaneWidget::focusGained, this, [this] {
      panes_[0]->scrollToEnd();
      panes_[0]->update();
    });
  }
  setFocusProxy(panes_[0]);

  connect(vbar_, &QScrollBar::actionTriggered, this, [this](int action) { scrollAction(true, action); });
  connect(hbar_, &QScrollBar::actionTriggered, this, [this](int action) { scrollAction(false, action); });
  connect(vbar_, &QScrollBar::sliderReleased, this, [this] {
    monitor_.scrollVertical(ScrollRequest::ThumbPosition, vbar_->sliderPosition());
    flushNow();
  });
  connect(hbar_, &QScrollBar::sliderReleased, this, [this] {
    monitor_.scrollHorizontal(ScrollRequest::ThumbPosition, hbar_->sliderPosition());
    flushNow();
  });

  repaintTimer_.setSingleShot(true);
  connect(&repaintTimer_, &QTimer::timeout, this, &MonitorView::flushNow);

  monitor_.setFontMetrics(charWidth_, lineHeight_);
  const shell::MonitorSnapshot snapshot = monitor_.subscribe(*this);
  panes_[0]->mirror().append(snapshot.pc);
  panes_[1]->mirror().append(snapshot.camera);
  statusLine_ = qs(snapshot.statusLine);
  showView(snapshot.view);
}

MonitorView::~MonitorView() { monitor_.unsubscribe(*this); }

QSize MonitorView::sizeHint() const {
  constexpr int kLines = 25;
  return {shell::kScreenColumns * charWidth_ + vbar_->sizeHint().width(),
          (kLines + 1) * lineHeight_ + hbar_->sizeHint().height()};
}

// ---- any thread

void MonitorView::post(Change change) noexcept {
  bool wake = false;
  {
    std::lock_guard lock(pendingMutex_);
    if (change.kind == Change::Kind::Appended && !pending_.empty()) {
      Change& last = pending_.back();
      if (last.kind == Change::Kind::Appended && last.side == change.side) {
        last.text += change.text;
        return;
      }
    }
    pending_.push_back(std::move(change));
    wake = !wakePosted_;
    wakePosted_ = wakePosted_ || wake;
  }
  if (wake) QMetaObject::invokeMethod(this, &MonitorView::wake, Qt::QueuedConnection);
}

void MonitorView::appended(Side side, std::string_view text) noexcept {
  post(Change{Change::Kind::Appended, side, std::string(text), {}, {}});
}
void MonitorView::firstLineDeleted(Side side) noexcept { post(Change{Change::Kind::FirstLineDeleted, side, {}, {}, {}}); }
void MonitorView::cleared() noexcept { post(Change{Change::Kind::Cleared, Side::Pc, {}, {}, {}}); }
void MonitorView::reset(const shell::ViewState& view) noexcept { post(Change{Change::Kind::Reset, Side::Pc, {}, {}, view}); }
void MonitorView::statusLineChanged(std::string_view text) noexcept {
  post(Change{Change::Kind::StatusLine, Side::Pc, std::string(text), {}, {}});
}
void MonitorView::beep() noexcept { post(Change{Change::Kind::Beep, Side::Pc, {}, {}, {}}); }
void MonitorView::viewMoved(const shell::ViewMove& move, const shell::ViewState& view) noexcept {
  post(Change{Change::Kind::ViewMoved, Side::Pc, {}, move, view});
}

// ---- window thread

void MonitorView::wake() {
  const auto interval = static_cast<qint64>(kRepaintInterval.count());
  const qint64 since = sinceFlush_.isValid() ? sinceFlush_.elapsed() : interval;
  if (since >= interval) {
    flushNow();
  } else if (!repaintTimer_.isActive()) {
    repaintTimer_.start(static_cast<int>(interval - since));
  }
}

void MonitorView::flushNow() {
  std::vector<Change> changes;
  {
    std::lock_guard lock(pendingMutex_);
    changes.swap(pending_);
    wakePosted_ = false;
  }
  repaintTimer_.stop();
  if (changes.empty()) return;
  bool beep = false;
  for (const Change& c : changes) apply(c, beep);
  if (beep) QApplication::beep();
  layOut();
  panes_[0]->update();
  panes_[1]->update();
  sinceFlush_.start();
  ++flushes_;
  emit flushed();
}

void MonitorView::apply(const Change& c, bool& beep) {
  switch (c.kind) {
    case Change::Kind::Appended:
      panes_[index(c.side)]->mirror().append(c.text);
      bothToEnd();
      break;
    case Change::Kind::FirstLineDeleted:
      panes_[index(c.side)]->mirror().deleteFirstLine();
      bothToEnd();
      break;
    case Change::Kind::Cleared:
      for (auto* pane : panes_) pane->mirror().clear();
      break;
    case Change::Kind::Reset:
      for (auto* pane : panes_) pane->mirror().home();
      showView(c.view);
      bothToEnd();
      break;
    case Change::Kind::StatusLine:
      statusLine_ = qs(c.text);
      emit statusLineShown(statusLine_);
      break;
    case Change::Kind::Beep:
      beep = true;
      break;
    case Change::Kind::ViewMoved:
      for (auto* pane : panes_) {
        pane->mirror().scrollLines(c.move.lines);
        pane->mirror().scrollColumns(c.move.columns);
      }
      showView(c.view);
      break;
  }
}

void MonitorView::bothToEnd() {
  for (auto* pane : panes_) pane->scrollToEnd();
}

void MonitorView::showView(const shell::ViewState& view) {
  view_ = view;
  vbar_->setRange(0, view.verticalMax);
  vbar_->setPageStep(std::max(1, view.visibleHeight));
  vbar_->setSingleStep(std::max(1, view.lineHeight));
  vbar_->setValue(view.verticalPos);
  vbar_->setEnabled(view.verticalMax > 0);
  hbar_->setRange(0, view.horizontalMax);
  hbar_->setPageStep(std::max(1, view.clientWidth));
  hbar_->setSingleStep(std::max(1, view.charWidth));
  hbar_->setValue(view.horizontalPos);
  hbar_->setEnabled(view.horizontalMax > 0);
}

void MonitorView::layOut() {
  // The 80-column layout slides left under the window as the horizontal position grows; a
  // window wider than that shares its width between the two panes.
  const int x = -view_.horizontalPos;
  const int width = std::max(kHalfColumns * charWidth_, canvas_->width() / 2);
  const int paneHeight = std::max(0, canvas_->height() - lineHeight_);
  for (std::size_t i = 0; i < 2; ++i) {
    const int left = x + static_cast<int>(i) * width;
    headers_[i]->setGeometry(left, 0, width, lineHeight_);
    panes_[i]->setGeometry(left, lineHeight_, width, paneHeight);
  }
}

void MonitorView::clientResized() {
  monitor_.resize(canvas_->width(), canvas_->height());
  flushNow();
  layOut();
  for (auto* pane : panes_) {
    pane->mirror().fitToEnd(static_cast<std::size_t>(pane->visibleRows()));
    pane->scrollToEnd();
  }
}

void MonitorView::scrollAction(bool vertical, int action) {
  const auto request = requestOf(action);
  if (!request) return;
  // The bar shows what the monitor decides, not what the click would make of it.
  QScrollBar* bar = vertical ? vbar_ : hbar_;
  bar->setSliderPosition(bar->value());
  if (vertical) monitor_.scrollVertical(*request, 0);
  else monitor_.scrollHorizontal(*request, 0);
  flushNow();
}

bool MonitorView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == canvas_ && event->type() == QEvent::Resize) clientResized();
  // A click beside the panes brings the newest traffic back into view.
  if (watched == canvas_ && event->type() == QEvent::MouseButtonRelease) {
    panes_[0]->scrollToEnd();
    panes_[0]->update();
  }
  return QWidget::eventFilter(watched, event);
}

void MonitorView::wheelEvent(QWheelEvent* event) {
  event->accept();
  wheelRest_ += event->angleDelta().y();
  const int notches = wheelRest_ / QWheelEvent::DefaultDeltasPerStep;
  if (notches == 0) return;
  wheelRest_ -= notches * QWheelEvent::DefaultDeltasPerStep;
  const ScrollRequest request = notches > 0 ? ScrollRequest::LineUp : ScrollRequest::LineDown;
  for (int i = 0; i < std::abs(notches) * kWheelLines; ++i) monitor_.scrollVertical(request, 0);
  flushNow();
}

}  // namespace orva::gui
