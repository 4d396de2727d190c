// Finding the camera: the scan over the line settings in both protocols, the protocol switch
// and the camera speed change, against the in-process virtual camera on virtual time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/clock.hpp"
#include "core/prompt.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/gateway.hpp"
#include "link/negotiator.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/virtual_camera.hpp"

namespace orva {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

struct Rig {
  Rig(std::string_view cameraSettings, sim::Protocol cameraProtocol, std::vector<sim::Fault> faults = {})
      : camera(profile(cameraSettings, cameraProtocol), std::move(faults)), link(clock, monitor) {
    link.setChannel(std::make_unique<sim::InProcessChannel>(camera, clock, false));
    link.setLineSettings({4800, true});
    link.setProtocol(link::Protocol::Eap);
  }
  static sim::Profile profile(std::string_view settings, sim::Protocol protocol) {
    auto p = sim::parseProfile(std::string("settings ") + std::string(settings) + "\n0102: 53 FF\nrestart 500\n");
    EXPECT_TRUE(p) << p.message();
    p->protocol = protocol;
    return *p;
  }
  std::string settingsText() const { return std::string(link::formOf(link.lineSettings()).text); }

  core::FakeClock clock{50ms};
  core::RecordingMonitorSink monitor;
  sim::VirtualCamera camera;
  link::Link link;
  link::Eap eap{link};
  link::Afp afp{link};
  link::Negotiator negotiator{link, eap, afp};
};

TEST(Negotiation, CameraAtTheCurrentSettingsAnswersTheFirstProbe) {
  Rig r("4800,E,8,1", sim::Protocol::Eap);
  ASSERT_TRUE(r.negotiator.connect(true));
  EXPECT_EQ(r.monitor.pc(),
            "\r\n<< Serial Port Negotiation ... !! >>"
            "\r\n   check baudrate ... 4800,E,8  ,1"
            "\r\n\r\n<< EAP Access Check ... !! >>");
  EXPECT_EQ(r.monitor.log(),
            "\n<< Serial Port Negotiation ... !! >>"
            "\n   check baudrate ... 4800,E,8  ,1"
            "\n\n<< EAP Access Check ... !! >>");
  EXPECT_EQ(r.monitor.echoMode(), core::EchoMode::Shown);
}

TEST(Negotiation, CameraAt38400NoneIsFoundAtTheEighthForm) {
  Rig r("38400,N,8,1", sim::Protocol::Eap);
  ASSERT_TRUE(r.negotiator.negotiate());
  EXPECT_EQ(r.settingsText(), "38400,N,8 ,1");
  EXPECT_EQ(r.link.protocol(), link::Protocol::Eap);
  // The probe at the start and eight scan steps.
  const std::string pc = r.monitor.pc();
  std::size_t checks = 0;
  for (std::size_t p = pc.find("check baudrate"); p != std::string::npos; p = pc.find("check baudrate", p + 1)) ++checks;
  EXPECT_EQ(checks, 9u);
  EXPECT_THAT(pc, HasSubstr("\r\n   check baudrate ... 38400,N,8 ,1"));
}

TEST(Negotiation, CameraInTheOtherProtocolIsFoundInTheSecondScanWithinItsTimeBudget) {
  Rig r("57600,N,8,1", sim::Protocol::Afp);
  const auto t0 = r.clock.elapsed();
  ASSERT_TRUE(r.negotiator.connect(true));
  EXPECT_EQ(r.link.protocol(), link::Protocol::Afp);
  EXPECT_EQ(r.settingsText(), "57600,N,8 ,1");
  EXPECT_THAT(r.monitor.pc(), HasSubstr("\r\n\r\n<< AFP Access Check ... !! >>"));
  // 200 ms after the open; 21 failed probes of 1000 ms; 19 forms with 200 ms of pauses each,
  // then the form that answers.
  const auto budget = 200ms + 21 * 1000ms + 19 * 200ms + 200ms;
  EXPECT_LE(r.clock.elapsed() - t0, budget * 11 / 10);
  std::uint8_t v = 0;
  EXPECT_TRUE(link::gatewayReadByte(r.afp, r.link, 0x0102, v));
  EXPECT_EQ(v, 0x53);
}

TEST(Negotiation, AStrayByteAfterEachSettingsChangeDoesNotSpoilTheProbe) {
  // The line picks up a byte 30 ms after DTR rises, in the pause before the probe: the probe
  // at the camera's settings holds, whether they are the first tried or found by the scan.
  for (const char* at : {"4800,E,8,1", "9600,E,8,1"}) {
    SCOPED_TRACE(at);
    Rig r(at, sim::Protocol::Eap, {*sim::parseFault("stray:30")});
    ASSERT_TRUE(r.negotiator.connect(true));
    EXPECT_EQ(r.link.lineSettings(), r.camera.settings());
  }
}

TEST(Negotiation, NothingAnsweringRestoresSettingsAndProtocolAndClosesTheLine) {
  Rig r("9600,E,8,1", sim::Protocol::Eap, {sim::Fault{sim::FaultKind::Silent, 0}});
  r.link.setLineSettings({19200, false});
  EXPECT_FALSE(r.negotiator.connect(true));
  EXPECT_EQ(r.settingsText(), "19200,N,8 ,1");
  EXPECT_EQ(r.link.protocol(), link::Protocol::Eap);
  EXPECT_FALSE(r.link.isOpen());
  EXPECT_EQ(r.monitor.echoMode(), core::EchoMode::Shown);
}

TEST(Negotiation, WithoutNegotiationTheLineIsOnlyOpened) {
  Rig r("9600,E,8,1", sim::Protocol::Eap);
  EXPECT_TRUE(r.negotiator.connect(false));
  EXPECT_TRUE(r.link.isOpen());
  EXPECT_EQ(r.monitor.pc(), "");
}

TEST(ProtocolSwitch, BothWaysAndTheChangedAddressesAreForgotten) {
  struct Changed : link::ChangedAddressSink {
    int clears = 0;
    void written(std::uint16_t, std::uint16_t) override {}
    void clear() override { ++clears; }
  } changed;
  Rig r("4800,E,8,1", sim::Protocol::Eap);
  r.link.setChangedAddressSink(&changed);
  ASSERT_TRUE(r.negotiator.connect(false));
  ASSERT_TRUE(r.negotiator.switchProtocol());
  EXPECT_EQ(r.link.protocol(), link::Protocol::Afp);
  EXPECT_EQ(changed.clears, 1);
  EXPECT_TRUE(r.negotiator.probe());
  ASSERT_TRUE(r.negotiator.switchProtocol());
  EXPECT_EQ(r.link.protocol(), link::Protocol::Eap);
  EXPECT_TRUE(r.negotiator.probe());
  EXPECT_THAT(r.monitor.pc(), HasSubstr("\r\n\r\n<< Change to AFP >>"));
  EXPECT_THAT(r.monitor.pc(), HasSubstr("\r\n\r\n<< Change to EAP >>"));
}

class SpeedChange : public ::testing::TestWithParam<sim::Protocol> {};

TEST_P(SpeedChange, TheCameraRestartsAtTheNewSpeedAndIsFoundThere) {
  Rig r("9600,N,8,1", GetParam());
  r.link.setLineSettings({9600, false});
  r.link.setProtocol(GetParam() == sim::Protocol::Afp ? link::Protocol::Afp : link::Protocol::Eap);
  ASSERT_TRUE(r.negotiator.connect(true));
  core::ScriptedPrompt prompt;
  prompt.answer(core::Answer::Ok);
  const auto to = *link::parseSettingsText("19200,E,8,1");
  EXPECT_EQ(r.negotiator.changeCameraSpeed(to, 0x53, prompt), link::Negotiator::SpeedChange::Changed);
  EXPECT_EQ(prompt.asked().at(0).text, "Serial baudrate for camera will be changed \u2026 \nAre you sure ?");
  EXPECT_EQ(r.settingsText(), "19200,E,8 ,1");
  EXPECT_THAT(r.monitor.log(), HasSubstr("\n\n<< Changen Serial baudrate ... >>"));
  EXPECT_THAT(r.monitor.log(), HasSubstr("\n\n<< Camera reset >>"));
  EXPECT_THAT(r.monitor.pc(), HasSubstr("\r\n\r\n<< Change Serial baudrate ... >>"));
  ASSERT_TRUE(r.negotiator.connect(true));
  EXPECT_EQ(r.settingsText(), "19200,E,8 ,1");
  EXPECT_TRUE(r.negotiator.probe());
}

INSTANTIATE_TEST_SUITE_P(BothProtocols, SpeedChange, ::testing::Values(sim::Protocol::Eap, sim::Protocol::Afp));

TEST(SpeedChangeQuestions, SameSpeedCancelAndAFailedWriteChangeNothing) {
  Rig r("9600,N,8,1", sim::Protocol::Eap);
  r.link.setLineSettings({9600, false});
  ASSERT_TRUE(r.negotiator.connect(false));
  core::ScriptedPrompt prompt;
  EXPECT_EQ(r.negotiator.changeCameraSpeed(*link::parseSettingsText("9600,N,8,1"), 0, prompt),
            link::Negotiator::SpeedChange::Unchanged);
  EXPECT_EQ(prompt.asked().at(0).text, "The baudrate is not changed.");
  EXPECT_EQ(prompt.asked().at(0).title, "Message");
  prompt.answer(core::Answer::Cancel);
  EXPECT_EQ(r.negotiator.changeCameraSpeed(*link::parseSettingsText("4800,N,8,1"), 0, prompt),
            link::Negotiator::SpeedChange::Cancelled);
  EXPECT_EQ(r.camera.memory().read(0xE05E), 0);

  // A camera that does not take the new code is not reset and the settings stay.
  Rig broken("9600,N,8,1", sim::Protocol::Eap, {*sim::parseFault("wrong-echo:7")});
  broken.link.setLineSettings({9600, false});
  ASSERT_TRUE(broken.negotiator.connect(false));
  prompt.answer(core::Answer::Ok);
  EXPECT_EQ(broken.negotiator.changeCameraSpeed(*link::parseSettingsText("4800,N,8,1"), 0, prompt),
            link::Negotiator::SpeedChange::Failed);
  EXPECT_EQ(broken.settingsText(), "9600,N,8  ,1");
  EXPECT_THAT(broken.monitor.log(), ::testing::Not(HasSubstr("Camera reset")));
}

TEST(SpeedTables, CodesAndOfferedSpeeds) {
  const auto f = [](const char* t) { return *link::parseSettingsText(t); };
  EXPECT_EQ(link::eapSpeedCode(f("9600,E,8,1"), 0x53), 0xB0);
  EXPECT_EQ(link::eapSpeedCode(f("9600,N,8,1"), 0x95), 0xF1);
  EXPECT_EQ(link::eapSpeedCode(f("57600,N,8,1"), 0xA1), 0xD9);
  EXPECT_EQ(link::afpSpeedCode(f("19200,E,8,1")), 0x05);
  EXPECT_FALSE(link::afpSpeedCode(f("115200,E,8,1")));
  EXPECT_EQ(link::cameraSpeeds(0x40, 0).size(), 2u);
  EXPECT_EQ(link::cameraSpeeds(0x95, 0).size(), 4u);
  EXPECT_EQ(link::cameraSpeeds(0xD0, 0).size(), 4u);
  EXPECT_EQ(link::cameraSpeeds(0xA0, 0).size(), 5u);
  EXPECT_EQ(link::cameraSpeeds(0xA0, 1).size(), 2u);
  EXPECT_EQ(link::cameraSpeeds(0x40, 3).size(), 5u);
  EXPECT_EQ(link::formForLinkCode(13)->text, "19200,N,8 ,1");
  EXPECT_EQ(link::formForLinkCode(1)->text, "4800,E,8  ,1");
  EXPECT_FALSE(link::formForLinkCode(7));
  EXPECT_FALSE(link::formForLinkCode(20));
  EXPECT_EQ(link::portDialogSpeeds().front().label, "4800 ");  // no speed without a form
}

}  // namespace
}  // namespace orva
