#pragma once
// WHITE BALANCE (WBDLG, heading "<< WHITE BALANCE >>"): auto or manual white balance, the R and
// B gains with the level adjuster, the light source of auto white balance, the power-on mode,
// the fixed mode and a soft reset.
//
// Open: with the fixed-mode capability 0x142F bit 2 ticks "WB Fixed mode" (and disables AUTO
// and MANUAL); with "WB Ctrl mode=" not 0 the bits 0 of 0x172E and 0x1720 are read into "WB
// RBC MAX" and "newdark_rom", else both are hidden; 0xFBFF bit 3 (AFP 0x3101) selects AUTO or
// MANUAL, and MANUAL reads both gains ("%04X") and selects "R/B gain" and "FINE"; with the
// light-source capability 0xF9F2 (AFP 0x3104) selects its list entry, which is enabled in auto
// only; with the power-on capability 0x142F selects "Power On mode". A failed read closes the
// panel.
//
// Gains (0xFBBC / 0xFBBE, AFP 0x3102 / 0x3103): "Set" takes up to four hex digits (anything
// else beeps and sends nothing), limits them to 0x0080 .. the model's maximum, moves a low byte
// below 0x80 to the code below and sets bit 7; the arrows step the gains "ADJ. DATA" names
// ("R/B gain": both, R first, step by step), COARSE 5 steps of 8, FINE 2 of 4, within the same
// limits (a step down moves to the code below). When 0x142F holds 4 (the fixed mode), what is
// written goes to the fixed gains 0x1430 / 0x1432 (AFP 0x3182 / 0x3183) too; 0x142F is read
// once per "Set" or press, on models with the fixed-mode capability. A failed write during a
// burst closes the panel.
//
// "WB Fixed mode": on copies the gains to the fixed gains (below 0x0BF0 the B gain with 1 in
// its top four bits) and writes 4 to 0x142F (AFP 0x3185 = 4); off writes 0 (AFP 0x3185 = 1).
// Any failure closes the panel. The check and "Power On mode" show the one value 0x142F, so a
// change of either shows in the other. "Reset" asks, then restarts the camera on the operation
// slot (EAP 0xFCAC = 0 with its answer on the status line, AFP 0x0102 = 1), waits 7000 ms, drops
// what the line holds and opens the panel's reads again under "<< WHITE BALANCE RESET >>".
//
// Capabilities (from the model record):
// - fixed mode (check and "Reset"): the model's EEPROM range holds 0x142F .. 0x1433, where the
//   fixed mode and its gains live;
// - light source: model code from 0x0CF0, the families that carry function 0x3104;
// - power-on mode: both of the above (its list offers the light sources and the fixed mode);
// - wide gain (0x04FF): processor class 10; extended gain (0x06FF): processor class 11 and up.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::picture {

namespace wb {
inline constexpr ControlId kMode = 1;  // "AUTO" / "MANUAL"
inline constexpr ControlId kRGain = 2;
inline constexpr ControlId kBGain = 3;
inline constexpr ControlId kAdjData = 4;  // "R gain", "B gain", "R/B gain"
inline constexpr ControlId kAdjMode = 5;  // "COARSE", "FINE"
inline constexpr ControlId kDown = 6;
inline constexpr ControlId kUp = 7;
inline constexpr ControlId kLightSource = 8;
inline constexpr ControlId kFixedMode = 9;
inline constexpr ControlId kPowerOn = 10;
inline constexpr ControlId kRbcMax = 11;
inline constexpr ControlId kNewdark = 12;
inline constexpr ControlId kReset = 13;
inline constexpr ControlId kClose = 14;

// Items of the panel's own choices.
inline constexpr int kRGainData = 0;
inline constexpr int kBGainData = 1;
inline constexpr int kBothGains = 2;
inline constexpr int kCoarse = 0;
inline constexpr int kFine = 1;
}  // namespace wb

const PanelDescription& whiteBalanceDescription();
std::unique_ptr<PanelLogic> makeWhiteBalancePanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::picture
