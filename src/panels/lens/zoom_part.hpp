#pragma once
// What both zoom panels do (ZOOM CONTROL and ZOOM/FOCUS CONTROL): the speed, the slider and its
// moves on the operation slot, the arrows' position polling, the digital zoom and the
// magnification read-out. The panels derive from it and hand it their zoom intents.
//
// Window thread only, except the moves it starts on the operation slot.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <utility>

#include "panels/formats.hpp"
#include "panels/lens/lens_controls.hpp"
#include "panels/lens/lens_operations.hpp"
#include "panels/lens/lens_readout.hpp"
#include "panels/lens/lens_settings.hpp"
#include "panels/lens/lens_texts.hpp"
#include "panels/panel_logic.hpp"

namespace orva::panels::lens {

class ZoomPart : public PanelLogic {
 public:
  ZoomPart(const PanelDescription& d, PanelContext& c, PanelView& v) : PanelLogic(d, c, v), lens_(c.model.lensIndex) {}

 protected:
  // The zoom's own intents; true when taken.
  bool handleZoom(const Intent& in) {
    switch (in.kind) {
      case Intent::Kind::Choose:
        if (in.control == controls::kSlider) {
          slide(in.index);
          return true;
        }
        // The family 0x20 has no high speed.
        return (in.control == controls::kSpeed || in.control == controls::kSpeedSlow) && in.index == 0 &&
               lens::oldFamily(context().model) == 0x20;
      case Intent::Kind::Press:
        if (in.control != controls::kZoomWide && in.control != controls::kZoomTele) return false;
        // A press the arrow refuses starts no polling either.
        if (!offered(in.control) || context().runner.busy()) return true;
        view().startTimer(kPositionTimer, kPositionInterval);
        return false;
      case Intent::Kind::Tick:
        if (in.index != kPositionTimer) return false;
        poll();
        return true;
      case Intent::Kind::Enter:
        if (in.control != controls::kContinuousMax) return false;
        enterContinuous(in.text);
        return true;
      default: return false;
    }
  }

  // The slider range, the position and what follows from it.
  bool readZoom() {
    // The family 0x20 has no high speed: its button is greyed.
    if (lens::oldFamily(context().model) == 0x20)
      for (ControlId id : {controls::kSpeed, controls::kSpeedSlow}) view().setItemEnabled(id, 0, false);
    view().setRange(controls::kSlider, 0, lens::lensRow(lens_).sliderTop);
    std::uint32_t position = 0;
    if (!lens::readZoomPosition(context().camera, context().model, position)) return false;
    showPosition(position);
    return readDigital();
  }

  // The digital zoom the camera reports, on the models that report it; none where a read failed.
  static std::optional<bool> digitalActive(CameraAccess& camera, const camera::ModelRecord& model) {
    if (!lens::hasDigitalZoom(model)) return false;
    std::uint32_t v = lens::kDigitalIdle;
    if (!camera.read(lens::kDigitalActiveSetting, v)) return std::nullopt;
    return v < lens::kDigitalIdle;
  }

  bool readDigital() {
    const auto active = digitalActive(context().camera, context().model);
    if (active) digital_ = *active;
    return active.has_value();
  }

  void showPosition(std::uint32_t position) {
    step_ = lens::zoomStep(lens_, position);
    view().setValue(controls::kSlider, lens::sliderPosition(lens_, step_));
    showMagnification();
  }

  void showMagnification() {
    const bool instant = selected(controls::kInstant).value_or(0) == 1;
    const std::uint32_t tenths = number(controls::kInstantMax).value_or(10);
    view().setText(controls::kMagnification, lens::magnificationText(context().model, step_ + 1, instant, tenths));
    view().setText(controls::kDigiMark, digital_ || instant ? texts::kDigiMark : "");
  }

  // The continuous maximum as its coding shows it; "--" for a byte the coding cannot show.
  bool readContinuousMax() {
    std::uint32_t stored = 0;
    if (!context().camera.read(kContinuousMaxSetting, stored)) return false;
    const auto b = static_cast<std::uint8_t>(stored & 0xFFu);
    const auto code = context().model.modelCode;
    const auto shown = familyCoding() ? lens::familyContinuousMaximum(code, b) : lens::continuousMaximum(code, b);
    continuousText_ =
        shown ? formatValue(Format::Decimal, static_cast<std::uint32_t>(*shown)) : std::string(texts::kNoValue);
    view().setText(controls::kContinuousMax, continuousText_);
    return true;
  }

  bool readInstantMax() {
    std::uint32_t tenths = 0;
    if (!context().camera.read(kInstantMaxSetting, tenths)) return false;
    present(controls::kInstantMax, tenths);
    return true;
  }

  void afterWrite(ControlId control) override {
    if (control == controls::kInstant || control == controls::kInstantMax) showMagnification();
  }

  void closing() override { move_.request_stop(); }

  // ZOOM/FOCUS codes the continuous maximum by family.
  virtual bool familyCoding() const { return false; }
  // The whole travel at the speed the panel shows; a speed it does not show may be the slowest.
  virtual std::chrono::milliseconds travelTime() const {
    const int speed = selected(controls::kSpeed).value_or(-1);
    if (speed == 0 || speed == 1)
      return lens::zoomTravelTime(lens_, speed == 0 ? lens::ZoomSpeed::High : lens::ZoomSpeed::Normal);
    return lens::zoomTravelTime(lens_, lens::ZoomSpeed::Slow, kSlowestLevel);
  }
  // A zoom ended with the camera in zoom cue: "MANUAL FOCUS" is held off (ZOOM/FOCUS).
  virtual void holdZoomCue(std::chrono::milliseconds) {}
  virtual bool watchesZoomCue() const { return false; }

  int lens_;
  int step_ = 0;
  static constexpr int kSlowestLevel = 15;

 private:
  void slide(int position) {
    if (!offered(controls::kSlider)) return;
    const int top = lens::lensRow(lens_).sliderTop;
    const int shown = lens::sliderPosition(lens_, step_);
    if (position < 0 || position > top) return;
    const int target = lens::stepOfSlider(lens_, position);
    if (target == step_ || !startMove(target)) view().setValue(controls::kSlider, shown);
  }

  bool startMove(int target) {
    auto& ctx = context();
    move_ = std::stop_source();
    Operation op;
    op.heading = texts::kZoomMoveHeading;
    op.name = texts::kZoomMoveName;
    op.body = [this, source = move_, lensIndex = lens_, target, lensOf = cameraZoomLens(ctx.camera, ctx.model), &ctx,
               panel = token(), cue = watchesZoomCue(), limit = zoomMoveLimit(travelTime())](std::stop_token stop) {
      std::stop_source mine = source;
      std::stop_callback link(stop, [&mine] { mine.request_stop(); });
      const Outcome outcome = moveZoom(lensOf, ctx.clock, mine.get_token(), lensIndex, target, limit);
      std::uint32_t position = 0;
      const bool known = lensOf.readPosition(position);
      // Where the move ended decides whether the camera now zooms digitally.
      const auto digital = known ? digitalActive(ctx.camera, ctx.model) : std::nullopt;
      const auto hold = cue ? zoomCueHold(ctx.camera, ctx.model) : std::nullopt;
      postToPanel(ctx.dispatcher, panel, [this, known, position, digital, hold] {
        if (digital) digital_ = *digital;
        if (known) showPosition(position);
        if (hold) holdZoomCue(*hold);
      });
      return outcome;
    };
    return startOperation(std::move(op));
  }

  // Timer 2: the position while the zoom moves; stops once the drive reads stopped.
  void poll() {
    const auto claim = context().runner.claim();
    if (!claim) return;  // a run has the line: its own update follows
    auto& camera = context().camera;
    std::uint32_t position = 0, drive = 0;
    // The camera goes over to digital zoom and back as the lens passes its tele end.
    if (!lens::readZoomPosition(camera, context().model, position) || !readDigital()) {
      view().stopTimer(kPositionTimer);
      return;
    }
    showPosition(position);
    if (!camera.read(kZoomDriveSetting, drive) || drive == kLensStop.in(camera.protocol())) {
      view().stopTimer(kPositionTimer);
      if (watchesZoomCue())
        if (const auto hold = zoomCueHold(camera, context().model)) holdZoomCue(*hold);
    }
  }

  void enterContinuous(std::string_view text) {
    const auto code = context().model.modelCode;
    std::optional<int> n;
    if (familyCoding()) {
      const auto v = parseEntry(Format::Decimal, text);
      if (!v) {
        view().beep();
        return;
      }
      const int limit = lens::familyDigitalZoomLimit(context().model);
      // Out of range: the nearer bound is shown and used.
      const int clamped = static_cast<int>(std::clamp<std::uint32_t>(*v, 1, static_cast<std::uint32_t>(limit)));
      if (std::cmp_not_equal(clamped, *v)) {
        view().beep();
        view().setText(controls::kContinuousMax, formatValue(Format::Decimal, static_cast<std::uint32_t>(clamped)));
      }
      n = clamped;
    } else {
      // One digit, 1 to 8.
      std::string_view t = text;
      while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
      while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
      if (t.size() == 1 && t[0] >= '1' && t[0] <= '8') n = t[0] - '0';
    }
    const auto stored =
        n ? (familyCoding() ? lens::familyContinuousCode(code, *n) : lens::continuousCode(code, *n)) : std::nullopt;
    if (!stored) {
      view().beep();
      return;
    }
    const auto claim = context().runner.claim();
    if (!claim) return;
    if (context().camera.write(kContinuousMaxSetting, *stored)) {
      continuousText_ = formatValue(Format::Decimal, static_cast<std::uint32_t>(*n));
    }
    view().setText(controls::kContinuousMax, continuousText_);
  }

  bool digital_ = false;
  std::string continuousText_;
  std::stop_source move_;
};

}  // namespace orva::panels::lens
