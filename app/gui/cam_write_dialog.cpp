#include "cam_write_dialog.hpp"

#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/prompt.hpp"
#include "eeprom/command_file.hpp"
#include "gui_texts.hpp"
#include "port_dialog.hpp"
#include "qt_text.hpp"

namespace orva::gui {
namespace {

// File dialog rows: MEM files to open, CFG files to open.
constexpr int kMemOpenMode = 1;
constexpr int kCfgOpenMode = 3;

}  // namespace

CamWriteDialog::CamWriteDialog(QWidget* mainWindow, core::Prompt& prompt, std::filesystem::path folder, Start start,
                               core::MonitorSink* monitor)
    : QDialog(mainWindow), prompt_(prompt), folder_(std::move(folder)), start_(std::move(start)), monitor_(monitor) {
  setObjectName(QStringLiteral("camWriteDialog"));
  setWindowTitle(qs(eeprom::kCamWriteTitle));
  auto* column = new QVBoxLayout(this);

  auto fileGroup = [this, column](std::string_view caption, QLineEdit*& edit, const char* name) {
    auto* group = new QGroupBox(qs(caption), this);
    auto* row = new QHBoxLayout(group);
    edit = new QLineEdit(group);
    edit->setReadOnly(true);
    edit->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 32);
    auto* select = new QPushButton(qs(texts::kFileSelect), group);
    select->setObjectName(QString::fromLatin1(name));
    select->setAutoDefault(false);
    row->addWidget(edit, 1);
    row->addWidget(select);
    column->addWidget(group);
    return select;
  };
  QPushButton* imageSelect = fileGroup(texts::kReadFileGroup, imageEdit_, "imageSelect");
  adjustmentSelect_ = fileGroup(texts::kAdjustmentFileGroup, adjustmentEdit_, "adjustmentSelect");
  connect(imageSelect, &QPushButton::clicked, this, &CamWriteDialog::chooseImage);
  connect(adjustmentSelect_, &QPushButton::clicked, this, &CamWriteDialog::chooseAdjustment);

  auto* method = new QGroupBox(qs(texts::kWriteMethodGroup), this);
  auto* methods = new QHBoxLayout(method);
  allData_ = new QRadioButton(qs(texts::kAllData), method);
  exceptAdjustment_ = new QRadioButton(qs(texts::kExceptAdjustment), method);
  allData_->setChecked(true);
  methods->addWidget(allData_);
  methods->addWidget(exceptAdjustment_);
  column->addWidget(method);
  connect(allData_, &QRadioButton::toggled, this, &CamWriteDialog::update);

  auto* buttons = new QHBoxLayout;
  start_Button_ = new QPushButton(qs(texts::kStart), this);
  start_Button_->setObjectName(QStringLiteral("start"));
  auto* close = new QPushButton(qs(texts::kCloseButton), this);
  close->setAutoDefault(false);
  buttons->addStretch(1);
  buttons->addWidget(start_Button_);
  buttons->addWidget(close);
  column->addLayout(buttons);
  connect(start_Button_, &QPushButton::clicked, this, &CamWriteDialog::pressStart);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  update();
  adjustSize();
  placeAtTopRight(*this, mainWindow);
}

void CamWriteDialog::setImageFile(const std::filesystem::path& file) {
  image_ = file;
  imageEdit_->setText(QFile::decodeName(file.c_str()));
  update();
}

bool CamWriteDialog::setAdjustmentFile(const std::filesystem::path& file) {
  auto list = eeprom::readAdjustmentFile(file);
  if (!list) {
    // The list stays as it was: a half-read file would overwrite adjustment data.
    prompt_.message(list.message(), texts::kAdjustmentFileRefusedTitle);
    return false;
  }
  adjustment_ = std::move(*list);
  adjustmentEdit_->setText(QFile::decodeName(file.c_str()));
  update();
  return true;
}

void CamWriteDialog::setExceptAdjustment(bool except) {
  (except ? exceptAdjustment_ : allData_)->setChecked(true);
  update();
}

bool CamWriteDialog::startEnabled() const { return start_Button_->isEnabled(); }

std::optional<std::filesystem::path> CamWriteDialog::choose(int mode) {
  auto file = prompt_.chooseFile(eeprom::fileChoice(mode, folder_));
  if (file && monitor_ != nullptr) eeprom::echoFileChoice(*monitor_, *file);
  return file;
}

void CamWriteDialog::chooseImage() {
  if (auto file = choose(kMemOpenMode)) setImageFile(*file);
}

void CamWriteDialog::chooseAdjustment() {
  if (auto file = choose(kCfgOpenMode)) (void)setAdjustmentFile(*file);
}

void CamWriteDialog::update() {
  const bool except = exceptAdjustment_->isChecked();
  adjustmentSelect_->setEnabled(except);
  adjustmentEdit_->setEnabled(except);
  start_Button_->setEnabled(image_.has_value() && (!except || adjustment_.has_value()));
}

void CamWriteDialog::pressStart() {
  if (!startEnabled()) return;
  const bool except = exceptAdjustment_->isChecked();
  start_(*image_, except ? eeprom::WriteMethod::ExceptAdjustment : eeprom::WriteMethod::AllData,
         except ? *adjustment_ : eeprom::AdjustmentAddresses{});
  accept();
}

}  // namespace orva::gui
