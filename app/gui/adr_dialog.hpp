#pragma once
// "Address MAP File -> ADR File Converter" behind File → "ADR Trans...": picks a linker
// address map, converts it into <name>.ADR beside it (eeprom::convertMapFile) and says how
// that went. It never touches the camera, so it may open while a run holds the line.
//
// The convert button stays disabled until a file was chosen once; a cancelled file dialog
// afterwards empties the chosen name but leaves the button enabled, and converting then says
// "Map File not Found.". The result line shows the ADR file written.
#include <QDialog>

#include <filesystem>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orva::core {
class Prompt;
}

namespace orva::gui {

class AdrDialog final : public QDialog {
  Q_OBJECT

 public:
  // File dialogs start in `folder`; messages go through `prompt`.
  AdrDialog(QWidget* mainWindow, core::Prompt& prompt, std::filesystem::path folder);

  // What the dialog holds now; for tests.
  void setMapFile(const std::filesystem::path& file);
  bool convertEnabled() const;
  QString resultText() const;
  void pressConvert();

 private:
  void chooseMap();

  core::Prompt& prompt_;
  std::filesystem::path folder_;
  std::filesystem::path map_;
  QLineEdit* mapEdit_ = nullptr;
  QPushButton* convert_ = nullptr;
  QLabel* result_ = nullptr;
};

// Runs the dialog modally at the main window's top right.
void runAdrDialog(QWidget* mainWindow, core::Prompt& prompt, const std::filesystem::path& folder);

}  // namespace orva::gui
