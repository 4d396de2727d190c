#pragma once
// The picture panel (AGCDLG2, title "AGC"), which the launcher's AGC button opens on the newer
// models and its "PICTURE" button wherever the aperture button is so captioned: maximum AGC
// gain, colour level, the Y and C gamma curves, picture mode and zoom sensitivity boost. Which
// models offer what is in picture_settings.hpp.
//
// Maximum AGC gain: whole dB, 0 to the model's limit (the spin's range), taken when the entry
// changes (typed or spun) and by its "Set"; out of range beeps and sends nothing. It writes dB x
// 32, plus the gain offset on the models that have one (a failed read of the offset sends
// nothing), to 0xFD46 (AFP 0x3401, whose byte carries the reference byte), then the reference
// byte (that value / 8) to 0xFF6D, 0xB5BC or 0xFA20 by model and picture mode. The entry keeps
// the operator's dB.
//
// Colour level and the two gamma curves: five hex entries each, sent by the group's one "Set"
// under its heading, to the five registers of the current picture mode's set (AFP: the group's
// function with five bytes, which the camera applies to its current mode). All five are checked
// first: one that is no two-digit hex number beeps and nothing is sent. An entry's own Return
// is its group's "Set". Without gamma curves the gamma groups are disabled and not read.
//
// "mode" (picture mode) reads 0xFF60, steps 1, 2, 3, 4, 1 (2 back to 1 on two-mode models),
// writes the new mode's heading and the mode, then reads the groups of the new mode. A value
// outside 1 to 4 is shown as read, picks mode 1's registers, and steps to 1. "mode" (zoom
// sensitivity) reads 0xFB5C, writes the other state under its heading and shows it.
//
// A failed read while opening closes the panel (the 0x10F4 limit has a fallback instead); a
// failed write leaves what the entries show.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::picture::agc2 {

inline constexpr ControlId kGain = 1;
inline constexpr ControlId kGainUnit = 2;
inline constexpr ControlId kGainSet = 3;
// Each group: five entries from `first`, then its "Set".
struct GroupIds {
  ControlId first;
  ControlId set;
};
inline constexpr GroupIds kChroma{4, 9};       // "Chroma Suppression level"
inline constexpr GroupIds kColorLevel{10, 15};  // the same, captioned "Color Level"
inline constexpr GroupIds kYGamma{16, 21};
inline constexpr GroupIds kCGamma{22, 27};
inline constexpr ControlId kPictureModeField = 28;
inline constexpr ControlId kPictureModeButton = 29;
inline constexpr ControlId kZoomSens = 30;
inline constexpr ControlId kZoomSensButton = 31;
inline constexpr ControlId kZoomSensPlus = 32;
inline constexpr ControlId kZoomSensPlusButton = 33;
inline constexpr ControlId kClose = 34;

}  // namespace orva::panels::picture::agc2

namespace orva::panels::picture {

const PanelDescription& pictureDescription();
std::unique_ptr<PanelLogic> makePicturePanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::picture
