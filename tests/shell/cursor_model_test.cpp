#include "shell/cursor_model.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace orva::shell {
namespace {

using Step = CursorModel::Step;

int feed(CursorModel& m, std::string_view bytes) {
  int newLines = 0;
  for (const char b : bytes) {
    const Step s = m.put(b);
    if (s == Step::NewLine || s == Step::NewLineAtBottom) ++newLines;
  }
  return newLines;
}

TEST(CursorModel, WrapsOnTheEightiethPrintable) {
  CursorModel m;
  EXPECT_EQ(feed(m, std::string(79, 'x')), 0);
  EXPECT_EQ(m.column(), 79);
  EXPECT_EQ(m.put('x'), Step::NewLine);
  EXPECT_EQ(m.row(), 1);
  EXPECT_EQ(m.column(), 0);
}

TEST(CursorModel, ControlBytes) {
  CursorModel m;
  EXPECT_EQ(m.put('\b'), Step::None);
  EXPECT_EQ(m.column(), 0);
  feed(m, "ab\t\f");  // tab and form feed take a cell like any other byte
  EXPECT_EQ(m.column(), 4);
  EXPECT_EQ(m.put('\a'), Step::Beep);
  EXPECT_EQ(m.column(), 4);
  m.put('\b');
  EXPECT_EQ(m.column(), 3);
  EXPECT_EQ(feed(m, "\r"), 0);
  EXPECT_EQ(m.column(), 0);
  feed(m, "ab\n");  // a line feed keeps the column
  EXPECT_EQ(m.row(), 1);
  EXPECT_EQ(m.column(), 2);
}

TEST(CursorModel, FrameStartsBeginAFreshLine) {
  for (const char c : std::string_view(":;#[]/")) {
    CursorModel m;
    feed(m, "ab");
    EXPECT_EQ(m.put(c), Step::NewLine) << c;
    EXPECT_EQ(m.column(), 1) << c;
  }
  CursorModel m;
  EXPECT_EQ(feed(m, "SGRXY"), 0);
  feed(m, std::string(74, 'x'));
  ASSERT_EQ(m.column(), 79);
  EXPECT_EQ(feed(m, ":"), 1);  // in the last column too: one new line, not a wrap as well
  EXPECT_EQ(m.row(), 1);
  EXPECT_EQ(m.column(), 1);
}

TEST(CursorModel, StaysOnTheLastRow) {
  CursorModel m;
  EXPECT_EQ(feed(m, std::string(199, '\n')), 199);
  EXPECT_EQ(m.put('\n'), Step::NewLineAtBottom);
  EXPECT_EQ(m.row(), 199);
}

TEST(ViewGeometry, FollowsTheCursorOneLineAtATimeAndStopsAtTheTop) {
  ViewGeometry g(8, 16, 640, 480);
  EXPECT_EQ(g.state().visibleHeight, 464);
  EXPECT_EQ(g.state().viewBottom, 480);
  for (int row = 1; row <= 28; ++row) EXPECT_TRUE(g.follow(row, 300).empty()) << row;
  EXPECT_EQ(g.follow(29, 300).lines, 1);
  EXPECT_EQ(g.state().verticalPos, 16);
  EXPECT_EQ(g.state().viewBottom, 496);
  EXPECT_EQ(g.follow(199, 300).lines, 170);
  EXPECT_EQ(g.state().verticalPos, 2736);
  // Back at row 0 the view wants 172 lines up but only 171 are above it.
  EXPECT_EQ(g.follow(0, 300).lines, -171);
  EXPECT_EQ(g.state().verticalPos, 0);
  EXPECT_EQ(g.state().viewBottom, 480);
}

TEST(ViewGeometry, VerticalRequestsClampThenRoundToWholeLines) {
  ViewGeometry g(8, 16, 640, 470);  // visible 454: 30 lines give a maximum of 26, not a line multiple
  struct Case {
    ScrollRequest request;
    int thumb, lines, pos;
  };
  const Case cases[] = {
      {ScrollRequest::LineDown, 0, 1, 16},       {ScrollRequest::LineDown, 0, 1, 32},
      {ScrollRequest::Top, 0, -2, 0},            {ScrollRequest::Bottom, 0, 2, 32},
      {ScrollRequest::ThumbPosition, 20, -1, 16}, {ScrollRequest::ThumbTrack, 0, 0, 16},
      {ScrollRequest::PageDown, 0, 1, 32},       {ScrollRequest::PageUp, 0, -2, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(g.scrollVertical(c.request, c.thumb, 30).lines, c.lines) << static_cast<int>(c.request);
    EXPECT_EQ(g.state().verticalPos, c.pos) << static_cast<int>(c.request);
  }
  EXPECT_EQ(g.state().verticalMax, 26);
}

TEST(ViewGeometry, HorizontalRequestsClampWithoutRounding) {
  ViewGeometry g(8, 16, 600, 480);  // 80 columns are 640 pixels: 40 to scroll
  EXPECT_EQ(g.scrollHorizontal(ScrollRequest::LineDown, 0), (ViewMove{0, 1, 8}));
  EXPECT_EQ(g.scrollHorizontal(ScrollRequest::PageDown, 0), (ViewMove{0, 4, 32}));
  EXPECT_EQ(g.scrollHorizontal(ScrollRequest::ThumbPosition, 13), (ViewMove{0, -3, -27}));
  EXPECT_EQ(g.scrollHorizontal(ScrollRequest::Top, 0), (ViewMove{0, -1, -13}));
  EXPECT_EQ(g.scrollHorizontal(ScrollRequest::LineUp, 0), ViewMove{});
  EXPECT_EQ(g.state().horizontalMax, 40);
}

TEST(ViewGeometry, SizeChangesMoveTheViewBottomAndResetReturnsToTheTop) {
  ViewGeometry g(8, 16, 640, 480);
  g.resize(640, 480, 100);  // a reset leaves the last visible height one line above the visible height
  EXPECT_EQ(g.state().viewBottom, 464);
  g.scrollVertical(ScrollRequest::Bottom, 0, 100);
  EXPECT_EQ(g.state().verticalPos, 1136);
  EXPECT_EQ(g.state().viewBottom, 1600);

  g.resize(600, 880, 100);  // taller: the maximum falls below the position
  EXPECT_EQ(g.state().verticalMax, 736);
  EXPECT_EQ(g.state().verticalPos, 736);
  EXPECT_EQ(g.state().viewBottom, 1600);
  EXPECT_EQ(g.state().horizontalMax, 40);
  g.scrollHorizontal(ScrollRequest::Bottom, 0);

  g.reset(1);
  EXPECT_EQ(g.state().verticalPos, 0);
  EXPECT_EQ(g.state().verticalMax, 0);
  EXPECT_EQ(g.state().viewBottom, 880);
  EXPECT_EQ(g.state().lastVisibleHeight, 880);
  EXPECT_EQ(g.state().horizontalPos, 40);  // only the vertical view goes back
}

}  // namespace
}  // namespace orva::shell
