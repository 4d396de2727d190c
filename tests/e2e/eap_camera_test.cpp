// The EAP commands against the virtual camera on an in-process line: every frame kind, both
// exchange modes and each fault the camera can show, on virtual time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/clock.hpp"
#include "link/eap.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/virtual_camera.hpp"
#include "support/sim_faults.hpp"

namespace orva {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

sim::Profile profileAt(std::string_view settings) {
  auto p = sim::parseProfile(std::string("settings ") + std::string(settings) +
                             "\n0102: 53\n1000: 00 01 02 03 04 05 06 07 08 09\nFF0E: 7E\n");
  EXPECT_TRUE(p) << p.message();
  return *p;
}

struct Bench {
  explicit Bench(std::vector<sim::Fault> faults = {}, bool lineTiming = false, int blockMode = 0)
      : camera(profileAt("9600,E,8,1"), std::move(faults)), link(clock, monitor) {
    auto ch = std::make_unique<sim::InProcessChannel>(camera, clock, lineTiming);
    link.setChannel(std::move(ch));
    link.setLineSettings({9600, true});
    link.setBlockReadMode(blockMode);
    EXPECT_TRUE(link.open());
  }
  core::FakeClock clock{20ms};
  core::RecordingMonitorSink monitor;
  sim::VirtualCamera camera;
  link::Link link;
  link::Eap eap{link};
};

class EveryMode : public ::testing::TestWithParam<int> {};

TEST_P(EveryMode, EveryFrameKindReachesTheCameraAndComesBack) {
  Bench b({}, false, GetParam());
  std::uint8_t v = 0;
  std::uint16_t w = 0;
  ASSERT_TRUE(b.eap.readByte(0x0102, v));
  EXPECT_EQ(v, 0x53);
  ASSERT_TRUE(b.eap.writeByte(0x2000, 0xA5));
  EXPECT_EQ(b.camera.memory().read(0x2000), 0xA5);
  ASSERT_TRUE(b.eap.writeWord(0x2002, 0xBEEF));
  ASSERT_TRUE(b.eap.readWord(0x2002, w));
  EXPECT_EQ(w, 0xBEEF);
  ASSERT_TRUE(b.eap.writeByteHash(0x2004, 0x11));
  EXPECT_EQ(b.camera.memory().read(0x2004), 0x11);
  ASSERT_TRUE(b.eap.writeWordHash(0x2006, 0x2233));
  EXPECT_EQ(b.camera.memory().read(0x2006), 0x22);
  EXPECT_EQ(b.camera.memory().read(0x2007), 0x33);
  ASSERT_TRUE(b.eap.functionCommand('M', 0x021234, 3));
  ASSERT_TRUE(b.eap.prefixedRead(0xFF0E, v, '['));
  EXPECT_EQ(v, 0x7E);
  std::array<std::uint8_t, 10> block{};
  ASSERT_TRUE(b.eap.blockRead(0x1000, block));
  EXPECT_EQ(block[9], 0x09);
  b.link.setAltReadPrefix(true);
  ASSERT_TRUE(b.eap.readByte(0x0102, v));
  EXPECT_THAT(b.monitor.pc(), ::testing::Not(HasSubstr("!!")));
}

INSTANTIATE_TEST_SUITE_P(BlockReadMode, EveryMode, ::testing::Values(0, 2));

TEST(EapCamera, EachFaultEndsInTheReportAndAFreshLine) {
  for (const char* fault : {"silent", "wrong-echo:3", "bad-hex", "garbage:7", "drop:1"}) {
    Bench b(testing::faults({fault}));
    std::uint8_t v = 0x99;
    EXPECT_FALSE(b.eap.readByte(0x0102, v)) << fault;
    EXPECT_EQ(v, 0x99) << fault;
    EXPECT_THAT(b.monitor.pc(), ::testing::EndsWith("\r\n!! RS-232C receive error.")) << fault;
    EXPECT_TRUE(b.link.isOpen()) << fault;
  }
}

TEST(EapCamera, TheRestOfAWrongEchoIsDrainedBeforeTheRetryAndTheNextCommand) {
  // The eighth character of a write is echoed wrong and the camera goes on echoing twenty more
  // characters; the retry and the read after it must not take them for their echoes, and the
  // frames sent are those sent to a camera that stops at once.
  std::vector<std::string> heard[2];
  for (const bool tail : {false, true}) {
    SCOPED_TRACE(tail);
    Bench b(tail ? testing::faults({"wrong-echo:8", "echo-tail:20"}) : testing::faults({"wrong-echo:8"}), true);
    EXPECT_FALSE(b.eap.writeByteHash(0x0102, 0x11));
    std::uint8_t v = 0;
    EXPECT_TRUE(b.eap.readByte(0x0102, v));
    EXPECT_EQ(b.monitor.pc(), "#W010211#W010211\r\n!! RS-232C receive error.:R010200");
    for (const auto& r : b.camera.frameLog().all())
      if (!r.fromCamera) heard[tail].push_back(r.sent);
  }
  EXPECT_EQ(heard[0], heard[1]);
  EXPECT_EQ(heard[1], (std::vector<std::string>{"#W010211", "#W010211", ":R010200"}));
}

TEST(EapCamera, SlowAnswersWithinTheLimitStillSucceed) {
  Bench b(testing::faults({"slow:300"}));
  std::uint8_t v = 0;
  ASSERT_TRUE(b.eap.readByte(0x0102, v));
  EXPECT_EQ(v, 0x53);
  Bench late(testing::faults({"slow:1500"}));
  EXPECT_FALSE(late.eap.readByte(0x0102, v));
}

TEST(EapCamera, HangUpIsAReadErrorThenTheDeviceIsGone) {
  Bench b(testing::faults({"hangup:1"}));
  std::uint8_t v = 0;
  ASSERT_TRUE(b.eap.readByte(0x0102, v));
  b.monitor.clear();
  EXPECT_FALSE(b.eap.readByte(0x0102, v));
  EXPECT_THAT(b.monitor.pc(), HasSubstr("!! RS-232C read error."));
  EXPECT_THAT(b.monitor.pc(), HasSubstr("\r\n!! RS-232C not open.\r\n   "));
  EXPECT_FALSE(b.link.isOpen());
  b.monitor.clear();
  EXPECT_FALSE(b.eap.readByte(0x0102, v));  // the next command says so at once
  EXPECT_THAT(b.monitor.pc(), ::testing::StartsWith("\r\n!! RS-232C not open.\r\n   "));
}

}  // namespace
}  // namespace orva
