#pragma once
// WHITE BALANCE (WBDLG): auto or manual white balance, gains, light source, power-on and fixed mode.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::picture {

const PanelDescription& whiteBalanceDescription();
std::unique_ptr<PanelLogic> makeWhiteBalancePanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::picture
