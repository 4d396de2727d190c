#include "adr_dialog.hpp"

#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/prompt.hpp"
#include "eeprom/adr_convert.hpp"
#include "eeprom/command_file.hpp"
#include "port_dialog.hpp"
#include "qt_text.hpp"

namespace orva::gui {

AdrDialog::AdrDialog(QWidget* mainWindow, core::Prompt& prompt, std::filesystem::path folder)
    : QDialog(mainWindow), prompt_(prompt), folder_(std::move(folder)) {
  using namespace eeprom::adr_texts;
  setObjectName(QStringLiteral("adrDialog"));
  setWindowTitle(qs(kDialogTitle));
  auto* column = new QVBoxLayout(this);

  auto* group = new QGroupBox(qs(kMapGroup), this);
  auto* row = new QHBoxLayout(group);
  mapEdit_ = new QLineEdit(group);
  mapEdit_->setObjectName(QStringLiteral("mapFile"));
  mapEdit_->setReadOnly(true);
  mapEdit_->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 32);
  auto* select = new QPushButton(qs(kFileSelect), group);
  select->setObjectName(QStringLiteral("mapSelect"));
  select->setAutoDefault(false);
  row->addWidget(mapEdit_, 1);
  row->addWidget(select);
  column->addWidget(group);
  connect(select, &QPushButton::clicked, this, &AdrDialog::chooseMap);

  convert_ = new QPushButton(qs(kConvert), this);
  convert_->setObjectName(QStringLiteral("convert"));
  convert_->setEnabled(false);
  column->addWidget(convert_);
  connect(convert_, &QPushButton::clicked, this, &AdrDialog::pressConvert);

  result_ = new QLabel(this);
  result_->setObjectName(QStringLiteral("result"));
  result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  column->addWidget(result_);

  auto* buttons = new QHBoxLayout;
  auto* close = new QPushButton(qs(kClose), this);
  close->setAutoDefault(false);
  buttons->addStretch(1);
  buttons->addWidget(close);
  column->addLayout(buttons);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  adjustSize();
  placeAtTopRight(*this, mainWindow);
}

void AdrDialog::setMapFile(const std::filesystem::path& file) {
  map_ = file;
  mapEdit_->setText(QFile::decodeName(file.c_str()));
  if (!file.empty()) convert_->setEnabled(true);
}

bool AdrDialog::convertEnabled() const { return convert_->isEnabled(); }

QString AdrDialog::resultText() const { return result_->text(); }

void AdrDialog::chooseMap() {
  const auto start = map_.empty() ? folder_ : map_;
  setMapFile(prompt_.chooseFile(eeprom::fileChoice(eeprom::kMapFileDialogMode, start)).value_or(std::filesystem::path()));
}

void AdrDialog::pressConvert() {
  if (!convertEnabled()) return;
  const eeprom::AdrConversion done = eeprom::convertMapFile(map_);
  if (done.converted()) {
    result_->setText(QFile::decodeName(done.adrPath.c_str()));
    prompt_.message(done.message(), done.title(), core::Icon::Information);
  } else {
    prompt_.message(done.message(), done.title(), core::Icon::Exclamation);
  }
}

void runAdrDialog(QWidget* mainWindow, core::Prompt& prompt, const std::filesystem::path& folder) {
  AdrDialog dialog(mainWindow, prompt, folder);
  dialog.exec();
}

}  // namespace orva::gui
