// The File menu's "Preset Data SAVE" and "Preset Data OPEN" on a session.
#include <gtest/gtest.h>

#include <fstream>

#include "core/atomic_file.hpp"
#include "core/testing/file_size_limit.hpp"
#include "session_bench.hpp"
#include "shell/session_texts.hpp"

namespace orva::shell {
namespace {

using camera::LauncherItem;

const camera::ButtonState& launcherKey(const Session& s, LauncherItem first, std::size_t k) {
  return s.launcher().items[static_cast<std::size_t>(first) + k];
}

camera::PresetRecords flagged(std::array<bool, camera::kPresetRecordCount> set) {
  camera::PresetRecords p;
  for (std::size_t i = 0; i < p.records.size(); ++i) {
    p.records[i].zoomPosition = static_cast<std::uint16_t>(0x0100 * (i + 1));
    p.records[i].afReference = static_cast<std::uint8_t>(i);
  }
  p.set = set;
  return p;
}

void put(const std::filesystem::path& file, const std::string& bytes) { ASSERT_TRUE(core::AtomicFile::write(file, bytes)); }

TEST(PresetDataMenu, RefusedWithoutAPortAndIgnoredWhileTheSlotIsTaken) {
  SessionBench b;
  EXPECT_EQ(b.session.savePresetData(), PresetFileResult::Refused);
  EXPECT_EQ(b.session.openPresetData(), PresetFileResult::Refused);
  ASSERT_EQ(b.askedCount(texts::kSetPort), 2u);
  EXPECT_EQ(b.find(texts::kSetPort)->title, texts::kAttention);
  EXPECT_TRUE(b.prompt.fileChoices().empty());

  b.connectWithoutBackup();
  const auto asked = b.prompt.asked().size();
  {
    auto slot = b.session.runner().claim();
    ASSERT_TRUE(slot);
    EXPECT_EQ(b.session.savePresetData(), PresetFileResult::Busy);
    EXPECT_EQ(b.session.openPresetData(), PresetFileResult::Busy);
  }
  EXPECT_EQ(b.prompt.asked().size(), asked);
  EXPECT_TRUE(b.prompt.fileChoices().empty());
}

TEST(PresetDataMenu, OpenSetsTheKeysAndSaveWritesThemBack) {
  SessionBench b;
  b.connectWithoutBackup();
  const std::uint32_t model = b.session.model().modelCode;
  const auto records = flagged({true, false, true, false, false, true, true, false});
  const std::string file = camera::encodePresetFile(records, model);
  put(b.folder / "in.ptt", file);

  b.prompt.file(b.folder / "in.ptt").file(b.folder / "out.ptt");
  ASSERT_EQ(b.session.openPresetData(), PresetFileResult::Done);
  EXPECT_EQ(b.session.presetRecords(), records);
  bool anyMemoryKey = false;
  for (std::size_t k = 0; k < camera::kPresetRecordCount; ++k) {
    const auto& memory = launcherKey(b.session, LauncherItem::MemoryKey1, k);
    anyMemoryKey = anyMemoryKey || memory.enabled;
    EXPECT_EQ(memory.checked, records.set[k]) << k;
    // A "Preset" key follows its memory key only where the memory key may be used.
    EXPECT_EQ(launcherKey(b.session, LauncherItem::PresetButton1, k).enabled, records.set[k] && memory.enabled) << k;
  }
  EXPECT_TRUE(anyMemoryKey);

  ASSERT_EQ(b.session.savePresetData(), PresetFileResult::Done);
  EXPECT_EQ(b.prompt.fileChoices().back().suggested.filename(), "PSET_MEM.PTT");
  EXPECT_EQ(b.prompt.fileChoices().back().mode, core::FileChoice::Mode::Save);
  EXPECT_EQ(*core::readFile(b.folder / "out.ptt"), file);
  EXPECT_EQ(b.prompt.unexpected(), 0);
}

TEST(PresetDataMenu, RefusedFilesChangeNothingAndSaySo) {
  for (const int language : {0, 1}) {
    Settings s = settingsFor(sim::Protocol::Eap);
    s.language = language;
    SessionBench b(sim::Protocol::Eap, s, true);
    b.connectWithoutBackup();
    const std::uint32_t model = b.session.model().modelCode;
    const auto records = flagged({true, true, false, false, true, false, false, true});
    const std::string good = camera::encodePresetFile(records, model);
    put(b.folder / "good.ptt", good);
    put(b.folder / "short.ptt", good.substr(0, 150));
    put(b.folder / "other.ptt", camera::encodePresetFile(flagged({}), model + 1));
    b.prompt.file(b.folder / "good.ptt").file(b.folder / "short.ptt").file(b.folder / "other.ptt");
    ASSERT_EQ(b.session.openPresetData(), PresetFileResult::Done);
    const camera::LauncherState before = b.session.launcher();

    // The short file, then the other model's, as the prompt hands them out.
    for (const auto fault : {camera::PresetFileFault::NotPresetFile, camera::PresetFileFault::ModelsDiffer}) {
      EXPECT_EQ(b.session.openPresetData(), PresetFileResult::Refused);
      const auto shown = camera::presetFileMessage(fault, language == 1);
      const auto* told = b.find(shown.text);
      ASSERT_NE(told, nullptr) << shown.text;
      EXPECT_EQ(told->title, language == 1 ? "警告" : "Error");
      EXPECT_EQ(told->icon, core::Icon::Exclamation);
      EXPECT_EQ(b.session.presetRecords(), records);
      for (std::size_t i = 0; i < before.items.size(); ++i)
        EXPECT_EQ(b.session.launcher().items[i].checked, before.items[i].checked) << i;
    }
  }
}

TEST(PresetDataMenu, AFailedSaveSaysSoAndLeavesTheOldFile) {
  SessionBench b;
  b.connectWithoutBackup();
  put(b.folder / "PSET_MEM.PTT", "old");
  b.prompt.file(b.folder / "PSET_MEM.PTT");
  PresetFileResult result;
  {
    core::testing::FileSizeLimit full(4);
    result = b.session.savePresetData();
  }
  EXPECT_EQ(result, PresetFileResult::Refused);
  ASSERT_FALSE(b.prompt.asked().empty());
  const auto& told = b.prompt.asked().back();
  EXPECT_EQ(told.text.rfind(camera::kPresetNotWritten, 0), 0u) << told.text;
  EXPECT_EQ(told.title, "Error");
  EXPECT_EQ(*core::readFile(b.folder / "PSET_MEM.PTT"), "old");
}

}  // namespace
}  // namespace orva::shell
