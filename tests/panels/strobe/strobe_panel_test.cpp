// STROBE against the virtual camera: one read per register on open, choices that rewrite only
// their bits from a fresh read, failed reads and writes that change nothing, values past the
// texts and lists, the wrapping spin fields, the hex entries' limits, the enabling that "Mode"
// and "Auto Control Selector" drive, the software trigger, and AFP, where nothing is sent.
#include "panels/strobe/strobe_panel.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "panels/fake_panel_view.hpp"
#include "panels/panel_bench.hpp"

namespace orva::panels::strobe {
namespace {

using testing::byte;
using testing::word;
using P = link::Protocol;
using O = OutputControl;

std::string frame(char kind, std::uint16_t address, std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, ":%c%04X%02X", kind, address, value);
  return text;
}

bool hasHeading(const testing::Bench& b, std::string_view text) {
  return b.monitor.pc().find("\r\n\r\n<< " + std::string(text) + " >>") != std::string::npos;
}

struct Open {
  explicit Open(std::string_view registers, P protocol = P::Eap) : bench(protocol, registers) {
    logic = makeStrobePanel(bench.context, view);
    EXPECT_TRUE(logic->open());
    from = bench.mark();
    bench.monitor.clear();
  }
  std::vector<std::string> heard() { return bench.heardSince(std::exchange(from, bench.mark())); }
  // From now on the panel talks to another camera of these registers, with these faults.
  sim::VirtualCamera& swapCamera(std::string_view registers, std::vector<sim::Fault> faults) {
    other = std::make_unique<sim::VirtualCamera>(testing::profile(P::Eap, registers), std::move(faults));
    bench.link.setChannel(std::make_unique<sim::InProcessChannel>(*other, bench.clock, false));
    EXPECT_TRUE(bench.link.open());
    return *other;
  }
  std::vector<std::string> heardByOther() const {
    std::vector<std::string> out;
    for (const auto& r : other->frameLog().since(0))
      if (!r.fromCamera) out.push_back(r.sent);
    return out;
  }

  // The camera swapped in outlives the link that talks to it.
  std::unique_ptr<sim::VirtualCamera> other;
  testing::Bench bench;
  FakePanelView view;
  std::unique_ptr<PanelLogic> logic;
  std::uint64_t from = 0;
};

TEST(Strobe, OpensReadingEachRegisterOnceAndShowsEveryPartOfIt) {
  testing::Bench bench(P::Eap, "FFB2: 52\nFFB3: 2A\nFFA6: F5\nFF9E: 0B\nFFAE: 12 34\nFFBF: 02\n167F: 01\n");
  FakePanelView view;
  const auto logic = makeStrobePanel(bench.context, view);
  const auto from = bench.mark();
  ASSERT_TRUE(logic->open());
  EXPECT_TRUE(hasHeading(bench, "STROBE"));
  const auto heard = bench.heardSince(from);
  EXPECT_EQ(heard.size(), 38u) << "the 38 registers and EEPROM addresses of the panel, each once";
  EXPECT_EQ(std::set<std::string>(heard.begin(), heard.end()).size(), heard.size());

  // 0xFFB2 0101 0010: single frame, activation off, A fixed; 0xFFB3 0010 1010: rate 3, mask,
  // B's movie on; 0xFF9E 1011: B on without emitting light, negative edge, high.
  EXPECT_EQ(logic->selected(kAcquisitionMode), 1);
  EXPECT_EQ(logic->selected(kActivation), 1);
  EXPECT_EQ(logic->selected(outputControl(0, O::LightMode)), 1);
  EXPECT_EQ(logic->selected(outputControl(1, O::LightMode)), 0);
  EXPECT_EQ(logic->selected(outputControl(2, O::LightMode)), 1);
  EXPECT_EQ(logic->selected(kRate), 2);
  EXPECT_EQ(logic->selected(kMask), 0);
  EXPECT_EQ(logic->selected(outputControl(0, O::MovieOn)), 1);
  EXPECT_EQ(logic->selected(outputControl(1, O::MovieOn)), 0);
  EXPECT_EQ(logic->selected(outputControl(1, O::Switch)), 2);
  EXPECT_EQ(logic->selected(outputControl(1, O::EdgeType)), 1);
  EXPECT_EQ(logic->selected(outputControl(1, O::Assert)), 0);
  EXPECT_EQ(view.text(kPilotDelay), "05") << "bits 0-2 only";
  EXPECT_EQ(view.text(outputControl(2, O::Rise)), "1234");
  EXPECT_TRUE(view.enabled(kFirstManualTwilight));
  EXPECT_FALSE(view.enabled(kFirstManualNight));
  EXPECT_TRUE(view.enabled(kPeakNight)) << "NotFix";
}

TEST(Strobe, ValuesPastTheTextsAndListsShowNothingAndGetShowsWhatIsThereNow) {
  Open o("FFC0: 04\nFFA5: 08\nFFBF: 04\nFFA4: 04\n167F: 03\nFFB3: 03\n");
  for (const ControlId c : {kLinkStatus, kTriggerStatus, kMode, kForceStrobeSwitch, kAutoControlSelector, kRate}) {
    EXPECT_EQ(o.view.value(c), -1) << "control " << c;
  }

  struct Case {
    ControlId get, status;
    std::uint16_t address;
    std::uint8_t value;
    int shown;
  };
  for (const Case& c : {Case{kLinkGet, kLinkStatus, 0xFFC0, 3, 3}, Case{kTriggerGet, kTriggerStatus, 0xFFA5, 7, 7},
                        Case{kTriggerGet, kTriggerStatus, 0xFFA5, 9, -1}}) {
    o.bench.camera.memory().write(c.address, c.value);
    o.logic->intent(Intent::click(c.get));
    EXPECT_EQ(o.view.value(c.status), c.shown) << c.address << " = " << int{c.value};
  }
}

// Each case starts from a panel opened on zeros; the register changes behind it first, so a
// value cached at open would lose the other bits.
TEST(Strobe, AChoiceReadsItsRegisterAfreshRewritesOnlyItsBitsAndThenWritesItsHeading) {
  struct Case {
    ControlId control;
    int item;
    std::uint16_t address;
    std::uint8_t behind, written;
    bool masked;
    std::string_view heading;
  };
  const Case cases[] = {
      {kLinkSwitch, 1, 0xFFBE, 0xF0, 0xF1, true, "Strobe Link Switch : Off"},
      {kActivation, 1, 0xFFB2, 0x51, 0x53, true, "Strobe Activetion : Off"},
      {kAcquisitionMode, 0, 0xFFB2, 0x40, 0x41, true, "Acquisition Mode : Continuous"},
      {outputControl(0, O::LightMode), 1, 0xFFB2, 0x01, 0x41, true, "Strobe A Light Mode : Fix"},
      {outputControl(2, O::MovieOn), 0, 0xFFB3, 0x0B, 0x4B, true, "Strobe C MovieOn : On"},
      {kMask, 0, 0xFFB3, 0x71, 0x79, true, "Strobe Mask : On"},
      {outputControl(1, O::EdgeType), 1, 0xFF9E, 0x0D, 0x0F, true, "Strobe B EdgeType : Nega"},
      {outputControl(1, O::Assert), 0, 0xFF9E, 0x0E, 0x0F, true, "Strobe B Assert : High"},
      {outputControl(1, O::Switch), 3, 0xFF9E, 0x03, 0x0F, true, "Strobe B Switch : On_ContinuousLight"},
      {kRate, 2, 0xFFB3, 0x78, 0x7A, true, "Frame Rate : Frame Rate3"},
      {kSource, 0, 0xFF97, 0x80, 0x81, true, "Trigger Source : Software"},
      {kMode, 3, 0xFFBF, 0x00, 0x03, false, "StrobeLinkMode : Manual(night)"},
      {kForceStrobeSwitch, 1, 0xFFA4, 0x00, 0x01, false, "Force Strobe Switch : On(Day/Twilight/Night)"},
      {kAutoControlSelector, 1, 0x167F, 0x00, 0x01, false, "Strobe Auto Control Selector  : NotFix"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heading);
    Open o("");
    o.bench.camera.memory().write(c.address, c.behind);
    o.logic->intent(Intent::choose(c.control, c.item));
    std::vector<std::string> expected{frame('W', c.address, c.written)};
    if (c.masked) expected.insert(expected.begin(), frame('R', c.address, 0));
    EXPECT_EQ(o.heard(), expected);
    EXPECT_EQ(o.logic->selected(c.control), c.item);
    EXPECT_TRUE(hasHeading(o.bench, c.heading)) << o.bench.monitor.pc();
    EXPECT_LT(o.bench.monitor.pc().find(":W"), o.bench.monitor.pc().find("<<")) << "the heading follows the write";
  }
}

TEST(Strobe, AFailedReadWritesNothingAndAFailedWriteLeavesTheControlAsItWas) {
  struct Case {
    std::string_view what;
    Intent intent;
    ControlId control;
    std::string_view faults;  // on the camera the panel talks to after opening
    std::size_t frames;       // that camera then hears
  };
  const Case cases[] = {
      {"a two-way choice, its read failing", Intent::choose(kLinkSwitch, 1), kLinkSwitch, "silent", 1},
      {"a list on bits, its read failing", Intent::choose(outputControl(2, O::Switch), 2), outputControl(2, O::Switch),
       "silent", 1},
      {"pilot delay, its read failing", Intent::step(kPilotDelay, 1), kPilotDelay, "silent", 1},
      {"a two-way choice, its write failing", Intent::choose(outputControl(0, O::LightMode), 1),
       outputControl(0, O::LightMode), "drop:2", 2},
      {"the mode, its write failing", Intent::choose(kMode, 2), kMode, "drop:1", 1},
      {"pilot delay, its write failing", Intent::step(kPilotDelay, -1), kPilotDelay, "drop:2", 2},
      {"frame delay, its write failing", Intent::step(outputControl(1, O::FrameDelay), 1),
       outputControl(1, O::FrameDelay), "drop:1", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open o("");
    const auto shownBefore = std::pair(o.view.value(c.control), o.view.text(c.control));
    o.swapCamera("", testing::faults({c.faults}));
    o.logic->intent(c.intent);
    EXPECT_EQ(o.heardByOther().size(), c.frames);
    EXPECT_EQ(o.bench.monitor.pc().find("<<"), std::string::npos) << "no heading";
    EXPECT_EQ(std::pair(o.view.value(c.control), o.view.text(c.control)), shownBefore);
    EXPECT_TRUE(o.logic->isOpen());
  }
}

TEST(Strobe, FrameDelayAndPilotDelayWrapRoundTheirSmallRangesAndPilotDelayKeepsTheOtherBits) {
  Open o("FFA6: F8\nFFAB: FF\n");
  const ControlId frameDelay = outputControl(0, O::FrameDelay);
  o.logic->intent(Intent::step(frameDelay, -1));
  EXPECT_EQ(o.view.text(frameDelay), "0F");
  EXPECT_EQ(byte(o.bench, 0xFF99), 15);
  o.logic->intent(Intent::step(frameDelay, 1));
  EXPECT_EQ(o.view.text(frameDelay), "00");

  o.logic->intent(Intent::step(kPilotDelay, -1));
  EXPECT_EQ(o.view.text(kPilotDelay), "07");
  EXPECT_EQ(byte(o.bench, 0xFFA6), 0xFF);
  o.bench.camera.memory().write(0xFFA6, 0x87);  // bits 3-7 changed behind the panel
  o.heard();
  o.logic->intent(Intent::step(kPilotDelay, 1));
  EXPECT_EQ(o.heard(), (std::vector<std::string>{frame('R', 0xFFA6, 0), frame('W', 0xFFA6, 0x80)}));
  EXPECT_EQ(o.view.text(kPilotDelay), "00");

  // Pilot Width's range is the whole byte: it stops at its ends, and a step there sends nothing.
  o.logic->intent(Intent::step(kPilotWidth, 1));
  EXPECT_TRUE(o.heard().empty());
  o.logic->intent(Intent::step(kPilotWidth, -2));
  EXPECT_EQ(byte(o.bench, 0xFFAB), 0xFD);
}

TEST(Strobe, HexEntriesTakeOnlyHexDigitsUpToTheirMaximum) {
  Open o("167F: 01\nFFBF: 03\n");
  struct Case {
    ControlId control;
    std::string_view text;
    bool taken;
  };
  const Case cases[] = {
      {kPeakNight, "7F", true},         {kPeakNight, "80", false},
      {kPeakTwilight, "7f", true},      {kAverageNight, "FF", true},
      {kAverageTwilight, "100", false}, {kAverageTwilight, "G1", false},
      {kAverageTwilight, "", false},    {kAverageTwilight, "-1", false},
      {kFirstManualNight, "ABCD", true}, {kFirstManualNight + 4, "12345", false},
      {outputControl(2, O::Width), "0100", true}, {kGateWidth, "FFFF", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.control << " " << c.text);
    const int beeps = o.view.beeps();
    o.heard();
    o.logic->intent(Intent::enter(c.control, std::string(c.text)));
    EXPECT_EQ(o.heard().size(), c.taken ? 1u : 0u);
    EXPECT_EQ(o.view.beeps(), beeps + (c.taken ? 0 : 1));
  }
  EXPECT_EQ(byte(o.bench, 0x1704), 0x7F);
  EXPECT_EQ(byte(o.bench, 0x1705), 0x7F);
  EXPECT_EQ(word(o.bench, 0x1684), 0xABCD);
  EXPECT_EQ(word(o.bench, 0xFFB0), 0x0100);
}

TEST(Strobe, ModeEnablesTheManualSetOfItsStateAndTheSelectorThePeakExposure) {
  Open o("");
  const auto manual = [&o](ControlId first) {
    return o.view.enabled(first) && o.view.enabled(static_cast<ControlId>(first + kManualEntries - 1));
  };
  EXPECT_FALSE(manual(kFirstManualNight));
  EXPECT_FALSE(manual(kFirstManualTwilight));
  o.logic->intent(Intent::enter(kFirstManualNight, "0001"));
  EXPECT_TRUE(o.heard().empty()) << "a disabled entry takes nothing";

  struct Case {
    ControlId control;
    int item;
    bool night, twilight, peak;
  };
  for (const Case& c : {Case{kMode, 2, false, true, false}, Case{kMode, 3, true, false, false},
                        Case{kAutoControlSelector, 1, true, false, true}, Case{kAutoControlSelector, 2, true, false, false},
                        Case{kMode, 0, false, false, false}}) {
    o.logic->intent(Intent::choose(c.control, c.item));
    EXPECT_EQ(manual(kFirstManualNight), c.night) << c.control << " " << c.item;
    EXPECT_EQ(manual(kFirstManualTwilight), c.twilight) << c.control << " " << c.item;
    EXPECT_EQ(o.view.enabled(kPeakNight) && o.view.enabled(kPeakTwilight), c.peak) << c.control << " " << c.item;
  }
}

TEST(Strobe, SoftwareTriggerButtonsWriteTheirHeadingThenTheirCode) {
  constexpr std::array<std::string_view, kSoftwareTriggers> kNames{"A", "B", "AB", "C", "AC", "BC", "ABC"};
  Open o("");
  for (std::size_t i = 0; i < kSoftwareTriggers; ++i) {
    o.bench.monitor.clear();
    o.logic->intent(Intent::click(static_cast<ControlId>(kFirstSoftwareTrigger + i)));
    EXPECT_EQ(o.heard(), (std::vector<std::string>{frame('W', 0xFF96, static_cast<std::uint32_t>(i + 1))}));
    const std::string& pc = o.bench.monitor.pc();
    const auto heading = pc.find("<< Software Trigger " + std::string(kNames[i]) + " >>");
    ASSERT_NE(heading, std::string::npos) << pc;
    EXPECT_LT(heading, pc.find(":WFF96"));
  }
}

TEST(Strobe, UnderAfpNothingIsReadOrSentAndNoControlChangesOrWritesAHeading) {
  Open o("FFBE: 01\n", P::Afp);
  EXPECT_TRUE(o.logic->isOpen());
  EXPECT_TRUE(o.heard().empty());
  for (const ControlDescription& c : strobeDescription().controls) {
    if (c.kind == ControlKind::Close || c.kind == ControlKind::Label) continue;
    SCOPED_TRACE(::testing::Message() << "control " << c.id);
    EXPECT_FALSE(o.view.enabled(c.id));
    for (const Intent& in : {Intent::choose(c.id, 1), Intent::toggle(c.id), Intent::step(c.id, -1),
                             Intent::enter(c.id, "01"), Intent::click(c.id)})
      o.logic->intent(in);
    EXPECT_TRUE(o.heard().empty());
    EXPECT_EQ(o.view.value(c.id), std::nullopt);
    EXPECT_EQ(o.view.text(c.id), std::nullopt);
  }
  EXPECT_EQ(o.bench.monitor.pc().find("<<"), std::string::npos);
}

}  // namespace
}  // namespace orva::panels::strobe
