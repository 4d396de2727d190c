// The Trigger-LED / ZOOM Control panel against the virtual camera: the RAM mirror target and
// "default", which always writes the EEPROM; fields in part of a byte keep the rest of it; a
// failed read before such a rewrite writes nothing; "default" stops at its first failed write;
// the time texts at their widest. Plain round trips are the generic panel test's.
#include "panels/strobe/trigger_led_panel.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panels/fake_panel_view.hpp"
#include "panels/panel_bench.hpp"
#include "panels/strobe/trigger_led_texts.hpp"

namespace orva::panels::strobe::led {
namespace {

using testing::byte;
using testing::word;
using P = link::Protocol;

struct Led : testing::PanelOnBench {
  explicit Led(std::string_view registers, int ledControl = 1, std::vector<sim::Fault> faults = {})
      : PanelOnBench(P::Eap, registers, std::move(faults)) {
    bench.host.config["LED Control ="] = ledControl;
    logic = makeTriggerLedPanel(bench.context, view);
  }
  // The addresses of the writes heard since `since`, in order.
  std::vector<std::string> writes(std::uint64_t since) const {
    std::vector<std::string> out;
    for (const auto& f : bench.heardSince(since))
      if (f.rfind(":W", 0) == 0 || f.rfind(":w", 0) == 0) out.push_back(f.substr(2, 4));
    return out;
  }
};

// The frames a panel takes to open on these registers: a fault counted from there hits the
// frame of the first action after it.
std::uint32_t framesToOpen(std::string_view registers, int ledControl = 1) {
  Led probe(registers, ledControl);
  EXPECT_TRUE(probe.logic->open());
  return static_cast<std::uint32_t>(probe.bench.heardSince(0).size());
}

TEST(TriggerLedPanel, TheTickedCheckSendsFieldsToTheRamMirrorAndDefaultAlwaysWritesTheEeprom) {
  constexpr std::string_view kRegisters = "14A2: 00 05\nB9FA: 01 00\n";
  Led led(kRegisters, 2);
  ASSERT_TRUE(led.logic->open());
  auto& b = led.bench;
  EXPECT_TRUE(led.view.shown(kNoEeprom));
  EXPECT_EQ(led.view.value(kNoEeprom), 1);
  EXPECT_EQ(led.view.text(kLedOnTime1), "0100") << "read from the target it writes";
  led.logic->intent(Intent::step(kLedOnTime1, 1));
  EXPECT_EQ(word(b, 0xB9FA), 0x0101);
  EXPECT_EQ(word(b, 0x14A2), 0x0005);

  b.monitor.clear();
  auto mark = b.mark();
  led.logic->intent(Intent::click(kDefault));
  const auto written = led.writes(mark);
  ASSERT_EQ(written.size(), 18u);
  for (const auto& address : written) EXPECT_LT(address, "2000") << "an EEPROM address, never the mirror";
  const std::pair<std::uint16_t, std::uint8_t> kDefaults[] = {
      {0x14A0, 0x08}, {0x14A1, 0x09}, {0x14A2, 0x00}, {0x14A3, 0x3B}, {0x14A4, 0x0C}, {0x14A7, 0x02},
      {0x14A8, 0x00}, {0x14A9, 0x00}, {0x14B0, 0xFE}, {0x14B1, 0xF9}, {0x14B2, 0x72}, {0x14B3, 0x72},
      {0x14B4, 0x00}, {0x14B5, 0x04}, {0x14B6, 0x0F}, {0x14B7, 0x03}, {0x1251, 0x08}, {0x1255, 0x31},
      {0x1256, 0x82}, {0x1259, 0x96}};
  for (const auto& [address, value] : kDefaults) EXPECT_EQ(byte(b, address), value) << std::hex << address;
  const std::string pc = b.monitor.pc();
  const auto line = pc.find(std::string("\r\n") + std::string(texts::kWriteDefaults));
  ASSERT_NE(line, std::string::npos);
  EXPECT_NE(pc.find(std::string("\r\n\r\n<< ") + std::string(texts::kHeading) + " >>", line), std::string::npos);
  EXPECT_EQ(led.view.text(kLedOnTime1), "0101") << "read again from the mirror";

  led.logic->intent(Intent::toggle(kNoEeprom));
  EXPECT_EQ(led.view.value(kNoEeprom), 0);
  EXPECT_EQ(led.view.text(kLedOnTime1), "003B") << "the EEPROM, read on the switch";
  led.logic->intent(Intent::step(kLedOnTime1, 1));
  EXPECT_EQ(word(b, 0x14A2), 0x003C);
  EXPECT_EQ(word(b, 0xB9FA), 0x0101);

  Led eeprom(kRegisters, 1);
  ASSERT_TRUE(eeprom.logic->open());
  EXPECT_FALSE(eeprom.view.shown(kNoEeprom));
  eeprom.logic->intent(Intent::step(kLedOnTime1, -1));
  EXPECT_EQ(word(eeprom.bench, 0x14A2), 0x0004);
}

TEST(TriggerLedPanel, ABitFieldRewritesOnlyItsBitsAndStaysInItsRange) {
  struct Case {
    std::string_view what;
    int ledControl;
    std::uint16_t address;  // where the byte is, mirror or EEPROM
    std::uint8_t before;
    Intent intent;
    std::uint8_t after;
    ControlId shows;
    std::string_view shown;
  };
  const Case cases[] = {
      {"z1 up two", 1, 0x1255, 0x35, Intent::step(kTargetMag, 2), 0x55, kTargetMag, " 5"},
      {"z1 at 10", 1, 0x1255, 0xA7, Intent::step(kTargetMag, 1), 0xA7, kTargetMag, "10"},
      {"z1 at 1", 1, 0x1255, 0x1F, Intent::step(kTargetMag, -1), 0x1F, kTargetMag, " 1"},
      {"z1 from 0 to its floor", 1, 0x1255, 0x07, Intent::step(kTargetMag, -1), 0x17, kTargetMag, " 1"},
      {"z1 past 10", 1, 0x1255, 0x94, Intent::step(kTargetMag, 5), 0xA4, kTargetMag, "10"},
      {"z1 in the mirror", 2, 0xB7AD, 0x3C, Intent::step(kTargetMag, 1), 0x4C, kTargetMag, " 4"},
      {"chroma", 1, 0x14B7, 0x1E, Intent::step(kChroma, 1), 0x2E, kChroma, "2"},
      {"luminance at 3", 1, 0x14B7, 0x33, Intent::step(kLuminance, 1), 0x33, kLuminance, "3"},
      {"luminance down", 1, 0x14B7, 0xC2, Intent::step(kLuminance, -2), 0xC0, kLuminance, "0"},
      {"Pattern-2", 1, 0x14A0, 0xF1, Intent::choose(kLedPattern, 1), 0xF5, kLedPattern, "1"},
      {"Pattern-4", 1, 0x14A0, 0xF9, Intent::choose(kLedPattern, 3), 0xF1, kLedPattern, "3"},
      {"Pattern-3 in the mirror", 2, 0xB9F8, 0x30, Intent::choose(kLedPattern, 2), 0x38, kLedPattern, "2"},
      {"zoom on", 1, 0x1256, 0x02, Intent::toggle(kZoomSwitch), 0x82, kZoomSwitch, "1"},
      {"zoom off", 1, 0x1256, 0xFF, Intent::toggle(kZoomSwitch), 0x7F, kZoomSwitch, "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    char registers[16];
    std::snprintf(registers, sizeof registers, "%04X: %02X\n", c.address, c.before);
    Led led(registers, c.ledControl);
    ASSERT_TRUE(led.logic->open());
    const auto mark = led.bench.mark();
    led.logic->intent(c.intent);
    EXPECT_EQ(byte(led.bench, c.address), c.after);
    EXPECT_EQ(led.writes(mark).empty(), c.after == c.before) << "written only when it changed";
    const auto shown = c.intent.kind == Intent::Kind::Step ? led.view.text(c.shows)
                                                           : std::optional(std::to_string(*led.view.value(c.shows)));
    EXPECT_EQ(shown, c.shown);
    if (c.shows == kZoomSwitch) {
      EXPECT_EQ(led.view.caption(kZoomState), c.after & 0x80 ? texts::kZoomOn : texts::kZoomOff);
    }
  }
}

TEST(TriggerLedPanel, AFailedReadBeforeARewriteWritesNothingAndAFailedStepKeepsTheOldValue) {
  constexpr std::string_view kRegisters = "14A0: 04\n14A2: 01 23\n14B7: 12\n1255: 35\n1256: 80\n";
  struct Case {
    std::string_view what;
    Intent intent;
    bool rewrites;  // a read comes first: the dropped frame is that read
    bool closes;
    ControlId shows;
    std::string_view shown;
  };
  const Case cases[] = {
      {"a plain field's write", Intent::step(kLedOnTime1, 1), false, false, kLedOnTime1, "0123"},
      {"chroma", Intent::step(kChroma, 1), true, false, kChroma, "1"},
      {"z1", Intent::step(kTargetMag, -1), true, false, kTargetMag, " 3"},
      {"the pattern", Intent::choose(kLedPattern, 0), true, true, 0, ""},
      {"the zoom switch", Intent::toggle(kZoomSwitch), true, true, 0, ""},
  };
  const std::uint32_t opening = framesToOpen(kRegisters);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Led led(kRegisters, 1, testing::faults({"drop:" + std::to_string(opening + 1)}));
    ASSERT_TRUE(led.logic->open());
    const auto time = led.view.text(kTime1);
    const auto mark = led.bench.mark();
    led.logic->intent(c.intent);
    if (c.rewrites) {
      EXPECT_TRUE(led.writes(mark).empty()) << "nothing follows the failed read";
    }
    EXPECT_EQ(led.logic->isOpen(), !c.closes);
    if (c.closes) continue;
    EXPECT_EQ(led.view.text(c.shows), c.shown);
    EXPECT_EQ(led.view.text(kTime1), time);
    EXPECT_EQ(byte(led.bench, 0x14B7), 0x12);
    EXPECT_EQ(byte(led.bench, 0x1255), 0x35);
    EXPECT_EQ(word(led.bench, 0x14A2), 0x0123);
  }
}

TEST(TriggerLedPanel, DefaultStopsAtItsFirstFailedWriteAndReadsAgainOrClosesWhenThatFails) {
  constexpr std::string_view kRegisters = "14A0: 02\n14A1: 55\n14A2: 01 23\n";
  const std::uint32_t opening = framesToOpen(kRegisters);
  // The third write (0x14A2) goes unanswered.
  Led dropped(kRegisters, 1, testing::faults({"drop:" + std::to_string(opening + 3)}));
  ASSERT_TRUE(dropped.logic->open());
  auto& b = dropped.bench;
  b.monitor.clear();
  const auto mark = b.mark();
  dropped.logic->intent(Intent::click(kDefault));
  EXPECT_EQ(dropped.writes(mark), (std::vector<std::string>{"14A0", "14A1"}));
  EXPECT_EQ(b.monitor.pc().find(std::string(texts::kHeading)), std::string::npos) << "no heading after a failure";
  EXPECT_TRUE(dropped.logic->isOpen());
  EXPECT_EQ(dropped.view.value(kLedPattern), 2) << "0x08 read again: Pattern-3";
  EXPECT_EQ(dropped.view.text(kTrgTime0), "09");
  EXPECT_EQ(dropped.view.text(kLedOnTime1), "0123");

  // The line goes after the second write: the reads fail too.
  Led gone(kRegisters, 1, testing::faults({"hangup:" + std::to_string(opening + 2)}));
  ASSERT_TRUE(gone.logic->open());
  gone.logic->intent(Intent::click(kDefault));
  EXPECT_FALSE(gone.logic->isOpen());
  EXPECT_EQ(gone.view.closed(), CloseReason::ReadFailed);
}

TEST(TriggerLedPanel, TimesFollowTheStandardDoubleWhereTheyShouldAndShowEveryDigit) {
  struct Case {
    std::string_view registers;
    ControlId time;
    std::string_view shown;
  };
  const Case cases[] = {
      {"FF08: 00\n14A2: FF FF\n", kTime1, "Time=1310700.0 [ms]"},
      {"FF08: 20\n14A2: FF FF\n", kTime1, "Time=1092206.3 [ms]"},
      {"FF08: DF\n1251: FF\n", kTime3, "Time=10200.0 [ms]"},
      {"FF08: 20\n1259: FF\n", kTime6, "Time=8499.7 [ms]"},
      {"FF08: 00\n14A1: 09\n", kTime0, "Time=180.0  [ms]"},
      {"FF08: 20\n14A4: 00\n", kTime2, "Time=0.0    [ms]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.registers);
    Led led(c.registers);
    ASSERT_TRUE(led.logic->open());
    EXPECT_EQ(led.view.text(c.time), c.shown);
    EXPECT_EQ(led.bench.monitor.pc().find("FF08"), std::string::npos) << "the standard is read quietly";
  }
  Led led("FF08: 00\n14A1: 09\n");
  ASSERT_TRUE(led.logic->open());
  led.logic->intent(Intent::step(kTrgTime0, 1));
  EXPECT_EQ(led.view.text(kTime0), "Time=200.0  [ms]");
}

}  // namespace
}  // namespace orva::panels::strobe::led
