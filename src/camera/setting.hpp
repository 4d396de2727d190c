#pragma once
// Setting descriptors: one camera setting as both protocols reach it.
//
// A panel reads and writes a setting without asking which protocol the camera speaks: the
// AFP form is a field of a function code, the EAP form a register. The link's protocol at
// the moment of the call picks the form, here and nowhere else. Values are passed as the
// camera holds them in that form: the two forms may number the same choice differently
// (focus mode 1/2 in AFP is a bit pattern in EAP), and the panel that knows the meaning
// maps them.
//
// A setting without a function code reaches its register through the AFP gateway (0xFE01 or
// 0xFE02 by its width) when the camera speaks AFP.
#include <cstdint>
#include <optional>

#include "camera/code_map.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"

namespace orva::camera {

struct Setting {
  std::uint16_t afpCode = 0;      // 0: the register through the gateway
  std::uint8_t afpField = 0;      // which field of the code's reply holds the value
  std::uint16_t eapRegister = 0;  // 0: the setting has no EAP form
  int width = 8;                  // 8 or 16 bits, of the register and of the AFP field
};

// The setting a row of the code map names with an EAP register: its first field and that
// register. None for a row without a register, one that starts with an index (the value
// needs its index) or whose first field is wider than 16 bits.
constexpr std::optional<Setting> settingFromCode(std::uint16_t code) {
  for (const CodeInfo& info : kCodeMap) {
    if (info.code != code) continue;
    if (info.eapRegister == 0 || info.fields.empty()) return std::nullopt;
    const Field& f = info.fields[0];
    if (f.kind != FieldKind::Value || f.bits > 16) return std::nullopt;
    return Setting{code, 0, info.eapRegister, f.bits};
  }
  return std::nullopt;
}

// A register that only the gateway carries in AFP.
constexpr Setting registerSetting(std::uint16_t eapRegister, int width) { return Setting{0, 0, eapRegister, width}; }

// Settings the panels, the menus and the launcher share. Built from the code map at compile
// time, so a code without its register stops the build.
inline constexpr Setting kCameraTypeSetting = *settingFromCode(0x0183);
inline constexpr Setting kLensConditionSetting = *settingFromCode(0x0104);
inline constexpr Setting kCameraModeSetting = *settingFromCode(0x0185);
inline constexpr Setting kFocusModeSetting = *settingFromCode(0x1101);
inline constexpr Setting kZoomSpeedSetting = *settingFromCode(0x1108);
inline constexpr Setting kZoomPositionSetting = *settingFromCode(0x1109);
inline constexpr Setting kAeModeSetting = *settingFromCode(0x2105);
inline constexpr Setting kBackLightSetting = *settingFromCode(0x2301);
inline constexpr Setting kGainUpModeSetting = *settingFromCode(0x348E);
inline constexpr Setting kDigitalOutputSetting = *settingFromCode(0x5103);
inline constexpr Setting kPrivacyMaskDisplaySetting = *settingFromCode(0x7101);
inline constexpr Setting kMotionTrackingRangeSetting = *settingFromCode(0x8204);
inline constexpr Setting kEisSetting = *settingFromCode(0x8301);

// Registers the menus read, in both protocols through their register.
inline constexpr Setting kDisplayModeRegister = registerSetting(0x128F, 8);
inline constexpr Setting kDriveModeRegister = registerSetting(0x1221, 8);
inline constexpr Setting kOutputSelectRegister = registerSetting(0x1223, 8);
inline constexpr Setting kClockRegister = registerSetting(0x1701, 8);
inline constexpr Setting kLineModeRegister = registerSetting(0xFCC0, 8);

// Reads or writes the setting in the link's current protocol. False, with `value`
// unchanged, when the exchange fails or the setting has no form in that protocol (nothing
// is sent then); a value too wide for the setting is refused without traffic.
bool readSetting(const Setting& s, std::uint32_t& value, link::Link& link, link::Eap& eap, FunctionCodes& codes);
bool writeSetting(const Setting& s, std::uint32_t value, link::Link& link, link::Eap& eap, FunctionCodes& codes);

}  // namespace orva::camera
