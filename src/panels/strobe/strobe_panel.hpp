#pragma once
// STROBE: strobe outputs A, B and C, the strobe link, manual exposure sets and the trigger.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::strobe {

const PanelDescription& strobeDescription();
std::unique_ptr<PanelLogic> makeStrobePanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::strobe
