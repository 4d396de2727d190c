#pragma once
// Test aid: waits until a file another process writes holds a text, woken by inotify on the
// file's folder rather than by polling, so a test can act at a point of a child's run (the
// camera has heard its first row) without guessing a time.
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace orva::testing {

inline std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// True once `file` contains `text`; false when `limit` passed first.
inline bool waitForText(const std::filesystem::path& file, std::string_view text, std::chrono::milliseconds limit) {
  const int fd = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (fd < 0) return false;
  // Watched before the first look, so a write between the look and the wait still wakes us.
  ::inotify_add_watch(fd, file.parent_path().c_str(), IN_MODIFY | IN_CLOSE_WRITE | IN_CREATE | IN_MOVED_TO);
  const auto deadline = std::chrono::steady_clock::now() + limit;
  bool found = false;
  for (;;) {
    if (fileText(file).find(text) != std::string::npos) {
      found = true;
      break;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    std::array<char, 4096> events{};
    while (::read(fd, events.data(), events.size()) > 0) {
    }
  }
  ::close(fd);
  return found;
}

}  // namespace orva::testing
