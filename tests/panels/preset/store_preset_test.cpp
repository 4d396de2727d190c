// EEPROM Store Preset and CAMPRESET against the virtual camera: what is special to them (the
// keys following what the camera took, the run word of a record the camera stored, the
// clears, Abort, the camera preset function's frames). Plain round trips are the generic
// panel test's.
#include "panels/preset/store_preset_panels.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <mutex>
#include <optional>

#include "panels/preset/preset_bench.hpp"

namespace orva::panels::preset {
namespace {

using namespace testing;
using Panel = PresetPanel;

ControlId camMemory(int n) { return static_cast<ControlId>(kCamMemory1 + n - 1); }
ControlId camPreset(int n) { return static_cast<ControlId>(kCamPreset1 + n - 1); }

TEST(CamPresetPanel, StoresDeletesAndRunsASlotWithOneFunctionEach) {
  struct Step {
    Intent intent;
    std::string_view frame;
    std::string_view line;
    bool ticked;
  };
  const Step steps[] = {
      {Intent::toggle(camMemory(3)), "S610D0303T", "<< CameraPreset Store64 Memory3 >>", true},
      {Intent::click(camPreset(3)), "S610D0103T", "-- Camera Preset3 END --", true},
      {Intent::choose(kCamType, 1), "", "", true},
      {Intent::click(camPreset(3)), "S610D0203T", "<< Camera Preset3 Execute >>", true},
      {Intent::toggle(camMemory(3)), "S610D0403T", "<< CameraPreset Store64 Delete 3 >>", false},
  };
  Panel p(P::Afp, makeCamPresetPanel);
  ASSERT_TRUE(p.logic->open());
  EXPECT_TRUE(p.view.enabled(camMemory(20)));
  EXPECT_FALSE(p.view.enabled(camMemory(21)));
  EXPECT_FALSE(p.view.enabled(kDetailSet));
  for (const Step& s : steps) {
    SCOPED_TRACE(s.frame);
    const auto mark = p.bench.mark();
    p.act(s.intent);
    const auto heard = p.bench.heardSince(mark);
    if (s.frame.empty()) {
      EXPECT_TRUE(heard.empty());
      continue;
    }
    // One function each; a run is followed by the lens part's read-back.
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.front(), s.frame);
    EXPECT_EQ(std::ranges::count_if(heard, [](const std::string& f) { return f.starts_with("S610D"); }), 1);
    EXPECT_TRUE(p.logged(s.line));
    EXPECT_EQ(p.view.value(camMemory(3)), s.ticked ? 1 : 0);
    EXPECT_EQ(p.view.enabled(camPreset(3)), s.ticked);
  }
  EXPECT_FALSE(p.logged("-- Error !! --"));
}

TEST(CamPresetPanel, AStoreTheCameraRefusesLeavesTheKeyUnticked) {
  Panel p(P::Afp, makeCamPresetPanel, "", faults({"preset-error"}));
  ASSERT_TRUE(p.logic->open());
  p.act(Intent::toggle(camMemory(1)));
  EXPECT_EQ(p.view.value(camMemory(1)), 0);
  EXPECT_FALSE(p.view.enabled(camPreset(1)));
  EXPECT_TRUE(p.logged("-- Error !! --"));
}

TEST(CamPresetPanel, UnderEapTheKeysChangeOnlyThemselves) {
  Panel p(P::Eap, makeCamPresetPanel);
  ASSERT_TRUE(p.logic->open());
  const auto mark = p.bench.mark();
  p.act(Intent::toggle(camMemory(2)));
  p.act(Intent::click(camPreset(2)));
  EXPECT_EQ(p.view.value(camMemory(2)), 1);
  EXPECT_TRUE(p.bench.heardSince(mark).empty());
}

// All Data Clear asks first, then deletes every slot in order, unticking each; the camera's
// first refusal ends it.
TEST(CamPresetPanel, AllDataClearDeletesEverySlotAfterTheQuestion) {
  struct Case {
    core::Answer answer;
    std::vector<sim::Fault> faults;
    std::size_t frames;
  };
  const Case cases[] = {
      {core::Answer::Cancel, {}, 0},
      {core::Answer::Ok, {}, kCameraSlots},
      {core::Answer::Ok, faults({"preset-error"}), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frames);
    Panel p(P::Afp, makeCamPresetPanel, "", c.faults);
    ASSERT_TRUE(p.logic->open());
    p.bench.prompt.answer(c.answer);
    if (c.faults.empty()) p.act(Intent::toggle(camMemory(5)));
    const auto mark = p.bench.mark();
    p.act(Intent::click(kCamClearAll));
    ASSERT_EQ(p.bench.prompt.asked().size(), 1u);
    EXPECT_EQ(p.bench.prompt.asked()[0].text, texts::kClearQuestion);
    EXPECT_EQ(p.bench.prompt.asked()[0].title, texts::kClearTitle);
    const auto heard = p.bench.heardSince(mark);
    ASSERT_EQ(heard.size(), c.frames);
    if (!heard.empty()) {
      EXPECT_EQ(heard.front(), "S610D0401T");
      EXPECT_EQ(heard.back(), c.frames == 1 ? "S610D0401T" : "S610D0420T");
    }
    if (c.faults.empty()) {
      EXPECT_EQ(p.view.value(camMemory(5)), c.answer == core::Answer::Ok ? 0 : 1);
    }
    EXPECT_EQ(p.logged("-- Error !! --"), !c.faults.empty());
  }
}

// ---- EEPROM Store Preset

ControlId storeMemory(int n) { return static_cast<ControlId>(kStoreMemory1 + n - 1); }
ControlId storePreset(int n) { return static_cast<ControlId>(kStorePreset1 + n - 1); }
std::uint16_t typeByte(int n) { return static_cast<std::uint16_t>(recordAddress(kStoreTable, n) + kRecordTypeOffset); }
// The profile line giving record n of the store table the type `type` (its fields zero).
std::string record(int n, std::string_view type) { return fmt::format("{:04X}: {}\n", typeByte(n), type); }
std::size_t framesToOpen() { return Panel::framesToOpen(P::Eap, makeStorePresetPanel); }

TEST(EepromStorePresetPanel, RunsARecordByItsTypeAndOneTheCameraStoredByTheTypeChoice) {
  struct Case {
    std::string_view type;
    int choice;                // 0 TYPE I, 1 TYPE II, 2 by the camera
    std::string_view command;  // none: the record is not run
  };
  const Case cases[] = {
      {"01", 2, "F8B00105"}, {"02", 0, "F8B00205"}, {"03", 0, "F8B00105"},
      {"03", 1, "F8B00205"}, {"03", 2, "F8B00205"}, {"FF", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + std::to_string(c.choice));
    const bool empty = c.command.empty();
    Panel p(P::Eap, makeStorePresetPanel, record(5, empty ? "01" : c.type) + record(64, "03"));
    ASSERT_TRUE(p.logic->open());
    EXPECT_EQ(p.view.value(storeMemory(5)), 1);
    EXPECT_EQ(p.view.value(storeMemory(6)), 0);
    EXPECT_TRUE(p.view.enabled(storePreset(64)));
    // Emptied behind the panel's back: the run finds the record empty.
    if (empty) p.bench.camera.memory().write(typeByte(5), 0xFF);
    p.act(Intent::choose(kStoreType, c.choice));
    const auto mark = p.bench.mark();
    p.act(Intent::click(storePreset(5)));
    const auto heard = p.bench.heardSince(mark);
    EXPECT_TRUE(p.logged("<< EEP Preset5 Execute >>"));
    EXPECT_EQ(mentions(heard, "F8B0"), !empty);
    if (!empty) {
      EXPECT_TRUE(mentions(heard, c.command));
    }
    EXPECT_EQ(p.logged("-- EEP Preset5 END --"), !empty);
  }
}

// A TYPE I store marks the record empty before its fields and gives it its type last, so a
// store cut short never leaves a valid record over mixed fields; the key then goes back.
TEST(EepromStorePresetPanel, AStoreMarksTheRecordEmptyFirstAndTheKeyFollowsWhatTheCameraTook) {
  std::size_t storeFrames = 0;
  {
    Panel p(P::Eap, makeStorePresetPanel);
    ASSERT_TRUE(p.logic->open());
    const auto mark = p.bench.mark();
    p.act(Intent::toggle(storeMemory(5)));
    const auto heard = p.bench.heardSince(mark);
    storeFrames = heard.size();
    EXPECT_TRUE(p.logged("<< EEPROM Store64 Memory5 >>"));
    EXPECT_EQ(p.bench.camera.memory().read(typeByte(5)), 1);
    EXPECT_EQ(p.view.value(storeMemory(5)), 1);
    EXPECT_TRUE(p.view.enabled(storePreset(5)));
    const auto writesType = [](const std::string& f) { return f.find("1859") != std::string::npos; };
    const auto first = std::ranges::find_if(heard, writesType);
    ASSERT_NE(first, heard.end());
    EXPECT_NE(first->find("FF"), std::string::npos) << *first;
    EXPECT_TRUE(writesType(heard.back())) << heard.back();
    EXPECT_EQ(heard.back().substr(heard.back().size() - 2), "01");

    // Unticking a tool-made record is one write of "empty" to its type byte.
    const auto untick = p.bench.mark();
    p.act(Intent::toggle(storeMemory(5)));
    EXPECT_TRUE(p.logged("<< EEPROM Store64 Delete 5 >>"));
    ASSERT_EQ(p.bench.heardSince(untick).size(), 1u);
    EXPECT_EQ(p.bench.camera.memory().read(typeByte(5)), 0xFF);
    EXPECT_EQ(p.view.value(storeMemory(5)), 0);
  }
  // The same store, the line gone half way through it.
  Panel p(P::Eap, makeStorePresetPanel, "",
          faults({"hangup:" + std::to_string(framesToOpen() + storeFrames / 2)}));
  ASSERT_TRUE(p.logic->open());
  p.act(Intent::toggle(storeMemory(5)));
  EXPECT_EQ(p.view.value(storeMemory(5)), 0);
  EXPECT_FALSE(p.view.enabled(storePreset(5)));
}

TEST(EepromStorePresetPanel, TheCamerasOwnStoreAndDeleteReportAFailureAndPutTheKeyBack) {
  struct Case {
    bool store;
    std::vector<sim::Fault> faults;
    std::string_view word;
    std::string_view heading;
    bool ticked;
  };
  const Case cases[] = {
      {true, {}, "F8B04307", "<< EEPROM Store64 Memory7 >>", true},
      {true, faults({"preset-error"}), "F8B04307", "<< EEPROM Store64 Memory7 >>", false},
      {false, {}, "F8B02307", "<< EEPROM Store64 Delete 7 >>", false},
      {false, faults({"preset-error"}), "F8B02307", "<< EEPROM Store64 Delete 7 >>", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.word) + (c.faults.empty() ? "" : " refused"));
    Panel p(P::Eap, makeStorePresetPanel, c.store ? "" : record(7, "03"), c.faults);
    ASSERT_TRUE(p.logic->open());
    p.act(Intent::choose(kStoreType, 2));
    const auto mark = p.bench.mark();
    p.act(Intent::toggle(storeMemory(7)));
    EXPECT_TRUE(mentions(p.bench.heardSince(mark), c.word));
    EXPECT_TRUE(p.logged(c.heading));
    EXPECT_EQ(p.logged("-- Error !! --"), !c.faults.empty());
    EXPECT_EQ(p.view.value(storeMemory(7)), c.ticked ? 1 : 0);
    EXPECT_EQ(p.view.enabled(storePreset(7)), c.ticked);
  }
}

// All Data Clear asks first, then empties every word of the table and the eight registers after
// it with the monitor's echo off, unticking each record as it goes; however it ends, the echo
// and the cursor come back.
TEST(EepromStorePresetPanel, AllDataClearEmptiesTheTableAndGivesTheEchoBackHoweverItEnds) {
  constexpr std::size_t kWords = (kStoreTableEnd - kStoreTable) / 2;
  struct Case {
    core::Answer answer;
    std::size_t cutAfter;  // the line goes after this many frames of the clear; 0: never
    std::size_t frames;
  };
  const Case cases[] = {
      {core::Answer::Cancel, 0, 0},
      {core::Answer::Ok, 0, kWords + 8},
      {core::Answer::Ok, 40, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frames);
    std::vector<sim::Fault> cut;
    if (c.cutAfter != 0) cut = faults({"hangup:" + std::to_string(framesToOpen() + c.cutAfter)});
    Panel p(P::Eap, makeStorePresetPanel, record(1, "01") + record(64, "02"), cut);
    ASSERT_TRUE(p.logic->open());
    p.bench.prompt.answer(c.answer);
    const auto mark = p.bench.mark();
    p.act(Intent::click(kClearAll));
    ASSERT_EQ(p.bench.prompt.asked().size(), 1u);
    EXPECT_EQ(p.bench.prompt.asked()[0].text, texts::kClearQuestion);
    EXPECT_EQ(p.bench.prompt.asked()[0].title, texts::kClearTitle);
    const auto heard = p.bench.heardSince(mark);
    EXPECT_EQ(heard.size(), c.frames);
    EXPECT_EQ(p.bench.monitor.echoMode(), core::EchoMode::Shown);
    EXPECT_FALSE(p.bench.prompt.isBusy());
    EXPECT_FALSE(p.view.enabled(kAbort));
    if (c.frames == kWords + 8) {
      EXPECT_EQ(p.view.value(storeMemory(1)), 0);
      EXPECT_EQ(p.view.value(storeMemory(64)), 0);
      EXPECT_FALSE(p.view.enabled(storePreset(64)));
      EXPECT_EQ(p.view.text(kProgress), "");
      EXPECT_EQ(p.bench.camera.memory().read(typeByte(64)), 0xFF);
      EXPECT_TRUE(mentions(heard, "F72900"));
    } else {
      EXPECT_EQ(p.view.value(storeMemory(64)), 1);
    }
  }
}

// Abort is there only while a run is: it asks a preset run to brake the lens and go on
// waiting, and the clear to stop between two words.
TEST(EepromStorePresetPanel, AbortAsksThePresetRunOrStopsTheClear) {
  // Record 1 at the tele end; the lens starts at the wide end. In AFP the camera keeps its own
  // time, so the move is still on when Abort comes.
  Panel p(P::Afp, makeStorePresetPanel, "1802: 00 68\n" + record(1, "01"));
  ASSERT_TRUE(p.logic->open());
  EXPECT_FALSE(p.view.enabled(kAbort));
  // Each run waits at its first access while the test holds the line, so Abort comes before
  // the run can end, however slowly this thread goes.
  std::optional<std::unique_lock<std::recursive_mutex>> line(p.bench.link.command());
  p.logic->intent(Intent::click(storePreset(1)));
  EXPECT_TRUE(p.view.enabled(kAbort));
  p.logic->intent(Intent::click(kAbort));
  line.reset();
  p.bench.settle();
  EXPECT_TRUE(p.logged("< Preset Abort >"));
  EXPECT_TRUE(p.logged("-- EEP Preset1 END --"));
  EXPECT_FALSE(p.view.enabled(kAbort));

  p.bench.prompt.answer(core::Answer::Ok);
  const auto mark = p.bench.mark();
  line.emplace(p.bench.link.command());
  p.logic->intent(Intent::click(kClearAll));
  p.logic->intent(Intent::click(kAbort));
  line.reset();
  p.bench.settle();
  EXPECT_TRUE(p.logged(" < All Data Clear stopped at record "));
  EXPECT_FALSE(mentions(p.bench.heardSince(mark), "F722"));
  EXPECT_EQ(p.bench.monitor.echoMode(), core::EchoMode::Shown);
  EXPECT_FALSE(p.bench.prompt.isBusy());
}

}  // namespace
}  // namespace orva::panels::preset
