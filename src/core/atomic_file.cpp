#include "core/atomic_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace orva::core {
namespace {

// Closes the descriptor and removes the temporary file unless released.
class TempGuard {
 public:
  TempGuard(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~TempGuard() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TempGuard(const TempGuard&) = delete;
  TempGuard& operator=(const TempGuard&) = delete;

  int fd() const { return fd_; }
  int closeFd() {
    int rc = ::close(fd_);
    fd_ = -1;
    return rc;
  }
  void keep() { path_.clear(); }

 private:
  int fd_;
  std::string path_;
};

bool writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void syncFolder(const std::filesystem::path& folder) {
  int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return;  // the rename already happened; a folder that cannot be synced is not a failure
  ::fsync(dfd);
  ::close(dfd);
}

}  // namespace

Status AtomicFile::write(const std::filesystem::path& target, std::string_view contents) {
  const std::string shown = target.string();
  std::filesystem::path folder = target.parent_path();
  std::string pattern = (folder / ("." + target.filename().string() + ".tmp.XXXXXX")).string();

  int fd = ::mkstemp(pattern.data());
  if (fd < 0) return systemError("write", shown, errno);
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  TempGuard guard(fd, pattern);

  struct stat st {};
  mode_t mode = 0644;
  if (::stat(target.c_str(), &st) == 0) mode = st.st_mode & 07777;
  ::fchmod(fd, mode);

  if (!writeAll(fd, contents) || ::fsync(fd) != 0) return systemError("write", shown, errno);
  if (guard.closeFd() != 0) return systemError("write", shown, errno);
  if (::rename(pattern.c_str(), target.c_str()) != 0) return systemError("write", shown, errno);
  guard.keep();
  syncFolder(folder);
  return {};
}

Result<std::string> readFile(const std::filesystem::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return systemError("read", path.string(), errno);
  std::string out;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      return systemError("read", path.string(), err);
    }
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return out;
}

}  // namespace orva::core
