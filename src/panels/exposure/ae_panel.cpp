#include "panels/exposure/ae_panel.hpp"

#include <algorithm>
#include <array>
#include <chrono>
#include <optional>

#include "panels/camera_condition.hpp"
#include "panels/exposure/ae_settings.hpp"
#include "panels/exposure/ae_texts.hpp"
#include "panels/formats.hpp"

namespace orva::panels::exposure {
namespace {

using namespace std::chrono_literals;

// How long the camera takes to settle a priority mode's parameter after the mode changed.
constexpr core::Clock::duration kPriorityWait = 1000ms;
// "Shutter(0.5s)→1/180" and "Shutter(0.1s)→1/180": the time the slow shutter shows (the
// second is 80 ms, not 100).
constexpr core::Clock::duration kHalfSecondWait = 500ms;
constexpr core::Clock::duration kTenthSecondWait = 80ms;
// What those two buttons put into the parameter register, before and after the wait.
constexpr std::uint32_t kSlowShutterBefore = 5;
constexpr std::uint32_t kSlowShutterAfter = 7;

// The controls each mode enables; a mode enables its own and disables the others.
struct Member {
  ControlId control;
  AeGroup group;
};
constexpr Member kParameters[] = {
    {kShutterSpeeds, AeGroup::Shutter},          {kShutterSpeedsShifted, AeGroup::Shutter},
    {kFNumbers, AeGroup::Exposure},              {kGains, AeGroup::Agc},
    {kManualExposure, AeGroup::FullManual},      {kManualShutter, AeGroup::FullManual},
    {kManualGain, AeGroup::FullManual},          {kEspExposure, AeGroup::ExposureShutter},
    {kEspShutter, AeGroup::ExposureShutter},
};

bool isMode(ControlId c) { return c == kAeMode || c == kProgramAe || c == kProgramAePlus; }
bool isManual(ControlId c) {
  return c == kManualExposure || c == kManualShutter || c == kManualGain || c == kEspExposure || c == kEspShutter;
}
bool isPriority(AeGroup g) { return g == AeGroup::Shutter || g == AeGroup::Exposure || g == AeGroup::Agc; }

// Freeze items in the panel's order, and mirror's.
constexpr int kFreezeField = 0;
constexpr int kFreezeFrame = 1;
constexpr int kFreezeOff = 2;
constexpr int kMirrorOn = 0;
constexpr int kMosaicOn = 0;

class AePanel final : public PanelLogic {
 public:
  AePanel(PanelContext& context, PanelView& view) : PanelLogic(aeDescription(), context, view) {}

 protected:
  bool readOnOpen() override {
    CameraAccess& camera = context().camera;
    std::uint32_t standard = 0;
    std::uint32_t code = 0;
    if (!camera.read(kStandardRegister, standard) || !camera.read(kModeSetting, code)) return false;
    showSpeedCaptions((standard & kSixtyHertzBit) != 0);
    showMode(code);
    if (const auto g = group(); g && !readParameters(*g)) return false;
    if (!readIrisTarget() || !refresh(kIrisAverage) || !refresh(kIrisPeak)) return false;
    showFreezeAndMirror();
    return true;
  }

  bool handle(const Intent& in) override {
    switch (in.kind) {
      case Intent::Kind::Choose:
        if (isMode(in.control)) return chooseMode(in.control, in.index);
        if (in.control == kMosaic) return chooseMosaic(in.index);
        if (in.control == kFreeze || in.control == kMirror) return !itemOffered(in.control, in.index);
        return false;
      case Intent::Kind::Enter:
        if (isManual(in.control)) return setManual(in.control, in.text);
        if (in.control == kIrisAverage || in.control == kIrisPeak) return setIrisOffset(in.control, in.text);
        return false;
      case Intent::Kind::Click:
        if (in.control == kHalfSecond) return slowShutter(kHalfSecond, kHalfSecondWait);
        if (in.control == kTenthSecond) return slowShutter(kTenthSecond, kTenthSecondWait);
        if (in.control == kOpenWeighting) {
          if (offered(kOpenWeighting)) host().openPanel(PanelId::WeightingData);
          return true;
        }
        return false;
      default: return false;
    }
  }

  void afterWrite(ControlId control) override {
    if (control == kFreeze || control == kMirror) showFreezeAndMirror();
  }

  camera::Setting settingFor(const ControlDescription& d) const override {
    if (d.id == kIrisAverage) return camera::registerSetting(iris_.average, 8);
    if (d.id == kIrisPeak) return camera::registerSetting(iris_.peak, 8);
    return d.binding->setting;
  }

 private:
  const ControlDescription& control(ControlId id) const {
    const auto& all = description().controls;
    return *std::find_if(all.begin(), all.end(), [id](const ControlDescription& c) { return c.id == id; });
  }
  link::Protocol protocol() { return context().camera.protocol(); }

  // ---- the mode

  std::optional<AeGroup> group() const {
    const auto item = selected(kAeMode);
    if (!item || *item < 0) return std::nullopt;
    return static_cast<AeGroup>(*item);
  }

  ControlId shutterControl() { return shiftedShutterCodes(context().model, protocol()) ? kShutterSpeedsShifted : kShutterSpeeds; }

  // The radio group a priority mode selects its parameter in.
  ControlId parameterControl(AeGroup g) {
    if (g == AeGroup::Exposure) return kFNumbers;
    if (g == AeGroup::Agc) return kGains;
    return shutterControl();
  }

  void showSpeedCaptions(bool sixtyHertz) {
    const auto& captions = sixtyHertz ? texts::kSpeeds60 : texts::kSpeeds50;
    for (std::size_t i = 0; i < captions.size(); ++i) {
      view().setItemCaption(kShutterSpeeds, i, captions[i]);
      if (i < control(kShutterSpeedsShifted).choices.size()) view().setItemCaption(kShutterSpeedsShifted, i, captions[i]);
    }
  }

  // Every mode group shows the camera's mode, and the mode's parameters are the ones enabled.
  void showMode(std::uint32_t code) {
    mode_ = code;
    present(kAeMode, mainModeCode(code, protocol()));
    present(kProgramAe, code);
    present(kProgramAePlus, code);
    const auto g = group();
    for (const Member& m : kParameters) setControlEnabled(m.control, g == m.group);
  }

  // The parameters of a mode as the camera holds them now.
  bool readParameters(AeGroup g) {
    switch (g) {
      case AeGroup::Shutter:
      case AeGroup::Exposure:
      case AeGroup::Agc: return refresh(parameterControl(g));
      case AeGroup::FullManual: return refresh(kManualExposure) && refresh(kManualShutter) && refresh(kManualGain);
      case AeGroup::ExposureShutter: return refresh(kEspExposure) && refresh(kEspShutter);
      default: return true;
    }
  }

  bool chooseMode(ControlId id, int index) {
    const auto& choices = control(id).choices;
    if (!offered(id) || index < 0 || static_cast<std::size_t>(index) >= choices.size() || selected(id) == index)
      return true;
    auto claim = context().runner.claim();
    if (!claim) return true;
    const std::uint32_t code = choices[static_cast<std::size_t>(index)].value.in(protocol());
    if (!context().camera.write(kModeSetting, code)) {
      showMode(mode_);  // as it was
      return true;
    }
    showMode(code);
    host().refreshLauncherFields();
    const auto g = group();
    if (!g) return true;
    if (!isPriority(*g)) {
      readParameters(*g);
      return true;
    }
    claim.reset();
    selectAfter(parameterControl(*g), kPriorityWait, std::nullopt);
    return true;
  }

  bool slowShutter(ControlId button, core::Clock::duration wait) {
    if (!offered(button)) return true;
    auto claim = context().runner.claim();
    if (!claim) return true;
    CameraAccess& camera = context().camera;
    if (group() == AeGroup::Shutter && !camera.write(kParameterRegister, kSlowShutterBefore)) return true;
    if (!camera.write(kModeSetting, kShutterPriority)) return true;
    showMode(kShutterPriority.in(protocol()));
    host().refreshLauncherFields();
    claim.reset();
    selectAfter(shutterControl(), wait, kSlowShutterAfter);
    return true;
  }

  // After `wait`, off the window thread and holding the operation slot: the parameter
  // register is written if asked, and the camera's parameter selects its button.
  void selectAfter(ControlId target, core::Clock::duration wait, std::optional<std::uint32_t> parameter) {
    CameraAccess& camera = context().camera;
    core::Clock& clock = context().clock;
    const camera::Setting setting = control(target).binding->setting;
    startOperation(Operation{.body = [this, &camera, &clock, target, setting, wait, parameter](const OperationRun& run) {
      if (!clock.sleepFor(wait, run.stop())) return Outcome::Stopped;
      if (parameter && !camera.write(kParameterRegister, *parameter)) return Outcome::Silent;
      std::uint32_t value = 0;
      if (!camera.read(setting, value)) return Outcome::Silent;
      // Runs on the window thread, and only while the panel is open.
      run.report([this, target, value] { present(target, value); });
      return Outcome::Silent;
    }});
  }

  // ---- full manual

  // The range the camera takes now; none when a read it needs failed.
  std::optional<Range> manualRange(ControlId id) {
    CameraAccess& camera = context().camera;
    const auto& model = context().model;
    std::uint32_t value = 0;
    switch (id) {
      case kManualExposure:
      case kEspExposure: return exposureRange(model);
      case kManualShutter:
      case kEspShutter:
        if (shutterRangeReadsCameraMode(model) && !camera.read(kCameraModeSetting, value)) return std::nullopt;
        return shutterRange(model, value, protocol());
      default:
        if (!camera.read(kMaximumGainSetting, value)) return std::nullopt;
        return Range{0, value};
    }
  }

  bool setManual(ControlId id, const std::string& text) {
    if (!offered(id)) return true;
    const auto value = parseEntry(Format::Hex4, text);
    if (!value) {
      view().beep();
      return true;
    }
    auto claim = context().runner.claim();
    if (!claim) return true;
    const auto range = manualRange(id);
    if (!range) return true;
    if (!range->holds(*value)) {
      view().beep();
      return true;
    }
    if (context().camera.write(control(id).binding->setting, *value)) present(id, *value);
    return true;
  }

  // ---- iris offsets

  bool readIrisTarget() {
    CameraAccess& camera = context().camera;
    std::uint32_t wdr = 0;
    std::uint32_t level = 0;
    std::uint32_t wdrMode = 0;
    if (!camera.read(kWdrRegister, wdr)) return false;
    present(kWdrStatus, wdr);
    if (conditionSteps(context().model).wdr && !camera.read(kWdrLevelRegister, level)) return false;
    if (irisTargetNeedsWdrMode(wdr, level) && !camera.read(kWdrModeRegister, wdrMode)) return false;
    iris_ = irisTarget(wdr, level, wdrMode);
    return true;
  }

  bool setIrisOffset(ControlId id, const std::string& text) {
    if (!offered(id)) return true;
    const auto value = parseEntry(Format::Hex2, text);
    if (!value) {
      view().beep();
      return true;
    }
    auto claim = context().runner.claim();
    if (!claim || !readIrisTarget()) return true;
    if (context().camera.write(settingFor(control(id)), *value)) present(id, *value);
    return true;
  }

  // ---- freeze, mirror, mosaic

  // Either ON of freeze takes the other ON and both mirror buttons away; mirror ON the three
  // freeze buttons (unless the picture is frozen, so that it can be unfrozen).
  bool itemOffered(ControlId id, int item) const {
    const int freeze = selected(kFreeze).value_or(-1);
    const bool frozen = freeze == kFreezeField || freeze == kFreezeFrame;
    if (id == kMirror) return !frozen;
    if (!frozen) return selected(kMirror) != kMirrorOn;
    return item == freeze || item == kFreezeOff;
  }

  void showFreezeAndMirror() {
    for (int i = 0; i < 3; ++i) view().setItemEnabled(kFreeze, static_cast<std::size_t>(i), itemOffered(kFreeze, i));
    for (int i = 0; i < 2; ++i) view().setItemEnabled(kMirror, static_cast<std::size_t>(i), itemOffered(kMirror, i));
  }

  bool chooseMosaic(int index) {
    if (!offered(kMosaic) || index < 0 || index > 1 || selected(kMosaic) == index) return true;
    auto claim = context().runner.claim();
    if (!claim) return true;
    CameraAccess& camera = context().camera;
    const bool on = index == kMosaicOn;
    // Mosaic and continuous digital zoom do not go together.
    if (on && !camera.write(kDigitalZoomRegister, 0)) return true;
    context().monitor.line(texts::kMosaicLine);
    const std::uint32_t value = on ? 1 : 0;
    if (camera.write(kMosaicRegister, value)) present(kMosaic, value);
    return true;
  }

  std::uint32_t mode_ = 0xFF;
  IrisTarget iris_;
};

}  // namespace

std::unique_ptr<PanelLogic> makeAePanel(PanelContext& context, PanelView& view) {
  return std::make_unique<AePanel>(context, view);
}

}  // namespace orva::panels::exposure
