// Go to magnification against the virtual camera's lens: the lens stops at the temporary
// limit of the wanted magnification, the limits and the speed go back afterwards, and a
// failure or a stop on the way still stops the lens and puts them back.
#include "panels/lens/go_to_magnification.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "panels/lens/lens_panel_bench.hpp"
#include "panels/lens/lens_readout.hpp"
#include "panels/lens/lens_texts.hpp"
#include "panels/panel_bench.hpp"

namespace orva::panels::lens {
namespace {

using testing::Bench;
using testing::faults;
using testing::byte;
using testing::name;
using testing::word;
using P = link::Protocol;
namespace T = texts;

struct Limits {
  std::uint16_t wide, tele;
  std::uint8_t speed;
  friend bool operator==(const Limits&, const Limits&) = default;
};
Limits limits(Bench& b) {
  return {word(b, kWideLimitRegister), word(b, kTeleLimitRegister), byte(b, kZoomSpeedRegister)};
}

// The run's own lines in the log, in order, without the traffic around them.
std::vector<std::string> runLines(const Bench& b) {
  std::vector<std::string> out;
  const std::string& log = b.monitor.log();
  std::size_t at = 0;
  while ((at = log.find('\n', at)) != std::string::npos) {
    const std::size_t end = log.find('\n', at + 1);
    const std::string line = log.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
    for (std::string_view text : {T::kGoToZoom, T::kIncorrectRatio, T::kGoToTele, T::kGoToWide, T::kFinishZoom})
      if (line.rfind(text, 0) == 0) out.emplace_back(text);
    at += 1;
  }
  return out;
}

Outcome run(Bench& b, int lensIndex, int magnification, std::uint8_t speedBits = 0, std::stop_token stop = {}) {
  return goToMagnification(b.access, b.monitor, b.clock, stop, {lensIndex, magnification, speedBits});
}

TEST(GoToMagnification, StopsTheLensAtTheWantedMagnificationAndPutsEverythingBack) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Bench b(protocol, "FDFC: 08\n");
    const Limits before = limits(b);
    b.monitor.clear();
    const auto from = b.mark();
    EXPECT_EQ(run(b, 1, 4), Outcome::Done);
    // x4 of lens 1 lies 0x1613 motor steps from the wide end, towards tele.
    const auto target = static_cast<std::uint16_t>(before.wide - 0x1613);
    EXPECT_EQ(word(b, kLensPositionRegister), target);
    EXPECT_EQ(lens::zoomStep(1, word(b, 0xF720)) + 1, 4) << "the step list agrees with the go-to table";
    EXPECT_EQ(limits(b), before);
    EXPECT_EQ(byte(b, kContinuousZoomRegister), 0) << "continuous digital zoom stays off";
    EXPECT_EQ(drives(b, from), (protocol == P::Eap ? std::vector<std::string>{"99", "FE"}
                                                   : std::vector<std::string>{"02", "01"}));
    EXPECT_EQ(runLines(b), (std::vector<std::string>{std::string(T::kGoToZoom), std::string(T::kGoToTele),
                                                     std::string(T::kFinishZoom)}));
    EXPECT_EQ(b.monitor.beeps(), 1);
  }
}

TEST(GoToMagnification, DrivesWideToATargetAboveThePositionWithTheWantedSpeedMeanwhile) {
  // The lens starts well towards tele, within the 5 s the run waits at normal speed.
  Bench b(P::Eap, "FDFC: 01\nF850: 50 00\n");
  std::vector<std::uint8_t> speeds;
  b.camera.onWrite(kZoomSpeedRegister, [&speeds](sim::VirtualCamera&, const sim::MemoryWrite& w) {
    speeds.push_back(static_cast<std::uint8_t>(w.value));
  });
  const Limits before = limits(b);
  b.monitor.clear();
  EXPECT_EQ(run(b, 4, 2, 0x04), Outcome::Done);
  EXPECT_EQ(word(b, kLensPositionRegister), static_cast<std::uint16_t>(before.wide - 0x0536));
  EXPECT_EQ(speeds, (std::vector<std::uint8_t>{0x05, 0x01})) << "normal speed for the run, then back";
  EXPECT_EQ(limits(b), before);
  EXPECT_EQ(runLines(b), (std::vector<std::string>{std::string(T::kGoToZoom), std::string(T::kGoToWide),
                                                   std::string(T::kFinishZoom)}));
}

TEST(GoToMagnification, ALensWithoutATableGoesToTheWideEndAndSaysSo) {
  Bench b(P::Eap, "F850: 30 00\n");
  b.monitor.clear();
  const auto from = b.mark();
  EXPECT_EQ(run(b, 19, 10), Outcome::Done);
  EXPECT_EQ(word(b, 0xF720), 0xFFF0) << "the wide end, in its negative form";
  EXPECT_EQ(drives(b, from), (std::vector<std::string>{"9B", "FE"}));
  EXPECT_EQ(runLines(b), (std::vector<std::string>{std::string(T::kGoToZoom), std::string(T::kIncorrectRatio),
                                                   std::string(T::kFinishZoom)}));
  EXPECT_NE(b.monitor.pc().find("\r\n+++ incorrect ratio ! -> to WIDE +++"), std::string::npos);
}

TEST(GoToMagnification, AFailedStepStillStopsTheLensAndPutsTheLimitsAndSpeedBack) {
  // Which frame fails: found on a run that goes through.
  Bench reference(P::Eap, "FDFC: 08\n");
  ASSERT_EQ(run(reference, 1, 4), Outcome::Done);
  const auto heard = reference.heardSince(0);
  const auto at = [&heard](std::string_view prefix) {
    const auto it = std::find_if(heard.begin(), heard.end(), [prefix](const std::string& f) { return f.rfind(prefix, 0) == 0; });
    return static_cast<std::uint32_t>(it - heard.begin()) + 1;
  };
  struct Case {
    std::string_view what;
    std::uint32_t frame;
  };
  const Case cases[] = {
      {"the temporary tele limit", at(":wF71E")},
      {"the drive", at(":WFCBB99")},
      {"the first look at the moving bit", at(":WFCBB99") + 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_GT(c.frame, 3u);
    Bench b(P::Eap, "FDFC: 08\n", faults({"drop:" + std::to_string(c.frame)}));
    const Limits before = limits(b);
    EXPECT_EQ(run(b, 1, 4), Outcome::Error);
    EXPECT_EQ(limits(b), before);
    const auto driven = drives(b, 0);
    if (!driven.empty()) {
      EXPECT_EQ(driven.back(), "FE") << "the lens is not left driving";
    }
    EXPECT_EQ(b.monitor.log().find(T::kFinishZoom), std::string::npos);
  }
}

TEST(GoToMagnification, AStopRequestedWhileTheLensMovesStopsItAndPutsTheLimitsBack) {
  Bench b(P::Eap, "FDFC: 08\n");
  const Limits before = limits(b);
  std::stop_source stop;
  b.camera.onWrite(0xFCBB, [&stop](sim::VirtualCamera&, const sim::MemoryWrite& w) {
    if (w.value == 0x99) stop.request_stop();
  });
  EXPECT_EQ(run(b, 1, 4, 0, stop.get_token()), Outcome::Stopped);
  EXPECT_EQ(drives(b, 0), (std::vector<std::string>{"99", "FE"}));
  EXPECT_EQ(limits(b), before);
  EXPECT_EQ(byte(b, 0xF751) & kZoomMovingBit, 0);
}

}  // namespace
}  // namespace orva::panels::lens
