#pragma once
// EEPROM Store Preset and CAMPRESET: tables of lens states kept by the camera, 64 records in
// its EEPROM (stored by the tool, TYPE I or TYPE II, or by the camera itself) and 32 slots
// inside the camera (AFP), each with a "Memory" key that stores or deletes and a "Preset" key
// that runs it.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"
#include "panels/preset/eeprom_preset_run.hpp"

namespace orva::panels::preset {

// EEPROM Store Preset
inline constexpr int kStoreRecords = 64;
// (the lens part, preset_lens_part.hpp, has 100 to 108)
inline constexpr ControlId kStoreMemory1 = 200;  // kStoreMemory1 + n - 1, n = 1..64
inline constexpr ControlId kStorePreset1 = 300;  // kStorePreset1 + n - 1
inline constexpr ControlId kStoreType = 400;
inline constexpr ControlId kClearAll = 401;
inline constexpr ControlId kAbort = 402;
inline constexpr ControlId kProgress = 403;
inline constexpr ControlId kStoreClose = 404;
// CAMPRESET
inline constexpr int kCameraSlots = 32;
inline constexpr int kOpenSlots = 20;             // 21 to 32 start disabled
inline constexpr ControlId kCamMemory1 = 500;     // kCamMemory1 + n - 1, n = 1..32
inline constexpr ControlId kCamPreset1 = 600;     // kCamPreset1 + n - 1
inline constexpr ControlId kCamType = 700;
inline constexpr ControlId kDetailSet = 701;
inline constexpr ControlId kCamClearAll = 702;
inline constexpr ControlId kCamClose = 703;

// How an EEPROM store is made: the "TYPE :" list's entries, in order.
enum class StoreKind : std::uint8_t { TypeOne, TypeTwo, ByCamera };

// The end of the 64-record table (kStoreTable) in the camera's EEPROM, not included.
inline constexpr std::uint16_t kStoreTableEnd = 0x1C80;
// Camera-side store and delete of record n, and the run of record n as TYPE I / TYPE II.
inline constexpr std::uint16_t kCameraStoreWord = 0x4300;
inline constexpr std::uint16_t kCameraDeleteWord = 0x2300;

// CAMPRESET's function: sub-command and slot.
inline constexpr std::uint16_t kCameraPresetCode = 0x610D;
enum CameraPresetSub : std::uint32_t { kRunTypeOne = 1, kRunTypeTwo = 2, kStoreSlot = 3, kDeleteSlot = 4 };

const PanelDescription& storePresetDescription();
const PanelDescription& camPresetDescription();
std::unique_ptr<PanelLogic> makeStorePresetPanel(PanelContext& context, PanelView& view);
std::unique_ptr<PanelLogic> makeCamPresetPanel(PanelContext& context, PanelView& view);

namespace texts {
inline constexpr std::string_view kStoreTitle = "EEPROM Store Preset";
inline constexpr std::string_view kCamTitle = "CAMPRESET";
inline constexpr std::string_view kTypeList = "TYPE :";
// Entries of the "TYPE :" lists; the panel's resources do not give them.
inline constexpr std::string_view kTypeOne = "TYPE I";
inline constexpr std::string_view kTypeTwo = "TYPE II";
inline constexpr std::string_view kByCamera = "CAMERA";
inline constexpr std::string_view kClearAll = "All Data Clear";
inline constexpr std::string_view kAbort = "Abort";
inline constexpr std::string_view kProgress = "Progress";
inline constexpr std::string_view kDetailSet = "Detail Set";
inline constexpr std::string_view kClearQuestion = "All EEPROM Preset data will be deleted, Are you sure ?";
inline constexpr std::string_view kClearTitle = "Please Check!!";
inline constexpr std::string_view kStoreMemory = "<< EEPROM Store64 Memory{} >>";
inline constexpr std::string_view kStoreDelete = "<< EEPROM Store64 Delete {} >>";
inline constexpr std::string_view kStoreRun = "EEP Preset{} Execute";
inline constexpr std::string_view kStoreRunName = "EEP Preset{}";
// Where a cancelled "All Data Clear" stopped: the record whose words were being cleared.
inline constexpr std::string_view kClearStopped = " < All Data Clear stopped at record {} >";
inline constexpr std::string_view kCamMemory = "<< CameraPreset Store64 Memory{} >>";
inline constexpr std::string_view kCamDelete = "<< CameraPreset Store64 Delete {} >>";
inline constexpr std::string_view kCamRun = "Camera Preset{} Execute";
inline constexpr std::string_view kCamRunName = "Camera Preset{}";
}  // namespace texts

}  // namespace orva::panels::preset
