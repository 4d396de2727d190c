#pragma once
// Questions, messages, file choice and progress: everything a lower layer needs to ask of
// the operator. The GUI answers with dialogs, the CLI on the terminal (or refuses when it has
// none), tests with ScriptedPrompt. Implementations may be called from any thread; a GUI
// implementation blocks the caller until the window thread has the answer.
#include <atomic>
#include <cstddef>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orva::core {

enum class Icon { None, Information, Exclamation, Question, Error };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// What a question answers when nobody is there to answer it: the answer that goes back.
constexpr Answer cancellingAnswer(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel: return Answer::Cancel;
  }
  return Answer::Cancel;
}

struct FileChoice {
  enum class Mode { Open, Save };
  Mode mode = Mode::Open;
  std::string title;
  std::string filter;        // e.g. "EEPROM data (*.MEM)"
  std::filesystem::path suggested;  // folder and default name
};

class Prompt {
 public:
  virtual ~Prompt() = default;

  // A modal question or message with the given title, buttons and icon.
  virtual Answer ask(std::string_view text, std::string_view title, Buttons buttons, Icon icon) = 0;
  // A file to open or save; nullopt when the operator cancelled.
  virtual std::optional<std::filesystem::path> chooseFile(const FileChoice& choice) = 0;
  // Progress of a long run: `done` of `total` steps (total 0: unknown). The run stops at its
  // next step when cancelled() turns true.
  virtual void progress(std::string_view what, std::size_t done, std::size_t total) = 0;
  virtual bool cancelled() const = 0;
  // The waiting cursor around long fixed waits.
  virtual void busy(bool on) = 0;

  void message(std::string_view text, std::string_view title, Icon icon = Icon::Exclamation) {
    ask(text, title, Buttons::Ok, icon);
  }
};

// The waiting cursor for a scope; restore() ends it earlier (before a question, say).
class BusyCursor {
 public:
  explicit BusyCursor(Prompt& prompt) : prompt_(prompt) { prompt_.busy(true); }
  ~BusyCursor() { restore(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  void restore() {
    if (!on_) return;
    on_ = false;
    prompt_.busy(false);
  }

 private:
  Prompt& prompt_;
  bool on_ = true;
};

// Answers from a script, in order, and records every question asked. Plain messages (OK only)
// are recorded but take no answer. A question beyond the script is counted as unexpected and
// answered with `fallback` (Cancel by default), so a test sees it instead of hanging.
// Read the records only after the threads that ask have finished.
class ScriptedPrompt final : public Prompt {
 public:
  struct Asked {
    std::string text;
    std::string title;
    Buttons buttons;
    Icon icon;
  };

  ScriptedPrompt& answer(Answer a) { answers_.push_back(a); return *this; }
  ScriptedPrompt& file(std::optional<std::filesystem::path> f) { files_.push_back(std::move(f)); return *this; }
  ScriptedPrompt& fallback(Answer a) { fallback_ = a; return *this; }
  void cancel() { cancelled_ = true; }

  Answer ask(std::string_view text, std::string_view title, Buttons buttons, Icon icon) override;
  std::optional<std::filesystem::path> chooseFile(const FileChoice& choice) override;
  void progress(std::string_view what, std::size_t done, std::size_t total) override;
  bool cancelled() const override { return cancelled_; }
  void busy(bool on) override { busy_ = on; }

  const std::vector<Asked>& asked() const { return asked_; }
  const std::vector<FileChoice>& fileChoices() const { return fileChoices_; }
  // Questions asked after the script ran out.
  int unexpected() const { return unexpected_; }
  bool isBusy() const { return busy_; }
  std::size_t lastProgressDone() const { return progressDone_; }

 private:
  std::vector<Answer> answers_;
  std::vector<std::optional<std::filesystem::path>> files_;
  std::size_t nextAnswer_ = 0, nextFile_ = 0;
  std::vector<Asked> asked_;
  std::vector<FileChoice> fileChoices_;
  Answer fallback_ = Answer::Cancel;
  int unexpected_ = 0;
  std::atomic<bool> cancelled_ = false;
  std::atomic<bool> busy_ = false;
  mutable std::mutex mutex_;
  std::size_t progressDone_ = 0;
};

}  // namespace orva::core
