#pragma once
// BACK LIGHT COMP. (BLCDLG) and APERTURE LEVEL (APERTUREDLG): levels set by entry or by the
// level adjuster (levels_adjuster.hpp).
//
// BACK LIGHT COMP.: OFF / ON; the level group (the level, ADJ. MODE and the arrows) is enabled
// while ON, and ON, at the open as by a choice, reads the level and selects FINE unless a mode
// is chosen already. The level's "Set" takes two hex digits.
//
// APERTURE LEVEL: AUTO / MANUAL on their bit; the level controls (both levels, ADJ. MODE,
// ADJ. DATA, the arrows) are enabled in MANUAL only, and MANUAL, at the open as by a choice,
// reads both levels and selects FINE and H/V unless they are chosen already. A level above the
// model's top (0x1F, or 0x3F from processor class 4 on) beeps and sends nothing; every step
// of an arrow writes "<< UP >>" or "<< DOWN >>" first, then the chosen level or both. The
// picture mode buttons write the mode; one already selected sends nothing, and a mode outside
// 1 to 4 selects none, so that any button puts a valid mode back.
//
// A failed read while the panel opens closes it; a failed write in an arrow's burst closes it;
// a failed write of a choice or a "Set" leaves what the camera had.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::picture {

namespace backlight {
inline constexpr ControlId kMode = 1;
inline constexpr ControlId kLevel = 2;
inline constexpr ControlId kLevelUnit = 3;
inline constexpr ControlId kAdjustMode = 4;
inline constexpr ControlId kDown = 5;
inline constexpr ControlId kUp = 6;
inline constexpr ControlId kClose = 7;
}  // namespace backlight

namespace aperture {
inline constexpr ControlId kMode = 1;
inline constexpr ControlId kHorizontal = 2;
inline constexpr ControlId kVertical = 3;
inline constexpr ControlId kLevelUnit = 4;
inline constexpr ControlId kAdjustMode = 5;
inline constexpr ControlId kAdjustData = 6;
inline constexpr ControlId kDown = 7;
inline constexpr ControlId kUp = 8;
inline constexpr ControlId kPictureMode = 9;
inline constexpr ControlId kClose = 10;
}  // namespace aperture

const PanelDescription& backLightDescription();
std::unique_ptr<PanelLogic> makeBackLightPanel(PanelContext& context, PanelView& view);
const PanelDescription& apertureDescription();
std::unique_ptr<PanelLogic> makeAperturePanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::picture
