#include "link/afp.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/monitor_sink.hpp"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/clock.hpp"
#include "link/gateway.hpp"
#include "link/testing/afp_camera_channel.hpp"

namespace orva::link {
namespace {

using namespace std::chrono_literals;
using ::testing::EndsWith;
using ::testing::HasSubstr;

const std::string kReadError = "\r\n!! RS-232C read error.";
const std::string kWriteError = "\r\n!! RS-232C write error.";

// Counts calls made on the receive thread so the test's thread can wait for them.
class Arrivals {
 public:
  void note(int value = 0) {
    std::lock_guard lock(mutex_);
    values_.push_back(value);
    cv_.notify_all();
  }
  bool waitFor(std::size_t n) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, 5s, [&] { return values_.size() >= n; });
  }
  std::vector<int> values() const {
    std::lock_guard lock(mutex_);
    return values_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<int> values_;
};

// Replies come at once, so a generous real grace costs nothing; tests that wait out a limit
// use AfpSilenceTest, whose grace is short.
class AfpTest : public ::testing::Test {
 protected:
  explicit AfpTest(std::chrono::milliseconds grace = 2000ms) : clock_(grace), link_(clock_, monitor_) {
    auto ch = std::make_unique<testing::AfpCameraChannel>(clock_);
    line_ = ch.get();
    link_.setChannel(std::move(ch));
    link_.setProtocol(Protocol::Afp);
  }
  void SetUp() override {
    ASSERT_TRUE(link_.open());
    monitor_.clear();
  }
  void answer(std::string reply) { line_->answerNext(std::move(reply)); }

  // Handlers run on the receive thread: what they touch outlives the channel.
  void watch() {
    afp_.subscribeIndications([this](const AfpIndication& i) { indications_.note(i.kind * 0x100 + i.value); });
    afp_.setCompletionNotifier([this] { completions_.note(); });
  }
  static int indication(int kind, int value) { return kind * 0x100 + value; }

  core::FakeClock clock_;
  core::RecordingMonitorSink monitor_;
  Link link_;
  testing::AfpCameraChannel* line_ = nullptr;
  Arrivals indications_, completions_, others_;
  Afp afp_{link_};
};

class AfpSilenceTest : public AfpTest {
 protected:
  AfpSilenceTest() : AfpTest(30ms) {}
};

TEST_F(AfpTest, SetSendsItsFrameAndR00IsSuccess) {
  answer("R00T");
  EXPECT_TRUE(afp_.set("018105", false));
  EXPECT_EQ(line_->sent(), "S018105T");
  EXPECT_EQ(monitor_.pc(), "S018105T");
  EXPECT_EQ(monitor_.camera(), "R00T");
  EXPECT_EQ(monitor_.log(), "S018105T\t\t\tR00T");
  EXPECT_EQ(afp_.lastStatus(), 0);
  EXPECT_EQ(line_->opens(), 1);
}

// What decides a set: its acceptance, and when it waits, the completion of its own slot (a
// slot digit that is not hex is bit 25, the same for every such digit). Each keeps the line.
TEST_F(AfpTest, ASetEndsWithTheStatusOfItsAcceptanceOrOfItsOwnCompletion) {
  struct Case {
    std::string_view reply;
    bool ok;
    int status;
  };
  for (const Case c : {Case{"R03T", false, 3}, Case{"R10TX10T", true, 0}, Case{"R10TX12T", false, 2},
                       Case{"R10TX22TX10T", true, 0}, Case{"R10TX20TX13T", false, 3}, Case{"RG0TXH2T", false, 2}}) {
    SCOPED_TRACE(c.reply);
    monitor_.clear();
    answer(std::string(c.reply));
    EXPECT_EQ(afp_.set("110101", true), c.ok);
    EXPECT_EQ(afp_.lastStatus(), c.status);
    EXPECT_EQ(monitor_.pc(), "S110101T") << "no report";
    if (c.reply.size() <= 8) {
      EXPECT_EQ(monitor_.camera(), c.reply) << "the acceptance and its completion are shown";
    }
  }
  EXPECT_EQ(line_->opens(), 1);
}

TEST_F(AfpTest, CompletionArrivingLaterFromTheCameraEndsTheWait) {
  answer("R40T");
  std::jthread camera([&] {
    if (line_->waitForFrames(1, 5s)) line_->push("X40T");
  });
  EXPECT_TRUE(afp_.set("110101", true));
  camera.join();
  EXPECT_EQ(monitor_.camera(), "R40TX40T");
}

TEST_F(AfpSilenceTest, CompletionThatNeverComesCountsAsDone) {
  answer("R10TX22T");
  EXPECT_TRUE(afp_.set("110101", true));
  EXPECT_EQ(afp_.lastStatus(), 0);
  EXPECT_EQ(monitor_.pc(), "S110101T");  // no fault report
  EXPECT_EQ(line_->opens(), 1);
}

// A get takes the value of its own function's Y: a late reply to an earlier get and an
// acceptance without data are shown, then dropped. A refusal gives the R text and its status.
TEST_F(AfpTest, GetTakesTheValueOfItsOwnFunctionsYOrTheRefusal) {
  struct Case {
    std::string_view reply;
    bool ok;
    std::string_view value;
    int status;
  };
  for (const Case c : {Case{"Y0183ABCDT", true, "ABCD", 0}, Case{"Y018501TR00TY0183ABCDT", true, "ABCD", 0},
                       Case{"R05T", false, "05", 5}}) {
    SCOPED_TRACE(c.reply);
    monitor_.clear();
    answer(std::string(c.reply));
    std::string reply = "old";
    EXPECT_EQ(afp_.get("0183FFFF", reply), c.ok);
    EXPECT_EQ(reply, c.value);
    EXPECT_EQ(afp_.lastStatus(), c.status);
    EXPECT_EQ(monitor_.camera(), c.reply);
    std::string logged = "G0183FFFFT";  // each frame that came on its own log line
    for (std::size_t at = 0, end = 0; at < c.reply.size(); at = end + 1) {
      end = c.reply.find('T', at);
      logged += "\t\t\t" + std::string(c.reply.substr(at, end + 1 - at));
    }
    EXPECT_EQ(monitor_.log(), logged);
  }
  EXPECT_EQ(line_->sent(), "G0183FFFFTG0183FFFFTG0183FFFFT");
  EXPECT_EQ(line_->opens(), 1);
}

TEST_F(AfpTest, KeystrokeFlaggedElsewhereDoesNotEndTheCommandInFlight) {
  // The monitor's typed-input flag is up (a character waits for its turn on the line): the
  // receive thread keeps reading for the command that holds the line.
  monitor_.setTypedInput(true);
  answer("R00T");
  EXPECT_TRUE(afp_.set("018105", false));
  answer("Y0183ABCDT");
  std::string reply;
  EXPECT_TRUE(afp_.get("0183FFFF", reply));
  EXPECT_EQ(reply, "ABCD");
  EXPECT_EQ(monitor_.beeps(), 0);
}

TEST_F(AfpTest, GatewayReadThatAnswersAnotherReadIsAReportedFault) {
  std::uint8_t value = 0x11;
  answer("YFE0101025AT");
  ASSERT_TRUE(gatewayReadByte(afp_, link_, 0x0102, value));
  EXPECT_EQ(value, 0x5A);
  EXPECT_EQ(monitor_.pc(), "");  // the exchange itself stays hidden
  // Wrong address, wrong length, not hex: each is told, and the next command gets a fresh line.
  int opens = line_->opens();
  for (const char* wrong : {"YFE0101035AT", "YFE0101025T", "YFE010102GGT"}) {
    SCOPED_TRACE(wrong);
    monitor_.clear();
    answer(wrong);
    EXPECT_FALSE(gatewayReadByte(afp_, link_, 0x0102, value));
    EXPECT_EQ(value, 0x5A);
    EXPECT_EQ(monitor_.pc(), "\r\n!! RS-232C receive error.");
    EXPECT_EQ(line_->opens(), ++opens);
  }
  std::uint16_t word = 0;
  answer("YFE0212341T");
  EXPECT_FALSE(gatewayReadWord(afp_, link_, 0x1234, word));
  EXPECT_EQ(monitor_.beeps(), 4);
}

TEST_F(AfpSilenceTest, GetAnsweredOnlyByAForeignReplyTimesOut) {
  answer("Y018501T");
  std::string reply = "old";
  EXPECT_FALSE(afp_.get("0183FFFF", reply));
  EXPECT_EQ(reply, "old");
  EXPECT_EQ(monitor_.camera(), "Y018501T");
  EXPECT_THAT(monitor_.pc(), EndsWith(kReadError));
  EXPECT_EQ(line_->opens(), 2);
}

TEST_F(AfpSilenceTest, NoReplyIsAReadErrorOnAReopenedLine) {
  answer("");
  EXPECT_FALSE(afp_.set("018105", false));
  EXPECT_EQ(monitor_.pc(), "S018105T" + kReadError);
  EXPECT_THAT(monitor_.log(), EndsWith("\n!! RS-232C read error."));
  EXPECT_EQ(monitor_.beeps(), 1);
  EXPECT_EQ(line_->opens(), 2);
  EXPECT_TRUE(link_.isOpen());
}

// Each ends the wait at once as a read error on a reopened line, and the next command works.
TEST_F(AfpTest, RefusalInvalidByteFloodOrAFailingLineIsAReadError) {
  std::string flood;
  for (int i = 0; i < 70; ++i) flood += "X50T";
  struct Case {
    std::string reply;
    bool failingLine;
    std::string_view reason;
  };
  int opens = line_->opens();
  int beeps = 0;
  for (const Case& c : {Case{"Z", false, ""}, Case{std::string("R0\x80"), false, ""}, Case{flood + "R00T", false, ""},
                        Case{"R00T", true, "\r\n   Input/output error"}}) {
    SCOPED_TRACE(c.reply.substr(0, 8));
    monitor_.clear();
    answer(c.reply);
    line_->failReads(c.failingLine);
    const auto before = clock_.elapsed();
    EXPECT_FALSE(afp_.set("018105", false));
    EXPECT_EQ(clock_.elapsed(), before) << "at once, not by waiting out the reply limit";
    EXPECT_EQ(monitor_.pc(), "S018105T" + kReadError + std::string(c.reason));
    EXPECT_EQ(line_->opens(), ++opens);
    EXPECT_EQ(monitor_.beeps(), ++beeps);
    line_->failReads(false);
    answer("R00T");
    EXPECT_TRUE(afp_.set("018105", false));
  }
}

TEST_F(AfpTest, FailedWriteIsAWriteError) {
  line_->failWrites(true);
  EXPECT_FALSE(afp_.set("018105", false));
  EXPECT_THAT(monitor_.pc(), EndsWith(kWriteError + "\r\n   Input/output error"));
  EXPECT_EQ(line_->opens(), 2);
  EXPECT_EQ(line_->sent(), "");
}

TEST_F(AfpSilenceTest, WriteThatDoesNotFinishIsAWriteError) {
  line_->stallWrites(true);
  std::string reply;
  EXPECT_FALSE(afp_.get("0183FFFF", reply));
  EXPECT_THAT(monitor_.pc(), EndsWith(kWriteError));
  EXPECT_EQ(line_->opens(), 2);
  EXPECT_EQ(monitor_.beeps(), 1);
}

TEST_F(AfpTest, CompletionOfAHiddenAcceptanceStaysHidden) {
  watch();
  monitor_.setEchoMode(core::EchoMode::Hidden);
  answer("R10T");
  EXPECT_TRUE(afp_.set("610301", false));
  monitor_.setEchoMode(core::EchoMode::Shown);
  answer("R20T");
  EXPECT_TRUE(afp_.set("610301", false));
  EXPECT_EQ(monitor_.camera(), "R20T");

  line_->push("X10TX20T");
  ASSERT_TRUE(completions_.waitFor(2));
  EXPECT_TRUE(afp_.drainCompletions());
  EXPECT_EQ(monitor_.camera(), "R20TX20T");
}

TEST_F(AfpTest, DrainOfLateCompletionsStopsAtAReply) {
  watch();
  answer("R30T");
  EXPECT_TRUE(afp_.set("610301", false));
  line_->push("X30TY0183ABCDTX31T");
  ASSERT_TRUE(completions_.waitFor(2));
  EXPECT_FALSE(afp_.drainCompletions());
  EXPECT_FALSE(afp_.drainCompletions());  // the Y stays for whoever waits for it
  EXPECT_EQ(monitor_.camera(), "R30TX30T");
}

TEST_F(AfpTest, ReplyThatCameBeforeACommandDoesNotAnswerIt) {
  watch();
  answer("R00T");
  EXPECT_TRUE(afp_.set("018105", false));
  line_->push("R05TI11T");  // the indication shows the stray R has been received
  ASSERT_TRUE(indications_.waitFor(1));
  answer("R00T");
  EXPECT_TRUE(afp_.set("018105", false));
  EXPECT_EQ(afp_.lastStatus(), 0);
}

TEST_F(AfpTest, IndicationWhileWaitingDoesNotTakeTheReply) {
  watch();
  answer("I12TR00T");
  EXPECT_TRUE(afp_.set("018105", false));
  answer("I11TY0183ABCDT");
  std::string reply;
  EXPECT_TRUE(afp_.get("0183FFFF", reply));
  EXPECT_EQ(reply, "ABCD");
  ASSERT_TRUE(indications_.waitFor(2));
  EXPECT_EQ(indications_.values(), (std::vector{indication(1, 2), indication(1, 1)}));
  EXPECT_EQ(monitor_.camera(), "\r\nI12TR00T\r\nI11TY0183ABCDT");
  // The indication is logged by the receive thread, perhaps while the sent "T" is still being logged.
  EXPECT_THAT(monitor_.log(), HasSubstr("\t\t\tI12T"));
  EXPECT_THAT(monitor_.log(), HasSubstr("\t\t\tI11T"));
  EXPECT_THAT(monitor_.log(), EndsWith("\t\t\tY0183ABCDT"));
}

TEST_F(AfpTest, IndicationLeavesLateCompletionsForTheirDrain) {
  watch();
  answer("R30T");
  EXPECT_TRUE(afp_.set("610301", false));
  line_->push("X30TI11T");
  ASSERT_TRUE(indications_.waitFor(1));
  EXPECT_TRUE(afp_.drainCompletions());
  EXPECT_EQ(monitor_.camera(), "R30T\r\nI11TX30T");
}

TEST_F(AfpTest, IndicationsGoInOrderToSubscribersUntilTheyLeave) {
  const int id = afp_.subscribeIndications([this](const AfpIndication& i) { others_.note(i.value); });
  watch();
  answer("R00T");
  EXPECT_TRUE(afp_.set("018105", false));  // starts the receive thread
  line_->push("I11TI12TI1GT");
  ASSERT_TRUE(indications_.waitFor(3));
  EXPECT_EQ(others_.values(), (std::vector{1, 2, 0x99}));
  afp_.unsubscribeIndications(id);
  line_->push("I11T");
  ASSERT_TRUE(indications_.waitFor(4));
  EXPECT_EQ(others_.values().size(), 3u);
}

TEST_F(AfpTest, HiddenIndicationIsStillHandedOn) {
  watch();
  monitor_.setEchoMode(core::EchoMode::Hidden);
  answer("I12TR00T");
  EXPECT_TRUE(afp_.set("018105", false));
  ASSERT_TRUE(indications_.waitFor(1));
  EXPECT_EQ(monitor_.camera(), "");
}

TEST_F(AfpTest, WithoutACameraFramesAreOnlyShown) {
  link_.setNoCameraMode(NoCameraMode::Absent);
  EXPECT_TRUE(afp_.set("018105", true));
  std::string reply = "old";
  EXPECT_TRUE(afp_.get("0183FFFF", reply));
  EXPECT_EQ(reply, "");
  EXPECT_EQ(monitor_.pc(), "S018105TG0183FFFFT");
  monitor_.setEchoMode(core::EchoMode::Hidden);
  EXPECT_TRUE(afp_.set("018105", true));
  EXPECT_EQ(monitor_.pc(), "S018105TG0183FFFFT");
  EXPECT_EQ(line_->sent(), "");
  EXPECT_EQ(monitor_.log(), "");
}

TEST_F(AfpTest, NeverTwoReadersOnTheLine) {
  for (int i = 0; i < 5; ++i) {
    answer("R00T");
    EXPECT_TRUE(afp_.set("018105", false));
    if (i % 2 == 0) link_.close();   // the next command opens the line again
    else link_.stopReader();         // as before an EAP command
    EXPECT_EQ(line_->readers(), 0);  // stopped and joined, not abandoned
  }
  EXPECT_EQ(line_->mostReaders(), 1);
}

TEST_F(AfpTest, TypedSetFrameReadsItsAcceptanceAndCompletion) {
  answer("R00T");
  EXPECT_TRUE(afp_.set("018105", false));  // a receive thread is running
  monitor_.clear();
  answer("R00TX00T");
  for (char c : std::string("S018105T")) ASSERT_TRUE(afp_.exchangeTypedChar(c)) << c;
  EXPECT_EQ(monitor_.pc(), "S018105T");
  EXPECT_EQ(monitor_.camera(), "R00T\r\nX00T");
  EXPECT_EQ(monitor_.log(), "S018105T\t\t\tR00T\n\t\t\tX00T");
  EXPECT_EQ(line_->mostReaders(), 1);
}

TEST_F(AfpTest, TypedGetFrameReadsUpToT) {
  answer("Y0183ABCDT");
  for (char c : std::string("G0183FFFFT")) ASSERT_TRUE(afp_.exchangeTypedChar(c)) << c;
  EXPECT_EQ(monitor_.camera(), "Y0183ABCDT");
  EXPECT_EQ(line_->opens(), 1);

  answer("Y01Z");
  for (char c : std::string("G0183FFFF")) ASSERT_TRUE(afp_.exchangeTypedChar(c));
  EXPECT_FALSE(afp_.exchangeTypedChar('T'));
  EXPECT_THAT(monitor_.pc(), EndsWith(kReadError));
  EXPECT_EQ(line_->opens(), 2);
}

TEST_F(AfpTest, TypedCommandStartReadsFourCharactersOrOneWithProtocolChoice) {
  line_->push("ABCD");
  EXPECT_TRUE(afp_.exchangeTypedChar(':'));
  EXPECT_EQ(monitor_.camera(), "ABCD");
  line_->push("R1X2");
  EXPECT_TRUE(afp_.exchangeTypedChar('q'));  // still in the "Z" state: another group
  EXPECT_EQ(monitor_.camera(), "ABCDR1X2");
  EXPECT_THAT(monitor_.log(), EndsWith("q\t\t\tR1\t\t\tX2"));

  monitor_.clear();
  afp_.setProtocolChoice(true);
  line_->push("AB");
  EXPECT_TRUE(afp_.exchangeTypedChar('/'));
  EXPECT_EQ(monitor_.camera(), "A");
  EXPECT_EQ(monitor_.log(), "\n/\t\t\tA");
}

// Sets and gets while the camera sends late completions, foreign replies, garbage and
// indications from another thread, a window thread drains completions and the echo changes.
TEST(AfpStress, CommandsStayCorrectWhileTheCameraTalksOnItsOwn) {
  core::SteadyClock clock;
  core::RecordingMonitorSink monitor;
  Link link(clock, monitor);
  auto owned = std::make_unique<testing::AfpCameraChannel>(clock);
  auto* line = owned.get();
  link.setChannel(std::move(owned));
  link.setProtocol(Protocol::Afp);
  ASSERT_TRUE(link.open());
  std::atomic<int> slot{0};
  line->setResponder([&](const std::string& frame) -> std::string {
    if (frame[0] == 'G') return "Y" + frame.substr(1, 4) + "1234T";
    const char s = static_cast<char>('0' + slot++ % 5);
    return std::string("R") + s + "0TX" + s + "0T";
  });
  Afp afp(link);

  Arrivals indications;
  afp.subscribeIndications([&](const AfpIndication& i) { indications.note(i.value); });
  std::mutex notified;
  std::condition_variable_any completed;
  int pending = 0;
  afp.setCompletionNotifier([&] {
    std::lock_guard lock(notified);
    ++pending;
    completed.notify_one();
  });
  std::jthread window([&](std::stop_token stop) {
    std::unique_lock lock(notified);
    while (completed.wait(lock, stop, [&] { return pending > 0; })) {
      pending = 0;
      lock.unlock();
      afp.drainCompletions();
      lock.lock();
    }
  });

  constexpr int kCommands = 200;
  const std::vector<std::string> noise = {"X50T", "Y9999FFT", "I11T", "QQ\r\n", "XF3T", "I12T"};
  std::atomic<int> indicationsSent{0};
  std::jthread camera([&](std::stop_token stop) {
    for (std::size_t i = 1; i <= kCommands && !stop.stop_requested(); ++i) {
      if (!line->waitForFrames(i, 5s)) return;
      const std::string& n = noise[i % noise.size()];
      if (n[0] == 'I') ++indicationsSent;
      line->push(n);
      monitor.setEchoMode(i % 7 == 0 ? core::EchoMode::Hidden : core::EchoMode::Shown);
    }
  });

  for (int i = 0; i < kCommands; ++i) {
    if (i % 2 == 0) {
      EXPECT_TRUE(afp.set("110101", true)) << i;
    } else {
      std::string reply;
      EXPECT_TRUE(afp.get("0183FFFF", reply)) << i;
      EXPECT_EQ(reply, "1234") << i;
    }
  }
  camera.join();
  EXPECT_TRUE(indications.waitFor(static_cast<std::size_t>(indicationsSent.load())));
  EXPECT_THAT(monitor.pc(), ::testing::Not(HasSubstr("!!")));
  EXPECT_EQ(line->mostReaders(), 1);
  link.close();  // no more calls into this test's handlers
}

}  // namespace
}  // namespace orva::link
