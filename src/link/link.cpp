#include "link/link.hpp"

#include <utility>

#include "link/texts.hpp"

namespace orva::link {
namespace {

bool startsLogLine(std::uint8_t byte) { return byte == ':' || byte == '/'; }

}  // namespace

Link::~Link() { close(); }

void Link::setChannel(std::unique_ptr<ByteChannel> channel) {
  auto lock = command();
  stopReaderLocked();
  if (channel_) channel_->close();
  channel_ = std::move(channel);
}

bool Link::open() {
  auto lock = command();
  // Every open starts with ":" read frames.
  altReadPrefix_ = false;
  if (!channel_) {
    monitor_.beep();
    monitor_.message(texts::kNotOpen.monitor, texts::kNotOpen.log);
    monitor_.line("   No serial port is chosen.");
    return false;
  }
  channel_->close();
  {
    std::lock_guard reasonLock(reasonMutex_);
    lineError_.clear();
  }
  auto opened = channel_->open(settings_);
  if (!opened) {
    monitor_.beep();
    monitor_.message(texts::kNotOpen.monitor, texts::kNotOpen.log);
    monitor_.line("   " + opened.message());
    return false;
  }
  if (!opened->notice.empty() && noticesShown_.insert(opened->notice).second) monitor_.line("   " + opened->notice);
  return true;
}

void Link::close() {
  auto lock = command();
  stopReaderLocked();
  if (!channel_) return;
  if (channel_->isOpen()) channel_->flush();
  channel_->close();
}

bool Link::reopen() {
  auto lock = command();
  close();
  if (noCamera_ == NoCameraMode::Absent) return false;
  return open();
}

bool Link::isOpen() const {
  std::lock_guard lock(mutex_);
  return channel_ && channel_->isOpen();
}

bool Link::ensureOpen() {
  auto lock = command();
  if (noCamera_ == NoCameraMode::Absent || isOpen()) return true;
  return open();
}

bool Link::typedLineReady() const {
  std::lock_guard lock(mutex_);
  return noCamera_ == NoCameraMode::Absent || (channel_ && channel_->isOpen());
}

void Link::drainInput() {
  auto lock = command();
  if (noCamera_ == NoCameraMode::Absent || !channel_ || !channel_->isOpen()) return;
  stopReader();
  // A few characters at the line's speed, plus what a USB adapter may hold back before it
  // passes bytes on.
  const auto quiet = 4 * bitsPerCharacter(settings_) * std::chrono::microseconds(1'000'000) / settings_.baud +
                     kAdapterLatency;
  const core::Deadline limit(clock_, kByteReadLimit);
  std::uint8_t byte = 0;
  while (!limit.expired() && channel_->readByte(byte, core::Deadline(clock_, quiet)) == IoResult::Ok) {
  }
}

IoResult Link::writeByte(std::uint8_t byte) {
  if (noCamera_ == NoCameraMode::Absent) return IoResult::Error;
  IoResult r = IoResult::Error;
  if (channel_ && channel_->isOpen()) {
    r = channel_->write({&byte, 1}, core::Deadline(clock_, kByteWriteLimit));
    if (r == IoResult::Error) noteLineError(channel_->errorText());
  } else {
    noteLineError(std::string(texts::kPortNotOpen));
  }
  if (monitor_.echoMode() != core::EchoMode::Hidden) {
    const char c = static_cast<char>(byte);
    if (startsLogLine(byte)) monitor_.writeLog("\n");
    monitor_.writeLog({&c, 1});
    monitor_.appendPc({&c, 1});
  }
  return r;
}

IoResult Link::readByte(std::uint8_t& byte) {
  byte = 0;
  if (noCamera_ == NoCameraMode::Absent) return IoResult::Timeout;
  if (!channel_ || !channel_->isOpen()) {
    noteLineError(std::string(texts::kPortNotOpen));
    return IoResult::Error;
  }
  const IoResult r = channel_->readByte(byte, core::Deadline(clock_, kByteReadLimit));
  if (r == IoResult::Error) noteLineError(channel_->errorText());
  return r;
}

IoResult Link::readByteUntil(std::uint8_t& byte, const core::Deadline& deadline, std::stop_token stop) {
  byte = 0;
  if (noCamera_ == NoCameraMode::Absent) return clock_.sleepUntil(deadline.at(), stop) ? IoResult::Timeout : IoResult::Stopped;
  if (!channel_ || !channel_->isOpen()) {
    noteLineError(std::string(texts::kPortNotOpen));
    return IoResult::Error;
  }
  const IoResult r = channel_->readByte(byte, deadline, std::move(stop));
  if (r == IoResult::Error) noteLineError(channel_->errorText());
  return r;
}

std::size_t Link::queuedInput() {
  if (noCamera_ == NoCameraMode::Absent || !channel_ || !channel_->isOpen()) return 0;
  return channel_->queuedInput();
}

void Link::clearBuffers() {
  if (channel_ && channel_->isOpen()) channel_->flush();
}

void Link::clearInput() {
  if (channel_ && channel_->isOpen()) channel_->flushInput();
}

void Link::reportFault(FaultKind kind) {
  const texts::Pair& text = kind == FaultKind::Write  ? texts::kWriteError
                            : kind == FaultKind::Read ? texts::kReadError
                                                      : texts::kReceiveError;
  std::string reason;
  {
    std::lock_guard reasonLock(reasonMutex_);
    reason = std::exchange(lineError_, {});
  }
  monitor_.beep();
  monitor_.message(text.monitor, text.log);
  // A receive fault is the camera's answer, not the line's: a reason left from an earlier
  // transfer would mislead.
  if (kind != FaultKind::Receive && !reason.empty()) monitor_.line("   " + reason);
}

void Link::stopReaderLocked() {
  // A stopped reader is forgotten: it registers again when it goes on.
  if (auto stop = std::exchange(readerStop_, {})) stop();
}

void Link::noteLineError(std::string reason) {
  std::lock_guard reasonLock(reasonMutex_);
  lineError_ = std::move(reason);
}

}  // namespace orva::link
