#pragma once
// EEPROM PRESET (the 14 TYPE I / TYPE II records of the camera's 0x1700 table, the tool's easy
// presets, Goto ZOOM and Goto ZOOM 2, the MOSAIC and Instant FADE switches, and the preset
// panels' lens part).
#include <array>
#include <memory>
#include <string_view>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::preset::eeprom {

inline constexpr int kRecords = 14;
inline constexpr int kEasyPerType = 2;

// Record n (from 1) is kTypeOneMemory1 + n - 1 and so on.
inline constexpr ControlId kTypeOneMemory1 = 1;
inline constexpr ControlId kTypeTwoMemory1 = 21;
inline constexpr ControlId kPreset1 = 41;
// Easy presets in ToolPresets::easy order: TYPE I 1 and 2, then TYPE II 1 and 2.
inline constexpr ControlId kEasyMemory1 = 61;
inline constexpr ControlId kEasyPreset1 = 65;
inline constexpr ControlId kGotoZoom2 = 70;
inline constexpr ControlId kGotoZoom2Start = 71;
inline constexpr ControlId kMosaic = 80;
inline constexpr ControlId kHSize = 81;
inline constexpr ControlId kVSize = 82;
inline constexpr ControlId kFade = 83;
inline constexpr ControlId kClose = 90;

const PanelDescription& eepromPresetDescription();
std::unique_ptr<PanelLogic> makeEepromPresetPanel(PanelContext& context, PanelView& view);

namespace texts {
inline constexpr std::string_view kTitle = "EEPROM PRESET...";
inline constexpr std::string_view kTypeOne = "TYPE I";
inline constexpr std::string_view kTypeTwo = "TYPE II";
inline constexpr std::string_view kPreset = "Preset";
inline constexpr std::string_view kKeysGroup = "TYPE I  /  TYPE II  /  Preset";
inline constexpr std::string_view kEasyPreset = "Easy Preset";
// The easy presets' groups on the screen: slots 1-2 are TYPE I, 3-4 TYPE II.
inline constexpr std::array<std::string_view, 2> kEasyGroups{"Easy Preset  TYPE I", "Easy Preset  TYPE II"};
inline constexpr std::string_view kMem = "Mem.";
inline constexpr std::string_view kGotoZoom2 = "Goto ZOOM 2";
inline constexpr std::string_view kGotoZoom2Value = "Value (0-FF) :";
inline constexpr std::string_view kGotoZoom2StartName = "Goto ZOOM 2 START";
inline constexpr std::string_view kGotoZoom2Heading = "Goto ZOOM 2 Start !!";
inline constexpr std::string_view kMosaicGroup = "MOSAIC";
inline constexpr std::string_view kMosaic = "Mosaic";
inline constexpr std::string_view kHSize = "H Size";
inline constexpr std::string_view kVSize = "V Size";
inline constexpr std::string_view kFadeGroup = "Instant FADE";
inline constexpr std::string_view kFadeOn = "FADE ON";
inline constexpr std::string_view kMosaicOnHeading = "<< MOSAIC ON  >>";
inline constexpr std::string_view kMosaicOffHeading = "<< MOSAIC OFF >>";
inline constexpr std::string_view kMosaicRefused = "<< MOSAIC can not ON. Please Continuous Digi.ZOOM OFF !! >>";
inline constexpr std::string_view kFadeOnHeading = "<< Instant FADE ON  >>";
inline constexpr std::string_view kFadeOffHeading = "<< Instant FADE OFF >>";
inline constexpr std::string_view kEasyPresetHeading = "Easy Preset Start !!";
inline constexpr std::string_view kClose = "CLOSE";
// Run headings (written as "<< ... >>") and names, with the record or easy preset number.
inline constexpr std::string_view kTypeOneMemoryHeading = "EEP TYPE I Memory{}";
inline constexpr std::string_view kTypeTwoMemoryHeading = "EEP TYPE II Memory{}";
inline constexpr std::string_view kPresetHeading = "EEP Preset{} Execute";
inline constexpr std::string_view kPresetName = "EEP Preset{}";
inline constexpr std::string_view kEasyPresetName = "Easy Preset{}";

inline constexpr std::array<std::string_view, kRecords> kNumbers{"1", "2",  "3",  "4",  "5",  "6",  "7",
                                                                 "8", "9", "10", "11", "12", "13", "14"};
inline constexpr std::array<std::string_view, kRecords> kTypeOneMemoryNames{
    "TYPE I Memory1", "TYPE I Memory2",  "TYPE I Memory3",  "TYPE I Memory4",  "TYPE I Memory5",
    "TYPE I Memory6", "TYPE I Memory7",  "TYPE I Memory8",  "TYPE I Memory9",  "TYPE I Memory10",
    "TYPE I Memory11", "TYPE I Memory12", "TYPE I Memory13", "TYPE I Memory14"};
inline constexpr std::array<std::string_view, kRecords> kTypeTwoMemoryNames{
    "TYPE II Memory1",  "TYPE II Memory2",  "TYPE II Memory3",  "TYPE II Memory4",  "TYPE II Memory5",
    "TYPE II Memory6",  "TYPE II Memory7",  "TYPE II Memory8",  "TYPE II Memory9",  "TYPE II Memory10",
    "TYPE II Memory11", "TYPE II Memory12", "TYPE II Memory13", "TYPE II Memory14"};
inline constexpr std::array<std::string_view, kRecords> kPresetNames{
    "Preset1", "Preset2", "Preset3",  "Preset4",  "Preset5",  "Preset6",  "Preset7",
    "Preset8", "Preset9", "Preset10", "Preset11", "Preset12", "Preset13", "Preset14"};
inline constexpr std::array<std::string_view, 4> kEasyMemoryNames{"Easy TYPE I Mem.1", "Easy TYPE I Mem.2",
                                                                  "Easy TYPE II Mem.1", "Easy TYPE II Mem.2"};
inline constexpr std::array<std::string_view, 4> kEasyPresetNames{"Easy TYPE I Preset1", "Easy TYPE I Preset2",
                                                                  "Easy TYPE II Preset1", "Easy TYPE II Preset2"};
}  // namespace texts

}  // namespace orva::panels::preset::eeprom
