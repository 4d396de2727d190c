#include "panels/lens/lens_operations.hpp"

#include <algorithm>

#include "core/deadline.hpp"
#include "panels/hold_button.hpp"
#include "panels/lens/lens_readout.hpp"
#include "panels/lens/lens_settings.hpp"

namespace orva::panels::lens {

using namespace std::chrono_literals;

// ---- zoom moves

ZoomLens cameraZoomLens(CameraAccess& camera, const camera::ModelRecord& model) {
  ZoomLens zoom{
      [&camera, &model](std::uint32_t& position) { return lens::readZoomPosition(camera, model, position); },
      [&camera](ZoomDirection d) {
        const ProtocolValue value = d == ZoomDirection::Tele   ? kZoomTeleDrive.start
                                    : d == ZoomDirection::Wide ? kZoomWideDrive.start
                                                               : kLensStop;
        return camera.write(kZoomDriveSetting, value);
      }};
  if (lens::hasDigitalZoom(model))
    zoom.readDigitalLevel = [&camera](std::uint32_t& level) { return camera.read(lens::kDigitalActiveSetting, level); };
  return zoom;
}

std::chrono::milliseconds zoomMoveLimit(std::chrono::milliseconds travel) {
  return std::max(kShortestZoomMoveLimit, travel + travel / 2);
}

Outcome moveZoom(const ZoomLens& zoom, core::Clock& clock, std::stop_token stop, int lensIndex, int target,
                 std::chrono::milliseconds limit) {
  std::uint32_t position = 0, level = 0;
  const auto readLevel = [&zoom, &level] { return !zoom.readDigitalLevel || zoom.readDigitalLevel(level); };
  if (!zoom.readPosition(position)) return Outcome::Error;
  const int from = lens::zoomStep(lensIndex, position);
  if (from == target) return Outcome::Done;
  if (!readLevel()) return Outcome::Error;
  const bool tele = target > from;
  // From here on the lens may be driving: the stop goes out on every way out.
  struct StopOnExit {
    const ZoomLens& zoom;
    ~StopOnExit() { zoom.drive(ZoomDirection::Stop); }
  } stopOnExit{zoom};
  if (!zoom.drive(tele ? ZoomDirection::Tele : ZoomDirection::Wide)) return Outcome::Error;
  const core::Deadline deadline(clock, limit);
  std::uint32_t last = position, lastLevel = level;
  auto lastChange = clock.now();
  for (;;) {
    if (stop.stop_requested()) return Outcome::Stopped;
    if (!zoom.readPosition(position)) return Outcome::Error;
    const int step = lens::zoomStep(lensIndex, position);
    if (tele ? step >= target : step <= target) return Outcome::Done;
    // Out of digital zoom the position stands at the tele end while the level falls.
    if (!readLevel()) return Outcome::Error;
    if (position != last || level != lastLevel) {
      last = position;
      lastLevel = level;
      lastChange = clock.now();
    } else if (clock.now() - lastChange >= kZoomStallLimit) {
      return Outcome::Error;
    }
    if (deadline.expired()) return Outcome::TimeOver;
    if (!clock.sleepFor(std::min<core::Clock::duration>(kPollSlice, deadline.remaining()), stop))
      return Outcome::Stopped;
  }
}

// ---- focus mode

bool readFocusMode(CameraAccess& camera, const camera::ModelRecord& model, FocusMode& mode) {
  std::uint32_t v = 0;
  if (camera.protocol() == P::Afp) {
    if (!camera.read(camera::kFocusModeSetting, v)) return false;
    mode = v == 2 ? FocusMode::Manual : FocusMode::Auto;
    return true;
  }
  if (lens::hasZoomCue(model)) {
    if (!camera.read(kZoomCueRegister, v)) return false;
    if (v != 0) {
      mode = FocusMode::ZoomCue;
      return true;
    }
  }
  if (!camera.read(kFocusModeRegister, v)) return false;
  mode = (v & kManualFocusBit) != 0 ? FocusMode::Manual : FocusMode::Auto;
  return true;
}

bool switchFocusMode(CameraAccess& camera, core::Clock& clock, const camera::ModelRecord& model, FocusMode wanted) {
  if (camera.protocol() == P::Afp)
    return camera.write(camera::kFocusModeSetting, wanted == FocusMode::Auto ? 1u : 2u);
  const bool cueModel = lens::hasZoomCue(model);
  if (!cueModel && wanted == FocusMode::ZoomCue) return false;
  FocusMode now = FocusMode::Auto;
  if (!readFocusMode(camera, model, now)) return false;
  bool sent = false;
  bool ok = true;
  // Each toggle moves one place along zoom cue - manual - auto; three at most reach any mode.
  for (int i = 0; i < 3 && ok && now != wanted; ++i) {
    const bool cueToggle = now == FocusMode::ZoomCue || (now == FocusMode::Manual && wanted == FocusMode::ZoomCue);
    const camera::Setting& watched = cueToggle ? kZoomCueRegister : kFocusModeRegister;
    // What the watched register says now, as the mode just read tells it.
    const bool before = cueToggle ? now == FocusMode::ZoomCue : now == FocusMode::Manual;
    const auto state = [cueToggle](std::uint32_t v) { return cueToggle ? v != 0 : (v & kManualFocusBit) != 0; };
    sent = true;
    if (!camera.write(kLensDriveRegister, cueToggle ? kToggleZoomCue : kToggleFocus)) {
      ok = false;
      break;
    }
    const Outcome changed = pollUntilDone(clock, {}, kFocusSwitchLimit, [&]() -> std::optional<Outcome> {
      std::uint32_t v = 0;
      if (!camera.read(watched, v)) return Outcome::Error;
      if (state(v) != before) return Outcome::Done;
      return std::nullopt;
    });
    if (changed == Outcome::Error) ok = false;
    // A toggle the camera did not take ends the cycle rather than sending more.
    if (changed != Outcome::Done) break;
    if (!readFocusMode(camera, model, now)) ok = false;
  }
  if (sent) ok = camera.write(kLensDriveRegister, kLensStop.eap) && ok;
  return ok;
}

std::optional<std::chrono::milliseconds> zoomCueHold(CameraAccess& camera, const camera::ModelRecord& model) {
  if (!zoomCue(model, camera.protocol())) return std::nullopt;
  std::uint32_t cue = 0, hold = 0;
  if (!camera.read(kZoomCueRegister, cue) || cue == 0) return std::nullopt;
  if (!camera.read(kZoomCueHoldRegister, hold)) return std::nullopt;
  return hold == 0 ? 5500ms : std::chrono::milliseconds(hold * 40 + 500);
}

}  // namespace orva::panels::lens
