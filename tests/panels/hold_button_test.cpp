// Press-and-hold arrows against the virtual camera: one start per press, one stop per release
// at least 50 ms later, never a stop without a start, and the same from several threads and
// across a close.
#include "panels/hold_button.hpp"

#include <gtest/gtest.h>

#include <latch>
#include <mutex>
#include <thread>
#include <vector>

#include "panel_bench.hpp"

namespace orva::panels {
namespace {

using namespace std::chrono_literals;
using testing::Bench;
using testing::faults;
using testing::name;
using P = link::Protocol;

// Every drive command the camera took, in order, with the virtual time it arrived.
struct Drives {
  struct Drive {
    std::uint32_t value;
    core::Clock::time_point at;
  };

  explicit Drives(Bench& b) : bench(b) {
    b.camera.onWrite(0xFCBB, [this](sim::VirtualCamera&, const sim::MemoryWrite& w) { note(w.value); });
    b.camera.onFunctionSet(0x1107, [this](sim::VirtualCamera&, const sim::FunctionSet& s) {
      note(s.number().value_or(0));
    });
  }
  void note(std::uint32_t value) {
    std::lock_guard lock(mutex);
    seen.push_back({value, bench.clock.now()});
  }
  std::vector<std::uint32_t> values() const {
    std::lock_guard lock(mutex);
    std::vector<std::uint32_t> out;
    for (const auto& d : seen) out.push_back(d.value);
    return out;
  }

  Bench& bench;
  mutable std::mutex mutex;
  std::vector<Drive> seen;
};

std::uint32_t startOf(P p) { return kZoomTeleDrive.start.in(p); }
std::uint32_t stopOf(P p) { return kZoomTeleDrive.stop.in(p); }

TEST(HoldButton, OnePressSendsOneStartAndOneReleaseOneStopFiftyMillisecondsLater) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Bench b(protocol);
    Drives drives(b);
    HoldButton tele(kZoomTeleDrive, b.access, b.clock, b.runner);

    tele.release();
    EXPECT_TRUE(drives.values().empty()) << "no stop without a start";
    tele.press();
    EXPECT_TRUE(tele.held());
    tele.press();
    const auto releasedAt = b.clock.now();
    tele.release();
    tele.release();
    EXPECT_FALSE(tele.held());
    ASSERT_EQ(drives.values(), (std::vector{startOf(protocol), stopOf(protocol)}));
    EXPECT_GE(drives.seen[1].at - releasedAt, kStopDelay);
    EXPECT_GE(drives.seen[1].at - drives.seen[0].at, kStopDelay);
  }
}

TEST(HoldButton, APressIsRefusedWhileAnOperationRunsButAHeldButtonStillStops) {
  Bench b(P::Eap);
  Drives drives(b);
  HoldButton tele(kZoomTeleDrive, b.access, b.clock, b.runner);
  {
    auto claim = b.runner.claim();
    tele.press();
    tele.release();
    EXPECT_TRUE(drives.values().empty());
  }
  tele.press();
  {
    auto claim = b.runner.claim();
    tele.release();
  }
  EXPECT_EQ(drives.values(), (std::vector<std::uint32_t>{0x99, 0xFE}));
}

TEST(HoldButton, AStartThatFailedIsStillFollowedByItsStop) {
  // Every AFP frame goes unanswered: the start may have reached the lens all the same.
  Bench b(P::Afp, "", faults({"drop:1"}));
  const auto from = b.mark();
  HoldButton tele(kZoomTeleDrive, b.access, b.clock, b.runner);
  tele.press();
  tele.release();
  EXPECT_EQ(b.heardSince(from), (std::vector<std::string>{"S110702T", "S110701T"}));
}

TEST(HoldButton, PressesAndReleasesFromTwoThreadsStayPaired) {
  Bench b(P::Eap);
  Drives drives(b);
  HoldButton tele(kZoomTeleDrive, b.access, b.clock, b.runner);
  constexpr int kRounds = 150;
  std::latch go(2);
  std::thread presser([&] {
    go.arrive_and_wait();
    for (int i = 0; i < kRounds; ++i) tele.press();
  });
  std::thread releaser([&] {
    go.arrive_and_wait();
    for (int i = 0; i < kRounds; ++i) tele.release();
  });
  presser.join();
  releaser.join();
  tele.release();

  ASSERT_FALSE(drives.seen.empty());
  ASSERT_EQ(drives.seen.size() % 2, 0u);
  for (std::size_t i = 0; i < drives.seen.size(); i += 2) {
    ASSERT_EQ(drives.seen[i].value, 0x99u) << "a start first, never two in a row, at " << i;
    ASSERT_EQ(drives.seen[i + 1].value, 0xFEu) << "then its stop, at " << i + 1;
    EXPECT_GE(drives.seen[i + 1].at - drives.seen[i].at, kStopDelay);
  }
}

TEST(HoldButton, AReleaseFromAnotherThreadWaitsForTheStartToGoOut) {
  Bench b(P::Eap);
  std::latch starting(1);
  std::vector<std::uint8_t> values;  // the camera's hooks run one at a time
  b.camera.onWrite(0xFCBB, [&](sim::VirtualCamera&, const sim::MemoryWrite& w) {
    values.push_back(w.value);
    if (w.value == 0x99) starting.count_down();
  });
  HoldButton tele(kZoomTeleDrive, b.access, b.clock, b.runner);
  std::thread releaser([&] {
    starting.wait();
    tele.release();
  });
  tele.press();
  releaser.join();
  EXPECT_EQ(values, (std::vector<std::uint8_t>{0x99, 0xFE}));
  EXPECT_FALSE(tele.held());
}

TEST(HoldButton, ClosingWhileHeldStopsTheLensAndLaterPressesDoNothing) {
  Bench b(P::Eap);
  Drives drives(b);
  {
    HoldButton tele(kZoomTeleDrive, b.access, b.clock, b.runner);
    tele.press();
    std::thread closer([&] { tele.close(); });
    closer.join();
    tele.press();
    tele.release();
  }
  EXPECT_EQ(drives.values(), (std::vector<std::uint32_t>{0x99, 0xFE}));

  HoldButton wide(kZoomWideDrive, b.access, b.clock, b.runner);
  {
    HoldButton near(kFocusNearDrive, b.access, b.clock, b.runner);
    near.press();
  }
  EXPECT_EQ(drives.values(), (std::vector<std::uint32_t>{0x99, 0xFE, 0xAA, 0xFE})) << "a button gone while held stops";
}

}  // namespace
}  // namespace orva::panels
