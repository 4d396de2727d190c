#include "shortcut_filter.hpp"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace orva::gui {
namespace {

bool isShortcut(int key) { return key == Qt::Key_Q || key == Qt::Key_Y || key == Qt::Key_T || key == Qt::Key_W || key == Qt::Key_R; }

bool editsText(const QWidget* w) {
  if (qobject_cast<const QLineEdit*>(w) != nullptr || qobject_cast<const QAbstractSpinBox*>(w) != nullptr ||
      qobject_cast<const QTextEdit*>(w) != nullptr || qobject_cast<const QPlainTextEdit*>(w) != nullptr)
    return true;
  const auto* combo = qobject_cast<const QComboBox*>(w);
  return combo != nullptr && combo->isEditable();
}

}  // namespace

ShortcutFilter::ShortcutFilter(shell::ShortcutKeys& keys, std::function<bool(const QWidget*)> keysAct, QObject* parent)
    : QObject(parent), keys_(keys), keysAct_(std::move(keysAct)) {
  qApp->installEventFilter(this);
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state != Qt::ApplicationActive) keys_.releaseAll();
  });
}

ShortcutFilter::~ShortcutFilter() { qApp->removeEventFilter(this); }

bool ShortcutFilter::eventFilter(QObject* watched, QEvent* event) {
  const bool press = event->type() == QEvent::KeyPress;
  if (!press && event->type() != QEvent::KeyRelease) return QObject::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (!isShortcut(key->key()) || key->modifiers() != Qt::NoModifier) return QObject::eventFilter(watched, event);
  // Key events go to the widget with the keyboard first.
  const QWidget* target = watched->isWidgetType() ? static_cast<const QWidget*>(watched) : QApplication::focusWidget();
  const int code = 'A' + (key->key() - Qt::Key_A);
  const bool acts = target != nullptr && keysAct_(target) && !editsText(target);
  // The release of the drive held is always taken, so that it stops even if the focus moved
  // meanwhile (to a question that opened, say).
  if (!acts && (press || keys_.heldKey() != code)) return QObject::eventFilter(watched, event);
  if (press) keys_.keyDown(code, key->isAutoRepeat());
  else keys_.keyUp(code, key->isAutoRepeat());
  // Taken here: the same key event would otherwise come by again for each parent it reaches.
  return true;
}

}  // namespace orva::gui
