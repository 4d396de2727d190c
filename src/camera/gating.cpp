#include "camera/gating.hpp"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "camera/model_table.hpp"

namespace orva::camera {
namespace {

using L = LauncherItem;
using M = MenuItem;

constexpr std::array<std::string_view, kLauncherItemCount> kCaptions{
    "DEMONSTRATION", "FULL AUTO", "ZOOM / FOCUS", "AE", "EXPOSURE", "IRcf REMOVE", "SHUTTER SPEED",
    "WDR / REVERSE", "AGC", "WHITE BALANCE", "BACK LIGHT COMP.", "APERTURE LEVEL", "PRIVACY MASK", "Ver",
    "MOTION DETECT", "MOTION TRACKING", "MEM-PRESET", "DIRECT-PRESET", "CAM-PRESET", "BLOCK READ",
    "Enhanced Intensity", "STROBE", "BI-CYCLING", "STATUS MESSAGE", "ZOOM Arrival Message", "ZOOM", "FOCUS",
    "PRESET TYPE I / II",
    "1", "2", "3", "4", "1", "2", "3", "4", "1", "2", "3", "4", "1", "2", "3", "4"};

static_assert(!kCaptions.back().empty(), "every launcher item captioned");

constexpr std::array<MenuItem, kMenuItemCount> kMenuItems{
    M::LogFile, M::SendFile, M::CameraDataRead, M::CameraDataWrite, M::PresetDataOpen, M::PresetDataSave,
    M::AdrTrans, M::Exit, M::SerialPort, M::CameraSetupUtility, M::EisSetup, M::AfpSelect, M::EapSelect,
    M::ClearScreen, M::RsBufferClear, M::WaitTime3s, M::WaitTime5s, M::OneTime, M::InfLoop, M::LimitedLoop,
    M::Ntsc, M::Pal, M::SoftReset, M::ResetToFactoryDefault, M::ExtKeyDisplayMode, M::PrivacyMaskMode,
    M::ProgressiveMode, M::InterlaceMode, M::DigitalOut, M::AnalogOut,
    // CAMERA MODE, in submenu order
    M::Mode1_720Line, M::Mode2_960Line, M::Mode1080_60p, M::Mode1080_5994p, M::Mode1080_50p, M::Mode1080_30p,
    M::Mode1080_2997p, M::Mode1080_25p, M::Mode1080_60i, M::Mode1080_5994i, M::Mode1080_50i,
    M::Mode1080_60iFrameOut, M::Mode1080_50iFrameOut, M::Mode720_60p, M::Mode720_5994p, M::Mode720_50p,
    M::Mode720_30p, M::Mode720_25p,
    // CLOCK
    M::Clock36MHz, M::Clock30MHz, M::Clock27MHz, M::Clock28_5MHz,
    M::GainNormal, M::GainHighSensitivity, M::MotorTest, M::Help, M::About};
static_assert(kMenuItems.back() == M::About, "every menu item listed");
constexpr std::size_t kFirstCameraMode = 30;
constexpr std::size_t kCameraModeCount = 18;
constexpr std::size_t kFirstClock = kFirstCameraMode + kCameraModeCount;
constexpr std::size_t kClockCount = 4;

constexpr std::array kFileItems{M::LogFile, M::SendFile, M::CameraDataRead, M::CameraDataWrite, M::PresetDataOpen,
                                M::PresetDataSave};

// ---- launcher helpers

std::size_t keyIndex(LauncherItem first, std::size_t i) { return static_cast<std::size_t>(first) + i; }

void enable(LauncherState& s, std::initializer_list<LauncherItem> items, bool on = true) {
  for (auto i : items) s[i].enabled = on;
}
void show(LauncherState& s, std::initializer_list<LauncherItem> items, bool on = true) {
  for (auto i : items) s[i].shown = on;
}
void showEnabled(LauncherState& s, LauncherItem i) {
  s[i].shown = true;
  s[i].enabled = true;
}
void rename(LauncherState& s, LauncherItem i, std::string_view caption) {
  s[i].caption = caption;
  s[i].enabled = true;
}
void keysEnabled(LauncherState& s, LauncherItem first, std::size_t count, bool on) {
  for (std::size_t k = 0; k < count; ++k) s.items[keyIndex(first, k)].enabled = on;
}
void presetGroupsShown(LauncherState& s, bool on) {
  s[L::PresetGroups].shown = on;
  for (std::size_t k = 0; k < 2 * kPresetKeys; ++k) s.items[keyIndex(L::MemoryKey1, k)].shown = on;
}

bool bit(unsigned word, unsigned n) { return ((word >> n) & 1u) != 0; }

// ZOOM and FOCUS open parts of what "ZOOM / FOCUS" opens: nothing gates them apart from it.
LauncherState& lensButtonsFollow(LauncherState& s) {
  s[L::Zoom].enabled = s[L::ZoomFocus].enabled;
  s[L::Focus].enabled = s[L::ZoomFocus].enabled;
  return s;
}

// The buttons a model's family (model code AND 0xF0) has no use for.
void familyGating(LauncherState& s, const ModelRecord& r, const GatingSwitches& sw) {
  if (r.modelCode < 0x30) {
    enable(s, {L::Ae, L::IrcfRemove, L::WdrReverse, L::PrivacyMask}, false);
    return;
  }
  const unsigned family = r.modelCode & 0xF0u;
  bool eepromPreset = true;
  enable(s, {L::Exposure, L::ShutterSpeed}, false);
  switch (family) {
    case 0x30: case 0x40:
      enable(s, {L::IrcfRemove, L::WdrReverse, L::PrivacyMask}, false);
      eepromPreset = false;
      break;
    case 0x50: case 0x60:
      enable(s, {L::WdrReverse, L::PrivacyMask}, false);
      eepromPreset = false;
      break;
    case 0x70: eepromPreset = false; break;
    case 0x80:
      enable(s, {L::IrcfRemove, L::PrivacyMask}, false);
      eepromPreset = false;
      break;
    case 0x90: case 0xD0: enable(s, {L::IrcfRemove, L::WdrReverse, L::PrivacyMask}, false); break;
    case 0xA0: enable(s, {L::IrcfRemove}, false); break;
    case 0xB0: break;
    case 0xC0:
      if (sw.ledControl == 1 || sw.ledControl == 2) rename(s, L::IrcfRemove, "Trg-LED/ZOOM");
      else s[L::IrcfRemove].enabled = false;
      break;
    case 0xE0: enable(s, {L::IrcfRemove, L::PrivacyMask}, false); break;
    default:  // 0xF0: every newer model and "Not supported"
      enable(s, {L::Agc, L::Ae, L::IrcfRemove, L::WdrReverse, L::MotionDetect, L::PrivacyMask, L::BiCycling}, false);
      eepromPreset = false;
      break;
  }
  if (eepromPreset && sw.newFeature == 1) rename(s, L::Exposure, "EEPROM PRESET");
}

void maskGating(LauncherState& s, const ModelRecord& r) {
  const unsigned mask = r.launcherMask;
  if (!bit(mask, 0)) s[L::Demonstration].enabled = false;
  if (!bit(mask, 1)) s[L::FullAuto].enabled = false;
  if (!bit(mask, 2)) s[L::BackLightComp].enabled = false;
  if (!bit(mask, 3)) s[L::WhiteBalance].enabled = false;
  if (!bit(mask, 4)) {
    s[L::ApertureLevel].enabled = false;
  } else if (((r.modelCode == 0x9F0 || r.modelCode == 0x9F1) && r.cameraVersion >= 39) ||
             bit(r.lensControlWord, 12)) {
    s[L::ApertureLevel].caption = "PICTURE";
  }
  if (!bit(mask, 5)) keysEnabled(s, L::MemoryKey1, 4, false);
  if (!bit(mask, 6)) keysEnabled(s, L::MemoryKey5, 4, false);
  if (!bit(mask, 7)) s[L::ZoomFocus].enabled = false;
  if (bit(static_cast<unsigned>(r.motionTracking), 0)) showEnabled(s, L::MotionTracking);
}

void wordGating(LauncherState& s, const ModelRecord& r, const GatingSwitches& sw) {
  const unsigned fw = r.functionWord;
  const bool afp = sw.protocol == link::Protocol::Afp;
  if (bit(fw, 4)) s[L::Exposure].enabled = true;
  else if ((bit(fw, 14) || bit(fw, 15)) && sw.newFeature == 1) rename(s, L::Exposure, "EEPROM PRESET");
  if (bit(fw, 5)) s[L::ShutterSpeed].enabled = true;
  else if (bit(fw, 3) && sw.wspotCancel == 2) rename(s, L::ShutterSpeed, "SPOT CANCEL");
  else if (bit(r.menuWord, 9) && sw.wspotCancel != 2) rename(s, L::ShutterSpeed, "FIXED DATA SET");
  if (bit(fw, 6) || bit(fw, 7)) s[L::Agc].enabled = true;
  if (bit(fw, 2)) s[L::IrcfRemove].enabled = true;
  else if (bit(r.extraOptionWord, 0)) rename(s, L::IrcfRemove, "PL Filter");
  if (bit(fw, 1)) showEnabled(s, L::MotionDetect);
  if (bit(fw, 8) && !r.monochrome) s[L::WhiteBalance].enabled = true;
  if (bit(fw, 9)) s[L::PrivacyMask].enabled = true;
  if (bit(fw, 10)) s[L::Ae].enabled = true;
  if (bit(fw, 11)) {
    s[L::WdrReverse].enabled = true;
    if (auto c = effectsCaption(r.effectsSet); !c.empty()) s[L::WdrReverse].caption = c;
  }
  if (bit(fw, 12)) s[L::BiCycling].enabled = true;
  if (bit(fw, 13) && sw.activeExec != 0) {
    s[L::ZoomArrivalMessage].shown = true;
    if (bit(r.optionWord, 2)) rename(s, L::ShutterSpeed, "STATUS MESSAGE");
    else s[L::StatusMessage].shown = true;
  }
  if (bit(r.optionWord, 2)) {
    s[L::StatusMessage].shown = true;
    s[L::StatusMessage].caption = "TITLE";
  }
  if (bit(r.optionWord, 13)) show(s, {L::MemPreset, L::DirectPreset});
  const unsigned feature = r.featureWord;
  if (bit(feature, 2)) s[L::CamPreset].shown = afp;
  if (bit(feature, 3)) s[L::BlockRead].shown = afp;
  if (bit(feature, 11)) s[L::EnhancedIntensity].shown = !afp;
  if (bit(feature, 12)) s[L::Strobe].shown = !afp;
  if (bit(feature, 15)) s[L::EnhancedIntensity].shown = true;
  presetGroupsShown(s, !bit(static_cast<unsigned>(r.presetGroups), 0));
}

// ---- menu helpers

void check(MenuState& m, std::initializer_list<MenuItem> off, MenuItem on) {
  for (auto i : off) m[i].checked = false;
  m[on].checked = true;
}

struct ValueItem {
  std::uint32_t value;
  MenuItem item;
};
struct ValueMap {
  std::uint32_t from;
  std::uint32_t to;
};

// How one group of models offers its camera modes: the items it keeps, how its AFP values
// map to the register's, and which item a register value checks.
struct ModeTable {
  std::initializer_list<MenuItem> kept;
  std::initializer_list<ValueMap> afpToRegister;
  std::initializer_list<ValueItem> checks;
};

const ModeTable kRates1080And720{
    {M::Mode1080_60p, M::Mode1080_50p, M::Mode720_60p, M::Mode720_50p},
    {{2, 17}, {6, 1}, {16, 21}, {17, 5}},
    {{1, M::Mode720_50p}, {5, M::Mode1080_50p}, {17, M::Mode720_60p}, {21, M::Mode1080_60p}}};
const ModeTable kRates720{
    {M::Mode720_60p, M::Mode720_50p}, {{2, 17}, {6, 1}}, {{1, M::Mode720_50p}, {17, M::Mode720_60p}}};
const ModeTable kRatesFull{
    {M::Mode1080_60p, M::Mode1080_5994p, M::Mode1080_50p, M::Mode1080_30p, M::Mode1080_2997p, M::Mode1080_25p,
     M::Mode1080_60i, M::Mode1080_5994i, M::Mode1080_50i, M::Mode720_60p, M::Mode720_5994p, M::Mode720_50p},
    {{1, 16}, {2, 17}, {3, 18}, {5, 0}, {6, 1}, {7, 2}, {12, 48}, {13, 49}, {14, 50}, {16, 21}, {17, 5}, {18, 53}},
    {{0, M::Mode1080_50i}, {1, M::Mode720_50p}, {2, M::Mode1080_25p}, {5, M::Mode1080_50p}, {16, M::Mode1080_60i},
     {17, M::Mode720_60p}, {18, M::Mode1080_30p}, {21, M::Mode1080_60p}, {48, M::Mode1080_5994i},
     {49, M::Mode720_5994p}, {50, M::Mode1080_2997p}, {53, M::Mode1080_5994p}}};
const ModeTable kRatesFullNo1080p{
    {M::Mode1080_30p, M::Mode1080_2997p, M::Mode1080_25p, M::Mode1080_60i, M::Mode1080_5994i, M::Mode1080_50i,
     M::Mode720_60p, M::Mode720_5994p, M::Mode720_50p},
    {{1, 16}, {2, 17}, {3, 18}, {5, 0}, {6, 1}, {7, 2}, {12, 48}, {13, 49}, {14, 50}},
    kRatesFull.checks};
const ModeTable kRates720Low{
    {M::Mode720_30p, M::Mode720_25p}, {{9, 20}, {10, 4}}, {{4, M::Mode720_25p}, {20, M::Mode720_30p}}};

// The items of the default 1080/720 model (0xFF0), in register value order (value AND 0x13
// gives 0x10-0x13, then 0x00-0x03); its AFP values 1-8 take the same order.
constexpr std::array<ValueItem, 8> kBroadcastModes{{{0x10, M::Mode1080_60i},
                                                    {0x11, M::Mode720_60p},
                                                    {0x12, M::Mode1080_30p},
                                                    {0x13, M::Mode1080_60iFrameOut},
                                                    {0x00, M::Mode1080_50i},
                                                    {0x01, M::Mode720_50p},
                                                    {0x02, M::Mode1080_25p},
                                                    {0x03, M::Mode1080_50iFrameOut}}};

void keepOnly(MenuState& m, std::initializer_list<MenuItem> kept) {
  for (auto item : cameraModeItems())
    if (std::find(kept.begin(), kept.end(), item) == kept.end()) m[item].removed = true;
}

// A removed item cannot take the check.
void checkMode(MenuState& m, MenuItem item) {
  for (auto i : cameraModeItems()) m[i].checked = false;
  if (!m[item].removed) m[item].checked = true;
}

void applyModeTable(MenuState& m, const ModeTable& t, std::uint32_t value, bool afp) {
  keepOnly(m, t.kept);
  if (afp)
    for (const auto& map : t.afpToRegister)
      if (map.from == value) {
        value = map.to;
        break;
      }
  for (const auto& c : t.checks)
    if (c.value == value) return checkMode(m, c.item);
}

const ModeTable* modeTableFor(std::uint16_t code) {
  const auto family = code & 0xFFF0u;
  if (code == 0x1AF0) return &kRates1080And720;
  if (code == 0x1AF2 || code == 0x1AF3 || code == 0x1DF0) return &kRatesFull;
  if (code == 0x1AF1 || code == 0x1AF4) return &kRatesFullNo1080p;
  if (family == 0x1BF0) return &kRates720;
  if (family == 0x1CF0) return &kRates720Low;
  return nullptr;
}

// False when a read failed: the gating ends there.
bool cameraModeGating(MenuState& m, const ModelRecord& r, bool afp, const SettingReader& read) {
  m.submenuEnabled(Submenu::CameraMode) = true;
  const std::uint16_t code = r.modelCode;
  const bool broadcast = code == 0xFF0;
  const bool hd720 = code == 0x13F0 || code == 0x14F0 || code == 0x15F0 || code == 0x16F0;
  const bool hd1080 = (code & 0xFFF0u) == 0x19F0;
  const ModeTable* table = modeTableFor(code);
  if (!broadcast && !hd720 && !hd1080 && table == nullptr) {
    keepOnly(m, {M::Mode1_720Line, M::Mode2_960Line});
    const auto lines = read(kLineModeRegister);
    if (!lines) return false;
    checkMode(m, bit(*lines, 0) ? M::Mode2_960Line : M::Mode1_720Line);
    return true;
  }
  const auto value = read(kCameraModeSetting);
  if (broadcast) {
    keepOnly(m, {M::Mode1080_30p, M::Mode1080_25p, M::Mode1080_60i, M::Mode1080_50i, M::Mode1080_60iFrameOut,
                 M::Mode1080_50iFrameOut, M::Mode720_60p, M::Mode720_50p});
    if ((r.cameraVersion & 0xF000u) == 0xB000u)
      for (auto i : {M::Mode1080_25p, M::Mode1080_50i, M::Mode1080_50iFrameOut, M::Mode720_50p}) m[i].removed = true;
    if (!value) return false;
    MenuItem item = M::Mode1080_60i;
    if (!afp) {
      for (const auto& c : kBroadcastModes)
        if (c.value == (*value & 0x13u)) item = c.item;
    } else if (*value >= 1 && *value <= 8) {
      item = kBroadcastModes[*value - 1].item;
    }
    checkMode(m, item);
    return true;
  }
  if (hd720 || hd1080) {
    if (hd720) keepOnly(m, {M::Mode720_30p, M::Mode720_25p});
    else keepOnly(m, {M::Mode1080_30p, M::Mode1080_25p});
    if (!value) return false;
    bool low = false;  // the 25 frame rate
    if (hd720) low = afp ? *value == 10 : (*value & 0x14u) == 4;
    else low = afp ? (*value & 7u) == 7 : *value == 2;
    if (hd720) checkMode(m, low ? M::Mode720_25p : M::Mode720_30p);
    else checkMode(m, low ? M::Mode1080_25p : M::Mode1080_30p);
    return true;
  }
  keepOnly(m, table->kept);
  if (!value) return false;
  applyModeTable(m, *table, *value, afp);
  return true;
}

bool outputGating(MenuState& m, const ModelRecord& r, bool afp, const SettingReader& read) {
  if (bit(r.menuWord, 8)) {
    m.submenuEnabled(Submenu::OutputMode) = true;
    const auto v = read(kDigitalOutputSetting);
    if (!v) return false;
    const bool digital = afp ? *v == 2 : *v != 0;
    check(m, {M::DigitalOut, M::AnalogOut}, digital ? M::DigitalOut : M::AnalogOut);
    return true;
  }
  const auto select = read(kOutputSelectRegister);
  if (!select) return false;
  if (!bit(*select, 7)) return true;
  m.submenuEnabled(Submenu::OutputMode) = true;
  const auto drive = read(kDriveModeRegister);
  if (!drive) return false;
  check(m, {M::DigitalOut, M::AnalogOut}, bit(*drive, 1) ? M::AnalogOut : M::DigitalOut);
  return true;
}

// The steps up to the protocol check; false when a read ended them early.
bool modelMenus(MenuState& m, const ModelRecord& r, const GatingSwitches& sw, const SettingReader& read) {
  const unsigned mw = r.menuWord;
  const bool afp = sw.protocol == link::Protocol::Afp;
  if (bit(mw, 3)) m[M::CameraSetupUtility].enabled = true;
  if (bit(mw, 7)) {
    m.submenuEnabled(Submenu::DisplayMode) = true;
    const auto v = read(kDisplayModeRegister);
    if (!v) return false;
    check(m, {M::ExtKeyDisplayMode, M::PrivacyMaskMode}, bit(*v, 0) ? M::PrivacyMaskMode : M::ExtKeyDisplayMode);
  }
  if (bit(mw, 4)) m[M::Ntsc].enabled = false;
  if (bit(mw, 5)) m[M::Pal].enabled = false;
  if (bit(mw, 6)) m[M::SoftReset].enabled = true;
  if (offersFactoryDefault(r)) m[M::ResetToFactoryDefault].enabled = true;
  for (auto i : kFileItems) m[i].enabled = true;
  if (r.eisLevel >= 2) m[M::EisSetup].enabled = true;
  if (bit(mw, 2)) {
    m.submenuEnabled(Submenu::CcdDriveMode) = true;
    const auto v = read(kDriveModeRegister);
    if (!v) return false;
    check(m, {M::InterlaceMode, M::ProgressiveMode}, bit(*v, 0) ? M::InterlaceMode : M::ProgressiveMode);
  }
  if (bit(mw, 1) && !outputGating(m, r, afp, read)) return false;
  if (bit(mw, 0) && !cameraModeGating(m, r, afp, read)) return false;
  if (bit(mw, 10)) {
    m.submenuEnabled(Submenu::Clock) = true;
    const auto v = read(kClockRegister);
    if (!v) return false;
    for (auto i : clockItems()) m[i].checked = false;
    if (*v == 0) m[M::Clock27MHz].checked = m[M::Clock28_5MHz].checked = true;
    else if (*v == 1) m[M::Clock30MHz].checked = true;
    else if (*v == 0xFF) m[M::Clock36MHz].checked = true;
  }
  if (bit(mw, 11)) {
    m.submenuEnabled(Submenu::GainUpMode) = true;
    const auto v = read(kGainUpModeSetting);
    if (!v) return false;
    m[M::GainNormal].checked = *v == (afp ? 1u : 0u);
    m[M::GainHighSensitivity].checked = *v == (afp ? 2u : 1u);
  }
  return true;
}

// What the identification found out about the menus while it read the camera.
void identificationMenus(MenuState& m, const ModelRecord& r, const IdentificationFlags& flags) {
  switch (r.formatMenu) {
    case FormatMenu::ByMenuWord: break;
    case FormatMenu::Grey:
      for (auto i : {M::Ntsc, M::Pal, M::SoftReset}) m[i].enabled = false;
      break;
    case FormatMenu::PalChecked:
    case FormatMenu::NtscChecked:
      for (auto i : {M::Ntsc, M::Pal, M::SoftReset}) {
        m[i].enabled = true;
        m[i].checked = false;
      }
      m[r.formatMenu == FormatMenu::PalChecked ? M::Pal : M::Ntsc].checked = true;
      break;
  }
  if (r.displayModeMenu) {
    m.submenuEnabled(Submenu::DisplayMode) = true;
    check(m, {M::ExtKeyDisplayMode, M::PrivacyMaskMode},
          r.displayModePrivacyMask ? M::PrivacyMaskMode : M::ExtKeyDisplayMode);
  }
  if (r.removedClockItems & kClockItem27MHz) m[M::Clock27MHz].removed = true;
  if (r.removedClockItems & kClockItem28_5MHz) m[M::Clock28_5MHz].removed = true;
  m[M::AfpSelect].enabled = m[M::EapSelect].enabled = flags.protocolSelect;
}

}  // namespace

bool offersFactoryDefault(const ModelRecord& r) { return (r.extraOptionWord & kExtraFactoryDefault) != 0; }

std::string_view defaultCaption(LauncherItem item) { return kCaptions[static_cast<std::size_t>(item)]; }

std::span<const MenuItem> menuItems() { return kMenuItems; }
std::span<const MenuItem> cameraModeItems() {
  return std::span(kMenuItems).subspan(kFirstCameraMode, kCameraModeCount);
}
std::span<const MenuItem> clockItems() { return std::span(kMenuItems).subspan(kFirstClock, kClockCount); }

MenuState::MenuState() = default;

ItemState& MenuState::operator[](MenuItem item) {
  const auto at = std::find(kMenuItems.begin(), kMenuItems.end(), item);
  return items_[static_cast<std::size_t>(at - kMenuItems.begin())];
}
const ItemState& MenuState::operator[](MenuItem item) const {
  const auto at = std::find(kMenuItems.begin(), kMenuItems.end(), item);
  return items_[static_cast<std::size_t>(at - kMenuItems.begin())];
}

std::string_view effectsCaption(int effectsSet) {
  switch (effectsSet) {
    case 0: return {};
    case 1: case 4: return "FRZ./ MIR./ MOS.";
    case 2: return "WDR / FRZ./ INV.";
    case 3: return "FRZ./ INV./ MOS.";
    case 6: return "FRZ./ INV./ EIS.";
    case 7: return "WDR / FRZ./ EIS.";
    case 8: return "INSTANT FADE";
    case 9: return "WDR / FNR / FRZ.";
    case 10: return "WDR / MIR./ FRZ.";
    case 11: return "WDR/FRZ/INV/FNR";
    case 12: return "FRZ/INV/FNR";
    default: return "WDR / REVERSE";
  }
}

MenuState startMenu(const GatingSwitches& sw) {
  MenuState m;
  // Enabled in the menu resource; everything else starts greyed.
  for (auto i : {M::AdrTrans, M::Exit, M::SerialPort, M::CameraSetupUtility, M::ClearScreen, M::RsBufferClear,
                 M::WaitTime3s, M::WaitTime5s, M::OneTime, M::InfLoop, M::LimitedLoop, M::Help, M::About})
    m[i].enabled = true;
  check(m, {M::WaitTime3s, M::WaitTime5s}, sw.waitTime == 3 ? M::WaitTime3s : M::WaitTime5s);
  const bool qa = sw.qaMode == 1;
  for (auto i : {M::OneTime, M::InfLoop, M::LimitedLoop}) m[i].enabled = qa;
  if (qa)
    check(m, {M::OneTime, M::InfLoop, M::LimitedLoop},
          sw.demoMode == 0 ? M::InfLoop : sw.demoMode == 1 ? M::OneTime : M::LimitedLoop);
  for (auto i : {M::Ntsc, M::Pal, M::SoftReset}) m[i].enabled = false;
  if (sw.sendFile == 0) m[M::SendFile].removed = true;
  if (sw.psetdatBup == 0) m[M::PresetDataSave].removed = m[M::PresetDataOpen].removed = true;
  if (sw.adrMenu == 0) m[M::AdrTrans].removed = true;
  if (sw.factory) m[M::CameraSetupUtility].enabled = false;
  else m[M::CameraSetupUtility].removed = true;
  m[M::MotorTest].removed = sw.motorTest != 1;
  m[M::MotorTest].enabled = sw.motorTest == 1;
  if (sw.protocolConfigured) {
    m.submenuEnabled(Submenu::ProtocolType) = true;
    check(m, {M::AfpSelect, M::EapSelect}, sw.protocol == link::Protocol::Afp ? M::AfpSelect : M::EapSelect);
  }
  return m;
}

LauncherState idleLauncher() {
  LauncherState s;
  // What a disconnect hides is only hidden; it comes back as it was when shown again.
  for (auto i : {L::MotionDetect, L::MotionTracking, L::MemPreset, L::DirectPreset, L::CamPreset, L::BlockRead,
                 L::EnhancedIntensity, L::Strobe, L::BiCycling}) {
    s[i].enabled = true;
    s[i].shown = false;
  }
  show(s, {L::StatusMessage, L::ZoomArrivalMessage}, false);
  presetGroupsShown(s, false);
  return s;
}

LauncherState connectedLauncher(const LauncherState& from, const GatingSwitches& sw) {
  LauncherState s = from;
  const bool afp = sw.protocol == link::Protocol::Afp;
  if (!afp) s[L::Demonstration].enabled = true;
  enable(s, {L::FullAuto, L::ZoomFocus, L::Ae, L::Exposure, L::IrcfRemove, L::ShutterSpeed, L::WdrReverse, L::Agc,
             L::WhiteBalance, L::BackLightComp, L::ApertureLevel, L::PrivacyMask, L::Ver});
  show(s, {L::MotionDetect, L::MotionTracking, L::MemPreset, L::DirectPreset, L::CamPreset}, false);
  s[L::PresetGroups].enabled = !afp;
  keysEnabled(s, L::MemoryKey1, kPresetKeys, !afp);
  keysEnabled(s, L::PresetButton1, kPresetKeys, false);
  if (sw.activeExec != 0) enable(s, {L::ZoomArrivalMessage, L::StatusMessage});
  return lensButtonsFollow(s);
}

LauncherState launcherGating(const ModelRecord& r, const IdentificationFlags& flags, const GatingSwitches& sw,
                             const PresetMemory& presets) {
  return launcherGating(connectedLauncher(idleLauncher(), sw), r, flags, sw, presets);
}

LauncherState launcherGating(const LauncherState& base, const ModelRecord& r, const IdentificationFlags&,
                             const GatingSwitches& sw, const PresetMemory& presets) {
  LauncherState s = base;
  if (auto c = effectsCaption(r.effectsSet); !c.empty()) s[L::WdrReverse].caption = c;
  maskGating(s, r);
  familyGating(s, r, sw);
  if (r.modelCode >= 0x30 && sw.wspotCancel == 1) rename(s, L::ShutterSpeed, "SPOT CANCEL");
  if (r.monochrome) s[L::WhiteBalance].enabled = false;
  const unsigned family = r.modelCode & 0xF0u;
  s[L::MotionDetect].shown = (family == 0x70 && r.cameraVersion >= 0x230) ||
                             (sw.motionDetOn == 7 && family == 0x70 && r.cameraVersion >= 0x218) || family == 0xB0;
  if (family >= 0xA0 && family <= 0xE0 && sw.activeExec != 0) show(s, {L::ZoomArrivalMessage, L::StatusMessage});
  s[L::BiCycling].shown = sw.biCycling != 0;
  if (r.modelCode == presets.previousModelCode && sw.protocol == link::Protocol::Eap)
    for (std::size_t k = 0; k < kPresetKeys; ++k) {
      s.items[keyIndex(L::MemoryKey1, k)].checked = presets.savedChecks[k];
      if (presets.savedChecks[k]) s.items[keyIndex(L::PresetButton1, k)].enabled = true;
    }
  wordGating(s, r, sw);
  return lensButtonsFollow(s);
}

MenuState menuGating(const MenuState& menu, const ModelRecord& r, const IdentificationFlags& flags,
                     const GatingSwitches& sw, const SettingReader& read) {
  MenuState m = menu;
  identificationMenus(m, r, flags);
  // The C0 family offers the setup utility whatever its menu word says.
  if (r.modelCode >= 0x30 && (r.modelCode & 0xF0u) == 0xC0) m[M::CameraSetupUtility].enabled = true;
  if (!modelMenus(m, r, sw, read)) return m;
  check(m, {M::AfpSelect, M::EapSelect}, sw.protocol == link::Protocol::Afp ? M::AfpSelect : M::EapSelect);
  return m;
}

Disconnected disableForDisconnect(const LauncherState& launcher, const MenuState& menu, const GatingSwitches& sw) {
  Disconnected d{launcher, menu, {}};
  LauncherState& s = d.launcher;
  enable(s, {L::Demonstration, L::FullAuto, L::ZoomFocus, L::Ae, L::Exposure, L::IrcfRemove, L::ShutterSpeed,
             L::WdrReverse, L::Agc, L::WhiteBalance, L::BackLightComp, L::ApertureLevel, L::PrivacyMask},
         false);
  show(s, {L::MotionDetect, L::MotionTracking, L::MemPreset, L::DirectPreset, L::CamPreset, L::BlockRead,
           L::EnhancedIntensity, L::Strobe},
       false);
  for (std::size_t k = 0; k < 2 * kPresetKeys; ++k) {
    auto& key = s.items[keyIndex(L::MemoryKey1, k)];
    if (k < kPresetKeys) d.savedChecks[k] = key.checked;
    key.checked = false;
    key.enabled = false;
  }
  if (sw.activeExec != 0) enable(s, {L::ZoomArrivalMessage, L::StatusMessage}, false);
  s[L::PresetGroups].enabled = false;
  presetGroupsShown(s, false);
  lensButtonsFollow(s);

  MenuState& m = d.menu;
  for (auto i : {M::LogFile, M::SendFile, M::CameraDataRead, M::CameraDataWrite, M::PresetDataOpen,
                 M::PresetDataSave, M::CameraSetupUtility, M::EisSetup, M::SerialPort, M::SoftReset,
                 M::ResetToFactoryDefault})
    m[i].enabled = false;
  for (auto sub : {Submenu::DisplayMode, Submenu::CcdDriveMode, Submenu::OutputMode, Submenu::CameraMode,
                   Submenu::Clock, Submenu::GainUpMode})
    m.submenuEnabled(sub) = false;
  for (auto i : cameraModeItems()) m[i].removed = false;
  for (auto i : clockItems()) m[i].removed = false;
  return d;
}

}  // namespace orva::camera
