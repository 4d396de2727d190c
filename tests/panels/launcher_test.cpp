// Launcher buttons to panels: the table, the model and caption rules (captions as the model
// gating sets them), and the launcher's refusal while the operation slot is taken.
#include "panels/launcher.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace orva::panels {
namespace {

using L = camera::LauncherItem;

struct Given {
  camera::ModelRecord model;
  camera::GatingSwitches switches;
};

std::vector<std::string> resources(const Route& r) {
  std::vector<std::string> out;
  for (PanelId p : r.sequence()) out.emplace_back(resourceName(p));
  return out;
}

struct Case {
  const char* what;
  L item;
  std::function<void(Given&)> setup;
  std::vector<std::string> panels;
  bool asks = true;
};

Route routeFor(const Case& c) {
  Given s;
  s.model.modelCode = 0x9F0;
  s.model.functionWord = 0xFFFF & ~(1u << 3);
  s.model.maskType = 1;
  if (c.setup) c.setup(s);
  const auto launcher = camera::launcherGating(s.model, {}, s.switches);
  return route(c.item, launcher, s.model, s.switches);
}

TEST(Launcher, EachButtonOpensItsPanelByModelCaptionAndConfiguration) {
  const Case cases[] = {
      {"zoom and focus", L::ZoomFocus, {}, {"ZOOMFOCUSDLG"}},
      {"zoom", L::Zoom, {}, {"ZOOMDLG"}},
      {"focus", L::Focus, {}, {"FOCUSDLG"}},
      {"Ver", L::Ver, {}, {"CAMERATYPEDLG"}},
      {"motion tracking", L::MotionTracking, {}, {"269"}},
      {"AE", L::Ae, {}, {"PAEDLG"}},
      {"block read in AFP", L::BlockRead, [](Given& s) { s.switches.protocol = link::Protocol::Afp; }, {"311"}},
      {"block read in EAP", L::BlockRead, {}, {}},
      {"exposure", L::Exposure, {}, {"EXPOSUREDLG"}},
      {"EEPROM PRESET, 14 records", L::Exposure,
       [](Given& s) { s.model.functionWord = 1u << 14; }, {"EPRESETDLG"}},
      {"EEPROM PRESET, 64 records", L::Exposure,
       [](Given& s) { s.model.functionWord = 1u << 15; }, {"EEPPSTDLG"}},
      {"shutter", L::ShutterSpeed, {}, {"SHUTTERDLG"}},
      {"SPOT CANCEL by the white spot bit", L::ShutterSpeed,
       [](Given& s) {
         s.model.functionWord = 1u << 3;
         s.switches.wspotCancel = 2;
       },
       {"SPOTDLG"}},
      {"SPOT CANCEL by the switch", L::ShutterSpeed, [](Given& s) { s.switches.wspotCancel = 1; }, {"SPOTDLG"}},
      {"FIXED DATA SET", L::ShutterSpeed,
       [](Given& s) {
         s.model.functionWord = 0;
         s.model.menuWord = 1u << 9;
       },
       {"FIXDATA_DLG"}},
      {"STATUS MESSAGE on the shutter button", L::ShutterSpeed,
       [](Given& s) {
         s.model.functionWord = 1u << 13;
         s.model.optionWord = 1u << 2;
         s.switches.activeExec = 1;
       },
       {"IDD_INICOM"}},
      {"STATUS MESSAGE", L::StatusMessage, {}, {"IDD_INICOM"}},
      {"TITLE", L::StatusMessage, [](Given& s) { s.model.optionWord = 1u << 2; }, {"IDD_TITLE_DLG"}},
      {"AGC, older model", L::Agc, [](Given& s) { s.model.modelCode = 0x90; }, {"AGCDLG"}},
      {"AGC, newer model", L::Agc, {}, {"AGCDLG2"}},
      {"aperture", L::ApertureLevel, {}, {"APERTUREDLG"}},
      {"PICTURE", L::ApertureLevel, [](Given& s) { s.model.lensControlWord = 1u << 12; }, {"AGCDLG2"}},
      {"IR cut filter", L::IrcfRemove, {}, {"IRREMOVEDLG"}},
      {"trigger LED", L::IrcfRemove, [](Given& s) { s.switches.ledControl = 2; }, {"IDD_LED_DLG"}},
      {"PL filter", L::IrcfRemove, [](Given& s) { s.model.extraOptionWord = 1; }, {"PLFILTER"}},
      {"privacy mask selection first, without asking", L::PrivacyMask,
       [](Given& s) { s.model.optionWord = 1u << 1; }, {"IDD_PMASK_SEL"}, false},
      {"privacy mask type 1", L::PrivacyMask, {}, {"PMASK1_DLG"}},
      {"privacy mask type 2", L::PrivacyMask, [](Given& s) { s.model.maskType = 2; }, {"PMASK2_DLG"}},
      {"privacy mask type 3 with the third panel", L::PrivacyMask,
       [](Given& s) {
         s.model.maskType = 3;
         s.model.panelWord4 = 1u << 10;
       },
       {"PMASK3_DLG"}},
      {"privacy mask type unknown", L::PrivacyMask, [](Given& s) { s.model.maskType = 0; }, {}},
      {"enhanced intensity, both panels in turn", L::EnhancedIntensity,
       [](Given& s) { s.model.featureWord = (1u << 11) | (1u << 15); }, {"NIGHTSCOPE", "ENHANCEDINTENSITY"}},
      {"enhanced intensity, the newer panel", L::EnhancedIntensity,
       [](Given& s) { s.model.featureWord = 1u << 15; }, {"ENHANCEDINTENSITY"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Route r = routeFor(c);
    EXPECT_EQ(resources(r), c.panels);
    EXPECT_EQ(r.kind, c.panels.empty() ? RouteKind::None : RouteKind::Panels);
    if (!c.panels.empty()) {
      EXPECT_EQ(r.asksRunner, c.asks);
    }
  }
}

TEST(Launcher, TheCommandButtonAndWhatFollowsAClose) {
  const Route fullAuto = routeFor({"", L::FullAuto, {}, {}});
  EXPECT_EQ(fullAuto.kind, RouteKind::Command);
  EXPECT_FALSE(fullAuto.asksRunner);

  // The preset keys go to the session, which asks the slot itself.
  for (L item : {L::MemoryKey1, L::MemoryKey8, L::PresetButton1, L::ZoomArrivalMessage}) {
    const Route keys = routeFor({"", item, {}, {}});
    EXPECT_EQ(keys.kind, RouteKind::Presets) << defaultCaption(item);
    EXPECT_FALSE(keys.asksRunner);
  }

  EXPECT_TRUE(Route::goesOn(CloseReason::Closed));
  EXPECT_FALSE(Route::goesOn(CloseReason::ReadFailed)) << "a failed read on open ends the sequence";
  EXPECT_FALSE(Route::goesOn(CloseReason::PortClosed));
}

TEST(Launcher, EveryPanelHasItsOwnResourceName) {
  std::set<std::string_view> names;
  for (std::size_t i = 0; i < kPanelCount; ++i) {
    const auto n = resourceName(static_cast<PanelId>(i));
    EXPECT_FALSE(n.empty());
    EXPECT_TRUE(names.insert(n).second) << n;
  }
}

TEST(Launcher, IgnoresPressesWhileTheSlotIsTakenExceptWhereItDoesNotAsk) {
  core::RecordingMonitorSink monitor;
  QueuedDispatcher dispatcher;
  OperationRunner runner(monitor, dispatcher);
  camera::ModelRecord model;
  model.modelCode = 0x9F0;
  model.functionWord = 0xFFFF;
  model.maskType = 1;
  const camera::GatingSwitches sw;
  auto launcher = camera::launcherGating(model, {}, sw);

  ASSERT_TRUE(launch(L::ZoomFocus, launcher, model, sw, runner).has_value());
  auto disabled = launcher;
  disabled[L::ZoomFocus].enabled = false;
  EXPECT_FALSE(launch(L::ZoomFocus, disabled, model, sw, runner).has_value()) << "a disabled button opens nothing";
  auto hidden = launcher;
  hidden[L::ZoomFocus].shown = false;
  EXPECT_FALSE(launch(L::ZoomFocus, hidden, model, sw, runner).has_value()) << "nor a hidden one";

  auto plFilter = model;
  plFilter.extraOptionWord = 1;
  {
    auto claim = runner.claim();
    ASSERT_TRUE(claim.has_value());
    for (L item : {L::ZoomFocus, L::Ver, L::PrivacyMask, L::IrcfRemove})
      EXPECT_FALSE(launch(item, launcher, model, sw, runner).has_value()) << defaultCaption(item);
    EXPECT_TRUE(launch(L::FullAuto, launcher, model, sw, runner).has_value());
    EXPECT_FALSE(launch(L::IrcfRemove, launcher, plFilter, sw, runner).has_value()) << "the PL filter asks too";
  }
  EXPECT_TRUE(launch(L::Ver, launcher, model, sw, runner).has_value());
  EXPECT_EQ(monitor.pc(), "") << "a refusal says nothing";
}

}  // namespace
}  // namespace orva::panels
