// The camera acting on its control registers and functions, on the camera's own time:
// completions, protocol switch, speed change and restart.
#include "sim/camera_controls.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "converse.hpp"
#include "sim/faults.hpp"
#include "sim/speed_codes.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

using namespace std::chrono_literals;
using link::LineSettings;
using testing::converse;

Profile profile(Protocol protocol, std::string_view settings = "9600,N,8,1") {
  Profile p;
  p.settings = *link::parseSettingsText(settings);
  p.protocol = protocol;
  p.completionDelay = 50ms;
  p.restartTime = 100ms;
  p.registers.push_back({0x0102, {0x5A}});
  return p;
}

// What the camera sent of its own accord since the last look, as text.
std::string output(VirtualCamera& camera) {
  std::string out;
  for (const auto& o : camera.takeOutput()) out.append(o.bytes.begin(), o.bytes.end());
  return out;
}

std::vector<std::string> logLines(const VirtualCamera& camera) {
  std::vector<std::string> lines;
  for (const auto& r : camera.frameLog().all()) lines.push_back(describeRecord(r));
  return lines;
}

TEST(SpeedCodes, EveryFormUpTo57600HasItsCodes) {
  const std::vector<std::uint8_t> eap{0x00, 0xC0, 0xB0, 0xF0, 0xB9, 0xF9, 0xA9, 0xE9, 0x99, 0xD9};
  for (std::size_t i = 0; i < eap.size(); ++i) {
    const LineSettings form{link::kSettingsForms[i].baud, link::kSettingsForms[i].evenParity};
    EXPECT_EQ(eapSpeedCode(eap[i]), form) << i;
    EXPECT_EQ(afpSpeedCode(static_cast<std::uint32_t>(i + 1)), form) << i;
  }
  // The 0x90 and 0xA0 families name 9600 differently; the camera takes both.
  EXPECT_EQ(eapSpeedCode(0xB1), (LineSettings{9600, true}));
  EXPECT_EQ(eapSpeedCode(0xF1), (LineSettings{9600, false}));
  for (int code : {0x01, 0x0A, 0xB2, 0xFF, 0x90})
    EXPECT_FALSE(eapSpeedCode(static_cast<std::uint8_t>(code))) << code;
  for (std::uint32_t code : {0u, 11u, 0x12u, 0xFFFFFFFFu}) EXPECT_FALSE(afpSpeedCode(code)) << code;
}

TEST(CameraTime, AnAfpSetCompletesAfterTheCompletionDelay) {
  VirtualCamera camera(profile(Protocol::Afp));
  const auto t0 = camera.now();
  EXPECT_EQ(converse(camera, "S110102T"), "R00T");
  EXPECT_EQ(output(camera), "");
  EXPECT_EQ(camera.nextOutputTime(), t0 + 50ms);
  camera.advanceTo(t0 + 49ms);
  EXPECT_EQ(output(camera), "");
  camera.advanceTo(t0 + 70ms);
  const auto sent = camera.takeOutput();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(std::string(sent[0].bytes.begin(), sent[0].bytes.end()), "X00T");
  EXPECT_EQ(sent[0].at, t0 + 50ms) << "sent when due, not when looked at";
  EXPECT_FALSE(camera.nextOutputTime());
  EXPECT_EQ(logLines(camera), (std::vector<std::string>{"S110102T -> R00T", "camera: X00T"}));
}

TEST(CameraTime, CompletionsOfSeveralSetsGoOutInOrder) {
  VirtualCamera camera(profile(Protocol::Afp));
  const auto t0 = camera.now();
  EXPECT_EQ(converse(camera, "S110102T"), "R00T");
  camera.advanceTo(t0 + 10ms);
  EXPECT_EQ(converse(camera, "S110203T"), "R10T");
  camera.advanceTo(t0 + 1s);
  const auto sent = camera.takeOutput();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].at, t0 + 50ms);
  EXPECT_EQ(sent[1].at, t0 + 60ms);
  EXPECT_EQ(std::string(sent[1].bytes.begin(), sent[1].bytes.end()), "X10T");
}

TEST(CameraTime, TheCameraLogsItsOwnFramesBeforeAFrameInProgress) {
  VirtualCamera camera(profile(Protocol::Afp));
  converse(camera, "S110102T");
  converse(camera, "G11");
  camera.advanceTo(camera.now() + 50ms);
  converse(camera, "01FFT");
  EXPECT_EQ(logLines(camera),
            (std::vector<std::string>{"S110102T -> R00T", "camera: X00T", "G1101FFT -> Y110102T"}));
}

TEST(ProtocolSwitch, EapRegisterFA58SwitchesToAfpAfterTheWritingFrame) {
  VirtualCamera camera(profile(Protocol::Eap));
  EXPECT_EQ(converse(camera, ":WFA5800"), ":WFA5800");
  EXPECT_EQ(camera.protocol(), Protocol::Eap) << "only a 1 switches";
  EXPECT_EQ(converse(camera, ":WFA5801"), ":WFA5801") << "the whole frame is echoed";
  EXPECT_EQ(camera.protocol(), Protocol::Afp);
  EXPECT_EQ(converse(camera, ":R"), "ZZ");
  EXPECT_EQ(converse(camera, "GFE010102FFT"), "YFE0101025AT");
}

TEST(ProtocolSwitch, AfpFunctionFD01SwitchesToEapOnceTheSetHasCompleted) {
  VirtualCamera camera(profile(Protocol::Afp));
  const auto t0 = camera.now();
  EXPECT_EQ(converse(camera, "SFD0100T"), "R00T");
  camera.advanceTo(t0 + 50ms);
  EXPECT_EQ(output(camera), "X00T");
  EXPECT_EQ(camera.protocol(), Protocol::Afp) << "only a 1 switches";

  EXPECT_EQ(converse(camera, "SFD0101T"), "R10T");
  EXPECT_EQ(camera.protocol(), Protocol::Afp) << "the completion goes out in AFP first";
  EXPECT_EQ(converse(camera, "G3209FFT"), "Y320900T");
  camera.advanceTo(t0 + 100ms);
  EXPECT_EQ(output(camera), "X10T");
  EXPECT_EQ(camera.protocol(), Protocol::Eap);
  EXPECT_EQ(converse(camera, ":R010200"), ":R01025A");
}

TEST(ProtocolSwitch, TheGatewayWritesRegistersThroughTheWriteHooks) {
  VirtualCamera camera(profile(Protocol::Afp));
  std::vector<MemoryWrite> seen;
  camera.onWrite(0x2001, [&](VirtualCamera&, const MemoryWrite& w) { seen.push_back(w); });
  EXPECT_EQ(converse(camera, "SFE022000ABCDT"), "R00T");
  EXPECT_EQ(seen, (std::vector<MemoryWrite>{{0x2001, 0xCD}}));
  // A switch to the protocol it speaks already changes nothing.
  EXPECT_EQ(converse(camera, "SFE01FA5801T"), "R10T");
  EXPECT_EQ(camera.protocol(), Protocol::Afp);
}

class Restart : public ::testing::Test {
 protected:
  // Listens again after the restart time, and not a moment before.
  static void comesBackAfterTheRestartTime(VirtualCamera& camera) {
    const auto down = camera.now();
    EXPECT_TRUE(camera.restarting());
    camera.advanceTo(down + 99ms);
    EXPECT_TRUE(camera.restarting());
    camera.advanceTo(down + 100ms);
    EXPECT_FALSE(camera.restarting());
  }
};

TEST_F(Restart, AnEapResetWithholdsTheLastEchoAndComesBackAtThePendingSpeed) {
  VirtualCamera camera(profile(Protocol::Eap, "9600,N,8,1"));
  EXPECT_EQ(converse(camera, ":WE05EB9"), ":WE05EB9");
  EXPECT_EQ(camera.settings(), (LineSettings{9600, false})) << "pending until the restart";
  EXPECT_EQ(camera.pendingSettings(), (LineSettings{19200, true}));

  EXPECT_EQ(converse(camera, ":WFCAC00"), ":WFCAC0");
  EXPECT_EQ(converse(camera, ":R010200"), "") << "deaf while restarting";
  comesBackAfterTheRestartTime(camera);
  EXPECT_EQ(camera.settings(), (LineSettings{19200, true}));
  EXPECT_FALSE(camera.pendingSettings());
  EXPECT_EQ(converse(camera, ":R010200"), ":R01025A");
  EXPECT_EQ(logLines(camera),
            (std::vector<std::string>{":WE05EB9 -> :WE05EB9", ":WFCAC00 -> :WFCAC0", ":R010200 -> :R01025A"}))
      << "nothing heard while restarting";
}

TEST_F(Restart, ARestartWithoutAPendingSpeedKeepsTheSpeed) {
  VirtualCamera camera(profile(Protocol::Eap, "4800,E,8,1"));
  EXPECT_EQ(converse(camera, ":WE05E12"), ":WE05E12") << "not a speed code";
  EXPECT_FALSE(camera.pendingSettings());
  EXPECT_EQ(converse(camera, ":WFCAC01"), ":WFCAC01") << "only a 0 restarts";
  EXPECT_FALSE(camera.restarting());
  EXPECT_EQ(converse(camera, ":WFCAC00"), ":WFCAC0");
  comesBackAfterTheRestartTime(camera);
  EXPECT_EQ(camera.settings(), (LineSettings{4800, true}));
}

TEST_F(Restart, AnAfpResetAnswersFirstAndNeverCompletes) {
  VirtualCamera camera(profile(Protocol::Afp, "9600,N,8,1"));
  const auto t0 = camera.now();
  EXPECT_EQ(converse(camera, "S018106T"), "R00T");
  EXPECT_EQ(camera.pendingSettings(), (LineSettings{19200, false}));
  camera.advanceTo(t0 + 50ms);
  EXPECT_EQ(output(camera), "X00T");

  EXPECT_EQ(converse(camera, "S010201T"), "R10T");
  EXPECT_FALSE(camera.nextOutputTime()) << "a restarting camera forgets its completions";
  EXPECT_EQ(converse(camera, "G0181FFT"), "");
  comesBackAfterTheRestartTime(camera);
  EXPECT_EQ(output(camera), "");
  EXPECT_EQ(camera.settings(), (LineSettings{19200, false}));
  EXPECT_EQ(camera.protocol(), Protocol::Afp);
  EXPECT_EQ(converse(camera, "G0181FFT"), "Y018106T");
}

TEST_F(Restart, AResetThroughTheGatewayAnswersFirst) {
  VirtualCamera camera(profile(Protocol::Afp, "9600,N,8,1"));
  EXPECT_EQ(converse(camera, "SFE01E05EF1T"), "R00T");
  EXPECT_EQ(camera.pendingSettings(), (LineSettings{9600, false}));
  EXPECT_EQ(converse(camera, "SFE01FCAC00T"), "R10T");
  comesBackAfterTheRestartTime(camera);
}

TEST_F(Restart, AnEapFrameInProgressIsForgotten) {
  VirtualCamera camera(profile(Protocol::Eap));
  EXPECT_EQ(converse(camera, ":W0102"), ":W0102");
  camera.restart();
  comesBackAfterTheRestartTime(camera);
  EXPECT_EQ(converse(camera, "77"), "77");
  EXPECT_EQ(camera.memory().read(0x0102), 0x5A);
}

// A camera whose EEPROM (1000-107F) starts as 00 01 02 ... 7F. That a factory default brings
// back the starting contents, and that the factory-fail fault leaves them spoilt, is what the
// tool's factory reset is tested on (FactoryReset in tests/eeprom, EepromE2e over a pty); here
// the camera's side of the timing, the gateway, a second request and a restart meanwhile.
class FactoryDefault : public ::testing::Test {
 protected:
  static Profile eepromProfile(Protocol protocol) {
    Profile p = profile(protocol);
    p.factoryTime = 400ms;
    p.eepromRange = eeprom::Range{0x1000, 0x1080};
    std::vector<std::uint8_t> bytes(0x80);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
    p.registers.push_back({0x1000, bytes});
    return p;
  }
  static std::uint8_t status(const VirtualCamera& camera) { return camera.memory().read(kFactoryRegister); }
  // Spoils the EEPROM at both ends and a register beside it.
  static void spoil(VirtualCamera& camera) {
    for (const std::uint16_t a : {std::uint16_t{0x1000}, std::uint16_t{0x107F}, std::uint16_t{0x1080}})
      camera.memory().write(a, 0xEE);
  }
};

TEST_F(FactoryDefault, AnEapWriteKeepsTheCameraBusyThenRestoresTheEepromAndSaysDone) {
  VirtualCamera camera(eepromProfile(Protocol::Eap));
  spoil(camera);
  const auto t0 = camera.now();
  EXPECT_EQ(converse(camera, ":WF8D800"), ":WF8D800");
  EXPECT_FALSE(camera.factoryBusy()) << "only a 1 starts it";
  EXPECT_EQ(converse(camera, ":WF8D801"), ":WF8D801");
  EXPECT_EQ(converse(camera, ":RF8D800"), ":RF8D802") << "busy";
  camera.advanceTo(t0 + 399ms);
  EXPECT_EQ(status(camera), kFactoryBusy);
  EXPECT_EQ(camera.memory().read(0x1000), 0xEE) << "nothing restored before the end";
  camera.advanceTo(t0 + 400ms);
  EXPECT_EQ(converse(camera, ":RF8D800"), ":RF8D803");
  EXPECT_EQ(camera.eepromContents(), camera.factoryContents());
  EXPECT_EQ(camera.memory().read(0x1080), 0xEE) << "only the EEPROM range goes back";
  EXPECT_FALSE(camera.nextOutputTime()) << "the camera says nothing of its own accord";
}

TEST_F(FactoryDefault, AnAfpSetCompletesAsAnySetAndTheRegisterTellsTheRest) {
  VirtualCamera camera(eepromProfile(Protocol::Afp));
  spoil(camera);
  const auto t0 = camera.now();
  EXPECT_EQ(converse(camera, "S018A01T"), "R00T");
  EXPECT_EQ(converse(camera, "GFE01F8D8FFT"), "YFE01F8D802T");
  camera.advanceTo(t0 + 50ms);
  EXPECT_EQ(output(camera), "X00T");
  camera.advanceTo(t0 + 400ms);
  EXPECT_EQ(converse(camera, "GFE01F8D8FFT"), "YFE01F8D803T");
  EXPECT_EQ(camera.eepromContents(), camera.factoryContents());

  // Through the gateway, as an EAP write.
  spoil(camera);
  EXPECT_EQ(converse(camera, "SFE01F8D801T"), "R10T");
  EXPECT_EQ(status(camera), kFactoryBusy);
  camera.advanceTo(camera.now() + 400ms);
  EXPECT_EQ(status(camera), kFactoryDone);
  EXPECT_EQ(camera.eepromContents(), camera.factoryContents());
}

TEST_F(FactoryDefault, AskedAgainWhileBusyTheCameraCarriesOnWithTheFirst) {
  VirtualCamera camera(eepromProfile(Protocol::Eap));
  const auto t0 = camera.now();
  converse(camera, ":WF8D801");
  camera.advanceTo(t0 + 300ms);
  converse(camera, ":WF8D801");
  EXPECT_EQ(converse(camera, ":WF8D800:RF8D800"), ":WF8D800:RF8D802") << "the register stays busy";
  camera.advanceTo(t0 + 400ms);
  EXPECT_EQ(status(camera), kFactoryDone);
  EXPECT_FALSE(camera.factoryBusy());
}

TEST_F(FactoryDefault, ARestartDoesNotStopIt) {
  VirtualCamera camera(eepromProfile(Protocol::Eap));
  spoil(camera);
  const auto t0 = camera.now();
  converse(camera, ":WF8D801:WFCAC00");
  EXPECT_TRUE(camera.restarting());
  camera.advanceTo(t0 + 400ms);
  EXPECT_EQ(status(camera), kFactoryDone);
  EXPECT_EQ(camera.eepromContents(), camera.factoryContents());
}

TEST(Indications, GoOutOnlyWhileTheCameraSpeaksAfp) {
  VirtualCamera afp(profile(Protocol::Afp));
  afp.raiseIndication(1, 1);
  afp.raiseIndication(0xA, 2);
  EXPECT_EQ(output(afp), "") << "not before the channel admits them";
  afp.admitIndications();
  const auto sent = afp.takeOutput();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(std::string(sent[0].bytes.begin(), sent[0].bytes.end()), "I11T");
  EXPECT_EQ(std::string(sent[1].bytes.begin(), sent[1].bytes.end()), "IA2T");
  EXPECT_EQ(sent[0].at, afp.now());
  EXPECT_EQ(logLines(afp), (std::vector<std::string>{"camera: I11T", "camera: IA2T"}));

  VirtualCamera eap(profile(Protocol::Eap));
  eap.raiseIndication(1, 1);
  eap.admitIndications();
  EXPECT_EQ(output(eap), "");

  afp.restart();
  afp.raiseIndication(1, 2);
  afp.admitIndications();
  EXPECT_EQ(output(afp), "") << "nor while restarting";
}

TEST(Indications, TheAttentionCallbackHearsOfEachOne) {
  VirtualCamera camera(profile(Protocol::Afp));
  int calls = 0;
  camera.setAttention([&] { ++calls; });
  camera.raiseIndication(1, 1);
  camera.raiseIndication(1, 2);
  EXPECT_EQ(calls, 2);
  camera.setAttention({});
  camera.raiseIndication(1, 1);
  EXPECT_EQ(calls, 2);
}

TEST(CameraFaults, BendWhatTheCameraSendsOfItsOwnAccord) {
  VirtualCamera silent(profile(Protocol::Afp), {Fault{FaultKind::Silent, 0}});
  EXPECT_EQ(converse(silent, "S110102T"), "");
  silent.advanceTo(silent.now() + 1s);
  silent.raiseIndication(1, 1);
  silent.admitIndications();
  EXPECT_EQ(output(silent), "");

  VirtualCamera slow(profile(Protocol::Afp), {Fault{FaultKind::Slow, 30}});
  const auto t0 = slow.now();
  converse(slow, "S110102T");
  slow.advanceTo(t0 + 50ms);
  const auto sent = slow.takeOutput();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].at, t0 + 80ms);

  // A dropped frame is still acted on: its completion comes without its R.
  VirtualCamera drop(profile(Protocol::Afp), {Fault{FaultKind::Drop, 1}});
  EXPECT_EQ(converse(drop, "S110102T"), "");
  drop.advanceTo(drop.now() + 50ms);
  EXPECT_EQ(output(drop), "X00T");
}

}  // namespace
}  // namespace orva::sim
