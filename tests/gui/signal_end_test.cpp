// The desktop tool as a user starts it: a signal to the process ends it cleanly, whatever
// windows it has open.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/child_process.hpp"
#include "support/temp_folder.hpp"

namespace {

using namespace std::chrono_literals;

// Whether the process has its own handler for `signal` yet, from /proc/PID/status.
bool catches(pid_t pid, int signal) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("SigCgt:", 0) == 0) return ((std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1u) != 0;
  return false;
}

TEST(EndBySignal, TermIntAndHupEndTheProgramWithItsShutdown) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(::strsignal(signal));
    orva::testing::TempFolder dir;
    const auto config = dir / "ORVA.ini";
    orva::testing::ChildProcess orva(ORVA_GUI_PATH, {"--simulate", "--config", config.string()}, dir / "stderr.txt");
    // Ready once its handlers are in place (a signal before that would end it the default way).
    const auto readyBy = std::chrono::steady_clock::now() + 30s;
    while (!catches(orva.pid(), signal) && std::chrono::steady_clock::now() < readyBy)
      std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(catches(orva.pid(), signal)) << "orva did not start";
    ::kill(orva.pid(), signal);
    const auto status = orva.exitWithin(10s);
    ASSERT_TRUE(status.has_value()) << "orva still runs after the signal";
    EXPECT_EQ(*status, 0);
    EXPECT_TRUE(std::filesystem::exists(config)) << "ORVA.ini written at the end";
  }
}

}  // namespace
