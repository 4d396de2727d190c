#pragma once
// The settings of the enhanced intensity panels and the model tests that choose their
// controls, shared by the family's files.
#include "camera/model_record.hpp"
#include "camera/setting.hpp"
#include "panels/intensity/intensity_panels.hpp"
#include "panels/panel_description.hpp"

namespace orva::panels::intensity {

// NIGHTSCOPE's registers; the fourth is read on open and not shown.
inline constexpr camera::Setting kSwitchRegister = camera::registerSetting(0xFFF0, 8);
inline constexpr camera::Setting kDarkRegister = camera::registerSetting(0xFFF2, 8);
inline constexpr camera::Setting kBrightRegister = camera::registerSetting(0xFFF4, 8);
inline constexpr camera::Setting kHiddenRegister = camera::registerSetting(0xFFF6, 8);

// ENHANCEDINTENSITY: registers 0xFF90, 0xFF91, 0xFF9A; functions 0x9901, 0x9902, 0x9904.
inline constexpr camera::Setting kModeSetting = *camera::settingFromCode(0x9901);
inline constexpr camera::Setting kEffectLevelSetting = *camera::settingFromCode(0x9902);
inline constexpr camera::Setting kWhiteoutLevelSetting = *camera::settingFromCode(0x9904);

inline bool withWhiteout(const camera::ModelRecord& m, link::Protocol) {
  return (m.extraOptionWord & kExtraWhiteoutReduction) != 0;
}
inline bool withoutWhiteout(const camera::ModelRecord& m, link::Protocol p) { return !withWhiteout(m, p); }

}  // namespace orva::panels::intensity
