#include "sim/pty.hpp"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <utility>

namespace orva::sim {
namespace {

struct SpeedCode {
  int baud;
  speed_t code;
};

constexpr std::array<SpeedCode, 6> kSpeeds{{
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
}};

speed_t speedCode(int baud) {
  for (const auto& s : kSpeeds)
    if (s.baud == baud) return s.code;
  return B4800;
}

int baudOf(speed_t code) {
  for (const auto& s : kSpeeds)
    if (s.code == code) return s.baud;
  return 0;
}

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

core::Result<Pty> Pty::open(const link::LineSettings& settings) {
  int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) return core::systemError("open", "a pseudo-terminal", errno);
  Pty pty(master, -1, {});
  if (::grantpt(master) != 0 || ::unlockpt(master) != 0)
    return core::systemError("unlock", "the pseudo-terminal", errno);
  std::array<char, 128> name{};
  if (::ptsname_r(master, name.data(), name.size()) != 0)
    return core::systemError("name", "the pseudo-terminal", errno);
  pty.slavePath_ = name.data();
  pty.slave_ = ::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (pty.slave_ < 0) return core::systemError("open", pty.slavePath_, errno);

  termios tio{};
  if (::tcgetattr(pty.slave_, &tio) != 0)
    return core::systemError("read the settings of", pty.slavePath_, errno);
  ::cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  ::cfsetispeed(&tio, speedCode(settings.baud));
  ::cfsetospeed(&tio, speedCode(settings.baud));
  if (::tcsetattr(pty.slave_, TCSANOW, &tio) != 0) return core::systemError("set up", pty.slavePath_, errno);

  // Non-blocking only now: the camera's loop waits in poll(), never in read() or write().
  const int flags = ::fcntl(master, F_GETFL);
  if (flags < 0 || ::fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0)
    return core::systemError("set up", "the pseudo-terminal", errno);
  return pty;
}

Pty::Pty(int master, int slave, std::string slavePath)
    : master_(master), slave_(slave), slavePath_(std::move(slavePath)) {}

Pty::Pty(Pty&& other) noexcept
    : master_(std::exchange(other.master_, -1)),
      slave_(std::exchange(other.slave_, -1)),
      slavePath_(std::move(other.slavePath_)) {}

Pty& Pty::operator=(Pty&& other) noexcept {
  if (this != &other) {
    hangUp();
    master_ = std::exchange(other.master_, -1);
    slave_ = std::exchange(other.slave_, -1);
    slavePath_ = std::move(other.slavePath_);
  }
  return *this;
}

Pty::~Pty() { hangUp(); }

void Pty::hangUp() {
  closeFd(slave_);
  closeFd(master_);
}

int Pty::toolBaud() const {
  termios tio{};
  if (slave_ < 0 || ::tcgetattr(slave_, &tio) != 0) return 0;
  return baudOf(::cfgetospeed(&tio));
}

}  // namespace orva::sim
