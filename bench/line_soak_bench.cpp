// A soak of the line: 100,000 register exchanges with the virtual camera, in EAP and through
// the AFP gateway, while 1 % of the frames meet a fault on their way back (a wrong echo, a garbage byte, a dropped byte,
// silence from some character on). Every spoilt exchange must end as a reported failure,
// every other one must bring the camera's own value, and the run must end. Not a CI test:
// run it by hand (under the debug and tsan presets for leaks and races) with
//   orva_bench --benchmark_filter=Soak
// "faults" counts the frames spoilt, "failed" the exchanges that returned failure, "reported"
// the fault reports in the monitor, "spoilt_passed" spoilt exchanges that still succeeded,
// "wrong" successes with a value other than the camera's (both must be 0), "unspoilt_failed"
// failures without a fault of their own.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <random>
#include <string>

#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/gateway.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/virtual_camera.hpp"

namespace orva {
namespace {

using link::IoResult;

enum class Spoil { None, WrongEcho, Garbage, Drop, Silence };

// The tool's end of the line, spoiling the answer of a chosen frame at a chosen character.
// EAP: the answer read belongs to the last character written (one frame goes out character by
// character). AFP: the answer is the reply frame, read by the receive thread after the whole
// frame went out, so characters are counted as they are read.
class SpoilingLine final : public link::ByteChannel {
 public:
  SpoilingLine(std::unique_ptr<link::ByteChannel> inner, core::Clock& clock, double rate, bool afp)
      : inner_(std::move(inner)), clock_(clock), rate_(rate), afp_(afp) {}

  std::uint64_t spoilt() const {
    std::lock_guard lock(mutex_);
    return spoilt_;
  }

  core::Result<link::OpenInfo> open(const link::LineSettings& s) override { return inner_->open(s); }
  void close() override { inner_->close(); }
  bool isOpen() const override { return inner_->isOpen(); }
  IoResult write(std::span<const std::uint8_t> bytes, const core::Deadline& deadline) override {
    {
      std::lock_guard lock(mutex_);
      for (auto b : bytes) {
        if (afp_ ? (b == 'G' || b == 'S') : b == ':') beginFrame();
        if (!afp_) ++position_;
      }
    }
    return inner_->write(bytes, deadline);
  }
  IoResult readByte(std::uint8_t& out, const core::Deadline& deadline, std::stop_token stop) override {
    const IoResult r = inner_->readByte(out, deadline, stop);
    if (r != IoResult::Ok) return r;
    Spoil spoil = Spoil::None;
    {
      std::lock_guard lock(mutex_);
      if (afp_) ++position_;
      if (spoil_ != Spoil::None && position_ >= at_) spoil = position_ == at_ || spoil_ == Spoil::Silence ? spoil_ : Spoil::None;
    }
    switch (spoil) {
      case Spoil::WrongEcho:
        out = static_cast<std::uint8_t>(out ^ 0x01);
        return r;
      case Spoil::Garbage:
        out = 0xA7;  // neither an echo nor a hex digit, nor any character of a frame
        return r;
      case Spoil::Drop:
      case Spoil::Silence:
        // The byte is lost on the way: the reader waits out its deadline for nothing.
        clock_.sleepUntil(deadline.at(), stop);
        return stop.stop_requested() ? IoResult::Stopped : IoResult::Timeout;
      case Spoil::None:
        break;
    }
    return r;
  }
  std::size_t queuedInput() override { return inner_->queuedInput(); }
  void flush() override { inner_->flush(); }
  void flushInput() override { inner_->flushInput(); }
  std::string errorText() const override { return inner_->errorText(); }
  std::string describe() const override { return inner_->describe(); }

 private:
  void beginFrame() {
    position_ = 0;
    spoil_ = Spoil::None;
    if (std::uniform_real_distribution<double>(0, 1)(random_) >= rate_) return;
    spoil_ = static_cast<Spoil>(std::uniform_int_distribution<int>(1, 4)(random_));
    // Within the characters the tool checks: the echoed command part of an EAP frame; the
    // letter, function code and address of an AFP gateway reply.
    at_ = std::uniform_int_distribution<int>(1, afp_ ? 9 : 6)(random_);
    ++spoilt_;
  }

  std::unique_ptr<link::ByteChannel> inner_;
  core::Clock& clock_;
  double rate_;
  bool afp_;
  mutable std::mutex mutex_;  // the AFP receive thread reads while the sender writes
  std::mt19937_64 random_{20261207};
  Spoil spoil_ = Spoil::None;
  int position_ = 0;
  int at_ = 0;
  std::uint64_t spoilt_ = 0;
};

// Real time running `kSpeedUp` times faster: every limit and wait keeps its proportions, and
// a wait ends when its time has come, not by guessing that no other thread will deliver (the
// AFP receive thread waits beside the sender, which a virtual clock cannot tell from idleness).
class FastClock final : public core::Clock {
 public:
  static constexpr int kSpeedUp = 20;

  time_point now() const override { return origin_ + (std::chrono::steady_clock::now() - origin_) * kSpeedUp; }
  bool sleepUntil(time_point until, std::stop_token stop = {}) override {
    std::mutex m;
    std::condition_variable_any cv;
    std::unique_lock lock(m);
    cv.wait_until(lock, stop, real(until), [] { return false; });
    return !stop.stop_requested();
  }
  bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv, time_point deadline,
                 std::stop_token stop, const std::function<bool()>& ready) override {
    if (deadline == time_point::max()) return cv.wait(lock, stop, ready);
    return cv.wait_until(lock, stop, real(deadline), ready);
  }

 private:
  time_point real(time_point at) const { return origin_ + (at - origin_) / kSpeedUp; }
  const time_point origin_ = std::chrono::steady_clock::now();
};

sim::Profile cameraProfile(bool afp) {
  sim::Profile p;
  p.settings = *link::parseSettingsText("115200,E,8,1");
  p.protocol = afp ? sim::Protocol::Afp : sim::Protocol::Eap;
  return p;
}

// Counts what the link reports, nothing else. The AFP receive thread may write too.
class CountingMonitor final : public core::MonitorSink {
 public:
  void appendPc(std::string_view text, std::size_t) override {
    if (text.find("!! RS-232C") != std::string_view::npos) reports_.fetch_add(1);
  }
  using MonitorSink::appendPc;
  void appendCamera(std::string_view) override {}
  void writeLog(std::string_view) override {}
  void setStatusLine(std::string_view) override {}
  core::EchoMode echoMode() const override { return core::EchoMode::Hidden; }
  void setEchoMode(core::EchoMode) override {}
  bool typedInput() const override { return false; }
  void setTypedInput(bool) override {}
  void beep() override {}
  std::uint64_t reports() const { return reports_.load(); }

 private:
  std::atomic<std::uint64_t> reports_{0};
};

// range(0): exchanges; range(1): 0 = EAP reads and writes, 1 = AFP reads through the gateway.
void BM_SoakOfTheLine(benchmark::State& state) {
  const auto exchanges = static_cast<std::uint64_t>(state.range(0));
  const bool afp = state.range(1) == 1;
  for (auto _ : state) {
    // EAP runs on one thread: virtual time. AFP has its receive thread: fast real time.
    core::FakeClock virtualClock(std::chrono::milliseconds(1));
    FastClock fastClock;
    core::Clock& clock = afp ? static_cast<core::Clock&>(fastClock) : virtualClock;
    CountingMonitor monitor;
    sim::VirtualCamera camera(cameraProfile(afp));
    for (unsigned i = 0; i < 0x400; ++i)
      camera.memory().write(static_cast<std::uint16_t>(0x4000 + i), static_cast<std::uint8_t>(i * 7));
    link::Link link(clock, monitor);
    auto owned =
        std::make_unique<SpoilingLine>(std::make_unique<sim::InProcessChannel>(camera, clock, !afp), clock, 0.01, afp);
    SpoilingLine& line = *owned;
    link.setChannel(std::move(owned));
    link.setLineSettings(camera.settings());
    link.setProtocol(afp ? link::Protocol::Afp : link::Protocol::Eap);
    link::Eap eap(link);
    link::Afp afpChannel(link);
    if (!link.open()) state.SkipWithError("the line did not open");

    std::uint64_t failed = 0, wrong = 0, unexplained = 0, spoiltPassed = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (std::uint64_t i = 0; i < exchanges; ++i) {
      const auto address = static_cast<std::uint16_t>(0x4000 + i % 0x400);
      std::uint8_t v = 0;
      bool ok = false;
      const auto spoiltBefore = line.spoilt();
      if (afp) {
        ok = link::gatewayReadByte(afpChannel, link, address, v);
      } else if (i % 2 == 0) {
        v = static_cast<std::uint8_t>(i * 37);
        ok = eap.writeByte(address, v);
      } else {
        ok = eap.readByte(address, v);
      }
      const bool spoilt = line.spoilt() != spoiltBefore;
      if (!ok) {
        ++failed;
        if (!spoilt) ++unexplained;
      } else if (spoilt) {
        ++spoiltPassed;
      } else if (v != camera.memory().read(address)) {
        ++wrong;
      }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    link.close();
    state.counters["exchanges"] = static_cast<double>(exchanges);
    state.counters["faults"] = static_cast<double>(line.spoilt());
    state.counters["failed"] = static_cast<double>(failed);
    state.counters["reported"] = static_cast<double>(monitor.reports());
    state.counters["wrong"] = static_cast<double>(wrong);
    state.counters["unspoilt_failed"] = static_cast<double>(unexplained);
    state.counters["spoilt_passed"] = static_cast<double>(spoiltPassed);
    state.counters["seconds"] = seconds;
    if (!afp) state.counters["line_seconds"] = std::chrono::duration<double>(virtualClock.elapsed()).count();
    // A failure without a fault of its own (a reply later than its limit on a loaded machine,
    // in real time) is counted, not an error: it too must be reported.
    if (spoiltPassed != 0 || monitor.reports() != failed || wrong != 0) {
      const std::string why = "a spoilt exchange passed or a failure went unreported: faults " +
                              std::to_string(line.spoilt()) + ", failed " + std::to_string(failed) + ", reported " +
                              std::to_string(monitor.reports()) + ", spoilt but passed " + std::to_string(spoiltPassed) +
                              ", wrong " + std::to_string(wrong);
      state.SkipWithError(why.c_str());
    }
  }
}
BENCHMARK(BM_SoakOfTheLine)->Args({100'000, 0})->Args({100'000, 1})->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace orva
