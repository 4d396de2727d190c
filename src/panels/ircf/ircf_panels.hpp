#pragma once
// IRcf CONTROL (IRREMOVEDLG, heading "<< IRcf REMOVE >>") and PL Filter (PLFILTER), both opened by
// the launcher's "IRcf REMOVE" button: the PL filter on the models with extra option word bit 0,
// the IR cut filter panel otherwise (the trigger LED panel with "LED Control =" 1 or 2).
//
// IRcf CONTROL. Automatic filter control is a part of the AE mode (its "R" levels), so the
// panel shows and sets the AE mode too. Its logic owns every control: the AE buttons select by
// the mode's base (EAP: the code's low nibble; AFP: 1 to 3 and 4 to 7 as one button each) and
// are offered by the model (panel word 1 bit 3 "AGC Priority", feature word bit 14 "Full
// Manual", panel word 1 bit 4 "Exposure Shutter Priority"; a button the model lacks stays
// greyed, as radio groups hide only whole); "AUTO" / "MANUAL" rewrite the AE mode with the
// conversions of ircf_settings.hpp; a manual code enables the filter buttons and reads the
// filter position, an automatic one the threshold offset. "OUT=>IN" / "IN=>OUT" send the move
// command; in EAP the panel then polls the position (at most 255 reads, the echo hidden), waits
// 700 / 600 ms and releases the command, all as a quiet run on the operation slot. The IR light
// and the threshold offset (sign and magnitude; the up arrow raises it toward +24) read the
// camera before each change. The "IR Detection Interrupt" group (extra option word bit 8, AFP
// only) switches the camera's notifications and answers its change requests: an indication
// I11T / I12T reaches the live panel only, through the dispatcher, and a press of the request
// button sends the request the panel holds, none when none is pending.
//
// Every way out after the opening lets the menus go again ("Serial Port...", "Camera Setup
// Utility"), drops the indications, and, when the panel had opened and the port is open, asks
// the host to identify the camera again; a close by the operator also switches notifications
// off where they are on.
//
// PL Filter. EAP registers only: "Control" (0xFFEE: Auto, Manual(OUT), Manual(IN)) and "Status"
// (0xFFEF: 1 "OUT", 2 "IN", anything else empty) with "Get". In AFP it reads nothing and its
// controls are disabled. "CLOSE" closes with result 1.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::ircf {

// IRcf CONTROL.
inline constexpr ControlId kAeMode = 1;         // the seven AE buttons
inline constexpr ControlId kFilterMode = 2;     // "AUTO", "MANUAL"
inline constexpr ControlId kManualControl = 3;  // "OUT=>IN", "IN=>OUT"
inline constexpr ControlId kLight = 4;          // the IR light at IRcf OUT
inline constexpr ControlId kThreshold = 5;      // the threshold offset and its arrows
inline constexpr ControlId kNotify = 6;         // "not Notify", "Notify"
inline constexpr ControlId kRequestLabel = 7;
inline constexpr ControlId kChangeRequest = 8;  // "-----", "OUT=>IN", "IN=>OUT"
inline constexpr ControlId kClose = 99;

// The AE buttons in the panel's order.
enum class AeButton : int { ProgramAe, ProgramAePlus, Shutter, Exposure, Agc, FullManual, ExposureShutter };
// Items of "IRcf MODE", "IRcf Manual control", the light and the notification.
inline constexpr int kAuto = 0;
inline constexpr int kManual = 1;
inline constexpr int kMoveIn = 0;
inline constexpr int kMoveOut = 1;
inline constexpr int kNotNotify = 0;
inline constexpr int kDoNotify = 1;

// PL Filter.
inline constexpr ControlId kPlControl = 1;
inline constexpr ControlId kPlStatus = 2;
inline constexpr ControlId kPlGet = 3;
inline constexpr ControlId kPlClose = 99;

const PanelDescription& ircfDescription();
std::unique_ptr<PanelLogic> makeIrcfPanel(PanelContext& context, PanelView& view);
const PanelDescription& plFilterDescription();
std::unique_ptr<PanelLogic> makePlFilterPanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::ircf
