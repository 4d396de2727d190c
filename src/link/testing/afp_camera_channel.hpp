#pragma once
// Test aid: a line whose camera answers whole AFP frames.
//
// Every complete "S…T" or "G…T" frame the tool sends is answered at once with the next
// scripted reply (or, when none is left, by the responder function, if any). A test may also
// put bytes on the line at any time from any thread with push(): late completions, foreign
// replies, indications, "Z", garbage. It keeps the ByteChannel contract — one reader and one
// writer at a time — and blocks the reader on the Clock until a byte comes, the deadline
// passes, the line closes or a stop is requested. It counts readers, to show that never two
// read at once.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.hpp"
#include "link/byte_channel.hpp"

namespace orva::link::testing {

class AfpCameraChannel final : public ByteChannel {
 public:
  explicit AfpCameraChannel(core::Clock& clock) : clock_(clock) {}

  // The camera's answer to the next frame ("" = silence).
  void answerNext(std::string reply) {
    std::lock_guard lock(mutex_);
    script_.push_back(std::move(reply));
  }
  // Answers the frames the script does not; called with the whole frame ("S018105T").
  void setResponder(std::function<std::string(const std::string&)> responder) {
    std::lock_guard lock(mutex_);
    responder_ = std::move(responder);
  }
  // Bytes the camera sends by itself. Lost while the line is closed, as on a real line.
  void push(std::string_view bytes) {
    std::lock_guard lock(mutex_);
    if (!open_) return;
    rx_.insert(rx_.end(), bytes.begin(), bytes.end());
    changed_.notify_all();
  }

  // Faults of the line.
  void failWrites(bool on) { setFlag(failWrite_, on); }
  void stallWrites(bool on) { setFlag(stallWrite_, on); }  // a write that never finishes
  void failReads(bool on) { setFlag(failRead_, on); }

  std::string sent() const {
    std::lock_guard lock(mutex_);
    return sent_;
  }
  std::vector<std::string> frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
  }
  int opens() const {
    std::lock_guard lock(mutex_);
    return opens_;
  }
  int readers() const {
    std::lock_guard lock(mutex_);
    return readers_;
  }
  int mostReaders() const {
    std::lock_guard lock(mutex_);
    return mostReaders_;
  }
  // Test synchronisation in real time: true once `n` frames have come, false after `limit`.
  bool waitForFrames(std::size_t n, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return framesSeen_.wait_for(lock, limit, [&] { return frames_.size() >= n; });
  }

  core::Result<OpenInfo> open(const LineSettings&) override {
    std::lock_guard lock(mutex_);
    ++opens_;
    open_ = true;
    rx_.clear();
    changed_.notify_all();
    return OpenInfo{};
  }
  void close() override {
    std::lock_guard lock(mutex_);
    open_ = false;
    rx_.clear();
    changed_.notify_all();
  }
  bool isOpen() const override {
    std::lock_guard lock(mutex_);
    return open_;
  }

  IoResult write(std::span<const std::uint8_t> bytes, const core::Deadline& deadline) override {
    std::unique_lock lock(mutex_);
    if (failWrite_ || !open_) return IoResult::Error;
    if (stallWrite_) {
      clock_.waitUntil(lock, changed_, deadline.at(), {}, [&] { return !stallWrite_; });
      if (stallWrite_) return IoResult::Timeout;
    }
    for (std::uint8_t b : bytes) take(static_cast<char>(b));
    return IoResult::Ok;
  }

  IoResult readByte(std::uint8_t& out, const core::Deadline& deadline, std::stop_token stop) override {
    std::unique_lock lock(mutex_);
    ++readers_;
    mostReaders_ = std::max(mostReaders_, readers_);
    const IoResult r = readLocked(lock, out, deadline, stop);
    --readers_;
    return r;
  }

  std::size_t queuedInput() override {
    std::lock_guard lock(mutex_);
    return rx_.size();
  }
  void flush() override {
    std::lock_guard lock(mutex_);
    rx_.clear();
  }
  void flushInput() override { flush(); }
  std::string errorText() const override { return "Input/output error"; }
  std::string describe() const override { return "AFP test camera"; }

 private:
  void setFlag(bool& flag, bool on) {
    std::lock_guard lock(mutex_);
    flag = on;
    changed_.notify_all();
  }

  IoResult readLocked(std::unique_lock<std::mutex>& lock, std::uint8_t& out, const core::Deadline& deadline,
                      std::stop_token stop) {
    if (failRead_ || !open_) return IoResult::Error;
    clock_.waitUntil(lock, changed_, deadline.at(), stop, [&] { return !rx_.empty() || !open_ || failRead_; });
    if (failRead_ || !open_) return IoResult::Error;
    if (rx_.empty()) return stop.stop_requested() ? IoResult::Stopped : IoResult::Timeout;
    out = static_cast<std::uint8_t>(rx_.front());
    rx_.pop_front();
    return IoResult::Ok;
  }

  // The camera's side: "S" and "G" start a frame, "T" ends it and brings the answer.
  void take(char c) {
    sent_ += c;
    if (c == 'S' || c == 'G') frame_.assign(1, c);
    else if (!frame_.empty()) frame_ += c;
    if (c != 'T' || frame_.empty()) return;
    frames_.push_back(frame_);
    std::string reply;
    if (!script_.empty()) {
      reply = std::move(script_.front());
      script_.pop_front();
    } else if (responder_) {
      reply = responder_(frame_);
    }
    frame_.clear();
    rx_.insert(rx_.end(), reply.begin(), reply.end());
    changed_.notify_all();
    framesSeen_.notify_all();
  }

  core::Clock& clock_;
  mutable std::mutex mutex_;
  std::condition_variable_any changed_;
  std::condition_variable_any framesSeen_;
  std::deque<char> rx_;
  std::deque<std::string> script_;
  std::function<std::string(const std::string&)> responder_;
  std::string sent_;
  std::string frame_;
  std::vector<std::string> frames_;
  bool open_ = false;
  bool failWrite_ = false;
  bool stallWrite_ = false;
  bool failRead_ = false;
  int opens_ = 0;
  int readers_ = 0;
  int mostReaders_ = 0;
};

}  // namespace orva::link::testing
