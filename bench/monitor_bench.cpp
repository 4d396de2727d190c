// Throughput of the communication monitor at one byte per call, as the command protocols
// append: register reads with the camera's per-character echo and its answer.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <string>
#include <vector>

#include "shell/monitor.hpp"

namespace orva::shell {
namespace {

struct Byte {
  Side side;
  char value;
};

// 256 register reads: each byte of ":R%04X00" sent and echoed, then the two answer digits,
// and every fourth answer closed by "\r\n" as the AFP frames are.
std::vector<Byte> registerReads() {
  std::vector<Byte> bytes;
  for (int address = 0; address < 256; ++address) {
    for (const char c : fmt::format(":R{:04X}00", address)) {
      bytes.push_back({Side::Pc, c});
      bytes.push_back({Side::Camera, c});
    }
    for (const char c : fmt::format("{:02X}", address ^ 0x5A)) bytes.push_back({Side::Camera, c});
    if (address % 4 == 0) {
      bytes.push_back({Side::Camera, '\r'});
      bytes.push_back({Side::Camera, '\n'});
    }
  }
  return bytes;
}

void feed(Monitor& m, const std::vector<Byte>& bytes) {
  for (const Byte& b : bytes) {
    const std::string_view one(&b.value, 1);
    if (b.side == Side::Pc) {
      m.appendPc(one);
    } else {
      m.appendCamera(one);
    }
  }
}

class CountingView final : public MonitorObserver {
 public:
  void appended(Side, std::string_view text) noexcept override { chars_ += text.size(); }
  void firstLineDeleted(Side) noexcept override { ++deleted_; }

 private:
  std::size_t chars_ = 0;
  std::size_t deleted_ = 0;
};

void runTraffic(benchmark::State& state, Monitor& m) {
  const std::vector<Byte> bytes = registerReads();
  feed(m, bytes);  // past the 200th row, so every new line trims both panes
  for (auto _ : state) feed(m, bytes);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}

void BM_RegisterReads(benchmark::State& state) {
  Monitor m;
  runTraffic(state, m);
}
BENCHMARK(BM_RegisterReads);

void BM_RegisterReadsWithView(benchmark::State& state) {
  CountingView view;
  Monitor m;
  m.subscribe(view);
  runTraffic(state, m);
  m.unsubscribe(view);
}
BENCHMARK(BM_RegisterReadsWithView);

// A line that never ends fills the PC pane to its limit (trimming keeps a pane's last line);
// with no prompt set every further byte is cut without a question.
void BM_FullPaneWithoutPrompt(benchmark::State& state) {
  Monitor m;
  const std::string line(kPaneLimit, 'A');
  m.appendPc(line, 0);
  std::vector<Byte> bytes;
  for (const char c : std::string("0123456789ABCDEF")) bytes.push_back({Side::Pc, c});
  for (auto _ : state) feed(m, bytes);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
  if (m.snapshot().pc.size() != kPaneLimit) state.SkipWithError("the pane outgrew its limit");
}
BENCHMARK(BM_FullPaneWithoutPrompt);

}  // namespace
}  // namespace orva::shell
