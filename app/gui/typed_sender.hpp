#pragma once
// Characters the operator types into a monitor pane, sent to the camera one at a time and in
// order on a thread of their own: an exchange waits for the camera's answer (up to the link's
// read limit when none comes), which the window must not wait for.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"
#include "panels/operation_runner.hpp"

namespace orva::gui {

class TypedSender {
 public:
  // `exchange` sends one character and shows the answer; it runs on the sender's thread.
  explicit TypedSender(std::function<void(char)> exchange);
  ~TypedSender() { stop(); }
  TypedSender(const TypedSender&) = delete;
  TypedSender& operator=(const TypedSender&) = delete;

  void send(char c);
  // Drops what has not gone out yet and waits for the character on its way.
  void stop();

 private:
  void run(std::stop_token stop);

  std::function<void(char)> exchange_;
  std::mutex mutex_;
  std::condition_variable_any ready_;
  std::deque<char> queue_;
  std::jthread thread_;
};

// What a typed character goes through to reach the camera.
struct TypedLine {
  link::Link& link;
  link::Eap& eap;
  link::Afp& afp;
  panels::OperationRunner& runner;
};

// One typed character takes its turn on the line like every other user of it: it holds the
// operation slot and the link's command lock for its whole exchange, so it never lands
// between the frames of a run nor under a command waiting for its reply. While a run holds
// the line, or the line is closed (it is never opened for a keystroke), it is refused with a
// beep. False when it did not go or its exchange failed.
bool exchangeTyped(const TypedLine& line, char c);

}  // namespace orva::gui
