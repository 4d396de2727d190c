#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "panels/ircf/ircf_panels.hpp"
#include "panels/ircf/ircf_settings.hpp"
#include "panels/ircf/ircf_texts.hpp"

namespace orva::panels::ircf {
namespace {

using namespace std::chrono_literals;

// How long the filter takes to settle after it reported its position, before the move command
// is released.
constexpr core::Clock::duration kSettleIn = 700ms;
constexpr core::Clock::duration kSettleOut = 600ms;
constexpr int kAeButtonCount = 7;
constexpr int kIndicationFilterRequest = 1;  // the indication kind of a change request

class IrcfPanel final : public PanelLogic {
 public:
  IrcfPanel(PanelContext& context, PanelView& view)
      : PanelLogic(ircfDescription(), context, view), restricted_(restricted(context.model)) {}

 protected:
  bool readOnOpen() override {
    CameraAccess& camera = context().camera;
    const auto& model = context().model;
    clearRequest();
    if (restricted_) setControlEnabled(kFilterMode, false);
    std::uint32_t code = 0;
    if (!camera.read(kModeSetting, code)) return false;
    present(kAeMode, buttonCode(code, protocol()));
    if (!followCode(code)) return false;
    // The light is the operator's while the filter is under manual control: no "R" level.
    if (!camera.read(kModeSetting, code)) return false;
    lightManual_ = ((protocol() == link::Protocol::Afp ? registerCode(code) : code) >> 4) == 0;
    lightGroup_ = lightGroup(model);
    if (lightGroup_) {
      std::uint32_t light = 0;
      if (!camera.read(lightInRegister(model) ? kLightRegister : kLightSetting, light)) return false;
      select(kLight, lightItem(light));
    }
    showLight();
    // The menus wait, and change requests come in, from now until the panel has gone; on the
    // window thread, once the opening has ended.
    postToPanel(context().dispatcher, token(), [this] { holdMenusAndListen(); });
    openedFully_ = true;
    std::uint32_t offset = 0;
    if (!camera.read(kThresholdSetting, offset)) return true;  // the opening ends here, the panel stays
    present(kThreshold, offset);
    std::uint32_t notify = 0;
    if (interruptShown(model, protocol()) && protocol() == link::Protocol::Afp &&
        camera.read(kNotifySetting, notify))
      select(kNotify, notify == 1 ? kNotNotify : kDoNotify);
    return true;
  }

  bool handle(const Intent& in) override {
    if (in.kind == Intent::Kind::Choose) {
      switch (in.control) {
        case kAeMode: chooseAe(in.index); return true;
        case kFilterMode: chooseFilterControl(in.index); return true;
        case kManualControl: move(in.index); return true;
        case kLight: chooseLight(in.index); return true;
        case kNotify: chooseNotification(in.index); return true;
        default: return false;
      }
    }
    if (in.kind == Intent::Kind::Step && in.control == kThreshold) {
      stepThreshold(in.index);
      return true;
    }
    if (in.kind == Intent::Kind::Click && in.control == kChangeRequest) {
      answerRequest();
      return true;
    }
    return false;
  }

  void closing() override {
    subscription_.reset();
    // The operator's close (the button or the window's) switches the notifications off; a
    // failure sends nothing more.
    if (openedFully_ && !failing_ && protocol() == link::Protocol::Afp && interruptShown(context().model, protocol()) &&
        selected(kNotify) == kDoNotify)
      switchNotification(kNotNotify);
    if (menusHeld_) {
      host().setMenuItemEnabled(HostMenuItem::SerialPort, true);
      host().setMenuItemEnabled(HostMenuItem::CameraSetupUtility, true);
      menusHeld_ = false;
    }
    // What the panel changed (the AE mode) is what identification finds.
    if (openedFully_ && context().portOpen()) host().identifyAfterClose();
  }

 private:
  link::Protocol protocol() { return context().camera.protocol(); }

  const ControlDescription& control(ControlId id) const {
    for (const ControlDescription& c : description().controls)
      if (c.id == id) return c;
    return description().controls.front();
  }
  // Shows an item of a choice the panel reads or sets itself.
  void select(ControlId id, int item) {
    present(id, control(id).choices[static_cast<std::size_t>(item)].value.in(protocol()));
  }
  bool validItem(ControlId id, int item) const {
    return item >= 0 && static_cast<std::size_t>(item) < control(id).choices.size();
  }
  void fail(CloseReason reason) {
    failing_ = true;
    finish(reason);
  }

  void holdMenusAndListen() {
    host().setMenuItemEnabled(HostMenuItem::SerialPort, false);
    host().setMenuItemEnabled(HostMenuItem::CameraSetupUtility, false);
    menusHeld_ = true;
    subscription_ = context().camera.subscribeIndications(
        context().dispatcher, token(), [this](const link::AfpIndication& i) { changeRequested(i); });
  }

  // ---- what the filter control offers

  bool aeButtonOffered(int button) const {
    if (!offersAeButton(model_, button)) return false;
    const auto b = static_cast<AeButton>(button);
    if (restricted_ && b <= AeButton::Exposure) return false;
    return b <= AeButton::ProgramAePlus || manual_;
  }
  void showLight() { setControlEnabled(kLight, lightGroup_ && lightManual_ && !restricted_); }

  // Manual control offers the filter buttons, the priority modes and the light; automatic
  // control the threshold offset and, in AFP, the notifications.
  void showFilterControl(bool manual) {
    manual_ = manual;
    lightManual_ = manual;
    select(kFilterMode, manual ? kManual : kAuto);
    setControlEnabled(kManualControl, manual);
    for (int b = 0; b < kAeButtonCount; ++b) view().setItemEnabled(kAeMode, static_cast<std::size_t>(b), aeButtonOffered(b));
    setControlEnabled(kThreshold, !manual);
    setControlEnabled(kNotify, !manual && protocol() == link::Protocol::Afp);
    showLight();
  }

  // The display of a mode code: a code of neither kind changes nothing. False when the filter
  // position could not be read (the panel is to close).
  bool followCode(std::uint32_t code) {
    const auto kind = filterControl(code, protocol());
    if (!kind) return true;
    showFilterControl(*kind == FilterControl::Manual);
    if (!manual_) return true;
    std::uint32_t position = 0;
    if (!context().camera.read(kPositionSetting, position)) return false;
    select(kManualControl, restricted_ || position == kFilterIn ? kMoveIn : kMoveOut);
    return true;
  }

  void clearRequest() {
    pending_.reset();
    view().setCaption(kChangeRequest, texts::kNoRequest);
    setControlEnabled(kChangeRequest, false);
  }

  // ---- the operator's choices

  void chooseAe(int button) {
    if (!offered(kAeMode) || !validItem(kAeMode, button) || !aeButtonOffered(button) || selected(kAeMode) == button)
      return;
    const std::uint32_t code = control(kAeMode).choices[static_cast<std::size_t>(button)].value.in(protocol());
    if (!context().camera.write(kModeSetting, code)) return;  // the panel stays as it was
    if (!followCode(code)) return fail(CloseReason::ReadFailed);
    present(kAeMode, code);
  }

  void chooseFilterControl(int item) {
    if (!offered(kFilterMode) || !validItem(kFilterMode, item) || selected(kFilterMode) == item) return;
    CameraAccess& camera = context().camera;
    const auto p = protocol();
    std::uint32_t code = 0;
    if (!camera.read(kModeSetting, code)) return fail(CloseReason::ReadFailed);
    const auto next = item == kAuto ? std::optional(automaticCode(code, p)) : manualCode(code, p);
    if (next && !camera.write(kModeSetting, *next)) return fail(CloseReason::WriteFailed);
    const std::uint32_t now = next.value_or(code);
    if (item == kAuto)
      select(kAeMode, now == kAutomaticProgramAe.in(p) ? static_cast<int>(AeButton::ProgramAe)
                                                       : static_cast<int>(AeButton::ProgramAePlus));
    else
      present(kAeMode, buttonCode(now, p));
    if (!followCode(now)) return fail(CloseReason::ReadFailed);
    // The choice stands whatever the code shows, as a radio button stays where it was clicked.
    showFilterControl(item == kManual);
    clearRequest();
  }

  void move(int item) {
    if (!offered(kManualControl) || !validItem(kManualControl, item) || selected(kManualControl) == item) return;
    const bool in = item == kMoveIn;
    if (protocol() == link::Protocol::Afp) {
      auto claim = context().runner.claim();
      if (claim && context().camera.write(kMoveSetting, in ? kInCommand : kOutCommand)) select(kManualControl, item);
      return;
    }
    // The camera reports the new position after the filter has moved; the command is let go
    // once it has settled. All of it off the window thread, holding the operation slot.
    CameraAccess& camera = context().camera;
    core::Clock& clock = context().clock;
    core::MonitorSink& monitor = context().monitor;
    const bool firstReadOnly = in && restricted_;
    startOperation(Operation{.body = [this, &camera, &clock, &monitor, in, item, firstReadOnly](const OperationRun& run) {
      if (!camera.write(kMoveSetting, (in ? kInCommand : kOutCommand).eap)) return Outcome::Silent;
      run.report([this, item] { select(kManualControl, item); });
      {
        const core::EchoModeScope quiet(monitor, core::EchoMode::Hidden);
        for (int reads = 0; reads < kMostPositionReads; ++reads) {
          if (run.stop().stop_requested()) return Outcome::Stopped;
          std::uint32_t position = 0;
          if (!camera.read(kPositionSetting, position)) break;
          if ((position == kFilterIn) == in || firstReadOnly) break;
        }
      }
      if (!clock.sleepFor(in ? kSettleIn : kSettleOut, run.stop())) return Outcome::Stopped;
      camera.write(kMoveSetting, kMoveRelease);
      return Outcome::Silent;
    }});
  }

  void chooseLight(int item) {
    if (!offered(kLight) || !validItem(kLight, item)) return;
    CameraAccess& camera = context().camera;
    const bool afp = protocol() == link::Protocol::Afp;
    // In AFP the IR lights are sent again when chosen again.
    if (selected(kLight) == item && (!afp || item == 0)) return;
    if (afp) {
      if (!camera.write(kLightSetting, kLightValues[item].afp)) return fail(CloseReason::WriteFailed);
    } else {
      std::uint32_t held = 0;
      if (!camera.read(kLightRegister, held)) return fail(CloseReason::ReadFailed);
      if (!camera.write(kLightRegister, lightValue(item, context().model))) return fail(CloseReason::WriteFailed);
    }
    select(kLight, item);
  }

  void stepThreshold(int steps) {
    if (!offered(kThreshold)) return;
    CameraAccess& camera = context().camera;
    for (int i = 0; i < std::abs(steps); ++i) {
      std::uint32_t value = 0;
      if (!camera.read(kThresholdSetting, value)) return;
      const std::uint32_t next = thresholdStep(value, steps > 0);
      if (!camera.write(kThresholdSetting, next)) return;
      present(kThreshold, next);
    }
  }

  void chooseNotification(int item) {
    if (!offered(kNotify) || !validItem(kNotify, item) || selected(kNotify) == item) return;
    if (switchNotification(item)) select(kNotify, item);
  }

  // "<< IR Direction : Notify >>" and the function, in AFP; in EAP nothing is sent.
  bool switchNotification(int item) {
    clearRequest();
    if (protocol() != link::Protocol::Afp) return true;
    const bool on = item == kDoNotify;
    context().monitor.heading(std::string("<< ") + std::string(texts::kDirectionHeading) +
                              std::string(on ? texts::kNotifyHeading : texts::kNotNotifyHeading));
    return context().camera.write(kNotifySetting, control(kNotify).choices[static_cast<std::size_t>(item)].value.afp);
  }

  // ---- change requests

  void changeRequested(const link::AfpIndication& indication) {
    if (indication.kind != kIndicationFilterRequest || (indication.value != 1 && indication.value != 2)) return;
    pending_ = indication.value == 1 ? kMoveIn : kMoveOut;
    view().setCaption(kChangeRequest, *pending_ == kMoveIn ? texts::kMoveIn : texts::kMoveOut);
    setControlEnabled(kChangeRequest, true);
  }

  void answerRequest() {
    if (!pending_ || !offered(kChangeRequest)) return;
    const bool in = *pending_ == kMoveIn;
    clearRequest();
    context().camera.write(kMoveSetting, in ? kInCommand : kOutCommand);
  }

  const bool restricted_;
  const camera::ModelRecord& model_ = context().model;
  bool manual_ = false;       // the filter is under manual control, as last shown
  bool lightManual_ = false;  // the light buttons may be used
  bool lightGroup_ = false;   // the model offers the light
  bool openedFully_ = false;  // the opening got past its reads that close the panel
  bool failing_ = false;      // closing for a failure of the panel's own
  bool menusHeld_ = false;
  std::optional<int> pending_;  // the change request the camera asked for: kMoveIn or kMoveOut
  IndicationSubscription subscription_;
};

}  // namespace

std::unique_ptr<PanelLogic> makeIrcfPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<IrcfPanel>(context, view);
}

}  // namespace orva::panels::ircf
