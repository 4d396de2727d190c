#pragma once
// core::Prompt with the window system: message boxes, file dialogs, the wait window of long
// runs and the waiting cursor.
//
// Threads: every dialog runs on the window thread. Called there, a question is answered at
// once (the box runs its own event loop). Called from a worker, the question is handed to the
// window thread and the worker blocks until the operator has answered. progress() and busy()
// never block: the newest state is handed over and shown when the window thread gets to it.
//
// Shutting down: close() answers every waiting and every later question with its cancelling
// answer (Cancel, No, or no file), closes the boxes that are open and hides the wait window,
// so that no modal question holds up the end of the program and no worker stays blocked.
#include <QObject>
#include <QPointer>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/prompt.hpp"
#include "wait_window.hpp"

class QDialog;
class QWidget;

namespace orva::gui {

class QtPrompt final : public QObject, public core::Prompt {
  Q_OBJECT

 public:
  // Dialogs open over `window`, which must live in the window thread and outlive this.
  explicit QtPrompt(QWidget* window);
  // close(), then waits for the workers that were waiting to leave.
  ~QtPrompt() override;
  QtPrompt(const QtPrompt&) = delete;
  QtPrompt& operator=(const QtPrompt&) = delete;

  core::Answer ask(std::string_view text, std::string_view title, core::Buttons buttons, core::Icon icon) override;
  std::optional<std::filesystem::path> chooseFile(const core::FileChoice& choice) override;
  void progress(std::string_view what, std::size_t done, std::size_t total) override;
  bool cancelled() const override { return cancelled_.load(); }
  void busy(bool on) override;

  // The run has ended, however: the wait window goes.
  void endProgress();
  // The operator's cancel, as the wait window's Cancel button gives it.
  void cancel();
  void close();
  bool isClosed() const;
  // While on, questions from other threads get their cancelling answer at once, and those
  // waiting now are let go with it: the window thread is about to wait for those threads.
  void refuseWorkers(bool on);

  WaitWindow& waitWindow() const { return *wait_; }

 private:
  template <typename T>
  T onWindowThread(std::function<T()> job, T refused);
  core::Answer runBox(const std::string& text, const std::string& title, core::Buttons buttons, core::Icon icon);
  std::optional<std::filesystem::path> runFileDialog(const core::FileChoice& choice);
  int exec(QDialog& dialog);
  void showProgress();
  void showBusy();

  QPointer<QWidget> window_;
  QPointer<WaitWindow> wait_;  // the window's child: it may go first at the end
  std::vector<QPointer<QDialog>> open_;  // the dialogs running now, innermost last

  mutable std::mutex mutex_;
  std::condition_variable answered_;
  bool closed_ = false;
  bool refusing_ = false;
  int waiting_ = 0;

  // The newest progress, shown by the window thread.
  struct Progress {
    std::string what;
    int percent = 0;
    bool finished = false;
    bool hidden = false;  // endProgress() or a cancel came after it
  };
  Progress progress_;
  bool progressPosted_ = false;
  bool runActive_ = false;
  std::atomic<bool> cancelled_{false};

  bool busyWanted_ = false;
  bool busyShown_ = false;  // the window thread's own
  bool busyPosted_ = false;
};

}  // namespace orva::gui
