#pragma once
// Press-and-hold arrow buttons: the lens moves while the operator holds the button down.
//
// A press sends the button's start command once; a release waits 50 ms and sends its stop
// command once. A second press while held, or a release while not held, sends nothing, so a
// start is never sent twice and a stop never without a start. A start that fails is still
// followed by its stop on release: it may have reached the camera before the line failed.
// While an operation runs, a press is refused (nothing is sent, nothing is held); a stop is
// always sent, as it is the one command a panel sends during an operation.
//
// Any thread may press, release or close: one mutex orders them, so a release from another
// thread in the middle of a press waits for the start to be sent, and a close while held
// sends the stop before the panel goes. The 50 ms wait runs through the Clock.
#include <chrono>
#include <cstdint>
#include <mutex>

#include "camera/setting.hpp"
#include "core/clock.hpp"
#include "panels/camera_access.hpp"
#include "panels/operation_runner.hpp"

namespace orva::panels {

// The six arrows a panel draws: the lens's four and a level adjuster's two.
enum class ArrowRole : std::uint8_t { FocusNear, FocusFar, ZoomWide, ZoomTele, LevelDown, LevelUp };

// What a button sends, in both protocols' values.
struct HoldCommand {
  camera::Setting setting;
  ProtocolValue start;
  ProtocolValue stop;
};

// The lens drives: the drive register 0xFCBB in EAP, the zoom and focus drive functions in AFP
// (1 stop, 2 tele or far, 3 wide or near).
inline constexpr camera::Setting kZoomDriveSetting = *camera::settingFromCode(0x1107);
inline constexpr camera::Setting kFocusDriveSetting = *camera::settingFromCode(0x1102);
inline constexpr ProtocolValue kLensStop{0xFE, 1};
inline constexpr HoldCommand kZoomWideDrive{kZoomDriveSetting, {0x9B, 3}, kLensStop};
inline constexpr HoldCommand kZoomTeleDrive{kZoomDriveSetting, {0x99, 2}, kLensStop};
inline constexpr HoldCommand kFocusNearDrive{kFocusDriveSetting, {0xAA, 3}, kLensStop};
inline constexpr HoldCommand kFocusFarDrive{kFocusDriveSetting, {0xA9, 2}, kLensStop};

// How long after the release the stop goes out.
inline constexpr std::chrono::milliseconds kStopDelay{50};

class HoldButton {
 public:
  HoldButton(const HoldCommand& command, CameraAccess& camera, core::Clock& clock, const OperationRunner& runner)
      : command_(command), camera_(camera), clock_(clock), runner_(runner) {}
  // A button still held when it goes sends its stop.
  ~HoldButton() { close(); }
  HoldButton(const HoldButton&) = delete;
  HoldButton& operator=(const HoldButton&) = delete;

  // The button is drawn pressed.
  void press();
  // The button is drawn released.
  void release();
  // The panel closes: a held button is released; later presses do nothing.
  void close();
  bool held() const;

 private:
  void stopHeld();

  const HoldCommand command_;
  CameraAccess& camera_;
  core::Clock& clock_;
  const OperationRunner& runner_;
  mutable std::mutex mutex_;  // held across the sends, so presses and releases stay in order
  bool held_ = false;
  bool closed_ = false;
};

}  // namespace orva::panels
