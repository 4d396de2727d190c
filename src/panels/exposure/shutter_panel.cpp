#include "panels/exposure/exposure_panels.hpp"

namespace orva::panels::exposure {
namespace {

constexpr ControlDescription kControls[] = {closeButton(1, "CLOSE")};
constexpr PanelDescription kPanel{.id = PanelId::ShutterSpeed, .title = "SHUTTER SPEED", .controls = kControls};

}  // namespace

const PanelDescription& shutterDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeShutterPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<PanelLogic>(kPanel, context, view);
}

}  // namespace orva::panels::exposure
