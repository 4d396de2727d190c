#pragma once
// The lens operations the lens panels share: a zoom move to a magnification step, the focus
// mode as the camera holds it and the focus mode switch, and the zoom-cue hold.
//
// Any thread: the moves and switches run on the operation slot, reads on the window thread
// too.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>

#include "camera/model_record.hpp"
#include "core/clock.hpp"
#include "panels/camera_access.hpp"
#include "panels/operation_runner.hpp"

namespace orva::panels::lens {

// ---- zoom moves

enum class ZoomDirection : std::uint8_t { Stop, Tele, Wide };

// What a slider move needs of the lens: its position (as the panels read it) and the drive;
// on a camera with digital zoom also how far it zooms digitally, which changes while the
// optical position stands at the tele end.
struct ZoomLens {
  std::function<bool(std::uint32_t&)> readPosition;
  std::function<bool(ZoomDirection)> drive;
  std::function<bool(std::uint32_t&)> readDigitalLevel = {};
};
// The camera's lens: lens::readZoomPosition, the zoom drive setting and, on models with
// digital zoom, lens::kDigitalActiveSetting.
ZoomLens cameraZoomLens(CameraAccess& camera, const camera::ModelRecord& model);

// A move gives up when the position has not changed for the stall limit, or once the whole
// travel at the zoom's speed has had half as long again to end (never before the shortest
// limit): a stalled lens is caught by the first, a slow one is not cut short by the second.
inline constexpr std::chrono::milliseconds kZoomStallLimit{500};
inline constexpr std::chrono::milliseconds kShortestZoomMoveLimit{20000};
std::chrono::milliseconds zoomMoveLimit(std::chrono::milliseconds travel);

// Drives the zoom until the position's step (lens::zoomStep) reaches `target`: towards tele
// while it is below, towards wide while it is above; nothing when it is there. Done on
// arrival; TimeOver after `limit`; Error when a read or write fails or the lens stalls
// (neither the position nor the digital level changes: a lens whose end lies short of the
// step, a stalled motor); Stopped on a stop request. Whenever it
// drove, the stop goes out on the way out, whatever the outcome.
Outcome moveZoom(const ZoomLens& zoom, core::Clock& clock, std::stop_token stop, int lensIndex, int target,
                 std::chrono::milliseconds limit);

// ---- focus mode

enum class FocusMode : std::uint8_t { Auto = 0, Manual = 1, ZoomCue = 2 };

// The mode as the camera holds it: AFP the focus mode function (2 manual); EAP 0xFF0E bit 3,
// and on zoom-cue models zoom cue while 0xF9F3 is not 0.
bool readFocusMode(CameraAccess& camera, const camera::ModelRecord& model, FocusMode& mode);

// The focus mode switch. AFP: the focus mode function with 1 (auto) or 2 (manual). EAP: the
// toggle commands on 0xFCBB (0xA8 auto/manual, 0xA4 manual/zoom cue, in the cycle zoom cue →
// manual → auto → manual → zoom cue), each followed by a poll of the register it changes
// until it changes or 1000 ms pass; then the stop 0xFE. Nothing is sent when the camera is
// already in the wanted mode. False when an access failed.
inline constexpr std::chrono::milliseconds kFocusSwitchLimit{1000};
bool switchFocusMode(CameraAccess& camera, core::Clock& clock, const camera::ModelRecord& model, FocusMode wanted);
// How long "MANUAL FOCUS" stays refused after a zoom in zoom cue: 0x1260 x 40 ms + 500 ms, or
// 5500 ms when it reads 0. None outside zoom cue, on other models, or when a read fails.
std::optional<std::chrono::milliseconds> zoomCueHold(CameraAccess& camera, const camera::ModelRecord& model);

}  // namespace orva::panels::lens
