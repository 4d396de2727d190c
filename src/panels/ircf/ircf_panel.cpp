#include "panels/ircf/ircf_panels.hpp"

namespace orva::panels::ircf {
namespace {

constexpr ControlDescription kControls[] = {closeButton(1, "CLOSE")};
constexpr PanelDescription kPanel{.id = PanelId::IrcfRemove, .title = "IRcf CONTROL", .controls = kControls};

}  // namespace

const PanelDescription& ircfDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeIrcfPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<PanelLogic>(kPanel, context, view);
}

}  // namespace orva::panels::ircf
