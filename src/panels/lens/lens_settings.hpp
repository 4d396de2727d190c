#pragma once
// The settings and register values of the lens panels, in both protocols' forms, and the model
// tests that decide which of their controls a model is shown. Shared by the family's files.
#include <chrono>
#include <cstdint>

#include "camera/model_record.hpp"
#include "camera/setting.hpp"
#include "panels/lens/lens_readout.hpp"
#include "panels/panel_description.hpp"

namespace orva::panels::lens {

using P = link::Protocol;

// Settings of the lens panels, in both protocols' forms.
inline constexpr camera::Setting kContinuousMaxSetting = *camera::settingFromCode(0x1202);  // 0xFDF0
inline constexpr camera::Setting kManualSpeedSetting = *camera::settingFromCode(0x1103);    // 0xF8A0
inline constexpr camera::Setting kLensPositionSetting = *camera::settingFromCode(0x6187);   // 0x11E6
// "Set Now Zoom Position" takes the position from 0xF714 in EAP, from the position query in AFP.
inline constexpr camera::Setting kNowPositionSetting{0x1109, 0, 0xF714, 16};
inline constexpr camera::Setting kAfSearchSetting = *camera::settingFromCode(0x1106);       // 0xF8E0
inline constexpr camera::Setting kQuickAfSetting = *camera::settingFromCode(0x120B);        // 0xF840
inline constexpr camera::Setting kAfSensitivitySetting = *camera::settingFromCode(0x110F);  // 0xF7F0
inline constexpr camera::Setting kOnePushTimeSetting = *camera::settingFromCode(0x110E);    // 0x08F7
inline constexpr camera::Setting kWatchdogModeSetting{0x1301, 0, 0xF745, 8};
inline constexpr camera::Setting kNewMinFocusSetting{0x1185, 0, 0xE1F7, 8};
inline constexpr camera::Setting kFocusInitSetting{0x1209, 0, 0xF735, 8};
inline constexpr camera::Setting kAfResetSetting{0x1307, 0, 0xF74C, 8};
// "36x mode" / "35x mode": 0x0AFE = 0 / 1, AFP 1 / 2; then the camera restarts.
inline constexpr camera::Setting kMagnificationModeSetting = *camera::settingFromCode(0x1285);
inline constexpr camera::Setting kRestartSetting = *camera::settingFromCode(0x0102);  // 0xFCAC
inline constexpr ProtocolValue kRestart{0, 1};
inline constexpr std::chrono::milliseconds kRestartWait{7000};
inline constexpr camera::Setting kLensDriveRegister = reg8(0xFCBB);
inline constexpr camera::Setting kSlowLevelRegister = reg8(0xFDFB);
inline constexpr camera::Setting kFocusModeRegister = reg8(0xFF0E);
inline constexpr camera::Setting kZoomCueRegister = reg8(0xF9F3);
inline constexpr camera::Setting kZoomCueHoldRegister = reg8(0x1260);
inline constexpr camera::Setting kAdjustmentRegister = reg8(0x1314);
inline constexpr camera::Setting kWatchdogOptionRegister = reg8(0xF749);
inline constexpr camera::Setting kMinFocusRegister = reg8(0xE139);
inline constexpr camera::Setting kMinFocusTwinRegister = reg8(0x12D9);

inline constexpr std::uint8_t kSpeedBits = 0x0C;
inline constexpr std::uint8_t kManualFocusBit = 0x08;
inline constexpr std::uint8_t kToggleFocus = 0xA8;
inline constexpr std::uint8_t kToggleZoomCue = 0xA4;
inline constexpr std::uint8_t kOnePushAf = 0xAC;
inline constexpr std::uint8_t kAdjustmentOn = 0x34;
inline constexpr std::uint8_t kAdjustmentOff = 0x04;

// ---- model tests

inline bool notSlow(const camera::ModelRecord& m, P) { return !lens::hasSlowZoom(m); }
inline bool slow(const camera::ModelRecord& m, P) { return lens::hasSlowZoom(m); }
inline bool zoomCue(const camera::ModelRecord& m, P p) { return lens::hasZoomCue(m) && p == P::Eap; }
inline bool noZoomCue(const camera::ModelRecord& m, P p) { return !zoomCue(m, p); }
inline bool adjustment(const camera::ModelRecord& m, P) { return lens::hasAdjustment(m); }
inline bool afOptions(const camera::ModelRecord& m, P) { return lens::hasAfSearch(m); }
inline bool afSearch(const camera::ModelRecord& m, P) {
  return lens::hasAfSearch(m) && lens::hasNewAfSearch(m) && !lens::hasAfSearchTypeC(m);
}
inline bool afSearchTypeC(const camera::ModelRecord& m, P) {
  return lens::hasAfSearch(m) && lens::hasNewAfSearch(m) && lens::hasAfSearchTypeC(m);
}
inline bool fastAf(const camera::ModelRecord& m, P) { return lens::hasAfSearch(m) && lens::hasFastAf(m); }
inline bool magnificationModes(const camera::ModelRecord& m, P) { return lens::newFamily(m) == 0x10F0; }

}  // namespace orva::panels::lens
