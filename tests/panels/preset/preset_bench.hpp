#pragma once
// One preset panel on the virtual camera, with a 20x lens.
#include "panels/panel_bench.hpp"

namespace orva::panels::preset::testing {

using namespace ::orva::panels::testing;
using P = link::Protocol;

constexpr int k20xLens = 22;

struct PresetPanel : PanelOnBench {
  using Make = std::unique_ptr<PanelLogic> (*)(PanelContext&, PanelView&);
  PresetPanel(P protocol, Make make, std::string_view registers = "", std::vector<sim::Fault> faults = {})
      : PanelOnBench(protocol, registers, std::move(faults)) {
    bench.model.lensIndex = k20xLens;
    logic = make(bench.context, view);
  }
  // An intent whose run is left going.
  void press(const Intent& in) {
    logic->intent(in);
    bench.dispatcher.runPending();
  }
  // Over the line: the run may be talking to the camera meanwhile.
  std::uint32_t read(std::uint16_t address, int width) {
    std::uint32_t v = 0;
    EXPECT_TRUE(bench.access.read(camera::registerSetting(address, width), v)) << address;
    return v;
  }
  Frames writesSince(std::uint64_t mark) const { return writes(bench.heardSince(mark)); }
  // The frames a fresh panel takes to open: where a fault counting frames starts.
  static std::size_t framesToOpen(P protocol, Make make) {
    PresetPanel p(protocol, make);
    EXPECT_TRUE(p.logic->open());
    return p.bench.heardSince(0).size();
  }
};

}  // namespace orva::panels::preset::testing
