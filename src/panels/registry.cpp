#include "panels/registry.hpp"

#include "panels/camera_type_panel.hpp"

namespace orva::panels {

const PanelDescription* panelDescription(PanelId panel) {
  switch (panel) {
    case PanelId::CameraType: return &camera_type::description();
    default: return nullptr;
  }
}

std::unique_ptr<PanelLogic> makePanel(PanelId panel, PanelContext& context, PanelView& view) {
  const PanelDescription* description = panelDescription(panel);
  if (description == nullptr) return nullptr;
  // Panels without rules of their own run their description as it stands.
  return std::make_unique<PanelLogic>(*description, context, view);
}

}  // namespace orva::panels
