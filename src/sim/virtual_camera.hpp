#pragma once
// A camera in software: register memory, the responder of the protocol it speaks, the line
// settings it listens at, its faults and a log of every frame it heard.
//
// It knows nothing of time or transport: a channel (in-process or a pty) decides when a
// character has arrived, calls hear(), and puts the answer on the line. Not thread-safe:
// the channel that drives it serialises every call, and tests look at it while the line is
// quiet.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "link/byte_channel.hpp"
#include "sim/faults.hpp"
#include "sim/frame_log.hpp"
#include "sim/profile.hpp"
#include "sim/register_memory.hpp"
#include "sim/responder.hpp"

namespace orva::sim {

// What goes back for one character.
struct Heard {
  std::vector<std::uint8_t> answer;
  std::chrono::milliseconds delay{};  // how much later than normal the answer starts
  bool hungUp = false;                // the line is gone: no answer, now or ever
};

class VirtualCamera {
 public:
  // Called after the character whose frame wrote `write.address` has been answered, so a
  // write may change how the camera answers from the next character on.
  using WriteHook = std::function<void(VirtualCamera&, const MemoryWrite& write)>;

  explicit VirtualCamera(const Profile& profile, std::vector<Fault> faults = {});
  VirtualCamera(const VirtualCamera&) = delete;
  VirtualCamera& operator=(const VirtualCamera&) = delete;

  // One character has fully arrived from the tool.
  Heard hear(std::uint8_t c);

  const link::LineSettings& settings() const { return settings_; }
  void setSettings(const link::LineSettings& settings) { settings_ = settings; }
  Protocol protocol() const { return protocol_; }
  bool hungUp() const { return hungUp_; }

  RegisterMemory& memory() { return memory_; }
  const RegisterMemory& memory() const { return memory_; }
  FrameLog& frameLog() { return log_; }
  const FrameLog& frameLog() const { return log_; }

  void onWrite(std::uint16_t address, WriteHook hook);

 private:
  link::LineSettings settings_;
  Protocol protocol_;
  RegisterMemory memory_;
  std::unique_ptr<Responder> responder_;  // none yet for AFP: such a camera stays silent
  FaultInjector faults_;
  FrameLog log_;
  std::vector<std::pair<std::uint16_t, WriteHook>> writeHooks_;
  bool hungUp_ = false;
};

}  // namespace orva::sim
