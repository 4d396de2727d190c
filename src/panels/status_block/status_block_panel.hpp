#pragma once
// BLOCK READ (resource 311, AFP only): the camera's status block, function F101 read with EE in
// one exchange, shown as read-only lists, toggles and four-digit positions; nothing is ever
// written to the camera.
//
// Open: the heading "<< BlockRead ... >>"; the camera mode (function 0185) is read first, since
// the slow shutter ranges of the newest families depend on it; then the block. Either read
// failing closes the panel. "Read Settings" reads the block again, and a failed read leaves the
// panel as it was. "Close" closes it.
//
// The block: bytes B1 to B6, then words W1 to W5.
//   B1  0 focus mode, 1 continuous digital zoom, 2 instant digital zoom, 3 focusing, 4 zooming
//   B2  0 IR cut filter in, 1 back light compensation, 2 whiteout reduction (with B4 bit 7)
//   B3  0-2 slow shutter range (value 1 the first; 0 none), 4-7 program AE mode
//   B4  0-2 defog, 3 manual white balance, 4 manual aperture, 5 WDR on, 6 manual WDR,
//       7 enhanced intensity on
//   B5  0-2 white balance light source in auto, 4-6 WDR mode
//   B6  0-6 privacy mask, fade, reverse, freeze, motion detection, motion tracking, EIS
//   W1-W5  focus, zoom, iris, shutter and AGC positions
// A value past the entries this model's list has selects nothing.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::status_block {

namespace controls {
// Lens.
inline constexpr ControlId kFocusMode = 1;
inline constexpr ControlId kContinuousZoom = 2;
inline constexpr ControlId kInstantZoom = 3;
inline constexpr ControlId kFocusMotion = 4;
inline constexpr ControlId kZoomMotion = 5;
// AE.
inline constexpr ControlId kIrcf = 10;
inline constexpr ControlId kBlc = 11;
inline constexpr ControlId kDss = 12;
inline constexpr ControlId kAeMode = 13;
// Image.
inline constexpr ControlId kDefog = 20;
inline constexpr ControlId kWhiteBalance = 21;
inline constexpr ControlId kAperture = 22;
inline constexpr ControlId kWdrOnOff = 23;
inline constexpr ControlId kWdrAutoManual = 24;
inline constexpr ControlId kIntensity = 25;
inline constexpr ControlId kWbAuto = 26;
inline constexpr ControlId kWdrMode = 27;
// Function: B6 bits 0 to 6.
inline constexpr ControlId kPrivacyMask = 30;
inline constexpr ControlId kFade = 31;
inline constexpr ControlId kReverse = 32;
inline constexpr ControlId kFreeze = 33;
inline constexpr ControlId kMotionDetect = 34;
inline constexpr ControlId kMotionTracking = 35;
inline constexpr ControlId kEis = 36;
// Positions: W1 to W5.
inline constexpr ControlId kFocusPosition = 40;
inline constexpr ControlId kZoomPosition = 41;
inline constexpr ControlId kIrisPosition = 42;
inline constexpr ControlId kShutterPosition = 43;
inline constexpr ControlId kAgcPosition = 44;

inline constexpr ControlId kReadSettings = 50;
inline constexpr ControlId kClose = 51;
}  // namespace controls

const PanelDescription& description();
std::unique_ptr<PanelLogic> makePanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::status_block
