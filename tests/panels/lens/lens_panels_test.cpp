// The lens panels against the virtual camera and its lens, in both protocols: what they read
// on open and in which order, what each control writes, the refused entries, the arrows and
// the slider moves that always end with the stop, the focus mode switch, and the ZOOM/FOCUS
// panel's zoom cue, adjustment mode and AF options.
#include "panels/lens/lens_panels.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>

#include "panels/camera_condition.hpp"
#include "panels/fake_panel_view.hpp"
#include "panels/lens/lens_controls.hpp"
#include "panels/lens/lens_operations.hpp"
#include "panels/lens/lens_readout.hpp"
#include "panels/lens/lens_texts.hpp"
#include "panels/panel_bench.hpp"
#include "panels/texts.hpp"

namespace orva::panels::lens {
namespace {

using namespace std::chrono_literals;
using testing::Bench;
using testing::byte;
using testing::name;
using testing::word;
using P = link::Protocol;
namespace C = controls;
namespace T = texts;

// What a frame reads or writes: the register (EAP, or AFP through the gateway) or the function.
std::string target(const std::string& frame) {
  if (frame.rfind(':', 0) == 0) return frame.substr(2, 4);
  if (frame.rfind("GFE0", 0) == 0 || frame.rfind("SFE0", 0) == 0) return frame.substr(5, 4);
  return frame.substr(1, 4);
}

// The drive commands of the lens heard since `from`: EAP 0xFCBB values, AFP drive values.
std::vector<std::string> drives(const Bench& b, std::uint64_t from) {
  std::vector<std::string> out;
  for (const auto& f : b.heardSince(from)) {
    if (f.rfind(":WFCBB", 0) == 0) out.push_back(f.substr(6, 2));
    if (f.rfind("S1107", 0) == 0 || f.rfind("S1102", 0) == 0) out.push_back(f.substr(5, 2));
  }
  return out;
}

using Make = std::unique_ptr<PanelLogic> (*)(PanelContext&, PanelView&);
std::unique_ptr<PanelLogic> makeZoomFocus(PanelContext& c, PanelView& v) { return makeZoomFocusPanel(c, v); }

struct Panel {
  Panel(P protocol, std::string_view registers, Make make, std::uint16_t modelCode = 0x0CF0, int lensIndex = 1,
        std::uint16_t panelWord2 = 0x00FF)
      : bench(protocol, registers) {
    bench.model.modelCode = modelCode;
    bench.model.lensIndex = lensIndex;
    bench.model.panelWord2 = panelWord2;
    bench.monitor.clear();
    from = bench.mark();
    logic = make(bench.context, view);
  }
  std::vector<std::string> heard() const { return bench.heardSince(from); }
  std::vector<std::string> targets(std::uint64_t since) const {
    std::vector<std::string> out;
    for (const auto& f : bench.heardSince(since)) out.push_back(target(f));
    return out;
  }
  // Runs the slot's work to its end and shows what it posted.
  void settle() {
    bench.runner.waitIdle();
    bench.dispatcher.runPending();
  }

  Bench bench;
  FakePanelView view;
  std::uint64_t from = 0;
  std::unique_ptr<PanelLogic> logic;
};

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

TEST(ZoomControl, ASpeedButtonAlreadySelectedSendsNothingAndTheOtherRewritesBits2And3) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Panel z(protocol, "FDFC: 09\n", makeZoomPanel);
    ASSERT_TRUE(z.logic->open());
    auto mark = z.bench.mark();
    z.logic->intent(Intent::choose(C::kSpeed, 1));
    EXPECT_TRUE(z.bench.heardSince(mark).empty());
    z.logic->intent(Intent::choose(C::kSpeed, 0));
    EXPECT_EQ(z.view.value(C::kSpeed), 0);
    EXPECT_EQ(byte(z.bench, 0xFDFC), 0x01);
  }
  // The family 0x20 has no high speed.
  Panel old(P::Eap, "FDFC: 08\n", makeZoomPanel, 0x21, 0);
  ASSERT_TRUE(old.logic->open());
  EXPECT_FALSE(old.view.itemEnabled(C::kSpeed, 0)) << "greyed";
  EXPECT_TRUE(old.view.itemEnabled(C::kSpeed, 1));
  const auto mark = old.bench.mark();
  old.logic->intent(Intent::choose(C::kSpeed, 0));
  EXPECT_TRUE(old.bench.heardSince(mark).empty());
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

TEST(ZoomControl, TheInstantMagnificationTakes1Point0To2Point0Only) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Panel z(protocol, kZoomState, makeZoomPanel);
    ASSERT_TRUE(z.logic->open());
    const auto mark = z.bench.mark();
    for (const char* refused : {"2.1", "0.5", "0.9", "x"}) z.logic->intent(Intent::enter(C::kInstantMax, refused));
    EXPECT_EQ(z.view.beeps(), 4);
    EXPECT_TRUE(z.bench.heardSince(mark).empty());
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

TEST(FocusPanel, TheArrowsWorkInManualOnlyAndAModeChangeRunsTheSwitch) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Panel f(protocol, "FF0E: 00\n", makeFocusPanel);
    ASSERT_TRUE(f.logic->open());
    EXPECT_EQ(f.bench.monitor.pc().rfind("\r\n\r\n<< FOCUS CONTROL >>", 0), 0u);
    EXPECT_EQ(f.targets(f.from), (std::vector<std::string>{protocol == P::Eap ? "FF0E" : "1101"}));
    EXPECT_EQ(f.view.value(C::kFocusMode), 0);
    EXPECT_FALSE(f.view.enabled(C::kFocusNear));
    auto mark = f.bench.mark();
    f.logic->intent(Intent::press(C::kFocusNear));
    f.logic->intent(Intent::release(C::kFocusNear));
    EXPECT_TRUE(f.bench.heardSince(mark).empty()) << "auto focus: the arrows send nothing";

    f.logic->intent(Intent::choose(C::kFocusMode, 1));
    EXPECT_EQ(f.view.value(C::kFocusMode), 1);
    EXPECT_TRUE(f.view.enabled(C::kFocusNear));
    EXPECT_EQ(byte(f.bench, 0xFF0E) & 0x08, 0x08);
    if (protocol == P::Eap) {
      EXPECT_EQ(drives(f.bench, mark), (std::vector<std::string>{"A8", "FE"}));
    } else {
      EXPECT_EQ(f.bench.heardSince(mark).front(), "S110102T");
    }
    mark = f.bench.mark();
    f.logic->intent(Intent::choose(C::kFocusMode, 1));
    EXPECT_TRUE(f.bench.heardSince(mark).empty()) << "the mode already shown";
    f.logic->intent(Intent::press(C::kFocusFar));
    f.logic->intent(Intent::release(C::kFocusFar));
    EXPECT_EQ(drives(f.bench, mark), (protocol == P::Eap ? std::vector<std::string>{"A9", "FE"}
                                                         : std::vector<std::string>{"02", "01"}));
  }
}

// ---- ZOOM/FOCUS CONTROL

constexpr std::uint16_t kSlowZoom = 0x40FF;     // panel word 2 with the slow speeds
constexpr std::uint16_t kAdjustable = 0x807F;   // with the adjustment mode, without AF options
constexpr std::uint16_t kNoAfOptions = 0x007F;  // without the AF search capability

TEST(ZoomFocus, TheSlowSpeedsAndTheirListInBothProtocols) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Panel z(protocol, "FDFC: 0C\nFDFB: 03\n", makeZoomFocus, 0x0CF0, 1, kSlowZoom);
    ASSERT_TRUE(z.logic->open());
    EXPECT_EQ(z.bench.monitor.pc().rfind("\r\n\r\n<< ZOOM_FOCUS CONTROL >>", 0), 0u);
    EXPECT_FALSE(z.view.shown(C::kSpeed));
    EXPECT_TRUE(z.view.shown(C::kSpeedSlow));
    EXPECT_EQ(z.view.value(C::kSpeedSlow), 2);
    EXPECT_EQ(z.view.value(C::kSlowList), 3);
    EXPECT_TRUE(z.view.enabled(C::kSlowList));
    z.logic->intent(Intent::choose(C::kSlowList, 5));
    EXPECT_EQ(byte(z.bench, 0xFDFB), 5);
    EXPECT_EQ(z.view.value(C::kSlowList), 5);
    z.logic->intent(Intent::choose(C::kSpeedSlow, 1));
    EXPECT_EQ(byte(z.bench, 0xFDFC) & 0x0C, 0x08);
    EXPECT_FALSE(z.view.enabled(C::kSlowList)) << "the list only while SLOW SPEED is selected";
    z.logic->intent(Intent::choose(C::kSpeedSlow, 2));
    EXPECT_EQ(byte(z.bench, 0xFDFC) & 0x0C, 0x0C);
    EXPECT_EQ(byte(z.bench, 0xFDFB), 5) << "the slow level chosen stays";
  }
}

TEST(ZoomFocus, EntriesOutOfRangeAreRefusedTheInstantOneWithItsMessage) {
  Panel z(P::Eap, "FDE6: 0F\nFDF0: 00\n", makeZoomFocus, 0x61, 0, kNoAfOptions);
  ASSERT_TRUE(z.logic->open());
  auto mark = z.bench.mark();
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
  mark = z.bench.mark();
  z.logic->intent(Intent::enter(C::kContinuousMax, "x"));
  EXPECT_TRUE(z.bench.heardSince(mark).empty());
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

TEST(ZoomFocus, AfOptionsWriteAndThenSayWhatTheyDid) {
  Panel z(P::Eap, "F8E0: 07\n", makeZoomFocus, 0x95, 0, 0x01FF);
  ASSERT_TRUE(z.logic->open());
  EXPECT_TRUE(z.view.shown(C::kAfSearch));
  EXPECT_EQ(z.view.value(C::kAfSearch), 2) << "a value no button names selects OFF";
  z.bench.monitor.clear();
  z.logic->intent(Intent::choose(C::kQuickAf, 1));
  EXPECT_EQ(byte(z.bench, 0xF840), 1);
  z.logic->intent(Intent::choose(C::kAfSearch, 1));
  EXPECT_EQ(byte(z.bench, 0xF8E0), 3);
  z.logic->intent(Intent::choose(C::kMinFocus, 2));
  EXPECT_EQ(byte(z.bench, 0xE139), 0xF8);
  EXPECT_EQ(byte(z.bench, 0x12D9), 0xF8) << "the models 0x90-0x9F keep it twice";
  z.logic->intent(Intent::choose(C::kWatchdogMode, 3));
  EXPECT_EQ(byte(z.bench, 0xF745), 3);
  z.logic->intent(Intent::choose(C::kLensPositionMode, 1));
  EXPECT_EQ(byte(z.bench, 0x11E1) & 0x80, 0x80);
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
    // The session's record, as the program keeps it.
    z.bench.context.lensChanged = [&z](int lens) { z.bench.model.lensIndex = lens; };
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

// Every choice and entry ZOOM/FOCUS CONTROL offers reaches the camera: it goes out on the
// line, and a panel opened afterwards shows it, in both protocols.
TEST(ZoomFocus, EveryChoiceAndEntryReachesTheCameraAndAFreshPanelShowsIt) {
  // The step sizes of the adjustment mode are the panel's own.
  const std::vector<ControlId> panelOnly{C::kFocusStep, C::kZoomStep};
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    // AF options with the new AF search and fast AF, and the slow speeds; the fast AF values
    // its ON copies from the EEPROM.
    Panel z(protocol, "16F0: 05\n16FA: 07\n", makeZoomFocus, 0x0CF0, 1, 0x43FF);
    ASSERT_TRUE(z.logic->open());
    std::vector<std::pair<ControlId, int>> chosen;
    std::vector<std::pair<ControlId, std::string>> entered;
    for (const ControlDescription& c : zoomFocusPanelDescription().controls) {
      if (c.kind == ControlKind::Entry && z.view.shown(c.id) && z.view.enabled(c.id)) {
        SCOPED_TRACE(::testing::Message() << "entry " << c.id);
        const std::string text = formatValue(c.format, c.minimum + 1);
        const auto mark = z.bench.mark();
        z.logic->intent(Intent::enter(c.id, text));
        z.settle();
        EXPECT_FALSE(z.bench.heardSince(mark).empty());
        entered.emplace_back(c.id, text);
        continue;
      }
      const bool check = c.kind == ControlKind::Check;
      if (!check && c.kind != ControlKind::Radio && c.kind != ControlKind::List) continue;
      if (!z.view.shown(c.id) || !z.view.enabled(c.id)) continue;
      if (std::find(panelOnly.begin(), panelOnly.end(), c.id) != panelOnly.end()) continue;
      SCOPED_TRACE(::testing::Message() << "control " << c.id);
      const int count = check ? 2 : static_cast<int>(c.choices.size());
      const int next = (z.view.value(c.id).value_or(0) + 1) % count;
      const auto mark = z.bench.mark();
      z.logic->intent(check ? Intent::toggle(c.id) : Intent::choose(c.id, next));
      z.settle();
      EXPECT_EQ(z.view.value(c.id), next);
      EXPECT_FALSE(z.bench.heardSince(mark).empty());
      chosen.emplace_back(c.id, next);
    }
    EXPECT_GE(chosen.size(), 15u);
    z.logic->close();
    FakePanelView again;
    auto second = makeZoomFocus(z.bench.context, again);
    ASSERT_TRUE(second->open());
    for (const auto& [id, value] : chosen) EXPECT_EQ(again.value(id), value) << "control " << id;
    for (const auto& [id, text] : entered) {
      if (id == C::kManualSpeed) continue;  // the speed is only written
      EXPECT_EQ(again.text(id), text) << "entry " << id;
    }
    EXPECT_GE(entered.size(), 7u);
  }
}

}  // namespace
}  // namespace orva::panels::lens
