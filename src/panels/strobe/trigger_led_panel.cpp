#include "panels/strobe/trigger_led_panel.hpp"

namespace orva::panels::strobe {
namespace {

constexpr ControlDescription kControls[] = {closeButton(1, "CLOSE")};
constexpr PanelDescription kPanel{.id = PanelId::TriggerLed, .title = "Trg-LED, ZOOM Control", .controls = kControls};

}  // namespace

const PanelDescription& triggerLedDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeTriggerLedPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<PanelLogic>(kPanel, context, view);
}

}  // namespace orva::panels::strobe
