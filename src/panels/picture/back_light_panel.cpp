#include "panels/picture/level_panels.hpp"

namespace orva::panels::picture {
namespace {

constexpr ControlDescription kControls[] = {closeButton(1, "CLOSE")};
constexpr PanelDescription kPanel{.id = PanelId::BackLight, .title = "BACK LIGHT COMP.", .controls = kControls};

}  // namespace

const PanelDescription& backLightDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeBackLightPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<PanelLogic>(kPanel, context, view);
}

}  // namespace orva::panels::picture
