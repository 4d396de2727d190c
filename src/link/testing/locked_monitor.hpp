#pragma once
// Test aid: a monitor sink that threads may share, for tests where a receive thread or a
// listener writes to the monitor while the test's thread does.
#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

#include "core/monitor_sink.hpp"

namespace orva::link::testing {

class LockedMonitor final : public core::MonitorSink {
 public:
  void appendPc(std::string_view text, std::size_t) override { add(pc_, text); }
  using MonitorSink::appendPc;
  void appendCamera(std::string_view text) override { add(camera_, text); }
  void writeLog(std::string_view text) override { add(log_, text); }
  void setStatusLine(std::string_view text) override { add(status_, text); }
  core::EchoMode echoMode() const override { return echo_; }
  void setEchoMode(core::EchoMode mode) override { echo_ = mode; }
  bool typedInput() const override { return typed_; }
  void setTypedInput(bool on) override { typed_ = on; }
  void beep() override { ++beeps_; }

  std::string pc() const { return get(pc_); }
  std::string camera() const { return get(camera_); }
  std::string log() const { return get(log_); }
  int beeps() const { return beeps_; }
  void clear() {
    std::lock_guard lock(mutex_);
    pc_.clear();
    camera_.clear();
    log_.clear();
    status_.clear();
  }

 private:
  void add(std::string& to, std::string_view text) {
    std::lock_guard lock(mutex_);
    to += text;
  }
  std::string get(const std::string& from) const {
    std::lock_guard lock(mutex_);
    return from;
  }

  mutable std::mutex mutex_;
  std::string pc_, camera_, log_, status_;
  std::atomic<core::EchoMode> echo_{core::EchoMode::Shown};
  std::atomic<bool> typed_{false};
  std::atomic<int> beeps_{0};
};

}  // namespace orva::link::testing
