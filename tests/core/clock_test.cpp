#include "core/clock.hpp"

#include <gtest/gtest.h>

#include <thread>

#include "core/deadline.hpp"

namespace orva::core {
namespace {

using namespace std::chrono_literals;

TEST(FakeClock, SleepsMoveVirtualTimeAtOnce) {
  FakeClock clock;
  const auto t0 = clock.now();
  EXPECT_TRUE(clock.sleepFor(7000ms));
  EXPECT_EQ(clock.now() - t0, 7000ms);
  clock.advance(5ms);
  EXPECT_EQ(clock.elapsed(), 7005ms);
  // Sleeping until a point already past does not move time back.
  EXPECT_TRUE(clock.sleepUntil(t0));
  EXPECT_EQ(clock.elapsed(), 7005ms);
}

TEST(FakeClock, StoppedSleepReturnsFalseWithoutMovingTime) {
  FakeClock clock;
  std::stop_source stop;
  stop.request_stop();
  EXPECT_FALSE(clock.sleepFor(1s, stop.get_token()));
  EXPECT_EQ(clock.elapsed(), 0ms);
}

TEST(FakeClock, WaitTimesOutAtItsDeadlineInVirtualTime) {
  FakeClock clock(1ms);
  std::mutex m;
  std::condition_variable_any cv;
  std::unique_lock lock(m);
  Deadline d(clock, 1000ms);
  EXPECT_FALSE(clock.waitUntil(lock, cv, d.at(), {}, [] { return false; }));
  EXPECT_TRUE(d.expired());
  EXPECT_EQ(clock.elapsed(), 1000ms);
}

TEST(FakeClock, WaitSeesAnotherThreadsNotification) {
  FakeClock clock(10s);
  std::mutex m;
  std::condition_variable_any cv;
  bool ready = false;
  std::jthread producer([&] {
    std::lock_guard lock(m);
    ready = true;
    cv.notify_all();
  });
  std::unique_lock lock(m);
  EXPECT_TRUE(clock.waitUntil(lock, cv, clock.now() + 1000ms, {}, [&] { return ready; }));
  EXPECT_LT(clock.elapsed(), 1000ms);
}

TEST(FakeClock, AWaitWithoutLimitNeverMovesTimeAndEndsOnDeliveryOrStop) {
  FakeClock clock(1ms);
  std::mutex m;
  std::condition_variable_any cv;
  bool ready = false;
  std::jthread producer([&] {
    std::this_thread::sleep_for(20ms);  // longer than the grace: the waiter must not give up
    std::lock_guard lock(m);
    ready = true;
    cv.notify_all();
  });
  std::unique_lock lock(m);
  EXPECT_TRUE(clock.waitUntil(lock, cv, Clock::time_point::max(), {}, [&] { return ready; }));
  EXPECT_EQ(clock.elapsed(), 0ms);
  lock.unlock();

  std::stop_source stop;
  std::jthread stopper([&] { stop.request_stop(); });
  lock.lock();
  EXPECT_FALSE(clock.waitUntil(lock, cv, Clock::time_point::max(), stop.get_token(), [] { return false; }));
}

TEST(SteadyClock, StopRequestEndsASleepEarly) {
  SteadyClock clock;
  std::stop_source stop;
  std::jthread stopper([&] { stop.request_stop(); });
  const auto t0 = clock.now();
  EXPECT_FALSE(clock.sleepFor(std::chrono::hours(1), stop.get_token()));
  EXPECT_LT(clock.now() - t0, std::chrono::hours(1));
}

TEST(SteadyClock, WaitReturnsWhenReadyOrAtDeadline) {
  SteadyClock clock;
  std::mutex m;
  std::condition_variable_any cv;
  std::unique_lock lock(m);
  EXPECT_TRUE(clock.waitUntil(lock, cv, clock.now() + 1h, {}, [] { return true; }));
  EXPECT_FALSE(clock.waitUntil(lock, cv, clock.now() + 1ms, {}, [] { return false; }));
}

TEST(Deadline, PollTimeoutRoundsUpAndNeverGoesNegative) {
  FakeClock clock;
  Deadline d(clock, 1500us);
  EXPECT_EQ(d.pollTimeoutMs(), 2);
  clock.advance(1ms);
  EXPECT_EQ(d.pollTimeoutMs(), 1);
  clock.advance(10ms);
  EXPECT_EQ(d.pollTimeoutMs(), 0);
  EXPECT_EQ(d.remaining(), Clock::duration::zero());
  Deadline far(clock, std::chrono::hours(24 * 365));
  EXPECT_GT(far.pollTimeoutMs(), 0);
}

}  // namespace
}  // namespace orva::core
