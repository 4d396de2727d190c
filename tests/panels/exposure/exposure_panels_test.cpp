// EXPOSURE CONTROL, SHUTTER SPEED and AGC against the virtual camera, in both protocols (the
// gateway carries every register in AFP): what each mode enables and reads, the iris direction
// and the order of its writes, where the average offset lives, the speeds of each video
// standard, the gain entries' bounds, and a failed write that leaves the buttons as they were.
#include "panels/exposure/exposure_panels.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "panels/fake_panel_view.hpp"
#include "panels/panel_bench.hpp"

namespace orva::panels::exposure {
namespace {

using testing::byte;
using testing::name;
using testing::word;
using P = link::Protocol;
using Make = std::unique_ptr<PanelLogic> (*)(PanelContext&, PanelView&);

struct Open : testing::PanelOnBench {
  Open(P protocol, std::string_view registers, Make make, std::vector<sim::Fault> faults = {},
       std::uint16_t modelCode = 0x0010)
      : PanelOnBench(protocol, registers, std::move(faults)) {
    bench.model.modelCode = modelCode;
    bench.monitor.clear();
    logic = make(bench.context, view);
  }
  // Each frame heard since `since` as "R" or "W" and its register, in either protocol; "-" for
  // an EAP frame cut short because the camera did not echo it.
  std::vector<std::string> accesses(std::uint64_t since) const {
    std::vector<std::string> out;
    for (const std::string& f : bench.heardSince(since)) {
      const bool eap = f[0] == ':';
      if (f.size() < 6) {
        out.push_back("-");
        continue;
      }
      const bool reads = eap ? std::toupper(static_cast<unsigned char>(f[1])) == 'R' : f[0] == 'G';
      out.push_back((reads ? "R" : "W") + f.substr(eap ? 2 : 5, 4));
    }
    return out;
  }
  std::vector<std::string> accesses() const { return accesses(from); }
};

using Accesses = std::vector<std::string>;

TEST(ExposureControl, AutoAndManualSwitchTheGroupsAndBothReadTheOffsetsAgain) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    // Manual iris, with the shutter and gain bits of the same register set too.
    Open o(protocol, "FB7F: D0\nFD9E: 12\nFD9F: 34\n", makeExposurePanel);
    ASSERT_TRUE(o.logic->open());
    EXPECT_EQ(o.accesses(), Accesses{"RFB7F"}) << "MANUAL reads no offset on open";
    EXPECT_TRUE(o.view.enabled(iris::kFNumber));
    EXPECT_FALSE(o.view.enabled(iris::kAverage));
    EXPECT_FALSE(o.view.enabled(iris::kPeak));
    EXPECT_EQ(o.view.value(iris::kFNumber).value_or(-1), -1);
    EXPECT_NE(o.bench.monitor.pc().find("<< EXPOSURE CONTROL >>"), std::string::npos);

    auto mark = o.bench.mark();
    o.logic->intent(Intent::choose(iris::kMode, 0));
    EXPECT_EQ(o.accesses(mark), (Accesses{"RFB7F", "WFB7F", "RFD9E", "RFD9F"}));
    EXPECT_EQ(byte(o.bench, 0xFB7F), 0xC0) << "only bit 4 changes";
    EXPECT_FALSE(o.view.enabled(iris::kFNumber));
    EXPECT_TRUE(o.view.enabled(iris::kAverage));
    EXPECT_EQ(o.view.text(iris::kAverage), "12");
    EXPECT_EQ(o.view.text(iris::kPeak), "34");

    // What the camera changed meanwhile shows after either choice.
    for (const int choice : {1, 0}) {
      const std::uint32_t now = choice == 1 ? 0x56 : 0x78;
      ASSERT_TRUE(o.bench.access.write(camera::registerSetting(0xFD9E, 8), now));
      o.logic->intent(Intent::choose(iris::kMode, choice));
      EXPECT_EQ(o.view.text(iris::kAverage), choice == 1 ? "56" : "78") << choice;
    }
  }
}

TEST(ExposureControl, AnFNumberWritesTheDirectionFirstAndEqualCountsAsUpward) {
  struct Case {
    std::string_view position;  // 0xFB32 before
    int button;
    std::uint8_t direction;  // 0xFB7E after, from 0x81
  };
  const Case cases[] = {
      {"01 80", 2, 0x83},  // F2.8 at 0x0180
      {"01 80", 1, 0x81},  // F2.0: downward
      {"01 7F", 2, 0x83},
      {"06 40", 9, 0x83},  // F32.0 at the end of the travel
  };
  for (P protocol : {P::Eap, P::Afp}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(name(protocol)) + " from " + std::string(c.position) + " to " + std::to_string(c.button));
      Open o(protocol, "FB7F: 10\nFB7E: 81\nFB32: " + std::string(c.position) + "\n", makeExposurePanel);
      ASSERT_TRUE(o.logic->open());
      const auto mark = o.bench.mark();
      o.logic->intent(Intent::choose(iris::kFNumber, c.button));
      EXPECT_EQ(o.accesses(mark), (Accesses{"RFB32", "RFB7E", "WFB7E", "WFB32"}));
      EXPECT_EQ(byte(o.bench, 0xFB7E), c.direction);
      EXPECT_EQ(o.view.value(iris::kFNumber), c.button);
    }
  }
}

TEST(ExposureControl, TheAverageOffsetMovesFromModelCode0CF0UnlessTheSelectorReadsOne) {
  struct Case {
    std::uint16_t modelCode;
    std::string_view selector;
    std::uint16_t average;
  };
  const Case cases[] = {{0x0CE1, "00", 0xFD9E}, {0x0CF0, "00", 0xFDAE}, {0x0CF0, "01", 0xFD9E}, {0x14F0, "02", 0xFDAE}};
  for (P protocol : {P::Eap, P::Afp}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(name(protocol)) + " " + std::to_string(c.modelCode) + " " + std::string(c.selector));
      Open o(protocol, "FB7F: 00\nFD9E: 11\nFDAE: 22\nFF60: " + std::string(c.selector) + "\n", makeExposurePanel, {},
             c.modelCode);
      ASSERT_TRUE(o.logic->open());
      EXPECT_EQ(o.view.text(iris::kAverage), c.average == 0xFD9E ? "11" : "22");
      o.logic->intent(Intent::enter(iris::kAverage, "5a"));
      EXPECT_EQ(byte(o.bench, c.average), 0x5A);
      EXPECT_EQ(byte(o.bench, c.average == 0xFD9E ? 0xFDAE : 0xFD9E), c.average == 0xFD9E ? 0x22 : 0x11);
    }
  }
}

TEST(ShutterSpeed, EachStandardDisablesTheOtherStandardsSpeedsAndWritesItsOwnFraction) {
  struct Case {
    std::string_view standard;  // 0xFF08
    std::vector<std::size_t> disabled;
    std::uint8_t fraction;  // "1/250"
  };
  const Case cases[] = {{"20", {0, 2, 4}, 0xA3}, {"DF", {1, 3, 5}, 0x33}};
  for (P protocol : {P::Eap, P::Afp}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(name(protocol)) + " 0xFF08 = " + std::string(c.standard));
      Open o(protocol, "FB7F: 40\nFCA8: 00 57\nFF08: " + std::string(c.standard) + "\n", makeShutterPanel);
      ASSERT_TRUE(o.logic->open());
      EXPECT_EQ(o.bench.monitor.pc().find("FF08"), std::string::npos) << "the standard is read quietly";
      EXPECT_EQ(o.view.value(shutter::kSpeed), 5) << "87 lines: 1/180";
      for (std::size_t i = 0; i < 13; ++i)
        EXPECT_EQ(o.view.itemEnabled(shutter::kSpeed, i),
                  std::find(c.disabled.begin(), c.disabled.end(), i) == c.disabled.end())
            << i;

      auto mark = o.bench.mark();
      o.logic->intent(Intent::choose(shutter::kSpeed, static_cast<int>(c.disabled[1])));
      EXPECT_TRUE(o.bench.heardSince(mark).empty()) << "a disabled speed";
      o.logic->intent(Intent::choose(shutter::kSpeed, 6));
      EXPECT_EQ(o.accesses(mark), (Accesses{"WFCA8", "WFCAA"}));
      EXPECT_EQ(word(o.bench, 0xFCA8), 62);
      EXPECT_EQ(byte(o.bench, 0xFCAA), c.fraction);
      EXPECT_EQ(o.view.value(shutter::kSpeed), 6);
      mark = o.bench.mark();
      o.logic->intent(Intent::choose(shutter::kSpeed, 6));
      EXPECT_EQ(o.accesses(mark), (Accesses{"WFCA8", "WFCAA"})) << "the speed shown, pressed again";
    }
  }
}

TEST(ShutterSpeed, AutoDisablesTheSpeedsAndManualSelectsTheCamerasOrNone) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Open o(protocol, "FB7F: 90\nFCA8: 00 C8\n", makeShutterPanel);
    ASSERT_TRUE(o.logic->open());
    EXPECT_EQ(o.accesses(), (Accesses{"RFB7F", "RFF08"})) << "AUTO does not read the speed";
    EXPECT_FALSE(o.view.enabled(shutter::kSpeed));

    o.logic->intent(Intent::choose(shutter::kMode, 1));
    EXPECT_EQ(byte(o.bench, 0xFB7F), 0xD0);
    EXPECT_TRUE(o.view.enabled(shutter::kSpeed));
    EXPECT_EQ(o.view.value(shutter::kSpeed), -1) << "200 lines is no button's";

    ASSERT_TRUE(o.bench.access.write(camera::registerSetting(0xFCA8, 16), 130));
    o.logic->intent(Intent::choose(shutter::kMode, 0));
    EXPECT_FALSE(o.view.enabled(shutter::kSpeed));
    o.logic->intent(Intent::choose(shutter::kMode, 1));
    EXPECT_EQ(o.view.value(shutter::kSpeed), 3) << "130 lines: 1/120";
  }
}

TEST(Agc, GainsAreWholeDecibelsFromZeroToTheirTopAndAnythingElseBeepsAndSendsNothing) {
  struct Case {
    ControlId entry;
    std::string_view typed;
    int written;  // -1: refused
  };
  const Case cases[] = {
      {agc::kMaximumGain, "40", 0x0500}, {agc::kMaximumGain, "0", 0x0000}, {agc::kMaximumGain, "41", -1},
      {agc::kMaximumGain, "-1", -1},      {agc::kMaximumGain, "", -1},       {agc::kMaximumGain, "x", -1},
      {agc::kMaximumGain, "1.5", -1},     {agc::kFixedLevel, "30", 0x03C0}, {agc::kFixedLevel, "31", -1},
      {agc::kChroma, "FFFF", 0xFFFF},    {agc::kChroma, "10000", -1},       {agc::kChroma, "-1", -1},
  };
  for (P protocol : {P::Eap, P::Afp}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(name(protocol)) + " " + std::to_string(c.entry) + " \"" + std::string(c.typed) + "\"");
      // The fixed level is the one enabled with AGC off.
      const bool off = c.entry == agc::kFixedLevel;
      Open o(protocol, off ? "FB7F: 80\nFB38: 01 5F\n" : "FB7F: 00\nFD46: 01 5F\nFD1A: 12 34\n", makeAgcPanel);
      ASSERT_TRUE(o.logic->open());
      EXPECT_EQ(o.view.text(c.entry), c.entry == agc::kChroma ? "1234" : "10") << "351/32 dB, truncated";
      const auto mark = o.bench.mark();
      o.logic->intent(Intent::enter(c.entry, std::string(c.typed)));
      if (c.written < 0) {
        EXPECT_EQ(o.view.beeps(), 1);
        EXPECT_TRUE(o.bench.heardSince(mark).empty());
      } else {
        const std::uint16_t reg = c.entry == agc::kMaximumGain ? 0xFD46 : c.entry == agc::kFixedLevel ? 0xFB38 : 0xFD1A;
        EXPECT_EQ(word(o.bench, reg), c.written);
        EXPECT_EQ(o.view.beeps(), 0);
      }
    }
  }
}

TEST(Agc, OnAndOffSwitchTheEntriesAndReadWhatTheyEnable) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Open o(protocol, "FB7F: D0\nFB38: 00 40\nFD46: 02 00\nFD1A: 00 0F\n", makeAgcPanel);
    ASSERT_TRUE(o.logic->open());
    EXPECT_EQ(o.accesses(), (Accesses{"RFB7F", "RFB38", "RFD1A"}));
    EXPECT_EQ(o.view.value(agc::kMode), 1);
    EXPECT_EQ(o.view.text(agc::kFixedLevel), "2");
    EXPECT_EQ(o.view.text(agc::kChroma), "000F");
    const auto enabled = [&o] {
      return std::vector<bool>{o.view.enabled(agc::kMaximumGain), o.view.enabled(agc::kFixedLevel),
                               o.view.enabled(agc::kChroma)};
    };
    EXPECT_EQ(enabled(), (std::vector<bool>{false, true, false})) << "OFF disables the chroma, on open as well";

    auto mark = o.bench.mark();
    o.logic->intent(Intent::choose(agc::kMode, 0));
    EXPECT_EQ(o.accesses(mark), (Accesses{"RFB7F", "WFB7F", "RFD46", "RFD1A"}));
    EXPECT_EQ(byte(o.bench, 0xFB7F), 0x50);
    EXPECT_EQ(o.view.text(agc::kMaximumGain), "16");
    EXPECT_EQ(enabled(), (std::vector<bool>{true, false, true}));

    mark = o.bench.mark();
    o.logic->intent(Intent::choose(agc::kMode, 1));
    EXPECT_EQ(o.accesses(mark), (Accesses{"RFB7F", "WFB7F", "RFB38"}));
    EXPECT_EQ(enabled(), (std::vector<bool>{false, true, false}));
  }
}

// The n-th frame the camera hears goes unanswered: the one of the write each case fails.
TEST(ExposurePanels, AFailedWriteLeavesTheButtonsAsTheyWereAndStopsWhatFollows) {
  struct Case {
    std::string_view what;
    Make make;
    std::string_view registers;
    std::string_view drop;
    Intent intent;
    ControlId control;
    int shown;
    Accesses before;  // what the choice sent before the write that failed, the last it sends
  };
  const Case cases[] = {
      // Open: FB7F, FD46, FD1A; the choice reads FB7F, and its write is the fifth frame.
      {"AGC OFF", makeAgcPanel, "FB7F: 00\n", "drop:5", Intent::choose(agc::kMode, 1), agc::kMode, 0, {"RFB7F"}},
      // Open: FB7F; the direction's write is the fourth frame, and the position is not written.
      {"F2.8, the direction", makeExposurePanel, "FB7F: 10\n", "drop:4", Intent::choose(iris::kFNumber, 2),
       iris::kFNumber, -1, {"RFB32", "RFB7E"}},
      {"F2.8, the position", makeExposurePanel, "FB7F: 10\n", "drop:5", Intent::choose(iris::kFNumber, 2),
       iris::kFNumber, -1, {"RFB32", "RFB7E", "WFB7E"}},
      // Open: FB7F, FF08, FCA8 (1/180); the fraction's write is the fifth frame.
      {"1/250, the fraction", makeShutterPanel, "FB7F: 40\nFCA8: 00 57\n", "drop:5",
       Intent::choose(shutter::kSpeed, 6), shutter::kSpeed, 5, {"WFCA8"}},
  };
  for (P protocol : {P::Eap, P::Afp}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(name(protocol)) + " " + std::string(c.what));
      Open o(protocol, c.registers, c.make, testing::faults({c.drop}));
      ASSERT_TRUE(o.logic->open());
      const auto mark = o.bench.mark();
      o.logic->intent(c.intent);
      EXPECT_TRUE(o.logic->isOpen());
      const Accesses heard = o.accesses(mark);
      ASSERT_EQ(heard.size(), c.before.size() + 1);
      EXPECT_EQ(Accesses(heard.begin(), heard.end() - 1), c.before);
      EXPECT_EQ(o.view.value(c.control).value_or(-1), c.shown);
    }
  }
}

}  // namespace
}  // namespace orva::panels::exposure
