#pragma once
// The camera type window, opened by the launcher's "Ver": the port guard and its heading on
// open, then "Get" reads the camera type code (EAP 0xE1ED, AFP 0x0183) and shows it as four
// hex digits beside "[HEX]"; a failed read changes nothing.
#include "panels/panel_description.hpp"

namespace orva::panels::camera_type {

inline constexpr ControlId kTypeCode = 1;
inline constexpr ControlId kUnit = 2;
inline constexpr ControlId kGet = 3;
inline constexpr ControlId kClose = 4;

const PanelDescription& description();

}  // namespace orva::panels::camera_type
