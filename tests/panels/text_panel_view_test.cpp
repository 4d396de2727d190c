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
constexpr Choice kMoves[] = {{"OUT=>IN", {0xC0, 1}}, {"IN=>OUT", {0x80, 2}}};

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
    toggle(11, "EIS", kAny, {0, 1}, {1, 2}, "EIS OFF", "EIS ON "),
    stepper(12, "Offset", kAny, Format::Hex4, -8, 8).inGroup("V"),
    toggle(13, "", kAny, {0, 1}, {1, 2}, "Freeze", "Freeze").shownOnly(),
    list(14, "Focus mode", kAny, kModes).shownOnly(),
    check(15, "Flip", kAny, {0, 1}, {1, 2}).named("FLIP"),
    entry(16, "X", kAny, Format::Hex2, 0, 0xFF).inGroup("Area"),
    groupSetButton(17, "Send", "Area"),
    radio(18, "Move", kAny, kMoves),
};
const PanelDescription kPanel{.id = PanelId::CameraType, .title = "TEST", .controls = kControls};

std::string said(const TextPanelView::Action& a) {
  if (a.refused()) return a.refusal;
  const char* kinds[] = {"toggle", "choose", "enter", "click", "press", "release", "tick", "step", "edit"};
  std::string out;
  for (const Intent& i : a.intents)
    out += std::string(out.empty() ? "" : "; ") + kinds[static_cast<int>(i.kind)] + " " + std::to_string(i.control) +
           " " + std::to_string(i.index) + " " + i.text;
  return out;
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
  view.setValue(11, 1);
  view.setCaption(11, "EIS OFF");  // a toggle goes by its name whatever it shows
  view.setText(12, "FFFE");
  view.setValue(13, 1);
  view.setValue(14, 0);
  view.setValue(18, 0);
  EXPECT_EQ(view.lines(), (std::vector<std::string>{"INSTANT/DIGI. ZOOM: on", "CONTINUOUS/DIGI. ZOOM: off (disabled)",
                                                    "Mode: Manual", "Sensitivity: Low", "Offset: 2A", "Get: 13F0",
                                                    "EIS: on", "V/Offset: FFFE", "Freeze: on", "Focus mode: Auto",
                                                    "FLIP: off", "X: ", "Move: OUT=>IN"}));

  const std::pair<const char*, const char*> cases[] = {
      {"INSTANT/DIGI. ZOOM", "toggle 1 0 "},
      {"DIGI. ZOOM", "\"DIGI. ZOOM\" names more than one control; use GROUP/CAPTION"},
      {"CONTINUOUS/DIGI. ZOOM", "\"CONTINUOUS/DIGI. ZOOM\" is disabled"},
      {"Manual", "choose 3 1 "},
      {"Mode/Manual", "choose 3 1 "},
      {"Auto", "\"Auto\" is disabled"},
      {"Sensitivity=High", "choose 4 1 "},
      {"Sensitivity=Loud", "\"Loud\" is not a choice of \"Sensitivity\""},
      {"Offset=33", "edit 5 0 33; enter 5 0 33"},
      {"EIS", "toggle 11 0 "},
      {"EIS=off", "toggle 11 0 "},
      {"EIS=on", ""},
      {"EIS=maybe", "\"maybe\" is neither on nor off for \"EIS\""},
      {"EIS OFF", "no control \"EIS OFF\" on this panel"},
      {"FLIP=on", "toggle 15 0 "},
      {"V/Offset=up", "step 12 1 "},
      {"V/Offset=down", "step 12 -1 "},
      {"V/Offset=+3", "step 12 1 ; step 12 1 ; step 12 1 "},
      {"V/Offset=-2", "step 12 -1 ; step 12 -1 "},
      {"V/Offset=+0", "\"+0\" is no step of \"V/Offset\" (up, down, +N, -N)"},
      {"V/Offset=3", "\"3\" is no step of \"V/Offset\" (up, down, +N, -N)"},
      {"Freeze", "\"Freeze\" is shown only"},
      {"Focus mode=Manual", "\"Focus mode\" is shown only"},
      {"Area/X=10", "edit 16 0 10"},  // the group's one Set sends it
      {"Send", "click 17 0 "},
      {"IN=>OUT", "choose 18 1 "},  // a caption with "=" in it, taken whole
      {"Move=IN=>OUT", "choose 18 1 "},
      {"Get", "click 7 0 "},
      {"Reset", "no control \"Reset\" on this panel"},
      {"CLOSE", "no control \"CLOSE\" on this panel"},
  };
  for (const auto& [action, expected] : cases) EXPECT_EQ(said(view.action(action)), expected) << action;
}

}  // namespace
}  // namespace orva::panels
