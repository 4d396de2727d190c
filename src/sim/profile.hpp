#pragma once
// A camera profile: what a virtual camera starts with.
//
// The profile file is text, one statement a line; "#" starts a comment (to the end of the
// line) and blank lines are ignored. Statements:
//
//   settings 9600,N,8,1     the line settings the camera listens at: any of the twelve
//                           settings texts, with or without its padding blanks
//   protocol eap            the protocol it speaks: eap or afp
//   0102: 5A 00 FF          register contents: a hex address of up to four digits, a colon,
//                           then the values of consecutive registers as two hex digits each
//   completion 20           milliseconds from an AFP set's R to its X (default 20)
//   restart 2000            milliseconds a restarting camera stays deaf (default 2000)
//   factory 400             milliseconds a factory default keeps the camera busy (default 400)
//   eeprom 0800 3280        the camera's EEPROM: the first address and the one past the last,
//                           hex, both multiples of 80 (hex), the start below the end
//   refuse 0181 3           the camera refuses AFP function 0181 with status 3: a hex code of
//                           up to four digits, a status digit from 1 to F
//   lens 6800               the zoom position at the lens's tele end, hex, 1000 to 6C00
//                           (default 6800; lens.hpp)
//
// Each of "settings", "protocol", "completion", "restart", "factory", "eeprom" and "lens" may
// appear once; times are whole milliseconds up to 600000. Register lines may overlap and the later
// line wins; so may "refuse" lines for one code. A register line may not run past address
// FFFF. Anything else is refused with an error naming the line. Without a statement the camera
// listens at "4800,E,8  ,1", speaks EAP, holds zeros, refuses nothing and has no EEPROM.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "core/error.hpp"
#include "eeprom/range.hpp"
#include "link/byte_channel.hpp"
#include "link/settings_forms.hpp"
#include "sim/afp_responder.hpp"

namespace orva::sim {

enum class Protocol { Eap, Afp };

std::string_view protocolName(Protocol protocol);

struct RegisterBlock {
  std::uint16_t address = 0;
  std::vector<std::uint8_t> bytes;
};

inline constexpr std::chrono::milliseconds kDefaultCompletionDelay{20};
inline constexpr std::chrono::milliseconds kDefaultRestartTime{2000};
inline constexpr std::chrono::milliseconds kDefaultFactoryTime{400};
inline constexpr std::chrono::milliseconds kLongestProfileTime{600000};
// The zoom position at the tele end. The highest keeps the tele end's motor steps (lens.hpp)
// at E000 or above, where the tool's go-to arithmetic still takes them for negative.
inline constexpr std::uint16_t kDefaultLensTele = 0x6800;
inline constexpr std::uint16_t kLowestLensTele = 0x1000;
inline constexpr std::uint16_t kHighestLensTele = 0x6C00;

struct Profile {
  link::SettingsForm settings = *link::findSettingsForm(link::kDefaultSettingsText);
  Protocol protocol = Protocol::Eap;
  std::vector<RegisterBlock> registers;
  std::chrono::milliseconds completionDelay = kDefaultCompletionDelay;
  std::chrono::milliseconds restartTime = kDefaultRestartTime;
  std::chrono::milliseconds factoryTime = kDefaultFactoryTime;
  Refusals refusals;
  // The registers that make up the EEPROM: what the camera restores on a factory default and
  // what orva-camsim loads and saves as an image. Only start and end count.
  std::optional<eeprom::Range> eepromRange;
  std::uint16_t lensTele = kDefaultLensTele;
  // The model code of a camera built from the model table (model_profiles.hpp); a profile file
  // names none. Functions whose numbering goes by model (the AE shutter speeds) take it.
  std::optional<std::uint16_t> modelCode;

  link::LineSettings lineSettings() const { return {settings.baud, settings.evenParity}; }
};

// Errors read "line N: what was wrong".
core::Result<Profile> parseProfile(std::string_view text);
// Errors name the file: "<path>: line N: ..." or "could not read <path>: ...".
core::Result<Profile> loadProfile(const std::filesystem::path& path);

}  // namespace orva::sim
