#include "sim/in_process_channel.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "tool_side.hpp"

namespace orva::sim {
namespace {

using namespace std::chrono_literals;
using link::IoResult;
using link::LineSettings;
using testing::bytesOf;
using testing::exchangeEach;
using testing::readAll;

constexpr LineSettings k9600E{9600, true};

Profile profileAt(const LineSettings& s) {
  Profile p;
  for (const auto& f : link::kSettingsForms)
    if (f.baud == s.baud && f.evenParity == s.evenParity) p.settings = f;
  p.registers.push_back({0x0102, {0x5A}});
  for (unsigned i = 0; i < 0x100; ++i)
    p.registers.push_back({static_cast<std::uint16_t>(0x4000 + i), {static_cast<std::uint8_t>(i)}});
  return p;
}

TEST(InProcessChannel, PerCharacterExchangeTakesTwoCharacterTimesEach) {
  core::FakeClock clock(1ms);
  VirtualCamera camera(profileAt(k9600E));
  InProcessChannel channel(camera, clock, true);
  ASSERT_TRUE(channel.open(k9600E));
  EXPECT_EQ(exchangeEach(channel, clock, ":R010200"), ":R01025A");
  const auto expected = std::chrono::duration<double>(2.0 * 8 * 11 / 9600);
  EXPECT_NEAR(std::chrono::duration<double>(clock.elapsed()).count(), expected.count(), 1e-6);
}

TEST(InProcessChannel, AWholeFrameSentAtOnceOverlapsItsAnswers) {
  core::FakeClock clock(1ms);
  VirtualCamera camera(profileAt(k9600E));
  InProcessChannel channel(camera, clock, true);
  ASSERT_TRUE(channel.open(k9600E));
  ASSERT_EQ(channel.write(bytesOf(":W01027E"), core::Deadline(clock, 1000ms)), IoResult::Ok);
  EXPECT_EQ(camera.memory().read(0x0102), 0x5A) << "the write has not reached the camera yet";
  EXPECT_EQ(readAll(channel, clock, 8), ":W01027E");
  EXPECT_EQ(camera.memory().read(0x0102), 0x7E);
  // The last answer ends one character time after the last character arrived.
  EXPECT_NEAR(std::chrono::duration<double>(clock.elapsed()).count(), 9.0 * 11 / 9600, 1e-6);
}

TEST(InProcessChannel, WithoutLineTimingAnswersAreThereAtOnce) {
  core::FakeClock clock(1ms);
  VirtualCamera camera(profileAt(k9600E));
  InProcessChannel channel(camera, clock, false);
  ASSERT_TRUE(channel.open(k9600E));
  ASSERT_EQ(channel.write(bytesOf(":W01027E"), core::Deadline(clock, 1000ms)), IoResult::Ok);
  EXPECT_EQ(camera.memory().read(0x0102), 0x7E);
  EXPECT_EQ(channel.queuedInput(), 8u);
  EXPECT_EQ(readAll(channel, clock, 8), ":W01027E");
  EXPECT_EQ(clock.elapsed(), 0ms);
}

TEST(InProcessChannel, TheCameraHearsNoiseAtAnotherSpeedOrParity) {
  for (const LineSettings& tool : {LineSettings{4800, true}, LineSettings{9600, false}}) {
    core::FakeClock clock(1ms);
    VirtualCamera camera(profileAt(k9600E));
    InProcessChannel channel(camera, clock, true);
    ASSERT_TRUE(channel.open(tool));
    ASSERT_EQ(channel.write(bytesOf(":W01027E"), core::Deadline(clock, 1000ms)), IoResult::Ok);
    std::uint8_t b = 0;
    EXPECT_EQ(channel.readByte(b, core::Deadline(clock, 1000ms)), IoResult::Timeout);
    EXPECT_EQ(clock.elapsed(), 1000ms) << "a timeout ends at its deadline";
    EXPECT_EQ(camera.memory().read(0x0102), 0x5A);
    EXPECT_TRUE(camera.frameLog().all().empty());
    // Reopened at the camera's settings, the line works.
    ASSERT_TRUE(channel.open(k9600E));
    EXPECT_EQ(exchangeEach(channel, clock, ":R010200"), ":R01025A");
  }
}

TEST(InProcessChannel, ReadsCanBeStopped) {
  core::SteadyClock clock;
  VirtualCamera camera(profileAt(k9600E), {Fault{FaultKind::Slow, 3'600'000}});
  InProcessChannel channel(camera, clock, true);
  ASSERT_TRUE(channel.open(k9600E));
  std::uint8_t b = 0;
  std::stop_source early;
  early.request_stop();
  EXPECT_EQ(channel.readByte(b, core::Deadline(clock, 1h), early.get_token()), IoResult::Stopped);

  // A reader waiting on an idle line, then one waiting for an answer an hour away.
  for (bool answerOnTheWay : {false, true}) {
    std::stop_source stop;
    if (answerOnTheWay) {
      ASSERT_EQ(channel.write(bytesOf(":"), core::Deadline(clock, 1s)), IoResult::Ok);
    }
    std::jthread stopper([&] {
      std::this_thread::sleep_for(20ms);
      stop.request_stop();
    });
    const auto t0 = clock.now();
    EXPECT_EQ(channel.readByte(b, core::Deadline(clock, 2h), stop.get_token()), IoResult::Stopped);
    EXPECT_LT(clock.now() - t0, 10s);
  }
}

TEST(InProcessChannel, SilenceTimesOutAtTheDeadline) {
  core::FakeClock clock(1ms);
  VirtualCamera camera(profileAt(k9600E), {Fault{FaultKind::Silent, 0}});
  InProcessChannel channel(camera, clock, true);
  ASSERT_TRUE(channel.open(k9600E));
  ASSERT_EQ(channel.write(bytesOf(":"), core::Deadline(clock, 1000ms)), IoResult::Ok);
  std::uint8_t b = 0;
  EXPECT_EQ(channel.readByte(b, core::Deadline(clock, 1000ms)), IoResult::Timeout);
  EXPECT_EQ(clock.elapsed(), 1000ms);
}

TEST(InProcessChannel, AHangUpFailsEveryTransferAndTheNextOpen) {
  core::FakeClock clock(1ms);
  VirtualCamera camera(profileAt(k9600E), {Fault{FaultKind::HangUp, 1}});
  InProcessChannel channel(camera, clock, true);
  ASSERT_TRUE(channel.open(k9600E));
  EXPECT_EQ(exchangeEach(channel, clock, ":R010200"), ":R01025A");
  ASSERT_EQ(channel.write(bytesOf(":"), core::Deadline(clock, 1000ms)), IoResult::Ok);
  std::uint8_t b = 0;
  EXPECT_EQ(channel.readByte(b, core::Deadline(clock, 1000ms)), IoResult::Error);
  EXPECT_EQ(channel.errorText(), kDeviceGone);
  EXPECT_EQ(channel.write(bytesOf("R"), core::Deadline(clock, 1000ms)), IoResult::Error);
  channel.close();
  auto reopened = channel.open(k9600E);
  ASSERT_FALSE(reopened);
  EXPECT_EQ(reopened.message(), "virtual camera: the device is gone");
}

TEST(InProcessChannel, AnswersOnTheirWayAtTheHangUpAreLost) {
  core::FakeClock clock(1ms);
  VirtualCamera camera(profileAt(k9600E), {Fault{FaultKind::Slow, 1}, Fault{FaultKind::HangUp, 1}});
  InProcessChannel channel(camera, clock, true);
  ASSERT_TRUE(channel.open(k9600E));
  // The second frame starts while the first one's last answer, a little late, is still on
  // the line.
  ASSERT_EQ(channel.write(bytesOf(":R010200:R"), core::Deadline(clock, 1000ms)), IoResult::Ok);
  EXPECT_EQ(readAll(channel, clock, 10), ":R01025");
  EXPECT_EQ(channel.errorText(), kDeviceGone);
}

TEST(InProcessChannel, QueuedInputCountsArrivedBytesAndFlushDiscardsThem) {
  core::FakeClock clock(1ms);
  VirtualCamera camera(profileAt(k9600E));
  InProcessChannel channel(camera, clock, true);
  ASSERT_TRUE(channel.open(k9600E));
  const auto character = LineModel::characterTime(k9600E);
  ASSERT_EQ(channel.write(bytesOf(":R010200"), core::Deadline(clock, 1000ms)), IoResult::Ok);
  EXPECT_EQ(channel.queuedInput(), 0u);
  clock.advance(2 * character);
  EXPECT_EQ(channel.queuedInput(), 1u);
  clock.advance(3 * character);
  EXPECT_EQ(channel.queuedInput(), 4u);
  channel.flush();
  EXPECT_EQ(channel.queuedInput(), 0u);
  clock.advance(1s);
  EXPECT_EQ(channel.queuedInput(), 0u) << "characters not yet sent were discarded too";
  EXPECT_EQ(exchangeEach(channel, clock, ":R010200"), ":R01025A");
}

TEST(InProcessChannel, InputFlushLeavesWhatWasWrittenOnItsWay) {
  core::FakeClock clock(1ms);
  VirtualCamera camera(profileAt(k9600E));
  InProcessChannel channel(camera, clock, true);
  ASSERT_TRUE(channel.open(k9600E));
  ASSERT_EQ(channel.write(bytesOf(":R01"), core::Deadline(clock, 1000ms)), IoResult::Ok);
  channel.flushInput();
  EXPECT_EQ(readAll(channel, clock, 4), ":R01") << "the characters still leaving reached the camera";
  clock.advance(1s);
  EXPECT_EQ(channel.queuedInput(), 0u);
  channel.flushInput();
  EXPECT_EQ(exchangeEach(channel, clock, "0200"), "025A");
}

TEST(InProcessChannel, AdapterLatencyDeliversAnswersInLumps) {
  for (const LineSettings s : {LineSettings{9600, true}, LineSettings{115200, true}}) {
    SCOPED_TRACE(s.baud);
    core::FakeClock clock(1ms);
    VirtualCamera camera(profileAt(s), {Fault{FaultKind::Latency, 16}});
    InProcessChannel channel(camera, clock, true);
    ASSERT_TRUE(channel.open(s));
    // Sent whole, the answer comes in lumps, at the adapter's ticks.
    ASSERT_EQ(channel.write(bytesOf(":R010200"), core::Deadline(clock, 1000ms)), IoResult::Ok);
    std::uint8_t b = 0;
    ASSERT_EQ(channel.readByte(b, core::Deadline(clock, 1000ms)), IoResult::Ok);
    EXPECT_EQ(clock.now().time_since_epoch() % 16ms, core::Clock::duration::zero());
    EXPECT_GT(channel.queuedInput(), 0u);
    EXPECT_EQ(readAll(channel, clock, 7), "R01025A");
    // Character by character, every answer waits for the next tick.
    const auto before = clock.now();
    EXPECT_EQ(exchangeEach(channel, clock, ":R010200"), ":R01025A");
    EXPECT_GT(clock.now() - before, 7 * 16ms);
    EXPECT_LE(clock.now() - before, 8 * 16ms);
  }
}

TEST(InProcessChannel, NeedsToBeOpen) {
  core::FakeClock clock(1ms);
  VirtualCamera camera(profileAt(k9600E));
  InProcessChannel channel(camera, clock, false);
  EXPECT_EQ(channel.describe(), "virtual camera");
  EXPECT_FALSE(channel.isOpen());
  EXPECT_EQ(channel.write(bytesOf(":"), core::Deadline(clock, 1s)), IoResult::Error);
  EXPECT_EQ(channel.errorText(), kNotOpen);
  ASSERT_TRUE(channel.open(k9600E));
  EXPECT_TRUE(channel.isOpen());
  channel.close();
  std::uint8_t b = 0;
  EXPECT_EQ(channel.readByte(b, core::Deadline(clock, 1s)), IoResult::Error);
}

// One thread sends whole frames while another reads the answers, as the AFP receive thread
// and the operation thread share a port.
void readerAndWriterShareTheLine(core::Clock& clock, bool lineTiming) {
  const LineSettings fast{115200, false};
  VirtualCamera camera(profileAt(fast));
  InProcessChannel channel(camera, clock, lineTiming);
  ASSERT_TRUE(channel.open(fast));
  constexpr unsigned kFrames = 200;
  std::string expected;
  for (unsigned i = 0; i < kFrames; ++i)
    expected += fmt::format(":R{:04X}{:02X}", 0x4000 + (i & 0xFF), i & 0xFF);

  std::string answered;
  std::jthread reader([&] { answered = readAll(channel, clock, expected.size()); });
  std::jthread writer([&] {
    for (unsigned i = 0; i < kFrames; ++i) {
      const std::string frame = fmt::format(":R{:04X}00", 0x4000 + (i & 0xFF));
      EXPECT_EQ(channel.write(bytesOf(frame), core::Deadline(clock, 1s)), IoResult::Ok);
    }
  });
  writer.join();
  reader.join();
  EXPECT_EQ(answered, expected);
}

TEST(InProcessChannel, OneReaderAndOneWriterOnRealTime) {
  core::SteadyClock clock;
  readerAndWriterShareTheLine(clock, true);
}

TEST(InProcessChannel, OneReaderAndOneWriterOnVirtualTime) {
  core::FakeClock clock(5s);
  readerAndWriterShareTheLine(clock, true);
}

}  // namespace
}  // namespace orva::sim
