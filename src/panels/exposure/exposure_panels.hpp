#pragma once
// EXPOSURE CONTROL (EXPOSUREDLG), SHUTTER SPEED (SHUTTERDLG) and AGC (AGCDLG): iris, shutter and
// gain, each automatic or manual by its bit of one register (exposure_settings.hpp), every
// register reached through the AFP gateway in AFP.
//
// EXPOSURE CONTROL: AUTO enables the iris offsets and disables the F-number buttons, MANUAL the
// reverse; opening in AUTO reads the offsets, and either choice reads them again, so what the
// entries show is never older than the choice. An F-number button reads the iris position and
// the direction register, writes the direction (upwards when the new position is at or above
// the present one), then the position; it shows as chosen only once both writes went through,
// and none is chosen when the panel opens or enters MANUAL. Pressed again, it drives again.
//
// SHUTTER SPEED: the speed buttons are enabled in MANUAL only, those of the other video
// standard never; MANUAL selects the button of the camera's line count (none when none
// matches). A speed writes the line count, then the fraction of the camera's standard, and is
// selected once both went through; pressed again, it writes both again.
//
// AGC: ON enables the maximum gain and the chroma suppression, OFF the fixed level only, and
// either choice reads what it enabled. Gains are whole dB, kept in 1/32 dB.
//
// Numbers the operator types beep and send nothing unless they are the entry's digits and in
// its range (gains from 0). A failed write leaves every control as it was; a failed read while
// the panel opens closes it.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::exposure {

namespace iris {
inline constexpr ControlId kMode = 1;
inline constexpr ControlId kFNumber = 2;
inline constexpr ControlId kAverage = 3;
inline constexpr ControlId kPeak = 4;
inline constexpr ControlId kClose = 5;
}  // namespace iris

namespace shutter {
inline constexpr ControlId kMode = 1;
inline constexpr ControlId kSpeed = 2;
inline constexpr ControlId kClose = 3;
}  // namespace shutter

namespace agc {
inline constexpr ControlId kMode = 1;
inline constexpr ControlId kMaximumGain = 2;
inline constexpr ControlId kMaximumUnit = 3;
inline constexpr ControlId kFixedLevel = 4;
inline constexpr ControlId kFixedUnit = 5;
inline constexpr ControlId kChroma = 6;
inline constexpr ControlId kChromaUnit = 7;
inline constexpr ControlId kClose = 8;
}  // namespace agc

const PanelDescription& exposureDescription();
std::unique_ptr<PanelLogic> makeExposurePanel(PanelContext& context, PanelView& view);
const PanelDescription& shutterDescription();
std::unique_ptr<PanelLogic> makeShutterPanel(PanelContext& context, PanelView& view);
const PanelDescription& agcDescription();
std::unique_ptr<PanelLogic> makeAgcPanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::exposure
