// The EEPROM backup run against the in-process virtual camera: the file it writes, byte for
// byte, over each read path, and what is left on disk when the line dies or the run is stopped.
#include "eeprom/backup.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <stop_token>

#include "camera_bench.hpp"
#include "support/temp_folder.hpp"

namespace orva {
namespace {

using eeprom::BackupResult;

using testing::Bench;
using testing::CancelAfterFirstStep;
using testing::contents;
using testing::entries;
using testing::faults;

eeprom::BackupOutcome backup(Bench& b, const std::filesystem::path& file, core::Prompt& p, std::stop_token stop = {}) {
  eeprom::BackupRun run(b.link, b.eap, b.afp, p);
  return run.run({b.range, file, std::nullopt}, stop);
}
eeprom::BackupOutcome backup(Bench& b, const std::filesystem::path& file) { return backup(b, file, b.prompt); }

class BackupPaths : public ::testing::TestWithParam<testing::LinePath> {};

TEST_P(BackupPaths, FileHoldsTheCameraMemoryByteForByte) {
  Bench b(GetParam().protocol, {}, GetParam().blockMode);
  testing::TempFolder folder;
  const auto file = folder / "EEPROM.MEM";
  const auto out = backup(b, file);
  ASSERT_EQ(out.result, BackupResult::Done) << out.why;
  EXPECT_TRUE(out.backupMade);
  EXPECT_EQ(out.rowsRead, b.range.rows());
  EXPECT_EQ(contents(file), eeprom::formatImage(b.cameraImage()));
  EXPECT_EQ(entries(folder.path()), 1u);
  EXPECT_EQ(b.prompt.lastProgressDone(), eeprom::kBackupProgressSteps);
  EXPECT_EQ(b.monitor.echoMode(), core::EchoMode::Shown);
  EXPECT_NE(b.monitor.pc().find("\r\n<< It reads from EEPROM. >>"), std::string::npos);
  EXPECT_TRUE(b.monitor.pc().ends_with("\r\nComplete.")) << b.monitor.pc().substr(b.monitor.pc().size() - 40);
  if (GetParam().protocol == sim::Protocol::Afp) {
    EXPECT_EQ(b.link.blockReadMode(), 0) << "AFP leaves block reads off";
  }
}

INSTANTIATE_TEST_SUITE_P(Backup, BackupPaths,
                         ::testing::Values(testing::kLinePaths[0], testing::kLinePaths[1], testing::kLinePaths[2],
                                           testing::LinePath{sim::Protocol::Afp, 2}),
                         testing::linePathName);

class BackupHangUp : public ::testing::TestWithParam<testing::LinePath> {};

TEST_P(BackupHangUp, LinkDyingMidwayLeavesThePreviousFileAndNoTemporaryFile) {
  Bench b(GetParam().protocol, faults({"hangup:40"}), GetParam().blockMode);
  testing::TempFolder folder;
  const auto file = folder / "EEPROM.MEM";
  { std::ofstream(file, std::ios::binary) << "the backup before"; }
  const auto out = backup(b, file);
  EXPECT_EQ(out.result, BackupResult::CommunicationError);
  EXPECT_FALSE(out.backupMade);
  EXPECT_LT(out.rowsRead, b.range.rows());
  EXPECT_EQ(contents(file), "the backup before");
  EXPECT_EQ(entries(folder.path()), 1u);
  EXPECT_EQ(b.monitor.echoMode(), core::EchoMode::Shown);
  EXPECT_EQ(b.monitor.pc().find("Complete."), std::string::npos);
  EXPECT_EQ(eeprom::backupMessage(out.result), "It has not saved at File. (Communication Error) ");
}

INSTANTIATE_TEST_SUITE_P(Backup, BackupHangUp, ::testing::ValuesIn(testing::kLinePaths), testing::linePathName);

TEST(BackupReply, NonHexDigitsAreACommunicationErrorNotAValue) {
  Bench b(sim::Protocol::Eap, faults({"bad-hex"}), 2);
  testing::TempFolder folder;
  const auto out = backup(b, folder / "EEPROM.MEM");
  EXPECT_EQ(out.result, BackupResult::CommunicationError);
  EXPECT_EQ(out.rowsRead, 0u);
  EXPECT_EQ(entries(folder.path()), 0u);
}

TEST(BackupCancel, StopTokenBeforeTheFirstRowWritesNoFile) {
  Bench b(sim::Protocol::Eap);
  testing::TempFolder folder;
  std::stop_source stop;
  stop.request_stop();
  const auto out = backup(b, folder / "EEPROM.MEM", b.prompt, stop.get_token());
  EXPECT_EQ(out.result, BackupResult::Cancelled);
  EXPECT_FALSE(out.backupMade);
  EXPECT_EQ(entries(folder.path()), 0u);
  EXPECT_TRUE(eeprom::backupMessage(out.result).empty());
}

TEST(BackupCancel, PromptCancelMidRunKeepsThePreviousFile) {
  Bench b(sim::Protocol::Eap);
  testing::TempFolder folder;
  const auto file = folder / "EEPROM.MEM";
  { std::ofstream(file, std::ios::binary) << "old"; }
  CancelAfterFirstStep cancel;
  const auto out = backup(b, file, cancel);
  EXPECT_EQ(out.result, BackupResult::Cancelled);
  EXPECT_GT(out.rowsRead, 0u);
  EXPECT_LT(out.rowsRead, b.range.rows());
  EXPECT_EQ(contents(file), "old");
  EXPECT_EQ(entries(folder.path()), 1u);
  EXPECT_EQ(b.monitor.echoMode(), core::EchoMode::Shown);
}

TEST(BackupFile, UnwritableFolderIsAFileErrorAfterTheRows) {
  Bench b(sim::Protocol::Eap, {}, 2);
  testing::TempFolder folder;
  const auto out = backup(b, folder / "missing" / "EEPROM.MEM");
  EXPECT_EQ(out.result, BackupResult::FileNotOpened);
  EXPECT_FALSE(out.backupMade);
  EXPECT_EQ(out.rowsRead, b.range.rows());
  EXPECT_EQ(eeprom::backupMessage(out.result), "It has not saved at File. (File dose not Open) ");
}

TEST(BackupNoCamera, NothingIsMadeUp) {
  Bench b(sim::Protocol::Eap);
  b.link.setNoCameraMode(link::NoCameraMode::Absent);
  testing::TempFolder folder;
  EXPECT_EQ(backup(b, folder / "EEPROM.MEM").result, BackupResult::CommunicationError);
  EXPECT_EQ(entries(folder.path()), 0u);
}

}  // namespace
}  // namespace orva
