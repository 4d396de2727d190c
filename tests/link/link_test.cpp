#include "link/link.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/clock.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/testing/scripted_channel.hpp"

namespace orva::link {
namespace {

class LinkTest : public ::testing::Test {
 protected:
  // Gives the link a scripted line and keeps a view of it.
  testing::ScriptedChannel& attach() {
    auto owned = std::make_unique<testing::ScriptedChannel>(clock_);
    auto& line = *owned;
    link_.setChannel(std::move(owned));
    return line;
  }
  core::FakeClock clock_;
  core::RecordingMonitorSink monitor_;
  Link link_{clock_, monitor_};
};

TEST_F(LinkTest, OpenFailureSaysNotOpenAndWhy) {
  EXPECT_FALSE(link_.open());
  EXPECT_THAT(monitor_.pc(), ::testing::StartsWith("\r\n!! RS-232C not open."));

  attach().openError = "/dev/ttyUSB0: permission denied; add your user to the dialout group";
  monitor_.clear();
  EXPECT_FALSE(link_.open());
  EXPECT_EQ(monitor_.pc(), "\r\n!! RS-232C not open.\r\n   /dev/ttyUSB0: permission denied; add your user to the dialout group");
  EXPECT_EQ(monitor_.log(), "\n!! RS-232C not open.\n   /dev/ttyUSB0: permission denied; add your user to the dialout group");
  EXPECT_EQ(monitor_.beeps(), 2);
}

TEST_F(LinkTest, DeviceNoticeIsSaidOnceAcrossReopens) {
  attach().notice = "/dev/ttyS0 does not support even parity; the line runs without parity.";
  EXPECT_TRUE(link_.open());
  EXPECT_TRUE(link_.reopen());
  EXPECT_TRUE(link_.reopen());
  EXPECT_EQ(monitor_.pc(), "\r\n   /dev/ttyS0 does not support even parity; the line runs without parity.");
}

TEST_F(LinkTest, ACommandOnAClosedLineOpensItFirst) {
  auto& line = attach();
  line.answers = ":R01025A";
  Eap eap(link_);
  std::uint8_t v = 0;
  EXPECT_TRUE(eap.readByte(0x0102, v));
  EXPECT_EQ(line.opens, 1);

  // The adapter is gone: the command says so plainly instead of a write error.
  link_.close();
  line.openError = "/dev/ttyUSB0 is gone (unplugged?)";
  monitor_.clear();
  EXPECT_FALSE(eap.readByte(0x0102, v));
  EXPECT_EQ(monitor_.pc(), "\r\n!! RS-232C not open.\r\n   /dev/ttyUSB0 is gone (unplugged?)");
}

TEST_F(LinkTest, KeystrokeNeverOpensAClosedLine) {
  auto& line = attach();
  Eap eap(link_);
  Afp afp(link_);
  EXPECT_FALSE(eap.exchangeChar(':'));
  link_.setProtocol(Protocol::Afp);
  EXPECT_FALSE(afp.exchangeTypedChar('S'));
  EXPECT_EQ(line.opens, 0);
  EXPECT_EQ(line.sent, "");

  ASSERT_TRUE(link_.open());
  line.answers = "x";
  link_.setProtocol(Protocol::Eap);
  EXPECT_TRUE(eap.exchangeChar('x'));
  EXPECT_EQ(line.sent, "x");
}

TEST_F(LinkTest, ClosingTwiceAndWithoutChannelIsHarmless) {
  link_.close();
  link_.close();
  EXPECT_FALSE(link_.isOpen());
  std::uint8_t b = 0;
  EXPECT_EQ(link_.readByte(b), IoResult::Error);
  EXPECT_EQ(link_.writeByte(':'), IoResult::Error);
}

}  // namespace
}  // namespace orva::link
