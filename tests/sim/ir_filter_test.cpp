// The IR cut filter and PL filter moving on the camera's time, the IR light coding and the IR
// direction notification.
#include "sim/ir_filter.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "converse.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

using namespace std::chrono_literals;
using testing::afpFrame;
using testing::eapFrame;

std::string readByte(VirtualCamera& cam, std::uint16_t address) {
  return eapFrame(cam, fmt::format(":R{:04X}00", address)).substr(6);
}

TEST(IrCutFilter, ReachesItsNewPositionAMoveTimeLaterUnlessStuck) {
  struct Case {
    const char* command;  // in the protocol it is written in
    const char* from;     // FFE7 before
    const char* to;       // FFE7 after the move time
  };
  const Case cases[] = {
      {":WFFE6C0", "00", "01"}, {":WFFE680", "01", "00"}, {":WFFE600", "01", "01"},  // 00 releases
      {"S220201T", "00", "01"}, {"S220202T", "01", "00"}, {"S220203T", "01", "01"},  // 3 moves nothing
      {"SFE01FFE6C0T", "00", "01"},
  };
  for (const bool stuck : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(fmt::format("{}{}", c.command, stuck ? ", stuck" : ""));
      VirtualCamera cam{Profile{}, stuck ? std::vector{Fault{FaultKind::IrcfStuck, 0}} : std::vector<Fault>{}};
      eapFrame(cam, fmt::format(":WFFE7{}", c.from));
      if (c.command[0] == ':')
        eapFrame(cam, c.command);
      else
        afpFrame(cam, c.command);
      // Read in the protocol the command went in: a switch to EAP takes camera time.
      const auto position = [&] {
        if (cam.protocol() == Protocol::Afp) return afpFrame(cam, "G2201FFT").substr(5, 2);
        return readByte(cam, kFilterPositionRegister);
      };
      const auto sent = cam.now();
      cam.advanceTo(sent + kFilterMoveTime - 1ms);
      EXPECT_EQ(position(), c.from) << "still moving";
      cam.advanceTo(sent + kFilterMoveTime);
      EXPECT_EQ(position(), stuck ? c.from : c.to);
    }
  }
}

TEST(PlFilter, TheStatusFollowsAManualChoiceAMoveTimeLater) {
  const char* const cases[][2] = {{"01", "01"}, {"02", "02"}, {"00", "03"}, {"03", "03"}};  // FFEE, FFEF after
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0]);
    VirtualCamera cam{Profile{}};
    eapFrame(cam, ":WFFEF03");
    eapFrame(cam, fmt::format(":WFFEE{}", c[0]));
    EXPECT_EQ(readByte(cam, kPlFilterStatusRegister), "03");
    cam.advanceTo(cam.now() + kFilterMoveTime);
    EXPECT_EQ(readByte(cam, kPlFilterStatusRegister), c[1]);
  }
}

TEST(IrLight, AfpNumbersTheLightsAndKeepsTheCamerasFixedBit) {
  struct Case {
    std::uint8_t held;  // F8A4 before
    unsigned set;       // 2205; 0: none
    const char* after;  // F8A4
    const char* get;    // 2205
  };
  const Case cases[] = {
      {0x00, 0, "00", "01"}, {0x20, 0, "20", "01"}, {0xE0, 0, "E0", "01"}, {0x02, 0, "02", "02"},
      {0xC1, 0, "C1", "02"}, {0xE1, 0, "E1", "02"}, {0x03, 0, "03", "03"}, {0xC2, 0, "C2", "03"},
      {0xE2, 0, "E2", "03"}, {0x44, 0, "44", "01"}, {0xC0, 0, "C0", "01"},
      {0x00, 2, "C1", "02"}, {0x20, 3, "E2", "03"}, {0xE1, 1, "20", "01"}, {0xC2, 4, "C2", "03"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(fmt::format("F8A4 {:02X}, set {}", c.held, c.set));
    VirtualCamera cam{Profile{}};
    eapFrame(cam, fmt::format(":WF8A4{:02X}", c.held));
    if (c.set != 0) afpFrame(cam, fmt::format("S2205{:02X}T", c.set));
    EXPECT_EQ(readByte(cam, kIrLightRegister), c.after);
    EXPECT_EQ(afpFrame(cam, "G2205FFT"), fmt::format("Y2205{}T", c.get));
  }
}

TEST(IrNotification, BothChangeRequestsGoOutWhileNotifyIsOnAndNoneWhileOff) {
  Profile p;
  p.protocol = Protocol::Afp;
  VirtualCamera cam{p};
  const auto sent = [&] {
    cam.admitIndications();
    std::string out;
    for (const auto& o : cam.takeOutput())
      if (o.bytes.front() == 'I') out.append(o.bytes.begin(), o.bytes.end());
    return out;
  };
  EXPECT_EQ(afpFrame(cam, "G2207FFT"), "Y220702T") << "notify from the start";
  cam.raiseIndication(kIrFilterIndication, 1);
  cam.raiseIndication(kIrFilterIndication, 2);
  EXPECT_EQ(sent(), "I11TI12T");
  afpFrame(cam, "S220701T");
  EXPECT_EQ(afpFrame(cam, "G2207FFT"), "Y220701T");
  cam.raiseIndication(kIrFilterIndication, 2);
  cam.raiseIndication(0xA, 1);
  EXPECT_EQ(sent(), "IA1T") << "only the change requests are held back";
  afpFrame(cam, "S220702T");
  cam.raiseIndication(kIrFilterIndication, 2);
  EXPECT_EQ(sent(), "I12T");
}

}  // namespace
}  // namespace orva::sim
