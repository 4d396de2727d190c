#pragma once
// orva-camsim as a child process for the pty benchmarks: started with the given arguments,
// its first line names the pty; stopped with SIGTERM when the benchmark is done.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace orva::bench {

class Camsim {
 public:
  explicit Camsim(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), ORVA_CAMSIM_PATH);
    std::vector<char*> argv;
    for (auto& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    int fds[2];
    if (::pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    char c = 0;
    std::string line;
    pollfd p{fds[0], POLLIN, 0};
    while (::poll(&p, 1, 5000) == 1 && ::read(fds[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(fds[0]);
    if (line.starts_with("PTY ")) pty_ = line.substr(4);
  }
  ~Camsim() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  Camsim(const Camsim&) = delete;
  Camsim& operator=(const Camsim&) = delete;
  const std::string& pty() const { return pty_; }

 private:
  pid_t pid_ = -1;
  std::string pty_;
};

}  // namespace orva::bench
