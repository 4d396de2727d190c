#include "condition_window.hpp"
#include "qt_text.hpp"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace orva::gui {
namespace {

namespace t = panels::condition_texts;

// Buttons that show a state and take no part in the operator's input: no click lands on them
// and they take no keyboard focus, yet they look as enabled as any other button.
template <class Button>
class DisplayOnly final : public Button {
 public:
  DisplayOnly(const QString& text, QWidget* parent) : Button(text, parent) { this->setFocusPolicy(Qt::NoFocus); }

 protected:
  bool hitButton(const QPoint&) const override { return false; }
  // Whatever reaches it, only the window changes its state.
  void nextCheckState() override {}
};

panels::Rect rectOf(const QRect& r) { return {r.left(), r.top(), r.right() + 1, r.bottom() + 1}; }

}  // namespace

// ---- the caption box

CaptionBox::CaptionBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void CaptionBox::setCaptionEnabled(bool enabled) {
  if (captionEnabled_ == enabled) return;
  captionEnabled_ = enabled;
  update();
}

void CaptionBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionGroupBox option;
  initStyleOption(&option);
  if (!captionEnabled_) {
    // The caption greys as a disabled box's would; the controls inside keep their own state.
    option.state &= ~QStyle::State_Enabled;
    option.palette.setCurrentColorGroup(QPalette::Disabled);
    option.textColor = palette().color(QPalette::Disabled, QPalette::WindowText);
  }
  painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

// ---- the window

void ConditionWindow::Pair::setEnabled(bool enabled) const {
  box->setCaptionEnabled(enabled);
  first->setEnabled(enabled);
  second->setEnabled(enabled);
}

void ConditionWindow::Pair::check(std::optional<bool> secondChecked) const {
  if (!secondChecked) return;
  first->setChecked(!*secondChecked);
  second->setChecked(*secondChecked);
}

ConditionWindow::Pair ConditionWindow::pair(const QString& caption, std::string_view first, std::string_view second,
                                            const char* name) {
  Pair p;
  p.box = new CaptionBox(caption, this);
  p.box->setObjectName(QStringLiteral("%1Group").arg(QLatin1String(name)));
  auto* row = new QHBoxLayout(p.box);
  int n = 0;
  for (QRadioButton** button : {&p.first, &p.second}) {
    *button = new DisplayOnly<QRadioButton>(qs(n == 0 ? first : second), p.box);
    // Two buttons of a pair are set together; none is checked before the first readout.
    (*button)->setAutoExclusive(false);
    (*button)->setObjectName(QStringLiteral("%1.%2").arg(QLatin1String(name)).arg(n));
    row->addWidget(*button);
    ++n;
  }
  row->addStretch(1);
  return p;
}

QLineEdit* ConditionWindow::field(const char* name, const QString& widest) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QLatin1String(name));
  edit->setReadOnly(true);
  edit->setFocusPolicy(Qt::NoFocus);
  edit->setAlignment(Qt::AlignRight);
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(widest) + 16);
  return edit;
}

ConditionWindow::ConditionWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("cameraCondition"));
  setWindowTitle(qs(t::kTitle));

  auto label = [this](std::string_view text, const char* name) {
    auto* l = new QLabel(qs(text), this);
    l->setObjectName(QLatin1String(name));
    return l;
  };

  // Zoom Position: [  6] x  [ ] Digi.
  zoomBox_ = new CaptionBox(qs(t::kZoomGroup), this);
  zoomBox_->setObjectName(QStringLiteral("zoomGroup"));
  magnification_ = field("magnification", QStringLiteral("0000"));
  magnification_->setParent(zoomBox_);
  times_ = label(t::kTimes, "times");
  times_->setParent(zoomBox_);
  digital_ = new DisplayOnly<QCheckBox>(qs(t::kDigital), zoomBox_);
  digital_->setObjectName(QStringLiteral("digital"));
  {
    auto* row = new QHBoxLayout(zoomBox_);
    row->addWidget(magnification_);
    row->addWidget(times_);
    row->addSpacing(12);
    row->addWidget(digital_);
    row->addStretch(1);
  }

  focus_ = pair(qs(t::kFocusGroup), t::kAutoFocus, t::kManualFocus, "focus");

  // Digital Slow Shutter: (ON) (OFF)   Shutter [ 1/120] S
  dss_ = pair(qs(t::kDssGroup), t::kOn, t::kOff, "dss");
  shutterLabel_ = label(t::kShutter, "shutterLabel");
  shutter_ = field("shutter", qs("1/22.5～1/11"));
  seconds_ = label(t::kSeconds, "seconds");
  {
    auto* row = qobject_cast<QHBoxLayout*>(dss_.box->layout());
    for (QWidget* w : {static_cast<QWidget*>(shutterLabel_), static_cast<QWidget*>(shutter_),
                       static_cast<QWidget*>(seconds_)}) {
      w->setParent(dss_.box);
      row->addWidget(w);
    }
  }

  // AGC: [  10] dB      Exposure: F value [ 1.6]
  agcBox_ = new CaptionBox(qs(t::kAgcGroup), this);
  agcBox_->setObjectName(QStringLiteral("agcGroup"));
  agc_ = field("agc", QStringLiteral("0000"));
  agc_->setParent(agcBox_);
  decibels_ = label(t::kDecibels, "decibels");
  decibels_->setParent(agcBox_);
  {
    auto* row = new QHBoxLayout(agcBox_);
    row->addWidget(agc_);
    row->addWidget(decibels_);
    row->addStretch(1);
  }
  exposureBox_ = new CaptionBox(qs(t::kExposureGroup), this);
  exposureBox_->setObjectName(QStringLiteral("exposureGroup"));
  fValueLabel_ = label(t::kFValue, "fValueLabel");
  fValueLabel_->setParent(exposureBox_);
  fValue_ = field("fValue", QStringLiteral("000.0"));
  fValue_->setParent(exposureBox_);
  {
    auto* row = new QHBoxLayout(exposureBox_);
    row->addWidget(fValueLabel_);
    row->addWidget(fValue_);
    row->addStretch(1);
  }

  irCut_ = pair(qs(t::kIrCutGroup), t::kIn, t::kOut, "irCut");
  wdr_ = pair(qs(t::kWdrGroup), t::kOn, t::kOff, "wdr");
  reverse_ = pair(qs(t::kReverseGroup), t::kOn, t::kOff, "reverse");
  freeze_ = pair(qs(t::kFreezeGroup), t::kOn, t::kOff, "freeze");
  protocol_ = pair(qs(t::kProtocolGroup), t::kAfp, t::kEap, "protocol");
  ccdDrive_ = pair(qs(t::kCcdDriveGroup), t::kProgressive, t::kInterlace, "ccdDrive");
  ccdDrive_.box->hide();

  condition_ = new QPushButton(qs(t::kConditionButton), this);
  condition_->setObjectName(QStringLiteral("condition"));
  condition_->setMinimumHeight(30);
  connect(condition_, &QPushButton::clicked, this, &ConditionWindow::conditionClicked);

  auto* grid = new QGridLayout(this);
  grid->setSizeConstraint(QLayout::SetFixedSize);
  grid->addWidget(zoomBox_, 0, 0);
  grid->addWidget(focus_.box, 0, 1);
  grid->addWidget(dss_.box, 1, 0, 1, 2);
  grid->addWidget(agcBox_, 2, 0);
  grid->addWidget(exposureBox_, 2, 1);
  grid->addWidget(irCut_.box, 3, 0);
  grid->addWidget(wdr_.box, 3, 1);
  grid->addWidget(reverse_.box, 4, 0);
  grid->addWidget(freeze_.box, 4, 1);
  grid->addWidget(protocol_.box, 5, 0);
  grid->addWidget(ccdDrive_.box, 5, 1);
  grid->addWidget(condition_, 6, 0, 1, 2);

  // Until a camera is connected nothing can be read.
  disableAll();
}

void ConditionWindow::disableAll() {
  for (QWidget* w : std::initializer_list<QWidget*>{magnification_, times_, digital_, shutterLabel_, shutter_, seconds_,
                                                    agc_, decibels_, fValueLabel_, fValue_, condition_})
    w->setEnabled(false);
  for (CaptionBox* box : {zoomBox_, agcBox_, exposureBox_}) box->setCaptionEnabled(false);
  for (const Pair* p : {&focus_, &dss_, &irCut_, &wdr_, &reverse_, &freeze_, &protocol_, &ccdDrive_})
    p->setEnabled(false);
}

void ConditionWindow::applyLayout(const panels::ConditionLayout& l) {
  zoomBox_->setCaptionEnabled(l.zoom);
  magnification_->setEnabled(l.zoom);
  times_->setEnabled(l.zoom);
  digital_->setEnabled(l.digital);
  focus_.setEnabled(l.focus);
  dss_.box->setCaptionEnabled(l.dssCaption);
  dss_.first->setEnabled(l.dssButtons);
  dss_.second->setEnabled(l.dssButtons);
  shutter_->setEnabled(l.shutterField);
  shutterLabel_->setEnabled(l.shutterLabels);
  seconds_->setEnabled(l.shutterLabels);
  agc_->setEnabled(l.agcField);
  agcBox_->setCaptionEnabled(l.agcLabels);
  decibels_->setEnabled(l.agcLabels);
  exposureBox_->setCaptionEnabled(l.exposure);
  fValueLabel_->setEnabled(l.exposure);
  fValue_->setEnabled(l.exposure);
  irCut_.setEnabled(l.irCut);
  wdr_.setEnabled(l.wdr);
  reverse_.setEnabled(l.reverse);
  reverse_.box->setTitle(qs(l.reverseCaption));
  freeze_.setEnabled(l.freeze);
  ccdDrive_.setEnabled(l.ccdDrive);
  protocol_.setEnabled(l.protocol);
}

void ConditionWindow::show(const panels::ConditionView& v) {
  using panels::ConditionOutcome;
  if (v.outcome == ConditionOutcome::Ignored) return;
  if (v.outcome == ConditionOutcome::PortClosed) {
    disableAll();
    return;
  }
  applyLayout(v.layout);
  auto text = [](QLineEdit* edit, const std::optional<std::string>& value) {
    if (value) edit->setText(qs(*value));
  };
  text(magnification_, v.magnification);
  if (v.digital) digital_->setChecked(*v.digital);
  focus_.check(v.manualFocus);
  // "ON" stands first in the slow shutter pair and the other ON/OFF pairs.
  dss_.check(v.dssOn ? std::optional(!*v.dssOn) : std::nullopt);
  text(shutter_, v.shutter);
  text(agc_, v.agc);
  text(fValue_, v.fValue);
  irCut_.check(v.irCutIn ? std::optional(!*v.irCutIn) : std::nullopt);
  wdr_.check(v.wdrOn ? std::optional(!*v.wdrOn) : std::nullopt);
  reverse_.check(v.reverseOn ? std::optional(!*v.reverseOn) : std::nullopt);
  freeze_.check(v.freezeOn ? std::optional(!*v.freezeOn) : std::nullopt);
  ccdDrive_.check(v.interlace);
  protocol_.check(v.protocol ? std::optional(*v.protocol == link::Protocol::Eap) : std::nullopt);
}

void ConditionWindow::setConnected(bool connected, const camera::ModelRecord& record) {
  if (!connected) {
    disableAll();
    return;
  }
  condition_->setEnabled(true);
  ccdDrive_.box->setVisible((record.menuWord & 0x0004u) != 0);
  ccdDrive_.setEnabled(false);
}

void ConditionWindow::placeBeside(const QWidget& mainWindow, const QWidget* launcher) {
  adjustSize();
  const QScreen* screen = mainWindow.screen();
  const QRect frame = mainWindow.frameGeometry();
  const QRect available = screen != nullptr ? screen->availableGeometry() : frame;
  panels::ConditionPlacement placement{{mainWindow.isMaximized(), rectOf(frame)}, rectOf(available), std::nullopt};
  if (launcher != nullptr && launcher->isVisible()) placement.launcher = rectOf(launcher->frameGeometry());
  const QSize size = frameGeometry().size();
  const panels::Point at = panels::conditionWindowPosition(placement, {size.width(), size.height()});
  move(at.x, at.y);
}

void ConditionWindow::closeEvent(QCloseEvent* event) { event->ignore(); }

}  // namespace orva::gui
