#pragma once
// The three lens panels: ZOOM CONTROL (ZOOMDLG), FOCUS (FOCUSDLG) and ZOOM/FOCUS CONTROL
// (ZOOMFOCUSDLG), as the registry creates them. The lens operations they share are in
// lens_operations.hpp, their control ids and timers in lens_controls.hpp.
//
// Zoom part (ZOOM CONTROL, and ZOOM/FOCUS CONTROL with its slow speeds):
// - Speed buttons with the lens's travel times as captions; a button already selected sends
//   nothing; "HIGH SPEED" is refused on the family 0x20.
// - The slider of zoom steps, 0 to the lens's slider top, with the four scale labels. A move
//   runs on the operation slot (moveZoom): bounded by the travel time at the selected speed,
//   given up when the lens stalls, and always ended with the stop. Closing the panel stops a move it started.
// - The wide and tele arrows drive the zoom while held, and a press starts the position
//   polling (timer 2, 200 ms) that follows the lens until the drive reads stopped or a read
//   fails.
// - Instant digital zoom (0xFF0F bit 7) with its magnification (tenths, 1.0 to 2.0) and
//   continuous digital zoom (0xFCCB) with its coded maximum; the magnification read-out.
//
// FOCUS: "auto" / "manual" (0xFF0E bit 3); the near and far arrows only in manual. A change
// runs the focus mode switch (switchFocusMode).
//
// ZOOM/FOCUS CONTROL adds the zoom-cue cycle and its hold (timer 5), one-push AF (timer 4),
// the adjustment mode in which the arrows step raw motor positions (timers 6-9), the manual
// focus speed, "Set Now Zoom Position", the AF options with their headings and "36x mode" /
// "35x mode".
//
// Window thread only, except the runs they start on the operation slot.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::lens {

// What the ZOOM/FOCUS panel takes from the configuration: "AF Fast mode= " 1 offers the fast
// AF and AF search type groups on every model with the AF search capability.
struct ZoomFocusOptions {
  bool afFastMode = false;
};

const PanelDescription& zoomPanelDescription();
const PanelDescription& focusPanelDescription();
const PanelDescription& zoomFocusPanelDescription();

std::unique_ptr<PanelLogic> makeZoomPanel(PanelContext& context, PanelView& view);
std::unique_ptr<PanelLogic> makeFocusPanel(PanelContext& context, PanelView& view);
std::unique_ptr<PanelLogic> makeZoomFocusPanel(PanelContext& context, PanelView& view, ZoomFocusOptions options = {});

}  // namespace orva::panels::lens
