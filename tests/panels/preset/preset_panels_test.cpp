// MEM-PRESET and DIRECT-PRESET against the virtual camera: the memory keys (a store reads the
// pair, an untick sends nothing, a recall sends it), the status watch reaching COMPLETE, ERROR
// and a cancel through the fake clock, the direct tables and focus steps, and the focus mode
// given back on close. Plain round trips are the generic panel test's.
#include "panels/preset/preset_panels.hpp"

#include <gtest/gtest.h>

#include <mutex>
#include <optional>

#include "panels/preset/preset_bench.hpp"
#include "panels/preset/preset_settings.hpp"

namespace orva::panels::preset {
namespace {

using namespace testing;
constexpr int k30xLens = 11;

TEST(MemPresetPanel, AStoredPairIsSentBackAndForgottenWithoutATrace) {
  for (const P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(testing::name(protocol));
    PresetPanel p(protocol, makeMemPresetPanel, "FF0E: 08\n");
    ASSERT_TRUE(p.logic->open());
    EXPECT_FALSE(p.view.enabled(kPreset1));
    const std::uint32_t zoom = p.read(0xF850, 16);
    const std::uint32_t focus = p.read(0xF852, 16);
    p.act(Intent::toggle(kMemory1 + 1));
    EXPECT_EQ(p.view.value(kMemory1 + 1), 1);
    EXPECT_TRUE(p.view.enabled(kPreset1 + 1));
    EXPECT_TRUE(p.logged("<< Memory2 >>"));

    EXPECT_TRUE(p.bench.access.write(camera::registerSetting(0xF854, 8), 0));  // somewhere else, so that the recall is seen
    p.act(Intent::click(kPreset1 + 1));
    EXPECT_TRUE(p.logged("<< Preset2 >>"));
    EXPECT_TRUE(p.logged(texts::kComplete));
    EXPECT_EQ(p.view.text(kStatus), "COMPLETE");
    EXPECT_FALSE(p.view.enabled(kCancel));
    EXPECT_EQ(p.read(0xF854, 16), zoom);
    EXPECT_EQ(p.read(0xF856, 16), focus);

    const auto mark = p.bench.mark();
    p.act(Intent::toggle(kMemory1 + 1));
    EXPECT_TRUE(p.bench.heardSince(mark).empty());
    EXPECT_EQ(p.view.value(kMemory1 + 1), 0);
    EXPECT_FALSE(p.view.enabled(kPreset1 + 1));
    p.act(Intent::click(kPreset1 + 1));
    EXPECT_TRUE(p.bench.heardSince(mark).empty());
    p.logic->close();
  }
}

TEST(MemPresetPanel, TheDigitalZoomModeAppliesToType2Only) {
  for (const P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(testing::name(protocol));
    PresetPanel p(protocol, makeMemPresetPanel, "FF0E: 08\nF861: 01\n");
    p.bench.model.panelWord2 = 1u << 5;
    ASSERT_TRUE(p.logic->open());
    EXPECT_TRUE(p.view.shown(kContinuous));
    EXPECT_FALSE(p.view.enabled(kContinuous));
    p.act(Intent::choose(kType, 1));
    std::uint32_t type = 0;
    EXPECT_TRUE(p.bench.access.read(kTypeSetting, type));
    EXPECT_EQ(type, 2u);
    EXPECT_TRUE(p.view.enabled(kContinuous));
    p.logic->close();
  }
}

TEST(PresetPanels, TheWatchFollowsTheMoveUntilTheCameraReportsAndCancelReachesTheCamera) {
  struct Case {
    P protocol;
    bool cancel;
    std::vector<sim::Fault> faults;
    std::string_view heading;
    std::string_view status;
  };
  const Case cases[] = {
      {P::Eap, false, {}, texts::kComplete, "COMPLETE"},
      {P::Afp, true, {}, texts::kComplete, "COMPLETE"},
      {P::Afp, false, faults({"preset-error"}), texts::kError, "ERROR"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(testing::name(c.protocol)) + std::string(c.cancel ? " cancelled" : ""));
    PresetPanel p(c.protocol, makeDirectPresetPanel, "FF0E: 08\n", c.faults);
    ASSERT_TRUE(p.logic->open());
    p.act(Intent::choose(kZoom, 19));  // wide to tele: seconds of travel
    // The run waits at its send while the test holds the line, so the cancel is asked before
    // the run can see the lens arrive, however slowly this thread goes.
    std::optional<std::unique_lock<std::recursive_mutex>> line;
    if (c.cancel) line.emplace(p.bench.link.command());
    p.press(Intent::click(kSetZoom));
    EXPECT_TRUE(p.view.enabled(kCancel));
    if (c.cancel) {
      p.press(Intent::click(kCancel));
      EXPECT_TRUE(p.logged(texts::kCancelHeading));
      line.reset();
    }
    p.bench.settle();
    EXPECT_TRUE(p.logged(c.heading));
    EXPECT_EQ(p.view.text(kStatus), c.status);
    EXPECT_FALSE(p.view.enabled(kCancel));
    const auto frames = p.bench.heardSince(0);
    EXPECT_EQ(std::ranges::any_of(frames, [](const std::string& f) { return f.find("F85C01") != std::string::npos; }),
              c.cancel);
    if (!c.cancel && c.faults.empty()) {
      EXPECT_EQ(p.read(0xF850, 16), camera::lens::kTelePosition);
    }
    p.logic->close();
  }
}

TEST(MemPresetPanel, ARecallTheCameraDoesNotTakeEndsInError) {
  for (const P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(testing::name(protocol));
    // The frames before the recall, counted on a camera that answers them all.
    std::uint64_t before = 0;
    {
      PresetPanel p(protocol, makeMemPresetPanel, "FF0E: 08\n");
      ASSERT_TRUE(p.logic->open());
      p.act(Intent::toggle(kMemory1));
      before = p.bench.heardSince(0).size();
    }
    PresetPanel p(protocol, makeMemPresetPanel, "FF0E: 08\n", faults({"hangup:" + std::to_string(before)}));
    ASSERT_TRUE(p.logic->open());
    p.act(Intent::toggle(kMemory1));
    p.act(Intent::click(kPreset1));
    EXPECT_TRUE(p.logged(texts::kError));
    EXPECT_EQ(p.view.text(kStatus), "ERROR");
    EXPECT_FALSE(p.view.enabled(kCancel));
  }
}

TEST(DirectPresetPanel, CloseStopsAWatchStillRunning) {
  PresetPanel p(P::Afp, makeDirectPresetPanel, "FF0E: 08\n");
  ASSERT_TRUE(p.logic->open());
  p.act(Intent::choose(kZoom, 19));
  p.press(Intent::click(kSetZoom));
  p.logic->close();
  p.bench.settle();
  EXPECT_FALSE(p.bench.runner.busy());
  EXPECT_FALSE(p.logged(texts::kComplete));
}

TEST(DirectPresetPanel, SendsTheTablesPositionAndTheFocusStep) {
  struct Case {
    P protocol;
    ControlId list;
    ControlId set;
    int index;
    std::string_view heading;
    std::uint16_t address;  // 0: the frame only
    std::uint32_t value;
    std::string_view frame;
  };
  const Case cases[] = {
      {P::Eap, kZoom, kSetZoom, 9, "<< Preset x10  >>", 0xF858, 0x589C, ":wF858589C"},
      {P::Eap, kZoom, kSetZoom, 19, "<< Preset x20  >>", 0xF858, 0x6400, ":wF8586400"},
      {P::Eap, kFocus, kSetFocus, 0, "<< Over Inf  >>", 0xF85A, 0x0000, ":wF85A0000"},
      {P::Eap, kFocus, kSetFocus, 12, "<< 1cm  >>", 0xF85A, 0xC000, ":wF85AC000"},
      {P::Afp, kZoom, kSetZoom, 9, "<< Preset x10  >>", 0, 0, "S6105589CT"},
      {P::Afp, kFocus, kSetFocus, 7, "<< 1.3m  >>", 0, 0, "S6104"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heading);
    PresetPanel p(c.protocol, makeDirectPresetPanel, "FF0E: 08\n");
    ASSERT_TRUE(p.logic->open());
    p.act(Intent::choose(c.list, c.index));
    p.act(Intent::click(c.set));
    EXPECT_TRUE(p.logged(c.heading));
    EXPECT_EQ(p.view.text(kStatus), "COMPLETE");
    EXPECT_TRUE(mentions(p.bench.heardSince(0), c.frame));
    if (c.address != 0) {
      EXPECT_EQ(p.read(c.address, 16), c.value);
    }
    p.logic->close();
  }
}

TEST(PresetPanels, CloseGivesBackAutoFocusOnlyWhereThePanelTookIt) {
  for (const P protocol : {P::Eap, P::Afp}) {
    for (const bool direct : {false, true}) {
      for (const bool manualBefore : {false, true}) {
        SCOPED_TRACE(std::string(testing::name(protocol)) + std::string(direct ? " direct" : " memory") +
                     (manualBefore ? " manual" : " auto"));
        PresetPanel p(protocol, direct ? makeDirectPresetPanel : makeMemPresetPanel,
                      manualBefore ? "FF0E: 08\n" : "FF0E: 00\n");
        ASSERT_TRUE(p.logic->open());
        EXPECT_EQ(p.read(0xFF0E, 8) & 0x08u, 0x08u);
        p.logic->close();
        p.bench.settle();
        EXPECT_EQ(p.read(0xFF0E, 8) & 0x08u, manualBefore ? 0x08u : 0u);
      }
    }
  }
}

TEST(DirectPresetTables, RiseFromWideToTeleAndGoOnDigitally) {
  camera::ModelRecord m;
  m.panelWord2 = 0;
  for (int lens = 0; lens < camera::lens::kLensCount; ++lens) {
    m.lensIndex = lens;
    const auto positions = zoomPositions(m);
    ASSERT_EQ(positions.size(), zoomNames(m).size()) << lens;
    EXPECT_EQ(positions.front(), 0) << lens;
    EXPECT_EQ(positions.back(), 0x6400) << lens;
    for (std::size_t i = 1; i < positions.size(); ++i) EXPECT_LT(positions[i - 1], positions[i]) << lens;
  }
  m.lensIndex = k30xLens;
  m.panelWord2 = 1u << 5;
  const auto names = zoomNames(m);
  ASSERT_EQ(names.size(), 41u);
  EXPECT_EQ(names[29], "x30");
  EXPECT_EQ(names[30], "x60D");
  EXPECT_EQ(names[40], "x360D");
  EXPECT_GT(zoomPositions(m)[30], 0x6400);
}

}  // namespace
}  // namespace orva::panels::preset
