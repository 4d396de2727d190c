#pragma once
// A prompt that hands everything on to the prompt it is pointed at. The session is made
// before the window whose dialogs answer its questions; until the window exists, and after it
// has gone, questions get their cancelling answer and files are not chosen.
#include <atomic>

#include "core/prompt.hpp"

namespace orva::gui {

class PromptRelay final : public core::Prompt {
 public:
  void setTarget(core::Prompt* target) { target_.store(target); }

  core::Answer ask(std::string_view text, std::string_view title, core::Buttons buttons, core::Icon icon) override {
    core::Prompt* t = target_.load();
    return t != nullptr ? t->ask(text, title, buttons, icon) : core::cancellingAnswer(buttons);
  }
  std::optional<std::filesystem::path> chooseFile(const core::FileChoice& choice) override {
    core::Prompt* t = target_.load();
    return t != nullptr ? t->chooseFile(choice) : std::nullopt;
  }
  void progress(std::string_view what, std::size_t done, std::size_t total) override {
    if (core::Prompt* t = target_.load()) t->progress(what, done, total);
  }
  bool cancelled() const override {
    core::Prompt* t = target_.load();
    return t == nullptr || t->cancelled();
  }
  void busy(bool on) override {
    if (core::Prompt* t = target_.load()) t->busy(on);
  }

 private:
  std::atomic<core::Prompt*> target_{nullptr};
};

}  // namespace orva::gui
