#pragma once
// STROBE: strobe outputs A, B and C that follow the frame timing, the link between the strobe
// and the day/twilight/night state, the night and twilight manual exposure sets, and the
// camera's trigger input. Registers only (EAP).
//
// Open: the heading, then every register once, each shown in every control it holds. Under
// AFP the panel opens, reads nothing and disables every control: these settings are taken in
// register form only, and a control that changed without sending would show what the camera
// does not hold.
//
// Two-way choices and the lists on register bits read their register afresh, rewrite only
// their bits and write their heading once the camera has it; a failed read writes nothing and
// no heading, and a failed write leaves the control as it was. "Mode" enables the manual
// twilight or night entries, "Auto Control Selector" the peak exposure entries for NotFix. A
// status value past the texts (0xFFC0 above 3, 0xFFA5 above 7) shows nothing. The software
// trigger buttons write their heading, then their code to 0xFF96. "Frame Delay" and "Pilot
// Delay" wrap round their small ranges; "Pilot Delay" rewrites bits 0-2 of its register only.
#include <cstddef>
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::strobe {

// Strobe link.
inline constexpr ControlId kLinkSwitch = 1;
inline constexpr ControlId kMode = 2;
inline constexpr ControlId kLinkStatus = 3;
inline constexpr ControlId kLinkGet = 4;
// What the three outputs share.
inline constexpr ControlId kAcquisitionMode = 5;
inline constexpr ControlId kActivation = 6;
inline constexpr ControlId kRate = 7;
inline constexpr ControlId kMask = 8;
inline constexpr ControlId kPilotWidth = 9;
inline constexpr ControlId kPilotDelay = 10;
inline constexpr ControlId kGateWidth = 11;
inline constexpr ControlId kForceStrobeSwitch = 12;
// Trigger.
inline constexpr ControlId kSource = 13;
inline constexpr ControlId kTriggerStatus = 14;
inline constexpr ControlId kTriggerGet = 15;
inline constexpr ControlId kFirstSoftwareTrigger = 16;  // "A" .. "ABC": 16 .. 22
inline constexpr std::size_t kSoftwareTriggers = 7;
// Exposure of the strobe link states.
inline constexpr ControlId kAutoControlSelector = 23;
inline constexpr ControlId kAverageNight = 24;
inline constexpr ControlId kAverageTwilight = 25;
inline constexpr ControlId kPeakNight = 26;
inline constexpr ControlId kPeakTwilight = 27;
inline constexpr ControlId kFirstManualNight = 30;     // five entries: 30 .. 34
inline constexpr ControlId kFirstManualTwilight = 35;  // five entries: 35 .. 39
inline constexpr std::size_t kManualEntries = 5;
inline constexpr ControlId kClose = 99;

// Each strobe output's controls: the output's base plus one of these.
enum class OutputControl : ControlId { Switch, Assert, EdgeType, LightMode, MovieOn, FrameDelay, Rise, Width };
inline constexpr std::size_t kOutputs = 3;  // A, B, C
constexpr ControlId outputControl(std::size_t output, OutputControl which) {
  return static_cast<ControlId>(40 + 10 * output + static_cast<ControlId>(which));
}

const PanelDescription& strobeDescription();
std::unique_ptr<PanelLogic> makeStrobePanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::strobe
