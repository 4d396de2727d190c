#pragma once
// One pane of the communication monitor as plain text, so that line alignment, trimming and
// the size limit behave the same with or without a window. A view mirrors it.
//
// Lines end with "\r\n"; a lone "\r" or "\n" is an ordinary character. An empty pane has one
// line. A pane never holds more than its limit: an insertion that does not fit is cut and the
// rest of it is lost. Not thread-safe; the Monitor's lock guards it.
#include <cstddef>
#include <string>
#include <string_view>

namespace orva::shell {

inline constexpr std::size_t kPaneLimit = 0x100000;  // characters

class Pane {
 public:
  explicit Pane(std::size_t limit = kPaneLimit) : limit_(limit) {}

  std::string_view text() const { return std::string_view(buffer_).substr(start_); }
  std::size_t size() const { return buffer_.size() - start_; }
  std::size_t limit() const { return limit_; }
  std::size_t room() const { return limit_ - size(); }
  std::size_t lineCount() const { return breaks_ + 1; }

  // Appends what fits of `text` at the end; returns how many characters went in.
  std::size_t append(std::string_view text);
  // Deletes the first line with the break that ends it. A pane of one line keeps it.
  bool deleteFirstLine();
  void clear();

 private:
  void compact();

  // text() starts at start_, so deleting the first line (done on every new line once the
  // cursor model is at its last row) costs no copy; the dead front is dropped now and then.
  std::string buffer_;
  std::size_t start_ = 0;
  std::size_t breaks_ = 0;
  std::size_t limit_;
};

}  // namespace orva::shell
