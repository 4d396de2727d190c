#pragma once
// A pseudo-terminal for the virtual camera. The camera works the master side; the tool opens
// the slave path as its serial port. The camera keeps its own descriptor of the slave open,
// so the tool may close and reopen the port freely: the master never sees a hang-up between
// the tool's sessions, and the line settings the tool chose can be read back from the slave.
#include <string>

#include "core/error.hpp"
#include "link/byte_channel.hpp"

namespace orva::sim {

class Pty {
 public:
  // Opens a pty whose slave is raw and runs at the speed of `settings`.
  static core::Result<Pty> open(const link::LineSettings& settings);

  Pty(Pty&& other) noexcept;
  Pty& operator=(Pty&& other) noexcept;
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;
  ~Pty();

  int master() const { return master_; }
  const std::string& slavePath() const { return slavePath_; }
  // The speed the tool set on its end (the tty's termios); 0 when it cannot be read or is
  // not one of the speeds the tool uses. A pty has no parity to check.
  int toolBaud() const;
  // Closes both ends: the tool's descriptor of the slave hangs up.
  void hangUp();

 private:
  Pty(int master, int slave, std::string slavePath);

  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
};

}  // namespace orva::sim
