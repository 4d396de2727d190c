#include "link/link.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/clock.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/testing/scripted_channel.hpp"

namespace orva::link {
namespace {

using ::testing::HasSubstr;

TEST(Link, OpenFailureSaysNotOpenAndWhy) {
  core::FakeClock clock;
  core::RecordingMonitorSink monitor;
  Link link(clock, monitor);
  EXPECT_FALSE(link.open());
  EXPECT_THAT(monitor.pc(), ::testing::StartsWith("\r\n!! RS-232C not open."));

  auto ch = std::make_unique<testing::ScriptedChannel>(clock);
  ch->openError = "/dev/ttyUSB0: permission denied; add your user to the dialout group";
  link.setChannel(std::move(ch));
  monitor.clear();
  EXPECT_FALSE(link.open());
  EXPECT_EQ(monitor.pc(), "\r\n!! RS-232C not open.\r\n   /dev/ttyUSB0: permission denied; add your user to the dialout group");
  EXPECT_EQ(monitor.log(), "\n!! RS-232C not open.\n   /dev/ttyUSB0: permission denied; add your user to the dialout group");
  EXPECT_EQ(monitor.beeps(), 2);
}

TEST(Link, DeviceNoticeIsSaidOnceAcrossReopens) {
  core::FakeClock clock;
  core::RecordingMonitorSink monitor;
  Link link(clock, monitor);
  auto ch = std::make_unique<testing::ScriptedChannel>(clock);
  ch->notice = "/dev/ttyS0 does not support even parity; the line runs without parity.";
  link.setChannel(std::move(ch));
  EXPECT_TRUE(link.open());
  EXPECT_TRUE(link.reopen());
  EXPECT_TRUE(link.reopen());
  EXPECT_EQ(monitor.pc(), "\r\n   /dev/ttyS0 does not support even parity; the line runs without parity.");
}

TEST(Link, ACommandOnAClosedLineOpensItFirst) {
  core::FakeClock clock;
  core::RecordingMonitorSink monitor;
  Link link(clock, monitor);
  auto owned = std::make_unique<testing::ScriptedChannel>(clock);
  auto* line = owned.get();
  link.setChannel(std::move(owned));
  line->answers = ":R01025A";
  Eap eap(link);
  std::uint8_t v = 0;
  EXPECT_TRUE(eap.readByte(0x0102, v));
  EXPECT_EQ(line->opens, 1);

  // The adapter is gone: the command says so plainly instead of a write error.
  link.close();
  line->openError = "/dev/ttyUSB0 is gone (unplugged?)";
  monitor.clear();
  EXPECT_FALSE(eap.readByte(0x0102, v));
  EXPECT_EQ(monitor.pc(), "\r\n!! RS-232C not open.\r\n   /dev/ttyUSB0 is gone (unplugged?)");
}

TEST(Link, KeystrokeNeverOpensAClosedLine) {
  core::FakeClock clock;
  core::RecordingMonitorSink monitor;
  Link link(clock, monitor);
  auto owned = std::make_unique<testing::ScriptedChannel>(clock);
  auto* line = owned.get();
  link.setChannel(std::move(owned));
  Eap eap(link);
  Afp afp(link);
  EXPECT_FALSE(eap.exchangeChar(':'));
  link.setProtocol(Protocol::Afp);
  EXPECT_FALSE(afp.exchangeTypedChar('S'));
  EXPECT_EQ(line->opens, 0);
  EXPECT_EQ(line->sent, "");

  ASSERT_TRUE(link.open());
  line->answers = "x";
  link.setProtocol(Protocol::Eap);
  EXPECT_TRUE(eap.exchangeChar('x'));
  EXPECT_EQ(line->sent, "x");
}

TEST(Link, ClosingTwiceAndWithoutChannelIsHarmless) {
  core::FakeClock clock;
  core::RecordingMonitorSink monitor;
  Link link(clock, monitor);
  link.close();
  link.close();
  EXPECT_FALSE(link.isOpen());
  std::uint8_t b = 0;
  EXPECT_EQ(link.readByte(b), IoResult::Error);
  EXPECT_EQ(link.writeByte(':'), IoResult::Error);
}

}  // namespace
}  // namespace orva::link
