#include "sim/in_process_channel.hpp"

#include <algorithm>

namespace orva::sim {

using link::IoResult;

InProcessChannel::InProcessChannel(VirtualCamera& camera, core::Clock& clock, bool lineTiming)
    : clock_(clock), line_(camera, lineTiming), camera_(camera) {
  camera_.setAttention([this] { cameraRaised(); });
}

InProcessChannel::~InProcessChannel() { camera_.setAttention({}); }

// An indication was raised on another thread: it goes on the line now, and a reader waiting
// on an idle line wakes for it.
void InProcessChannel::cameraRaised() {
  std::lock_guard lock(mutex_);
  line_.advance(clock_.now());
  ++generation_;
  changed_.notify_all();
}

core::Result<link::OpenInfo> InProcessChannel::open(const link::LineSettings& settings) {
  std::lock_guard lock(mutex_);
  const auto now = clock_.now();
  line_.advance(now);
  if (line_.hungUp() || camera_.hungUp()) {
    error_ = kDeviceGone;
    return core::Error{std::string(kVirtualCameraName) + ": " + error_};
  }
  line_.discard(now);
  settings_ = settings;
  open_ = true;
  error_.clear();
  camera_.lineRaised();
  return link::OpenInfo{};
}

void InProcessChannel::close() {
  std::lock_guard lock(mutex_);
  if (!open_) return;
  line_.discard(clock_.now());
  open_ = false;
  ++generation_;
  changed_.notify_all();
}

bool InProcessChannel::isOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}

std::string InProcessChannel::errorText() const {
  std::lock_guard lock(mutex_);
  return error_;
}

IoResult InProcessChannel::fail(std::string_view why) {
  error_ = why;
  return IoResult::Error;
}

IoResult InProcessChannel::write(std::span<const std::uint8_t> bytes, const core::Deadline&) {
  std::lock_guard lock(mutex_);
  if (!open_) return fail(kNotOpen);
  const auto now = clock_.now();
  line_.advance(now);
  if (line_.hungUp()) return fail(kDeviceGone);
  line_.send(bytes, settings_, now);
  line_.advance(now);
  ++generation_;
  changed_.notify_all();
  return IoResult::Ok;
}

IoResult InProcessChannel::readByte(std::uint8_t& out, const core::Deadline& deadline, std::stop_token stop) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (!open_) return fail(kNotOpen);
    const auto now = clock_.now();
    line_.advance(now);
    if (auto b = line_.takeAnswer(now)) {
      out = *b;
      return IoResult::Ok;
    }
    if (line_.hungUp()) return fail(kDeviceGone);
    if (stop.stop_requested()) return IoResult::Stopped;
    if (now >= deadline.at()) return IoResult::Timeout;

    if (auto next = line_.nextEvent()) {
      // Bytes are on their way: nothing can arrive before the first of them.
      const auto wake = std::min(*next, deadline.at());
      lock.unlock();
      const bool slept = clock_.sleepUntil(wake, stop);
      lock.lock();
      if (!slept) return IoResult::Stopped;
      continue;
    }
    // The line is idle: wait for the writer.
    const auto seen = generation_;
    clock_.waitUntil(lock, changed_, deadline.at(), stop, [&] { return generation_ != seen; });
  }
}

std::size_t InProcessChannel::queuedInput() {
  std::lock_guard lock(mutex_);
  const auto now = clock_.now();
  line_.advance(now);
  return line_.answersArrived(now);
}

void InProcessChannel::flushInput() {
  std::lock_guard lock(mutex_);
  const auto now = clock_.now();
  line_.advance(now);
  line_.discardArrived(now);
}

void InProcessChannel::flush() {
  std::lock_guard lock(mutex_);
  const auto now = clock_.now();
  line_.advance(now);
  line_.discard(now);
}

}  // namespace orva::sim
