// orva-cli against orva-camsim on a pseudo-terminal, as a user runs them: the real termios
// code, the bytes on the line, the texts on stderr, the log file and the exit codes. How the
// link reports each fault is EapCamera's (in process); a line that dies under orva-cli is
// EepromE2e's (LinkDyingMidBackup, LinkDyingMidWrite).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/child_process.hpp"
#include "support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using orva::testing::ChildProcess;
using orva::testing::ProgramRun;

class CliCamsim : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(dir_ / "cam.profile") << "settings 9600,E,8,1\n0102: 53\n1000: AB CD\n";
  }
  void TearDown() override { camsim_.reset(); }

  void startCamera(std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--profile", (dir_ / "cam.profile").string(), "--verbose"};
    args.insert(args.end(), extra.begin(), extra.end());
    camsim_ = std::make_unique<ChildProcess>(ORVA_CAMSIM_PATH, args, dir_ / "camsim.err");
    const std::string first = camsim_->firstLine();
    ASSERT_THAT(first, ::testing::StartsWith("PTY /dev/"));
    pty_ = first.substr(4);
  }
  ProgramRun cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--port", pty_, "--settings", "9600,E,8,1", "--no-negotiate"});
    return orva::testing::runProgram(ORVA_CLI_PATH, args, dir_ / "cli.err");
  }
  std::string cameraHeard() {
    camsim_->signalAndWait(SIGTERM);
    std::ifstream in(dir_ / "camsim.err");
    return {std::istreambuf_iterator<char>(in), {}};
  }

  orva::testing::TempFolder folder_;
  const fs::path& dir_ = folder_.path();
  std::string pty_;
  std::unique_ptr<ChildProcess> camsim_;
};

TEST_F(CliCamsim, ReadsAndWritesPrintOnlyTheResult) {
  startCamera();
  ProgramRun r = cli({"read", "0102"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "53\n");
  EXPECT_EQ(r.err, "");
  r = cli({"read-word", "1000"});
  EXPECT_EQ(r.out, "ABCD\n");
  EXPECT_EQ(cli({"write", "0102", "7f"}).exitCode, 0);
  EXPECT_EQ(cli({"write-word", "2000", "BEEF"}).out, "");
  EXPECT_EQ(cli({"read", "0102"}).out, "7F\n");
  EXPECT_EQ(cli({"read-word", "2000"}).out, "BEEF\n");
  const std::string heard = cameraHeard();
  EXPECT_THAT(heard, HasSubstr(":R010200 -> :R010253\n"));
  EXPECT_THAT(heard, HasSubstr(":r10000000 -> :r1000ABCD\n"));
  EXPECT_THAT(heard, HasSubstr(":W01027F -> :W01027F\n"));
  EXPECT_THAT(heard, HasSubstr(":w2000BEEF -> :w2000BEEF\n"));
}

TEST_F(CliCamsim, MonitorAndLogShowTheTraffic) {
  startCamera();
  const fs::path log = dir_ / "session.log";
  ProgramRun r = cli({"read", "0102", "--monitor", "--log", log.string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_THAT(r.err, HasSubstr(":R010200                                | :R010253\n"));
  std::ifstream in(log);
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(text, "\n:\t\t\t:\nR\t\t\tR\n0\t\t\t0\n1\t\t\t1\n0\t\t\t0\n2\t\t\t2\n0\t\t\t5\n0\t\t\t3\n");
}

TEST_F(CliCamsim, WrongSpeedIsAReceiveErrorUnlessNegotiatedAndAMissingPortSaysWhy) {
  startCamera();
  ProgramRun r = orva::testing::runProgram(
      ORVA_CLI_PATH, {"--port", pty_, "--settings", "19200,E,8,1", "--no-negotiate", "read", "0102"}, dir_ / "cli.err");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "!! RS-232C receive error.\n");
  // The search finds the camera at its own speed; its failed probes are not errors of the command.
  r = orva::testing::runProgram(ORVA_CLI_PATH, {"--port", pty_, "--settings", "19200,E,8,1", "read", "0102"},
                                dir_ / "cli.err");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "53\n");
  EXPECT_EQ(r.err, "");

  r = orva::testing::runProgram(ORVA_CLI_PATH, {"--port", (dir_ / "ttyUSB9").string(), "read", "0102"},
                                dir_ / "cli.err");
  EXPECT_EQ(r.exitCode, 1);
  // It stops at the open failure: no search, and no blame on a camera it never reached.
  EXPECT_EQ(r.err, "!! RS-232C not open.\n   could not open " + (dir_ / "ttyUSB9").string() +
                       ": the device does not exist (is the adapter unplugged?)\n");
}

TEST_F(CliCamsim, FoundAndReadBehindASlowAdapterWithAStrayByteAfterEachSpeedChange) {
  startCamera({"--fault", "latency:16", "--fault", "stray:30"});
  ProgramRun r = orva::testing::runProgram(ORVA_CLI_PATH, {"--port", pty_, "--settings", "4800,E,8,1", "read", "0102"},
                                           dir_ / "cli.err");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "53\n");
  EXPECT_THAT(cameraHeard(), HasSubstr("camera: \\xFF\n"));
}

TEST_F(CliCamsim, BadArgumentsExitTwoWithoutTouchingTheLine) {
  startCamera();
  for (auto args : std::vector<std::vector<std::string>>{{"read", "10000"}, {"read", "xyz"}, {"write", "0102", "100"},
                                                        {"write-word", "0102", "1FFFF"}, {"read"}}) {
    ProgramRun r = cli(args);
    EXPECT_EQ(r.exitCode, 2) << ::testing::PrintToString(args);
    EXPECT_THAT(r.err, HasSubstr("orva-cli: ")) << ::testing::PrintToString(args);
  }
  EXPECT_THAT(cameraHeard(), ::testing::Not(HasSubstr("->")));
}

}  // namespace

namespace {

// A camera that speaks AFP, refuses one code and completes its sets after 50 ms.
class CliCamsimAfp : public CliCamsim {
 protected:
  void SetUp() override {
    CliCamsim::SetUp();
    std::ofstream(dir_ / "cam.profile") << "settings 9600,E,8,1\nprotocol afp\n0102: 53\ncompletion 50\n"
                                          "refuse 1234 3\nrestart 200\n";
  }
  ProgramRun afp(std::vector<std::string> args) {
    args.insert(args.begin(), {"--protocol", "afp"});
    return cli(std::move(args));
  }
};

TEST_F(CliCamsimAfp, SetGetRefusalAndTheGateway) {
  startCamera();
  EXPECT_EQ(afp({"set", "3209", "05"}).exitCode, 0);
  ProgramRun r = afp({"get", "3209"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "05\n");
  r = afp({"get", "2101", "--width", "16"});
  EXPECT_EQ(r.out, "0000\n");
  r = afp({"set", "1234", "01"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "orva-cli: the camera refused the command (status 3)\n");
  EXPECT_EQ(afp({"read", "0102"}).out, "53\n");
  EXPECT_EQ(afp({"write-word", "2000", "BEEF"}).exitCode, 0);
  EXPECT_EQ(afp({"read-word", "2000"}).out, "BEEF\n");
  EXPECT_EQ(afp({"read", "2001"}).out, "EF\n");
  const std::string heard = cameraHeard();
  EXPECT_THAT(heard, HasSubstr("S320905T -> R"));
  EXPECT_THAT(heard, HasSubstr("GFE010102FFT -> YFE01010253T"));
}

TEST_F(CliCamsimAfp, NegotiationFindsTheCameraInTheOtherProtocolAtAnotherForm) {
  startCamera();
  // The tool starts at 4800 even in EAP: the camera answers only AFP at 9600 even.
  ProgramRun r = orva::testing::runProgram(ORVA_CLI_PATH, {"--port", pty_, "read", "0102", "--monitor"},
                                           dir_ / "cli.err");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "53\n");
  EXPECT_THAT(r.err, HasSubstr("<< AFP Access Check ... !! >>"));
  EXPECT_THAT(r.err, HasSubstr("check baudrate ... 9600,E,8  ,1"));
}

TEST_F(CliCamsim, ProtocolSwitchBothWaysAndSpeedChangeWithReconnect) {
  std::ofstream(dir_ / "cam.profile") << "settings 9600,E,8,1\n0102: 53\nrestart 200\n";
  startCamera();
  EXPECT_EQ(cli({"protocol", "afp"}).out, "afp\n");
  EXPECT_EQ(cli({"--protocol", "afp", "read", "0102"}).out, "53\n");
  EXPECT_EQ(cli({"--protocol", "afp", "protocol", "eap"}).out, "eap\n");
  EXPECT_EQ(cli({"read", "0102"}).out, "53\n");

  // Without a terminal the question needs --yes.
  ProgramRun r = cli({"speed", "19200,N,8,1"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_THAT(r.err, HasSubstr("--yes"));
  r = cli({"speed", "19200,N,8,1", "--yes"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "19200,N,8 ,1\n");
  r = orva::testing::runProgram(ORVA_CLI_PATH,
                                {"--port", pty_, "--settings", "19200,N,8,1", "--no-negotiate", "read", "0102"},
                                dir_ / "cli.err");
  EXPECT_EQ(r.out, "53\n");
  EXPECT_THAT(cameraHeard(), HasSubstr(":WE05EF9 -> :WE05EF9"));
}

}  // namespace

namespace {

std::string withoutLinkLines(const std::string& record) {
  std::string out;
  std::istringstream in(record);
  for (std::string line; std::getline(in, line);)
    if (!line.starts_with("protocol: ") && !line.starts_with("settings: ")) out += line + "\n";
  return out;
}

TEST_F(CliCamsim, TheVirtualModelIsIdentifiedAlikeInProcessAndOnAPty) {
  camsim_ = std::make_unique<ChildProcess>(
      ORVA_CAMSIM_PATH, std::vector<std::string>{"--model", "QB-183", "--protocol", "afp", "--settings", "9600,E,8,1"},
      dir_ / "camsim.err");
  pty_ = camsim_->firstLine().substr(4);
  ProgramRun onPty = cli({"--protocol", "afp", "identify"});
  ASSERT_EQ(onPty.exitCode, 0) << onPty.err;
  ProgramRun inProcess = orva::testing::runProgram(
      ORVA_CLI_PATH, {"--simulate=QB-183", "--protocol", "afp", "identify"}, dir_ / "cli.err");
  ASSERT_EQ(inProcess.exitCode, 0) << inProcess.err;
  EXPECT_THAT(onPty.out, ::testing::StartsWith("model: QB-183\nmodel code: 13F0\nlens: 24\nclass: 8\n"));
  EXPECT_THAT(onPty.out, HasSubstr("protocol: AFP\nsettings: 9600,E,8  ,1\n"));
  EXPECT_EQ(withoutLinkLines(onPty.out), withoutLinkLines(inProcess.out));
}

TEST_F(CliCamsim, ACameraOfNoKnownModelIsNotSupportedAndUnknownModelsAreRefused) {
  startCamera();  // a plain profile: no identification registers
  ProgramRun r = cli({"identify"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_THAT(r.out, ::testing::StartsWith("model: Not supported\nmodel code: 00FF\n"));
  r = orva::testing::runProgram(ORVA_CLI_PATH, {"--simulate=QB-999", "identify"}, dir_ / "cli.err");
  EXPECT_EQ(r.exitCode, 2);
  r = orva::testing::runProgram(ORVA_CLI_PATH, {"models"}, dir_ / "cli.err");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_THAT(r.out, HasSubstr("QB-183\t13F0\tEAP AFP\n"));
}

}  // namespace
