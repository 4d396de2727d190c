// BLOCK READ: the camera's status block as the panel shows it, read through the text renderer
// (the same lines `orva-cli status` prints). The block is what the virtual camera answers to
// F101; the model record decides the lists' entries and which controls are shown.
#include "panels/status_block/status_block_panel.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "panels/panel_bench.hpp"
#include "panels/status_block/status_block_texts.hpp"
#include "panels/text_panel_view.hpp"

namespace orva::panels::status_block {
namespace {

using testing::Bench;

constexpr std::uint16_t kStatusBlock = 0xF101;
constexpr std::uint16_t kCameraModeRegister = 0x1701;  // the camera mode function's register
// Camera modes as the register holds them: 1080 50i (function value 5) and 1080 60i (1).
constexpr std::uint8_t kFifty = 0x00;
constexpr std::uint8_t kSixty = 0x10;

struct Model {
  std::uint16_t code = 0x13F0;
  std::uint16_t feature = 0x8002;  // defog (bit 1) and enhanced intensity (bit 15) shown
  std::uint16_t option = 0;
  std::uint16_t extraOption = 0;
  std::uint16_t version = 0;
};

// What a shown line says, or that there is no such line.
std::string said(const std::map<std::string, std::string>& lines, const std::string& caption) {
  const auto it = lines.find(caption);
  return it == lines.end() ? "(not shown)" : it->second;
}

// The block's digits: B1 to B6, then W1 to W5.
std::string block(std::array<unsigned, 6> bytes, std::array<unsigned, 5> words = {}) {
  std::string out;
  for (unsigned b : bytes) out += fmt::format("{:02X}", b);
  for (unsigned w : words) out += fmt::format("{:04X}", w);
  return out;
}

class BlockRead : public ::testing::Test {
 protected:
  explicit BlockRead(std::string_view profile = "") : bench_(link::Protocol::Afp, profile) {
    bench_.camera.onFunctionGet(kStatusBlock, [this](const sim::VirtualCamera&) { return answer_; });
  }

  // Opens the panel on this model with the camera answering `digits`; the shown lines by caption.
  std::map<std::string, std::string> open(const Model& m, const std::string& digits, std::uint8_t mode = kSixty) {
    answer_ = digits;
    bench_.camera.memory().write(kCameraModeRegister, mode);
    bench_.model.modelCode = m.code;
    bench_.model.featureWord = m.feature;
    bench_.model.optionWord = m.option;
    bench_.model.extraOptionWord = m.extraOption;
    bench_.model.cameraVersion = m.version;
    panel_ = makePanel(bench_.context, view_);
    EXPECT_TRUE(panel_->open());
    return shown();
  }
  std::map<std::string, std::string> shown() const {
    std::map<std::string, std::string> out;
    for (const std::string& line : view_.lines()) {
      const auto colon = line.find(": ");
      out[line.substr(0, colon)] = colon + 2 <= line.size() ? line.substr(colon + 2) : "";
    }
    return out;
  }

  Bench bench_;
  std::string answer_;
  TextPanelView view_{description()};
  std::unique_ptr<PanelLogic> panel_;
};

TEST_F(BlockRead, FieldsSelectTheirEntriesAndAValuePastTheModelsListSelectsNothing) {
  const Model newest{.code = 0x19F0, .feature = 0x8002};
  const Model withWhiteout{.extraOption = 1u << 14};
  struct Case {
    const char* what;
    Model model;
    std::string block;
    std::map<std::string, std::string> expected;
  };
  const Case cases[] = {
      {"B3 = 21: the first range and the second AE mode",
       newest, block({0, 0, 0x21, 0, 0, 0}),
       {{"DSS status", "- 1/60"}, {"Program AE mode switch", "Program AER1"}}},
      {"B4 = 87 with B2 bit 2 on a model with the whiteout reduction",
       withWhiteout, block({0, 0x04, 0, 0x87, 0, 0}),
       {{"Defog Mode", "Defog ON(Defog-P1)"}, {"Enhanced Intensity Mode", "On(Whiteout Reduction)"}}},
      {"every bit clear",
       Model{}, block({0, 0, 0, 0, 0, 0}),
       {{"Focus mode", "Auto"}, {"IRcf removal status", "IRcf OUT"}, {"DSS status", ""},
        {"Program AE mode switch", "Program AE"}, {"Defog Mode", "Defog OFF"}, {"WB mode in auto", "Normal"},
        {"WDR mode", "WDR+CNT"}, {"Enhanced Intensity Mode", "Off"}, {"Cont. Digi. Zoom", "off"},
        {"Back Light Compensation(BLC) On/Off", "off"}, {"Motion Tracking On/Off", "off"},
        {"Focus Position", "0000"}}},
      {"every bit set", Model{}, block({0x1F, 0x07, 0xC4, 0x7D, 0x53, 0x7F}, {0x1A2B, 0xFFFF, 1, 2, 3}),
       {{"Focus mode", "Manual"}, {"Focus motion", "Focusing"}, {"Zoom motion", "Zooming"},
        {"IRcf removal status", "IRcf IN"}, {"Inst. Digi. Zoom", "on"}, {"DSS status", "1/8 - 1/4"},
        {"Program AE mode switch", "Exposure Shutter Priority"}, {"Defog Mode", "Defog ON(Defog-P1)"},
        {"White Balance Mode", "Manual"}, {"Manual Aperture Mode", "Manual"}, {"WDR ON/OFF", "WDR ON"},
        {"WDR Auto/Manual", "Manual"}, {"Enhanced Intensity Mode", "Off"}, {"WB mode in auto", "Mercury"},
        {"WDR mode", "CNT"}, {"Fade(mute) On/Off", "on"}, {"Motion Tracking On/Off", "on"},
        {"Focus Position", "1A2B"}, {"Zoom Position", "FFFF"}, {"AGC position", "0003"}}},
      {"AE modes 0, 1 and past 12 give the first",
       Model{}, block({0, 0, 0xD0, 0, 0, 0}), {{"Program AE mode switch", "Program AE"}}},
      // Four ranges on this model: range 5 is none of them.
      {"a range past the model's list", Model{}, block({0, 0, 0x05, 0, 0, 0}), {{"DSS status", ""}}},
      // Four defog entries on the newest families without the automatic one.
      {"defog 6 past the model's list", newest, block({0, 0, 0, 0x06, 0, 0}), {{"Defog Mode", ""}}},
      {"defog 7 past the model's list", newest, block({0, 0, 0, 0x07, 0, 0}), {{"Defog Mode", ""}}},
      {"defog 7 is the fifth entry", Model{}, block({0, 0, 0, 0x07, 0, 0}), {{"Defog Mode", "Defog ON(Defog-P1)"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto lines = open(c.model, c.block);
    for (const auto& [caption, value] : c.expected) EXPECT_EQ(said(lines, caption), value) << caption;
    panel_->close();
  }
}

TEST_F(BlockRead, ListEntriesAndShownControlsFollowTheModelAndTheCameraMode) {
  struct Case {
    const char* what;
    Model model;
    std::uint8_t mode;
    unsigned b3;  // a slow shutter range
    unsigned b4;  // a defog value
    std::string dss;
    std::string defog;  // empty: the defog list is hidden
  };
  const Case cases[] = {
      {"newest family at 50", {.code = 0x1AF2, .feature = 0x0002}, kFifty, 6, 4, "1/3 - 1/1.5", "Defog ON(Defog-3)"},
      {"newest family at 60", {.code = 0x1DF0, .feature = 0x0202}, kSixty, 7, 7, "1/1", "Defog ON(Defog-Auto)"},
      {"other models ignore the mode", {.code = 0x13F0, .feature = 0x0202}, kFifty, 2, 6, "1/30 - 1/15",
       "Defog ON(Defog-P2)"},
      {"older 0x14F0 has the P entries", {.code = 0x14F0, .feature = 0x0202, .version = 16}, kSixty, 1, 5,
       " - 1/30", "Defog ON(Defog-P1)"},
      {"later 0x14F0 has not", {.code = 0x14F0, .feature = 0x0202, .version = 17}, kSixty, 1, 5, " - 1/30",
       "Defog ON(Defog-Auto)"},
      {"0x16F0 hides defog", {.code = 0x16F0, .feature = 0x0202}, kSixty, 1, 2, " - 1/30", ""},
      {"no feature bit 1 hides defog", {.code = 0x13F0, .feature = 0x0200}, kSixty, 1, 2, " - 1/30", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto lines = open(c.model, block({0, 0, c.b3, c.b4, 0, 0}), c.mode);
    EXPECT_EQ(said(lines, "DSS status"), c.dss.substr(c.dss.find_first_not_of(' ')));
    EXPECT_EQ(said(lines, "Defog Mode"), c.defog.empty() ? "(not shown)" : c.defog);
    panel_->close();
  }
  // Enhanced intensity with feature word bit 15, EIS with option word bit 6.
  auto lines = open({.feature = 0, .option = 0}, block({0, 0, 0, 0x80, 0, 0x40}));
  EXPECT_EQ(said(lines, "Enhanced Intensity Mode"), "(not shown)");
  EXPECT_EQ(said(lines, "EIS On/Off"), "(not shown)");
  panel_->close();
  lines = open({.feature = 0x8000, .option = 0x40}, block({0, 0x04, 0, 0x80, 0, 0x40}));
  EXPECT_EQ(said(lines, "Enhanced Intensity Mode"), "On") << "no whiteout reduction without extra option bit 14";
  EXPECT_EQ(said(lines, "EIS On/Off"), "on");
}

TEST_F(BlockRead, ReadSettingsReadsAgainAndAFailedReadLeavesThePanelAsItWas) {
  auto lines = open({}, block({0x01, 0, 0, 0, 0, 0}, {0x1234}));
  EXPECT_NE(bench_.monitor.pc().find("\r\n\r\n<< BlockRead ... >>"), std::string::npos);
  EXPECT_NE(bench_.monitor.log().find("\n\n<< BlockRead ... >>"), std::string::npos);
  answer_ = block({0, 0, 0, 0, 0, 0}, {0x4321});
  panel_->intent(Intent::click(controls::kReadSettings));
  lines = shown();
  EXPECT_EQ(said(lines, "Focus mode"), "Auto");
  EXPECT_EQ(said(lines, "Focus Position"), "4321");

  answer_ = "not a block";
  panel_->intent(Intent::click(controls::kReadSettings));
  EXPECT_TRUE(panel_->isOpen());
  EXPECT_EQ(shown(), lines);
  panel_->intent(Intent::click(controls::kClose));
  EXPECT_EQ(view_.closed(), CloseReason::Closed);
  EXPECT_EQ(panel_->result(), 0);
}

class BlockReadRefused : public BlockRead, public ::testing::WithParamInterface<const char*> {
 protected:
  BlockReadRefused() : BlockRead(GetParam()) {}
};

TEST_P(BlockReadRefused, AFailedReadOnOpenClosesThePanel) {
  answer_ = block({0, 0, 0, 0, 0, 0});
  panel_ = makePanel(bench_.context, view_);
  EXPECT_FALSE(panel_->open());
  EXPECT_EQ(view_.closed(), CloseReason::ReadFailed);
  EXPECT_EQ(panel_->result(), 0);
}
INSTANTIATE_TEST_SUITE_P(CameraModeOrBlock, BlockReadRefused, ::testing::Values("refuse 0185 3", "refuse F101 3"));

TEST(BlockReadInEap, ClosesWithoutSendingAnything) {
  Bench b(link::Protocol::Eap);
  TextPanelView view(description());
  const auto from = b.mark();
  EXPECT_FALSE(makePanel(b.context, view)->open());
  EXPECT_TRUE(b.heardSince(from).empty());
}

}  // namespace
}  // namespace orva::panels::status_block
