#pragma once
// The panels by the dialog resource each one was known by.
#include <cstdint>
#include <string_view>

namespace orva::panels {

enum class PanelId : std::uint8_t {
  ZoomFocus,
  Zoom,
  Focus,
  MemPreset,
  DirectPreset,
  CamPreset,
  EepromPreset,
  EepromStorePreset,
  Exposure,
  Ae,
  ShutterSpeed,
  FixedData,
  SpotCancel,
  StatusMessage,
  Agc,
  Picture,
  WhiteBalance,
  BackLight,
  Aperture,
  Strobe,
  TriggerLed,
  IrcfRemove,
  PlFilter,
  Demonstration,
  MotionDetect,
  PrivacyMaskSelect,
  PrivacyMask1,
  PrivacyMask2,
  PrivacyMask3,
  FixedMask,
  Title,
  WdrReverse,
  NightScope,
  EnhancedIntensity,
  MotionTracking,
  BlockRead,
  BiCycling,
  CameraType,
  EisSetup,       // opened from the SETUP menu, not from the launcher
  WeightingData,  // opened from the AE panel's "Set the weighting data"
};
inline constexpr std::size_t kPanelCount = static_cast<std::size_t>(PanelId::WeightingData) + 1;

// "ZOOMFOCUSDLG", "IDD_MOTDET", ... ; the two panels known by number only are "269" and "311".
std::string_view resourceName(PanelId panel);

}  // namespace orva::panels
