#include "camera/preset_file.hpp"

#include <gtest/gtest.h>

namespace orva::camera {
namespace {

constexpr std::uint32_t kModel = 0x0102A5B7;

PresetRecords sample() {
  PresetRecords p;
  for (std::size_t i = 0; i < kPresetRecordCount; ++i) {
    const auto b = static_cast<std::uint16_t>(0x1000 * (i + 1));
    p.records[i] = {static_cast<std::uint16_t>(b + 1), static_cast<std::uint16_t>(b + 2),
                    static_cast<std::uint16_t>(b + 3), static_cast<std::uint16_t>(b + 4),
                    static_cast<std::uint16_t>(b + 5), static_cast<std::uint16_t>(b + 6),
                    static_cast<std::uint16_t>(b + 7), static_cast<std::uint16_t>(b + 8),
                    static_cast<std::uint8_t>(0x80 + i), static_cast<std::uint16_t>(b + 9),
                    static_cast<std::uint8_t>(i), presetAfSpeed(static_cast<std::uint8_t>(i))};
    p.set[i] = i % 3 != 0;
  }
  return p;
}

TEST(PresetFile, AfSpeedFromTheAfReference) {
  const struct {
    std::uint8_t reference, speed;
  } rows[] = {{0, 0}, {3, 128}, {0xFF, kNoAfSpeed}, {1, 0}, {7, 64}};
  for (const auto& r : rows) EXPECT_EQ(presetAfSpeed(r.reference), r.speed) << int(r.reference);
}

TEST(PresetFile, SavedFileIsTheLayoutAndOpensToTheSameRecords) {
  const PresetRecords p = sample();
  const std::string file = encodePresetFile(p, kModel);
  ASSERT_EQ(file.size(), 200u);
  EXPECT_EQ(file.substr(0, 24), std::string("Preset Memory Data1:\x01\x02\xA5\xB7", 24));
  // TYPE II record 1 starts at 112: flag, then the base word MSB first.
  EXPECT_EQ(file.substr(112, 3), std::string("\x01\x50\x01", 3));
  EXPECT_EQ(file.substr(24 + 18, 3), std::string("\x10\x09\x00", 3));  // AF area word, AF reference

  const DecodedPresetFile d = decodePresetFile(file, kModel);
  EXPECT_EQ(d.fault, PresetFileFault::None);
  ASSERT_TRUE(d.records);
  EXPECT_EQ(*d.records, p);
}

TEST(PresetFile, OlderFormWithOneModelByte) {
  const std::string current = encodePresetFile(sample(), kModel);
  const std::string old = std::string(kOldPresetFileTag) + '\x21' + current.substr(24);
  ASSERT_EQ(old.size(), 197u);
  const DecodedPresetFile d = decodePresetFile(old, 0x21);
  ASSERT_TRUE(d.records);
  EXPECT_EQ(*d.records, sample());
  EXPECT_EQ(decodePresetFile(old, kModel).fault, PresetFileFault::ModelsDiffer);
}

TEST(PresetFile, RefusedFilesGiveNoRecords) {
  const std::string good = encodePresetFile(sample(), kModel);
  const std::string oldGood = std::string(kOldPresetFileTag) + '\x21' + good.substr(24);
  const struct {
    std::string bytes;
    std::uint32_t model;
    PresetFileFault fault;
  } rows[] = {
      {good, kModel + 1, PresetFileFault::ModelsDiffer},
      {good.substr(0, 199), kModel, PresetFileFault::NotPresetFile},
      {good.substr(0, 24), kModel, PresetFileFault::NotPresetFile},
      {oldGood.substr(0, 196), 0x21, PresetFileFault::NotPresetFile},
      {"Preset Memory Data2:" + good.substr(20), kModel, PresetFileFault::NotPresetFile},
      {"", kModel, PresetFileFault::NotPresetFile},
  };
  for (const auto& r : rows) {
    const DecodedPresetFile d = decodePresetFile(r.bytes, r.model);
    EXPECT_EQ(d.fault, r.fault) << r.bytes.size();
    EXPECT_FALSE(d.records) << r.bytes.size();
  }
  EXPECT_TRUE(decodePresetFile(good + "trailing", kModel).records);
}

TEST(PresetFile, MessagesInBothLanguages) {
  EXPECT_EQ(presetFileMessage(PresetFileFault::NotPresetFile, false).text, "It is not in a Preset data file.");
  EXPECT_EQ(presetFileMessage(PresetFileFault::ModelsDiffer, false).title, "Error");
  EXPECT_EQ(presetFileMessage(PresetFileFault::ModelsDiffer, true).text, "モデル情報が異なります。");
  EXPECT_EQ(presetFileMessage(PresetFileFault::NotPresetFile, true).title, "警告");
}

}  // namespace
}  // namespace orva::camera
