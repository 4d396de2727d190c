// The lens tables: step lists and the position → step mapping, the slider mapping, the go-to
// offsets and both codings of the continuous digital zoom maximum (with the bytes the old
// coding cannot show).
#include "camera/lens_tables.hpp"

#include <gtest/gtest.h>

namespace orva::camera::lens {
namespace {

TEST(StepLists, AscendOneEntryPerMagnificationFromTheX1BandToTheTeleEnd) {
  for (int lensIndex = 0; lensIndex < kLensCount; ++lensIndex) {
    SCOPED_TRACE(lensIndex);
    const auto list = stepList(lensIndex);
    ASSERT_EQ(static_cast<int>(list.size()), lensRow(lensIndex).maximum);
    for (std::size_t i = 1; i < list.size(); ++i) EXPECT_LT(list[i - 1], list[i]);
    EXPECT_EQ(list.back(), kTelePosition);
    EXPECT_GT(list.front(), 0u) << "the x1 band has room";
  }
  // The 16x lens is the one the thresholds were measured on.
  const auto list16 = stepList(1);
  for (std::size_t i = 0; i < k16xThresholds.size(); ++i) EXPECT_EQ(list16[i], k16xThresholds[i]);
}

TEST(ZoomStep, CountsTheEntriesBelowThePositionAndTheWideEndIsX1) {
  const auto list = stepList(1);
  EXPECT_EQ(zoomStep(1, 0), 0);
  EXPECT_EQ(zoomStep(1, list[0]), 0) << "at the first entry: still x1";
  EXPECT_EQ(zoomStep(1, list[0] + 1u), 1);
  EXPECT_EQ(zoomStep(1, 0xFFF0), 0) << "the wide end's negative form (bit 15)";
  EXPECT_EQ(zoomStep(1, 0x8000), 0);
  EXPECT_EQ(zoomStep(1, 0x6000), 12);
  EXPECT_EQ(zoomStep(1, kTelePosition), 15);
  EXPECT_EQ(zoomStep(1, 0x6800), 15) << "beyond the tele end of the capped forms: still the top";
  for (int lensIndex = 0; lensIndex < kLensCount; ++lensIndex)
    EXPECT_EQ(zoomStep(lensIndex, kTelePosition), lensRow(lensIndex).maximum - 1) << lensIndex;
  EXPECT_EQ(zoomStep(99, 0x6000), zoomStep(0, 0x6000)) << "an unknown lens counts as lens 0";
}

TEST(Slider, CoversEveryStepAndMapsBothEndsExactly) {
  for (int lensIndex = 0; lensIndex < kLensCount; ++lensIndex) {
    SCOPED_TRACE(lensIndex);
    const auto& row = lensRow(lensIndex);
    EXPECT_EQ(sliderPosition(lensIndex, 0), 0);
    EXPECT_EQ(sliderPosition(lensIndex, row.maximum - 1), row.sliderTop);
    EXPECT_EQ(stepOfSlider(lensIndex, row.sliderTop), row.maximum - 1);
    // Where the slider has a position per step, it is the step itself.
    if (row.sliderTop == row.maximum - 1) {
      for (int s = 0; s < row.maximum; ++s) EXPECT_EQ(sliderPosition(lensIndex, s), s);
    }
    // Every slider position names a step the slider shows there again, and with fewer
    // positions than steps every step lands on the position nearest to it.
    if (row.sliderTop <= row.maximum - 1) {
      for (int t = 0; t <= row.sliderTop; ++t) EXPECT_EQ(sliderPosition(lensIndex, stepOfSlider(lensIndex, t)), t);
    } else {
      for (int s = 0; s < row.maximum; ++s) EXPECT_EQ(stepOfSlider(lensIndex, sliderPosition(lensIndex, s)), s);
    }
  }
}

TEST(LensRows, ScaleLabelsAndSliderTops) {
  EXPECT_EQ(scaleLabels(27), (std::vector<std::string>{"", "x2", "", "x3"}));
  EXPECT_EQ(scaleLabels(8), (std::vector<std::string>{"x8", "x17", "x25", "x35"}));
  EXPECT_EQ(lensRow(8).sliderTop, 18);
  EXPECT_EQ(lensRow(10).sliderTop, 15);
  EXPECT_EQ(lensRow(99).maximum, 12);
}

TEST(GoToOffsets, FromTheWideEndClampedToTheTopAndNoneWithoutATable) {
  EXPECT_EQ(goToOffset(1, 0), 0);
  EXPECT_EQ(goToOffset(1, 1), 0);
  EXPECT_EQ(goToOffset(1, 2), 0x0D07);
  EXPECT_EQ(goToOffset(1, 15), 0x211F);
  EXPECT_EQ(goToOffset(1, 16), kFullTele);
  EXPECT_EQ(goToOffset(1, 40), kFullTele);
  EXPECT_EQ(goToOffset(3, 22), 0x1C87);
  EXPECT_EQ(goToOffset(3, 23), kFullTele);
  EXPECT_EQ(goToOffset(5, 9), 0x10EC);
  for (int lensIndex : {0, 6, 19, 28}) EXPECT_EQ(goToOffset(lensIndex, 2), std::nullopt) << lensIndex;
}

TEST(ContinuousMaximum, TheCodingsGoBothWaysForEveryMaximumTheEntryTakes) {
  for (std::uint16_t code : {std::uint16_t{0x20}, std::uint16_t{0x30}, std::uint16_t{0xCF0}}) {
    for (int n = 1; n <= 8; ++n) {
      const auto stored = continuousCode(code, n);
      ASSERT_TRUE(stored) << n;
      // 3, 5, 6 and 7 do not survive the old coding's integer steps; the powers of two do.
      if (code >= 0x30 || n == 1 || n == 2 || n == 4 || n == 8) {
        EXPECT_EQ(continuousMaximum(code, *stored), n) << n;
      }
    }
    EXPECT_EQ(continuousCode(code, 0), std::nullopt);
    EXPECT_EQ(continuousCode(code, 9), std::nullopt);
  }
  EXPECT_EQ(continuousCode(0x30, 8), 224);
  EXPECT_EQ(continuousCode(0x20, 8), 56);
  EXPECT_EQ(continuousMaximum(0x30, 0), 1);
  EXPECT_EQ(continuousMaximum(0x30, 255), 256);
}

TEST(ContinuousMaximum, AnOldModelsByteOf64OrMoreHasNoMaximum) {
  EXPECT_EQ(continuousMaximum(0x20, 56), 8);
  EXPECT_EQ(continuousMaximum(0x20, 63), 64);
  for (std::uint8_t b : {std::uint8_t{64}, std::uint8_t{65}, std::uint8_t{200}, std::uint8_t{255}})
    EXPECT_EQ(continuousMaximum(0x20, b), std::nullopt) << int(b);
  for (std::uint8_t b : {std::uint8_t{64}, std::uint8_t{255}}) {
    EXPECT_EQ(familyContinuousMaximum(0x90, b), std::nullopt);
    EXPECT_EQ(familyContinuousMaximum(0x10, b), std::nullopt);
    EXPECT_EQ(familyContinuousMaximum(0xD0, b), std::nullopt);
  }
}

TEST(FamilyCoding, LimitsByFamilyAndTheFamiliesOwnCodings) {
  ModelRecord m;
  const std::pair<std::uint16_t, int> limits[] = {{0x05, 8}, {0x23, 8}, {0x50, 8}, {0x61, 10}, {0x70, 10},
                                                  {0x80, 12}, {0x9F, 12}, {0xE0, 12}};
  for (const auto& [code, limit] : limits) {
    m.modelCode = code;
    EXPECT_EQ(familyDigitalZoomLimit(m), limit) << std::hex << code;
  }
  m.modelCode = 0xCF0;
  EXPECT_EQ(familyDigitalZoomLimit(m), 8) << "no limit in the record";
  m.panelByte5 = 16;
  EXPECT_EQ(familyDigitalZoomLimit(m), 16);

  EXPECT_EQ(familyContinuousCode(0x61, 12), 0xEB) << "low byte of -256 / 12";
  EXPECT_EQ(familyContinuousCode(0x61, 1), 0x00);
  EXPECT_EQ(familyContinuousCode(0x90, 8), 56);
  EXPECT_EQ(familyContinuousCode(0xD0, 9), 57);
  EXPECT_EQ(familyContinuousCode(0xD0, 10), 58) << "0xD0 adds one from 10 on";
  for (int n = 1; n <= 12; ++n) EXPECT_EQ(familyContinuousMaximum(0x61, *familyContinuousCode(0x61, n)), n) << n;
  // The 512 coding rounds up by 0.6 and holds up to 9 exactly.
  for (int n = 1; n <= 9; ++n) EXPECT_EQ(familyContinuousMaximum(0x90, *familyContinuousCode(0x90, n)), n) << n;
  EXPECT_EQ(familyContinuousMaximum(0xD0, 58), 10) << "11 shown one less above 10";
  EXPECT_EQ(familyContinuousMaximum(0xD0, *familyContinuousCode(0xD0, 12)), 12);
  EXPECT_EQ(familyContinuousMaximum(0x10, 0), 1);
}

}  // namespace
}  // namespace orva::camera::lens
