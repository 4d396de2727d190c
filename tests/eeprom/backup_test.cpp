// The EEPROM backup run against the in-process virtual camera: the file it writes, byte for
// byte, over each read path, and what is left on disk when the line dies or the run is stopped.
#include "eeprom/backup.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stop_token>

#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "core/prompt.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/settings_forms.hpp"
#include "sim/faults.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/model_profiles.hpp"
#include "sim/virtual_camera.hpp"
#include "support/temp_folder.hpp"

namespace orva {
namespace {

using namespace std::chrono_literals;
using eeprom::BackupResult;

constexpr std::uint16_t kQb183 = 0x13F0;

sim::Profile profileOf(std::string_view model, sim::Protocol protocol) {
  auto p = sim::modelProfile(model, protocol);
  EXPECT_TRUE(p) << model;
  return p ? *p : sim::Profile{};
}

std::vector<sim::Fault> faults(std::initializer_list<std::string_view> texts) {
  std::vector<sim::Fault> out;
  for (auto t : texts) {
    auto f = sim::parseFault(t);
    EXPECT_TRUE(f) << f.message();
    if (f) out.push_back(*f);
  }
  return out;
}

struct Bench {
  Bench(sim::Protocol protocol, std::vector<sim::Fault> fs = {}, int blockMode = 0)
      : camera(profileOf("QB-183", protocol), std::move(fs)), link(clock, monitor) {
    link.setChannel(std::make_unique<sim::InProcessChannel>(camera, clock, false));
    link.setLineSettings(camera.settings());
    link.setProtocol(protocol == sim::Protocol::Afp ? link::Protocol::Afp : link::Protocol::Eap);
    link.setBlockReadMode(blockMode);
    EXPECT_TRUE(link.open());
    // A pattern no two rows share, so a row read from the wrong address shows.
    for (std::size_t i = 0; i < range.bytes(); ++i)
      camera.memory().write(static_cast<std::uint16_t>(range.start + i), static_cast<std::uint8_t>(i * 7 + i / 16));
  }

  eeprom::Image cameraImage() const {
    eeprom::Image image{range.start, {}};
    for (std::size_t i = 0; i < range.bytes(); ++i)
      image.bytes.push_back(camera.memory().read(static_cast<std::uint16_t>(range.start + i)));
    return image;
  }

  eeprom::BackupOutcome backup(const std::filesystem::path& file, core::Prompt& p, std::stop_token stop = {}) {
    eeprom::BackupRun run(link, eap, afp, p);
    return run.run({range, file, std::nullopt}, stop);
  }
  eeprom::BackupOutcome backup(const std::filesystem::path& file) { return backup(file, prompt); }

  eeprom::Range range = eeprom::cameraRange(kQb183, 0);
  core::FakeClock clock{20ms};
  core::RecordingMonitorSink monitor;
  core::ScriptedPrompt prompt;
  sim::VirtualCamera camera;
  link::Link link;
  link::Eap eap{link};
  link::Afp afp{link};
};

std::string contents(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::size_t entries(const std::filesystem::path& folder) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

// Stops the run once the progress bar has moved, as an operator pressing cancel mid-run.
class CancelAfterFirstStep final : public core::Prompt {
 public:
  core::Answer ask(std::string_view, std::string_view, core::Buttons, core::Icon) override { return core::Answer::Ok; }
  std::optional<std::filesystem::path> chooseFile(const core::FileChoice&) override { return std::nullopt; }
  void progress(std::string_view, std::size_t done, std::size_t) override {
    if (done > 0) cancelled_ = true;
  }
  bool cancelled() const override { return cancelled_; }
  void busy(bool) override {}

 private:
  bool cancelled_ = false;
};

TEST(BackupRange, Qb183CoversItsFactoryImage) {
  const auto r = eeprom::cameraRange(kQb183, 0);
  EXPECT_GT(r.rows(), 0u);
  EXPECT_EQ(r.start % 0x80, 0);
}

struct Path {
  sim::Protocol protocol;
  int blockMode;
};

std::string pathName(const ::testing::TestParamInfo<Path>& p) {
  return std::string(p.param.protocol == sim::Protocol::Afp ? "Afp" : "Eap") +
         (p.param.blockMode == 2 ? "BlockReads" : "ByteReads");
}

class BackupPaths : public ::testing::TestWithParam<Path> {};

TEST_P(BackupPaths, FileHoldsTheCameraMemoryByteForByte) {
  Bench b(GetParam().protocol, {}, GetParam().blockMode);
  testing::TempFolder folder;
  const auto file = folder / "EEPROM.MEM";
  const auto out = b.backup(file);
  ASSERT_EQ(out.result, BackupResult::Done) << out.why;
  EXPECT_TRUE(out.backupMade);
  EXPECT_EQ(out.rowsRead, b.range.rows());
  EXPECT_EQ(contents(file), eeprom::formatImage(b.cameraImage()));
  EXPECT_EQ(entries(folder.path()), 1u);
  EXPECT_EQ(b.prompt.lastProgressDone(), eeprom::kBackupProgressSteps);
  EXPECT_EQ(b.monitor.echoMode(), core::EchoMode::Shown);
  EXPECT_NE(b.monitor.pc().find("\r\n<< It reads from EEPROM. >>"), std::string::npos);
  EXPECT_TRUE(b.monitor.pc().ends_with("\r\nComplete.")) << b.monitor.pc().substr(b.monitor.pc().size() - 40);
}

INSTANTIATE_TEST_SUITE_P(Backup, BackupPaths,
                         ::testing::Values(Path{sim::Protocol::Eap, 0}, Path{sim::Protocol::Eap, 2},
                                           Path{sim::Protocol::Afp, 0}),
                         pathName);

TEST(BackupAfp, LeavesBlockReadModeOff) {
  Bench b(sim::Protocol::Afp, {}, 2);
  testing::TempFolder folder;
  ASSERT_EQ(b.backup(folder / "a.mem").result, BackupResult::Done);
  EXPECT_EQ(b.link.blockReadMode(), 0);
}

class BackupHangUp : public ::testing::TestWithParam<Path> {};

TEST_P(BackupHangUp, LinkDyingMidwayLeavesThePreviousFileAndNoTemporaryFile) {
  Bench b(GetParam().protocol, faults({"hangup:40"}), GetParam().blockMode);
  testing::TempFolder folder;
  const auto file = folder / "EEPROM.MEM";
  { std::ofstream(file, std::ios::binary) << "the backup before"; }
  const auto out = b.backup(file);
  EXPECT_EQ(out.result, BackupResult::CommunicationError);
  EXPECT_FALSE(out.backupMade);
  EXPECT_LT(out.rowsRead, b.range.rows());
  EXPECT_EQ(contents(file), "the backup before");
  EXPECT_EQ(entries(folder.path()), 1u);
  EXPECT_EQ(b.monitor.echoMode(), core::EchoMode::Shown);
  EXPECT_EQ(b.monitor.pc().find("Complete."), std::string::npos);
  EXPECT_EQ(eeprom::backupMessage(out.result), "It has not saved at File. (Communication Error) ");
}

INSTANTIATE_TEST_SUITE_P(Backup, BackupHangUp,
                         ::testing::Values(Path{sim::Protocol::Eap, 0}, Path{sim::Protocol::Eap, 2},
                                           Path{sim::Protocol::Afp, 0}),
                         pathName);

TEST(BackupReply, NonHexDigitsAreACommunicationErrorNotAValue) {
  Bench b(sim::Protocol::Eap, faults({"bad-hex"}), 2);
  testing::TempFolder folder;
  const auto out = b.backup(folder / "EEPROM.MEM");
  EXPECT_EQ(out.result, BackupResult::CommunicationError);
  EXPECT_EQ(out.rowsRead, 0u);
  EXPECT_EQ(entries(folder.path()), 0u);
}

TEST(BackupCancel, StopTokenBeforeTheFirstRowWritesNoFile) {
  Bench b(sim::Protocol::Eap);
  testing::TempFolder folder;
  std::stop_source stop;
  stop.request_stop();
  const auto out = b.backup(folder / "EEPROM.MEM", b.prompt, stop.get_token());
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
  const auto out = b.backup(file, cancel);
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
  const auto out = b.backup(folder / "missing" / "EEPROM.MEM");
  EXPECT_EQ(out.result, BackupResult::FileNotOpened);
  EXPECT_FALSE(out.backupMade);
  EXPECT_EQ(out.rowsRead, b.range.rows());
  EXPECT_EQ(eeprom::backupMessage(out.result), "It has not saved at File. (File dose not Open) ");
}

TEST(BackupNoCamera, NothingIsMadeUp) {
  Bench b(sim::Protocol::Eap);
  b.link.setNoCameraMode(link::NoCameraMode::Absent);
  testing::TempFolder folder;
  EXPECT_EQ(b.backup(folder / "EEPROM.MEM").result, BackupResult::CommunicationError);
  EXPECT_EQ(entries(folder.path()), 0u);
}

}  // namespace
}  // namespace orva
