#include "sim/line_model.hpp"

#include <algorithm>

namespace orva::sim {

LineModel::duration LineModel::characterTime(const link::LineSettings& settings) {
  using std::chrono::nanoseconds;
  const auto bits = static_cast<std::int64_t>(link::bitsPerCharacter(settings));
  const auto baud = static_cast<std::int64_t>(std::max(settings.baud, 1));
  return std::chrono::duration_cast<duration>(nanoseconds(bits * 1'000'000'000 / baud));
}

void LineModel::send(std::span<const std::uint8_t> bytes, const link::LineSettings& sentWith,
                     time_point now) {
  if (hungUp_) return;
  const duration each = lineTiming_ ? characterTime(sentWith) : duration::zero();
  for (auto b : bytes) {
    const time_point arrival = std::max(now, toolLineFree_) + each;
    toolLineFree_ = arrival;
    toCamera_.push_back({arrival, b, sentWith});
  }
}

void LineModel::advance(time_point now) {
  while (!hungUp_ && !toCamera_.empty() && toCamera_.front().arrival <= now) {
    const ToolByte byte = toCamera_.front();
    toCamera_.pop_front();
    // Compared on arrival: a write may have moved the camera to other settings meanwhile.
    if (byte.sentWith != camera_.settings()) continue;
    Heard heard = camera_.hear(byte.value);
    if (heard.hungUp) {
      hangUp(byte.arrival);
      break;
    }
    // The camera's settings as they are after this character: a write may have changed them.
    const duration each = lineTiming_ ? characterTime(camera_.settings()) : duration::zero();
    const time_point ready = byte.arrival + heard.delay;
    for (auto b : heard.answer) {
      const time_point arrival = std::max(ready, cameraLineFree_) + each;
      cameraLineFree_ = arrival;
      toTool_.push_back({arrival, b});
    }
  }
}

void LineModel::hangUp(time_point at) {
  hungUp_ = true;
  toCamera_.clear();
  while (!toTool_.empty() && toTool_.back().arrival > at) toTool_.pop_back();
}

std::optional<std::uint8_t> LineModel::takeAnswer(time_point now) {
  if (toTool_.empty() || toTool_.front().arrival > now) return std::nullopt;
  const std::uint8_t b = toTool_.front().value;
  toTool_.pop_front();
  return b;
}

std::size_t LineModel::answersArrived(time_point now) const {
  return static_cast<std::size_t>(
      std::count_if(toTool_.begin(), toTool_.end(), [now](const Answer& a) { return a.arrival <= now; }));
}

std::optional<LineModel::time_point> LineModel::nextEvent() const {
  std::optional<time_point> next;
  if (!toCamera_.empty()) next = toCamera_.front().arrival;
  if (!toTool_.empty()) next = next ? std::min(*next, toTool_.front().arrival) : toTool_.front().arrival;
  return next;
}

void LineModel::discard(time_point now) {
  toTool_.clear();
  while (!toCamera_.empty() && toCamera_.back().arrival > now) toCamera_.pop_back();
  toolLineFree_ = std::min(toolLineFree_, now);
}

}  // namespace orva::sim
