// AE Control against the virtual camera: a mode's code in each protocol and the launcher's
// field, the priority modes' parameter read only after the wait, the shutter codes of the
// 0x13F0 families, the full manual ranges, where the iris offsets go, freeze against mirror,
// mosaic, and the weighting sub-panel it opens. The plain round trip of every control is the
// every-panel test's.
#include "panels/exposure/ae_panel.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "camera/identification.hpp"
#include "panels/exposure/ae_settings.hpp"
#include "panels/exposure/ae_texts.hpp"
#include "panels/fake_panel_view.hpp"
#include "panels/panel_bench.hpp"

namespace orva::panels::exposure {
namespace {

using testing::byte;
using testing::name;
using testing::word;
using P = link::Protocol;
using namespace std::chrono_literals;

// Whatever the bench's clock does, and each sleep's length with the frames heard before it.
class WatchedClock final : public core::Clock {
 public:
  WatchedClock(core::FakeClock& inner, testing::Bench& bench) : inner_(inner), bench_(bench) {}
  time_point now() const override { return inner_.now(); }
  bool sleepUntil(time_point until, std::stop_token stop) override {
    sleeps.push_back({until - inner_.now(), bench_.mark()});
    return inner_.sleepUntil(until, std::move(stop));
  }
  bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv, time_point deadline,
                 std::stop_token stop, const std::function<bool()>& ready) override {
    return inner_.waitUntil(lock, cv, deadline, std::move(stop), ready);
  }
  struct Sleep {
    duration length;
    std::uint64_t heard;  // the frame log's end when it began
  };
  std::vector<Sleep> sleeps;  // the operation thread's, read once it has ended

 private:
  core::FakeClock& inner_;
  testing::Bench& bench_;
};

sim::Profile profileOf(P protocol, std::string_view registers, std::optional<std::uint16_t> modelCode) {
  sim::Profile p = testing::profile(protocol, registers);
  p.modelCode = modelCode;
  return p;
}

struct Ae {
  Ae(P protocol, std::string_view registers, std::uint16_t modelCode = 0x0FF0)
      : bench(protocol, profileOf(protocol, registers, modelCode)),
        clock(bench.clock, bench),
        context{bench.access, bench.monitor, bench.prompt, clock, bench.runner, bench.dispatcher, bench.model,
                [] { return true; }, &bench.host} {
    bench.model.modelCode = modelCode;
    logic = makeAePanel(context, view);
  }
  void act(const Intent& in) {
    logic->intent(in);
    bench.settle();
  }
  std::vector<std::string> writes(std::uint64_t from) const { return testing::writes(bench.heardSince(from)); }

  testing::Bench bench;
  WatchedClock clock;
  PanelContext context;
  FakePanelView view;
  std::unique_ptr<PanelLogic> logic;
};

TEST(AePanel, ProgramAerPlusTwoWritesItsCodeSelectsItsMainButtonAndTheLauncherFieldFollows) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Ae ae(protocol, "FCC8: 10\n");  // Program AER1
    ASSERT_TRUE(ae.logic->open());
    EXPECT_EQ(ae.logic->selected(kAeMode), 0);
    EXPECT_EQ(ae.logic->selected(kProgramAe), 1);
    EXPECT_EQ(ae.logic->selected(kProgramAePlus), -1);
    const auto from = ae.bench.mark();
    ae.act(Intent::choose(kProgramAePlus, 2));
    EXPECT_EQ(ae.writes(from), std::vector<std::string>{protocol == P::Eap ? ":WFCC821" : "S210506T"});
    EXPECT_EQ(ae.logic->selected(kAeMode), 1) << "Program AE+";
    EXPECT_EQ(ae.logic->selected(kProgramAe), -1);
    EXPECT_EQ(ae.logic->selected(kProgramAePlus), 2);
    EXPECT_EQ(ae.bench.host.launcherRefreshes, 1);
    std::uint32_t mode = 0;
    ASSERT_TRUE(ae.bench.access.read(kModeSetting, mode));
    EXPECT_EQ(camera::aeModeText(static_cast<int>(mode), protocol), "Program AER+2    ");
    // The main button of the group already shown is no change.
    const auto again = ae.bench.mark();
    ae.act(Intent::choose(kAeMode, 1));
    EXPECT_TRUE(ae.writes(again).empty());
  }
}

TEST(AePanel, APriorityModeSelectsItsParameterOnlyAfterTheWait) {
  struct Case {
    std::string_view what;
    Intent intent;
    std::chrono::milliseconds wait;
    ControlId parameter;
    int item;  // what the camera's parameter then selects
    std::vector<std::string_view> written;  // EAP, in order
  };
  // The camera puts each priority mode's own default into 0xFCC9 (shutter 5, iris 2, gain 2).
  const Case cases[] = {
      {"Shutter Priority", Intent::choose(kAeMode, 2), 1000ms, kShutterSpeeds, 6, {":WFCC807"}},
      {"Exposure Priority", Intent::choose(kAeMode, 3), 1000ms, kFNumbers, 2, {":WFCC808"}},
      {"AGC Priority", Intent::choose(kAeMode, 4), 1000ms, kGains, 2, {":WFCC809"}},
      {"0.5 s, from another mode", Intent::click(kHalfSecond), 500ms, kShutterSpeeds, 8, {":WFCC807", ":WFCC907"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Ae ae(P::Eap, "FCC8: 00\nFCC9: 00\n");
    ASSERT_TRUE(ae.logic->open());
    const auto from = ae.bench.mark();
    ae.act(c.intent);
    EXPECT_EQ(ae.logic->selected(c.parameter), c.item);
    ASSERT_EQ(ae.clock.sleeps.size(), 1u);
    EXPECT_EQ(ae.clock.sleeps[0].length, c.wait);
    const auto all = ae.bench.camera.frameLog().since(from);
    const auto waited = static_cast<std::ptrdiff_t>(ae.clock.sleeps[0].heard - from);
    for (auto f = all.begin(); f != all.begin() + waited; ++f)
      EXPECT_EQ(f->sent.find(":RFCC9"), std::string::npos) << "read before the wait";
    EXPECT_EQ(ae.writes(from), std::vector<std::string>(c.written.begin(), c.written.end()));
    EXPECT_TRUE(all.back().sent.starts_with(":RFCC9")) << "the last frame reads the parameter";
  }
  // From Shutter Priority, the 0.1 s button first puts 5 into the parameter, and waits 80 ms.
  Ae ae(P::Eap, "FCC8: 07\nFCC9: 02\n");
  ASSERT_TRUE(ae.logic->open());
  const auto from = ae.bench.mark();
  ae.act(Intent::click(kTenthSecond));
  EXPECT_EQ(ae.writes(from), (std::vector<std::string>{":WFCC905", ":WFCC807", ":WFCC907"}));
  ASSERT_EQ(ae.clock.sleeps.size(), 1u);
  EXPECT_EQ(ae.clock.sleeps[0].length, 80ms);
  EXPECT_EQ(ae.logic->selected(kShutterSpeeds), 8);
}

TEST(AePanel, TheThirteenFamiliesNumberTheirShutterSpeedsTwoHigher) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Ae ae(protocol, "FCC8: 07\nFCC9: 02\nFF08: 20\n", 0x13F0);
    ASSERT_TRUE(ae.logic->open());
    EXPECT_FALSE(ae.view.shown(kShutterSpeeds));
    EXPECT_TRUE(ae.view.shown(kShutterSpeedsShifted));
    EXPECT_EQ(ae.logic->selected(kShutterSpeedsShifted), 1) << "code 2 is the first after the slowest";
    EXPECT_EQ(ae.view.itemCaption(kShutterSpeedsShifted, 4), "1/15 ") << "60 Hz";
    const auto from = ae.bench.mark();
    ae.act(Intent::choose(kShutterSpeedsShifted, 5));
    EXPECT_EQ(ae.writes(from), std::vector<std::string>{protocol == P::Eap ? ":WFCC906" : "S210B12T"});
    EXPECT_EQ(byte(ae.bench, 0xFCC9), 6);
  }
  Ae fifty(P::Eap, "FCC8: 07\nFF08: 00\n");
  ASSERT_TRUE(fifty.logic->open());
  EXPECT_EQ(fifty.view.itemCaption(kShutterSpeeds, 0), "1/0.75");
  EXPECT_EQ(fifty.view.itemCaption(kShutterSpeeds, 6), "1/50 ");
}

TEST(AePanel, FullManualValuesOutsideTheModelsRangeBeepAndWriteNothing) {
  struct Case {
    std::string_view what;
    P protocol;
    std::uint16_t model;
    std::string_view registers;
    ControlId entry;
    std::uint32_t lowest;
    std::uint32_t highest;
  };
  const Case cases[] = {
      {"exposure", P::Eap, 0x0FF0, "", kManualExposure, 0, 0x06C0},
      {"exposure, 0x18F0", P::Afp, 0x18F0, "", kManualExposure, 0, 0x0480},
      {"shutter, 0x18F0", P::Eap, 0x18F0, "", kManualShutter, 0, 0x0B60},
      {"shutter, 0x1AF0 family", P::Afp, 0x1AF3, "", kManualShutter, 0, 0x0A80},
      {"shutter, camera mode 2", P::Eap, 0x0FF0, "1701: 02\n", kManualShutter, 0x01B3, 0x0B73},
      {"shutter, camera mode 0x14", P::Eap, 0x0FF0, "1701: 14\n", kManualShutter, 0x0187, 0x0B40},
      {"shutter, camera mode 9 (AFP)", P::Afp, 0x0FF0, "1701: 14\n", kManualShutter, 0x0187, 0x0B40},
      {"shutter, camera mode 5 (AFP)", P::Afp, 0x0FF0, "1701: 00\n", kManualShutter, 0x01B3, 0x0B73},
      {"gain, the camera's maximum", P::Eap, 0x0FF0, "FD46: 05 00\n", kManualGain, 0, 0x0500},
      {"gain, the camera's maximum (AFP)", P::Afp, 0x0FF0, "FD46: 03 20\n", kManualGain, 0, 0x0320},
      {"exposure shutter priority", P::Eap, 0x18F0, "FCC8: 0B\n", kEspShutter, 0, 0x0B60},
  };
  const auto hex = [](std::uint32_t v) { return formatValue(Format::Hex4, v); };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Ae ae(c.protocol, "FCC8: 0A\n" + std::string(c.registers), c.model);
    ASSERT_TRUE(ae.logic->open());
    const auto from = ae.bench.mark();
    for (const std::string& text : {std::string("G1"), std::string(), std::string("-1"), std::string("10000")}) {
      ae.act(Intent::enter(c.entry, text));
      EXPECT_TRUE(ae.bench.heardSince(from).empty()) << "\"" << text << "\"";
    }
    std::vector<std::uint32_t> refused{c.highest + 1};
    if (c.lowest > 0) refused.push_back(c.lowest - 1);
    for (const std::uint32_t v : refused) ae.act(Intent::enter(c.entry, hex(v)));
    EXPECT_TRUE(ae.writes(from).empty());
    EXPECT_EQ(ae.view.beeps(), 4 + static_cast<int>(refused.size()));
    for (const std::uint32_t v : {c.lowest, c.highest}) {
      ae.act(Intent::enter(c.entry, hex(v)));
      EXPECT_EQ(ae.logic->number(c.entry), v);
    }
    const std::uint16_t reg = c.entry == kManualExposure ? 0xFFDC : c.entry == kManualGain ? 0xFFDE : 0xFFDA;
    EXPECT_EQ(word(ae.bench, reg), c.highest);
    EXPECT_EQ(ae.view.beeps(), 4 + static_cast<int>(refused.size()));
  }
}

TEST(AePanel, IrisOffsetsGoWhereTheCamerasWdrStateSays) {
  struct Case {
    std::string_view what;
    std::string_view registers;  // 0xFF32, 0xFF90, 0xFF57
    bool wdrModel;
    std::uint16_t average;
    std::uint16_t peak;
  };
  const Case cases[] = {
      {"WDR off", "FF32: 00\nFF57: 05\n", true, 0xFD9E, 0xFD9F},
      {"WDR on with a level", "FF32: 01\nFF90: 03\nFF57: 05\n", true, 0xFD9E, 0xFD9F},
      {"the level unread without WDR", "FF32: 01\nFF90: 03\nFF57: 05\n", false, 0xFD90, 0x13CF},
      {"WDR on, level 0, mode 18", "FF32: 01\nFF57: 12\n", true, 0xFD9E, 0xFD9F},
      {"another state, mode 18", "FF32: 02\nFF57: 12\n", false, 0xFD9E, 0xFD9F},
      {"another state", "FF32: 02\nFF57: 00\n", false, 0xFD90, 0x13CF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Ae ae(P::Eap, std::string(c.registers) + "FD9E: 11 22\nFD90: 33\n13CF: 44\n");
    ae.bench.model.panelByte2 = c.wdrModel ? 0x20 : 0x00;
    ASSERT_TRUE(ae.logic->open());
    EXPECT_EQ(ae.view.text(kIrisAverage), c.average == 0xFD9E ? "11" : "33") << "read from there on open";
    EXPECT_EQ(ae.view.text(kWdrStatus), formatValue(Format::Hex2, byte(ae.bench, 0xFF32)));
    ae.act(Intent::enter(kIrisAverage, "5A"));
    ae.act(Intent::enter(kIrisPeak, "A5"));
    EXPECT_EQ(byte(ae.bench, c.average), 0x5A);
    EXPECT_EQ(byte(ae.bench, c.peak), 0xA5);
    const auto from = ae.bench.mark();
    ae.act(Intent::enter(kIrisPeak, "1A5"));
    EXPECT_TRUE(ae.bench.heardSince(from).empty());
    EXPECT_EQ(ae.view.beeps(), 1);
  }
}

TEST(AePanel, FreezeAndMirrorTakeEachOtherAwayAndTheD0FamilyFreezesThroughFF33) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Ae ae(protocol, "FF33: 00\nFF3B: 00\n", 0x00D2);
    ASSERT_TRUE(ae.logic->open());
    const auto items = [&ae] {
      std::string out;
      for (std::size_t i = 0; i < 3; ++i) out += ae.view.itemEnabled(kFreeze, i) ? '1' : '0';
      out += ' ';
      for (std::size_t i = 0; i < 2; ++i) out += ae.view.itemEnabled(kMirror, i) ? '1' : '0';
      return out;
    };
    ae.act(Intent::choose(kFreeze, 0));  // "ON (Feild)"
    EXPECT_EQ(byte(ae.bench, 0xFF33), 1);
    EXPECT_EQ(items(), "101 00");
    const auto from = ae.bench.mark();
    ae.act(Intent::choose(kFreeze, 1));
    ae.act(Intent::choose(kMirror, 0));
    EXPECT_TRUE(ae.bench.heardSince(from).empty()) << "disabled buttons send nothing";
    ae.act(Intent::choose(kFreeze, 2));  // "OFF"
    EXPECT_EQ(byte(ae.bench, 0xFF33), 0);
    EXPECT_EQ(items(), "111 11");
    ae.act(Intent::choose(kFreeze, 1));  // "ON (Frame)"
    EXPECT_EQ(byte(ae.bench, 0xFF33), 2);
    EXPECT_EQ(items(), "011 00");
    ae.act(Intent::choose(kFreeze, 2));
    ae.act(Intent::choose(kMirror, 0));  // "ON"
    EXPECT_EQ(byte(ae.bench, 0xFF3B), 1);
    EXPECT_EQ(items(), "000 11");
  }
}

TEST(AePanel, MosaicOnSwitchesDigitalZoomOffAndEitherWritesItsLine) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Ae ae(protocol, "FCCB: 01\nFF3A: 00\n");
    ASSERT_TRUE(ae.logic->open());
    ae.bench.monitor.clear();
    ae.act(Intent::choose(kMosaic, 0));
    EXPECT_EQ(byte(ae.bench, 0xFCCB), 0);
    EXPECT_EQ(byte(ae.bench, 0xFF3A), 1);
    EXPECT_NE(ae.bench.monitor.pc().find("\r\n-- MOSAIC --"), std::string::npos);
    ASSERT_TRUE(ae.bench.access.write(camera::registerSetting(0xFCCB, 8), 1));  // over the line: the camera runs on
    ae.bench.monitor.clear();
    const auto from = ae.bench.mark();
    ae.act(Intent::choose(kMosaic, 1));
    EXPECT_EQ(ae.writes(from).size(), 1u) << "OFF leaves digital zoom alone";
    EXPECT_EQ(byte(ae.bench, 0xFF3A), 0);
    EXPECT_NE(ae.bench.monitor.pc().find("\r\n-- MOSAIC --"), std::string::npos);
  }
}

TEST(AePanel, SetTheWeightingDataOpensTheSubPanel) {
  Ae ae(P::Eap, "");
  ASSERT_TRUE(ae.logic->open());
  ae.act(Intent::click(kOpenWeighting));
  EXPECT_EQ(ae.bench.host.opened, std::vector<PanelId>{PanelId::WeightingData});
}

TEST(WeightingPanel, ReadsTheSixAreasInBothProtocolsAndSetReadsThemAgain) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    testing::Bench b(protocol, "FAE0: 01 02 03 00 00 00 00 00 00 00 00 00 00 00 00 AB CD EF\n");
    FakePanelView view;
    const auto logic = makeWeightingPanel(b.context, view);
    ASSERT_TRUE(logic->open());
    EXPECT_NE(b.monitor.pc().find("<< Read the Weighting Data >>"), std::string::npos);
    EXPECT_EQ(view.text(kFirstArea), "010203");
    EXPECT_EQ(view.text(kFirstArea + 5), "ABCDEF");
    if (protocol == P::Afp) {
      const auto heard = b.heardSince(0);
      EXPECT_EQ(std::count_if(heard.begin(), heard.end(), [](const std::string& f) { return f.starts_with("G2107"); }), 6);
    }
    b.monitor.clear();
    logic->intent(Intent::enter(kWeightingData, "2123"));
    EXPECT_NE(b.monitor.pc().find("<< Weighting Data Set >>"), std::string::npos);
    EXPECT_EQ(view.text(kFirstArea + 1), "000123") << "read again";
    EXPECT_EQ(word(b, 0xFDA0), 0x2123);
  }
}

}  // namespace
}  // namespace orva::panels::exposure
