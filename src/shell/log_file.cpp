#include "shell/log_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <fmt/format.h>

#include <cerrno>
#include <cstring>

#include "shell/texts.hpp"

namespace orva::shell {
namespace {

// Enough for a log every second of a busy session; past it something else fills the folder.
constexpr int kMaxNameTries = 1000;
// A line this long without an end is written anyway, so memory stays bounded.
constexpr std::size_t kMaxPending = 4096;

std::filesystem::path candidate(const std::filesystem::path& folder, const std::string& base, int n) {
  return folder / (n == 1 ? base + ".log" : fmt::format("{}-{}.log", base, n));
}

core::Error notCreated(const std::filesystem::path& path, int errnum) {
  return core::Error{fmt::format("{}{}: {}", texts::kLogNotCreated, path.string(), std::strerror(errnum))};
}

}  // namespace

std::string LogFile::baseName(const core::LocalTime& t) {
  return fmt::format("{:02d}{:02d}{:02d}{:02d}", t.day, t.hour, t.minute, t.second);
}

core::Result<std::filesystem::path> LogFile::open(const std::filesystem::path& folder) {
  std::lock_guard lock(mutex_);
  closeLocked();
  const std::string base = baseName(clock_.localNow());
  for (int n = 1;; ++n) {
    std::filesystem::path path = candidate(folder, base, n);
    int fd = -1;
    do {
      fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
      fd_ = fd;
      path_ = path;
      return path;
    }
    if (errno != EEXIST || n == kMaxNameTries) return notCreated(path, errno);
  }
}

core::Result<std::filesystem::path> LogFile::openFile(const std::filesystem::path& path) {
  std::lock_guard lock(mutex_);
  closeLocked();
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return notCreated(path, errno);
  fd_ = fd;
  path_ = path;
  return path;
}

void LogFile::write(std::string_view text) {
  std::lock_guard lock(mutex_);
  if (fd_ < 0) return;
  pending_ += text;
  if (const auto end = pending_.rfind('\n'); end != std::string::npos) {
    flush(end + 1);
  } else if (pending_.size() >= kMaxPending) {
    flush(pending_.size());
  }
}

void LogFile::close() {
  std::lock_guard lock(mutex_);
  closeLocked();
}

void LogFile::closeLocked() {
  if (fd_ < 0) return;
  pending_ += '\n';
  flush(pending_.size());
  ::close(fd_);
  fd_ = -1;
  path_.clear();
  std::string().swap(pending_);
}

bool LogFile::isOpen() const {
  std::lock_guard lock(mutex_);
  return fd_ >= 0;
}

std::filesystem::path LogFile::path() const {
  std::lock_guard lock(mutex_);
  return path_;
}

void LogFile::flush(std::size_t count) {
  // A log that cannot be written (disk full) must not stop the traffic it mirrors: what does
  // not fit is dropped.
  std::string_view data(pending_.data(), count);
  while (!data.empty()) {
    const ssize_t n = ::write(fd_, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  pending_.erase(0, count);
}

}  // namespace orva::shell
