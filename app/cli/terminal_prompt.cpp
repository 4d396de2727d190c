#include "terminal_prompt.hpp"

#include <unistd.h>

#include <string>

namespace orva::cli {

core::Answer TerminalPrompt::ask(std::string_view text, std::string_view title, core::Buttons buttons, core::Icon) {
  const std::string shown = std::string(title) + ": " + std::string(text);
  if (beforeWriting_) beforeWriting_();
  if (buttons == core::Buttons::Ok) {
    std::fprintf(out_, "%s\n", shown.c_str());
    return core::Answer::Ok;
  }
  const bool okCancel = buttons == core::Buttons::OkCancel;
  if (yes_) return okCancel ? core::Answer::Ok : core::Answer::Yes;
  if (!::isatty(::fileno(in_))) throw NoAnswer(shown + " (no terminal to answer on: give --yes)");
  std::fprintf(out_, "%s [y/N] ", shown.c_str());
  std::fflush(out_);
  char line[64] = {};
  const bool yes = std::fgets(line, sizeof line, in_) != nullptr && (line[0] == 'y' || line[0] == 'Y');
  if (okCancel) return yes ? core::Answer::Ok : core::Answer::Cancel;
  return yes ? core::Answer::Yes : core::Answer::No;
}

std::optional<std::filesystem::path> TerminalPrompt::chooseFile(const core::FileChoice&) {
  // Commands take their files as arguments.
  return std::nullopt;
}

}  // namespace orva::cli
