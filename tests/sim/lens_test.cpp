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
#include "core/text.hpp"
#include "sim/profile.hpp"
#include "sim/virtual_camera.hpp"

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

// A temporary limit stops the lens where go to magnification wants it (its tests see the lens
// stop there); here the two edges a run cannot reach.
TEST(LensZoom, ATemporaryLimitAlreadyPassedStopsTheLensWhereItIsAndOnePastTheEndIsTheEnd) {
  VirtualCamera camera(profile(Protocol::Eap));
  const std::uint16_t wideLimit = readWord(camera, kWideLimitRegister);
  write(camera, kLensDriveRegister, kDriveTele);
  wait(camera, 100ms);
  const std::uint16_t reached = readWord(camera, kZoomPositionRegister);
  writeWord(camera, kTeleLimitRegister, wideLimit);
  EXPECT_FALSE(zoomMoving(camera));
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), reached) << "never back";

  writeWord(camera, kTeleLimitRegister, 0xE000);
  write(camera, kLensDriveRegister, kDriveTele);
  wait(camera, 10s);
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), kTele);
}

// The zoom panels drive the lens through 1107 and 1108 and follow 1109 in AFP (their tests);
// here what they cannot tell apart, since the tool caps the position too: the camera caps it
// at 25600 while the register goes on, the drive reads back until the lens stops at its end,
// and a speed the camera has no value for changes nothing.
TEST(LensZoom, AfpReadsTheDriveBackCapsThePositionAt25600AndRefusesUnknownSpeeds) {
  VirtualCamera camera(profile(Protocol::Afp, "FDFC: F9\n"));
  set(camera, "110702");
  EXPECT_EQ(get(camera, "1107FF"), "02");
  wait(camera, 10s);
  EXPECT_EQ(get(camera, "1109FFFF"), "6400");
  EXPECT_EQ(readWord(camera, kZoomPositionWideRegister), kTele);
  EXPECT_EQ(get(camera, "1107FF"), "01") << "stopped at the end";
  set(camera, "11080D");
  EXPECT_EQ(readByte(camera, kZoomSpeedRegister), 0xFD);
  EXPECT_EQ(readByte(camera, kSlowLevelRegister), 3) << "16 less the level";
  set(camera, "110813");
  EXPECT_EQ(get(camera, "1108FF"), "0D") << "no such speed";
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

// Past the optical tele end the zoom goes on digitally; the zoom panel's DIGI. test follows it
// there and back in both protocols. Here what it cannot see: the digital range's end stops the
// drive, and switching digital zoom off there leaves the zoom at the optical tele end.
TEST(LensDigitalZoom, TheDigitalRangesEndStopsTheDriveAndSwitchingItOffLeavesTheOpticalEnd) {
  VirtualCamera camera(profile(Protocol::Eap, "FCCB: 01\n"));
  write(camera, kLensDriveRegister, kDriveTele);
  wait(camera, 3900ms);
  EXPECT_EQ(readByte(camera, kDigitalActiveRegister), kDigitalIdle) << "at the optical tele end";
  wait(camera, 1500ms);
  EXPECT_EQ(readByte(camera, kDigitalActiveRegister), kDigitalIdle - 1) << "the digital range's end";
  EXPECT_FALSE(zoomMoving(camera));
  EXPECT_EQ(readWord(camera, kZoomPositionRegister), kTele) << "the optical position stands";

  write(camera, 0xFCCB, 0x00);
  EXPECT_EQ(readByte(camera, kDigitalActiveRegister), kDigitalIdle);
  write(camera, kLensDriveRegister, kDriveWide);
  wait(camera, 100ms);
  EXPECT_LT(readWord(camera, kZoomPositionRegister), kTele) << "wide moves the optical zoom at once";
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

}  // namespace
}  // namespace orva::sim
