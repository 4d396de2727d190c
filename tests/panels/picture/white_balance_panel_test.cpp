// The WHITE BALANCE panel against the virtual camera: the gain coding of "Set" and of the
// arrows within the model's range (the extended range is not clipped), the fixed mode's copies
// in both protocols, the lists and their headings, the checks the configuration shows, and
// "Reset". Plain round trips are the generic panel test's.
#include "panels/picture/white_balance_panel.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panels/fake_panel_view.hpp"
#include "panels/panel_bench.hpp"
#include "panels/picture/white_balance_settings.hpp"
#include "panels/picture/white_balance_texts.hpp"

namespace orva::panels::picture::wb {
namespace {

using testing::byte;
using testing::word;
using P = link::Protocol;

// Models by what they offer (their record's model code and processor class).
struct Model {
  std::uint16_t code;
  int processorClass;
};
constexpr Model kFixedOld{0x08F0, 8};  // fixed mode, below 0x0BF0, no light source
constexpr Model kFull{0x0CF0, 8};      // fixed mode, light source, power-on mode
constexpr Model kWide{0x0FF0, 10};
constexpr Model kExtended{0x19F0, 11};
constexpr Model kPlain{0x05F0, 7};  // none of them

struct Wb : testing::PanelOnBench {
  Wb(P protocol, Model model, std::string_view registers, std::vector<sim::Fault> faults = {})
      : PanelOnBench(protocol, registers, std::move(faults)) {
    bench.model.modelCode = model.code;
    bench.model.processorClass = model.processorClass;
    logic = makeWhiteBalancePanel(bench.context, view);
  }
  void tap(ControlId arrow) {
    logic->intent(Intent::press(arrow));
    logic->intent(Intent::release(arrow));
  }
  std::vector<std::string> writes(std::uint64_t since) const { return testing::writes(bench.heardSince(since)); }
  bool wrote(std::string_view heading) const { return bench.monitor.pc().find(heading) != std::string::npos; }
};

constexpr std::string_view kManualGains = "FBFF: 08\nFBBC: 01 80\nFBBE: 02 A0\n142F: 00\n";

TEST(WhiteBalancePanel, SetLimitsTheGainToTheModelsRangeAndCodesItAndNonHexBeeps) {
  struct Case {
    Model model;
    std::string_view typed;
    std::uint16_t written;  // 0: nothing, a beep
  };
  const Case cases[] = {
      {kFull, "0050", 0x0080},     {kFull, "0200", 0x0180},     {kFull, "03FF", 0x03FF},
      {kFull, "0400", 0x03FF},     {kFull, "0100", 0x0080},     {kFull, "0123", 0x00A3},
      {kWide, "0500", 0x04FF},     {kWide, "0480", 0x0480},     {kExtended, "0600", 0x0580},
      {kExtended, "0800", 0x06FF}, {kFull, "12G4", 0},          {kFull, "12345", 0},
      {kFull, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + " on " + std::to_string(c.model.code));
    Wb wb(P::Eap, c.model, kManualGains);
    ASSERT_TRUE(wb.logic->open());
    const auto mark = wb.bench.mark();
    wb.logic->intent(Intent::enter(kRGain, std::string(c.typed)));
    if (c.written == 0) {
      EXPECT_TRUE(wb.bench.heardSince(mark).empty());
      EXPECT_EQ(wb.view.beeps(), 1);
      EXPECT_EQ(wb.view.text(kRGain), "0180");
      continue;
    }
    EXPECT_EQ(word(wb.bench, 0xFBBC), c.written);
    EXPECT_EQ(wb.view.text(kRGain), formatValue(Format::Hex4, c.written));
    EXPECT_EQ(wb.view.beeps(), 0);
  }
}

TEST(WhiteBalancePanel, WithTheFixedModeOnAGainGoesToTheFixedGainsToo) {
  for (const std::string_view mode : {"04", "00", "02"}) {
    SCOPED_TRACE(mode);
    Wb wb(P::Eap, kFull, std::string(kManualGains) + "142F: " + std::string(mode) + "\n1432: 00 00\n");
    ASSERT_TRUE(wb.logic->open());
    wb.logic->intent(Intent::enter(kBGain, "0233"));
    EXPECT_EQ(word(wb.bench, 0xFBBE), 0x01B3);
    EXPECT_EQ(word(wb.bench, 0x1432), mode == "04" ? 0x01B3 : 0);
  }
}

TEST(WhiteBalancePanel, ArrowsStepTheChosenGainsWithinTheModelsRange) {
  struct Case {
    std::string_view what;
    Model model;
    std::string_view gains;
    int data;
    int mode;
    ControlId arrow;
    std::vector<std::string> writes;
  };
  const Case cases[] = {
      // The first step of the extended range stays in it, coded.
      {"extended FINE UP, both", kExtended, "FBBC: 06 00\nFBBE: 06 80\n", kBothGains, kFine, kUp,
       {":WFBBC0684", ":WFBBE0684", ":WFBBC0688", ":WFBBE0688"}},
      {"COARSE DOWN, R, to the code below", kFull, "FBBC: 01 80\nFBBE: 02 A0\n", kRGainData, kCoarse, kDown,
       {":WFBBC00F8", ":WFBBC00F0", ":WFBBC00E8", ":WFBBC00E0", ":WFBBC00D8"}},
      {"FINE UP, B, at the top", kFull, "FBBC: 01 80\nFBBE: 03 FC\n", kBGainData, kFine, kUp,
       {":WFBBE03FF", ":WFBBE03FF"}},
      {"FINE DOWN, both, at the bottom", kWide, "FBBC: 00 84\nFBBE: 00 80\n", kBothGains, kFine, kDown,
       {":WFBBC0080", ":WFBBE0080", ":WFBBC0080", ":WFBBE0080"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Wb wb(P::Eap, c.model, "FBFF: 08\n142F: 00\n" + std::string(c.gains));
    ASSERT_TRUE(wb.logic->open());
    EXPECT_EQ(wb.view.value(kAdjData), kBothGains) << "manual starts with both";
    EXPECT_EQ(wb.view.value(kAdjMode), kFine);
    wb.logic->intent(Intent::choose(kAdjData, c.data));
    wb.logic->intent(Intent::choose(kAdjMode, c.mode));
    const auto mark = wb.bench.mark();
    wb.tap(c.arrow);
    // Word writes as the frames carry them, upper case.
    auto heard = wb.writes(mark);
    for (auto& f : heard) f[1] = 'W';
    EXPECT_EQ(heard, c.writes);
  }
}

TEST(WhiteBalancePanel, FixedModeCopiesTheGainsInBothProtocolsAndAFailureCloses) {
  struct Case {
    P protocol;
    Model model;
    std::vector<std::string> on;  // the writes of "on"
    std::vector<std::string> off;
  };
  const Case cases[] = {
      {P::Eap, kFixedOld, {":W14300180", ":W143212A0", ":W142F04"}, {":W142F00"}},
      {P::Eap, kFull, {":W14300180", ":W143202A0", ":W142F04"}, {":W142F00"}},
      {P::Afp, kFull, {"S31820180T", "S318302A0T", "S318504T"}, {"S318501T"}},
      {P::Afp, kFixedOld, {"S31820180T", "S318312A0T", "S318504T"}, {"S318501T"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(testing::name(c.protocol)) + " " + std::to_string(c.model.code));
    Wb wb(c.protocol, c.model, "FBFF: 00\nFBBC: 01 80\nFBBE: 02 A0\n142F: 00\n");
    ASSERT_TRUE(wb.logic->open());
    EXPECT_TRUE(wb.view.enabled(kMode));
    auto mark = wb.bench.mark();
    wb.logic->intent(Intent::toggle(kFixedMode));
    auto heard = wb.writes(mark);
    for (auto& f : heard)
      if (f[1] == 'w') f[1] = 'W';
    EXPECT_EQ(heard, c.on);
    EXPECT_TRUE(wb.wrote("<< WHITE BALANCE FIXED MODE >>"));
    EXPECT_EQ(wb.view.value(kFixedMode), 1);
    EXPECT_FALSE(wb.view.enabled(kMode)) << "AUTO and MANUAL";
    if (hasPowerOnMode(wb.bench.model)) {
      EXPECT_EQ(wb.view.value(kPowerOn), 3) << "MWB-Fixed";
    }
    mark = wb.bench.mark();
    wb.logic->intent(Intent::toggle(kFixedMode));
    EXPECT_EQ(wb.writes(mark), c.off);
    EXPECT_TRUE(wb.wrote("<< WHITE BALANCE AUTO MODE  >>"));
    EXPECT_TRUE(wb.view.enabled(kMode));
  }
  // The copy of the B gain is not taken: the panel closes.
  const auto framesToToggle = [] {
    Wb probe(P::Eap, kFull, "142F: 00\n");
    EXPECT_TRUE(probe.logic->open());
    return probe.bench.heardSince(0).size();
  }();
  Wb failing(P::Eap, kFull, "142F: 00\n", testing::faults({"drop:" + std::to_string(framesToToggle + 2)}));
  ASSERT_TRUE(failing.logic->open());
  failing.logic->intent(Intent::toggle(kFixedMode));
  EXPECT_FALSE(failing.logic->isOpen());
}

TEST(WhiteBalancePanel, ListsWriteTheirHeadingsAndOffersFollowTheModelAndTheMode) {
  Wb wb(P::Eap, kFull, "FBFF: 00\nF9F2: 07\n142F: 03\n");
  ASSERT_TRUE(wb.logic->open());
  EXPECT_EQ(wb.view.value(kLightSource), 0) << "anything else is Normal";
  EXPECT_EQ(wb.view.value(kPowerOn), 2) << "AWB-Mercury";
  EXPECT_TRUE(wb.view.enabled(kLightSource));
  EXPECT_FALSE(wb.view.enabled(kRGain));
  EXPECT_EQ(wb.view.text(kRGain), std::nullopt) << "auto reads no gains";
  wb.logic->intent(Intent::choose(kLightSource, 1));
  EXPECT_TRUE(wb.wrote("<< SODIUM MODE  >>"));
  EXPECT_EQ(byte(wb.bench, 0xF9F2), 2);
  wb.logic->intent(Intent::choose(kPowerOn, 3));
  EXPECT_TRUE(wb.wrote("<< MWB FIXED MODE  >>"));
  EXPECT_EQ(byte(wb.bench, 0x142F), 4);
  EXPECT_EQ(wb.view.value(kFixedMode), 1) << "one value, 0x142F";
  EXPECT_FALSE(wb.view.enabled(kMode));
  wb.logic->intent(Intent::choose(kPowerOn, 0));
  EXPECT_TRUE(wb.wrote("<< AWB NORMAL MODE  >>"));
  EXPECT_TRUE(wb.view.enabled(kMode));
  wb.logic->intent(Intent::choose(kMode, 1));
  EXPECT_TRUE(wb.wrote("<< WHITE BALANCE MANUAL >>"));
  EXPECT_FALSE(wb.view.enabled(kLightSource));
  EXPECT_TRUE(wb.view.enabled(kUp));
  wb.logic->intent(Intent::choose(kMode, 0));
  EXPECT_TRUE(wb.wrote("<< WHITE BALANCE AUTO   >>"));
  EXPECT_EQ(byte(wb.bench, 0xFBFF), 0);

  struct Offer {
    Model model;
    bool fixed, lightSource, powerOn;
  };
  for (const Offer& o : {Offer{kPlain, false, false, false}, Offer{kFixedOld, true, false, false},
                         Offer{kFull, true, true, true}}) {
    SCOPED_TRACE(o.model.code);
    Wb m(P::Eap, o.model, "");
    ASSERT_TRUE(m.logic->open());
    EXPECT_EQ(m.view.shown(kFixedMode), o.fixed);
    EXPECT_EQ(m.view.shown(kReset), o.fixed);
    EXPECT_EQ(m.view.shown(kLightSource), o.lightSource);
    EXPECT_EQ(m.view.shown(kPowerOn), o.powerOn);
  }
}

TEST(WhiteBalancePanel, TheConfigurationShowsTheTwoBitChecks) {
  for (const int ctrl : {0, 1}) {
    SCOPED_TRACE(ctrl);
    Wb wb(P::Eap, kFull, "172E: 03\n1720: 00\n");
    wb.bench.host.config[std::string(texts::kWbCtrlModeKey)] = ctrl;
    ASSERT_TRUE(wb.logic->open());
    EXPECT_EQ(wb.view.shown(kRbcMax), ctrl != 0);
    EXPECT_EQ(wb.view.shown(kNewdark), ctrl != 0);
    const auto heard = wb.bench.heardSince(0);
    EXPECT_EQ(std::any_of(heard.begin(), heard.end(), [](const std::string& f) { return f.find("172E") != std::string::npos; }),
              ctrl != 0);
    if (ctrl == 0) continue;
    EXPECT_EQ(wb.view.value(kRbcMax), 1) << "bit 0";
    auto mark = wb.bench.mark();
    wb.logic->intent(Intent::toggle(kRbcMax));
    wb.logic->intent(Intent::toggle(kNewdark));
    EXPECT_EQ(wb.writes(mark), (std::vector<std::string>{":W172E00", ":W172001"}));
    EXPECT_EQ(wb.view.value(kNewdark), 1);
  }
}

TEST(WhiteBalancePanel, ResetAsksRestartsTheCameraWaitsAndReadsThePanelAgain) {
  for (const P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(testing::name(protocol));
    // Auto now; the fixed mode and its gains take effect when the camera restarts.
    Wb wb(protocol, kFull, "FBFF: 00\n142F: 04\n1430: 01 A0\n1432: 02 B0\n");
    ASSERT_TRUE(wb.logic->open());
    EXPECT_EQ(wb.view.value(kMode), 0);
    auto& b = wb.bench;
    b.prompt.answer(core::Answer::Cancel).answer(core::Answer::Ok);
    auto mark = b.mark();
    wb.logic->intent(Intent::click(kReset));
    ASSERT_EQ(b.prompt.asked().size(), 1u);
    EXPECT_EQ(b.prompt.asked()[0].text, texts::kResetQuestion);
    EXPECT_EQ(b.prompt.asked()[0].title, texts::kAttention);
    EXPECT_EQ(b.prompt.asked()[0].buttons, core::Buttons::OkCancel);
    EXPECT_EQ(b.prompt.asked()[0].icon, core::Icon::Question);
    EXPECT_TRUE(b.heardSince(mark).empty()) << "Cancel";

    const auto start = b.clock.now();
    wb.logic->intent(Intent::click(kReset));
    b.settle();
    const auto heard = b.heardSince(mark);
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.front(), protocol == P::Eap ? ":WFCAC00" : "S010201T");
    EXPECT_GE(b.clock.now() - start, kRestartWait);
    const std::string pc = b.monitor.pc();
    const auto soft = pc.find("<< SOFT RESET ON >>");
    ASSERT_NE(soft, std::string::npos);
    EXPECT_NE(pc.find("<< WHITE BALANCE RESET >>", soft), std::string::npos);
    EXPECT_EQ(wb.view.value(kMode), 1) << "read again";
    EXPECT_EQ(wb.view.text(kRGain), "01A0");
    EXPECT_EQ(wb.view.text(kBGain), "02B0");
    EXPECT_TRUE(wb.logic->isOpen());
  }
}

}  // namespace
}  // namespace orva::panels::picture::wb
