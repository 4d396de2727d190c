#include "launcher_window.hpp"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "gui_texts.hpp"
#include "panels/placement.hpp"
#include "shell/session_texts.hpp"
#include "qt_text.hpp"

namespace orva::gui {
namespace {

using camera::LauncherItem;

// The function buttons in the order they stand in the launcher's two columns.
constexpr std::array kFunctionButtons{
    LauncherItem::ZoomFocus,     LauncherItem::Zoom,          LauncherItem::Focus,
    LauncherItem::FullAuto,      LauncherItem::Ae,
    LauncherItem::Exposure,      LauncherItem::ShutterSpeed,  LauncherItem::Agc,
    LauncherItem::WhiteBalance,  LauncherItem::BackLightComp, LauncherItem::ApertureLevel,
    LauncherItem::WdrReverse,    LauncherItem::IrcfRemove,    LauncherItem::PrivacyMask,
    LauncherItem::MotionDetect,  LauncherItem::MotionTracking, LauncherItem::MemPreset,
    LauncherItem::DirectPreset,  LauncherItem::CamPreset,     LauncherItem::EnhancedIntensity,
    LauncherItem::Strobe,        LauncherItem::BlockRead,     LauncherItem::BiCycling,
    LauncherItem::StatusMessage, LauncherItem::ZoomArrivalMessage, LauncherItem::Demonstration,
    LauncherItem::Ver,
};

constexpr std::size_t index(LauncherItem item) { return static_cast<std::size_t>(item); }

}  // namespace

// ---- the indicator

ConnectionIndicator::ConnectionIndicator(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("connectionIndicator"));
  setFixedSize(sizeHint());
}

void ConnectionIndicator::setState(State state) {
  if (state_ == state) return;
  state_ = state;
  update();
}

void ConnectionIndicator::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = QRectF(rect()).adjusted(4, 4, -4, -4);
  QColor lamp;
  QString caption;
  switch (state_) {
    case State::Idle: lamp = QColor(150, 150, 150); caption = tr("NOT CONNECTED"); break;
    case State::Connecting: lamp = QColor(230, 170, 20); caption = tr("CONNECTING"); break;
    case State::Connected: lamp = QColor(40, 170, 60); caption = tr("CONNECTED"); break;
    case State::Failed: lamp = QColor(210, 40, 40); caption = tr("FAILED"); break;
  }
  // A plug's socket: the lamp in the middle, the two pins of the cable above it.
  p.setPen(QPen(QColor(60, 60, 60), 2));
  p.setBrush(QColor(235, 235, 235));
  p.drawRoundedRect(r, 12, 12);
  const qreal d = r.width() * 0.46;
  const QRectF lampRect(r.center().x() - d / 2, r.top() + r.height() * 0.2, d, d);
  QRadialGradient glow(lampRect.center(), d / 2, lampRect.center() - QPointF(d / 6, d / 6));
  glow.setColorAt(0, lamp.lighter(160));
  glow.setColorAt(1, lamp);
  p.setBrush(glow);
  p.drawEllipse(lampRect);
  if (state_ == State::Connected || state_ == State::Connecting) {
    p.setBrush(QColor(90, 90, 90));
    const qreal pin = d / 6;
    p.drawRect(QRectF(lampRect.center().x() - d / 4 - pin / 2, r.top() + 4, pin, r.height() * 0.2 - 4));
    p.drawRect(QRectF(lampRect.center().x() + d / 4 - pin / 2, r.top() + 4, pin, r.height() * 0.2 - 4));
  }
  if (state_ == State::Failed) {
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    const qreal m = d * 0.28;
    p.drawLine(lampRect.topLeft() + QPointF(m, m), lampRect.bottomRight() - QPointF(m, m));
    p.drawLine(lampRect.topRight() + QPointF(-m, m), lampRect.bottomLeft() + QPointF(m, -m));
  }
  QFont f = font();
  f.setBold(true);
  p.setFont(f);
  p.setPen(QColor(40, 40, 40));
  p.drawText(QRectF(r.left(), lampRect.bottom() + 4, r.width(), r.bottom() - lampRect.bottom() - 4),
             Qt::AlignCenter, caption);
}

// ---- the launcher

LauncherWindow::LauncherWindow(QWidget* owner) : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("launcher"));
  setWindowTitle(qs(texts::kLauncherTitle));

  auto* top = new QHBoxLayout;
  indicator_ = new ConnectionIndicator(this);
  top->addWidget(indicator_, 0, Qt::AlignTop);

  auto* fields = new QFormLayout;
  connect_ = new QCheckBox(qs(texts::kConnect), this);
  connect_->setObjectName(QStringLiteral("connect"));
  fields->addRow(connect_);
  auto field = [this, fields](std::string_view caption, const char* name) {
    auto* edit = new QLineEdit(qs(shell::texts::kNoModelField), this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    // Wide enough for " /dev/ttyUSB0: 115200,N,8  ,1".
    edit->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral(" /dev/ttyUSB0: 115200,N,8  ,1 ")));
    fields->addRow(qs(caption), edit);
    return edit;
  };
  model_ = field(texts::kModelField, "modelField");
  aeMode_ = field(texts::kAeModeField, "aeModeField");
  format_ = field(texts::kFormatField, "formatField");
  port_ = field(texts::kPortField, "portField");
  port_->clear();
  top->addLayout(fields, 1);

  grid_ = new QGridLayout;
  grid_->setSpacing(4);
  for (LauncherItem item : kFunctionButtons) {
    auto* b = new QPushButton(qs(camera::defaultCaption(item)), this);
    b->setObjectName(QStringLiteral("launcher.%1").arg(index(item)));
    b->setMinimumHeight(28);
    if (item == LauncherItem::ZoomArrivalMessage) b->setCheckable(true);
    connect(b, &QPushButton::clicked, this, [this, item, b](bool checked) {
      // "ZOOM Arrival Message" shows what the session holds, not the click itself.
      if (b->isCheckable()) b->setChecked(!checked);
      emit itemClicked(item);
    });
    buttons_[index(item)] = b;
  }

  presets_ = new QGroupBox(this);
  auto* presetGrid = new QGridLayout(presets_);
  presetGrid->addWidget(new QLabel(qs(texts::kPresetTypeI), presets_), 0, 0);
  presetGrid->addWidget(new QLabel(qs(texts::kPresetTypeII), presets_), 2, 0);
  for (std::size_t k = 0; k < camera::kPresetKeys; ++k) {
    const auto key = static_cast<LauncherItem>(index(LauncherItem::MemoryKey1) + k);
    const auto exec = static_cast<LauncherItem>(index(LauncherItem::PresetButton1) + k);
    const int row = k < 4 ? 0 : 2;
    const int column = static_cast<int>(k % 4) + 1;
    auto* keyButton = new QPushButton(qs(camera::defaultCaption(key)), presets_);
    keyButton->setCheckable(true);
    keyButton->setToolTip(tr("Memory key"));
    auto* execButton = new QPushButton(qs(camera::defaultCaption(exec)), presets_);
    execButton->setToolTip(tr("Execute the preset"));
    for (auto [item, b] : {std::pair{key, keyButton}, std::pair{exec, execButton}}) {
      b->setObjectName(QStringLiteral("launcher.%1").arg(index(item)));
      b->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("MMMM")));
      connect(b, &QPushButton::clicked, this, [this, item, b](bool checked) {
        // A memory key shows what the session holds, not the click itself.
        if (b->isCheckable()) b->setChecked(!checked);
        emit itemClicked(item);
      });
      buttons_[index(item)] = b;
    }
    presetGrid->addWidget(keyButton, row, column);
    presetGrid->addWidget(execButton, row + 1, column);
  }

  auto* exitButton = new QPushButton(qs(texts::kExitButton), this);
  exitButton->setObjectName(QStringLiteral("exit"));
  exitButton->setMinimumHeight(32);
  connect(exitButton, &QPushButton::clicked, this, &LauncherWindow::exitClicked);

  // Everything in one body, so that a panel (a window of the launcher's own) can keep the
  // launcher out of reach without being disabled with it.
  body_ = new QWidget(this);
  auto* frame = new QVBoxLayout(this);
  frame->setContentsMargins(0, 0, 0, 0);
  frame->addWidget(body_);
  auto* column = new QVBoxLayout(body_);
  column->addLayout(top);
  column->addLayout(grid_);
  column->addWidget(presets_);
  column->addStretch(1);
  column->addWidget(exitButton);

  connect(connect_, &QCheckBox::clicked, this, [this](bool checked) {
    // The box shows what the session made of the click, not the click itself.
    connect_->setChecked(!checked);
    emit connectClicked(checked);
  });

  failed_ = new QTimer(this);
  failed_->setSingleShot(true);
  failed_->setInterval(texts::kFailedIndicatorMs);
  connect(failed_, &QTimer::timeout, this, [this] { indicator_->setState(ConnectionIndicator::State::Idle); });

  relayout(camera::idleLauncher());
}

void LauncherWindow::relayout(const camera::LauncherState& state) {
  // Hidden buttons leave no holes: the shown ones close up in two columns.
  for (LauncherItem item : kFunctionButtons) grid_->removeWidget(buttons_[index(item)]);
  int n = 0;
  for (LauncherItem item : kFunctionButtons) {
    QPushButton* b = buttons_[index(item)];
    if (!state[item].shown) {
      b->hide();
      continue;
    }
    grid_->addWidget(b, n / 2, n % 2);
    b->show();
    ++n;
  }
}

void LauncherWindow::present(const camera::LauncherState& state, const camera::LauncherFields& fields,
                          const std::string& portField) {
  for (std::size_t i = 0; i < camera::kLauncherItemCount; ++i) {
    const auto item = static_cast<LauncherItem>(i);
    QPushButton* b = buttons_[i];
    if (b == nullptr) continue;
    b->setEnabled(state[item].enabled);
    b->setText(qs(state.caption(item)));
    if (b->isCheckable()) b->setChecked(state[item].checked);
  }
  const bool groups = state[LauncherItem::PresetGroups].shown;
  presets_->setVisible(groups);
  presets_->setEnabled(state[LauncherItem::PresetGroups].enabled);
  relayout(state);
  auto text = [](const std::string& s) { return s.empty() ? qs(shell::texts::kNoModelField) : qs(s); };
  model_->setText(text(fields.model));
  aeMode_->setText(fields.aeMode.empty() ? QString() : qs(fields.aeMode));
  if (!fields.format.empty() || fields.model.empty()) format_->setText(text(fields.format));
  port_->setText(qs(portField));
}

void LauncherWindow::setBlocked(bool blocked) { body_->setEnabled(!blocked); }
bool LauncherWindow::blocked() const { return !body_->isEnabled(); }

void LauncherWindow::setConnectChecked(bool checked) { connect_->setChecked(checked); }
bool LauncherWindow::connectChecked() const { return connect_->isChecked(); }
void LauncherWindow::setConnectEnabled(bool enabled) { connect_->setEnabled(enabled); }

void LauncherWindow::showFailed() {
  indicator_->setState(ConnectionIndicator::State::Failed);
  failed_->start();
}

void LauncherWindow::placeBeside(const QWidget& mainWindow) {
  adjustSize();
  const QScreen* screen = mainWindow.screen();
  const QRect available = screen != nullptr ? screen->availableGeometry() : QRect();
  const QRect frame = mainWindow.frameGeometry();
  const QSize size = frameGeometry().size();
  // Beside the main window when the screen has room, so the camera pane stays in sight.
  if (!mainWindow.isMaximized() && available.isValid() && frame.right() + size.width() < available.right()) {
    move(frame.right() + 1, frame.top());
    return;
  }
  panels::MainPlacement placement{mainWindow.isMaximized(),
                                  {frame.left(), frame.top(), frame.right() + 1, frame.bottom() + 1}};
  const int frameWidth = (frameGeometry().width() - geometry().width()) / 2;
  const int captionHeight = geometry().top() - frameGeometry().top() - frameWidth;
  const auto at = panels::launcherPosition(placement, {size.width(), size.height()},
                                           available.isValid() ? available.right() + 1 : frame.right() + 1,
                                           {frameWidth, frameWidth, captionHeight});
  if (at) move(at->x, at->y);
}

void LauncherWindow::closeEvent(QCloseEvent* event) {
  // The launcher lives as long as the main window; its frame's close does nothing.
  event->ignore();
}

}  // namespace orva::gui
