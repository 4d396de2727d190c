#include "sim/profile.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace orva::sim {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(Profile, EmptyTextGivesTheDefaultCamera) {
  auto p = parseProfile("");
  ASSERT_TRUE(p) << p.message();
  EXPECT_EQ(p->settings.text, "4800,E,8  ,1");
  EXPECT_EQ(p->lineSettings(), (link::LineSettings{4800, true}));
  EXPECT_EQ(p->protocol, Protocol::Eap);
  EXPECT_TRUE(p->registers.empty());
  EXPECT_EQ(p->completionDelay, std::chrono::milliseconds(20));
  EXPECT_EQ(p->restartTime, std::chrono::milliseconds(2000));
  EXPECT_EQ(p->factoryTime, std::chrono::milliseconds(400));
  EXPECT_TRUE(p->refusals.empty());
  EXPECT_FALSE(p->eepromRange);
}

TEST(Profile, ReadsTimesRefusalsAndTheEepromRange) {
  auto p = parseProfile(
      "completion 0\n"
      "restart\t600000\n"
      "factory 25\n"
      "eeprom 0800\t3280   # 0800-327F\n"
      "refuse 0181 3\n"
      "refuse fe01\tf   # lower case\n"
      "refuse 0x2201 1\n"
      "refuse 0181 4   # the later line wins\n");
  ASSERT_TRUE(p) << p.message();
  EXPECT_EQ(p->completionDelay, std::chrono::milliseconds(0));
  EXPECT_EQ(p->restartTime, std::chrono::milliseconds(600000));
  EXPECT_EQ(p->factoryTime, std::chrono::milliseconds(25));
  EXPECT_EQ(p->refusals, (Refusals{{0x0181, 4}, {0xFE01, 0xF}, {0x2201, 1}}));
  EXPECT_EQ(p->eepromRange, (eeprom::Range{0x0800, 0x3280}));

  auto whole = parseProfile("eeprom 0 ff80\nfactory 600000");
  ASSERT_TRUE(whole) << whole.message();
  EXPECT_EQ(whole->eepromRange, (eeprom::Range{0x0000, 0xFF80}));
  EXPECT_EQ(whole->factoryTime, std::chrono::milliseconds(600000));
}

TEST(Profile, ReadsSettingsProtocolAndRegisters) {
  const std::string text =
      "# a camera for the tests\r\n"
      "\n"
      "settings 19200,n,8,1   # unpadded and lower case\r\n"
      "protocol afp\n"
      "0102: 5A 00 ff\n"
      "  FFFE:\t01 02  \n"
      "10:7f\n";
  auto p = parseProfile(text);
  ASSERT_TRUE(p) << p.message();
  EXPECT_EQ(p->settings.text, "19200,N,8 ,1");
  EXPECT_EQ(p->lineSettings(), (link::LineSettings{19200, false}));
  EXPECT_EQ(p->protocol, Protocol::Afp);
  ASSERT_EQ(p->registers.size(), 3u);
  EXPECT_EQ(p->registers[0].address, 0x0102);
  EXPECT_EQ(p->registers[0].bytes, (std::vector<std::uint8_t>{0x5A, 0x00, 0xFF}));
  EXPECT_EQ(p->registers[1].address, 0xFFFE);
  EXPECT_EQ(p->registers[1].bytes, (std::vector<std::uint8_t>{0x01, 0x02}));
  EXPECT_EQ(p->registers[2].address, 0x0010);

  auto padded = parseProfile("settings 4800,N,8  ,1");
  ASSERT_TRUE(padded) << padded.message();
  EXPECT_EQ(padded->settings.text, "4800,N,8  ,1");
}

TEST(Profile, RefusesBadLinesNamingTheLineAndTheProblem) {
  struct Case {
    std::string text;
    std::string expected;
  };
  const std::vector<Case> cases{
      {"settings 9601,N,8,1", "line 1: \"9601,N,8,1\" is not a settings text"},
      {"settings", "line 1: \"\" is not a settings text"},
      {"# ok\n\nprotocol xyz", "line 3: protocol \"xyz\" is neither eap nor afp"},
      {"settings 9600,N,8,1\nsettings 4800,E,8,1", "line 2: settings are given a second time"},
      {"protocol eap\nprotocol afp", "line 2: the protocol is given a second time"},
      {"12345: 00", "line 1: address \"12345\" is not a hex number"},
      {": 00", "line 1: address \"\" is not a hex number"},
      {"x1: 00", "line 1: address \"x1\""},
      {"0100: 0G", "line 1: register value \"0G\" is not two hex digits"},
      {"0100: 123", "register value \"123\""},
      {"0100: 1", "register value \"1\""},
      {"0100:", "line 1: no register values after address 0100"},
      {"FFFE: 00 01 02", "line 1: the values starting at FFFE run past address FFFF"},
      {"0100: 00\nbogus line", "line 2: \"bogus line\" is not a statement"},
      {std::string("0100: 00\n\n\n\x01\xFF\0", 14), "line 4: \"\\x01\\xFF\\x00\" is not a statement"},
      {"completion", "line 1: completion \"\" is not a whole number of milliseconds"},
      {"completion 5ms", "completion \"5ms\" is not a whole number"},
      {"completion -5", "completion \"-5\" is not a whole number"},
      {"restart 2.5", "restart \"2.5\" is not a whole number"},
      {"restart 99999999999", "restart \"99999999999\" is not a whole number"},
      {"restart 600001", "line 1: restart 600001 is longer than 600000 ms"},
      {"restart 1\nrestart 2", "line 2: restart is given a second time"},
      {"completion 1\ncompletion 1", "line 2: completion is given a second time"},
      {"factory 600001", "line 1: factory 600001 is longer than 600000 ms"},
      {"factory fast", "line 1: factory \"fast\" is not a whole number of milliseconds"},
      {"factory 1\nfactory 1", "line 2: factory is given a second time"},
      {"eeprom", "line 1: eeprom \"\" needs a start and an end address"},
      {"eeprom 0800", "eeprom \"0800\" needs a start and an end address"},
      {"eeprom 0800 10000", "line 1: EEPROM address \"10000\" is not a hex number of up to four digits"},
      {"eeprom 08G0 3280", "EEPROM address \"08G0\""},
      {"eeprom 0800 3280 4000", "EEPROM address \"3280 4000\""},
      {"eeprom 0810 3280", "line 1: EEPROM address 0810 is not a multiple of 80"},
      {"eeprom 0800 FFFF", "EEPROM address FFFF is not a multiple of 80"},
      {"eeprom 3280 0800", "line 1: the EEPROM range 3280 0800 ends before it starts"},
      {"eeprom 0800 0800", "the EEPROM range 0800 0800 ends before it starts"},
      {"eeprom 0800 1000\neeprom 0800 1000", "line 2: the EEPROM range is given a second time"},
      {"refuse", "line 1: refuse \"\" needs a function code and a status"},
      {"refuse 0181", "refuse \"0181\" needs a function code and a status"},
      {"refuse 10181 3", "function code \"10181\" is not a hex number"},
      {"refuse 01G1 3", "function code \"01G1\""},
      {"refuse 0181 0", "status \"0\" is not one hex digit from 1 to F"},
      {"refuse 0181 10", "status \"10\""},
      {"refuse 0181 G", "status \"G\""},
      {"refuse 0181 3 4", "status \"3 4\""},
  };
  for (const auto& c : cases) {
    auto p = parseProfile(c.text);
    ASSERT_FALSE(p) << c.text;
    EXPECT_THAT(p.message(), HasSubstr(c.expected)) << c.text;
  }
}

TEST(Profile, AnyBytesGiveAProfileOrALineError) {
  using namespace std::string_literals;
  const std::string alphabet =
      "0123456789ABCDEFabcdefGZ:# \t\r\n,settingsprotocoleapafpcompletionrefusefactoryeeprom\x00\xFF"s;
  const std::string valid =
      "settings 9600,N,8,1\nprotocol eap\n0100: 01 02 03\nFFF0: AA BB\ncompletion 20\nrestart 50\nrefuse 0181 3\n"
      "factory 400\neeprom 0800 3280\n";
  std::mt19937 random(12345);
  for (int i = 0; i < 3000; ++i) {
    std::string text;
    if (i % 2 == 0) {
      const auto length = random() % 120;
      for (unsigned j = 0; j < length; ++j) text += alphabet[random() % alphabet.size()];
    } else {
      text = valid;
      for (int k = 0; k < 3; ++k) text[random() % text.size()] = static_cast<char>(random() % 256);
    }
    auto p = parseProfile(text);
    if (!p) {
      EXPECT_THAT(p.message(), StartsWith("line ")) << ::testing::PrintToString(text);
      continue;
    }
    for (const auto& block : p->registers) EXPECT_LE(block.address + block.bytes.size(), 0x10000u);
    for (const auto& [code, status] : p->refusals) EXPECT_TRUE(status >= 1 && status <= 0xF) << code;
    EXPECT_LE(p->restartTime, kLongestProfileTime);
    EXPECT_LE(p->completionDelay, kLongestProfileTime);
    EXPECT_LE(p->factoryTime, kLongestProfileTime);
    if (p->eepromRange) {
      EXPECT_LT(p->eepromRange->start, p->eepromRange->end);
      EXPECT_EQ(p->eepromRange->start % 0x80, 0);
      EXPECT_EQ(p->eepromRange->end % 0x80, 0);
    }
  }
}

class ProfileFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("orva-profile-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  std::filesystem::path write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return dir / name;
  }

  std::filesystem::path dir;
};

TEST_F(ProfileFile, LoadsAFile) {
  auto p = loadProfile(write("cam.profile", "settings 9600,E,8,1\n0102: 5A\n"));
  ASSERT_TRUE(p) << p.message();
  EXPECT_EQ(p->settings.text, "9600,E,8  ,1");
  ASSERT_EQ(p->registers.size(), 1u);
}

TEST_F(ProfileFile, ErrorsNameTheFile) {
  auto bad = loadProfile(write("bad.profile", "0102: 5A\n0103: XY\n"));
  ASSERT_FALSE(bad);
  EXPECT_THAT(bad.message(), HasSubstr("bad.profile: line 2: register value \"XY\""));
  auto missing = loadProfile(dir / "none.profile");
  ASSERT_FALSE(missing);
  EXPECT_THAT(missing.message(), HasSubstr("could not read"));
  EXPECT_THAT(missing.message(), HasSubstr("none.profile"));
  auto directory = loadProfile(dir);
  ASSERT_FALSE(directory);
  EXPECT_THAT(directory.message(), HasSubstr(dir.string()));
}

}  // namespace
}  // namespace orva::sim
