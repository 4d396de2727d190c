#include "panels/preset/preset_panel.hpp"

#include <utility>

#include "core/monitor_sink.hpp"
#include "panels/lens/lens_operations.hpp"
#include "panels/preset/preset_panels.hpp"
#include "panels/preset/preset_settings.hpp"

namespace orva::panels::preset {

using lens::FocusMode;

bool PresetPanel::takeManualFocus() {
  PanelContext& ctx = context();
  FocusMode mode = FocusMode::Auto;
  if (!lens::readFocusMode(ctx.camera, ctx.model, mode)) return false;
  if (mode != FocusMode::Auto) return true;
  if (!lens::switchFocusMode(ctx.camera, ctx.clock, ctx.model, FocusMode::Manual)) return false;
  tookManualFocus_ = true;
  return true;
}

void PresetPanel::startPreset(std::string_view heading, Send send) {
  PanelContext& ctx = context();
  if (ctx.runner.busy()) return;
  ctx.monitor.heading(heading);
  CameraAccess& camera = ctx.camera;
  core::Clock& clock = ctx.clock;
  core::MonitorSink& monitor = ctx.monitor;
  const bool started = startOperation(Operation{.body = [this, &camera, &clock, &monitor,
                                                         send = std::move(send)](const OperationRun& run) {
    if (!send(camera)) {
      run.report([this] { ended(kFailed); });
      return Outcome::Silent;
    }
    run.report([this] { showStatus(texts::kExecutingStatus); });
    for (;;) {
      if (!clock.sleepFor(kWatchInterval, run.stop())) return Outcome::Stopped;
      if (run.takeAbort()) camera.write(kCancelRegister, kCancelValue);
      std::uint32_t status = 0;
      bool read = false;
      {
        // AFP reads the register through the gateway, unseen, ten times a second.
        std::optional<core::EchoModeScope> quiet;
        if (camera.protocol() == P::Afp) quiet.emplace(monitor, core::EchoMode::Hidden);
        read = camera.read(kStatusRegister, status);
      }
      if (!read) status = kFailed;
      if (status == kExecuting) {
        run.report([this] { showStatus(texts::kExecutingStatus); });
        continue;
      }
      run.report([this, status] { ended(status); });
      return Outcome::Silent;
    }
  }});
  if (!started) return;
  watching_ = true;
  setControlEnabled(kCancel, true);
}

void PresetPanel::ended(std::uint32_t status) {
  watching_ = false;
  setControlEnabled(kCancel, false);
  if (status == kComplete) {
    context().monitor.heading(texts::kComplete);
    showStatus(texts::kCompleteStatus);
  } else {
    context().monitor.heading(texts::kError);
    showStatus(texts::kErrorStatus);
  }
}

void PresetPanel::cancel() {
  if (!watching_) return;
  context().monitor.heading(texts::kCancelHeading);
  context().runner.requestAbort();
}

void PresetPanel::showStatus(std::string_view text) { view().setText(kStatus, text); }

void PresetPanel::closing() {
  PanelContext& ctx = context();
  if (watching_) ctx.runner.requestStop();
  watching_ = false;
  if (tookManualFocus_) lens::switchFocusMode(ctx.camera, ctx.clock, ctx.model, FocusMode::Auto);
  tookManualFocus_ = false;
}

}  // namespace orva::panels::preset
