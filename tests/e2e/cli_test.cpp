#include "cli.hpp"
#include "cli_run.hpp"
#include "eeprom_commands.hpp"

#include "support/temp_folder.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orva::cli {
namespace {

using ::testing::HasSubstr;

TEST(Cli, VersionAndHelpSucceedOnStdout) {
  CliRun v = cli({"--version"});
  EXPECT_EQ(v.code, kExitOk);
  EXPECT_THAT(v.out, ::testing::StartsWith("orva-cli "));
  CliRun h = cli({"--help"});
  EXPECT_EQ(h.code, kExitOk);
  EXPECT_THAT(h.out, HasSubstr("ports"));
  EXPECT_THAT(h.out, HasSubstr("--settings"));
}

TEST(Cli, UsageErrorsExitTwoWithAHint) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"ports", "--protocol", "xyz"}, {"ports", "--bogus"}}) {
    CliRun r = cli(args);
    EXPECT_EQ(r.code, kExitUsage) << ::testing::PrintToString(args);
    EXPECT_THAT(r.err, HasSubstr("orva-cli --help"));
    EXPECT_TRUE(r.out.empty());
  }
}

TEST(Cli, OptionsGoBeforeOrAfterTheCommand) {
  EXPECT_EQ(cli({"--settings", "9600,N,8,1", "ports"}).code, kExitOk);
  EXPECT_EQ(cli({"ports", "--settings", "9600,N,8,1", "--protocol", "afp"}).code, kExitOk);
  CliRun bad = cli({"ports", "--settings", "9601,N,8,1"});
  EXPECT_EQ(bad.code, kExitUsage);
  EXPECT_THAT(bad.err, HasSubstr("\"4800,E,8  ,1\""));
}

TEST(Cli, ConfigFileMustExistWhenNamedAndIsNeverRewritten) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("orva-cli-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  CliRun missing = cli({"--config", (dir / "none.ini").string(), "ports"});
  EXPECT_EQ(missing.code, kExitUsage);
  EXPECT_THAT(missing.err, HasSubstr("none.ini"));

  const std::string text = "Baudrate    = 19200,E,8 ,1\nRS_NEW_PTCL = 1\n";
  std::ofstream(dir / "my.ini") << text;
  EXPECT_EQ(cli({"ports", "--config", (dir / "my.ini").string()}).code, kExitOk);
  std::ifstream in(dir / "my.ini");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace orva::cli

namespace orva::cli {
namespace {

TEST(Cli, SendsACommandFileToTheVirtualCameraAndRefusesAMissingOne) {
  orva::testing::TempFolder dir;
  std::ofstream(dir / "cmd.txt") << "set the register\n:W010277\n:R010200\n";
  CliRun sent = cli({"--simulate", "--log", (dir / "send.log").string(), "send", (dir / "cmd.txt").string()});
  EXPECT_EQ(sent.code, kExitOk) << sent.err;
  std::ifstream log(dir / "send.log", std::ios::binary);
  EXPECT_THAT(std::string(std::istreambuf_iterator<char>(log), {}), HasSubstr("\n Select File Name > cmd.txt\n"));
  CliRun missing = cli({"--simulate", "send", (dir / "none.txt").string()});
  EXPECT_EQ(missing.code, kExitUsage);
  EXPECT_THAT(missing.err, HasSubstr("none.txt"));
}

TEST(Cli, ListsTheFactoryImagesItLooksFor) {
  CliRun r = cli({"eeprom", "factory-images"});
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 35);
  EXPECT_THAT(r.out, HasSubstr("277.mem\t09F0,09F1\t"));
}

}  // namespace
}  // namespace orva::cli

namespace orva::cli {
namespace {

TEST(CliEeprom, IdentifyNamesTheRangeInclusive) {
  CliRun r = cli({"--simulate=QB-183", "identify"});
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_THAT(r.out, HasSubstr("\neeprom range: 0800-17FF\n"));
}

std::string slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(CliEeprom, WriteRefusesBadInputBeforeTouchingTheCamera) {
  orva::testing::TempFolder dir;
  ASSERT_EQ(cli({"--simulate=QB-183", "eeprom", "backup", (dir / "a.mem").string()}).code, kExitOk);
  std::string text = slurp(dir / "a.mem");
  text.replace(text.find("\r\n0A00 ") + 2, 4, "0A10");
  std::ofstream(dir / "bad.mem", std::ios::binary) << text;
  CliRun r = cli({"--simulate=QB-183", "--yes", "eeprom", "write", (dir / "bad.mem").string()});
  EXPECT_EQ(r.code, kExitUsage);
  EXPECT_THAT(r.err, HasSubstr("It has not executed. (Non EEPROM.MEM File) "));
  EXPECT_THAT(r.err, HasSubstr("bad.mem"));

  r = cli({"--simulate=QB-183", "--yes", "eeprom", "write", (dir / "a.mem").string(), "--except-adj",
           (dir / "none.cfg").string()});
  EXPECT_EQ(r.code, kExitUsage);
  EXPECT_THAT(r.err, HasSubstr("none.cfg"));
  r = cli({"--simulate=QB-183", "eeprom", "write", (dir / "a.mem").string(), "--no-backup", "--backup-to", "x.mem"});
  EXPECT_EQ(r.code, kExitUsage);
  // Nothing but the two files: no backup was made for a write that did not happen.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(CliEeprom, EpFileModelHeadsARowBackupAndTheHeadedFileWritesBack) {
  orva::testing::TempFolder dir;
  std::ofstream(dir / "ORVA.ini") << "EPFile model= 1\n";
  const std::string config = (dir / "ORVA.ini").string();
  CliRun r = cli({"--simulate=QB-183", "--config", config, "eeprom", "backup", (dir / "h.mem").string()});
  ASSERT_EQ(r.code, kExitOk) << r.err;
  const std::string text = slurp(dir / "h.mem");
  EXPECT_THAT(text, ::testing::StartsWith("        QB-183         Camera Ver "));
  EXPECT_THAT(text, HasSubstr("\r\n         EEPROM save date : "));
  r = cli({"--simulate=QB-183", "--config", config, "--yes", "--log", (dir / "w.log").string(), "eeprom", "write",
           "--no-backup", (dir / "h.mem").string()});
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_THAT(slurp(dir / "w.log"), HasSubstr("\n Select File Name > h.mem\n"));
}

TEST(CliEeprom, WriteRefusesABackupOntoItsOwnImageByAnyNameBeforeOpeningTheLine) {
  orva::testing::TempFolder dir;
  ASSERT_EQ(cli({"--simulate=QB-183", "eeprom", "backup", (dir / "mine.mem").string()}).code, kExitOk);
  std::string text = slurp(dir / "mine.mem");
  text.replace(text.find("\r\n0900 ") + 7, 5, "12 34");
  std::ofstream(dir / "mine.mem", std::ios::binary) << text;
  std::filesystem::create_symlink(dir / "mine.mem", dir / "link.mem");
  for (const auto& backup : {dir / "mine.mem", dir / "link.mem", dir / "." / "mine.mem"}) {
    CliRun r = cli({"--simulate=QB-183", "--yes", "--log", (dir / "w.log").string(), "eeprom", "write",
                    (dir / "mine.mem").string(), "--backup-to", backup.string()});
    EXPECT_EQ(r.code, kExitUsage) << backup;
    EXPECT_THAT(r.err, HasSubstr(backup.string()));
    EXPECT_THAT(r.err, HasSubstr((dir / "mine.mem").string()));
    EXPECT_EQ(slurp(dir / "mine.mem"), text);
    EXPECT_FALSE(std::filesystem::exists(dir / "w.log")) << "the line was never opened";
  }
}

// A model that takes it is reset in the end-to-end tests.
TEST(CliEeprom, FactoryResetIsRefusedToAModelWhoseCameraDoesNotTakeIt) {
  CliRun r = cli({"--simulate=QB-154", "--yes", "eeprom", "factory-reset"});
  EXPECT_EQ(r.code, kExitUsage);
  EXPECT_THAT(r.err, HasSubstr("QB-154"));
  EXPECT_THAT(r.err, HasSubstr("nothing was sent"));
}

TEST(CliEeprom, DiffListsTheDifferingAddresses) {
  orva::testing::TempFolder dir;
  ASSERT_EQ(cli({"--simulate=QB-183", "eeprom", "backup", (dir / "a.mem").string()}).code, kExitOk);
  std::string text = slurp(dir / "a.mem");
  const auto at = text.find("\r\n0810 ") + 7;
  const std::string old = text.substr(at, 2);
  text.replace(at, 2, old == "00" ? "01" : "00");
  std::ofstream(dir / "b.mem", std::ios::binary) << text;
  CliRun same = cli({"eeprom", "diff", (dir / "a.mem").string(), (dir / "a.mem").string()});
  EXPECT_EQ(same.code, kExitOk) << same.err;
  EXPECT_EQ(same.out, "");
  CliRun differ = cli({"eeprom", "diff", (dir / "a.mem").string(), (dir / "b.mem").string()});
  EXPECT_EQ(differ.code, kExitCamera);
  EXPECT_EQ(differ.out, "0810 " + old + (old == "00" ? " 01\n" : " 00\n"));
  CliRun camera = cli({"--simulate=QB-183", "eeprom", "diff", "camera", (dir / "a.mem").string()});
  EXPECT_EQ(camera.code, kExitOk) << camera.err;
}

TEST(CliEeprom, DatedBackupNamesNeverOverwriteAndAreNeverMapFiles) {
  orva::testing::TempFolder dir;
  const core::LocalTime t{2026, 12, 6, 9, 5, 3};
  const auto first = datedBackupPath(dir / "cam.MAP", t);
  EXPECT_EQ(first, dir / "cam-backup-20261206-090503.mem");
  std::ofstream(first) << "x";
  EXPECT_EQ(datedBackupPath(dir / "cam.MAP", t), dir / "cam-backup-20261206-090503-2.mem");
  EXPECT_EQ(datedBackupPath(dir / "a.MAP.mem", t).filename(), "a_MAP-backup-20261206-090503.mem");
}

}  // namespace
}  // namespace orva::cli
