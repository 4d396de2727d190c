#pragma once
// BACK LIGHT COMP. (BLCDLG) and APERTURE LEVEL (APERTUREDLG): levels set by entry or by the level adjuster.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::picture {

const PanelDescription& backLightDescription();
std::unique_ptr<PanelLogic> makeBackLightPanel(PanelContext& context, PanelView& view);
const PanelDescription& apertureDescription();
std::unique_ptr<PanelLogic> makeAperturePanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::picture
