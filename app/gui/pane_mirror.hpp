#pragma once
// What one monitor pane shows, kept on the window thread from the monitor's events: the text
// as lines, the first line and column in view, and the operator's selection.
//
// Lines end with "\r\n" as in shell::Pane, and a "\r" and "\n" of one break may arrive in
// separate appends; text() gives back exactly the pane's text. Columns count characters
// (UTF-8 code points), not bytes. The view behaves like a text control that scrolls by
// whole lines and columns and can scroll its caret, after the last character, into view.
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <utility>

namespace orva::gui {

class PaneMirror {
 public:
  struct Spot {
    std::size_t line = 0;
    std::size_t column = 0;
    friend auto operator<=>(const Spot&, const Spot&) = default;
  };

  PaneMirror() { clear(); }

  void append(std::string_view text);
  // The first line with the break that ends it; a single line stays. The view keeps its first
  // line number, so what is shown moves up by one line, as the monitor's screen does.
  void deleteFirstLine();
  void clear();

  std::size_t lineCount() const { return lines_.size(); }
  std::string_view line(std::size_t i) const { return lines_[i].bytes; }
  std::size_t columns(std::size_t i) const { return lines_[i].columns; }
  // The columns of `line` from `from` on, at most `count` of them, as bytes.
  std::string_view slice(std::size_t line, std::size_t from, std::size_t count) const;
  std::string text() const;

  std::size_t top() const { return top_; }
  std::size_t left() const { return left_; }
  // By whole lines, never past the last line at the top; by columns, never left of the first.
  void scrollLines(int lines);
  void scrollColumns(int columns);
  void home() { top_ = left_ = 0; }
  // Brings the caret after the last character into a view of `rows` lines by `cols` columns,
  // moving as little as a text control does: sideways in quarter widths.
  void scrollToEnd(std::size_t rows, std::size_t cols);
  // After the view grew to `rows` lines: no empty rows below the last line while there are
  // lines above the first one shown.
  void fitToEnd(std::size_t rows);

  void select(Spot anchor, Spot end);
  void clearSelection() { anchor_ = end_ = Spot{}; }
  bool hasSelection() const { return anchor_ != end_; }
  Spot anchor() const { return anchor_; }
  // Ordered, start first.
  std::pair<Spot, Spot> selection() const;
  std::string selectedText() const;
  // The nearest character boundary inside the text.
  Spot clamp(Spot spot) const;

 private:
  struct Line {
    std::string bytes;
    std::size_t columns = 0;
  };
  std::size_t byteOffset(std::size_t line, std::size_t column) const;

  std::deque<Line> lines_;
  std::size_t top_ = 0;
  std::size_t left_ = 0;
  Spot anchor_;
  Spot end_;
};

}  // namespace orva::gui
