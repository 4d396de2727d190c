#pragma once
// The three lens panels: ZOOM CONTROL (ZOOMDLG), FOCUS (FOCUSDLG) and ZOOM/FOCUS CONTROL
// (ZOOMFOCUSDLG), and the lens operations they share.
//
// Zoom part (ZOOM CONTROL, and ZOOM/FOCUS CONTROL with its slow speeds):
// - Speed buttons with the lens's travel times as captions; a button already selected sends
//   nothing; "HIGH SPEED" is refused on the family 0x20.
// - The slider of zoom steps, 0 to the lens's slider top, with the four scale labels. A move
//   runs on the operation slot (moveZoom): bounded by the travel time at the selected speed,
//   given up when the lens stalls, and always ended with the stop. Closing the panel stops a move it started.
// - The wide and tele arrows drive the zoom while held, and a press starts the position
//   polling (timer 2, 200 ms) that follows the lens until the drive reads stopped or a read
//   fails.
// - Instant digital zoom (0xFF0F bit 7) with its magnification (tenths, 1.0 to 2.0) and
//   continuous digital zoom (0xFCCB) with its coded maximum; the magnification read-out.
//
// FOCUS: "auto" / "manual" (0xFF0E bit 3); the near and far arrows only in manual. A change
// runs the focus mode switch (switchFocusMode).
//
// ZOOM/FOCUS CONTROL adds the zoom-cue cycle and its hold (timer 5), one-push AF (timer 4),
// the adjustment mode in which the arrows step raw motor positions (timers 6-9), the manual
// focus speed, "Set Now Zoom Position", the AF options with their headings and "36x mode" /
// "35x mode".
//
// Window thread only, except the runs they start on the operation slot.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

#include "camera/model_record.hpp"
#include "core/clock.hpp"
#include "panels/camera_access.hpp"
#include "panels/operation_runner.hpp"
#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels {

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

// ---- the panels' timers

inline constexpr int kPositionTimer = 2;
inline constexpr int kOnePushTimer = 4;
inline constexpr int kZoomCueTimer = 5;
inline constexpr int kFocusNearStepTimer = 6;
inline constexpr int kFocusFarStepTimer = 7;
inline constexpr int kZoomWideStepTimer = 8;
inline constexpr int kZoomTeleStepTimer = 9;
inline constexpr std::chrono::milliseconds kPositionInterval{200};
inline constexpr std::chrono::milliseconds kOnePushInterval{100};
inline constexpr std::chrono::milliseconds kStepInterval{100};

// ---- controls, the same numbers in every lens panel that has them

namespace lens_controls {
inline constexpr ControlId kSpeed = 1;       // "HIGH SPEED" / "NOMAL SPEED"
inline constexpr ControlId kSpeedSlow = 2;   // the same with "SLOW SPEED" (ZOOM/FOCUS, slow models)
inline constexpr ControlId kSlowList = 3;    // "Slow", "SuperSlow01" ...
inline constexpr ControlId kDigiMark = 4;    // "DIGI." while the camera zooms digitally
inline constexpr ControlId kSlider = 5;
inline constexpr ControlId kMagnification = 6;
inline constexpr ControlId kZoomWide = 7;
inline constexpr ControlId kZoomTele = 8;
inline constexpr ControlId kInstant = 9;
inline constexpr ControlId kInstantMax = 10;
inline constexpr ControlId kContinuous = 11;
inline constexpr ControlId kContinuousMax = 12;
inline constexpr ControlId k36x = 13;
inline constexpr ControlId k35x = 14;
inline constexpr ControlId kClose = 15;

inline constexpr ControlId kFocusMode = 20;     // auto / manual
inline constexpr ControlId kFocusNear = 21;
inline constexpr ControlId kFocusFar = 22;
inline constexpr ControlId kFocusModeCue = 23;  // auto / manual / zoom cue (ZOOM/FOCUS, zoom-cue models)
inline constexpr ControlId kOnePush = 24;
inline constexpr ControlId kManualSpeed = 25;
inline constexpr ControlId kAdjustment = 26;
inline constexpr ControlId kFocusStep = 27;
inline constexpr ControlId kZoomStep = 28;
inline constexpr ControlId kAfSearch = 29;       // Type A, Type A&B, OFF
inline constexpr ControlId kAfSearchTypeC = 30;  // Type A, Type A&B, Type C, OFF
inline constexpr ControlId kFastAf = 31;

inline constexpr ControlId kMinFocus = 40;
inline constexpr ControlId kNewMinFocus = 41;
inline constexpr ControlId kLensPositionMode = 42;
inline constexpr ControlId kSetNowZoomPosition = 43;
inline constexpr ControlId kLensPosition = 44;
inline constexpr ControlId kFocusOffset = 45;
inline constexpr ControlId kFocusOffsetUnit = 46;
inline constexpr ControlId kWatchdogMode = 47;
inline constexpr ControlId kActiveTime = 48;
inline constexpr ControlId kStopTime = 49;
inline constexpr ControlId kCycleLimit = 50;
inline constexpr ControlId kStopTimeUnit = 51;
inline constexpr ControlId kWatchdogState = 52;
inline constexpr ControlId kWatchdogStateGet = 53;
inline constexpr ControlId kTimerStop = 54;
inline constexpr ControlId kRestartInPause = 55;
inline constexpr ControlId kAfSensitivity = 56;
inline constexpr ControlId kQuickAf = 57;
inline constexpr ControlId kMultiAreaAf = 58;
inline constexpr ControlId kPointLightAf = 59;
inline constexpr ControlId kAfZoomMacro = 60;
inline constexpr ControlId kMfCondition = 61;
inline constexpr ControlId kLensCheck = 62;
inline constexpr ControlId kLensCondition = 63;
inline constexpr ControlId kOnePushTrigger = 64;
inline constexpr ControlId kOnePushState = 65;
inline constexpr ControlId kOnePushTime = 66;
inline constexpr ControlId kFocusInit = 67;
inline constexpr ControlId kAfReset = 68;
}  // namespace lens_controls

// ---- the panels

// What the ZOOM/FOCUS panel takes from the configuration: "AF Fast mode= " 1 offers the fast
// AF and AF search type groups on every model with the AF search capability.
struct ZoomFocusOptions {
  bool afFastMode = false;
};

const PanelDescription& zoomPanelDescription();
const PanelDescription& focusPanelDescription();
const PanelDescription& zoomFocusPanelDescription();

std::unique_ptr<PanelLogic> makeZoomPanel(PanelContext& context, PanelView& view);
std::unique_ptr<PanelLogic> makeFocusPanel(PanelContext& context, PanelView& view);
std::unique_ptr<PanelLogic> makeZoomFocusPanel(PanelContext& context, PanelView& view, ZoomFocusOptions options = {});

}  // namespace orva::panels
