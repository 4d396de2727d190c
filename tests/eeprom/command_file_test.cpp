// Command files: how a file is cut into lines, what goes on the line and what the monitor
// shows when it is played, and how a run ends early.
#include "eeprom/command_file.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <stop_token>
#include <string>

#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "core/prompt.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/testing/scripted_channel.hpp"
#include "camera_bench.hpp"
#include "support/temp_folder.hpp"

namespace orva {
namespace {

using namespace std::chrono_literals;
using eeprom::CommandLineKind;
using eeprom::SendResult;

const std::string kLongHead = ":" + std::string(78, 'A');  // the first 79 characters
constexpr std::string_view kLongTail = "tail of the long line";  // the other 21

// A ScriptedChannel camera that echoes exactly the bytes in `echo`, one per byte sent.
struct EchoBench {
  explicit EchoBench(std::string echo) : link(clock, monitor) {
    auto owned = std::make_unique<link::testing::ScriptedChannel>(clock);
    line = owned.get();
    line->answers = std::move(echo);
    link.setChannel(std::move(owned));
    EXPECT_TRUE(link.open());
  }
  core::FakeClock clock{0ms};
  core::RecordingMonitorSink monitor;
  link::Link link;
  link::testing::ScriptedChannel* line = nullptr;
  link::Eap eap{link};
  link::Afp afp{link};
};

// Requests a stop when the pause message is shown, as an operator cancelling the run there.
class StopAtPause final : public core::Prompt {
 public:
  explicit StopAtPause(std::stop_source& stop) : stop_(stop) {}
  core::Answer ask(std::string_view, std::string_view, core::Buttons, core::Icon) override {
    stop_.request_stop();
    return core::Answer::Ok;
  }
  std::optional<std::filesystem::path> chooseFile(const core::FileChoice&) override { return std::nullopt; }
  void progress(std::string_view, std::size_t, std::size_t) override {}
  bool cancelled() const override { return false; }
  void busy(bool) override {}

 private:
  std::stop_source& stop_;
};

TEST(CommandFileParse, CutsLinesByTheirLineEndsAndEvery79Characters) {
  const std::string file = "note\r\n" + kLongHead + std::string(kLongTail) + "\n" + std::string(79, '/') + "\r\n" +
                           "\n" + "pause in lower case\n" + "Pause\n" + std::string("ab\0cd\n", 6) + "\r:lone CR\n" +
                           std::string("\xFF\x01", 2) + "\n" + ":W1234AB";
  const eeprom::CommandFile lines = eeprom::parseCommandFile(file);

  struct Want {
    CommandLineKind kind;
    std::string text;
    std::size_t fileLine;
  };
  const std::vector<Want> want{
      {CommandLineKind::Comment, "note\n", 1},
      {CommandLineKind::Command, kLongHead, 2},
      {CommandLineKind::Comment, std::string(kLongTail) + "\n", 2},
      {CommandLineKind::Command, std::string(79, '/') + "\n", 3},
      {CommandLineKind::Comment, "\n", 4},
      {CommandLineKind::Comment, "pause in lower case\n", 5},
      {CommandLineKind::Pause, "Pause\n", 6},
      {CommandLineKind::Comment, "ab", 7},
      {CommandLineKind::Comment, "\r:lone CR\n", 8},
      {CommandLineKind::Comment, "\xFF\x01\n", 9},
      {CommandLineKind::Command, ":W1234AB", 10},
  };
  ASSERT_EQ(lines.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(lines[i].kind, want[i].kind) << i;
    EXPECT_EQ(lines[i].text, want[i].text) << i;
    EXPECT_EQ(lines[i].fileLine, want[i].fileLine) << i;
  }
  EXPECT_TRUE(eeprom::parseCommandFile("").empty());
}

TEST(CommandFileSend, CommandsGoOutTypedAndCommentsFrameThemInTheMonitor) {
  const std::string onLine = ":W1234AB" + kLongHead + ":W00FF01";
  EchoBench b(onLine);
  core::ScriptedPrompt prompt;
  const std::string file = "Zoom preset\r\n:W1234AB\r\nDone\r\nPress OK to go on\r\np is a comment\r\n" + kLongHead +
                           std::string(kLongTail) + "\r\n:W00FF01";

  const SendResult r = eeprom::CommandFileSender(b.link, b.eap, b.afp, prompt).send(eeprom::parseCommandFile(file));

  EXPECT_EQ(r.outcome, SendResult::Outcome::Done);
  EXPECT_EQ(r.linesDone, 8u);
  EXPECT_EQ(b.line->sent, onLine);
  EXPECT_EQ(b.monitor.camera(), onLine);
  EXPECT_EQ(b.monitor.pc(), "Zoom preset:W1234AB\r\nDone\n\rp is a comment" + kLongHead + "\r\n" +
                                std::string(kLongTail) + ":W00FF01");
  ASSERT_EQ(prompt.asked().size(), 1u);
  EXPECT_EQ(prompt.asked()[0].text, "The Pause command was found !!");
  EXPECT_EQ(prompt.asked()[0].title, "Send File...");
  EXPECT_EQ(prompt.asked()[0].icon, core::Icon::Exclamation);
  EXPECT_EQ(prompt.asked()[0].buttons, core::Buttons::Ok);
  EXPECT_EQ(prompt.lastProgressDone(), 8u);
  EXPECT_FALSE(b.monitor.typedInput());
}

TEST(CommandFileSend, ALastCommentIsShownWholeWithACarriageReturn) {
  EchoBench b(":W0001FF");
  core::ScriptedPrompt prompt;
  const SendResult r =
      eeprom::CommandFileSender(b.link, b.eap, b.afp, prompt).send(eeprom::parseCommandFile(":W0001FF\nDone"));
  EXPECT_EQ(r.outcome, SendResult::Outcome::Done);
  EXPECT_EQ(b.line->sent, ":W0001FF");
  EXPECT_EQ(b.monitor.pc(), ":W0001FF\r\nDone\r");
}

TEST(CommandFileSend, AStopDuringThePauseEndsTheRunBeforeTheNextLine) {
  EchoBench b(":W1234AB:W5678CD");
  std::stop_source stop;
  StopAtPause prompt(stop);
  const SendResult r = eeprom::CommandFileSender(b.link, b.eap, b.afp, prompt)
                           .send(eeprom::parseCommandFile(":W1234AB\nPause\n:W5678CD\n"), stop.get_token());
  EXPECT_EQ(r.outcome, SendResult::Outcome::Cancelled);
  EXPECT_EQ(r.fileLine, 3u);
  EXPECT_EQ(r.linesDone, 2u);
  EXPECT_EQ(b.line->sent, ":W1234AB");
}

TEST(CommandFileSend, AFailedCharacterStopsTheFileAtItsLine) {
  testing::Bench b(sim::Protocol::Eap, testing::faults({"hangup:1"}));

  const SendResult r = eeprom::CommandFileSender(b.link, b.eap, b.afp, b.prompt)
                           .send(eeprom::parseCommandFile(":W1234AB\nthen\n:W5678CD\n:W2000EE\n"));

  EXPECT_EQ(r.outcome, SendResult::Outcome::Failed);
  EXPECT_EQ(r.fileLine, 3u);
  EXPECT_EQ(r.linesDone, 2u);
  EXPECT_EQ(b.camera.memory().read(0x1234), 0xAB);
  EXPECT_EQ(b.monitor.pc(), ":W1234AB\r\nthen:\r\n!! RS-232C read error.\r\n   the device is gone\r\n!! RS-232C not open.\r\n   virtual camera: the device is gone");
  EXPECT_FALSE(b.monitor.typedInput());
}

TEST(CommandFileRead, AFileThatCannotBeReadIsNamedWithTheReason) {
  testing::TempFolder folder;
  auto missing = eeprom::readCommandFile(folder / "missing.dat");
  ASSERT_TRUE(missing.failed());
  EXPECT_EQ(missing.message(), "could not open " + (folder / "missing.dat").string() + ": No such file or directory");
  auto directory = eeprom::readCommandFile(folder.path());
  ASSERT_TRUE(directory.failed());
  EXPECT_EQ(directory.message(), "could not read " + folder.path().string() + ": Is a directory");

  std::ofstream(folder / "zoom.dat") << "Zoom\r\n:W1234AB";
  auto read = eeprom::readCommandFile(folder / "zoom.dat");
  ASSERT_TRUE(read) << read.message();
  ASSERT_EQ(read->size(), 2u);
  EXPECT_EQ((*read)[1].text, ":W1234AB");
}

TEST(CommandFileDialog, TheSendFileDialogOffersDataFilesThenAllFiles) {
  const core::FileChoice open = eeprom::fileChoice(eeprom::kSendFileDialogMode);
  EXPECT_EQ(open.mode, core::FileChoice::Mode::Open);
  EXPECT_EQ(open.title, "File Open");
  EXPECT_EQ(open.filter, "Data files (*.dat);;All files (*.*)");
  const core::FileChoice save = eeprom::fileChoice(25, "setup.csu");
  EXPECT_EQ(save.mode, core::FileChoice::Mode::Save);
  EXPECT_EQ(save.title, "File Save");
  EXPECT_EQ(save.filter, "CSU files (*.csu)");
  EXPECT_EQ(eeprom::fileFilters(15).front().description, "All Files (*.*)");
}

TEST(CommandFileDialog, AChosenFileIsNamedWithoutItsFolderAndACancelNamesNothing) {
  core::ScriptedPrompt prompt;
  core::RecordingMonitorSink monitor;
  prompt.file(std::filesystem::path("/home/op/images") / "cam 1.mem").file(std::nullopt);
  const auto choice = eeprom::fileChoice(1);
  EXPECT_EQ(eeprom::chooseFile(prompt, monitor, choice), std::filesystem::path("/home/op/images/cam 1.mem"));
  EXPECT_EQ(eeprom::chooseFile(prompt, monitor, choice), std::nullopt);
  EXPECT_EQ(monitor.pc(), "\r\n Select File Name > cam 1.mem\r\n");
  EXPECT_EQ(monitor.log(), "\n Select File Name > cam 1.mem\n");
}

}  // namespace
}  // namespace orva
