// FOCUS against the virtual camera in both protocols: the arrows in manual only, and a mode
// change through the focus mode switch.
#include "panels/lens/lens_panels.hpp"

#include <gtest/gtest.h>

#include "panels/lens/lens_controls.hpp"
#include "panels/lens/lens_panel_bench.hpp"

namespace orva::panels::lens {
namespace {

using testing::byte;
using testing::name;
using P = link::Protocol;
namespace C = controls;

TEST(FocusPanel, TheArrowsWorkInManualOnlyAndAModeChangeRunsTheSwitch) {
  for (P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(name(protocol));
    Panel f(protocol, "FF0E: 00\n", makeFocusPanel);
    ASSERT_TRUE(f.logic->open());
    EXPECT_EQ(f.bench.monitor.pc().rfind("\r\n\r\n<< FOCUS CONTROL >>", 0), 0u);
    EXPECT_EQ(f.targets(f.from), (std::vector<std::string>{protocol == P::Eap ? "FF0E" : "1101"}));
    EXPECT_EQ(f.view.value(C::kFocusMode), 0);
    EXPECT_FALSE(f.view.enabled(C::kFocusNear));
    auto mark = f.bench.mark();
    f.logic->intent(Intent::press(C::kFocusNear));
    f.logic->intent(Intent::release(C::kFocusNear));
    EXPECT_TRUE(f.bench.heardSince(mark).empty()) << "auto focus: the arrows send nothing";

    f.logic->intent(Intent::choose(C::kFocusMode, 1));
    EXPECT_EQ(f.view.value(C::kFocusMode), 1);
    EXPECT_TRUE(f.view.enabled(C::kFocusNear));
    EXPECT_EQ(byte(f.bench, 0xFF0E) & 0x08, 0x08);
    if (protocol == P::Eap) {
      EXPECT_EQ(drives(f.bench, mark), (std::vector<std::string>{"A8", "FE"}));
    } else {
      EXPECT_EQ(f.bench.heardSince(mark).front(), "S110102T");
    }
    mark = f.bench.mark();
    f.logic->intent(Intent::choose(C::kFocusMode, 1));
    EXPECT_TRUE(f.bench.heardSince(mark).empty()) << "the mode already shown";
    f.logic->intent(Intent::press(C::kFocusFar));
    f.logic->intent(Intent::release(C::kFocusFar));
    EXPECT_EQ(drives(f.bench, mark), (protocol == P::Eap ? std::vector<std::string>{"A9", "FE"}
                                                         : std::vector<std::string>{"02", "01"}));
  }
}

}  // namespace
}  // namespace orva::panels::lens
