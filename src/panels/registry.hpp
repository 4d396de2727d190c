#pragma once
// The panels this build offers: one row per panel with its description and the logic that runs
// it. Both the question "does this build have the panel" and its creation read the same table,
// so a panel is added by adding its row. A panel the launcher routes to but that has no row yet
// is reported by the caller as not available.
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "panels/panel_description.hpp"
#include "panels/panel_id.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels {

// What panels take from the configuration (ORVA.ini).
struct PanelOptions {
  bool afFastMode = false;  // "AF Fast mode= " not 0
};

struct PanelRow {
  PanelId id;
  // The name scripts and the command line know the panel by: stable, lower case.
  std::string_view name;
  const PanelDescription& (*description)();
  std::unique_ptr<PanelLogic> (*make)(PanelContext& context, PanelView& view, const PanelOptions& options);
  // A sub-panel: the panel whose control opens it (offered wherever that one is); none for a
  // panel of its own.
  std::optional<PanelId> openedFrom = std::nullopt;
};

// Every panel this build has, each once.
std::span<const PanelRow> panelRows();

// The row of the panel with this name; null for none.
const PanelRow* findPanel(std::string_view name);

// Null for a panel this build does not have.
const PanelDescription* panelDescription(PanelId panel);

// The logic of a panel this build has; null otherwise.
std::unique_ptr<PanelLogic> makePanel(PanelId panel, PanelContext& context, PanelView& view,
                                      const PanelOptions& options = {});

}  // namespace orva::panels
