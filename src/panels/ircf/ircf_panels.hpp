#pragma once
// IRcf CONTROL (IRREMOVEDLG) and PL Filter (PLFILTER), both opened by the launcher's IRcf REMOVE button.
#include <memory>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::ircf {

const PanelDescription& ircfDescription();
std::unique_ptr<PanelLogic> makeIrcfPanel(PanelContext& context, PanelView& view);
const PanelDescription& plFilterDescription();
std::unique_ptr<PanelLogic> makePlFilterPanel(PanelContext& context, PanelView& view);

}  // namespace orva::panels::ircf
