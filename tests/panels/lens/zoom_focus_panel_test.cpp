// ZOOM/FOCUS CONTROL against the virtual camera in both protocols: the slow speeds, refused
// entries, the zoom cue, the adjustment mode, the AF options and the magnification modes. That
// every choice and entry reaches the camera is the every-panel test's.
#include "panels/lens/lens_panels.hpp"

#include <gtest/gtest.h>

#include "panels/camera_condition.hpp"
#include "panels/lens/lens_controls.hpp"
#include "panels/lens/lens_panel_bench.hpp"
#include "panels/lens/lens_readout.hpp"
#include "panels/lens/lens_texts.hpp"

namespace orva::panels::lens {
namespace {

using namespace std::chrono_literals;
using testing::byte;
using testing::name;
using testing::word;
using P = link::Protocol;
namespace C = controls;
namespace T = texts;

constexpr std::uint16_t kSlowZoom = 0x40FF;     // panel word 2 with the slow speeds
constexpr std::uint16_t kAdjustable = 0x807F;   // with the adjustment mode, without AF options
constexpr std::uint16_t kNoAfOptions = 0x007F;  // without the AF search capability

// That each choice reaches the camera in both protocols is the every-panel test's.
TEST(ZoomFocus, TheSlowSpeedsReplaceTheSpeedButtonsAndTheirListFollowsSlowSpeed) {
  Panel z(P::Eap, "FDFC: 0C\nFDFB: 03\n", makeZoomFocus, 0x0CF0, 1, kSlowZoom);
  ASSERT_TRUE(z.logic->open());
  EXPECT_EQ(z.bench.monitor.pc().rfind("\r\n\r\n<< ZOOM_FOCUS CONTROL >>", 0), 0u);
  EXPECT_FALSE(z.view.shown(C::kSpeed));
  EXPECT_TRUE(z.view.shown(C::kSpeedSlow));
  EXPECT_EQ(z.view.value(C::kSpeedSlow), 2);
  EXPECT_EQ(z.view.value(C::kSlowList), 3);
  EXPECT_TRUE(z.view.enabled(C::kSlowList));
  z.logic->intent(Intent::choose(C::kSlowList, 5));
  z.logic->intent(Intent::choose(C::kSpeedSlow, 1));
  EXPECT_FALSE(z.view.enabled(C::kSlowList)) << "the list only while SLOW SPEED is selected";
  z.logic->intent(Intent::choose(C::kSpeedSlow, 2));
  EXPECT_EQ(byte(z.bench, 0xFDFC) & 0x0C, 0x0C);
  EXPECT_EQ(byte(z.bench, 0xFDFB), 5) << "the slow level chosen stays";
  EXPECT_EQ(z.view.value(C::kSlowList), 5);
}

TEST(ZoomFocus, EntriesOutOfRangeAreRefusedTheInstantOneWithItsMessage) {
  Panel z(P::Eap, "FDE6: 0F\nFDF0: 00\n", makeZoomFocus, 0x61, 0, kNoAfOptions);
  ASSERT_TRUE(z.logic->open());
  const auto mark = z.bench.mark();
  z.logic->intent(Intent::enter(C::kInstantMax, "2.1"));
  ASSERT_EQ(z.bench.prompt.asked().size(), 1u);
  EXPECT_EQ(z.bench.prompt.asked()[0].text, T::kInstantRange);
  EXPECT_EQ(z.bench.prompt.asked()[0].title, "Error");
  EXPECT_EQ(z.view.beeps(), 1);
  EXPECT_EQ(z.view.text(C::kInstantMax), "1.5") << "the last valid value back";
  EXPECT_TRUE(z.bench.heardSince(mark).empty());
  z.logic->intent(Intent::enter(C::kInstantMax, "1.0"));
  EXPECT_EQ(byte(z.bench, 0xFDE6), 10);

  // Family 0x60: 1 to 10; beyond, the bound is shown and used.
  z.logic->intent(Intent::enter(C::kContinuousMax, "11"));
  EXPECT_EQ(z.view.beeps(), 2);
  EXPECT_EQ(z.view.text(C::kContinuousMax), "10");
  EXPECT_EQ(byte(z.bench, 0xFDF0), 0xE7) << "low byte of -256 / 10";
}

TEST(ZoomFocus, TheZoomCueCycleAndTheHoldOfManualFocusAfterAZoom) {
  // Model code 0xC0 has zoom cue; 0x1260 = 10: the hold is 10 x 40 ms + 500 ms.
  Panel z(P::Eap, "FF0E: 00\n1260: 0A\n", makeZoomFocus, 0xC0, 0, kNoAfOptions);
  ASSERT_TRUE(z.logic->open());
  EXPECT_TRUE(z.view.shown(C::kFocusModeCue));
  EXPECT_FALSE(z.view.shown(C::kFocusMode));
  EXPECT_EQ(z.view.value(C::kFocusModeCue), 0);
  auto mark = z.bench.mark();
  z.logic->intent(Intent::choose(C::kFocusModeCue, 2));
  EXPECT_EQ(drives(z.bench, mark), (std::vector<std::string>{"A8", "A4", "FE"})) << "auto → manual → zoom cue";
  EXPECT_EQ(z.view.value(C::kFocusModeCue), 2);

  z.logic->intent(Intent::press(C::kZoomTele));
  z.logic->intent(Intent::release(C::kZoomTele));
  z.logic->intent(Intent::tick(kPositionTimer));
  EXPECT_EQ(z.view.timers().at(kZoomCueTimer), 900ms);
  EXPECT_FALSE(z.view.itemEnabled(C::kFocusModeCue, 1)) << "MANUAL FOCUS greyed during the hold";
  mark = z.bench.mark();
  z.logic->intent(Intent::choose(C::kFocusModeCue, 1));
  EXPECT_TRUE(z.bench.heardSince(mark).empty()) << "manual focus waits for the hold";
  z.logic->intent(Intent::tick(kZoomCueTimer));
  EXPECT_EQ(z.view.timers().count(kZoomCueTimer), 0u);
  EXPECT_TRUE(z.view.itemEnabled(C::kFocusModeCue, 1));
  z.logic->intent(Intent::choose(C::kFocusModeCue, 1));
  EXPECT_EQ(drives(z.bench, mark), (std::vector<std::string>{"A4", "FE"}));
  EXPECT_EQ(z.view.value(C::kFocusModeCue), 1);
}

// Every control that acts on the camera takes the operation slot first: while a run holds it,
// no click, choice or entry of the panel reaches the line.
TEST(ZoomFocus, WhileTheSlotIsTakenNoControlReachesTheCamera) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Panel z(protocol, "16F0: 05\n16FA: 07\n", makeZoomFocus, 0x0CF0, 1, 0x43FF);
    ASSERT_TRUE(z.logic->open());
    auto claim = z.bench.runner.claim();
    ASSERT_TRUE(claim);
    const auto mark = z.bench.mark();
    for (const ControlDescription& c : zoomFocusPanelDescription().controls) {
      if (c.kind == ControlKind::Arrow || c.kind == ControlKind::Close) continue;
      z.logic->intent(Intent::click(c.id));
      z.logic->intent(Intent::toggle(c.id));
      z.logic->intent(Intent::choose(c.id, 1));
      z.logic->intent(Intent::enter(c.id, formatValue(c.format, static_cast<std::uint32_t>(c.minimum + 1))));
    }
    EXPECT_TRUE(z.bench.heardSince(mark).empty());
  }
}

TEST(ZoomFocus, OnePushAfStopsAfterItsTimer) {
  Panel z(P::Eap, "", makeZoomFocus, 0xD3, 0, kNoAfOptions);
  ASSERT_TRUE(z.logic->open());
  const auto mark = z.bench.mark();
  z.logic->intent(Intent::click(C::kOnePush));
  EXPECT_EQ(z.view.timers().at(kOnePushTimer), 100ms);
  z.logic->intent(Intent::tick(kOnePushTimer));
  EXPECT_EQ(z.view.timers().count(kOnePushTimer), 0u);
  EXPECT_EQ(drives(z.bench, mark), (std::vector<std::string>{"AC", "FE"}));
}

TEST(ZoomFocus, InAdjustmentModeTheArrowsStepTheMotorsOnTimers) {
  Panel z(P::Eap, "1314: 34\nFF0E: 00\nF712: 01 00\n", makeZoomFocus, 0x0CF0, 1, kAdjustable);
  ASSERT_TRUE(z.logic->open());
  EXPECT_EQ(z.view.caption(C::kAdjustment), "Adj. ON ");
  EXPECT_EQ(word(z.bench, 0xF71A), 0x0700);
  EXPECT_EQ(word(z.bench, 0xF718), 0xF800);
  EXPECT_TRUE(z.view.enabled(C::kFocusNear)) << "in adjustment mode whatever the focus mode";
  const auto mark = z.bench.mark();
  z.logic->intent(Intent::press(C::kFocusNear));
  EXPECT_EQ(z.view.timers().at(kFocusNearStepTimer), 100ms);
  z.logic->intent(Intent::tick(kFocusNearStepTimer));
  EXPECT_EQ(word(z.bench, 0xF712), 0x0108) << "coarse: 8";
  z.logic->intent(Intent::release(C::kFocusNear));
  EXPECT_EQ(z.view.timers().count(kFocusNearStepTimer), 0u);
  z.logic->intent(Intent::choose(C::kFocusStep, 1));
  z.logic->intent(Intent::press(C::kFocusFar));
  z.logic->intent(Intent::tick(kFocusFarStepTimer));
  z.logic->intent(Intent::tick(kFocusFarStepTimer));
  z.logic->intent(Intent::release(C::kFocusFar));
  EXPECT_EQ(word(z.bench, 0xF712), 0x0106) << "fine: 1, twice, towards far";
  z.logic->intent(Intent::press(C::kZoomTele));
  z.logic->close();
  EXPECT_TRUE(drives(z.bench, mark).empty()) << "no drive command in adjustment mode";
  EXPECT_TRUE(z.view.timers().empty());

  z.logic.reset();
  Panel other(P::Eap, "1314: 12\n", makeZoomFocus, 0x0CF0, 1, kAdjustable);
  ASSERT_TRUE(other.logic->open());
  for (ControlId id : {C::kFocusNear, C::kFocusFar, C::kZoomWide, C::kZoomTele, C::kAdjustment})
    EXPECT_FALSE(other.view.enabled(id)) << id;
}

TEST(ZoomFocus, TheAdjustmentButtonTogglesItsRegisterAndCaption) {
  Panel z(P::Eap, "1314: 04\n", makeZoomFocus, 0x0CF0, 1, kAdjustable);
  ASSERT_TRUE(z.logic->open());
  EXPECT_EQ(z.view.caption(C::kAdjustment), "Adj. OFF");
  z.logic->intent(Intent::click(C::kAdjustment));
  EXPECT_EQ(byte(z.bench, 0x1314), 0x34);
  EXPECT_EQ(z.view.caption(C::kAdjustment), "Adj. ON ");
  z.logic->intent(Intent::click(C::kAdjustment));
  EXPECT_EQ(byte(z.bench, 0x1314), 0x04);
}

// What each option writes is the every-panel test's; here, what it says afterwards.
TEST(ZoomFocus, AfOptionsWriteAndThenSayWhatTheyDid) {
  Panel z(P::Eap, "F8E0: 07\n", makeZoomFocus, 0x95, 0, 0x01FF);
  ASSERT_TRUE(z.logic->open());
  EXPECT_TRUE(z.view.shown(C::kAfSearch));
  EXPECT_EQ(z.view.value(C::kAfSearch), 2) << "a value no button names selects OFF";
  z.bench.monitor.clear();
  z.logic->intent(Intent::choose(C::kQuickAf, 1));
  z.logic->intent(Intent::choose(C::kAfSearch, 1));
  z.logic->intent(Intent::choose(C::kMinFocus, 2));
  EXPECT_EQ(byte(z.bench, 0x12D9), 0xF8) << "the models 0x90-0x9F keep it twice";
  z.logic->intent(Intent::choose(C::kWatchdogMode, 3));
  z.logic->intent(Intent::choose(C::kLensPositionMode, 1));
  const std::string& log = z.bench.monitor.log();
  std::size_t at = 0;
  for (std::string_view heading :
       {"\n\n<< Quick AF : On >>", "\n\n<< new AF search Type A&B >>", "\n\n<< Minimum Focus Length 30cm >>",
        "\n\n<< AF Watchdog mode : Restart Time >>", "\n\n<< Lens position set mode : Type-B >>"}) {
    const auto found = log.find(heading, at);
    ASSERT_NE(found, std::string::npos) << heading;
    at = found;
  }
}

TEST(ZoomFocus, ARegisterBitTheGatewayCarriesKeepsTheRegistersOtherBitsInAfp) {
  Panel z(P::Afp, "11E1: 41\n", makeZoomFocus, 0x0CF0, 1, 0x00FF);
  ASSERT_TRUE(z.logic->open());
  EXPECT_EQ(z.view.value(C::kLensPositionMode), 0) << "Type-A: bit 7 clear, whatever the other bits";
  z.logic->intent(Intent::choose(C::kLensPositionMode, 1));
  EXPECT_EQ(byte(z.bench, 0x11E1), 0xC1);
  EXPECT_EQ(z.view.value(C::kLensPositionMode), 1);
}

TEST(ZoomFocus, SetNowZoomPositionStoresTheLensPositionAndShowsIt) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Panel z(protocol, "F850: 30 00\n", makeZoomFocus, 0x0CF0, 1, 0x00FF);
    ASSERT_TRUE(z.logic->open());
    z.logic->intent(Intent::click(C::kSetNowZoomPosition));
    const std::uint16_t expected = protocol == P::Eap ? word(z.bench, 0xF714) : 0x3000;
    EXPECT_EQ(word(z.bench, 0x11E6), expected);
    EXPECT_EQ(z.view.text(C::kLensPosition), formatValue(Format::Hex4, expected));
  }
}

TEST(ZoomFocus, The36xModeAsksFirstThenRestartsTheCameraAndReadsEverythingAgain) {
  for (const core::Answer answer : {core::Answer::Cancel, core::Answer::Ok}) {
    SCOPED_TRACE(answer == core::Answer::Ok ? "confirmed" : "cancelled");
    Panel z(P::Eap, "0AFE: 01\nF850: 5F 00\n", makeZoomFocus, 0x10F0, 19, kNoAfOptions);
    z.bench.prompt.answer(answer);
    ASSERT_TRUE(z.logic->open());
    EXPECT_TRUE(z.view.shown(C::k36x));
    EXPECT_EQ(z.view.itemCaption(C::kSlider, 3), "x35");
    const auto mark = z.bench.mark();
    z.logic->intent(Intent::click(C::k36x));
    z.settle();
    ASSERT_EQ(z.bench.prompt.asked().size(), 1u);
    EXPECT_EQ(z.bench.prompt.asked()[0].text, "Soft Reset is carried out. Is it all right ?");
    EXPECT_EQ(z.bench.prompt.asked()[0].title, "Attention");
    const auto heard = z.targets(mark);
    if (answer == core::Answer::Cancel) {
      EXPECT_TRUE(heard.empty());
      continue;
    }
    ASSERT_GE(heard.size(), 3u);
    EXPECT_EQ(heard[0], "0AFE");
    EXPECT_EQ(heard[1], "FCAC");
    EXPECT_EQ(heard[2], "FDFC") << "the settings are read again once the camera is back";
    EXPECT_EQ(byte(z.bench, 0x0AFE), 0);
    EXPECT_NE(z.bench.monitor.log().find("\n\n<< SOFT RESET ON >>"), std::string::npos);
    EXPECT_EQ(z.view.itemCaption(C::kSlider, 3), "x36");
    EXPECT_EQ(z.view.itemCaption(C::kSpeed, 0), "          HIGH SPEED   ( 4.6sec )");
    EXPECT_TRUE(z.logic->isOpen());

    // The new lens is the session's: a panel opened afterwards and the condition readout use it.
    ASSERT_EQ(z.bench.host.lens, 23);
    z.bench.model.lensIndex = *z.bench.host.lens;
    z.logic->close();
    FakePanelView fresh;
    const auto again = makeZoomFocus(z.bench.context, fresh);
    ASSERT_TRUE(again->open());
    EXPECT_EQ(fresh.itemCaption(C::kSlider, 3), "x36");
    again->close();
    ASSERT_NE(lens::zoomStep(23, 0x5F00), lens::zoomStep(19, 0x5F00));
    ConditionReadout readout(z.bench.access, z.bench.monitor, z.bench.runner);
    EXPECT_EQ(readout.read(z.bench.model, true, true).magnification, std::to_string(lens::zoomStep(23, 0x5F00) + 1));
  }
}

}  // namespace
}  // namespace orva::panels::lens
