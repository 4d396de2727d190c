#include "shell/monitor.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/prompt.hpp"
#include "shell/colour.hpp"
#include "shell/texts.hpp"

namespace orva::shell {
namespace {

using core::Answer;

std::size_t lineCount(std::string_view text) {
  std::size_t n = 1;
  for (std::size_t at = text.find("\r\n"); at != std::string_view::npos; at = text.find("\r\n", at + 2)) ++n;
  return n;
}

void appendBytes(Monitor& m, Side side, std::string_view bytes) {
  for (const char& b : bytes) side == Side::Pc ? m.appendPc({&b, 1}) : m.appendCamera({&b, 1});
}

// Rebuilds both panes from the events alone, as a view does.
class MirrorView : public MonitorObserver {
 public:
  void appended(Side side, std::string_view text) noexcept override { pane(side) += text; }
  void firstLineDeleted(Side side) noexcept override { pane(side).erase(0, pane(side).find("\r\n") + 2); }
  void cleared() noexcept override {
    pc.clear();
    camera.clear();
  }
  void statusLineChanged(std::string_view text) noexcept override { statusLine = text; }
  void beep() noexcept override { ++beeps; }

  std::string& pane(Side side) { return side == Side::Pc ? pc : camera; }
  std::string pc, camera, statusLine;
  int beeps = 0;
};

TEST(Pane, CountsLinesOnCrLfAlsoWhenSplitAcrossInsertions) {
  Pane p;
  EXPECT_EQ(p.lineCount(), 1u);
  p.append("a\rb\nc\r");
  EXPECT_EQ(p.lineCount(), 1u);
  p.append("\n");
  EXPECT_EQ(p.lineCount(), 2u);
}

TEST(Pane, CutsInsertionsAtItsLimit) {
  Pane p(10);
  EXPECT_EQ(p.append("12345678"), 8u);
  EXPECT_EQ(p.append("abcd"), 2u);
  EXPECT_EQ(p.append("x"), 0u);
  EXPECT_EQ(p.text(), "12345678ab");
}

TEST(Pane, DeletesFirstLinesButKeepsTheLast) {
  Pane p;
  std::string expected;
  for (int i = 0; i < 3000; ++i) expected += fmt::format("line {}\r\n", i);
  p.append(expected);
  for (int i = 0; i < 2000; ++i) ASSERT_TRUE(p.deleteFirstLine());  // crosses the compaction point
  EXPECT_EQ(p.text(), std::string_view(expected).substr(expected.find("line 2000")));
  EXPECT_EQ(p.lineCount(), 1001u);
  while (p.deleteFirstLine()) {}
  EXPECT_EQ(p.text(), "");
  p.append("only");
  EXPECT_FALSE(p.deleteFirstLine());
  EXPECT_EQ(p.text(), "only");
}

TEST(MonitorAppend, PcFrameOnLevelPanesAddsOneEmptyCameraLineTheReplyThenFillsWithoutMovingTheModel) {
  Monitor m;
  appendBytes(m, Side::Pc, ":R010200");
  MonitorSnapshot s = m.snapshot();
  EXPECT_EQ(s.pc, "\r\n:R010200");
  EXPECT_EQ(s.camera, "\r\n");
  EXPECT_EQ(s.row, 1);
  EXPECT_EQ(s.column, 8);
  appendBytes(m, Side::Camera, ":R0102005A");
  s = m.snapshot();
  EXPECT_EQ(s.camera, "\r\n:R0102005A");
  EXPECT_EQ(s.pc, "\r\n:R010200");
  EXPECT_EQ(s.row, 1);
  EXPECT_EQ(s.column, 8);
}

TEST(MonitorAppend, CameraAheadLevelsThePcPaneOnlyWhileEchoIsShown) {
  Monitor shown;
  shown.appendCamera("\r\n");
  shown.appendCamera(":5A");
  EXPECT_EQ(shown.snapshot().camera, "\r\n\r\n:5A");
  EXPECT_EQ(shown.snapshot().pc, "\r\n\r\n");
  EXPECT_EQ(shown.snapshot().row, 1);

  Monitor hidden;
  hidden.setEchoMode(core::EchoMode::Hidden);
  hidden.appendCamera("A\r\nB\r\n");
  hidden.appendCamera(":C");
  EXPECT_EQ(hidden.snapshot().camera, "A\r\nB\r\n:C");
  EXPECT_EQ(hidden.snapshot().pc, "");
  EXPECT_EQ(hidden.snapshot().column, 0);
}

TEST(MonitorAppend, AfpReplyStartsALineOnlyWhenNothingElseDid) {
  Monitor m;
  m.setAfpVariant(true);
  m.appendCamera("R1");  // no earlier camera append to compare with
  m.appendCamera("R2");  // camera line count unchanged: a line of its own
  m.appendCamera("R3");  // the count compared is the one before R2's break
  m.appendPc("S01T");    // the alignment moves the camera pane on
  m.appendCamera("R4");
  m.setTypedInput(true);
  m.appendCamera("X5");
  m.setTypedInput(false);
  m.appendCamera("Y6");
  EXPECT_EQ(m.snapshot().camera, "R1\r\nR2R3\r\nR4X5\r\nY6");
  EXPECT_EQ(m.snapshot().pc, "\r\n\r\nS01T\r\n");

  Monitor eap;
  eap.appendCamera("R1");
  eap.appendCamera("R2");
  EXPECT_EQ(eap.snapshot().camera, "R1R2");
}

TEST(MonitorAppend, NulEndsThePaneTextButStillMovesTheModel) {
  Monitor m;
  m.appendPc(std::string_view("a\0b", 3));
  EXPECT_EQ(m.snapshot().pc, "a");
  EXPECT_EQ(m.snapshot().column, 3);
}

TEST(MonitorTrim, TheTwoHundredthNewLineDropsTheOldestLineOfEachPane) {
  Monitor m;
  for (int i = 1; i <= 199; ++i) m.appendPc(fmt::format("\r\nL{}", i));
  MonitorSnapshot s = m.snapshot();
  EXPECT_EQ(s.row, 199);
  EXPECT_EQ(s.view.verticalPos, (199 - 28) * Monitor::kDefaultLineHeight);  // the view followed from row 29
  EXPECT_EQ(s.pc.substr(0, 6), "\r\nL1\r\n");
  m.appendPc("\r\nL200");
  s = m.snapshot();
  EXPECT_EQ(s.pc.substr(0, 6), "L1\r\nL2");
  EXPECT_EQ(lineCount(s.pc), 200u);
  EXPECT_EQ(lineCount(s.camera), 200u);
  m.appendPc("\r\nL201");
  EXPECT_EQ(m.snapshot().pc.substr(0, 6), "L2\r\nL3");
}

TEST(MonitorObserver, MirrorsThePanesFromALateSubscription) {
  MirrorView view;
  Monitor m;
  m.appendPc("before");
  const MonitorSnapshot start = m.subscribe(view);
  view.pc = start.pc;
  view.camera = start.camera;
  for (int i = 0; i < 250; ++i) {
    m.heading(fmt::format("<< RUN {} >>", i), 1 + i % 2);
    appendBytes(m, Side::Pc, ":R010200");
    appendBytes(m, Side::Camera, ":R0102005A\a");
  }
  m.setStatusLine(":R0102005A");
  const MonitorSnapshot s = m.snapshot();
  EXPECT_EQ(view.pc, s.pc);
  EXPECT_EQ(view.camera, s.camera);
  EXPECT_EQ(view.statusLine, ":R0102005A");
  EXPECT_EQ(view.beeps, 0);  // camera bytes on a level line are not fed to the model
  m.appendPc("\a");
  m.beep();
  EXPECT_EQ(view.beeps, 2);
  m.clearScreen();
  EXPECT_EQ(view.pc + view.camera, "");
  EXPECT_EQ(m.snapshot().row, 0);
  m.unsubscribe(view);
}

// Echoes from inside its first callback, reads a snapshot there, and leaves from there.
class EchoingView final : public MonitorObserver {
 public:
  explicit EchoingView(Monitor& m) : m_(m) {}
  void appended(Side, std::string_view text) noexcept override {
    seen.emplace_back(text);
    m_.appendCamera("5A");
    pcInCallback = m_.snapshot().pc;
    m_.unsubscribe(*this);
  }
  std::vector<std::string> seen;
  std::string pcInCallback;

 private:
  Monitor& m_;
};

TEST(MonitorObserver, MayCallBackIntoTheMonitorAndLeaveAtOnce) {
  Monitor m;
  EchoingView view(m);
  m.subscribe(view);
  m.appendPc(":");  // the frame on the PC side and an empty camera line: two changes at once
  EXPECT_EQ(view.seen, std::vector<std::string>{"\r\n:"});
  EXPECT_EQ(view.pcInCallback, "\r\n:");
  EXPECT_EQ(m.snapshot().camera, "\r\n5A");
}

// Subscribes a second view from inside a callback, between two appends still queued.
class Introducer final : public MonitorObserver {
 public:
  Introducer(Monitor& m, MirrorView& late) : m_(m), late_(late) {}
  void appended(Side, std::string_view text) noexcept override {
    if (text != "a") return;
    m_.appendPc("1");
    late_.pc = m_.subscribe(late_).pc;
    m_.appendPc("2");
  }

 private:
  Monitor& m_;
  MirrorView& late_;
};

TEST(MonitorObserver, ASubscriptionFromACallbackSeesEachChangeOnce) {
  MirrorView late;
  Monitor m;
  Introducer introducer(m, late);
  m.subscribe(introducer);
  m.appendPc("a");
  m.appendPc("b");
  EXPECT_EQ(late.pc, "a12b");
  m.unsubscribe(late);
  m.unsubscribe(introducer);
}

TEST(MonitorBufferFull, CancelKeepsThePanesAndAsksAgainOkClearsThem) {
  core::ScriptedPrompt prompt;
  prompt.answer(Answer::Cancel).answer(Answer::Ok);
  core::FixedWallClock clock({});
  Monitor m(clock, 16);
  m.setPrompt(&prompt);
  m.appendPc("0123456789abcdef-lost");
  ASSERT_EQ(prompt.asked().size(), 1u);
  EXPECT_EQ(prompt.asked()[0].text, texts::kBufferFull);
  EXPECT_EQ(prompt.asked()[0].title, texts::kBufferFullTitle);
  EXPECT_EQ(prompt.asked()[0].buttons, core::Buttons::OkCancel);
  EXPECT_EQ(prompt.asked()[0].icon, core::Icon::Question);
  EXPECT_EQ(m.snapshot().pc, "0123456789abcdef");

  m.appendCamera("fits");  // not cut: no question
  EXPECT_EQ(prompt.asked().size(), 1u);
  m.appendPc("g");
  EXPECT_EQ(prompt.asked().size(), 2u);
  const MonitorSnapshot s = m.snapshot();
  EXPECT_EQ(s.pc + s.camera, "");
  EXPECT_EQ(s.column, 0);
}

TEST(MonitorBufferFull, WithoutAPromptCutsAndStaysBounded) {
  Monitor m;
  const std::string big(3 * kPaneLimit, 'a');
  m.appendPc(big, 0);
  m.appendCamera(big);
  EXPECT_EQ(m.snapshot().pc.size(), kPaneLimit);
  EXPECT_EQ(m.snapshot().camera.size(), kPaneLimit);
}

// Holds its question open until released.
class HeldPrompt final : public core::Prompt {
 public:
  Answer ask(std::string_view, std::string_view, core::Buttons, core::Icon) override {
    std::unique_lock lock(mutex_);
    ++asks_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return released_; });
    return Answer::Cancel;
  }
  std::optional<std::filesystem::path> chooseFile(const core::FileChoice&) override { return std::nullopt; }
  void progress(std::string_view, std::size_t, std::size_t) override {}
  bool cancelled() const override { return false; }
  void busy(bool) override {}

  void waitAsked() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return asks_ > 0; });
  }
  void release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  int asks() {
    std::lock_guard lock(mutex_);
    return asks_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int asks_ = 0;
  bool released_ = false;
};

TEST(MonitorBufferFull, OtherThreadsAreCutWithoutASecondQuestion) {
  HeldPrompt prompt;
  core::FixedWallClock clock({});
  Monitor m(clock, 8);
  m.setPrompt(&prompt);
  std::thread asker([&] { m.appendPc("0123456789"); });
  prompt.waitAsked();
  m.appendPc("more");  // returns although the question is still open
  m.appendCamera("0123456789");
  EXPECT_EQ(prompt.asks(), 1);
  prompt.release();
  asker.join();
  m.appendPc("x");
  EXPECT_EQ(prompt.asks(), 2);
  EXPECT_EQ(m.snapshot().pc, "01234567");
}

// Reads snapshots from inside its callbacks while the panes change on other threads.
class ReadingView final : public MirrorView {
 public:
  explicit ReadingView(Monitor& m) : m_(m) {}
  void appended(Side side, std::string_view text) noexcept override {
    MirrorView::appended(side, text);
    if (++calls_ % 64 == 0) largest = std::max(largest, m_.snapshot().pc.size());
  }
  std::size_t largest = 0;

 private:
  Monitor& m_;
  int calls_ = 0;
};

TEST(MonitorThreads, AppendsFromSeveralThreadsReachTheViewInOrder) {
  core::ScriptedPrompt prompt;
  prompt.fallback(Answer::Ok);
  core::FixedWallClock clock({});
  Monitor m(clock, 1024);  // small enough that the buffer-full question comes up too
  m.setPrompt(&prompt);
  ReadingView view(m);
  m.subscribe(view);
  {
    std::jthread operation([&] {
      for (int i = 0; i < 400; ++i) {
        m.line(fmt::format("+++ step {} +++", i));
        appendBytes(m, Side::Pc, fmt::format(":R{:04X}00", i));
      }
    });
    std::jthread receive([&] {
      for (int i = 0; i < 400; ++i) {
        appendBytes(m, Side::Camera, fmt::format(":{:02X}\r\n", i & 0xFF));
        if (i % 50 == 0) m.setStatusLine(fmt::format("R{}", i));
      }
    });
    std::jthread window([&] {
      for (int i = 0; i < 200; ++i) {
        m.scrollVertical(i % 2 ? ScrollRequest::LineUp : ScrollRequest::PageDown, 0);
        if (i % 40 == 0) m.clearScreen();
        (void)m.snapshot();
      }
    });
  }
  m.unsubscribe(view);
  const MonitorSnapshot s = m.snapshot();
  EXPECT_EQ(view.pc, s.pc);
  EXPECT_EQ(view.camera, s.camera);
  EXPECT_LE(view.largest, 1024u);
  EXPECT_FALSE(prompt.asked().empty());
}

TEST(Colour, CodesMapToTheirColoursAndOthersToBlack) {
  EXPECT_EQ(colourFromCode(1), (Rgb{0, 0, 255}));
  EXPECT_EQ(colourFromCode(3), (Rgb{0, 255, 255}));
  EXPECT_EQ(colourFromCode(6), (Rgb{255, 255, 0}));
  EXPECT_EQ(colourFromCode(kDefaultBackColour), (Rgb{255, 255, 255}));
  EXPECT_EQ(colourFromCode(kDefaultTextColour), (Rgb{0, 0, 0}));
  EXPECT_EQ(colourFromCode(8), (Rgb{0, 0, 0}));
}

}  // namespace
}  // namespace orva::shell
