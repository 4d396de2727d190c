// EAP reads through the real serial port code against orva-camsim on a pseudo-terminal with
// line timing: what the operator gets on a real line. "vs_line" is measured / line time.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "link/eap.hpp"
#include "link/posix_serial_port.hpp"

extern char** environ;

namespace orva {
namespace {

// orva-camsim as a child process; its first line names the pty.
class Camsim {
 public:
  explicit Camsim(const std::string& settings) {
    std::string program = ORVA_CAMSIM_PATH;
    std::string a1 = "--settings", a2 = settings, a3 = "--line-timing";
    char* argv[] = {program.data(), a1.data(), a2.data(), a3.data(), nullptr};
    int fds[2];
    if (::pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    char c = 0;
    std::string line;
    pollfd p{fds[0], POLLIN, 0};
    while (::poll(&p, 1, 5000) == 1 && ::read(fds[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(fds[0]);
    if (line.starts_with("PTY ")) pty_ = line.substr(4);
  }
  ~Camsim() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  Camsim(const Camsim&) = delete;
  Camsim& operator=(const Camsim&) = delete;
  const std::string& pty() const { return pty_; }

 private:
  pid_t pid_ = -1;
  std::string pty_;
};

void BM_PtyReadByte(benchmark::State& state) {
  const int baud = static_cast<int>(state.range(0));
  const bool whole = state.range(1) != 0;
  Camsim camsim(std::to_string(baud) + ",N,8,1");
  core::SteadyClock clock;
  core::RecordingMonitorSink monitor;
  monitor.setEchoMode(core::EchoMode::Hidden);
  link::Link link(clock, monitor);
  link.setChannel(std::make_unique<link::PosixSerialPort>(camsim.pty()));
  link.setLineSettings({baud, false});
  link.setBlockReadMode(whole ? 2 : 0);
  if (!link.open()) state.SkipWithError("no pty");
  link::Eap eap(link);
  std::uint8_t v = 0;
  const auto t0 = std::chrono::steady_clock::now();
  for (auto _ : state)
    if (!eap.readByte(0x0102, v)) state.SkipWithError("read failed");
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  // Per character: the character and its answer in turn; whole frame: the frame and one more.
  const double characters = whole ? 9 : 16;
  state.counters["vs_line"] = seconds / static_cast<double>(state.iterations()) / (characters * 10.0 / baud);
}
BENCHMARK(BM_PtyReadByte)
    ->Args({9600, 0})
    ->Args({38400, 0})
    ->Args({115200, 0})
    ->Args({115200, 1})
    ->UseRealTime()
    ->MinTime(0.5);

}  // namespace
}  // namespace orva
