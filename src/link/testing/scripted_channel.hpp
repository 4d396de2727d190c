#pragma once
// Test aid: a line whose camera answers from a script, one answer character per byte sent.
// Records what was sent and how often the line was opened and closed. A silent read waits
// out its deadline on the clock, so a FakeClock counts the time a real line would take.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "link/byte_channel.hpp"

namespace orva::link::testing {

class ScriptedChannel final : public ByteChannel {
 public:
  explicit ScriptedChannel(core::Clock& clock) : clock_(clock) {}

  // Answer characters, consumed one per byte sent; '~' stands for no answer to that byte.
  // When they run out the camera is silent.
  std::string answers;
  std::string sent;
  int opens = 0;
  int closes = 0;
  std::string openError;  // non-empty: open fails with it
  std::string notice;     // given back by every open
  bool failWrite = false;
  bool failRead = false;
  LineSettings opened;

  core::Result<OpenInfo> open(const LineSettings& s) override {
    ++opens;
    if (!openError.empty()) return core::Error{openError};
    open_ = true;
    opened = s;
    rx_.clear();
    return OpenInfo{notice};
  }
  void close() override {
    if (open_) ++closes;
    open_ = false;
  }
  bool isOpen() const override { return open_; }
  IoResult write(std::span<const std::uint8_t> bytes, const core::Deadline&) override {
    if (failWrite) return IoResult::Error;
    for (std::uint8_t b : bytes) {
      sent += static_cast<char>(b);
      if (next_ < answers.size() && answers[next_++] != '~') rx_.push_back(static_cast<std::uint8_t>(answers[next_ - 1]));
    }
    return IoResult::Ok;
  }
  IoResult readByte(std::uint8_t& out, const core::Deadline& deadline, std::stop_token stop) override {
    if (failRead) return IoResult::Error;
    if (rx_.empty()) {
      clock_.sleepUntil(deadline.at(), stop);
      return stop.stop_requested() ? IoResult::Stopped : IoResult::Timeout;
    }
    out = rx_.front();
    rx_.pop_front();
    return IoResult::Ok;
  }
  // Bytes the camera sends of its own accord: queued at once.
  void arrive(std::string_view bytes) { rx_.insert(rx_.end(), bytes.begin(), bytes.end()); }

  std::size_t queuedInput() override { return rx_.size(); }
  void flush() override { rx_.clear(); }
  void flushInput() override { rx_.clear(); }
  std::string errorText() const override { return failRead || failWrite ? "Input/output error" : ""; }
  std::string describe() const override { return "scripted line"; }

 private:
  core::Clock& clock_;
  bool open_ = false;
  std::size_t next_ = 0;
  std::deque<std::uint8_t> rx_;
};

}  // namespace orva::link::testing
