#pragma once
// The zoom and focus shortcut keys (Q, Y, T, W, R) wherever the program has the keyboard,
// except where typing means text: a monitor pane (its characters go to the camera) and any
// text entry. A held drive is stopped when the program loses the keyboard.
#include <QObject>

#include <functional>

#include "shell/shortcut_keys.hpp"

namespace orva::gui {

class ShortcutFilter final : public QObject {
  Q_OBJECT

 public:
  // `typingWidget` tells whether a widget takes typed characters itself (the monitor panes).
  ShortcutFilter(shell::ShortcutKeys& keys, std::function<bool(const QWidget*)> typingWidget, QObject* parent = nullptr);
  ~ShortcutFilter() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  shell::ShortcutKeys& keys_;
  std::function<bool(const QWidget*)> typingWidget_;
};

}  // namespace orva::gui
