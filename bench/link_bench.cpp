// EAP exchanges against the virtual camera with line timing on, in real time: how close the
// tool comes to the line's own time. "vs_line" is measured time / line time (1.00 = the line
// itself is the only cost).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>

#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/negotiator.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/virtual_camera.hpp"

namespace orva {
namespace {

using Clock = std::chrono::steady_clock;

struct Line {
  Line(int baud, bool even, bool timing, std::vector<sim::Fault> faults = {})
      : camera(profile(baud, even), std::move(faults)), link(clock, monitor) {
    link.setChannel(std::make_unique<sim::InProcessChannel>(camera, clock, timing));
    link.setLineSettings({baud, even});
    link.open();
  }
  static sim::Profile profile(int baud, bool even) {
    sim::Profile p;
    for (const auto& f : link::kSettingsForms)
      if (f.baud == baud && f.evenParity == even) p.settings = f;
    return p;
  }
  core::SteadyClock clock;
  core::RecordingMonitorSink monitor;
  sim::VirtualCamera camera;
  link::Link link;
  link::Eap eap{link};
};

double characterSeconds(int baud, bool even) { return (even ? 11.0 : 10.0) / baud; }

// Per-character mode: each of the 8 characters of ":R%04X00" waits for its answer.
void BM_ReadBytePerCharacter(benchmark::State& state) {
  const int baud = static_cast<int>(state.range(0));
  Line line(baud, false, true);
  line.monitor.setEchoMode(core::EchoMode::Hidden);
  std::uint8_t v = 0;
  const auto t0 = Clock::now();
  for (auto _ : state) {
    if (!line.eap.readByte(0x0102, v)) state.SkipWithError("read failed");
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  const double lineSeconds = 16 * characterSeconds(baud, false) * static_cast<double>(state.iterations());
  state.counters["vs_line"] = seconds / lineSeconds;
}
BENCHMARK(BM_ReadBytePerCharacter)->Arg(9600)->Arg(38400)->Arg(115200)->UseRealTime()->MinTime(0.5);

// Whole-frame mode: the frame goes out at once and the answers stream back behind it, so the
// line time is the frame plus one character.
void BM_ReadByteWholeFrame(benchmark::State& state) {
  const int baud = static_cast<int>(state.range(0));
  Line line(baud, false, true);
  line.monitor.setEchoMode(core::EchoMode::Hidden);
  line.link.setBlockReadMode(2);
  std::uint8_t v = 0;
  const auto t0 = Clock::now();
  for (auto _ : state) {
    if (!line.eap.readByte(0x0102, v)) state.SkipWithError("read failed");
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  const double lineSeconds = 9 * characterSeconds(baud, false) * static_cast<double>(state.iterations());
  state.counters["vs_line"] = seconds / lineSeconds;
}
BENCHMARK(BM_ReadByteWholeFrame)->Arg(9600)->Arg(115200)->UseRealTime()->MinTime(0.5);

// The 26-character block read (always character by character).
void BM_BlockRead(benchmark::State& state) {
  const int baud = static_cast<int>(state.range(0));
  Line line(baud, false, true);
  line.monitor.setEchoMode(core::EchoMode::Hidden);
  std::array<std::uint8_t, 10> block{};
  const auto t0 = Clock::now();
  for (auto _ : state) {
    if (!line.eap.blockRead(0x1000, block)) state.SkipWithError("read failed");
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  const double lineSeconds = 52 * characterSeconds(baud, false) * static_cast<double>(state.iterations());
  state.counters["vs_line"] = seconds / lineSeconds;
}
BENCHMARK(BM_BlockRead)->Arg(115200)->UseRealTime()->MinTime(0.5);

// A silent camera: each read waits out the 1000 ms limit. CPU used while waiting, as a share
// of one core.
void BM_SilentCamera(benchmark::State& state) {
  Line line(9600, false, false, {sim::Fault{sim::FaultKind::Silent, 0}});
  line.monitor.setEchoMode(core::EchoMode::Hidden);
  std::uint8_t v = 0;
  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  const auto t0 = Clock::now();
  for (auto _ : state) line.eap.readByte(0x0102, v);
  const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  rusage after{};
  getrusage(RUSAGE_SELF, &after);
  auto cpu = [](const rusage& r) {
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
  };
  state.counters["cpu_share"] = (cpu(after) - cpu(before)) / seconds;
  state.counters["s_per_read"] = seconds / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SilentCamera)->Iterations(20)->UseRealTime();

// An AFP get at 115200 with line timing: "extra_us" is what the tool adds to the line's own
// time (the frame out, the camera's reply back) per round trip.
void BM_AfpGetRoundTrip(benchmark::State& state) {
  sim::Profile p = Line::profile(115200, false);
  p.protocol = sim::Protocol::Afp;
  core::SteadyClock clock;
  core::RecordingMonitorSink monitor;
  monitor.setEchoMode(core::EchoMode::Hidden);
  sim::VirtualCamera camera(p);
  link::Link link(clock, monitor);
  link.setChannel(std::make_unique<sim::InProcessChannel>(camera, clock, true));
  link.setLineSettings({115200, false});
  link.setProtocol(link::Protocol::Afp);
  link.open();
  link::Afp afp(link);
  std::string reply;
  const auto t0 = Clock::now();
  for (auto _ : state) {
    if (!afp.get("1101FF", reply)) state.SkipWithError("get failed");
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  // "G1101FFT" out, "Y110100T" back.
  const double lineSeconds = 16 * characterSeconds(115200, false);
  state.counters["extra_us"] = (seconds / static_cast<double>(state.iterations()) - lineSeconds) * 1e6;
}
BENCHMARK(BM_AfpGetRoundTrip)->UseRealTime()->MinTime(0.5);

// The search for a camera at the tenth form in the other protocol, on virtual time:
// "vs_budget" is the time taken over the sum of the fixed pauses and the probe limits.
void BM_NegotiateTenthFormOtherProtocol(benchmark::State& state) {
  double ratio = 0;
  for (auto _ : state) {
    sim::Profile p = Line::profile(57600, false);
    p.protocol = sim::Protocol::Afp;
    core::FakeClock clock(std::chrono::milliseconds(20));
    core::RecordingMonitorSink monitor;
    sim::VirtualCamera camera(p);
    link::Link link(clock, monitor);
    link.setChannel(std::make_unique<sim::InProcessChannel>(camera, clock, false));
    link.setLineSettings({4800, true});
    link::Eap eap(link);
    link::Afp afp(link);
    link::Negotiator negotiator(link, eap, afp);
    if (!negotiator.connect(true)) state.SkipWithError("not found");
    using std::chrono::milliseconds;
    // The open pause, 21 silent probes, 19 forms with two 100 ms pauses, the form that answers.
    const auto budget = milliseconds(200) + 21 * milliseconds(1000) + 20 * milliseconds(200);
    ratio = std::chrono::duration<double>(clock.elapsed()) / std::chrono::duration<double>(budget);
  }
  state.counters["vs_budget"] = ratio;
}
BENCHMARK(BM_NegotiateTenthFormOtherProtocol)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace orva
