#pragma once
// AE Control (PAEDLG) and its Luminance Weighting Data sub-panel (AREA_6_SET).
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::exposure {

const PanelDescription& aeDescription();
std::unique_ptr<PanelLogic> makeAePanel(PanelContext& context, PanelView& view);
const PanelDescription& weightingDescription();
std::unique_ptr<PanelLogic> makeWeightingPanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::exposure
