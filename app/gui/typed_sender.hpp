#pragma once
// Characters the operator types into a monitor pane, sent to the camera one at a time and in
// order on a thread of their own: an exchange waits for the camera's answer (up to the link's
// read limit when none comes), which the window must not wait for.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

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

}  // namespace orva::gui
