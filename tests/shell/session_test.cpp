// The session's sequences against the in-process virtual camera, in virtual time: connecting
// with the backup offer, the EEPROM menu, the restore offer when leaving, and shutdown.
#include "shell/session.hpp"

#include <gtest/gtest.h>

#include <condition_variable>
#include <fstream>
#include <mutex>
#include <string>

#include "eeprom/backup.hpp"
#include "eeprom/image.hpp"
#include "eeprom/restore.hpp"
#include "link/posix_serial_port.hpp"
#include "shell/session_texts.hpp"
#include "session_bench.hpp"
#include "support/sim_faults.hpp"

namespace orva::shell {
namespace {

using core::Answer;

class SessionConnect : public ::testing::TestWithParam<sim::Protocol> {};

TEST_P(SessionConnect, OffersABackupOncePerModelAndKeepsTheFlagInTheConfiguration) {
  SessionBench b(GetParam());
  EXPECT_FALSE(b.session.eepromRuns().backupMade());
  EXPECT_EQ(b.session.rememberedModelCode(), camera::kModelNotIdentified);

  b.prompt.answer(Answer::Yes).answer(Answer::Ok);  // the backup question, then "Is it all right ?   "
  ASSERT_EQ(b.session.connect(), ConnectResult::Connected);
  EXPECT_TRUE(b.session.connected());
  EXPECT_EQ(b.session.model().modelCode, kQb183);
  EXPECT_NE(b.monitor.snapshot().pc.find("\r\n\r\n COM. Connection was Successful !!"), std::string::npos);
  EXPECT_EQ(b.session.connection().portField(), " /dev/ttyS0: " + b.session.settings().settingsText);
  // The backup run asks on its own thread: the questions are read once it has ended.
  b.settle();
  const auto* question = b.find(texts::kBackupQuestion);
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(question->title, "Attention");
  EXPECT_EQ(question->buttons, core::Buttons::YesNo);
  EXPECT_TRUE(b.session.eepromRuns().backupMade());
  EXPECT_FALSE(b.session.runner().busy());
  const auto image = eeprom::readImageFile(b.folder / "EEPROM.MEM", eeprom::cameraRange(kQb183, 0));
  ASSERT_TRUE(image) << image.message();
  EXPECT_EQ(image->bytes.front(), b.camera().memory().read(image->start));

  // The same model again: no question.
  ASSERT_EQ(b.session.disconnect(), LeaveResult::Left);
  EXPECT_FALSE(b.session.connected());
  EXPECT_TRUE(b.session.connection().portField().empty());
  ASSERT_EQ(b.session.connect(), ConnectResult::Connected);
  b.settle();
  EXPECT_EQ(b.askedCount(texts::kBackupQuestion), 1u);
  EXPECT_EQ(b.prompt.unexpected(), 0);

  ASSERT_EQ(b.session.exit(), LeaveResult::Left);
  EXPECT_FALSE(b.session.link().isOpen());
  const Settings saved = b.saved();
  EXPECT_TRUE(saved.backupMade);
  EXPECT_EQ(saved.modelCode, kQb183);
}

INSTANTIATE_TEST_SUITE_P(Session, SessionConnect, ::testing::Values(sim::Protocol::Eap, sim::Protocol::Afp),
                         [](const auto& p) { return p.param == sim::Protocol::Afp ? "Afp" : "Eap"; });

TEST(SessionBackupFlag, ComesFromTheConfigurationAndGoesWithAnotherModel) {
  Settings s = settingsFor(sim::Protocol::Eap);
  s.backupMade = true;
  s.modelCode = kQb183;
  SessionBench b(sim::Protocol::Eap, s, true);
  EXPECT_TRUE(b.session.eepromRuns().backupMade());
  EXPECT_EQ(b.session.rememberedModelCode(), kQb183);

  // The camera ORVA.ini remembers as backed up: no question, and its write-back is not refused.
  ASSERT_EQ(b.session.connect(), ConnectResult::Connected);
  EXPECT_EQ(b.askedCount(texts::kBackupQuestion), 0u);
  EXPECT_TRUE(b.session.eepromRuns().backupMade());
  b.prompt.answer(Answer::No);  // "Does it Write OK ?"
  EXPECT_EQ(b.session.eepromRuns().writeBack(), CommandResult::Declined);
  EXPECT_EQ(b.askedCount(texts::kBackupFirst), 0u);

  ASSERT_EQ(b.session.disconnect(), LeaveResult::Left);
  b.plug("QB-168");
  b.connectWithoutBackup();
  b.settle();
  EXPECT_NE(b.session.model().modelCode, kQb183);
  EXPECT_EQ(b.session.rememberedModelCode(), b.session.model().modelCode);
  EXPECT_EQ(b.askedCount(texts::kBackupQuestion), 1u);
  EXPECT_FALSE(b.session.eepromRuns().backupMade());

  ASSERT_TRUE(b.session.shutdown().done);
  EXPECT_FALSE(b.saved().backupMade);
  EXPECT_EQ(b.saved().modelCode, b.session.model().modelCode);
}

TEST(SessionBackupFlag, IsSetWhenTheRunEndsAndAlsoWhenItIsDeclined) {
  SessionBench b;
  b.connectWithoutBackup();
  EXPECT_FALSE(b.session.eepromRuns().backupMade());

  // "Does it Read OK ?" then a declined "Is it all right ?   ": no file, and yet made.
  b.prompt.answer(Answer::Yes).answer(Answer::Cancel);
  EXPECT_EQ(b.session.eepromRuns().backup(), CommandResult::Started);
  b.settle();
  EXPECT_TRUE(b.session.eepromRuns().backupMade());
  EXPECT_FALSE(std::filesystem::exists(b.folder / "EEPROM.MEM"));
  EXPECT_EQ(b.askedCount(texts::kReadOk), 1u);
  EXPECT_EQ(b.askedCount(texts::kRunConfirm), 1u);
}

TEST(SessionBackupFlag, StaysClearWhenTheBackupFails) {
  Settings s = settingsFor(sim::Protocol::Eap);
  s.fileSelect = 1;  // the file is chosen: a folder that does not exist
  SessionBench b(sim::Protocol::Eap, s, true);
  b.prompt.answer(Answer::Yes).answer(Answer::Ok);
  b.prompt.file(b.folder / "missing" / "X.MEM");
  ASSERT_EQ(b.session.connect(), ConnectResult::Connected);
  b.settle();
  EXPECT_FALSE(b.session.eepromRuns().backupMade());
  ASSERT_EQ(b.prompt.fileChoices().size(), 1u);
  EXPECT_EQ(b.prompt.fileChoices()[0].mode, core::FileChoice::Mode::Save);
  EXPECT_EQ(b.askedCount(eeprom::backupMessage(eeprom::BackupResult::FileNotOpened)), 1u);
}

TEST(SessionEepromMenu, RefusesWithoutAPortWithoutABackupAndDuringMotionDetection) {
  SessionBench b;
  EXPECT_EQ(b.session.eepromRuns().backup(), CommandResult::Refused);
  EXPECT_EQ(b.session.eepromRuns().factoryReset(), CommandResult::Refused);
  EXPECT_EQ(b.askedCount(texts::kSetPort), 2u);

  b.connectWithoutBackup();
  const auto heard = b.camera().frameLog().end();
  EXPECT_EQ(b.session.eepromRuns().writeBack(), CommandResult::Refused);
  const auto* refusal = b.find(texts::kBackupFirst);
  ASSERT_NE(refusal, nullptr);
  EXPECT_EQ(refusal->title, "Attention");
  EXPECT_EQ(refusal->icon, core::Icon::Exclamation);

  b.session.cameraState().setFlag(panels::SessionFlag::MotionDetection, true);
  EXPECT_EQ(b.session.eepromRuns().backup(), CommandResult::Refused);
  const auto* md = b.find(texts::kMdOffOnly);
  ASSERT_NE(md, nullptr);
  EXPECT_EQ(md->title, "ORVA2");
  EXPECT_EQ(b.camera().frameLog().end(), heard) << "a refused command sends nothing";
  EXPECT_EQ(b.prompt.unexpected(), 0);
}

TEST(SessionEepromMenu, WritesTheBackupBackAndForgetsTheChanges) {
  SessionBench b;
  b.prompt.answer(Answer::Yes).answer(Answer::Ok);
  ASSERT_EQ(b.session.connect(), ConnectResult::Connected);
  b.settle();
  ASSERT_TRUE(b.session.eepromRuns().backupMade());

  const std::uint8_t original = b.camera().memory().read(0x0810);
  ASSERT_TRUE(b.session.eap().writeByte(0x0810, static_cast<std::uint8_t>(original ^ 0xFF)));
  EXPECT_TRUE(b.session.connection().changedAddresses().contains(0x0810));

  b.prompt.answer(Answer::Yes).answer(Answer::Ok);  // "Does it Write OK ?", "Is it all right ?   "
  EXPECT_EQ(b.session.eepromRuns().writeBack(), CommandResult::Started);
  EXPECT_EQ(b.session.eepromRuns().backup(), CommandResult::Busy) << "one run at a time";
  b.settle();
  EXPECT_EQ(b.camera().memory().read(0x0810), original);
  EXPECT_TRUE(b.session.connection().changedAddresses().empty());
  EXPECT_EQ(b.askedCount(texts::kWriteOk), 1u);
  EXPECT_EQ(b.prompt.unexpected(), 0);
}

TEST(SessionEepromMenu, ChosenBackupFileIsNamedAndItsHeaderTakesTheIdentifiedVersions) {
  Settings s = settingsFor(sim::Protocol::Eap);
  s.fileSelect = 1;
  s.epfileModel = 1;  // QB-183 answers row reads, so its backup is headed
  SessionBench b(sim::Protocol::Eap, s, true);
  b.connectWithoutBackup();
  const std::size_t identified = b.camera().frameLog().end();
  ASSERT_TRUE(b.monitor.openLogFile(b.folder / "run.log"));

  b.prompt.file(b.folder / "head.mem").answer(Answer::Ok);
  ASSERT_EQ(b.session.eepromRuns().backup(), CommandResult::Started);
  b.settle();
  b.monitor.closeLog();
  std::ifstream log(b.folder / "run.log", std::ios::binary);
  EXPECT_NE(std::string(std::istreambuf_iterator<char>(log), {}).find("\n Select File Name > head.mem\n"),
            std::string::npos);
  std::ifstream in(b.folder / "head.mem", std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  // The name fills its 13 columns, as in files saved by other models.
  EXPECT_TRUE(text.starts_with("        QB-183         Camera Ver ")) << text.substr(0, 60);
  // The version registers were read by the identification, not again: a camera that stopped
  // answering them is still backed up.
  const auto frames = b.camera().frameLog().all();
  for (std::size_t i = identified; i < frames.size(); ++i) {
    const std::string& sent = frames[i].sent;
    const bool read = sent.size() >= 6 && (sent[1] == 'R' || sent[1] == 'r');
    EXPECT_FALSE(read && sent.substr(2, 3) == "010") << sent;
  }
}

TEST(SessionEepromMenu, FactoryResetAfterItsQuestion) {
  SessionBench b;
  b.connectWithoutBackup();
  EXPECT_TRUE(b.session.menus().state(MenuItem::ResetToFactoryDefault).enabled) << "a model with a factory image";
  ASSERT_TRUE(b.session.eap().writeByte(0x0810, 0x11));

  b.prompt.answer(Answer::Cancel);
  EXPECT_EQ(b.session.eepromRuns().factoryReset(), CommandResult::Declined);
  EXPECT_FALSE(b.session.connection().changedAddresses().empty());

  const auto waited = b.clock.elapsed();
  b.prompt.answer(Answer::Ok);
  EXPECT_EQ(b.session.eepromRuns().factoryReset(), CommandResult::Started);
  b.settle();
  const auto* question = b.find(eeprom::kFactoryResetQuestion);
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(question->title, "Confirmation");
  EXPECT_EQ(b.askedCount(eeprom::kRestoredText), 1u);
  EXPECT_TRUE(b.session.connection().changedAddresses().empty());
  EXPECT_GE(b.clock.elapsed() - waited, eeprom::kSoftResetWait) << "the restart wait ran, on the run thread";
  EXPECT_EQ(b.session.model().modelCode, kQb183) << "identified afresh";
  EXPECT_EQ(b.prompt.unexpected(), 0);
}

TEST(SessionLeaving, ExitWithChangesOffersTheRestoreAndStays) {
  SessionBench b;
  b.connectWithoutBackup();
  ASSERT_TRUE(b.session.eap().writeByte(0x0810, 0x11));

  b.prompt.answer(Answer::Cancel);
  EXPECT_EQ(b.session.exit(), LeaveResult::Stayed);
  b.settle();
  EXPECT_EQ(b.askedCount(eeprom::kRestoreQuestion), 1u);
  EXPECT_TRUE(b.session.connection().changedAddresses().empty());
  EXPECT_TRUE(b.session.connected());
  EXPECT_FALSE(std::filesystem::exists(b.folder / "ORVA.ini")) << "still running";

  EXPECT_EQ(b.session.exit(), LeaveResult::Left);
  EXPECT_EQ(b.askedCount(eeprom::kRestoreQuestion), 1u);
  EXPECT_FALSE(b.session.connected());
  EXPECT_TRUE(std::filesystem::exists(b.folder / "ORVA.ini"));
}

TEST(SessionLeaving, DisconnectWithChangesKeepsTheConnectionAndClosesTheLogWhenItGoes) {
  SessionBench b;
  b.connectWithoutBackup();
  ASSERT_TRUE(b.monitor.openLog(b.folder.path(), nullptr));
  b.session.menus().setChecked(MenuItem::LogFile, true);
  ASSERT_TRUE(b.session.eap().writeByte(0x0810, 0x11));

  b.prompt.answer(Answer::Cancel);
  EXPECT_EQ(b.session.disconnect(), LeaveResult::Stayed);
  b.settle();
  EXPECT_TRUE(b.session.connected());
  EXPECT_TRUE(b.monitor.logOpen());

  EXPECT_EQ(b.session.disconnect(), LeaveResult::Left);
  EXPECT_FALSE(b.monitor.logOpen());
  EXPECT_FALSE(b.session.menus().state(MenuItem::LogFile).checked);
  EXPECT_EQ(b.session.connection().launcherFields().model, texts::kNoModelField);
}

TEST(SessionStartup, AFailedConnectLeavesTheLineClosedAndForgetsTheCameraBefore) {
  SessionBench b;
  b.connectWithoutBackup();
  ASSERT_TRUE(b.session.launcher()[camera::LauncherItem::Ver].enabled);
  // A reconnect (as after a speed change) that finds no camera.
  b.plug("QB-183", orva::testing::faults({"silent"}));
  EXPECT_EQ(b.session.connect(), ConnectResult::OpenFailed);
  EXPECT_FALSE(b.session.connected());
  EXPECT_FALSE(b.session.link().isOpen());
  EXPECT_EQ(b.session.connection().launcherFields().model, texts::kNoModelField);
  EXPECT_TRUE(b.session.connection().portField().empty());
  EXPECT_FALSE(b.session.launcher()[camera::LauncherItem::Ver].enabled);
  EXPECT_FALSE(b.session.launcher()[camera::LauncherItem::ZoomFocus].enabled);
  EXPECT_FALSE(b.session.menus().state(MenuItem::CameraDataRead).enabled);
  EXPECT_EQ(b.askedCount(texts::kBackupQuestion), 1u);
}

// "/DS": whatever the line does, a connect without a camera goes on with the simulated one;
// without the switch the same line fails.
TEST(SessionStartup, NoCameraSwitchGoesOnWithoutACamera) {
  struct Line {
    const char* what;
    bool portOpens;
  };
  for (const Line line : {Line{"no port", false}, Line{"a port that does not open", false},
                          Line{"a port with a silent camera", true}}) {
    for (const bool noCamera : {true, false}) {
      SCOPED_TRACE(std::string(line.what) + (noCamera ? " with /DS" : " without /DS"));
      SessionBench b(sim::Protocol::Eap, settingsFor(sim::Protocol::Eap), true, StartSwitches{false, false, noCamera});
      if (line.portOpens) b.plug("QB-183", orva::testing::faults({"silent"}));
      else if (std::string_view(line.what) == "no port") b.session.connection().setChannel(nullptr, "");
      else b.session.connection().setChannel(std::make_unique<link::PosixSerialPort>((b.folder / "no-such-port").string()), "x");
      b.prompt.answer(Answer::No);
      const ConnectResult result = b.session.connect();
      if (!noCamera) {
        EXPECT_EQ(result, ConnectResult::OpenFailed);
        continue;
      }
      ASSERT_EQ(result, ConnectResult::Connected);
      EXPECT_EQ(b.session.model().modelCode, 0xCF0);
      EXPECT_EQ(b.session.link().noCameraMode(), link::NoCameraMode::Absent);
      ASSERT_EQ(b.session.disconnect(), LeaveResult::Left);
      EXPECT_EQ(b.session.link().noCameraMode(), link::NoCameraMode::Allowed);
    }
  }
}

// "RS Buffer Clear" and the About box's reads wait for the operation slot: a run waiting for
// a reply keeps it, and nothing of the camera is read meanwhile.
TEST(SessionLineCommands, LeaveTheLineToTheRunHoldingIt) {
  SessionBench b;
  b.connectWithoutBackup();
  ASSERT_EQ(b.session.link().writeByte(':'), link::IoResult::Ok);  // its echo is a reply on its way
  ASSERT_GT(b.session.link().queuedInput(), 0u);
  bool failed = false;
  {
    auto run = b.session.runner().claim();
    ASSERT_TRUE(run.has_value());
    const std::string before = b.monitor.snapshot().pc;
    EXPECT_FALSE(b.session.clearLineBuffers());
    EXPECT_FALSE(b.session.versionLines(failed).has_value());
    EXPECT_GT(b.session.link().queuedInput(), 0u);
    EXPECT_EQ(b.monitor.snapshot().pc, before);
  }
  EXPECT_TRUE(b.session.clearLineBuffers());
  EXPECT_EQ(b.session.link().queuedInput(), 0u);
  const auto lines = b.session.versionLines(failed);
  ASSERT_TRUE(lines.has_value());
  EXPECT_FALSE(failed);
  EXPECT_EQ(lines->size(), 2u);
}

// An operation of a panel that waits for the camera until it is told to stop.
struct WaitingOperation {
  panels::Operation operation() {
    return {"Goto ZOOM Start !!", "Goto ZOOM",
            [this](std::stop_token stop) {
              std::unique_lock lock(mutex);
              started = true;
              cv.notify_all();
              cv.wait(lock, stop, [] { return false; });
              stopped = true;
              return panels::Outcome::Stopped;
            },
            {}, {}};
  }
  void waitStarted() {
    std::unique_lock lock(mutex);
    cv.wait(lock, [this] { return started; });
  }
  std::mutex mutex;
  std::condition_variable_any cv;
  bool started = false;
  bool stopped = false;
};

TEST(SessionShutdown, AsksBeforeStoppingARunningOperationThenJoinsIt) {
  SessionBench b;
  b.connectWithoutBackup();
  WaitingOperation op;
  ASSERT_TRUE(b.session.runner().start(op.operation()));
  op.waitStarted();

  b.prompt.answer(Answer::Cancel);
  EXPECT_FALSE(b.session.shutdown().done);
  EXPECT_TRUE(b.session.runner().busy());
  EXPECT_TRUE(b.session.connected());
  EXPECT_FALSE(std::filesystem::exists(b.folder / "ORVA.ini"));
  EXPECT_EQ(b.session.disconnect(), LeaveResult::Busy) << "the line is not pulled from under a run";

  b.prompt.answer(Answer::Ok);
  const auto result = b.session.shutdown();
  EXPECT_TRUE(result.done);
  EXPECT_TRUE(result.saved) << result.saved.message();
  EXPECT_FALSE(b.session.runner().busy());
  {
    std::lock_guard lock(op.mutex);
    EXPECT_TRUE(op.stopped) << "stopped through its stop token, not cut off";
  }
  EXPECT_FALSE(b.session.link().isOpen());
  EXPECT_EQ(b.askedCount(texts::kStopRunQuestion), 2u);
  EXPECT_EQ(b.saved().modelCode, kQb183);
  EXPECT_TRUE(b.session.shutdown().done) << "a second shutdown does nothing";
  EXPECT_EQ(b.askedCount(texts::kStopRunQuestion), 2u);
}


TEST(SessionModelMenu, RunsOnTheRunThreadAndMarksTheMenuOnlyWhenItHasEnded) {
  SessionBench b;
  EXPECT_EQ(b.session.modelCommand(MenuItem::GainHighSensitivity), CommandResult::Refused);
  ASSERT_EQ(b.prompt.asked().size(), 1u);
  EXPECT_EQ(b.prompt.asked()[0].text, texts::kSetPort);

  b.connectWithoutBackup();
  b.camera().memory().write(0x1221, 0x00);
  int changes = 0;
  b.session.setChangeHandler([&] { ++changes; });
  ASSERT_EQ(b.session.modelCommand(MenuItem::GainHighSensitivity), CommandResult::Started);
  // While it runs the slot is taken: a second command is ignored.
  EXPECT_EQ(b.session.modelCommand(MenuItem::GainNormal), CommandResult::Busy);
  b.settle();
  EXPECT_EQ(b.camera().memory().read(0x1221), 0x01);
  EXPECT_TRUE(b.session.menus().state(MenuItem::GainHighSensitivity).checked);
  EXPECT_FALSE(b.session.menus().state(MenuItem::GainNormal).checked);
  EXPECT_GE(changes, 1);
  EXPECT_EQ(b.session.model().modelCode, kQb183);  // identified again after the restart
  EXPECT_FALSE(b.session.runner().busy());
}


TEST(SessionSendFile, PlaysTheChosenFileAndSaysWhenItCannotBeRead) {
  SessionBench b;
  {
    std::ofstream out(b.folder / "cmd.dat", std::ios::binary);
    out << "set the format\r\n:W11EE88\r\n";
  }
  b.connectWithoutBackup();
  b.prompt.file(b.folder / "cmd.dat").file(b.folder / "missing.dat");
  ASSERT_EQ(b.session.eepromRuns().sendFile(), CommandResult::Started);
  b.settle();
  EXPECT_EQ(b.camera().memory().read(0x11EE), 0x88);
  EXPECT_NE(b.monitor.snapshot().pc.find("set the format"), std::string::npos);
  EXPECT_NE(b.monitor.snapshot().pc.find(" Select File Name > cmd.dat"), std::string::npos);

  ASSERT_EQ(b.session.eepromRuns().sendFile(), CommandResult::Started);
  b.settle();
  const auto& asked = b.prompt.asked();
  ASSERT_FALSE(asked.empty());
  EXPECT_NE(asked.back().text.find("missing.dat"), std::string::npos);
  EXPECT_EQ(asked.back().title, texts::kAttention);
}


TEST(SessionProtocol, SwitchingWhileConnectedForgetsTheChangesAndGatesForTheNewProtocol) {
  SessionBench b;
  b.connectWithoutBackup();
  b.session.selectProtocol(link::Protocol::Eap);  // already in use: nothing
  EXPECT_EQ(b.camera().memory().read(0xFA58), 0x00);

  ASSERT_TRUE(b.session.eap().writeByte(0x1800, 0x12));
  EXPECT_FALSE(b.session.connection().changedAddresses().empty());
  b.session.selectProtocol(link::Protocol::Afp);
  EXPECT_EQ(b.session.link().protocol(), link::Protocol::Afp);
  EXPECT_TRUE(b.session.connection().changedAddresses().empty());
  EXPECT_TRUE(b.session.menus().state(MenuItem::AfpSelect).checked);
  EXPECT_FALSE(b.session.menus().state(MenuItem::EapSelect).checked);
  // AFP offers no preset memory keys.
  EXPECT_FALSE(b.session.launcher()[camera::LauncherItem::MemoryKey1].enabled);
  EXPECT_TRUE(static_cast<bool>(b.session.shutdown().saved));
  EXPECT_EQ(b.saved().protocol, kProtocolAfp);
}

}  // namespace
}  // namespace orva::shell
