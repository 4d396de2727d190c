#pragma once
// Model gating: which launcher buttons and menu items a connected camera offers.
//
// The states here are plain values keyed by identifiers this layer defines; the GUI renders
// them and the CLI may print them. Every function is a function of its arguments: the model
// record, the identification flags and the switches of the configuration. The menu gating
// also needs a few camera values (display mode, drive mode, camera mode, clock, gain mode);
// it asks them through a reader in the order it uses them and stops at the first that fails,
// leaving the rest of the menu as it was.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "camera/model_record.hpp"
#include "camera/setting.hpp"
#include "link/link.hpp"

namespace orva::camera {

// The CONTROL launcher's buttons and the items gated with them.
enum class LauncherItem : std::uint8_t {
  Demonstration,
  FullAuto,
  ZoomFocus,
  Ae,
  Exposure,
  IrcfRemove,
  ShutterSpeed,
  WdrReverse,
  Agc,
  WhiteBalance,
  BackLightComp,
  ApertureLevel,
  PrivacyMask,
  Ver,
  MotionDetect,
  MotionTracking,
  MemPreset,
  DirectPreset,
  CamPreset,
  BlockRead,
  EnhancedIntensity,
  Strobe,
  BiCycling,
  StatusMessage,
  ZoomArrivalMessage,
  Zoom,   // ZOOM and FOCUS open the single-purpose lens panels; they follow "ZOOM / FOCUS"
  Focus,
  PresetGroups,  // the PRESET TYPE I and II group boxes and their labels
  MemoryKey1,    // PRESET TYPE I keys 1-4, then PRESET TYPE II keys 1-4
  MemoryKey2,
  MemoryKey3,
  MemoryKey4,
  MemoryKey5,
  MemoryKey6,
  MemoryKey7,
  MemoryKey8,
  PresetButton1,  // the execute button beside each memory key
  PresetButton2,
  PresetButton3,
  PresetButton4,
  PresetButton5,
  PresetButton6,
  PresetButton7,
  PresetButton8,
};
inline constexpr std::size_t kLauncherItemCount = static_cast<std::size_t>(LauncherItem::PresetButton8) + 1;
inline constexpr std::size_t kPresetKeys = 8;

// The caption a button has when nothing renames it.
std::string_view defaultCaption(LauncherItem item);

struct ButtonState {
  bool enabled = false;
  bool shown = true;
  bool checked = false;        // memory keys only
  std::string_view caption;    // empty: the default caption
};

struct LauncherState {
  std::array<ButtonState, kLauncherItemCount> items{};
  ButtonState& operator[](LauncherItem i) { return items[static_cast<std::size_t>(i)]; }
  const ButtonState& operator[](LauncherItem i) const { return items[static_cast<std::size_t>(i)]; }
  std::string_view caption(LauncherItem i) const {
    const auto& c = (*this)[i].caption;
    return c.empty() ? defaultCaption(i) : c;
  }
};

// Menu items by their command identifiers.
enum class MenuItem : std::uint16_t {
  LogFile = 40010,
  SendFile = 40030,
  CameraDataRead = 1000,
  CameraDataWrite = 1010,
  PresetDataOpen = 40047,
  PresetDataSave = 40046,
  AdrTrans = 40053,
  Exit = 970,
  SerialPort = 40051,
  CameraSetupUtility = 40058,
  EisSetup = 40066,
  AfpSelect = 40105,
  EapSelect = 40106,
  ClearScreen = 40008,
  RsBufferClear = 40048,
  WaitTime3s = 40011,
  WaitTime5s = 40012,
  OneTime = 40013,
  InfLoop = 40014,
  LimitedLoop = 40054,
  Ntsc = 40019,
  Pal = 40016,
  SoftReset = 40018,
  ResetToFactoryDefault = 40115,
  ExtKeyDisplayMode = 40056,
  PrivacyMaskMode = 40057,
  ProgressiveMode = 40071,
  InterlaceMode = 40070,
  DigitalOut = 40073,
  AnalogOut = 40074,
  Mode1_720Line = 40080,
  Mode2_960Line = 40079,
  Mode1080_60p = 40122,
  Mode1080_5994p = 40124,
  Mode1080_50p = 40123,
  Mode1080_30p = 40090,
  Mode1080_2997p = 40119,
  Mode1080_25p = 40094,
  Mode1080_60i = 40098,
  Mode1080_5994i = 40117,
  Mode1080_50i = 40092,
  Mode1080_60iFrameOut = 40097,
  Mode1080_50iFrameOut = 40096,
  Mode720_60p = 40101,
  Mode720_5994p = 40120,
  Mode720_50p = 40093,
  Mode720_30p = 40108,
  Mode720_25p = 40107,
  Clock36MHz = 40084,
  Clock30MHz = 40085,
  Clock27MHz = 40086,
  Clock28_5MHz = 40113,
  GainNormal = 40088,
  GainHighSensitivity = 40089,
  MotorTest = 40076,
  Help = 980,
  About = 990,
};

// Every item, in menu order (CAMERA MODE and CLOCK items in their submenu order).
std::span<const MenuItem> menuItems();
// The CAMERA MODE items and the CLOCK items: the only items a model removes.
std::span<const MenuItem> cameraModeItems();
std::span<const MenuItem> clockItems();

inline constexpr std::size_t kMenuItemCount = 57;

// Submenus are enabled as a whole, by position.
enum class Submenu : std::uint8_t {
  DisplayMode,
  CcdDriveMode,
  OutputMode,
  CameraMode,
  Clock,
  GainUpMode,
  ProtocolType,
};
inline constexpr std::size_t kSubmenuCount = 7;

struct ItemState {
  bool enabled = false;
  bool checked = false;
  bool removed = false;  // taken out of its menu
};

class MenuState {
 public:
  MenuState();
  ItemState& operator[](MenuItem item);
  const ItemState& operator[](MenuItem item) const;
  bool& submenuEnabled(Submenu s) { return submenus_[static_cast<std::size_t>(s)]; }
  bool submenuEnabled(Submenu s) const { return submenus_[static_cast<std::size_t>(s)]; }
  bool operator==(const MenuState&) const = default;

 private:
  std::array<ItemState, kMenuItemCount> items_{};
  std::array<bool, kSubmenuCount> submenus_{};
};

// The configuration's switches and the session values gating depends on.
struct GatingSwitches {
  link::Protocol protocol = link::Protocol::Eap;
  bool protocolConfigured = true;  // the configuration names a variant
  bool factory = false;            // "/F" or "/FS"
  int waitTime = 5;                // demonstration wait in seconds
  int demoMode = 0;
  int qaMode = 0;
  int sendFile = 0;
  int psetdatBup = 0;
  int adrMenu = 0;
  int motorTest = 0;
  int newFeature = 1;
  int wspotCancel = 0;
  int ledControl = 0;
  int motionDetOn = 0;
  int activeExec = 0;
  int biCycling = 0;
};

// What the launcher keeps of the preset keys across connections.
struct PresetMemory {
  std::uint16_t previousModelCode = kModelNotIdentified;
  std::array<bool, kPresetKeys> savedChecks{};  // saved at the last disconnect
};

// The menu bar as set up at start from the configuration and the command line.
MenuState startMenu(const GatingSwitches& sw);

// The launcher before any connection: everything model-dependent disabled and hidden.
LauncherState idleLauncher();
// The base set a connection enables before the camera is identified.
LauncherState connectedLauncher(const LauncherState& from, const GatingSwitches& sw);

// The launcher for an identified camera, from the connected base set. The caller remembers
// the model code as the previous one afterwards.
LauncherState launcherGating(const ModelRecord& r, const IdentificationFlags& flags, const GatingSwitches& sw,
                             const PresetMemory& presets = {});
// The same from an explicit base state.
LauncherState launcherGating(const LauncherState& base, const ModelRecord& r, const IdentificationFlags& flags,
                             const GatingSwitches& sw, const PresetMemory& presets = {});

// Whether the camera takes the factory-default command: "Reset to factory default" and
// "orva-cli eeprom factory-reset" offer it only then (extra option word bit 2).
bool offersFactoryDefault(const ModelRecord& r);

// Reads a camera value for the menu gating; nullopt when the read failed.
using SettingReader = std::function<std::optional<std::uint32_t>(const Setting&)>;

// The MODEL, SETUP and File menus for an identified camera, applied to `menu` (which holds
// what the identification already set).
MenuState menuGating(const MenuState& menu, const ModelRecord& r, const IdentificationFlags& flags,
                     const GatingSwitches& sw, const SettingReader& read);

struct Disconnected {
  LauncherState launcher;
  MenuState menu;
  std::array<bool, kPresetKeys> savedChecks{};  // the memory keys' checks before they were cleared
};

// Everything model-dependent disabled, the removed CAMERA MODE and CLOCK items put back.
Disconnected disableForDisconnect(const LauncherState& launcher, const MenuState& menu, const GatingSwitches& sw);

// The caption of "WDR / REVERSE" for an effects set; empty for 0 (the caption stays).
std::string_view effectsCaption(int effectsSet);

}  // namespace orva::camera
