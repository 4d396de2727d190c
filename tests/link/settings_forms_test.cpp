#include "link/settings_forms.hpp"

#include <gtest/gtest.h>

namespace orva::link {
namespace {

TEST(SettingsForms, TwelveFormsOfTwelveCharactersWithTheirCodes) {
  for (const auto& f : kSettingsForms) {
    EXPECT_EQ(f.text.size(), 12u) << f.text;
    EXPECT_EQ(findSettingsForm(f.text)->speedCode, f.speedCode);
    EXPECT_EQ((speedRank(f.speedCode) - 1) * 2 + 1 + parityIndex(f.speedCode), f.speedCode);
    EXPECT_EQ(parityIndex(f.speedCode) == 0, f.evenParity);
  }
  EXPECT_EQ(speedRank(12), 6);
  EXPECT_EQ(findSettingsForm("4800,E,8  ,1")->baud, 4800);
}

TEST(SettingsForms, ExactMatchForTheFileLooseMatchForTheCommandLine) {
  EXPECT_FALSE(findSettingsForm("4800,E,8 ,1"));
  EXPECT_FALSE(findSettingsForm("9600,N,8,1"));
  EXPECT_EQ(parseSettingsText("9600,n,8,1")->text, "9600,N,8  ,1");
  EXPECT_EQ(parseSettingsText("115200,E,8,1")->speedCode, 11);
  EXPECT_FALSE(parseSettingsText("9600,O,8,1"));
  EXPECT_FALSE(parseSettingsText(""));
  EXPECT_FALSE(parseSettingsText("2400,N,8,1"));
}

}  // namespace
}  // namespace orva::link
