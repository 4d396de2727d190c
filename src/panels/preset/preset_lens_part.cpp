#include "panels/preset/preset_lens_part.hpp"

#include <array>
#include <utility>

namespace orva::panels::preset {

namespace L = lens_part;
using P = link::Protocol;
using lens::FocusMode;

std::optional<int> lens_part::magnificationOf(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty() || text.size() > 2) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value == 0) return std::nullopt;
  return value;
}

bool PresetLensPart::handleLens(const Intent& in) {
  switch (in.control) {
    case L::kGotoZoom:
      if (in.kind == Intent::Kind::Edit) gotoText_ = in.text;
      if (in.kind != Intent::Kind::Enter) return false;
      // Kept for "START"; the entry itself writes nothing.
      gotoText_ = in.text;
      view().setText(L::kGotoZoom, gotoText_);
      return true;
    case L::kGotoZoomStart:
      if (in.kind != Intent::Kind::Click) return false;
      startGotoZoom();
      return true;
    case L::kFocusMode:
      if (in.kind != Intent::Kind::Choose) return false;
      chooseFocus(in.index);
      return true;
    default: return false;
  }
}

bool PresetLensPart::readLens() {
  FocusMode mode = FocusMode::Auto;
  if (!lens::readFocusMode(context().camera, context().model, mode)) return false;
  showFocus(mode);
  return true;
}

CommandWait PresetLensPart::commandWait(std::uint8_t arrivalCode) {
  CommandWait wait;
  wait.arrivalMessage = host().zoomArrivalMessage();
  wait.activeExec = host().configValue("Active Exec =").value_or(0) == 1;
  wait.arrivalCode = arrivalCode;
  return wait;
}

std::function<PanelUpdate(std::stop_token)> PresetLensPart::lensRefresh() {
  auto& ctx = context();
  return [this, &ctx](std::stop_token) -> PanelUpdate {
    auto& camera = ctx.camera;
    const bool digital = camera::lens::hasDigitalZoom(ctx.model);
    const bool afp = camera.protocol() == P::Afp;
    std::uint32_t continuous = 0, instant = 0, tenths = 0;
    FocusMode mode = FocusMode::Auto;
    bool ok = !digital || camera.read(camera::lens::kContinuousZoomSetting, continuous);
    if (ok && digital && afp)
      ok = camera.read(camera::lens::kInstantZoomSetting, instant) &&
           camera.read(camera::lens::kInstantMaxSetting, tenths);
    ok = ok && lens::readFocusMode(camera, ctx.model, mode);
    return [this, ok, digital, afp, continuous, instant, tenths, mode] {
      if (!ok) {
        finish(CloseReason::ReadFailed);
        return;
      }
      if (digital) {
        present(L::kContinuousZoom, continuous);
        if (afp) {
          present(L::kInstantZoom, instant);
          present(L::kInstantMax, tenths);
        }
      }
      showFocus(mode);
    };
  };
}

void PresetLensPart::showFocus(FocusMode mode) {
  const bool manual = mode == FocusMode::Manual;
  focus_ = manual ? 1 : 0;
  present(L::kFocusMode, static_cast<std::uint32_t>(focus_));
  setControlEnabled(L::kFocusNear, manual);
  setControlEnabled(L::kFocusFar, manual);
}

void PresetLensPart::startGotoZoom() {
  auto& ctx = context();
  if (!offered(L::kGotoZoomStart) || ctx.runner.busy()) return;
  auto m = L::magnificationOf(gotoText_);
  if (!m) {
    view().beep();
    return;
  }
  const int top = camera::lens::lensRow(ctx.model.lensIndex).maximum;
  if (top > 0 && *m > top) {
    m = top;
    gotoText_ = std::to_string(top);
    view().setText(L::kGotoZoom, gotoText_);
  }
  const std::uint32_t value = L::bcd(*m);
  Operation op;
  op.heading = L::kGotoZoomHeading;
  op.name = L::kGotoZoomName;
  op.body = [&ctx, value, wait = commandWait(kArrivalGoToZoom)](const OperationRun& run) {
    if (ctx.camera.protocol() == P::Afp) {
      // The function's completion is the arrival.
      const std::array<std::uint32_t, 1> fields{value};
      return ctx.camera.codes().write(L::kGotoZoomFunction, fields) ? Outcome::Done : Outcome::Error;
    }
    const auto word = static_cast<std::uint16_t>(L::kGotoZoomWord + value);
    return runPresetCommand(ctx.camera, ctx.monitor, ctx.clock, run, word, wait);
  };
  op.refresh = lensRefresh();
  startOperation(std::move(op));
}

void PresetLensPart::chooseFocus(int index) {
  auto& ctx = context();
  if (index < 0 || index > 1 || index == focus_ || !offered(L::kFocusMode) || ctx.runner.busy()) {
    present(L::kFocusMode, static_cast<std::uint32_t>(focus_ < 0 ? 0 : focus_));
    return;
  }
  const FocusMode wanted = index == 1 ? FocusMode::Manual : FocusMode::Auto;
  // A held arrow stops before the focus leaves manual.
  if (wanted != FocusMode::Manual) {
    setControlEnabled(L::kFocusNear, false);
    setControlEnabled(L::kFocusFar, false);
  }
  Operation op;  // a quiet run: no heading, no result line
  op.body = [this, &ctx, wanted](const OperationRun& run) {
    lens::switchFocusMode(ctx.camera, ctx.clock, ctx.model, wanted);
    FocusMode now = wanted;
    const bool known = lens::readFocusMode(ctx.camera, ctx.model, now);
    run.report([this, known, now] {
      if (known) showFocus(now);
      else present(L::kFocusMode, static_cast<std::uint32_t>(focus_));
    });
    return Outcome::Silent;
  };
  startOperation(std::move(op));
}

}  // namespace orva::panels::preset
