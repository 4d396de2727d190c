#include "panels/picture/white_balance_panel.hpp"

namespace orva::panels::picture {
namespace {

constexpr ControlDescription kControls[] = {closeButton(1, "CLOSE")};
constexpr PanelDescription kPanel{.id = PanelId::WhiteBalance, .title = "WHITE BALANCE", .controls = kControls};

}  // namespace

const PanelDescription& whiteBalanceDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeWhiteBalancePanel(PanelContext& context, PanelView& view) {
  return std::make_unique<PanelLogic>(kPanel, context, view);
}

}  // namespace orva::panels::picture
