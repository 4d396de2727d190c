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

// What a frame reads or writes: the register (EAP, or AFP through the gateway) or the function.
inline std::string target(const std::string& frame) {
  if (frame.rfind(':', 0) == 0) return frame.substr(2, 4);
  if (frame.rfind("GFE0", 0) == 0 || frame.rfind("SFE0", 0) == 0) return frame.substr(5, 4);
  return frame.substr(1, 4);
}

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
    from = bench.mark();
    logic = make(bench.context, view);
  }
  std::vector<std::string> targets(std::uint64_t since) const {
    std::vector<std::string> out;
    for (const auto& f : bench.heardSince(since)) out.push_back(target(f));
    return out;
  }
  // Runs the slot's work to its end and shows what it posted.
  void settle() {
    bench.runner.waitIdle();
    bench.dispatcher.runPending();
  }

  std::uint64_t from = 0;
};

}  // namespace orva::panels::lens
