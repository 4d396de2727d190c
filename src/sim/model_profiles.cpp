#include "sim/model_profiles.hpp"

#include <algorithm>
#include <cstdint>

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

Profile rowProfile(const ModelRow& row, const ModelVariant& variant, Protocol protocol) {
  Profile p;
  p.protocol = protocol;
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

std::optional<Profile> modelProfile(std::string_view name, Protocol protocol) {
  const ModelRow* row = nullptr;
  const ModelVariant* variant = firstNamed(name, row);
  if (!variant || (protocol == Protocol::Afp && !row->speaksAfp)) return std::nullopt;
  return rowProfile(*row, *variant, protocol);
}

}  // namespace orva::sim
