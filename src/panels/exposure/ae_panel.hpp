#pragma once
// AE Control (PAEDLG, heading "<< AE MODE >>") and its Luminance Weighting Data sub-panel
// (AREA_6_SET).
//
// AE Control. The mode: seven main buttons ("AE MODE") and the sub-modes of "Program AE" and
// "Program AE+", all one setting (0xFCC8, AFP 0x2105 with its own numbering). The logic owns
// the three groups: a choice writes its code and, once the camera took it, every group shows
// the new mode (a sub-mode selects its main button, the other group's sub-mode goes), the
// launcher's AE MODE field is read again and the mode's parameter group is enabled, the others
// disabled. A failed write leaves all of them as they were. Entering "Shutter Priority",
// "Exposure Priority" or "AGC Priority", the panel waits 1000 ms on the operation slot (off
// the window thread) and then reads the camera's parameter (0xFCC9) to select its button;
// entering "Full Manual" or "Exposure Shutter Priority" it reads the full manual values at
// once. Opening reads the mode and the current mode's parameter without a wait.
// "Shutter(0.5s)→1/180" / "Shutter(0.1s)→1/180" write 0xFCC9 = 5 (when Shutter Priority is
// selected) and the mode, wait 500 / 80 ms, write 0xFCC9 = 7 and select from 0xFCC9 again;
// their parameter writes are register writes (through the gateway in AFP), as the mode table
// gives them.
//
// Parameters: shutter speeds (0x210B), F-numbers (0x210C), gains (0x2303), all 0xFCC9 in EAP.
// The shutter captions follow the camera's standard (0xFF08 bit 5, read on open); the models
// of the 0x13F0 to 0x16F0 families have their own codes, in a button group of their own with
// sixteen buttons (their sixteenth code would repeat the fourteenth's). The code-16 button
// some cameras carry is on no model of ours. The F-numbers "F9.0 ", "F11.0 ", "F22.0 " are the
// captions of the 0x19F0 to 0x1DF0 families. Full manual values: four hex digits each,
// refused with a beep and nothing written when they are no hex number of at most four digits
// or outside the model's range; the shutter's range may need the camera mode (0x1701 / 0x0185)
// and the gain's the camera's maximum AGC gain (0xFD46 / 0x3401), read at "Set".
//
// Iris offsets "average" / "peak": two hex digits to the register the camera's state chooses
// (0xFF32, with 0xFF90 on models with WDR, and 0xFF57: irisTarget), read on open from there;
// "WDR Status" shows 0xFF32. Image freeze 0xFF33 on every model (the 0xD0 family included):
// either ON disables the other ON button and both mirror buttons; mirror ON disables the
// three freeze buttons. Mosaic ON switches continuous digital zoom off (0xFCCB = 0) first;
// ON and OFF write "-- MOSAIC --" to the monitor before 0xFF3A. The registers without a
// function (iris offsets, chart, clarity, freeze, mirror, mosaic) go through the gateway in
// AFP. Every control is offered on every model that offers the panel, "Set the weighting
// data" included.
//
// Luminance Weighting Data: six read-only areas ("%06X"), three bytes each from 0xFAE0 (AFP:
// 0x2107 with the area's number), read on open and by "Read" after "<< Read the Weighting
// Data >>"; "Set" writes "<< Weighting Data Set >>", four hex digits to 0xFDA0 (AFP 0x2108)
// and reads the areas again. The entry opens with the value last set (0xFDA0 in both
// protocols: the function only sets it).
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::exposure {

// AE Control
inline constexpr ControlId kAeMode = 1;          // the seven main buttons
inline constexpr ControlId kProgramAe = 2;       // "Program AE", "Program AER1", "Program AER2"
inline constexpr ControlId kProgramAePlus = 3;   // "Program AE+" to "Program AER+3"
inline constexpr ControlId kShutterSpeeds = 4;
inline constexpr ControlId kShutterSpeedsShifted = 5;  // the 0x13F0 to 0x16F0 families
inline constexpr ControlId kFNumbers = 6;
inline constexpr ControlId kGains = 7;
inline constexpr ControlId kManualExposure = 8;
inline constexpr ControlId kManualShutter = 9;
inline constexpr ControlId kManualGain = 10;
inline constexpr ControlId kEspExposure = 11;
inline constexpr ControlId kEspShutter = 12;
inline constexpr ControlId kHalfSecond = 13;
inline constexpr ControlId kTenthSecond = 14;
inline constexpr ControlId kIrisAverage = 15;
inline constexpr ControlId kIrisPeak = 16;
inline constexpr ControlId kWdrStatus = 17;
inline constexpr ControlId kSlowAe = 18;
inline constexpr ControlId kNewAeChart = 19;
inline constexpr ControlId kClarity = 20;
inline constexpr ControlId kFreeze = 21;
inline constexpr ControlId kMirror = 22;
inline constexpr ControlId kMosaic = 23;
inline constexpr ControlId kOpenWeighting = 24;
inline constexpr ControlId kAeClose = 25;

// Luminance Weighting Data
inline constexpr ControlId kWeightingData = 1;
inline constexpr ControlId kFirstArea = 2;  // areas 1 to 6: 2 to 7
inline constexpr ControlId kReadAreas = 8;
inline constexpr ControlId kWeightingClose = 9;

const PanelDescription& aeDescription();
std::unique_ptr<PanelLogic> makeAePanel(PanelContext& context, PanelView& view);
const PanelDescription& weightingDescription();
std::unique_ptr<PanelLogic> makeWeightingPanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::exposure
