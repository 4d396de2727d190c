#include "sim/eap_responder.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "converse.hpp"

namespace orva::sim {
namespace {

using testing::converse;

class EapResponderTest : public ::testing::Test {
 protected:
  EapResponderTest() {
    memory.write(0x1234, 0x5A);
    memory.write(0x1235, 0xCD);
    memory.write(0xFF0E, 0x3C);
    memory.write(0xFFFF, 0x12);
    memory.write(0x0000, 0x34);
    for (unsigned i = 0; i < 10; ++i)
      memory.write(static_cast<std::uint16_t>(0x1000 + i), static_cast<std::uint8_t>(0xA0 + i));
  }

  std::vector<Reply> hearAll(std::string_view sent) {
    std::vector<Reply> replies;
    for (char c : sent) replies.push_back(eap.hear(static_cast<std::uint8_t>(c)));
    return replies;
  }

  RegisterMemory memory;
  EapResponder eap{memory};
};

TEST_F(EapResponderTest, ReadsAnswerTheRegisterInPlaceOfTheZeros) {
  EXPECT_EQ(converse(eap, ":R123400"), ":R12345A");
  EXPECT_EQ(converse(eap, ":r12340000"), ":r12345ACD");
  // The second byte of a word at FFFF is the one at 0000.
  EXPECT_EQ(converse(eap, ":rFFFF0000"), ":rFFFF1234");
  // The alternative read prefixes answer like ':'.
  EXPECT_EQ(converse(eap, ";R123400"), ";R12345A");
  EXPECT_EQ(converse(eap, ";r12340000"), ";r12345ACD");
  EXPECT_EQ(converse(eap, "[RFF0E00"), "[RFF0E3C");
  EXPECT_EQ(converse(eap, "]RFF0E00"), "]RFF0E3C");
  // Lower-case address digits are understood too.
  EXPECT_EQ(converse(eap, ":Rff0e00"), ":Rff0e3C");
}

TEST_F(EapResponderTest, RepliesSayWhereEachCharacterStands) {
  const auto replies = hearAll(":R123400");
  for (std::size_t i = 0; i < replies.size(); ++i) {
    EXPECT_EQ(replies[i].position, static_cast<int>(i + 1));
    EXPECT_EQ(replies[i].valueDigit, i >= 6) << i;
    EXPECT_TRUE(replies[i].writes.empty());
  }
  // A byte read may still grow into a block read, so it does not end at 8.
  EXPECT_FALSE(replies.back().frameEnds);
  const auto word = hearAll(":r12340000");
  EXPECT_TRUE(word.back().frameEnds);
  EXPECT_FALSE(word[8].frameEnds);
}

TEST_F(EapResponderTest, BlockReadAnswersTenRegistersAndEndsAt26) {
  const std::string frame = ":R1000" + std::string(20, '0');
  EXPECT_EQ(converse(eap, frame), ":R1000A0A1A2A3A4A5A6A7A8A9");
  const auto replies = hearAll(frame);
  EXPECT_EQ(replies.back().position, 26);
  EXPECT_TRUE(replies.back().frameEnds);
  // Whatever follows is outside any frame.
  EXPECT_EQ(eap.hear('0').position, 0);
}

// The 16-byte row from 2000 as the camera spells it, and what 30 blanks get back.
class BlankRowRead : public EapResponderTest {
 protected:
  BlankRowRead() {
    for (unsigned i = 0; i < 16; ++i)
      memory.write(static_cast<std::uint16_t>(0x2000 + i), static_cast<std::uint8_t>(0x10 * i + 15 - i));
  }
  static constexpr std::string_view kRow = "0F1E2D3C4B5A69788796A5B4C3D2E1F0";
  static inline const std::string kBlanks = std::string(30, ' ');
};

TEST_F(BlankRowRead, ThirtyBlanksAfterAByteReadGiveTheRestOfTheRow) {
  EXPECT_EQ(converse(eap, ":R200000" + kBlanks), ":R2000" + std::string(kRow));
  const auto replies = hearAll(":R200000" + kBlanks);
  for (std::size_t i = 8; i < replies.size(); ++i) {
    EXPECT_EQ(replies[i].position, static_cast<int>(i + 1));
    EXPECT_TRUE(replies[i].valueDigit) << i;
  }
  // Addresses wrap from FFFF to 0000, as everywhere.
  EXPECT_EQ(converse(eap, ":RFFFF00" + kBlanks), ":RFFFF1234" + std::string(28, '0'));
}

TEST_F(BlankRowRead, BlanksReadOnIntoTheNextRowUntilTheNextFrame) {
  EXPECT_EQ(converse(eap, ":R200F00" + kBlanks.substr(0, 4)), ":R200FF00000") << "2010 and 2011 hold 00";
  EXPECT_EQ(converse(eap, ":R123400"), ":R12345A");
}

TEST_F(BlankRowRead, AnythingButABlankEndsTheRowRead) {
  EXPECT_EQ(converse(eap, ":R200000   x0"), ":R20000F1E2x0") << "the x and the 0 are outside any frame";
  EXPECT_EQ(converse(eap, ":R200000  :R123400"), ":R20000F1E:R12345A");
  // A block read of zero pairs keeps its own form; a blank inside it ends it.
  EXPECT_EQ(converse(eap, ":R20000000 "), ":R20000F1E ");
  // A frame whose address is not hex reads nothing, blanks included.
  EXPECT_EQ(converse(eap, ":R2X0000  "), ":R2X0000  ");
}

TEST_F(EapResponderTest, AByteReadFollowedByOtherThanZeroEndsAtEight) {
  EXPECT_EQ(converse(eap, ":R123400"), ":R12345A");
  const Reply stray = eap.hear('x');
  EXPECT_EQ(stray.position, 0);
  EXPECT_EQ(stray.answer, std::vector<std::uint8_t>{'x'});
}

TEST_F(EapResponderTest, WritesEchoEverythingAndLandAfterTheLastCharacter) {
  const auto replies = hearAll(":W12347");
  EXPECT_EQ(memory.read(0x1234), 0x5A) << "nothing lands before the frame is complete";
  const Reply last = eap.hear('E');
  EXPECT_EQ(memory.read(0x1234), 0x7E);
  EXPECT_TRUE(last.frameEnds);
  EXPECT_EQ(last.writes, (std::vector<MemoryWrite>{{0x1234, 0x7E}}));
  EXPECT_EQ(last.answer, std::vector<std::uint8_t>{'E'});
  for (const auto& r : replies) EXPECT_FALSE(r.valueDigit);

  EXPECT_EQ(converse(eap, ":w2000BEEF"), ":w2000BEEF");
  EXPECT_EQ(memory.read(0x2000), 0xBE);
  EXPECT_EQ(memory.read(0x2001), 0xEF);
  EXPECT_EQ(converse(eap, ":wFFFF0102"), ":wFFFF0102");
  EXPECT_EQ(memory.read(0xFFFF), 0x01);
  EXPECT_EQ(memory.read(0x0000), 0x02);
}

TEST_F(EapResponderTest, FunctionCommandsAndUnknownKindsAreEchoedWithoutEffect) {
  for (std::string frame : {"/M02", "/M1234", "/M021234", "/X12345678", "#R123400", ":X123400", "[W123456"}) {
    EXPECT_EQ(converse(eap, frame), frame);
  }
  EXPECT_EQ(memory.read(0x1234), 0x5A);
  // Ten characters is the longest function command: the eleventh is outside any frame.
  const auto replies = hearAll("/X12345678Z");
  EXPECT_TRUE(replies[9].frameEnds);
  EXPECT_EQ(replies[10].position, 0);
}

TEST_F(EapResponderTest, ANewFrameStartResynchronises) {
  // The tool gave up after three characters and started over.
  EXPECT_EQ(converse(eap, ":R1:R123400"), ":R1:R12345A");
  EXPECT_EQ(converse(eap, "::R123400"), "::R12345A");
  // An abandoned write changes nothing; the one after it lands.
  EXPECT_EQ(converse(eap, ":W1234:W400099"), ":W1234:W400099");
  EXPECT_EQ(memory.read(0x1234), 0x5A);
  EXPECT_EQ(memory.read(0x4000), 0x99);
  // Mid-block-read too.
  EXPECT_EQ(converse(eap, ":R10000000:R123400"), ":R1000A0A1:R12345A");
  const auto replies = hearAll(":W12;R123400");
  EXPECT_EQ(replies[4].position, 1);
}

TEST_F(EapResponderTest, TypedCharactersOutsideFramesAreEchoed) {
  const auto replies = hearAll("hello\r");
  for (const auto& r : replies) EXPECT_EQ(r.position, 0);
  EXPECT_EQ(converse(eap, "hello\r"), "hello\r");
}

TEST_F(EapResponderTest, FramesWithNonHexDigitsAreEchoedAndChangeNothing) {
  EXPECT_EQ(converse(eap, ":RZZ3400"), ":RZZ3400");
  EXPECT_EQ(converse(eap, ":W12G45A"), ":W12G45A");
  EXPECT_EQ(converse(eap, ":W12345Q"), ":W12345Q");
  EXPECT_EQ(memory.read(0x1234), 0x5A);
  EXPECT_EQ(memory.read(0x0012), 0x00);
}

TEST_F(EapResponderTest, ResetForgetsTheFrameInProgress) {
  converse(eap, ":W1234");
  eap.reset();
  EXPECT_EQ(eap.hear('5').position, 0);
  converse(eap, "A");
  EXPECT_EQ(memory.read(0x1234), 0x5A);
}

}  // namespace
}  // namespace orva::sim
