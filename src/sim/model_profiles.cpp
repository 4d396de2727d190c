#include "sim/model_profiles.hpp"

#include <algorithm>
#include <cstdint>

#include "eeprom/range.hpp"
#include "sim/start_values.hpp"

namespace orva::sim {
namespace {

using camera::ModelRow;
using camera::ModelVariant;

void put(Profile& p, std::uint16_t address, std::vector<std::uint8_t> bytes) {
  p.registers.push_back({address, std::move(bytes)});
}
void putWord(Profile& p, std::uint16_t address, std::uint16_t value) {
  put(p, address, {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value & 0xFF)});
}

// The EEPROM pattern goes in first, so every register placed after it wins. The registers the
// identification reads inside the range (1081, 1158, 11EE, markers, sensor, clock, ...) are all
// placed after it, by rowProfile or by the row's own registers.
void fillEeprom(Profile& p, const eeprom::Range& range, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes(range.bytes());
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = eepromPatternByte(seed, static_cast<std::uint16_t>(range.start + i));
  put(p, range.start, std::move(bytes));
  p.eepromRange = range;
}

// A selector no row of the type names, for the rows that take "any other selector".
std::uint8_t selectorFor(const ModelRow& row) { return row.selector.value_or(0x00); }

// The variant byte: the nibble in the upper half; rows for any variant get the standard one.
std::uint8_t variantByte(const ModelVariant& variant) {
  const std::uint8_t nibble = variant.nibble == camera::kAnyVariant ? 0 : variant.nibble;
  return static_cast<std::uint8_t>(nibble << 4);
}

const ModelVariant* firstNamed(std::string_view name, const ModelRow*& rowOut) {
  for (const auto& row : camera::models())
    for (const auto& variant : row.variants) {
      if (variant.name.empty()) break;
      if (variant.name == name && name != camera::kNotSupported) {
        rowOut = &row;
        return &variant;
      }
    }
  return nullptr;
}

}  // namespace

std::uint8_t eepromPatternByte(std::uint32_t seed, std::uint16_t address) {
  std::uint64_t z = ((std::uint64_t{seed} << 16) | address) + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<std::uint8_t>(z >> 56);
}

std::vector<std::string> modelNames() {
  std::vector<std::string> names;
  for (const auto& row : camera::models())
    for (const auto& variant : row.variants) {
      if (variant.name.empty()) break;
      if (variant.name == camera::kNotSupported) continue;
      if (std::find(names.begin(), names.end(), variant.name) == names.end()) names.emplace_back(variant.name);
    }
  return names;
}

Profile rowProfile(const ModelRow& row, const ModelVariant& variant, Protocol protocol, std::uint32_t seed) {
  Profile p;
  p.protocol = protocol;
  p.modelCode = variant.code;
  fillEeprom(p, eeprom::cameraRange(variant.code, 0), seed);
  putStartValues(p, variant.code);
  putWord(p, 0x0102, row.family);
  putWord(p, 0x0104, row.firstType());
  putWord(p, 0x0106, row.sampleVersion);
  // Further identification registers, each at a plausible value: EEPROM size fields, the
  // protocol choice, the AE mode (Program AE), NTSC output, no mask layout, a healthy lens.
  put(p, 0x0108, {0x01, 0x02, 0x03});
  putWord(p, 0x010B, 0x0400);
  put(p, 0x1081, {0x00});
  put(p, 0x1158, {row.speaksAfp && (row.capabilities.menuWord.value_or(0) & 0x1000) ? std::uint8_t{3} : std::uint8_t{0}});
  put(p, 0x11EE, {0xAA});
  put(p, 0xF740, {0x00});
  put(p, 0xF750, {0x00});
  put(p, 0xFCC8, {0x00});
  put(p, 0xFF08, {0x20});
  for (const auto& r : row.registers) {
    if (r.address == 0) continue;
    if (r.word)
      putWord(p, r.address, r.value);
    else
      put(p, r.address, {static_cast<std::uint8_t>(r.value)});
  }
  put(p, 0xE1ED, {selectorFor(row), variantByte(variant)});
  return p;
}

std::optional<Profile> builtInProfile(std::string_view model, Protocol protocol, const link::SettingsForm& settings) {
  Profile profile;
  if (!model.empty()) {
    auto named = modelProfile(model, protocol);
    if (!named) return std::nullopt;
    profile = std::move(*named);
  }
  profile.settings = settings;
  profile.protocol = protocol;
  return profile;
}

std::optional<Profile> modelProfile(std::string_view name, Protocol protocol, std::uint32_t seed) {
  const ModelRow* row = nullptr;
  const ModelVariant* variant = firstNamed(name, row);
  if (!variant || (protocol == Protocol::Afp && !row->speaksAfp)) return std::nullopt;
  return rowProfile(*row, *variant, protocol, seed);
}

}  // namespace orva::sim
