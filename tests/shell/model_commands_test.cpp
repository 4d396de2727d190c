// The MODEL menu commands against the in-process virtual camera, in virtual time: what goes
// on the line in each protocol, the headings, questions and waits, the check marks reported
// only for what the camera took, the bounded wait for a restarted camera, and stopping.
#include "shell/model_commands.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "camera/identification.hpp"
#include "link/settings_forms.hpp"
#include "panels/panel_bench.hpp"
#include "shell/model_texts.hpp"
#include "sim/model_profiles.hpp"
#include "support/sim_faults.hpp"

namespace orva::shell {
namespace {

using namespace std::chrono_literals;
using core::Answer;
using M = MenuItem;
using P = link::Protocol;
using Checks = std::vector<std::pair<MenuItem, bool>>;

using panels::testing::name;

// A QB-183 (so that an identification after a restart finds a model), at 9600,E.
sim::Profile cameraProfile(P protocol) {
  auto profile = sim::modelProfile("QB-183", protocol == P::Afp ? sim::Protocol::Afp : sim::Protocol::Eap);
  EXPECT_TRUE(profile);
  profile->settings = *link::findSettingsForm("9600,E,8  ,1");
  return *profile;
}

// The panels' bench (camera, line, both protocols, the prompt) with a command's context.
struct Bench : panels::testing::Bench {
  explicit Bench(P protocol, std::vector<sim::Fault> faults = {}) : Bench(protocol, cameraProfile(protocol), std::move(faults)) {}
  Bench(P protocol, const sim::Profile& profile, std::vector<sim::Fault> faults = {})
      : panels::testing::Bench(protocol, profile, std::move(faults)) {
    // When the camera was told to restart, in either protocol.
    camera.onWrite(0xFCAC, [this](sim::VirtualCamera&, const sim::MemoryWrite&) { restartedAt = clock.elapsed(); });
    camera.onFunctionSet(0x0102, [this](sim::VirtualCamera&, const sim::FunctionSet&) {
      restartedAt = clock.elapsed();
    });
  }

  ModelCommandOutcome run(MenuItem item, std::stop_token stop = {}) {
    ModelCommandContext ctx{.link = link,
                            .eap = eap,
                            .afp = afp,
                            .codes = codes,
                            .monitor = monitor,
                            .prompt = prompt,
                            .clock = clock,
                            .model = model,
                            .flags = {},
                            .wdrPanelOpen = wdrPanelOpen,
                            .closePanels =
                                [this] {
                                  ++panelsClosed;
                                  if (onClosePanels) onClosePanels();
                                },
                            .identify = [this](camera::ModelRecord& r, camera::IdentificationFlags& f,
                                               camera::LauncherFields& l) {
                              ++identifications;
                              camera::LinkRegisterReader reader(link, eap, afp);
                              camera::Identification id(reader, monitor, prompt);
                              camera::IdentificationSwitches sw;
                              if (id.run(r, f, sw) == camera::IdentifyOutcome::Failed) return false;
                              l = id.launcher();
                              return true;
                            }};
    from = camera.frameLog().end();
    monitor.clear();
    started = clock.elapsed();
    return runModelCommand(item, ctx, std::move(stop));
  }

  // Frames the camera heard during the last run.
  std::vector<std::string> heard() const { return heardSince(from); }
  bool heardFrame(std::string_view frame) const { return panels::testing::has(heard(), frame); }
  // A heading as the monitor shows it.
  static std::string heading(std::string_view text) { return "\r\n\r\n" + std::string(text); }
  bool shows(std::string_view text) const { return monitor.pc().find(text) != std::string::npos; }
  bool showsHeading(std::string_view text) const { return shows(heading(text)); }
  core::Clock::duration waited() const { return clock.elapsed() - started; }
  // From the restart command to now (an AFP set of it also waits for a completion that the
  // restarting camera never sends).
  core::Clock::duration sinceRestart() const {
    EXPECT_TRUE(restartedAt);
    return clock.elapsed() - restartedAt.value_or(core::Clock::duration{});
  }

  // The camera holds `value` for the AFP function, as if it had been set before.
  void holdFunction(std::uint16_t code, std::uint32_t value) {
    ASSERT_TRUE(codes.write(code, std::array<std::uint32_t, 1>{value}));
  }

  bool wdrPanelOpen = false;
  int panelsClosed = 0;
  std::function<void()> onClosePanels;
  int identifications = 0;
  std::uint64_t from = 0;
  core::Clock::duration started{};
  std::optional<core::Clock::duration> restartedAt;
};

// ---- NTSC / PAL

TEST(ModelFormat, PalUnderFormatSwitchModeOneSoftResetsAndShowsTheFormat) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Bench b(protocol);
    b.model.formatSwitchMode = 1;
    const auto out = b.run(M::Pal);

    EXPECT_EQ(b.camera.memory().read(0x11EE), 0x88);
    if (protocol == P::Eap) {
      EXPECT_EQ(b.heard(), (std::vector<std::string>{":W11EE88", ":WFCAC00"}));
    } else {
      EXPECT_EQ(b.heard(), (std::vector<std::string>{"SFE0111EE88T", "SFE01FCAC00T"}));
    }
    const auto format = b.monitor.pc().find(Bench::heading(texts::kChangingFormatPal));
    const auto reset = b.monitor.pc().find(Bench::heading(texts::kSoftResetOn));
    ASSERT_NE(format, std::string::npos);
    ASSERT_NE(reset, std::string::npos);
    EXPECT_LT(format, reset);
    EXPECT_NE(b.monitor.log().find("\n\n<< SOFT RESET ON >>"), std::string::npos);
    EXPECT_GE(b.waited(), kFormatResetWait);
    EXPECT_EQ(out.formatField, "PAL model");
    EXPECT_EQ(out.checks, (Checks{{M::Ntsc, false}, {M::Pal, true}}));
  }
}

TEST(ModelFormat, UnderFormatSwitchModeTwoTheFormatIsWrittenWithoutASoftReset) {
  Bench b(P::Eap);
  b.model.formatSwitchMode = 2;
  const auto out = b.run(M::Ntsc);
  EXPECT_EQ(b.heard(), (std::vector<std::string>{":W11EEAA"}));
  EXPECT_TRUE(b.showsHeading(texts::kChangingFormatNtsc));
  EXPECT_FALSE(b.shows(texts::kSoftResetOn));
  EXPECT_EQ(b.waited(), 0ms);
  EXPECT_FALSE(out.formatField);
  EXPECT_EQ(out.checks, (Checks{{M::Pal, false}, {M::Ntsc, true}}));
}

TEST(ModelFormat, SoftResetItemTogglesTheModeOrResetsOrGreys) {
  Bench b(P::Eap);
  b.model.formatSwitchMode = 2;
  auto out = b.run(M::SoftReset);
  EXPECT_EQ(out.formatSwitchMode, 1);
  EXPECT_EQ(out.checks, (Checks{{M::SoftReset, true}}));
  b.model.formatSwitchMode = 1;
  out = b.run(M::SoftReset);
  EXPECT_EQ(out.formatSwitchMode, 2);
  EXPECT_EQ(out.checks, (Checks{{M::SoftReset, false}}));
  EXPECT_TRUE(b.heard().empty());

  b.model.formatSwitchMode = 3;
  out = b.run(M::SoftReset);
  EXPECT_TRUE(b.showsHeading(texts::kSoftResetOn));
  EXPECT_EQ(b.heard(), (std::vector<std::string>{":WFCAC00"}));
  EXPECT_EQ(b.monitor.echoMode(), core::EchoMode::Shown) << "echo mode 2 only around the reset write";
  EXPECT_GE(b.waited(), kSoftResetWait);
  EXPECT_FALSE(b.prompt.isBusy());

  b.model.formatSwitchMode = 0;
  out = b.run(M::SoftReset);
  EXPECT_TRUE(out.greySoftReset);
  EXPECT_TRUE(b.heard().empty());
}

// ---- CAMERA MODE

TEST(ModelCameraMode, AChangeWritesTheProtocolsValueAndSoftResets) {
  struct Case {
    P protocol;
    MenuItem item;
    const char* heading;
    std::vector<std::string> frames;
  };
  const Case cases[] = {
      {P::Eap, M::Mode720_25p, "<< CAMERA MODE 720 25p SET >>", {":R170100", ":W170104", ":WFCAC00"}},
      {P::Eap, M::Mode1080_60iFrameOut, "<< CAMERA MODE 1080 60i frame out (30PsF) SET >>",
       {":R170100", ":W170113", ":WFCAC00"}},
      {P::Afp, M::Mode1080_5994p, "<< CAMERA MODE 1080 59.94p SET >>", {"G0185FFT", "S018512T", "S010201T"}},
      {P::Afp, M::Mode720_25p, "<< CAMERA MODE 720 25p SET >>", {"G0185FFT", "S01850AT", "S010201T"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heading);
    Bench b(c.protocol);
    // The camera is at 1080 60i.
    if (c.protocol == P::Eap) b.camera.memory().write(0x1701, 0x10);
    else b.holdFunction(0x0185, 1);
    const auto out = b.run(c.item);
    EXPECT_EQ(b.heard(), c.frames);
    EXPECT_TRUE(b.showsHeading(c.heading));
    EXPECT_GE(b.waited(), kSoftResetWait);
    EXPECT_FALSE(b.prompt.isBusy());
    EXPECT_EQ(b.monitor.echoMode(), core::EchoMode::Shown);
    ASSERT_FALSE(out.checks.empty());
    EXPECT_EQ(out.checks.back(), std::make_pair(c.item, true));
    EXPECT_NE(std::find(out.checks.begin(), out.checks.end(), std::make_pair(M::Mode1080_60i, false)),
              out.checks.end())
        << "the item of the mode before loses its mark";
    EXPECT_FALSE(out.record) << "a camera mode change is not followed by an identification";
  }
}

TEST(ModelCameraMode, LineModeClosesPanelsWritesWaitsAndIdentifiesAgain) {
  Bench b(P::Eap);
  b.camera.memory().write(0xFCC0, 0);
  const auto out = b.run(M::Mode2_960Line);
  const auto h = b.heard();
  ASSERT_GE(h.size(), 3u);
  EXPECT_EQ(h[0], ":RFCC000");
  EXPECT_EQ(h[1], ":WFCC001");
  EXPECT_EQ(h[2], ":RFCC000") << "the re-read after the wait";
  EXPECT_TRUE(b.showsHeading(texts::kCameraMode960LineSet));
  EXPECT_EQ(b.panelsClosed, 1);
  EXPECT_GE(b.waited(), kPanelCloseWait + kLineModeSettleWait);
  EXPECT_EQ(out.checks, (Checks{{M::Mode1_720Line, false}, {M::Mode2_960Line, true}}));
  ASSERT_TRUE(out.record);
  EXPECT_EQ(out.record->modelCode, 0x13F0);
  EXPECT_TRUE(out.fields);
  EXPECT_FALSE(b.prompt.isBusy());
}

// ---- failures and the camera lost

TEST(ModelFailures, AFailedWriteReportsNoCheckMarkAndGoesNoFurther) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    // The read of the current mode is answered, the write that follows is not.
    Bench b(protocol, orva::testing::faults({"drop:2"}));
    const auto out = b.run(M::Mode1080_60i);
    EXPECT_TRUE(b.showsHeading("<< CAMERA MODE 1080 60i SET >>"));
    EXPECT_TRUE(out.checks.empty());
    EXPECT_EQ(b.heard().size(), 2u) << "no soft reset after a failed change";
  }
  {
    SCOPED_TRACE("a camera that answers nothing");
    Bench b(P::Eap, orva::testing::faults({"drop:1"}));
    b.model.formatSwitchMode = 1;
    const auto out = b.run(M::Pal);
    EXPECT_TRUE(b.showsHeading(texts::kChangingFormatPal));
    EXPECT_TRUE(out.checks.empty());
    EXPECT_FALSE(out.formatField);
    EXPECT_FALSE(b.shows(texts::kSoftResetOn));
  }
}

TEST(ModelFailures, TheReReadAfterARestartGivesUpOnASilentCamera) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    sim::Profile profile = cameraProfile(protocol);
    profile.restartTime = 600000ms;  // down far longer than anyone waits
    Bench b(protocol, profile);
    b.camera.memory().write(0x1701, 0x01);
    const auto out = b.run(M::Clock36MHz);

    EXPECT_TRUE(b.showsHeading(texts::kClock36MHzSet));
    EXPECT_EQ(b.camera.memory().read(0x1701), 0xFF);
    EXPECT_TRUE(out.cameraLost);
    EXPECT_NE(b.monitor.pc().find("\r\n" + std::string(texts::kCameraLostAfterRestart)), std::string::npos);
    EXPECT_NE(b.monitor.log().find("\n" + std::string(texts::kCameraLostAfterRestart)), std::string::npos);
    EXPECT_EQ(b.identifications, 0) << "a lost camera is not identified";
    EXPECT_FALSE(out.record);
    EXPECT_FALSE(b.prompt.isBusy());
    EXPECT_GE(b.sinceRestart(), kSoftResetWait + kRestartAnswerLimit);
    EXPECT_LT(b.sinceRestart(), kSoftResetWait + kRestartAnswerLimit + 10s) << "bounded";
    // The clock did change: its marks are reported.
    EXPECT_EQ(out.checks, (Checks{{M::Clock36MHz, true}, {M::Clock30MHz, false}, {M::Clock27MHz, false},
                                  {M::Clock28_5MHz, false}}));
  }
}

TEST(ModelFailures, AClockChangeOnAnAnsweringCameraIdentifiesAfterItsWaits) {
  Bench b(P::Eap);
  b.camera.memory().write(0x1701, 0xFF);
  const auto out = b.run(M::Clock27MHz);
  EXPECT_TRUE(b.showsHeading(texts::kClock27MHzSet));
  EXPECT_TRUE(b.heardFrame(":W170100"));
  EXPECT_FALSE(out.cameraLost);
  EXPECT_EQ(b.panelsClosed, 1);
  EXPECT_GE(b.waited(), kPanelCloseWait + kSoftResetWait + kClockSettleWait);
  ASSERT_TRUE(out.record);
  EXPECT_EQ(out.checks, (Checks{{M::Clock36MHz, false}, {M::Clock30MHz, false}, {M::Clock27MHz, true},
                                {M::Clock28_5MHz, true}}));
  EXPECT_FALSE(b.prompt.isBusy());

  // The model whose value 0 is 28.5 MHz says so and is not re-read through 0xFCC0.
  Bench c(P::Eap);
  c.model.modelCode = 0x17F0;
  c.camera.memory().write(0x1701, 0xFF);
  c.run(M::Clock28_5MHz);
  EXPECT_TRUE(c.showsHeading(texts::kClock28_5MHzSet));
  EXPECT_FALSE(c.heardFrame(":RFCC000"));
}

// ---- questions and refusals

TEST(ModelQuestions, CcdDriveModeAsksAndCancelSendsNothingAfterTheRead) {
  Bench b(P::Eap);
  b.camera.memory().write(0x1221, 0x00);  // progressive
  b.prompt.answer(Answer::Cancel);
  auto out = b.run(M::InterlaceMode);
  EXPECT_EQ(b.heard(), (std::vector<std::string>{":R122100"}));
  EXPECT_TRUE(b.showsHeading(texts::kCcdDriveModeCheck));
  ASSERT_EQ(b.prompt.asked().size(), 1u);
  const auto& q = b.prompt.asked()[0];
  EXPECT_EQ(q.text, texts::kToInterlaceQuestion);
  EXPECT_EQ(q.title, "CCD_Drive Message");
  EXPECT_EQ(q.buttons, core::Buttons::OkCancel);
  EXPECT_EQ(q.icon, core::Icon::Question);
  EXPECT_TRUE(out.checks.empty());

  b.prompt.answer(Answer::Ok);
  out = b.run(M::InterlaceMode);
  EXPECT_EQ(b.heard(), (std::vector<std::string>{":R122100", ":W122101", ":WFCAC00"}));
  EXPECT_TRUE(b.showsHeading(texts::kInterlaceMode));
  EXPECT_EQ(out.checks, (Checks{{M::ProgressiveMode, false}, {M::InterlaceMode, true}}));
  EXPECT_GE(b.waited(), kSoftResetWait);
  EXPECT_FALSE(b.prompt.isBusy());

}

TEST(ModelQuestions, CcdDriveModeIsRefusedWhileTheWdrPanelIsOpen) {
  Bench b(P::Eap);
  b.wdrPanelOpen = true;
  const auto out = b.run(M::ProgressiveMode);
  EXPECT_TRUE(b.heard().empty());
  EXPECT_TRUE(b.monitor.pc().empty());
  ASSERT_EQ(b.prompt.asked().size(), 1u);
  EXPECT_EQ(b.prompt.asked()[0].text, texts::kWdrPanelOpen);
  EXPECT_EQ(b.prompt.asked()[0].title, "CCD Drive Message");
  EXPECT_EQ(b.prompt.asked()[0].buttons, core::Buttons::Ok);
  EXPECT_TRUE(out.checks.empty());
}

TEST(ModelQuestions, DisplayModeAsksBeforeItRestartsTheCamera) {
  Bench b(P::Eap);
  b.camera.memory().write(0x128F, 0x40);  // Ext.Key display, other bits kept
  b.prompt.answer(Answer::Ok);
  const auto out = b.run(M::PrivacyMaskMode);
  ASSERT_EQ(b.prompt.asked().size(), 1u);
  EXPECT_EQ(b.prompt.asked()[0].text, "Soft Reset is carried out. Is it all right?");
  EXPECT_EQ(b.prompt.asked()[0].title, "Confirmation");
  EXPECT_EQ(b.heard(), (std::vector<std::string>{":R128F00", ":W128F41", ":WFCAC00"}));
  EXPECT_EQ(out.checks, (Checks{{M::ExtKeyDisplayMode, false}, {M::PrivacyMaskMode, true}}));
  EXPECT_GE(b.waited(), kSoftResetWait);
}

TEST(ModelQuestions, OutputModeSetsTheLensControlBitFromTheOutputState) {
  Bench b(P::Eap);
  b.model.lensControlWord = 0x1000;
  b.camera.memory().write(0x1221, 0x02);  // analog
  b.camera.memory().write(0x1222, 0x00);  // bit 7 clear: the lens-control bit is set
  b.prompt.answer(Answer::Ok);
  const auto out = b.run(M::DigitalOut);
  ASSERT_EQ(b.prompt.asked().size(), 1u);
  EXPECT_EQ(b.prompt.asked()[0].text, texts::kToDigitalQuestion);
  EXPECT_EQ(b.prompt.asked()[0].title, "Output mode Message");
  EXPECT_EQ(b.heard(), (std::vector<std::string>{":R122100", ":R122200", ":W122100", ":WFCAC00"}));
  EXPECT_TRUE(b.showsHeading(texts::kOutputModeCheck));
  EXPECT_TRUE(b.showsHeading(texts::kDigitalOutputMode));
  EXPECT_EQ(b.monitor.pc().find(":R1222"), std::string::npos) << "the output state is read quietly";
  ASSERT_TRUE(out.record);
  EXPECT_EQ(out.record->lensControlWord, 0x1008);
  EXPECT_EQ(out.checks, (Checks{{M::AnalogOut, false}, {M::DigitalOut, true}}));
}

TEST(ModelQuestions, DigitalOutputSwitchWritesEachProtocolsValueWithoutARestart) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Bench b(protocol);
    b.model.menuWord = 0x0100;
    if (protocol == P::Afp) b.holdFunction(0x5103, 1);  // analog
    const auto out = b.run(M::DigitalOut);
    EXPECT_TRUE(b.showsHeading("<< DIGITAL OUTPUT MODE ON  >>"));
    EXPECT_EQ(b.heard(), protocol == P::Eap ? (std::vector<std::string>{":RFF5500", ":WFF5501"})
                                            : (std::vector<std::string>{"G5103FFT", "S510302T"}));
    EXPECT_EQ(out.checks, (Checks{{M::DigitalOut, true}, {M::AnalogOut, false}}));
  }
}

// ---- GAIN UP MODE

TEST(ModelGain, EachProtocolWritesItsValueSoftResetsAndIdentifiesAgain) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Bench b(protocol);
    b.camera.memory().write(0x1221, 0x00);
    if (protocol == P::Afp) b.holdFunction(0x348E, 1);  // normal
    const auto out = b.run(M::GainHighSensitivity);
    EXPECT_TRUE(b.showsHeading(texts::kSetGainUp));
    EXPECT_TRUE(b.showsHeading(texts::kHighSensitivityModeSet));
    const auto h = b.heard();
    ASSERT_GE(h.size(), 3u);
    if (protocol == P::Eap) {
      EXPECT_EQ((std::vector<std::string>(h.begin(), h.begin() + 3)),
                (std::vector<std::string>{":R122100", ":W122101", ":WFCAC00"}));
    } else {
      EXPECT_EQ((std::vector<std::string>(h.begin(), h.begin() + 3)),
                (std::vector<std::string>{"G348EFFT", "S348E02T", "S010201T"}));
    }
    EXPECT_GE(b.waited(), kSoftResetWait);
    EXPECT_EQ(out.checks, (Checks{{M::GainNormal, false}, {M::GainHighSensitivity, true}}));
    ASSERT_TRUE(out.record) << "identified again";
    EXPECT_EQ(b.identifications, 1);
  }
}

// ---- the mode the camera already has

TEST(ModelAlreadySet, OnlyTheReadOfTheModeGoesOut) {
  struct Case {
    const char* what;
    P protocol;
    MenuItem item;
    std::uint16_t address;  // the register (EAP) or function (AFP) the camera holds `value` in
    std::uint32_t value;
    const char* read;
    std::string_view heading;  // of the check
  };
  const Case cases[] = {
      {"1080 30p", P::Eap, M::Mode1080_30p, 0x1701, 0x12, ":R170100", texts::kCameraModeCheck},
      {"1080 30p", P::Afp, M::Mode1080_30p, 0x0185, 3, "G0185FFT", texts::kCameraModeCheck},
      {"high sensitivity", P::Eap, M::GainHighSensitivity, 0x1221, 0x01, ":R122100", texts::kSetGainUp},
      {"high sensitivity", P::Afp, M::GainHighSensitivity, 0x348E, 2, "G348EFFT", texts::kSetGainUp},
      {"interlace, without the question", P::Eap, M::InterlaceMode, 0x1221, 0x01, ":R122100", texts::kCcdDriveModeCheck},
      {"960 line", P::Eap, M::Mode2_960Line, 0xFCC0, 0x01, ":RFCC000", texts::kCameraModeCheck},
      {"27 MHz", P::Eap, M::Clock27MHz, 0x1701, 0x00, ":R170100", texts::kClockCheck},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.what << ", " << name(c.protocol));
    Bench b(c.protocol);
    if (c.protocol == P::Eap) b.camera.memory().write(c.address, static_cast<std::uint8_t>(c.value));
    else b.holdFunction(c.address, c.value);
    const auto out = b.run(c.item);
    EXPECT_EQ(b.heard(), (std::vector<std::string>{c.read}));
    EXPECT_TRUE(b.showsHeading(c.heading));
    EXPECT_FALSE(b.shows(" SET >>")) << "no heading of a change";
    EXPECT_TRUE(b.prompt.asked().empty());
    EXPECT_EQ(b.panelsClosed, 0);
    EXPECT_TRUE(out.checks.empty());
  }
}

// ---- stopping

TEST(ModelStop, AStopBeforeTheChangeLeavesTheCameraAlone) {
  Bench b(P::Eap);
  b.camera.memory().write(0x1701, 0x01);
  std::stop_source source;
  // The stop comes while the command waits for the panels to close.
  b.onClosePanels = [&source] { source.request_stop(); };
  const auto out = b.run(M::Clock36MHz, source.get_token());
  EXPECT_TRUE(out.stopped);
  EXPECT_EQ(b.heard(), (std::vector<std::string>{":R170100"}));
  EXPECT_EQ(b.camera.memory().read(0x1701), 0x01);
  EXPECT_TRUE(out.checks.empty());
  EXPECT_NE(b.monitor.pc().find("\r\n" + std::string(texts::kCommandStopped)), std::string::npos);
  EXPECT_FALSE(b.prompt.isBusy());
}

TEST(ModelStop, AStopAfterTheChangeStillRestartsTheCameraAndReportsTheMarks) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Bench b(protocol);
    std::stop_source source;
    // The stop arrives the moment the camera has taken the new mode.
    if (protocol == P::Eap) {
      b.camera.memory().write(0x1221, 0x00);
      b.camera.onWrite(0x1221, [&source](sim::VirtualCamera&, const sim::MemoryWrite&) { source.request_stop(); });
    } else {
      b.holdFunction(0x348E, 1);
      b.camera.onFunctionSet(0x348E, [&source](sim::VirtualCamera&, const sim::FunctionSet&) {
        source.request_stop();
      });
    }
    const auto out = b.run(M::GainHighSensitivity, source.get_token());
    EXPECT_TRUE(out.stopped);
    EXPECT_TRUE(b.heardFrame(protocol == P::Eap ? ":WFCAC00" : "S010201T")) << "the restart still goes out";
    EXPECT_EQ(out.checks, (Checks{{M::GainNormal, false}, {M::GainHighSensitivity, true}}));
    EXPECT_EQ(b.identifications, 0);
    EXPECT_LT(b.sinceRestart(), kSoftResetWait) << "the restart wait was cut short";
    EXPECT_TRUE(b.shows(texts::kCommandStopped));
  }
}

}  // namespace
}  // namespace orva::shell
