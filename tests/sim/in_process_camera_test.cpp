// The in-process line with a camera that acts of its own accord: AFP completions and
// indications on virtual time. The protocol switch and the restart at a new speed through this
// line are the negotiation tests' (tests/e2e); the camera's side of them is camera_controls_test's.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "sim/in_process_channel.hpp"
#include "tool_side.hpp"

namespace orva::sim {
namespace {

using namespace std::chrono_literals;
using link::IoResult;
using link::LineSettings;
using testing::bytesOf;
using testing::readAll;

constexpr LineSettings k9600E{9600, true};

Profile cameraAt9600E(Protocol protocol) {
  Profile p;
  p.settings = *link::parseSettingsText("9600,E,8,1");
  p.protocol = protocol;
  p.registers.push_back({0x0102, {0x5A}});
  return p;
}

double seconds(core::Clock::duration d) { return std::chrono::duration<double>(d).count(); }

bool send(link::ByteChannel& channel, core::Clock& clock, std::string_view frame) {
  return channel.write(bytesOf(frame), core::Deadline(clock, 1s)) == IoResult::Ok;
}

TEST(InProcessAfp, ASetIsAcceptedThenCompletedAfterTheCompletionDelay) {
  core::FakeClock clock(1ms);
  VirtualCamera camera(cameraAt9600E(Protocol::Afp));
  InProcessChannel channel(camera, clock, true);
  ASSERT_TRUE(channel.open(k9600E));
  const double character = seconds(LineModel::characterTime(k9600E));
  ASSERT_TRUE(send(channel, clock, "S018105T"));
  EXPECT_EQ(readAll(channel, clock, 4), "R00T");
  EXPECT_NEAR(seconds(clock.elapsed()), 12 * character, 1e-6) << "8 characters sent, 4 answered";
  EXPECT_EQ(readAll(channel, clock, 4), "X00T");
  EXPECT_NEAR(seconds(clock.elapsed()), 8 * character + 0.020 + 4 * character, 1e-6)
      << "the completion leaves 20 ms after the frame arrived";
  ASSERT_TRUE(send(channel, clock, "G0181FFT"));
  EXPECT_EQ(readAll(channel, clock, 8), "Y018105T");
}

TEST(InProcessAfp, AnIndicationRaisedOnAnotherThreadReachesAWaitingReader) {
  core::FakeClock clock(10s);  // a reader nobody wakes waits out these 10 s
  VirtualCamera camera(cameraAt9600E(Protocol::Afp));
  InProcessChannel channel(camera, clock, false);
  ASSERT_TRUE(channel.open(k9600E));
  const auto realStart = std::chrono::steady_clock::now();
  std::string seen;
  std::jthread reader([&] { seen = readAll(channel, clock, 4, 1h); });
  std::this_thread::sleep_for(20ms);
  camera.raiseIndication(1, 1);
  reader.join();
  EXPECT_EQ(seen, "I11T");
  EXPECT_LT(std::chrono::steady_clock::now() - realStart, 5s) << "the reader woke for it";
  EXPECT_EQ(clock.elapsed(), 0ms) << "it went out when it was raised";

  // With nobody reading it waits on the line like any answer.
  camera.raiseIndication(1, 2);
  EXPECT_EQ(channel.queuedInput(), 4u);
  EXPECT_EQ(readAll(channel, clock, 4), "I12T");
}

TEST(InProcessAfp, RaisingAnIndicationAfterTheChannelIsGoneIsHarmless) {
  core::FakeClock clock(1ms);
  VirtualCamera camera(cameraAt9600E(Protocol::Afp));
  {
    InProcessChannel channel(camera, clock, false);
    ASSERT_TRUE(channel.open(k9600E));
  }
  camera.raiseIndication(1, 1);  // no channel to tell
  InProcessChannel again(camera, clock, false);
  ASSERT_TRUE(again.open(k9600E));
  ASSERT_TRUE(send(again, clock, "G0181FFT"));
  EXPECT_EQ(readAll(again, clock, 8), "Y018100T") << "an open line starts empty";
}

}  // namespace
}  // namespace orva::sim
