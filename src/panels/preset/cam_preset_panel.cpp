// CAMPRESET: 32 lens states kept inside the camera, stored, deleted and run with one AFP
// function (sub-command, slot) whose reply is the completion. The camera cannot be asked which
// slots hold a state, so the keys start unticked, as the operator's record of this session's
// stores. In EAP the camera has no such function: the keys change only themselves.
#include <fmt/format.h>

#include <array>
#include <string>

#include "panels/preset/preset_lens_part.hpp"
#include "panels/preset/store_preset_panels.hpp"

namespace orva::panels::preset {
namespace {

namespace T = texts;
using P = link::Protocol;

bool sendCameraPreset(CameraAccess& camera, std::uint32_t sub, int n) {
  const std::array<std::uint32_t, 2> fields{sub, static_cast<std::uint32_t>(n)};
  return camera.codes().write(kCameraPresetCode, fields);
}

class CamPresetPanel final : public PresetLensPart {
 public:
  CamPresetPanel(PanelContext& context, PanelView& view) : PresetLensPart(camPresetDescription(), context, view) {}

 protected:
  bool readOnOpen() override {
    for (int n = 1; n <= kCameraSlots; ++n) {
      setKey(n, false);
      setControlEnabled(memoryKey(n), n <= kOpenSlots);
    }
    present(kCamType, 0);
    // The detail dialog is not part of this tool.
    setControlEnabled(kDetailSet, false);
    return readLens();
  }

  bool handle(const Intent& in) override {
    if (handleLens(in)) return true;
    const ControlId c = in.control;
    if (c >= kCamMemory1 && c < kCamMemory1 + kCameraSlots && in.kind == Intent::Kind::Toggle) {
      memory(c - kCamMemory1 + 1);
      return true;
    }
    if (c >= kCamPreset1 && c < kCamPreset1 + kCameraSlots && in.kind == Intent::Kind::Click) {
      execute(c - kCamPreset1 + 1);
      return true;
    }
    if (c == kCamClearAll && in.kind == Intent::Kind::Click) {
      if (offered(kCamClearAll)) clearAll();
      return true;
    }
    return false;
  }

 private:
  static ControlId memoryKey(int n) { return static_cast<ControlId>(kCamMemory1 + n - 1); }
  static ControlId presetKey(int n) { return static_cast<ControlId>(kCamPreset1 + n - 1); }
  bool afp() { return context().camera.protocol() == P::Afp; }

  void setKey(int n, bool on) {
    ticked_[static_cast<std::size_t>(n - 1)] = on;
    present(memoryKey(n), on ? 1 : 0);
    setControlEnabled(presetKey(n), on);
  }

  void memory(int n) {
    PanelContext& ctx = context();
    if (!offered(memoryKey(n)) || ctx.runner.busy()) return;
    const bool store = !ticked_[static_cast<std::size_t>(n - 1)];
    setKey(n, store);
    ctx.monitor.heading(fmt::format(fmt::runtime(store ? T::kCamMemory : T::kCamDelete), n));
    if (!afp()) return;
    const auto revert = [this, n, store] { setKey(n, !store); };
    const bool started = startOperation(Operation{.body = [&camera = ctx.camera, n, store, revert](const OperationRun& run) {
      if (sendCameraPreset(camera, store ? kStoreSlot : kDeleteSlot, n)) return Outcome::Silent;
      run.report(revert);
      return Outcome::Error;
    }});
    if (!started) revert();
  }

  void execute(int n) {
    PanelContext& ctx = context();
    if (!offered(presetKey(n)) || ctx.runner.busy() || !afp()) return;
    const std::uint32_t sub = selected(kCamType) == 1 ? kRunTypeTwo : kRunTypeOne;
    startOperation(Operation{.heading = fmt::format(fmt::runtime(T::kCamRun), n),
                             .name = fmt::format(fmt::runtime(T::kCamRunName), n),
                             .body = [&camera = ctx.camera, n, sub](const OperationRun&) {
                               return sendCameraPreset(camera, sub, n) ? Outcome::Done : Outcome::Error;
                             },
                             .refresh = lensRefresh()});
  }

  // Every slot deleted, in order, each key unticked as its slot goes; the first failure stops.
  void clearAll() {
    PanelContext& ctx = context();
    if (ctx.runner.busy()) return;
    if (ctx.prompt.ask(T::kClearQuestion, T::kClearTitle, core::Buttons::OkCancel, core::Icon::Question) !=
        core::Answer::Ok)
      return;
    if (!afp()) return;
    startOperation(Operation{.body = [this, &camera = ctx.camera](const OperationRun& run) {
      for (int n = 1; n <= kCameraSlots; ++n) {
        if (run.stop().stop_requested()) return Outcome::Stopped;
        if (!sendCameraPreset(camera, kDeleteSlot, n)) return Outcome::Error;
        run.report([this, n] { setKey(n, false); });
      }
      return Outcome::Silent;
    }});
  }

  std::array<bool, kCameraSlots> ticked_{};
};

}  // namespace

std::unique_ptr<PanelLogic> makeCamPresetPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<CamPresetPanel>(context, view);
}

}  // namespace orva::panels::preset
