#pragma once
// Ctrl-C during a long run: SIGINT becomes a stop request the run sees between rows, so it
// ends cleanly and says how far it got instead of dying mid-frame.
//
// While a SigintStop lives, SIGINT is blocked in every thread of the process (create it before
// any other thread) and a watcher thread waits for it on a signalfd.
#include <signal.h>

#include <stop_token>
#include <thread>

namespace orva::cli {

class SigintStop {
 public:
  SigintStop();
  ~SigintStop();
  SigintStop(const SigintStop&) = delete;
  SigintStop& operator=(const SigintStop&) = delete;

  std::stop_token token() const { return source_.get_token(); }
  bool interrupted() const { return source_.stop_requested(); }

 private:
  std::stop_source source_;
  sigset_t oldMask_{};
  int signalFd_ = -1;
  int wakeFd_ = -1;  // an eventfd that ends the watcher
  std::thread watcher_;
};

}  // namespace orva::cli
