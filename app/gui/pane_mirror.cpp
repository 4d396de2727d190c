#include "pane_mirror.hpp"

#include <algorithm>

namespace orva::gui {
namespace {

bool continuesCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U; }

}  // namespace

void PaneMirror::append(std::string_view text) {
  for (const char c : text) {
    Line& last = lines_.back();
    if (c == '\n' && !last.bytes.empty() && last.bytes.back() == '\r') {
      last.bytes.pop_back();
      --last.columns;
      lines_.emplace_back();
      continue;
    }
    last.bytes += c;
    if (!continuesCharacter(c)) ++last.columns;
  }
}

void PaneMirror::deleteFirstLine() {
  if (lines_.size() < 2) return;
  lines_.pop_front();
  top_ = std::min(top_, lines_.size() - 1);
  auto shift = [](Spot& s) {
    if (s.line == 0) s = Spot{};
    else --s.line;
  };
  if (selection().second.line == 0) {
    clearSelection();
    return;
  }
  shift(anchor_);
  shift(end_);
}

void PaneMirror::clear() {
  lines_.clear();
  lines_.emplace_back();
  top_ = left_ = 0;
  clearSelection();
}

std::string_view PaneMirror::slice(std::size_t line, std::size_t from, std::size_t count) const {
  const std::string& bytes = lines_[line].bytes;
  const std::size_t begin = byteOffset(line, from);
  std::size_t end = begin;
  for (std::size_t n = 0; end < bytes.size() && n < count; ++n) {
    ++end;
    while (end < bytes.size() && continuesCharacter(bytes[end])) ++end;
  }
  return std::string_view(bytes).substr(begin, end - begin);
}

std::string PaneMirror::text() const {
  std::string out;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) out += "\r\n";
    out += lines_[i].bytes;
  }
  return out;
}

void PaneMirror::scrollLines(int lines) {
  const auto last = static_cast<long long>(lines_.size()) - 1;
  const long long next = std::clamp(static_cast<long long>(top_) + lines, 0LL, last);
  top_ = static_cast<std::size_t>(next);
}

void PaneMirror::scrollColumns(int columns) {
  const long long next = std::max(0LL, static_cast<long long>(left_) + columns);
  left_ = static_cast<std::size_t>(next);
}

void PaneMirror::scrollToEnd(std::size_t rows, std::size_t cols) {
  rows = std::max<std::size_t>(rows, 1);
  cols = std::max<std::size_t>(cols, 1);
  const std::size_t last = lines_.size() - 1;
  if (last >= top_ + rows) top_ = last - rows + 1;
  if (last < top_) top_ = last;

  const std::size_t caret = lines_.back().columns;
  const std::size_t quarter = cols / 4;
  if (caret >= left_ + cols) left_ = caret + 1 + quarter - cols;
  if (caret < left_) left_ = caret > quarter ? caret - quarter : 0;
}

void PaneMirror::fitToEnd(std::size_t rows) {
  rows = std::max<std::size_t>(rows, 1);
  const std::size_t count = lines_.size();
  const std::size_t fullTop = count > rows ? count - rows : 0;
  top_ = std::min(top_, fullTop);
}

PaneMirror::Spot PaneMirror::clamp(Spot spot) const {
  spot.line = std::min(spot.line, lines_.size() - 1);
  spot.column = std::min(spot.column, lines_[spot.line].columns);
  return spot;
}

void PaneMirror::select(Spot anchor, Spot end) {
  anchor_ = clamp(anchor);
  end_ = clamp(end);
}

std::pair<PaneMirror::Spot, PaneMirror::Spot> PaneMirror::selection() const {
  return anchor_ <= end_ ? std::pair{anchor_, end_} : std::pair{end_, anchor_};
}

std::string PaneMirror::selectedText() const {
  const auto [from, to] = selection();
  std::string out;
  for (std::size_t line = from.line; line <= to.line && line < lines_.size(); ++line) {
    const std::size_t begin = line == from.line ? byteOffset(line, from.column) : 0;
    const std::size_t end = line == to.line ? byteOffset(line, to.column) : lines_[line].bytes.size();
    if (line > from.line) out += "\r\n";
    out.append(lines_[line].bytes, begin, end - begin);
  }
  return out;
}

std::size_t PaneMirror::byteOffset(std::size_t line, std::size_t column) const {
  const std::string& bytes = lines_[line].bytes;
  if (column >= lines_[line].columns) return bytes.size();
  std::size_t at = 0;
  for (std::size_t n = 0; n < column; ++n) {
    ++at;
    while (at < bytes.size() && continuesCharacter(bytes[at])) ++at;
  }
  return at;
}

}  // namespace orva::gui
