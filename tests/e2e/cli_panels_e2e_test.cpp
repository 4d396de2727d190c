// orva-cli's panel commands against orva-camsim on a pseudo-terminal: what other commands
// change in the camera is what the panels then read, over the real line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/child_process.hpp"
#include "support/temp_folder.hpp"

// ---- BLOCK READ and orva-cli status
namespace {

using ::testing::HasSubstr;
using orva::testing::ChildProcess;
using orva::testing::ProgramRun;

class BlockReadOnCamsim : public ::testing::Test {
 protected:
  void SetUp() override {
    camsim_ = std::make_unique<ChildProcess>(
        ORVA_CAMSIM_PATH,
        std::vector<std::string>{"--model", "QB-183", "--protocol", "afp", "--settings", "9600,E,8,1"},
        folder_.path() / "camsim.err");
    const std::string first = camsim_->firstLine();
    ASSERT_THAT(first, ::testing::StartsWith("PTY /dev/"));
    pty_ = first.substr(4);
  }
  ProgramRun cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--port", pty_, "--settings", "9600,E,8,1", "--no-negotiate", "--protocol", "afp"});
    return orva::testing::runProgram(ORVA_CLI_PATH, args, folder_.path() / "cli.err");
  }

  orva::testing::TempFolder folder_;
  std::string pty_;
  std::unique_ptr<ChildProcess> camsim_;
};

TEST_F(BlockReadOnCamsim, StatusShowsWhatOtherCommandsSetAndThePanelShowsTheSame) {
  ProgramRun before = cli({"status"});
  ASSERT_EQ(before.exitCode, 0) << before.err;
  EXPECT_THAT(before.out, HasSubstr("\nWhite Balance Mode: Auto\n"));
  EXPECT_THAT(before.out, HasSubstr("\nPrivacy Mask On/Off: off\n"));

  for (const std::vector<std::string>& change :
       {std::vector<std::string>{"set", "3101", "02"}, {"set", "7101", "02"}, {"write-word", "FFDE", "0123"}})
    ASSERT_EQ(cli(change).exitCode, 0) << change[1];
  ProgramRun after = cli({"status"});
  ASSERT_EQ(after.exitCode, 0) << after.err;
  EXPECT_THAT(after.out, HasSubstr("\nWhite Balance Mode: Manual\n"));
  EXPECT_THAT(after.out, HasSubstr("\nPrivacy Mask On/Off: on\n"));
  EXPECT_THAT(after.out, HasSubstr("\nAGC position: 0123\n"));

  ProgramRun panel = cli({"panel", "blockread", "--do", "Read Settings"});
  EXPECT_EQ(panel.exitCode, 0) << panel.err;
  EXPECT_EQ(panel.out, after.out);
}

}  // namespace
