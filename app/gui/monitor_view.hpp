#pragma once
// The communication monitor as the main window's client area: the two header labels, the PC
// pane (left) and the camera pane (right) in an 80-column layout, and the window's scroll bars.
//
// Threads: the monitor tells its observers on whichever thread appended. Those calls only
// queue the change here and, once per batch, post a wake-up to the window thread, which applies
// what has queued and repaints at most every kRepaintInterval: a fast line costs a few repaints
// a second, not one per byte. Everything else runs on the window thread.
//
// Scrolling and size changes go to the monitor, whose ViewGeometry decides; the view only
// mirrors the moves it reports. After every change both panes bring their last character
// into view, so the newest traffic is what the operator sees.
#include <QColor>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "shell/monitor.hpp"

class QLabel;
class QScrollBar;

namespace orva::gui {

class PaneWidget;

class MonitorView final : public QWidget, public shell::MonitorObserver {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds kRepaintInterval{30};

  struct Colours {
    QColor text = Qt::black;
    QColor back = Qt::white;
  };

  MonitorView(shell::Monitor& monitor, const Colours& colours, QWidget* parent = nullptr);
  ~MonitorView() override;
  MonitorView(const MonitorView&) = delete;
  MonitorView& operator=(const MonitorView&) = delete;

  PaneWidget& pane(shell::Side side) const { return *panes_[index(side)]; }
  QLabel& header(shell::Side side) const { return *headers_[index(side)]; }
  QScrollBar& verticalBar() const { return *vbar_; }
  QScrollBar& horizontalBar() const { return *hbar_; }
  QWidget& clientArea() const { return *canvas_; }
  const QString& statusLine() const { return statusLine_; }

  // 80 columns and 25 lines of traffic.
  QSize sizeHint() const override;

  // Applies every change reported so far. Window thread only.
  void flushNow();
  // How many batches were applied, for tests of the coalescing.
  int flushCount() const { return flushes_; }

  // shell::MonitorObserver, called on any thread.
  void appended(shell::Side side, std::string_view text) noexcept override;
  void firstLineDeleted(shell::Side side) noexcept override;
  void cleared() noexcept override;
  void reset(const shell::ViewState& view) noexcept override;
  void statusLineChanged(std::string_view text) noexcept override;
  void beep() noexcept override;
  void viewMoved(const shell::ViewMove& move, const shell::ViewState& view) noexcept override;

 signals:
  // A character typed into either pane, for the camera.
  void typed(char byte);
  void statusLineShown(const QString& text);
  void flushed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  struct Change {
    enum class Kind { Appended, FirstLineDeleted, Cleared, Reset, StatusLine, Beep, ViewMoved };
    Kind kind;
    shell::Side side = shell::Side::Pc;
    std::string text;
    shell::ViewMove move;
    shell::ViewState view;
  };
  static std::size_t index(shell::Side side) { return side == shell::Side::Pc ? 0 : 1; }

  void post(Change change) noexcept;
  void wake();
  void apply(const Change& change, bool& beep);
  void showView(const shell::ViewState& view);
  void layOut();
  void bothToEnd();
  void scrollAction(bool vertical, int action);
  void clientResized();

  shell::Monitor& monitor_;
  int charWidth_ = 1;
  int lineHeight_ = 1;
  shell::ViewState view_;

  QWidget* canvas_ = nullptr;
  QScrollBar* vbar_ = nullptr;
  QScrollBar* hbar_ = nullptr;
  std::array<QLabel*, 2> headers_{};
  std::array<PaneWidget*, 2> panes_{};
  QString statusLine_;
  int wheelRest_ = 0;

  // Filled by the appending threads, emptied by the window thread.
  std::mutex pendingMutex_;
  std::vector<Change> pending_;
  bool wakePosted_ = false;

  QTimer repaintTimer_;
  QElapsedTimer sinceFlush_;
  int flushes_ = 0;
};

}  // namespace orva::gui
