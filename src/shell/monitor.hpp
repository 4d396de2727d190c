#pragma once
// The communication monitor: what the PC sent (PC pane, left) beside what the camera sent
// (camera pane, right), kept line-aligned, with the cursor model that trims the oldest lines
// and steers the view, the status line, and the log file.
//
// Threads: the window thread, the AFP receive thread and the operation thread all append.
// One mutex guards the state. Every change is queued as an event under the lock and handed
// to the observers outside it, in the order the changes happened, by whichever thread finds
// no delivery running; the others only queue. So an observer may call back into the monitor
// (read a snapshot, append) from its callback, and is never called by two threads at once.
//
// Full panes: when a pane cuts an insertion short, the operator is asked whether to clear
// the monitor. The question is never asked under the lock and never twice at a time; while
// it is open, insertions into a full pane are cut without asking.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/error.hpp"
#include "core/monitor_sink.hpp"
#include "core/prompt.hpp"
#include "core/wall_clock.hpp"
#include "shell/cursor_model.hpp"
#include "shell/log_file.hpp"
#include "shell/pane.hpp"

namespace orva::shell {

enum class Side { Pc, Camera };

// What a view needs to mirror the panes exactly. Calls come on any appending thread, one at
// a time, outside the monitor's lock. A view keeps both panes scrolled to their ends after
// every change, as the newest traffic is what the operator reads.
// Callbacks must not throw: a delivery cut short would leave the other observers behind.
class MonitorObserver {
 public:
  virtual ~MonitorObserver() = default;
  virtual void appended(Side /*side*/, std::string_view /*text*/) noexcept {}
  virtual void firstLineDeleted(Side /*side*/) noexcept {}
  // Both panes emptied.
  virtual void cleared() noexcept {}
  // Cursor and view back to the top; the pane texts stay as they are.
  virtual void reset(const ViewState& /*view*/) noexcept {}
  virtual void statusLineChanged(std::string_view /*text*/) noexcept {}
  virtual void beep() noexcept {}
  // Also after a size change (with nothing to move) so that the view can set its scroll bars.
  virtual void viewMoved(const ViewMove& /*move*/, const ViewState& /*view*/) noexcept {}
};

struct MonitorSnapshot {
  std::string pc;
  std::string camera;
  std::string statusLine;
  int row = 0;
  int column = 0;
  ViewState view;
};

class Monitor final : public core::MonitorSink {
 public:
  // Geometry until the view reports its own: an 8 x 16 font in a 640 x 480 client area.
  static constexpr int kDefaultCharWidth = 8;
  static constexpr int kDefaultLineHeight = 16;
  static constexpr int kDefaultClientWidth = 640;
  static constexpr int kDefaultClientHeight = 480;

  // Log files named from the system's local time.
  Monitor();
  explicit Monitor(const core::WallClock& clock, std::size_t paneLimit = kPaneLimit);
  // Closes the log. Observers must have unsubscribed.
  ~Monitor() override;
  Monitor(const Monitor&) = delete;
  Monitor& operator=(const Monitor&) = delete;

  // The first `modelLength` bytes feed the cursor model. A NUL ends what the panes show.
  using core::MonitorSink::appendPc;
  void appendPc(std::string_view text, std::size_t modelLength) override;
  void appendCamera(std::string_view text) override;
  // Feeds the cursor model only; no pane changes.
  void appendModelOnly(std::string_view text);
  void writeLog(std::string_view text) override;
  void setStatusLine(std::string_view text) override;
  // The beep before a link fault report; the views sound it.
  void beep() override;

  core::EchoMode echoMode() const override { return echo_.load(); }
  void setEchoMode(core::EchoMode mode) override { echo_.store(mode); }
  bool typedInput() const override { return typed_.load(); }
  void setTypedInput(bool on) override { typed_.store(on); }

  // In the AFP variant a camera reply starts a new line of its own.
  void setAfpVariant(bool afp);
  // Asks the buffer-full question; none set answers Cancel. Must outlive its use here.
  void setPrompt(core::Prompt* prompt);

  // "Clear Screen": empties both panes, then reset().
  void clearScreen();
  // Cursor to the top left and the view to the top; the panes keep their text.
  void reset();

  // Routed from the main window.
  void setFontMetrics(int charWidth, int lineHeight);
  void resize(int clientWidth, int clientHeight);
  void scrollVertical(ScrollRequest request, int thumb);
  void scrollHorizontal(ScrollRequest request, int thumb);

  // Opens a new log in `folder`. On failure the monitor says where and why in one line and
  // `prompt` (if any) shows the error box; the panes go on showing the traffic.
  core::Result<std::filesystem::path> openLog(const std::filesystem::path& folder, core::Prompt* prompt);
  // A log at a path the operator named; appended to when it exists.
  core::Result<std::filesystem::path> openLogFile(const std::filesystem::path& path) { return log_.openFile(path); }
  void closeLog() { log_.close(); }
  bool logOpen() const { return log_.isOpen(); }
  std::filesystem::path logPath() const { return log_.path(); }

  MonitorSnapshot snapshot() const;
  // From now on `observer` hears of every change made after the returned snapshot.
  MonitorSnapshot subscribe(MonitorObserver& observer);
  // Once this returns, `observer` is not called again and may be destroyed. From inside one
  // of its own callbacks it returns at once.
  void unsubscribe(MonitorObserver& observer);

 private:
  struct Event {
    enum class Kind { Appended, FirstLineDeleted, Cleared, Reset, StatusLine, Beep, ViewMoved };
    Kind kind;
    Side side = Side::Pc;
    std::string text;
    ViewMove move;
    ViewState view;
    std::uint64_t seq = 0;
  };
  struct Subscriber {
    MonitorObserver* observer;
    std::uint64_t firstSeq;  // events queued before the subscription are in its snapshot
  };

  // Called with mutex_ held.
  void insert(Side side, std::string_view text);
  void insertBreaks(Side side, std::ptrdiff_t count);
  void feedModel(std::string_view bytes);
  void clearLocked();
  void resetLocked();
  void post(Event event);
  void postView(const ViewMove& move);
  MonitorSnapshot snapshotLocked() const;
  Pane& pane(Side side) { return side == Side::Pc ? pc_ : camera_; }
  std::ptrdiff_t lineDifference(Side ahead) const;

  // Ends every public change: delivers the queued events unless another call already does,
  // then asks the buffer-full question if one is due.
  void finish(std::unique_lock<std::mutex>& lock);
  void deliverQueued(std::unique_lock<std::mutex>& lock);
  static void dispatch(const Event& event, MonitorObserver& observer);
  const Subscriber* findSubscriber(const MonitorObserver* observer) const;

  mutable std::mutex mutex_;
  std::condition_variable callbackDone_;

  Pane pc_;
  Pane camera_;
  CursorModel cursor_;
  ViewGeometry view_;
  std::string statusLine_;
  bool afp_ = false;
  std::ptrdiff_t lastCameraLines_ = -1;  // camera line count at the previous camera append

  core::Prompt* prompt_ = nullptr;
  bool askPending_ = false;
  bool questionOpen_ = false;

  std::vector<Event> events_;
  std::uint64_t nextSeq_ = 0;
  std::uint64_t mergeFloor_ = 0;  // first event of the newest subscription
  std::vector<Subscriber> subscribers_;
  bool draining_ = false;
  std::thread::id drainer_;
  int waiting_ = 0;  // unsubscribers waiting for a callback to end

  // Used by the delivering thread only.
  std::vector<Event> batch_;
  std::vector<Subscriber> delivering_;
  const MonitorObserver* calling_ = nullptr;  // also read by unsubscribers, under the lock
  bool callingLeft_ = false;

  std::atomic<core::EchoMode> echo_{core::EchoMode::Shown};
  std::atomic<bool> typed_{false};

  core::SystemWallClock systemClock_;
  LogFile log_;
};

}  // namespace orva::shell
