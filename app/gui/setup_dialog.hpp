#pragma once
// "Camera Setup Utility" behind SETUP → "Camera Setup Utility": the four pages over the
// session's setup record, the dialog menu and WRITE / CLOSE. The record, its checks and the
// camera work are shell::SetupUtility's; this dialog shows the record, stores its controls
// back before a write, a save and a close, and shows the record again after anything that
// replaced it.
//
// A control whose value the operator did not change leaves its field as it was, so a value
// outside the control's range (from a file) still meets the WRITE check instead of being
// clipped quietly.
#include <QDialog>

#include <vector>

#include "eeprom/setup_record.hpp"
#include "shell/setup_utility.hpp"

class QAction;
class QCheckBox;
class QGridLayout;
class QSpinBox;
class QTabWidget;

namespace orva::shell {
class Session;
}

namespace orva::gui {

class SetupDialog final : public QDialog {
  Q_OBJECT

 public:
  SetupDialog(QWidget* parent, shell::SetupUtility& utility);

  // For tests: a menu entry by its text, a page control by its caption (its object name).
  QAction* menuAction(const QString& text) const;
  QWidget* control(const QString& caption) const;
  void pressWrite();
  // CLOSE, the menu's or the title bar's: block O, the page, the controls, then the utility.
  void done(int result) override;

 private:
  // A page control bound to a record field; a list's items carry the field values.
  struct Bound {
    QWidget* widget = nullptr;
    eeprom::SetupField field;
    bool word = false;
    int shown = 0;  // what refresh() put there, clipped to the control
  };
  QWidget* page(const char* caption);
  QSpinBox* spin(QGridLayout* grid, int row, int column, const QString& caption, eeprom::SetupField field, bool word,
            int minimum, int maximum);
  void list(QGridLayout* grid, int row, const char* caption, eeprom::SetupField field,
            std::vector<std::pair<const char*, int>> items);
  void refresh();
  void storeBack();
  void run(shell::SetupResult (shell::SetupUtility::*action)());
  int valueOf(const Bound& b) const;

  shell::SetupUtility& utility_;
  QTabWidget* tabs_ = nullptr;
  QCheckBox* confirm_ = nullptr;
  std::vector<Bound> bound_;
  std::vector<QAction*> actions_;
};

// Opens the utility (nothing happens when the camera is not of the series or the line is
// busy) and runs the dialog modally with the launcher disabled.
void runSetupDialog(QWidget* mainWindow, shell::Session& session, QWidget* launcher);

}  // namespace orva::gui
