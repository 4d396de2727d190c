#pragma once
// Trigger-LED / ZOOM Control (IDD_LED_DLG): triggered LED flash and zoom timing, trigger mask.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::strobe {

const PanelDescription& triggerLedDescription();
std::unique_ptr<PanelLogic> makeTriggerLedPanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::strobe
