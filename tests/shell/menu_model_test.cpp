// The main window's menu bar: its layout, what the configuration and the start switches take
// out or grey, what a connected camera and a disconnect do to it, and the busy lock.
#include "shell/menu_model.hpp"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace orva::shell {
namespace {

using camera::Submenu;
using M = MenuItem;

std::vector<std::string> captions(std::span<const Entry> entries) {
  std::vector<std::string> out;
  for (const Entry& e : entries) out.emplace_back(e.kind == EntryKind::Separator ? "-" : std::string(e.caption));
  return out;
}

const Menu& barMenu(std::string_view caption) {
  for (const Entry& e : menuBar())
    if (e.kind == EntryKind::Submenu && e.menu->caption == caption) return *e.menu;
  throw std::logic_error("no such menu");
}

std::vector<M> presentItems(const MenuModel& model, const Menu& menu) {
  std::vector<M> out;
  for (const Entry& e : menu.entries)
    if (e.kind == EntryKind::Item && model.state(e).present) out.push_back(e.item);
  return out;
}

Settings defaults() { return Settings{}; }

// The camera as the menu gating reads it: values by register, a missing one fails.
camera::SettingReader camera(std::map<std::uint16_t, std::uint32_t> values) {
  return [values](const camera::Setting& s) -> std::optional<std::uint32_t> {
    auto it = values.find(s.eapRegister);
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

camera::ModelRecord model(std::uint16_t code, std::uint16_t menuWord) {
  camera::ModelRecord r;
  r.modelCode = code;
  r.menuWord = menuWord;
  return r;
}

camera::GatingSwitches switches(const Settings& s = defaults(), std::string_view commandLine = "") {
  return gatingSwitches(s, parseStartSwitches(commandLine));
}

TEST(MenuModel, FreshBarHasTheMenusInOrderWithTheirSeparators) {
  EXPECT_EQ(captions(menuBar()),
            (std::vector<std::string>{"File", "SETUP", "CLS", "DEMO", "MODEL", "Help", "Motor Test"}));
  EXPECT_EQ(captions(barMenu("File").entries),
            (std::vector<std::string>{"Log File", "Send File...", "-", "Camera Data Read -> File",
                                      "Camera Data Write <- File", "Preset Data OPEN", "Preset Data SAVE",
                                      "ADR Trans...", "-", "Exit"}));
  EXPECT_EQ(captions(barMenu("SETUP").entries),
            (std::vector<std::string>{"Serial Port...", "-", "Camera Setup Utility", "EIS Setup", "Protocol Type"}));
  EXPECT_EQ(captions(barMenu("DEMO").entries),
            (std::vector<std::string>{"Wait Time 3s", "Wait Time 5s", "-", "One TIME", "Inf. LOOP", "Limited LOOP"}));

  // The MODEL submenus stand at positions 6 to 11, and each is the one its gate names.
  const Menu& modelMenu = barMenu("MODEL");
  ASSERT_EQ(modelMenu.entries.size(), 12u);
  const Submenu order[] = {Submenu::DisplayMode, Submenu::CcdDriveMode, Submenu::OutputMode,
                           Submenu::CameraMode,  Submenu::Clock,        Submenu::GainUpMode};
  for (std::size_t i = 0; i < 6; ++i) {
    const Entry& e = modelMenu.entries[6 + i];
    ASSERT_EQ(e.kind, EntryKind::Submenu);
    EXPECT_EQ(e.menu, &findMenu(order[i]));
    EXPECT_EQ(e.menu->gate, order[i]);
  }
  EXPECT_EQ(findMenu(Submenu::ProtocolType).caption, "Protocol Type");

  // Every item the gating knows is in the bar once, its submenu items in the gating's order.
  std::set<const Entry*> seen;
  for (auto id : camera::menuItems()) {
    const Entry& e = findEntry(id);
    EXPECT_EQ(e.item, id);
    EXPECT_FALSE(e.caption.empty());
    seen.insert(&e);
  }
  EXPECT_EQ(seen.size(), camera::kMenuItemCount);
  const auto modes = camera::cameraModeItems();
  const auto& modeEntries = findMenu(Submenu::CameraMode).entries;
  ASSERT_EQ(modeEntries.size(), modes.size());
  for (std::size_t i = 0; i < modes.size(); ++i) EXPECT_EQ(modeEntries[i].item, modes[i]);
  EXPECT_EQ(findEntry(M::Mode1080_60iFrameOut).caption, "1080 60i frame out (30PsF)");
  EXPECT_EQ(findEntry(M::Clock28_5MHz).caption, "28.5MHz");
}

TEST(MenuModel, StartSwitchesCountOnlyBeforeABlankOrTheEnd) {
  struct Case {
    std::string_view line;
    bool factory, second, noCamera;
  };
  const Case cases[] = {
      {"", false, false, false},
      {"/F", true, false, false},
      {"--port /dev/ttyUSB0 /F", true, false, false},
      {"/F --simulate", true, false, false},
      {"/FX", false, false, false},
      {"/FX /F", true, false, false},  // a later occurrence still counts
      {"/FS", true, true, false},
      {"/FSX", false, false, false},
      {"/DS", false, false, true},
      {"/DS2 /FS /DS", true, true, true},
      {"--config /F/orva.ini", false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.line));
    const StartSwitches s = parseStartSwitches(c.line);
    EXPECT_EQ(s.factory, c.factory);
    EXPECT_EQ(s.secondFactory, c.second);
    EXPECT_EQ(s.noCamera, c.noCamera);
  }
  const std::string_view args[] = {"--log-dir", "/tmp", "/DS"};
  EXPECT_TRUE(parseStartSwitches(args).noCamera);
}

TEST(MenuModel, ConfigurationAndStartSwitchesRemoveAndGreyItems) {
  {
    SCOPED_TRACE("defaults, no start switch");
    const MenuModel m(defaults(), {});
    EXPECT_EQ(presentItems(m, barMenu("File")),
              (std::vector<M>{M::LogFile, M::CameraDataRead, M::CameraDataWrite, M::Exit}));
    EXPECT_FALSE(m.state(M::CameraSetupUtility).present);
    EXPECT_FALSE(m.state(M::MotorTest).present);
    for (auto i : {M::LogFile, M::CameraDataRead, M::Ntsc, M::Pal, M::SoftReset, M::EisSetup})
      EXPECT_FALSE(m.state(i).enabled) << findEntry(i).caption;
    for (auto i : {M::Exit, M::SerialPort, M::ClearScreen, M::WaitTime5s, M::About})
      EXPECT_TRUE(m.state(i).enabled) << findEntry(i).caption;
    EXPECT_TRUE(m.state(M::WaitTime5s).checked);
    EXPECT_FALSE(m.state(M::WaitTime3s).checked);
    for (auto i : {M::OneTime, M::InfLoop, M::LimitedLoop}) EXPECT_FALSE(m.state(i).enabled);
    // The protocol the configuration names is offered and checked; the camera's menus are not.
    EXPECT_TRUE(m.enabled(Submenu::ProtocolType));
    EXPECT_TRUE(m.state(M::EapSelect).checked);
    EXPECT_TRUE(m.state(M::AfpSelect).enabled);
    EXPECT_FALSE(m.enabled(Submenu::CameraMode));
  }
  {
    SCOPED_TRACE("every switch on, /F");
    Settings s;
    s.sendFile = s.psetdatBup = s.adrMenu = s.motorTest = s.qaMode = 1;
    s.demoWaitSeconds = 3;
    s.demoMode = 1;
    s.protocol = kProtocolAfp;
    const MenuModel m(s, parseStartSwitches("/F"));
    EXPECT_EQ(presentItems(m, barMenu("File")).size(), 8u);
    EXPECT_TRUE(m.state(M::MotorTest).present);
    EXPECT_TRUE(m.state(M::MotorTest).enabled);
    EXPECT_EQ(m.state(M::CameraSetupUtility), (EntryState{true, false, false}));
    EXPECT_TRUE(m.state(M::WaitTime3s).checked);
    EXPECT_TRUE(m.state(M::OneTime).enabled);
    EXPECT_TRUE(m.state(M::OneTime).checked);
    EXPECT_FALSE(m.state(M::InfLoop).checked);
    EXPECT_TRUE(m.state(M::AfpSelect).checked);
    EXPECT_FALSE(m.state(M::EapSelect).checked);
  }
  {
    SCOPED_TRACE("a switch that does not count keeps the item out");
    const MenuModel m(defaults(), parseStartSwitches("/FX"));
    EXPECT_FALSE(m.state(M::CameraSetupUtility).present);
  }
}

TEST(MenuModel, ConnectingAppliesTheModelsGating) {
  {
    SCOPED_TRACE("1080/720 model that switches protocol, EAP");
    MenuModel m(defaults(), {});
    const auto sw = switches();
    m.connected(model(0xFF0, 0x1241), {}, sw, camera({{0x1701, 0x12}}));
    EXPECT_EQ(presentItems(m, findMenu(Submenu::CameraMode)),
              (std::vector<M>{M::Mode1080_30p, M::Mode1080_25p, M::Mode1080_60i, M::Mode1080_50i,
                              M::Mode1080_60iFrameOut, M::Mode1080_50iFrameOut, M::Mode720_60p, M::Mode720_50p}));
    EXPECT_TRUE(m.enabled(Submenu::CameraMode));
    EXPECT_TRUE(m.state(M::Mode1080_30p).checked);
    EXPECT_TRUE(m.state(M::Mode1080_30p).enabled);
    for (auto i : {M::SoftReset, M::LogFile, M::CameraDataRead, M::SerialPort}) EXPECT_TRUE(m.state(i).enabled);
    EXPECT_FALSE(m.state(M::Ntsc).enabled);
    EXPECT_TRUE(m.enabled(Submenu::ProtocolType));
    EXPECT_TRUE(m.state(M::AfpSelect).enabled);
    EXPECT_TRUE(m.state(M::EapSelect).checked);
    EXPECT_FALSE(m.enabled(Submenu::CcdDriveMode));
  }
  {
    SCOPED_TRACE("drive mode and setup utility, /F; no protocol switching");
    MenuModel m(defaults(), parseStartSwitches("/F"));
    ASSERT_FALSE(m.state(M::CameraSetupUtility).enabled);
    m.connected(model(0x1BF0, 0x8 | 0x4), {}, switches(), camera({{0x1221, 1}}));
    EXPECT_TRUE(m.state(M::CameraSetupUtility).enabled);
    EXPECT_TRUE(m.enabled(Submenu::CcdDriveMode));
    EXPECT_TRUE(m.state(M::InterlaceMode).checked);
    EXPECT_FALSE(m.state(M::ProgressiveMode).checked);
    EXPECT_FALSE(m.enabled(Submenu::ProtocolType));
  }
  {
    SCOPED_TRACE("full rate set in AFP");
    Settings s;
    s.protocol = kProtocolAfp;
    MenuModel m(s, {});
    m.connected(model(0x1AF4, 0x1 | 0x800), {}, switches(s), camera({{0x1701, 13}, {0x1221, 2}}));
    EXPECT_EQ(presentItems(m, findMenu(Submenu::CameraMode)).size(), 9u);
    EXPECT_TRUE(m.state(M::Mode720_5994p).checked);
    EXPECT_TRUE(m.enabled(Submenu::GainUpMode));
    EXPECT_TRUE(m.state(M::GainHighSensitivity).checked);
    EXPECT_TRUE(m.state(M::AfpSelect).checked);
  }
}

TEST(MenuModel, DisconnectTakesBackWhatTheCameraGaveAndTheLogsCheckButNothingTheConfigurationTook) {
  Settings s;
  s.motorTest = 1;
  MenuModel m(s, {});
  const auto sw = switches(s);
  camera::ModelRecord r = model(0x1BF0, 0x1 | 0x4 | 0x1000);
  r.removedClockItems = camera::kClockItem27MHz;
  m.connected(r, {}, sw, camera({{0x1701, 17}, {0x1221, 0}}));
  ASSERT_EQ(presentItems(m, findMenu(Submenu::CameraMode)).size(), 2u);
  ASSERT_FALSE(m.state(M::Clock27MHz).present);
  ASSERT_TRUE(m.enabled(Submenu::ProtocolType));
  m.setChecked(M::LogFile, true);

  m.disconnected(camera::disableForDisconnect(camera::idleLauncher(), m.gatingState(), sw));
  EXPECT_EQ(presentItems(m, findMenu(Submenu::CameraMode)).size(), 18u);
  EXPECT_TRUE(m.state(M::Clock27MHz).present);
  for (auto sub : {Submenu::DisplayMode, Submenu::CcdDriveMode, Submenu::OutputMode, Submenu::CameraMode,
                   Submenu::Clock, Submenu::GainUpMode, Submenu::ProtocolType})
    EXPECT_FALSE(m.enabled(sub)) << findMenu(sub).caption;
  for (auto i : {M::LogFile, M::CameraDataRead, M::CameraDataWrite, M::SoftReset, M::EisSetup})
    EXPECT_FALSE(m.state(i).enabled) << findEntry(i).caption;
  EXPECT_FALSE(m.state(M::LogFile).checked) << "the log's check goes with its file";
  EXPECT_TRUE(m.state(M::SerialPort).enabled);
  EXPECT_FALSE(m.state(M::SendFile).present);
  EXPECT_TRUE(m.state(M::MotorTest).present);

  // The next camera starts from the full menu.
  m.connected(model(0x13F0, 0x1), {}, sw, camera({{0x1701, 0x04}}));
  EXPECT_EQ(presentItems(m, findMenu(Submenu::CameraMode)), (std::vector<M>{M::Mode720_30p, M::Mode720_25p}));
  EXPECT_TRUE(m.state(M::Mode720_25p).checked);
}

TEST(MenuModel, BusyLockGreysItsItemsAndLeavesEachAsItWas) {
  MenuModel m(defaults(), parseStartSwitches("/F"));
  // Drive mode offered, setup utility not (menu word bit 3 clear).
  m.connected(model(0x1BF0, 0x4), {}, switches(), camera({{0x1221, 0}}));
  ASSERT_FALSE(m.state(M::CameraSetupUtility).enabled);
  ASSERT_TRUE(m.enabled(Submenu::CcdDriveMode));
  const EntryState logFile = m.state(M::LogFile);
  {
    const MenuBusyLock outer(m);
    EXPECT_TRUE(m.busy());
    EXPECT_FALSE(m.state(M::SerialPort).enabled);
    EXPECT_FALSE(m.state(M::CameraSetupUtility).enabled);
    EXPECT_FALSE(m.enabled(Submenu::CcdDriveMode));
    EXPECT_EQ(m.state(M::LogFile), logFile);
    {
      const MenuBusyLock inner(m);
    }
    EXPECT_FALSE(m.state(M::SerialPort).enabled) << "an inner lock must not lift the outer one";
    EXPECT_FALSE(m.gatingState()[M::CameraSetupUtility].enabled);
    EXPECT_TRUE(m.gatingState()[M::SerialPort].enabled) << "the gating sees the state without the lock";
  }
  EXPECT_FALSE(m.busy());
  EXPECT_TRUE(m.state(M::SerialPort).enabled);
  EXPECT_FALSE(m.state(M::CameraSetupUtility).enabled);
  EXPECT_TRUE(m.enabled(Submenu::CcdDriveMode));
}

TEST(MenuModel, CheckInGroupMovesTheMarkWithinItsChoiceOnly) {
  MenuModel m(defaults(), {});
  m.checkInGroup(M::Pal);
  m.checkInGroup(M::Ntsc);
  EXPECT_TRUE(m.state(M::Ntsc).checked);
  EXPECT_FALSE(m.state(M::Pal).checked);
  m.checkInGroup(M::Mode720_25p);
  m.checkInGroup(M::Mode1080_60i);
  int marks = 0;
  for (auto i : camera::cameraModeItems()) marks += m.state(i).checked ? 1 : 0;
  EXPECT_EQ(marks, 1);
  EXPECT_TRUE(m.state(M::Ntsc).checked) << "another choice keeps its mark";
  m.checkInGroup(M::SoftReset);  // no choice: just checked
  EXPECT_TRUE(m.state(M::SoftReset).checked);
  EXPECT_TRUE(m.state(M::Ntsc).checked);
  m.checkInGroup(M::AfpSelect);
  EXPECT_FALSE(m.state(M::EapSelect).checked);
}

struct Recorder : MenuObserver {
  std::vector<MenuChange> changes;
  void menuChanged(const MenuChange& change) override { changes.push_back(change); }
};

TEST(MenuModel, ObserversHearWhatChangedAndNothingElse) {
  MenuModel m(defaults(), parseStartSwitches("/F"));
  Recorder r;
  m.subscribe(r);
  m.setChecked(M::LogFile, true);
  ASSERT_EQ(r.changes.size(), 1u);
  EXPECT_EQ(r.changes[0].items, std::vector<M>{M::LogFile});
  EXPECT_TRUE(r.changes[0].submenus.empty());

  m.setChecked(M::LogFile, true);  // already so
  EXPECT_EQ(r.changes.size(), 1u);

  {
    const MenuBusyLock lock(m);  // the setup utility is greyed already
    ASSERT_EQ(r.changes.size(), 2u);
    EXPECT_EQ(r.changes[1].items, std::vector<M>{M::SerialPort});
    EXPECT_TRUE(r.changes[1].submenus.empty()) << "CCD DRIVE MODE was greyed already";
  }
  ASSERT_EQ(r.changes.size(), 3u);
  EXPECT_EQ(r.changes[2].items, std::vector<M>{M::SerialPort});

  m.disconnected(camera::disableForDisconnect(camera::idleLauncher(), m.gatingState(), switches()));
  ASSERT_EQ(r.changes.size(), 4u);
  EXPECT_EQ(r.changes[3].items, std::vector<M>{M::LogFile});
  EXPECT_EQ(r.changes[3].submenus, std::vector<Submenu>{Submenu::ProtocolType});

  m.unsubscribe(r);
  m.setChecked(M::Pal, true);
  EXPECT_EQ(r.changes.size(), 4u);
}

}  // namespace
}  // namespace orva::shell
