#include "link/posix_serial_port.hpp"

#include <fcntl.h>
#include <fmt/format.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>

namespace orva::link {
namespace {

struct SpeedEntry {
  int baud;
  speed_t constant;
};

inline constexpr std::array<SpeedEntry, 9> kSpeeds{{
    {1200, B1200}, {2400, B2400}, {4800, B4800}, {9600, B9600}, {19200, B19200},
    {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
}};

std::optional<speed_t> speedConstant(int baud) {
  for (const auto& s : kSpeeds) {
    if (s.baud == baud) return s.constant;
  }
  return std::nullopt;
}

// Linux gives the slave side of Unix98 pseudo-terminals the character majors 136..143; serial
// hardware never uses them. A pseudo-terminal has no parity to offer, so its refusal is
// expected (the virtual camera) and not worth telling the operator.
bool isPseudoTerminal(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
  const auto maj = major(st.st_rdev);
  return maj >= 136 && maj <= 143;
}

// Errors after which the device cannot be used again without reopening it.
bool meansGone(int errnum) {
  return errnum == EIO || errnum == ENXIO || errnum == ENODEV || errnum == EPIPE;
}

// Wakes the reader's poll() when a stop is requested. Runs on the requesting thread.
struct WakeReader {
  int fd;
  void operator()() const noexcept {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(fd, &one, sizeof one);
  }
};

void drainWakeups(int fd) {
  std::uint64_t count = 0;
  [[maybe_unused]] const auto n = ::read(fd, &count, sizeof count);
}

// --- Who holds the line: best effort, for the "in use" message only. ---------------------

// The process holding a flock on the device node, from /proc/locks ("1: FLOCK ADVISORY WRITE
// <pid> <major>:<minor>:<inode> 0 EOF", device numbers in hex). Waiters ("->") hold nothing.
std::optional<pid_t> flockHolder(const struct stat& node) {
  std::ifstream locks("/proc/locks");
  std::string line;
  while (std::getline(locks, line)) {
    std::istringstream fields(line);
    std::string id, kind, advisory, mode, where;
    long pid = 0;
    if (!(fields >> id >> kind) || kind != "FLOCK") continue;
    if (!(fields >> advisory >> mode >> pid >> where)) continue;
    unsigned maj = 0, mnr = 0;
    unsigned long ino = 0;
    if (std::sscanf(where.c_str(), "%x:%x:%lu", &maj, &mnr, &ino) != 3) continue;
    if (maj == major(node.st_dev) && mnr == minor(node.st_dev) && ino == node.st_ino && pid != ::getpid()) {
      return static_cast<pid_t>(pid);
    }
  }
  return std::nullopt;
}

bool isNumber(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

// Another process with the device open, from the links in /proc/<pid>/fd (read, never
// followed, so a stuck file elsewhere cannot stall us). Processes we may not inspect are
// skipped silently.
std::optional<pid_t> openHolder(const std::filesystem::path& device) {
  namespace fs = std::filesystem;
  std::error_code ec;
  for (fs::directory_iterator proc("/proc", ec), end; !ec && proc != end; proc.increment(ec)) {
    const auto name = proc->path().filename().string();
    if (!isNumber(name)) continue;
    pid_t pid = 0;
    std::from_chars(name.data(), name.data() + name.size(), pid);
    if (pid == ::getpid()) continue;
    std::error_code fdEc;
    for (fs::directory_iterator fd(proc->path() / "fd", fdEc); !fdEc && fd != end; fd.increment(fdEc)) {
      std::error_code linkEc;
      if (fs::read_symlink(fd->path(), linkEc) == device && !linkEc) return pid;
    }
  }
  return std::nullopt;
}

// " (minicom, pid 1234)", or nothing when the process is unknown or has gone.
std::string describeProcess(std::optional<pid_t> pid) {
  if (!pid) return {};
  std::ifstream comm(fmt::format("/proc/{}/comm", *pid));
  std::string name;
  if (!std::getline(comm, name) || name.empty()) return {};
  return fmt::format(" ({}, pid {})", name, *pid);
}

std::string describeHolder(const std::string& path) {
  struct stat node {};
  if (::stat(path.c_str(), &node) != 0) return {};
  if (auto holder = describeProcess(flockHolder(node)); !holder.empty()) return holder;
  std::error_code ec;
  const auto device = std::filesystem::canonical(path, ec);
  return ec ? std::string() : describeProcess(openHolder(device));
}

}  // namespace

PosixSerialPort::PosixSerialPort(std::string devicePath) : path_(std::move(devicePath)) {}

PosixSerialPort::~PosixSerialPort() { close(); }

core::Error PosixSerialPort::openFailed(std::string_view reason) {
  auto text = fmt::format("could not open {}: {}", path_, reason);
  setError(text);
  return core::Error{std::move(text)};
}

core::Error PosixSerialPort::openFailedErrno(std::string_view what, int errnum) {
  auto error = core::systemError(what, path_, errnum);
  setError(error.message);
  return error;
}

core::Result<OpenInfo> PosixSerialPort::open(const LineSettings& settings) {
  close();
  setError({});
  const auto speed = speedConstant(settings.baud);
  if (!speed) return openFailed(fmt::format("{} baud is not a speed the line supports", settings.baud));

  const int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int e = errno;
    if (e == EACCES || e == EPERM) return openFailed(serial_texts::kNoPermission);
    if (e == ENOENT || e == ENODEV || e == ENXIO) return openFailed(serial_texts::kNoDevice);
    if (e == EBUSY) return openFailed(fmt::format("{}{}", serial_texts::kInUse, describeHolder(path_)));
    return openFailedErrno("open", e);
  }
  fd_ = fd;

  // flock keeps out every program that locks too (including a second ORVA); TIOCEXCL keeps out
  // those that do not, except root. A failed TIOCEXCL leaves the lock, which is enough for us.
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    const int e = errno;
    close();
    if (e == EWOULDBLOCK) return openFailed(fmt::format("{}{}", serial_texts::kInUse, describeHolder(path_)));
    return openFailedErrno("lock", e);
  }
  exclusive_ = ::ioctl(fd_, TIOCEXCL) == 0;

  if (::tcgetattr(fd_, &saved_) != 0) {
    const int e = errno;
    close();
    if (e == ENOTTY || e == EINVAL) return openFailed(serial_texts::kNotATerminal);
    return openFailedErrno("read the line settings of", e);
  }
  restore_ = true;

  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    const int e = errno;
    close();
    return openFailedErrno("prepare", e);
  }

  auto info = configure(*speed, settings.evenParity);
  if (!info) {
    close();
    return info;
  }
  // DTR tells a camera that a host is present; a pseudo-terminal has no modem lines (ENOTTY).
  const int dtr = TIOCM_DTR;
  [[maybe_unused]] const int ignored = ::ioctl(fd_, TIOCMBIS, &dtr);
  askLowLatency();
  ::tcflush(fd_, TCIOFLUSH);
  return info;
}

core::Result<OpenInfo> PosixSerialPort::configure(speed_t speed, bool evenParity) {
  // Built from nothing rather than from the line as found: a flag left by the port's previous
  // user (input parity checking, ignored parity errors, mark/space parity) would change what
  // "even parity" means on one adapter and not on another.
  termios t{};
  t.c_iflag = 0;
  t.c_oflag = 0;
  t.c_lflag = 0;
  t.c_cflag = CS8 | CLOCAL | CREAD;
  t.c_line = saved_.c_line;
  // Reads never block in the kernel: waiting happens in poll(), where a stop can end it.
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  ::cfsetispeed(&t, speed);
  ::cfsetospeed(&t, speed);
  if (evenParity) t.c_cflag |= PARENB;

  if (::tcsetattr(fd_, TCSANOW, &t) != 0) {
    // A device without parity refuses the whole change (EINVAL); take the rest without it.
    if (!(evenParity && errno == EINVAL)) return openFailedErrno("configure", errno);
    t.c_cflag &= ~static_cast<tcflag_t>(PARENB);
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) return openFailedErrno("configure", errno);
  }

  OpenInfo info;
  // A device may also accept the change and quietly drop the parity; only the read-back tells.
  termios now{};
  const bool parityRuns = ::tcgetattr(fd_, &now) == 0 && (now.c_cflag & PARENB) != 0;
  if (evenParity && !parityRuns && !isPseudoTerminal(fd_)) {
    info.notice = fmt::format("{} {}", path_, serial_texts::kNoParity);
  }
  return info;
}

// A USB adapter holds received bytes back for its latency timer (often 16 ms) before it
// passes them on; with one echo per character that timer, not the wire, sets the pace. The
// low-latency flag makes the common drivers pass bytes on within a millisecond. A device
// without serial driver flags (a pseudo-terminal) refuses the request, which is fine.
void PosixSerialPort::askLowLatency() {
  constexpr int kLowLatency = static_cast<int>(ASYNC_LOW_LATENCY);
  serial_struct serial{};
  if (::ioctl(fd_, TIOCGSERIAL, &serial) != 0 || (serial.flags & kLowLatency) != 0) return;
  const int found = serial.flags;
  serial.flags |= kLowLatency;
  if (::ioctl(fd_, TIOCSSERIAL, &serial) == 0) savedSerialFlags_ = found;
}

// The driver flags outlive our descriptor, so the next user gets the line as we found it.
void PosixSerialPort::restoreLatency() {
  if (!savedSerialFlags_) return;
  serial_struct serial{};
  if (::ioctl(fd_, TIOCGSERIAL, &serial) == 0) {
    serial.flags = *savedSerialFlags_;
    ::ioctl(fd_, TIOCSSERIAL, &serial);
  }
  savedSerialFlags_.reset();
}

void PosixSerialPort::close() {
  if (fd_ >= 0) {
    // Every call may fail after a hang-up (EIO); the descriptor must be released regardless.
    ::tcflush(fd_, TCIOFLUSH);
    restoreLatency();
    if (restore_) ::tcsetattr(fd_, TCSANOW, &saved_);
    // The exclusive flag belongs to the tty, not to our descriptor: left set, it would keep
    // every non-root user out of the line until the device is unplugged.
    if (exclusive_) ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
  }
  if (wakeFd_ >= 0) ::close(wakeFd_);
  fd_ = -1;
  wakeFd_ = -1;
  exclusive_ = false;
  restore_ = false;
}

IoResult PosixSerialPort::write(std::span<const std::uint8_t> bytes, const core::Deadline& deadline) {
  if (fd_ < 0) return fail(serial_texts::kNotOpen);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const auto n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return failErrno("write to", errno);

    pollfd p{fd_, POLLOUT, 0};
    const int r = ::poll(&p, 1, deadline.pollTimeoutMs());
    if (r < 0) {
      if (errno == EINTR) continue;
      return failErrno("wait for", errno);
    }
    if (r == 0) return IoResult::Timeout;
    if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return fail(serial_texts::kGone);
  }
  return IoResult::Ok;
}

IoResult PosixSerialPort::readByte(std::uint8_t& out, const core::Deadline& deadline, std::stop_token stop) {
  if (fd_ < 0) return fail(serial_texts::kNotOpen);
  if (stop.stop_requested()) return IoResult::Stopped;
  const auto result = readOrWait(out, deadline, stop);
  // The stop callback is gone by now, so no wake-up can arrive after this drain and
  // end the next read early.
  if (stop.stop_requested()) drainWakeups(wakeFd_);
  return result;
}

IoResult PosixSerialPort::readOrWait(std::uint8_t& out, const core::Deadline& deadline,
                                     const std::stop_token& stop) {
  // Registered only when the read has to wait; lives on the stack, so a byte costs no allocation.
  std::optional<std::stop_callback<WakeReader>> wake;
  for (;;) {
    const auto n = ::read(fd_, &out, 1);
    if (n == 1) return IoResult::Ok;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return failErrno("read from", errno);

    if (!wake && stop.stop_possible()) wake.emplace(stop, WakeReader{wakeFd_});
    std::array<pollfd, 2> fds{{{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}}};
    const int r = ::poll(fds.data(), fds.size(), deadline.pollTimeoutMs());
    if (r < 0) {
      if (errno == EINTR) continue;
      return failErrno("wait for", errno);
    }
    if (fds[1].revents != 0) return IoResult::Stopped;
    if (r == 0) return IoResult::Timeout;
    if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
      // Bytes that arrived before the fault are still delivered.
      if (::read(fd_, &out, 1) == 1) return IoResult::Ok;
      return fail(serial_texts::kGone);
    }
  }
}

std::size_t PosixSerialPort::queuedInput() {
  int n = 0;
  if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &n) != 0 || n < 0) return 0;
  return static_cast<std::size_t>(n);
}

void PosixSerialPort::flush() {
  if (fd_ >= 0) ::tcflush(fd_, TCIOFLUSH);
}

void PosixSerialPort::flushInput() {
  if (fd_ >= 0) ::tcflush(fd_, TCIFLUSH);
}

std::string PosixSerialPort::errorText() const {
  std::lock_guard lock(errorMutex_);
  return errorText_;
}

void PosixSerialPort::setError(std::string text) {
  std::lock_guard lock(errorMutex_);
  errorText_ = std::move(text);
}

IoResult PosixSerialPort::fail(std::string_view text) {
  setError(fmt::format("{}: {}", path_, text));
  return IoResult::Error;
}

IoResult PosixSerialPort::failErrno(std::string_view what, int errnum) {
  if (meansGone(errnum)) return fail(serial_texts::kGone);
  setError(core::systemError(what, path_, errnum).message);
  return IoResult::Error;
}

}  // namespace orva::link
