#include "panels/picture/picture_panel.hpp"

namespace orva::panels::picture {
namespace {

constexpr ControlDescription kControls[] = {closeButton(1, "CLOSE")};
constexpr PanelDescription kPanel{.id = PanelId::Picture, .title = "AGC", .controls = kControls};

}  // namespace

const PanelDescription& pictureDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makePicturePanel(PanelContext& context, PanelView& view) {
  return std::make_unique<PanelLogic>(kPanel, context, view);
}

}  // namespace orva::panels::picture
