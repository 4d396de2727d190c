#include "link/eap.hpp"

#include <gmock/gmock.h>
#include <fmt/format.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

#include "core/clock.hpp"
#include "link/block_read_off.hpp"
#include "link/testing/scripted_channel.hpp"

namespace orva::link {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

const std::string kReceiveError = "\r\n!! RS-232C receive error.";

TEST(EapFrames, EveryFrameKindByteExact) {
  EXPECT_EQ(eap::readByteFrame(0x1234, false), ":R123400");
  EXPECT_EQ(eap::readByteFrame(0x1234, true), ";R123400");
  EXPECT_EQ(eap::readWordFrame(0xABCD, false), ":rABCD0000");
  EXPECT_EQ(eap::readWordFrame(0x0001, true), ";r00010000");
  EXPECT_EQ(eap::writeByteFrame(0xFCAC, 0), ":WFCAC00");
  EXPECT_EQ(eap::writeWordFrame(0x1000, 0xBEEF), ":w1000BEEF");
  EXPECT_EQ(eap::writeByteHashFrame(0x0A0B, 0x7F), "#W0A0B7F");
  EXPECT_EQ(eap::writeWordHashFrame(0x0A0B, 0x1), "#w0A0B0001");
  EXPECT_EQ(eap::functionFrame('M', 0x12, 1), "/M12");
  EXPECT_EQ(eap::functionFrame('M', 0x12345, 2), "/M2345");
  EXPECT_EQ(eap::functionFrame('M', 0x021234, 3), "/M021234");
  EXPECT_EQ(eap::functionFrame('M', 0xDEADBEEF, 4), "/MDEADBEEF");
  EXPECT_FALSE(eap::functionFrame('M', 1, 0));
  EXPECT_FALSE(eap::functionFrame('M', 1, 5));
  EXPECT_EQ(eap::prefixedReadFrame(0xFF0E, '['), "[RFF0E00");
  EXPECT_EQ(eap::blockReadFrame(0x1000), ":R100000000000000000000000");
  EXPECT_EQ(eap::blockReadFrame(0x1000).size(), 26u);
}

TEST(EapFrames, HexValueAcceptsBothCasesAndNothingElse) {
  EXPECT_EQ(eap::hexValue("5A"), 0x5Au);
  EXPECT_EQ(eap::hexValue("abCD"), 0xABCDu);
  EXPECT_FALSE(eap::hexValue("5G"));
  EXPECT_FALSE(eap::hexValue(std::string("\0" "1", 2)));
  EXPECT_FALSE(eap::hexValue(":0"));
}

class EapTest : public ::testing::Test {
 protected:
  EapTest() : link_(clock_, monitor_) {
    auto ch = std::make_unique<testing::ScriptedChannel>(clock_);
    line_ = ch.get();
    link_.setChannel(std::move(ch));
    link_.setLineSettings({9600, true});
  }
  void SetUp() override {
    ASSERT_TRUE(link_.open());
    monitor_.clear();
  }
  void answer(std::string a) { line_->answers += std::move(a); }

  struct Recorder : ChangedAddressSink {
    std::vector<std::pair<std::uint16_t, std::uint16_t>> writes;
    void written(std::uint16_t a, std::uint16_t v) override { writes.emplace_back(a, v); }
  };

  core::FakeClock clock_{1ms};
  core::RecordingMonitorSink monitor_;
  Link link_;
  testing::ScriptedChannel* line_ = nullptr;
  Eap eap_{link_};
};

TEST_F(EapTest, ReadByteShowsAndLogsEachPairOnItsOwnLine) {
  answer(":R12345A");
  std::uint8_t v = 0;
  ASSERT_TRUE(eap_.readByte(0x1234, v));
  EXPECT_EQ(v, 0x5A);
  EXPECT_EQ(line_->sent, ":R123400");
  EXPECT_EQ(monitor_.pc(), ":R123400");
  EXPECT_EQ(monitor_.camera(), ":R12345A");
  EXPECT_EQ(monitor_.log(), "\n:\t\t\t:\nR\t\t\tR\n1\t\t\t1\n2\t\t\t2\n3\t\t\t3\n4\t\t\t4\n0\t\t\t5\n0\t\t\tA");
  EXPECT_EQ(line_->opens, 1);
}

// A wrong echo stops at the first difference (so the camera answers no more); a value digit that is not hex and a silent
// camera fail too. Each fails after one attempt (silence costs the read limit once), is
// reported, and reopens the line at the fault and again after the report.
TEST_F(EapTest, WrongEchoNonHexDigitOrSilenceFailsAfterOneAttemptReopeningTwice) {
  struct Case {
    std::string answer;
    std::string_view sent;
    bool silent;
  };
  int opens = line_->opens;
  int beeps = 0;
  for (const Case& c : {Case{":R1235", ":R1234", false}, Case{":R12345G", ":R123400", false}, Case{"", ":", true}}) {
    SCOPED_TRACE(c.answer);
    line_->sent.clear();
    answer(c.answer);
    std::uint8_t v = 0x77;
    const auto before = clock_.elapsed();
    EXPECT_FALSE(eap_.readByte(0x1234, v));
    if (c.silent) {
      EXPECT_EQ(clock_.elapsed() - before, kByteReadLimit);
    } else {
      EXPECT_LT(clock_.elapsed() - before, kByteReadLimit);
    }
    EXPECT_EQ(v, 0x77);
    EXPECT_EQ(line_->sent, c.sent);
    EXPECT_THAT(monitor_.pc(), ::testing::EndsWith(kReceiveError));
    EXPECT_THAT(monitor_.log(), ::testing::EndsWith("\n!! RS-232C receive error."));
    EXPECT_EQ(monitor_.beeps(), ++beeps);
    EXPECT_EQ(line_->opens, opens += 2);
    EXPECT_TRUE(link_.isOpen());
  }
}

TEST_F(EapTest, WordReadAndValueDigitsInEitherCase) {
  answer(":r1234ABCD");
  std::uint16_t w = 0;
  ASSERT_TRUE(eap_.readWord(0x1234, w));
  EXPECT_EQ(w, 0xABCD);
  EXPECT_EQ(line_->sent, ":r12340000");
  answer(":R00105a");
  std::uint8_t b = 0;
  ASSERT_TRUE(eap_.readByte(0x0010, b));
  EXPECT_EQ(b, 0x5A);
}

TEST_F(EapTest, WritesNeedTheWholeEchoAndFeedTheChangedAddresses) {
  Recorder changed;
  link_.setChangedAddressSink(&changed);
  answer(":W12345A");
  EXPECT_TRUE(eap_.writeByte(0x1234, 0x5A));
  answer(":w1000BEEF");
  EXPECT_TRUE(eap_.writeWord(0x1000, 0xBEEF));
  answer(":W12345B");  // the last character differs
  EXPECT_FALSE(eap_.writeByte(0x1234, 0x5A));
  answer("#W00017F");
  EXPECT_TRUE(eap_.writeByteHash(0x0001, 0x7F));  // hash writes are not recorded
  using P = std::pair<std::uint16_t, std::uint16_t>;
  EXPECT_THAT(changed.writes, ::testing::ElementsAre(P{0x1234, 0x5A}, P{0x1000, 0xBEEF}, P{0x1001, 0xBEEF}));
}

TEST_F(EapTest, HashWriteIsSentASecondTimeBeforeTheReport) {
  answer("#W0001~");
  answer("#W00017F");
  EXPECT_TRUE(eap_.writeByteHash(0x0001, 0x7F));
  EXPECT_EQ(line_->sent, "#W00017#W00017F");
  EXPECT_THAT(monitor_.pc(), ::testing::Not(HasSubstr("!!")));

  line_->sent.clear();
  answer("#X");
  answer("#X");
  EXPECT_FALSE(eap_.writeByteHash(0x0001, 0x7F));
  EXPECT_EQ(line_->sent, "#W#W");
  EXPECT_THAT(monitor_.pc(), ::testing::EndsWith(kReceiveError));
}

TEST_F(EapTest, AltPrefixReadsStartWithASemicolonAndOpenClearsIt) {
  link_.setAltReadPrefix(true);
  answer(";R0102");
  answer("53");
  std::uint8_t v = 0;
  ASSERT_TRUE(eap_.readByte(0x0102, v));
  EXPECT_EQ(line_->sent, ";R010200");
  EXPECT_EQ(v, 0x53);
  answer(":R");  // the camera must echo ';'
  EXPECT_FALSE(eap_.readByte(0x0102, v));
  EXPECT_FALSE(link_.altReadPrefix());  // the reopen started over with ':'
}

TEST_F(EapTest, FunctionPrefixedAndBlockReads) {
  answer("/M021234");
  EXPECT_TRUE(eap_.functionCommand('M', 0x021234, 3));
  EXPECT_FALSE(eap_.functionCommand('M', 1, 7));
  EXPECT_EQ(line_->sent, "/M021234");

  answer("[RFF0E42");
  std::uint8_t v = 0;
  ASSERT_TRUE(eap_.prefixedRead(0xFF0E, v, '['));
  EXPECT_EQ(v, 0x42);
  EXPECT_THAT(monitor_.log(), HasSubstr("44[\t\t\t[RRFFFF00EE0402"));  // sent and answered interleave

  answer(":R1000000102030405060708090A0B0C0D0E0F10111213");
  std::array<std::uint8_t, 10> block{};
  link_.setBlockReadMode(2);  // a block read goes character by character anyway
  ASSERT_TRUE(eap_.blockRead(0x1000, block));
  EXPECT_EQ(block, (std::array<std::uint8_t, 10>{0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09}));
}

TEST_F(EapTest, BlockReadModeSendsTheWholeFrameFirstAndLogsOneLine) {
  link_.setBlockReadMode(2);
  answer(":R12345A");
  std::uint8_t v = 0;
  ASSERT_TRUE(eap_.readByte(0x1234, v));
  EXPECT_EQ(v, 0x5A);
  EXPECT_EQ(monitor_.log(), "\n:R123400\t\t\t:R12345A");
}

// Thirty-six registers, more than a row: the byte read of the first, then two blanks for
// each further one. One digit that does not come costs the byte read limit and fails the run.
TEST_F(EapTest, SequenceReadsOnPastTheRowAndNeverGuessesADigit) {
  std::string digits;
  std::vector<std::uint8_t> expected;
  for (int i = 0; i < 36; ++i) {
    expected.push_back(static_cast<std::uint8_t>(7 * i));
    digits += fmt::format("{:02X}", 7 * i);
  }
  answer(":R3008" + digits);
  std::vector<std::uint8_t> values(36);
  ASSERT_TRUE(eap_.readSequence(0x3008, values));
  EXPECT_EQ(line_->sent, ":R300800" + std::string(70, ' '));
  EXPECT_EQ(values, expected);

  answer(":R3008" + digits.substr(0, 71));
  std::vector<std::uint8_t> kept(36, 0xEE);
  const auto before = clock_.elapsed();
  EXPECT_FALSE(eap_.readSequence(0x3008, kept));
  EXPECT_EQ(clock_.elapsed() - before, kByteReadLimit);
  EXPECT_EQ(kept, std::vector<std::uint8_t>(36, 0xEE));
  EXPECT_THAT(monitor_.pc(), ::testing::EndsWith(kReceiveError));
}

TEST_F(EapTest, BlockReadOffSendsCharacterByCharacterAndRestoresTheModeOnEveryWayOut) {
  link_.setBlockReadMode(2);
  answer(":R12345A");
  {
    BlockReadOff off(link_);
    EXPECT_EQ(link_.blockReadMode(), 0);
    std::uint8_t v = 0;
    ASSERT_TRUE(eap_.readByte(0x1234, v));
  }
  EXPECT_EQ(link_.blockReadMode(), 2);
  EXPECT_THAT(monitor_.log(), HasSubstr("\nR\t\t\tR")) << "one line per character pair";
  EXPECT_THROW(
      {
        BlockReadOff off(link_);
        throw std::runtime_error("a failed access");
      },
      std::runtime_error);
  EXPECT_EQ(link_.blockReadMode(), 2);
}

TEST_F(EapTest, SoftResetWriteFailsWithoutAReport) {
  answer(":WFCAC0");  // the camera restarts before the last echo
  EXPECT_FALSE(eap_.writeByte(0xFCAC, 0));
  EXPECT_THAT(monitor_.pc(), ::testing::Not(HasSubstr("!!")));
  EXPECT_EQ(line_->opens, 3);
}

TEST_F(EapTest, LineFaultsAreReportedOnceWithTheirReasonAndNotRetried) {
  line_->failWrite = true;
  std::uint8_t v = 0;
  EXPECT_FALSE(eap_.readByte(0x0102, v));
  EXPECT_EQ(monitor_.pc(), ":\r\n!! RS-232C write error.\r\n   Input/output error");
  line_->failWrite = false;
  line_->failRead = true;
  monitor_.clear();
  EXPECT_FALSE(eap_.writeByteHash(0x0102, 1));
  EXPECT_EQ(monitor_.pc(), "#\r\n!! RS-232C read error.\r\n   Input/output error");
  EXPECT_EQ(monitor_.log(), "#\n!! RS-232C read error.\n   Input/output error");
}

TEST_F(EapTest, WithoutACameraFramesAreOnlyShownAndTheLineIsNeverOpened) {
  link_.close();
  const int opens = line_->opens;
  link_.setNoCameraMode(NoCameraMode::Absent);
  std::uint8_t v = 0x11;
  EXPECT_TRUE(eap_.readByte(0x0102, v));
  EXPECT_EQ(v, 0x11);
  EXPECT_TRUE(eap_.writeWord(0x1000, 0x1234));
  EXPECT_EQ(monitor_.pc(), ":R010200:w10001234");
  EXPECT_FALSE(eap_.writeByteHash(0x1000, 1));
  EXPECT_THAT(monitor_.pc(), ::testing::EndsWith("\r\n!! RS-232C write error."));
  EXPECT_EQ(line_->opens, opens);
  EXPECT_TRUE(line_->sent.empty());
}

TEST_F(EapTest, SingleCharacterExchanges) {
  // A typed character: sent raw, the answer shown, a silent camera is no fault.
  answer("x");
  EXPECT_TRUE(eap_.exchangeChar('x'));
  EXPECT_EQ(monitor_.camera(), "x");
  EXPECT_EQ(monitor_.log(), "\nx\t\t\tx");
  EXPECT_TRUE(eap_.exchangeChar('y'));
  EXPECT_THAT(monitor_.pc(), ::testing::Not(HasSubstr("!!")));

  // A swapped byte that never comes back is a receive fault, not a made-up zero.
  std::uint8_t a = 9;
  EXPECT_FALSE(eap_.swapByte(0x10, a));
  EXPECT_EQ(a, 0);
  EXPECT_THAT(monitor_.pc(), ::testing::EndsWith(kReceiveError));

  answer("3c");
  std::uint8_t b = 0x3C;
  ASSERT_TRUE(eap_.exchangeHexByte(b));
  EXPECT_EQ(b, 0x3C);
  answer("Z1");
  EXPECT_FALSE(eap_.exchangeHexByte(b));
}

TEST_F(EapTest, HexByteAt57600PausesBetweenTheDigits) {
  link_.setLineSettings({57600, true});
  answer("7F");
  std::uint8_t b = 0x7F;
  const auto before = clock_.elapsed();
  ASSERT_TRUE(eap_.exchangeHexByte(b));
  EXPECT_EQ(clock_.elapsed() - before, 5ms);
}

TEST_F(EapTest, EchoModesDecideWhatIsShown) {
  monitor_.setEchoMode(core::EchoMode::Hidden);
  answer(":R01025A");
  std::uint8_t v = 0;
  ASSERT_TRUE(eap_.readByte(0x0102, v));
  EXPECT_TRUE(monitor_.pc().empty());
  EXPECT_TRUE(monitor_.camera().empty());
  EXPECT_TRUE(monitor_.log().empty());

  monitor_.setEchoMode(core::EchoMode::StatusLine);
  answer(":R010253");
  ASSERT_TRUE(eap_.readByte(0x0102, v));
  EXPECT_EQ(monitor_.statusLine(), ":R010253");
  EXPECT_TRUE(monitor_.camera().empty());
  EXPECT_EQ(monitor_.pc(), ":R010200");  // sent bytes still show
  answer(":R01");  // a failed attempt is drawn too
  EXPECT_FALSE(eap_.readByte(0x0102, v));
  EXPECT_EQ(monitor_.statusLine(), ":R01");
}

}  // namespace
}  // namespace orva::link
