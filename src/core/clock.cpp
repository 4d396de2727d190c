#include "core/clock.hpp"

#include <thread>

namespace orva::core {

Clock::time_point SteadyClock::now() const { return std::chrono::steady_clock::now(); }

bool SteadyClock::sleepUntil(time_point until, std::stop_token stop) {
  std::mutex m;
  std::condition_variable_any cv;
  std::unique_lock lock(m);
  // Nothing notifies this condition variable: it wakes at `until` or on a stop request.
  cv.wait_until(lock, stop, until, [] { return false; });
  return !stop.stop_requested();
}

bool SteadyClock::waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                            time_point deadline, std::stop_token stop,
                            const std::function<bool()>& ready) {
  if (deadline == time_point::max()) return cv.wait(lock, stop, ready);
  return cv.wait_until(lock, stop, deadline, ready);
}

FakeClock::FakeClock(std::chrono::milliseconds realGrace)
    : start_(std::chrono::steady_clock::time_point{} + std::chrono::hours(1)),
      now_(start_),
      realGrace_(realGrace) {}

Clock::time_point FakeClock::now() const {
  std::lock_guard lock(mutex_);
  return now_;
}

void FakeClock::moveTo(time_point t) {
  std::lock_guard lock(mutex_);
  if (t > now_) now_ = t;
}

void FakeClock::advance(duration d) {
  std::lock_guard lock(mutex_);
  now_ += d;
}

Clock::duration FakeClock::elapsed() const {
  std::lock_guard lock(mutex_);
  return now_ - start_;
}

bool FakeClock::sleepUntil(time_point until, std::stop_token stop) {
  if (stop.stop_requested()) return false;
  moveTo(until);
  return true;
}

bool FakeClock::waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                          time_point deadline, std::stop_token stop,
                          const std::function<bool()>& ready) {
  if (ready()) return true;
  // A wait without a limit never moves time: it ends only when another thread delivers.
  if (deadline == time_point::max()) return cv.wait(lock, stop, ready);
  if (now() >= deadline) return false;
  auto realDeadline = std::chrono::steady_clock::now() + realGrace_;
  bool ok = cv.wait_until(lock, stop, realDeadline, ready);
  if (!ok && !stop.stop_requested()) moveTo(deadline);
  return ok;
}

}  // namespace orva::core
