#pragma once
// The CONTROL launcher: the tool window beside the main window with the connection indicator,
// the "Connect" box, the MODEL, AE MODE, FORMAT and port fields, a button per camera function,
// the two preset groups and "EXIT".
//
// It shows what it is told (camera::LauncherState and the fields) and reports what the
// operator did; the session decides. The "Connect" box is controlled the same way: a click
// asks, and the answer sets the box.
#include <QWidget>

#include <array>
#include <functional>
#include <string>

#include "camera/gating.hpp"
#include "camera/identification.hpp"

class QCheckBox;
class QLineEdit;
class QGridLayout;
class QPushButton;
class QGroupBox;
class QTimer;

namespace orva::gui {

// The four-state connection picture, drawn in code.
class ConnectionIndicator final : public QWidget {
  Q_OBJECT

 public:
  enum class State { Idle, Connecting, Connected, Failed };
  explicit ConnectionIndicator(QWidget* parent = nullptr);
  void setState(State state);
  State state() const { return state_; }
  QSize sizeHint() const override { return {150, 150}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  State state_ = State::Idle;
};

class LauncherWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit LauncherWindow(QWidget* owner);

  // Shows the buttons' states and captions, the fields and the port field.
  void present(const camera::LauncherState& state, const camera::LauncherFields& fields, const std::string& portField);
  void setConnectChecked(bool checked);
  bool connectChecked() const;
  void setConnectEnabled(bool enabled);
  // While a panel is open: no control of the launcher takes input (its states are kept).
  void setBlocked(bool blocked);
  bool blocked() const;
  ConnectionIndicator& indicator() const { return *indicator_; }
  // Failed for half a second, then idle.
  void showFailed();

  QPushButton* button(camera::LauncherItem item) const { return buttons_[static_cast<std::size_t>(item)]; }

  // Next to the main window's top right corner, as the panels are.
  void placeBeside(const QWidget& mainWindow);

 signals:
  // The operator clicked "Connect"; `checked` is what the box would become.
  void connectClicked(bool checked);
  void itemClicked(camera::LauncherItem item);
  void exitClicked();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void relayout(const camera::LauncherState& state);

  QWidget* body_ = nullptr;
  ConnectionIndicator* indicator_ = nullptr;
  QCheckBox* connect_ = nullptr;
  QLineEdit* model_ = nullptr;
  QLineEdit* aeMode_ = nullptr;
  QLineEdit* format_ = nullptr;
  QLineEdit* port_ = nullptr;
  QGridLayout* grid_ = nullptr;
  QGroupBox* presets_ = nullptr;
  std::array<QPushButton*, camera::kLauncherItemCount> buttons_{};
  QTimer* failed_ = nullptr;
};

}  // namespace orva::gui
