#include "link/afp_frames.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/afp_replies.hpp"

namespace orva::link {
namespace {

// Feeds every byte and keeps the frames and the faults that came out, in order.
struct Fed {
  std::vector<std::string> frames;
  std::vector<AfpByteFault> faults;
};

Fed feedAll(AfpFrameAssembler& a, std::string_view bytes) {
  Fed out;
  for (char c : bytes) {
    AfpFeed f = a.feed(static_cast<std::uint8_t>(c));
    if (f.frame) out.frames.push_back(f.frame->text);
    if (f.fault != AfpByteFault::None) out.faults.push_back(f.fault);
  }
  return out;
}

AfpFrame frame(std::string text) { return AfpFrame{static_cast<AfpFrameKind>(text[0]), std::move(text)}; }

std::vector<std::string> texts(const std::vector<AfpFrame>& frames) {
  std::vector<std::string> out;
  for (const auto& f : frames) out.push_back(f.text);
  return out;
}

using Texts = std::vector<std::string>;

TEST(AfpFrames, SetAndGetFramesByteExact) {
  EXPECT_EQ(afp::setFrame("018105"), "S018105T");
  EXPECT_EQ(afp::getFrame("0183FFFF"), "G0183FFFFT");
  EXPECT_EQ(afp::setFrame("FE0101020000"), "SFE0101020000T");
}

TEST(AfpFrames, DigitsAreUpperCaseHexAndAnythingElseIs0x99) {
  EXPECT_EQ(afp::digitValue('0'), 0);
  EXPECT_EQ(afp::digitValue('9'), 9);
  EXPECT_EQ(afp::digitValue('A'), 10);
  EXPECT_EQ(afp::digitValue('F'), 15);
  EXPECT_EQ(afp::digitValue('a'), 0x99);
  EXPECT_EQ(afp::digitValue('G'), 0x99);
  EXPECT_EQ(afp::digitValue('\0'), 0x99);
}

TEST(AfpFrames, SlotDigitThatIsNotHexUsesBit25) {
  EXPECT_EQ(afp::slotBit('0'), 1u);
  EXPECT_EQ(afp::slotBit('F'), 1u << 15);
  // Every character outside 0-9/A-F shares bit 25, and none shifts past the word.
  for (int c = 1; c < 128; ++c) {
    const char ch = static_cast<char>(c);
    if (afp::digitValue(ch) == afp::kNotADigit) {
      EXPECT_EQ(afp::slotBit(ch), 1u << 25) << c;
    }
  }
  EXPECT_EQ(frame("RG0T").slotBit(), 1u << 25);
}

TEST(AfpFrames, ReplyFieldsAreReadFromTheirPlaces) {
  EXPECT_EQ(frame("R13T").first(), '1');
  EXPECT_EQ(frame("R13T").status(), 3);
  EXPECT_EQ(frame("Y0183ABCDT").code(), "0183");
  EXPECT_EQ(frame("Y0183ABCDT").value(), "ABCD");
  EXPECT_EQ(frame("Y0183T").value(), "");
  // Short frames have no digits: they read as "not a digit", never past the text.
  EXPECT_EQ(frame("RT").status(), afp::kNotADigit);
  EXPECT_EQ(frame("R1T").status(), afp::kNotADigit);
  EXPECT_EQ(frame("YT").code(), "");
  EXPECT_EQ(frame("Y01T").code(), "01");
}

// One assembler through all rows: after each, whatever came, nothing is left pending.
TEST(AfpFrameAssembler, FramesRunFromTheirLetterToTAndFaultsDropTheFrameInProgress) {
  using F = AfpByteFault;
  const std::string longest = "Y0183" + std::string(afp::kMaxFrameLength - 6, 'A') + "T";
  ASSERT_EQ(longest.size(), afp::kMaxFrameLength);
  struct Case {
    std::string bytes;
    Texts frames;
    std::vector<F> faults;
  };
  const Case cases[] = {
      {"R00TX12TY0183ABCDTI11T", {"R00T", "X12T", "Y0183ABCDT", "I11T"}, {}},
      // "T" outside a frame completes nothing; R inside a Y frame is a value character.
      {"\r\nT12 Y01R3\nT", {"Y01R3\nT"}, {}},
      {"R0Z0TR00T", {"R00T"}, {F::Refused}},
      {std::string("R\0", 2), {}, {F::Invalid}},
      {"R\x80", {}, {F::Invalid}},
      {"R\xFF", {}, {F::Invalid}},
      {longest, {longest}, {}},
      // The tail of the long frame is dropped, not a frame.
      {"Y0183" + std::string(500, 'A') + "TR00T", {"R00T"}, {F::Overlong}},
  };
  AfpFrameAssembler a;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes.substr(0, 12));
    const Fed f = feedAll(a, c.bytes);
    EXPECT_EQ(f.frames, c.frames);
    EXPECT_EQ(f.faults, c.faults);
    EXPECT_EQ(a.pending(), 0u);
  }
}

TEST(AfpReplyStore, FullStoreDropsTheOldestAndSaysSo) {
  AfpReplyStore s;
  for (std::size_t i = 0; i < AfpReplyStore::kCapacity; ++i) ASSERT_TRUE(s.add(frame("X50T")));
  EXPECT_FALSE(s.add(frame("R00T")));
  EXPECT_EQ(s.size(), AfpReplyStore::kCapacity);
  // The newest frame is kept: a command waiting for it still finds it.
  EXPECT_EQ(texts(s.takeThrough([](const AfpFrame& f) { return f.kind == AfpFrameKind::R; })).back(), "R00T");
}

TEST(AfpReplyStore, AcceptanceClearsAndCompletionSetsTheSlotsDoneBit) {
  AfpReplyStore s;
  s.add(frame("X32T"));
  EXPECT_TRUE(s.done(afp::slotBit('3')));
  EXPECT_EQ(s.completionStatus(3), 2);
  s.add(frame("R30T"));  // a new command in slot 3: its earlier completion no longer counts
  EXPECT_FALSE(s.done(afp::slotBit('3')));
  s.add(frame("X10T"));
  EXPECT_FALSE(s.done(afp::slotBit('3')));
  s.add(frame("X35T"));
  EXPECT_TRUE(s.done(afp::slotBit('3')));
  EXPECT_EQ(s.completionStatus(3), 5);
  // Slot sets survive a new receive thread; frames do not.
  s.clearFrames();
  EXPECT_EQ(s.size(), 0u);
  EXPECT_TRUE(s.done(afp::slotBit('3')));
}

TEST(AfpReplyStore, TakingLeavesWhatCameAfter) {
  AfpReplyStore s;
  for (auto t : {"X10T", "Y0185FFT", "R20T", "X20T", "Y0183ABCDT"}) s.add(frame(t));
  EXPECT_TRUE(s.takeThrough([](const AfpFrame& f) { return f.kind == AfpFrameKind::I; }).empty());
  EXPECT_EQ(s.size(), 5u);
  EXPECT_EQ(texts(s.takeThrough([](const AfpFrame& f) { return f.kind == AfpFrameKind::R; })),
            (Texts{"X10T", "Y0185FFT", "R20T"}));
  EXPECT_EQ(texts(s.takeReplies()), (Texts{"Y0183ABCDT"}));
  EXPECT_EQ(texts(s.takeAll()), (Texts{"X20T"}));
}

TEST(AfpReplyStore, CompletionsAreTakenUpToTheNextReplyOnly) {
  AfpReplyStore s;
  for (auto t : {"X10T", "X22T", "R30T", "X30T"}) s.add(frame(t));
  bool stopped = false;
  EXPECT_EQ(texts(s.takeCompletions(stopped)), (Texts{"X10T", "X22T"}));
  EXPECT_TRUE(stopped);
  EXPECT_TRUE(s.takeCompletions(stopped).empty());  // the R stays where it is
  EXPECT_TRUE(stopped);
  EXPECT_EQ(s.size(), 2u);
  s.takeReplies();
  EXPECT_EQ(texts(s.takeCompletions(stopped)), (Texts{"X30T"}));
  EXPECT_FALSE(stopped);
}

TEST(AfpReplyStore, CompletionIsShownOnlyWhenItsAcceptanceWas) {
  AfpReplyStore s;
  EXPECT_FALSE(s.reveal(frame("R10T"), false));
  EXPECT_FALSE(s.reveal(frame("X10T"), true));  // its R was hidden: hidden too
  EXPECT_TRUE(s.reveal(frame("R20T"), true));
  EXPECT_TRUE(s.reveal(frame("X20T"), false));  // its R was shown: shown too
  EXPECT_FALSE(s.reveal(frame("Y0183ABCDT"), false));
  EXPECT_TRUE(s.reveal(frame("Y0183ABCDT"), true));
  // An indication marks the slot named by its kind digit, like an acceptance.
  EXPECT_TRUE(s.reveal(frame("I11T"), true));
  EXPECT_TRUE(s.reveal(frame("X10T"), false));
  EXPECT_FALSE(s.reveal(frame("I21T"), false));
  EXPECT_FALSE(s.reveal(frame("X20T"), true));
}

}  // namespace
}  // namespace orva::link
