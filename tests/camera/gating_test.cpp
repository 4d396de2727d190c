// Model gating for a handful of camera records: which launcher buttons and menu items each
// offers, and what a disconnect takes back.
#include "camera/gating.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace orva::camera {
namespace {

using L = LauncherItem;
using M = MenuItem;

ModelRecord record(std::uint16_t code, std::uint16_t functionWord = 0, std::uint8_t mask = 0xFF) {
  ModelRecord r;
  r.modelCode = code;
  r.functionWord = functionWord;
  r.launcherMask = mask;
  return r;
}

ModelRecord qb168() {  // a newer model with most capability bits
  ModelRecord r = record(0xCF0, 0x8F4F);
  r.menuWord = 0xB42;
  r.optionWord = 0x27F;
  r.effectsSet = 0xB;
  r.lensControlWord = 0x5772;
  r.motionTracking = 1;
  return r;
}

GatingSwitches eap() { return {}; }
GatingSwitches afp() {
  GatingSwitches s;
  s.protocol = link::Protocol::Afp;
  return s;
}
GatingSwitches with(GatingSwitches s, int wspot, int led = 0, int motionDetOn = 0) {
  s.wspotCancel = wspot;
  s.ledControl = led;
  s.motionDetOn = motionDetOn;
  return s;
}

struct LauncherCase {
  const char* what;
  ModelRecord r;
  GatingSwitches sw;
  std::vector<L> enabled;
  std::vector<L> disabled;
  std::vector<L> shown;
  std::vector<L> hidden;
  std::vector<std::pair<L, std::string>> captions;
};

TEST(Gating, LauncherFollowsTheModelRecord) {
  const LauncherCase cases[] = {
      {"not supported: only the model-free buttons", record(kModelNotIdentified), eap(),
       {L::Demonstration, L::FullAuto, L::ZoomFocus, L::Zoom, L::Focus, L::WhiteBalance, L::BackLightComp,
        L::ApertureLevel, L::Ver},
       {L::Exposure, L::ShutterSpeed, L::Agc, L::Ae, L::IrcfRemove, L::WdrReverse, L::PrivacyMask, L::BiCycling},
       {},
       {L::MotionDetect, L::MotionTracking, L::MemPreset, L::CamPreset},
       {}},
      {"launcher mask 0", record(0x3F0, 0, 0x00), eap(), {L::Ver},
       {L::Demonstration, L::FullAuto, L::ZoomFocus, L::Zoom, L::Focus, L::WhiteBalance, L::BackLightComp,
        L::ApertureLevel, L::MemoryKey1, L::MemoryKey8},
       {}, {}, {}},
      {"newer model by its words, AFP", qb168(), afp(),
       {L::Exposure, L::ShutterSpeed, L::Agc, L::IrcfRemove, L::MotionDetect, L::WhiteBalance, L::PrivacyMask,
        L::Ae, L::WdrReverse, L::MotionTracking},
       {L::Demonstration, L::MemoryKey1, L::BiCycling},
       {L::MotionDetect, L::MotionTracking, L::StatusMessage, L::PresetGroups},
       {L::MemPreset, L::DirectPreset, L::CamPreset, L::BiCycling},
       {{L::Exposure, "EEPROM PRESET"}, {L::ShutterSpeed, "FIXED DATA SET"}, {L::WdrReverse, "WDR/FRZ/INV/FNR"},
        {L::ApertureLevel, "PICTURE"}, {L::StatusMessage, "TITLE"}}},
      {"old 0x90 family with spot cancel", record(0x90, 0x2000), with(eap(), 1), {L::Exposure, L::ShutterSpeed, L::Ae},
       {L::IrcfRemove, L::WdrReverse, L::PrivacyMask}, {}, {L::MotionDetect},
       {{L::Exposure, "EEPROM PRESET"}, {L::ShutterSpeed, "SPOT CANCEL"}, {L::WdrReverse, "FRZ./ INV./ MOS."}}},
      {"monochrome 0x80 family", ModelRecord{.modelCode = 0x82, .monochrome = true}, eap(), {L::Ae, L::Agc},
       {L::WhiteBalance, L::Exposure, L::ShutterSpeed, L::IrcfRemove, L::PrivacyMask}, {}, {}, {}},
      {"below 0x30", record(0x11), eap(), {L::Exposure, L::ShutterSpeed},
       {L::Ae, L::IrcfRemove, L::WdrReverse, L::PrivacyMask}, {}, {}, {}},
      {"0x70 from version 0x230 detects motion", ModelRecord{.modelCode = 0x70, .cameraVersion = 0x230}, eap(), {}, {},
       {L::MotionDetect}, {}, {}},
      {"0x70 before 0x230", ModelRecord{.modelCode = 0x70, .cameraVersion = 0x22F}, eap(), {}, {}, {}, {L::MotionDetect}, {}},
      {"0x70 from 0x218 when the switch asks", ModelRecord{.modelCode = 0x71, .cameraVersion = 0x218}, with(eap(), 0, 0, 7), {}, {},
       {L::MotionDetect}, {}, {}},
      {"0xC0 with LED control", record(0xC0), with(eap(), 0, 2), {L::IrcfRemove}, {}, {}, {},
       {{L::IrcfRemove, "Trg-LED/ZOOM"}}},
      {"0xC0 without LED control", record(0xC1), eap(), {}, {L::IrcfRemove}, {}, {},
       {{L::IrcfRemove, "IRcf REMOVE"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const LauncherState s = launcherGating(c.r, IdentificationFlags{}, c.sw);
    for (auto i : c.enabled) EXPECT_TRUE(s[i].enabled) << defaultCaption(i);
    for (auto i : c.disabled) EXPECT_FALSE(s[i].enabled) << defaultCaption(i);
    for (auto i : c.shown) EXPECT_TRUE(s[i].shown) << defaultCaption(i);
    for (auto i : c.hidden) EXPECT_FALSE(s[i].shown) << defaultCaption(i);
    for (const auto& [i, caption] : c.captions) EXPECT_EQ(s.caption(i), caption);
  }
}

TEST(Gating, PresetKeysComeBackOnlyForTheSameModelInEap) {
  PresetMemory memory;
  memory.previousModelCode = 0x70;
  memory.savedChecks = {true, false, false, true, false, false, false, false};
  const auto same = launcherGating(record(0x70), {}, eap(), memory);
  EXPECT_TRUE(same[L::MemoryKey1].checked);
  EXPECT_TRUE(same[L::PresetButton1].enabled);
  EXPECT_TRUE(same[L::PresetButton4].enabled);
  EXPECT_FALSE(same[L::PresetButton2].enabled);
  const LauncherState others[] = {launcherGating(record(0x71), {}, eap(), memory),
                                  launcherGating(record(0x70), {}, afp(), memory)};
  for (const auto& other : others) {
    EXPECT_FALSE(other[L::MemoryKey1].checked);
    EXPECT_FALSE(other[L::PresetButton1].enabled);
  }
}

// The camera as the menu gating reads it: values by register, a missing one fails.
SettingReader camera(std::map<std::uint16_t, std::uint32_t> values, std::vector<std::uint16_t>* asked = nullptr) {
  return [values, asked](const Setting& s) -> std::optional<std::uint32_t> {
    if (asked) asked->push_back(s.eapRegister);
    auto it = values.find(s.eapRegister);
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

ModelRecord menus(std::uint16_t code, std::uint16_t menuWord, std::uint16_t version = 0) {
  ModelRecord r = record(code);
  r.menuWord = menuWord;
  r.cameraVersion = version;
  return r;
}

std::vector<M> keptModes(const MenuState& m) {
  std::vector<M> kept;
  for (auto i : cameraModeItems())
    if (!m[i].removed) kept.push_back(i);
  return kept;
}

struct MenuCase {
  const char* what;
  ModelRecord r;
  GatingSwitches sw;
  std::map<std::uint16_t, std::uint32_t> camera;
  std::vector<M> kept;     // CAMERA MODE items left (all 18 when empty)
  std::vector<M> checked;
  std::vector<M> enabled;
  std::vector<M> greyed;
};

TEST(Gating, MenusFollowTheMenuWordAndTheCamerasValues) {
  const std::vector<M> all(cameraModeItems().begin(), cameraModeItems().end());
  const MenuCase cases[] = {
      {"1080/720 model in EAP", menus(0xFF0, 0x1241), eap(), {{0x1701, 0x12}},
       {M::Mode1080_30p, M::Mode1080_25p, M::Mode1080_60i, M::Mode1080_50i, M::Mode1080_60iFrameOut,
        M::Mode1080_50iFrameOut, M::Mode720_60p, M::Mode720_50p},
       {M::Mode1080_30p, M::EapSelect}, {M::SoftReset, M::LogFile, M::SendFile}, {M::Ntsc}},
      {"its 0xB000 versions drop the 50 Hz rates; AFP 2 is 720 60p", menus(0xFF0, 0x1, 0xB012), afp(),
       {{0x1701, 2}}, {M::Mode1080_30p, M::Mode1080_60i, M::Mode1080_60iFrameOut, M::Mode720_60p},
       {M::Mode720_60p, M::AfpSelect}, {}, {M::SoftReset}},
      {"AFP values mapped before the check", menus(0x1AF0, 0x1), afp(), {{0x1701, 2}},
       {M::Mode1080_60p, M::Mode1080_50p, M::Mode720_60p, M::Mode720_50p}, {M::Mode720_60p}, {}, {}},
      {"full set without 1080p, AFP 13 is 720 59.94p", menus(0x1AF4, 0x1), afp(), {{0x1701, 13}},
       {M::Mode1080_30p, M::Mode1080_2997p, M::Mode1080_25p, M::Mode1080_60i, M::Mode1080_5994i, M::Mode1080_50i,
        M::Mode720_60p, M::Mode720_5994p, M::Mode720_50p},
       {M::Mode720_5994p}, {}, {}},
      {"other models choose the line mode", menus(0xC0, 0x1 | 0x8), eap(), {{0xFCC0, 1}},
       {M::Mode1_720Line, M::Mode2_960Line}, {M::Mode2_960Line}, {M::CameraSetupUtility}, {}},
      {"clock 0 checks both 27 MHz items; gain by AFP values", menus(0x17F0, 0x400 | 0x800), afp(),
       {{0x1701, 0}, {0x1221, 2}}, all, {M::Clock27MHz, M::Clock28_5MHz, M::GainHighSensitivity}, {}, {}},
      {"output select bit 7 clear leaves OUTPUT MODE alone", menus(0x20, 0x2 | 0x40), eap(), {{0x1223, 0x7F}},
       all, {M::EapSelect}, {M::SoftReset}, {}},
      {"a failed read ends the gating", menus(0x20, 0x80 | 0x40), eap(), {}, all, {}, {}, {M::SoftReset, M::LogFile}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const MenuState m = menuGating(startMenu(c.sw), c.r, {}, c.sw, camera(c.camera));
    EXPECT_EQ(keptModes(m), c.kept.empty() ? all : c.kept);
    for (auto i : c.checked) EXPECT_TRUE(m[i].checked) << static_cast<int>(i);
    for (auto i : c.enabled) EXPECT_TRUE(m[i].enabled) << static_cast<int>(i);
    for (auto i : c.greyed) EXPECT_FALSE(m[i].enabled) << static_cast<int>(i);
    int checkedModes = 0;
    for (auto i : cameraModeItems()) checkedModes += m[i].checked ? 1 : 0;
    EXPECT_LE(checkedModes, 1);
  }
}

TEST(Gating, DisconnectPutsBackWhatAModelRemovedAndNothingElse) {
  GatingSwitches sw = eap();
  sw.sendFile = 0;  // removed by the configuration, not by a model
  ModelRecord r = menus(0x1BF0, 0x1);
  r.removedClockItems = kClockItem27MHz;
  const MenuState start = startMenu(sw);
  LauncherState launcher = launcherGating(r, {}, sw);
  launcher[L::MemoryKey2].checked = true;
  const MenuState gated = menuGating(start, r, {}, sw, camera({{0x1701, 17}}));
  ASSERT_EQ(keptModes(gated).size(), 2u);
  ASSERT_TRUE(gated[M::Clock27MHz].removed);

  const Disconnected d = disableForDisconnect(launcher, gated, sw);
  EXPECT_EQ(keptModes(d.menu).size(), 18u);
  EXPECT_FALSE(d.menu[M::Clock27MHz].removed);
  EXPECT_TRUE(d.menu[M::SendFile].removed);
  EXPECT_FALSE(d.menu.submenuEnabled(Submenu::CameraMode));
  EXPECT_FALSE(d.menu[M::LogFile].enabled);
  EXPECT_TRUE(d.savedChecks[1]);
  EXPECT_FALSE(d.launcher[L::MemoryKey2].checked);
  EXPECT_FALSE(d.launcher[L::ZoomFocus].enabled);
  EXPECT_FALSE(d.launcher[L::Zoom].enabled || d.launcher[L::Focus].enabled);
  EXPECT_FALSE(d.launcher[L::PresetGroups].shown);

  // The next model starts from the full menu and removes only what it removes.
  const MenuState next = menuGating(d.menu, menus(0x13F0, 0x1), {}, sw, camera({{0x1701, 0x04}}));
  EXPECT_EQ(keptModes(next), (std::vector<M>{M::Mode720_30p, M::Mode720_25p}));
  EXPECT_TRUE(next[M::Mode720_25p].checked);
}

}  // namespace
}  // namespace orva::camera
