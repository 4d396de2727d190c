#pragma once
// The settings of the picture panel (AGCDLG2) and the rules that follow the model and the
// camera's state, shared by its description, its logic and its tests.
//
// The model record carries no bits of its own for the panel's capabilities; these are taken
// from what the record already says about the camera:
// - picture modes (0xFF60): every model from model code 0x0CF0 on (the cameras whose function
//   map carries 0x340D), and the older ones whose launcher shows "PICTURE" (lens-control word
//   bit 12); those older ones offer only two modes;
// - gamma curves and zoom sensitivity boost: every model from model code 0x0CF0 on (their
//   function maps carry 0x3408/0x3409 and 0x340F); the boost is "Plus" on the 0x19F0 to 0x1DF0
//   families;
// - the gain offset: the models with the GAIN UP MODE menu (menu word bit 11), whose gain scale
//   shifts with the gain-up mode register 0x1221 that the offset reads.
#include <array>
#include <cstdint>
#include <optional>

#include "camera/model_record.hpp"
#include "camera/setting.hpp"
#include "link/link.hpp"

namespace orva::panels::picture::agc2 {

// The maximum gain in 1/32 dB; in AFP one function carries it and the reference byte.
inline constexpr camera::Setting kMaximumGainSetting = *camera::settingFromCode(0x3401);
inline constexpr std::uint16_t kMaximumGainFunction = 0x3401;
inline constexpr std::uint32_t kGainScale = 32;
// The largest limit any model has; a limit the camera states above it is taken as it.
inline constexpr std::int64_t kGainTop = 48;
inline constexpr camera::Setting kGainLimitRegister = camera::registerSetting(0x10F4, 16);

// What the gain offset reads (registers, through the gateway in AFP, except the AE mode).
inline constexpr camera::Setting kAeModeSetting = camera::kAeModeSetting;
inline constexpr camera::Setting kAeParameterRegister = camera::registerSetting(0xFCC9, 8);
inline constexpr camera::Setting kOffsetSwitchRegister = camera::registerSetting(0x11E5, 8);
inline constexpr camera::Setting kGainUpRegister = camera::registerSetting(0x1221, 8);
inline constexpr std::uint32_t kHighSensitivityOffset = 160;  // 5 dB
inline constexpr std::uint32_t kNormalOffset = 128;           // 4 dB

// 0xFF60 is no row of the code map with a register: both forms given here.
inline constexpr camera::Setting kPictureModeSetting{0x340D, 0, 0xFF60, 8};
inline constexpr camera::Setting kZoomSensSetting = *camera::settingFromCode(0x340F);

enum class Group : std::uint8_t { Colour, YGamma, CGamma };
inline constexpr std::size_t kGroupSize = 5;

// The function that carries a group's five values in AFP.
constexpr std::uint16_t groupFunction(Group g) {
  return g == Group::Colour ? 0x3402 : g == Group::YGamma ? 0x3409 : 0x3408;
}

constexpr std::uint16_t family(const camera::ModelRecord& m) { return static_cast<std::uint16_t>(m.modelCode & 0xFFF0u); }
constexpr bool newestFamily(const camera::ModelRecord& m) { return family(m) >= 0x19F0 && family(m) <= 0x1DF0; }
constexpr bool fromPictureGeneration(const camera::ModelRecord& m) { return m.modelCode >= 0x0CF0; }

constexpr bool hasPictureModes(const camera::ModelRecord& m) {
  return fromPictureGeneration(m) || (m.lensControlWord & 0x1000u) != 0;
}
constexpr bool hasTwoModesOnly(const camera::ModelRecord& m) { return hasPictureModes(m) && !fromPictureGeneration(m); }
constexpr bool hasGamma(const camera::ModelRecord& m) { return fromPictureGeneration(m); }
constexpr bool hasZoomSens(const camera::ModelRecord& m) { return fromPictureGeneration(m); }
constexpr bool hasZoomSensPlus(const camera::ModelRecord& m) { return hasZoomSens(m) && newestFamily(m); }
constexpr bool hasGainOffset(const camera::ModelRecord& m) { return (m.menuWord & 0x0800u) != 0; }
constexpr bool colourLevelCaption(const camera::ModelRecord& m) { return m.modelCode >= 0x0FF0; }

// A picture mode the register sets know: 1 to 4; anything else stands for 1.
constexpr int knownMode(std::uint32_t mode) { return mode >= 1 && mode <= 4 ? static_cast<int>(mode) : 1; }

// The mode "mode" steps to from what 0xFF60 reads.
constexpr std::uint32_t nextMode(std::uint32_t now, bool twoModes) {
  switch (now) {
    case 1: return 2;
    case 2: return twoModes ? 1 : 3;
    case 3: return 4;
    default: return 1;
  }
}

// The first of a group's five registers for a picture mode (EAP).
constexpr std::uint16_t firstRegister(Group g, std::uint32_t mode, const camera::ModelRecord& m) {
  constexpr std::array<std::uint16_t, 4> kColour{0xFC10, 0xFC15, 0xFC50, 0xFC55};
  constexpr std::array<std::uint16_t, 4> kY{0xFBD9, 0xFBE4, 0xFC70, 0xFC7A};
  constexpr std::array<std::uint16_t, 4> kC{0xFBDF, 0xFBE9, 0xFC75, 0xFC7F};
  if (g == Group::Colour && m.modelCode < 0x60) return 0xB790;
  const auto i = static_cast<std::size_t>(knownMode(mode) - 1);
  return g == Group::Colour ? kColour[i] : g == Group::YGamma ? kY[i] : kC[i];
}

// The maximum gain's limit in whole dB; `stated` is 0x10F4 where the family reads it (none
// when that read failed).
constexpr bool readsGainLimit(const camera::ModelRecord& m) { return family(m) >= 0x13F0 && family(m) <= 0x16F0; }
constexpr std::int64_t gainLimit(const camera::ModelRecord& m, std::optional<std::uint32_t> stated) {
  if (family(m) == 0x0FF0) return 37;
  if (newestFamily(m)) return 48;
  if (family(m) == 0x18F0) return 26;
  if (readsGainLimit(m)) {
    if (!stated) return 35;
    return *stated / kGainScale > static_cast<std::uint32_t>(kGainTop) ? kGainTop : *stated / kGainScale;
  }
  return 40;
}

// Where the AGC reference byte (the written gain / 8) goes.
constexpr std::uint16_t referenceRegister(const camera::ModelRecord& m, std::uint32_t mode) {
  if (m.modelCode >= 0x0CF0 && hasPictureModes(m) && !newestFamily(m) && family(m) != 0x0FF0 && knownMode(mode) != 1)
    return 0xFF6D;
  if (m.modelCode < 0x60) return 0xB5BC;
  return 0xFA20;
}

// What the AE mode (a code of the protocol) leaves the gain offset to.
enum class OffsetBy : std::uint8_t {
  None,              // 0
  ShutterParameter,  // 0 when 0xFCC9 reads 5 or more
  Switch,            // 0 when 0x11E5 reads 1; else by 0x1221
};
constexpr OffsetBy offsetBy(std::uint32_t aeMode, link::Protocol p) {
  // Program AE, AER1, AER2, Exposure Priority, AGC Priority; Shutter Priority.
  constexpr std::array<std::uint32_t, 5> kNoneEap{0x00, 0x10, 0x20, 0x08, 0x09};
  constexpr std::array<std::uint32_t, 5> kNoneAfp{1, 2, 3, 9, 11};
  const auto& none = p == link::Protocol::Afp ? kNoneAfp : kNoneEap;
  for (const std::uint32_t code : none)
    if (code == aeMode) return OffsetBy::None;
  return aeMode == (p == link::Protocol::Afp ? 8u : 0x07u) ? OffsetBy::ShutterParameter : OffsetBy::Switch;
}

}  // namespace orva::panels::picture::agc2
