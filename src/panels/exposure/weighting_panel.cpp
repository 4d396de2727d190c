#include "panels/exposure/ae_panel.hpp"

namespace orva::panels::exposure {
namespace {

constexpr ControlDescription kControls[] = {closeButton(1, "CLOSE")};
constexpr PanelDescription kPanel{.id = PanelId::WeightingData, .title = "Luminance Weighting Data", .controls = kControls};

}  // namespace

const PanelDescription& weightingDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeWeightingPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<PanelLogic>(kPanel, context, view);
}

}  // namespace orva::panels::exposure
