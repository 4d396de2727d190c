#pragma once
// "Camera Condition": the tool window beside the main window that shows what the last
// "CONDITION" readout found (panels::ConditionView) in read-only fields and radio buttons.
//
// The radio buttons and "Digi." only display: they take neither clicks nor the keyboard
// focus, and look like any enabled button until the readout or a disconnect disables them.
// "CONDITION" is reported as conditionClicked(); the readout itself is the caller's. The
// window lives as long as the main window: its frame's close does nothing.
#include <QGroupBox>
#include <QWidget>

#include <optional>

#include "camera/model_record.hpp"
#include "panels/camera_condition.hpp"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orva::gui {

// A group box whose caption can be greyed while its controls stay enabled, as the
// "Digital Slow Shutter" caption is on some models.
class CaptionBox final : public QGroupBox {
  Q_OBJECT

 public:
  CaptionBox(const QString& caption, QWidget* parent);
  void setCaptionEnabled(bool enabled);
  bool captionEnabled() const { return captionEnabled_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool captionEnabled_ = true;
};

class ConditionWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit ConditionWindow(QWidget* owner);

  using QWidget::show;
  // Shows a readout's result: nothing for Ignored, every control disabled for PortClosed,
  // else the enabled controls of the layout and the values read (others keep theirs).
  void show(const panels::ConditionView& view);
  // Connect: "CONDITION" enabled, the CCD DRIVE MODE group shown (disabled) for models with
  // menu word bit 2 and hidden for the others. Disconnect: every control disabled.
  void setConnected(bool connected, const camera::ModelRecord& record);
  // At the top of the main window, its right edge kConditionRightGap pixels left of the main
  // window's (panels::conditionWindowPosition says where when that would hide the monitor).
  void placeBeside(const QWidget& mainWindow, const QWidget* launcher);

  QPushButton& conditionButton() const { return *condition_; }

 signals:
  void conditionClicked();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Pair {
    CaptionBox* box = nullptr;
    QRadioButton* first = nullptr;
    QRadioButton* second = nullptr;
    void setEnabled(bool enabled) const;
    // Checks the second button for true, the first for false; nothing for none.
    void check(std::optional<bool> second) const;
  };

  Pair pair(const QString& caption, std::string_view first, std::string_view second, const char* name);
  QLineEdit* field(const char* name, const QString& widest);
  void disableAll();
  void applyLayout(const panels::ConditionLayout& layout);

  CaptionBox* zoomBox_ = nullptr;
  QLineEdit* magnification_ = nullptr;
  QLabel* times_ = nullptr;
  QCheckBox* digital_ = nullptr;
  Pair focus_, dss_, irCut_, wdr_, reverse_, freeze_, protocol_, ccdDrive_;
  QLabel* shutterLabel_ = nullptr;
  QLineEdit* shutter_ = nullptr;
  QLabel* seconds_ = nullptr;
  CaptionBox* agcBox_ = nullptr;
  QLineEdit* agc_ = nullptr;
  QLabel* decibels_ = nullptr;
  CaptionBox* exposureBox_ = nullptr;
  QLabel* fValueLabel_ = nullptr;
  QLineEdit* fValue_ = nullptr;
  QPushButton* condition_ = nullptr;
};

}  // namespace orva::gui
