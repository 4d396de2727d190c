// The panel table: each panel once, each row describing and creating its own panel, the lens
// panels and CAMERA TYPE among them, each under its own lower-case name, and no description or
// logic for a panel without a row.
#include "panels/registry.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "panels/fake_panel_view.hpp"
#include "panels/panel_bench.hpp"

namespace orva::panels {
namespace {

TEST(Registry, EveryRowDescribesAndCreatesItsOwnPanelAndNoOther) {
  testing::Bench b(link::Protocol::Eap);
  std::set<PanelId> seen;
  std::set<std::string_view> names;
  for (const PanelRow& row : panelRows()) {
    SCOPED_TRACE(std::string(resourceName(row.id)));
    EXPECT_TRUE(seen.insert(row.id).second) << "listed twice";
    EXPECT_EQ(row.description().id, row.id);
    EXPECT_TRUE(names.insert(row.name).second) << "name taken twice";
    EXPECT_TRUE(std::ranges::all_of(row.name, [](char c) { return c >= 'a' && c <= 'z'; })) << row.name;
    EXPECT_EQ(findPanel(row.name), &row);
    EXPECT_EQ(panelDescription(row.id), &row.description());
    FakePanelView view;
    const auto logic = makePanel(row.id, b.context, view);
    ASSERT_NE(logic, nullptr);
    EXPECT_EQ(&logic->description(), &row.description());
  }
  EXPECT_EQ(seen, (std::set{PanelId::CameraType, PanelId::Zoom, PanelId::Focus, PanelId::ZoomFocus, PanelId::EisSetup,
                            PanelId::NightScope, PanelId::EnhancedIntensity, PanelId::BlockRead, PanelId::Exposure,
                            PanelId::ShutterSpeed, PanelId::Agc, PanelId::Ae, PanelId::WeightingData,
                            PanelId::Strobe, PanelId::TriggerLed, PanelId::WhiteBalance, PanelId::BackLight,
                            PanelId::Aperture, PanelId::Picture, PanelId::IrcfRemove, PanelId::PlFilter,
                            PanelId::MemPreset, PanelId::DirectPreset, PanelId::EepromStorePreset,
                            PanelId::CamPreset, PanelId::EepromPreset}));
  EXPECT_EQ(panelDescription(PanelId::ZoomFocus)->title, "ZOOM/FOCUS CONTROL");
  EXPECT_EQ(panelDescription(PanelId::Focus)->heading, "FOCUS CONTROL");

  FakePanelView view;
  EXPECT_EQ(panelDescription(PanelId::Demonstration), nullptr);
  EXPECT_EQ(makePanel(PanelId::Demonstration, b.context, view), nullptr);
  EXPECT_EQ(findPanel("ZoomFocus"), nullptr);
}

}  // namespace
}  // namespace orva::panels
