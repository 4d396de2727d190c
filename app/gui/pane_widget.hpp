#pragma once
// One pane of the communication monitor on the screen: draws its PaneMirror in the monitor's
// fixed font and colours, lets the operator select text with the left button and copy it with
// the one item of its context menu, and turns typed characters into bytes for the camera.
// Editing and caret keys do nothing: the pane shows the line, it is not an editor.
#include <QWidget>

#include <functional>

#include "pane_mirror.hpp"

class QMenu;

namespace orva::gui {

class PaneWidget final : public QWidget {
  Q_OBJECT

 public:
  explicit PaneWidget(QWidget* parent = nullptr);

  PaneMirror& mirror() { return mirror_; }
  const PaneMirror& mirror() const { return mirror_; }

  void setColours(const QColor& text, const QColor& back);
  // Whole lines and columns that fit, as the text control counts them.
  int visibleRows() const;
  int visibleColumns() const;
  void scrollToEnd();

  // The selection, or the whole pane when nothing is selected, as plain text.
  QString copyText() const;
  void copyToClipboard();
  // The context menu as it opens at a right click; tests choose from it.
  QMenu* contextMenu() const { return contextMenu_; }

  int paintCount() const { return paints_; }

 signals:
  // A key that produces a character, as the one byte it stands for.
  void typed(char byte);
  void focusGained();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  PaneMirror::Spot spotAt(const QPoint& pos) const;
  int charWidth() const;
  int lineHeight() const;

  PaneMirror mirror_;
  QMenu* contextMenu_ = nullptr;
  bool selecting_ = false;
  int paints_ = 0;
};

}  // namespace orva::gui
