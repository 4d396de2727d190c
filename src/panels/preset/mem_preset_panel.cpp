// MEM-PRESET: "Memory" n keeps the lens's current zoom/focus pair, "Preset" n sends it back.
// The four pairs are the tool's (ToolPresets): a panel opened again finds them ticked.
#include <array>
#include <optional>
#include <vector>

#include "panels/preset/preset_panel.hpp"
#include "panels/preset/preset_panels.hpp"
#include "panels/preset/preset_settings.hpp"

namespace orva::panels::preset {
namespace {

using Pair = MemoryPair;

bool readPair(CameraAccess& camera, Pair& pair) {
  if (camera.protocol() == P::Eap) return camera.read(kZoomNow, pair.zoom) && camera.read(kFocusNow, pair.focus);
  std::vector<std::uint32_t> fields;
  if (!camera.codes().read(kPairCode, fields) || fields.size() < 2) return false;
  pair = {fields[0], fields[1]};
  return true;
}

bool sendPair(CameraAccess& camera, const Pair& pair) {
  if (camera.protocol() == P::Eap)
    return camera.write(kZoomTarget, pair.zoom) && camera.write(kFocusTarget, pair.focus);
  const std::array<std::uint32_t, 2> fields{pair.zoom, pair.focus};
  return camera.codes().write(kPairCode, fields);
}

class MemPresetPanel final : public PresetPanel {
 public:
  MemPresetPanel(PanelContext& context, PanelView& view) : PresetPanel(memPresetDescription(), context, view) {}

 protected:
  bool readOnOpen() override {
    if (!takeManualFocus()) return false;
    for (int n = 0; n < kMemoryCount; ++n) tick(n, pairs()[static_cast<std::size_t>(n)].has_value());
    setControlEnabled(kCancel, false);
    continuousFollowsType();
    return true;
  }

  bool handle(const Intent& in) override {
    if (in.control >= kMemory1 && in.control < kMemory1 + kMemoryCount && in.kind == Intent::Kind::Toggle) {
      memory(in.control - kMemory1);
      return true;
    }
    if (in.control >= kPreset1 && in.control < kPreset1 + kMemoryCount && in.kind == Intent::Kind::Click) {
      recall(in.control - kPreset1);
      return true;
    }
    if (in.control == kCancel && in.kind == Intent::Kind::Click) {
      if (offered(kCancel)) cancel();
      return true;
    }
    return false;
  }

  void afterWrite(ControlId control) override {
    if (control == kType) continuousFollowsType();
  }

 private:
  static ControlId memoryKey(int n) { return static_cast<ControlId>(kMemory1 + n); }
  static ControlId preset(int n) { return static_cast<ControlId>(kPreset1 + n); }

  void memory(int n) {
    const auto i = static_cast<std::size_t>(n);
    if (!offered(memoryKey(n))) return;
    if (pairs()[i]) {
      // Forgetting a pair is the tool's alone: nothing goes to the camera.
      pairs()[i].reset();
      tick(n, false);
      return;
    }
    auto claim = context().runner.claim();
    if (!claim) return;
    tick(n, true);
    context().monitor.heading(texts::kMemoryHeadings[i]);
    Pair pair;
    // A pair that could not be read leaves the key unticked rather than over a stale pair.
    if (!readPair(context().camera, pair)) {
      tick(n, false);
      return;
    }
    pairs()[i] = pair;
  }

  void recall(int n) {
    const auto i = static_cast<std::size_t>(n);
    if (!offered(preset(n)) || !pairs()[i]) return;
    const Pair pair = *pairs()[i];
    startPreset(texts::kPresetHeadings[i], [pair](CameraAccess& camera) { return sendPair(camera, pair); });
  }

  void tick(int n, bool on) {
    present(memoryKey(n), on ? 1 : 0);
    setControlEnabled(preset(n), on);
  }

  // On models with digital zoom the presets' digital zoom mode applies to Type2 only.
  void continuousFollowsType() {
    if (!offered(kContinuous) && !selected(kContinuous)) return;
    setControlEnabled(kContinuous, selected(kType) == 1);
  }

  decltype(ToolPresets::memory)& pairs() { return host().toolPresets().memory; }
};

}  // namespace

std::unique_ptr<PanelLogic> makeMemPresetPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<MemPresetPanel>(context, view);
}

}  // namespace orva::panels::preset
