#pragma once
// EIS setup (IDD_EIS_SET_DLG), opened by the SETUP menu's "EIS Setup": the stabiliser's
// frequency range, its on/off button and, on models with EIS level 3 or more, five tuning
// values stepped with up/down arrows (shown as four hex digits).
//
// Open: the camera must be of the family 0x53FF with one of the type codes that carry the
// stabiliser (read with the monitor's echo hidden); another camera gets "not available in this
// camera model" and the panel closes. A failed read closes it without that message: the link
// has already reported the failure, and the model may well have the function. Then the start
// heading, the frequency range and the on/off state, and the tuning values.
//
// "DEFAULT" asks first; on OK it reads the camera's own defaults from its EEPROM (echo
// hidden), scaled and kept within each value's range, and writes them to the tuning
// registers, showing each one once the camera holds it: the panel never shows a value the
// camera does not hold. Cancel leaves the panel as it was. A failed read or write closes the
// panel, as every failed write of this panel does.
#include <cstdint>
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::eis {

inline constexpr ControlId kFrequency = 1;
inline constexpr ControlId kEis = 2;
inline constexpr ControlId kDriveRange = 3;
inline constexpr ControlId kPanTiltJudge = 4;
inline constexpr ControlId kCoreVibration = 5;
inline constexpr ControlId kCoreCenter = 6;
inline constexpr ControlId kCoreBias = 7;
inline constexpr ControlId kDefault = 8;
inline constexpr ControlId kClose = 9;

// The camera family and type codes whose cameras carry the stabiliser this panel sets up.
inline constexpr std::uint16_t kAcceptedFamily = 0x53FF;
inline constexpr std::uint16_t kAcceptedTypes[] = {27, 31, 40, 53, 56, 57, 61};

const PanelDescription& description();
std::unique_ptr<PanelLogic> makePanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::eis
