#pragma once
// The one operation slot of the program, and the arbiter of the serial line.
//
// At most one long operation (a preset run, go to zoom, an EEPROM preset store, a status
// listener) runs at a time, on the runner's own thread. Every entry that touches the camera
// asks the runner first: the launcher and the panel starters before they begin, runs on
// threads of their own by holding a Claim for as long as they last. A request while the slot
// is taken is refused silently: start() returns false, nothing is written, nothing runs.
//
// An operation's life: the start heading pair goes to the monitor before its thread exists;
// the body sends its command and waits for the camera; exactly one result line pair follows
// ("-- <name> END --", "-- Time over Error !! --" or "-- Error !! --"); after a successful
// end the refresh reads back what the operation may have changed, still on the operation
// thread and holding the slot, and the panel update it returns is posted to the window
// thread, where it is dropped if the panel has closed meanwhile. Closing a panel does not wait
// for its operation.
//
// Stopping is cooperative: the body gets the thread's stop_token and waits through the
// Clock with it (pollUntilDone). A stopped operation writes no result line. The destructor
// stops and joins. An abort is not a stop: the body learns of it when it asks
// (OperationRun::takeAbort), does what aborting means for it (braking the lens, say) and
// keeps waiting for the camera until it decides to end. A body that takes only the
// stop_token still fits: an OperationRun converts.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <utility>

#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "panels/dispatch.hpp"

namespace orva::panels {

enum class Outcome : std::uint8_t {
  Done,      // "-- <name> END --", then the refresh
  TimeOver,  // the time limit passed: "-- Time over Error !! --"
  Error,     // the camera reported an error: "-- Error !! --"
  Silent,    // nothing to do: ends without a result line
  Stopped,   // a stop was requested: ends without a result line
};

// What the refresh hands back for the window thread; empty when nothing is to be shown.
using PanelUpdate = std::function<void()>;

// What a body sees of its own run, on the operation thread.
class OperationRun {
 public:
  OperationRun(std::stop_token stop, std::atomic<bool>& abort, Dispatcher& dispatcher, PanelToken panel)
      : stop_(std::move(stop)), abort_(&abort), dispatcher_(&dispatcher), panel_(std::move(panel)) {}

  const std::stop_token& stop() const { return stop_; }
  // For bodies that only need to stop.
  operator std::stop_token() const { return stop_; }  // NOLINT: implicit by design

  // True once for each abort asked of the run since the body last took one; presses that
  // come before the body asks count as one.
  bool takeAbort() const { return abort_->exchange(false); }

  // Shows `update` on the window thread while the run goes on; dropped there if the panel
  // that started the run has closed by then.
  void report(PanelUpdate update) const { postToPanel(*dispatcher_, panel_, std::move(update)); }

 private:
  std::stop_token stop_;
  std::atomic<bool>* abort_;
  Dispatcher* dispatcher_;
  PanelToken panel_;
};

struct Operation {
  std::string heading = {};  // the start heading's text, e.g. "Goto ZOOM Start !!"; none when empty
  std::string name = {};     // the success line's name, e.g. "Goto ZOOM"
  std::function<Outcome(const OperationRun&)> body = {};
  // Runs on the operation thread after Done while the panel is open; may read the camera.
  std::function<PanelUpdate(std::stop_token)> refresh = {};
  PanelToken panel = {};  // the panel the refresh serves
  // Posted to the window thread once the run has ended and the slot is free, whatever the
  // outcome, and whether or not the panel is still open: what the starter holds for the run's
  // whole life (the launcher's runs keep the menus busy) is let go here.
  std::function<void()> ended = {};
};

class OperationRunner {
 public:
  OperationRunner(core::MonitorSink& monitor, Dispatcher& dispatcher) : monitor_(monitor), dispatcher_(dispatcher) {}
  ~OperationRunner();
  OperationRunner(const OperationRunner&) = delete;
  OperationRunner& operator=(const OperationRunner&) = delete;

  // True while an operation runs or a claim is held. Any thread may ask.
  bool busy() const;

  // Writes the start heading and runs the operation on the runner's thread; false, and
  // nothing written, while the slot is taken.
  bool start(Operation op);

  // The slot held by a run that has a thread of its own (or runs on the caller's). Released
  // when the Claim goes, which must be before the runner goes.
  class Claim {
   public:
    Claim(Claim&& other) noexcept : runner_(std::exchange(other.runner_, nullptr)) {}
    Claim& operator=(Claim&&) = delete;
    Claim(const Claim&) = delete;
    ~Claim();

   private:
    friend class OperationRunner;
    explicit Claim(OperationRunner& runner) : runner_(&runner) {}
    OperationRunner* runner_;
  };
  // The slot for the caller; none while it is taken.
  std::optional<Claim> claim();

  // Asks the running operation to stop; it ends at its next wait.
  void requestStop();
  // Asks the running operation to abort; the body decides what that means and when to end.
  // Nothing happens while no operation runs; claims are not asked.
  void requestAbort();
  // Blocks until the slot is free and the operation thread has ended. Not from a task the
  // runner's operation waits for, nor while holding a Claim.
  void waitIdle();
  // As waitIdle(), but gives up once `limit` has passed on `clock`; returns whether the slot
  // became free in time.
  bool waitIdle(core::Clock& clock, core::Clock::duration limit);

 private:
  void run(std::stop_token stop, Operation op);
  void joinIfIdle();
  void finished();

  core::MonitorSink& monitor_;
  Dispatcher& dispatcher_;
  mutable std::mutex mutex_;  // guards running_ and claimed_, and setting abort_
  std::condition_variable_any idle_;
  bool running_ = false;
  bool claimed_ = false;
  std::atomic<bool> abort_{false};  // the running operation's pending abort
  std::mutex threadMutex_;  // guards thread_: start, stop, join and the destructor meet there
  std::jthread thread_;
};

// Time limits of the operations that wait for the camera's completion.
inline constexpr std::chrono::milliseconds kCompletionLimit{20000};
// How long a poll sleeps before it asks the camera again.
inline constexpr std::chrono::milliseconds kPollSlice{10};

// Asks `check` until it gives an outcome, then returns it; TimeOver once `limit` has passed
// with the camera still busy, Stopped when a stop is requested. Sleeps `slice` between asks,
// through the clock, so it neither spins nor outwaits a stop.
Outcome pollUntilDone(core::Clock& clock, std::stop_token stop, core::Clock::duration limit,
                      const std::function<std::optional<Outcome>()>& check,
                      core::Clock::duration slice = kPollSlice);

}  // namespace orva::panels
