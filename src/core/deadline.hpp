#pragma once
// A point in monotonic time after which an operation gives up.
#include <algorithm>
#include <chrono>

#include "core/clock.hpp"

namespace orva::core {

class Deadline {
 public:
  Deadline(const Clock& clock, Clock::duration limit) : clock_(&clock), at_(clock.now() + limit) {}
  Deadline(const Clock& clock, Clock::time_point at) : clock_(&clock), at_(at) {}

  Clock::time_point at() const { return at_; }
  bool expired() const { return clock_->now() >= at_; }
  Clock::duration remaining() const {
    return std::max(Clock::duration::zero(), at_ - clock_->now());
  }
  // Milliseconds left for poll(2): rounded up so a wait never ends before the deadline,
  // capped so it fits an int.
  int pollTimeoutMs() const {
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(remaining()).count();
    return static_cast<int>(std::min<decltype(ms)>(ms, 1'000'000'000));
  }

 private:
  const Clock* clock_;
  Clock::time_point at_;
};

}  // namespace orva::core
