#include "eeprom/range.hpp"

#include <gtest/gtest.h>

#include "eeprom/factory_images.hpp"

namespace orva::eeprom {
namespace {

constexpr Range kDefault{0x1000, 0x1400, 3, 51};
// A model code whose family leaves the range alone.
constexpr std::uint16_t kNeutralCode = 0x40;

TEST(Range, EverySizeCode) {
  struct Case {
    int sizeCode;
    Range expected;
  };
  const Case cases[] = {
      {0, kDefault},
      {1, {0xE000, 0xE200, 3, 25}},
      {2, {0x1000, 0x1400, 4, 51}},
      {3, {0x1000, 0x1480, 5, 55}},
      {4, {0x1000, 0x1500, 5, 61}},
      {5, {0x1000, 0x1800, 6, 102}},
      {6, {0x1000, 0x2000, 13, 204}},
      {7, {0x0800, 0x1800, 13, 255}},
      {8, {0x0800, 0x2000, 13, 306}},
      {9, {0x0800, 0x2800, 13, 408}},
      {10, {0x0800, 0x3280, 13, 561}},
      {11, kDefault},
      {-1, kDefault},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sizeCode);
    const Range r = eepromRange({.modelCode = kNeutralCode, .sizeCode = c.sizeCode, .maxSizeCode = c.sizeCode});
    EXPECT_EQ(r, c.expected);
    // Whole blocks of eight rows.
    EXPECT_EQ(r.start % 0x80, 0);
    EXPECT_EQ(r.end % 0x80, 0);
  }
}

TEST(Range, EveryEepromSizeSetting) {
  struct Case {
    int setting;
    int sizeCode;
    int maxSizeCode;
    Range expected;
  };
  const Case cases[] = {
      // Each target needs a maximum at least as large and a size code below it.
      {2, 2, 5, {0x1000, 0x1800, 6, 102}},
      {2, 5, 5, {0x1000, 0x1800, 6, 102}},
      {2, 2, 4, {0x1000, 0x1400, 4, 51}},
      {4, 5, 6, {0x1000, 0x2000, 13, 204}},
      {4, 5, 5, {0x1000, 0x1800, 6, 102}},
      {4, 7, 10, {0x0800, 0x1800, 13, 255}},
      {6, 7, 8, {0x0800, 0x2000, 13, 306}},
      {8, 7, 9, {0x0800, 0x2800, 13, 408}},
      {10, 9, 10, {0x0800, 0x3280, 13, 561}},
      {10, 0, 10, {0x0800, 0x3280, 13, 561}},
      {10, 9, 9, {0x0800, 0x2800, 13, 408}},
      // Odd values and values past 10 do nothing; only the low four bits count.
      {1, 2, 10, {0x1000, 0x1400, 4, 51}},
      {3, 2, 10, {0x1000, 0x1400, 4, 51}},
      {5, 2, 10, {0x1000, 0x1400, 4, 51}},
      {12, 2, 10, {0x1000, 0x1400, 4, 51}},
      {15, 2, 10, {0x1000, 0x1400, 4, 51}},
      {0x12, 2, 10, {0x1000, 0x1800, 6, 102}},
      {0, 2, 10, {0x1000, 0x1400, 4, 51}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "S=" << c.setting << " size " << c.sizeCode << " max " << c.maxSizeCode);
    EXPECT_EQ(eepromRange({.modelCode = kNeutralCode, .sizeCode = c.sizeCode, .maxSizeCode = c.maxSizeCode,
                           .eepromSizeSetting = c.setting}),
              c.expected);
  }
}

TEST(Range, ModelFamiliesHaveTheLastWord) {
  constexpr Range kOld{0xE000, 0xE200, 3, 51};
  constexpr Range k1400{0x1000, 0x1400, 4, 51};
  constexpr Range k1480{0x1000, 0x1480, 5, 55};
  constexpr Range k1800{0x1000, 0x1800, 6, 102};
  constexpr Range k2000{0x1000, 0x2000, 13, 204};
  constexpr Range kSize10{0x0800, 0x3280, 13, 561};
  struct Case {
    std::uint16_t modelCode;
    int setting;
    Range expected;
  };
  // Every case starts from size code 10 with maximum 10, which the family then overrides or keeps.
  const Case cases[] = {
      {0x00, 0, kOld},      {0x21, 10, kOld},       {0x2F, 4, kOld},       {0x8000, 0, kOld},
      {0x30, 0, kSize10},   {0x83, 2, kSize10},     {0x0CF0, 0, kSize10},  {0x4F, 4, kSize10},
      {0x90, 2, k1800},     {0x93, 0, k1400},       {0x91, 4, k1400},
      {0xA0, 2, k1800},     {0xA1, 4, k2000},       {0xA2, 0, kSize10},    {0xA3, 6, kSize10},
      {0xB0, 4, k2000},     {0xB1, 2, k1800},       {0xC0, 4, k2000},      {0xC1, 0, k1800},
      {0xD0, 2, k1800},     {0xD1, 4, k1480},       {0xE0, 2, k1800},      {0xE1, 0, k1480},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.modelCode << " S=" << c.setting);
    EXPECT_EQ(eepromRange({.modelCode = c.modelCode, .sizeCode = 10, .maxSizeCode = 10, .eepromSizeSetting = c.setting}),
              c.expected);
  }
}

TEST(Range, ConnectedCameraTakesItsSizeCodeFromItsFactoryImage) {
  struct Case {
    std::uint16_t modelCode;
    int setting;
    Range expected;
  };
  const Case cases[] = {
      {0x09F0, 0, {0x1000, 0x1800, 6, 102}},   // image 277
      {0x09F0, 4, {0x1000, 0x1800, 6, 102}},   // the setting never reaches past the image
      {0x0CF0, 10, {0x0800, 0x1800, 13, 255}},  // image 276
      {0x18F0, 0, {0x0800, 0x2800, 13, 408}},  // image 321
      {0x1AF4, 2, {0x0800, 0x3280, 13, 561}},  // image 381
      {0x01F0, 10, kDefault},                  // no image: the defaults
      {0x92, 2, {0x1000, 0x1800, 6, 102}},     // no image: the family decides
      {0x10, 0, {0xE000, 0xE200, 3, 51}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.modelCode << " S=" << c.setting);
    EXPECT_EQ(cameraRange(c.modelCode, c.setting), c.expected);
  }
  // Backup, write-back and restore of a camera with an image all see the rows the image covers.
  for (const FactoryImageEntry& image : factoryImages()) {
    for (std::uint16_t code : image.modelCodes) {
      if (code == 0) continue;
      for (int s = 0; s < 16; ++s) {
        const Range r = cameraRange(code, s);
        EXPECT_EQ(r.start, image.rows().start) << image.number;
        EXPECT_EQ(r.end, image.rows().end) << image.number;
        EXPECT_EQ(r.start % 0x80, 0) << image.number;
      }
    }
  }
}

}  // namespace
}  // namespace orva::eeprom
