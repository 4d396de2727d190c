#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "core/clock.hpp"
#include "panels/dispatch.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/virtual_camera.hpp"
#include "typed_sender.hpp"

namespace orva::gui {
namespace {

TEST(TypedSender, SendsInOrderOnItsOwnThread) {
  std::mutex m;
  std::condition_variable cv;
  std::string sent;
  std::thread::id where;
  TypedSender sender([&](char c) {
    std::lock_guard lock(m);
    sent += c;
    where = std::this_thread::get_id();
    cv.notify_all();
  });
  for (char c : std::string("ABC")) sender.send(c);
  std::unique_lock lock(m);
  ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(10), [&] { return sent.size() == 3; }));
  EXPECT_EQ(sent, "ABC");
  EXPECT_NE(where, std::this_thread::get_id());
}

TEST(TypedSender, NothingGoesOutAfterStop) {
  std::mutex m;
  std::condition_variable cv;
  int calls = 0;
  TypedSender sender([&](char) {
    std::lock_guard lock(m);
    ++calls;
    cv.notify_all();
  });
  sender.send('a');
  {
    std::unique_lock lock(m);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(10), [&] { return calls == 1; }));
  }
  sender.stop();
  sender.send('b');
  sender.stop();  // twice is harmless
  std::lock_guard lock(m);
  EXPECT_EQ(calls, 1);
}

TEST(TypedTurn, WaitsForTheLineAndNeverOpensIt) {
  core::FakeClock clock(std::chrono::milliseconds(20));
  core::RecordingMonitorSink monitor;
  sim::VirtualCamera camera{sim::Profile{}};
  link::Link link(clock, monitor);
  link.setChannel(std::make_unique<sim::InProcessChannel>(camera, clock, false));
  link.setLineSettings(camera.settings());
  link::Eap eap(link);
  link::Afp afp(link);
  panels::QueuedDispatcher dispatcher;
  panels::OperationRunner runner(monitor, dispatcher);
  const TypedLine line{link, eap, afp, runner};

  // Disconnected: refused with a beep; the port stays closed for other programs.
  EXPECT_FALSE(exchangeTyped(line, ':'));
  EXPECT_FALSE(link.isOpen());
  EXPECT_EQ(monitor.beeps(), 1);

  ASSERT_TRUE(link.open());
  {
    // A run holds the line: the character does not land between its frames.
    auto run = runner.claim();
    ASSERT_TRUE(run.has_value());
    EXPECT_FALSE(exchangeTyped(line, ':'));
    EXPECT_EQ(monitor.beeps(), 2);
  }
  EXPECT_TRUE(camera.frameLog().all().empty());
  EXPECT_EQ(monitor.pc(), "");

  EXPECT_TRUE(exchangeTyped(line, ':'));
  EXPECT_EQ(monitor.camera(), ":");
  EXPECT_FALSE(monitor.typedInput());
  EXPECT_FALSE(runner.busy());
}

}  // namespace
}  // namespace orva::gui
