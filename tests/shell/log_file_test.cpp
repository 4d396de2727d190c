#include "shell/log_file.hpp"

#include "support/temp_folder.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "core/prompt.hpp"
#include "shell/monitor.hpp"
#include "shell/texts.hpp"

namespace orva::shell {
namespace {

namespace fs = std::filesystem;

const core::LocalTime kDay31 = {2024, 1, 31, 9, 5, 7};

using orva::testing::TempFolder;

std::string contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TEST(LogFile, IsNamedAfterDayHourMinuteSecond) {
  EXPECT_EQ(LogFile::baseName(kDay31), "31090507");
  EXPECT_EQ(LogFile::baseName({2024, 3, 5, 14, 3, 9}), "05140309");
}

TEST(LogFile, NeverReplacesALogOfTheSameName) {
  TempFolder dir;
  std::ofstream(dir.path() / "31090507.log") << "earlier";
  core::FixedWallClock clock(kDay31);
  LogFile a(clock), b(clock);
  EXPECT_EQ(a.open(dir.path()).value(), dir.path() / "31090507-2.log");
  EXPECT_EQ(b.open(dir.path()).value(), dir.path() / "31090507-3.log");
  EXPECT_EQ(contents(dir.path() / "31090507.log"), "earlier");
}

TEST(LogFile, OpensRacingInOneSecondGetFilesOfTheirOwn) {
  TempFolder dir;
  core::FixedWallClock clock(kDay31);
  std::vector<fs::path> paths(4);
  {
    std::vector<std::jthread> threads;
    for (auto& path : paths) threads.emplace_back([&] { path = LogFile(clock).open(dir.path()).value(); });
  }
  EXPECT_EQ(std::set<fs::path>(paths.begin(), paths.end()).size(), paths.size());
}

TEST(LogFile, WritesWholeLinesAtOnceAndEndsWithALineBreak) {
  TempFolder dir;
  core::FixedWallClock clock(kDay31);
  LogFile log(clock);
  const fs::path path = log.open(dir.path()).value();
  // A sent byte and the camera's echo of it stand on one line.
  for (const char* text : {"\n:", "\t\t\t:", "\nR", "\t\t\tR", "\n0", "\t\t\t0"}) log.write(text);
  EXPECT_EQ(contents(path), "\n:\t\t\t:\nR\t\t\tR\n");  // the last line is still open
  log.close();
  log.close();
  log.write("after close");
  EXPECT_EQ(contents(path), "\n:\t\t\t:\nR\t\t\tR\n0\t\t\t0\n");
  EXPECT_FALSE(log.isOpen());
  EXPECT_EQ(log.path(), fs::path());
}

TEST(LogFile, FailureNamesTheFileAndTheReason) {
  TempFolder dir;
  core::FixedWallClock clock(kDay31);
  LogFile log(clock);
  const auto missing = log.open(dir.path() / "missing");
  ASSERT_TRUE(missing.failed());
  EXPECT_EQ(missing.message(), std::string(texts::kLogNotCreated) + (dir.path() / "missing" / "31090507.log").string() +
                                   ": No such file or directory");
  EXPECT_FALSE(log.isOpen());

  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  const auto refused = log.open(dir.path());
  ASSERT_TRUE(refused.failed());
  EXPECT_NE(refused.message().find("31090507.log: Permission denied"), std::string::npos);
}

TEST(MonitorLog, HeadingsGoToThePcPaneAndTheirLogFormsToTheLog) {
  TempFolder dir;
  core::FixedWallClock clock(kDay31);
  Monitor m(clock);
  m.writeLog("dropped while no log is open");
  const fs::path path = m.openLog(dir.path(), nullptr).value();
  EXPECT_EQ(m.logPath(), path);
  m.heading("<< SOFT RESET ON >>", 2);
  m.line("-- done --");
  m.closeLog();
  EXPECT_FALSE(m.logOpen());
  EXPECT_EQ(m.snapshot().pc, "\r\n\r\n<< SOFT RESET ON >>\r\n-- done --");
  EXPECT_EQ(contents(path), "\n\n<< SOFT RESET ON >>\n-- done --\n");
}

TEST(MonitorLog, FailureShowsTheErrorBoxAndSaysWhyOnTheMonitor) {
  TempFolder dir;
  core::FixedWallClock clock(kDay31);
  core::ScriptedPrompt prompt;
  Monitor m(clock);
  const auto opened = m.openLog(dir.path() / "missing", &prompt);
  ASSERT_TRUE(opened.failed());
  ASSERT_EQ(prompt.asked().size(), 1u);
  EXPECT_EQ(prompt.asked()[0].text, texts::kLogNotMade);
  EXPECT_EQ(prompt.asked()[0].title, texts::kLogNotMadeTitle);
  EXPECT_EQ(prompt.asked()[0].icon, core::Icon::Exclamation);
  EXPECT_EQ(m.snapshot().pc, "\r\n-- " + opened.message() + " --");
  EXPECT_FALSE(m.logOpen());
}

}  // namespace
}  // namespace orva::shell
