#include "shell/pane.hpp"

#include <algorithm>

namespace orva::shell {
namespace {

// Below this the dead front is not worth a copy.
constexpr std::size_t kCompactFloor = 4096;

std::size_t countBreaks(std::string_view text) {
  std::size_t n = 0;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] == '\n' && text[i - 1] == '\r') ++n;
  }
  return n;
}

}  // namespace

std::size_t Pane::append(std::string_view text) {
  const std::size_t count = std::min(text.size(), room());
  if (count == 0) return 0;
  text = text.substr(0, count);
  // Bytes arrive one per call, so "\r" and "\n" of one break often come separately.
  if (size() > 0 && buffer_.back() == '\r' && text.front() == '\n') ++breaks_;
  breaks_ += countBreaks(text);
  buffer_.append(text);
  return count;
}

bool Pane::deleteFirstLine() {
  if (breaks_ == 0) return false;
  // The search reads only the line it deletes, so trimming stays linear in what was appended.
  start_ += text().find("\r\n") + 2;
  --breaks_;
  compact();
  return true;
}

void Pane::clear() {
  std::string().swap(buffer_);
  start_ = 0;
  breaks_ = 0;
}

void Pane::compact() {
  // Copying only when the dead front outgrows the live text keeps the cost amortised constant
  // and the memory within twice the limit.
  if (start_ < kCompactFloor || start_ < size()) return;
  buffer_.erase(0, start_);
  start_ = 0;
}

}  // namespace orva::shell
