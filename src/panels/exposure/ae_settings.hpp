#pragma once
// The settings of the AE Control and Luminance Weighting Data panels, and the rules that
// follow the model and the camera's state (ranges, the iris offset registers, the shutter
// codes), shared by their descriptions, their logic and their tests.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "camera/model_record.hpp"
#include "camera/setting.hpp"
#include "link/link.hpp"
#include "panels/camera_access.hpp"

namespace orva::panels::exposure {

// The mode and its parameter (0xFCC9 in EAP; a function per kind of parameter in AFP).
inline constexpr camera::Setting kModeSetting = camera::kAeModeSetting;
inline constexpr camera::Setting kShutterSpeedSetting = *camera::settingFromCode(0x210B);
inline constexpr camera::Setting kFNumberSetting = *camera::settingFromCode(0x210C);
inline constexpr camera::Setting kGainSetting = *camera::settingFromCode(0x2303);
// The parameter as the register holds it, for the writes given only in register form.
inline constexpr camera::Setting kParameterRegister = camera::registerSetting(0xFCC9, 8);

// Full manual values and the limits of their ranges.
inline constexpr camera::Setting kManualExposureSetting = *camera::settingFromCode(0x210E);
inline constexpr camera::Setting kManualShutterSetting = *camera::settingFromCode(0x210D);
// The function's row names no register; 0xFFDE holds the same value.
inline constexpr camera::Setting kManualGainSetting{0x210F, 0, 0xFFDE, 16};
inline constexpr camera::Setting kMaximumGainSetting = *camera::settingFromCode(0x3401);
inline constexpr camera::Setting kCameraModeSetting = camera::kCameraModeSetting;

inline constexpr camera::Setting kSlowAeSetting = *camera::settingFromCode(0x2106);
inline constexpr camera::Setting kStandardRegister = camera::registerSetting(0xFF08, 8);  // bit 5: 60 Hz
inline constexpr std::uint32_t kSixtyHertzBit = 0x20;

// What chooses the iris offset registers.
inline constexpr camera::Setting kWdrRegister = camera::registerSetting(0xFF32, 8);
inline constexpr camera::Setting kWdrLevelRegister = camera::registerSetting(0xFF90, 8);
inline constexpr camera::Setting kWdrModeRegister = camera::registerSetting(0xFF57, 8);

inline constexpr camera::Setting kChartRegister = camera::registerSetting(0x11F5, 8);
inline constexpr ProtocolValue kChartOn{0x65, 0x65};
inline constexpr ProtocolValue kChartOff{0x75, 0x75};
inline constexpr camera::Setting kClarityRegister = camera::registerSetting(0x16E9, 8);
inline constexpr ProtocolValue kClarityOn{0x48, 0x48};
inline constexpr ProtocolValue kClarityOff{0xC8, 0xC8};
inline constexpr camera::Setting kFreezeRegister = camera::registerSetting(0xFF33, 8);
inline constexpr camera::Setting kMirrorRegister = camera::registerSetting(0xFF3B, 8);
inline constexpr camera::Setting kMosaicRegister = camera::registerSetting(0xFF3A, 8);
inline constexpr camera::Setting kDigitalZoomRegister = camera::registerSetting(0xFCCB, 8);

// The weighting areas: three bytes each from the first register (EAP), or the function with
// the area's number (AFP); the value to set.
inline constexpr std::uint16_t kFirstAreaRegister = 0xFAE0;
inline constexpr std::uint16_t kAreaFunction = 0x2107;
inline constexpr int kAreaCount = 6;
inline constexpr camera::Setting kWeightingSetSetting{0x2108, 0, 0xFDA0, 16};
inline constexpr camera::Setting kWeightingDataRegister = camera::registerSetting(0xFDA0, 16);

// The main mode buttons, in the panel's order; each sub-mode belongs to the first two.
enum class AeGroup : std::uint8_t { ProgramAe, ProgramAePlus, Shutter, Exposure, Agc, FullManual, ExposureShutter };
inline constexpr ProtocolValue kShutterPriority{0x07, 8};

// The main button's code for a mode code of the protocol: a sub-mode's is its group's first
// ("Program AER+2" is "Program AE+"); a code of no mode stays as it is and selects nothing.
std::uint32_t mainModeCode(std::uint32_t code, link::Protocol protocol);

// The model's family: its code without the variant nibble.
constexpr std::uint16_t family(const camera::ModelRecord& m) { return static_cast<std::uint16_t>(m.modelCode & 0xFFF0u); }
// The 0x13F0 to 0x16F0 families number their shutter speeds their own way.
bool shiftedShutterCodes(const camera::ModelRecord& m, link::Protocol protocol);
bool standardShutterCodes(const camera::ModelRecord& m, link::Protocol protocol);
std::vector<std::string> fNumberCaptions(const camera::ModelRecord& m);

// The full manual values a "Set" accepts, inclusive.
struct Range {
  std::uint32_t minimum = 0;
  std::uint32_t maximum = 0;
  constexpr bool holds(std::uint32_t v) const { return v >= minimum && v <= maximum; }
};
Range exposureRange(const camera::ModelRecord& m);
// Whether the shutter's range depends on the camera mode, and the range: `cameraMode` is
// 0x1701 in EAP, function 0x0185 in AFP, unused where the family fixes the range.
bool shutterRangeReadsCameraMode(const camera::ModelRecord& m);
Range shutterRange(const camera::ModelRecord& m, std::uint32_t cameraMode, link::Protocol protocol);

// The registers the iris offsets are written to, by the camera's WDR state (0xFF32), the WDR
// level (0xFF90, 0 on models without WDR) and, when those two do not decide, 0xFF57.
struct IrisTarget {
  std::uint16_t average = 0xFD9E;
  std::uint16_t peak = 0xFD9F;
  friend constexpr bool operator==(const IrisTarget&, const IrisTarget&) = default;
};
bool irisTargetNeedsWdrMode(std::uint32_t wdr, std::uint32_t wdrLevel);
IrisTarget irisTarget(std::uint32_t wdr, std::uint32_t wdrLevel, std::uint32_t wdrMode);

}  // namespace orva::panels::exposure
