#pragma once
// A lens panel on the panel bench, and what the lens panel tests look for in the frames heard.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "panels/fake_panel_view.hpp"
#include "panels/lens/lens_panels.hpp"
#include "panels/panel_bench.hpp"

namespace orva::panels::lens {

// The drive commands of the lens heard since `from`: EAP 0xFCBB values, AFP drive values.
inline std::vector<std::string> drives(const testing::Bench& b, std::uint64_t from) {
  std::vector<std::string> out;
  for (const auto& f : b.heardSince(from)) {
    if (f.rfind(":WFCBB", 0) == 0) out.push_back(f.substr(6, 2));
    if (f.rfind("S1107", 0) == 0 || f.rfind("S1102", 0) == 0) out.push_back(f.substr(5, 2));
  }
  return out;
}

using Make = std::unique_ptr<PanelLogic> (*)(PanelContext&, PanelView&);
inline std::unique_ptr<PanelLogic> makeZoomFocus(PanelContext& c, PanelView& v) { return makeZoomFocusPanel(c, v); }

struct Panel : testing::PanelOnBench {
  Panel(link::Protocol protocol, std::string_view registers, Make make, std::uint16_t modelCode = 0x0CF0,
        int lensIndex = 1, std::uint16_t panelWord2 = 0x00FF)
      : PanelOnBench(protocol, registers) {
    bench.model.modelCode = modelCode;
    bench.model.lensIndex = lensIndex;
    bench.model.panelWord2 = panelWord2;
    bench.monitor.clear();
    logic = make(bench.context, view);
  }
  // Runs the slot's work to its end and shows what it posted.
  void settle() {
    bench.runner.waitIdle();
    bench.dispatcher.runPending();
  }
};

}  // namespace orva::panels::lens
