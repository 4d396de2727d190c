#pragma once
// Questions of orva-cli: asked on the terminal, answered yes by --yes, refused without either.
#include <cstdio>
#include <functional>
#include <stdexcept>

#include "core/prompt.hpp"

namespace orva::cli {

// Thrown when a command needs an answer and nobody can give one: the command exits 2.
class NoAnswer : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TerminalPrompt final : public core::Prompt {
 public:
  TerminalPrompt(bool yes, std::FILE* in, std::FILE* out) : yes_(yes), in_(in), out_(out) {}

  core::Answer ask(std::string_view text, std::string_view title, core::Buttons buttons, core::Icon icon) override;
  std::optional<std::filesystem::path> chooseFile(const core::FileChoice& choice) override;
  void progress(std::string_view, std::size_t, std::size_t) override {}
  bool cancelled() const override { return false; }
  void busy(bool) override {}
  // Called before anything is written, so text held back elsewhere on the same stream (the
  // monitor's open line) comes out first.
  void setBeforeWriting(std::function<void()> flush) { beforeWriting_ = std::move(flush); }

 private:
  std::function<void()> beforeWriting_;
  bool yes_;
  std::FILE* in_;
  std::FILE* out_;
};

}  // namespace orva::cli
