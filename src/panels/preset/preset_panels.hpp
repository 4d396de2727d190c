#pragma once
// MEM-PRESET and DIRECT-PRESET: the lens sent to a stored zoom/focus pair or to a fixed position
// of the lens's direct tables, with the camera's preset status watched on the operation slot.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "camera/model_record.hpp"
#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::preset {

// MEM-PRESET
inline constexpr ControlId kMemory1 = 1;  // kMemory1 + n - 1, n = 1..4
inline constexpr ControlId kPreset1 = 5;  // kPreset1 + n - 1
inline constexpr ControlId kType = 9;
inline constexpr ControlId kContinuous = 10;
inline constexpr ControlId kStatus = 11;
inline constexpr ControlId kCancel = 12;
inline constexpr ControlId kClose = 13;
// DIRECT-PRESET (with kContinuous, kStatus, kCancel, kClose)
inline constexpr ControlId kZoom = 20;
inline constexpr ControlId kFocus = 21;
inline constexpr ControlId kSetZoom = 22;
inline constexpr ControlId kSetFocus = 23;

inline constexpr int kMemoryCount = 4;

const PanelDescription& memPresetDescription();
const PanelDescription& directPresetDescription();
std::unique_ptr<PanelLogic> makeMemPresetPanel(PanelContext& context, PanelView& view);
std::unique_ptr<PanelLogic> makeDirectPresetPanel(PanelContext& context, PanelView& view);

// ---- the direct tables

// The Zoom list of a model: "x1" up to the lens maximum, then, with digital zoom, the digital
// steps 2 to 12 times the lens maximum ("x60D" .. "x360D" on a 30x lens).
std::vector<std::string> zoomNames(const camera::ModelRecord& m);
// The zoom position of each Zoom list entry: 0 at x1, rising to 0x6400 at the lens maximum.
// The 20x lens has its own measured table; the other lenses start each magnification where
// their step list (camera/lens_tables) ends the band below it. The digital steps continue
// past the tele end, 0x100 apart.
std::vector<std::uint16_t> zoomPositions(const camera::ModelRecord& m);
// How many Focus list entries a model offers: all 13, or up to "1m" on the short x3 lens.
int focusCount(const camera::ModelRecord& m);

}  // namespace orva::panels::preset
