#pragma once
// The settings of the WHITE BALANCE panel, the capabilities the model record gives it, and the
// gain coding, shared by its description, its logic and its tests.
#include <algorithm>
#include <chrono>
#include <cstdint>

#include "camera/model_record.hpp"
#include "camera/setting.hpp"
#include "eeprom/range.hpp"
#include "link/link.hpp"
#include "panels/camera_access.hpp"

namespace orva::panels::picture::wb {

// Auto or manual: 0xFBFF bit 3 (AFP 0x3101: 1 auto, 2 manual).
inline constexpr camera::Setting kModeSetting = *camera::settingFromCode(0x3101);
inline constexpr std::uint32_t kManualBit = 0x08;
inline constexpr ProtocolValue kAutoValue{0, 1};
inline constexpr ProtocolValue kManualValue{kManualBit, 2};
// The gains: 0xFBBC and 0xFBBE.
inline constexpr camera::Setting kRGainSetting = *camera::settingFromCode(0x3102);
inline constexpr camera::Setting kBGainSetting = *camera::settingFromCode(0x3103);
// The light source in auto (0xF9F2: 0, 2, 3; AFP 0x3104 numbers them 1, 2, 3 as the status
// block does).
inline constexpr camera::Setting kLightSourceSetting = *camera::settingFromCode(0x3104);
// EEPROM: the power-on mode (0, 2, 3, 4; bit 2 the fixed mode), read and chosen through its
// register in both protocols; the fixed mode is switched by AFP 0x3185 (4 on, 1 off).
inline constexpr camera::Setting kPowerOnRegister = camera::registerSetting(0x142F, 8);
inline constexpr camera::Setting kFixedModeSetting{0x3185, 0, 0x142F, 8};
inline constexpr std::uint32_t kFixedBit = 0x04;
inline constexpr std::uint32_t kFixedPowerOn = 4;
inline constexpr ProtocolValue kFixedOn{4, 4};
inline constexpr ProtocolValue kFixedOff{0, 1};
// EEPROM: the gains the fixed mode starts with (AFP 0x3182, 0x3183).
inline constexpr camera::Setting kFixedRGainSetting{0x3182, 0, 0x1430, 16};
inline constexpr camera::Setting kFixedBGainSetting{0x3183, 0, 0x1432, 16};
inline constexpr std::uint16_t kLastFixedAddress = 0x1433;
// Bit 0 of each; the register is written 1 or 0.
inline constexpr camera::Setting kRbcMaxRegister = camera::registerSetting(0x172E, 8);
inline constexpr camera::Setting kNewdarkRegister = camera::registerSetting(0x1720, 8);
// The camera's restart (EAP 0xFCAC = 0, AFP 0x0102 = 1), and how long it takes.
inline constexpr camera::Setting kRestartSetting = *camera::settingFromCode(0x0102);
inline constexpr ProtocolValue kRestart{0, 1};
inline constexpr std::chrono::milliseconds kRestartWait{7000};

// ---- capabilities of the model record

// The fixed mode and its gains live in EEPROM at 0x142F to 0x1433: a model whose EEPROM stops
// short of them has neither.
inline bool hasFixedMode(const camera::ModelRecord& m, link::Protocol = {}) {
  return eeprom::cameraRange(m.modelCode, 0).contains(kLastFixedAddress);
}
// The light sources are the families from 0x0CF0, which carry function 0x3104.
inline constexpr std::uint16_t kFirstLightSourceFamily = 0x0CF0;
inline bool hasLightSource(const camera::ModelRecord& m, link::Protocol = {}) {
  return m.modelCode >= kFirstLightSourceFamily && m.modelCode != camera::kModelNotIdentified;
}
// The power-on list offers the light sources and the fixed mode, so it needs both.
inline bool hasPowerOnMode(const camera::ModelRecord& m, link::Protocol p = {}) {
  return hasFixedMode(m, p) && hasLightSource(m, p);
}
// The image processors of class 10 hold gains up to 0x04FF (wide), those from class 11 up to
// 0x06FF (extended).
inline constexpr int kWideGainClass = 10;
inline constexpr int kExtendedGainClass = 11;
// Below this model code the fixed B gain carries 1 in its top four bits.
inline constexpr std::uint16_t kMarkedFixedBGainBelow = 0x0BF0;

// ---- the gain coding: bit 7 of the low byte is always set in a stored gain

inline constexpr std::uint32_t kGainMinimum = 0x0080;
inline constexpr std::uint32_t gainMaximum(const camera::ModelRecord& m) {
  if (m.processorClass >= kExtendedGainClass) return 0x06FF;
  if (m.processorClass == kWideGainClass) return 0x04FF;
  return 0x03FF;
}
// A value whose low byte is below 0x80 moves to the code below.
inline constexpr std::uint32_t codeBelow(std::uint32_t v) { return (v & 0xFFu) < 0x80 ? v - 0x100 : v; }
// A typed gain: limited, moved to the code below where needed, bit 7 set.
inline constexpr std::uint32_t typedGain(std::uint32_t typed, std::uint32_t maximum) {
  return codeBelow(std::clamp(typed, kGainMinimum, maximum)) | 0x80u;
}
// One step of an arrow from `now`: limited; a step down moves to the code below; bit 7 set.
inline constexpr std::uint32_t steppedGain(std::uint32_t now, int delta, std::uint32_t maximum) {
  const std::int64_t next = std::clamp<std::int64_t>(std::int64_t{now} + delta, kGainMinimum, maximum);
  const auto v = static_cast<std::uint32_t>(next);
  return (delta < 0 ? codeBelow(v) : v) | 0x80u;
}
// The fixed B gain of a model below 0x0BF0.
inline constexpr std::uint32_t markedFixedBGain(std::uint32_t b) { return (b & 0x0FFFu) | 0x1000u; }

}  // namespace orva::panels::picture::wb
