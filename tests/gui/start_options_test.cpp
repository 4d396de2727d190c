#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

#include "start_options.hpp"
#include "support/temp_folder.hpp"
#include "user_folder.hpp"

namespace orva::gui {
namespace {

core::Result<StartOptions> parse(std::vector<std::string_view> words) { return parseStartOptions(words); }

TEST(StartOptions, NoneGivesDefaults) {
  auto o = parse({});
  ASSERT_TRUE(o);
  EXPECT_FALSE(o->simulate);
  EXPECT_TRUE(o->port.empty());
  EXPECT_FALSE(o->switches.factory);
  EXPECT_FALSE(o->userFolder);
}

TEST(StartOptions, UserFolderIsAFlagBesideTheOthers) {
  auto o = parse({"--user-folder", "--simulate", "/DS"});
  ASSERT_TRUE(o);
  EXPECT_TRUE(o->userFolder);
  EXPECT_TRUE(o->simulate);
  EXPECT_TRUE(o->switches.noCamera);
  // It takes no value: a joined one is an unknown word, a following one a stray word.
  EXPECT_FALSE(parse({"--user-folder=/tmp"}));
  EXPECT_FALSE(parse({"--user-folder", "orva-data"}));
  EXPECT_NE(usageText().find("--user-folder"), std::string_view::npos);
}

TEST(UserFolder, XdgDataHomeWinsOverHome) {
  auto f = userFolderPath("/data/me", "/home/me");
  ASSERT_TRUE(f);
  EXPECT_EQ(*f, std::filesystem::path("/data/me/orva"));
}

TEST(UserFolder, UnsetEmptyOrRelativeXdgDataHomeFallsBackToHome) {
  for (std::string_view xdg : {"", "relative/share"}) {
    auto f = userFolderPath(xdg, "/home/me");
    ASSERT_TRUE(f) << xdg;
    EXPECT_EQ(*f, std::filesystem::path("/home/me/.local/share/orva")) << xdg;
  }
}

TEST(UserFolder, NoAbsoluteFolderAtAllIsAnError) {
  EXPECT_FALSE(userFolderPath("", ""));
  auto f = userFolderPath("", "home/me");
  ASSERT_FALSE(f);
  EXPECT_NE(f.message().find("HOME"), std::string::npos);
}

TEST(UserFolder, CreatedWithItsParentsAndKeptWhenPresent) {
  orva::testing::TempFolder dir;
  auto f = userFolderPath((dir / "xdg").string(), "/nonexistent");
  ASSERT_TRUE(f);
  ASSERT_FALSE(makeUserFolder(*f).failed());
  EXPECT_TRUE(std::filesystem::is_directory(*f));
  std::ofstream(*f / "ORVA.ini") << "kept\n";
  ASSERT_FALSE(makeUserFolder(*f).failed());
  EXPECT_TRUE(std::filesystem::exists(*f / "ORVA.ini"));
}

TEST(UserFolder, AFileInTheWayIsAnErrorNamingTheFolder) {
  orva::testing::TempFolder dir;
  std::ofstream(dir / "share") << "not a folder\n";
  for (const auto& folder : {dir / "share", dir / "share" / "orva"}) {
    const core::Status made = makeUserFolder(folder);
    ASSERT_TRUE(made.failed()) << folder;
    EXPECT_NE(made.message().find(folder.string()), std::string::npos) << made.message();
  }
}

TEST(StartOptions, SimulateWithAndWithoutModel) {
  auto plain = parse({"--simulate"});
  ASSERT_TRUE(plain);
  ASSERT_TRUE(plain->simulate);
  EXPECT_EQ(*plain->simulate, "");
  auto model = parse({"--simulate=QB-168"});
  ASSERT_TRUE(model);
  EXPECT_EQ(*model->simulate, "QB-168");
}

TEST(StartOptions, ValuesSpacedOrJoined) {
  auto o = parse({"--port", "/dev/ttyUSB0", "--config=/tmp/x.ini", "--log-dir", "/var/log/orva"});
  ASSERT_TRUE(o);
  EXPECT_EQ(o->port, "/dev/ttyUSB0");
  EXPECT_EQ(o->config, "/tmp/x.ini");
  EXPECT_EQ(o->logDir, "/var/log/orva");
}

TEST(StartOptions, SwitchesGoToTheStartSwitchRules) {
  auto o = parse({"/DS", "/FX"});
  ASSERT_TRUE(o);
  EXPECT_TRUE(o->switches.noCamera);
  EXPECT_FALSE(o->switches.factory);
  auto f = parse({"--simulate", "/FS"});
  ASSERT_TRUE(f);
  EXPECT_TRUE(f->switches.factory);
  EXPECT_TRUE(f->switches.secondFactory);
}

TEST(StartOptions, AnOptionValueIsNoSwitch) {
  auto o = parse({"--log-dir", "/F"});
  ASSERT_TRUE(o);
  EXPECT_FALSE(o->switches.factory);
  EXPECT_EQ(o->logDir, "/F");
}

TEST(StartOptions, UnknownWordsAndMissingValuesAreErrors) {
  EXPECT_FALSE(parse({"--bogus"}));
  EXPECT_FALSE(parse({"--port"}));
  EXPECT_FALSE(parse({"stray"}));
}

}  // namespace
}  // namespace orva::gui
