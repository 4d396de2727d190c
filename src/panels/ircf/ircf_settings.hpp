#pragma once
// The settings of the IRcf CONTROL panel and the rules it follows, as pure functions of the
// model and the camera's values: the AE mode conversions of "AUTO" and "MANUAL", the IR light
// coding, the threshold offset's sign-and-magnitude steps and the model gates.
#include <cstdint>
#include <optional>

#include "camera/model_record.hpp"
#include "camera/setting.hpp"
#include "link/link.hpp"
#include "panels/camera_access.hpp"
#include "panels/panel_description.hpp"

namespace orva::panels::ircf {

inline constexpr camera::Setting kModeSetting = camera::kAeModeSetting;         // 0xFCC8, AFP 0x2105
inline constexpr camera::Setting kPositionSetting = *camera::settingFromCode(0x2201);   // 0xFFE7
inline constexpr camera::Setting kMoveSetting = *camera::settingFromCode(0x2202);       // 0xFFE6
inline constexpr camera::Setting kThresholdSetting = *camera::settingFromCode(0x2204);  // 0xFFEA
inline constexpr camera::Setting kLightSetting = *camera::settingFromCode(0x2205);      // 0xF8A4
// The models that keep the light in the register form only read it there in AFP too.
inline constexpr camera::Setting kLightRegister = camera::registerSetting(0xF8A4, 8);
inline constexpr camera::Setting kNotifySetting{0x2207, 0, 0, 8};  // AFP only
inline constexpr camera::Setting kPlControlRegister = camera::registerSetting(0xFFEE, 8);
inline constexpr camera::Setting kPlStatusRegister = camera::registerSetting(0xFFEF, 8);

// The move command: in, out, and (EAP) the release after the move.
inline constexpr ProtocolValue kInCommand{0xC0, 1};
inline constexpr ProtocolValue kOutCommand{0x80, 2};
inline constexpr std::uint32_t kMoveRelease = 0;
// The position register's "in"; any other value is out.
inline constexpr std::uint32_t kFilterIn = 1;
// The most position reads after a move.
inline constexpr int kMostPositionReads = 255;

// ---- the AE mode

// Whether a code (in the protocol's form) puts the filter under automatic or manual control;
// none for a code of neither.
enum class FilterControl : std::uint8_t { Manual, Automatic };
std::optional<FilterControl> filterControl(std::uint32_t code, link::Protocol protocol);
// The code of the AE button a mode code selects (EAP: its low nibble; AFP: 1 to 3 are "Program
// AE", 4 to 7 "Program AE+").
std::uint32_t buttonCode(std::uint32_t code, link::Protocol protocol);
// An AFP code in the register form, by the AE mode table; other codes 0xFF.
std::uint32_t registerCode(std::uint32_t afpCode);
// "AUTO": the code to write for the code read. "MANUAL": the code to write, none when nothing is
// written (EAP keeps a code that is not automatic).
std::uint32_t automaticCode(std::uint32_t code, link::Protocol protocol);
std::optional<std::uint32_t> manualCode(std::uint32_t code, link::Protocol protocol);
// The "Program AE" code "AUTO" may write; anything else it writes selects "Program AE+".
inline constexpr ProtocolValue kAutomaticProgramAe{0x20, 3};

// ---- the IR light

// The light's item for what the camera holds (either form): 2, 0xC1, 0xE1 IR 950 nm; 3, 0xC2,
// 0xE2 IR 850 nm; anything else normal light (0x00, 0x20, 0xE0, 1).
int lightItem(std::uint32_t value);
// What a light button writes in EAP: 0x00, 0xC1, 0xC2, with 0x20 when the lens-control word's
// bit 1 is set (normal light is 0x20 then, read back as normal like 0xE0).
std::uint32_t lightValue(int item, const camera::ModelRecord& m);
inline constexpr ProtocolValue kLightValues[] = {{0x00, 1}, {0xC1, 2}, {0xC2, 3}};

// ---- the threshold offset: a byte in sign and magnitude, 0x00 to 0x18 for 0 to +24, 0x80 to
// 0x98 for -0 to -24

// One step up (toward +24) or down (toward -24); the caps give the value again.
std::uint32_t thresholdStep(std::uint32_t value, bool up);

// ---- model gates

bool restricted(const camera::ModelRecord& m);
// Whether the model offers an AE button (the model's own gates, not the filter control's).
bool offersAeButton(const camera::ModelRecord& m, int button);
// The light group is enabled; `lightInRegister` says where the light is read.
bool lightGroup(const camera::ModelRecord& m);
bool lightInRegister(const camera::ModelRecord& m);
bool thresholdShown(const camera::ModelRecord& m, link::Protocol);
bool interruptShown(const camera::ModelRecord& m, link::Protocol);

// PL Filter: register form only.

}  // namespace orva::panels::ircf
