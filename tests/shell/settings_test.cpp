#include "shell/settings.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/atomic_file.hpp"
#include "core/testing/file_size_limit.hpp"
#include "support/temp_folder.hpp"

namespace orva::shell {
namespace {

namespace fs = std::filesystem;

const std::string kFreshDefault =
    "//=============================================\n"
    "//=                                           =\n"
    "//= ORVA2                                     =\n"
    "//=                                           =\n"
    "//=                           ORVA.ini File   =\n"
    "//=============================================\n"
    "\n//  Demo Wait Time -- 0:3s, 1:5s\n"
    "Wait_time   = 1\n"
    "\n//  Demo Loop number of time -- 0:Inf. LOOP, 1:ONE TIME\n"
    "Demo_mode   = 0\n"
    "\n//  RS-232C Serial Setting Baudrate,Parity,size,stop\n"
    "Baudrate    = 4800,E,8  ,1\n"
    "\n//  EEPROM Backup mode -- 0:non Backup\n"
    "Backup_mode = 0\n"
    "\n//  Model Original Data\n"
    "Model Data  = 0\n"
    "\n//  Comm. Port Data \n"
    "Comm..Port  = 0\n"
    "\n//Protocol type 1:AFP 2:EAP\n"
    "RS_NEW_PTCL = 2\n";

Settings parsed(std::string_view text) {
  Settings s;
  parseSettings(text, s);
  return s;
}

Settings loadedDefaults() {
  Settings s;
  normalizeSettingsText(s);
  return s;
}

TEST(SettingsFresh, WritesCurrentValuesAndReadsThemBack) {
  Settings s = loadedDefaults();
  s.demoWaitSeconds = 3;
  s.demoMode = 1;
  s.settingsText = "115200,N,8,1";
  s.backupMade = true;
  s.modelCode = 0x53AB;
  s.portIndex = 30;
  s.protocol = kProtocolAfp;
  const std::string text = renderFreshSettings(s);
  EXPECT_THAT(text, ::testing::HasSubstr("Wait_time   = 0\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("Demo_mode   = 1\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("Baudrate    = 115200,N,8,1\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("Backup_mode = 1\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("Model Data  = 53AB\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("Comm..Port  = 1E\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("RS_NEW_PTCL = 1\n"));
  EXPECT_THAT(text, ::testing::Not(::testing::HasSubstr("Port Device")));

  Settings back = parsed(text);
  EXPECT_EQ(back.demoWaitSeconds, 3);
  EXPECT_EQ(back.demoMode, 1);
  EXPECT_EQ(back.settingsText, "115200,N,8,1");
  EXPECT_TRUE(back.backupMade);
  EXPECT_EQ(back.modelCode, 0x53ABu);
  EXPECT_EQ(back.portIndex, 30);
  EXPECT_EQ(back.protocol, kProtocolAfp);
}

TEST(SettingsFresh, PortDeviceSectionFollowsTheSevenWhenSet) {
  Settings s = loadedDefaults();
  s.portDevice = "/dev/serial/by-id/usb-Adapter_Serial_Converter_0123456789ABCDEF-if00-port0";
  const std::string text = renderFreshSettings(s);
  EXPECT_TRUE(text.starts_with(kFreshDefault));
  EXPECT_THAT(text.substr(kFreshDefault.size()),
              ::testing::MatchesRegex("\n//[^\n]*\nPort Device = /dev/serial/by-id/[^\n]*\n"));
  // The path is longer than 80 columns with its key and still comes back whole.
  EXPECT_EQ(parsed(text).portDevice, s.portDevice);
}

TEST(SettingsRead, DefaultsOfEveryKey) {
  Settings s = parsed("");
  EXPECT_EQ(s.qaMode, 0);
  EXPECT_EQ(s.demoWaitSeconds, 5);
  EXPECT_EQ(s.demoMode, 0);
  EXPECT_EQ(s.settingsText, "4800,E,8 ,1");
  EXPECT_FALSE(s.backupMade);
  EXPECT_EQ(s.modelCode, 0u);
  EXPECT_EQ(s.fileSelect, 1);
  EXPECT_EQ(s.newFeature, 1);
  EXPECT_EQ(s.rsNegotiate, 1);
  EXPECT_EQ(s.textColour, 0);
  EXPECT_EQ(s.backColour, 7);
  EXPECT_EQ(s.protocol, kProtocolEap);
  EXPECT_EQ(s.portIndex, 0);
  EXPECT_EQ(s.portNumber(), 1);
}

TEST(SettingsRead, EachKindOfRule) {
  Settings s = parsed(
      "QA_MODE     = 1\n"
      "Wait_time   = 0\n"
      "Baudrate    = 19200,N,8 ,1\n"
      "Backup_mode = 1\n"
      "Model Data  = 5a3f\n"
      "eX com mode = 2\n"
      "Language    = 3\n"       // & 1
      "EEPROM Size = 9\n"       // & 15
      "New Feature = 0\n"
      "Text Color  = 4\n"
      "Back Color  = K\n"       // 'K' & 15 = 11, masked without a check
      "Comm..Port  = A\n"
      "RS_NEW_PTCL = 1\n"
      "ZOOM_SENSE  = 5\n");
  EXPECT_EQ(s.qaMode, 1);
  EXPECT_EQ(s.demoWaitSeconds, 3);
  EXPECT_EQ(s.settingsText, "19200,N,8 ,1");
  EXPECT_TRUE(s.backupMade);
  EXPECT_EQ(s.modelCode, 0x5A3Fu);
  EXPECT_EQ(s.exComMode, 2);
  EXPECT_EQ(s.language, 1);
  EXPECT_EQ(s.eepromSize, 9);
  EXPECT_EQ(s.newFeature, 0);
  EXPECT_EQ(s.textColour, 4);
  EXPECT_EQ(s.backColour, 11);
  EXPECT_EQ(s.portIndex, 10);
  EXPECT_EQ(s.protocol, kProtocolAfp);
  EXPECT_EQ(s.zoomSense, 5);
}

TEST(SettingsRead, ValueRulesAtTheirEdges) {
  EXPECT_EQ(parsed("Wait_time   = 1\n").demoWaitSeconds, 5);
  EXPECT_EQ(parsed("Wait_time   = 7\n").demoWaitSeconds, 5);  // no meaning: default stays
  EXPECT_EQ(parsed("Demo_mode   = 0\n").demoMode, 0);
  EXPECT_EQ(parsed("Demo_mode   = x\n").demoMode, 1);
  EXPECT_EQ(parsed("eX com mode = 3\n").exComMode, 0);
  EXPECT_EQ(parsed("Comm..Port  = 1F\n").portIndex, 31);
  EXPECT_EQ(parsed("Comm..Port  = 7\n").portIndex, 7);
  EXPECT_EQ(parsed("Comm..Port  = 7").portIndex, 7);  // no final line feed
  EXPECT_EQ(parsed("Comm..Port  = b\n").portIndex, 11);
  EXPECT_EQ(parsed("Model Data  = 12G4\n").modelCode, 0u);
  EXPECT_EQ(parsed("Model Data  = \n").modelCode, 0u);
  EXPECT_EQ(parsed("RS_NEW_PTCL = 0\n").protocol, kProtocolEap);
  EXPECT_EQ(parsed("Backup_mode = 2\n").backupMade, false);
  // A shorter settings text takes what follows, up to 12 characters.
  EXPECT_EQ(parsed("Baudrate    = 9600\n").settingsText, "9600");
  EXPECT_EQ(parsed("Baudrate    = 38400,E,8 ,1 trailing\n").settingsText, "38400,E,8 ,1");
  EXPECT_EQ(parsed("Send File   = 1\nSend File   = 0\n").sendFile, 0) << "the last line of a key wins";
}

TEST(SettingsRead, KeyPlacementRules) {
  // Keys other than QA_MODE and Wait_time are found anywhere in the line; the value is
  // still taken from column 15 of the line.
  EXPECT_EQ(parsed("Demo_mode   = 1 ; note\n").demoMode, 1);
  EXPECT_EQ(parsed("# Motiondeton = 1\n").motionDetOn, '=' & 15);
  // QA_MODE and Wait_time count only at the start of a line.
  EXPECT_EQ(parsed(" QA_MODE     = 1\n").qaMode, 0);
  EXPECT_EQ(parsed(" Wait_time   = 0\n").demoWaitSeconds, 5);
  // Comments are skipped; a key without the blank after it is not a key.
  EXPECT_EQ(parsed("/Demo_mode   = 1\n").demoMode, 0);
  EXPECT_EQ(parsed("Demo_mode   =1\n").demoMode, 0);
  // The first key of the table that occurs wins.
  Settings s = parsed("PM2_mode    = 3 Demo_mode   = \n");
  EXPECT_EQ(s.demoMode, 1);
  EXPECT_EQ(s.pm2Mode, 0);
  // Only the first 80 columns count: the tail of a long line is never taken for a key of its own.
  s = parsed("/" + std::string(100, 'x') + "\n" + std::string(90, ' ') + "Demo_mode   = 1\nSend File   = 1\n");
  EXPECT_EQ(s.demoMode, 0);
  EXPECT_EQ(s.sendFile, 1);
}

TEST(SettingsRead, LineEndsAndGarbage) {
  Settings crlf = parsed("Wait_time   = 0\r\nComm..Port  = 3\r\nModel Data  = 12\r\n");
  EXPECT_EQ(crlf.demoWaitSeconds, 3);
  EXPECT_EQ(crlf.portIndex, 3);
  EXPECT_EQ(crlf.modelCode, 0x12u);

  std::string garbage("\0\0\xff\xfe Demo_mode   = 0\n\x01\x02", 24);
  garbage += std::string(5000, '\x80');
  Settings g = parsed(garbage);
  EXPECT_EQ(g.demoMode, 1);  // column 15 holds '=', not '0'
  EXPECT_EQ(g.protocol, kProtocolEap);
}

TEST(SettingsNormalize, UnknownSettingsTextFallsBackToTheFirstForm) {
  Settings s;
  normalizeSettingsText(s);  // the 11-character start value is not a form either
  EXPECT_EQ(s.settingsText, "4800,E,8  ,1");
  s.settingsText = "57600,N,8 ,1";
  normalizeSettingsText(s);
  EXPECT_EQ(s.settingsText, "57600,N,8 ,1");
}

TEST(SettingsRewrite, AllSevenKeysReplacedInPlaceEverythingElseKept) {
  const std::string old =
      "// my notes\r\n"
      "QA_MODE     = 1\n"
      "Wait_time   = 0\n"
      "unknown line \x01 kept\n"
      "Demo_mode   = 1\n"
      "Baudrate    = 9600,E,8  ,1\n"
      "Backup_mode = 0\n"
      "Model Data  = 0\n"
      "Comm..Port  = 0\n"
      "RS_NEW_PTCL = 2\n"
      "Send File   = 1\n";
  Settings s = parsed(old);
  s.demoWaitSeconds = 5;
  s.demoMode = 0;
  s.backupMade = true;
  s.modelCode = 0xA654;
  s.portIndex = 2;
  s.protocol = kProtocolAfp;
  s.settingsText = "38400,N,8 ,1";
  EXPECT_EQ(rewriteSettings(old, s),
            "// my notes\r\n"
            "QA_MODE     = 1\n"
            "Wait_time   = 1\n"
            "unknown line \x01 kept\n"
            "Demo_mode   = 0\n"
            "Baudrate    = 38400,N,8 ,1\n"
            "Backup_mode = 1\n"
            "Model Data  = A654\n"
            "Comm..Port  = 2\n"
            "RS_NEW_PTCL = 1\n"
            "Send File   = 1\n");
}

TEST(SettingsRewrite, SomeKeysMissingAppendsTheirSectionsInOrder) {
  const std::string old = "Baudrate    = 9600,E,8  ,1\nComm..Port  = 4\n";
  Settings s = parsed(old);
  EXPECT_EQ(rewriteSettings(old, s),
            "Baudrate    = 9600,E,8  ,1\n"
            "Comm..Port  = 4\n"
            "\n//  Demo Wait Time -- 0:3s, 1:5s\nWait_time   = 1\n"
            "\n//  Demo Loop number of time -- 0:Inf. LOOP, 1:ONE TIME\nDemo_mode   = 0\n"
            "\n//  EEPROM Backup mode -- 0:non Backup\nBackup_mode = 0\n"
            "\n//  Model Original Data\nModel Data  = 0\n"
            "\n//Protocol type 1:AFP 2:EAP\nRS_NEW_PTCL = 2\n");
}

TEST(SettingsRewrite, NoManagedKeyKeepsTheLinesAndAppendsAllSections) {
  // Hand-set switches survive: the file is not regenerated from scratch.
  const std::string old = "QA_MODE     = 1\nSend File   = 1";  // no final line feed
  Settings s = loadedDefaults();
  parseSettings(old, s);
  const std::string out = rewriteSettings(old, s);
  const std::string sections = kFreshDefault.substr(kFreshDefault.find("\n//  Demo Wait"));
  EXPECT_EQ(out, "QA_MODE     = 1\nSend File   = 1\n" + sections);
  EXPECT_EQ(rewriteSettings("", loadedDefaults()), kFreshDefault) << "an empty file gets the whole layout";
}

TEST(SettingsRewrite, KeyFoundAnywhereIsReplacedByTheBareSettingLine) {
  const std::string old = "xx Backup_mode = 0 yy\n/Backup_mode = 0\n";
  Settings s;
  s.backupMade = true;
  const std::string out = rewriteSettings(old, s);
  EXPECT_TRUE(out.starts_with("Backup_mode = 1\n/Backup_mode = 0\n"));
}

TEST(SettingsRewrite, PortDeviceReplacedInPlaceOrAppendedAfterTheSeven) {
  Settings s = loadedDefaults();
  s.portDevice = "/dev/ttyUSB1";
  const std::string withDevice = "Port Device = /dev/ttyS0\n" + kFreshDefault.substr(kFreshDefault.find("\n//  Demo"));
  EXPECT_TRUE(rewriteSettings(withDevice, s).starts_with("Port Device = /dev/ttyUSB1\n\n//  Demo"));
  const std::string appended = rewriteSettings(kFreshDefault, s);
  EXPECT_TRUE(appended.starts_with(kFreshDefault));
  EXPECT_TRUE(appended.ends_with("Port Device = /dev/ttyUSB1\n"));
  // An older file and no device: nothing is added.
  EXPECT_EQ(rewriteSettings(kFreshDefault, loadedDefaults()), kFreshDefault);
}

TEST(SettingsRewrite, UnknownLinesSurviveByteForByte) {
  std::string odd("Lorem\0ipsum\r\n\xff\xfe\n  \t \n", 22);
  odd += std::string(300, 'z') + "\n";
  const std::string old = odd + kFreshDefault.substr(kFreshDefault.find("\n//  Demo"));
  const std::string out = rewriteSettings(old, loadedDefaults());
  EXPECT_TRUE(out.starts_with(odd));
  EXPECT_EQ(out.size(), old.size());
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void put(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  std::string get(const std::string& name) { return *core::readFile(dir_ / name); }

  orva::testing::TempFolder folder_;
  const fs::path& dir_ = folder_.path();
};

TEST_F(SettingsFileTest, FirstRunWritesTheFullFileAndTheNextStartReadsItBack) {
  SettingsFile file(SettingsFile::locate(dir_));
  EXPECT_EQ(file.path().filename(), "ORVA.ini");
  Settings s;
  EXPECT_EQ(file.load(s), SettingsFile::Loaded::Missing);
  EXPECT_EQ(s.settingsText, "4800,E,8  ,1");
  ASSERT_TRUE(file.save(s));
  EXPECT_EQ(get("ORVA.ini"), kFreshDefault);

  Settings again;
  EXPECT_EQ(SettingsFile(SettingsFile::locate(dir_)).load(again), SettingsFile::Loaded::Read);
  EXPECT_EQ(again.demoMode, 0);
  EXPECT_EQ(again.settingsText, "4800,E,8  ,1");
}

TEST_F(SettingsFileTest, UpperCaseNameIsTheSameFileAndKeepsItsName) {
  put("ORVA.INI", "QA_MODE     = 1\n");
  SettingsFile file(SettingsFile::locate(dir_));
  EXPECT_EQ(file.path().filename(), "ORVA.INI");
  Settings s;
  ASSERT_EQ(file.load(s), SettingsFile::Loaded::Read);
  EXPECT_EQ(s.qaMode, 1);
  ASSERT_TRUE(file.save(s));
  EXPECT_FALSE(fs::exists(dir_ / "ORVA.ini"));
  EXPECT_TRUE(get("ORVA.INI").starts_with("QA_MODE     = 1\n\n//  Demo Wait Time"));
  // Only the file itself is left: no temporary file stays behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(SettingsFileTest, ExactNameWinsOverOtherSpellings) {
  put("orva.ini", "");
  put("ORVA.ini", "");
  EXPECT_EQ(SettingsFile::locate(dir_).filename(), "ORVA.ini");
  fs::remove(dir_ / "ORVA.ini");
  EXPECT_EQ(SettingsFile::locate(dir_).filename(), "orva.ini");
}

TEST_F(SettingsFileTest, FailedSaveLeavesTheOldFileAndSaysWhere) {
  put("ORVA.ini", "QA_MODE     = 1\n");
  Settings s;
  s.backupMade = true;
  core::Status st;
  {
    // A disk that refuses the new contents (root ignores folder permissions, not file-size limits).
    core::testing::FileSizeLimit full(8);
    st = SettingsFile(dir_ / "ORVA.ini").save(s);
  }
  EXPECT_TRUE(st.failed());
  EXPECT_THAT(st.message(), ::testing::HasSubstr((dir_ / "ORVA.ini").string()));
  EXPECT_EQ(get("ORVA.ini"), "QA_MODE     = 1\n");
}

TEST_F(SettingsFileTest, UnreadableFileIsNeitherReadNorOverwritten) {
  fs::create_directory(dir_ / "ORVA.ini");  // a folder where the file should be
  Settings s;
  std::string why;
  EXPECT_EQ(SettingsFile(dir_ / "ORVA.ini").load(s, &why), SettingsFile::Loaded::Unreadable);
  EXPECT_THAT(why, ::testing::HasSubstr("ORVA.ini"));
  EXPECT_TRUE(SettingsFile(dir_ / "ORVA.ini").save(s).failed());
  EXPECT_TRUE(fs::is_directory(dir_ / "ORVA.ini"));
}

TEST_F(SettingsFileTest, LinkedFileIsUpdatedThroughTheLink) {
  put("real.ini", "Send File   = 1\n");
  fs::create_symlink(dir_ / "real.ini", dir_ / "ORVA.ini");
  Settings s;
  ASSERT_TRUE(SettingsFile(dir_ / "ORVA.ini").save(s));
  EXPECT_TRUE(fs::is_symlink(dir_ / "ORVA.ini"));
  EXPECT_TRUE(get("real.ini").starts_with("Send File   = 1\n\n//  Demo Wait"));
}

}  // namespace
}  // namespace orva::shell
