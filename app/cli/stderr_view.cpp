#include "stderr_view.hpp"

#include <algorithm>

namespace orva::cli {
namespace {

constexpr std::size_t kPaneColumns = 40;
constexpr std::string_view kNotOpen = "!! RS-232C not open.";

// The text of a message without the line breaks that start it.
std::string_view stripBreaks(std::string_view text) {
  while (!text.empty() && (text.front() == '\r' || text.front() == '\n')) text.remove_prefix(1);
  return text;
}

}  // namespace

void StderrView::appended(shell::Side side, std::string_view text) noexcept {
  std::lock_guard lock(mutex_);
  if (!whole_) {
    if (side == shell::Side::Pc) errorsOnly(text);
    return;
  }
  const int s = side == shell::Side::Pc ? 0 : 1;
  for (char c : text) {
    if (c == '\n') {
      lines_[s].push_back(std::move(current_[s]));
      current_[s].clear();
    } else if (c != '\r' && c != '\0') {
      current_[s] += c;
    }
  }
  printRows(false);
}

void StderrView::errorsOnly(std::string_view text) {
  // Single bytes are traffic; messages come whole and start a line.
  if (text.size() < 2 || text.front() != '\r') {
    afterError_ = false;
    return;
  }
  std::string_view line = stripBreaks(text);
  const bool notOpen = line == kNotOpen;
  // Only a line that could not be opened is followed by its reason.
  const bool explanation = afterError_ && line.starts_with("   ");
  bool shown = line.starts_with("!! ") || explanation;
  if (searching_ && !explanation) shown = notOpen && !notOpenSaid_;
  if (shown) {
    std::fprintf(out_, "%.*s\n", static_cast<int>(line.size()), line.data());
    std::fflush(out_);
    if (notOpen) notOpenSaid_ = true;
  }
  afterError_ = shown && notOpen;
}

void StderrView::setSearching(bool on) noexcept {
  std::lock_guard lock(mutex_);
  searching_ = on;
}

void StderrView::printRows(bool all) {
  const std::size_t ready = all ? std::max(lines_[0].size(), lines_[1].size()) : std::min(lines_[0].size(), lines_[1].size());
  for (std::size_t i = 0; i < ready; ++i) {
    const std::string pc = i < lines_[0].size() ? lines_[0][i] : std::string();
    const std::string cam = i < lines_[1].size() ? lines_[1][i] : std::string();
    if (pc.empty() && cam.empty()) {
      std::fputs("\n", out_);
      continue;
    }
    std::fprintf(out_, "%-*s| %s\n", static_cast<int>(kPaneColumns), pc.c_str(), cam.c_str());
  }
  for (auto& l : lines_) l.erase(l.begin(), l.begin() + static_cast<std::ptrdiff_t>(std::min(ready, l.size())));
  std::fflush(out_);
}

void StderrView::cleared() noexcept {
  std::lock_guard lock(mutex_);
  printRows(true);
}

void StderrView::finish() noexcept {
  std::lock_guard lock(mutex_);
  if (!whole_) return;
  for (int s = 0; s < 2; ++s)
    if (!current_[s].empty()) {
      lines_[s].push_back(std::move(current_[s]));
      current_[s].clear();
    }
  // Pad the shorter side so the last rows print.
  printRows(true);
}

}  // namespace orva::cli
