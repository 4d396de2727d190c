// orva-cli preset save / open / store / recall against the virtual camera.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "camera/preset_file.hpp"
#include "cli.hpp"
#include "cli_run.hpp"
#include "core/atomic_file.hpp"
#include "support/temp_folder.hpp"

namespace orva::cli {
namespace {

using ::testing::HasSubstr;

TEST(CliPreset, SaveWritesTheModelsFileAndOpenChecksItAgainstTheCamera) {
  orva::testing::TempFolder dir;
  const std::string saved = (dir / "PSET_MEM.PTT").string();
  CliRun save = cli({"--simulate=QB-183", "preset", "save", saved});
  ASSERT_EQ(save.code, kExitOk) << save.err;
  const auto bytes = core::readFile(saved);
  ASSERT_TRUE(bytes);
  ASSERT_EQ(bytes->size(), 200u);
  const auto decoded = camera::decodePresetFile(*bytes, 0x13F0);
  ASSERT_TRUE(decoded.records) << "the file names QB-183's model code";

  camera::PresetRecords flagged;
  flagged.set[1] = flagged.set[6] = true;
  ASSERT_TRUE(core::AtomicFile::write(dir / "flagged.ptt", camera::encodePresetFile(flagged, 0x13F0)));
  CliRun open = cli({"--simulate=QB-183", "preset", "open", (dir / "flagged.ptt").string()});
  EXPECT_EQ(open.code, kExitOk) << open.err;
  EXPECT_EQ(open.out,
            "TYPE I Memory1: not set\nTYPE I Memory2: set\nTYPE I Memory3: not set\nTYPE I Memory4: not set\n"
            "TYPE II Memory1: not set\nTYPE II Memory2: not set\nTYPE II Memory3: set\nTYPE II Memory4: not set\n");
}

// store captures into a file it creates (or keeps the other records of), recall restores a
// set record only; the model is checked as by open.
TEST(CliPreset, StoreKeepsTheRecordInTheFileAndRecallNeedsItSet) {
  orva::testing::TempFolder dir;
  const std::string file = (dir / "keys.ptt").string();
  camera::PresetRecords kept;
  kept.set[6] = true;
  kept.records[6].zoomPosition = 0x0123;
  ASSERT_TRUE(core::AtomicFile::write(file, camera::encodePresetFile(kept, 0x13F0)));

  CliRun store = cli({"--simulate=QB-183", "preset", "store", "I", "2", file});
  ASSERT_EQ(store.code, kExitOk) << store.err;
  const auto decoded = camera::decodePresetFile(*core::readFile(file), 0x13F0);
  ASSERT_TRUE(decoded.records);
  EXPECT_TRUE(decoded.records->set[1]);
  EXPECT_EQ(decoded.records->records[6], kept.records[6]) << "the other records are kept";
  EXPECT_TRUE(decoded.records->set[6]);
  EXPECT_EQ(decoded.records->records[1].zoomPosition, 0x0400) << "QB-183 starts at the wide end";

  const std::string log = (dir / "run.log").string();
  CliRun recall = cli({"--simulate=QB-183", "--log", log, "preset", "recall", "I", "2", file, "--arrival-message"});
  EXPECT_EQ(recall.code, kExitOk) << recall.err;
  EXPECT_THAT(*core::readFile(log), HasSubstr("\n < Zoom position Arrival Message >"));
  CliRun unset = cli({"--simulate=QB-183", "preset", "recall", "I", "3", file});
  EXPECT_EQ(unset.code, kExitUsage);
  EXPECT_THAT(unset.err, HasSubstr("TYPE I Memory3 is not set"));
  CliRun missing = cli({"--simulate=QB-183", "preset", "recall", "II", "1", (dir / "none.ptt").string()});
  EXPECT_EQ(missing.code, kExitUsage);

  ASSERT_TRUE(core::AtomicFile::write(dir / "other.ptt", camera::encodePresetFile({}, 0x13F1)));
  CliRun other = cli({"--simulate=QB-183", "preset", "store", "II", "1", (dir / "other.ptt").string()});
  EXPECT_EQ(other.code, kExitUsage);
  EXPECT_THAT(other.err, HasSubstr(std::string(camera::kPresetModelsDiffer)));
  EXPECT_EQ(cli({"--simulate=QB-183", "preset", "store", "III", "1", file}).code, kExitUsage);
  EXPECT_EQ(cli({"--simulate=QB-183", "preset", "store", "I", "5", file}).code, kExitUsage);
}

}  // namespace
}  // namespace orva::cli
