// orva-cli setup read / write / default against the virtual QB-109.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli.hpp"
#include "cli_run.hpp"
#include "core/atomic_file.hpp"
#include "eeprom/setup_record.hpp"
#include "support/temp_folder.hpp"

namespace orva::cli {
namespace {

using ::testing::HasSubstr;

TEST(CliSetup, ReadSavesWriteTakesItBackAndOtherCamerasAreRefused) {
  orva::testing::TempFolder dir;
  const std::string name = (dir / "camera").string();
  CliRun read = cli({"--simulate=QB-109", "setup", "read", name});
  ASSERT_EQ(read.code, kExitOk) << read.err;
  EXPECT_EQ(read.out, name + ".csu\n");
  const auto bytes = core::readFile(name + ".csu");
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->size(), eeprom::kSetupFileBytes);

  EXPECT_EQ(cli({"--simulate=QB-109", "setup", "write", name + ".csu"}).code, kExitUsage) << "asks first";
  CliRun write = cli({"--simulate=QB-109", "--yes", "setup", "write", name + ".csu"});
  EXPECT_EQ(write.code, kExitOk) << write.err;

  const std::string upper = (dir / "def.CSU").string();
  CliRun def = cli({"--simulate=QB-109", "setup", "default", upper});
  EXPECT_EQ(def.code, kExitOk) << def.err;
  EXPECT_EQ(def.out, upper + "\n");

  std::string damaged = *bytes;
  damaged.pop_back();
  ASSERT_TRUE(core::AtomicFile::write(dir / "short.csu", damaged));
  CliRun shortFile = cli({"--simulate=QB-109", "--yes", "setup", "write", (dir / "short.csu").string()});
  EXPECT_EQ(shortFile.code, kExitUsage);
  EXPECT_THAT(shortFile.err, HasSubstr(std::string(eeprom::kSetupFileTypeText)));

  EXPECT_EQ(cli({"--simulate=QB-109", "setup", "reset"}).code, kExitUsage) << "asks first";

  CliRun other = cli({"--simulate=QB-183", "setup", "read", name});
  EXPECT_EQ(other.code, kExitUsage);
  EXPECT_THAT(other.err, HasSubstr(std::string(eeprom::kSetupModelText)));
}

}  // namespace
}  // namespace orva::cli
