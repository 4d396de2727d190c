#pragma once
// What orva-cli shows of the monitor on stderr.
//
// Without --monitor only the link's error lines ("!! ...") and the lines that explain them
// are printed, in the monitor's words. With --monitor the two panes are printed side by side
// as the desktop tool shows them: the PC pane on the left, the camera pane on the right,
// one row per completed line.
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "shell/monitor.hpp"

namespace orva::cli {

class StderrView final : public shell::MonitorObserver {
 public:
  StderrView(std::FILE* out, bool wholeMonitor) : out_(out), whole_(wholeMonitor) {}
  ~StderrView() override { finish(); }

  void appended(shell::Side side, std::string_view text) noexcept override;
  void firstLineDeleted(shell::Side) noexcept override {}
  void cleared() noexcept override;
  // Prints what is left of both panes.
  void finish() noexcept;
  // While the camera is searched for, its failed probes are not the command's errors: only a
  // line that cannot be opened is said, once.
  void setSearching(bool on) noexcept;

 private:
  void errorsOnly(std::string_view text);
  void printRows(bool all);

  std::FILE* out_;
  bool whole_;
  std::mutex mutex_;
  bool afterError_ = false;
  bool searching_ = false;
  bool notOpenSaid_ = false;
  // Completed and current lines of each pane, not yet printed.
  std::vector<std::string> lines_[2];
  std::string current_[2];
};

}  // namespace orva::cli
