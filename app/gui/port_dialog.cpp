#include "port_dialog.hpp"
#include "qt_text.hpp"

#include <QShowEvent>
#include <QDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <system_error>

namespace orva::gui {
namespace {

// Rows the speed list shows without scrolling: all seven speeds. The port list shows as many.
constexpr int kVisibleRows = 7;
// The speed list must fit its longest label with room to spare.
constexpr std::string_view kWidestSpeed = "115200";
// A port list narrower than this many characters cuts common device paths.
constexpr int kMinPortChars = 24;

bool sameDevice(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  if (a == b) return true;
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

// Wide enough for every item (and `widest`), with the frame, a scroll bar and a margin.
int widthFor(const QListWidget& list, const QString& widest) {
  const QFontMetrics fm(list.font());
  int text = fm.horizontalAdvance(widest);
  for (int i = 0; i < list.count(); ++i) text = std::max(text, fm.horizontalAdvance(list.item(i)->text()));
  const int scrollBar = list.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &list);
  return text + 2 * list.frameWidth() + scrollBar + 2 * fm.averageCharWidth();
}

int heightFor(const QListWidget& list, int rows) {
  const QFontMetrics fm(list.font());
  const int row = std::max(list.count() > 0 ? list.sizeHintForRow(0) : 0, fm.height());
  return rows * row + 2 * list.frameWidth();
}

QListWidget* makeList(QWidget* parent, const char* name) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return list;
}

// The one dialog of both purposes: three lists, a note line, the commit and cancel buttons.
// While busy (a camera speed change running) nothing in it can be used and it cannot be closed.
class SerialDialog final : public QDialog {
 public:
  SerialDialog(QWidget* mainWindow, std::string_view title, std::string_view okText) : QDialog(mainWindow) {
    setWindowTitle(qs(title));
    setModal(true);
    ports = makeList(this, "portList");
    speeds = makeList(this, "speedList");
    parity = makeList(this, "parityList");
    note = new QLabel(this);
    note->setObjectName(QStringLiteral("noFormNote"));
    note->setWordWrap(true);
    note->hide();
    ok = new QPushButton(qs(okText), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    cancel = new QPushButton(qs(texts::kPortDialogCancel), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(qs(texts::kPortHeading), this), 0, 0);
    lists->addWidget(new QLabel(qs(texts::kSpeedHeading), this), 0, 1);
    lists->addWidget(new QLabel(qs(texts::kParityHeading), this), 0, 2);
    lists->addWidget(ports, 1, 0);
    lists->addWidget(speeds, 1, 1, Qt::AlignTop);
    lists->addWidget(parity, 1, 2, Qt::AlignTop);
    lists->setColumnStretch(0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addWidget(note);
    layout->addLayout(buttons);

    for (std::string_view p : {texts::kParityEven, texts::kParityNone}) parity->addItem(qs(p));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  }

  // Sizes the lists for what they hold, then the dialog for its lists.
  void fit() {
    ensurePolished();
    // The port list takes what room there is; the short lists keep to their contents.
    ports->setMinimumWidth(widthFor(*ports, QString(kMinPortChars, QLatin1Char('0'))));
    ports->setFixedHeight(heightFor(*ports, kVisibleRows));
    speeds->setFixedSize(widthFor(*speeds, qs(kWidestSpeed)), heightFor(*speeds, kVisibleRows));
    parity->setFixedSize(widthFor(*parity, qs(texts::kParityEven)), heightFor(*parity, 2));
    adjustSize();
  }

  // Escape and the window's close button end up here too; a running change finishes first.
  void reject() override {
    if (!busy_) QDialog::reject();
  }

  void setBusy(bool on) {
    busy_ = on;
    for (QWidget* w : {static_cast<QWidget*>(ok), static_cast<QWidget*>(cancel), static_cast<QWidget*>(speeds),
                       static_cast<QWidget*>(parity)})
      w->setEnabled(!on);
    if (!on) refreshOk();
  }
  bool busy() const { return busy_; }

  // OK / CHANGE only while the selection gives a settings form.
  std::function<bool()> selectionUsable;
  void refreshOk() { ok->setEnabled(!busy_ && (!selectionUsable || selectionUsable())); }

  // Modal, at the main window's top right.
  int run() {
    fit();
    return exec();
  }

  QListWidget* ports = nullptr;
  QListWidget* speeds = nullptr;
  QListWidget* parity = nullptr;
  QLabel* note = nullptr;
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;

 protected:
  // Placed once its size is final, just before it appears.
  void showEvent(QShowEvent* event) override {
    placeAtTopRight(*this, parentWidget());
    QDialog::showEvent(event);
  }

 private:
  bool busy_ = false;
};

int rowOfRank(const std::vector<int>& ranks, int rank) {
  const auto it = std::find(ranks.begin(), ranks.end(), rank);
  return it == ranks.end() ? -1 : static_cast<int>(it - ranks.begin());
}

}  // namespace

std::vector<PortEntry> portEntries(const std::vector<link::PortInfo>& ports) {
  std::vector<PortEntry> entries;
  entries.reserve(ports.size());
  for (const auto& p : ports) {
    std::string text = std::to_string(p.number) + ": " + p.device;
    if (!p.description.empty()) text += "  (" + p.description + ")";
    entries.push_back({std::move(text), p.number, p.device, p.byId});
  }
  return entries;
}

PortEntry virtualCameraEntry() { return {std::string(texts::kVirtualCameraPort), 0, {}, {}}; }

int initialPortRow(const std::vector<PortEntry>& entries, const std::string& device, int number) {
  if (entries.empty()) return -1;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (sameDevice(entries[i].device, device) || sameDevice(entries[i].byId, device)) return static_cast<int>(i);
  if (number > 0)
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].number == number) return static_cast<int>(i);
  return 0;
}

link::SettingsForm PortChoice::form() const {
  return link::formForLinkCode(speedRank + 10 * parityIndex).value_or(link::kSettingsForms[0]);
}

std::optional<PortChoice> runPortSettingsDialog(QWidget* mainWindow, const std::vector<PortEntry>& entries,
                                                const PortChoice& current) {
  SerialDialog d(mainWindow, texts::kPortDialogTitle, texts::kPortDialogOk);
  d.setObjectName(QStringLiteral("portSettingsDialog"));

  if (entries.empty()) {
    auto* none = new QListWidgetItem(qs(texts::kNoPortFound), d.ports);
    none->setFlags(Qt::ItemIsEnabled);  // shown, not choosable
  } else {
    for (const auto& e : entries) {
      auto* item = new QListWidgetItem(qs(e.text), d.ports);
      if (!e.byId.empty()) item->setToolTip(qs(e.byId));
    }
    d.ports->setCurrentRow(initialPortRow(entries, current.port ? current.port->device : std::string(),
                                          current.port ? current.port->number : 0));
  }

  std::vector<int> ranks{0};
  d.speeds->addItem(qs(texts::kNoFormSpeed));
  for (const auto& s : link::portDialogSpeeds()) {
    d.speeds->addItem(qs(s.label));
    ranks.push_back(s.speedRank);
  }
  const int speedRow = rowOfRank(ranks, current.speedRank);
  d.speeds->setCurrentRow(speedRow > 0 ? speedRow : rowOfRank(ranks, 1));
  d.parity->setCurrentRow(current.parityIndex == 1 ? 1 : 0);

  d.selectionUsable = [&] { return d.speeds->currentRow() > 0 && d.parity->currentRow() >= 0; };
  QObject::connect(d.speeds, &QListWidget::currentRowChanged, &d, [&d](int row) {
    d.note->setText(qs(texts::kNoFormNote));
    d.note->setVisible(row == 0);
    d.refreshOk();
  });
  QObject::connect(d.parity, &QListWidget::currentRowChanged, &d, [&d] { d.refreshOk(); });
  QObject::connect(d.ok, &QPushButton::clicked, &d, [&d] {
    if (d.selectionUsable()) d.accept();
  });
  d.refreshOk();

  if (d.run() != QDialog::Accepted) return std::nullopt;
  PortChoice choice;
  const int portRow = d.ports->currentRow();
  if (!entries.empty() && portRow >= 0) choice.port = entries[static_cast<std::size_t>(portRow)];
  choice.speedRank = ranks[static_cast<std::size_t>(d.speeds->currentRow())];
  choice.parityIndex = d.parity->currentRow();
  return choice;
}

bool runCameraSpeedDialog(QWidget* mainWindow, const std::string& portText, const std::vector<link::SpeedChoice>& speeds,
                          const link::SettingsForm& current, const CameraSpeedChange& change) {
  SerialDialog d(mainWindow, texts::kCameraSpeedTitle, texts::kCameraSpeedChange);
  d.setObjectName(QStringLiteral("cameraSpeedDialog"));
  d.ports->addItem(qs(portText));
  d.ports->setCurrentRow(0);
  d.ports->setEnabled(false);

  std::vector<int> ranks;
  for (const auto& s : speeds) {
    d.speeds->addItem(qs(s.label));
    ranks.push_back(s.speedRank);
  }
  // A speed the model is not offered (the line may run faster than the camera can be set to)
  // selects nothing: the operator picks one.
  d.speeds->setCurrentRow(rowOfRank(ranks, link::speedRank(current.speedCode)));
  d.parity->setCurrentRow(link::parityIndex(current.speedCode));

  d.selectionUsable = [&] { return d.speeds->currentRow() >= 0 && d.parity->currentRow() >= 0; };
  QObject::connect(d.speeds, &QListWidget::currentRowChanged, &d, [&d] { d.refreshOk(); });
  QObject::connect(d.parity, &QListWidget::currentRowChanged, &d, [&d] { d.refreshOk(); });

  bool changed = false;
  QObject::connect(d.ok, &QPushButton::clicked, &d, [&] {
    if (!d.selectionUsable() || d.busy()) return;
    const int rank = ranks[static_cast<std::size_t>(d.speeds->currentRow())];
    const auto form = link::formForLinkCode(rank + 10 * d.parity->currentRow());
    if (!form) return;
    d.setBusy(true);
    const auto result = change(*form);
    d.setBusy(false);
    using Change = link::Negotiator::SpeedChange;
    if (result == Change::Changed) {
      changed = true;
      d.accept();
    } else if (result == Change::Failed) {
      d.reject();
    }
  });
  d.refreshOk();

  (void)d.run();
  return changed;
}

QPoint topRightPlacement(const QRect& mainFrame, bool maximised, const QRect& screen, QSize dialog) {
  const QRect& edge = maximised ? screen : mainFrame;
  return {edge.right() + 1 - dialog.width(), edge.top()};
}

void placeAtTopRight(QWidget& dialog, const QWidget* mainWindow) {
  if (mainWindow == nullptr) return;
  const QWidget* top = mainWindow->window();
  const QScreen* screen = top->screen();
  const QRect available = screen != nullptr ? screen->availableGeometry() : top->frameGeometry();
  dialog.move(topRightPlacement(top->frameGeometry(), top->isMaximized(), available, dialog.frameGeometry().size()));
}

}  // namespace orva::gui
