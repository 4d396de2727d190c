#pragma once
// Test aid: the programs as a user starts them — a child process with its stdout on a pipe.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace orva::testing {

class ChildProcess {
 public:
  // Starts `program` with `args`; stdout comes back on a pipe, stderr goes to `errFile`.
  ChildProcess(const std::string& program, std::vector<std::string> args, const std::filesystem::path& errFile) {
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int fds[2];
    EXPECT_EQ(::pipe2(fds, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_EQ(posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    out_ = fds[0];
  }
  ~ChildProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(out_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The first line on stdout, or what there was when stdout closed or 10 s passed.
  std::string firstLine() {
    std::string line;
    char c = 0;
    while (line.find('\n') == std::string::npos) {
      pollfd p{out_, POLLIN, 0};
      if (::poll(&p, 1, 10'000) <= 0 || ::read(out_, &c, 1) != 1) break;
      line += c;
    }
    if (!line.empty() && line.back() == '\n') line.pop_back();
    return line;
  }

  // Everything the child still writes to stdout until it closes it.
  std::string restOfOutput() {
    std::string out;
    char buf[4096];
    for (ssize_t n; (n = ::read(out_, buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
    return out;
  }

  int signalAndWait(int sig) {
    ::kill(pid_, sig);
    return waitForExit();
  }

  pid_t pid() const { return pid_; }

  // The exit status once the child has ended, or none while it still runs after `limit`
  // (it is killed when this object goes).
  std::optional<int> exitWithin(std::chrono::milliseconds limit) {
    const int fd = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
    if (fd < 0) return std::nullopt;
    pollfd p{fd, POLLIN, 0};
    const bool ended = ::poll(&p, 1, static_cast<int>(limit.count())) == 1;
    ::close(fd);
    if (!ended) return std::nullopt;
    return waitForExit();
  }

  int waitForExit() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

struct ProgramRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs a program to its end.
inline ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args,
                             const std::filesystem::path& errFile) {
  ChildProcess child(program, args, errFile);
  ProgramRun run;
  run.out = child.restOfOutput();
  run.exitCode = child.waitForExit();
  std::ifstream in(errFile);
  run.err.assign(std::istreambuf_iterator<char>(in), {});
  return run;
}

}  // namespace orva::testing
