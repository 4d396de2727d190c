#include "cli.hpp"

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

struct CliRun {
  int code;
  std::string out;
  std::string err;
};

CliRun cli(std::vector<std::string> args) {
  args.insert(args.begin(), "orva-cli");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  int code = run(static_cast<int>(argv.size()), argv.data(), out, err);
  return {code, out.str(), err.str()};
}

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
  CliRun sent = cli({"--simulate", "send", (dir / "cmd.txt").string()});
  EXPECT_EQ(sent.code, kExitOk) << sent.err;
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

TEST(Cli, BacksUpTheVirtualCameraAndSaysWhenTheFileCannotBeWritten) {
  orva::testing::TempFolder dir;
  CliRun r = cli({"--simulate=QB-183", "eeprom", "backup", (dir / "cam.mem").string()});
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_GT(std::filesystem::file_size(dir / "cam.mem"), 10000u);
  r = cli({"--simulate=QB-183", "eeprom", "backup", (dir / "no" / "cam.mem").string()});
  EXPECT_EQ(r.code, kExitUsage);
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

}  // namespace
}  // namespace orva::cli
