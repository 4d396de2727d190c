// orva-cli adr: converts without a camera, prints the ADR path, and exits 2 with the converter's
// messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli.hpp"
#include "cli_run.hpp"
#include "core/atomic_file.hpp"
#include "support/temp_folder.hpp"

namespace orva::cli {
namespace {

using ::testing::HasSubstr;

TEST(CliAdr, ConvertsBesideTheMapWithoutTheLineAndExitsTwoOnEitherFailure) {
  orva::testing::TempFolder dir;
  std::string symbol(77, ' ');
  symbol.replace(8, 6, "H'00FF");
  symbol.replace(34, 5, "_main");
  symbol += "F000";
  ASSERT_TRUE(core::AtomicFile::write(dir / "FW.MAP", "EXTERNALLY\n" + symbol + "\n"));

  // A port that does not exist: opening the line would fail the command.
  const CliRun ok = cli({"--port", (dir / "no-such-port").string(), "adr", (dir / "FW.MAP").string()});
  ASSERT_EQ(ok.code, kExitOk) << ok.err;
  EXPECT_EQ(ok.out, (dir / "FW.ADR").string() + "\n");
  EXPECT_EQ(*core::readFile(dir / "FW.ADR"), "F000 main\r\n");

  const CliRun missing = cli({"adr", (dir / "NONE.MAP").string()});
  EXPECT_EQ(missing.code, kExitUsage);
  EXPECT_THAT(missing.err, HasSubstr("Map File not Found."));

  const CliRun self = cli({"adr", (dir / "FW.ADR").string()});
  EXPECT_EQ(self.code, kExitUsage);
  EXPECT_THAT(self.err, HasSubstr("ADR File not Create."));
  EXPECT_EQ(self.out, "");
}

}  // namespace
}  // namespace orva::cli
