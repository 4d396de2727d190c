// The panel framework against the virtual camera in both protocols: the open order (port
// guard, heading, captions, reads), closing at the first failed read, controlled controls
// with their writes and refusals, and close.
#include "panels/panel_logic.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "panel_bench.hpp"
#include "panels/camera_type_panel.hpp"
#include "panels/fake_panel_view.hpp"

namespace orva::panels {
namespace {

using testing::Bench;
using testing::faults;
using testing::name;
using P = link::Protocol;

constexpr ControlId kInstant = 1, kSpeed = 2, kMagnification = 3, kPosition = 4, kGetPosition = 5, kTele = 6,
                    kClose = 7, kAfpNote = 8, kContinuous = 9;

// Zoom speed: bits 2-3 of 0xFDFC in EAP, 18 and 17 in AFP.
constexpr Choice kSpeeds[] = {{"HIGH SPEED", {0x00, 18}}, {"NOMAL SPEED", {0x08, 17}}};

std::vector<std::string> speedCaptions(const camera::ModelRecord&) {
  return {highSpeedCaption("3.6"), normalSpeedCaption("6.0")};
}
bool afpOnly(const camera::ModelRecord&, link::Protocol p) { return p == P::Afp; }

constexpr ControlDescription kMagnificationEntry =
    entry(kMagnification, "MAX", Binding{*camera::settingFromCode(0x1204)}, Format::Tenths, 10, 20);

template <bool KeepOperator>
constexpr std::array kControls{
    check(kInstant, "DIGI. ZOOM", Binding{*camera::settingFromCode(0x1203), 0x80}, {0x00, 1}, {0x80, 2}),
    radio(kSpeed, "", Binding{camera::kZoomSpeedSetting, 0x0C}, kSpeeds).withItemCaptions(speedCaptions),
    KeepOperator ? kMagnificationEntry.keepingOperatorValue() : kMagnificationEntry,
    readout(kPosition, Binding{camera::kZoomPositionSetting}, Format::Hex4).readOnRequest(),
    readButton(kGetPosition, "Get", kPosition),
    arrow(kTele, ArrowRole::ZoomTele, kZoomTeleDrive),
    closeButton(kClose, "CLOSE"),
    label(kAfpNote, "AFP").shownFor(afpOnly),
    // Continuous digital zoom has no register: offered in AFP only, and read only there.
    check(kContinuous, "DIGI. ZOOM", Binding{camera::Setting{0x1201, 0, 0, 8}}, {0, 1}, {1, 2}).shownFor(afpOnly),
};

constexpr PanelDescription kPanel{
    .id = PanelId::Zoom, .title = "ZOOM CONTROL", .heading = "ZOOM CONTROL", .controls = kControls<false>};
constexpr PanelDescription kPanelKeepingEntries{.id = PanelId::Zoom, .title = "ZOOM CONTROL", .heading = "ZOOM CONTROL",
                                                .controls =
                                                kControls<true>};

// What the camera holds: instant digital zoom on, normal speed, 1.5, position 0x1234; in EAP
// the registers' other bits set as well.
constexpr std::string_view kRegisters = "FF0F: B5\nFDFC: 09\nFDE6: 0F\nF850: 12 34\n";

void seedFunctions(Bench& b) {
  for (auto set : {"120302", "110811", "12040F", "11091234", "120102"}) ASSERT_TRUE(b.afp.set(set, true)) << set;
}

struct Open {
  Open(P protocol, std::vector<sim::Fault> fs = {}, std::string_view extra = "",
       const PanelDescription& description = kPanel)
      : bench(protocol, std::string(kRegisters) + std::string(extra), std::move(fs)) {
    if (protocol == P::Afp) seedFunctions(bench);
    from = bench.mark();
    bench.monitor.clear();
    logic = std::make_unique<PanelLogic>(description, bench.context, view);
  }
  std::vector<std::string> heard() const { return bench.heardSince(from); }

  Bench bench;
  FakePanelView view;
  std::uint64_t from = 0;
  std::unique_ptr<PanelLogic> logic;
};

TEST(PanelOpen, WithThePortClosedSaysSoAndSendsNothing) {
  Open o(P::Eap);
  o.bench.portOpen = false;
  EXPECT_FALSE(o.logic->open());
  ASSERT_EQ(o.bench.prompt.asked().size(), 1u);
  const auto& asked = o.bench.prompt.asked()[0];
  EXPECT_EQ(asked.text, "Set a communication port.");
  EXPECT_EQ(asked.title, "Attention");
  EXPECT_EQ(asked.buttons, core::Buttons::Ok);
  EXPECT_EQ(asked.icon, core::Icon::Exclamation);
  EXPECT_EQ(o.view.closed(), CloseReason::PortClosed);
  EXPECT_TRUE(o.heard().empty());
  EXPECT_EQ(o.bench.monitor.pc(), "") << "no heading either";
  o.logic->intent(Intent::toggle(kInstant));
  o.logic->intent(Intent::press(kTele));
  EXPECT_TRUE(o.heard().empty()) << "a closed panel takes no intents";
}

TEST(PanelOpen, WritesItsHeadingThenCaptionsThenShowsWhatTheCameraHolds) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Open o(protocol);
    ASSERT_TRUE(o.logic->open());
    EXPECT_TRUE(o.logic->isOpen());
    EXPECT_EQ(o.bench.monitor.pc().rfind("\r\n\r\n<< ZOOM CONTROL >>", 0), 0u) << "the heading before any traffic";
    EXPECT_EQ(o.bench.monitor.log().rfind("\n\n<< ZOOM CONTROL >>", 0), 0u);
    EXPECT_EQ(o.heard().size(), protocol == P::Afp ? 4u : 3u)
        << "one read per control shown and read on open, none for the readout";

    EXPECT_EQ(o.view.value(kInstant), 1);
    EXPECT_EQ(o.view.value(kSpeed), 1);
    EXPECT_EQ(o.view.text(kMagnification), "1.5");
    EXPECT_EQ(o.view.text(kPosition), std::nullopt);
    EXPECT_EQ(o.view.itemCaption(kSpeed, 0), "          HIGH SPEED   ( 3.6sec )");
    EXPECT_EQ(o.view.itemCaption(kSpeed, 1), "          NORMAL SPEED ( 6.0sec )");
    EXPECT_EQ(o.view.shown(kAfpNote), protocol == P::Afp);
    EXPECT_EQ(o.view.value(kContinuous), protocol == P::Afp ? std::optional(1) : std::nullopt);

    const auto calls = o.view.calls();
    const auto firstValue = std::find_if(calls.begin(), calls.end(), [](const std::string& c) {
      return c.rfind("value", 0) == 0 || c.rfind("text", 0) == 0;
    });
    const auto lastCaption = std::find_if(calls.rbegin(), calls.rend(), [](const std::string& c) {
      return c.rfind("caption", 0) == 0;
    });
    ASSERT_NE(lastCaption, calls.rend());
    EXPECT_LT(lastCaption.base(), firstValue) << "captions are set before the first read";

    o.logic->intent(Intent::click(kGetPosition));
    EXPECT_EQ(o.view.text(kPosition), "1234");
  }
}

TEST(PanelOpen, TheFirstFailedReadClosesThePanelAndNothingMoreIsRead) {
  struct Case {
    P protocol;
    std::vector<sim::Fault> faults;
    std::string_view profile;
  };
  const Case cases[] = {
      {P::Eap, faults({"drop:2"}), ""},
      {P::Afp, faults({"drop:7"}), ""},  // after the five sets that seed the camera
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(name(c.protocol));
    Open o(c.protocol, c.faults, c.profile);
    EXPECT_FALSE(o.logic->open());
    EXPECT_EQ(o.view.closed(), CloseReason::ReadFailed);
    EXPECT_FALSE(o.logic->isOpen());
    EXPECT_EQ(o.heard().size(), 2u) << "the entry after the failed radio group is not read";
    EXPECT_EQ(o.view.value(kSpeed), std::nullopt);
    EXPECT_EQ(o.bench.prompt.asked().size(), 0u) << "no message: the link has reported the failure";
  }
}

TEST(PanelControls, ChangesAreWrittenInTheProtocolsFormAndShownOnlyOnceWritten) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Open o(protocol);
    ASSERT_TRUE(o.logic->open());
    auto& b = o.bench;
    const bool eap = protocol == P::Eap;

    o.logic->intent(Intent::toggle(kInstant));
    EXPECT_EQ(o.view.value(kInstant), 0);
    if (eap) {
      EXPECT_EQ(b.camera.memory().read(0xFF0F), 0x35) << "only bit 7 is rewritten";
    } else {
      EXPECT_EQ(b.function("1203FF"), "01");
    }

    auto before = b.mark();
    o.logic->intent(Intent::choose(kSpeed, 1));
    o.logic->intent(Intent::choose(kSpeed, 2));
    o.logic->intent(Intent::choose(kSpeed, -1));
    EXPECT_EQ(b.heardSince(before).size(), 0u) << "the selected button, or none, sends nothing";
    o.logic->intent(Intent::choose(kSpeed, 0));
    EXPECT_EQ(o.view.value(kSpeed), 0);
    if (eap) {
      EXPECT_EQ(b.camera.memory().read(0xFDFC), 0x01) << "bits 2-3 only";
    } else {
      EXPECT_EQ(b.function("1108FF"), "12");
    }

    before = b.mark();
    const int beeps = o.view.beeps();
    o.logic->intent(Intent::enter(kMagnification, "2.1"));
    o.logic->intent(Intent::enter(kMagnification, "0.9"));
    o.logic->intent(Intent::enter(kMagnification, "x"));
    EXPECT_EQ(o.view.beeps(), beeps + 3);
    EXPECT_EQ(b.heardSince(before).size(), 0u) << "a refused entry sends nothing";
    EXPECT_EQ(o.view.text(kMagnification), "1.5");
    o.logic->intent(Intent::enter(kMagnification, "2.0"));
    EXPECT_EQ(o.view.text(kMagnification), "2.0");
    if (eap) {
      EXPECT_EQ(b.camera.memory().read(0xFDE6), 20);
    } else {
      EXPECT_EQ(b.function("1204FF"), "14");
    }
  }
}

TEST(PanelControls, AFailedWriteShowsWhatTheDescriptionSays) {
  // Three reads on open, then the entry's write is the fourth frame, which goes unanswered.
  for (const bool keepOperator : {false, true}) {
    Open o(P::Eap, faults({"drop:4"}), "", keepOperator ? kPanelKeepingEntries : kPanel);
    ASSERT_TRUE(o.logic->open());
    o.view.clearCalls();
    o.logic->intent(Intent::enter(kMagnification, "2.0"));
    EXPECT_EQ(o.heard().size(), 4u);
    EXPECT_NE(o.bench.monitor.pc().find("!! "), std::string::npos) << "the link reported the failure";
    EXPECT_EQ(o.view.text(kMagnification), keepOperator ? "2.0" : "1.5");
    EXPECT_EQ(o.logic->number(kMagnification), keepOperator ? 20u : 15u);
    EXPECT_TRUE(o.logic->isOpen()) << "a failed write does not close the panel";
  }
}

TEST(PanelControls, NothingIsSentWhileTheOperationSlotIsTaken) {
  Open o(P::Eap);
  ASSERT_TRUE(o.logic->open());
  const auto before = o.bench.mark();
  {
    auto claim = o.bench.runner.claim();
    ASSERT_TRUE(claim.has_value());
    o.view.clearCalls();
    o.logic->intent(Intent::toggle(kInstant));
    o.logic->intent(Intent::choose(kSpeed, 0));
    o.logic->intent(Intent::enter(kMagnification, "2.0"));
    o.logic->intent(Intent::click(kGetPosition));
    o.logic->intent(Intent::press(kTele));
    o.logic->intent(Intent::release(kTele));
  }
  EXPECT_EQ(o.bench.heardSince(before).size(), 0u);
  EXPECT_EQ(o.view.value(kInstant), 1);
  EXPECT_EQ(o.view.value(kSpeed), 1);
  EXPECT_EQ(o.view.text(kMagnification), "1.5");
}

TEST(PanelClose, StopsAHeldArrowClosesItsTokenAndTakesNoMoreIntents) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Open o(protocol);
    ASSERT_TRUE(o.logic->open());
    const auto token = o.logic->token();
    const auto before = o.bench.mark();
    o.logic->intent(Intent::press(kTele));
    o.logic->intent(Intent::click(kClose));
    const std::vector<std::string> drive = protocol == P::Eap ? std::vector<std::string>{":WFCBB99", ":WFCBBFE"}
                                                              : std::vector<std::string>{"S110702T", "S110701T"};
    EXPECT_EQ(o.bench.heardSince(before), drive) << "the held arrow's stop goes out before the panel closes";
    EXPECT_EQ(o.view.closed(), CloseReason::Closed);
    EXPECT_FALSE(token.open());

    o.logic->intent(Intent::toggle(kInstant));
    o.logic->intent(Intent::press(kTele));
    EXPECT_EQ(o.bench.heardSince(before).size(), 2u);
  }
}

// A panel with a run of its own: "EXECUTE" sends a preset command on the operation slot and
// waits for the camera; the read-back of the focus mode reaches the panel on its thread.
constexpr ControlId kManual = 1, kExecute = 2;
constexpr std::array kPresetControls{
    check(kManual, "manual", Binding{camera::kFocusModeSetting, 0x08}, {0x00, 1}, {0x08, 2}),
    button(kExecute, "EXECUTE"),
};
constexpr PanelDescription kPresetPanel{
    .id = PanelId::CamPreset, .title = "CAMPRESET", .heading = "CAMPRESET", .controls = kPresetControls};

class PresetPanel final : public PanelLogic {
 public:
  using PanelLogic::PanelLogic;

 protected:
  bool handle(const Intent& in) override {
    if (in.kind != Intent::Kind::Click || in.control != kExecute) return false;
    auto& ctx = context();
    Operation op;
    op.heading = "Camera Preset1 Execute";
    op.name = "Camera Preset1";
    op.body = [&ctx](std::stop_token stop) {
      if (!ctx.camera.write(camera::registerSetting(0xF8B0, 16), 0x0101)) return Outcome::Error;
      return pollUntilDone(ctx.clock, stop, kCompletionLimit, [&ctx]() -> std::optional<Outcome> {
        std::uint32_t status = 0;
        if (!ctx.camera.read(camera::registerSetting(0xF8B2, 8), status)) return Outcome::Error;
        return status == 2 ? std::optional(Outcome::Done) : std::nullopt;
      });
    };
    op.refresh = [this, &ctx](std::stop_token) -> PanelUpdate {
      std::uint32_t mode = 0;
      if (!ctx.camera.read(camera::kFocusModeSetting, mode)) return {};
      return [this, mode] { present(kManual, mode); };
    };
    startOperation(std::move(op));
    return true;
  }
};

TEST(PanelRuns, ARunUpdatesItsPanelOnTheWindowThreadAndOnlyWhileItIsOpen) {
  for (const bool closeFirst : {false, true}) {
    SCOPED_TRACE(closeFirst ? "closed before the update" : "open");
    Bench b(P::Eap, "FF0E: 00\n");
    // The preset moves the lens and leaves the focus in manual. On the word's low byte, after
    // the camera's own preset engine (which finds no record 1) has acted on it.
    b.camera.onWrite(0xF8B1, [](sim::VirtualCamera& cam, const sim::MemoryWrite&) {
      cam.memory().write(0xF8B2, 2);
      cam.memory().write(0xFF0E, 0x08);
    });
    FakePanelView view;
    PresetPanel panel(kPresetPanel, b.context, view);
    ASSERT_TRUE(panel.open());
    EXPECT_EQ(view.value(kManual), 0);
    panel.intent(Intent::click(kExecute));
    b.runner.waitIdle();
    EXPECT_EQ(view.value(kManual), 0) << "the run has not touched the view";
    if (closeFirst) panel.close();
    b.dispatcher.runPending();
    EXPECT_EQ(view.value(kManual), closeFirst ? 0 : 1);
    EXPECT_EQ(view.foreignCalls(), 0);
    EXPECT_NE(b.monitor.pc().find("\r\n-- Camera Preset1 END --"), std::string::npos);
  }
}

TEST(CameraTypeWindow, ReadsTheTypeCodeOnlyWhenAskedAndKeepsItWhenAReadFails) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    // The second Get goes unanswered.
    Bench b(protocol, "E1ED: 12 34\n", protocol == P::Eap ? faults({"drop:2"}) : faults({"drop:3"}));
    if (protocol == P::Afp) {
      ASSERT_TRUE(b.afp.set("01831234", true));
    }
    b.monitor.clear();
    const auto from = b.mark();
    FakePanelView view;
    PanelLogic logic(camera_type::description(), b.context, view);
    ASSERT_TRUE(logic.open());
    EXPECT_EQ(b.monitor.pc(), "\r\n\r\n<< CAMERA TYPE >>");
    EXPECT_EQ(b.monitor.log(), "\n\n<< CAMERA TYPE >>");
    EXPECT_TRUE(b.heardSince(from).empty()) << "nothing is read on open";

    logic.intent(Intent::click(camera_type::kGet));
    EXPECT_EQ(view.text(camera_type::kTypeCode), "1234");
    logic.intent(Intent::click(camera_type::kGet));
    EXPECT_EQ(b.heardSince(from).size(), 2u);
    EXPECT_EQ(view.text(camera_type::kTypeCode), "1234");
    logic.intent(Intent::click(camera_type::kClose));
    EXPECT_EQ(view.closed(), CloseReason::Closed);
  }
}

}  // namespace
}  // namespace orva::panels
