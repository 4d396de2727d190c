// What the lens panels show of the lens and where they read its position: the speed captions,
// the magnification read-out and the zoom position's form and cap.
#include "panels/lens/lens_readout.hpp"

#include <gtest/gtest.h>

#include "panels/panel_bench.hpp"

namespace orva::panels::lens {
namespace {

using P = link::Protocol;

TEST(LensReadout, SpeedCaptions) {
  EXPECT_EQ(speedCaptions(24), (std::vector<std::string>{"          HIGH SPEED   ( 3.45sec )",
                                                          "          NORMAL SPEED ( 4.4sec )"}));
  EXPECT_TRUE(speedCaptions(27).empty()) << "the 3x lens states no times";
}

TEST(MagnificationText, InstantFactorsAndTheFamilyCaps) {
  camera::ModelRecord m;
  m.modelCode = 0xCF0;
  EXPECT_EQ(magnificationText(m, 12, false, 20), "12");
  EXPECT_EQ(magnificationText(m, 12, true, 10), "12");
  EXPECT_EQ(magnificationText(m, 12, true, 20), "24");
  EXPECT_EQ(magnificationText(m, 3, true, 15), "4.5");
  EXPECT_EQ(magnificationText(m, 36, true, 20), "72");
  m.modelCode = 0x13F1;
  EXPECT_EQ(magnificationText(m, 36, true, 20), "60");
  EXPECT_EQ(magnificationText(m, 36, true, 19), "60.0");
  EXPECT_EQ(magnificationText(m, 36, false, 20), "36");
  m.modelCode = 0x15F0;
  EXPECT_EQ(magnificationText(m, 30, true, 20), "44");
  EXPECT_EQ(magnificationText(m, 20, true, 20), "40");
}

TEST(ZoomPosition, ReadFromTheFormTheModelHasAndCappedWhereTheCameraCapsIt) {
  using testing::Bench;
  // The lens parks at its tele end, 0x6800: above the cap.
  for (P protocol : {P::Eap, P::Afp}) {
    for (bool extended : {false, true}) {
      SCOPED_TRACE(std::string(testing::name(protocol)) + (extended ? " extended" : ""));
      Bench b(protocol, "F850: 68 00\n");
      camera::ModelRecord m;
      m.panelWord2 = extended ? 0x20FF : 0x00FF;
      const auto from = b.mark();
      std::uint32_t position = 0;
      ASSERT_TRUE(readZoomPosition(b.access, m, position));
      const bool uncapped = protocol == P::Eap && !extended;
      EXPECT_EQ(position, uncapped ? 0x6800u : kTelePosition);
      const auto heard = b.heardSince(from);
      ASSERT_EQ(heard.size(), 1u);
      EXPECT_NE(heard[0].find(protocol == P::Afp ? "1109" : (extended ? "F850" : "F720")), std::string::npos)
          << heard[0];
    }
  }
}

}  // namespace
}  // namespace orva::panels::lens
