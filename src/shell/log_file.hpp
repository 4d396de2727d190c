#pragma once
// The log file of the communication monitor: a plain-text mirror of the headings, messages
// and traffic, named after the local time it was opened ("DDhhmmss.log").
//
// A log never replaces another: when the name is taken (two opens in one second, or a log
// left from an earlier month), the name gets "-2", "-3", ... before ".log". The file is
// created exclusively, so two opens racing in the same second still get separate files.
//
// Text is handed to the system at every line end, so a crash loses at most a partial line.
// All members are thread-safe.
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

#include "core/error.hpp"
#include "core/wall_clock.hpp"

namespace orva::shell {

class LogFile {
 public:
  explicit LogFile(const core::WallClock& clock) : clock_(clock) {}
  ~LogFile() { close(); }
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // Creates a new log in `folder` and returns its path; a log already open is closed first.
  // On failure no log is open and the message names the file and the reason.
  core::Result<std::filesystem::path> open(const std::filesystem::path& folder);
  // Appends `text`; dropped while no log is open.
  // A log at a path the operator named (orva-cli --log FILE); an existing file is appended to,
  // never cut short.
  core::Result<std::filesystem::path> openFile(const std::filesystem::path& path);
  void write(std::string_view text);
  // Ends the log with "\n" and closes it. Harmless when none is open.
  void close();

  bool isOpen() const;
  // Empty while no log is open.
  std::filesystem::path path() const;

  // "%02d%02d%02d%02d" of day of month, hour, minute and second.
  static std::string baseName(const core::LocalTime& t);

 private:
  void closeLocked();
  void flush(std::size_t count);

  const core::WallClock& clock_;
  mutable std::mutex mutex_;
  int fd_ = -1;
  std::filesystem::path path_;
  std::string pending_;  // the unfinished last line
};

}  // namespace orva::shell
