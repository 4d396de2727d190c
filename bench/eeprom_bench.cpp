// EEPROM backup and write-back of the largest range (0800-327F, a QB-191) through the real
// serial port code against orva-camsim on a pseudo-terminal with line timing: how long the
// operator waits on a real line, and how close that comes to the line's own time.
//
// "vs_line" is the measured time over the line time, the time the characters take on the line
// at 10 bits each (8N1) when nothing else costs anything. Characters are counted as the
// protocol exchanges them, one after the other where one waits for the other:
//   per-register byte read  ":R" ADDR "00" sent a character at a time, each answered before the
//                           next goes out: 8 characters each way in turn, 16 character times
//                           a byte;
//   row read                the same 8-character byte read and the 30 blanks after it, sent
//                           back to back; the camera answers each character as it arrives, so
//                           its last answer ends one character after the last blank: 39
//                           character times a row of 16 bytes;
//   byte write              ":W" ADDR VV a character at a time: 16 character times a byte;
//                           sent whole, as a camera that reads rows gets it: 9.
// The time the camera takes to think is none (the virtual camera answers at once), so what is
// above 1.0 is what the programs and the pty add.
#include <benchmark/benchmark.h>

#include "camsim_child.hpp"
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "core/prompt.hpp"
#include "eeprom/backup.hpp"
#include "eeprom/image.hpp"
#include "eeprom/write_back.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"
#include "link/posix_serial_port.hpp"
#include "sim/model_profiles.hpp"
#include "sim/virtual_camera.hpp"


namespace orva {
namespace {

constexpr const char* kModel = "QB-191";  // EEPROM 0800-327F, size code 10
constexpr double kBitsPerCharacter = 10;  // 8N1
constexpr double kByteReadCharacters = 16;
constexpr double kRowReadCharacters = 38 + 1;
constexpr double kByteWriteCharacters = 16;
constexpr double kWholeByteWriteCharacters = 9;
constexpr int kPerCharacter = 0;  // block-read mode: every frame a character at a time
constexpr int kRows = 2;          // block-read mode: frames whole, rows read on blanks

// A folder of its own for the files the runs write.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orva-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~Scratch() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// The tool's side as the CLI builds it, at the camera's speed, in EAP.
struct Tool {
  Tool(const std::string& pty, int baud, int blockReadMode) : link(clock, monitor) {
    monitor.setEchoMode(core::EchoMode::Hidden);
    link.setChannel(std::make_unique<link::PosixSerialPort>(pty));
    link.setLineSettings({baud, false});
    link.setProtocol(link::Protocol::Eap);
    link.setBlockReadMode(blockReadMode);
    opened = link.open();
  }

  core::SteadyClock clock;
  core::RecordingMonitorSink monitor;
  core::ScriptedPrompt prompt;
  link::Link link;
  link::Eap eap{link};
  link::Afp afp{link};
  bool opened = false;
};

eeprom::Range largestRange() {
  auto profile = sim::modelProfile(kModel, sim::Protocol::Eap);
  return profile && profile->eepromRange ? *profile->eepromRange : eeprom::Range{};
}

void reportLineRatio(benchmark::State& state, double seconds, double characters, int baud) {
  const double line = characters * kBitsPerCharacter / baud;
  state.counters["vs_line"] = seconds / line;
  state.counters["line_s"] = line;
}

// Args: speed, block-read mode.
void BM_EepromBackup(benchmark::State& state) {
  const int baud = static_cast<int>(state.range(0));
  const int mode = static_cast<int>(state.range(1));
  bench::Camsim camsim({"--model", kModel, "--settings", std::to_string(baud) + ",N,8,1", "--line-timing"});
  Tool tool(camsim.pty(), baud, mode);
  if (!tool.opened) return state.SkipWithError("no pty");
  Scratch scratch;
  const eeprom::Range range = largestRange();
  double seconds = 0;
  for (auto _ : state) {
    eeprom::BackupRun run(tool.link, tool.eap, tool.afp, tool.prompt);
    const auto t0 = std::chrono::steady_clock::now();
    const auto outcome = run.run({range, scratch / "EEPROM.MEM", std::nullopt});
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (outcome.result != eeprom::BackupResult::Done) return state.SkipWithError(outcome.why.c_str());
  }
  const double perRun = mode == kRows ? kRowReadCharacters * static_cast<double>(range.rows())
                                      : kByteReadCharacters * static_cast<double>(range.bytes());
  reportLineRatio(state, seconds / static_cast<double>(state.iterations()), perRun, baud);
}
BENCHMARK(BM_EepromBackup)
    ->ArgNames({"baud", "mode"})
    ->Args({115200, kRows})
    ->Args({9600, kPerCharacter})
    ->Args({38400, kPerCharacter})
    ->Args({115200, kPerCharacter})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

// Args: speed, block-read mode. The file holds another seed's contents, so every byte written
// is a byte the camera takes; the read-back check is off (it is a backup, measured above).
void BM_EepromWriteBack(benchmark::State& state) {
  const int baud = static_cast<int>(state.range(0));
  const int mode = static_cast<int>(state.range(1));
  bench::Camsim camsim({"--model", kModel, "--settings", std::to_string(baud) + ",N,8,1", "--line-timing"});
  Tool tool(camsim.pty(), baud, mode);
  if (!tool.opened) return state.SkipWithError("no pty");
  Scratch scratch;
  const eeprom::Range range = largestRange();
  const auto file = scratch / "new.mem";
  {
    auto profile = sim::modelProfile(kModel, sim::Protocol::Eap, 2);
    std::ofstream(file, std::ios::binary) << eeprom::formatImage(sim::VirtualCamera(*profile).eepromContents());
  }
  eeprom::WriteBackRequest request;
  request.range = range;
  request.file = file;
  request.verify = false;
  double seconds = 0;
  for (auto _ : state) {
    eeprom::WriteBackRun run(tool.link, tool.eap, tool.afp, tool.prompt, nullptr);
    const auto t0 = std::chrono::steady_clock::now();
    const auto outcome = run.run(request);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (outcome.result != eeprom::WriteBackResult::Done) return state.SkipWithError(outcome.why.c_str());
  }
  const double perByte = mode == kRows ? kWholeByteWriteCharacters : kByteWriteCharacters;
  reportLineRatio(state, seconds / static_cast<double>(state.iterations()),
                  perByte * static_cast<double>(range.bytes()), baud);
}
BENCHMARK(BM_EepromWriteBack)
    ->ArgNames({"baud", "mode"})
    ->Args({9600, kPerCharacter})
    ->Args({38400, kPerCharacter})
    ->Args({115200, kPerCharacter})
    ->Args({115200, kRows})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
}  // namespace orva
