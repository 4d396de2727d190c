// IRcf CONTROL and PL Filter against the virtual camera: the AE mode conversions of AUTO and
// MANUAL, the threshold offset's sign and magnitude, the filter move with its poll, wait and
// release on the operation slot, the IR light coding, the restricted model, change requests
// that reach the live panel only, the menus and identification on every way out, and the PL
// filter's status, heading, busy slot and AFP. Plain round trips are the generic panel test's.
#include "panels/ircf/ircf_panels.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "panels/fake_panel_view.hpp"
#include "panels/ircf/ircf_settings.hpp"
#include "panels/ircf/ircf_texts.hpp"
#include "panels/panel_bench.hpp"

namespace orva::panels::ircf {
namespace {

using testing::byte;
using P = link::Protocol;
using namespace std::chrono_literals;

// A model with every group of the panel: the light by the function word, the threshold offset
// and the IR Detection Interrupt.
void everyGroup(camera::ModelRecord& m) {
  m.modelCode = 0x10F0;
  m.functionWord = 1u << 2;
  m.lensControlWord = 1u << 10;
  m.extraOptionWord = 1u << 8;
}

struct Ircf : testing::PanelOnBench {
  Ircf(P protocol, std::string_view registers, std::vector<sim::Fault> faults = {},
       void (*give)(camera::ModelRecord&) = everyGroup)
      : PanelOnBench(protocol, registers, std::move(faults)) {
    give(bench.model);
    logic = makeIrcfPanel(bench.context, view);
  }
  bool open() {
    const bool opened = logic->open();
    bench.settle();
    return opened;
  }
  // The frames heard since `since`, as "W FFE6 80" / "R FFE7" in EAP and the frame in AFP.
  std::vector<std::string> heard(std::uint64_t since) const {
    std::vector<std::string> out;
    for (const std::string& f : bench.heardSince(since)) {
      if (f[0] != ':') out.push_back(f);
      else if (f[1] == 'W') out.push_back("W " + f.substr(2, 4) + " " + f.substr(6, 2));
      else out.push_back("R " + f.substr(2, 4));
    }
    return out;
  }
  // An indication, and a command after it: its reply comes after the indication, which has
  // been posted by then.
  void indicate(std::uint8_t value) {
    bench.camera.raiseIndication(1, value);
    std::uint32_t mode = 0;
    EXPECT_TRUE(bench.access.read(kModeSetting, mode));
    bench.dispatcher.runPending();
  }
  std::uint32_t mode() {
    std::uint32_t v = 0;
    EXPECT_TRUE(bench.access.read(kModeSetting, v));
    return v;
  }
};

int button(AeButton b) { return static_cast<int>(b); }

TEST(IrcfPanel, AutoAndManualRewriteTheAeModeAndSelectItsButton) {
  struct Case {
    P protocol;
    std::string_view registers;  // the AE mode in the register form
    int choice;
    std::uint32_t written;  // in the protocol's form
    AeButton shows;
  };
  const Case cases[] = {
      {P::Eap, "FCC8: 07\n", kAuto, 0x20, AeButton::ProgramAe},
      {P::Eap, "FCC8: 01\n", kAuto, 0x21, AeButton::ProgramAePlus},
      {P::Eap, "FCC8: 31\n", kManual, 0x01, AeButton::ProgramAePlus},
      {P::Afp, "FCC8: 01\n", kAuto, 6, AeButton::ProgramAePlus},   // AFP 4
      {P::Afp, "FCC8: 21\n", kManual, 4, AeButton::ProgramAePlus},  // AFP 6
      {P::Afp, "FCC8: 07\n", kAuto, 3, AeButton::ProgramAe},       // AFP 8
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << testing::name(c.protocol) << " " << c.registers << c.choice);
    Ircf p(c.protocol, std::string(c.registers) + "FFE7: 01\n");
    ASSERT_TRUE(p.open());
    EXPECT_EQ(p.logic->selected(kFilterMode), c.choice == kAuto ? kManual : kAuto);
    p.act(Intent::choose(kFilterMode, c.choice));
    EXPECT_EQ(p.mode(), c.written);
    EXPECT_EQ(p.logic->selected(kFilterMode), c.choice);
    EXPECT_EQ(p.logic->selected(kAeMode), button(c.shows));
    const bool manual = c.choice == kManual;
    EXPECT_EQ(p.view.enabled(kManualControl), manual);
    EXPECT_EQ(p.view.enabled(kLight), manual);
    EXPECT_EQ(p.view.enabled(kThreshold), !manual);
    EXPECT_EQ(p.view.enabled(kNotify), !manual && c.protocol == P::Afp) << "notifications are AFP's";
    EXPECT_EQ(p.view.itemEnabled(kAeMode, 2), manual) << "the priority modes are manual control's";
    if (manual) {
      std::uint32_t position = 0;
      ASSERT_TRUE(p.bench.access.read(kPositionSetting, position));
      EXPECT_EQ(p.logic->selected(kManualControl), position == 1 ? kMoveIn : kMoveOut) << "the filter position, read";
    }
  }
}

TEST(IrcfPanel, TheThresholdOffsetStepsInSignAndMagnitudeAndWritesAgainAtItsCaps) {
  struct Case {
    std::uint8_t before;
    int steps;  // up: toward +24
    std::uint8_t after;
    std::string_view shown;
  };
  const Case cases[] = {
      {0x18, 1, 0x18, "18"}, {0x98, -1, 0x98, "98"}, {0x00, -1, 0x80, "80"},
      {0x80, 1, 0x00, "00"}, {0x85, 2, 0x83, "83"},  {0x05, -1, 0x04, "04"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.before));
    Ircf p(P::Eap, "FCC8: 20\nFFEA: " + formatValue(Format::Hex2, c.before) + "\n");
    ASSERT_TRUE(p.open());
    const auto mark = p.bench.mark();
    for (int i = 0; i < std::abs(c.steps); ++i) p.act(Intent::step(kThreshold, c.steps > 0 ? 1 : -1));
    EXPECT_EQ(byte(p.bench, 0xFFEA), c.after);
    EXPECT_EQ(p.view.text(kThreshold), c.shown);
    const auto frames = p.heard(mark);
    EXPECT_EQ(static_cast<int>(std::count(frames.begin(), frames.end(), "R FFEA")), std::abs(c.steps))
        << "each step reads the camera first";
    EXPECT_EQ(frames.back(), "W FFEA " + std::string(c.shown));
  }
}

TEST(IrcfPanel, AMoveWaitsOnTheSlotForAnyPositionButInThenSettlesAndReleases) {
  struct Case {
    std::string_view what;
    int choice;
    std::string_view start;
    std::uint8_t reported;  // what the camera shows at once (else it reports after its delay)
    std::string_view command;
    core::Clock::duration settle;
    int reads;
    std::string_view fault;
  };
  const Case cases[] = {
      {"out, reported as 2", kMoveOut, "FFE7: 01\n", 2, "80", 600ms, 1, ""},
      {"in", kMoveIn, "FFE7: 00\n", 1, "C0", 700ms, 1, ""},
      {"out, never reported", kMoveOut, "FFE7: 01\n", 0, "80", 600ms, kMostPositionReads, "ircf-stuck"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Ircf p(P::Eap, std::string("FCC8: 00\n") + std::string(c.start),
           c.fault.empty() ? std::vector<sim::Fault>{} : testing::faults({c.fault}));
    std::map<std::uint8_t, core::Clock::time_point> commands;
    p.bench.camera.onWrite(0xFFE6, [&commands, c](sim::VirtualCamera& camera, const sim::MemoryWrite& w) {
      commands[w.value] = camera.now();
      if (w.value != 0 && c.reported != 0) camera.memory().write(0xFFE7, c.reported);
    });
    ASSERT_TRUE(p.open());
    const auto shownBefore = p.bench.monitor.pc().size();
    const auto mark = p.bench.mark();
    p.act(Intent::choose(kManualControl, c.choice));
    const auto frames = p.heard(mark);
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(c.reads) + 2);
    EXPECT_EQ(frames.front(), "W FFE6 " + std::string(c.command));
    EXPECT_EQ(std::count(frames.begin(), frames.end(), "R FFE7"), c.reads);
    EXPECT_EQ(frames.back(), "W FFE6 00") << "released after the wait";
    const auto waited = commands.at(0) - commands.at(static_cast<std::uint8_t>(std::stoi(std::string(c.command), nullptr, 16)));
    EXPECT_GE(waited, c.settle);
    EXPECT_LT(waited, c.settle + 100ms + c.reads * 30ms);
    EXPECT_EQ(p.bench.monitor.pc().substr(shownBefore).find("FFE7"), std::string::npos) << "the poll is not shown";
    EXPECT_EQ(p.logic->selected(kManualControl), c.choice);
  }
}

TEST(IrcfPanel, TheLightReadsEveryCodingAndWritesTheLensControlBit) {
  const auto lensLight = [](camera::ModelRecord& m) {
    everyGroup(m);
    m.lensControlWord |= 1u << 1;
  };
  for (const auto& [held, item] : std::vector<std::pair<std::string, int>>{
           {"E0", 0}, {"20", 0}, {"00", 0}, {"02", 1}, {"E1", 1}, {"C2", 2}, {"03", 2}, {"7F", 0}}) {
    Ircf p(P::Eap, "FCC8: 00\nF8A4: " + held + "\n", {}, lensLight);
    ASSERT_TRUE(p.open());
    EXPECT_EQ(p.logic->selected(kLight), item) << held;
  }
  Ircf p(P::Eap, "FCC8: 00\nF8A4: C1\n", {}, lensLight);
  ASSERT_TRUE(p.open());
  auto mark = p.bench.mark();
  p.act(Intent::choose(kLight, 0));
  EXPECT_EQ(p.heard(mark), (std::vector<std::string>{"R F8A4", "W F8A4 20"})) << "normal light with the lens bit";
  mark = p.bench.mark();
  p.act(Intent::choose(kLight, 2));
  EXPECT_EQ(p.heard(mark), (std::vector<std::string>{"R F8A4", "W F8A4 E2"}));

  // AFP sends the IR lights again when chosen again, normal light not.
  Ircf a(P::Afp, "FCC8: 00\n");
  ASSERT_TRUE(a.open());
  for (int item : {1, 1, 0, 0}) a.act(Intent::choose(kLight, item));
  std::vector<std::string> sets;
  for (const auto& f : a.bench.heardSince(0))
    if (f.rfind("S2205", 0) == 0) sets.push_back(f);
  EXPECT_EQ(sets, (std::vector<std::string>{"S220502T", "S220502T", "S220501T"}));
}

TEST(IrcfPanel, TheRestrictedModelKeepsItsFilterInAndOffersOnlyWhatItCan) {
  const auto restrictedModel = [](camera::ModelRecord& m) {
    everyGroup(m);
    m.modelCode = 0x0FF0;
    m.cameraVersion = 0xB102;
    m.featureWord = 1u << 14;
  };
  Ircf p(P::Eap, "FCC8: 0A\nFFE7: 00\n", {}, restrictedModel);
  ASSERT_TRUE(p.open());
  EXPECT_EQ(p.logic->selected(kManualControl), kMoveIn) << "whatever the camera said";
  EXPECT_FALSE(p.view.enabled(kFilterMode));
  EXPECT_FALSE(p.view.enabled(kLight));
  for (int b = 0; b < 4; ++b) EXPECT_FALSE(p.view.itemEnabled(kAeMode, static_cast<std::size_t>(b))) << b;
  EXPECT_TRUE(p.view.itemEnabled(kAeMode, static_cast<std::size_t>(button(AeButton::FullManual))));
  EXPECT_FALSE(p.view.itemEnabled(kAeMode, static_cast<std::size_t>(button(AeButton::Agc)))) << "panel word 1 bit 3";

  // Moving in stops the poll after its first read.
  const auto mark = p.bench.mark();
  p.act(Intent::choose(kManualControl, kMoveOut));
  p.act(Intent::choose(kManualControl, kMoveIn));
  const auto frames = p.heard(mark);
  const auto in = std::find(frames.begin(), frames.end(), "W FFE6 C0");
  ASSERT_NE(in, frames.end());
  EXPECT_EQ(std::vector<std::string>(in, frames.end()), (std::vector<std::string>{"W FFE6 C0", "R FFE7", "W FFE6 00"}));
}

TEST(IrcfPanel, AChangeRequestReachesTheLivePanelOnlyAndIsSentOnce) {
  Ircf p(P::Afp, "FCC8: 20\n");
  ASSERT_TRUE(p.open());
  EXPECT_EQ(p.view.caption(kChangeRequest), texts::kNoRequest);
  EXPECT_FALSE(p.view.enabled(kChangeRequest));
  p.indicate(2);
  EXPECT_EQ(p.view.caption(kChangeRequest), texts::kMoveOut);
  EXPECT_TRUE(p.view.enabled(kChangeRequest));
  auto mark = p.bench.mark();
  p.act(Intent::click(kChangeRequest));
  p.act(Intent::click(kChangeRequest));
  EXPECT_EQ(p.heard(mark), std::vector<std::string>{"S220202T"}) << "the request held, once";
  EXPECT_EQ(p.view.caption(kChangeRequest), texts::kNoRequest);

  // Notifications: the heading, then the function; the operator's close switches them off.
  p.bench.monitor.clear();
  mark = p.bench.mark();
  p.act(Intent::choose(kNotify, kNotNotify));
  p.act(Intent::choose(kNotify, kDoNotify));
  p.indicate(1);
  EXPECT_EQ(p.view.caption(kChangeRequest), texts::kMoveIn);
  p.act(Intent::click(kClose));
  EXPECT_NE(p.bench.monitor.pc().find("\r\n\r\n<< IR Direction : Notify >>"), std::string::npos);
  EXPECT_NE(p.bench.monitor.pc().find("\r\n\r\n<< IR Direction : not Notify >>"), std::string::npos);
  const auto frames = p.heard(mark);
  EXPECT_EQ(std::count(frames.begin(), frames.end(), "S220702T"), 1);
  EXPECT_EQ(frames.back(), "S220701T");

  // Closed: an indication changes nothing.
  p.view.clearCalls();
  p.indicate(2);
  EXPECT_TRUE(p.view.calls().empty());

  // Posted, and the panel gone before the window thread gets to it.
  Ircf gone(P::Afp, "FCC8: 20\n");
  ASSERT_TRUE(gone.open());
  gone.bench.camera.raiseIndication(1, 1);
  std::uint32_t v = 0;
  ASSERT_TRUE(gone.bench.access.read(kModeSetting, v));
  gone.logic.reset();
  gone.bench.dispatcher.runPending();
}

TEST(IrcfPanel, EveryCloseAfterTheOpeningLetsTheMenusGoAndIdentifiesOnlyAfterAnOpening) {
  using M = HostMenuItem;
  {
    Ircf p(P::Eap, "FCC8: 00\n");
    p.bench.portOpen = false;
    EXPECT_FALSE(p.open());
    EXPECT_TRUE(p.bench.host.menuItems.empty());
    EXPECT_EQ(p.bench.host.identifications, 0) << "no identification on a closed port";
  }
  {
    Ircf p(P::Eap, "", testing::faults({"silent"}));
    EXPECT_FALSE(p.open());
    EXPECT_TRUE(p.bench.host.menuItems.empty());
    EXPECT_EQ(p.bench.host.identifications, 0) << "the panel never opened";
  }
  {
    Ircf p(P::Eap, "FCC8: 00\n");
    ASSERT_TRUE(p.open());
    EXPECT_EQ(p.bench.host.menuItems, (std::map<M, bool>{{M::SerialPort, false}, {M::CameraSetupUtility, false}}));
    p.act(Intent::click(kClose));
    EXPECT_EQ(p.bench.host.menuItems, (std::map<M, bool>{{M::SerialPort, true}, {M::CameraSetupUtility, true}}));
    EXPECT_EQ(p.bench.host.identifications, 1);
    EXPECT_EQ(p.logic->result(), 0);
  }
  {
    // MANUAL reads the filter position, which the camera refuses: the panel closes.
    Ircf p(P::Afp, "FCC8: 20\nrefuse 2201 3\n");
    ASSERT_TRUE(p.open());
    EXPECT_FALSE(p.bench.host.menuItems.at(M::SerialPort));
    p.act(Intent::choose(kFilterMode, kManual));
    EXPECT_EQ(p.view.closed(), CloseReason::ReadFailed);
    EXPECT_EQ(p.bench.host.menuItems, (std::map<M, bool>{{M::SerialPort, true}, {M::CameraSetupUtility, true}}));
    EXPECT_EQ(p.bench.host.identifications, 1);
    p.view.clearCalls();
    p.indicate(2);
    EXPECT_TRUE(p.view.calls().empty()) << "an indication after a close by failure";
  }
}

// ---- PL Filter

struct Pl : testing::PanelOnBench {
  Pl(P protocol, std::string_view registers) : PanelOnBench(protocol, registers) {
    logic = makePlFilterPanel(bench.context, view);
  }
};

TEST(PlFilterPanel, ShowsTheKnownValuesOnlyWritesItsHeadingFirstAndClosesWithResultOne) {
  Pl p(P::Eap, "FFEE: 03\nFFEF: 03\n");
  ASSERT_TRUE(p.logic->open());
  EXPECT_EQ(p.logic->selected(kPlControl), -1) << "a control value above 2 selects nothing";
  EXPECT_EQ(p.logic->selected(kPlStatus), -1) << "status 3: an empty field";
  p.bench.camera.memory().write(0xFFEF, 0x01);
  p.logic->intent(Intent::click(kPlGet));
  EXPECT_EQ(p.logic->selected(kPlStatus), 0) << texts::kPlOut;
  p.bench.camera.memory().write(0xFFEF, 0x03);
  p.logic->intent(Intent::click(kPlGet));
  EXPECT_EQ(p.logic->selected(kPlStatus), -1);

  p.bench.monitor.clear();
  p.logic->intent(Intent::choose(kPlControl, 2));
  EXPECT_EQ(byte(p.bench, 0xFFEE), 2);
  EXPECT_EQ(p.bench.monitor.pc().find("\r\n\r\n<< PL Filter Control : Manual(IN) >>"), 0u);
  {
    auto claim = p.bench.runner.claim();
    p.logic->intent(Intent::choose(kPlControl, 0));
  }
  EXPECT_EQ(byte(p.bench, 0xFFEE), 2) << "refused while the slot is taken";
  EXPECT_EQ(p.bench.monitor.pc().find("Auto"), std::string::npos);
  p.logic->intent(Intent::click(kPlClose));
  EXPECT_EQ(p.logic->result(), 1);

  Pl afp(P::Afp, "FFEE: 01\n");
  const auto mark = afp.bench.mark();
  ASSERT_TRUE(afp.logic->open());
  EXPECT_TRUE(afp.bench.heardSince(mark).empty()) << "AFP reads nothing";
  EXPECT_FALSE(afp.view.enabled(kPlControl));
  EXPECT_FALSE(afp.view.enabled(kPlGet));
  afp.logic->close();
  EXPECT_EQ(afp.view.closed(), CloseReason::Closed) << "the window's close command closes it";
}

}  // namespace
}  // namespace orva::panels::ircf
