// EEPROM Store Preset and CAMPRESET against the virtual camera: what is special to them (the
// keys following what the camera took, the run word of a record the camera stored, the
// clears, Abort, the camera preset function's frames). Plain round trips are the generic
// panel test's.
#include "panels/preset/store_preset_panels.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "panels/fake_panel_view.hpp"
#include "panels/panel_bench.hpp"

namespace orva::panels::preset {
namespace {

using P = link::Protocol;

struct Panel {
  using Make = std::unique_ptr<PanelLogic> (*)(PanelContext&, PanelView&);
  Panel(P protocol, Make make, std::string_view registers = "", std::vector<sim::Fault> faults = {})
      : bench(protocol, registers, std::move(faults)) {
    logic = make(bench.context, view);
  }
  void settle() {
    do bench.runner.waitIdle();
    while (bench.dispatcher.runPending() > 0 || bench.runner.busy());
  }
  void act(const Intent& in) {
    logic->intent(in);
    settle();
  }
  bool logged(std::string_view line) const { return bench.monitor.log().find(line) != std::string::npos; }

  testing::Bench bench;
  FakePanelView view;
  std::unique_ptr<PanelLogic> logic;
};

ControlId camMemory(int n) { return static_cast<ControlId>(kCamMemory1 + n - 1); }
ControlId camPreset(int n) { return static_cast<ControlId>(kCamPreset1 + n - 1); }

TEST(CamPresetPanel, StoresDeletesAndRunsASlotWithOneFunctionEach) {
  struct Step {
    Intent intent;
    std::string_view frame;
    std::string_view line;
    bool ticked;
  };
  const Step steps[] = {
      {Intent::toggle(camMemory(3)), "S610D0303T", "<< CameraPreset Store64 Memory3 >>", true},
      {Intent::click(camPreset(3)), "S610D0103T", "-- Camera Preset3 END --", true},
      {Intent::choose(kCamType, 1), "", "", true},
      {Intent::click(camPreset(3)), "S610D0203T", "<< Camera Preset3 Execute >>", true},
      {Intent::toggle(camMemory(3)), "S610D0403T", "<< CameraPreset Store64 Delete 3 >>", false},
  };
  Panel p(P::Afp, makeCamPresetPanel);
  ASSERT_TRUE(p.logic->open());
  EXPECT_TRUE(p.view.enabled(camMemory(20)));
  EXPECT_FALSE(p.view.enabled(camMemory(21)));
  EXPECT_FALSE(p.view.enabled(kDetailSet));
  for (const Step& s : steps) {
    SCOPED_TRACE(s.frame);
    const auto mark = p.bench.mark();
    p.act(s.intent);
    const auto heard = p.bench.heardSince(mark);
    if (s.frame.empty()) {
      EXPECT_TRUE(heard.empty());
      continue;
    }
    EXPECT_EQ(heard, std::vector<std::string>{std::string(s.frame)});
    EXPECT_TRUE(p.logged(s.line));
    EXPECT_EQ(p.view.value(camMemory(3)), s.ticked ? 1 : 0);
    EXPECT_EQ(p.view.enabled(camPreset(3)), s.ticked);
  }
  EXPECT_FALSE(p.logged("-- Error !! --"));
}

TEST(CamPresetPanel, AStoreTheCameraRefusesLeavesTheKeyUnticked) {
  Panel p(P::Afp, makeCamPresetPanel, "", testing::faults({"preset-error"}));
  ASSERT_TRUE(p.logic->open());
  p.act(Intent::toggle(camMemory(1)));
  EXPECT_EQ(p.view.value(camMemory(1)), 0);
  EXPECT_FALSE(p.view.enabled(camPreset(1)));
  EXPECT_TRUE(p.logged("-- Error !! --"));
}

TEST(CamPresetPanel, UnderEapTheKeysChangeOnlyThemselves) {
  Panel p(P::Eap, makeCamPresetPanel);
  ASSERT_TRUE(p.logic->open());
  const auto mark = p.bench.mark();
  p.act(Intent::toggle(camMemory(2)));
  p.act(Intent::click(camPreset(2)));
  EXPECT_EQ(p.view.value(camMemory(2)), 1);
  EXPECT_TRUE(p.bench.heardSince(mark).empty());
}

// All Data Clear asks first, then deletes every slot in order, unticking each; the camera's
// first refusal ends it.
TEST(CamPresetPanel, AllDataClearDeletesEverySlotAfterTheQuestion) {
  struct Case {
    core::Answer answer;
    std::vector<sim::Fault> faults;
    std::size_t frames;
  };
  const Case cases[] = {
      {core::Answer::Cancel, {}, 0},
      {core::Answer::Ok, {}, kCameraSlots},
      {core::Answer::Ok, testing::faults({"preset-error"}), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frames);
    Panel p(P::Afp, makeCamPresetPanel, "", c.faults);
    ASSERT_TRUE(p.logic->open());
    p.bench.prompt.answer(c.answer);
    if (c.faults.empty()) p.act(Intent::toggle(camMemory(5)));
    const auto mark = p.bench.mark();
    p.act(Intent::click(kCamClearAll));
    ASSERT_EQ(p.bench.prompt.asked().size(), 1u);
    EXPECT_EQ(p.bench.prompt.asked()[0].text, texts::kClearQuestion);
    EXPECT_EQ(p.bench.prompt.asked()[0].title, texts::kClearTitle);
    const auto heard = p.bench.heardSince(mark);
    ASSERT_EQ(heard.size(), c.frames);
    if (!heard.empty()) {
      EXPECT_EQ(heard.front(), "S610D0401T");
      EXPECT_EQ(heard.back(), c.frames == 1 ? "S610D0401T" : "S610D0420T");
    }
    if (c.faults.empty()) {
      EXPECT_EQ(p.view.value(camMemory(5)), c.answer == core::Answer::Ok ? 0 : 1);
    }
    EXPECT_EQ(p.logged("-- Error !! --"), !c.faults.empty());
  }
}

}  // namespace
}  // namespace orva::panels::preset
