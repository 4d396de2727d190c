#pragma once
// The wait window of a long run: a small modeless window with the run's caption, a first text
// line, "Wait for a while." and a progress bar from 0 to 100 in steps of 5, placed at the main
// window's left edge just below its menu bar. Its Cancel button (or closing it) asks the run
// to stop at its next step.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace orva::gui {

class WaitWindow final : public QDialog {
  Q_OBJECT

 public:
  explicit WaitWindow(QWidget* owner);

  // `percent` is rounded down to the bar's step; a negative one shows a busy bar.
  void showProgress(const QString& caption, const QString& firstLine, int percent);
  // At the owner's left edge, below its caption, frame and menu bar; at the top left of the
  // screen while the owner is maximised.
  void place();

  QLabel& firstLine() const { return *firstLine_; }
  QLabel& waitLine() const { return *waitLine_; }
  QProgressBar& bar() const { return *bar_; }
  QPushButton& cancelButton() const { return *cancel_; }

  static constexpr int kStep = 5;

 signals:
  void cancelRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  QLabel* firstLine_ = nullptr;
  QLabel* waitLine_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace orva::gui
