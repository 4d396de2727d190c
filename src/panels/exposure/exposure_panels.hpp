#pragma once
// EXPOSURE CONTROL (EXPOSUREDLG), SHUTTER SPEED (SHUTTERDLG) and AGC (AGCDLG): iris, shutter and gain.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::exposure {

const PanelDescription& exposureDescription();
std::unique_ptr<PanelLogic> makeExposurePanel(PanelContext& context, PanelView& view);
const PanelDescription& shutterDescription();
std::unique_ptr<PanelLogic> makeShutterPanel(PanelContext& context, PanelView& view);
const PanelDescription& agcDescription();
std::unique_ptr<PanelLogic> makeAgcPanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::exposure
