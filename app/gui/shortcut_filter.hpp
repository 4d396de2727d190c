#pragma once
// The zoom and focus shortcut keys (Q, Y, T, W, R) in the windows the operator works the
// camera from (the main window, the launcher, a panel), except where typing means text: a
// monitor pane (its characters go to the camera) and any text entry. In a message box, a
// question or a file dialog the letters are that window's own (Y answers Yes). A held drive
// is stopped when the program loses the keyboard, and by the key's release wherever it comes.
#include <QObject>

#include <functional>

#include "shell/shortcut_keys.hpp"

namespace orva::gui {

class ShortcutFilter final : public QObject {
  Q_OBJECT

 public:
  // `keysAct` tells whether the keys drive the lens for a key sent to a widget: false in a
  // window other than those above and in a widget that takes typed characters itself.
  ShortcutFilter(shell::ShortcutKeys& keys, std::function<bool(const QWidget*)> keysAct, QObject* parent = nullptr);
  ~ShortcutFilter() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  shell::ShortcutKeys& keys_;
  std::function<bool(const QWidget*)> keysAct_;
};

}  // namespace orva::gui
