// The EEPROM preset run against the virtual camera (the status poll's three ends, the arrival
// message in both of its forms, the abort's brake), the record writes (the type byte cleared
// first and set last, one write to clear), and what EEPROM PRESET adds to them: the Goto ZOOM
// entry, the memory keys, an empty record, the easy presets and the MOSAIC refusal. Plain
// round trips are the generic panel test's.
#include "panels/preset/eeprom_preset_run.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "panels/preset/eeprom_preset_panel.hpp"
#include "panels/preset/preset_bench.hpp"
#include "panels/preset/preset_lens_part.hpp"

namespace orva::panels::preset {
namespace {

using namespace std::chrono_literals;
using namespace testing;

struct Runner {
  explicit Runner(P protocol, std::string_view registers = "", std::vector<sim::Fault> faults = {})
      : bench(protocol, registers, std::move(faults)) {
    bench.model.lensIndex = k20xLens;
  }
  Outcome operator()(std::uint16_t word, const CommandWait& wait) {
    const OperationRun run(stop.get_token(), abort, bench.dispatcher, PanelToken{});
    return runPresetCommand(bench.access, bench.monitor, bench.clock, run, word, wait);
  }
  bool logged(std::string_view text) const { return bench.monitor.log().find(text) != std::string::npos; }

  Bench bench;
  std::stop_source stop;
  std::atomic<bool> abort{false};
};

TEST(EepromPresetRun, TheStatusPollEndsAsTheCameraSays) {
  struct Case {
    P protocol;
    std::uint16_t word;
    std::chrono::milliseconds limit;
    Outcome outcome;
  };
  const Case cases[] = {
      {P::Eap, 0x0412, 20000ms, Outcome::Done},    // magnification 12: status 2
      {P::Afp, 0x0412, 20000ms, Outcome::Done},    // the same through the register gateway
      {P::Eap, 0x0101, 20000ms, Outcome::Error},   // an empty record: status 1
      {P::Eap, 0x08FF, 50ms, Outcome::TimeOver},   // wide to tele takes seconds
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(fmt::format("{} {:04X}", testing::name(c.protocol), c.word));
    Runner run(c.protocol, "F8B2: 02\n");
    CommandWait wait;
    wait.limit = c.limit;
    const auto mark = run.bench.mark();
    EXPECT_EQ(run(c.word, wait), c.outcome);
    if (c.protocol == P::Eap) {
      // The command word cleared, the old status cleared, then the word.
      const auto frames = run.bench.heardSince(mark);
      ASSERT_GE(frames.size(), 4u);
      EXPECT_EQ(frames[0], ":wF8B00000");
      EXPECT_EQ(frames[2], ":WF8B200");
      EXPECT_EQ(frames[3], fmt::format(":wF8B0{:04X}", c.word));
    }
  }
}

TEST(EepromPresetRun, TheArrivalMessageComesInTheHashFrameOrAfterTheRequest) {
  struct Case {
    bool activeExec;
    std::vector<std::string_view> frames;
  };
  const Case cases[] = {
      {false, {"#wF8B00412"}},
      {true, {":wF8B00412", ":WD16C03"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.activeExec);
    Runner run(P::Eap);
    const CommandWait wait{.arrivalMessage = true, .activeExec = c.activeExec, .arrivalCode = kArrivalGoToZoom};
    const auto mark = run.bench.mark();
    EXPECT_EQ(run(0x0412, wait), Outcome::Done);
    const auto frames = run.bench.heardSince(mark);
    for (const auto f : c.frames) EXPECT_TRUE(has(frames, f)) << f;
    EXPECT_FALSE(has(frames, c.activeExec ? "#wF8B00412" : ":wF8B00412"));
    EXPECT_TRUE(run.logged("\n< Zoom position Arrival Message >"));
    EXPECT_NE(run.bench.monitor.camera().find(sim::kArrivalMessage), std::string::npos);
  }
  // A run that fails never arrives.
  Runner run(P::Eap, "", faults({"preset-error"}));
  EXPECT_EQ(run(0x0412, CommandWait{.arrivalMessage = true}), Outcome::TimeOver);
}

TEST(EepromPresetRun, AnAbortBrakesAgainstTheZoomsMotionAndTheWaitGoesOn) {
  struct Case {
    std::string_view registers;
    std::uint16_t word;
    std::vector<std::string_view> brake;
  };
  // F714 counts down towards tele.
  const Case cases[] = {
      {"", 0x08FF, {":WFCBB99", ":WFCBBFE"}},              // wide to tele
      {"F850: 64 00\n", 0x0800, {":WFCBB9B", ":WFCBBFE"}},  // tele to wide
      {"", 0x0800, {}},                                      // standing at wide
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(fmt::format("{:04X}", c.word));
    Runner run(P::Eap, c.registers);
    // Bytes take their time on the line, so the lens moves between the two reads.
    run.bench.link.setChannel(std::make_unique<sim::InProcessChannel>(run.bench.camera, run.bench.clock, true));
    ASSERT_TRUE(run.bench.link.open());
    run.abort = true;
    const auto mark = run.bench.mark();
    EXPECT_EQ(run(c.word, CommandWait{}), Outcome::Done);
    EXPECT_TRUE(run.logged("\n < Preset Abort >"));
    EXPECT_NE(run.bench.monitor.pc().find("\r\n < Preset Abort >"), std::string::npos);
    const auto frames = run.bench.heardSince(mark);
    EXPECT_EQ(std::ranges::count(frames, std::string(":rF7140000")), 2);
    std::vector<std::string> brake;
    for (const auto& f : frames)
      if (f.starts_with(":WFCBB")) brake.push_back(f);
    EXPECT_EQ(brake, std::vector<std::string>(c.brake.begin(), c.brake.end()));
  }
}

TEST(EepromPresetRecords, TheTypeByteIsClearedFirstAndSetLast) {
  struct Case {
    std::uint8_t type;
    std::size_t writes;  // the type twice, the byte, two per word kept
  };
  const Case cases[] = {{kTypeOne, 3 + 2 * 8}, {kTypeTwo, 3 + 2 * 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int{c.type});
    Runner run(P::Eap);
    LensRecord record;
    record.words = {0x1111, 0x2222, 0x3333, 0x4444, 0x5555, 0x6666, 0x7777, 0x8888};
    record.trackingByte = 0x99;
    record.type = c.type;
    auto mark = run.bench.mark();
    ASSERT_TRUE(writeLensRecord(run.bench.access, kTypeOneTable, 2, record));  // 0x1712..0x1723
    const auto frames = run.bench.heardSince(mark);
    ASSERT_EQ(frames.size(), c.writes);
    EXPECT_EQ(frames.front(), ":W1723FF");
    EXPECT_EQ(frames.back(), fmt::format(":W17230{}", int{c.type}));
    EXPECT_TRUE(has(frames, ":W171422"));  // F714's word, little-endian
    EXPECT_TRUE(has(frames, ":W171522"));
    EXPECT_EQ(has(frames, ":W171211"), c.type == kTypeOne);  // F710: TYPE I only
    std::uint8_t type = 0;
    ASSERT_TRUE(readRecordType(run.bench.access, kTypeOneTable, 2, type));
    EXPECT_EQ(type, c.type);

    mark = run.bench.mark();
    ASSERT_TRUE(clearRecord(run.bench.access, kTypeOneTable, 2));
    EXPECT_EQ(run.bench.heardSince(mark), std::vector<std::string>{":W1723FF"});
  }
}

TEST(EepromPresetRecords, TypeTwoReadsItsOwnFieldsAndTheAfAreaOnlyWhereTheModelHasIt) {
  for (const bool afArea : {false, true}) {
    Runner run(P::Eap, "F710: 12 34\nF7BE: 01 02\nFC6E: 0A 0B\nF895: 07\n");
    run.bench.model.panelWord2 = afArea ? 1u << 5 : 0;
    LensRecord r;
    ASSERT_TRUE(readLensState(run.bench.access, run.bench.model, kTypeTwo, r));
    EXPECT_EQ(r.words[0], 0);
    EXPECT_EQ(r.words[4], 0x0102);
    EXPECT_EQ(r.words[kAfAreaWord], afArea ? 0x0A0B : 0);
    EXPECT_EQ(r.trackingByte, 7);
    EXPECT_EQ(r.type, kTypeTwo);
  }
}


// ---- EEPROM PRESET

namespace E = eeprom;
namespace L = lens_part;

struct Panel : PresetPanel {
  explicit Panel(P protocol, std::string_view registers = "", std::vector<sim::Fault> faults = {})
      : PresetPanel(protocol, E::makeEepromPresetPanel, registers, std::move(faults)) {}
};

TEST(EepromPresetPanel, GotoZoomSendsTheMagnificationInBcdWithinTheLens) {
  struct Case {
    P protocol;
    std::string_view typed;
    std::string_view frame;  // empty: nothing sent, a beep
    std::string_view shown;  // the entry afterwards; empty: as typed
  };
  const Case cases[] = {
      {P::Eap, "12", ":wF8B00412", ""}, {P::Eap, "25", ":wF8B00420", "20"}, {P::Afp, "12", "S610612T", ""},
      {P::Eap, "0", "", ""},            {P::Eap, "", "", ""},               {P::Eap, "x", "", ""},
      {P::Eap, "123", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(fmt::format("{} {}", testing::name(c.protocol), c.typed));
    Panel p(c.protocol);
    ASSERT_TRUE(p.logic->open());
    p.act(Intent::enter(L::kGotoZoom, std::string(c.typed)));
    const auto mark = p.bench.mark();
    p.act(Intent::click(L::kGotoZoomStart));
    const auto heard = p.bench.heardSince(mark);
    if (c.frame.empty()) {
      EXPECT_TRUE(heard.empty());
      EXPECT_EQ(p.view.beeps(), 1);
      continue;
    }
    EXPECT_TRUE(has(heard, c.frame));
    EXPECT_TRUE(p.logged("<< Goto ZOOM Start !! >>"));
    EXPECT_TRUE(p.logged("-- Goto ZOOM END --"));
    if (!c.shown.empty()) {
      EXPECT_EQ(p.view.text(L::kGotoZoom), c.shown);
    }
  }
}

TEST(EepromPresetPanel, AMemoryKeyIsTickedOnceItsRecordIsStoredAndUntickedWithOneWrite) {
  Panel p(P::Eap);
  ASSERT_TRUE(p.logic->open());
  const ControlId typeOne = E::kTypeOneMemory1 + 1, typeTwo = E::kTypeTwoMemory1 + 1, preset = E::kPreset1 + 1;
  EXPECT_FALSE(p.view.enabled(preset));
  auto mark = p.bench.mark();
  p.act(Intent::toggle(typeOne));
  EXPECT_TRUE(p.logged("<< EEP TYPE I Memory2 >>"));
  const auto writes = p.writesSince(mark);
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(writes.front(), ":W1723FF");
  EXPECT_EQ(writes.back(), ":W172301");
  EXPECT_EQ(p.view.value(typeOne), 1);
  EXPECT_FALSE(p.view.enabled(typeTwo));
  EXPECT_TRUE(p.view.enabled(preset));

  mark = p.bench.mark();
  p.act(Intent::toggle(typeOne));
  EXPECT_EQ(p.bench.heardSince(mark), std::vector<std::string>{":W1723FF"});
  EXPECT_EQ(p.view.value(typeOne), 0);
  EXPECT_TRUE(p.view.enabled(typeTwo));
  EXPECT_FALSE(p.view.enabled(preset));

  // A store the line breaks off in leaves the key unticked and no valid type behind.
  const std::size_t before = PresetPanel::framesToOpen(P::Eap, E::makeEepromPresetPanel);
  constexpr int kReads = 8;  // the TYPE I registers, without the AF area
  Panel broken(P::Eap, "1723: 02\n", faults({"hangup:" + std::to_string(before + kReads + 3)}));
  ASSERT_TRUE(broken.logic->open());
  EXPECT_EQ(broken.view.value(typeTwo), 1);
  broken.act(Intent::toggle(typeTwo));  // TYPE II over the TYPE II record 2: an untick
  EXPECT_EQ(broken.view.value(typeTwo), 0);
  broken.act(Intent::toggle(typeOne));
  EXPECT_EQ(broken.view.value(typeOne), 0);
  EXPECT_FALSE(broken.view.enabled(preset));
  EXPECT_EQ(broken.bench.camera.memory().read(0x1723), kRecordEmpty);
}

TEST(EepromPresetPanel, APresetRunsItsRecordsTypeAndAnEmptyRecordEndsSilently) {
  struct Case {
    std::uint8_t typeAtRun;
    std::string_view word;  // empty: none
  };
  const Case cases[] = {{kTypeOne, ":wF8B00101"}, {kTypeTwo, ":wF8B00201"}, {kRecordEmpty, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int{c.typeAtRun});
    Panel p(P::Eap, "1711: 01\n");
    ASSERT_TRUE(p.logic->open());
    EXPECT_EQ(p.view.value(E::kTypeOneMemory1), 1);
    p.bench.camera.memory().write(0x1711, c.typeAtRun);  // changed behind the panel
    const auto mark = p.bench.mark();
    p.act(Intent::click(E::kPreset1));
    EXPECT_TRUE(p.logged("<< EEP Preset1 Execute >>"));
    EXPECT_EQ(has(p.writesSince(mark), c.word), !c.word.empty());
    EXPECT_EQ(p.logged("-- EEP Preset1 END --"), !c.word.empty());
    EXPECT_FALSE(p.logged("-- Error !! --"));
    if (c.word.empty()) {
      EXPECT_TRUE(p.writesSince(mark).empty());
    }
  }
}

TEST(EepromPresetPanel, AnEasyPresetKeepsTheLensStateAndRunsItThroughTheLoadArea) {
  struct Case {
    std::size_t slot;
    std::string_view firstLoad;
    std::string_view type;
    std::string_view word;
  };
  const Case cases[] = {
      {0, ":wF800", ":WF81101", ":wF8B08101"},
      {3, ":wF802", ":WF81102", ":wF8B08201"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slot);
    Panel p(P::Eap, "F714: 00 00\n");
    p.bench.host.arrivalMessage = true;  // never for easy presets
    ASSERT_TRUE(p.logic->open());
    const auto mem = static_cast<ControlId>(E::kEasyMemory1 + c.slot);
    const auto run = static_cast<ControlId>(E::kEasyPreset1 + c.slot);
    EXPECT_FALSE(p.view.enabled(run));
    p.act(Intent::click(mem));
    ASSERT_TRUE(p.bench.host.presets.easy[c.slot].has_value());
    EXPECT_EQ(p.bench.host.presets.easy[c.slot]->type, c.slot < 2 ? kTypeOne : kTypeTwo);
    EXPECT_TRUE(p.view.enabled(run));
    const auto mark = p.bench.mark();
    p.act(Intent::click(run));
    const auto writes = p.writesSince(mark);
    ASSERT_FALSE(writes.empty());
    EXPECT_TRUE(writes.front().starts_with(c.firstLoad)) << writes.front();
    EXPECT_TRUE(has(writes, c.type));
    EXPECT_TRUE(has(writes, c.word));
    EXPECT_FALSE(p.logged("Arrival Message"));
    EXPECT_TRUE(p.logged("<< Easy Preset Start !! >>"));
    EXPECT_TRUE(p.logged(fmt::format("-- Easy Preset{} END --", c.slot % 2 + 1)));
  }
}

TEST(EepromPresetPanel, MosaicIsRefusedUnderContinuousDigitalZoomOnItsFamiliesAndWhileTheSlotIsTaken) {
  struct Case {
    std::uint16_t modelCode;
    std::string_view continuous;
    bool busy;
    bool on;
  };
  const Case cases[] = {
      {0x90, "01", false, false}, {0xD3, "01", false, false}, {0x90, "00", false, true},
      {0xB0, "01", false, true},  {0xB0, "00", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(fmt::format("{:X} {} {}", c.modelCode, c.continuous, c.busy));
    Panel p(P::Eap, fmt::format("FCCB: {}\n", c.continuous));
    p.bench.model.modelCode = c.modelCode;
    ASSERT_TRUE(p.logic->open());
    const auto mark = p.bench.mark();
    if (c.busy) {
      const auto claim = p.bench.runner.claim();
      p.logic->intent(Intent::toggle(E::kMosaic));
    } else {
      p.act(Intent::toggle(E::kMosaic));
    }
    EXPECT_EQ(has(p.writesSince(mark), ":WFF3A01"), c.on);
    EXPECT_EQ(p.view.value(E::kMosaic), c.on ? 1 : 0);
    EXPECT_EQ(p.logged(E::texts::kMosaicRefused), !c.on && !c.busy);
    EXPECT_EQ(p.logged(E::texts::kMosaicOnHeading), c.on);
  }
}

}  // namespace
}  // namespace orva::panels::preset
