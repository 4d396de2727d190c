#include "panels/strobe/strobe_panel.hpp"

namespace orva::panels::strobe {
namespace {

constexpr ControlDescription kControls[] = {closeButton(1, "CLOSE")};
constexpr PanelDescription kPanel{.id = PanelId::Strobe, .title = "STROBE", .controls = kControls};

}  // namespace

const PanelDescription& strobeDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeStrobePanel(PanelContext& context, PanelView& view) {
  return std::make_unique<PanelLogic>(kPanel, context, view);
}

}  // namespace orva::panels::strobe
