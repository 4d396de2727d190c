#include "panels/exposure/exposure_panels.hpp"

namespace orva::panels::exposure {
namespace {

constexpr ControlDescription kControls[] = {closeButton(1, "CLOSE")};
constexpr PanelDescription kPanel{.id = PanelId::Agc, .title = "AGC", .controls = kControls};

}  // namespace

const PanelDescription& agcDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeAgcPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<PanelLogic>(kPanel, context, view);
}

}  // namespace orva::panels::exposure
