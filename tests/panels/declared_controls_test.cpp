// What a description declares beyond a binding, run by the framework in both protocols: push-like
// toggles with their captions, logic-owned steppers, headings per control and per item, a
// failed write closing the panel, values outside a list, read-only controls, quiet refusals,
// the closing heading, and opening reads done inside the window's line work.
#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "panel_bench.hpp"
#include "panels/fake_panel_view.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels {
namespace {

using testing::Bench;
using P = link::Protocol;

constexpr ControlId kToggle = 1, kCenter = 2, kBias = 3, kWrapping = 4, kMode = 5, kLevel = 6, kShownOnly = 7,
                    kClose = 8;

constexpr Choice kModes[] = {{"Off", {0, 1}}, {"On", {1, 2}}, {"Whiteout", {0x10, 3}}};
constexpr Choice kOffOn[] = {{"Off", {0, 1}, "Off"}, {"On", {1, 2}, "On"}};

constexpr std::array kControls{
    toggle(kToggle, "EIS", Binding{camera::kEisSetting}, {0, 1}, {1, 2}, "EIS OFF", "EIS ON ")
        .withHeading("", HeadingItem::Caption, HeadingWhen::BeforeWrite),
    stepper(kCenter, "Core Center Level", Binding{camera::registerSetting(0xFCD6, 16)}, Format::Hex4, 0, 2048, 64)
        .closingOnFailure(),
    stepper(kBias, "Core BIAS Level", Binding{camera::registerSetting(0xFCD8, 16)}, Format::Hex4, 0, 128),
    stepper(kWrapping, "Offset", Binding{camera::registerSetting(0xFCDA, 8)}, Format::Decimal, -2, 2).named("Offset"),
    list(kMode, "Mode", Binding{*camera::settingFromCode(0x9901)}, kModes)
        .withHeading("E.I Mode : ", HeadingItem::Caption, HeadingWhen::BeforeWrite),
    entry(kLevel, "[HEX]", Binding{*camera::settingFromCode(0x9902)}, Format::Hex2, 0, 0xFF)
        .withHeading("Enhanced Intensity Effect Level", HeadingItem::None, HeadingWhen::BeforeWrite)
        .refusingQuietly(),
    list(kShownOnly, "Focus mode", Binding{camera::registerSetting(0xFCDC, 8)}, kOffOn).shownOnly().otherwiseItem(0),
    closeButton(kClose, "CLOSE"),
};
constexpr PanelDescription kPanel{.id = PanelId::EnhancedIntensity,
                                  .title = "Declared",
                                  .heading = "",
                                  .controls = kControls,
                                  .closingHeading = "Declared END"};

constexpr std::string_view kRegisters = "FCCC: 00\nFCD6: 07 C0\nFCD8: 00 00\nFCDA: 02\nFF90: 10\nFCDC: 07\n";

struct Open {
  explicit Open(P protocol) : bench(protocol, kRegisters) { logic = std::make_unique<PanelLogic>(kPanel, bench.context, view); }
  Bench bench;
  FakePanelView view;
  std::unique_ptr<PanelLogic> logic;
};

bool hasHeading(const std::string& pc, std::string_view text) {
  return pc.find("\r\n\r\n" + std::string(text)) != std::string::npos;
}

class Declared : public ::testing::TestWithParam<P> {};
INSTANTIATE_TEST_SUITE_P(BothProtocols, Declared, ::testing::Values(P::Eap, P::Afp),
                         [](const auto& p) { return std::string(testing::name(p.param)); });

TEST_P(Declared, TogglesStepsChoicesAndEntriesWriteWhatTheyDeclare) {
  Open o(GetParam());
  ASSERT_TRUE(o.logic->open());
  EXPECT_EQ(o.view.caption(kToggle), "EIS OFF");
  EXPECT_EQ(o.view.text(kCenter), "07C0");
  EXPECT_EQ(o.logic->selected(kMode), 2) << "0x10 / 3 is the third entry";
  EXPECT_EQ(o.logic->selected(kShownOnly), 0) << "a value outside the list selects the declared item";

  o.bench.monitor.clear();
  o.logic->intent(Intent::toggle(kToggle));
  EXPECT_EQ(testing::byte(o.bench, 0xFCCC), 1);
  EXPECT_EQ(o.view.caption(kToggle), "EIS ON ");
  EXPECT_TRUE(hasHeading(o.bench.monitor.pc(), "<< EIS ON  >>")) << o.bench.monitor.pc();

  // Stepping clamps to the range and writes only a change.
  o.logic->intent(Intent::step(kCenter, 1));
  EXPECT_EQ(testing::word(o.bench, 0xFCD6), 0x0800);
  EXPECT_EQ(o.view.text(kCenter), "0800");
  auto mark = o.bench.mark();
  o.logic->intent(Intent::step(kCenter, 1));
  o.logic->intent(Intent::step(kBias, -1));
  EXPECT_TRUE(o.bench.heardSince(mark).empty()) << "at the ends nothing is written";
  o.logic->intent(Intent::step(kCenter, -3));
  EXPECT_EQ(testing::word(o.bench, 0xFCD6), 0x0800 - 3 * 64);
  o.logic->intent(Intent::step(kWrapping, -1));
  EXPECT_EQ(testing::byte(o.bench, 0xFCDA), 1) << "a signed stepper read 2 and went to 1";

  o.bench.monitor.clear();
  o.logic->intent(Intent::choose(kMode, 1));
  EXPECT_EQ(testing::byte(o.bench, 0xFF90), 1);
  EXPECT_TRUE(hasHeading(o.bench.monitor.pc(), "<< E.I Mode : On >>")) << o.bench.monitor.pc();

  // A refused entry writes its heading first and sends nothing, without a beep.
  o.bench.monitor.clear();
  mark = o.bench.mark();
  o.logic->intent(Intent::enter(kLevel, "G1"));
  EXPECT_TRUE(o.bench.heardSince(mark).empty());
  EXPECT_EQ(o.view.beeps(), 0);
  EXPECT_TRUE(hasHeading(o.bench.monitor.pc(), "<< Enhanced Intensity Effect Level >>"));
  o.logic->intent(Intent::enter(kLevel, "3C"));
  EXPECT_EQ(testing::byte(o.bench, 0xFF91), 0x3C);

  mark = o.bench.mark();
  o.logic->intent(Intent::choose(kShownOnly, 1));
  EXPECT_TRUE(o.bench.heardSince(mark).empty()) << "a read-only control takes no intent";

  o.bench.monitor.clear();
  o.logic->intent(Intent::click(kClose));
  EXPECT_TRUE(hasHeading(o.bench.monitor.pc(), "<< Declared END >>"));
  EXPECT_EQ(o.view.closed(), CloseReason::Closed);
}

TEST_P(Declared, AFailedWriteOfAControlThatDeclaresItClosesThePanel) {
  sim::VirtualCamera silent(testing::profile(GetParam(), kRegisters), testing::faults({"silent"}));
  Open o(GetParam());
  ASSERT_TRUE(o.logic->open());
  // The camera stops answering.
  o.bench.link.setChannel(std::make_unique<sim::InProcessChannel>(silent, o.bench.clock, false));
  ASSERT_TRUE(o.bench.link.open());
  o.logic->intent(Intent::step(kBias, 1));
  EXPECT_TRUE(o.logic->isOpen()) << "a failed write of another control leaves the panel open";
  EXPECT_EQ(o.view.text(kBias), "0000");
  o.logic->intent(Intent::step(kCenter, -1));
  EXPECT_FALSE(o.logic->isOpen());
  EXPECT_EQ(o.view.closed(), CloseReason::WriteFailed);
}

// Entries sent by one "Set": what was typed into each is checked first, one refused text
// refuses them all, and the rest are written in order under the button's heading.
TEST(DeclaredGroup, OneSetSendsEveryEntryOfItsGroupOrNone) {
  constexpr ControlId kRed = 1, kBlue = 2, kSet = 3, kOther = 4;
  static constexpr std::array kGroup{
      entry(kRed, "R", Binding{camera::registerSetting(0xFCE0, 8)}, Format::Hex2, 0, 0x3F).inGroup("Color"),
      entry(kBlue, "B", Binding{camera::registerSetting(0xFCE1, 8)}, Format::Hex2, 0, 0x3F).inGroup("Color"),
      groupSetButton(kSet, "Set", "Color").withHeading("Color", HeadingItem::None, HeadingWhen::BeforeWrite),
      entry(kOther, "G", Binding{camera::registerSetting(0xFCE2, 8)}, Format::Hex2, 0, 0x3F),
  };
  static constexpr PanelDescription kGroupPanel{.id = PanelId::Picture, .title = "Group", .controls = kGroup};
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(testing::name(protocol));
    Bench bench(protocol, "FCE0: 01\nFCE1: 02\nFCE2: 03\n");
    FakePanelView view;
    PanelLogic logic(kGroupPanel, bench.context, view);
    ASSERT_TRUE(logic.open());
    logic.intent(Intent::edit(kRed, "10"));
    logic.intent(Intent::edit(kBlue, "40"));
    auto mark = bench.mark();
    logic.intent(Intent::click(kSet));
    EXPECT_TRUE(bench.heardSince(mark).empty()) << "0x40 is out of range: nothing is sent";
    EXPECT_EQ(view.beeps(), 1);
    logic.intent(Intent::edit(kBlue, "2A"));
    bench.monitor.clear();
    logic.intent(Intent::click(kSet));
    EXPECT_EQ(testing::byte(bench, 0xFCE0), 0x10);
    EXPECT_EQ(testing::byte(bench, 0xFCE1), 0x2A);
    EXPECT_EQ(testing::byte(bench, 0xFCE2), 0x03) << "an entry of no group is not sent";
    EXPECT_TRUE(hasHeading(bench.monitor.pc(), "<< Color >>"));
    EXPECT_EQ(view.text(kRed), "10");
  }
}

TEST(DeclaredOpen, ReadsRunInsideTheLineWorkAndReachTheWindowAfterwardsOnItsThread) {
  Open o(P::Eap);
  const auto window = std::this_thread::get_id();
  std::thread::id reader;
  std::size_t callsDuringReads = 0;
  o.bench.context.lineWork = [&](const std::function<void()>& job) {
    const std::size_t before = o.view.calls().size();
    std::thread worker([&] {
      reader = std::this_thread::get_id();
      job();
    });
    worker.join();
    callsDuringReads = o.view.calls().size() - before;
  };
  ASSERT_TRUE(o.logic->open());
  EXPECT_NE(reader, window);
  EXPECT_EQ(callsDuringReads, 0u) << "the window is not touched from the reading thread";
  EXPECT_EQ(o.view.text(kCenter), "07C0") << "what was read is shown once the reads have ended";
}

}  // namespace
}  // namespace orva::panels
