#include "link/posix_serial_port.hpp"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "core/clock.hpp"
#include "core/deadline.hpp"
#include "support/temp_folder.hpp"

namespace orva::link {

// Readable failure messages: "Timeout" instead of a dump of the enum's bytes.
void PrintTo(IoResult r, std::ostream* os) {
  constexpr std::array<const char*, 4> kNames{"Ok", "Timeout", "Error", "Stopped"};
  *os << kNames.at(static_cast<std::size_t>(r));
}

namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using Bytes = std::vector<std::uint8_t>;

// The camera end of a pseudo-terminal. The port under test opens the slave path; the test
// talks through the master, which also shows the slave's line settings.
class PtyCamera {
 public:
  PtyCamera() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) throw std::runtime_error("no pty");
    std::array<char, 128> name{};
    if (::ptsname_r(master_, name.data(), name.size()) != 0) throw std::runtime_error("no pty name");
    path_ = name.data();
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    // The line as a port finds it: distinct from what the port sets, and without echo, so
    // nothing the camera sends before the open comes back to it.
    termios t{};
    ::tcgetattr(master_, &t);
    ::cfmakeraw(&t);
    t.c_cflag |= CSTOPB;
    t.c_cc[VMIN] = 1;
    ::cfsetspeed(&t, B9600);
    ::tcsetattr(master_, TCSANOW, &t);
  }
  ~PtyCamera() { hangUp(); }
  PtyCamera(const PtyCamera&) = delete;
  PtyCamera& operator=(const PtyCamera&) = delete;

  const std::string& path() const { return path_; }
  int fd() const { return master_; }

  termios line() const {
    termios t{};
    ::tcgetattr(master_, &t);
    return t;
  }

  void send(const Bytes& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const auto n = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (n > 0) done += static_cast<std::size_t>(n);
      else if (errno != EINTR && errno != EAGAIN) throw std::runtime_error("camera cannot send");
    }
  }

  // Up to `count` bytes, whatever arrived within `limit`.
  Bytes receive(std::size_t count, std::chrono::milliseconds limit = 2000ms) const {
    core::SteadyClock clock;
    const core::Deadline deadline(clock, limit);
    Bytes out;
    while (out.size() < count) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, deadline.pollTimeoutMs()) <= 0) break;
      std::array<std::uint8_t, 512> buf{};
      const auto n = ::read(master_, buf.data(), std::min(buf.size(), count - out.size()));
      if (n > 0) out.insert(out.end(), buf.begin(), buf.begin() + n);
      else if (n < 0 && errno != EAGAIN && errno != EINTR) break;
    }
    return out;
  }

  void hangUp() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  std::string path_;
};

class PosixSerialPortTest : public ::testing::Test {
 protected:
  core::Deadline in(core::Clock::duration limit) const { return core::Deadline(clock_, limit); }

  static Bytes allByteValues() {
    Bytes b(256);
    for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i);
    return b;
  }

  Bytes readBytes(PosixSerialPort& port, std::size_t count) {
    Bytes out;
    std::uint8_t b = 0;
    while (out.size() < count && port.readByte(b, in(2s)) == IoResult::Ok) out.push_back(b);
    return out;
  }

  core::SteadyClock clock_;
  PtyCamera camera_;
};

TEST_F(PosixSerialPortTest, OpensRawAtTheAskedSpeedClearingWhatThePreviousUserLeftAndRestoresItOnClose) {
  termios left = camera_.line();
  left.c_iflag |= INPCK | IGNPAR | PARMRK | IGNBRK | INLCR | IUCLC | IXON | ICRNL;
  left.c_cflag |= CMSPAR | PARODD | HUPCL | CRTSCTS;
  left.c_oflag |= OPOST | ONLCR;
  left.c_lflag |= ICANON | ECHO | IEXTEN | ISIG;
  ASSERT_EQ(::tcsetattr(camera_.fd(), TCSANOW, &left), 0);
  ASSERT_NE(camera_.line().c_iflag & INPCK, 0u);
  PosixSerialPort port(camera_.path());
  EXPECT_EQ(port.describe(), camera_.path());
  // Even parity on a pty: at the speed found the pty refuses the whole change (EINVAL), at a
  // new speed it drops the parity; neither fails nor tells the operator.
  const std::tuple<int, bool, speed_t> rows[] = {{4800, false, B4800},  {19200, false, B19200}, {115200, false, B115200},
                                                 {57600, false, B57600}, {9600, true, B9600},    {38400, true, B38400}};
  for (const auto& [baud, even, speed] : rows) {
    SCOPED_TRACE(baud);
    const auto opened = port.open({baud, even});
    ASSERT_TRUE(opened) << opened.message();
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(opened->notice, "");
    const termios t = camera_.line();
    EXPECT_EQ(::cfgetospeed(&t), speed);
    EXPECT_EQ(::cfgetispeed(&t), speed);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (CMSPAR | PARODD | PARENB | HUPCL | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(t.c_iflag, 0u);
    EXPECT_EQ(t.c_oflag, 0u);
    EXPECT_EQ(t.c_lflag, 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);

    port.close();
    EXPECT_FALSE(port.isOpen());
    const termios found = camera_.line();
    EXPECT_EQ(::cfgetospeed(&found), static_cast<speed_t>(B9600));
    EXPECT_NE(found.c_cflag & CSTOPB, 0u);
    EXPECT_NE(found.c_iflag & INPCK, 0u) << "the line as it was found";
    EXPECT_EQ(found.c_cc[VMIN], 1);
  }
  port.close();  // closing a closed port is harmless
  EXPECT_FALSE(port.isOpen());
}

TEST_F(PosixSerialPortTest, OpenFailuresNameTheDeviceAndWhatToDo) {
  const orva::testing::TempFolder folder;
  const auto& dir = folder.path();

  PosixSerialPort missing((dir / "ttyUSB9").string());
  EXPECT_FALSE(missing.isOpen()) << "not before its open";
  auto r = missing.open({4800, true});
  ASSERT_TRUE(r.failed());
  EXPECT_THAT(r.message(), HasSubstr((dir / "ttyUSB9").string()));
  EXPECT_THAT(r.message(), HasSubstr(serial_texts::kNoDevice));
  EXPECT_EQ(missing.errorText(), r.message());
  EXPECT_FALSE(missing.isOpen());

  const auto file = dir / "not-a-tty";
  std::ofstream(file) << "x";
  PosixSerialPort plain(file.string());
  r = plain.open({4800, true});
  ASSERT_TRUE(r.failed());
  EXPECT_THAT(r.message(), HasSubstr(serial_texts::kNotATerminal));
  EXPECT_FALSE(plain.isOpen());

  if (::geteuid() != 0) {  // root opens anything
    std::filesystem::permissions(file, std::filesystem::perms::none);
    r = plain.open({4800, true});
    ASSERT_TRUE(r.failed());
    EXPECT_THAT(r.message(), HasSubstr("dialout"));
    EXPECT_THAT(r.message(), HasSubstr("sudo adduser $USER dialout"));
  }

  PosixSerialPort odd(camera_.path());
  r = odd.open({1234, false});
  ASSERT_TRUE(r.failed());
  EXPECT_THAT(r.message(), HasSubstr("1234"));
}

TEST_F(PosixSerialPortTest, SecondOpenIsRefusedWhileTheFirstHoldsTheLineAndDoesNotDisturbIt) {
  PosixSerialPort first(camera_.path());
  PosixSerialPort second(camera_.path());
  ASSERT_TRUE(first.open({19200, false}));

  const auto refused = second.open({4800, false});
  ASSERT_TRUE(refused.failed());
  EXPECT_THAT(refused.message(), HasSubstr(camera_.path()));
  EXPECT_THAT(refused.message(), HasSubstr(serial_texts::kInUse));
  EXPECT_FALSE(second.isOpen());
  // The refused attempt left the first port's line alone.
  const termios t = camera_.line();
  EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B19200));
  ASSERT_EQ(first.write(Bytes{'O', 'K'}, in(1s)), IoResult::Ok);
  EXPECT_EQ(camera_.receive(2), (Bytes{'O', 'K'}));

  first.close();
  const auto reopened = second.open({4800, false});
  ASSERT_TRUE(reopened) << reopened.message();
  EXPECT_TRUE(first.open({4800, false}).failed());
}

TEST_F(PosixSerialPortTest, InUseMessageNamesTheOtherProgram) {
  std::array<int, 2> ready{}, release{};
  ASSERT_EQ(::pipe(ready.data()), 0);
  ASSERT_EQ(::pipe(release.data()), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    // Another program holding the line: only async-signal-safe calls after fork.
    ::close(ready[0]);
    ::close(release[1]);
    const int fd = ::open(camera_.path().c_str(), O_RDWR | O_NOCTTY);
    const char ok = (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) ? 'y' : 'n';
    [[maybe_unused]] auto w = ::write(ready[1], &ok, 1);
    char c = 0;
    [[maybe_unused]] auto r = ::read(release[0], &c, 1);
    ::_exit(0);
  }
  ::close(ready[1]);
  ::close(release[0]);
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, 'y');

  PosixSerialPort port(camera_.path());
  const auto refused = port.open({4800, false});
  ::close(release[1]);
  int status = 0;
  ::waitpid(holder, &status, 0);
  ::close(ready[0]);

  ASSERT_TRUE(refused.failed());
  EXPECT_THAT(refused.message(), HasSubstr(serial_texts::kInUse));
  EXPECT_THAT(refused.message(), HasSubstr("pid " + std::to_string(holder) + ")"));
  const auto opened = port.open({4800, false});
  EXPECT_TRUE(opened) << opened.message();
}

// The exclusive flag lives on the tty, not on our descriptor, and the virtual camera keeps the
// tty alive between opens: a close that left the flag set would lock every other non-root user
// out. A normal user sees this in the test above; root needs a child that drops to another user.
TEST_F(PosixSerialPortTest, AfterCloseAnotherUserCanOpenTheLine) {
  if (::geteuid() != 0) GTEST_SKIP() << "runs as a normal user already: covered by the test above";
  ASSERT_EQ(::chmod(camera_.path().c_str(), 0666), 0);
  std::array<int, 2> go{}, report{};
  ASSERT_EQ(::pipe(go.data()), 0);
  ASSERT_EQ(::pipe(report.data()), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(go[1]);
    ::close(report[0]);
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(1);
    for (int attempt = 0; attempt < 2; ++attempt) {
      char c = 0;
      if (::read(go[0], &c, 1) != 1) ::_exit(1);
      PosixSerialPort other(camera_.path());
      const auto r = other.open({4800, false});
      std::array<char, 512> text{};
      const std::string said = r ? std::string("opened") : r.message();
      said.copy(text.data(), text.size() - 1);
      if (::write(report[1], text.data(), text.size()) != static_cast<ssize_t>(text.size())) ::_exit(1);
    }
    ::_exit(0);
  }
  ::close(go[0]);
  ::close(report[1]);
  const auto attempt = [&] {
    EXPECT_EQ(::write(go[1], "g", 1), 1);
    std::array<char, 512> text{};
    std::size_t got = 0;
    while (got < text.size()) {
      const auto n = ::read(report[0], text.data() + got, text.size() - got);
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    return std::string(text.data());
  };

  PosixSerialPort port(camera_.path());
  ASSERT_TRUE(port.open({19200, false}));
  const auto whileHeld = attempt();
  port.close();
  const auto afterClose = attempt();
  ::close(go[1]);
  ::close(report[0]);
  int status = 0;
  ::waitpid(child, &status, 0);

  EXPECT_THAT(whileHeld, HasSubstr(serial_texts::kInUse));
  EXPECT_THAT(whileHeld, HasSubstr("pid " + std::to_string(::getpid()) + ")"));
  EXPECT_EQ(afterClose, "opened");
}

TEST_F(PosixSerialPortTest, MovesEveryByteValueUnchangedBothWays) {
  PosixSerialPort port(camera_.path());
  ASSERT_TRUE(port.open({115200, false}));
  const Bytes all = allByteValues();  // CR, LF, XON/XOFF, ^C, 0xFF: none is special on a raw line

  ASSERT_EQ(port.write(all, in(1s)), IoResult::Ok);
  EXPECT_EQ(camera_.receive(all.size()), all);
  EXPECT_EQ(port.write({}, in(0ms)), IoResult::Ok);

  camera_.send(all);
  EXPECT_EQ(readBytes(port, all.size()), all);
}

TEST_F(PosixSerialPortTest, OpenAndFlushDiscardWhatIsQueued) {
  camera_.send(Bytes{'o', 'l', 'd'});
  PosixSerialPort port(camera_.path());
  ASSERT_TRUE(port.open({4800, false}));
  EXPECT_EQ(port.queuedInput(), 0u);
  std::uint8_t b = 0;
  EXPECT_EQ(port.readByte(b, in(30ms)), IoResult::Timeout);

  camera_.send(Bytes{'1', '2', '3', '4', '5'});
  ASSERT_EQ(port.readByte(b, in(2s)), IoResult::Ok);
  EXPECT_EQ(b, '1');
  EXPECT_EQ(port.queuedInput(), 4u);
  port.flush();
  EXPECT_EQ(port.queuedInput(), 0u);
  EXPECT_EQ(port.readByte(b, in(30ms)), IoResult::Timeout);
}

TEST_F(PosixSerialPortTest, TransfersTimeOutAtTheirDeadlineAndTheLineStaysUsable) {
  PosixSerialPort port(camera_.path());
  ASSERT_TRUE(port.open({4800, false}));

  std::uint8_t b = 0;
  const auto readDeadline = in(30ms);
  EXPECT_EQ(port.readByte(b, readDeadline), IoResult::Timeout);
  EXPECT_GE(clock_.now(), readDeadline.at());
  EXPECT_EQ(port.readByte(b, in(0ms)), IoResult::Timeout);

  // Nobody reads at the camera end, so the pty's buffers fill and the write must give up.
  const Bytes lots(1 << 20, 0x55);
  const auto writeDeadline = in(50ms);
  EXPECT_EQ(port.write(lots, writeDeadline), IoResult::Timeout);
  EXPECT_GE(clock_.now(), writeDeadline.at());
  EXPECT_LT(clock_.now() - writeDeadline.at(), 1s);

  port.flush();
  camera_.receive(lots.size(), 100ms);
  camera_.send(Bytes{0x42});
  ASSERT_EQ(port.readByte(b, in(2s)), IoResult::Ok);
  EXPECT_EQ(b, 0x42);
  EXPECT_EQ(port.errorText(), "");
}

TEST_F(PosixSerialPortTest, StopRequestWakesABlockedReaderAtOnce) {
  PosixSerialPort port(camera_.path());
  ASSERT_TRUE(port.open({4800, false}));

  std::stop_source stop;
  std::atomic<IoResult> result{IoResult::Ok};
  const auto started = clock_.now();
  std::thread reader([&] {
    std::uint8_t b = 0;
    result = port.readByte(b, in(60s), stop.get_token());
  });
  std::this_thread::sleep_for(50ms);
  stop.request_stop();
  reader.join();
  EXPECT_EQ(result.load(), IoResult::Stopped);
  EXPECT_LT(clock_.now() - started, 10s);

  std::uint8_t b = 0;
  // An already requested stop ends the read before it waits.
  EXPECT_EQ(port.readByte(b, in(60s), stop.get_token()), IoResult::Stopped);
  // The wake-up was used up: a later read with a fresh token waits its full time again.
  std::stop_source fresh;
  EXPECT_EQ(port.readByte(b, in(30ms), fresh.get_token()), IoResult::Timeout);
  camera_.send(Bytes{0x07});
  EXPECT_EQ(port.readByte(b, in(2s), fresh.get_token()), IoResult::Ok);
  EXPECT_EQ(b, 0x07);
}

TEST_F(PosixSerialPortTest, HangUpIsAnErrorInPlainWordsAClosedPortRefusesAndTheNextOpenSaysTheDeviceIsGone) {
  PosixSerialPort port(camera_.path());
  ASSERT_TRUE(port.open({4800, false}));
  camera_.hangUp();

  std::uint8_t b = 0;
  EXPECT_EQ(port.readByte(b, in(2s)), IoResult::Error);
  EXPECT_THAT(port.errorText(), HasSubstr(camera_.path()));
  EXPECT_THAT(port.errorText(), HasSubstr(serial_texts::kGone));
  EXPECT_EQ(port.write(Bytes{'x'}, in(1s)), IoResult::Error);
  EXPECT_THAT(port.errorText(), HasSubstr(serial_texts::kGone));

  port.close();
  EXPECT_FALSE(port.isOpen());
  // A closed port refuses transfers plainly.
  EXPECT_EQ(port.readByte(b, in(1s)), IoResult::Error);
  EXPECT_THAT(port.errorText(), HasSubstr(serial_texts::kNotOpen));
  EXPECT_EQ(port.write(Bytes{'x'}, in(1s)), IoResult::Error);
  EXPECT_EQ(port.queuedInput(), 0u);
  port.flush();
  const auto reopened = port.open({4800, false});
  ASSERT_TRUE(reopened.failed());
  EXPECT_THAT(reopened.message(), HasSubstr(serial_texts::kNoDevice));
}

TEST_F(PosixSerialPortTest, OneReaderAndOneWriterRunTogether) {
  PosixSerialPort port(camera_.path());
  ASSERT_TRUE(port.open({115200, false}));
  constexpr std::size_t kCount = 2000;

  // The camera echoes everything, so the reader receives what the writer sends.
  std::jthread echo([&](std::stop_token stop) {
    std::size_t echoed = 0;
    while (echoed < kCount && !stop.stop_requested()) {
      const auto got = camera_.receive(kCount - echoed, 50ms);
      camera_.send(got);
      echoed += got.size();
    }
  });
  Bytes received;
  std::jthread reader([&] { received = readBytes(port, kCount); });
  std::jthread writer([&] {
    for (std::size_t i = 0; i < kCount; ++i) {
      const std::uint8_t b = static_cast<std::uint8_t>(i * 7);
      if (port.write({&b, 1}, in(2s)) != IoResult::Ok) return;
    }
  });
  writer.join();
  reader.join();
  echo.request_stop();
  echo.join();

  ASSERT_EQ(received.size(), kCount);
  for (std::size_t i = 0; i < kCount; ++i) ASSERT_EQ(received[i], static_cast<std::uint8_t>(i * 7)) << i;
}

std::chrono::microseconds threadCpuTime() {
  rusage u{};
  ::getrusage(RUSAGE_THREAD, &u);
  const auto time = [](const timeval& t) {
    return std::chrono::seconds(t.tv_sec) + std::chrono::microseconds(t.tv_usec);
  };
  return time(u.ru_utime) + time(u.ru_stime);
}

TEST_F(PosixSerialPortTest, AWaitingReadBlocksInsteadOfSpinning) {
  PosixSerialPort port(camera_.path());
  ASSERT_TRUE(port.open({4800, false}));
  std::stop_source stop;
  std::uint8_t b = 0;
  const auto before = threadCpuTime();
  EXPECT_EQ(port.readByte(b, in(200ms), stop.get_token()), IoResult::Timeout);
  EXPECT_LT(threadCpuTime() - before, 20ms);
}

}  // namespace
}  // namespace orva::link
