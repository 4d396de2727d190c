#pragma once
// Trigger-LED / ZOOM Control (IDD_LED_DLG), opened by the launcher's "IRcf REMOVE" while the
// configuration's "LED Control =" is 1 or 2: the timing of a triggered LED flash and of a
// triggered zoom, and the trigger mask. Every field lives in the camera's EEPROM, and the
// camera keeps a RAM mirror of each at the EEPROM address + 0xA558.
//
// Target: with "LED Control =" 2 the check "EEPROM　書込みなし" is shown ticked and every field
// goes to the RAM mirror; otherwise it is hidden and fields go to the EEPROM. Toggling it
// switches the target. Reads follow the target as writes do, so the panel always shows the
// memory it changes: switching reads every field again from the new target.
//
// Open: the heading, the video standard (0xFF08 bit 5, echo hidden) for the time texts, then
// the pattern, every field and the trigger zoom switch. A failed read closes the panel.
//
// Fields step with arrows, clamped to their range and written only when they changed; a
// failed write keeps the old value shown and the panel open. Fields in part of a byte (the
// see-through nibbles, "Target Mag [z1]") and the pattern and zoom switch bits read their
// byte afresh from the target and write it back with only their bits changed; a failed read
// writes nothing. A failed write (or read) of the pattern or the zoom switch closes the panel.
// Time fields show "Time=%-6.1f [ms]" beside them: the value times 16.666 ms on 60 Hz or
// 20.0 ms on 50 Hz, twice that for the double-time fields, every digit shown.
//
// "default" writes "++ WRITE - defalut data ++", then the 18 default values to the EEPROM
// addresses whatever the target, then the heading again and reads every field. The first
// failed write stops the writes, writes no heading and reads every field again; a failed read
// there closes the panel as on open.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::strobe {

// The controls, in a namespace of their own: the STROBE panel shares the folder's namespace.
namespace led {

inline constexpr ControlId kLedPattern = 1;
inline constexpr ControlId kTrgTime0 = 2;
inline constexpr ControlId kTime0 = 3;
inline constexpr ControlId kLedOnTime1 = 4;
inline constexpr ControlId kTime1 = 5;
inline constexpr ControlId kLedOnTime2 = 6;
inline constexpr ControlId kTime2 = 7;
inline constexpr ControlId kLedOnCount = 8;
inline constexpr ControlId kAgcLevel = 9;
inline constexpr ControlId kWhichAllows = 10;
inline constexpr ControlId kLedOn = 11;
inline constexpr ControlId kHCenter = 12;
inline constexpr ControlId kVCenter = 13;
inline constexpr ControlId kHWidth = 14;
inline constexpr ControlId kVWidth = 15;
inline constexpr ControlId kShadeLevel = 16;
inline constexpr ControlId kRyLevel = 17;
inline constexpr ControlId kByLevel = 18;
inline constexpr ControlId kChroma = 19;
inline constexpr ControlId kLuminance = 20;
inline constexpr ControlId kTrgTime3 = 21;
inline constexpr ControlId kTime3 = 22;
inline constexpr ControlId kWaitTime6 = 23;
inline constexpr ControlId kTime6 = 24;
inline constexpr ControlId kTargetMag = 25;
inline constexpr ControlId kZoomSwitch = 26;
inline constexpr ControlId kZoomState = 27;
inline constexpr ControlId kNoEeprom = 28;
inline constexpr ControlId kDefault = 29;
inline constexpr ControlId kClose = 30;

}  // namespace led

const PanelDescription& triggerLedDescription();
std::unique_ptr<PanelLogic> makeTriggerLedPanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::strobe
