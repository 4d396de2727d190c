// orva-cli preset store / recall against orva-camsim on a pseudo-terminal: the launcher's TYPE I
// run keeps the lens state in the preset data file and drives the zoom back to it, waiting for
// the camera's arrival message when asked.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "camera/preset_file.hpp"
#include "core/atomic_file.hpp"
#include "support/child_process.hpp"
#include "support/temp_folder.hpp"

namespace {

using ::testing::HasSubstr;
using orva::testing::ChildProcess;
using orva::testing::ProgramRun;

TEST(CliLauncherPresetE2e, TypeOneStoreAndRecallThroughTheFileWithTheArrivalMessage) {
  orva::testing::TempFolder folder;
  auto camsim = std::make_unique<ChildProcess>(
      ORVA_CAMSIM_PATH,
      std::vector<std::string>{"--model", "QB-183", "--protocol", "eap", "--settings", "9600,E,8,1", "--verbose"},
      folder.path() / "camsim.err");
  const std::string pty = camsim->firstLine().substr(4);
  const auto cli = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--port", pty, "--settings", "9600,E,8,1", "--no-negotiate", "--protocol", "eap"});
    return orva::testing::runProgram(ORVA_CLI_PATH, args, folder.path() / "cli.err");
  };
  const std::string file = (folder.path() / "PSET_MEM.PTT").string();

  ProgramRun store = cli({"preset", "store", "I", "1", file});
  ASSERT_EQ(store.exitCode, 0) << store.err;
  EXPECT_EQ(store.out, "");
  const auto bytes = orva::core::readFile(file);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->size(), orva::camera::kPresetFileBytes);

  // Somewhere else, then back with the arrival message.
  ASSERT_EQ(cli({"write-word", "F716", "0200"}).exitCode, 0);
  ASSERT_EQ(cli({"write", "F753", "03"}).exitCode, 0);
  ProgramRun recall =
      cli({"--log", (folder.path() / "run.log").string(), "preset", "recall", "I", "1", file, "--arrival-message"});
  ASSERT_EQ(recall.exitCode, 0) << recall.err;
  EXPECT_EQ(cli({"read-word", "F714"}).out, "0400\n");

  std::ifstream log(folder.path() / "run.log", std::ios::binary);
  const std::string logged{std::istreambuf_iterator<char>(log), {}};
  EXPECT_THAT(logged, HasSubstr("\n\n<< TYPE I Preset1 >>"));
  EXPECT_THAT(logged, HasSubstr("\n < Zoom position Arrival Message >"));
  EXPECT_THAT(logged, HasSubstr("\n-- END --"));
  camsim->signalAndWait(SIGTERM);
  std::ifstream heard(folder.path() / "camsim.err");
  EXPECT_THAT(std::string(std::istreambuf_iterator<char>(heard), {}), HasSubstr("#WF75303"));
}

}  // namespace
