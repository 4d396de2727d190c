// Value formats, operator entries and where panels open.
#include "panels/formats.hpp"

#include <gtest/gtest.h>

#include "panels/placement.hpp"

namespace orva::panels {
namespace {

TEST(Formats, ValuesShowInTheirFormat) {
  struct Case {
    Format format;
    std::uint32_t value;
    const char* shown;
  };
  const Case cases[] = {
      {Format::Hex2, 0x0A, "0A"},         {Format::Hex2, 0xFF, "FF"},        {Format::Hex4, 0x00BE, "00BE"},
      {Format::Hex8, 0x1234ABCD, "1234ABCD"}, {Format::Tenths, 15, "1.5"},   {Format::Tenths, 5, "0.5"},
      {Format::Tenths, 200, "20.0"},      {Format::Decimal, 0, "0"},        {Format::Decimal, 255, "255"},
  };
  for (const Case& c : cases) EXPECT_EQ(formatValue(c.format, c.value), c.shown) << c.value;
}

TEST(Formats, EntriesTakeOnlyTheirFormatsDigits) {
  struct Case {
    Format format;
    const char* typed;
    std::optional<std::uint32_t> value;
  };
  const Case cases[] = {
      {Format::Hex2, "ff", 0xFF},   {Format::Hex2, " 1A ", 0x1A}, {Format::Hex2, "1FF", std::nullopt},
      {Format::Hex2, "G1", std::nullopt}, {Format::Hex2, "", std::nullopt}, {Format::Hex4, "F850", 0xF850},
      {Format::Decimal, "12", 12},  {Format::Decimal, "-1", std::nullopt}, {Format::Decimal, "1A", std::nullopt},
      {Format::Tenths, "1.5", 15},  {Format::Tenths, "2", 20},     {Format::Tenths, "2.", 20},
      {Format::Tenths, "1.55", 15},  // what does not fit is cut off, not rounded
      {Format::Tenths, "2.1", 21},  {Format::Tenths, ".5", std::nullopt}, {Format::Tenths, "1.x", std::nullopt},
      {Format::Tenths, "1,5", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(parseEntry(c.format, c.typed), c.value) << '"' << c.typed << '"';
}

TEST(Placement, PanelsOpenAtTheTopRightOfTheMainWindowOrTheScreen) {
  const Size panel{300, 200};
  const MainPlacement normal{false, {100, 50, 900, 700}};
  const MainPlacement maximised{true, {100, 50, 900, 700}};
  EXPECT_EQ(panelPosition(normal, panel, 1920), (Point{600, 50}));
  EXPECT_EQ(panelPosition(maximised, panel, 1920), (Point{1620, 0}));
  EXPECT_EQ(panelPosition(std::nullopt, panel, 1920), std::nullopt) << "unknown placement: left where it is";

  const FrameMetrics frame{4, 4, 23};
  EXPECT_EQ(launcherPosition(normal, panel, 1920, frame), (Point{596, 77}));
  EXPECT_EQ(launcherPosition(maximised, panel, 1920, frame), (Point{1616, 27}));
  EXPECT_EQ(launcherPosition(std::nullopt, panel, 1920, frame), std::nullopt);
}

}  // namespace
}  // namespace orva::panels
