// The picture panel (AGCDLG2): picture modes and their register sets, the maximum gain's limit,
// offset and reference byte by model, a group sent whole or not at all, the zoom sensitivity
// toggle. The plain round trips are the generic panel test's.
#include <gtest/gtest.h>

#include <string>

#include "panels/panel_bench.hpp"
#include "panels/fake_panel_view.hpp"
#include "panels/picture/picture_panel.hpp"

namespace orva::panels::picture::agc2 {
namespace {

using testing::Bench;
using P = link::Protocol;

// Distinct values per picture mode: colour 1x to 4x, Y gamma 5x to 8x, C gamma 9x to Cx.
constexpr std::string_view kSets =
    "FC10: 11 12 13 14 15\nFC15: 21 22 23 24 25\nFC50: 31 32 33 34 35\nFC55: 41 42 43 44 45\n"
    "FBD9: 51 52 53 54 55\nFBE4: 61 62 63 64 65\nFC70: 71 72 73 74 75\nFC7A: 81 82 83 84 85\n"
    "FBDF: 91 92 93 94 95\nFBE9: A1 A2 A3 A4 A5\nFC75: B1 B2 B3 B4 B5\nFC7F: C1 C2 C3 C4 C5\n"
    "FD46: 01 40\nFB5C: 00\n";

struct Open : testing::PanelOnBench {
  Open(P protocol, std::string_view registers, std::uint16_t modelCode, std::uint16_t lensWord = 0,
       std::uint16_t menuWord = 0, std::vector<sim::Fault> fs = {})
      : PanelOnBench(protocol, std::string(kSets) + std::string(registers), std::move(fs)) {
    bench.model.modelCode = modelCode;
    bench.model.lensControlWord = lensWord;
    bench.model.menuWord = menuWord;
    logic = makePicturePanel(bench.context, view);
  }
  std::string group(GroupIds ids) const {
    std::string out;
    for (ControlId i = 0; i < 5; ++i) out += view.text(ids.first + i).value_or("--") + (i < 4 ? " " : "");
    return out;
  }
  bool heading(std::string_view text) const {
    return bench.monitor.pc().find("\r\n\r\n<< " + std::string(text) + " >>") != std::string::npos;
  }
};

class Picture : public ::testing::TestWithParam<P> {};
INSTANTIATE_TEST_SUITE_P(BothProtocols, Picture, ::testing::Values(P::Eap, P::Afp),
                         [](const auto& p) { return std::string(testing::name(p.param)); });

// "mode" reads the mode, steps it and shows the new mode's sets; a value outside 1 to 4 stands
// for mode 1 and steps to 1.
TEST_P(Picture, ModeStepsAndTheGroupsShowTheNewModesRegisters) {
  struct Case {
    std::string_view what;
    std::uint16_t modelCode, lensWord;
    std::string_view start;
    std::string_view opensColour, opensY;
    std::uint32_t next;
    std::string_view colour, y, heading;
  };
  const Case cases[] = {
      {"4 to 1", 0x0CF0, 0, "FF60: 04\n", "41 42 43 44 45", "81 82 83 84 85", 1, "11 12 13 14 15", "51 52 53 54 55",
       "Picture Mode 1"},
      {"7 reads as 1, steps to 1", 0x0CF0, 0, "FF60: 07\n", "11 12 13 14 15", "51 52 53 54 55", 1, "11 12 13 14 15",
       "51 52 53 54 55", "Picture Mode 1"},
      {"2 to 3", 0x0CF0, 0, "FF60: 02\n", "21 22 23 24 25", "61 62 63 64 65", 3, "31 32 33 34 35", "71 72 73 74 75",
       "Picture Mode 3"},
      // Two modes and no gamma curves: the gamma groups are not read.
      {"two modes, 2 to 1", 0x09F1, 0x5000, "FF60: 02\n", "21 22 23 24 25", "-- -- -- -- --", 1, "11 12 13 14 15",
       "-- -- -- -- --", "Picture Mode 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open o(GetParam(), c.start, c.modelCode, c.lensWord);
    ASSERT_TRUE(o.logic->open());
    EXPECT_EQ(o.group(kChroma), c.opensColour);
    EXPECT_EQ(o.group(kYGamma), c.opensY);
    EXPECT_EQ(o.view.enabled(kYGamma.set), c.opensY != "-- -- -- -- --");
    o.logic->intent(Intent::click(kPictureModeButton));
    EXPECT_EQ(testing::byte(o.bench, 0xFF60), c.next);
    EXPECT_EQ(o.view.text(kPictureModeField), std::to_string(c.next));
    EXPECT_TRUE(o.heading(c.heading)) << o.bench.monitor.pc();
    EXPECT_EQ(o.group(kChroma), c.colour);
    EXPECT_EQ(o.group(kYGamma), c.y);
  }
}

// All five entries are checked before anything is sent; then the current mode's set is written
// under the group's heading.
TEST_P(Picture, AGroupSetSendsAllFiveOrNothing) {
  Open o(GetParam(), "FF60: 03\n", 0x0CF0);
  ASSERT_TRUE(o.logic->open());
  o.logic->intent(Intent::edit(kYGamma.first + 4, "1F"));
  for (const std::string_view bad : {"G1", "100", ""}) {
    o.logic->intent(Intent::edit(kYGamma.first + 2, std::string(bad)));
    const auto mark = o.bench.mark();
    o.logic->intent(Intent::click(kYGamma.set));
    EXPECT_TRUE(o.bench.heardSince(mark).empty()) << bad;
  }
  EXPECT_EQ(o.view.beeps(), 3);
  EXPECT_FALSE(o.heading("Y GAMMA"));
  o.logic->intent(Intent::edit(kYGamma.first + 2, "7f"));
  o.logic->intent(Intent::click(kYGamma.set));
  EXPECT_TRUE(o.heading("Y GAMMA"));
  EXPECT_EQ(o.group(kYGamma), "71 72 7F 74 1F");
  for (const auto& [address, value] : {std::pair{0xFC72, 0x7F}, {0xFC74, 0x1F}, {0xFC70, 0x71}, {0xFBDB, 0x53}})
    EXPECT_EQ(testing::byte(o.bench, static_cast<std::uint16_t>(address)), value);
  // An entry's own Return sends its group.
  o.logic->intent(Intent::enter(kCGamma.first, "05"));
  EXPECT_EQ(testing::byte(o.bench, 0xFC75), 0x05);
  EXPECT_TRUE(o.heading("C GAMMA"));
}

TEST_P(Picture, ZoomSensitivityToggles) {
  Open o(GetParam(), "FF60: 01\n", 0x0CF0);
  ASSERT_TRUE(o.logic->open());
  EXPECT_FALSE(o.view.shown(kZoomSensPlus));
  EXPECT_EQ(o.view.value(kZoomSens), 0);
  o.logic->intent(Intent::click(kZoomSensButton));
  EXPECT_EQ(testing::byte(o.bench, 0xFB5C), 1);
  EXPECT_EQ(o.view.value(kZoomSens), 1);
  EXPECT_TRUE(o.heading("Zoom Sens Up ON"));
  o.logic->intent(Intent::click(kZoomSensButton));
  EXPECT_EQ(testing::byte(o.bench, 0xFB5C), 0);
  EXPECT_EQ(o.view.value(kZoomSens), 0);
  EXPECT_TRUE(o.heading("Zoom Sens Up OFF"));
}

// The limit by model: beyond it the entry beeps and sends nothing.
TEST(PictureGain, LimitFollowsTheModel) {
  struct Case {
    std::uint16_t modelCode;
    std::string_view registers;
    int limit;
  };
  const Case cases[] = {
      {0x0FF0, "", 37}, {0x19F1, "", 48}, {0x1CF0, "", 48}, {0x18F0, "", 26},
      {0x14F0, "10F4: 03 C0\n", 30}, {0x16F0, "10F4: 7F FF\n", 48}, {0x0CF0, "", 40}, {0x02F0, "", 40},
  };
  for (const P protocol : {P::Eap, P::Afp}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << testing::name(protocol) << " " << std::hex << c.modelCode);
      Open o(protocol, c.registers, c.modelCode);
      ASSERT_TRUE(o.logic->open());
      EXPECT_EQ(o.view.range(kGain), std::pair(0, c.limit));
      const auto mark = o.bench.mark();
      o.logic->intent(Intent::enter(kGain, std::to_string(c.limit + 1)));
      EXPECT_TRUE(o.bench.heardSince(mark).empty());
      EXPECT_EQ(o.view.beeps(), 1);
      o.logic->intent(Intent::enter(kGain, std::to_string(c.limit)));
      EXPECT_EQ(testing::word(o.bench, 0xFD46), static_cast<std::uint32_t>(c.limit * 32));
    }
  }
}

// The offset by the AE state, on a model with the gain-up mode; the reference byte's register
// by model and picture mode.
TEST(PictureGain, OffsetAndReferenceByte) {
  struct Case {
    std::string_view what;
    std::uint16_t modelCode, menuWord;
    std::string_view registers;
    std::uint32_t written;  // for 10 dB
    std::uint16_t reference;
  };
  const Case cases[] = {
      {"Program AE", 0x0CF0, 0x0800, "FCC8: 00\nFF60: 01\n", 320, 0xFA20},
      {"Shutter Priority, parameter 5", 0x0CF0, 0x0800, "FCC8: 07\nFCC9: 05\n1221: 01\nFF60: 02\n", 320, 0xFF6D},
      {"Shutter Priority, parameter 3, high sensitivity", 0x0CF0, 0x0800, "FCC8: 07\nFCC9: 03\n1221: 01\nFF60: 02\n",
       480, 0xFF6D},
      {"Full Manual, switch 1", 0x0CF0, 0x0800, "FCC8: 0A\n11E5: 01\n1221: 01\nFF60: 01\n", 320, 0xFA20},
      {"Full Manual, normal", 0x0CF0, 0x0800, "FCC8: 0A\n11E5: 00\n1221: 00\nFF60: 01\n", 448, 0xFA20},
      {"Program AE+, high sensitivity", 0x0CF0, 0x0800, "FCC8: 01\n11E5: 00\n1221: 01\nFF60: 03\n", 480, 0xFF6D},
      {"no offset on this model", 0x0CF0, 0, "FCC8: 01\n1221: 01\nFF60: 04\n", 320, 0xFF6D},
      {"0x0FF0 keeps FA20", 0x0FF0, 0, "FF60: 02\n", 320, 0xFA20},
      {"the newest families keep FA20", 0x19F0, 0, "FF60: 02\n", 320, 0xFA20},
      {"below 0x60", 0x0050, 0, "", 320, 0xB5BC},
  };
  for (const P protocol : {P::Eap, P::Afp}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(testing::name(protocol)) + " " + std::string(c.what));
      Open o(protocol, c.registers, c.modelCode, 0, c.menuWord);
      ASSERT_TRUE(o.logic->open());
      o.logic->intent(Intent::enter(kGain, "10"));
      EXPECT_EQ(testing::word(o.bench, 0xFD46), c.written);
      EXPECT_EQ(testing::byte(o.bench, c.reference), c.written / 8);
      EXPECT_EQ(o.view.text(kGain), "10") << "the entry keeps the operator's dB";
    }
  }
}

// A failed read on the way to the offset sends nothing.
TEST(PictureGain, AFailedOffsetReadWritesNothing) {
  for (const P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(testing::name(protocol));
    std::size_t opening = 0;
    {
      Open counted(protocol, "FCC8: 01\n", 0x0CF0, 0, 0x0800);
      ASSERT_TRUE(counted.logic->open());
      opening = counted.bench.heardSince(0).size();
    }
    // The reply to the first read after the open (the AE mode) does not come.
    const std::string drop = "drop:" + std::to_string(opening + 1);
    Open o(protocol, "FCC8: 01\n", 0x0CF0, 0, 0x0800, testing::faults({drop}));
    ASSERT_TRUE(o.logic->open());
    o.logic->intent(Intent::enter(kGain, "10"));
    EXPECT_TRUE(o.logic->isOpen());
    EXPECT_EQ(testing::word(o.bench, 0xFD46), 0x0140u) << "as it was";
    EXPECT_EQ(testing::byte(o.bench, 0xFA20), 0u);
  }
}

}  // namespace
}  // namespace orva::panels::picture::agc2
