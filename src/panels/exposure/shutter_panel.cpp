#include <array>
#include <cstddef>
#include <cstdint>

#include "core/monitor_sink.hpp"
#include "panels/exposure/exposure_panels.hpp"
#include "panels/exposure/exposure_settings.hpp"
#include "panels/exposure/exposure_texts.hpp"
#include "panels/texts.hpp"

namespace orva::panels::exposure {
namespace {

using namespace shutter;
using namespace control;
namespace T = control::texts;

constexpr Choice kModes[] = {{T::kAuto, {0, 0}}, {T::kManual, {kManualShutterBit, kManualShutterBit}}};

// Each speed button stands for its line count: the one the camera holds is selected.
constexpr auto kSpeedChoices = [] {
  std::array<Choice, kShutterSpeeds.size()> out{};
  for (std::size_t i = 0; i < kShutterSpeeds.size(); ++i)
    out[i] = Choice{kShutterSpeeds[i].caption, {kShutterSpeeds[i].lines, kShutterSpeeds[i].lines}};
  return out;
}();

// The speeds are read in MANUAL only and written by the panel: the line count and its fraction.
constexpr std::array kControls{
    radio(kMode, "", Binding{kExposureBits, kManualShutterBit}, kModes),
    radio(kSpeed, "", Binding{kShutterLines}, kSpeedChoices).named(T::kSpeed).readOnRequest().takingSlot(),
    closeButton(kClose, panels::texts::kClose),
};

constexpr PanelDescription kPanel{.id = PanelId::ShutterSpeed,
                                  .title = T::kShutterTitle,
                                  .heading = T::kShutterTitle,
                                  .controls = kControls};

class ShutterPanel final : public PanelLogic {
 public:
  ShutterPanel(PanelContext& context, PanelView& view) : PanelLogic(kPanel, context, view) {}

 protected:
  bool readOnOpen() override {
    std::uint32_t standard = 0;
    {
      const core::EchoModeScope quiet(context().monitor, core::EchoMode::Hidden);
      if (!context().camera.read(kVideoStandard, standard)) return false;
    }
    standard_ = (standard & kSixtyHertzBit) != 0 ? 60 : 50;
    for (std::size_t i = 0; i < kShutterSpeeds.size(); ++i) view().setItemEnabled(kSpeed, i, offersSpeed(i));
    return enableFor(manualShutter());
  }

  void afterWrite(ControlId control) override {
    if (control == kMode) enableFor(manualShutter());
  }

  bool handle(const Intent& in) override {
    if (in.control != kSpeed || in.kind != Intent::Kind::Choose) return false;
    // A button, not a setting: the one shown writes its line count and fraction again.
    if (offered(kSpeed) && in.index >= 0 && static_cast<std::size_t>(in.index) < kShutterSpeeds.size() &&
        offersSpeed(static_cast<std::size_t>(in.index)))
      setSpeed(kShutterSpeeds[static_cast<std::size_t>(in.index)]);
    return true;
  }

 private:
  bool manualShutter() const { return selected(kMode) == 1; }
  bool offersSpeed(std::size_t i) const { return kShutterSpeeds[i].refusedAt != standard_; }

  // MANUAL shows the camera's speed; a failed read leaves the buttons as they were.
  bool enableFor(bool manual) {
    setControlEnabled(kSpeed, manual);
    return !manual || refresh(kSpeed);
  }

  // Selected once the camera holds both values; a failed write leaves the buttons as they were.
  void setSpeed(const ShutterSpeed& speed) {
    CameraAccess& camera = context().camera;
    if (!camera.write(kShutterLines, speed.lines) ||
        !camera.write(kShutterFraction, standard_ == 60 ? speed.fraction60 : speed.fraction50))
      return;
    present(kSpeed, speed.lines);
  }

  int standard_ = 50;  // the camera's video standard, in Hz
};

}  // namespace

const PanelDescription& shutterDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeShutterPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<ShutterPanel>(context, view);
}

}  // namespace orva::panels::exposure
