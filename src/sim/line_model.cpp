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
    camera_.advanceTo(byte.arrival);
    takeCameraOutput();
    // Compared on arrival: a write or a restart may have moved the camera to other settings.
    if (!heardAt(byte.sentWith)) continue;
    Heard heard = camera_.hear(byte.value);
    if (heard.hungUp) {
      hangUp(byte.arrival);
      return;
    }
    toTool(byte.arrival + heard.delay, heard.answer);
  }
  if (hungUp_) return;
  camera_.advanceTo(now);
  camera_.admitIndications();
  takeCameraOutput();
}

bool LineModel::heardAt(const link::LineSettings& sentWith) const {
  const link::LineSettings& own = camera_.settings();
  return sentWith.baud == own.baud && (!seesParity_ || sentWith.evenParity == own.evenParity);
}

void LineModel::toTool(time_point ready, const std::vector<std::uint8_t>& bytes) {
  // The camera's settings as they are now: a write may have changed them.
  const duration each = lineTiming_ ? characterTime(camera_.settings()) : duration::zero();
  const auto latency = camera_.deliveryLatency();
  for (auto b : bytes) {
    const time_point onWire = std::max(ready, cameraLineFree_) + each;
    cameraLineFree_ = onWire;
    toTool_.push_back({latency ? nextTick(onWire, *latency) : onWire, b});
  }
}

// An adapter passes what it holds on when its latency timer runs out: every byte that came
// within one period reaches the tool at its end, together.
LineModel::time_point LineModel::nextTick(time_point at, duration period) {
  const auto since = at.time_since_epoch();
  const auto periods = since / period + 1;
  return time_point(periods * period);
}

void LineModel::takeCameraOutput() {
  for (const auto& output : camera_.takeOutput()) toTool(output.at, output.bytes);
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
  std::optional<time_point> next = camera_.nextOutputTime();
  const auto earliest = [&next](time_point at) { next = next ? std::min(*next, at) : at; };
  if (!toCamera_.empty()) earliest(toCamera_.front().arrival);
  if (!toTool_.empty()) earliest(toTool_.front().arrival);
  return next;
}

void LineModel::discardArrived(time_point now) {
  while (!toTool_.empty() && toTool_.front().arrival <= now) toTool_.pop_front();
}

void LineModel::discard(time_point now) {
  toTool_.clear();
  while (!toCamera_.empty() && toCamera_.back().arrival > now) toCamera_.pop_back();
  toolLineFree_ = std::min(toolLineFree_, now);
}

}  // namespace orva::sim
