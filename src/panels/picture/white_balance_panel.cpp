#include "panels/picture/white_balance_panel.hpp"

#include <optional>

#include "core/monitor_sink.hpp"
#include "core/prompt.hpp"
#include "panels/formats.hpp"
#include "panels/picture/white_balance_settings.hpp"
#include "panels/picture/white_balance_texts.hpp"

namespace orva::panels::picture {
namespace {

namespace T = wb::texts;
using namespace wb;

// What "ADJ. MODE" gives a press: its steps and the size of each.
struct Burst {
  int steps;
  int step;
};
constexpr Burst kCoarseBurst{5, 8};
constexpr Burst kFineBurst{2, 4};

// The controls auto white balance disables.
constexpr ControlId kManualGroup[] = {wb::kRGain, wb::kBGain, wb::kAdjData, wb::kAdjMode, kDown, kUp};

class WhiteBalancePanel final : public PanelLogic {
 public:
  WhiteBalancePanel(PanelContext& context, PanelView& view) : PanelLogic(whiteBalanceDescription(), context, view) {}

 protected:
  bool readOnOpen() override {
    const auto& model = context().model;
    if (hasFixedMode(model)) {
      if (!refresh(wb::kFixedMode)) return false;
      followFixedMode();
    }
    const bool extras = context().host != nullptr && host().configValue(T::kWbCtrlModeKey).value_or(0) != 0;
    setControlShown(wb::kRbcMax, extras);
    setControlShown(wb::kNewdark, extras);
    if (extras && (!refresh(wb::kRbcMax) || !refresh(wb::kNewdark))) return false;
    if (!refresh(kMode) || !followMode()) return false;
    if (hasLightSource(model) && !refresh(wb::kLightSource)) return false;
    return !hasPowerOnMode(model) || refresh(wb::kPowerOn);
  }

  bool handle(const Intent& in) override {
    switch (in.kind) {
      case Intent::Kind::Enter:
        if (in.control != wb::kRGain && in.control != wb::kBGain) return false;
        if (offered(in.control)) setGain(in.control, in.text);
        return true;
      case Intent::Kind::Press:
        if (in.control != kDown && in.control != kUp) return false;
        if (offered(in.control)) press(in.control == kUp);
        return true;
      case Intent::Kind::Toggle:
        if (in.control == wb::kFixedMode) {
          if (offered(in.control)) setFixedMode(selected(wb::kFixedMode) != 1);
          return true;
        }
        if (in.control != wb::kRbcMax && in.control != wb::kNewdark) return false;
        if (offered(in.control)) setBit(in.control);
        return true;
      case Intent::Kind::Click:
        if (in.control != wb::kReset) return false;
        if (offered(in.control)) reset();
        return true;
      default: return false;
    }
  }

  void afterWrite(ControlId control) override {
    if (control == kMode) {
      followMode();
    } else if (control == wb::kPowerOn) {
      // The check shows the same value.
      present(wb::kFixedMode, powerOnValue() & kFixedBit);
      followFixedMode();
    }
  }

 private:
  std::uint32_t maximum() const { return gainMaximum(model_); }

  std::uint32_t powerOnValue() const {
    const int item = selected(wb::kPowerOn).value_or(0);
    static constexpr std::uint32_t kValues[] = {0, 2, 3, 4};
    return item >= 0 && item < 4 ? kValues[item] : 0;
  }

  // Manual white balance enables the gains and the adjuster, shows the gains and starts with
  // "R/B gain" and "FINE"; auto enables the light sources. False when a gain read failed.
  bool followMode() {
    const bool manual = selected(kMode) == 1;
    for (const ControlId c : kManualGroup) setControlEnabled(c, manual);
    setControlEnabled(wb::kLightSource, !manual);
    if (!manual) return true;
    if (!refresh(wb::kRGain) || !refresh(wb::kBGain)) return false;
    present(wb::kAdjData, kBothGains);
    present(wb::kAdjMode, kFine);
    return true;
  }

  void followFixedMode() { setControlEnabled(kMode, selected(wb::kFixedMode) != 1); }

  // Whether what is written to the gains goes to the fixed gains too; none when the read failed.
  std::optional<bool> fixedGains() {
    if (!hasFixedMode(model_)) return false;
    std::uint32_t mode = 0;
    if (!context().camera.read(kPowerOnRegister, mode)) return std::nullopt;
    return mode == kFixedPowerOn;
  }

  static const camera::Setting& gainSetting(ControlId c) { return c == wb::kRGain ? kRGainSetting : kBGainSetting; }
  static const camera::Setting& fixedSetting(ControlId c) {
    return c == wb::kRGain ? kFixedRGainSetting : kFixedBGainSetting;
  }

  void setGain(ControlId control, const std::string& text) {
    const auto typed = parseEntry(Format::Hex4, text);
    if (!typed) {
      view().beep();
      return;
    }
    auto claim = context().runner.claim();
    if (!claim) return;
    const std::uint32_t value = typedGain(*typed, maximum());
    CameraAccess& camera = context().camera;
    if (!camera.write(gainSetting(control), value)) return;
    present(control, value);
    if (fixedGains().value_or(false)) camera.write(fixedSetting(control), value);
  }

  // A burst of steps on the gains "ADJ. DATA" names; with both, R and then B at each step.
  void press(bool up) {
    const Burst burst = selected(wb::kAdjMode).value_or(kFine) == kCoarse ? kCoarseBurst : kFineBurst;
    const int data = selected(wb::kAdjData).value_or(kBothGains);
    const int delta = up ? burst.step : -burst.step;
    const auto fixed = fixedGains();
    if (!fixed) return;
    const std::uint32_t top = maximum();
    const auto next = [delta, top](std::uint32_t now) { return steppedGain(now, delta, top); };
    for (int i = 0; i < burst.steps; ++i) {
      for (const ControlId gain : {wb::kRGain, wb::kBGain}) {
        if (data != kBothGains && (gain == wb::kRGain) != (data == kRGainData)) continue;
        if (!adjustLevel(gain, 1, next) || !isOpen()) return;
        if (*fixed && !context().camera.write(fixedSetting(gain), number(gain).value_or(0))) {
          finish(CloseReason::WriteFailed);
          return;
        }
      }
    }
  }

  // On: the gains become the fixed gains and the power-on mode the fixed mode; off: auto.
  void setFixedMode(bool on) {
    CameraAccess& camera = context().camera;
    auto& monitor = context().monitor;
    if (!on) {
      monitor.heading(headingText(T::kFixedOffHeading));
      setControlEnabled(kMode, true);
      if (!camera.write(kFixedModeSetting, kFixedOff)) return finish(CloseReason::WriteFailed);
      present(wb::kFixedMode, 0);
      present(wb::kPowerOn, 0);
      return;
    }
    monitor.heading(headingText(T::kFixedOnHeading));
    setControlEnabled(kMode, false);
    std::uint32_t r = 0;
    std::uint32_t b = 0;
    if (!camera.read(kRGainSetting, r)) return finish(CloseReason::ReadFailed);
    if (!camera.write(kFixedRGainSetting, r)) return finish(CloseReason::WriteFailed);
    if (!camera.read(kBGainSetting, b)) return finish(CloseReason::ReadFailed);
    if (model_.modelCode < kMarkedFixedBGainBelow) b = markedFixedBGain(b);
    if (!camera.write(kFixedBGainSetting, b) || !camera.write(kFixedModeSetting, kFixedOn))
      return finish(CloseReason::WriteFailed);
    present(wb::kFixedMode, kFixedBit);
    present(wb::kPowerOn, kFixedPowerOn);
  }

  // "WB RBC MAX", "newdark_rom": 1 when ticked, 0 when not.
  void setBit(ControlId control) {
    const std::uint32_t value = selected(control) == 1 ? 0 : 1;
    if (context().camera.write(control == wb::kRbcMax ? kRbcMaxRegister : kNewdarkRegister, value))
      present(control, value);
  }

  // The camera's soft reset, as the MODEL menu sends it, then the panel reads it all again.
  void reset() {
    auto& ctx = context();
    if (ctx.runner.busy()) return;
    if (ctx.prompt.ask(T::kResetQuestion, T::kAttention, core::Buttons::OkCancel, core::Icon::Question) !=
        core::Answer::Ok)
      return;
    Operation op;
    op.heading = T::kSoftResetHeading;
    op.body = [this, &ctx](const OperationRun& run) {
      {
        // The camera cuts the frame's answer short as it restarts: the answer goes to the
        // status line, and the write's outcome says nothing.
        std::optional<core::EchoModeScope> echo;
        if (ctx.camera.protocol() == link::Protocol::Eap) echo.emplace(ctx.monitor, core::EchoMode::StatusLine);
        ctx.camera.write(kRestartSetting, kRestart);
      }
      if (!ctx.clock.sleepFor(kRestartWait, run.stop())) return Outcome::Stopped;
      ctx.camera.purge();
      run.report([this] { reload(); });
      return Outcome::Silent;
    };
    startOperation(std::move(op));
  }

  void reload() {
    context().monitor.heading(headingText(T::kResetHeading));
    if (!readOnOpen()) finish(CloseReason::ReadFailed);
  }

  const camera::ModelRecord& model_ = context().model;
};

}  // namespace

std::unique_ptr<PanelLogic> makeWhiteBalancePanel(PanelContext& context, PanelView& view) {
  return std::make_unique<WhiteBalancePanel>(context, view);
}

}  // namespace orva::panels::picture
