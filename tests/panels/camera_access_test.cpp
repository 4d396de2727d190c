// The line access panels build on, against the in-process camera: the message after a "#"
// write, listening while other commands go out, a mask screen read with block-read mode off,
// and indications that reach an open panel only.
#include "panels/camera_access.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/monitor_sink.hpp"

#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "panel_bench.hpp"

namespace orva::panels {
namespace {

using namespace std::chrono_literals;
using ::testing::EndsWith;

// The panel bench: its monitor may be shared by the listening and receiving threads.
using Line = testing::Bench;

// Counts what other threads hand over, so the test's thread can wait for it.
class Arrivals {
 public:
  void add(std::string_view what) {
    std::lock_guard lock(mutex_);
    got_ += what;
    changed_.notify_all();
  }
  bool waitFor(std::size_t n) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 10s, [&] { return got_.size() >= n; });
  }
  std::string got() const {
    std::lock_guard lock(mutex_);
    return got_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::string got_;
};

TEST(CameraAccess, TheArrivalMessageAfterAHashWriteIsTakenWithinTheLimit) {
  Line l(link::Protocol::Eap);
  const auto t0 = l.clock.now();
  ASSERT_TRUE(l.eap.writeByteHash(0xF753, 3));
  EXPECT_EQ(l.access.takeMessage(8, core::Deadline(l.clock, t0 + 12000ms)), std::string(sim::kArrivalMessage));
  EXPECT_EQ(l.monitor.camera(), "#WF75303" + std::string(sim::kArrivalMessage));
  // A plain write asks for no message: the limit passes.
  ASSERT_TRUE(l.eap.writeByte(0xF753, 3));
  const auto t1 = l.clock.now();
  EXPECT_EQ(l.access.takeMessage(8, core::Deadline(l.clock, t1 + 8200ms)), std::nullopt);
  EXPECT_EQ(l.clock.now(), t1 + 8200ms);
}

TEST(CameraAccess, AListenerStepsAsideForAnotherThreadsCommandAndReadsOn) {
  Line l(link::Protocol::Eap);
  Arrivals handed;
  std::stop_source stop;
  std::jthread listener([&] {
    l.access.listen(stop.get_token(), [&](std::uint8_t b) { handed.add(std::string(1, static_cast<char>(b))); }, 500ms);
  });
  ASSERT_TRUE(l.eap.writeByteHash(0xF753, 3));
  ASSERT_TRUE(handed.waitFor(8));
  // The listener is on the line now: this command still gets every echo of its own.
  ASSERT_TRUE(l.eap.writeByteHash(0xF753, 2));
  ASSERT_TRUE(handed.waitFor(16));
  stop.request_stop();
  listener.join();
  const std::string message(sim::kArrivalMessage);
  EXPECT_EQ(handed.got(), message + message);
  EXPECT_EQ(l.monitor.camera(), "#WF75303#WF75302");
  EXPECT_EQ(l.monitor.pc(), "#WF75303" + message + "#WF75302" + message);
}

TEST(CameraAccess, AMaskScreenIsReadWithBlockReadModeOffAndTheModeComesBack) {
  Line l(link::Protocol::Eap);
  l.link.setBlockReadMode(2);
  std::vector<std::uint8_t> expected;
  for (std::uint16_t i = 0; i < 36; ++i) {
    expected.push_back(static_cast<std::uint8_t>(5 * i + 1));
    l.camera.memory().write(static_cast<std::uint16_t>(0x3050 + i), expected.back());  // screen 3
  }
  const auto mark = l.camera.frameLog().end();
  std::vector<std::uint8_t> pattern(36);
  {
    const auto off = l.access.blockReadOff();
    ASSERT_TRUE(l.access.readSequence(0x3050, pattern));
  }
  EXPECT_EQ(pattern, expected);
  EXPECT_EQ(l.link.blockReadMode(), 2);
  const auto heard = l.camera.frameLog().since(mark);
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].sent, ":R305000" + std::string(70, ' '));
}

// A dispatcher whose posts the test's thread can wait for.
class WatchedDispatcher final : public Dispatcher {
 public:
  void post(std::function<void()> task) override {
    queue_.post(std::move(task));
    posts_.add("p");
  }
  bool waitForPosts(std::size_t n) { return posts_.waitFor(n); }
  std::size_t posts() const { return posts_.got().size(); }
  std::size_t runPending() { return queue_.runPending(); }

 private:
  QueuedDispatcher queue_;
  Arrivals posts_;
};

TEST(CameraAccess, IndicationsReachTheOpenPanelOnlyWhileItIsSubscribed) {
  Line l(link::Protocol::Afp);
  WatchedDispatcher dispatcher;
  std::vector<int> seen;  // on this thread, the window thread of the test
  auto panel = std::make_unique<PanelLifetime>();
  auto subscription = l.access.subscribeIndications(
      dispatcher, panel->token(), [&](const link::AfpIndication& i) { seen.push_back(i.kind * 0x10 + i.value); });

  // No command needed: the subscription has the receive thread running.
  l.camera.raiseIndication(1, 2);
  ASSERT_TRUE(dispatcher.waitForPosts(1));
  EXPECT_EQ(dispatcher.runPending(), 1u);
  EXPECT_EQ(seen, std::vector<int>{0x12});

  // Posted, then the subscription goes before the window thread gets to it: dropped.
  l.camera.raiseIndication(1, 1);
  ASSERT_TRUE(dispatcher.waitForPosts(2));
  auto later = l.access.subscribeIndications(
      dispatcher, panel->token(), [&](const link::AfpIndication& i) { seen.push_back(0x100 + i.value); });
  subscription = std::move(later);
  dispatcher.runPending();
  EXPECT_EQ(seen, std::vector<int>{0x12});

  // The panel closes: what comes then never reaches it.
  l.camera.raiseIndication(1, 2);
  ASSERT_TRUE(dispatcher.waitForPosts(3));
  panel.reset();
  dispatcher.runPending();
  EXPECT_EQ(seen, std::vector<int>{0x12});

  // Unsubscribed: nothing is even posted. The reply to a get comes after the indication.
  subscription.reset();
  l.camera.raiseIndication(1, 1);
  std::string reply;
  ASSERT_TRUE(l.afp.get("1203FF", reply));
  EXPECT_EQ(dispatcher.posts(), 3u);
  EXPECT_THAT(l.monitor.camera(), ::testing::HasSubstr("I11T"));
}

}  // namespace
}  // namespace orva::panels
