#include "panels/lens/go_to_magnification.hpp"

#include <chrono>
#include <optional>

#include "panels/hold_button.hpp"
#include "panels/lens/lens_readout.hpp"
#include "panels/lens/lens_texts.hpp"
#include "panels/panel_description.hpp"

namespace orva::panels::lens {
namespace {

using namespace std::chrono_literals;
namespace T = texts;

constexpr auto kSettle = 100ms;
constexpr auto kArrival = 500ms;
constexpr auto kMoveLimit = 5000ms;

// 16-bit positions and limits from 0xE000 up are below the wide end's zero.
int signedPosition(std::uint32_t v) { return v >= 0xE000u ? static_cast<int>(v) - 0x10000 : static_cast<int>(v); }

// What the run changed and must put back, whichever way it ends.
class Restore {
 public:
  explicit Restore(CameraAccess& camera) : camera_(camera) {}
  ~Restore() { now(); }
  Restore(const Restore&) = delete;
  Restore& operator=(const Restore&) = delete;

  void driving() { driving_ = true; }
  void speed(std::uint32_t value) { speed_ = value; }
  void limits(std::uint32_t wide, std::uint32_t tele) {
    wide_ = wide;
    tele_ = tele;
  }
  // The lens first, then its limits, then the speed; each only once. False when a write
  // failed (the rest is still tried).
  bool stopDrive() {
    if (!driving_) return true;
    driving_ = false;
    return camera_.write(kZoomDriveSetting, kLensStop);
  }
  bool limitsAndSpeed() {
    bool ok = true;
    if (wide_) ok = camera_.write(reg16(kWideLimitRegister), *wide_) && ok;
    if (tele_) ok = camera_.write(reg16(kTeleLimitRegister), *tele_) && ok;
    wide_.reset();
    tele_.reset();
    if (speed_) ok = camera_.write(reg8(kZoomSpeedRegister), *speed_) && ok;
    speed_.reset();
    return ok;
  }
  bool now() {
    const bool stopped = stopDrive();
    return limitsAndSpeed() && stopped;
  }

 private:
  CameraAccess& camera_;
  bool driving_ = false;
  std::optional<std::uint32_t> speed_, wide_, tele_;
};

}  // namespace

Outcome goToMagnification(CameraAccess& camera, core::MonitorSink& monitor, core::Clock& clock, std::stop_token stop,
                          const GoToMagnification& request) {
  Restore restore(camera);
  std::uint32_t speed = 0;
  if (!camera.read(reg8(kZoomSpeedRegister), speed)) return Outcome::Error;
  const auto runSpeed = static_cast<std::uint8_t>((speed | request.speedBits) & 0xFFu);
  restore.speed(speed);
  if (!camera.write(reg8(kZoomSpeedRegister), runSpeed)) return Outcome::Error;
  monitor.line(T::kGoToZoom);

  std::uint16_t offset = 0;
  if (const auto known = lens::goToOffset(request.lensIndex, request.magnification)) offset = *known;
  else monitor.line(T::kIncorrectRatio);

  if (!camera.write(reg8(kContinuousZoomRegister), 0)) return Outcome::Error;
  monitor.beep();
  std::uint32_t wide = 0, tele = 0;
  if (!camera.read(reg16(kWideLimitRegister), wide) || !camera.read(reg16(kTeleLimitRegister), tele))
    return Outcome::Error;
  restore.limits(wide, tele);
  if (!clock.sleepFor(kSettle, stop)) return Outcome::Stopped;

  ProtocolValue drive = kZoomWideDrive.start;
  if (offset == lens::kFullTele) {
    drive = kZoomTeleDrive.start;
  } else if (offset != 0) {
    std::uint32_t position = 0;
    if (!camera.read(reg16(kLensPositionRegister), position)) return Outcome::Error;
    const int target = signedPosition(wide) - offset;
    const auto targetWord = static_cast<std::uint32_t>(target) & 0xFFFFu;
    // The lens stops at the temporary limit written on its way.
    if (target <= signedPosition(position)) {
      if (!camera.write(reg16(kTeleLimitRegister), targetWord)) return Outcome::Error;
      monitor.line(T::kGoToTele);
      drive = kZoomTeleDrive.start;
    } else {
      if (!camera.write(reg16(kWideLimitRegister), targetWord)) return Outcome::Error;
      monitor.line(T::kGoToWide);
    }
  }
  // A drive whose write failed may still have reached the camera: it is stopped all the same.
  restore.driving();
  if (!camera.write(kZoomDriveSetting, drive)) return Outcome::Error;

  if (runSpeed != 0xFF) {
    const Outcome moved = pollUntilDone(clock, stop, kMoveLimit, [&]() -> std::optional<Outcome> {
      std::uint32_t status = 0;
      if (!camera.read(reg8(kZoomStatusRegister), status)) return Outcome::Error;
      if ((status & kZoomMovingBit) == 0) return Outcome::Done;
      return std::nullopt;
    });
    // A lens still moving after the limit is stopped and the run goes on, as on arrival.
    if (moved == Outcome::Error || moved == Outcome::Stopped) return moved;
  }
  if (!restore.stopDrive()) return Outcome::Error;
  if (!clock.sleepFor(kArrival, stop)) return Outcome::Stopped;
  if (!restore.limitsAndSpeed()) return Outcome::Error;
  if (!clock.sleepFor(kSettle, stop)) return Outcome::Stopped;
  monitor.line(T::kFinishZoom);
  return Outcome::Done;
}

}  // namespace orva::panels::lens
