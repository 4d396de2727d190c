// Identification over register images: the decision tree's kinds of branch, every way it
// fails, the camera "/DS" simulates, and the echo mode put back after each.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "camera/identification.hpp"

namespace orva::camera {
namespace {

using link::NoCameraMode;
using link::Protocol;

// A camera as a register image. Words are high byte first, as the camera keeps them.
struct Image {
  std::map<std::uint16_t, std::uint8_t> bytes;
  std::map<std::uint16_t, std::uint8_t> functions;  // AFP function values

  Image& byte(std::uint16_t a, std::uint8_t v) {
    bytes[a] = v;
    return *this;
  }
  Image& word(std::uint16_t a, std::uint16_t v) {
    bytes[a] = static_cast<std::uint8_t>(v >> 8);
    bytes[static_cast<std::uint16_t>(a + 1)] = static_cast<std::uint8_t>(v);
    return *this;
  }
  Image& function(std::uint16_t code, std::uint8_t v) {
    functions[code] = v;
    return *this;
  }
};

Image camera(std::uint16_t family, std::uint16_t type, std::uint8_t selector, std::uint8_t variant,
             std::uint16_t version) {
  Image i;
  i.word(0x0102, family).word(0x0104, type).byte(0xE1ED, selector).byte(0xE1EE, variant).word(0x0106, version);
  return i;
}

// Reads the image; a read of `failAt` fails after `failAfter` good reads of that address.
class FakeCamera final : public RegisterReader {
 public:
  FakeCamera(Image image, Protocol protocol, NoCameraMode mode, const core::MonitorSink& monitor)
      : image_(std::move(image)), protocol_(protocol), mode_(mode), monitor_(monitor) {}
  std::optional<std::uint16_t> failAt;
  int failAfter = 0;
  int reads = 0;
  bool readsShown = false;  // a read happened while the echo mode was not Hidden

  Protocol protocol() const override { return protocol_; }
  bool readByte(std::uint16_t a, std::uint8_t& v) override {
    if (!take(a)) return false;
    v = at(a);
    return true;
  }
  bool readWord(std::uint16_t a, std::uint16_t& v) override {
    if (!take(a)) return false;
    v = static_cast<std::uint16_t>(at(a) << 8 | at(static_cast<std::uint16_t>(a + 1)));
    return true;
  }
  bool queryFunction(std::uint16_t code, std::uint8_t& v) override {
    if (!take(code)) return false;
    auto it = image_.functions.find(code);
    v = it == image_.functions.end() ? 0 : it->second;
    return true;
  }
  NoCameraMode noCameraMode() const override { return mode_; }
  void setNoCameraMode(NoCameraMode m) override { mode_ = m; }

 private:
  std::uint8_t at(std::uint16_t a) const {
    auto it = image_.bytes.find(a);
    return it == image_.bytes.end() ? 0 : it->second;
  }
  bool take(std::uint16_t a) {
    ++reads;
    if (monitor_.echoMode() != core::EchoMode::Hidden) readsShown = true;
    return !(failAt == a && failAfter-- <= 0);
  }
  Image image_;
  Protocol protocol_;
  NoCameraMode mode_;
  const core::MonitorSink& monitor_;
};

struct Case {
  std::string what;
  Image image;
  Protocol protocol = Protocol::Eap;
  NoCameraMode mode = NoCameraMode::Normal;
  std::optional<std::uint16_t> failAt = std::nullopt;
  int failAfter = 0;
  // Expected:
  IdentifyOutcome outcome = IdentifyOutcome::Identified;
  std::string name = "Not supported";
  std::uint16_t code = 0xFF;
  int lens = 0;
  int processorClass = 0;
  std::string message = "";  // the lens status message box, if any
  std::map<std::string, std::string> lines = {};  // describeRecord lines to check
  int maskType = -1;
  bool protocolChoice = false;
  std::optional<std::string> aeMode = std::nullopt;  // launcher fields, when checked
  std::optional<std::string> format = std::nullopt;
  NoCameraMode modeAfter = NoCameraMode::Normal;
  int newFeatureAfter = 5;  // the switch starts at 5: untouched
};

const std::uint16_t F = 0x53FF;

// A type-`type` camera whose read of `address` fails after `after` good ones: the run fails.
Case failedRead(const std::string& what, std::uint16_t type, std::uint16_t address, int after = 0) {
  return {.what = "a failed " + what + " read", .image = camera(F, type, 0, 0, 0), .failAt = address,
          .failAfter = after, .outcome = IdentifyOutcome::Failed};
}

std::vector<Case> cases() {
  return {
      {.what = "an old monochrome EAP model, decoded inline",
       .image = camera(F, 17, 0, 0x20, 0x0101).byte(0xFCC8, 0x21).byte(0xF750, 0x40),
       .name = "QB-123", .code = 0x82, .lens = 2, .processorClass = 5,
       .message = "Focus Lens Initialization Failure.", .lines = {{"version", "01.01"}},
       .maskType = 0, .aeMode = "Program AER+2    ", .format = "PAL model"},
      {.what = "type 6 decided by the selector: any other selector is QB-130 whatever the variant",
       .image = camera(F, 6, 0x31, 0x30, 0).byte(0xF750, 0xC0),
       .name = "QB-130", .code = 0x4F, .lens = 3, .processorClass = 5,
       .message = "Focus/Zoom Lens Initialization Failure.", .aeMode = "Program AE       ", .format = "PAL model"},
      {.what = "an AFP model offering both protocols, lens condition by function query",
       .image = camera(F, 61, 0x71, 0, 0x0203).byte(0x1158, 3).byte(0x1081, 0xC0).byte(0xFF08, 0x20)
                    .function(0x2105, 9).function(0x0104, 0x0B),
       .protocol = Protocol::Afp,
       .name = "QB-186", .code = 0x15F0, .lens = 26, .processorClass = 8,
       .message = "Focus/Zoom Lens Initialization Failure.",
       .lines = {{"menu word", "1241"}, {"feature word", "007E"}, {"version", "02.03"}},
       .maskType = 3, .protocolChoice = true, .aeMode = "Exposure Priority", .format = "DIGITAL OUT",
       .newFeatureAfter = 1},
      {.what = "type 29 version 7: the first QB-150 form with the launcher masked off",
       .image = camera(F, 29, 0, 0x10, 0x0007),
       .name = "QB-151", .code = 0x3F1, .lens = 7, .processorClass = 7,
       .lines = {{"launcher mask", "0000"}, {"function word", "0000"}}, .maskType = 1},
      {.what = "type 29 version 19 with the A654 marker: QB-152 with the version taken as 1",
       .image = camera(F, 29, 0, 0, 0x0013).word(0x1700, 0xA654).byte(0x1081, 0x80),
       .name = "QB-152", .code = 0x4F0, .lens = 8, .processorClass = 7,
       .lines = {{"version", "00.01"}, {"option word", "0003"}}, .maskType = 2, .newFeatureAfter = 1},
      {.what = "type 44 before version 5: the base QB-161, which clears New Feature",
       .image = camera(F, 44, 0, 0, 0x0004).byte(0x010D, 0x50),
       .name = "QB-161", .code = 0x8F0, .lens = 3, .processorClass = 8,
       .lines = {{"launcher mask", "0080"}}, .maskType = 1, .newFeatureAfter = 0},
      {.what = "a digital output model shows DIGITAL OUT with bit 5 of FF08 clear",
       .image = camera(F, 34, 0, 0x10, 0).byte(0xFF08, 0x00),
       .name = "QB-154", .code = 0x4F1, .lens = 2, .processorClass = 7,
       .maskType = 1, .format = "DIGITAL OUT", .newFeatureAfter = 1},
      {.what = "type 18 with version 3 is not supported",
       .image = camera(F, 18, 0, 0, 0x0003)},
      {.what = "the oldest family knows only type 1",
       .image = camera(0x5302, 2, 0, 0x70, 0)},
      {.what = "an unknown family",
       .image = camera(0x1234, 53, 0, 0, 0)},
      {.what = "type 40 refuses a selector it does not list",
       .image = camera(F, 40, 0x55, 0, 0), .outcome = IdentifyOutcome::Failed},
      failedRead("family", 17, 0x0102), failedRead("type", 17, 0x0104), failedRead("selector", 17, 0xE1ED),
      failedRead("variant", 17, 0xE1EE), failedRead("version", 17, 0x0106), failedRead("AE mode", 17, 0xFCC8),
      failedRead("setup's own register", 22, 0x123C), failedRead("mask type", 20, 0x1081),
      failedRead("protocol register", 57, 0x1158), failedRead("second version", 17, 0x0106, 1),
      {.what = "failed reads of FF08 and the lens status are no failure",
       .image = camera(F, 17, 0, 0x10, 0).byte(0xF750, 0x80), .failAt = 0xFF08,
       .name = "QB-124", .code = 0x81, .lens = 2, .processorClass = 5,
       .message = "Zoom Lens Initialization Failure.", .aeMode = "Program AE       ", .format = ""},
      {.what = "/DS without a camera: the simulated type-53 camera is QB-168",
       .image = {}, .mode = NoCameraMode::Allowed, .failAt = 0x0102,
       .name = "QB-168", .code = 0xCF0, .lens = 19, .processorClass = 8,
       .lines = {{"version", "00.00"}}, .maskType = 1, .aeMode = "Program AE       ", .format = "PAL model",
       .modeAfter = NoCameraMode::Absent, .newFeatureAfter = 1},
      {.what = "no camera present already: nothing is done",
       .image = camera(F, 17, 0, 0, 0), .mode = NoCameraMode::Absent,
       .outcome = IdentifyOutcome::AlreadyAbsent, .name = "untouched", .code = 0x1234,
       .modeAfter = NoCameraMode::Absent},
  };
}

TEST(Identification, RegisterImagesLandOnTheirModelOrFailCleanly) {
  for (const auto& c : cases()) {
    SCOPED_TRACE(c.what);
    core::RecordingMonitorSink monitor;
    monitor.setEchoMode(core::EchoMode::StatusLine);
    core::ScriptedPrompt prompt;
    FakeCamera cam(c.image, c.protocol, c.mode, monitor);
    cam.failAt = c.failAt;
    cam.failAfter = c.failAfter;
    ModelRecord record;
    record.name = "untouched";
    record.modelCode = 0x1234;
    IdentificationFlags flags;
    IdentificationSwitches switches{.newFeature = 5};
    Identification id(cam, monitor, prompt);

    EXPECT_EQ(id.run(record, flags, switches), c.outcome);
    EXPECT_EQ(monitor.echoMode(), core::EchoMode::StatusLine) << "echo mode restored";
    EXPECT_FALSE(cam.readsShown) << "identification traffic is hidden";
    EXPECT_EQ(cam.noCameraMode(), c.modeAfter);
    if (c.outcome == IdentifyOutcome::Failed) continue;
    if (c.mode == NoCameraMode::Allowed) {
      EXPECT_EQ(cam.reads, 1) << "only the failed family read reached the line";
    }

    EXPECT_EQ(record.name, c.name);
    EXPECT_EQ(record.modelCode, c.code);
    EXPECT_EQ(record.lensIndex, c.lens);
    EXPECT_EQ(record.processorClass, c.processorClass);
    if (c.maskType >= 0) {
      EXPECT_EQ(record.maskType, c.maskType);
    }
    EXPECT_EQ(flags.protocolChoice, c.protocolChoice);
    EXPECT_EQ(switches.newFeature, c.newFeatureAfter);
    if (c.outcome == IdentifyOutcome::AlreadyAbsent) continue;
    EXPECT_EQ(id.launcher().model, c.name);
    EXPECT_EQ(id.launcher().aeMode, c.aeMode.value_or(id.launcher().aeMode));
    EXPECT_EQ(id.launcher().format, c.format.value_or(id.launcher().format));
    if (c.message.empty()) {
      EXPECT_TRUE(prompt.asked().empty());
    } else {
      ASSERT_EQ(prompt.asked().size(), 1u);
      EXPECT_EQ(prompt.asked()[0].text, c.message);
      EXPECT_EQ(prompt.asked()[0].title, "Message");
      EXPECT_EQ(prompt.asked()[0].icon, core::Icon::Exclamation);
    }
    const auto lines = describeRecord(record, flags);
    for (const auto& [key, value] : c.lines) {
      auto it = std::find_if(lines.begin(), lines.end(), [&k = key](const auto& l) { return l.first == k; });
      ASSERT_NE(it, lines.end()) << key;
      EXPECT_EQ(it->second, value) << key;
    }
  }
}

// Only the codes of the AE mode table name a mode; an "R" level exists for the program modes.
TEST(Identification, TheAeModeFieldNamesOnlyTheModesOfTheTable) {
  const std::pair<int, std::string_view> eap[] = {
      {0x00, "Program AE       "}, {0x20, "Program AER2     "}, {0x30, ""},  {0x31, "Program AER+3    "},
      {0x41, ""}, {0x07, "Shutter Priority "}, {0x17, ""}, {0x0A, "Full Manual      "}, {0x2B, ""},
      {0x0C, ""}, {0xFF, ""}};
  for (const auto& [code, text] : eap) EXPECT_EQ(aeModeText(code, Protocol::Eap), text) << code;
  const std::pair<int, std::string_view> afp[] = {
      {6, "Program AER+2    "}, {10, "Full Manual"}, {11, "AGC Priority"}, {12, "Exp-Shut Priority"}, {0, ""}, {13, ""}};
  for (const auto& [code, text] : afp) EXPECT_EQ(aeModeText(code, Protocol::Afp), text) << code;
}

}  // namespace
}  // namespace orva::camera
