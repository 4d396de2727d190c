#include "panels/hold_button.hpp"

namespace orva::panels {

void HoldButton::press() {
  std::lock_guard lock(mutex_);
  if (closed_ || held_ || runner_.busy()) return;
  held_ = true;
  camera_.write(command_.setting, command_.start);
}

void HoldButton::release() {
  std::lock_guard lock(mutex_);
  stopHeld();
}

void HoldButton::close() {
  std::lock_guard lock(mutex_);
  closed_ = true;
  stopHeld();
}

bool HoldButton::held() const {
  std::lock_guard lock(mutex_);
  return held_;
}

void HoldButton::stopHeld() {
  if (!held_) return;
  // No stop token: whatever happens to the panel, the lens must be stopped.
  clock_.sleepFor(kStopDelay);
  camera_.write(command_.setting, command_.stop);
  held_ = false;
}

}  // namespace orva::panels
