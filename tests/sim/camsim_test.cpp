// orva-camsim as the tool meets it: a child process, a pty path on its first line, a serial
// line that answers character by character. What orva-cli sees of it (answers across reopens,
// another speed, a hang-up, a speed change, a model) is the end-to-end tests' (CliCamsim); here
// what only the program's own options and signals show.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "eeprom/image.hpp"
#include "support/child_process.hpp"
#include "support/temp_folder.hpp"

namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

namespace fs = std::filesystem;

// orva-camsim with its stdout on a pipe and its stderr in a file.
class Camsim : public orva::testing::ChildProcess {
 public:
  Camsim(std::vector<std::string> args, const fs::path& errFile)
      : ChildProcess(ORVA_CAMSIM_PATH, std::move(args), errFile) {}
};

// The tool's end of the line, opened raw at a given speed.
class ToolEnd {
 public:
  ToolEnd(const std::string& path, speed_t speed)
      : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    EXPECT_GE(fd_, 0) << path;
    setSpeed(speed);
  }
  ~ToolEnd() { ::close(fd_); }
  ToolEnd(const ToolEnd&) = delete;
  ToolEnd& operator=(const ToolEnd&) = delete;

  void setSpeed(speed_t speed) {
    termios tio{};
    ::tcgetattr(fd_, &tio);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    EXPECT_EQ(::tcsetattr(fd_, TCSANOW, &tio), 0);
  }

  // Each character waits for its answer, as in block-read mode 0.
  std::string exchange(std::string_view frame, int timeoutMs = 2000) {
    std::string answered;
    for (char c : frame) {
      if (::write(fd_, &c, 1) != 1) break;
      auto b = readByte(timeoutMs);
      if (!b) break;
      answered += *b;
    }
    return answered;
  }

  void send(std::string_view frame) { EXPECT_EQ(::write(fd_, frame.data(), frame.size()), std::ssize(frame)); }

  // Up to `n` characters, each waited for up to `timeoutMs`.
  std::string read(std::size_t n, int timeoutMs = 2000) {
    std::string got;
    while (got.size() < n) {
      auto b = readByte(timeoutMs);
      if (!b) break;
      got += *b;
    }
    return got;
  }

  std::optional<char> readByte(int timeoutMs) {
    pollfd p{fd_, POLLIN, 0};
    char b = 0;
    if (::poll(&p, 1, timeoutMs) != 1 || ::read(fd_, &b, 1) != 1) return std::nullopt;
    return b;
  }

 private:
  int fd_;
};

// The child of this process running `program` (its name as the kernel shows it); 0: none.
pid_t childNamed(std::string_view program) {
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid, comm, state;
    pid_t parent = 0;
    if (!(stat >> pid >> comm >> state >> parent)) continue;
    if (parent == ::getpid() && comm == "(" + std::string(program) + ")") return std::stoi(pid);
  }
  return 0;
}

class CamsimTest : public ::testing::Test {
 protected:

  fs::path writeProfile(const std::string& text) {
    std::ofstream(dir / "cam.profile") << text;
    return dir / "cam.profile";
  }
  std::string errText() {
    std::ifstream in(dir / "err.txt");
    return {std::istreambuf_iterator<char>(in), {}};
  }
  static std::string ptyPath(const std::string& firstLine) {
    EXPECT_THAT(firstLine, ::testing::StartsWith("PTY /dev/"));
    return firstLine.size() > 4 ? firstLine.substr(4) : std::string{};
  }

  orva::testing::TempFolder folder_;
  const fs::path& dir = folder_.path();
};

TEST_F(CamsimTest, SpeaksAfpWithCompletionsAndTheChangeRequestsOnSigusr1AndSigusr2) {
  const auto profile = writeProfile("settings 9600,N,8,1\ncompletion 5\n");
  Camsim sim({"--profile", profile.string(), "--protocol", "afp", "--verbose"}, dir / "err.txt");
  const std::string pty = ptyPath(sim.firstLine());
  ToolEnd tool(pty, B9600);
  tool.send("S018105T");
  const std::string replies = tool.read(8);
  ASSERT_EQ(replies.size(), 8u) << replies;
  const char slot = replies[1];
  EXPECT_EQ(replies, std::string("R") + slot + "0TX" + slot + "0T") << "accepted, then completed in its slot";
  EXPECT_NE(std::string_view("0123456789ABCDEF").find(slot), std::string_view::npos);
  tool.send("G0181FFT");
  EXPECT_EQ(tool.read(8), "Y018105T");

  const pid_t camsim = childNamed("orva-camsim");
  ASSERT_GT(camsim, 0);
  ASSERT_EQ(::kill(camsim, SIGUSR1), 0);
  EXPECT_EQ(tool.read(4), "I11T");
  ASSERT_EQ(::kill(camsim, SIGUSR2), 0);
  EXPECT_EQ(tool.read(4), "I12T");
  EXPECT_EQ(sim.signalAndWait(SIGTERM), 0);
  EXPECT_THAT(errText(), HasSubstr("S018105T -> R00T\ncamera: X00T\n"));
  EXPECT_THAT(errText(), HasSubstr("camera: I11T\ncamera: I12T\n"));
}

TEST_F(CamsimTest, ListsTheModels) {
  Camsim list({"--list-models"}, dir / "err.txt");
  EXPECT_EQ(list.firstLine(), "QB-145");
  EXPECT_EQ(list.waitForExit(), 0);
}

TEST_F(CamsimTest, LoadsAnEepromImageServesItAndSavesItWhenStopped) {
  const orva::eeprom::Range range{0x1000, 0x1080};
  orva::eeprom::Image image{range.start, std::vector<std::uint8_t>(range.bytes())};
  for (std::size_t i = 0; i < image.bytes.size(); ++i) image.bytes[i] = static_cast<std::uint8_t>(i * 3);
  ASSERT_FALSE(orva::eeprom::writeImageFile(dir / "in.txt", image).failed());
  const auto profile = writeProfile("settings 9600,N,8,1\neeprom 1000 1080\nfactory 20\n");
  Camsim sim({"--profile", profile.string(), "--eeprom", (dir / "in.txt").string(), "--save-eeprom",
              (dir / "out.txt").string()},
             dir / "err.txt");
  const std::string first = sim.firstLine();
  ASSERT_FALSE(first.empty()) << errText();
  ToolEnd tool(ptyPath(first), B9600);

  // A row as the tool reads it: the byte read, then one blank per further digit.
  EXPECT_EQ(tool.exchange(":R101000"), ":R101030");
  std::string rest;
  for (int i = 0; i < 30; ++i) rest += tool.exchange(" ");
  EXPECT_EQ(rest, "3336393C3F4245484B4E5154575A5D");

  // Changed, restored by a factory default, changed again: the last state is saved.
  EXPECT_EQ(tool.exchange(":W100055"), ":W100055");
  EXPECT_EQ(tool.exchange(":WF8D801"), ":WF8D801");
  std::string status;
  for (int i = 0; i < 200 && status != ":RF8D803"; ++i) {
    std::this_thread::sleep_for(5ms);
    status = tool.exchange(":RF8D800");
  }
  EXPECT_EQ(status, ":RF8D803");
  EXPECT_EQ(tool.exchange(":R100000"), ":R100000") << "the image is the factory contents";
  EXPECT_EQ(tool.exchange(":W107FAB"), ":W107FAB");
  EXPECT_EQ(sim.signalAndWait(SIGINT), 0);

  image.bytes.back() = 0xAB;
  auto saved = orva::eeprom::readImageFile(dir / "out.txt", range);
  ASSERT_TRUE(saved) << saved.message();
  EXPECT_EQ(*saved, image);
  EXPECT_THAT(errText(), HasSubstr("orva-camsim: EEPROM 1000-107F\n"));
}

TEST_F(CamsimTest, AnEepromThatCannotBeSavedExitsWithOne) {
  Camsim sim({"--model", "QB-145", "--save-eeprom", (dir / "none" / "out.txt").string()}, dir / "err.txt");
  ptyPath(sim.firstLine());
  EXPECT_EQ(sim.signalAndWait(SIGTERM), 1);
  EXPECT_THAT(errText(), HasSubstr((dir / "none" / "out.txt").string()));
}

TEST_F(CamsimTest, RefusesBadArgumentsWithExitTwoAndNoPty) {
  std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"--settings", "9601,N,8,1"}, "is not a settings text"},
      {{"--fault", "loud"}, "unknown kind"},
      {{"--fault", "wrong-echo:0"}, "at least 1"},
      {{"--model", "X"}, "--list-models shows the names"},
      {{"--model", "QB-145", "--protocol", "afp"}, "speaks EAP only"},
      {{"--eeprom", "image.txt"}, "--eeprom needs a camera with an EEPROM range"},
      {{"--save-eeprom", "image.txt"}, "--save-eeprom needs a camera with an EEPROM range"},
      {{"--eeprom-seed", "3"}, "--model"},
      {{"--model", "QB-183", "--eeprom", "/nonexistent/image.txt"}, "/nonexistent/image.txt"},
      {{"--protocol", "xyz"}, "xyz"},
      {{"--profile", "/nonexistent/cam.profile"}, "/nonexistent/cam.profile"},
      {{"--bogus"}, "bogus"},
  };
  std::ofstream(dir / "bad.txt") << "not an image\n";
  cases.push_back({{"--model", "QB-183", "--eeprom", (dir / "bad.txt").string()}, (dir / "bad.txt").string()});
  for (const auto& [args, expected] : cases) {
    Camsim sim(args, dir / "err.txt");
    EXPECT_EQ(sim.firstLine(), "") << args[0];
    EXPECT_EQ(sim.waitForExit(), 2) << args[0];
    EXPECT_THAT(errText(), HasSubstr(expected)) << args[0];
  }
  Camsim version({"--version"}, dir / "err.txt");
  EXPECT_THAT(version.firstLine(), ::testing::StartsWith("orva-camsim "));
  EXPECT_EQ(version.waitForExit(), 0);
}

}  // namespace
