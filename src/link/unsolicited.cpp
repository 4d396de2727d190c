#include "link/unsolicited.hpp"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string_view>
#include <utility>

namespace orva::link {
namespace {

// One wait of the listener for a byte; a stop or another thread's command ends it at once.
constexpr auto kListenSlice = kByteReadLimit;

// What the listener shares with its registration as the line's reader, which a command on
// another thread calls (under the command lock) to take the line for itself.
struct ReaderSlot {
  std::mutex mutex;
  std::condition_variable_any changed;
  std::stop_source session;  // ends the reads of the current claim
  bool reading = false;      // the listener is between its claim and its release
  bool registered = false;   // the link still knows this listener as its reader
};

// Called by the link under its command lock: the listener leaves the line and the caller
// waits until it has. It never waits for the lock itself, so this cannot deadlock.
void stepAside(ReaderSlot& slot) {
  std::unique_lock lock(slot.mutex);
  slot.registered = false;
  slot.session.request_stop();
  slot.changed.wait(lock, [&] { return !slot.reading; });
}

class Listener {
 public:
  Listener(Link& link, const ByteHandler& onByte) : link_(link), onByte_(onByte) {}
  ~Listener() { leave(); }
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;

  // Reads until `stop` is requested or `until` has come.
  void run(const std::stop_token& stop, core::Clock::time_point until) {
    auto& clock = link_.clock();
    while (!stop.stop_requested() && clock.now() < until) {
      ByteChannel* line = claim();
      if (!line || !readOn(*line, stop, until)) idle(stop, until);
    }
  }

 private:
  // Takes the line as its reader; null when there is no line to read.
  ByteChannel* claim() {
    auto lock = link_.command();
    if (link_.noCameraMode() == NoCameraMode::Absent || !link_.isOpen()) return nullptr;
    link_.stopReader();
    {
      std::lock_guard slotLock(slot_->mutex);
      slot_->session = std::stop_source();
      slot_->reading = true;
      slot_->registered = true;
    }
    link_.setReaderStop([slot = slot_] { stepAside(*slot); });
    return link_.channel();
  }

  // Reads until the stop, `until` or another thread's command; false when the line failed.
  bool readOn(ByteChannel& line, const std::stop_token& stop, core::Clock::time_point until) {
    auto& clock = link_.clock();
    std::stop_token session;
    {
      std::lock_guard slotLock(slot_->mutex);
      session = slot_->session.get_token();
    }
    std::stop_callback forward(stop, [this] {
      std::lock_guard slotLock(slot_->mutex);
      slot_->session.request_stop();
    });
    bool failed = false;
    while (!session.stop_requested() && clock.now() < until) {
      std::uint8_t byte = 0;
      const IoResult r = line.readByte(byte, core::Deadline(clock, std::min(clock.now() + kListenSlice, until)), session);
      if (r == IoResult::Ok) {
        const char c = static_cast<char>(byte);
        link_.monitor().appendPc(std::string_view(&c, 1));
        if (onByte_) onByte_(byte);
      } else if (r == IoResult::Error) {
        link_.noteLineError(line.errorText());
        failed = true;
        break;
      }
    }
    {
      std::lock_guard slotLock(slot_->mutex);
      slot_->reading = false;
    }
    slot_->changed.notify_all();
    return !failed;
  }

  // Nothing to read now: a read limit later the line may be back.
  void idle(const std::stop_token& stop, core::Clock::time_point until) {
    auto& clock = link_.clock();
    std::unique_lock slotLock(slot_->mutex);
    clock.waitUntil(slotLock, slot_->changed, std::min(clock.now() + kListenSlice, until), stop, [] { return false; });
  }

  // Forgets the registration, unless a command already did.
  void leave() {
    auto lock = link_.command();
    bool registered = false;
    {
      std::lock_guard slotLock(slot_->mutex);
      registered = std::exchange(slot_->registered, false);
    }
    if (registered) link_.setReaderStop({});
  }

  Link& link_;
  const ByteHandler& onByte_;
  // Shared with the registration, which may outlive this listener in a link that was not told.
  std::shared_ptr<ReaderSlot> slot_ = std::make_shared<ReaderSlot>();
};

}  // namespace

std::optional<std::string> takeMessage(Link& link, std::size_t count, const core::Deadline& deadline,
                                       std::stop_token stop) {
  auto lock = link.command();
  if (!link.ensureOpen()) return std::nullopt;
  link.stopReader();
  std::string bytes;
  while (bytes.size() < count) {
    std::uint8_t byte = 0;
    const IoResult r = link.readByteUntil(byte, deadline, stop);
    if (r == IoResult::Ok) {
      bytes += static_cast<char>(byte);
      continue;
    }
    if (r == IoResult::Error) {
      link.reportFault(FaultKind::Read);
      link.reopen();
    }
    return std::nullopt;
  }
  link.monitor().appendCamera(bytes);
  return bytes;
}

void listen(Link& link, std::stop_token stop, const ByteHandler& onByte, core::Clock::duration tail) {
  Listener listener(link, onByte);
  listener.run(stop, core::Clock::time_point::max());
  if (tail > core::Clock::duration::zero()) listener.run({}, link.clock().now() + tail);
}

}  // namespace orva::link
