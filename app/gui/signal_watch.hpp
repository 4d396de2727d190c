#pragma once
// SIGTERM, SIGINT and SIGHUP as a Qt signal on the window thread, so that the end of the
// process runs the program's own shutdown (configuration written, log closed, line released).
//
// The handlers only write the signal number to a pipe (all a handler may safely do); a
// QSocketNotifier on the pipe's read end turns it into received() in the window thread. One
// SignalWatch at a time; the old handlers come back when it goes.
#include <QObject>

#include <array>
#include <csignal>

class QSocketNotifier;

namespace orva::gui {

class SignalWatch final : public QObject {
  Q_OBJECT

 public:
  explicit SignalWatch(QObject* parent = nullptr);
  ~SignalWatch() override;
  SignalWatch(const SignalWatch&) = delete;
  SignalWatch& operator=(const SignalWatch&) = delete;

  bool active() const { return notifier_ != nullptr; }

 signals:
  void received(int signal);

 private:
  void readPipe();

  static constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};
  std::array<struct sigaction, 3> old_{};
  std::array<int, 2> pipe_{-1, -1};
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace orva::gui
