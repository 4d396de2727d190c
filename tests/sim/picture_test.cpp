// The picture-mode register sets and the soft reset's reload of the white balance, in both
// protocols.
#include "sim/picture.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "converse.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

using namespace std::chrono_literals;
using testing::afpFrame;
using testing::eapFrame;

Profile profileOf(std::optional<std::uint16_t> modelCode) {
  Profile p;
  p.modelCode = modelCode;
  p.restartTime = 100ms;
  return p;
}

std::string readFive(VirtualCamera& cam, std::uint16_t at) {
  return eapFrame(cam, fmt::format(":R{:04X}{}", at, std::string(20, '0'))).substr(6, 10);
}

TEST(PictureSets, TheFiveBytesAreTheCurrentModesSetInBothProtocols) {
  struct Case {
    std::optional<std::uint16_t> model;
    std::uint16_t function;
    int mode;                            // FF60
    std::optional<std::uint16_t> first;  // none: no set, the digits are kept as set
  };
  const Case cases[] = {
      {std::nullopt, kColourLevelFunction, 1, 0xFC10}, {0x60, kColourLevelFunction, 2, 0xFC15},
      {0x19F0, kColourLevelFunction, 3, 0xFC50},       {0x19F0, kColourLevelFunction, 4, 0xFC55},
      {0x60, kYGammaFunction, 1, 0xFBD9},              {0x60, kYGammaFunction, 2, 0xFBE4},
      {0x60, kYGammaFunction, 3, 0xFC70},              {0x60, kYGammaFunction, 4, 0xFC7A},
      {0x60, kCGammaFunction, 1, 0xFBDF},              {0x60, kCGammaFunction, 2, 0xFBE9},
      {0x60, kCGammaFunction, 3, 0xFC75},              {0x60, kCGammaFunction, 4, 0xFC7F},
      {0x60, kCGammaFunction, 0, 0xFBDF},              {0x60, kYGammaFunction, 7, 0xFBD9},  // astray: mode 1
      {0x40, kColourLevelFunction, 3, 0xB790},  // before the sets by mode: one colour level set
      {0x40, kYGammaFunction, 1, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(fmt::format("model {:04X}, function {:04X}, mode {}", c.model.value_or(0), c.function, c.mode));
    VirtualCamera cam{profileOf(c.model)};
    eapFrame(cam, fmt::format(":WFF60{:02X}", c.mode));
    EXPECT_EQ(afpFrame(cam, fmt::format("S{:04X}0102030405T", c.function)), "R00T");
    if (!c.first) {
      EXPECT_EQ(afpFrame(cam, fmt::format("G{:04X}FFFFFFFFFFT", c.function)), fmt::format("Y{:04X}0102030405T", c.function));
      continue;
    }
    EXPECT_EQ(readFive(cam, *c.first), "0102030405");
    eapFrame(cam, fmt::format(":W{:04X}A0", *c.first + 4));
    EXPECT_EQ(afpFrame(cam, fmt::format("G{:04X}FFFFFFFFFFT", c.function)), fmt::format("Y{:04X}01020304A0T", c.function));
    afpFrame(cam, fmt::format("S{:04X}0102T", c.function));
    EXPECT_EQ(readFive(cam, *c.first), "01020304A0") << "a set of another length changes nothing";
  }
}

TEST(SoftReset, ReloadsTheWhiteBalanceFromThePowerOnModeInBothProtocols) {
  struct Case {
    std::uint8_t powerOn;  // 142F
    const char* wb;        // FBFF after, from 0A (manual white balance and aperture)
    const char* gains;     // FBBC to FBBF after, from 0180 0280
    const char* light;     // F9F2 after, from 00
  };
  const Case cases[] = {
      {0x04, "0A", "03800480", "00"},  // fixed: manual, with the fixed gains
      {0x00, "02", "01800280", "00"},  // auto normal
      {0x03, "02", "01800280", "03"},  // auto mercury
      {0x01, "0A", "01800280", "00"},  // no mode: left as it was
  };
  for (const bool afp : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(fmt::format("{}, 142F = {:02X}", afp ? "AFP 0102" : "EAP FCAC", c.powerOn));
      VirtualCamera cam{profileOf(0x60)};
      eapFrame(cam, fmt::format(":W142F{:02X}", c.powerOn));
      eapFrame(cam, ":w14300380");
      eapFrame(cam, ":w14320480");
      eapFrame(cam, ":WFBFF0A");
      eapFrame(cam, ":wFBBC0180");
      eapFrame(cam, ":wFBBE0280");
      if (afp)
        afpFrame(cam, "S010201T");
      else
        eapFrame(cam, ":WFCAC00");
      ASSERT_TRUE(cam.restarting());
      cam.advanceTo(cam.now() + 1s);
      EXPECT_EQ(eapFrame(cam, ":RFBFF00").substr(6), c.wb);
      EXPECT_EQ(eapFrame(cam, ":rFBBC0000").substr(6) + eapFrame(cam, ":rFBBE0000").substr(6), c.gains);
      EXPECT_EQ(eapFrame(cam, ":RF9F200").substr(6), c.light);
    }
  }
}

}  // namespace
}  // namespace orva::sim
