#include "sim/pty_server.hpp"

#include <fmt/format.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <optional>
#include <string>

#include "core/clock.hpp"
#include "sim/line_model.hpp"

namespace orva::sim {
namespace {

using namespace std::chrono_literals;
using time_point = core::Clock::time_point;

// The indication a signal raises: kind 1 (IR cut filter change request), value 1 (out to in),
// or 2 (in to out) for SIGUSR2.
constexpr std::uint8_t kSignalledKind = 1;
constexpr std::uint8_t kOutToIn = 1;
constexpr std::uint8_t kInToOut = 2;

// The change request a record read from the indication descriptor asks for.
std::uint8_t signalledValue(const std::array<std::uint8_t, sizeof(signalfd_siginfo)>& record, ssize_t n) {
  if (n != static_cast<ssize_t>(record.size())) return kOutToIn;  // an eventfd's counter
  signalfd_siginfo info{};
  std::memcpy(&info, record.data(), record.size());
  return info.ssi_signo == static_cast<std::uint32_t>(SIGUSR2) ? kInToOut : kOutToIn;
}

// How long the line stays quiet before a frame that might still grow (a byte read that
// could become a block read, a function command) is printed as it stands.
constexpr auto kQuietLine = 100ms;
// A pty says nothing when the tool changes its speed: with a camera that reacts to it, the
// speed is looked at this often.
constexpr auto kSpeedWatch = 5ms;

class PtyServer {
 public:
  PtyServer(Pty& pty, VirtualCamera& camera, const ServeOptions& options)
      : pty_(pty), camera_(camera), options_(options), line_(camera, options.lineTiming, false) {}
  ~PtyServer() {
    if (timer_ >= 0) ::close(timer_);
  }
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  core::Result<ServeEnd> run(int stopFd);

 private:
  core::Status receive(time_point now);
  core::Status transmit();
  core::Status armTimer(std::optional<time_point> at);
  int pollTimeoutMs(time_point now) const;
  void printFrames();
  void watchSpeed();

  Pty& pty_;
  VirtualCamera& camera_;
  ServeOptions options_;
  LineModel line_;
  core::SteadyClock clock_;
  int timer_ = -1;
  std::string outgoing_;  // answers due but not yet taken by the pty
  std::uint64_t printed_ = 0;
  time_point lastHeard_{};
  int toolBaud_ = 0;
};

core::Result<ServeEnd> PtyServer::run(int stopFd) {
  timer_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
  if (timer_ < 0) return core::systemError("create", "a timer", errno);
  // Wake-ups as close to the deadlines as the kernel allows: a character at 115200 baud
  // lasts less than 100 us.
  if (options_.lineTiming) ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);

  for (;;) {
    const time_point now = clock_.now();
    line_.advance(now);
    watchSpeed();
    while (auto b = line_.takeAnswer(now)) outgoing_ += static_cast<char>(*b);
    if (auto st = transmit(); st.failed()) return core::Error{st.message()};
    if (line_.hungUp()) {
      camera_.frameLog().closeOpen();
      printFrames();
      pty_.hangUp();
      return ServeEnd::HungUp;
    }
    if (options_.frameLog && camera_.frameLog().hasOpenRecord() && now - lastHeard_ >= kQuietLine)
      camera_.frameLog().closeOpen();
    printFrames();
    if (auto st = armTimer(line_.nextEvent()); st.failed()) return core::Error{st.message()};

    std::array<pollfd, 4> fds{{
        {pty_.master(), static_cast<short>(POLLIN | (outgoing_.empty() ? 0 : POLLOUT)), 0},
        {stopFd, POLLIN, 0},
        {timer_, POLLIN, 0},
        {options_.indicationFd, POLLIN, 0},  // poll() skips a negative descriptor
    }};
    if (::poll(fds.data(), fds.size(), pollTimeoutMs(now)) < 0) {
      if (errno == EINTR) continue;
      return core::systemError("wait on", pty_.slavePath(), errno);
    }
    if (fds[1].revents != 0) {
      camera_.frameLog().closeOpen();
      printFrames();
      return ServeEnd::Stopped;
    }
    if (fds[2].revents & POLLIN) {
      std::uint64_t expirations = 0;
      [[maybe_unused]] auto n = ::read(timer_, &expirations, sizeof expirations);
    }
    if (fds[3].revents & POLLIN) {
      // Consumed whole: a signalfd yields one siginfo record, an eventfd its counter.
      std::array<std::uint8_t, sizeof(signalfd_siginfo)> record{};
      const ssize_t n = ::read(options_.indicationFd, record.data(), record.size());
      if (n > 0) camera_.raiseIndication(kSignalledKind, signalledValue(record, n));
    }
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
      if (auto st = receive(clock_.now()); st.failed()) return core::Error{st.message()};
    }
  }
}

core::Status PtyServer::receive(time_point now) {
  std::array<std::uint8_t, 256> buffer{};
  const ssize_t n = ::read(pty_.master(), buffer.data(), buffer.size());
  if (n < 0) {
    if (errno == EAGAIN || errno == EINTR) return {};
    return core::systemError("read from", pty_.slavePath(), errno);
  }
  if (n == 0) return core::Error{fmt::format("{}: the line closed", pty_.slavePath())};
  // A pty carries the speed the tool chose but no parity: the line compares the speed only,
  // and times each character with the camera's parity.
  const link::LineSettings sentWith{pty_.toolBaud(), camera_.settings().evenParity};
  line_.send(std::span(buffer.data(), static_cast<std::size_t>(n)), sentWith, now);
  lastHeard_ = now;
  return {};
}

core::Status PtyServer::transmit() {
  while (!outgoing_.empty()) {
    const ssize_t n = ::write(pty_.master(), outgoing_.data(), outgoing_.size());
    if (n < 0) {
      // The tool is not reading and the pty is full: poll() says when there is room.
      if (errno == EAGAIN || errno == EINTR) return {};
      return core::systemError("write to", pty_.slavePath(), errno);
    }
    outgoing_.erase(0, static_cast<std::size_t>(n));
  }
  return {};
}

core::Status PtyServer::armTimer(std::optional<time_point> at) {
  itimerspec when{};
  if (at) {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(at->time_since_epoch()).count();
    // steady_clock is CLOCK_MONOTONIC; a zero it_value would disarm the timer instead.
    when.it_value.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
    when.it_value.tv_nsec = static_cast<long>(std::max<std::int64_t>(ns % 1'000'000'000, 1));
  }
  if (::timerfd_settime(timer_, TFD_TIMER_ABSTIME, &when, nullptr) != 0)
    return core::systemError("set", "the line timer", errno);
  return {};
}

int PtyServer::pollTimeoutMs(time_point now) const {
  const int watch = camera_.answersLineRaised() ? static_cast<int>(kSpeedWatch.count()) : -1;
  if (!options_.frameLog || !camera_.frameLog().hasOpenRecord()) return watch;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(lastHeard_ + kQuietLine - now);
  const int quiet = static_cast<int>(std::max<std::int64_t>(left.count(), 0));
  return watch < 0 ? quiet : std::min(quiet, watch);
}

// What DTR would tell a camera on a real line: the tool has just set the line up.
void PtyServer::watchSpeed() {
  if (!camera_.answersLineRaised()) return;
  const int baud = pty_.toolBaud();
  if (toolBaud_ != 0 && baud != toolBaud_) camera_.lineRaised();
  toolBaud_ = baud;
}

void PtyServer::printFrames() {
  if (!options_.frameLog) return;
  const FrameLog& log = camera_.frameLog();
  const auto records = log.since(printed_);
  printed_ = log.end() - records.size();
  for (const auto& record : records) {
    if (!record.closed) break;
    fmt::print(options_.frameLog, "{}\n", describeRecord(record));
    ++printed_;
  }
  std::fflush(options_.frameLog);
}

}  // namespace

core::Result<ServeEnd> servePty(Pty& pty, VirtualCamera& camera, int stopFd, const ServeOptions& options) {
  PtyServer server(pty, camera, options);
  return server.run(stopFd);
}

}  // namespace orva::sim
