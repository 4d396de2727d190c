#pragma once
// The lens panels' control ids and timers: the same numbers in every lens panel that has them,
// so the shared zoom part and the tests address a control the same way in each panel.
#include <chrono>

#include "panels/panel_description.hpp"

namespace orva::panels::lens {

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
namespace controls {
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
}  // namespace controls

}  // namespace orva::panels::lens
