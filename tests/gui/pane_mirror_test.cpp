// The pane mirror must show exactly what the monitor's pane holds, however the text is cut
// into appends, and scroll as a text control does.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "pane_mirror.hpp"
#include "shell/pane.hpp"

namespace orva::gui {
namespace {

TEST(PaneMirror, LoneReturnAndFeedAreCharacters) {
  PaneMirror m;
  m.append("a\rb\nc");
  EXPECT_EQ(m.lineCount(), 1U);
  EXPECT_EQ(m.columns(0), 5U);
  EXPECT_EQ(m.text(), "a\rb\nc");
}

TEST(PaneMirror, MatchesThePaneForAnySplitAndTrim) {
  std::mt19937 random(7);
  const std::string alphabet = ":R0A\r\n \xC3\xA9";
  shell::Pane pane;
  PaneMirror mirror;
  for (int round = 0; round < 2000; ++round) {
    std::string chunk;
    const auto length = std::uniform_int_distribution<int>(1, 6)(random);
    for (int i = 0; i < length; ++i)
      chunk += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
    pane.append(chunk);
    mirror.append(chunk);
    if (round % 7 == 0 && pane.deleteFirstLine()) mirror.deleteFirstLine();
    ASSERT_EQ(mirror.lineCount(), pane.lineCount()) << "round " << round;
  }
  EXPECT_EQ(mirror.text(), pane.text());
}

TEST(PaneMirror, ColumnsCountCharactersNotBytes) {
  PaneMirror m;
  m.append("\xE2\x80\x9C" "ab");  // a full-width quote, then two letters
  EXPECT_EQ(m.columns(0), 3U);
  EXPECT_EQ(m.slice(0, 1, 1), "a");
  EXPECT_EQ(m.slice(0, 0, 1), "\xE2\x80\x9C");
}

TEST(PaneMirror, ScrollToEndShowsTheLastLine) {
  PaneMirror m;
  for (int i = 0; i < 30; ++i) m.append("line\r\n");
  m.scrollToEnd(10, 40);
  EXPECT_EQ(m.top(), 21U);  // lines 21..30 in a view of ten
  // The end in view already: no move.
  m.scrollLines(-3);
  m.scrollToEnd(20, 40);
  EXPECT_EQ(m.top(), 18U);
}

TEST(PaneMirror, AViewThatGrewShowsTheLinesAboveAgain) {
  PaneMirror m;
  for (int i = 0; i < 30; ++i) m.append("line\r\n");
  m.scrollToEnd(1, 40);  // laid out before the pane had its size
  EXPECT_EQ(m.top(), 30U);
  m.fitToEnd(10);
  EXPECT_EQ(m.top(), 21U);
  m.fitToEnd(100);
  EXPECT_EQ(m.top(), 0U);
}

TEST(PaneMirror, LineScrollsStopAtTheLastLineOnTop) {
  PaneMirror m;
  m.append("a\r\nb\r\nc");
  m.scrollLines(10);
  EXPECT_EQ(m.top(), 2U);
  m.scrollLines(-10);
  EXPECT_EQ(m.top(), 0U);
}

TEST(PaneMirror, CaretPastTheRightEdgeScrollsSideways) {
  PaneMirror m;
  m.append(std::string(50, 'x'));
  m.scrollToEnd(5, 40);
  EXPECT_GT(m.left(), 0U);
  EXPECT_LE(m.left(), 50U);
  EXPECT_LT(50U, m.left() + 40U);  // the caret is in view
  m.append("\r\n");
  m.scrollToEnd(5, 40);
  EXPECT_EQ(m.left(), 0U);
}

TEST(PaneMirror, DeletingTheFirstLineKeepsTheViewLine) {
  PaneMirror m;
  for (int i = 0; i < 5; ++i) m.append(std::to_string(i) + "\r\n");
  m.scrollLines(3);
  m.deleteFirstLine();
  EXPECT_EQ(m.top(), 3U);
  EXPECT_EQ(m.line(0), "1");
}

TEST(PaneMirror, SelectionAcrossLinesAndItsShiftOnTrim) {
  PaneMirror m;
  m.append("abc\r\ndef\r\nghi");
  m.select({2, 1}, {0, 1});  // dragged upwards
  EXPECT_EQ(m.selectedText(), "bc\r\ndef\r\ng");
  m.deleteFirstLine();
  EXPECT_EQ(m.selectedText(), "def\r\ng");
  m.deleteFirstLine();
  EXPECT_EQ(m.selectedText(), "g");
  m.deleteFirstLine();  // a single line stays
  EXPECT_EQ(m.lineCount(), 1U);
}

TEST(PaneMirror, SelectionIsClampedToTheText) {
  PaneMirror m;
  m.append("ab");
  m.select({5, 9}, {0, 0});
  EXPECT_EQ(m.selectedText(), "ab");
}

}  // namespace
}  // namespace orva::gui
