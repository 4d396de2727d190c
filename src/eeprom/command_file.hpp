#pragma once
// Command files: text scripts of camera commands played into the camera as if the operator
// typed them into the communication monitor.
//
// A file is read whole and cut into lines by parseCommandFile(), a pure function that accepts
// any bytes. CR LF counts as LF. A line of up to 79 characters is one line; a longer one is
// cut every 79 characters, its line end going with the last piece, and each piece is a line of
// its own. A NUL ends a line's text (the rest of that line is not part of it). The first
// character decides the kind: ':' or '/' a command line, 'P' a pause line, anything else
// (an empty line too) a comment line.
//
// CommandFileSender plays the lines in order:
// - a command line: each character before its line end goes out through the monitor's
//   typed-character path of the current protocol (EAP echo or AFP typed exchange), which
//   shows it and the camera's answer;
// - a pause line: the pause message, and the run goes on when the operator closes it;
// - a comment line: shown in the PC pane, after "\r\n" when the line before it was a command
//   line; without its last character when a command line follows (so the command continues
//   it), otherwise whole and followed by "\r".
// The run stops at the first character that fails: the link has reported the fault and
// reopened the line, and the rest of that frame would reach the camera as garbage. It can be
// cancelled between lines through the stop token or Prompt::cancelled(); a line in progress
// is always finished, so no frame is cut short by a cancel.
//
// Threads: send() runs on the caller's thread (the operation thread) and takes the link's
// command lock one character at a time, so the line stays free between characters and across
// the pause message.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.hpp"
#include "core/monitor_sink.hpp"
#include "core/prompt.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"

namespace orva::eeprom {

inline constexpr std::size_t kCommandFileLineLength = 79;
// Larger files are refused rather than read: a command file is a few hundred lines.
inline constexpr std::size_t kCommandFileMaxBytes = 16u << 20;

inline constexpr std::string_view kSendFileTitle = "Send File...";
inline constexpr std::string_view kPauseMessage = "The Pause command was found !!";

enum class CommandLineKind { Command, Pause, Comment };

struct CommandFileLine {
  CommandLineKind kind = CommandLineKind::Comment;
  // The line as read: at most 79 characters and then its "\n" when it has one (the earlier
  // pieces of a long line and a last line without line end have none).
  std::string text;
  // 1-based line of the file it came from (the pieces of a long line share one).
  std::size_t fileLine = 0;

  // The characters before the line end: what a command line sends.
  std::string_view body() const;
};

using CommandFile = std::vector<CommandFileLine>;

// Never fails: any bytes give some lines (none for an empty text).
CommandFile parseCommandFile(std::string_view bytes);
// The file's lines, or "could not open|read <path>: <reason>".
core::Result<CommandFile> readCommandFile(const std::filesystem::path& path);

struct SendResult {
  enum class Outcome { Done, Failed, Cancelled };
  Outcome outcome = Outcome::Done;
  // Failed: the file line whose character failed. Cancelled: the file line that would have
  // been handled next. Done: 0.
  std::size_t fileLine = 0;
  // Lines (pieces) handled completely.
  std::size_t linesDone = 0;
};

class CommandFileSender {
 public:
  CommandFileSender(link::Link& link, link::Eap& eap, link::Afp& afp, core::Prompt& prompt)
      : link_(link), eap_(eap), afp_(afp), prompt_(prompt) {}

  SendResult send(std::span<const CommandFileLine> lines, std::stop_token stop = {});

 private:
  bool sendCommand(const CommandFileLine& line);
  bool typeChar(char c);
  void showComment(const CommandFileLine& line, const CommandFileLine* next, bool afterCommand);

  link::Link& link_;
  link::Eap& eap_;
  link::Afp& afp_;
  core::Prompt& prompt_;
};

// The filter rows of the file dialog every file feature uses. A dialog mode's low four bits
// pick the row; a mode of 16 or more is a save dialog.
struct FileFilter {
  std::string_view description;  // "Data files (*.dat)"
  std::string_view pattern;      // "*.dat"
};

inline constexpr std::string_view kFileOpenTitle = "File Open";
inline constexpr std::string_view kFileSaveTitle = "File Save";
inline constexpr int kSendFileDialogMode = 0;

std::span<const FileFilter> fileFilters(int mode);
// Title, open or save, and the row's descriptions joined by ";;" (each already names its
// pattern, so the text doubles as a Qt name filter).
core::FileChoice fileChoice(int mode, std::filesystem::path suggested = {});

// Every file the operator chooses is named in the monitor and the log, without its folder, so
// a log shows which image or command file went into which camera.
inline constexpr std::string_view kSelectFileText = " Select File Name > ";
void echoFileChoice(core::MonitorSink& monitor, const std::filesystem::path& chosen);
// The file dialog, with the echo of a file chosen; nullopt when the operator cancelled.
std::optional<std::filesystem::path> chooseFile(core::Prompt& prompt, core::MonitorSink& monitor,
                                                const core::FileChoice& choice);

}  // namespace orva::eeprom
