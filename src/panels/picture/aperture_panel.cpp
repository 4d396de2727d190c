#include "panels/picture/level_panels.hpp"

namespace orva::panels::picture {
namespace {

constexpr ControlDescription kControls[] = {closeButton(1, "CLOSE")};
constexpr PanelDescription kPanel{.id = PanelId::Aperture, .title = "APERTURE LEVEL", .controls = kControls};

}  // namespace

const PanelDescription& apertureDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeAperturePanel(PanelContext& context, PanelView& view) {
  return std::make_unique<PanelLogic>(kPanel, context, view);
}

}  // namespace orva::panels::picture
