// The camera's own exposure behaviour, whichever way the tool reaches the register, and the
// strobe / trigger-LED registers of the built-in models.
#include "sim/exposure.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "converse.hpp"
#include "sim/model_profiles.hpp"
#include "sim/start_values.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

using testing::afpFrame;
using testing::eapFrame;

// The three ways a tool writes a register the camera also binds to a function.
enum class Path { Eap, Function, Gateway };

std::string pathName(Path p) { return p == Path::Eap ? "EAP" : p == Path::Function ? "AFP function" : "gateway"; }

// Writes `value` through the path: the register (`word` wide) or the function bound to it.
void write(VirtualCamera& cam, Path path, std::uint16_t address, std::uint16_t function, unsigned value, bool word,
           unsigned functionValue) {
  const std::string digits = word ? fmt::format("{:04X}", value) : fmt::format("{:02X}", value);
  switch (path) {
    case Path::Eap: eapFrame(cam, fmt::format(":{}{:04X}{}", word ? 'w' : 'W', address, digits)); break;
    case Path::Function:
      afpFrame(cam, fmt::format("S{:04X}{}T", function, word ? digits : fmt::format("{:02X}", functionValue)));
      break;
    case Path::Gateway: afpFrame(cam, fmt::format("SFE0{}{:04X}{}T", word ? 2 : 1, address, digits)); break;
  }
}

unsigned readByte(VirtualCamera& cam, std::uint16_t address) {
  return static_cast<unsigned>(std::stoul(eapFrame(cam, fmt::format(":R{:04X}00", address)).substr(6), nullptr, 16));
}

TEST(Exposure, AnAeModeWritePutsThePriorityModesDefaultParameterInEveryProtocol) {
  struct Case {
    unsigned mode;      // FCC8
    unsigned afpMode;   // 2105
    unsigned parameter; // FCC9 after, from 0x33
  };
  const Case cases[] = {
      {0x07, 8, 0x05}, {0x08, 9, 0x02}, {0x09, 11, 0x02},
      {0x00, 1, 0x33}, {0x21, 6, 0x33}, {0x0A, 10, 0x33}, {0x0B, 12, 0x33},
  };
  for (const Path path : {Path::Eap, Path::Function, Path::Gateway}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(fmt::format("{}, mode {:02X}", pathName(path), c.mode));
      VirtualCamera cam{Profile{}};
      eapFrame(cam, ":WFCC933");
      write(cam, path, kAeModeRegister, kAeModeFunction, c.mode, false, c.afpMode);
      EXPECT_EQ(readByte(cam, kAeModeRegister), c.mode);
      EXPECT_EQ(readByte(cam, kAeParameterRegister), c.parameter);
    }
  }
  VirtualCamera cam{Profile{}};
  eapFrame(cam, ":WFCC807");
  eapFrame(cam, ":WFCC933");
  afpFrame(cam, "S21050DT");
  EXPECT_EQ(readByte(cam, kAeParameterRegister), 0x33u) << "a set outside the numbering changes nothing";
}

TEST(Exposure, WeightingDataSetsTheAreaItsTopDigitNamesInEveryProtocol) {
  struct Case {
    unsigned data;
    int area;  // 0: none changes
  };
  const Case cases[] = {{0x1ABC, 1}, {0x3123, 3}, {0x6FFF, 6}, {0x0123, 0}, {0x7123, 0}, {0xF000, 0}};
  for (const Path path : {Path::Eap, Path::Function, Path::Gateway}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(fmt::format("{}, data {:04X}", pathName(path), c.data));
      VirtualCamera cam{*modelProfile("QB-183", Protocol::Eap)};
      const std::string before = eapFrame(cam, ":RFAE000000000000000000000").substr(6) +
                                 eapFrame(cam, ":RFAEA00000000000000000000").substr(6, 16);
      write(cam, path, kWeightingDataRegister, kWeightingDataFunction, c.data, true, 0);
      std::string expected = before;
      if (c.area != 0) expected.replace(static_cast<std::size_t>(c.area - 1) * 6, 6, fmt::format("{:06X}", c.data & 0x0FFFu));
      EXPECT_EQ(eapFrame(cam, ":RFAE000000000000000000000").substr(6) +
                    eapFrame(cam, ":RFAEA00000000000000000000").substr(6, 16),
                expected);
      if (c.area != 0) {
        EXPECT_EQ(afpFrame(cam, fmt::format("G2107{:02X}FFFFFFT", c.area)),
                  fmt::format("Y2107{:02X}{:06X}T", c.area, c.data & 0x0FFFu));
      }
    }
  }
}

TEST(Exposure, TheStatusRegistersKeepWhatTheProfileSetWhateverTheToolWrites) {
  auto profile = parseProfile("FFC0: 04\nFFA5: 08\n");
  ASSERT_TRUE(profile);
  VirtualCamera cam{*profile};
  eapFrame(cam, ":WFFC001");
  afpFrame(cam, "SFE01FFA502T");
  EXPECT_EQ(readByte(cam, kStrobeStatusRegister), 4u);
  EXPECT_EQ(readByte(cam, kTriggerStatusRegister), 8u);
  eapFrame(cam, ":WFFBF02");
  EXPECT_EQ(readByte(cam, 0xFFBF), 2u) << "the registers beside them are the tool's";
}

TEST(Exposure, TheTriggerLedMirrorIsRamBesideTheEepromFields) {
  VirtualCamera cam{*modelProfile("QB-109", Protocol::Eap)};
  const eeprom::Range range = *cam.eepromRange();
  for (const std::uint16_t field : std::initializer_list<std::uint16_t>{0x14A0, 0x14A2, 0x14B7, 0x1251, 0x1255, 0x1256, 0x1259}) {
    SCOPED_TRACE(fmt::format("{:04X}", field));
    const auto mirror = static_cast<std::uint16_t>(field + kTriggerLedMirrorOffset);
    EXPECT_TRUE(range.contains(field));
    EXPECT_FALSE(range.contains(mirror));
    EXPECT_EQ(readByte(cam, mirror), readByte(cam, field)) << "the mirror starts as a copy";
  }
  EXPECT_EQ(readByte(cam, 0x1256), 0x82u) << "the panel's default";
  const eeprom::Image before = cam.eepromContents();
  eapFrame(cam, ":wB9FA1234");  // LED ON Time [t1] in the mirror
  EXPECT_EQ(cam.eepromContents(), before);
  EXPECT_EQ(readByte(cam, 0x14A2), 0x00u);
  EXPECT_EQ(readByte(cam, 0x14A3), 0x3Bu);
  eapFrame(cam, ":w14A20040");
  EXPECT_EQ(readByte(cam, 0xB9FB), 0x34u) << "nor does the EEPROM side reach the mirror";

  VirtualCamera strobe{*modelProfile("QB-191", Protocol::Eap)};
  for (const std::uint16_t field : std::initializer_list<std::uint16_t>{0x167F, 0x1684, 0x1697, 0x1702, 0x1705})
    EXPECT_TRUE(strobe.eepromRange()->contains(field)) << fmt::format("{:04X}", field);
}

}  // namespace
}  // namespace orva::sim
