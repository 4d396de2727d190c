#pragma once
// The one description of the connected camera. Only the identification writes it; everything
// model-dependent (launcher, menus, panels, EEPROM tools) reads it.
#include <cstdint>
#include <string>

namespace orva::camera {

inline constexpr std::uint16_t kModelNotIdentified = 0xFF;

// How the MODEL menu's "NTSC", "PAL" and "SOFT RESET" items start for the model.
enum class FormatMenu : std::uint8_t {
  ByMenuWord,   // the menu word's bits decide
  Grey,         // the three items greyed
  PalChecked,   // the three enabled, "PAL" checked (register 0x11EE = 0x88)
  NtscChecked,  // the three enabled, "NTSC" checked (register 0x11EE = 0xAA)
};

// CLOCK submenu items the model removes (bits of ModelRecord::removedClockItems).
inline constexpr std::uint8_t kClockItem27MHz = 0x01;
inline constexpr std::uint8_t kClockItem28_5MHz = 0x02;

struct ModelRecord {
  // Reset by every identification (resetModelRecord); the values here are the reset values.
  std::string name = "Not supported";  // at most 13 characters, shown in the launcher
  std::uint16_t modelCode = kModelNotIdentified;  // low nibble: variant (0 standard, 1 "E", 2/3 others)
  int lensIndex = 0;        // 0-28, selects the zoom panels' lens tables
  int processorClass = 0;   // 0-11
  bool monochrome = false;  // no white balance
  std::uint16_t cameraVersion = 0;  // register 0x0106
  int maskType = 0;          // 1, 2 or 3 once read
  int formatSwitchMode = 0;  // 1 soft reset after a format change, 2 none, 3 the item resets at once
  int effectsSet = 3;        // 0-12, caption of the "WDR / REVERSE" button
  int eisLevel = 0;          // 0-4; 2 or more enables "EIS Setup"
  std::uint8_t launcherMask = 0xFF;
  std::uint16_t functionWord = 0;
  std::uint16_t menuWord = 0;
  std::uint16_t featureWord = 0;
  std::uint16_t optionWord = 0;       // bit 0 extended communication, bit 2 TITLE, bit 7 digital out, bit 13 presets
  std::uint16_t lensControlWord = 0;  // bit 4 lens status from 0xF740, bit 12 "PICTURE"
  // Panel capability values, in record order.
  std::uint16_t panelWord1 = 65;
  std::uint8_t panelByte1 = 0;
  std::uint16_t panelWord2 = 0xFF;
  std::uint8_t panelByte2 = 0x80;
  std::uint16_t panelWord3 = 0;
  std::uint8_t panelByte3 = 0;
  std::uint8_t panelByte4 = 2;
  std::uint16_t panelWord4 = 0;
  std::uint8_t panelByte5 = 0;
  std::uint8_t panelByte6 = 0;
  std::uint8_t panelByte7 = 0;
  std::uint8_t panelByte8 = 0;
  std::uint8_t panelByte9 = 0;
  std::uint8_t panelByte10 = 0;
  std::uint8_t panelByte11 = 0;
  // Registers 0x0108-0x010A (bytes) and 0x010B (word), for the EEPROM tools.
  std::uint8_t reg0108 = 0;
  std::uint8_t reg0109 = 0;
  std::uint8_t reg010A = 0;
  std::uint16_t reg010B = 0;
  // Menu facts only the identification reads from the camera.
  FormatMenu formatMenu = FormatMenu::ByMenuWord;
  bool displayModeMenu = false;         // DISPLAY MODE enabled by the identification itself
  bool displayModePrivacyMask = false;  // its check: "PRIVACY MASK mode" (else "Ext.Key Display mode")
  std::uint8_t removedClockItems = 0;

  // Not reset by an identification: 0 at start, set by the setup routines that know them.
  std::uint16_t extraOptionWord = 0;  // bit 0 "PL Filter", bit 2 "Reset to factory default"
  int motionTracking = 0;             // bit 0 shows MOTION TRACKING
  int presetGroups = 0;               // bit 0 hides PRESET TYPE I and II
  int clockSelector = 0;              // 1-6 for the families with a clock setting
};

// Shared values the identification sets beside the record.
struct IdentificationFlags {
  bool protocolChoice = false;  // the camera offers both protocols (0x1158 = 3)
  bool protocolSelect = false;  // "AFP select" and "EAP select" enabled (0x1158 = 2 or 3)
  bool ntscTiming = false;      // NTSC rate or digital output
  int extendedCommMode = 0;     // the block-read mode the link uses
  int aeMode = 0xFF;            // register 0xFCC8, 0xFF = none
  int speedCapability = 0;      // 1-3 when the model states its speeds, 0 otherwise
};

// The reset values above, except the four values an identification keeps.
void resetModelRecord(ModelRecord& r);

}  // namespace orva::camera
