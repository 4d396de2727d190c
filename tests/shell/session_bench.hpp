#pragma once
// A session on the in-process virtual camera, in virtual time, for the shell's tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

#include "core/clock.hpp"
#include "core/prompt.hpp"
#include "link/settings_forms.hpp"
#include "panels/dispatch.hpp"
#include "shell/session.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/model_profiles.hpp"
#include "sim/virtual_camera.hpp"
#include "support/temp_folder.hpp"

namespace orva::shell {

using namespace std::chrono_literals;

inline constexpr std::uint16_t kQb183 = 0x13F0;

inline Settings settingsFor(sim::Protocol protocol) {
  Settings s;
  normalizeSettingsText(s);
  s.protocol = protocol == sim::Protocol::Afp ? kProtocolAfp : kProtocolEap;
  s.fileSelect = 0;  // backups go to "EEPROM.MEM" in the start-up folder
  return s;
}

struct SessionBench {
  explicit SessionBench(sim::Protocol speaks = sim::Protocol::Eap, Settings s = {}, bool useGiven = false,
                        StartSwitches start = {})
      : protocol(speaks),
        session(SessionSetup{useGiven ? s : settingsFor(speaks), folder / "ORVA.ini", start, folder.path(), {folder.path()}},
                monitor, clock, prompt, dispatcher) {
    plug("QB-183");
  }
  ~SessionBench() { session.eepromRuns().waitForRun(); }

  // A camera of `model` on the line, listening at the session's settings and protocol.
  void plug(std::string_view model, std::vector<sim::Fault> faults = {}) {
    auto profile = sim::modelProfile(model, protocol);
    ASSERT_TRUE(profile) << model;
    profile->settings = *link::findSettingsForm(session.settings().settingsText);
    profile->protocol = protocol;
    cameras.push_back(std::make_unique<sim::VirtualCamera>(*profile, std::move(faults)));
    session.connection().setChannel(std::make_unique<sim::InProcessChannel>(*cameras.back(), clock, false), "/dev/ttyS0");
  }
  sim::VirtualCamera& camera() { return *cameras.back(); }

  // Connects, declining the backup offer.
  void connectWithoutBackup() {
    prompt.answer(core::Answer::No);
    ASSERT_EQ(session.connect(), ConnectResult::Connected);
  }

  // Lets the session's run end and the window thread take what it posted.
  void settle() {
    session.eepromRuns().waitForRun();
    dispatcher.runPending();
  }

  std::size_t askedCount(std::string_view text) const {
    const auto& asked = prompt.asked();
    return static_cast<std::size_t>(
        std::count_if(asked.begin(), asked.end(), [&](const core::ScriptedPrompt::Asked& a) { return a.text == text; }));
  }
  const core::ScriptedPrompt::Asked* find(std::string_view text) const {
    for (const auto& a : prompt.asked())
      if (a.text == text) return &a;
    return nullptr;
  }

  Settings saved() const {
    Settings s;
    EXPECT_EQ(SettingsFile(folder / "ORVA.ini").load(s), SettingsFile::Loaded::Read);
    return s;
  }

  sim::Protocol protocol;
  orva::testing::TempFolder folder;
  core::FakeClock clock{20ms};
  Monitor monitor;
  core::ScriptedPrompt prompt;
  panels::QueuedDispatcher dispatcher;
  std::vector<std::unique_ptr<sim::VirtualCamera>> cameras;
  Session session;
};

}  // namespace orva::shell
