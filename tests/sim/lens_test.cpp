// The lens of the virtual camera: zoom and focus moving on the camera's time, their limits and
// speeds, the drive register's read-back, and the AFP functions reaching the same storage as
// the registers.
#include "sim/lens.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include <fmt/format.h>

#include "converse.hpp"
#include "core/clock.hpp"
#include "core/text.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/profile.hpp"
#include "sim/virtual_camera.hpp"
#include "tool_side.hpp"

namespace orva::sim {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using testing::converse;

constexpr std::int64_t kTele = kDefaultLensTele;
constexpr auto kWideEnd = static_cast<std::uint16_t>(kWideEndPosition);

Profile profile(Protocol protocol, std::string_view statements = "") {
  auto p = parseProfile(fmt::format("settings 9600,N,8,1\nprotocol {}\n{}", protocol == Protocol::Afp ? "afp" : "eap",
                                    statements));
  EXPECT_TRUE(p) << p.message();
  return p ? *p : Profile{};
}

// Where a run from the wide end has got to after `ms` at a speed whose full travel takes `travel`.
std::uint16_t travelled(std::int64_t ms, std::int64_t travel, std::int64_t span = kTele) {
  return static_cast<std::uint16_t>(ms * span / travel);
}

std::uint16_t stepsAt(std::uint16_t position) {
  return static_cast<std::uint16_t>(kWideEndSteps - position / kPositionsPerStep);
}

void wait(VirtualCamera& camera, milliseconds d) { camera.advanceTo(camera.now() + d); }

// Register access in the camera's protocol: EAP frames, or the AFP register functions.
std::uint16_t readWord(VirtualCamera& camera, std::uint16_t address) {
  const std::string a = fmt::format("{:04X}", address);
  const std::string answer = camera.protocol() == Protocol::Eap ? converse(camera, ":r" + a + "0000")
                                                                : converse(camera, "GFE02" + a + "FFFFT");
  const std::size_t at = camera.protocol() == Protocol::Eap ? 6 : 9;
  auto value = core::parseHex(std::string_view(answer).substr(std::min(at, answer.size()), 4), 4);
  EXPECT_TRUE(value) << answer;
  return static_cast<std::uint16_t>(value.value_or(0));
}

std::uint8_t readByte(VirtualCamera& camera, std::uint16_t address) {
  const std::string a = fmt::format("{:04X}", address);
  const std::string answer = camera.protocol() == Protocol::Eap ? converse(camera, ":R" + a + "00")
                                                                : converse(camera, "GFE01" + a + "FFT");
  const std::size_t at = camera.protocol() == Protocol::Eap ? 6 : 9;
  auto value = core::parseHex(std::string_view(answer).substr(std::min(at, answer.size()), 2), 2);
  EXPECT_TRUE(value) << answer;
  return static_cast<std::uint8_t>(value.value_or(0));
}

void write(VirtualCamera& camera, std::uint16_t address, std::uint8_t value) {
  const std::string body = fmt::format("{:04X}{:02X}", address, value);
  if (camera.protocol() == Protocol::Eap)
    EXPECT_EQ(converse(camera, ":W" + body), ":W" + body);
  else
    EXPECT_EQ(converse(camera, "SFE01" + body + "T").size(), 4u);
}

void writeWord(VirtualCamera& camera, std::uint16_t address, std::uint16_t value) {
  const std::string body = fmt::format("{:04X}{:04X}", address, value);
  if (camera.protocol() == Protocol::Eap)
    EXPECT_EQ(converse(camera, ":w" + body), ":w" + body);
  else
    EXPECT_EQ(converse(camera, "SFE02" + body + "T").size(), 4u);
}

// AFP: a set of "CODE VALUE", and the value digits a get of "CODE FF.." answers with.
void set(VirtualCamera& camera, std::string_view payload) {
  const std::string answer = converse(camera, "S" + std::string(payload) + "T");
  EXPECT_TRUE(answer.size() == 4 && answer[0] == 'R' && answer[2] == '0') << payload << " -> " << answer;
}

std::string get(VirtualCamera& camera, std::string_view payload) {
  const std::string answer = converse(camera, "G" + std::string(payload) + "T");
  if (answer.size() < 6 || answer.front() != 'Y' || answer.back() != 'T') return "bad answer " + answer;
  return answer.substr(5, answer.size() - 6);
}

bool zoomMoving(VirtualCamera& camera) { return (readByte(camera, kLensStatusRegister) & kZoomMovingBit) != 0; }

TEST(LensZoom, DrivesTowardTeleAtTheSpeedOfTheSpeedRegister) {
  struct Case {
    std::uint8_t speed;
    std::uint8_t slowLevel;
    std::int64_t travel;  // ms for the whole way
  };
  for (const Case c : {Case{0x00, 0, 3900}, Case{0xF3, 0, 3900}, Case{0x08, 0, 6000}, Case{0x04, 0, 6000},
                       Case{0x0C, 0, 15000}, Case{0x0C, 2, 21000}, Case{0x0D, 15, 60000}}) {
    SCOPED_TRACE(fmt::format("speed {:02X}, level {}", c.speed, c.slowLevel));
    VirtualCamera camera(profile(Protocol::Eap));
    write(camera, kZoomSpeedRegister, c.speed);
    write(camera, kSlowLevelRegister, c.slowLevel);
    write(camera, kLensDriveRegister, kDriveTele);
    EXPECT_TRUE(zoomMoving(camera));
    wait(camera, 1000ms);
    const std::uint16_t at = travelled(1000, c.travel);
    EXPECT_EQ(readWord(camera, kZoomPositionRegister), at);
    EXPECT_EQ(readWord(camera, kZoomPositionWideRegister), at);
    EXPECT_EQ(readWord(camera, kZoomStepsRegister), stepsAt(at)) << "the steps count down toward tele";
    EXPECT_EQ(readByte(camera, kLensDriveRegister), kDriveTele) << "the drive reads back while it runs";
    EXPECT_TRUE(zoomMoving(camera));
    wait(camera, 500ms);
    EXPECT_EQ(readWord(camera, kZoomPositionRegister), travelled(1500, c.travel));
  }
}

TEST(LensZoom, StopsAtEachEndWithTheMovingBitClearAndTheDriveReadingStop) {
  VirtualCamera camera(profile(Protocol::Eap, "F751: 41\n"));
  const std::uint16_t wideLimit = readWord(camera, kWideLimitRegister);
  const std::uint16_t teleLimit = readWord(camera, kTeleLimitRegister);
  EXPECT_EQ(wideLimit, 0x0400);
  EXPECT_EQ(teleLimit, 0xE156) << "below zero, and still at E000 or above";
  EXPECT_EQ(readWord(camera, kZoomStepsRegister), wideLimit);

  write(camera, kLensDriveRegister, kDriveTele);
  EXPECT_EQ(readByte(camera, kLensStatusRegister), 0x61) << "bit 5 only";
  wait(camera, 3899ms);
  EXPECT_TRUE(zoomMoving(camera));
  wait(camera, 1ms);
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), kTele);
  EXPECT_EQ(readByte(camera, kLensStatusRegister), 0x41);
  EXPECT_EQ(readByte(camera, kLensDriveRegister), kDriveStop);
  EXPECT_EQ(readWord(camera, kZoomStepsRegister), teleLimit) << "at the tele end the steps equal the limit";
  wait(camera, 5s);
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), kTele);

  write(camera, kLensDriveRegister, kDriveTele);
  EXPECT_EQ(readByte(camera, kLensDriveRegister), kDriveStop) << "a drive past its end ends at once";
  EXPECT_FALSE(zoomMoving(camera));

  write(camera, kLensDriveRegister, kDriveWide);
  EXPECT_EQ(readByte(camera, kLensDriveRegister), kDriveWide);
  wait(camera, 1000ms);
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), kTele - travelled(1000, 3900));
  wait(camera, 10s);
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), kWideEnd) << "the wide end's negative form";
  EXPECT_EQ(readWord(camera, kZoomStepsRegister), wideLimit);
  EXPECT_EQ(readByte(camera, kLensDriveRegister), kDriveStop);
}

TEST(LensZoom, StopHoldsThePositionAndASpeedChangeTakesEffectFromItsWrite) {
  VirtualCamera camera(profile(Protocol::Eap));
  write(camera, kLensDriveRegister, kDriveTele);
  wait(camera, 1000ms);
  write(camera, kZoomSpeedRegister, 0x08);
  wait(camera, 1000ms);
  const std::uint16_t at = static_cast<std::uint16_t>(travelled(1000, 3900) + travelled(1000, 6000));
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), at);

  write(camera, kLensDriveRegister, kDriveStop);
  EXPECT_FALSE(zoomMoving(camera));
  wait(camera, 2s);
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), at);
  EXPECT_EQ(readByte(camera, kLensDriveRegister), kDriveStop);
}

TEST(LensZoom, ANewCommandEndsTheDriveInProgress) {
  VirtualCamera camera(profile(Protocol::Eap));
  write(camera, kLensDriveRegister, kDriveTele);
  wait(camera, 500ms);
  write(camera, kLensDriveRegister, kDriveNear);
  EXPECT_FALSE(zoomMoving(camera));
  EXPECT_EQ(readByte(camera, kLensDriveRegister), kDriveNear);
  wait(camera, 500ms);
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), travelled(500, 3900));
  EXPECT_EQ(readWord(camera, kFocusPositionRegister), travelled(500, 3000, kFocusNearEnd - kFocusFarEnd));

  write(camera, kLensDriveRegister, 0x12);
  EXPECT_EQ(readByte(camera, kLensDriveRegister), kDriveStop) << "no lens command: the lens stops";
  wait(camera, 500ms);
  EXPECT_EQ(readWord(camera, kFocusPositionRegister), travelled(500, 3000, kFocusNearEnd - kFocusFarEnd));
}

// Go to magnification: the target is the wide limit less an offset, read as negative from
// E000 up; the lens stops at a temporary limit written there.
TEST(LensZoom, StopsAtATemporaryLimitInMotorSteps) {
  VirtualCamera camera(profile(Protocol::Eap));
  const std::uint16_t wideLimit = readWord(camera, kWideLimitRegister);
  const std::uint16_t teleLimit = readWord(camera, kTeleLimitRegister);

  const auto target = static_cast<std::uint16_t>(wideLimit - 0x0D07);
  EXPECT_EQ(target, 0xF6F9);
  writeWord(camera, kTeleLimitRegister, target);
  write(camera, kLensDriveRegister, kDriveTele);
  wait(camera, 10s);
  EXPECT_EQ(readWord(camera, kZoomStepsRegister), target);
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), 0x0D07 * kPositionsPerStep);
  EXPECT_FALSE(zoomMoving(camera));
  writeWord(camera, kTeleLimitRegister, teleLimit);

  const auto back = static_cast<std::uint16_t>(wideLimit - 0x0400);
  writeWord(camera, kWideLimitRegister, back);
  write(camera, kLensDriveRegister, kDriveWide);
  wait(camera, 10s);
  EXPECT_EQ(readWord(camera, kZoomStepsRegister), back);
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), 0x0400 * kPositionsPerStep);
  writeWord(camera, kWideLimitRegister, wideLimit);

  // A limit the lens is already past stops it where it is, never back.
  write(camera, kLensDriveRegister, kDriveTele);
  wait(camera, 100ms);
  const std::uint16_t reached = readWord(camera, kZoomPositionRegister);
  writeWord(camera, kTeleLimitRegister, wideLimit);
  EXPECT_FALSE(zoomMoving(camera));
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), reached);

  // A limit past the lens's end is that end.
  writeWord(camera, kTeleLimitRegister, 0xE000);
  write(camera, kLensDriveRegister, kDriveTele);
  wait(camera, 10s);
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), kTele);
}

TEST(LensZoom, AfpDrivesTheSameLensAndReadsItsPositionCappedAt25600) {
  VirtualCamera camera(profile(Protocol::Afp, "FDFC: F9\n"));
  EXPECT_EQ(get(camera, "1108FF"), "11");
  set(camera, "110812");
  EXPECT_EQ(readByte(camera, kZoomSpeedRegister), 0xF1) << "bits 2-3 only";
  EXPECT_EQ(get(camera, "1107FF"), "01");

  set(camera, "110702");
  EXPECT_EQ(get(camera, "1107FF"), "02");
  EXPECT_EQ(readByte(camera, kLensDriveRegister), kDriveTele);
  wait(camera, 1000ms);
  EXPECT_EQ(get(camera, "1109FFFF"), fmt::format("{:04X}", travelled(1000, 3900)));
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), travelled(1000, 3900));
  wait(camera, 10s);
  EXPECT_EQ(get(camera, "1109FFFF"), "6400");
  EXPECT_EQ(readWord(camera, kZoomPositionWideRegister), kTele);
  EXPECT_EQ(get(camera, "1107FF"), "01") << "stopped at the end";

  set(camera, "110703");
  EXPECT_EQ(get(camera, "1107FF"), "03");
  wait(camera, 1000ms);
  set(camera, "110701");
  EXPECT_EQ(get(camera, "1107FF"), "01");
  EXPECT_EQ(readByte(camera, kLensDriveRegister), kDriveStop);
  const std::string held = get(camera, "1109FFFF");
  EXPECT_EQ(held, fmt::format("{:04X}", kTele - travelled(1000, 3900)));
  wait(camera, 1000ms);
  EXPECT_EQ(get(camera, "1109FFFF"), held);

  // Speeds: 18 high, 17 normal, 16 - level slow.
  set(camera, "11080D");
  EXPECT_EQ(readByte(camera, kZoomSpeedRegister), 0xFD);
  EXPECT_EQ(readByte(camera, kSlowLevelRegister), 3);
  EXPECT_EQ(get(camera, "1108FF"), "0D");
  set(camera, "110811");
  EXPECT_EQ(readByte(camera, kZoomSpeedRegister), 0xF9);
  EXPECT_EQ(get(camera, "1108FF"), "11");
  set(camera, "110813");
  EXPECT_EQ(get(camera, "1108FF"), "11") << "no such speed";
}

TEST(LensFocus, NearAndFarMoveTheFocusToItsEnds) {
  VirtualCamera camera(profile(Protocol::Eap));
  constexpr std::int64_t kSpan = kFocusNearEnd - kFocusFarEnd;
  write(camera, kLensDriveRegister, kDriveNear);
  wait(camera, 1000ms);
  EXPECT_EQ(readWord(camera, kFocusPositionRegister), travelled(1000, 3000, kSpan));
  EXPECT_EQ(readByte(camera, kLensDriveRegister), kDriveNear);
  EXPECT_FALSE(zoomMoving(camera)) << "the moving bit is the zoom's";
  wait(camera, 3s);
  EXPECT_EQ(readWord(camera, kFocusPositionRegister), kFocusNearEnd);
  EXPECT_EQ(readByte(camera, kLensDriveRegister), kDriveStop);
  write(camera, kLensDriveRegister, kDriveFar);
  wait(camera, 4s);
  EXPECT_EQ(readWord(camera, kFocusPositionRegister), static_cast<std::uint16_t>(kFocusFarEnd));
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), 0) << "the zoom stayed";

  // The adjustment mode steps the motor itself; a drive goes on from there.
  writeWord(camera, kFocusPositionRegister, 0x0123);
  EXPECT_EQ(readWord(camera, kFocusPositionRegister), 0x0123);
  write(camera, kLensDriveRegister, kDriveNear);
  wait(camera, 300ms);
  EXPECT_EQ(readWord(camera, kFocusPositionRegister), 0x0123 + travelled(300, 3000, kSpan));

  write(camera, kLensDriveRegister, kOnePushAf);
  EXPECT_EQ(readWord(camera, kFocusPositionRegister), static_cast<std::uint16_t>(kFocusInFocus));
  EXPECT_EQ(readByte(camera, kLensDriveRegister), kDriveStop);
}

TEST(LensFocus, TheFocusDriveFunctionMovesTheSameFocus) {
  VirtualCamera camera(profile(Protocol::Afp));
  set(camera, "110203");
  EXPECT_EQ(get(camera, "1102FF"), "03");
  EXPECT_EQ(readByte(camera, kLensDriveRegister), kDriveNear);
  wait(camera, 600ms);
  set(camera, "110202");
  EXPECT_EQ(get(camera, "1102FF"), "02");
  wait(camera, 600ms);
  set(camera, "110201");
  EXPECT_EQ(get(camera, "1102FF"), "01");
  EXPECT_EQ(readWord(camera, kFocusPositionRegister), 0) << "as far back as it went";
  // A focus key's release stops with the zoom drive function.
  set(camera, "110203");
  set(camera, "110701");
  EXPECT_EQ(get(camera, "1102FF"), "01");
}

TEST(LensFocus, FocusModeAndZoomCueToggleAndBothProtocolsAgree) {
  VirtualCamera eap(profile(Protocol::Eap, "FF0E: 31\n"));
  write(eap, kLensDriveRegister, kToggleFocusMode);
  EXPECT_EQ(readByte(eap, kFocusModeRegister), 0x39);
  EXPECT_EQ(readByte(eap, kLensDriveRegister), kDriveStop) << "a toggle is no drive";
  write(eap, kLensDriveRegister, kToggleFocusMode);
  EXPECT_EQ(readByte(eap, kFocusModeRegister), 0x31);
  write(eap, kLensDriveRegister, kToggleZoomCue);
  EXPECT_EQ(readByte(eap, kZoomCueRegister), 0x01);
  write(eap, kLensDriveRegister, kToggleZoomCue);
  EXPECT_EQ(readByte(eap, kZoomCueRegister), 0x00);

  VirtualCamera afp(profile(Protocol::Afp, "FF0E: 31\n"));
  EXPECT_EQ(get(afp, "1101FF"), "01") << "auto";
  write(afp, kLensDriveRegister, kToggleFocusMode);  // through the register function, as EAP does
  EXPECT_EQ(get(afp, "1101FF"), "02");
  set(afp, "110101");
  EXPECT_EQ(readByte(afp, kFocusModeRegister), 0x31);
  set(afp, "110102");
  EXPECT_EQ(readByte(afp, kFocusModeRegister), 0x39);
  set(afp, "110107");
  EXPECT_EQ(get(afp, "1101FF"), "02") << "no such mode";
}

// With continuous digital zoom on the zoom goes on past the optical tele end, where the
// positions stand and FC91 leaves FF; back toward wide it leaves the digital range first.
TEST(LensDigitalZoom, PastTheOpticalTeleEndTheZoomGoesOnDigitallyWhileItIsOn) {
  for (const Protocol protocol : {Protocol::Eap, Protocol::Afp}) {
    SCOPED_TRACE(protocol == Protocol::Afp ? "AFP" : "EAP");
    VirtualCamera camera(profile(protocol, "FCCB: 01\n"));
    const std::uint16_t wideLimit = readWord(camera, kWideLimitRegister);
    write(camera, kLensDriveRegister, kDriveTele);
    wait(camera, 3900ms);
    EXPECT_EQ(readWord(camera, kZoomPositionRegister), kTele);
    EXPECT_EQ(readByte(camera, kDigitalActiveRegister), kDigitalIdle) << "at the optical tele end";
    EXPECT_TRUE(zoomMoving(camera));
    wait(camera, 500ms);
    const std::uint8_t level = readByte(camera, kDigitalActiveRegister);
    EXPECT_LT(level, kDigitalIdle);
    EXPECT_EQ(readWord(camera, kZoomPositionRegister), kTele) << "the optical position stands";
    if (protocol == Protocol::Afp) {
      EXPECT_EQ(get(camera, "1109FFFF"), "6400");
    }
    wait(camera, 1s);
    EXPECT_EQ(readByte(camera, kDigitalActiveRegister), kDigitalIdle - 1) << "the digital range's end";
    EXPECT_FALSE(zoomMoving(camera));

    write(camera, kLensDriveRegister, kDriveWide);
    wait(camera, 300ms);
    EXPECT_LT(readByte(camera, kDigitalActiveRegister), kDigitalIdle - 1);
    EXPECT_EQ(readWord(camera, kZoomPositionRegister), kTele) << "the digital range is left first";
    wait(camera, 10s);
    EXPECT_EQ(readByte(camera, kDigitalActiveRegister), kDigitalIdle);
    EXPECT_EQ(readWord(camera, kZoomPositionRegister), kWideEnd);
    EXPECT_EQ(readWord(camera, kZoomStepsRegister), wideLimit);
    if (protocol == Protocol::Afp) {
      EXPECT_EQ(get(camera, "1109FFFF"), "FFF0") << "no tele position: not capped";
    }

    // Switched off in the digital range, the zoom is back at the optical tele end.
    write(camera, kLensDriveRegister, kDriveTele);
    wait(camera, 5s);
    EXPECT_LT(readByte(camera, kDigitalActiveRegister), kDigitalIdle);
    write(camera, 0xFCCB, 0x00);
    EXPECT_EQ(readByte(camera, kDigitalActiveRegister), kDigitalIdle);
    write(camera, kLensDriveRegister, kDriveWide);
    wait(camera, 100ms);
    EXPECT_LT(readWord(camera, kZoomPositionRegister), kTele) << "wide moves the optical zoom at once";
  }
}

TEST(LensProfile, TheTeleEndAndTheStartingPlaceComeFromTheProfile) {
  VirtualCamera camera(profile(Protocol::Eap, "lens 4000\nF850: 12 34\nF712: FF 00\n"));
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), 0x1234);
  EXPECT_EQ(readWord(camera, kZoomStepsRegister), stepsAt(0x1234));
  EXPECT_EQ(readWord(camera, kTeleLimitRegister), stepsAt(0x4000));
  EXPECT_EQ(readWord(camera, kFocusPositionRegister), 0xFF00);
  write(camera, kLensDriveRegister, kDriveTele);
  wait(camera, 10s);
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), 0x4000);

  VirtualCamera highest(profile(Protocol::Eap, "lens 6C00\nF720: 80 10\n"));
  EXPECT_EQ(readWord(highest, kTeleLimitRegister), 0xE000);
  EXPECT_EQ(readWord(highest, kZoomPositionRegister), kWideEnd) << "a negative form starts at the wide end";

  for (const auto& [text, error] : {std::pair{"lens 0FFF", "line 1: lens 0FFF is outside 1000 to 6C00"},
                                    std::pair{"lens 6C01", "line 1: lens 6C01 is outside 1000 to 6C00"},
                                    std::pair{"lens", "line 1: lens \"\" is not a hex number of up to four digits"},
                                    std::pair{"lens 4000\nlens 4000", "line 2: the lens is given a second time"}}) {
    auto parsed = parseProfile(text);
    ASSERT_FALSE(parsed) << text;
    EXPECT_EQ(parsed.message(), error);
  }
}

TEST(LensWordRead, AWordReadShowsThePositionAsItStoodAtItsFirstDigit) {
  VirtualCamera camera(profile(Protocol::Eap));
  write(camera, kLensDriveRegister, kDriveTele);
  wait(camera, 37ms);
  ASSERT_EQ(travelled(37, 3900), 0x00FC);
  std::string answer = converse(camera, ":rF720" "0");
  wait(camera, 3ms);  // the position is 0111 by now
  answer += converse(camera, "000");
  EXPECT_EQ(answer, ":rF72000FC");
}

TEST(LensInProcess, TheLensMovesOnTheToolsClock) {
  core::FakeClock clock(1ms);
  VirtualCamera camera(profile(Protocol::Eap));
  InProcessChannel channel(camera, clock, false);
  ASSERT_TRUE(channel.open({9600, false}));
  EXPECT_EQ(testing::exchangeEach(channel, clock, ":WFCBB99"), ":WFCBB99");
  clock.advance(1000ms);
  EXPECT_EQ(testing::exchangeEach(channel, clock, ":rF7200000"), fmt::format(":rF720{:04X}", travelled(1000, 3900)));
  clock.advance(10s);
  EXPECT_EQ(testing::exchangeEach(channel, clock, ":RF75100"), ":RF75100");
  EXPECT_EQ(testing::exchangeEach(channel, clock, ":RFCBB00"), ":RFCBBFE");
}

}  // namespace
}  // namespace orva::sim
