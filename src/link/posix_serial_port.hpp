#pragma once
// The camera's serial line on Linux: a tty device (a USB adapter, a UART, or a pseudo-terminal
// such as the virtual camera's) driven through termios and poll().
//
// Error model: open() fails only when the line cannot be used at all (missing device, no
// permission, held by another program, not a terminal); its Error names the device and says
// what the operator can do. A line setting the device refuses or silently alters (even parity
// on a pseudo-terminal, DTR on a pseudo-terminal) does not fail the open: the line runs without
// it, and on a real device a refused parity comes back once in OpenInfo::notice. Transfers end
// in an IoResult; Timeout and Stopped are not faults of the line, Error is (the device is gone,
// an I/O error, not open), and errorText() then says why in plain words.
//
// Thread contract: one reader thread (readByte, queuedInput) and one writer thread (write,
// flush) may run at the same time. open() and close() never run while a transfer is in
// progress; the Link serialises them. errorText() may be called from any thread.
//
// Waiting always blocks in poll(): a read waits on the device and on an eventfd that a stop
// request signals, so a reader blocked until a long deadline wakes at once when it is stopped.
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <termios.h>

#include "link/byte_channel.hpp"

namespace orva::link {

// Pieces of the open errors, shared with the tests that check them.
namespace serial_texts {
inline constexpr std::string_view kNoPermission =
    "permission denied. Serial devices belong to the dialout group: add your user to it with "
    "\"sudo adduser $USER dialout\", then log in again.";
inline constexpr std::string_view kNoDevice = "the device does not exist (is the adapter unplugged?)";
inline constexpr std::string_view kInUse = "the port is in use by another program";
inline constexpr std::string_view kNotATerminal = "it is not a serial device";
inline constexpr std::string_view kGone = "the device is gone (adapter unplugged or line hung up)";
inline constexpr std::string_view kNotOpen = "the port is not open";
inline constexpr std::string_view kNoParity = "does not support even parity; the line runs without parity.";
}  // namespace serial_texts

class PosixSerialPort final : public ByteChannel {
 public:
  explicit PosixSerialPort(std::string devicePath);
  ~PosixSerialPort() override;
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  core::Result<OpenInfo> open(const LineSettings& settings) override;
  void close() override;
  bool isOpen() const override { return fd_ >= 0; }

  IoResult write(std::span<const std::uint8_t> bytes, const core::Deadline& deadline) override;
  IoResult readByte(std::uint8_t& out, const core::Deadline& deadline, std::stop_token stop = {}) override;
  std::size_t queuedInput() override;
  void flush() override;
  void flushInput() override;

  std::string errorText() const override;
  std::string describe() const override { return path_; }

 private:
  core::Error openFailed(std::string_view reason);
  core::Error openFailedErrno(std::string_view what, int errnum);
  core::Result<OpenInfo> configure(speed_t speed, bool evenParity);
  IoResult readOrWait(std::uint8_t& out, const core::Deadline& deadline, const std::stop_token& stop);
  IoResult fail(std::string_view text);
  IoResult failErrno(std::string_view what, int errnum);
  void setError(std::string text);
  void askLowLatency();
  void restoreLatency();

  std::string path_;
  int fd_ = -1;
  int wakeFd_ = -1;        // eventfd a stop request writes to, polled beside fd_ by the reader
  bool exclusive_ = false; // we set TIOCEXCL, so it must be cleared before the fd closes
  bool restore_ = false;   // saved_ holds the line as we found it, restored on close
  termios saved_{};
  std::optional<int> savedSerialFlags_;  // driver flags before we asked for low latency
  mutable std::mutex errorMutex_;
  std::string errorText_;
};

}  // namespace orva::link
