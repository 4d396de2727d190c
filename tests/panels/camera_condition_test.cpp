// The camera condition readout: the shutter, F value and gain texts at their edges, the
// snapping tables at their borders, which controls a model has, where the window stands, and
// the readout against the virtual camera in both protocols (headings in order, a failed read
// ending it, the NTSC timing flag coming back).
#include "panels/camera_condition.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "panel_bench.hpp"

namespace orva::panels {
namespace {

using namespace std::chrono_literals;
using testing::Bench;
using testing::faults;
using testing::name;
using P = link::Protocol;
namespace t = condition_texts;

camera::ModelRecord model(std::uint16_t code, std::uint8_t panelByte2 = 0, std::uint16_t panelWord2 = 0) {
  camera::ModelRecord r;
  r.modelCode = code;
  r.panelByte2 = panelByte2;
  r.panelWord2 = panelWord2;
  return r;
}

ShutterTiming timingOf(std::uint16_t code, bool ntsc, std::optional<std::uint32_t> mode = std::nullopt,
                       P protocol = P::Eap, int clockSelector = 0) {
  camera::ModelRecord r = model(code);
  r.clockSelector = clockSelector;
  return shutterTiming(r, protocol, ntsc, mode);
}

// ---- shutter

TEST(ShutterText, SlowShutterStepsAndComputedSpeeds) {
  const ShutterTiming ntsc = timingOf(0x30, true), pal = timingOf(0x30, false);
  EXPECT_EQ(ntsc.frame.rate, 60);
  EXPECT_EQ(pal.frame.rate, 50);

  // A factor of 0 counts as 1: the slow shutter is off and the speed is computed.
  EXPECT_FALSE(dssOn(0, 0));
  EXPECT_EQ(shutterText(ntsc, 0x30, 960, 0), "1/60");
  EXPECT_EQ(shutterText(ntsc, 0x30, 960, 1), "1/60");
  // 60 x 10^0.3 is 119.7: truncated to 119, snapped to 120.
  EXPECT_EQ(shutterText(ntsc, 0x30, 1152, 1), "1/120");
  EXPECT_EQ(shutterText(pal, 0x30, 960, 1), "1/50");
  // Below the frame rate nothing snaps: 60 x 10^-0.3 is 30.07.
  EXPECT_EQ(shutterText(ntsc, 0x30, 768, 1), "1/30");

  EXPECT_EQ(shutterText(ntsc, 0x30, 960, 8), "1/8");
  EXPECT_EQ(shutterText(pal, 0x30, 960, 8), "1/6");
  EXPECT_EQ(shutterText(ntsc, 0x30, 960, 2), "1/30");
  EXPECT_EQ(shutterText(pal, 0x30, 960, 64), "1/0.75") << "the table's last entry";
  EXPECT_EQ(shutterText(pal, 0x30, 960, 128), "???") << "past the table's end";
  // A factor that is no power of two counts its halvings: 6 -> 3 -> 1.
  EXPECT_EQ(shutterText(ntsc, 0x30, 960, 6), "1/15");

  EXPECT_TRUE(dssOn(2, 0));
  EXPECT_FALSE(dssOn(2, 0x20)) << "extra option word bit 5 shows factor 2 as off";
  EXPECT_TRUE(dssOn(4, 0x20));
}

TEST(ShutterText, ClockSettingRatesUseTheirRangeTables) {
  // "～" is the full-width wave dash, U+FF5E, in UTF-8.
  const std::string dash = "\xEF\xBD\x9E";
  EXPECT_EQ(shutterText(timingOf(0x9F1, true, {}, P::Eap, 2), 0x9F1, 960, 2), "1/16.7" + dash + "1/8");
  EXPECT_EQ(shutterText(timingOf(0x9F0, true, {}, P::Eap, 1), 0x9F0, 960, 16), "1/4" + dash + "1/2");
  EXPECT_EQ(shutterText(timingOf(0x17F0, false, {}, P::Eap, 5), 0x17F0, 960, 2), "1/22.5" + dash + "1/11");
  EXPECT_EQ(shutterText(timingOf(0x17F0, false, {}, P::Eap, 6), 0x17F0, 960, 16), "???");
  EXPECT_EQ(shutterText(timingOf(0x17F0, true, {}, P::Eap, 3), 0x17F0, 960, 16), "1/4" + dash + "1/2");
  EXPECT_EQ(timingOf(0x9F1, true, {}, P::Eap, 4).frame.rate, 20.0);
  EXPECT_EQ(timingOf(0x9F1, true, {}, P::Eap, 6).frame.steps[0], dash + "1/15");
  // Other selectors keep the rate of the NTSC timing flag; other models ignore the selector.
  EXPECT_EQ(timingOf(0x9F1, false, {}, P::Eap, 7).frame.rate, 50);
  EXPECT_EQ(timingOf(0xAF0, true, {}, P::Eap, 1).frame.rate, 60);
  // 16.7 x 1 truncates to 16: no speed to snap to.
  EXPECT_EQ(shutterText(timingOf(0x9F1, true, {}, P::Eap, 2), 0x9F1, 960, 1), "1/16");
}

TEST(ShutterTiming, TheCameraModeSetsTheRateAndTheFlagOnTheModelsThatReadIt) {
  using Codes = std::initializer_list<std::uint16_t>;
  for (std::uint16_t code : Codes{0xFF0, 0x18F0, 0x19F0, 0x1AF1, 0x1DF0}) EXPECT_TRUE(readsCameraMode(code)) << code;
  for (std::uint16_t code : Codes{0x70, 0x9F1, 0x17F0, 0x1EF0}) EXPECT_FALSE(readsCameraMode(code)) << code;

  // EAP: bit 4 of register 0x1701 means the 60 rate.
  EXPECT_FALSE(timingOf(0xFF0, true, 0x00).ntscTiming);
  EXPECT_EQ(timingOf(0xFF0, true, 0x00).frame.rate, 50);
  EXPECT_TRUE(timingOf(0xFF0, false, 0x15).ntscTiming);
  EXPECT_EQ(timingOf(0x19F0, false, 0x10).frame.rate, 60);
  // AFP: 5, 6, 7, 8, 10 and 17 are the 50 rate modes.
  for (std::uint32_t mode : {5u, 6u, 7u, 8u, 10u, 17u}) EXPECT_FALSE(timingOf(0x1BF0, true, mode, P::Afp).ntscTiming);
  for (std::uint32_t mode : {1u, 2u, 3u, 4u, 9u, 16u, 18u})
    EXPECT_TRUE(timingOf(0x1BF0, false, mode, P::Afp).ntscTiming);

  // The 0x13F0 family counts in 25 or 30 with the 30 rate table.
  for (std::uint16_t code : Codes{0x13F0, 0x14F0, 0x15F0, 0x16F0}) {
    EXPECT_EQ(timingOf(code, true, 0x02).frame.rate, 25) << code;
    EXPECT_FALSE(timingOf(code, true, 0x02).ntscTiming);
    EXPECT_EQ(timingOf(code, false, 0x12).frame.rate, 30);
    EXPECT_TRUE(timingOf(code, false, 0x12).ntscTiming);
  }
  EXPECT_EQ(shutterText(timingOf(0x14F0, true, 0x12), 0x14F0, 960, 8), "1/4");
  EXPECT_EQ(shutterText(timingOf(0x14F0, true, 0x12), 0x14F0, 960, 16), "???");
  EXPECT_EQ(timingOf(0x15F0, true, 10u, P::Afp).frame.rate, 25);
  EXPECT_FALSE(timingOf(0x15F0, true, 10u, P::Afp).ntscTiming);
  EXPECT_EQ(timingOf(0x15F0, false, 3u, P::Afp).frame.rate, 30);
  EXPECT_TRUE(timingOf(0x15F0, false, 3u, P::Afp).ntscTiming);
  EXPECT_EQ(timingOf(0x15F0, false, 9u, P::Afp).frame.rate, 30);
  EXPECT_FALSE(timingOf(0x15F0, false, 9u, P::Afp).ntscTiming) << "mode 9 leaves the flag as it was";

  // 0x18F0 reads the mode for the flag but always counts in 25 with a table of its own.
  const ShutterTiming m18 = timingOf(0x18F0, false, 0x10);
  EXPECT_TRUE(m18.ntscTiming);
  EXPECT_EQ(m18.frame.rate, 25);
  EXPECT_EQ(shutterText(m18, 0x18F0, 960, 2), "1/12");
}

TEST(ShutterSnapping, EachTableAtItsBorders) {
  struct Case {
    int speed;
    bool ntsc;
    std::uint16_t code;
    int shown;
  };
  const Case cases[] = {
      // NTSC timing, every model but the 0x13F0 family.
      {60, true, 0x30, 60}, {61, true, 0x30, 100}, {99, true, 0x30, 100}, {100, true, 0x30, 100},
      {101, true, 0x30, 120}, {119, true, 0x30, 120}, {121, true, 0x30, 180}, {179, true, 0x30, 180},
      {180, true, 0x30, 180}, {181, true, 0x30, 250}, {999, true, 0x30, 1000}, {1001, true, 0x30, 2000},
      {9999, true, 0x30, 10000}, {10000, true, 0x30, 10000}, {10001, true, 0x30, 30000},
      {30499, true, 0x30, 30000}, {30500, true, 0x30, 30500}, {30499, true, 0x18F0, 30000},
      // NTSC timing, 0x13F0 to 0x16F0.
      {30, true, 0x13F0, 30}, {31, true, 0x13F0, 30}, {51, true, 0x14F0, 30}, {52, true, 0x15F0, 50},
      {58, true, 0x16F0, 50}, {59, true, 0x13F0, 60}, {98, true, 0x13F0, 60}, {99, true, 0x13F0, 100},
      {188, true, 0x13F0, 120}, {189, true, 0x13F0, 180}, {248, true, 0x13F0, 180}, {249, true, 0x13F0, 250},
      {993, true, 0x13F0, 500}, {994, true, 0x13F0, 1000}, {4131, true, 0x13F0, 2000}, {4132, true, 0x13F0, 4000},
      {10378, true, 0x13F0, 4000}, {10379, true, 0x13F0, 10000}, {500000, true, 0x13F0, 10000},
      // PAL timing, every model but the 0x13F0 family; 0x18F0 tops out at 28000.
      {50, false, 0x30, 50}, {51, false, 0x30, 100}, {120, false, 0x30, 120}, {121, false, 0x30, 150},
      {149, false, 0x30, 150}, {150, false, 0x30, 150}, {151, false, 0x30, 250}, {10001, false, 0x30, 30000},
      {30499, false, 0x30, 30000}, {10001, false, 0x18F0, 28000}, {30499, false, 0x18F0, 28000},
      {30500, false, 0x18F0, 30500},
      // PAL timing, 0x13F0 to 0x16F0.
      {25, false, 0x13F0, 25}, {26, false, 0x13F0, 30}, {249, false, 0x13F0, 180}, {250, false, 0x13F0, 250},
      {994, false, 0x13F0, 500}, {995, false, 0x13F0, 1000}, {1984, false, 0x13F0, 1000},
      {1985, false, 0x13F0, 2000}, {4136, false, 0x13F0, 2000}, {4137, false, 0x13F0, 4000},
      {10390, false, 0x13F0, 4000}, {10391, false, 0x13F0, 10000},
      // Family members with another variant nibble are not the 0x13F0 models.
      {31, true, 0x13F1, 31},
  };
  for (const Case& c : cases)
    EXPECT_EQ(snapShutterSpeed(c.speed, c.ntsc, c.code), c.shown)
        << c.speed << (c.ntsc ? " NTSC " : " PAL ") << std::hex << c.code;
}

// ---- F value, gain, magnification

TEST(ConditionTexts, FValueGainAndMagnification) {
  EXPECT_EQ(fValueText(0, 0), "1.4") << "a lens without a listed base";
  EXPECT_EQ(fValueText(2, 0), "1.6");
  EXPECT_EQ(fValueText(4, 0), "1.8");
  EXPECT_EQ(fValueText(7, 0), "1.2");
  for (int lens : {3, 6, 12, 15, 18, 22, 28}) EXPECT_EQ(fValueText(lens, 0), "1.6") << lens;
  for (int lens : {1, 8, 11, 19, 21, 23, 27}) EXPECT_EQ(fValueText(lens, 0), "1.4") << lens;
  // 1280 counts are a factor of ten; 384 counts double the base (10^0.3).
  EXPECT_EQ(fValueText(0, 1280), "14.0");
  EXPECT_EQ(fValueText(2, 384), "3.2");

  EXPECT_EQ(agcText(0x0140), "10");
  EXPECT_EQ(agcText(0x001F), "0");
  EXPECT_EQ(agcText(0xFFFF), "2047");

  EXPECT_EQ(magnification(0, std::nullopt), 1);
  EXPECT_EQ(magnification(3, 15), 6) << "x4 at 1.5 times";
  EXPECT_EQ(magnification(2, 20), 6);
}

// ---- which controls a model has

TEST(ConditionLayout, ABareOldModelShowsZoomFocusExposureAndProtocolOnly) {
  const camera::ModelRecord bare = model(0x20);
  ConditionLayout expected;
  expected.zoom = expected.focus = expected.exposure = expected.protocol = true;
  EXPECT_EQ(conditionLayout(bare), expected);
  const ConditionSteps s = conditionSteps(bare);
  EXPECT_FALSE(s.shutter || s.agc || s.irCut || s.wdr || s.freeze || s.ccdDrive);
  EXPECT_EQ(s.reverse, ReverseKind::None);
}

TEST(ConditionLayout, FamiliesAndPanelBitsEnableTheirGroups) {
  const ConditionLayout f30 = conditionLayout(model(0x30));
  EXPECT_TRUE(f30.dssCaption && f30.dssButtons && f30.shutterField && f30.agcField);
  EXPECT_FALSE(f30.irCut || f30.wdr || f30.reverse || f30.freeze);

  const ConditionLayout f50 = conditionLayout(model(0x51));
  EXPECT_TRUE(f50.dssButtons && f50.irCut && f50.agcField);
  EXPECT_FALSE(f50.dssCaption) << "the buttons without their caption";
  EXPECT_FALSE(f50.shutterField);

  const ConditionLayout f70 = conditionLayout(model(0x70));
  EXPECT_TRUE(f70.dssCaption && f70.wdr && f70.irCut && f70.reverse && f70.freeze && f70.agcField);
  EXPECT_EQ(f70.reverseCaption, t::kReverseGroup);
  EXPECT_EQ(conditionLayout(model(0xE0)).reverseCaption, t::kMirrorGroup);
  EXPECT_EQ(conditionLayout(model(0xC0)).reverseCaption, t::kReverseGroup);
  const ConditionLayout f90 = conditionLayout(model(0xD0));
  EXPECT_EQ(f90.reverseCaption, t::kMosaicGroup);
  EXPECT_TRUE(f90.reverse && f90.agcField);
  EXPECT_FALSE(f90.dssCaption || f90.dssButtons);
  EXPECT_FALSE(conditionLayout(model(0x40)).agcField) << "a family the list leaves out";

  // The newer models go by panel byte 2.
  EXPECT_TRUE(conditionLayout(model(0x1AF0, 0x01)).shutterField);
  EXPECT_TRUE(conditionLayout(model(0x1AF0, 0x80)).agcField);
  EXPECT_TRUE(conditionLayout(model(0x1AF0, 0x10)).irCut);
  EXPECT_TRUE(conditionLayout(model(0x1AF0, 0x20)).wdr);
  EXPECT_TRUE(conditionLayout(model(0x1AF0, 0x40)).freeze);
  EXPECT_EQ(conditionLayout(model(0x1AF0, 0x02)).reverseCaption, t::kReverseGroup);
  EXPECT_EQ(conditionLayout(model(0x1AF0, 0x0E)).reverseCaption, t::kReverseGroup) << "bit 1 before 3 and 2";
  EXPECT_EQ(conditionLayout(model(0x1AF0, 0x0C)).reverseCaption, t::kMosaicGroup) << "bit 3 before 2";
  EXPECT_EQ(conditionLayout(model(0x1AF0, 0x04)).reverseCaption, t::kMirrorGroup);
  EXPECT_FALSE(conditionLayout(model(0x1AF0, 0x00)).reverse);

  // Three models caption the reverse group by the camera's clock byte.
  EXPECT_TRUE(layoutNeedsClockByte(model(0x9F1, 0x02)));
  EXPECT_FALSE(layoutNeedsClockByte(model(0x9F1, 0x04)));
  EXPECT_FALSE(layoutNeedsClockByte(model(0x1AF0, 0x02)));
  EXPECT_EQ(conditionLayout(model(0x17F0, 0x02), 0x01).reverseCaption, t::kMirrorGroup);
  EXPECT_EQ(conditionLayout(model(0x9F0, 0x02), 0xFF).reverseCaption, t::kMirrorGroup);
  EXPECT_EQ(conditionLayout(model(0x9F0, 0x02), 0x00).reverseCaption, t::kReverseGroup);

  EXPECT_FALSE(conditionLayout(model(0x70, 0, 0x00DF)).digital);
  EXPECT_TRUE(conditionLayout(model(0x70, 0, 0x0020)).digital);
  camera::ModelRecord drive = model(0x20);
  drive.menuWord = 0x0004;
  EXPECT_TRUE(conditionLayout(drive).ccdDrive);
  EXPECT_TRUE(conditionSteps(drive).ccdDrive);
}

TEST(ConditionLayout, StepsFollowTheFamilyFirstAndThePanelBitsNext) {
  EXPECT_EQ(conditionSteps(model(0xA0)).reverse, ReverseKind::Mirror);
  EXPECT_EQ(conditionSteps(model(0xC0)).reverse, ReverseKind::Reverse);
  EXPECT_EQ(conditionSteps(model(0x90, 0x02)).reverse, ReverseKind::Mosaic) << "the family wins";
  EXPECT_EQ(conditionSteps(model(0x1AF0, 0x08)).reverse, ReverseKind::Mosaic);
  EXPECT_EQ(conditionSteps(model(0x1AF0, 0x04)).reverse, ReverseKind::Mirror);
  // The shutter for every model from 0x30 on; the gain needs panel byte 2 bit 7 as well.
  EXPECT_TRUE(conditionSteps(model(0x1AF0)).shutter);
  EXPECT_FALSE(conditionSteps(model(0x1AF0)).agc);
  EXPECT_TRUE(conditionSteps(model(0x1AF0, 0x80)).agc);
  EXPECT_FALSE(conditionSteps(model(0x20, 0x80)).agc);
  EXPECT_TRUE(conditionSteps(model(0x20, 0x01)).shutter);
  EXPECT_TRUE(conditionSteps(model(0x50)).irCut);
  EXPECT_FALSE(conditionSteps(model(0x50)).wdr);
  EXPECT_TRUE(conditionSteps(model(0xB0)).wdr);
  EXPECT_FALSE(conditionSteps(model(0x90)).freeze);
  EXPECT_TRUE(conditionSteps(model(0x1AF0, 0x40)).freeze);
}

// ---- where the window stands

TEST(ConditionPlacement, BesideTheLauncherOverAWideMainWindowElseWhereTheScreenHasRoom) {
  const Size window{330, 450};
  const Rect screen{0, 0, 1920, 1040};
  // Maximised: at the screen's top, 305 pixels in from its right edge.
  EXPECT_EQ(conditionWindowPosition({{true, {100, 100, 700, 600}}, screen, Rect{1615, 0, 1920, 800}}, window),
            (Point{1920 - 305 - 330, 0}));
  // A wide main window: the same from its own top right corner.
  EXPECT_EQ(conditionWindowPosition({{false, {0, 20, 1800, 1000}}, screen, std::nullopt}, window),
            (Point{1800 - 305 - 330, 20}));

  // A narrow main window with the launcher beside it: right of the launcher, else under it,
  // else right or left of the main window.
  const MainPlacement narrow{false, {300, 50, 960, 550}};
  EXPECT_EQ(conditionWindowPosition({narrow, screen, Rect{960, 50, 1300, 800}}, window), (Point{1300, 50}));
  EXPECT_EQ(conditionWindowPosition({narrow, {0, 0, 1500, 1300}, Rect{960, 50, 1300, 800}}, window),
            (Point{960, 800}));
  EXPECT_EQ(conditionWindowPosition({narrow, screen, std::nullopt}, window), (Point{960, 50}));
  const MainPlacement further{false, {400, 50, 1060, 550}};
  EXPECT_EQ(conditionWindowPosition({further, {0, 0, 1400, 1040}, Rect{1060, 50, 1400, 800}}, window),
            (Point{70, 50}));

  // No room beside: its place, kept inside the screen.
  const Rect small{0, 0, 1024, 768};
  EXPECT_EQ(conditionWindowPosition({{false, {0, 0, 700, 500}}, small, Rect{700, 0, 1024, 760}}, window),
            (Point{700 - 305 - 330, 0}));
  EXPECT_EQ(conditionWindowPosition({narrow, {0, 0, 1300, 1040}, Rect{960, 50, 1300, 800}}, window),
            (Point{960 - 305 - 330, 50}));
  EXPECT_EQ(conditionWindowPosition({{false, {0, 0, 500, 400}}, small, Rect{500, 0, 840, 760}}, window),
            (Point{0, 0}));
}

// ---- the readout against the virtual camera

// A 0x70 camera with every part: digital zoom, AGC and the CCD drive mode. Position 0x3000 is
// step 2 (x3), times 2.0 of the instant digital zoom; manual focus; slow shutter off at 1152;
// gain 0x0140; F value at the base of lens 2; IR cut filter in; WDR on; reverse off; freeze
// on; interlace.
constexpr std::string_view kRegisters =
    "0106: 01 23\nF720: 30 00\nF850: 30 00\nFCCB: 01\nFF0F: 80\nFDE6: 14\nFF0E: 08\nFB42: 04 80\nFCC7: 01\n"
    "FB38: 01 40\n"
    "FB32: 00 00\nFFE7: 01\nFF32: 01\nFF30: 00\nFF33: 01\n1221: 01\n";
// The same in AFP for the settings that have a function.
constexpr std::string_view kFunctions[] = {"11093000", "120102", "120302", "120414", "110102",
                                           "220101", "320102", "410301", "410202"};

camera::ModelRecord fullModel() {
  camera::ModelRecord r = model(0x70, 0x80, 0x0020);
  r.lensIndex = 2;
  r.menuWord = 0x0004;
  return r;
}

struct Readout {
  explicit Readout(P protocol, std::string_view extra = "", std::vector<sim::Fault> fs = {})
      : bench(protocol, std::string(kRegisters) + std::string(extra), std::move(fs)) {
    if (protocol == P::Afp) {
      for (std::string_view f : kFunctions) EXPECT_TRUE(bench.afp.set(f, true)) << f;
    }
    from = bench.mark();
    bench.monitor.clear();
    bench.model = fullModel();
  }
  ConditionView read(bool ntsc = true) {
    ConditionReadout readout(bench.access, bench.monitor, bench.runner);
    return readout.read(bench.model, ntsc, bench.portOpen);
  }
  std::vector<std::string> heard() const { return bench.heardSince(from); }

  Bench bench;
  std::uint64_t from = 0;
};

// The headings in the monitor form, in the order they were written.
std::vector<std::string> headings(const std::string& pc) {
  const std::string_view all[] = {t::kHeading,    t::kZoomLine,   t::kFocusLine,   t::kShutterLine, t::kAgcLine,
                                  t::kExposureLine, t::kIrCutLine, t::kWdrLine,    t::kReverseLine, t::kMirrorLine,
                                  t::kMosaicLine, t::kFreezeLine, t::kCcdDriveLine};
  std::vector<std::pair<std::size_t, std::string>> found;
  for (std::string_view h : all) {
    const std::string form = std::string(h == t::kHeading ? "\r\n\r\n" : "\r\n") + std::string(h);
    for (auto at = pc.find(form); at != std::string::npos; at = pc.find(form, at + 1)) found.emplace_back(at, h);
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> out;
  for (auto& [at, h] : found) out.push_back(h);
  return out;
}

TEST(ConditionReadout, ReadsEveryPartInOrderUnderItsHeading) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Readout r(protocol);
    const ConditionView v = r.read();
    ASSERT_EQ(v.outcome, ConditionOutcome::Read);
    EXPECT_TRUE(v.complete);
    EXPECT_EQ(headings(r.bench.monitor.pc()),
              (std::vector<std::string>{"<< CAMERA CONDITION >>", "-- ZOOM --", "-- FOCUS --", "-- SHUTTER <DSS> --",
                                        "-- AGC --", "-- EXPO --", "-- IRcf --", "-- WDR --", "-- REVERSE --",
                                        "-- FREEZE --", "-- CCD_DRIVE --"}));
    EXPECT_EQ(r.bench.monitor.pc().rfind("\r\n\r\n<< CAMERA CONDITION >>", 0), 0u)
        << "the version probe is read without showing its traffic";
    EXPECT_NE(r.bench.monitor.log().find("\n\n<< CAMERA CONDITION >>\n-- ZOOM --"), std::string::npos);

    EXPECT_EQ(v.magnification, "6");
    EXPECT_EQ(v.digital, true);
    EXPECT_EQ(v.manualFocus, true);
    EXPECT_EQ(v.dssOn, false);
    EXPECT_EQ(v.shutter, "1/120");
    EXPECT_EQ(v.agc, "10");
    EXPECT_EQ(v.fValue, "1.6");
    EXPECT_EQ(v.irCutIn, true);
    EXPECT_EQ(v.wdrOn, true);
    EXPECT_EQ(v.reverseOn, false);
    EXPECT_EQ(v.freezeOn, true);
    EXPECT_EQ(v.interlace, true);
    EXPECT_EQ(v.protocol, protocol);
    EXPECT_EQ(v.ntscTiming, std::nullopt) << "a 0x70 camera's rate follows the flag";
    EXPECT_TRUE(v.layout.shutterLabels && v.layout.agcLabels && v.layout.ccdDrive && v.layout.digital);
    EXPECT_FALSE(r.bench.runner.busy()) << "the slot is free again";
  }
}

TEST(ConditionReadout, ABareOldModelReadsZoomFocusAndExposureOnly) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Readout r(protocol);
    r.bench.model = model(0x20);
    const ConditionView v = r.read();
    EXPECT_TRUE(v.complete);
    EXPECT_EQ(headings(r.bench.monitor.pc()),
              (std::vector<std::string>{"<< CAMERA CONDITION >>", "-- ZOOM --", "-- FOCUS --", "-- EXPO --"}));
    EXPECT_EQ(r.heard().size(), 4u) << "version, position, focus mode, exposure";
    EXPECT_EQ(v.magnification, "2") << "0x3000 is x2 on lens 0, and no digital zoom on this model";
    EXPECT_EQ(v.digital, std::nullopt);
    EXPECT_EQ(v.fValue, "1.4");
    EXPECT_EQ(v.shutter, std::nullopt);
    EXPECT_EQ(v.protocol, protocol);
  }
}

// "Digi." tells whether the camera zooms digitally now, as the zoom panels' "DIGI." does, not
// whether continuous digital zoom is allowed; the wide end's negative form reads x1.
TEST(ConditionReadout, DigiIsTheDigitalZoomUnderWayAndTheWideEndReadsX1) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Bench b(protocol, "FCCB: 01\nFDFC: 00\n");
    camera::ModelRecord r = model(0x70, 0, 0x0020);
    r.lensIndex = 1;
    ConditionReadout readout(b.access, b.monitor, b.runner);
    const auto drive = [&b](std::uint32_t command, std::chrono::milliseconds d) {
      EXPECT_TRUE(b.access.write(camera::registerSetting(0xFCBB, 8), command));
      b.clock.advance(d);
    };
    EXPECT_EQ(readout.read(r, true, true).digital, false) << "allowed, not under way";
    drive(0x99, 5s);  // the whole optical travel and on into the digital range
    ConditionView v = readout.read(r, true, true);
    EXPECT_EQ(v.digital, true);
    EXPECT_EQ(v.magnification, "16");
    drive(0x9B, 10s);
    v = readout.read(r, true, true);
    EXPECT_EQ(v.digital, false);
    EXPECT_EQ(v.magnification, "1");
  }
}

TEST(ConditionReadout, AFailedReadEndsItWithWhatItHas) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    // Where the exposure register goes on the line, from a readout that succeeds.
    std::uint64_t exposureFrame = 0;
    {
      Readout dry(protocol);
      dry.read();
      const auto frames = dry.bench.heardSince(0);
      const auto it = std::find_if(frames.begin(), frames.end(),
                                   [](const std::string& f) { return f.find("FB32") != std::string::npos; });
      ASSERT_NE(it, frames.end());
      exposureFrame = static_cast<std::uint64_t>(it - frames.begin()) + 1;
    }
    Readout r(protocol, "", faults({"drop:" + std::to_string(exposureFrame)}));
    const ConditionView v = r.read();
    EXPECT_EQ(v.outcome, ConditionOutcome::Read);
    EXPECT_FALSE(v.complete);
    EXPECT_EQ(v.agc, "10") << "what was read before stays";
    EXPECT_EQ(v.shutter, "1/120");
    EXPECT_EQ(v.fValue, std::nullopt);
    EXPECT_EQ(v.irCutIn, std::nullopt);
    EXPECT_EQ(v.interlace, std::nullopt);
    EXPECT_EQ(v.protocol, std::nullopt);
    const auto h = headings(r.bench.monitor.pc());
    ASSERT_FALSE(h.empty());
    EXPECT_EQ(h.back(), "-- EXPO --");
    EXPECT_EQ(r.bench.heardSince(0).size(), exposureFrame) << "nothing is read after the failure";
    EXPECT_EQ(r.bench.prompt.asked().size(), 0u) << "no message: the link has reported the failure";
    EXPECT_FALSE(r.bench.runner.busy());
  }
}

TEST(ConditionReadout, PortClosedBusyOrSilentCameraReadNothing) {
  Readout closed(P::Eap);
  closed.bench.portOpen = false;
  EXPECT_EQ(closed.read().outcome, ConditionOutcome::PortClosed);
  EXPECT_TRUE(closed.heard().empty());
  EXPECT_EQ(closed.bench.monitor.pc(), "");

  Readout busy(P::Eap);
  {
    auto claim = busy.bench.runner.claim();
    ASSERT_TRUE(claim);
    const ConditionView v = busy.read();
    EXPECT_EQ(v.outcome, ConditionOutcome::Ignored);
    EXPECT_FALSE(v.magnification);
  }
  EXPECT_TRUE(busy.heard().empty());
  EXPECT_EQ(busy.bench.monitor.pc(), "");

  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Bench silent(protocol, kRegisters, faults({"silent"}));
    silent.model = fullModel();
    const ConditionView v =
        ConditionReadout(silent.access, silent.monitor, silent.runner).read(silent.model, true, true);
    EXPECT_EQ(v.outcome, ConditionOutcome::Ignored);
    EXPECT_EQ(silent.monitor.pc().find(std::string(t::kHeading)), std::string::npos);
    EXPECT_EQ(silent.heardSince(0).size(), 1u) << "only the version probe";
  }
}

TEST(ConditionReadout, TheCameraModeComesBackAsTheNtscTimingFlag) {
  struct Case {
    P protocol;
    std::string_view mode;  // register 0x1701, or the AFP camera mode
    bool ntsc;
    std::string_view shutter;
  };
  const Case cases[] = {
      {P::Eap, "1701: 00\n", false, "1/6"},
      {P::Eap, "1701: 15\n", true, "1/8"},
      {P::Afp, "018505", false, "1/6"},
      {P::Afp, "018501", true, "1/8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(name(c.protocol)) + " " + std::string(c.mode));
    Readout r(c.protocol, c.protocol == P::Eap ? c.mode : "");
    if (c.protocol == P::Afp) {
      ASSERT_TRUE(r.bench.afp.set(c.mode, true));
    }
    r.bench.camera.memory().write(0xFCC7, 0x08);
    r.bench.model = model(0x1AF0, 0x01);
    const ConditionView v = r.read(!c.ntsc);
    EXPECT_TRUE(v.complete);
    EXPECT_EQ(v.ntscTiming, c.ntsc);
    EXPECT_EQ(v.dssOn, true);
    EXPECT_EQ(v.shutter, c.shutter);
  }
}

TEST(ConditionReadout, TheClockByteCaptionsTheReverseGroupOfTheClockedModels) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    for (auto [clock, caption] :
         {std::pair{"1701: 01\n", t::kMirrorGroup}, std::pair{"1701: 00\n", t::kReverseGroup}}) {
      Readout r(protocol, clock);
      r.bench.model = model(0x9F1, 0x02);
      r.bench.model.clockSelector = 1;
      const ConditionView v = r.read();
      EXPECT_TRUE(v.complete);
      EXPECT_EQ(v.layout.reverseCaption, caption);
      EXPECT_EQ(v.reverseOn, false);
      EXPECT_EQ(v.shutter, "1/49") << "the 25.0 clock rate: 25 x 10^0.3 is 49.9, shown as it is";
    }
  }
}

}  // namespace
}  // namespace orva::panels
