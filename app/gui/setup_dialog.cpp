#include "setup_dialog.hpp"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "eeprom/setup_runs.hpp"
#include "qt_text.hpp"
#include "shell/session.hpp"

namespace orva::gui {
namespace {

using namespace eeprom::setup_at;
using Result = shell::SetupResult;
using Utility = shell::SetupUtility;

constexpr std::array<const char*, 5> kGainRanges{"~AGC on", "~1/3 AGC", "~2/3 AGC", "~Max AGC", "Max AGC~"};
constexpr int kByteMax = 0xFF;
constexpr int kWordMax = 0xFFFF;

QGridLayout* gridOf(QWidget* page) { return static_cast<QGridLayout*>(page->layout()); }

// Bit masks and packed words read better as the camera's hex.
void inHex(QSpinBox* box, int step = 1) {
  box->setDisplayIntegerBase(16);
  box->setPrefix(QStringLiteral("0x"));
  box->setSingleStep(step);
}

void heading(QGridLayout* grid, int row, const char* caption) {
  grid->addWidget(new QLabel(QString::fromLatin1(caption)), row, 0, 1, 2);
}

}  // namespace

SetupDialog::SetupDialog(QWidget* parent, Utility& utility) : QDialog(parent), utility_(utility) {
  setObjectName(QStringLiteral("setupDialog"));
  setWindowTitle(qs(eeprom::kSetupTitle));
  auto* column = new QVBoxLayout(this);

  auto* bar = new QMenuBar(this);
  column->setMenuBar(bar);
  const auto entry = [&](const char* text, auto handler) {
    QAction* action = bar->addAction(QString::fromLatin1(text));
    connect(action, &QAction::triggered, this, handler);
    actions_.push_back(action);
  };
  entry("LOAD Data (&L)", [this] { run(&Utility::load); });
  entry("SAVE Data (&S)", [this] { run(&Utility::save); });
  entry("CLOSE (&X)", [this] { accept(); });
  entry("Load Default Data (&D)", [this] { run(&Utility::loadDefaults); });
  entry("Read Camera Data (&C)", [this] { run(&Utility::readCamera); });
  entry("Camera RESET (&R)", [this] { run(&Utility::reset); });

  tabs_ = new QTabWidget(this);
  column->addWidget(tabs_);

  QGridLayout* g = gridOf(page("LENS"));
  list(g, 0, "Power-on lens mode", L(0), {{"Type-A (AF)", 0x00}, {"Type-B (MF)", 0x80}, {"Default", 0x08}});
  int row = 1;
  for (const auto& [caption, field] : {std::pair{"ZOOM Position", L(8)}, std::pair{"FOCUS Position", L(2)},
                                       std::pair{"ZOOM Data", T(0)}, std::pair{"FOCUS FAR Limit", T(6)},
                                       std::pair{"FOCUS NEAR Limit", T(8)}, std::pair{"TRACE CURVE BASE", L(12)},
                                       std::pair{"TRACE CURVE A", L(14)}, std::pair{"TRACE CURVE B", L(16)}})
    spin(g, row++, 0, QString::fromLatin1(caption), field, true, 0, kWordMax);
  spin(g, row++, 0, QStringLiteral("TRACE CURVE Select"), L(18), false, 0, 12);
  spin(g, row++, 0, QStringLiteral("Manual FOCUS speed"), T(3), false, 1, 31);
  list(g, row, "Min.FOCUS Length", T(4), {{"1cm", 0x00}, {"10cm", 0xF7}, {"30cm", 0xF8}, {"1m", 0xF9}});

  g = gridOf(page("PICTURE"));
  for (std::size_t c = 0; c < kGainRanges.size(); ++c)
    g->addWidget(new QLabel(QString::fromLatin1(kGainRanges[c])), 0, static_cast<int>(c) + 1);
  const struct {
    const char* caption;
    std::size_t first;
    int maximum;
  } levels[] = {{"Chroma suppression Level", 15, kByteMax}, {"Horizontal Aperture Level", 20, 63},
                {"Vertical Aperture Level", 25, 63}};
  row = 1;
  for (const auto& level : levels) {
    g->addWidget(new QLabel(QString::fromLatin1(level.caption)), row, 0);
    for (std::size_t c = 0; c < kGainRanges.size(); ++c) {
      const QString name = QStringLiteral("%1 %2").arg(QLatin1String(level.caption), QLatin1String(kGainRanges[c]));
      spin(g, row, static_cast<int>(c) + 1, name, P(level.first + c), false, 0, level.maximum);
    }
    ++row;
  }

  g = gridOf(page("WB / AE"));
  list(g, 0, "WB Mode", W(0), {{"Auto", 0}, {"Manual", 4}});
  spin(g, 1, 0, QStringLiteral("R gain"), W(2), true, 0, 1023);
  spin(g, 2, 0, QStringLiteral("B gain"), W(4), true, 0, 1023);
  // The slow shutter's limit in fields: 1/60 sec is none, each step doubles the time.
  list(g, 3, "Auto DSS Limit", P(4),
       {{"1/60 sec", 0}, {"1/30 sec", 2}, {"1/15 sec", 4}, {"1/ 8 sec", 8}, {"1/ 4 sec", 16}, {"1/ 2 sec", 32},
        {"1/ 1 sec", 64}});
  spin(g, 4, 0, QStringLiteral("Maximum AGC Gain"), P(30), true, 0, 1280);
  heading(g, 5, "IRIS Offset Level");
  spin(g, 6, 0, QStringLiteral("Average :"), P(6), false, 0, kByteMax);
  spin(g, 7, 0, QStringLiteral("Peak :"), P(7), false, 0, 127);
  spin(g, 8, 0, QStringLiteral("BLC Level"), P(10), false, 0, kByteMax);
  inHex(spin(g, 9, 0, QStringLiteral("Luminance weighting data"), P(8), true, 0, kWordMax));
  row = 10;
  for (std::size_t a = 0; a < 4; ++a)
    spin(g, row++, 0, QStringLiteral("Area %1").arg(QChar(u'A' + static_cast<char16_t>(a))), P(11 + a), false, 0, kByteMax);

  g = gridOf(page("Other"));
  spin(g, 0, 0, QStringLiteral("Key Display Mode"), S(0), false, 0, 1);
  for (std::size_t m = 0; m < 3; ++m)
    inHex(spin(g, static_cast<int>(m) + 1, 0, QStringLiteral("Status display Mask-%1").arg(m + 1), S(2 + m), false, 0,
               kByteMax));
  // One register holds both: the position in the low four bits, the size in the high four.
  spin(g, 4, 0, QStringLiteral("Status display Position"), S(5), false, 0, 0x0F);
  inHex(spin(g, 5, 0, QStringLiteral("Status display Size"), S(6), false, 0, 0xF0), 0x10);
  heading(g, 6, "MOSAIC Size");
  spin(g, 7, 0, QStringLiteral("H Size :"), S(7), false, 0, 31);
  spin(g, 8, 0, QStringLiteral("V Size :"), S(8), false, 0, 15);

  confirm_ = new QCheckBox(qs(eeprom::kSetupConfirmCaption), this);
  confirm_->setChecked(utility_.confirmWrite());
  column->addWidget(confirm_);
  auto* buttons = new QHBoxLayout;
  auto* write = new QPushButton(QStringLiteral("WRITE"), this);
  auto* close = new QPushButton(QStringLiteral("CLOSE"), this);
  write->setAutoDefault(false);
  close->setAutoDefault(false);
  buttons->addStretch(1);
  buttons->addWidget(write);
  buttons->addWidget(close);
  column->addLayout(buttons);
  connect(write, &QPushButton::clicked, this, &SetupDialog::pressWrite);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  setMinimumWidth(bar->sizeHint().width() + column->contentsMargins().left() + column->contentsMargins().right());
  tabs_->setCurrentIndex(static_cast<int>(utility_.page()));
  refresh();
}

QWidget* SetupDialog::page(const char* caption) {
  auto* page = new QWidget(tabs_);
  auto* grid = new QGridLayout(page);
  grid->setRowStretch(20, 1);
  tabs_->addTab(page, QString::fromLatin1(caption));
  return page;
}

QSpinBox* SetupDialog::spin(QGridLayout* grid, int row, int column, const QString& caption, eeprom::SetupField field,
                       bool word, int minimum, int maximum) {
  auto* box = new QSpinBox(grid->parentWidget());
  box->setObjectName(caption);
  box->setRange(minimum, maximum);
  if (column == 0) {
    grid->addWidget(new QLabel(caption), row, 0);
    grid->addWidget(box, row, 1);
  } else {
    grid->addWidget(box, row, column);
  }
  bound_.push_back({box, field, word, 0});
  return box;
}

void SetupDialog::list(QGridLayout* grid, int row, const char* caption, eeprom::SetupField field,
                       std::vector<std::pair<const char*, int>> items) {
  auto* box = new QComboBox(grid->parentWidget());
  box->setObjectName(QString::fromLatin1(caption));
  for (const auto& [text, value] : items) box->addItem(QString::fromLatin1(text), value);
  grid->addWidget(new QLabel(QString::fromLatin1(caption)), row, 0);
  grid->addWidget(box, row, 1);
  bound_.push_back({box, field, false, 0});
}

int SetupDialog::valueOf(const Bound& b) const {
  if (auto* box = qobject_cast<QSpinBox*>(b.widget)) return box->value();
  auto* box = qobject_cast<QComboBox*>(b.widget);
  return box->currentIndex() < 0 ? -1 : box->currentData().toInt();
}

void SetupDialog::refresh() {
  const eeprom::SetupRecord& r = utility_.record();
  for (Bound& b : bound_) {
    const int value = b.word ? r.word(b.field) : r.byte(b.field);
    if (auto* box = qobject_cast<QSpinBox*>(b.widget))
      box->setValue(value);
    else if (auto* list = qobject_cast<QComboBox*>(b.widget))
      list->setCurrentIndex(list->findData(value));
    b.shown = valueOf(b);
  }
}

void SetupDialog::storeBack() {
  eeprom::SetupRecord& r = utility_.record();
  for (Bound& b : bound_) {
    const int value = valueOf(b);
    if (value < 0 || value == b.shown) continue;
    if (b.word)
      r.setWord(b.field, static_cast<std::uint16_t>(value));
    else
      r.setByte(b.field, static_cast<std::uint8_t>(value));
    b.shown = value;
  }
}

void SetupDialog::run(Result (Utility::*action)()) {
  storeBack();
  const bool fromFile = action == &Utility::load;
  if ((utility_.*action)() != Result::Done) return;
  refresh();
  if (fromFile) confirm_->setChecked(utility_.confirmWrite());
}

void SetupDialog::pressWrite() {
  storeBack();
  (void)utility_.write(confirm_->isChecked());
}

void SetupDialog::done(int result) {
  storeBack();
  utility_.close(confirm_->isChecked(), static_cast<shell::SetupPage>(tabs_->currentIndex()));
  QDialog::done(result);
}

QAction* SetupDialog::menuAction(const QString& text) const {
  for (QAction* a : actions_)
    if (a->text() == text) return a;
  return nullptr;
}

QWidget* SetupDialog::control(const QString& caption) const { return findChild<QWidget*>(caption); }

void runSetupDialog(QWidget* mainWindow, shell::Session& session, QWidget* launcher) {
  shell::SetupUtility& utility = session.setupUtility();
  if (!utility.open()) return;
  const bool launcherWasEnabled = launcher->isEnabled();
  launcher->setEnabled(false);
  SetupDialog dialog(mainWindow, utility);
  dialog.exec();
  launcher->setEnabled(launcherWasEnabled);
}

}  // namespace orva::gui
