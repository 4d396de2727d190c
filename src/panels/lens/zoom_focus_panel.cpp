#include "panels/lens/lens_panels.hpp"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <utility>

#include "core/deadline.hpp"
#include "panels/formats.hpp"
#include "panels/hold_button.hpp"
#include "panels/lens/lens_choices.hpp"
#include "panels/lens/lens_controls.hpp"
#include "panels/lens/lens_operations.hpp"
#include "panels/lens/lens_readout.hpp"
#include "panels/lens/lens_settings.hpp"
#include "panels/lens/lens_texts.hpp"
#include "panels/lens/zoom_part.hpp"
#include "panels/texts.hpp"

namespace orva::panels::lens {
namespace {

using namespace std::chrono_literals;
namespace C = controls;
namespace T = texts;

class ZoomFocusPanel final : public ZoomPart {
 public:
  ZoomFocusPanel(PanelContext& c, PanelView& v, ZoomFocusOptions options)
      : ZoomPart(zoomFocusPanelDescription(), c, v), options_(options) {}

 protected:
  bool familyCoding() const override { return true; }
  bool watchesZoomCue() const override { return true; }

  std::chrono::milliseconds travelTime() const override {
    switch (speed_) {
      case 0: return lens::zoomTravelTime(lens_, lens::ZoomSpeed::High);
      case 1: return lens::zoomTravelTime(lens_, lens::ZoomSpeed::Normal);
      case 2: return lens::zoomTravelTime(lens_, lens::ZoomSpeed::Slow, slowLevel_);
      default: return ZoomPart::travelTime();
    }
  }

  void holdZoomCue(std::chrono::milliseconds hold) override {
    cueHold_ = true;
    view().setItemEnabled(C::kFocusModeCue, static_cast<std::size_t>(FocusMode::Manual), false);
    view().startTimer(kZoomCueTimer, hold);
  }

  bool readOnOpen() override {
    const auto& m = context().model;
    if (!readSpeed() || !refresh(C::kContinuous) || !refresh(C::kInstant) || !readZoom() || !readContinuousMax() ||
        !readInstantMax())
      return false;
    instantTenths_ = number(C::kInstantMax).value_or(10);
    showMagnification();
    if (!readFocus()) return false;
    if (adjustment(m, context().camera.protocol()) && !readAdjustment()) return false;
    // "AF Fast mode= " offers both AF search groups wherever AF search is.
    if (options_.afFastMode && lens::hasAfSearch(m)) {
      const bool typeC = lens::hasAfSearchTypeC(m);
      setControlShown(C::kAfSearch, !typeC);
      setControlShown(C::kAfSearchTypeC, typeC);
      setControlShown(C::kFastAf, true);
    }
    for (ControlId id : {C::kAfSearch, C::kAfSearchTypeC}) {
      if (!isShown(id)) continue;
      if (!refresh(id)) return false;
      // A value no button names selects "OFF".
      if (selected(id).value_or(-1) < 0) present(id, offValue(id));
    }
    if (isShown(C::kFastAf) && !readFastAf()) return false;
    for (ControlId id : kAfOptionReads)
      if (isShown(id) && !refresh(id)) return false;
    if (isShown(C::kStopTimeUnit)) {
      captionStopTime();
      if (!readWatchdogOptions()) return false;
    }
    // Both step groups start coarse.
    focusStep_ = zoomStep_ = 0;
    view().setValue(C::kFocusStep, 0);
    view().setValue(C::kZoomStep, 0);
    return true;
  }

  bool handle(const Intent& in) override {
    // In adjustment mode the arrows are step timers, before anything the zoom does with them.
    if (in.kind == Intent::Kind::Press && onPress(in.control)) return true;
    if (in.kind == Intent::Kind::Release && onRelease(in.control)) return true;
    if (handleZoom(in)) return true;
    switch (in.kind) {
      case Intent::Kind::Choose: return onChoose(in.control, in.index);
      case Intent::Kind::Enter: return onEnter(in.control, in.text);
      case Intent::Kind::Click: return onClick(in.control);
      case Intent::Kind::Tick: return onTick(in.index);
      default: return false;
    }
  }

  void afterWrite(ControlId control) override {
    ZoomPart::afterWrite(control);
    auto& monitor = context().monitor;
    const int item = selected(control).value_or(0);
    const auto onOff = [&](std::string_view head) {
      monitor.heading(std::string(head) + std::string(item == 1 ? T::kHeadingOn : T::kHeadingOff));
    };
    switch (control) {
      case C::kQuickAf: onOff(T::kQuickAfHeading); break;
      case C::kMultiAreaAf: onOff(T::kMultiAreaAfHeading); break;
      case C::kPointLightAf: onOff(T::kPointLightAfHeading); break;
      case C::kAfZoomMacro: onOff(T::kAfZoomMacroHeading); break;
      case C::kLensPositionMode:
        monitor.heading(std::string(T::kLensPositionHeading) +
                        std::string(item == 1 ? T::kTypeBHeading : T::kTypeAHeading));
        break;
      case C::kMinFocus:
        // The models 0x90 to 0x9F keep the minimum focus length in a second register too.
        if (context().model.modelCode >= 0x90 && context().model.modelCode <= 0x9F)
          context().camera.write(kMinFocusTwinRegister, kMinFocusChoices[static_cast<std::size_t>(item)].value.eap);
        monitor.heading(T::kMinFocusHeadings[static_cast<std::size_t>(item)]);
        break;
      case C::kNewMinFocus: monitor.heading(T::kNewMinFocusHeadings[static_cast<std::size_t>(item)]); break;
      case C::kFocusOffset: monitor.heading(T::kFocusOffsetHeading); break;
      case C::kWatchdogMode:
        monitor.heading(std::string(T::kWatchdogModeHeading) +
                        std::string(T::kWatchdogModeSuffixes[static_cast<std::size_t>(item)]));
        break;
      case C::kAfSensitivity:
        monitor.heading(std::string(T::kAfSensitivityHeading) +
                        std::string(T::kAfSensitivitySuffixes[static_cast<std::size_t>(item)]));
        break;
      case C::kAfSearch: monitor.heading(kAfSearchHeadings[static_cast<std::size_t>(item)]); break;
      case C::kAfSearchTypeC: monitor.heading(kAfSearchHeadingsC[static_cast<std::size_t>(item)]); break;
      case C::kStopTimeUnit: captionStopTime(); break;
      default: break;
    }
  }

 private:
  // The AF options are never disabled: offered is shown for them.
  bool isShown(ControlId id) const { return offered(id); }

  std::uint32_t offValue(ControlId id) {
    const auto choices = id == C::kAfSearch ? std::span<const Choice>(kAfSearches) : std::span<const Choice>(kAfSearchesC);
    return choices.back().value.in(protocol());
  }

  // ---- zoom speed

  ControlId speedControl() { return lens::hasSlowZoom(model()) ? C::kSpeedSlow : C::kSpeed; }
  const camera::ModelRecord& model() { return context().model; }
  P protocol() { return context().camera.protocol(); }

  bool readSpeed() {
    auto& camera = context().camera;
    std::uint32_t v = 0;
    if (!camera.read(camera::kZoomSpeedSetting, v)) return false;
    const bool slowModel = lens::hasSlowZoom(model());
    if (camera.protocol() == P::Afp) {
      speed_ = v == 18 ? 0 : v == 17 ? 1 : (slowModel && v >= 1 && v <= 16) ? 2 : -1;
      if (speed_ == 2) slowLevel_ = static_cast<int>(16 - v);
    } else {
      const auto bits = v & kSpeedBits;
      speed_ = bits == 0x00 ? 0 : bits == 0x08 ? 1 : (slowModel && bits == 0x0C) ? 2 : -1;
      if (slowModel) {
        std::uint32_t level = 0;
        if (!camera.read(kSlowLevelRegister, level)) return false;
        slowLevel_ = static_cast<int>(std::min<std::uint32_t>(level, 15));
      }
    }
    view().setValue(speedControl(), speed_);
    if (slowModel) {
      view().setValue(C::kSlowList, slowLevel_);
      setControlEnabled(C::kSlowList, speed_ == 2);
    }
    return true;
  }

  bool chooseSpeed(int index) {
    const int count = lens::hasSlowZoom(model()) ? 3 : 2;
    if (index < 0 || index >= count || index == speed_) return true;
    auto& camera = context().camera;
    bool written = false;
    if (camera.protocol() == P::Afp) {
      const std::uint32_t value = index == 0 ? 18u : index == 1 ? 17u : static_cast<std::uint32_t>(16 - slowLevel_);
      written = camera.write(camera::kZoomSpeedSetting, value);
    } else {
      std::uint32_t now = 0;
      if (camera.read(camera::kZoomSpeedSetting, now)) {
        const std::uint32_t bits = kSpeedsSlow[static_cast<std::size_t>(index)].value.eap;
        written = camera.write(camera::kZoomSpeedSetting, (now & ~std::uint32_t{kSpeedBits}) | bits);
      }
    }
    if (written) speed_ = index;
    view().setValue(speedControl(), speed_);
    if (lens::hasSlowZoom(model())) setControlEnabled(C::kSlowList, speed_ == 2);
    return true;
  }

  bool chooseSlowLevel(int level) {
    if (level < 0 || level > 15 || level == slowLevel_) return true;
    auto& camera = context().camera;
    const bool written = camera.protocol() == P::Afp
                             ? camera.write(camera::kZoomSpeedSetting, static_cast<std::uint32_t>(16 - level))
                             : camera.write(kSlowLevelRegister, static_cast<std::uint32_t>(level));
    if (written) slowLevel_ = level;
    view().setValue(C::kSlowList, slowLevel_);
    return true;
  }

  // ---- focus

  ControlId focusControl() { return zoomCue(model(), protocol()) ? C::kFocusModeCue : C::kFocusMode; }

  bool readFocus() {
    FocusMode mode = FocusMode::Auto;
    if (!readFocusMode(context().camera, model(), mode)) return false;
    showFocus(mode);
    return true;
  }

  void showFocus(FocusMode mode) {
    focus_ = mode;
    view().setValue(focusControl(), static_cast<int>(mode));
    if (adjustment_ == 0) {
      setControlEnabled(C::kFocusNear, mode == FocusMode::Manual);
      setControlEnabled(C::kFocusFar, mode == FocusMode::Manual);
    }
  }

  bool chooseFocus(int index) {
    const int count = focusControl() == C::kFocusModeCue ? 3 : 2;
    if (index < 0 || index >= count || index == static_cast<int>(focus_)) return true;
    const auto wanted = static_cast<FocusMode>(index);
    // After a zoom in zoom cue the manual focus waits for the hold to end.
    if (cueHold_ && wanted == FocusMode::Manual) return true;
    auto& ctx = context();
    // A held arrow stops before the focus leaves manual.
    if (wanted != FocusMode::Manual && adjustment_ == 0) {
      setControlEnabled(C::kFocusNear, false);
      setControlEnabled(C::kFocusFar, false);
    }
    switchFocusMode(ctx.camera, ctx.clock, ctx.model, wanted);
    FocusMode now = focus_;
    if (readFocusMode(ctx.camera, ctx.model, now)) showFocus(now);
    else view().setValue(focusControl(), static_cast<int>(focus_));
    return true;
  }

  // ---- adjustment mode

  bool readAdjustment() {
    auto& camera = context().camera;
    std::uint32_t v = 0;
    if (!camera.read(kAdjustmentRegister, v)) return false;
    if (v == kAdjustmentOn) {
      adjustment_ = 1;
      // The raw limits of the adjustment: the steps may take the motors anywhere.
      const std::pair<std::uint16_t, std::uint32_t> limits[] = {
          {0xF71A, 0x0700}, {0xF718, 0xF800}, {0xF71C, 0x0400}, {0xF71E, 0xFC00}};
      for (const auto& [address, value] : limits)
        if (!camera.write(reg16(address), value)) return false;
    } else if (v == kAdjustmentOff) {
      adjustment_ = 2;
    } else {
      adjustment_ = 0;
      for (ControlId id : {C::kFocusNear, C::kFocusFar, C::kZoomWide, C::kZoomTele, C::kAdjustment})
        setControlEnabled(id, false);
      return true;
    }
    view().setCaption(C::kAdjustment, adjustment_ == 1 ? T::kAdjustmentOn : T::kAdjustmentOff);
    for (ControlId id : {C::kFocusNear, C::kFocusFar}) setControlEnabled(id, true);
    return true;
  }

  bool toggleAdjustment() {
    if (adjustment_ == 0 || !offered(C::kAdjustment)) return true;
    const int next = adjustment_ == 1 ? 2 : 1;
    if (context().camera.write(kAdjustmentRegister, next == 1 ? kAdjustmentOn : kAdjustmentOff)) adjustment_ = next;
    view().setCaption(C::kAdjustment, adjustment_ == 1 ? T::kAdjustmentOn : T::kAdjustmentOff);
    return true;
  }

  struct StepArrow {
    ControlId control;
    int timer;
    std::uint16_t address;
    bool adds;
    bool focus;
  };
  static constexpr std::array<StepArrow, 4> kStepArrows{{
      {C::kFocusNear, kFocusNearStepTimer, 0xF712, true, true},
      {C::kFocusFar, kFocusFarStepTimer, 0xF712, false, true},
      {C::kZoomWide, kZoomWideStepTimer, 0xF716, true, false},
      {C::kZoomTele, kZoomTeleStepTimer, 0xF716, false, false},
  }};

  static std::optional<std::size_t> stepArrowOf(ControlId control) {
    for (std::size_t i = 0; i < kStepArrows.size(); ++i)
      if (kStepArrows[i].control == control) return i;
    return std::nullopt;
  }

  bool onPress(ControlId control) {
    const auto i = stepArrowOf(control);
    if (!i || adjustment_ == 0) return false;
    // In adjustment mode an arrow steps its motor on a timer instead of driving the lens.
    if (!offered(control) || held_[*i] || context().runner.busy()) return true;
    held_[*i] = true;
    view().startTimer(kStepArrows[*i].timer, kStepInterval);
    return true;
  }

  bool onRelease(ControlId control) {
    const auto i = stepArrowOf(control);
    if (!i || adjustment_ == 0) return false;
    held_[*i] = false;
    view().stopTimer(kStepArrows[*i].timer);
    return true;
  }

  bool stepTick(std::size_t i) {
    const StepArrow& a = kStepArrows[i];
    if (!held_[i]) {
      view().stopTimer(a.timer);
      return true;
    }
    const auto claim = context().runner.claim();
    if (!claim) return true;
    auto& camera = context().camera;
    std::uint32_t v = 0;
    if (!camera.read(reg16(a.address), v)) return true;
    const std::uint32_t step = a.focus ? (focusStep_ == 0 ? 8u : 1u) : (zoomStep_ == 0 ? 128u : 16u);
    camera.write(reg16(a.address), (a.adds ? v + step : v - step) & 0xFFFFu);
    return true;
  }

  // ---- timers

  bool onTick(int timer) {
    switch (timer) {
      case kOnePushTimer:
        // The stop of one-push AF goes out whatever holds the line.
        context().camera.write(kLensDriveRegister, kLensStop.eap);
        view().stopTimer(kOnePushTimer);
        return true;
      case kZoomCueTimer:
        cueHold_ = false;
        view().setItemEnabled(C::kFocusModeCue, static_cast<std::size_t>(FocusMode::Manual), true);
        view().stopTimer(kZoomCueTimer);
        return true;
      default:
        for (std::size_t i = 0; i < kStepArrows.size(); ++i)
          if (kStepArrows[i].timer == timer) return stepTick(i);
        return false;
    }
  }

  // ---- choices, entries and buttons

  bool onChoose(ControlId control, int index) {
    if (!offered(control)) return true;
    switch (control) {
      case C::kSpeed:
      case C::kSpeedSlow: return chooseSpeed(index);
      case C::kSlowList: return chooseSlowLevel(index);
      case C::kFocusMode:
      case C::kFocusModeCue: return chooseFocus(index);
      case C::kFocusStep:
      case C::kZoomStep:
        if (index == 0 || index == 1) {
          (control == C::kFocusStep ? focusStep_ : zoomStep_) = index;
          view().setValue(control, index);
        }
        return true;
      case C::kFastAf: return chooseFastAf(index);
      default: return false;
    }
  }

  bool onEnter(ControlId control, std::string_view text) {
    if (control == C::kInstantMax) {
      if (offered(control)) enterInstant(text);
      return true;
    }
    if (control == C::kManualSpeed) {
      if (offered(control)) enterManualSpeed(text);
      return true;
    }
    return false;
  }

  void enterInstant(std::string_view text) {
    const auto v = parseEntry(Format::Tenths, text);
    if (!v || *v < 10 || *v > 20) {
      context().prompt.message(T::kInstantRange, T::kError, core::Icon::Error);
      view().beep();
      view().setText(C::kInstantMax, formatValue(Format::Tenths, instantTenths_));
      return;
    }
    if (context().camera.write(kInstantMaxSetting, *v)) {
      instantTenths_ = *v;
      present(C::kInstantMax, *v);
      showMagnification();
    } else {
      view().setText(C::kInstantMax, formatValue(Format::Tenths, instantTenths_));
    }
  }

  void enterManualSpeed(std::string_view text) {
    const auto v = parseEntry(Format::Decimal, text);
    if (!v || *v > 99) {
      view().beep();
      return;
    }
    if (*v == 0 || lastManualSpeed_ == *v) return;
    if (context().camera.write(kManualSpeedSetting, *v)) lastManualSpeed_ = *v;
  }

  bool onClick(ControlId control) {
    if (!offered(control)) return false;
    auto& ctx = context();
    switch (control) {
      case C::kOnePush: {
        if (ctx.camera.write(kLensDriveRegister, kOnePushAf))
          view().startTimer(kOnePushTimer, kOnePushInterval);
        return true;
      }
      case C::kAdjustment: return toggleAdjustment();
      case C::kSetNowZoomPosition: {
        std::uint32_t position = 0;
        if (ctx.camera.read(kNowPositionSetting, position) && ctx.camera.write(kLensPositionSetting, position))
          refresh(C::kLensPosition);
        return true;
      }
      case C::kLensCheck: {
        ctx.monitor.heading(T::kLensConditionHeading);
        if (ctx.camera.write(camera::kLensConditionSetting, 0x80) && ctx.clock.sleepFor(100ms))
          refresh(C::kLensCondition);
        return true;
      }
      case C::kOnePushTrigger: {
        if (ctx.camera.write(reg8(0xF73B), 1)) refresh(C::kOnePushState);
        return true;
      }
      case C::kTimerStop:
      case C::kRestartInPause: {
        const std::uint32_t bit = control == C::kTimerStop ? 0x01 : 0x02;
        std::uint32_t v = 0;
        if (ctx.camera.read(kWatchdogOptionRegister, v) && ctx.camera.write(kWatchdogOptionRegister, v ^ bit))
          watchdogOptions_ = v ^ bit;
        captionWatchdogOptions();
        return true;
      }
      case C::kFocusInit: ctx.camera.write(kFocusInitSetting, 1); return true;
      case C::kAfReset: ctx.camera.write(kAfResetSetting, 1); return true;
      case C::k36x:
      case C::k35x: magnificationMode(control == C::k36x); return true;
      default: return false;
    }
  }

  // ---- 36x / 35x mode

  // The lens the camera emulates changes, so does the lens row the panel works with, and the
  // session's record with it (a panel opened later and the condition readout use it too); the
  // camera applies the mode when it restarts, and the panel then reads everything again.
  void magnificationMode(bool x36) {
    auto& ctx = context();
    if (ctx.runner.busy()) return;
    if (ctx.prompt.ask(T::kSoftResetQuestion, T::kAttention, core::Buttons::OkCancel, core::Icon::Exclamation) !=
        core::Answer::Ok)
      return;
    {
      const auto claim = ctx.runner.claim();
      if (!claim || !ctx.camera.write(kMagnificationModeSetting, ProtocolValue{x36 ? 0u : 1u, x36 ? 1u : 2u})) return;
    }
    lens_ = x36 ? 23 : 19;
    host().lensChanged(lens_);
    const auto speeds = lens::speedCaptions(lens_);
    for (std::size_t i = 0; i < speeds.size(); ++i) {
      view().setItemCaption(C::kSpeed, i, speeds[i]);
      view().setItemCaption(C::kSpeedSlow, i, speeds[i]);
    }
    const auto scale = lens::scaleLabels(lens_);
    for (std::size_t i = 0; i < scale.size(); ++i) view().setItemCaption(C::kSlider, i, scale[i]);
    Operation op;
    op.heading = T::kSoftResetOn;
    op.name = T::kSoftResetOn;
    op.body = [this, &ctx, panel = token()](std::stop_token stop) {
      {
        // The camera cuts the frame's answer short as it restarts: the answer goes to the
        // status line, and the write's outcome says nothing.
        std::optional<core::EchoModeScope> echo;
        if (ctx.camera.protocol() == P::Eap) echo.emplace(ctx.monitor, core::EchoMode::StatusLine);
        ctx.camera.write(kRestartSetting, kRestart);
      }
      if (!ctx.clock.sleepFor(kRestartWait, stop)) return Outcome::Stopped;
      // The run's own continuation, posted after its last command.
      postToPanel(ctx.dispatcher, panel, [this] {
        if (!readOnOpen()) finish(CloseReason::ReadFailed);
      });
      return Outcome::Silent;
    };
    startOperation(std::move(op));
  }

  // ---- AF options of their own

  bool readFastAf() {
    std::uint32_t v = 0;
    if (!context().camera.read(reg8(0xF8D0), v)) return false;
    view().setValue(C::kFastAf, v != 0 ? 0 : 1);
    fastAf_ = v != 0 ? 0 : 1;
    return true;
  }

  bool chooseFastAf(int index) {
    if (index < 0 || index > 1 || index == fastAf_) return true;
    auto& camera = context().camera;
    std::uint32_t first = 0, second = 0;
    // ON takes the fast AF values the camera keeps in its EEPROM.
    bool ok = index == 1 || (camera.read(reg8(0x16F0), first) && camera.read(reg8(0x16FA), second));
    ok = ok && camera.write(reg8(0xF8D0), first) && camera.write(reg8(0xF8D1), second);
    if (ok) {
      fastAf_ = index;
      context().monitor.heading(index == 0 ? T::kFastAfOnHeading : T::kFastAfOffHeading);
    }
    view().setValue(C::kFastAf, fastAf_);
    return true;
  }

  void captionStopTime() {
    view().setCaption(C::kStopTime, selected(C::kStopTimeUnit).value_or(1) == 0 ? T::kStopTimeMinutes
                                                                                : T::kStopTimeSeconds);
  }

  bool readWatchdogOptions() {
    std::uint32_t v = 0;
    if (!context().camera.read(kWatchdogOptionRegister, v)) return false;
    watchdogOptions_ = v;
    captionWatchdogOptions();
    return true;
  }

  void captionWatchdogOptions() {
    view().setCaption(C::kTimerStop, (watchdogOptions_ & 0x01) != 0 ? T::kTimerStopOn : T::kTimerStopOff);
    view().setCaption(C::kRestartInPause, (watchdogOptions_ & 0x02) != 0 ? T::kRestartInPauseOn : T::kRestartInPauseOff);
  }

  ZoomFocusOptions options_;
  int speed_ = -1;
  int slowLevel_ = 0;
  FocusMode focus_ = FocusMode::Auto;
  bool cueHold_ = false;
  int adjustment_ = 0;  // 0 not offered, 1 "Adj. ON", 2 "Adj. OFF"
  int focusStep_ = 0;   // 0 coarse, 1 fine
  int zoomStep_ = 0;
  std::array<bool, 4> held_{};
  std::uint32_t instantTenths_ = 10;
  std::optional<std::uint32_t> lastManualSpeed_;
  int fastAf_ = -1;
  std::uint32_t watchdogOptions_ = 0;
};

}  // namespace

std::unique_ptr<PanelLogic> makeZoomFocusPanel(PanelContext& context, PanelView& view, ZoomFocusOptions options) {
  return std::make_unique<ZoomFocusPanel>(context, view, options);
}

}  // namespace orva::panels::lens
