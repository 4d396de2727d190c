#include "panels/fake_panel_view.hpp"

namespace orva::panels {
namespace {

template <typename Map, typename Key>
auto find(const Map& map, const Key& key) -> std::optional<typename Map::mapped_type> {
  auto it = map.find(key);
  if (it == map.end()) return std::nullopt;
  return it->second;
}

}  // namespace

void FakePanelView::note(std::string call) {
  if (std::this_thread::get_id() != owner_) ++foreign_;
  calls_.push_back(std::move(call));
}

void FakePanelView::setText(ControlId control, std::string_view text) {
  std::lock_guard lock(mutex_);
  texts_[control] = std::string(text);
  note("text " + std::to_string(control) + " = " + std::string(text));
}

void FakePanelView::setValue(ControlId control, int value) {
  std::lock_guard lock(mutex_);
  values_[control] = value;
  note("value " + std::to_string(control) + " = " + std::to_string(value));
}

void FakePanelView::setRange(ControlId control, int minimum, int maximum) {
  std::lock_guard lock(mutex_);
  ranges_[control] = {minimum, maximum};
  note("range " + std::to_string(control) + " = " + std::to_string(minimum) + ".." + std::to_string(maximum));
}

void FakePanelView::setEnabled(ControlId control, bool enabled) {
  std::lock_guard lock(mutex_);
  enabled_[control] = enabled;
  note("enabled " + std::to_string(control) + " = " + (enabled ? "1" : "0"));
}

void FakePanelView::setShown(ControlId control, bool shown) {
  std::lock_guard lock(mutex_);
  shown_[control] = shown;
  note("shown " + std::to_string(control) + " = " + (shown ? "1" : "0"));
}

void FakePanelView::setCaption(ControlId control, std::string_view caption) {
  std::lock_guard lock(mutex_);
  captions_[control] = std::string(caption);
  note("caption " + std::to_string(control) + " = " + std::string(caption));
}

void FakePanelView::setItemCaption(ControlId control, std::size_t item, std::string_view caption) {
  std::lock_guard lock(mutex_);
  itemCaptions_[{control, item}] = std::string(caption);
  note("caption " + std::to_string(control) + "." + std::to_string(item) + " = " + std::string(caption));
}

void FakePanelView::setItemEnabled(ControlId control, std::size_t item, bool enabled) {
  std::lock_guard lock(mutex_);
  itemEnabled_[{control, item}] = enabled;
  note("enabled " + std::to_string(control) + "." + std::to_string(item) + " = " + (enabled ? "1" : "0"));
}

void FakePanelView::beep() {
  std::lock_guard lock(mutex_);
  ++beeps_;
  note("beep");
}

void FakePanelView::startTimer(int timer, std::chrono::milliseconds interval) {
  std::lock_guard lock(mutex_);
  timers_[timer] = interval;
  note("timer " + std::to_string(timer) + " start " + std::to_string(interval.count()));
}

void FakePanelView::stopTimer(int timer) {
  std::lock_guard lock(mutex_);
  timers_.erase(timer);
  note("timer " + std::to_string(timer) + " stop");
}

std::map<int, std::chrono::milliseconds> FakePanelView::timers() const {
  std::lock_guard lock(mutex_);
  return timers_;
}

void FakePanelView::close(CloseReason reason) {
  std::lock_guard lock(mutex_);
  closed_ = reason;
  timers_.clear();
  note("close");
}

std::optional<std::string> FakePanelView::text(ControlId control) const {
  std::lock_guard lock(mutex_);
  return find(texts_, control);
}

std::optional<int> FakePanelView::value(ControlId control) const {
  std::lock_guard lock(mutex_);
  return find(values_, control);
}

std::optional<std::pair<int, int>> FakePanelView::range(ControlId control) const {
  std::lock_guard lock(mutex_);
  return find(ranges_, control);
}

bool FakePanelView::enabled(ControlId control) const {
  std::lock_guard lock(mutex_);
  return find(enabled_, control).value_or(true);
}

bool FakePanelView::itemEnabled(ControlId control, std::size_t item) const {
  std::lock_guard lock(mutex_);
  return find(itemEnabled_, std::pair{control, item}).value_or(true);
}

bool FakePanelView::shown(ControlId control) const {
  std::lock_guard lock(mutex_);
  return find(shown_, control).value_or(true);
}

std::optional<std::string> FakePanelView::caption(ControlId control) const {
  std::lock_guard lock(mutex_);
  return find(captions_, control);
}

std::optional<std::string> FakePanelView::itemCaption(ControlId control, std::size_t item) const {
  std::lock_guard lock(mutex_);
  return find(itemCaptions_, std::pair{control, item});
}

int FakePanelView::beeps() const {
  std::lock_guard lock(mutex_);
  return beeps_;
}

std::optional<CloseReason> FakePanelView::closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

std::vector<std::string> FakePanelView::calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

void FakePanelView::clearCalls() {
  std::lock_guard lock(mutex_);
  calls_.clear();
}

int FakePanelView::foreignCalls() const {
  std::lock_guard lock(mutex_);
  return foreign_;
}

}  // namespace orva::panels
