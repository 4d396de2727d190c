#pragma once
// Both directions of the serial line between the tool and a virtual camera, on absolute time.
//
// With line timing each character occupies its line for bitsPerCharacter() bits at the
// line's speed: a byte the tool sends while its line is busy starts when the previous one
// ends, the camera hears it only once it has fully arrived, and the answer takes another
// character time on the camera's line. Without line timing bytes arrive the moment they are
// sent. Either way a slow fault delays the start of an answer. Nothing here sleeps: the owner
// says what time it is, and asks when the next thing will happen.
//
// What the camera sends of its own accord (completions, indications) goes on the camera's line
// like answers, from the moment the camera sends it; the line moves the camera's time along
// with its own, so that the camera's timers fall due in order with the bytes it hears.
// A latency fault holds answers back and hands them on in lumps, as a USB adapter does.
//
// The camera hears a byte only when it was sent at the camera's own settings (the speed alone
// on a line that cannot show parity); otherwise it hears noise and keeps quiet. After a
// hang-up the line carries nothing more: answers still on their way at that moment are lost.
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

#include "core/clock.hpp"
#include "link/byte_channel.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {

class LineModel {
 public:
  using time_point = core::Clock::time_point;
  using duration = core::Clock::duration;

  LineModel(VirtualCamera& camera, bool lineTiming, bool seesParity = true)
      : camera_(camera), lineTiming_(lineTiming), seesParity_(seesParity) {}

  static duration characterTime(const link::LineSettings& settings);

  // The tool puts `bytes` on its line at `now`, sent at `sentWith`.
  void send(std::span<const std::uint8_t> bytes, const link::LineSettings& sentWith, time_point now);
  // The camera hears every byte that has fully arrived by `now` and queues its answers and
  // whatever it sent of its own accord by then, raised indications included.
  void advance(time_point now);

  // The next answer byte, if it has arrived by `now`.
  std::optional<std::uint8_t> takeAnswer(time_point now);
  std::size_t answersArrived(time_point now) const;
  // When a byte will next arrive at either end or the camera will next send of its own
  // accord; none when the line is idle.
  std::optional<time_point> nextEvent() const;

  // Forgets the answers and the tool's bytes that have not fully arrived by `now`.
  void discard(time_point now);
  // Forgets the answers that have arrived by `now`; what is still on its way comes later.
  void discardArrived(time_point now);

  bool hungUp() const { return hungUp_; }

 private:
  struct ToolByte {
    time_point arrival;
    std::uint8_t value;
    link::LineSettings sentWith;
  };
  struct Answer {
    time_point arrival;
    std::uint8_t value;
  };

  void hangUp(time_point at);
  static time_point nextTick(time_point at, duration period);
  bool heardAt(const link::LineSettings& sentWith) const;
  void toTool(time_point ready, const std::vector<std::uint8_t>& bytes);
  void takeCameraOutput();

  VirtualCamera& camera_;
  bool lineTiming_;
  bool seesParity_;
  std::deque<ToolByte> toCamera_;
  std::deque<Answer> toTool_;
  time_point toolLineFree_{};
  time_point cameraLineFree_{};
  bool hungUp_ = false;
};

}  // namespace orva::sim
