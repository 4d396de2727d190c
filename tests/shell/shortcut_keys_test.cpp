// The zoom and focus shortcut keys against the virtual camera: one start per press, one stop
// per release of the held drive (its own stop in AFP), nothing for repeats or other keys, and
// nothing at all while the port is closed.
#include "shell/shortcut_keys.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "panels/panel_bench.hpp"

namespace orva::shell {
namespace {

using panels::testing::Bench;
using panels::testing::name;
using P = link::Protocol;
using Frames = std::vector<std::string>;

struct Keys {
  explicit Keys(P protocol) : bench(protocol) {}

  // Frames the camera heard since the keys were made.
  Frames heard() const { return bench.heardSince(from); }

  Bench bench;
  bool portOpen = true;
  bool lineBusy = false;
  ShortcutKeys keys{bench.link, bench.eap, bench.codes, [this] { return portOpen; }, [this] { return lineBusy; }};
  std::uint64_t from = bench.mark();
};

// The start and stop frames of a drive key in each protocol.
Frames drive(P protocol, char key) {
  if (protocol == P::Eap) {
    const char* start = key == 'Q' ? ":WFCBBAA" : key == 'Y' ? ":WFCBBA9" : key == 'T' ? ":WFCBB99" : ":WFCBB9B";
    return {start, ":WFCBBFE"};
  }
  switch (key) {
    case 'Q': return {"S110203T", "S110201T"};
    case 'Y': return {"S110202T", "S110201T"};
    case 'T': return {"S110702T", "S110701T"};
    default: return {"S110703T", "S110701T"};
  }
}

TEST(ShortcutKeys, EachDriveKeyStartsOnItsPressAndStopsWithItsOwnStopOnItsRelease) {
  for (P protocol : {P::Eap, P::Afp}) {
    for (char key : {'Q', 'Y', 'T', 'W'}) {
      SCOPED_TRACE(::testing::Message() << name(protocol) << " " << key);
      Keys k(protocol);
      k.keys.keyDown(key, false);
      EXPECT_EQ(k.keys.heldKey(), key);
      // The keyboard repeats a held key: neither its downs nor an up marked as repeat count.
      for (int i = 0; i < 3; ++i) k.keys.keyDown(key, true);
      k.keys.keyUp(key, true);
      EXPECT_EQ(k.heard().size(), 1u);
      k.keys.keyUp(key, false);
      EXPECT_EQ(k.heard(), drive(protocol, key));
      EXPECT_FALSE(k.keys.heldKey());
      // A second release stops nothing.
      k.keys.keyUp(key, false);
      EXPECT_EQ(k.heard().size(), 2u);
    }
  }
}

TEST(ShortcutKeys, OtherKeysMeanwhileNeitherStopNorForgetTheHeldDrive) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Keys k(protocol);
    k.keys.keyDown('A', false);
    k.keys.keyUp('A', false);
    EXPECT_TRUE(k.heard().empty()) << "A is no shortcut";

    k.keys.keyDown('T', false);
    k.keys.keyDown('A', false);
    k.keys.keyUp('A', false);
    k.keys.keyDown('W', false);  // a second drive while one is held: ignored
    k.keys.keyUp('W', false);
    k.keys.keyDown('R', false);
    k.keys.keyUp('R', false);
    EXPECT_EQ(k.heard().size(), 1u);
    EXPECT_EQ(k.keys.heldKey(), 'T');
    k.keys.keyUp('T', false);
    EXPECT_EQ(k.heard(), drive(protocol, 'T')) << "T's own stop, once";
  }
}

TEST(ShortcutKeys, FocusModeKeyIsNoDrive) {
  {
    SCOPED_TRACE("EAP");
    Keys k(P::Eap);
    k.keys.keyDown('R', false);
    k.keys.keyUp('R', false);
    EXPECT_EQ(k.heard(), (Frames{":WFCBBA8"})) << "no stop after the focus mode key";
  }
  {
    SCOPED_TRACE("AFP");
    Keys k(P::Afp);
    ASSERT_TRUE(k.bench.codes.write(0x1101, std::array<std::uint32_t, 1>{1}));
    k.from = k.bench.mark();
    k.keys.keyDown('R', false);
    k.keys.keyUp('R', false);
    k.keys.keyDown('R', false);
    k.keys.keyUp('R', false);
    EXPECT_EQ(k.heard(), (Frames{"G1101FFT", "S110102T", "G1101FFT", "S110101T"}));
  }
}

TEST(ShortcutKeys, ReleaseAllStopsTheHeldDriveOnce) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Keys k(protocol);
    k.keys.releaseAll();
    EXPECT_TRUE(k.heard().empty());
    k.keys.keyDown('Q', false);
    k.keys.releaseAll();
    EXPECT_EQ(k.heard(), drive(protocol, 'Q'));
    k.keys.keyUp('Q', false);
    EXPECT_EQ(k.heard().size(), 2u) << "the release after releaseAll() sends nothing";
  }
}

TEST(ShortcutKeys, ClosedPortOrBusyLine) {
  Keys k(P::Eap);
  k.portOpen = false;
  k.keys.keyDown('T', false);
  k.keys.keyUp('T', false);
  k.keys.keyDown('R', false);
  EXPECT_TRUE(k.heard().empty());
  EXPECT_TRUE(k.bench.monitor.pc().empty()) << "nothing said either";
  EXPECT_FALSE(k.keys.heldKey());

  // A run holds the line: a press is ignored, but a drive held before still stops.
  k.portOpen = true;
  k.lineBusy = true;
  k.keys.keyDown('W', false);
  EXPECT_TRUE(k.heard().empty());
  k.lineBusy = false;
  k.keys.keyDown('W', false);
  k.lineBusy = true;
  k.keys.keyUp('W', false);
  EXPECT_EQ(k.heard(), drive(P::Eap, 'W'));
}

}  // namespace
}  // namespace orva::shell
