#include "wait_window.hpp"

#include <QCloseEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

#include "gui_texts.hpp"
#include "qt_text.hpp"

namespace orva::gui {
namespace {

}  // namespace

WaitWindow::WaitWindow(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("waitWindow"));
  setModal(false);
  firstLine_ = new QLabel(this);
  waitLine_ = new QLabel(qs(texts::kWaitLine), this);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 100);
  bar_->setValue(0);
  cancel_ = new QPushButton(qs(texts::kWaitCancel), this);
  cancel_->setAutoDefault(false);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(firstLine_);
  layout->addWidget(waitLine_);
  layout->addWidget(bar_);
  layout->addWidget(cancel_, 0, Qt::AlignRight);
  connect(cancel_, &QPushButton::clicked, this, &WaitWindow::cancelRequested);
}

void WaitWindow::showProgress(const QString& caption, const QString& firstLine, int percent) {
  setWindowTitle(caption);
  firstLine_->setText(firstLine);
  firstLine_->setVisible(!firstLine.isEmpty());
  if (percent < 0) {
    bar_->setRange(0, 0);
  } else {
    bar_->setRange(0, 100);
    bar_->setValue(std::min(100, percent) / kStep * kStep);
  }
  if (!isVisible()) {
    adjustSize();
    place();
    show();
  }
}

void WaitWindow::place() {
  QWidget* owner = parentWidget();
  if (owner == nullptr) return;
  QWidget* top = owner->window();
  if (top->isMaximized()) {
    if (QScreen* screen = top->screen()) move(screen->availableGeometry().topLeft());
    return;
  }
  int below = top->geometry().top();
  if (auto* main = qobject_cast<QMainWindow*>(top); main != nullptr && main->menuWidget() != nullptr)
    below += main->menuWidget()->height();
  move(top->frameGeometry().left(), below);
}

void WaitWindow::closeEvent(QCloseEvent* event) {
  // Closing the window is the operator's cancel; the run's end hides it.
  event->ignore();
  emit cancelRequested();
}

void WaitWindow::reject() { emit cancelRequested(); }

}  // namespace orva::gui
