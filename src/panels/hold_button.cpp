#include "panels/hold_button.hpp"

#include <array>

namespace orva::panels {
namespace {

constexpr std::array<ArrowBitmaps, 6> kBitmaps{{
    {"BitmapButton1Up", "BitmapButton1Down"},
    {"BitmapButton2Up", "BitmapButton2Down"},
    {"BitmapButton3Up", "BitmapButton3Down"},
    {"BitmapButton4Up", "BitmapButton4Down"},
    {"BitmapButton5Up", "BitmapButton5Down"},
    {"BitmapButton6Up", "BitmapButton6Down"},
}};

}  // namespace

ArrowBitmaps arrowBitmaps(ArrowRole role) { return kBitmaps[static_cast<std::size_t>(role)]; }

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
