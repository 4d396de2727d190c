#pragma once
// The camera link: the one serial line to the camera and the state every command shares.
//
// Link owns the channel, the protocol variant, the no-camera mode and the EAP frame flags.
// Its transport operations move single bytes with the fixed limits (1000 ms per byte read,
// 1000 ms per write) and show every sent byte in the monitor; its fault report is the one
// place where a link failure is told to the operator, after which the caller closes and
// reopens the line, so a failed command always leaves a freshly opened, purged line behind.
//
// Commands from different threads never interleave: each command holds command() for its
// whole exchange, and open/close take the same lock, so a close waits for the command on the
// line to end instead of pulling the line from under it.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "link/byte_channel.hpp"

namespace orva::link {

enum class Protocol : int { Afp = 1, Eap = 2 };

enum class NoCameraMode : int {
  Normal = 0,
  Allowed = 1,  // working without a camera is allowed ("/DS")
  Absent = 2,   // no camera answered: commands are only shown, never sent
};

enum class FaultKind : int { Write = 0, Read = 1, Receive = 2 };

// Receives every register write that reached the camera, for the restore offer.
class ChangedAddressSink {
 public:
  virtual ~ChangedAddressSink() = default;
  virtual void written(std::uint16_t address, std::uint16_t value) = 0;
  // The camera changed protocol: what was noted no longer applies.
  virtual void clear() {}
};

inline constexpr std::chrono::milliseconds kByteReadLimit{1000};
inline constexpr std::chrono::milliseconds kByteWriteLimit{1000};
// The longest a USB serial adapter holds received bytes before passing them on.
inline constexpr std::chrono::milliseconds kAdapterLatency{20};

class Link {
 public:
  Link(core::Clock& clock, core::MonitorSink& monitor) : clock_(clock), monitor_(monitor) {}
  ~Link();
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  // The line to use from now on; the old one is closed first.
  void setChannel(std::unique_ptr<ByteChannel> channel);
  bool hasChannel() const { return channel_ != nullptr; }
  // The line itself, for the AFP receive thread, which reads it without the command lock
  // (a close stops that thread before the line changes). Null when none is chosen.
  ByteChannel* channel() { return channel_.get(); }
  void setLineSettings(const LineSettings& settings) { settings_ = settings; }
  const LineSettings& lineSettings() const { return settings_; }

  // Opens the line. On failure: beep, "!! RS-232C not open." and the reason, false.
  bool open();
  // Clears both queues and closes the line. Harmless when closed.
  void close();
  // close() then open(); never opens a line while no camera is present.
  bool reopen();
  bool isOpen() const;
  // Opens a closed line before a command; false (already reported) when that fails.
  bool ensureOpen();
  // Whether a typed character may go: it never opens (and so locks) a closed line.
  bool typedLineReady() const;
  // Reads and drops what the camera still sends until the line has been quiet for a few
  // character times (bounded by the read limit in all), so that the tail of an answer that
  // went wrong, or a byte that came while the line was set up, is not taken as an answer.
  void drainInput();

  // One byte to the camera, shown in the PC pane and logged unless the echo mode hides it.
  IoResult writeByte(std::uint8_t byte);
  // One byte from the camera within the read limit. Received bytes are shown by the protocols.
  IoResult readByte(std::uint8_t& byte);
  // One byte the camera sends of its own accord, by `deadline`; Stopped as soon as `stop` is
  // requested. Without a camera nothing ever comes: it waits out the deadline on the clock
  // (or the stop) and gives Timeout. Called with command() held, like readByte().
  IoResult readByteUntil(std::uint8_t& byte, const core::Deadline& deadline, std::stop_token stop = {});
  std::size_t queuedInput();
  void clearBuffers();
  // Discards what has been received only: what was just written must still leave.
  void clearInput();

  // Beep and the fault's message in the monitor and the log, then the reason the line gave
  // for the failed transfer, when it gave one.
  void reportFault(FaultKind kind);
  // A transfer failed with the line's reason: kept for the next fault report. Any thread.
  void noteLineError(std::string reason);

  // A thread that reads the line without holding command() (the AFP receive thread, a
  // listener) is the line's reader while it is registered here. Whoever reads next stops it
  // first, under command(): a close, a new channel and every command do. A reader that is
  // stopped is forgotten and registers itself again when it goes on; a new reader stops the
  // old one before it registers. `stop` returns once the reader is off the line.
  void setReaderStop(std::function<void()> stop) {
    std::lock_guard lock(mutex_);
    readerStop_ = std::move(stop);
  }
  void stopReader() {
    std::lock_guard lock(mutex_);
    stopReaderLocked();
  }

  // Held by a command for its whole exchange (recursive: a command may reopen the line).
  std::unique_lock<std::recursive_mutex> command() { return std::unique_lock(mutex_); }

  core::Clock& clock() { return clock_; }
  core::MonitorSink& monitor() { return monitor_; }

  Protocol protocol() const { return protocol_; }
  void setProtocol(Protocol p) { protocol_ = p; }
  NoCameraMode noCameraMode() const { return noCamera_; }
  void setNoCameraMode(NoCameraMode m) { noCamera_ = m; }
  bool altReadPrefix() const { return altReadPrefix_; }
  void setAltReadPrefix(bool on) { altReadPrefix_ = on; }
  // 0: each character of an EAP frame waits for its answer; else the whole frame goes first.
  // BlockReadOff (block_read_off.hpp) switches it off for a sequence.
  int blockReadMode() const { return blockReadMode_; }
  void setBlockReadMode(int mode) { blockReadMode_ = mode; }
  ChangedAddressSink* changedAddresses() const { return changed_; }
  void setChangedAddressSink(ChangedAddressSink* sink) { changed_ = sink; }

 private:
  void stopReaderLocked();

  core::Clock& clock_;
  core::MonitorSink& monitor_;
  std::unique_ptr<ByteChannel> channel_;
  LineSettings settings_;
  Protocol protocol_ = Protocol::Eap;
  NoCameraMode noCamera_ = NoCameraMode::Normal;
  bool altReadPrefix_ = false;
  std::atomic<int> blockReadMode_{0};  // set by identification, read by any command
  ChangedAddressSink* changed_ = nullptr;
  std::set<std::string> noticesShown_;
  std::function<void()> readerStop_;
  mutable std::recursive_mutex mutex_;
  std::mutex reasonMutex_;  // guards lineError_, which the AFP receive thread also sets
  std::string lineError_;
};

}  // namespace orva::link
