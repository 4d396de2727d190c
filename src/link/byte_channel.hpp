#pragma once
// The one narrow platform interface of the camera link: a serial line that moves bytes.
//
// Error model: every transfer ends in exactly one IoResult. Ok means the byte(s) went or came;
// Timeout means the deadline passed with nothing (not a fault of the line); Error means the
// line itself failed (unplugged adapter, I/O error, not open) and errorText() says why in plain
// words; Stopped means the caller's stop_token was requested while waiting.
//
// Thread contract: one thread may read while another writes (the AFP receive thread reads
// while the operation thread sends). open(), close() and configure() are never called
// while a transfer is running on another thread: the Link serialises them.
#include <cstddef>
#include <cstdint>
#include <span>
#include <stop_token>
#include <string>

#include "core/deadline.hpp"
#include "core/error.hpp"

namespace orva::link {

// What goes on the line besides the fixed 8 data bits and 1 stop bit.
struct LineSettings {
  int baud = 4800;
  bool evenParity = true;

  friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// Bits one character occupies on the line: start, 8 data, parity, stop.
inline int bitsPerCharacter(const LineSettings& s) { return s.evenParity ? 11 : 10; }

enum class IoResult { Ok, Timeout, Error, Stopped };

struct OpenInfo {
  // Something the operator should hear once, e.g. that the device refused even parity and
  // runs without it. Empty when the line is exactly as asked.
  std::string notice;
};

class ByteChannel {
 public:
  virtual ~ByteChannel() = default;

  // Opens the line (exclusively) and configures it; both queues are empty afterwards.
  // The Error names the device and says why, in words an operator can act on.
  virtual core::Result<OpenInfo> open(const LineSettings& settings) = 0;
  // Restores the line as it was found and releases it. Harmless when not open.
  virtual void close() = 0;
  virtual bool isOpen() const = 0;

  // Sends all of `bytes`, or fails at the deadline.
  virtual IoResult write(std::span<const std::uint8_t> bytes, const core::Deadline& deadline) = 0;
  // Receives one byte, waiting until the deadline or until `stop` is requested.
  virtual IoResult readByte(std::uint8_t& out, const core::Deadline& deadline, std::stop_token stop = {}) = 0;
  // Bytes received and not yet read.
  virtual std::size_t queuedInput() = 0;
  // Discards both queues.
  virtual void flush() = 0;
  // Discards what was received and not yet read; bytes written and still on their way out
  // (a buffered adapter may hold them for a while) still go.
  virtual void flushInput() = 0;

  // Why the last open or transfer failed ("Input/output error", "the device is gone").
  virtual std::string errorText() const = 0;
  // The device as the operator knows it: a path, or "virtual camera".
  virtual std::string describe() const = 0;
};

}  // namespace orva::link
