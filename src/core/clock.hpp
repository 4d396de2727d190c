#pragma once
// Monotonic time for every fixed wait and time limit in ORVA.
//
// Code that waits never calls std::this_thread or a condition variable's own timed wait
// directly: it asks a Clock, so tests can run the same code on virtual time and never sleep
// for seconds. Every wait is cancellable through a std::stop_token.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>

namespace orva::core {

class Clock {
 public:
  using duration = std::chrono::steady_clock::duration;
  using time_point = std::chrono::steady_clock::time_point;

  virtual ~Clock() = default;

  virtual time_point now() const = 0;

  // Blocks until `until` has passed. Returns false when `stop` was requested first.
  virtual bool sleepUntil(time_point until, std::stop_token stop = {}) = 0;
  bool sleepFor(duration d, std::stop_token stop = {}) { return sleepUntil(now() + d, std::move(stop)); }

  // Waits on `cv` (with `lock` held on entry and exit) until `ready()` is true, the deadline
  // passes or `stop` is requested. time_point::max() waits without a limit. Returns ready() as last seen. Whoever makes ready() true
  // must notify `cv` while or after changing the state under the same mutex.
  virtual bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                         time_point deadline, std::stop_token stop,
                         const std::function<bool()>& ready) = 0;
};

// The real monotonic clock.
class SteadyClock final : public Clock {
 public:
  time_point now() const override;
  bool sleepUntil(time_point until, std::stop_token stop = {}) override;
  bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                 time_point deadline, std::stop_token stop,
                 const std::function<bool()>& ready) override;
};

// Virtual time for tests. Time moves only forward and only when a sleeper or a timed-out
// waiter reaches its deadline, or when the test calls advance(). A sleep returns at once with
// the clock moved to its end; a wait whose condition is not met returns after a short real
// grace period (so another thread can still deliver) with the clock moved to its deadline.
class FakeClock final : public Clock {
 public:
  explicit FakeClock(std::chrono::milliseconds realGrace = std::chrono::milliseconds(1000));

  time_point now() const override;
  bool sleepUntil(time_point until, std::stop_token stop = {}) override;
  bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                 time_point deadline, std::stop_token stop,
                 const std::function<bool()>& ready) override;

  void advance(duration d);
  // Total virtual time slept or waited out since construction (what a test asserts on
  // instead of wall-clock time).
  duration elapsed() const;

 private:
  void moveTo(time_point t);

  mutable std::mutex mutex_;
  time_point start_;
  time_point now_;
  std::chrono::milliseconds realGrace_;
};

}  // namespace orva::core
