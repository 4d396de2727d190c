#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "start_options.hpp"

namespace orva::gui {
namespace {

core::Result<StartOptions> parse(std::vector<std::string_view> words) { return parseStartOptions(words); }

TEST(StartOptions, NoneGivesDefaults) {
  auto o = parse({});
  ASSERT_TRUE(o);
  EXPECT_FALSE(o->simulate);
  EXPECT_TRUE(o->port.empty());
  EXPECT_FALSE(o->switches.factory);
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
  auto h = parse({"--help"});
  ASSERT_TRUE(h);
  EXPECT_TRUE(h->help);
}

}  // namespace
}  // namespace orva::gui
