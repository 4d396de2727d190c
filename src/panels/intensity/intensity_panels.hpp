#pragma once
// The launcher's "Enhanced Intensity": the older panel NIGHTSCOPE (EAP registers only) and the
// newer ENHANCEDINTENSITY (both protocols), both titled "Enhanced Intensity". The launcher
// opens the first on models with feature word bit 11 and, once it was closed by the operator,
// the second on models with bit 15. Neither writes a heading on open or checks the port: a
// closed port shows as a failed read, which closes the panel (and ends the chain).
//
// NIGHTSCOPE: three lists ("Switch" and the "Dark" and "Bright" effect levels), each written
// to its register when the operator picks another entry, after the heading naming the entry.
// The camera's functions have no form for them, so in AFP the panel reads nothing, sends
// nothing and shows its lists disabled with no entry selected, rather than pretending to
// change what it cannot reach.
//
// ENHANCEDINTENSITY: the "Mode" list (with whiteout reduction on models whose extra option
// word has bit 14) and the effect levels as two hex digits with "Set". Entirely declared; a
// refused level ("G1", nothing) sends nothing and does not beep.
#include <cstdint>
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::intensity {

// NIGHTSCOPE
inline constexpr ControlId kSwitch = 1;
inline constexpr ControlId kDark = 2;
inline constexpr ControlId kBright = 3;
inline constexpr ControlId kNightScopeClose = 4;

// ENHANCEDINTENSITY
inline constexpr ControlId kMode = 10;          // "Off", "On"
inline constexpr ControlId kModeWhiteout = 11;  // "Off", "On(Enhanced Intensity)", "On(Whiteout Reduction)"
inline constexpr ControlId kEffectLevel = 12;
inline constexpr ControlId kEffectLevelUnit = 13;
inline constexpr ControlId kWhiteoutLevel = 14;
inline constexpr ControlId kWhiteoutLevelUnit = 15;
inline constexpr ControlId kEnhancedClose = 16;

// Extra option word bit 14: the camera offers whiteout reduction.
inline constexpr std::uint16_t kExtraWhiteoutReduction = 0x4000;

const PanelDescription& nightScopeDescription();
const PanelDescription& enhancedIntensityDescription();

std::unique_ptr<PanelLogic> makeNightScope(PanelContext& context, PanelView& view);

}  // namespace orva::panels::intensity
