// The session as panels reach it: session flags the rest of the program obeys until a
// disconnect, menu items a panel holds, the launcher's fields and a fresh identification after
// a panel, and configuration values by key.
#include "shell/panel_host.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <future>

#include "session_bench.hpp"
#include "shell/session_texts.hpp"

namespace orva::shell {
namespace {

using core::Answer;
using panels::HostMenuItem;
using panels::SessionFlag;

struct HostBench : SessionBench {
  HostBench() { connectWithoutBackup(); }
  SessionPanelHost host{session};
};

TEST(SessionPanelHost, MotionDetectionRefusesTheEepromRunsAndGreysTheLineModesUntilTheDisconnect) {
  HostBench b;
  MenuModel& menus = b.session.menus();
  b.host.setFlag(SessionFlag::MotionDetection, true);
  EXPECT_TRUE(b.host.flag(SessionFlag::MotionDetection));
  EXPECT_FALSE(menus.state(MenuItem::Mode1_720Line).enabled);
  EXPECT_FALSE(menus.state(MenuItem::Mode2_960Line).enabled);
  EXPECT_TRUE(menus.state(MenuItem::Mode720_60p).enabled) << "the other camera modes stay";
  const auto heard = b.camera().frameLog().end();
  EXPECT_EQ(b.session.eepromRuns().backup(), CommandResult::Refused);
  EXPECT_EQ(b.session.eepromRuns().sendFile(), CommandResult::Refused);
  EXPECT_EQ(b.askedCount(texts::kMdOffOnly), 2u);
  EXPECT_EQ(b.camera().frameLog().end(), heard);

  ASSERT_EQ(b.session.disconnect(), LeaveResult::Left);
  EXPECT_FALSE(b.host.flag(SessionFlag::MotionDetection));
  EXPECT_TRUE(menus.state(MenuItem::Mode1_720Line).enabled);
  EXPECT_TRUE(menus.state(MenuItem::Mode2_960Line).enabled);
  b.prompt.answer(Answer::No).answer(Answer::No);  // no backup; "Does it Read OK ?"
  ASSERT_EQ(b.session.connect(), ConnectResult::Connected);
  EXPECT_EQ(b.session.eepromRuns().backup(), CommandResult::Declined);
  EXPECT_EQ(b.askedCount(texts::kMdOffOnly), 2u);
  EXPECT_EQ(b.prompt.unexpected(), 0);
}

TEST(SessionPanelHost, MenuItemsAPanelGreysComeBackAsTheGatingHasThem) {
  HostBench b;
  MenuModel& menus = b.session.menus();
  struct Held {
    HostMenuItem item;
    std::function<bool()> enabled;
  };
  const Held held[] = {
      {HostMenuItem::SerialPort, [&] { return menus.state(MenuItem::SerialPort).enabled; }},
      {HostMenuItem::CameraSetupUtility, [&] { return menus.state(MenuItem::CameraSetupUtility).enabled; }},
      {HostMenuItem::CcdDriveMode, [&] { return menus.enabled(camera::Submenu::CcdDriveMode); }},
  };
  for (const bool connected : {true, false}) {
    SCOPED_TRACE(connected ? "connected" : "disconnected");
    if (!connected) {
      ASSERT_EQ(b.session.disconnect(), LeaveResult::Left);
    }
    for (const Held& h : held) {
      const bool gated = h.enabled();
      b.host.setMenuItemEnabled(h.item, false);
      EXPECT_FALSE(h.enabled());
      b.host.setMenuItemEnabled(h.item, true);
      EXPECT_EQ(h.enabled(), gated);
    }
  }
  // A held item stays greyed while the gating changes underneath, and shows the new gating
  // once it is let go.
  b.host.setMenuItemEnabled(HostMenuItem::SerialPort, false);
  b.connectWithoutBackup();
  EXPECT_FALSE(menus.state(MenuItem::SerialPort).enabled);
  b.host.setMenuItemEnabled(HostMenuItem::SerialPort, true);
  EXPECT_TRUE(menus.state(MenuItem::SerialPort).enabled);
}

TEST(SessionPanelHost, LauncherFieldsAndIdentificationFollowTheCameraOnlyWhenAsked) {
  HostBench b;
  int changes = 0;
  b.session.setChangeHandler([&] { ++changes; });
  b.camera().memory().write(0xFCC8, 0x21);
  b.host.refreshLauncherFields();
  EXPECT_EQ(b.session.connection().launcherFields().aeMode, "Program AER+2    ");
  EXPECT_EQ(changes, 1);

  // The request waits for the panel to close; honoured once, it identifies and re-gates.
  b.host.lensChanged(23);
  EXPECT_EQ(b.session.model().lensIndex, 23);
  b.camera().memory().write(0xFCC8, 0x01);
  b.session.menus().setEnabled(MenuItem::CameraDataRead, false);
  const auto asked = b.camera().frameLog().end();
  b.host.identifyAfterClose();
  EXPECT_EQ(b.camera().frameLog().end(), asked);
  EXPECT_TRUE(b.host.identifyIfAsked());
  EXPECT_GT(b.camera().frameLog().end(), asked);
  EXPECT_EQ(b.session.connection().launcherFields().aeMode, "Program AE+      ");
  EXPECT_TRUE(b.session.menus().state(MenuItem::CameraDataRead).enabled) << "gated again";
  EXPECT_EQ(changes, 2);
  EXPECT_FALSE(b.host.identifyIfAsked()) << "asked once, done once";

  // Disabled for a panel holding the camera, then the model's gating again.
  b.host.setLauncherEnabled(false);
  EXPECT_FALSE(b.session.launcher()[camera::LauncherItem::ZoomFocus].enabled);
  EXPECT_FALSE(b.session.menus().state(MenuItem::CameraDataRead).enabled);
  b.host.setLauncherEnabled(true);
  EXPECT_TRUE(b.session.launcher()[camera::LauncherItem::ZoomFocus].enabled);
  EXPECT_TRUE(b.session.menus().state(MenuItem::CameraDataRead).enabled);
}

TEST(SessionPanelHost, ConfigurationValuesByTheirKey) {
  Settings s = settingsFor(sim::Protocol::Eap);
  parseSettings("LED Control = 2\nAF Fast mode= 1\nActive Exec = 3\n", s);
  SessionBench b(sim::Protocol::Eap, s, true);
  const SessionPanelHost host(b.session);
  EXPECT_EQ(host.configValue("LED Control ="), 2);
  EXPECT_EQ(host.configValue("LED Control = "), 2);
  EXPECT_EQ(host.configValue("AF Fast mode="), 1);
  EXPECT_EQ(host.configValue("Active Exec ="), 3);
  EXPECT_EQ(host.configValue("Motor Test  ="), 0) << "a key the file lacks has its default";
  EXPECT_EQ(host.configValue("Baudrate    ="), std::nullopt) << "no number";
  EXPECT_EQ(host.configValue("LED Control"), std::nullopt);
}

// A launcher run keeps the menus busy from before it starts until its end has reached the
// window thread, also when it fails; a run refused while the slot is taken leaves them free.
TEST(LauncherRun, HoldsTheMenusBusyForItsWholeLifeHoweverItEnds) {
  SessionBench b;
  for (const panels::Outcome outcome : {panels::Outcome::Done, panels::Outcome::Error}) {
    std::promise<void> go;
    std::shared_future<void> released = go.get_future().share();
    panels::Operation op;
    op.name = "TYPE I Preset1";
    op.body = [released, outcome](std::stop_token) {
      released.wait();
      return outcome;
    };
    ASSERT_TRUE(b.session.startLauncherRun(std::move(op)));
    EXPECT_TRUE(b.session.menus().busy());
    EXPECT_FALSE(b.session.startLauncherRun(panels::Operation{})) << "the slot is taken";
    EXPECT_TRUE(b.session.menus().busy());
    go.set_value();
    b.session.runner().waitIdle();
    EXPECT_TRUE(b.session.menus().busy()) << "until the window thread learns of the end";
    b.dispatcher.runPending();
    EXPECT_FALSE(b.session.menus().busy());
  }
}

}  // namespace
}  // namespace orva::shell
