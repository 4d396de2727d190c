// The launcher's TYPE I / TYPE II runs against the virtual camera: what each run writes, in
// order, in both protocols; a store and its restore bring the lens back; models without the AF
// area function never touch its registers; the arrival message is shown as the camera sent it;
// a failed access ends a run without its END line.
#include "panels/preset/launcher_runs.hpp"

#include <gtest/gtest.h>

#include "panels/preset/preset_bench.hpp"

namespace orva::panels::preset {
namespace {

using namespace testing;

constexpr std::uint16_t kAfAreaModel = 1u << 5;  // panel word 2

struct Runs {
  Runs(P protocol, std::uint16_t panelWord2 = kAfAreaModel, std::string_view profile = "FF0E: 08\nF850: 06\nF851: 00\n",
       std::vector<sim::Fault> faults = {})
      : b(protocol, profile, std::move(faults)) {
    b.model.panelWord2 = panelWord2;
    b.model.modelCode = 0x40;
  }
  LauncherRunContext context() { return {b.access, b.monitor, b.clock, b.model, arrival, activeExec}; }
  bool store(PresetType t, camera::PresetRecord& r) { return storeLauncherPreset(context(), t, r, {}); }
  bool recall(PresetType t, const camera::PresetRecord& r) { return recallLauncherPreset(context(), t, r, {}); }
  // What the tool wrote since `from`, as the frames went.
  Frames writes(std::uint64_t from) const { return testing::writes(b.heardSince(from)); }
  std::uint16_t zoom() { return word(b, 0xF714); }
  void driveAway() {
    ASSERT_TRUE(b.access.write(reg8(0xFCBB), 0x99u));
    b.clock.sleepFor(std::chrono::milliseconds(1500));
    ASSERT_TRUE(b.access.write(reg8(0xFCBB), 0xFEu));
  }
  std::size_t ends() const {
    const std::string log = b.monitor.log();
    std::size_t n = 0;
    for (auto at = log.find("\n-- END --"); at != std::string::npos; at = log.find("\n-- END --", at + 1)) ++n;
    return n;
  }

  Bench b;
  bool arrival = false;
  bool activeExec = false;
};

TEST(LauncherRuns, EachRunWritesItsSequenceAndTheRestoreBringsTheZoomBack) {
  struct Case {
    P protocol;
    PresetType type;
    std::uint16_t modelCode;
    Frames store, recall;
  };
  const Case cases[] = {
      // Already in manual focus: the store only reads.
      {P::Eap, PresetType::One, 0x40, {},
       {":wF7160200", ":WF75303", ":wF7180000", ":wF71A0000", ":wF7BE0000", ":wF7C20000", ":wF7C40000", ":WF89500",
        ":wFC6E0000", ":wF7120000", /* the zoom has arrived */ ":WF75302"}},
      // Models below 48 hold the tracking and put its base back.
      {P::Eap, PresetType::One, 0x20, {":WFB7F10"},
       {":wF7160200", ":WF75303", ":wF7180000", ":wF71A0000", ":wF7BE0000", ":wF7C20000", ":wF7C40000", ":WF89500",
        ":wFC6E0000", ":wF7120000", ":WF75302", ":WFB7F10", ":wFB320000", ":WFB7E02"}},
      {P::Afp, PresetType::One, 0x40, {}, {"S6101000002000000000000000000000000T"}},
      // Auto focus, high speed, AF area off; to tele and back down to the start between limits.
      {P::Eap, PresetType::Two, 0x40,
       {":WFCBBA8", ":WFCBBFE", ":WFDFC00", ":WFCCB00", ":WFCBB99", /* drive ended */ ":WFCBBFE", ":WFCBBA8",
        ":WFCBBFE", ":wF71C0200", ":WFCBB9B", /* drive ended */ ":WFCBBFE", ":wF71C0400", ":wFC6E0000"},
       {":WFDE60A", ":WFF0F80", ":wFC6E0000", ":WFCCB00", ":WFDFC04", ":WF894C0", ":wF7BE0000", ":wF7C20000",
        ":wF7C40000", ":WF89500", ":WF89400", ":wF71C0200", ":WFCBB9B", /* drive ended */ ":WFCBBFE",
        /* -- Return value -- */ ":wF71C0400", ":wF71EE156", ":WFF0F00", ":WFCCB01", ":wFC6E0000", ":WFDE60A",
        ":WFDFC00"}},
      // The preset function's set moves the zoom itself: no drive is left to do.
      {P::Afp, PresetType::Two, 0x40,
       {"S110101T", "SFE01FDFC00T", "SFE01FCCB00T", "S110812T", "S110702T", "S110701T", "S110102T",
        "SFE02F71C0200T", "S110703T", "S110701T", "SFE02F71C0400T", "SFE02FC6E0000T", "S110102T"},
       {"SFE01FDE60AT", "SFE01FF0F80T", "SFE02FC6E0000T", "SFE01FCCB00T", "SFE01FDFC04T", "SFE01F894C0T",
        "S6102020000000000000000T", "SFE01F89400T", "SFE02F71C0400T", "SFE02F71EE156T", "SFE01FF0F00T",
        "SFE01FCCB01T", "SFE02FC6E0000T", "SFE01FDE60AT", "SFE01FDFC00T"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(testing::name(c.protocol)) + (c.type == PresetType::One ? " TYPE I " : " TYPE II ") +
                 std::to_string(c.modelCode));
    Runs r(c.protocol);
    r.b.model.modelCode = c.modelCode;
    camera::PresetRecord rec;
    ASSERT_TRUE(r.store(c.type, rec));
    EXPECT_EQ(r.writes(0), c.store);
    EXPECT_EQ(rec.zoomPosition, 0x0200);
    EXPECT_EQ(r.ends(), 1u);
    r.driveAway();
    const auto mark = r.b.mark();
    ASSERT_TRUE(r.recall(c.type, rec));
    EXPECT_EQ(r.writes(mark), c.recall);
    EXPECT_EQ(r.zoom(), rec.zoomPosition);
    EXPECT_EQ(r.ends(), 2u);
    EXPECT_EQ(r.b.monitor.log().find(texts::kReturnValue) != std::string::npos, c.type == PresetType::Two);
  }
}

TEST(LauncherRuns, WithoutTheAfAreaFunctionItsRegistersAreNeverTouched) {
  for (const P protocol : {P::Eap, P::Afp}) {
    for (const PresetType type : {PresetType::One, PresetType::Two}) {
      SCOPED_TRACE(std::string(testing::name(protocol)) + (type == PresetType::One ? " TYPE I" : " TYPE II"));
      Runs r(protocol, 0);
      camera::PresetRecord rec;
      rec.afAreaWord = 0x1234;
      ASSERT_TRUE(r.store(type, rec));
      EXPECT_EQ(rec.afAreaWord, type == PresetType::Two || protocol == P::Eap ? 0 : 0x1234);
      if (type == PresetType::Two) {
        EXPECT_EQ(rec.afReference, 0xFF);
        EXPECT_EQ(rec.afSpeed, camera::kNoAfSpeed);
      }
      r.driveAway();
      ASSERT_TRUE(r.recall(type, rec));
      const Frames all = r.b.heardSince(0);
      for (std::string_view address : {"FC6E", "FC91", "FCCB", "FDE6", "FF0F"})
        EXPECT_FALSE(mentions(all, address)) << address;
    }
  }
}

TEST(LauncherRuns, TheArrivalMessageIsAskedForAndShownAsTheCameraSentIt) {
  struct Case {
    PresetType type;
    bool activeExec;
    std::string_view asked;
  };
  const Case cases[] = {
      {PresetType::One, false, "#WF75303"},
      {PresetType::One, true, ":WD16C01"},
      {PresetType::Two, false, "#WFCBB9B"},
      {PresetType::Two, true, ":WD16C02"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.asked));
    Runs r(P::Eap);
    camera::PresetRecord rec;
    ASSERT_TRUE(r.store(c.type, rec));
    r.driveAway();
    r.arrival = true;
    r.activeExec = c.activeExec;
    const auto mark = r.b.mark();
    ASSERT_TRUE(r.recall(c.type, rec));
    EXPECT_TRUE(mentions(r.writes(mark), c.asked));
    EXPECT_NE(r.b.monitor.log().find(std::string("\n") + std::string(texts::kArrivalLine)), std::string::npos);
    EXPECT_NE(r.b.monitor.camera().find(sim::kArrivalMessage), std::string::npos);
    EXPECT_EQ(r.zoom(), rec.zoomPosition);
    EXPECT_EQ(r.ends(), 2u);
  }
}

TEST(LauncherRuns, AFailedAccessEndsTheRunWithoutItsEndLine) {
  for (const PresetType type : {PresetType::One, PresetType::Two}) {
    Runs r(P::Eap, kAfAreaModel, "", faults({"silent"}));
    camera::PresetRecord rec;
    rec.zoomPosition = 0x1234;
    const camera::PresetRecord before = rec;
    EXPECT_FALSE(r.store(type, rec));
    EXPECT_EQ(rec, before) << "the first access failed: nothing read";
    EXPECT_FALSE(r.recall(type, rec));
    EXPECT_EQ(r.ends(), 0u);
  }
}

// A TYPE II restore that fails while it drives between its temporary limits stops the lens and
// puts the limits back on its way out.
TEST(LauncherRuns, AFailedDriveLeavesNoTemporaryLimitBehind) {
  Runs r(P::Eap, kAfAreaModel, "FF0E: 08\n", faults({"drop:25"}));  // a poll of the drive goes unanswered
  camera::PresetRecord rec;
  rec.zoomPosition = 0x0200;  // toward tele from the wide end
  rec.afSpeed = camera::kNoAfSpeed;
  EXPECT_FALSE(r.recall(PresetType::Two, rec));
  EXPECT_EQ(r.ends(), 0u);
  EXPECT_TRUE(mentions(r.writes(0), ":wF71E0200"));
  EXPECT_EQ(word(r.b, 0xF71E), 0xE156);
  EXPECT_EQ(byte(r.b, 0xFCBB), 0xFE);
}

}  // namespace
}  // namespace orva::panels::preset
