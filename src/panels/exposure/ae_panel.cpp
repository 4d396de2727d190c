#include "panels/exposure/ae_panel.hpp"

namespace orva::panels::exposure {
namespace {

constexpr ControlDescription kControls[] = {closeButton(1, "CLOSE")};
constexpr PanelDescription kPanel{.id = PanelId::Ae, .title = "AE MODE", .controls = kControls};

}  // namespace

const PanelDescription& aeDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeAePanel(PanelContext& context, PanelView& view) {
  return std::make_unique<PanelLogic>(kPanel, context, view);
}

}  // namespace orva::panels::exposure
