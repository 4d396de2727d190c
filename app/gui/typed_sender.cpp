#include "typed_sender.hpp"

namespace orva::gui {

TypedSender::TypedSender(std::function<void(char)> exchange)
    : exchange_(std::move(exchange)), thread_([this](std::stop_token stop) { run(std::move(stop)); }) {}

void TypedSender::send(char c) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(c);
  }
  ready_.notify_one();
}

void TypedSender::stop() {
  if (!thread_.joinable()) return;
  thread_.request_stop();
  thread_.join();
}

void TypedSender::run(std::stop_token stop) {
  for (;;) {
    char c = 0;
    {
      std::unique_lock lock(mutex_);
      ready_.wait(lock, stop, [&] { return !queue_.empty(); });
      // A stop drops what is still queued.
      if (stop.stop_requested()) return;
      c = queue_.front();
      queue_.pop_front();
    }
    exchange_(c);
  }
}

}  // namespace orva::gui

namespace orva::gui {

bool exchangeTyped(const TypedLine& line, char c) {
  core::MonitorSink& monitor = line.link.monitor();
  auto turn = line.runner.claim();
  if (!turn) {
    monitor.beep();
    return false;
  }
  auto command = line.link.command();
  if (!line.link.typedLineReady()) {
    monitor.beep();
    return false;
  }
  // Tells the monitor that what comes back answers the typed character; set only while this
  // exchange holds the line, so no other command's reply is taken for it.
  monitor.setTypedInput(true);
  const bool done = line.link.protocol() == link::Protocol::Afp ? line.afp.exchangeTypedChar(c) : line.eap.exchangeChar(c);
  monitor.setTypedInput(false);
  return done;
}

}  // namespace orva::gui
