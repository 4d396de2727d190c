#include "shell/shortcut_keys.hpp"

#include <array>
#include <utility>

#include "camera/setting.hpp"
#include "panels/hold_button.hpp"

namespace orva::shell {

namespace {

struct Drive {
  int key;
  panels::HoldCommand command;
};

// The lens drives are those of the panels' arrow buttons.
constexpr std::array<Drive, 4> kDrives{{
    {'Q', panels::kFocusNearDrive},
    {'Y', panels::kFocusFarDrive},
    {'T', panels::kZoomTeleDrive},
    {'W', panels::kZoomWideDrive},
}};

constexpr int kFocusModeKey = 'R';
// EAP: the focus mode key is a value of the drive register.
constexpr std::uint8_t kFocusModeKeyValue = 0xA8;
// AFP: the focus mode function's two values.
constexpr std::uint32_t kFocusModeA = 1;
constexpr std::uint32_t kFocusModeB = 2;

const Drive* driveOf(int keyCode) {
  for (const auto& d : kDrives)
    if (d.key == keyCode) return &d;
  return nullptr;
}

}  // namespace

ShortcutKeys::ShortcutKeys(link::Link& link, link::Eap& eap, camera::FunctionCodes& codes,
                           std::function<bool()> portOpen, std::function<bool()> lineBusy)
    : link_(link), eap_(eap), codes_(codes), portOpen_(std::move(portOpen)), lineBusy_(std::move(lineBusy)) {}

void ShortcutKeys::keyDown(int keyCode, bool autoRepeat) {
  if (autoRepeat || held_) return;
  const Drive* drive = driveOf(keyCode);
  if (drive == nullptr && keyCode != kFocusModeKey) return;
  if (!portOpen_() || (lineBusy_ && lineBusy_())) return;

  if (drive != nullptr) {
    // Held from now on, even when the start failed: it may have reached the camera before
    // the line failed, and the stop costs nothing.
    held_ = drive->key;
    const panels::HoldCommand& c = drive->command;
    camera::writeSetting(c.setting, c.start.in(link_.protocol()), link_, eap_, codes_);
    return;
  }
  if (link_.protocol() == link::Protocol::Eap) {
    eap_.writeByte(panels::kFocusDriveSetting.eapRegister, kFocusModeKeyValue);
    return;
  }
  std::uint32_t mode = 0;
  if (!camera::readSetting(camera::kFocusModeSetting, mode, link_, eap_, codes_)) return;
  if (mode == kFocusModeA) camera::writeSetting(camera::kFocusModeSetting, kFocusModeB, link_, eap_, codes_);
  else if (mode == kFocusModeB) camera::writeSetting(camera::kFocusModeSetting, kFocusModeA, link_, eap_, codes_);
}

void ShortcutKeys::keyUp(int keyCode, bool autoRepeat) {
  if (autoRepeat || held_ != keyCode) return;
  stopHeld();
}

void ShortcutKeys::releaseAll() {
  if (held_) stopHeld();
}

void ShortcutKeys::stopHeld() {
  const Drive* drive = driveOf(*std::exchange(held_, std::nullopt));
  // A port closed meanwhile took the camera's drive with it: there is nobody to tell.
  if (!portOpen_()) return;
  const panels::HoldCommand& c = drive->command;
  camera::writeSetting(c.setting, c.stop.in(link_.protocol()), link_, eap_, codes_);
}

}  // namespace orva::shell
