#pragma once
// The cursor model of the communication monitor and the arithmetic of its view.
//
// CursorModel is a cursor over a virtual screen of 80 columns by 200 rows, fed with the same
// bytes as the panes. It decides when the oldest pane lines go (a new line on the last row)
// and where the view should stand (ViewGeometry::follow on every new line).
//
// ViewGeometry holds the pixel geometry of the main window's client area and answers scroll
// requests and size changes. The view supplies the font's character width and line height;
// all values are pixels. Neither class is thread-safe; the Monitor's lock guards both.
#include <cstddef>

namespace orva::shell {

inline constexpr int kScreenColumns = 80;
inline constexpr int kScreenRows = 200;

class CursorModel {
 public:
  enum class Step {
    None,
    Beep,             // a bell: sound it; it takes no cell
    NewLine,          // the row moved down
    NewLineAtBottom,  // the screen moved up: the oldest line of each pane goes
  };

  // One byte; at most one new line comes of it.
  Step put(char byte);
  void home() { row_ = column_ = 0; }

  int row() const { return row_; }
  int column() const { return column_; }

 private:
  Step newLine();

  int row_ = 0;
  int column_ = 0;
};

// Scroll bar requests. The horizontal bar uses the same codes: up = left, down = right,
// top = far left, bottom = far right. Thumb tracking is ignored; the view moves on release.
enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, ThumbPosition, ThumbTrack, Top, Bottom };

struct ViewState {
  int charWidth = 0;
  int lineHeight = 0;
  int clientWidth = 0;
  int clientHeight = 0;
  int visibleHeight = 0;  // the client height less the header row, which does not scroll
  int verticalMax = 0;
  int verticalPos = 0;
  int horizontalMax = 0;
  int horizontalPos = 0;
  int viewBottom = 0;         // content row of the client area's bottom edge
  int lastVisibleHeight = 0;  // the visible height at the previous size change
  friend bool operator==(const ViewState&, const ViewState&) = default;
};

// What a view does to mirror a change: scroll both panes, and slide the labels and panes.
struct ViewMove {
  int lines = 0;    // both panes scroll by this many lines (negative: up)
  int columns = 0;  // both panes scroll by this many columns (negative: left)
  int shift = 0;    // labels and panes move left by this many pixels
  bool empty() const { return lines == 0 && columns == 0 && shift == 0; }
  friend bool operator==(const ViewMove&, const ViewMove&) = default;
};

class ViewGeometry {
 public:
  // Laid out for the given client size with the view at the top, as after a reset.
  ViewGeometry(int charWidth, int lineHeight, int clientWidth, int clientHeight);

  const ViewState& state() const { return s_; }

  // New font metrics; they count from the next size change or reset.
  void setFontMetrics(int charWidth, int lineHeight);
  // `pcLines` is the PC pane's line count: the content height is measured on it.
  void resize(int clientWidth, int clientHeight, std::size_t pcLines);
  ViewMove scrollVertical(ScrollRequest request, int thumb, std::size_t pcLines);
  ViewMove scrollHorizontal(ScrollRequest request, int thumb);
  // Keeps cursor row `row` in view by single-line scrolls, after each new line of the model.
  ViewMove follow(int row, std::size_t pcLines);
  // Lays out for the current size, view at the top, bottom edge at the client height.
  void reset(std::size_t pcLines);

 private:
  ViewState s_;
};

}  // namespace orva::shell
