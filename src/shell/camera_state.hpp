#pragma once
// What panels set that outlives the panel: the session flags (motion detection switched on),
// and what the rest of the program does while one is set. A disconnect clears them, as the
// camera's state they stand for is no longer known.
//
// Window thread only.
#include <array>
#include <cstddef>

#include "panels/panel_host.hpp"
#include "shell/menu_model.hpp"

namespace orva::shell {

class CameraState {
 public:
  explicit CameraState(MenuModel& menus) : menus_(menus) {}
  CameraState(const CameraState&) = delete;
  CameraState& operator=(const CameraState&) = delete;

  // Motion detection on greys the CAMERA MODE items "MODE-1 (720Line)" and "MODE-2 (960Line)"
  // until it goes off; the EEPROM runs and command files ask motionDetection() themselves.
  void setFlag(panels::SessionFlag flag, bool on);
  bool flag(panels::SessionFlag flag) const { return flags_[index(flag)]; }
  bool motionDetection() const { return flag(panels::SessionFlag::MotionDetection); }

  // The line was closed.
  void disconnected();

 private:
  static constexpr std::size_t kFlagCount = 1;
  static std::size_t index(panels::SessionFlag flag) { return static_cast<std::size_t>(flag); }

  MenuModel& menus_;
  std::array<bool, kFlagCount> flags_{};
};

}  // namespace orva::shell
