#include "shell/cursor_model.hpp"

#include <algorithm>

namespace orva::shell {
namespace {

// Command frames start with one of these; they always begin a fresh model line.
bool startsFrame(char byte) {
  switch (byte) {
    case ':': case ';': case '#': case '[': case ']': case '/': return true;
    default: return false;
  }
}

int contentHeight(std::size_t lines, int lineHeight) { return static_cast<int>(lines) * lineHeight; }

// Keeps pos + delta within 0..max.
int clampDelta(int pos, int delta, int max) {
  if (pos + delta > max) delta = max - pos;
  if (pos + delta < 0) delta = -pos;
  return delta;
}

}  // namespace

CursorModel::Step CursorModel::put(char byte) {
  switch (byte) {
    case '\a': return Step::Beep;
    case '\b':
      if (column_ > 0) --column_;
      return Step::None;
    case '\n': return newLine();
    case '\r': column_ = 0; return Step::None;
    default: break;
  }
  Step step = Step::None;
  if (startsFrame(byte)) {
    column_ = 0;
    step = newLine();
  }
  // After a frame start the column is 0, so the wrap below cannot add a second new line.
  if (column_ < kScreenColumns - 1) {
    ++column_;
    return step;
  }
  column_ = 0;
  return newLine();
}

CursorModel::Step CursorModel::newLine() {
  if (row_ == kScreenRows - 1) return Step::NewLineAtBottom;
  ++row_;
  return Step::NewLine;
}

ViewGeometry::ViewGeometry(int charWidth, int lineHeight, int clientWidth, int clientHeight) {
  setFontMetrics(charWidth, lineHeight);
  s_.clientWidth = clientWidth;
  s_.clientHeight = clientHeight;
  reset(1);
}

void ViewGeometry::setFontMetrics(int charWidth, int lineHeight) {
  // Both are divisors below; a font always measures at least one pixel.
  s_.charWidth = std::max(1, charWidth);
  s_.lineHeight = std::max(1, lineHeight);
}

void ViewGeometry::resize(int clientWidth, int clientHeight, std::size_t pcLines) {
  s_.clientWidth = clientWidth;
  s_.clientHeight = clientHeight;

  const int visible = clientHeight - s_.lineHeight;
  const int vMax = std::max(0, contentHeight(pcLines, s_.lineHeight) - visible);
  const int vPos = std::min(vMax, s_.verticalPos);
  s_.viewBottom += (visible - s_.lastVisibleHeight) + (vPos - s_.verticalPos);
  s_.lastVisibleHeight = visible;
  s_.visibleHeight = visible;
  s_.verticalMax = vMax;
  s_.verticalPos = vPos;

  s_.horizontalMax = std::max(0, kScreenColumns * s_.charWidth - clientWidth);
  s_.horizontalPos = std::min(s_.horizontalMax, s_.horizontalPos);
}

ViewMove ViewGeometry::scrollVertical(ScrollRequest request, int thumb, std::size_t pcLines) {
  const int h = s_.lineHeight;
  const int pos = s_.verticalPos;
  const int max = std::max(0, contentHeight(pcLines, h) - s_.visibleHeight);
  const int page = (s_.visibleHeight / h) * h;
  int delta = 0;
  switch (request) {
    case ScrollRequest::LineUp: delta = -h; break;
    case ScrollRequest::LineDown: delta = h; break;
    case ScrollRequest::PageUp: delta = -page; break;
    case ScrollRequest::PageDown: delta = page; break;
    case ScrollRequest::ThumbPosition: delta = thumb - pos; break;
    case ScrollRequest::Top: delta = -pos; break;
    case ScrollRequest::Bottom: delta = max - pos; break;
    case ScrollRequest::ThumbTrack: return {};
  }
  delta = clampDelta(pos, delta, max);

  // The panes scroll by whole lines only: round away from the clamped value in the direction
  // of the request.
  if (const int r = delta % h; r != 0) {
    const bool down = request == ScrollRequest::LineDown || request == ScrollRequest::PageDown ||
                      request == ScrollRequest::Bottom ||
                      (request == ScrollRequest::ThumbPosition && delta > 0);
    delta = down ? delta + h - r : delta - (r + h);
  }

  s_.verticalMax = max;
  s_.verticalPos = pos + delta;
  s_.viewBottom = ((s_.viewBottom + delta) / h) * h;
  return ViewMove{delta / h, 0, 0};
}

ViewMove ViewGeometry::scrollHorizontal(ScrollRequest request, int thumb) {
  const int w = s_.charWidth;
  const int pos = s_.horizontalPos;
  const int max = std::max(0, kScreenColumns * w - s_.clientWidth);
  int delta = 0;
  switch (request) {
    case ScrollRequest::LineUp: delta = -w; break;
    case ScrollRequest::LineDown: delta = w; break;
    case ScrollRequest::PageUp: delta = -s_.clientWidth; break;
    case ScrollRequest::PageDown: delta = s_.clientWidth; break;
    case ScrollRequest::ThumbPosition: delta = thumb - pos; break;
    case ScrollRequest::Top: delta = -pos; break;
    case ScrollRequest::Bottom: delta = max - pos; break;
    case ScrollRequest::ThumbTrack: return {};
  }
  delta = clampDelta(pos, delta, max);
  s_.horizontalMax = max;
  s_.horizontalPos = pos + delta;
  return ViewMove{0, delta / w, delta};
}

ViewMove ViewGeometry::follow(int row, std::size_t pcLines) {
  const int h = s_.lineHeight;
  const int y = row * h;
  const int bottom = s_.viewBottom;
  ScrollRequest request = ScrollRequest::LineDown;
  int n = 0;
  if (y > bottom - 2 * h) {
    n = ((row + 2) * h - bottom) / h;
  } else if (y < bottom - s_.visibleHeight) {
    n = (bottom - s_.visibleHeight - y) / h;
    request = ScrollRequest::LineUp;
  }
  ViewMove total;
  for (int i = 0; i < n; ++i) {
    const ViewMove step = scrollVertical(request, 0, pcLines);
    // A scroll that moved nothing leaves a state that every further one repeats exactly.
    if (step.lines == 0) break;
    total.lines += step.lines;
  }
  return total;
}

void ViewGeometry::reset(std::size_t pcLines) {
  resize(s_.clientWidth, s_.clientHeight, pcLines);
  scrollVertical(ScrollRequest::Top, 0, pcLines);
  s_.viewBottom = s_.clientHeight;
  s_.lastVisibleHeight = s_.clientHeight;
}

}  // namespace orva::shell
