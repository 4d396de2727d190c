#pragma once
// The tool's end of a serial line wired straight to a VirtualCamera in the same process: fast,
// deterministic tests of everything above the channel, on virtual time with a FakeClock.
//
// It keeps the ByteChannel contract: one thread may read while another writes. write() puts
// the bytes on the line and returns at once, as a serial port with a transmit buffer does;
// readByte() sleeps on the Clock until the next answer arrives. Unlike a pty the camera sees
// the parity too: it answers only when the tool's speed and parity both match its own.
// After a hang-up fault every transfer fails with "the device is gone" and so does open().
// What the camera sends of its own accord reaches a waiting reader on the Clock, like an
// answer: a completion after the camera's completion delay (at once on a FakeClock), an
// indication from VirtualCamera::raiseIndication() at the time it is raised. The camera
// must outlive the channel.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "core/clock.hpp"
#include "link/byte_channel.hpp"
#include "sim/line_model.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {

inline constexpr std::string_view kVirtualCameraName = "virtual camera";
inline constexpr std::string_view kDeviceGone = "the device is gone";
inline constexpr std::string_view kNotOpen = "the line is not open";

class InProcessChannel final : public link::ByteChannel {
 public:
  InProcessChannel(VirtualCamera& camera, core::Clock& clock, bool lineTiming);
  ~InProcessChannel() override;
  InProcessChannel(const InProcessChannel&) = delete;
  InProcessChannel& operator=(const InProcessChannel&) = delete;

  core::Result<link::OpenInfo> open(const link::LineSettings& settings) override;
  void close() override;
  bool isOpen() const override;

  link::IoResult write(std::span<const std::uint8_t> bytes, const core::Deadline& deadline) override;
  link::IoResult readByte(std::uint8_t& out, const core::Deadline& deadline,
                          std::stop_token stop = {}) override;
  std::size_t queuedInput() override;
  void flush() override;
  void flushInput() override;

  std::string errorText() const override;
  std::string describe() const override { return std::string(kVirtualCameraName); }

 private:
  link::IoResult fail(std::string_view why);
  void cameraRaised();

  core::Clock& clock_;
  mutable std::mutex mutex_;
  std::condition_variable_any changed_;
  LineModel line_;
  VirtualCamera& camera_;
  link::LineSettings settings_;
  bool open_ = false;
  std::uint64_t generation_ = 0;  // counts writes, closes and indications, for a waiting reader
  std::string error_;
};

}  // namespace orva::sim
