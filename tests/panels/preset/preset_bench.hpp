#pragma once
// One preset panel on the virtual camera (a 20x lens), and the frame checks the preset suites
// share.
#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "panels/fake_panel_view.hpp"
#include "panels/panel_bench.hpp"

namespace orva::panels::preset::testing {

using namespace ::orva::panels::testing;
using P = link::Protocol;
using Frames = std::vector<std::string>;

constexpr int k20xLens = 22;

inline bool has(const Frames& frames, std::string_view frame) { return std::ranges::find(frames, frame) != frames.end(); }
inline bool mentions(const Frames& frames, std::string_view part) {
  return std::ranges::any_of(frames, [part](const std::string& f) { return f.find(part) != std::string::npos; });
}
// The writes among `frames` (EAP's and AFP's), in order: the reads of the waits left out.
inline Frames writes(const Frames& frames) {
  Frames out;
  for (const auto& f : frames)
    if (f.starts_with(":W") || f.starts_with(":w") || f.starts_with("#") || f.starts_with("S")) out.push_back(f);
  return out;
}

struct PresetPanel {
  using Make = std::unique_ptr<PanelLogic> (*)(PanelContext&, PanelView&);
  PresetPanel(P protocol, Make make, std::string_view registers = "", std::vector<sim::Fault> faults = {})
      : bench(protocol, registers, std::move(faults)) {
    bench.model.lensIndex = k20xLens;
    logic = make(bench.context, view);
  }
  // Runs what the panel's run reported until the run has ended.
  void settle() {
    do bench.runner.waitIdle();
    while (bench.dispatcher.runPending() > 0 || bench.runner.busy());
  }
  // An intent whose run is left going.
  void press(const Intent& in) {
    logic->intent(in);
    bench.dispatcher.runPending();
  }
  void act(const Intent& in) {
    logic->intent(in);
    settle();
  }
  // Over the line: the run may be talking to the camera meanwhile.
  std::uint32_t read(std::uint16_t address, int width) {
    std::uint32_t v = 0;
    EXPECT_TRUE(bench.access.read(camera::registerSetting(address, width), v)) << address;
    return v;
  }
  bool logged(std::string_view text) const { return bench.monitor.log().find(text) != std::string::npos; }
  Frames writesSince(std::uint64_t mark) const { return writes(bench.heardSince(mark)); }
  // The frames a fresh panel takes to open: where a fault counting frames starts.
  static std::size_t framesToOpen(P protocol, Make make, std::string_view registers = "") {
    PresetPanel p(protocol, make, registers);
    EXPECT_TRUE(p.logic->open());
    return p.bench.heardSince(0).size();
  }

  Bench bench;
  FakePanelView view;
  std::unique_ptr<PanelLogic> logic;
};

}  // namespace orva::panels::preset::testing
