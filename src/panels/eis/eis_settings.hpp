#pragma once
// The settings of the EIS setup panel, shared by its description and its logic.
#include <array>
#include <cstdint>
#include <string_view>

#include "camera/model_record.hpp"
#include "camera/setting.hpp"
#include "panels/eis/eis_panel.hpp"
#include "panels/eis/eis_texts.hpp"

namespace orva::panels::eis {

// On/off and the frequency range: 1 / 0 in the register, 2 / 1 as functions 0x8301 / 0x8304.
inline constexpr camera::Setting kSwitchSetting = camera::kEisSetting;
inline constexpr camera::Setting kFrequencySetting = *camera::settingFromCode(0x8304);
inline constexpr ProtocolValue kOn{1, 2};
inline constexpr ProtocolValue kOff{0, 1};

// What identifies a camera that carries the stabiliser (16-bit registers).
inline constexpr camera::Setting kFamilyRegister = camera::registerSetting(0x0102, 16);
inline constexpr camera::Setting kTypeRegister = camera::registerSetting(0x0104, 16);

// A tuning value: a 16-bit register (a register in both protocols), its range and step, and
// the EEPROM byte that holds the camera's default with the factory that scales it.
struct Tuning {
  ControlId id;
  std::string_view caption;
  std::string_view group;
  std::uint16_t address;
  std::uint16_t maximum;
  std::uint16_t step;
  std::uint16_t defaultAddress;
  std::uint16_t scale;
};

// In the order the panel reads them on open.
inline constexpr std::array<Tuning, 5> kTunings{{
    {kDriveRange, texts::kDriveRange, texts::kSensitivityGroup, 0xFCD0, 2032, 16, 0x1260, 16},
    {kPanTiltJudge, texts::kPanTiltJudge, texts::kPanTiltGroup, 0xFCD2, 2032, 16, 0x1244, 16},
    {kCoreVibration, texts::kCoreVibration, texts::kSensitivityGroup, 0xFCD4, 1008, 16, 0x1250, 16},
    {kCoreCenter, texts::kCoreCenter, texts::kSensitivityGroup, 0xFCD6, 2048, 64, 0x1254, 64},
    {kCoreBias, texts::kCoreBias, texts::kSensitivityGroup, 0xFCD8, 128, 1, 0x1284, 1},
}};

// The tuning values and "DEFAULT" are offered from EIS level 3 on.
inline bool tunes(const camera::ModelRecord& m, link::Protocol) { return m.eisLevel >= 3; }

}  // namespace orva::panels::eis
