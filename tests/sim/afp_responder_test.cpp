#include "sim/afp_responder.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "converse.hpp"

namespace orva::sim {
namespace {

using testing::converse;

std::string text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

class AfpResponderTest : public ::testing::Test {
 protected:
  // The completion of the last frame heard, as text.
  std::string hearFrame(std::string_view frame, std::string* completion = nullptr) {
    std::string answered;
    for (char c : frame) {
      Reply reply = afp.hear(static_cast<std::uint8_t>(c));
      answered += text(reply.answer);
      if (completion && !reply.completion.empty()) *completion = text(reply.completion);
    }
    return answered;
  }

  RegisterMemory memory;
  AfpResponder afp{memory, Refusals{{0x2201, 0x3}, {0x0183, 0xE}}};
};

TEST_F(AfpResponderTest, ASetIsAcceptedAtItsEndAndCompletesInTheSameSlot) {
  std::vector<Reply> replies;
  for (char c : std::string("S018105T")) replies.push_back(afp.hear(static_cast<std::uint8_t>(c)));
  for (std::size_t i = 0; i + 1 < replies.size(); ++i) {
    EXPECT_TRUE(replies[i].answer.empty()) << "nothing is echoed, character " << i;
    EXPECT_EQ(replies[i].position, static_cast<int>(i + 1));
    EXPECT_FALSE(replies[i].frameEnds);
  }
  const Reply& last = replies.back();
  EXPECT_EQ(text(last.answer), "R00T");
  EXPECT_EQ(text(last.completion), "X00T");
  EXPECT_EQ(last.position, 8);
  EXPECT_TRUE(last.frameEnds);
  ASSERT_TRUE(last.functionSet);
  EXPECT_EQ(*last.functionSet, (FunctionSet{0x0181, "05"}));
  EXPECT_EQ(last.functionSet->number(), 5u);
}

TEST_F(AfpResponderTest, SlotsCycleThroughSixteenHexDigits) {
  std::string slots;
  for (int i = 0; i < 18; ++i) {
    std::string completion;
    const std::string r = hearFrame("S110101T", &completion);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(completion, "X" + r.substr(1, 1) + "0T");
    slots += r[1];
  }
  EXPECT_EQ(slots, "0123456789ABCDEF01");
  // A refusal takes a slot too.
  EXPECT_EQ(hearFrame("G2201FFT"), "R23T");
}

TEST_F(AfpResponderTest, AGetReturnsWhatWasSetInTheWidthItAsksFor) {
  EXPECT_EQ(hearFrame("G1101FFT"), "Y110100T") << "never set: zeros";
  EXPECT_EQ(hearFrame("G3401FFFFFFT"), "Y3401000000T");
  hearFrame("S1101A2T");
  EXPECT_EQ(hearFrame("G1101FFT"), "Y1101A2T");
  hearFrame("S3401BEEF07T");
  EXPECT_EQ(hearFrame("G3401FFFFFFT"), "Y3401BEEF07T");
  // A narrower get takes the first digits, a wider one is filled with zeros.
  EXPECT_EQ(hearFrame("G3401FFFFT"), "Y3401BEEFT");
  EXPECT_EQ(hearFrame("G1101FFFFT"), "Y1101A200T");
  // Other codes are not touched; a get stores nothing.
  EXPECT_EQ(hearFrame("G1102FFT"), "Y110200T");
  EXPECT_EQ(hearFrame("G1101FFT"), "Y1101A2T");
}

TEST_F(AfpResponderTest, DigitsOtherThanFInAGetComeBackAsSent) {
  hearFrame("S11010305T");
  EXPECT_EQ(hearFrame("G110104FFT"), "Y11010405T");
}

TEST_F(AfpResponderTest, ATableFunctionKeepsOneValuePerIndex) {
  struct Case {
    const char* setFirst;
    const char* setSecond;  // another index of the same table
    const char* getFirst;
    const char* answerFirst;
    const char* getUnset;
    const char* answerUnset;
  };
  const Case cases[] = {
      {"S72080111223344T", "S72080255667788T", "G720801FFFFFFFFT", "Y72080111223344T", "G720803FFFFFFFFT", "Y72080300000000T"},
      {"S720901AAAABBBBT", "S720902CCCCDDDDT", "G720901FFFFFFFFT", "Y720901AAAABBBBT", "G720903FFFFFFFFT", "Y72090300000000T"},
      {"S210701A1B2C3T", "S210706D4E5F6T", "G210701FFFFFFT", "Y210701A1B2C3T", "G210702FFFFFFT", "Y210702000000T"},
      {"S610D0305T", "S610D0306T", "G610DFF05T", "Y610D0305T", "G610DFF07T", "Y610D0007T"},
      {"S120E0305T", "S120E0409T", "G120E03FFT", "Y120E0305T", "G120E05FFT", "Y120E0500T"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setFirst);
    hearFrame(c.setFirst);
    hearFrame(c.setSecond);
    EXPECT_EQ(hearFrame(c.getFirst), c.answerFirst);
    EXPECT_EQ(hearFrame(c.getUnset), c.answerUnset);
  }
}

TEST_F(AfpResponderTest, RefusedCodesAnswerWithTheirStatusAndChangeNothing) {
  const Reply refusedSet = [&] {
    Reply last;
    for (char c : std::string("S220101T")) last = afp.hear(static_cast<std::uint8_t>(c));
    return last;
  }();
  EXPECT_EQ(text(refusedSet.answer), "R03T");
  EXPECT_TRUE(refusedSet.completion.empty()) << "a refused set never completes";
  EXPECT_FALSE(refusedSet.functionSet) << "nor acts";
  EXPECT_TRUE(refusedSet.frameEnds);
  EXPECT_EQ(hearFrame("G2201FFT"), "R13T") << "a refused get gets an R instead of a Y";
  EXPECT_EQ(hearFrame("G0183FFFFT"), "R2ET");
  EXPECT_EQ(hearFrame("G2202FFT"), "Y220200T") << "only the refused codes";
}

TEST_F(AfpResponderTest, GarbageIsAnsweredWithZAndTheFrameDropped) {
  // Outside a frame: anything but S and G.
  for (char c : std::string("xT:R0\r1"))
    EXPECT_EQ(converse(afp, std::string(1, c)), "Z") << c;
  const Reply outside = afp.hear('x');
  EXPECT_EQ(outside.position, 0);
  EXPECT_FALSE(outside.frameEnds);

  // Inside a frame: a character that is neither a digit nor T, lower case included.
  for (std::string frame : {"S01x105T", "S01a105T", "G1101F FT", "S0181\x80" "05T"}) {
    const auto bad = frame.find_first_not_of("SG0123456789ABCDEFT");
    // What follows the bad character is outside any frame, so each of it is a Z too.
    EXPECT_EQ(hearFrame(frame), std::string(frame.size() - bad, 'Z')) << frame;
  }
  // Too short to hold a code and a value.
  EXPECT_EQ(hearFrame("ST"), "Z");
  EXPECT_EQ(hearFrame("S0181T"), "Z");
  EXPECT_EQ(hearFrame("G018T"), "Z");
  // Longer than any frame in use.
  EXPECT_EQ(hearFrame("S0181" + std::string(60, '0')), "");
  EXPECT_EQ(hearFrame("0"), "Z");
  // None of it was stored; the camera is in step again at once.
  EXPECT_EQ(hearFrame("G0181FFT"), "Y018100T");
}

TEST_F(AfpResponderTest, AFrameStartInsideAFrameStartsOver) {
  EXPECT_EQ(hearFrame("S01G1101FFT"), "Y110100T");
  EXPECT_EQ(hearFrame("G11S110107T"), "R00T");
  EXPECT_EQ(hearFrame("G1101FFT"), "Y110107T");
  const Reply restart = afp.hear('S');
  EXPECT_EQ(restart.position, 1);
  EXPECT_TRUE(restart.answer.empty());
}

TEST_F(AfpResponderTest, ResetForgetsTheFrameInProgress) {
  hearFrame("S110109");
  afp.reset();
  EXPECT_EQ(hearFrame("T"), "Z");
  EXPECT_EQ(hearFrame("G1101FFT"), "Y110100T");
}

// The gateway carrying registers both ways, a word high byte first, is what every AFP panel
// and command test runs on (CliCamsimAfp.SetGetRefusalAndTheGateway, the every-panel round
// trip); here the edges no tool frame reaches.
TEST_F(AfpResponderTest, TheGatewaysAddressesWrapAndAnAddressOfFsIsAnAddress) {
  memory.write(0xFFFF, 0x12);
  EXPECT_EQ(hearFrame("GFE01FFFFFFT"), "YFE01FFFF12T");
  Reply last;
  for (char c : std::string("SFE02FFFF5678T")) last = afp.hear(static_cast<std::uint8_t>(c));
  EXPECT_EQ(text(last.answer), "R00T");
  EXPECT_EQ(text(last.completion), "X00T");
  EXPECT_EQ(last.writes, (std::vector<MemoryWrite>{{0xFFFF, 0x56}, {0x0000, 0x78}}));
  EXPECT_EQ(memory.read(0xFFFF), 0x56);
  EXPECT_EQ(memory.read(0x0000), 0x78) << "the word at FFFF ends at 0000";
}

TEST_F(AfpResponderTest, AGatewayCommandOfTheWrongLengthIsRefused) {
  for (std::string frame :
       {"SFE0101025T", "SFE010102555T", "GFE010102FFFFT", "GFE02010FFFFT", "SFE02010212T"}) {
    const std::string r = hearFrame(frame);
    ASSERT_EQ(r.size(), 4u) << frame;
    EXPECT_EQ(r[0], 'R') << frame;
    EXPECT_EQ(r[2], '1') << frame;
  }
  for (std::uint32_t a = 0x0100; a < 0x0104; ++a) EXPECT_EQ(memory.read(static_cast<std::uint16_t>(a)), 0);
}

}  // namespace
}  // namespace orva::sim
