// EIS setup against the virtual camera: which cameras it accepts, how a link failure differs
// from a refused camera, the tuning values' limits, the headings of the on/off button, and
// "DEFAULT", which shows only what the camera took.
#include "panels/eis/eis_panel.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panels/eis/eis_texts.hpp"
#include "panels/fake_panel_view.hpp"
#include "panels/panel_bench.hpp"

namespace orva::panels::eis {
namespace {

using testing::name;
using testing::word;
using P = link::Protocol;
namespace T = texts;

// An accepted camera (family 53FF, type 57) with the rest of the profile after it.
constexpr std::string_view kAccepted = "0102: 53 FF\n0104: 00 39\n";

struct Eis : testing::PanelOnBench {
  Eis(P protocol, std::string_view registers, int eisLevel = 3, std::vector<sim::Fault> faults = {})
      : PanelOnBench(protocol, std::string(kAccepted) + std::string(registers), std::move(faults)) {
    bench.model.eisLevel = eisLevel;
    bench.monitor.clear();
    logic = makePanel(bench.context, view);
  }
};

TEST(EisPanel, OnlyTheStabilisersCamerasAreAcceptedAndALinkFailureIsNoRefusal) {
  struct Case {
    std::string_view what;
    std::string_view profile;  // overrides the accepted camera's registers
    std::vector<sim::Fault> faults;
    bool opens;
    bool refused;
  };
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    const Case cases[] = {
        {"type 57", "", {}, true, false},
        {"type 44", "0104: 00 2C\n", {}, false, true},
        {"another family", "0102: 53 02\n", {}, false, true},
        {"the type code unread", "", testing::faults({"drop:2"}), false, false},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      Eis e(protocol, c.profile, 2, c.faults);
      EXPECT_EQ(e.logic->open(), c.opens);
      const auto& asked = e.bench.prompt.asked();
      ASSERT_EQ(asked.size(), c.refused ? 1u : 0u);
      if (c.refused) {
        EXPECT_EQ(asked[0].text, T::kNotAvailable);
        EXPECT_EQ(asked[0].title, "Attention");
        EXPECT_EQ(asked[0].icon, core::Icon::Exclamation);
      }
      const std::string& pc = e.bench.monitor.pc();
      EXPECT_EQ(pc.find("0102"), std::string::npos) << "the identification registers are read quietly";
      EXPECT_EQ(pc.find("<< EIS setup START >>") != std::string::npos, c.opens);
      if (c.opens) {
        EXPECT_EQ(e.targets(e.from), (std::vector<std::string>{"0102", "0104", protocol == P::Eap ? "FCCE" : "8304",
                                                               protocol == P::Eap ? "FCCC" : "8301"}))
            << "level 2: no tuning value is read";
      }
    }
  }
}

TEST(EisPanel, OpeningShowsTheSwitchesAndHidesTheTuningBelowLevelThree) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    // Bit 0 set in both registers: the first frequency button, EIS on (the functions say 2).
    Eis two(protocol, protocol == P::Eap ? "FCCC: 03\nFCCE: 05\n" : "FCCC: 01\nFCCE: 01\n", 2);
    two.bench.model.optionWord = 0x0040;
    ASSERT_TRUE(two.logic->open());
    EXPECT_EQ(two.view.value(kFrequency), 0);
    EXPECT_EQ(two.view.itemCaption(kFrequency, 0), T::kModeOne);
    EXPECT_EQ(two.view.itemCaption(kFrequency, 1), T::kModeZero);
    EXPECT_EQ(two.view.value(kEis), 1);
    EXPECT_EQ(two.view.caption(kEis), T::kEisOn);
    for (ControlId id : {kDriveRange, kPanTiltJudge, kCoreVibration, kCoreCenter, kCoreBias, kDefault})
      EXPECT_FALSE(two.view.shown(id)) << id;

    Eis three(protocol, "FCD0: 01 20\nFCD6: 07 C0\n", 3);
    ASSERT_TRUE(three.logic->open());
    EXPECT_EQ(three.view.value(kFrequency), 1);
    EXPECT_EQ(three.view.itemCaption(kFrequency, 0), std::nullopt) << "without option bit 6 the captions stay";
    EXPECT_EQ(three.view.value(kEis), 0);
    EXPECT_EQ(three.view.text(kDriveRange), "0120");
    EXPECT_EQ(three.view.text(kCoreCenter), "07C0");
    const auto read = three.targets(three.from);
    EXPECT_EQ(std::vector<std::string>(read.end() - 5, read.end()),
              (std::vector<std::string>{"FCD0", "FCD2", "FCD4", "FCD6", "FCD8"}));
  }
}

TEST(EisPanel, TuningValuesStepWithinTheirRangeAndAnUnchangedValueWritesNothing) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Eis e(protocol, "FCD6: 07 C0\nFCD2: 07 E0\n");
    ASSERT_TRUE(e.logic->open());
    auto& b = e.bench;
    e.logic->intent(Intent::step(kCoreCenter, 1));
    EXPECT_EQ(word(b, 0xFCD6), 0x0800);
    EXPECT_EQ(e.view.text(kCoreCenter), "0800");
    auto mark = b.mark();
    e.logic->intent(Intent::step(kCoreCenter, 1));
    e.logic->intent(Intent::step(kCoreBias, -1));
    EXPECT_TRUE(b.heardSince(mark).empty()) << "at the maximum, and at 0";
    e.logic->intent(Intent::step(kPanTiltJudge, 3));
    EXPECT_EQ(word(b, 0xFCD2), 2032) << "clamped to the maximum";
    e.logic->intent(Intent::step(kDriveRange, 2));
    EXPECT_EQ(word(b, 0xFCD0), 32) << "two steps of 16";
    EXPECT_EQ(e.view.text(kDriveRange), "0020");
  }
}

TEST(EisPanel, TheOnOffButtonWritesItsHeadingFirstAndClosingWritesTheEnd) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Eis e(protocol, "", 2);
    ASSERT_TRUE(e.logic->open());
    auto& b = e.bench;
    b.monitor.clear();
    e.logic->intent(Intent::toggle(kEis));
    EXPECT_EQ(testing::byte(b, 0xFCCC), 1);
    EXPECT_EQ(e.view.caption(kEis), T::kEisOn);
    e.logic->intent(Intent::toggle(kEis));
    EXPECT_EQ(testing::byte(b, 0xFCCC), 0);
    e.logic->intent(Intent::choose(kFrequency, 0));
    EXPECT_EQ(testing::byte(b, 0xFCCE), 1);
    e.logic->intent(Intent::click(kClose));
    const std::string& pc = b.monitor.pc();
    const auto on = pc.find("\r\n\r\n<< EIS ON  >>");
    const auto off = pc.find("\r\n\r\n<< EIS OFF >>");
    ASSERT_NE(on, std::string::npos);
    ASSERT_NE(off, std::string::npos);
    if (protocol == P::Eap) {
      EXPECT_LT(on, pc.find(":WFCCC01")) << "the heading comes before the write";
    }
    EXPECT_NE(pc.find("\r\n\r\n<< EIS setup END >>", off), std::string::npos);
    EXPECT_EQ(e.view.closed(), CloseReason::Closed);
  }
}

TEST(EisPanel, DefaultWritesTheCamerasOwnDefaultsAndCancelLeavesThePanelAsItWas) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    // Defaults 0x10, 0x7F, 0xFF (beyond its range), 0x05, 0x80.
    Eis e(protocol, "1260: 10\n1244: 7F\n1250: FF\n1254: 05\n1284: 80\nFCD0: 00 30\n");
    ASSERT_TRUE(e.logic->open());
    auto& b = e.bench;
    b.prompt.answer(core::Answer::Cancel).answer(core::Answer::Ok);
    auto mark = b.mark();
    e.logic->intent(Intent::click(kDefault));
    EXPECT_TRUE(b.heardSince(mark).empty());
    EXPECT_TRUE(e.logic->isOpen()) << "Cancel keeps the panel";
    EXPECT_EQ(e.view.text(kDriveRange), "0030");

    b.monitor.clear();
    mark = b.mark();
    e.logic->intent(Intent::click(kDefault));
    ASSERT_EQ(b.prompt.asked().size(), 2u);
    EXPECT_EQ(b.prompt.asked()[1].text, T::kLoadDefaults);
    EXPECT_EQ(b.prompt.asked()[1].buttons, core::Buttons::OkCancel);
    EXPECT_EQ(e.targets(mark), (std::vector<std::string>{"1260", "1244", "1250", "1254", "1284", "FCD0", "FCD2",
                                                         "FCD4", "FCD6", "FCD8"}));
    EXPECT_EQ(b.monitor.pc().find("1260"), std::string::npos) << "the EEPROM is read quietly";
    const std::pair<ControlId, std::uint16_t> expected[] = {
        {kDriveRange, 0x100}, {kPanTiltJudge, 0x7F0}, {kCoreVibration, 1008}, {kCoreCenter, 0x140}, {kCoreBias, 0x80}};
    for (const auto& [id, value] : expected) EXPECT_EQ(e.view.text(id), formatValue(Format::Hex4, value)) << id;
    EXPECT_EQ(word(b, 0xFCD4), 1008);
    EXPECT_EQ(word(b, 0xFCD8), 0x80);
    EXPECT_TRUE(e.logic->isOpen());
  }
}

}  // namespace
}  // namespace orva::panels::eis
