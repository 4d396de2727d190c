#pragma once
// The registers, settings and texts of the preset panels, shared by the family's files.
#include <array>
#include <chrono>
#include <cstdint>
#include <string_view>

#include "camera/lens_tables.hpp"
#include "camera/setting.hpp"
#include "panels/panel_description.hpp"

namespace orva::panels::preset {

using P = link::Protocol;

// Memory presets: the current pair is read from 0xF850/0xF852 (AFP the pair query), a stored
// pair goes to 0xF854 then 0xF856 (AFP the pair set).
inline constexpr camera::Setting kZoomNow = reg16(0xF850);
inline constexpr camera::Setting kFocusNow = reg16(0xF852);
inline constexpr camera::Setting kZoomTarget = reg16(0xF854);
inline constexpr camera::Setting kFocusTarget = reg16(0xF856);
inline constexpr std::uint16_t kPairCode = 0x6103;
// Direct presets.
inline constexpr camera::Setting kDirectZoom{0x6105, 0, 0xF858, 16};
inline constexpr camera::Setting kDirectFocus{0x6104, 0, 0xF85A, 16};
inline constexpr std::uint32_t kFocusStep = 0x1000;
// The run: cancel, status (read through the gateway in AFP too), type, digital zoom mode.
inline constexpr camera::Setting kCancelRegister = reg8(0xF85C);
inline constexpr std::uint32_t kCancelValue = 1;
inline constexpr camera::Setting kStatusRegister = reg8(0xF860);
inline constexpr camera::Setting kTypeSetting = *camera::settingFromCode(0x610C);        // 0xF861
// The presets' digital zoom mode: 0xF863 0 / 1, AFP 0x6112 1 / 2.
inline constexpr camera::Setting kContinuousSetting{0x6112, 0, 0xF863, 8};
enum : std::uint32_t { kComplete = 0, kExecuting = 1, kFailed = 2 };
inline constexpr std::chrono::milliseconds kWatchInterval{100};

inline bool digital(const camera::ModelRecord& m, P) { return camera::lens::hasDigitalZoom(m); }

namespace texts {
inline constexpr std::string_view kMemTitle = "MEM-PRESET";
inline constexpr std::string_view kDirectTitle = "DIRECT-PRESET";
inline constexpr std::string_view kMemory = "Memory";
inline constexpr std::string_view kPreset = "Preset";
inline constexpr std::array<std::string_view, 4> kMemoryCaptions{"Memory1", "Memory2", "Memory3", "Memory4"};
inline constexpr std::array<std::string_view, 4> kPresetCaptions{"Preset1", "Preset2", "Preset3", "Preset4"};
inline constexpr std::array<std::string_view, 4> kMemoryHeadings{"<< Memory1 >>", "<< Memory2 >>", "<< Memory3 >>",
                                                                 "<< Memory4 >>"};
inline constexpr std::array<std::string_view, 4> kPresetHeadings{"<< Preset1 >>", "<< Preset2 >>", "<< Preset3 >>",
                                                                 "<< Preset4 >>"};
inline constexpr std::string_view kComplete = "<< PRESET COMPLETE >>";
inline constexpr std::string_view kError = "<< PRESET ERROR >>";
inline constexpr std::string_view kCancelHeading = "<< PRESET CANCEL >>";
inline constexpr std::string_view kExecutingStatus = "EXECUTING";
inline constexpr std::string_view kCompleteStatus = "COMPLETE";
inline constexpr std::string_view kErrorStatus = "ERROR";
inline constexpr std::string_view kStatus = "Status";
inline constexpr std::string_view kCancel = "Cancel";
inline constexpr std::string_view kClose = "CLOSE";
inline constexpr std::string_view kContinuous = "Continuous";
inline constexpr std::string_view kZoom = "Zoom";
inline constexpr std::string_view kFocus = "Focus";
inline constexpr std::string_view kSetZoom = "Set the Zoom Position";
inline constexpr std::string_view kSetFocus = "Set the Focus Position";
inline constexpr std::array<std::string_view, 13> kFocusNames{"Over Inf", "Inf",   "10m",  "6m",   "3m",
                                                              "2m",       "1.5m",  "1.3m", "1.15m", "1m",
                                                              "30cm",     "10cm",  "1cm"};
inline constexpr int kShortFocusCount = 10;  // up to "1m"
}  // namespace texts

}  // namespace orva::panels::preset
