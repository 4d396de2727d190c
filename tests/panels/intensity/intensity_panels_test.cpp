// The enhanced intensity panels against the virtual camera: NIGHTSCOPE's reads and headings in
// EAP and its disabled lists in AFP, the chain's stop after a failed read, ENHANCEDINTENSITY's
// mode numbering with and without whiteout reduction, and the levels' quiet refusal.
#include "panels/intensity/intensity_panels.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panels/fake_panel_view.hpp"
#include "panels/intensity/intensity_texts.hpp"
#include "panels/launcher.hpp"
#include "panels/panel_bench.hpp"
#include "panels/registry.hpp"

namespace orva::panels::intensity {
namespace {

using testing::byte;
using testing::name;
using P = link::Protocol;

struct Open : testing::PanelOnBench {
  Open(P protocol, std::string_view registers, PanelId panel, std::uint16_t extraOptionWord = 0,
       std::vector<sim::Fault> faults = {})
      : PanelOnBench(protocol, registers, std::move(faults)) {
    bench.model.extraOptionWord = extraOptionWord;
    bench.monitor.clear();
    logic = makePanel(panel, bench.context, view);
  }
  std::vector<std::string> heard() const { return bench.heardSince(from); }
};

TEST(NightScope, EapReadsItsFourRegistersAndWritesTheHeadingBeforeEachChange) {
  Open o(P::Eap, "FFF0: 02\nFFF2: 01\nFFF4: 07\n", PanelId::NightScope);
  ASSERT_TRUE(o.logic->open());
  EXPECT_EQ(o.heard(), (std::vector<std::string>{":RFFF000", ":RFFF200", ":RFFF400", ":RFFF600"}));
  EXPECT_EQ(o.view.value(kSwitch), 2);
  EXPECT_EQ(o.view.value(kDark), 1);
  EXPECT_EQ(o.view.value(kBright), -1) << "a value outside the list selects nothing";
  EXPECT_EQ(o.bench.monitor.pc().find("<<"), std::string::npos) << "no heading on open";

  o.logic->intent(Intent::choose(kSwitch, 1));
  o.logic->intent(Intent::choose(kBright, 2));
  EXPECT_EQ(byte(o.bench, 0xFFF0), 1);
  EXPECT_EQ(byte(o.bench, 0xFFF4), 2);
  const std::string& pc = o.bench.monitor.pc();
  const auto mode = pc.find("\r\n\r\n<< Enhanced Intensity(Mode) : Continuous >>");
  ASSERT_NE(mode, std::string::npos);
  EXPECT_LT(mode, pc.find(":WFFF001"));
  EXPECT_NE(pc.find("\r\n\r\n<< Enhanced Intensity(Effect:Bright) : High >>"), std::string::npos);
  EXPECT_NE(o.bench.monitor.log().find("\n\n<< Enhanced Intensity(Effect:Bright) : High >>"), std::string::npos);
}

TEST(NightScope, AfpNeitherReadsNorPretendsToChange) {
  Open o(P::Afp, "", PanelId::NightScope);
  ASSERT_TRUE(o.logic->open());
  for (ControlId id : {kSwitch, kDark, kBright}) {
    EXPECT_FALSE(o.view.enabled(id)) << id;
    EXPECT_EQ(o.view.value(id), std::nullopt) << "nothing was read, so nothing is shown";
  }
  o.logic->intent(Intent::choose(kSwitch, 1));
  EXPECT_TRUE(o.heard().empty());
  EXPECT_EQ(o.bench.monitor.pc().find("<<"), std::string::npos) << "no heading for a change that is not made";
}

TEST(NightScope, OnlyTheOperatorsCloseGoesOnToTheNewerPanel) {
  camera::ModelRecord both;
  both.featureWord = 0x8800;
  const Route r = route(camera::LauncherItem::EnhancedIntensity, camera::LauncherState{}, both, {});
  ASSERT_EQ(r.count, 2u);
  EXPECT_EQ(r.panels[0], PanelId::NightScope);

  Open closed(P::Eap, "", r.panels[0]);
  ASSERT_TRUE(closed.logic->open());
  closed.logic->intent(Intent::click(kNightScopeClose));
  EXPECT_TRUE(Route::goesOn(*closed.view.closed()));

  Open failed(P::Eap, "", r.panels[0], 0, testing::faults({"drop:4"}));
  EXPECT_FALSE(failed.logic->open());
  EXPECT_EQ(failed.heard().size(), 4u) << "the fourth register's read fails";
  EXPECT_FALSE(Route::goesOn(*failed.view.closed()));
}

TEST(EnhancedIntensity, ModesAreNumberedByProtocolAndWhiteoutReductionComesWithItsBit) {
  struct Case {
    P protocol;
    std::uint16_t extra;
    std::string_view mode;  // the camera's mode register / function value
    ControlId list;
    int shown;
    int chosen;  // then chosen by the operator
    std::uint8_t written;
    std::string_view heading;
  };
  const Case cases[] = {
      {P::Eap, kExtraWhiteoutReduction, "FF90: 10\n", kModeWhiteout, 2, 1, 0x01, "<< E.I Mode : On(Enhanced Intensity) >>"},
      {P::Afp, kExtraWhiteoutReduction, "FF90: 10\n", kModeWhiteout, 2, 0, 0x00, "<< E.I Mode : Off >>"},
      {P::Eap, 0, "FF90: 10\n", kMode, -1, 1, 0x01, "<< E.I Mode : On >>"},
      {P::Afp, 0, "FF90: 00\n", kMode, 0, 1, 0x01, "<< E.I Mode : On >>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(name(c.protocol)) + (c.extra ? " with" : " without") + " whiteout reduction");
    Open o(c.protocol, std::string(c.mode) + "FF91: 3C\nFF9A: 5A\n", PanelId::EnhancedIntensity, c.extra);
    ASSERT_TRUE(o.logic->open());
    EXPECT_EQ(o.heard().size(), c.extra ? 3u : 2u) << "the whiteout level is read only with its bit";
    EXPECT_EQ(o.view.value(c.list), c.shown);
    EXPECT_EQ(o.view.text(kEffectLevel), "3C");
    for (ControlId id : {kWhiteoutLevel, kWhiteoutLevelUnit, kModeWhiteout}) EXPECT_EQ(o.view.shown(id), c.extra != 0);
    EXPECT_NE(o.view.shown(kMode), c.extra != 0);
    o.logic->intent(Intent::choose(c.list, c.chosen));
    EXPECT_EQ(byte(o.bench, 0xFF90), c.written);
    EXPECT_NE(o.bench.monitor.pc().find(std::string("\r\n\r\n") + std::string(c.heading)), std::string::npos);
  }
}

TEST(EnhancedIntensity, ALevelThatIsNoHexByteSendsNothingWithoutABeep) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Open o(protocol, "", PanelId::EnhancedIntensity, kExtraWhiteoutReduction);
    ASSERT_TRUE(o.logic->open());
    const auto mark = o.bench.mark();
    o.logic->intent(Intent::enter(kEffectLevel, "G1"));
    o.logic->intent(Intent::enter(kWhiteoutLevel, ""));
    EXPECT_TRUE(o.bench.heardSince(mark).empty());
    EXPECT_EQ(o.view.beeps(), 0);
    const std::string& pc = o.bench.monitor.pc();
    EXPECT_NE(pc.find("\r\n\r\n<< Enhanced Intensity Effect Level >>"), std::string::npos)
        << "the heading comes before the text is looked at";
    EXPECT_NE(pc.find("\r\n\r\n<< E.I Whiteout Reduction Effect Level >>"), std::string::npos);
    o.logic->intent(Intent::enter(kWhiteoutLevel, "a7"));
    EXPECT_EQ(byte(o.bench, 0xFF9A), 0xA7);
    EXPECT_EQ(o.view.text(kWhiteoutLevel), "A7");
  }
}

}  // namespace
}  // namespace orva::panels::intensity
