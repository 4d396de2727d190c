#include "sigint_stop.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <array>
#include <cstdint>

namespace orva::cli {

SigintStop::SigintStop() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  if (pthread_sigmask(SIG_BLOCK, &set, &oldMask_) != 0) return;
  signalFd_ = signalfd(-1, &set, SFD_CLOEXEC);
  wakeFd_ = eventfd(0, EFD_CLOEXEC);
  if (signalFd_ < 0 || wakeFd_ < 0) return;
  watcher_ = std::thread([this] {
    std::array<pollfd, 2> fds{{{signalFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}}};
    for (;;) {
      if (::poll(fds.data(), fds.size(), -1) < 0) continue;
      if (fds[1].revents != 0) return;
      if (fds[0].revents != 0) {
        signalfd_siginfo info{};
        if (::read(signalFd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) source_.request_stop();
      }
    }
  });
}

SigintStop::~SigintStop() {
  if (watcher_.joinable()) {
    const std::uint64_t one = 1;
    [[maybe_unused]] auto n = ::write(wakeFd_, &one, sizeof one);
    watcher_.join();
  }
  if (signalFd_ >= 0) ::close(signalFd_);
  if (wakeFd_ >= 0) ::close(wakeFd_);
  // A Ctrl-C that came after the run ended is dropped: the run has already reported how it
  // ended, and unblocking a pending one would kill the process before it can exit cleanly.
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  const timespec now{};
  while (sigtimedwait(&set, nullptr, &now) > 0) {
  }
  pthread_sigmask(SIG_SETMASK, &oldMask_, nullptr);
}

}  // namespace orva::cli
