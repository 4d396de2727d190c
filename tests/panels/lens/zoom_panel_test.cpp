// ZOOM CONTROL and the zoom part it shares with ZOOM/FOCUS CONTROL, against the virtual camera
// and its lens in both protocols: what it reads on open and in which order, what each control
// writes, the refused entries, the arrows and the slider moves that always end with the stop,
// and the digital zoom.
#include "panels/lens/lens_panels.hpp"

#include <gtest/gtest.h>

#include <future>

#include "panels/lens/lens_controls.hpp"
#include "panels/lens/lens_operations.hpp"
#include "panels/lens/lens_panel_bench.hpp"
#include "panels/lens/lens_readout.hpp"
#include "panels/texts.hpp"

namespace orva::panels::lens {
namespace {

using namespace std::chrono_literals;
using testing::byte;
using testing::name;
using testing::word;
using P = link::Protocol;
namespace C = controls;

// Normal speed, continuous and instant digital zoom on with maximum 4 and factor 1.5, the
// zoom at 0x3000 (x3 of lens 1).
constexpr std::string_view kZoomState = "FDFC: 08\nFCCB: 01\nFF0F: 80\nFDF0: C0\nFDE6: 0F\nF850: 30 00\n";

TEST(ZoomControl, OpensInOrderAndShowsWhatTheCameraHolds) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Panel z(protocol, kZoomState, makeZoomPanel);
    ASSERT_TRUE(z.logic->open());
    EXPECT_EQ(z.bench.monitor.pc().rfind("\r\n\r\n<< ZOOM CONTROL >>", 0), 0u);
    const auto expected = protocol == P::Eap
                              ? std::vector<std::string>{"FDFC", "FCCB", "FF0F", "F720", "FC91", "FDF0", "FDE6"}
                              : std::vector<std::string>{"1108", "1201", "1203", "1109", "FC91", "1202", "1204"};
    EXPECT_EQ(z.targets(z.from), expected);
    auto& v = z.view;
    EXPECT_EQ(v.itemCaption(C::kSpeed, 0), "          HIGH SPEED   ( 3.6sec )");
    EXPECT_EQ(v.itemCaption(C::kSpeed, 1), "          NORMAL SPEED ( 6.0sec )");
    EXPECT_EQ(v.itemCaption(C::kSlider, 3), "x16");
    EXPECT_EQ(v.value(C::kSpeed), 1);
    EXPECT_EQ(v.value(C::kContinuous), 1);
    EXPECT_EQ(v.value(C::kInstant), 1);
    EXPECT_EQ(v.range(C::kSlider), std::make_pair(0, 15));
    EXPECT_EQ(v.value(C::kSlider), 2);
    EXPECT_EQ(v.text(C::kContinuousMax), "4");
    EXPECT_EQ(v.text(C::kInstantMax), "1.5");
    EXPECT_EQ(v.text(C::kMagnification), "4.5") << "x3 times 1.5";
    EXPECT_EQ(v.text(C::kDigiMark), "DIGI.");
  }
}

TEST(ZoomControl, TheSliderRangeIsTheLensesAndAnOldModelsUnshowableMaximumIsDashes) {
  Panel z(P::Eap, "FDF0: 40\nFC91: FF\n", makeZoomPanel, 0x20, 0);
  ASSERT_TRUE(z.logic->open());
  EXPECT_EQ(z.view.range(C::kSlider), std::make_pair(0, 11));
  EXPECT_EQ(z.view.itemCaption(C::kSlider, 0), "x3");
  EXPECT_EQ(z.view.text(C::kContinuousMax), "--");
  EXPECT_EQ(z.view.text(C::kMagnification), "1");
  EXPECT_EQ(z.view.text(C::kDigiMark), "");
}

// That the selected button sends nothing is the panel logic's.
TEST(ZoomControl, ASpeedButtonRewritesBits2And3OnlyAndTheOldFamilyHasNoHighSpeed) {
  Panel z(P::Eap, "FDFC: 09\n", makeZoomPanel);
  ASSERT_TRUE(z.logic->open());
  z.logic->intent(Intent::choose(C::kSpeed, 0));
  EXPECT_EQ(z.view.value(C::kSpeed), 0);
  EXPECT_EQ(byte(z.bench, 0xFDFC), 0x01);
  // The family 0x20 has no high speed.
  Panel old(P::Eap, "FDFC: 08\n", makeZoomPanel, 0x21, 0);
  ASSERT_TRUE(old.logic->open());
  EXPECT_FALSE(old.view.itemEnabled(C::kSpeed, 0)) << "greyed";
  EXPECT_TRUE(old.view.itemEnabled(C::kSpeed, 1));
  const auto before = old.bench.mark();
  old.logic->intent(Intent::choose(C::kSpeed, 0));
  EXPECT_TRUE(old.bench.heardSince(before).empty());
  EXPECT_EQ(old.view.value(C::kSpeed), 1);
}

TEST(ZoomControl, TheContinuousMaximumTakesOneDigitFrom1To8InTheModelsCoding) {
  struct Case {
    std::uint16_t modelCode;
    std::uint8_t stored;  // for a maximum of 4
  };
  for (const Case c : {Case{0x0CF0, 0xC0}, Case{0x20, 48}}) {
    SCOPED_TRACE(c.modelCode);
    Panel z(P::Eap, "FDF0: 00\n", makeZoomPanel, c.modelCode, 0);
    ASSERT_TRUE(z.logic->open());
    const auto mark = z.bench.mark();
    for (const char* refused : {"0", "9", "12", "x", "", "4.0"}) z.logic->intent(Intent::enter(C::kContinuousMax, refused));
    EXPECT_EQ(z.view.beeps(), 6);
    EXPECT_TRUE(z.bench.heardSince(mark).empty()) << "a refused maximum sends nothing";
    EXPECT_EQ(z.view.text(C::kContinuousMax), "1");
    z.logic->intent(Intent::enter(C::kContinuousMax, "4"));
    EXPECT_EQ(byte(z.bench, 0xFDF0), c.stored);
    EXPECT_EQ(z.view.text(C::kContinuousMax), "4");
  }
}

// Its refusals are the declared range's (the every-panel and zoom/focus tests).
TEST(ZoomControl, TheInstantMagnificationAndItsSwitchSetTheMagnificationShown) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Panel z(protocol, kZoomState, makeZoomPanel);
    ASSERT_TRUE(z.logic->open());
    EXPECT_EQ(z.view.text(C::kInstantMax), "1.5");
    z.logic->intent(Intent::enter(C::kInstantMax, "2.0"));
    EXPECT_EQ(byte(z.bench, 0xFDE6), 20);
    EXPECT_EQ(z.view.text(C::kMagnification), "6") << "x3 times 2";
    z.logic->intent(Intent::enter(C::kInstantMax, "1.0"));
    EXPECT_EQ(byte(z.bench, 0xFDE6), 10);
    z.logic->intent(Intent::toggle(C::kInstant));
    EXPECT_EQ(byte(z.bench, 0xFF0F) & 0x80, 0);
    EXPECT_EQ(z.view.text(C::kMagnification), "3");
  }
}

TEST(ZoomArrows, PressAndReleaseSendOneStartAndOneStopAndThePositionIsFollowedMeanwhile) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Panel z(protocol, "FDFC: 00\n", makeZoomPanel);
    ASSERT_TRUE(z.logic->open());
    const auto mark = z.bench.mark();
    z.logic->intent(Intent::press(C::kZoomTele));
    z.logic->intent(Intent::press(C::kZoomTele));
    EXPECT_EQ(z.view.timers().at(kPositionTimer), 200ms);
    z.bench.clock.advance(3000ms);
    z.logic->intent(Intent::tick(kPositionTimer));
    EXPECT_GT(z.view.value(C::kSlider).value_or(0), 3) << "the lens went towards tele meanwhile";
    EXPECT_EQ(z.view.timers().count(kPositionTimer), 1u) << "polling goes on while the drive runs";
    z.logic->intent(Intent::release(C::kZoomTele));
    z.logic->intent(Intent::release(C::kZoomTele));
    z.logic->intent(Intent::tick(kPositionTimer));
    EXPECT_EQ(z.view.timers().count(kPositionTimer), 0u) << "the drive reads stopped: polling ends";
    EXPECT_EQ(drives(z.bench, mark), (protocol == P::Eap ? std::vector<std::string>{"99", "FE"}
                                                         : std::vector<std::string>{"02", "01"}));
  }
}

TEST(ZoomArrows, EveryWayOutOfAHeldArrowStopsTheLens) {
  const std::pair<std::string_view, void (*)(PanelLogic&)> ways[] = {
      {"the release the window sends when it loses the mouse", [](PanelLogic& l) { l.intent(Intent::release(C::kZoomWide)); }},
      {"CLOSE", [](PanelLogic& l) { l.intent(Intent::click(C::kClose)); }},
      {"the window's close command", [](PanelLogic& l) { l.close(); }},
  };
  for (const auto& [way, leave] : ways) {
    SCOPED_TRACE(way);
    Panel z(P::Eap, "F850: 40 00\n", makeZoomPanel);
    ASSERT_TRUE(z.logic->open());
    const auto mark = z.bench.mark();
    z.logic->intent(Intent::press(C::kZoomWide));
    leave(*z.logic);
    EXPECT_EQ(drives(z.bench, mark), (std::vector<std::string>{"9B", "FE"}));
  }
  // The focus arrows of a panel switched to auto focus while one is held.
  Panel f(P::Eap, "FF0E: 08\n", makeFocusPanel);
  ASSERT_TRUE(f.logic->open());
  const auto mark = f.bench.mark();
  f.logic->intent(Intent::press(C::kFocusNear));
  f.logic->intent(Intent::choose(C::kFocusMode, 0));
  const auto d = drives(f.bench, mark);
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d.front(), "AA");
  EXPECT_EQ(d, (std::vector<std::string>{"AA", "FE", "A8", "FE"})) << "the arrow stops before the mode changes";
}

TEST(ZoomSlider, AMoveRunsOnTheOperationSlotAndEndsWithTheStop) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Panel z(protocol, "FDFC: 00\n", makeZoomPanel);
    ASSERT_TRUE(z.logic->open());
    auto mark = z.bench.mark();
    z.logic->intent(Intent::choose(C::kSlider, 0));
    EXPECT_TRUE(z.bench.heardSince(mark).empty()) << "the step already shown";
    z.logic->intent(Intent::choose(C::kSlider, 9));
    z.settle();
    EXPECT_EQ(z.view.value(C::kSlider), 9);
    EXPECT_EQ(z.view.text(C::kMagnification), "10");
    EXPECT_EQ(lens::zoomStep(1, word(z.bench, 0xF720)), 9);
    EXPECT_EQ(drives(z.bench, mark), (protocol == P::Eap ? std::vector<std::string>{"99", "FE"}
                                                         : std::vector<std::string>{"02", "01"}));
    EXPECT_NE(z.bench.monitor.log().find("\n-- ZOOM Position Move END --"), std::string::npos);
    EXPECT_EQ(z.view.foreignCalls(), 0);

    mark = z.bench.mark();
    z.logic->intent(Intent::choose(C::kSlider, 2));
    z.settle();
    EXPECT_EQ(z.view.value(C::kSlider), 2);
    EXPECT_EQ(drives(z.bench, mark), (protocol == P::Eap ? std::vector<std::string>{"9B", "FE"}
                                                         : std::vector<std::string>{"03", "01"}));
  }
}

TEST(ZoomSlider, ALensThatCannotReachTheStepStopsAndTheSliderShowsWhereItIs) {
  // Tele end at 0x3000: x3 of lens 1 at most.
  Panel z(P::Eap, "lens 3000\n", makeZoomPanel);
  ASSERT_TRUE(z.logic->open());
  const auto mark = z.bench.mark();
  const auto started = z.bench.clock.elapsed();
  z.logic->intent(Intent::choose(C::kSlider, 15));
  z.settle();
  EXPECT_EQ(drives(z.bench, mark), (std::vector<std::string>{"99", "FE"}));
  EXPECT_NE(z.bench.monitor.log().find("\n-- Error !! --"), std::string::npos);
  EXPECT_EQ(z.view.value(C::kSlider), 2);
  EXPECT_LT(z.bench.clock.elapsed() - started, 5s) << "given up once the lens stood still, not after 20 s";
}

TEST(ZoomSlider, WhileTheSlotIsTakenAMoveIsRefusedAndTheSliderGoesBack) {
  Panel z(P::Eap, "", makeZoomPanel);
  ASSERT_TRUE(z.logic->open());
  const auto mark = z.bench.mark();
  {
    auto claim = z.bench.runner.claim();
    z.view.clearCalls();
    z.logic->intent(Intent::choose(C::kSlider, 5));
    z.logic->intent(Intent::press(C::kZoomTele));
  }
  EXPECT_TRUE(z.bench.heardSince(mark).empty());
  EXPECT_EQ(z.view.value(C::kSlider), 0);
  EXPECT_EQ(z.view.timers().count(kPositionTimer), 0u);
}

TEST(ZoomSlider, ClosingThePanelStopsItsMove) {
  Panel z(P::Eap, "FDFC: 0C\n", makeZoomPanel);  // slow: the move takes seconds
  ASSERT_TRUE(z.logic->open());
  std::promise<void> driving, closed;
  auto closedFuture = closed.get_future();
  z.bench.camera.onWrite(0xFCBB, [&](sim::VirtualCamera&, const sim::MemoryWrite& w) {
    if (w.value != 0x99) return;
    driving.set_value();
    closedFuture.wait();
  });
  const auto mark = z.bench.mark();
  z.logic->intent(Intent::choose(C::kSlider, 15));
  driving.get_future().wait();
  z.logic->close();
  closed.set_value();
  z.settle();
  EXPECT_EQ(drives(z.bench, mark), (std::vector<std::string>{"99", "FE"}));
  EXPECT_LT(lens::zoomStep(1, word(z.bench, 0xF720)), 15);
  EXPECT_EQ(z.bench.monitor.log().find("-- ZOOM Position Move END --"), std::string::npos);
  EXPECT_EQ(z.view.value(C::kSlider), 0) << "no update reaches a closed panel";
}

TEST(ZoomSlider, AMoveAtASlowSpeedHasItsWholeTravelTimeAndMore) {
  // SuperSlow04: the virtual camera's whole travel takes 27 s, past the shortest limit of 20 s.
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Panel z(protocol, "FDFC: 0C\nFDFB: 04\n", makeZoomFocus, 0x0CF0, 1, 0x407F);
    ASSERT_TRUE(z.logic->open());
    ASSERT_EQ(z.view.value(C::kSlowList), 4);
    const auto started = z.bench.clock.elapsed();
    z.logic->intent(Intent::choose(C::kSlider, 15));
    z.settle();
    EXPECT_GT(z.bench.clock.elapsed() - started, 20s);
    EXPECT_EQ(z.view.value(C::kSlider), 15);
    EXPECT_NE(z.bench.monitor.log().find("\n-- ZOOM Position Move END --"), std::string::npos);
    EXPECT_EQ(z.bench.monitor.log().find(std::string(panels::texts::kTimeOver)), std::string::npos);
  }
}

// With continuous digital zoom on, the camera zooms digitally past the optical tele end: "DIGI."
// follows it while the position is polled and after a slider move, and the wide end reads in
// its negative form.
TEST(ZoomDigital, DigiFollowsTheCameraWhileItIsPolledAndAfterASliderMove) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Panel z(protocol, "FDFC: 00\nFCCB: 01\n", makeZoomPanel);
    ASSERT_TRUE(z.logic->open());
    EXPECT_EQ(z.view.text(C::kDigiMark), "");
    z.logic->intent(Intent::press(C::kZoomTele));
    z.bench.clock.advance(3000ms);
    z.logic->intent(Intent::tick(kPositionTimer));
    EXPECT_EQ(z.view.text(C::kDigiMark), "") << "still optical";
    z.bench.clock.advance(1500ms);
    z.logic->intent(Intent::tick(kPositionTimer));
    EXPECT_EQ(z.view.text(C::kDigiMark), "DIGI.") << "past the optical tele end";
    EXPECT_EQ(z.view.value(C::kSlider), 15);
    z.logic->intent(Intent::release(C::kZoomTele));
    z.logic->intent(Intent::tick(kPositionTimer));
    EXPECT_EQ(z.view.timers().count(kPositionTimer), 0u);

    // Back out of the digital range (the position stands meanwhile: no stall) to x1.
    z.logic->intent(Intent::choose(C::kSlider, 0));
    z.settle();
    EXPECT_NE(z.bench.monitor.log().find("\n-- ZOOM Position Move END --"), std::string::npos);
    EXPECT_EQ(z.view.text(C::kDigiMark), "");
    EXPECT_EQ(z.view.value(C::kSlider), 0);

    // Into the wide end, which reads in its negative form.
    z.logic->intent(Intent::press(C::kZoomWide));
    z.bench.clock.advance(2000ms);
    z.logic->intent(Intent::tick(kPositionTimer));
    EXPECT_EQ(z.view.timers().count(kPositionTimer), 0u) << "stopped at the end";
    z.logic->intent(Intent::release(C::kZoomWide));
    EXPECT_EQ(word(z.bench, 0xF720), 0xFFF0);
    EXPECT_EQ(z.view.value(C::kSlider), 0);
    EXPECT_EQ(z.view.text(C::kMagnification), "1");
  }
}

// A lens of the test's own: where it is, what it does on each read, what it was told.
struct FakeLens {
  std::uint32_t position = 0;
  int creep = 0;         // added on every read
  int readsLeft = 1000000;  // reads that succeed
  bool driveFails = false;
  std::vector<ZoomDirection> told;

  static FakeLens at(std::uint32_t position, int creep = 0, int readsLeft = 1000000, bool driveFails = false) {
    FakeLens l;
    l.position = position;
    l.creep = creep;
    l.readsLeft = readsLeft;
    l.driveFails = driveFails;
    return l;
  }

  ZoomLens lens() {
    return {[this](std::uint32_t& p) {
              if (readsLeft-- <= 0) return false;
              position = static_cast<std::uint32_t>(static_cast<int>(position) + creep);
              p = position;
              return true;
            },
            [this](ZoomDirection d) {
              told.push_back(d);
              return !(driveFails && d != ZoomDirection::Stop);
            }};
  }
};

TEST(MoveZoom, IsBoundedInTimeGivesUpOnAStalledLensAndAlwaysStops) {
  using D = ZoomDirection;
  const std::vector<D> teleThenStop{D::Tele, D::Stop};
  constexpr auto kLimit = 20s;
  {
    SCOPED_TRACE("creeping, never arriving");
    core::FakeClock clock;
    FakeLens l = FakeLens::at(0, 1);
    EXPECT_EQ(moveZoom(l.lens(), clock, {}, 1, 15, kLimit), Outcome::TimeOver);
    EXPECT_GE(clock.elapsed(), kLimit);
    EXPECT_LT(clock.elapsed(), kLimit + 100ms);
    EXPECT_EQ(l.told, teleThenStop);
  }
  {
    SCOPED_TRACE("stalled");
    core::FakeClock clock;
    FakeLens l = FakeLens::at(0x3000);
    EXPECT_EQ(moveZoom(l.lens(), clock, {}, 1, 15, kLimit), Outcome::Error);
    EXPECT_GE(clock.elapsed(), kZoomStallLimit);
    EXPECT_LT(clock.elapsed(), kZoomStallLimit + 100ms);
    EXPECT_EQ(l.told, teleThenStop);
  }
  {
    SCOPED_TRACE("a read fails on the way");
    core::FakeClock clock;
    FakeLens l = FakeLens::at(0, 10, 5);
    EXPECT_EQ(moveZoom(l.lens(), clock, {}, 1, 15, kLimit), Outcome::Error);
    EXPECT_EQ(l.told, teleThenStop);
  }
  {
    SCOPED_TRACE("the drive's write fails");
    core::FakeClock clock;
    FakeLens l = FakeLens::at(0x6000, 0, 1000000, true);
    EXPECT_EQ(moveZoom(l.lens(), clock, {}, 1, 2, kLimit), Outcome::Error);
    EXPECT_EQ(l.told, (std::vector<D>{D::Wide, D::Stop})) << "it may have reached the camera";
  }
  {
    SCOPED_TRACE("a stop request");
    core::FakeClock clock;
    std::stop_source stop;
    FakeLens l = FakeLens::at(0, 1);
    ZoomLens lens = l.lens();
    auto read = lens.readPosition;
    lens.readPosition = [&](std::uint32_t& p) {
      stop.request_stop();
      return read(p);
    };
    EXPECT_EQ(moveZoom(lens, clock, stop.get_token(), 1, 15, kLimit), Outcome::Stopped);
    EXPECT_EQ(l.told, teleThenStop);
  }
  {
    SCOPED_TRACE("already there");
    core::FakeClock clock;
    FakeLens l = FakeLens::at(0x6000);
    EXPECT_EQ(moveZoom(l.lens(), clock, {}, 1, 12, kLimit), Outcome::Done);
    EXPECT_TRUE(l.told.empty());
  }
}

}  // namespace
}  // namespace orva::panels::lens
