#include "core/prompt.hpp"

namespace orva::core {

Answer ScriptedPrompt::ask(std::string_view text, std::string_view title, Buttons buttons, Icon icon) {
  std::lock_guard lock(mutex_);
  asked_.push_back(Asked{std::string(text), std::string(title), buttons, icon});
  // A plain message needs no answer and takes none from the script.
  if (buttons == Buttons::Ok) return Answer::Ok;
  if (nextAnswer_ < answers_.size()) return answers_[nextAnswer_++];
  ++unexpected_;
  return fallback_;
}

std::optional<std::filesystem::path> ScriptedPrompt::chooseFile(const FileChoice& choice) {
  std::lock_guard lock(mutex_);
  fileChoices_.push_back(choice);
  if (nextFile_ < files_.size()) return files_[nextFile_++];
  ++unexpected_;
  return std::nullopt;
}

void ScriptedPrompt::progress(std::string_view, std::size_t done, std::size_t) {
  std::lock_guard lock(mutex_);
  progressDone_ = done;
}

}  // namespace orva::core
