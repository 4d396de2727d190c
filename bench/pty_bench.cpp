// EAP reads through the real serial port code against orva-camsim on a pseudo-terminal with
// line timing: what the operator gets on a real line. "vs_line" is measured / line time.
#include <benchmark/benchmark.h>

#include "camsim_child.hpp"
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


namespace orva {
namespace {

void BM_PtyReadByte(benchmark::State& state) {
  const int baud = static_cast<int>(state.range(0));
  const bool whole = state.range(1) != 0;
  bench::Camsim camsim({"--settings", std::to_string(baud) + ",N,8,1", "--line-timing"});
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
