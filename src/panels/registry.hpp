#pragma once
// The panels this build offers: for each, its description and the logic that runs it. A panel
// the launcher routes to but that is not here yet is reported by the caller as not available.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_id.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels {

// Null for a panel this build does not have.
const PanelDescription* panelDescription(PanelId panel);
// What panels take from the configuration (ORVA.ini).
struct PanelOptions {
  bool afFastMode = false;  // "AF Fast mode= " not 0
};

// The logic of a panel this build has; null otherwise.
std::unique_ptr<PanelLogic> makePanel(PanelId panel, PanelContext& context, PanelView& view,
                                      const PanelOptions& options = {});

}  // namespace orva::panels
