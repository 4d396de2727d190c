#include "shell/camera_state.hpp"

namespace orva::shell {

void CameraState::setFlag(panels::SessionFlag flag, bool on) {
  flags_[index(flag)] = on;
  switch (flag) {
    case panels::SessionFlag::MotionDetection:
      menus_.setHeld(MenuItem::Mode1_720Line, on);
      menus_.setHeld(MenuItem::Mode2_960Line, on);
      break;
  }
}

void CameraState::disconnected() {
  for (std::size_t i = 0; i < kFlagCount; ++i) setFlag(static_cast<panels::SessionFlag>(i), false);
}

}  // namespace orva::shell
