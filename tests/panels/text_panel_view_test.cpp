// The text renderer: what a panel prints and which intent an action by caption stands for.
#include "panels/text_panel_view.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace orva::panels {
namespace {

constexpr Binding kAny{camera::kCameraTypeSetting};
constexpr Choice kModes[] = {{"Auto", {0, 1}}, {"Manual", {1, 2}}};
constexpr Choice kLevels[] = {{"Low", {0, 1}}, {"High", {1, 2}}};

const std::array kControls{
    check(1, "DIGI. ZOOM", kAny, {0, 1}, {1, 2}).inGroup("INSTANT"),
    check(2, "DIGI. ZOOM", kAny, {0, 1}, {1, 2}).inGroup("CONTINUOUS"),
    radio(3, "Mode", kAny, kModes),
    list(4, "", kAny, kLevels).inGroup("Sensitivity"),
    entry(5, " Offset ", kAny, Format::Hex2, 0, 0xFF),
    readout(6, kAny, Format::Hex4),
    readButton(7, "Get", 6),
    button(8, "Reset"),
    label(9, "[HEX]"),
    closeButton(10, "CLOSE"),
};
const PanelDescription kPanel{.id = PanelId::CameraType, .title = "TEST", .controls = kControls};

std::string said(const TextPanelView::Action& a) {
  if (!a.intent) return a.refusal;
  const Intent& i = *a.intent;
  const char* kinds[] = {"toggle", "choose", "enter", "click"};
  return std::string(kinds[static_cast<int>(i.kind)]) + " " + std::to_string(i.control) + " " +
         std::to_string(i.index) + " " + i.text;
}

TEST(TextPanelView, PrintsShownValuesAndTurnsActionsIntoIntents) {
  TextPanelView view(kPanel);
  view.setValue(1, 1);
  view.setEnabled(2, false);
  view.setValue(3, 1);
  view.setItemEnabled(3, 0, false);
  view.setValue(4, 0);
  view.setText(5, "2A");
  view.setText(6, "13F0");
  view.setShown(8, false);
  EXPECT_EQ(view.lines(), (std::vector<std::string>{"INSTANT/DIGI. ZOOM: on", "CONTINUOUS/DIGI. ZOOM: off (disabled)",
                                                    "Mode: Manual", "Sensitivity: Low", "Offset: 2A", "Get: 13F0"}));

  const std::pair<const char*, const char*> cases[] = {
      {"INSTANT/DIGI. ZOOM", "toggle 1 0 "},
      {"DIGI. ZOOM", "\"DIGI. ZOOM\" names more than one control; use GROUP/CAPTION"},
      {"CONTINUOUS/DIGI. ZOOM", "\"CONTINUOUS/DIGI. ZOOM\" is disabled"},
      {"Manual", "choose 3 1 "},
      {"Mode/Manual", "choose 3 1 "},
      {"Auto", "\"Auto\" is disabled"},
      {"Sensitivity=High", "choose 4 1 "},
      {"Sensitivity=Loud", "\"Loud\" is not a choice of \"Sensitivity\""},
      {"Offset=33", "enter 5 0 33"},
      {"Get", "click 7 0 "},
      {"Reset", "no control \"Reset\" on this panel"},
      {"CLOSE", "no control \"CLOSE\" on this panel"},
  };
  for (const auto& [action, expected] : cases) EXPECT_EQ(said(view.action(action)), expected) << action;
}

}  // namespace
}  // namespace orva::panels
