// The panel table: each panel once, each row describing and creating its own panel, the lens
// panels and CAMERA TYPE among them, and no description or logic for a panel without a row.
#include "panels/registry.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "panels/fake_panel_view.hpp"
#include "panels/panel_bench.hpp"

namespace orva::panels {
namespace {

TEST(Registry, EveryRowDescribesAndCreatesItsOwnPanelAndNoOther) {
  testing::Bench b(link::Protocol::Eap);
  std::set<PanelId> seen;
  for (const PanelRow& row : panelRows()) {
    SCOPED_TRACE(std::string(resourceName(row.id)));
    EXPECT_TRUE(seen.insert(row.id).second) << "listed twice";
    EXPECT_EQ(row.description().id, row.id);
    EXPECT_EQ(panelDescription(row.id), &row.description());
    FakePanelView view;
    const auto logic = makePanel(row.id, b.context, view);
    ASSERT_NE(logic, nullptr);
    EXPECT_EQ(&logic->description(), &row.description());
  }
  EXPECT_EQ(seen, (std::set{PanelId::CameraType, PanelId::Zoom, PanelId::Focus, PanelId::ZoomFocus}));
  EXPECT_EQ(panelDescription(PanelId::ZoomFocus)->title, "ZOOM/FOCUS CONTROL");
  EXPECT_EQ(panelDescription(PanelId::Focus)->heading, "FOCUS CONTROL");

  FakePanelView view;
  EXPECT_EQ(panelDescription(PanelId::Exposure), nullptr);
  EXPECT_EQ(makePanel(PanelId::Exposure, b.context, view), nullptr);
}

}  // namespace
}  // namespace orva::panels
