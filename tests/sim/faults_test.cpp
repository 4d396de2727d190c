#include "sim/faults.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "converse.hpp"
#include "sim/virtual_camera.hpp"
#include "support/sim_faults.hpp"

namespace orva::sim {
namespace {

using namespace std::chrono_literals;
using testing::converse;
using ::testing::HasSubstr;

TEST(ParseFault, ReadsEveryKind) {
  struct Case {
    std::string text;
    Fault expected;
  };
  for (const auto& c : std::vector<Case>{
           {"silent", {FaultKind::Silent, 0}},
           {"wrong-echo:3", {FaultKind::WrongEcho, 3}},
           {"bad-hex", {FaultKind::BadHex, 0}},
           {"garbage", {FaultKind::Garbage, 1}},
           {"garbage:0", {FaultKind::Garbage, 0}},
           {"hangup:0", {FaultKind::HangUp, 0}},
           {"hangup:12", {FaultKind::HangUp, 12}},
           {"cut:0", {FaultKind::Cut, 0}},
           {"cut:40", {FaultKind::Cut, 40}},
           {"factory-fail", {FaultKind::FactoryFail, 0}},
           {"slow:250", {FaultKind::Slow, 250}},
           {"drop:4294967295", {FaultKind::Drop, 4294967295u}},
           {"echo-tail:20", {FaultKind::EchoTail, 20}},
           {"stray:30", {FaultKind::Stray, 30}},
           {"stray:0", {FaultKind::Stray, 0}},
           {"latency:16", {FaultKind::Latency, 16}},
       }) {
    auto f = parseFault(c.text);
    ASSERT_TRUE(f) << c.text << ": " << f.message();
    EXPECT_EQ(*f, c.expected) << c.text;
    if (c.text != "garbage") {
      EXPECT_EQ(faultText(*f), c.text) << "written back as given";
    }
  }
  EXPECT_EQ(faultText(*parseFault("garbage")), "garbage:1");
}

TEST(ParseFault, RefusesGarbageWithAClearMessage) {
  struct Case {
    std::string text;
    std::string expected;
  };
  for (const auto& c : std::vector<Case>{
           {"", "unknown kind"},
           {"loud", "unknown kind"},
           {"Silent", "unknown kind"},
           {"silent:3", "silent takes no number"},
           {"wrong-echo", "write it as wrong-echo:N"},
           {"wrong-echo:", "not a whole number"},
           {"wrong-echo:0", "at least 1"},
           {"drop:0", "at least 1"},
           {"latency:0", "at least 1"},
           {"echo-tail", "write it as echo-tail:N"},
           {"cut", "write it as cut:N"},
           {"factory-fail:1", "factory-fail takes no number"},
           {"slow:-5", "not a whole number"},
           {"slow:+5", "not a whole number"},
           {"slow:5ms", "not a whole number"},
           {"hangup:4294967296", "not a whole number"},
           {std::string("drop:\0", 6), "not a whole number"},
       }) {
    auto f = parseFault(c.text);
    ASSERT_FALSE(f) << c.text;
    EXPECT_THAT(f.message(), HasSubstr(c.expected)) << c.text;
    EXPECT_THAT(f.message(), HasSubstr("wrong-echo:N")) << "the message lists the kinds";
  }
}

class FaultyCamera : public ::testing::Test {
 protected:
  static Profile profile() {
    Profile p;
    p.registers.push_back({0x1234, {0x5A}});
    return p;
  }
  static std::vector<Fault> faults(std::initializer_list<std::string_view> texts) { return orva::testing::faults(texts); }
};

TEST_F(FaultyCamera, SilentAnswersNothing) {
  VirtualCamera camera(profile(), faults({"silent"}));
  EXPECT_EQ(converse(camera, ":R123400hi"), "");
}

TEST_F(FaultyCamera, WrongEchoSpoilsTheSameCharacterOfEveryFrame) {
  VirtualCamera camera(profile(), faults({"wrong-echo:3"}));
  EXPECT_EQ(converse(camera, ":R123400"),
            ":R0234"
            "5A");
  EXPECT_EQ(converse(camera, ":W123477"), ":W023477");
  VirtualCamera value(profile(), faults({"wrong-echo:8"}));
  EXPECT_EQ(converse(value, ":R123400"), ":R12345@");
}

TEST_F(FaultyCamera, BadHexSpoilsOnlyValueDigits) {
  VirtualCamera camera(profile(), faults({"bad-hex"}));
  EXPECT_EQ(converse(camera, ":R123400"), ":R1234GG");
  EXPECT_EQ(converse(camera, ":r12340000"), ":r1234GGGG");
  EXPECT_EQ(converse(camera, ":R123400  "), ":R1234GGGG") << "a row read on blanks too";
  EXPECT_EQ(converse(camera, ":W123477"), ":W123477");
}

TEST_F(FaultyCamera, GarbageIsWrongEverywhereAndRepeatsWithItsSeed) {
  const std::string sent = ":R123400:W123477/M021234typed";
  VirtualCamera first(profile(), faults({"garbage:7"}));
  VirtualCamera again(profile(), faults({"garbage:7"}));
  VirtualCamera other(profile(), faults({"garbage:8"}));
  const std::string a = converse(first, sent);
  ASSERT_EQ(a.size(), sent.size());
  VirtualCamera clean(profile());
  const std::string truth = converse(clean, sent);
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_NE(a[i], truth[i]) << i;
  EXPECT_EQ(converse(again, sent), a);
  EXPECT_NE(converse(other, sent), a);
}

TEST_F(FaultyCamera, HangUpComesAfterTheGivenNumberOfFrames) {
  VirtualCamera camera(profile(), faults({"hangup:2"}));
  EXPECT_EQ(converse(camera, ":R123400"), ":R12345A");
  EXPECT_EQ(converse(camera, ":W123401"), ":W123401");
  EXPECT_FALSE(camera.hungUp());
  EXPECT_EQ(converse(camera, "typed"), "typed") << "characters outside frames are not frames";
  const Heard third = camera.hear(':');
  EXPECT_TRUE(third.hungUp);
  EXPECT_TRUE(third.answer.empty());
  EXPECT_TRUE(camera.hungUp());
  EXPECT_TRUE(camera.hear('R').hungUp);

  VirtualCamera atOnce(profile(), faults({"hangup:0"}));
  EXPECT_TRUE(atOnce.hear(':').hungUp);
}

TEST_F(FaultyCamera, CutHangsUpAfterTheGivenNumberOfCharactersEvenMidFrame) {
  VirtualCamera camera(profile(), faults({"cut:10"}));
  EXPECT_EQ(converse(camera, "ab"), "ab") << "typed characters count too";
  EXPECT_EQ(converse(camera, ":R123400"), ":R12345A");
  EXPECT_FALSE(camera.hungUp());
  const Heard eleventh = camera.hear(' ');
  EXPECT_TRUE(eleventh.hungUp);
  EXPECT_TRUE(eleventh.answer.empty());
  EXPECT_EQ(camera.hangUpFault(), (Fault{FaultKind::Cut, 10}));
  EXPECT_TRUE(camera.hear(':').hungUp);

  VirtualCamera atOnce(profile(), faults({"cut:0"}));
  EXPECT_TRUE(atOnce.hear('x').hungUp);
}

TEST_F(FaultyCamera, CutCountsOnlyWhatTheToolSent) {
  Profile p = profile();
  p.protocol = Protocol::Afp;
  VirtualCamera camera(p, faults({"cut:9"}));
  EXPECT_EQ(converse(camera, "S110102T"), "R00T");
  camera.advanceTo(camera.now() + std::chrono::seconds(1));
  EXPECT_EQ(camera.takeOutput().size(), 1u) << "the completion went out";
  EXPECT_FALSE(camera.hear('G').hungUp) << "the ninth character from the tool";
  EXPECT_TRUE(camera.hear('1').hungUp);
}

TEST_F(FaultyCamera, WhenTwoFaultsHangUpAtOnceTheFirstGivenIsNamed) {
  VirtualCamera camera(profile(), faults({"hangup:1", "cut:8"}));
  converse(camera, ":R123400");
  EXPECT_TRUE(camera.hear(':').hungUp);
  EXPECT_EQ(camera.hangUpFault(), (Fault{FaultKind::HangUp, 1}));
}

TEST_F(FaultyCamera, SlowDelaysEveryAnswer) {
  VirtualCamera camera(profile(), faults({"slow:250", "slow:50"}));
  for (char c : std::string(":R123400x")) {
    const Heard h = camera.hear(static_cast<std::uint8_t>(c));
    EXPECT_EQ(h.delay, 300ms);
    EXPECT_EQ(h.answer.size(), 1u);
  }
}

TEST_F(FaultyCamera, DropSilencesEveryNthFrame) {
  VirtualCamera camera(profile(), faults({"drop:2"}));
  EXPECT_EQ(converse(camera, ":R123400"), ":R12345A");
  EXPECT_EQ(converse(camera, ":W123477"), "");
  EXPECT_EQ(camera.memory().read(0x1234), 0x77) << "a dropped frame is still heard";
  EXPECT_EQ(converse(camera, "x"), "x");
  EXPECT_EQ(converse(camera, ":R123400"), ":R123477");
  EXPECT_EQ(converse(camera, ":R1234"), "");
  // Resynchronising starts a new frame, which is counted.
  EXPECT_EQ(converse(camera, ":R123400"), ":R123477");
}

TEST_F(FaultyCamera, EchoTailFollowsOnlyAnAnswerThatWentWrong) {
  VirtualCamera camera(profile(), faults({"wrong-echo:3", "echo-tail:4"}));
  EXPECT_EQ(converse(camera, ":R"), ":R");
  EXPECT_FALSE(camera.nextOutputTime()) << "nothing follows a right answer";
  EXPECT_EQ(converse(camera, "1"), "0");
  // The rest of the echo goes out one character time after another, whatever the tool does.
  camera.advanceTo(camera.now() + 1s);
  std::string tail;
  for (const auto& out : camera.takeOutput()) tail.append(out.bytes.begin(), out.bytes.end());
  EXPECT_EQ(tail, "0000");
}

TEST_F(FaultyCamera, StrayByteFollowsDtrAfterItsDelay) {
  VirtualCamera camera(profile(), faults({"stray:30"}));
  camera.lineRaised();
  ASSERT_TRUE(camera.nextOutputTime());
  EXPECT_EQ(*camera.nextOutputTime() - camera.now(), 30ms);
  camera.advanceTo(camera.now() + 30ms);
  const auto out = camera.takeOutput();
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].bytes, std::vector<std::uint8_t>{0xFF});
  EXPECT_FALSE(VirtualCamera(profile()).answersLineRaised());
}

TEST_F(FaultyCamera, FaultsCombine) {
  VirtualCamera camera(profile(), faults({"bad-hex", "wrong-echo:2"}));
  EXPECT_EQ(converse(camera, ":R123400"), ":S1234GG");
}

}  // namespace
}  // namespace orva::sim
