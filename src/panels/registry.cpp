#include "panels/registry.hpp"

#include "panels/camera_type_panel.hpp"
#include "panels/lens/lens_panels.hpp"

namespace orva::panels {

const PanelDescription* panelDescription(PanelId panel) {
  switch (panel) {
    case PanelId::CameraType: return &camera_type::description();
    case PanelId::Zoom: return &lens::zoomPanelDescription();
    case PanelId::Focus: return &lens::focusPanelDescription();
    case PanelId::ZoomFocus: return &lens::zoomFocusPanelDescription();
    default: return nullptr;
  }
}

std::unique_ptr<PanelLogic> makePanel(PanelId panel, PanelContext& context, PanelView& view,
                                      const PanelOptions& options) {
  const PanelDescription* description = panelDescription(panel);
  if (description == nullptr) return nullptr;
  switch (panel) {
    case PanelId::Zoom: return lens::makeZoomPanel(context, view);
    case PanelId::Focus: return lens::makeFocusPanel(context, view);
    case PanelId::ZoomFocus: return lens::makeZoomFocusPanel(context, view, {options.afFastMode});
    default: break;
  }
  // Panels without rules of their own run their description as it stands.
  return std::make_unique<PanelLogic>(*description, context, view);
}

}  // namespace orva::panels
