// BACK LIGHT COMP. and APERTURE LEVEL against the virtual camera, in both protocols: what the
// modes enable and read, the level adjuster's bursts and limits (the aperture's top by
// processor class, a heading per step, both levels with H/V), entries that refuse bad hex with
// a beep, picture modes sent once, and a failed write in a burst that closes the panel.
#include "panels/picture/level_panels.hpp"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

#include "panels/fake_panel_view.hpp"
#include "panels/panel_bench.hpp"

namespace orva::panels::picture {
namespace {

using testing::name;
using P = link::Protocol;
using Make = std::unique_ptr<PanelLogic> (*)(PanelContext&, PanelView&);
using Tokens = std::vector<std::string>;

const camera::Setting kBlc = *camera::settingFromCode(0x2301);
const camera::Setting kBlcLevel = *camera::settingFromCode(0x2302);
const camera::Setting kApertureMode = *camera::settingFromCode(0x3403);
const camera::Setting kHorizontalLevel = *camera::settingFromCode(0x3404);
const camera::Setting kVerticalLevel = *camera::settingFromCode(0x3406);
const camera::Setting kPictureModeSetting{.afpCode = 0x340D, .afpField = 0, .eapRegister = 0xFF60, .width = 8};

struct Open : testing::PanelOnBench {
  // `given`: settings the camera holds before the panel opens, in the protocol's values.
  Open(P protocol, Make make, const std::vector<std::pair<camera::Setting, ProtocolValue>>& given,
       int processorClass = 0)
      : PanelOnBench(protocol) {
    for (const auto& [setting, value] : given) EXPECT_TRUE(bench.access.write(setting, value.in(protocol)));
    bench.model.processorClass = processorClass;
    bench.monitor.clear();
    logic = make(bench.context, view);
  }
  // The headings and writes on the monitor since the last call, each write as "REGISTER=VALUE"
  // whichever protocol sent it.
  Tokens said() {
    static const std::map<std::string, std::string> kRegisters{{"2301", "FECE"}, {"2302", "FD8E"}, {"3403", "FBFF"},
                                                               {"3404", "FBF6"}, {"3406", "FBF9"}, {"340D", "FF60"}};
    static const std::regex kToken(R"(<< [^>]* >>|:W([0-9A-F]{4})([0-9A-F]{2})|S([0-9A-F]{4})([0-9A-F]{2})T)");
    const std::string pc = bench.monitor.pc();
    bench.monitor.clear();
    Tokens out;
    for (std::sregex_iterator it(pc.begin(), pc.end(), kToken), end; it != end; ++it) {
      const std::smatch& m = *it;
      if (m[1].matched) out.push_back(m.str(1) + "=" + m.str(2));
      else if (m[3].matched) out.push_back(kRegisters.at(m.str(3)) + "=" + m.str(4));
      else out.push_back(m.str(0));
    }
    return out;
  }
};

constexpr ProtocolValue kBlcOn{2, 2};
constexpr ProtocolValue kBlcOff{0, 1};
constexpr ProtocolValue kManual{0x02, 2};
ProtocolValue same(std::uint32_t v) { return {v, v}; }

TEST(BackLight, OnOpensWithItsLevelAndFineAndEachChoiceSwitchesTheLevelGroup) {
  using namespace backlight;
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Open off(protocol, makeBackLightPanel, {{kBlc, kBlcOff}, {kBlcLevel, same(0x5A)}});
    ASSERT_TRUE(off.logic->open());
    EXPECT_EQ(off.view.text(kLevel), std::nullopt) << "OFF reads no level";
    for (ControlId c : {kLevel, kAdjustMode, kDown, kUp}) EXPECT_FALSE(off.view.enabled(c)) << c;
    off.said();
    off.logic->intent(Intent::press(kUp));
    EXPECT_EQ(off.said(), Tokens{}) << "a disabled arrow";

    off.logic->intent(Intent::choose(kMode, 1));
    EXPECT_EQ(off.said(), Tokens{"FECE=02"});
    EXPECT_EQ(off.view.text(kLevel), "5A") << "ON reads the level";
    EXPECT_EQ(off.view.value(kAdjustMode), 1) << "and selects FINE";
    off.logic->intent(Intent::choose(kAdjustMode, 0));
    off.logic->intent(Intent::choose(kMode, 0));
    EXPECT_EQ(off.said(), Tokens{protocol == P::Eap ? "FECE=00" : "FECE=01"});
    EXPECT_FALSE(off.view.enabled(kUp));
    ASSERT_TRUE(off.bench.access.write(kBlcLevel, 0x33));
    off.logic->intent(Intent::choose(kMode, 1));
    EXPECT_EQ(off.view.text(kLevel), "33");
    EXPECT_EQ(off.view.value(kAdjustMode), 0) << "the mode chosen stays";

    Open on(protocol, makeBackLightPanel, {{kBlc, kBlcOn}, {kBlcLevel, same(0x5A)}});
    ASSERT_TRUE(on.logic->open());
    EXPECT_EQ(on.said(), Tokens{"<< BACK LIGHT COMPENSATION >>"});
    EXPECT_EQ(on.view.text(kLevel), "5A");
    EXPECT_EQ(on.view.value(kAdjustMode), 1);
    EXPECT_TRUE(on.view.enabled(kDown));
  }
}

// One press of an arrow: the burst of its mode, each step limited and written.
TEST(LevelAdjuster, APressIsABurstOfTheModesStepsLimitedToThePanelsRange) {
  struct Case {
    std::string_view what;
    bool aperture;
    int mode;  // 0 COARSE, 1 FINE
    int data;  // aperture: 0 Horizontal, 1 Vertical, 2 H/V
    bool up;
    int processorClass;
    std::uint32_t horizontal;  // or the back light level
    std::uint32_t vertical;
    Tokens said;
  };
  const Case cases[] = {
      {"BLC COARSE up to the top", false, 0, 0, true, 0, 0xE0, 0, {"FD8E=E8", "FD8E=EF", "FD8E=EF", "FD8E=EF", "FD8E=EF"}},
      {"BLC FINE down to 0", false, 1, 0, false, 0, 0x05, 0, {"FD8E=01", "FD8E=00"}},
      {"aperture FINE down to 0", true, 1, 0, false, 0, 0x01, 0x10,
       {"<< DOWN >>", "FBF6=00", "<< DOWN >>", "FBF6=00"}},
      {"aperture COARSE up, both", true, 0, 2, true, 0, 0x1C, 0x10,
       {"<< UP >>", "FBF6=1E", "FBF9=12", "<< UP >>", "FBF6=1F", "FBF9=14",
        "<< UP >>", "FBF6=1F", "FBF9=16", "<< UP >>", "FBF6=1F", "FBF9=18"}},
      {"aperture to 0x1F below class 4", true, 0, 1, true, 3, 0x00, 0x1C,
       {"<< UP >>", "FBF9=1E", "<< UP >>", "FBF9=1F", "<< UP >>", "FBF9=1F", "<< UP >>", "FBF9=1F"}},
      {"aperture to 0x3F from class 4", true, 0, 1, true, 4, 0x00, 0x3C,
       {"<< UP >>", "FBF9=3E", "<< UP >>", "FBF9=3F", "<< UP >>", "FBF9=3F", "<< UP >>", "FBF9=3F"}},
  };
  for (P protocol : {P::Eap, P::Afp}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(name(protocol)) + ": " + std::string(c.what));
      const ControlId up = c.aperture ? aperture::kUp : backlight::kUp;
      const ControlId down = c.aperture ? aperture::kDown : backlight::kDown;
      Open o = c.aperture ? Open(protocol, makeAperturePanel,
                                 {{kApertureMode, kManual}, {kHorizontalLevel, same(c.horizontal)}, {kVerticalLevel, same(c.vertical)}},
                                 c.processorClass)
                          : Open(protocol, makeBackLightPanel, {{kBlc, kBlcOn}, {kBlcLevel, same(c.horizontal)}});
      ASSERT_TRUE(o.logic->open());
      o.logic->intent(Intent::choose(c.aperture ? aperture::kAdjustMode : backlight::kAdjustMode, c.mode));
      if (c.aperture) o.logic->intent(Intent::choose(aperture::kAdjustData, c.data));
      o.said();
      o.logic->intent(Intent::press(c.up ? up : down));
      o.logic->intent(Intent::release(c.up ? up : down));
      EXPECT_EQ(o.said(), c.said);
      EXPECT_TRUE(o.logic->isOpen());
    }
  }
}

TEST(LevelAdjuster, AFailedWriteInABurstClosesThePanel) {
  sim::VirtualCamera silent(testing::profile(P::Eap, ""), testing::faults({"silent"}));
  Open o(P::Eap, makeAperturePanel, {{kApertureMode, kManual}, {kHorizontalLevel, same(4)}, {kVerticalLevel, same(4)}});
  ASSERT_TRUE(o.logic->open());
  o.bench.link.setChannel(std::make_unique<sim::InProcessChannel>(silent, o.bench.clock, false));
  ASSERT_TRUE(o.bench.link.open());
  o.said();
  o.logic->intent(Intent::press(aperture::kUp));
  EXPECT_EQ(o.view.closed(), CloseReason::WriteFailed);
  EXPECT_EQ(o.said(), (Tokens{"<< UP >>"})) << "no step after the failed one";
}

// Two hex digits at most, and the aperture no higher than the model's top: anything else beeps
// and sends nothing; the aperture's heading goes with the write only.
TEST(LevelEntries, BadHexAndLevelsAboveTheTopBeepAndSendNothing) {
  struct Case {
    bool aperture;
    ControlId entry;
    std::string_view text;
    int processorClass;
    Tokens said;  // none: a beep
  };
  using namespace aperture;
  const Case cases[] = {
      {false, backlight::kLevel, "G1", 0, {}},
      {false, backlight::kLevel, "100", 0, {}},
      {false, backlight::kLevel, "", 0, {}},
      {false, backlight::kLevel, "FF", 0, {"FD8E=FF"}},
      {true, kHorizontal, "20", 3, {}},
      {true, kHorizontal, "x1", 4, {}},
      {true, kHorizontal, "40", 4, {}},
      {true, kHorizontal, "3F", 4, {"<< Set Horizontal >>", "FBF6=3F"}},
      {true, kVertical, "1F", 0, {"<< Set Vertical >>", "FBF9=1F"}},
  };
  for (P protocol : {P::Eap, P::Afp}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(name(protocol)) + ": \"" + std::string(c.text) + "\" class " +
                   std::to_string(c.processorClass));
      Open o = c.aperture ? Open(protocol, makeAperturePanel, {{kApertureMode, kManual}}, c.processorClass)
                          : Open(protocol, makeBackLightPanel, {{kBlc, kBlcOn}});
      ASSERT_TRUE(o.logic->open());
      o.said();
      const auto from = o.bench.mark();
      o.logic->intent(Intent::enter(c.entry, std::string(c.text)));
      EXPECT_EQ(o.said(), c.said);
      EXPECT_EQ(o.view.beeps(), c.said.empty() ? 1 : 0);
      if (c.said.empty()) {
        EXPECT_TRUE(o.bench.heardSince(from).empty());
      }
    }
  }
}

TEST(AperturePanel, AutoAndManualRewriteOnlyTheirBitAndSwitchTheLevelControls) {
  using namespace aperture;
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    // Manual white balance (bit 3) beside the manual aperture.
    Open o(protocol, makeAperturePanel, {{kApertureMode, {0x0A, 2}}, {kHorizontalLevel, same(0x11)}, {kVerticalLevel, same(0x12)}});
    ASSERT_TRUE(o.logic->open());
    EXPECT_EQ(o.view.text(kHorizontal), "11");
    EXPECT_EQ(o.view.text(kVertical), "12");
    EXPECT_EQ(o.view.value(kAdjustMode), 1) << "FINE";
    EXPECT_EQ(o.view.value(kAdjustData), 2) << "H/V";
    o.said();
    o.logic->intent(Intent::choose(kMode, 0));
    EXPECT_EQ(o.said(), (Tokens{"<< APERTURE Auto >>", protocol == P::Eap ? "FBFF=08" : "FBFF=01"}));
    for (ControlId c : {kHorizontal, kVertical, kAdjustMode, kAdjustData, kDown, kUp}) EXPECT_FALSE(o.view.enabled(c)) << c;
    EXPECT_TRUE(o.view.enabled(kPictureMode));
    ASSERT_TRUE(o.bench.access.write(kVerticalLevel, 0x07));
    o.said();
    o.logic->intent(Intent::choose(kMode, 1));
    EXPECT_EQ(o.said(), (Tokens{"<< APERTURE Manual >>", protocol == P::Eap ? "FBFF=0A" : "FBFF=02"}));
    EXPECT_TRUE(o.view.enabled(kUp));
    EXPECT_EQ(o.view.text(kVertical), "07") << "MANUAL reads both levels";
  }
}

TEST(AperturePanel, APictureModeIsSentOnceAndAModeOutsideOneToFourSelectsNone) {
  using namespace aperture;
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Open two(protocol, makeAperturePanel, {{kPictureModeSetting, same(2)}});
    ASSERT_TRUE(two.logic->open());
    EXPECT_EQ(two.view.value(kPictureMode), 1);
    two.said();
    two.logic->intent(Intent::choose(kPictureMode, 1));
    EXPECT_EQ(two.said(), Tokens{}) << "already selected";
    two.logic->intent(Intent::choose(kPictureMode, 3));
    EXPECT_EQ(two.said(), (Tokens{"<< Picture Mode 4 >>", "FF60=04"}));

    Open odd(protocol, makeAperturePanel, {{kPictureModeSetting, same(7)}});
    ASSERT_TRUE(odd.logic->open());
    EXPECT_EQ(odd.view.value(kPictureMode).value_or(-1), -1);
    odd.said();
    odd.logic->intent(Intent::choose(kPictureMode, 0));
    EXPECT_EQ(odd.said(), (Tokens{"<< Picture Mode 1 >>", "FF60=01"}));
  }
}

}  // namespace
}  // namespace orva::panels::picture
