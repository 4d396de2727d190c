#pragma once
// Profiles generated from the model table: the register image that makes the identification
// land on a model, so the virtual camera can be any model the tool knows, and an EEPROM over
// the model's range filled from a seed, so backups, write-backs and factory defaults have
// something to show.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "camera/model_table.hpp"
#include "sim/profile.hpp"

namespace orva::sim {

// Every model name of the table, once each, in table order ("Not supported" rows left out).
std::vector<std::string> modelNames();

inline constexpr std::uint32_t kDefaultEepromSeed = 1;

// The byte a generated EEPROM holds at `address` for `seed`: the top byte of the splitmix64
// output for the state (seed << 16 | address). Neighbouring addresses and seeds give unrelated
// bytes, and the pattern is the same on every platform, so a test can predict any byte.
std::uint8_t eepromPatternByte(std::uint32_t seed, std::uint16_t address);

// The camera that identifies as the first table entry with that name; none for an unknown
// name or a protocol the model does not speak. Its EEPROM holds the pattern of `seed`.
std::optional<Profile> modelProfile(std::string_view name, Protocol protocol,
                                    std::uint32_t seed = kDefaultEepromSeed);

// The built-in camera of --simulate: the model's (a plain camera when `model` is empty), listening
// at the tool's own settings and protocol so no scan is needed. None for an unknown model or one
// that does not speak the protocol.
std::optional<Profile> builtInProfile(std::string_view model, Protocol protocol, const link::SettingsForm& settings);

// The camera that identifies as this row and variant (the row may not speak AFP; the caller
// decides). The EEPROM range is the one the tool works out for the variant's model code; every
// register the identification reads is placed over the pattern, so every seed identifies alike.
Profile rowProfile(const camera::ModelRow& row, const camera::ModelVariant& variant, Protocol protocol,
                   std::uint32_t seed = kDefaultEepromSeed);

}  // namespace orva::sim
