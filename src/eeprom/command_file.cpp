#include "eeprom/command_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <utility>

#include <fmt/format.h>

namespace orva::eeprom {
namespace {

CommandLineKind kindOf(std::string_view text) {
  if (text.empty()) return CommandLineKind::Comment;
  if (text.front() == ':' || text.front() == '/') return CommandLineKind::Command;
  if (text.front() == 'P') return CommandLineKind::Pause;
  return CommandLineKind::Comment;
}

CommandFileLine makeLine(std::string text, std::size_t fileLine) {
  // The line is handled as a C string: a NUL ends it.
  if (auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
  const CommandLineKind kind = kindOf(text);
  return {kind, std::move(text), fileLine};
}

// Files written on DOS and Windows end their lines with CR LF; a lone CR stays a character.
std::string withLineFeeds(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  return text;
}

// Clears the monitor's typed-input flag on every way out of a character's exchange.
class TypedInputScope {
 public:
  explicit TypedInputScope(core::MonitorSink& monitor) : monitor_(monitor), old_(monitor.typedInput()) {
    monitor_.setTypedInput(true);
  }
  ~TypedInputScope() { monitor_.setTypedInput(old_); }
  TypedInputScope(const TypedInputScope&) = delete;
  TypedInputScope& operator=(const TypedInputScope&) = delete;

 private:
  core::MonitorSink& monitor_;
  bool old_;
};

class FileHandle {
 public:
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

constexpr std::array<FileFilter, 2> kDataRow{{{"Data files (*.dat)", "*.dat"}, {"All files (*.*)", "*.*"}}};
constexpr std::array<FileFilter, 2> kMemRow{{{"MEM files (*.mem)", "*.mem"}, {"All files (*.*)", "*.*"}}};
constexpr std::array<FileFilter, 2> kMapAllRow{{{"MAP files (*.map)", "*.map"}, {"All files (*.*)", "*.*"}}};
constexpr std::array<FileFilter, 1> kCfgRow{{{"CFG files (*.cfg)", "*.cfg"}}};
constexpr std::array<FileFilter, 1> kPttRow{{{"PTT files (*.ptt)", "*.ptt"}}};
constexpr std::array<FileFilter, 1> kJnlRow{{{"JNL files (*.jnl)", "*.jnl"}}};
constexpr std::array<FileFilter, 1> kMapRow{{{"MAP files (*.map)", "*.map"}}};
constexpr std::array<FileFilter, 1> kHlpRow{{{"HLP files (*.hlp)", "*.hlp"}}};
constexpr std::array<FileFilter, 2> kMemMapRow{{{"MEM files (*.mem)", "*.mem"}, {"MAP files (*.map)", "*.map"}}};
constexpr std::array<FileFilter, 1> kCsuRow{{{"CSU files (*.csu)", "*.csu"}}};
constexpr std::array<FileFilter, 1> kAnyRow{{{"All Files (*.*)", "*.*"}}};

constexpr int kSaveModes = 16;

}  // namespace

std::string_view CommandFileLine::body() const {
  std::string_view t = text;
  if (!t.empty() && t.back() == '\n') t.remove_suffix(1);
  return t;
}

CommandFile parseCommandFile(std::string_view bytes) {
  const std::string text = withLineFeeds(bytes);
  CommandFile lines;
  std::size_t fileLine = 1;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t nl = text.find('\n', pos);
    const bool ended = nl != std::string::npos;
    const std::size_t end = ended ? nl : text.size();
    std::size_t start = pos;
    do {
      const std::size_t n = std::min(end - start, kCommandFileLineLength);
      std::string piece = text.substr(start, n);
      start += n;
      if (start == end && ended) piece += '\n';
      lines.push_back(makeLine(std::move(piece), fileLine));
    } while (start < end);
    pos = ended ? nl + 1 : text.size();
    ++fileLine;
  }
  return lines;
}

core::Result<CommandFile> readCommandFile(const std::filesystem::path& path) {
  const std::string name = path.string();
  // Non-blocking, so a FIFO given by mistake cannot hang the open.
  FileHandle file(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) return core::systemError("open", name, errno);
  struct stat st {};
  if (::fstat(file.get(), &st) != 0) return core::systemError("read", name, errno);
  if (S_ISDIR(st.st_mode)) return core::systemError("read", name, EISDIR);
  if (!S_ISREG(st.st_mode)) return core::Error{fmt::format("could not read {}: not a regular file", name)};
  if (static_cast<std::uintmax_t>(st.st_size) > kCommandFileMaxBytes)
    return core::Error{fmt::format("could not read {}: larger than {} bytes", name, kCommandFileMaxBytes)};

  std::string bytes;
  std::array<char, 8192> buffer{};
  for (;;) {
    const ssize_t n = ::read(file.get(), buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return core::systemError("read", name, errno);
    if (n == 0) break;
    bytes.append(buffer.data(), static_cast<std::size_t>(n));
    if (bytes.size() > kCommandFileMaxBytes)
      return core::Error{fmt::format("could not read {}: larger than {} bytes", name, kCommandFileMaxBytes)};
  }
  return parseCommandFile(bytes);
}

SendResult CommandFileSender::send(std::span<const CommandFileLine> lines, std::stop_token stop) {
  bool afterCommand = false;
  prompt_.progress(kSendFileTitle, 0, lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const CommandFileLine& line = lines[i];
    if (stop.stop_requested() || prompt_.cancelled()) return {SendResult::Outcome::Cancelled, line.fileLine, i};
    switch (line.kind) {
      case CommandLineKind::Command:
        if (!sendCommand(line)) return {SendResult::Outcome::Failed, line.fileLine, i};
        afterCommand = true;
        break;
      case CommandLineKind::Pause:
        prompt_.message(kPauseMessage, kSendFileTitle, core::Icon::Exclamation);
        break;
      case CommandLineKind::Comment:
        showComment(line, i + 1 < lines.size() ? &lines[i + 1] : nullptr, afterCommand);
        afterCommand = false;
        break;
    }
    prompt_.progress(kSendFileTitle, i + 1, lines.size());
  }
  return {SendResult::Outcome::Done, 0, lines.size()};
}

bool CommandFileSender::sendCommand(const CommandFileLine& line) {
  return std::ranges::all_of(line.body(), [this](char c) { return typeChar(c); });
}

bool CommandFileSender::typeChar(char c) {
  TypedInputScope typed(link_.monitor());
  return link_.protocol() == link::Protocol::Afp ? afp_.exchangeTypedChar(c) : eap_.exchangeChar(c);
}

void CommandFileSender::showComment(const CommandFileLine& line, const CommandFileLine* next, bool afterCommand) {
  auto& monitor = link_.monitor();
  if (afterCommand) monitor.appendPc("\r\n");
  std::string_view text = line.text;
  if (next != nullptr && next->kind == CommandLineKind::Command) {
    // The command that follows goes on where the comment ends.
    if (!text.empty()) text.remove_suffix(1);
    if (!text.empty()) monitor.appendPc(text);
    return;
  }
  monitor.appendPc(std::string(text) + "\r");
}

std::span<const FileFilter> fileFilters(int mode) {
  switch (mode & 0x0F) {
    case 0: return kDataRow;
    case 1: return kMemRow;
    case 2: return kMapAllRow;
    case 3: return kCfgRow;
    case 4: return kPttRow;
    case 5: return kJnlRow;
    case 6: return kMapRow;
    case 7: return kHlpRow;
    case 8: return kMemMapRow;
    case 9: return kCsuRow;
    default: return kAnyRow;
  }
}

core::FileChoice fileChoice(int mode, std::filesystem::path suggested) {
  core::FileChoice choice;
  const bool save = mode >= kSaveModes;
  choice.mode = save ? core::FileChoice::Mode::Save : core::FileChoice::Mode::Open;
  choice.title = std::string(save ? kFileSaveTitle : kFileOpenTitle);
  for (const FileFilter& f : fileFilters(mode)) {
    if (!choice.filter.empty()) choice.filter += ";;";
    choice.filter += f.description;
  }
  choice.suggested = std::move(suggested);
  return choice;
}

void echoFileChoice(core::MonitorSink& monitor, const std::filesystem::path& chosen) {
  const std::string name = chosen.filename().string();
  monitor.message(fmt::format("\r\n{}{}\r\n", kSelectFileText, name), fmt::format("\n{}{}\n", kSelectFileText, name));
}

std::optional<std::filesystem::path> chooseFile(core::Prompt& prompt, core::MonitorSink& monitor,
                                                const core::FileChoice& choice) {
  auto chosen = prompt.chooseFile(choice);
  if (chosen) echoFileChoice(monitor, *chosen);
  return chosen;
}

}  // namespace orva::eeprom
