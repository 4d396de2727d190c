#pragma once
// "CAM EEPROM Data Write": writes an EEPROM image file into the camera whole ("All Data") or
// without the camera's own adjustment data ("Except ADJ. Data", whose addresses come from an
// adjustment-address file). "START" hands the write to the session's run thread and the
// dialog closes; the run asks for confirmation and shows its progress in the wait window.
#include <QDialog>

#include <filesystem>
#include <optional>

#include "eeprom/adjustment.hpp"
#include "eeprom/write_back.hpp"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orva::core {
class MonitorSink;
class Prompt;
}

namespace orva::gui {

class CamWriteDialog final : public QDialog {
  Q_OBJECT

 public:
  // `start` runs the write; the dialog closes after it was called.
  using Start = std::function<void(const std::filesystem::path&, eeprom::WriteMethod, eeprom::AdjustmentAddresses)>;
  // A file chosen is named in `monitor` (and its log) when one is given.
  CamWriteDialog(QWidget* mainWindow, core::Prompt& prompt, std::filesystem::path folder, Start start,
                 core::MonitorSink* monitor = nullptr);

  // What the dialog holds now; for tests, and for a caller that chooses files itself.
  void setImageFile(const std::filesystem::path& file);
  bool setAdjustmentFile(const std::filesystem::path& file);
  void setExceptAdjustment(bool except);
  bool startEnabled() const;
  void pressStart();

 private:
  std::optional<std::filesystem::path> choose(int mode);
  void chooseImage();
  void chooseAdjustment();
  void update();

  core::Prompt& prompt_;
  std::filesystem::path folder_;
  Start start_;
  core::MonitorSink* monitor_;
  std::optional<std::filesystem::path> image_;
  std::optional<eeprom::AdjustmentAddresses> adjustment_;
  QLineEdit* imageEdit_ = nullptr;
  QLineEdit* adjustmentEdit_ = nullptr;
  QPushButton* adjustmentSelect_ = nullptr;
  QRadioButton* allData_ = nullptr;
  QRadioButton* exceptAdjustment_ = nullptr;
  QPushButton* start_Button_ = nullptr;
};

}  // namespace orva::gui
