#include "eeprom/range.hpp"

#include <array>

#include "eeprom/factory_images.hpp"

namespace orva::eeprom {
namespace {

// Indexed by size code - 1.
constexpr std::array<Range, 10> kSizeCodeRanges{{
    {0xE000, 0xE200, 3, 25},
    {0x1000, 0x1400, 4, 51},
    {0x1000, 0x1480, 5, 55},
    {0x1000, 0x1500, 5, 61},
    {0x1000, 0x1800, 6, 102},
    {0x1000, 0x2000, 13, 204},
    {0x0800, 0x1800, 13, 255},
    {0x0800, 0x2000, 13, 306},
    {0x0800, 0x2800, 13, 408},
    {0x0800, 0x3280, 13, 561},
}};

constexpr Range kOldModels{0xE000, 0xE200, 3, 51};
constexpr Range k1000To1400{0x1000, 0x1400, 4, 51};
constexpr Range k1000To1480{0x1000, 0x1480, 5, 55};
constexpr Range k1000To1800{0x1000, 0x1800, 6, 102};
constexpr Range k1000To2000{0x1000, 0x2000, 13, 204};

// "EEPROM Size" values that ask for a larger range, and the size code each one names.
std::optional<int> settingTarget(int s) {
  switch (s) {
    case 2: return 5;
    case 4: return 6;
    case 6: return 8;
    case 8: return 9;
    case 10: return 10;
    default: return std::nullopt;
  }
}

Range byModelFamily(std::uint16_t modelCode, int s, Range current) {
  // The code is held as a signed 16-bit value, so codes with the top bit set count as old models.
  if (static_cast<std::int16_t>(modelCode) < 0x30) return kOldModels;
  switch (modelCode & 0xF0) {
    case 0x90: return s == 2 ? k1000To1800 : k1000To1400;
    case 0xA0: return s == 2 ? k1000To1800 : s == 4 ? k1000To2000 : current;
    case 0xB0:
    case 0xC0: return s == 4 ? k1000To2000 : k1000To1800;
    case 0xD0:
    case 0xE0: return s == 2 ? k1000To1800 : k1000To1480;
    default: return current;
  }
}

}  // namespace

std::optional<Range> sizeCodeRange(int sizeCode) {
  if (sizeCode < 1 || sizeCode > static_cast<int>(kSizeCodeRanges.size())) return std::nullopt;
  return kSizeCodeRanges[static_cast<std::size_t>(sizeCode - 1)];
}

Range eepromRange(const RangeSource& source) {
  const int s = source.eepromSizeSetting & 0x0F;
  Range r;
  if (auto bySize = sizeCodeRange(source.sizeCode)) r = *bySize;
  if (auto target = settingTarget(s); target && source.maxSizeCode >= *target && source.sizeCode < *target) {
    r = *sizeCodeRange(*target);
  }
  return byModelFamily(source.modelCode, s, r);
}

RangeSource cameraRangeSource(std::uint16_t modelCode, int eepromSizeSetting) {
  RangeSource source{.modelCode = modelCode, .eepromSizeSetting = eepromSizeSetting};
  if (const FactoryImageEntry* image = factoryImageFor(modelCode)) {
    source.sizeCode = image->sizeCode;
    source.maxSizeCode = image->sizeCode;
  }
  return source;
}

}  // namespace orva::eeprom
