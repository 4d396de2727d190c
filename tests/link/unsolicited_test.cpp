#include "link/unsolicited.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/monitor_sink.hpp"

#include <memory>
#include <stop_token>
#include <string>

#include "core/clock.hpp"
#include "link/testing/afp_camera_channel.hpp"
#include "link/testing/scripted_channel.hpp"

namespace orva::link {
namespace {

using namespace std::chrono_literals;
using ::testing::EndsWith;

class TakeMessageTest : public ::testing::Test {
 protected:
  TakeMessageTest() : link_(clock_, monitor_) {
    auto ch = std::make_unique<testing::ScriptedChannel>(clock_);
    line_ = ch.get();
    link_.setChannel(std::move(ch));
  }
  void SetUp() override { ASSERT_TRUE(link_.open()); }

  core::FakeClock clock_{1ms};
  core::RecordingMonitorSink monitor_;
  Link link_;
  testing::ScriptedChannel* line_ = nullptr;
};

TEST_F(TakeMessageTest, TakesExactlyTheMessageAndShowsItAsItCame) {
  line_->arrive("ZM\r\n1A2B" "X");
  const auto message = takeMessage(link_, 8, core::Deadline(clock_, 12s));
  EXPECT_EQ(message, "ZM\r\n1A2B");
  EXPECT_EQ(monitor_.camera(), "ZM\r\n1A2B");
  EXPECT_EQ(monitor_.pc(), "");
  EXPECT_EQ(line_->queuedInput(), 1u) << "what follows the message stays on the line";
}

TEST_F(TakeMessageTest, AnIncompleteMessageGivesNothingAtTheLimitCountedFromTheCommand) {
  const auto t0 = clock_.now();
  clock_.advance(3s);  // the command that asked for the message took its time
  line_->arrive("ZM\r\n");
  EXPECT_EQ(takeMessage(link_, 8, core::Deadline(clock_, t0 + 12s)), std::nullopt);
  EXPECT_EQ(clock_.now(), t0 + 12s);
  EXPECT_EQ(monitor_.camera(), "");
  EXPECT_EQ(line_->queuedInput(), 0u) << "a part is not left for the next command's answer";

  // A stop ends the wait at once; a failed line is reported like any command's.
  std::stop_source stop;
  stop.request_stop();
  const auto before = clock_.now();
  EXPECT_EQ(takeMessage(link_, 8, core::Deadline(clock_, 12s), stop.get_token()), std::nullopt);
  EXPECT_EQ(clock_.now(), before);
  line_->failRead = true;
  EXPECT_EQ(takeMessage(link_, 8, core::Deadline(clock_, 12s)), std::nullopt);
  EXPECT_THAT(monitor_.pc(), EndsWith("\r\n!! RS-232C read error.\r\n   Input/output error"));
}

TEST_F(TakeMessageTest, WithoutACameraTheLimitIsWaitedOut) {
  link_.close();
  link_.setNoCameraMode(NoCameraMode::Absent);
  const auto t0 = clock_.now();
  EXPECT_EQ(takeMessage(link_, 8, core::Deadline(clock_, t0 + 8200ms)), std::nullopt);
  EXPECT_EQ(clock_.now(), t0 + 8200ms);
}

// The listener runs on the test's thread here: its handler asks for the stop, and what is
// still arriving then is read during the tail.
TEST(Listen, ShowsAndHandsOnEveryByteUntilStoppedAndThroughTheTail) {
  core::FakeClock clock{30ms};
  core::RecordingMonitorSink monitor;
  Link link(clock, monitor);
  auto owned = std::make_unique<testing::AfpCameraChannel>(clock);
  auto* line = owned.get();
  link.setChannel(std::move(owned));
  ASSERT_TRUE(link.open());

  line->push("F1\r\n");
  std::stop_source stop;
  std::string handed;
  core::Clock::time_point stoppedAt;
  listen(link, stop.get_token(), [&](std::uint8_t b) {
    handed += static_cast<char>(b);
    if (handed.size() == 4) {
      stop.request_stop();
      stoppedAt = clock.now();
      line->push("Z2");
    }
  }, 500ms);
  EXPECT_EQ(handed, "F1\r\nZ2");
  EXPECT_EQ(monitor.pc(), "F1\r\nZ2") << "the status stream is shown in the PC pane";
  EXPECT_EQ(monitor.camera(), "");
  EXPECT_EQ(clock.now(), stoppedAt + 500ms);
  EXPECT_EQ(line->mostReaders(), 1);
}

}  // namespace
}  // namespace orva::link
