#pragma once
// The picture panel (AGCDLG2, "AGC" on the newer models): maximum gain, colour level, gamma curves,
// picture mode and zoom sensitivity boost.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::picture {

const PanelDescription& pictureDescription();
std::unique_ptr<PanelLogic> makePicturePanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::picture
