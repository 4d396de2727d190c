#pragma once
// What the link, the camera operations and the panels write to the communication monitor
// and its log file. The shell's Monitor implements it; tests use RecordingMonitorSink.
//
// Every operator-visible message has two forms: the monitor form begins with "\r\n\r\n"
// (a heading) or "\r\n" (a line) and the log form carries the same text with "\n\n" or "\n".
// Implementations are thread-safe: the window thread, the AFP receive thread and the
// operation thread all append.
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>

namespace orva::core {

// monitor echo mode
enum class EchoMode : int {
  Hidden = 0,      // the protocols do not show their traffic
  Shown = 1,       // every byte is shown in the panes and written to the log
  StatusLine = 2,  // received replies are drawn on a status line instead
};

class MonitorSink {
 public:
  virtual ~MonitorSink() = default;

  // Text the PC sent or any message: the PC pane. The first `modelLength` bytes
  // (all of them by default) are fed to the cursor model.
  virtual void appendPc(std::string_view text, std::size_t modelLength) = 0;
  void appendPc(std::string_view text) { appendPc(text, text.size()); }
  // Bytes the camera sent: the camera pane.
  virtual void appendCamera(std::string_view text) = 0;
  // Text written to the log file only (traffic, log forms). Dropped while no log is open.
  virtual void writeLog(std::string_view text) = 0;
  // The answered frame shown on the status line while the echo mode is StatusLine.
  virtual void setStatusLine(std::string_view text) = 0;

  virtual EchoMode echoMode() const = 0;
  virtual void setEchoMode(EchoMode mode) = 0;
  // Set while a character typed into a pane is on its way to the camera.
  virtual bool typedInput() const = 0;
  virtual void setTypedInput(bool on) = 0;
  // The simple beep that comes before every link fault report.
  virtual void beep() {}

  // One message in both forms.
  void message(std::string_view monitorForm, std::string_view logForm) {
    appendPc(monitorForm);
    writeLog(logForm);
  }
  // mode 1: a line ("\r\n" / "\n" before the text); any other mode: a heading with a blank
  // line before it ("\r\n\r\n" / "\n\n").
  void heading(std::string_view text, int mode = 2);
  // A line in both forms: "\r\n" + text on the monitor, "\n" + text in the log.
  void line(std::string_view text) { heading(text, 1); }
};

// Sets the echo mode for a sequence and puts the previous one back on every way out.
class EchoModeScope {
 public:
  EchoModeScope(MonitorSink& monitor, EchoMode mode) : monitor_(monitor), old_(monitor.echoMode()) {
    monitor_.setEchoMode(mode);
  }
  ~EchoModeScope() { monitor_.setEchoMode(old_); }
  EchoModeScope(const EchoModeScope&) = delete;
  EchoModeScope& operator=(const EchoModeScope&) = delete;

 private:
  MonitorSink& monitor_;
  EchoMode old_;
};

// Keeps everything written to it, for tests. Threads may share it: a receive thread, a
// listener or an operation writes while the test's thread reads.
class RecordingMonitorSink final : public MonitorSink {
 public:
  void appendPc(std::string_view text, std::size_t modelLength) override;
  using MonitorSink::appendPc;
  void appendCamera(std::string_view text) override { add(camera_, text); }
  void writeLog(std::string_view text) override { add(log_, text); }
  void setStatusLine(std::string_view text) override {
    std::lock_guard lock(mutex_);
    status_ = text;
  }
  EchoMode echoMode() const override { return echo_.load(); }
  void setEchoMode(EchoMode mode) override { echo_.store(mode); }
  bool typedInput() const override { return typed_.load(); }
  void setTypedInput(bool on) override { typed_.store(on); }
  void beep() override { beeps_.fetch_add(1); }

  int beeps() const { return beeps_.load(); }
  std::string pc() const { return get(pc_); }
  std::string camera() const { return get(camera_); }
  std::string log() const { return get(log_); }
  std::string statusLine() const { return get(status_); }
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
  std::atomic<EchoMode> echo_{EchoMode::Shown};
  std::atomic<bool> typed_{false};
  std::atomic<int> beeps_{0};
};

}  // namespace orva::core
