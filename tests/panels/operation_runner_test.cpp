// The operation slot: one run at a time, its heading and single result line, refusals while
// busy, the read-back on the operation thread and its update on the window thread, progress
// reports, cooperative stop and abort, and the bounded wait for idle. A run against the camera,
// its read-back through the link reaching an open panel only, is PanelRuns' (panel_logic_test).
#include "panels/operation_runner.hpp"

#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <latch>
#include <mutex>
#include <thread>
#include <vector>

#include "core/clock.hpp"
#include "core/monitor_sink.hpp"

namespace orva::panels {
namespace {

using namespace std::chrono_literals;

Operation gotoZoom(std::function<Outcome(const OperationRun&)> body) {
  Operation op;
  op.heading = "Goto ZOOM Start !!";
  op.name = "Goto ZOOM";
  op.body = std::move(body);
  return op;
}

struct Runner {
  core::RecordingMonitorSink monitor;
  QueuedDispatcher dispatcher;
  OperationRunner runner{monitor, dispatcher};
};

TEST(OperationRunner, WritesTheStartHeadingFirstAndExactlyOneResultLine) {
  struct Case {
    Outcome outcome;
    const char* monitor;
    const char* log;
  };
  const Case cases[] = {
      {Outcome::Done, "\r\n-- Goto ZOOM END --", "\n-- Goto ZOOM END --"},
      {Outcome::TimeOver, "\r\n-- Time over Error !! --", "\n-- Time over Error !! --"},
      {Outcome::Error, "\r\n-- Error !! --", "\n-- Error !! --"},
      {Outcome::Silent, "", ""},
      {Outcome::Stopped, "", ""},
  };
  for (const Case& c : cases) {
    Runner r;
    std::string seenByBody;
    ASSERT_TRUE(r.runner.start(gotoZoom([&](std::stop_token) {
      seenByBody = r.monitor.pc();
      return c.outcome;
    })));
    r.runner.waitIdle();
    EXPECT_EQ(seenByBody, "\r\n\r\n<< Goto ZOOM Start !! >>") << "the heading comes before the thread";
    EXPECT_EQ(r.monitor.pc(), std::string("\r\n\r\n<< Goto ZOOM Start !! >>") + c.monitor);
    EXPECT_EQ(r.monitor.log(), std::string("\n\n<< Goto ZOOM Start !! >>") + c.log);
  }
}

TEST(OperationRunner, AnEmptyHeadingWritesNoHeadingLine) {
  Runner r;
  auto op = gotoZoom([](std::stop_token) { return Outcome::Done; });
  op.heading.clear();
  ASSERT_TRUE(r.runner.start(std::move(op)));
  r.runner.waitIdle();
  EXPECT_EQ(r.monitor.pc(), "\r\n-- Goto ZOOM END --");
}

TEST(OperationRunner, RefusesEveryRequestSilentlyWhileTheSlotIsTaken) {
  Runner r;
  std::latch entered(1), release(1);
  ASSERT_TRUE(r.runner.start(gotoZoom([&](std::stop_token) {
    entered.count_down();
    release.wait();
    return Outcome::Done;
  })));
  entered.wait();
  EXPECT_TRUE(r.runner.busy());
  bool secondRan = false;
  EXPECT_FALSE(r.runner.start(gotoZoom([&](std::stop_token) {
    secondRan = true;
    return Outcome::Done;
  })));
  EXPECT_FALSE(r.runner.claim().has_value());
  release.count_down();
  r.runner.waitIdle();
  EXPECT_FALSE(secondRan);
  EXPECT_EQ(r.monitor.pc(), "\r\n\r\n<< Goto ZOOM Start !! >>\r\n-- Goto ZOOM END --") << "a refusal writes nothing";

  EXPECT_FALSE(r.runner.busy());
  EXPECT_TRUE(r.runner.start(gotoZoom([](std::stop_token) { return Outcome::Silent; }))) << "free again after the end";
  r.runner.waitIdle();
}

TEST(OperationRunner, AClaimHoldsTheSlotUntilItGoes) {
  Runner r;
  {
    auto claim = r.runner.claim();
    ASSERT_TRUE(claim.has_value());
    EXPECT_TRUE(r.runner.busy());
    EXPECT_FALSE(r.runner.claim().has_value());
    EXPECT_FALSE(r.runner.start(gotoZoom([](std::stop_token) { return Outcome::Done; })));
    auto moved = std::move(*claim);
    claim.reset();
    EXPECT_TRUE(r.runner.busy()) << "a moved claim still holds the slot";
  }
  EXPECT_FALSE(r.runner.busy());
  EXPECT_TRUE(r.runner.start(gotoZoom([](std::stop_token) { return Outcome::Done; })));
  r.runner.waitIdle();
  EXPECT_EQ(r.monitor.pc(), "\r\n\r\n<< Goto ZOOM Start !! >>\r\n-- Goto ZOOM END --");
}

TEST(OperationRunner, ReadsBackOnTheOperationThreadAndUpdatesThePanelOnTheWindowThread) {
  for (const Outcome outcome : {Outcome::Done, Outcome::TimeOver, Outcome::Error}) {
    Runner r;
    PanelLifetime panel;
    const auto window = std::this_thread::get_id();
    std::thread::id readOn, shownOn;
    int refreshes = 0, updates = 0;
    auto op = gotoZoom([&](std::stop_token) { return outcome; });
    op.panel = panel.token();
    op.refresh = [&](std::stop_token) -> PanelUpdate {
      ++refreshes;
      readOn = std::this_thread::get_id();
      return [&] {
        ++updates;
        shownOn = std::this_thread::get_id();
      };
    };
    ASSERT_TRUE(r.runner.start(std::move(op)));
    r.runner.waitIdle();
    EXPECT_EQ(updates, 0) << "nothing touches the panel until the window thread runs it";
    r.dispatcher.runPending();
    const bool done = outcome == Outcome::Done;
    EXPECT_EQ(refreshes, done ? 1 : 0);
    EXPECT_EQ(updates, done ? 1 : 0);
    if (done) {
      EXPECT_NE(readOn, window);
      EXPECT_EQ(shownOn, window);
    }
  }
}

TEST(OperationRunner, APanelClosedMeanwhileMissesItsUpdateButNotItsResultLine) {
  for (const bool closeBeforeEnd : {true, false}) {
    Runner r;
    PanelLifetime panel;
    std::latch entered(1), release(1);
    int refreshes = 0, updates = 0;
    auto op = gotoZoom([&](std::stop_token) {
      entered.count_down();
      release.wait();
      return Outcome::Done;
    });
    op.panel = panel.token();
    op.refresh = [&](std::stop_token) -> PanelUpdate {
      ++refreshes;
      return [&] { ++updates; };
    };
    ASSERT_TRUE(r.runner.start(std::move(op)));
    entered.wait();
    if (closeBeforeEnd) panel.close();
    release.count_down();
    r.runner.waitIdle();
    if (!closeBeforeEnd) panel.close();
    r.dispatcher.runPending();
    EXPECT_EQ(refreshes, closeBeforeEnd ? 0 : 1) << "no read-back for a panel already closed";
    EXPECT_EQ(updates, 0);
    EXPECT_EQ(r.monitor.pc(), "\r\n\r\n<< Goto ZOOM Start !! >>\r\n-- Goto ZOOM END --");
  }
}

// What a starter holds for the run's life (the launcher's menu lock) is let go on the window
// thread once the slot is free, whatever the outcome.
TEST(OperationRunner, TheEndReachesTheWindowThreadWithTheSlotFreeWhateverTheOutcome) {
  for (const Outcome outcome : {Outcome::Done, Outcome::Error, Outcome::TimeOver, Outcome::Silent, Outcome::Stopped}) {
    Runner r;
    int ended = 0;
    Operation op = gotoZoom([outcome](std::stop_token) { return outcome; });
    op.ended = [&] {
      EXPECT_FALSE(r.runner.busy());
      ++ended;
    };
    ASSERT_TRUE(r.runner.start(std::move(op)));
    r.runner.waitIdle();
    EXPECT_EQ(ended, 0) << "not on the operation thread";
    r.dispatcher.runPending();
    EXPECT_EQ(ended, 1);
  }
}

TEST(OperationRunner, AStopEndsAWaitingOperationWithoutAResultLine) {
  // Real time: the wait is a minute long and must end as soon as the stop comes.
  core::SteadyClock clock;
  for (const bool byDestructor : {false, true}) {
    core::RecordingMonitorSink monitor;
    QueuedDispatcher dispatcher;
    std::promise<Outcome> ended;
    std::latch polling(1);
    {
      OperationRunner runner(monitor, dispatcher);
      ASSERT_TRUE(runner.start(gotoZoom([&](std::stop_token stop) {
        const Outcome o = pollUntilDone(clock, stop, std::chrono::minutes(1), [&]() -> std::optional<Outcome> {
          polling.count_down();
          return std::nullopt;
        });
        ended.set_value(o);
        return o;
      })));
      polling.wait();
      if (!byDestructor) {
        runner.requestStop();
        runner.waitIdle();
      }
    }
    EXPECT_EQ(ended.get_future().get(), Outcome::Stopped);
    EXPECT_EQ(monitor.pc(), "\r\n\r\n<< Goto ZOOM Start !! >>");
  }
}

TEST(OperationRunner, ABoundedWaitForIdleSaysWhetherTheSlotFreedInTime) {
  Runner r;
  std::latch release(1);
  ASSERT_TRUE(r.runner.start(gotoZoom([&](std::stop_token) {
    release.wait();
    return Outcome::Done;
  })));
  core::FakeClock clock{20ms};
  EXPECT_FALSE(r.runner.waitIdle(clock, 5000ms));
  EXPECT_EQ(clock.elapsed(), 5000ms) << "gives up at the limit, on the clock";
  EXPECT_TRUE(r.runner.busy());

  release.count_down();
  core::FakeClock patient;  // its grace is real time left for the run to end in
  EXPECT_TRUE(r.runner.waitIdle(patient, 5000ms));
  EXPECT_EQ(patient.elapsed(), 0ms);
  EXPECT_FALSE(r.runner.busy());
  {
    auto claim = r.runner.claim();
    EXPECT_FALSE(r.runner.waitIdle(clock, 10ms)) << "a claim holds the slot too";
  }
  EXPECT_TRUE(r.runner.waitIdle(clock, 0ms));
}

// An abort is the body's to act on: it brakes once for the presses so far and keeps waiting;
// a stop still ends the run at once, aborted or not.
TEST(OperationRunner, AnAbortReachesTheBodyWhichKeepsWaitingUntilItEnds) {
  for (const bool stopAfterAbort : {false, true}) {
    Runner r;
    std::latch pressed(1), braked(1);
    std::mutex mutex;
    std::condition_variable_any cv;
    bool finish = false;
    int brakes = 0;
    ASSERT_TRUE(r.runner.start(gotoZoom([&](const OperationRun& run) {
      pressed.wait();
      while (run.takeAbort()) {
        ++brakes;
        r.monitor.line(" < Preset Abort >");
      }
      braked.count_down();
      std::unique_lock lock(mutex);
      return cv.wait(lock, run.stop(), [&] { return finish; }) ? Outcome::Done : Outcome::Stopped;
    })));
    r.runner.requestAbort();
    r.runner.requestAbort();
    pressed.count_down();
    braked.wait();
    EXPECT_TRUE(r.runner.busy()) << "an aborted run goes on";
    if (stopAfterAbort) {
      r.runner.requestStop();
    } else {
      std::lock_guard lock(mutex);
      finish = true;
      cv.notify_all();
    }
    r.runner.waitIdle();
    EXPECT_EQ(brakes, 1);
    EXPECT_EQ(r.monitor.pc(), std::string("\r\n\r\n<< Goto ZOOM Start !! >>\r\n < Preset Abort >") +
                                  (stopAfterAbort ? "" : "\r\n-- Goto ZOOM END --"));
  }
  Runner r;
  r.runner.requestAbort();  // with nothing running: asks no later run
  bool abortSeen = true;
  ASSERT_TRUE(r.runner.start(gotoZoom([&](const OperationRun& run) {
    abortSeen = run.takeAbort();
    return Outcome::Silent;
  })));
  r.runner.waitIdle();
  EXPECT_FALSE(abortSeen);
}

TEST(OperationRunner, ProgressReachesThePanelOnTheWindowThreadUntilItCloses) {
  Runner r;
  PanelLifetime panel;
  std::latch first(1), closed(1);
  std::vector<int> shown;
  auto op = gotoZoom([&](const OperationRun& run) {
    run.report([&] { shown.push_back(1); });
    first.count_down();
    closed.wait();
    run.report([&] { shown.push_back(2); });
    return Outcome::Done;
  });
  op.panel = panel.token();
  ASSERT_TRUE(r.runner.start(std::move(op)));
  first.wait();
  r.dispatcher.runPending();
  EXPECT_EQ(shown, std::vector<int>{1}) << "shown while the run goes on";
  panel.close();
  closed.count_down();
  r.runner.waitIdle();
  r.dispatcher.runPending();
  EXPECT_EQ(shown, std::vector<int>{1}) << "a report for a closed panel is dropped";
}

TEST(PollUntilDone, AsksInSlicesUntilAnOutcomeOrTheLimit) {
  core::FakeClock clock;
  int asked = 0;
  const auto start = clock.now();
  EXPECT_EQ(pollUntilDone(clock, {}, kCompletionLimit, [&]() -> std::optional<Outcome> {
              ++asked;
              return clock.now() - start >= 300ms ? std::optional(Outcome::Done) : std::nullopt;
            }),
            Outcome::Done);
  EXPECT_EQ(clock.now() - start, 300ms);
  EXPECT_EQ(asked, 31) << "once at once, then once per 10 ms slice";

  const auto second = clock.now();
  asked = 0;
  EXPECT_EQ(pollUntilDone(clock, {}, 25ms, [&]() -> std::optional<Outcome> {
              ++asked;
              return std::nullopt;
            }),
            Outcome::TimeOver);
  EXPECT_EQ(clock.now() - second, 25ms) << "the last slice is cut to the limit";
  EXPECT_EQ(asked, 4) << "asked once more at the limit before giving up";

  EXPECT_EQ(pollUntilDone(clock, {}, 1s, []() -> std::optional<Outcome> { return Outcome::Error; }), Outcome::Error);
}

}  // namespace
}  // namespace orva::panels
