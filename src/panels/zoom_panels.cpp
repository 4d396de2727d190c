#include "panels/zoom_panels.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "core/deadline.hpp"
#include "panels/formats.hpp"
#include "panels/hold_button.hpp"
#include "panels/lens_tables.hpp"
#include "panels/lens_texts.hpp"
#include "panels/texts.hpp"

namespace orva::panels {
namespace {

using namespace std::chrono_literals;
namespace C = lens_controls;
namespace T = lens_texts;
using P = link::Protocol;

constexpr camera::Setting reg8(std::uint16_t a) { return camera::registerSetting(a, 8); }
constexpr camera::Setting reg16(std::uint16_t a) { return camera::registerSetting(a, 16); }

// Settings of the lens panels, in both protocols' forms.
using lens::kContinuousZoomSetting;
using lens::kInstantMaxSetting;
using lens::kInstantZoomSetting;
constexpr camera::Setting kContinuousMaxSetting = *camera::settingFromCode(0x1202);  // 0xFDF0
constexpr camera::Setting kManualSpeedSetting = *camera::settingFromCode(0x1103);    // 0xF8A0
constexpr camera::Setting kLensPositionSetting = *camera::settingFromCode(0x6187);   // 0x11E6
// "Set Now Zoom Position" takes the position from 0xF714 in EAP, from the position query in AFP.
constexpr camera::Setting kNowPositionSetting{0x1109, 0, 0xF714, 16};
constexpr camera::Setting kAfSearchSetting = *camera::settingFromCode(0x1106);       // 0xF8E0
constexpr camera::Setting kQuickAfSetting = *camera::settingFromCode(0x120B);        // 0xF840
constexpr camera::Setting kAfSensitivitySetting = *camera::settingFromCode(0x110F);  // 0xF7F0
constexpr camera::Setting kOnePushTimeSetting = *camera::settingFromCode(0x110E);    // 0x08F7
constexpr camera::Setting kWatchdogModeSetting{0x1301, 0, 0xF745, 8};
constexpr camera::Setting kNewMinFocusSetting{0x1185, 0, 0xE1F7, 8};
constexpr camera::Setting kFocusInitSetting{0x1209, 0, 0xF735, 8};
constexpr camera::Setting kAfResetSetting{0x1307, 0, 0xF74C, 8};
// "36x mode" / "35x mode": 0x0AFE = 0 / 1, AFP 1 / 2; then the camera restarts.
constexpr camera::Setting kMagnificationModeSetting = *camera::settingFromCode(0x1285);
constexpr camera::Setting kRestartSetting = *camera::settingFromCode(0x0102);  // 0xFCAC
constexpr ProtocolValue kRestart{0, 1};
constexpr std::chrono::milliseconds kRestartWait{7000};
constexpr camera::Setting kLensDriveRegister = reg8(0xFCBB);
constexpr camera::Setting kSlowLevelRegister = reg8(0xFDFB);
constexpr camera::Setting kFocusModeRegister = reg8(0xFF0E);
constexpr camera::Setting kZoomCueRegister = reg8(0xF9F3);
constexpr camera::Setting kZoomCueHoldRegister = reg8(0x1260);
constexpr camera::Setting kAdjustmentRegister = reg8(0x1314);
constexpr camera::Setting kWatchdogOptionRegister = reg8(0xF749);
constexpr camera::Setting kMinFocusRegister = reg8(0xE139);
constexpr camera::Setting kMinFocusTwinRegister = reg8(0x12D9);

constexpr std::uint8_t kSpeedBits = 0x0C;
constexpr std::uint8_t kManualFocusBit = 0x08;
constexpr std::uint8_t kToggleFocus = 0xA8;
constexpr std::uint8_t kToggleZoomCue = 0xA4;
constexpr std::uint8_t kOnePushAf = 0xAC;
constexpr std::uint8_t kAdjustmentOn = 0x34;
constexpr std::uint8_t kAdjustmentOff = 0x04;

// ---- model tests

bool notSlow(const camera::ModelRecord& m, P) { return !lens::hasSlowZoom(m); }
bool slow(const camera::ModelRecord& m, P) { return lens::hasSlowZoom(m); }
bool zoomCue(const camera::ModelRecord& m, P p) { return lens::hasZoomCue(m) && p == P::Eap; }
bool noZoomCue(const camera::ModelRecord& m, P p) { return !zoomCue(m, p); }
bool adjustment(const camera::ModelRecord& m, P) { return lens::hasAdjustment(m); }
bool afOptions(const camera::ModelRecord& m, P) { return lens::hasAfSearch(m); }
bool afSearch(const camera::ModelRecord& m, P) {
  return lens::hasAfSearch(m) && lens::hasNewAfSearch(m) && !lens::hasAfSearchTypeC(m);
}
bool afSearchTypeC(const camera::ModelRecord& m, P) {
  return lens::hasAfSearch(m) && lens::hasNewAfSearch(m) && lens::hasAfSearchTypeC(m);
}
bool fastAf(const camera::ModelRecord& m, P) { return lens::hasAfSearch(m) && lens::hasFastAf(m); }
bool magnificationModes(const camera::ModelRecord& m, P) { return lens::newFamily(m) == 0x10F0; }

std::vector<std::string> speedCaptionsOf(const camera::ModelRecord& m) { return lens::speedCaptions(m.lensIndex); }
std::vector<std::string> scaleLabelsOf(const camera::ModelRecord& m) { return lens::scaleLabels(m.lensIndex); }

// ---- controls without a binding: the panel's own code reads and writes them

constexpr ControlDescription own(ControlDescription c) {
  // A fresh empty binding: a reset one cannot be copied in a constant expression.
  c.binding = std::optional<Binding>{};
  return c;
}
constexpr ControlDescription ownRadio(ControlId id, std::string_view caption, std::span<const Choice> choices) {
  return own(radio(id, caption, Binding{}, choices));
}
constexpr ControlDescription ownEntry(ControlId id, std::string_view caption, Format f, std::uint32_t lo,
                                      std::uint32_t hi) {
  return own(entry(id, caption, Binding{}, f, lo, hi));
}
constexpr ControlDescription ownReadout(ControlId id, Format f) { return own(readout(id, Binding{}, f)); }

// ---- choices

constexpr Choice kSpeeds[] = {{T::kHighSpeed, {0x00, 18}}, {T::kNormalSpeed, {0x08, 17}}};
constexpr Choice kSpeedsSlow[] = {{T::kHighSpeed, {0x00, 18}}, {T::kNormalSpeed, {0x08, 17}},
                                  {T::kSlowSpeed, {0x0C, 16}}};
constexpr std::array<Choice, 16> slowChoices() {
  std::array<Choice, 16> c{};
  for (std::uint32_t k = 0; k < 16; ++k) c[k] = Choice{T::kSlowSpeeds[k], {k, 16 - k}};
  return c;
}
constexpr auto kSlowChoices = slowChoices();
constexpr Choice kFocusModes[] = {{T::kAuto, {0x00, 1}}, {T::kManual, {kManualFocusBit, 2}}};
constexpr Choice kZfFocusModes[] = {{T::kAutoFocus, {0x00, 1}}, {T::kManualFocus, {kManualFocusBit, 2}}};
constexpr Choice kZfFocusModesCue[] = {
    {T::kAutoFocus, {0x00, 1}}, {T::kManualFocus, {kManualFocusBit, 2}}, {T::kZoomCue, {0, 0}}};
constexpr Choice kStepSizes[] = {{T::kCoarse, {}}, {T::kFine, {}}};
constexpr Choice kFastAfChoices[] = {{T::kOn, {}}, {T::kOff, {}}};
constexpr Choice kAfSearches[] = {{T::kTypeAOnly, {1, 2}}, {T::kTypeAB, {3, 3}}, {T::kOff, {0, 1}}};
constexpr Choice kAfSearchesC[] = {{T::kTypeAOnly, {1, 2}}, {T::kTypeAB, {3, 3}}, {T::kTypeC, {5, 4}},
                                   {T::kOff, {0, 1}}};
constexpr std::string_view kAfSearchHeadings[] = {T::kAfSearchTypeAHeading, T::kAfSearchTypeABHeading,
                                                  T::kAfSearchOffHeading};
constexpr std::string_view kAfSearchHeadingsC[] = {T::kAfSearchTypeAHeading, T::kAfSearchTypeABHeading,
                                                   T::kAfSearchTypeCHeading, T::kAfSearchOffHeading};
// Quick AF has a function of its own (1 off, 2 on); the other switches travel as registers.
constexpr Choice kQuickAfChoices[] = {{T::kOff, {0, 1}}, {T::kOn, {1, 2}}};
constexpr Choice kRegisterSwitch[] = {{T::kOff, {0, 0}}, {T::kOn, {1, 1}}};
constexpr Choice kLensPositionModes[] = {{T::kTypeA, {0x00, 0x00}}, {T::kTypeB, {0x80, 0x80}}};
constexpr Choice kMfConditions[] = {{T::kOnlyTimeProgress, {0, 0}}, {T::kTimeOrFocusedStop, {1, 1}}};
constexpr Choice kMinFocusChoices[] = {{T::kMinFocusLengths[0], {0x00, 0x00}},
                                       {T::kMinFocusLengths[1], {0xF9, 0xF9}},
                                       {T::kMinFocusLengths[2], {0xF8, 0xF8}},
                                       {T::kMinFocusLengths[3], {0xF7, 0xF7}},
                                       {T::kMinFocusLengths[4], {0xF4, 0xF4}}};
constexpr Choice kNewMinFocusChoices[] = {
    {T::kNewMinFocusLengths[0], {0xFF, 0}}, {T::kNewMinFocusLengths[1], {0x00, 1}},
    {T::kNewMinFocusLengths[2], {0xF9, 2}}, {T::kNewMinFocusLengths[3], {0xF8, 3}},
    {T::kNewMinFocusLengths[4], {0xF7, 4}}, {T::kNewMinFocusLengths[5], {0xF4, 5}},
    {T::kNewMinFocusLengths[6], {0xF2, 6}}, {T::kNewMinFocusLengths[7], {0xF1, 7}},
    {T::kNewMinFocusLengths[8], {0xF0, 8}}};
constexpr Choice kWatchdogModes[] = {{T::kWatchdogModes[0], {0, 1}},
                                     {T::kWatchdogModes[1], {1, 2}},
                                     {T::kWatchdogModes[2], {2, 3}},
                                     {T::kWatchdogModes[3], {3, 4}}};
constexpr Choice kStopTimeUnits[] = {{T::kMinutes, {0x80, 0x80}}, {T::kSeconds, {0x00, 0x00}}};
constexpr Choice kSensitivities[] = {{T::kAfSensitivities[0], {0, 1}},
                                     {T::kAfSensitivities[1], {1, 2}},
                                     {T::kAfSensitivities[2], {2, 3}},
                                     {T::kAfSensitivities[3], {3, 4}}};

// ---- the zoom controls both zoom panels share, in the column they give them

constexpr ControlDescription speedRadio() {
  return radio(C::kSpeed, "", Binding{camera::kZoomSpeedSetting, kSpeedBits}, kSpeeds)
      .withItemCaptions(speedCaptionsOf);
}
constexpr ControlDescription digiMark() { return ownReadout(C::kDigiMark, Format::Decimal).inGroup(T::kZoomPosition); }
constexpr ControlDescription zoomSlider() {
  ControlDescription c = slider(C::kSlider, Binding{}, 0, 15);
  // A fresh empty binding: a reset one cannot be copied in a constant expression.
  c.binding = std::optional<Binding>{};
  return c.withItemCaptions(scaleLabelsOf).inGroup(T::kZoomPosition);
}
constexpr ControlDescription magnificationReadout() {
  return ownReadout(C::kMagnification, Format::Decimal).inGroup(T::kZoomPosition);
}
constexpr ControlDescription instantCheck(std::uint8_t column) {
  return check(C::kInstant, T::kDigiZoom, Binding{kInstantZoomSetting, 0x80}, {0x00, 1}, {0x80, 2})
      .inGroup(T::kInstant, column);
}
constexpr ControlDescription continuousCheck(std::uint8_t column) {
  return check(C::kContinuous, T::kDigiZoom, Binding{kContinuousZoomSetting}, {0, 1}, {1, 2})
      .inGroup(T::kContinuous, column);
}

// ZOOM CONTROL. The reads on open, in order: speed, continuous and instant digital zoom
// (the description's), then the position, the continuous maximum and the instant
// magnification (the panel's own).
constexpr std::array kZoomControls{
    speedRadio(),
    digiMark(),
    zoomSlider(),
    magnificationReadout(),
    arrow(C::kZoomWide, ArrowRole::ZoomWide, kZoomWideDrive).inGroup(T::kZoomPosition),
    arrow(C::kZoomTele, ArrowRole::ZoomTele, kZoomTeleDrive).inGroup(T::kZoomPosition),
    continuousCheck(1),
    ownEntry(C::kContinuousMax, T::kMax, Format::Decimal, 1, lens::kContinuousMaximumTop).inGroup(T::kContinuous, 1),
    instantCheck(1),
    entry(C::kInstantMax, T::kMax, Binding{kInstantMaxSetting}, Format::Tenths, 10, 20)
        .readOnRequest()
        .inGroup(T::kInstant, 1),
    closeButton(C::kClose, texts::kClose),
};

constexpr PanelDescription kZoomPanel{PanelId::Zoom, T::kZoomTitle, T::kZoomHeading, true, false, kZoomControls};

constexpr std::array kFocusControls{
    radio(C::kFocusMode, "", Binding{camera::kFocusModeSetting, kManualFocusBit}, kFocusModes),
    arrow(C::kFocusNear, ArrowRole::FocusNear, kFocusNearDrive),
    arrow(C::kFocusFar, ArrowRole::FocusFar, kFocusFarDrive),
    closeButton(C::kClose, texts::kClose),
};

constexpr PanelDescription kFocusPanel{PanelId::Focus, T::kFocusTitle, T::kFocusHeading, true, false, kFocusControls};

// ZOOM/FOCUS CONTROL: zoom and lens position in column 0, focus in column 1, AF options in
// columns 2 and 3. Every read on open is the panel's own, in that order.
constexpr std::array kZoomFocusControls{
    // column 0: zoom
    ownRadio(C::kSpeed, "", kSpeeds).withItemCaptions(speedCaptionsOf).shownFor(notSlow),
    ownRadio(C::kSpeedSlow, "", kSpeedsSlow).withItemCaptions(speedCaptionsOf).shownFor(slow),
    own(list(C::kSlowList, "", Binding{}, kSlowChoices)).shownFor(slow),
    digiMark(),
    zoomSlider(),
    magnificationReadout(),
    arrow(C::kZoomWide, ArrowRole::ZoomWide, kZoomWideDrive).inGroup(T::kZoomPosition),
    arrow(C::kZoomTele, ArrowRole::ZoomTele, kZoomTeleDrive).inGroup(T::kZoomPosition),
    instantCheck(0).readOnRequest(),
    ownEntry(C::kInstantMax, T::kMax, Format::Tenths, 10, 20).inGroup(T::kInstant),
    continuousCheck(0).readOnRequest(),
    ownEntry(C::kContinuousMax, T::kMax, Format::Decimal, 1, 99).inGroup(T::kContinuous),
    button(C::k36x, T::k36xMode).inGroup(T::kCompatibilityGroup).shownFor(magnificationModes),
    button(C::k35x, T::k35xMode).inGroup(T::kCompatibilityGroup).shownFor(magnificationModes),
    radio(C::kLensPositionMode, "", Binding{reg8(0x11E1), 0x80}, kLensPositionModes)
        .readOnRequest()
        .inGroup(T::kLensPositionSetting, 0)
        .shownFor(afOptions),
    button(C::kSetNowZoomPosition, T::kSetNowZoomPosition).inGroup(T::kLensPositionSetting, 0).shownFor(afOptions),
    readout(C::kLensPosition, Binding{kLensPositionSetting}, Format::Hex4)
        .readOnRequest()
        .inGroup(T::kLensPositionSetting, 0)
        .shownFor(afOptions),
    // column 1: focus
    ownRadio(C::kFocusMode, "", kZfFocusModes).inColumn(1).shownFor(noZoomCue),
    ownRadio(C::kFocusModeCue, "", kZfFocusModesCue).inColumn(1).shownFor(zoomCue),
    button(C::kOnePush, T::kOnePushAf).inColumn(1).shownFor(zoomCue),
    arrow(C::kFocusNear, ArrowRole::FocusNear, kFocusNearDrive).inColumn(1),
    arrow(C::kFocusFar, ArrowRole::FocusFar, kFocusFarDrive).inColumn(1),
    ownEntry(C::kManualSpeed, T::kSpeed, Format::Decimal, 0, 99).withSpin().inGroup(T::kManualGroup, 1),
    button(C::kAdjustment, T::kAdjustmentOff).inColumn(1).shownFor(adjustment),
    ownRadio(C::kFocusStep, T::kFocusStep, kStepSizes).inColumn(1).shownFor(adjustment),
    ownRadio(C::kZoomStep, T::kZoomStep, kStepSizes).inColumn(1).shownFor(adjustment),
    radio(C::kAfSearch, T::kNewAfSearch, Binding{kAfSearchSetting}, kAfSearches)
        .readOnRequest()
        .inColumn(1)
        .shownFor(afSearch),
    radio(C::kAfSearchTypeC, T::kNewAfSearch, Binding{kAfSearchSetting}, kAfSearchesC)
        .readOnRequest()
        .inColumn(1)
        .shownFor(afSearchTypeC),
    ownRadio(C::kFastAf, T::kFastAf, kFastAfChoices).inColumn(1).shownFor(fastAf),
    radio(C::kMinFocus, T::kMinFocusLength, Binding{kMinFocusRegister}, kMinFocusChoices)
        .readOnRequest()
        .inColumn(1)
        .shownFor(afOptions),
    list(C::kNewMinFocus, "", Binding{kNewMinFocusSetting}, kNewMinFocusChoices)
        .readOnRequest()
        .inGroup(T::kNewMinFocusLength, 1)
        .shownFor(afOptions),
    entry(C::kFocusOffset, "", Binding{reg8(0xF88B)}, Format::Hex2, 0, 0xFF)
        .readOnRequest()
        .inGroup(T::kFocusOffset, 1)
        .shownFor(afOptions),
    label(C::kFocusOffsetUnit, T::kHex).inGroup(T::kFocusOffset, 1).shownFor(afOptions),
    // column 2: AF options
    list(C::kWatchdogMode, "", Binding{kWatchdogModeSetting}, kWatchdogModes)
        .readOnRequest()
        .inGroup(T::kAfWatchdog, 2)
        .shownFor(afOptions),
    entry(C::kActiveTime, T::kActiveTime, Binding{reg8(0xF746)}, Format::Decimal, 0, 255)
        .readOnRequest()
        .inGroup(T::kAfWatchdog, 2)
        .shownFor(afOptions),
    entry(C::kStopTime, T::kStopTimeSeconds, Binding{reg8(0xF747)}, Format::Decimal, 0, 255)
        .readOnRequest()
        .inGroup(T::kAfWatchdog, 2)
        .shownFor(afOptions),
    entry(C::kCycleLimit, T::kCycleLimit, Binding{reg8(0xF748)}, Format::Decimal, 0, 255)
        .readOnRequest()
        .inGroup(T::kAfWatchdog, 2)
        .shownFor(afOptions),
    radio(C::kStopTimeUnit, "", Binding{kWatchdogOptionRegister, 0x80}, kStopTimeUnits)
        .readOnRequest()
        .inGroup(T::kAfWatchdog, 2)
        .shownFor(afOptions),
    readout(C::kWatchdogState, Binding{reg8(0xF74A)}, Format::Hex2)
        .readOnRequest()
        .inGroup(T::kAfWatchdog, 2)
        .shownFor(afOptions),
    readButton(C::kWatchdogStateGet, T::kWatchdogState, C::kWatchdogState)
        .inGroup(T::kAfWatchdog, 2)
        .shownFor(afOptions),
    button(C::kTimerStop, T::kTimerStopOff).inGroup(T::kOptionSetting, 2).shownFor(afOptions),
    button(C::kRestartInPause, T::kRestartInPauseOff).inGroup(T::kOptionSetting, 2).shownFor(afOptions),
    list(C::kAfSensitivity, "", Binding{kAfSensitivitySetting}, kSensitivities)
        .readOnRequest()
        .inGroup(T::kAfSensitivity, 2)
        .shownFor(afOptions),
    radio(C::kQuickAf, T::kQuickAf, Binding{kQuickAfSetting}, kQuickAfChoices)
        .readOnRequest()
        .inColumn(2)
        .shownFor(afOptions),
    radio(C::kMultiAreaAf, T::kMultiAreaAf, Binding{reg8(0xF8E5)}, kRegisterSwitch)
        .readOnRequest()
        .inColumn(2)
        .shownFor(afOptions),
    // column 3: more AF options
    radio(C::kPointLightAf, T::kPointLightAf, Binding{reg8(0xF830)}, kRegisterSwitch)
        .readOnRequest()
        .inColumn(3)
        .shownFor(afOptions),
    radio(C::kAfZoomMacro, T::kAfZoomMacro, Binding{reg8(0xF831)}, kRegisterSwitch)
        .readOnRequest()
        .inColumn(3)
        .shownFor(afOptions),
    radio(C::kMfCondition, T::kMfCondition, Binding{reg8(0xF73F), 0x01}, kMfConditions)
        .readOnRequest()
        .inColumn(3)
        .shownFor(afOptions),
    button(C::kLensCheck, T::kSetAndRead).inGroup(T::kLensConditionCheck, 3).shownFor(afOptions),
    readout(C::kLensCondition, Binding{camera::kLensConditionSetting}, Format::Hex2)
        .readOnRequest()
        .inGroup(T::kLensConditionCheck, 3)
        .shownFor(afOptions),
    button(C::kOnePushTrigger, T::kOnePushAf).inGroup(T::kOnePushAf, 3).shownFor(afOptions),
    readout(C::kOnePushState, Binding{reg8(0xF73C)}, Format::Hex2)
        .readOnRequest()
        .inGroup(T::kOnePushAf, 3)
        .shownFor(afOptions),
    entry(C::kOnePushTime, T::kTimeSeconds, Binding{kOnePushTimeSetting}, Format::Decimal, 0, 255)
        .readOnRequest()
        .inGroup(T::kOnePushAf, 3)
        .shownFor(afOptions),
    button(C::kFocusInit, T::kFocusInit).inColumn(3).shownFor(afOptions),
    button(C::kAfReset, T::kReset).inColumn(3).shownFor(afOptions),
    closeButton(C::kClose, texts::kClose),
};

constexpr PanelDescription kZoomFocusPanel{PanelId::ZoomFocus, T::kZoomFocusTitle, T::kZoomFocusHeading, true, false,
                                           kZoomFocusControls};

// The AF options the ZOOM/FOCUS panel reads on open, in this order, when shown.
constexpr ControlId kAfOptionReads[] = {
    C::kMinFocus,     C::kNewMinFocus,  C::kLensPositionMode, C::kFocusOffset, C::kWatchdogMode,
    C::kActiveTime,   C::kStopTime,     C::kCycleLimit,       C::kStopTimeUnit, C::kAfSensitivity,
    C::kQuickAf,      C::kMultiAreaAf,  C::kPointLightAf,     C::kAfZoomMacro, C::kMfCondition,
    C::kOnePushTime};

// How long "MANUAL FOCUS" stays refused after a zoom in zoom cue: 0x1260 x 40 ms + 500 ms, or
// 5500 ms when it reads 0. None outside zoom cue, on other models, or when a read fails.
std::optional<std::chrono::milliseconds> zoomCueHold(CameraAccess& camera, const camera::ModelRecord& model) {
  if (!zoomCue(model, camera.protocol())) return std::nullopt;
  std::uint32_t cue = 0, hold = 0;
  if (!camera.read(kZoomCueRegister, cue) || cue == 0) return std::nullopt;
  if (!camera.read(kZoomCueHoldRegister, hold)) return std::nullopt;
  return hold == 0 ? 5500ms : std::chrono::milliseconds(hold * 40 + 500);
}

// ---- what both zoom panels do

class ZoomPart : public PanelLogic {
 public:
  ZoomPart(const PanelDescription& d, PanelContext& c, PanelView& v) : PanelLogic(d, c, v), lens_(c.model.lensIndex) {}

 protected:
  // The zoom's own intents; true when taken.
  bool handleZoom(const Intent& in) {
    switch (in.kind) {
      case Intent::Kind::Choose:
        if (in.control == C::kSlider) {
          slide(in.index);
          return true;
        }
        // The family 0x20 has no high speed.
        return (in.control == C::kSpeed || in.control == C::kSpeedSlow) && in.index == 0 &&
               lens::oldFamily(context().model) == 0x20;
      case Intent::Kind::Press:
        if (in.control != C::kZoomWide && in.control != C::kZoomTele) return false;
        // A press the arrow refuses starts no polling either.
        if (!offered(in.control) || context().runner.busy()) return true;
        view().startTimer(kPositionTimer, kPositionInterval);
        return false;
      case Intent::Kind::Tick:
        if (in.index != kPositionTimer) return false;
        poll();
        return true;
      case Intent::Kind::Enter:
        if (in.control != C::kContinuousMax) return false;
        enterContinuous(in.text);
        return true;
      default: return false;
    }
  }

  // The slider range, the position and what follows from it.
  bool readZoom() {
    // The family 0x20 has no high speed: its button is greyed.
    if (lens::oldFamily(context().model) == 0x20)
      for (ControlId id : {C::kSpeed, C::kSpeedSlow}) view().setItemEnabled(id, 0, false);
    view().setRange(C::kSlider, 0, lens::lensRow(lens_).sliderTop);
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
    view().setValue(C::kSlider, lens::sliderPosition(lens_, step_));
    showMagnification();
  }

  void showMagnification() {
    const bool instant = selected(C::kInstant).value_or(0) == 1;
    const std::uint32_t tenths = number(C::kInstantMax).value_or(10);
    view().setText(C::kMagnification, lens::magnificationText(context().model, step_ + 1, instant, tenths));
    view().setText(C::kDigiMark, digital_ || instant ? T::kDigiMark : "");
  }

  // The continuous maximum as its coding shows it; "--" for a byte the coding cannot show.
  bool readContinuousMax() {
    std::uint32_t stored = 0;
    if (!context().camera.read(kContinuousMaxSetting, stored)) return false;
    const auto b = static_cast<std::uint8_t>(stored & 0xFFu);
    const auto code = context().model.modelCode;
    const auto shown = familyCoding() ? lens::familyContinuousMaximum(code, b) : lens::continuousMaximum(code, b);
    continuousText_ = shown ? formatValue(Format::Decimal, static_cast<std::uint32_t>(*shown)) : std::string(T::kNoValue);
    view().setText(C::kContinuousMax, continuousText_);
    return true;
  }

  bool readInstantMax() {
    std::uint32_t tenths = 0;
    if (!context().camera.read(kInstantMaxSetting, tenths)) return false;
    present(C::kInstantMax, tenths);
    return true;
  }

  void afterWrite(ControlId control) override {
    if (control == C::kInstant || control == C::kInstantMax) showMagnification();
  }

  void closing() override { move_.request_stop(); }

  // ZOOM/FOCUS codes the continuous maximum by family.
  virtual bool familyCoding() const { return false; }
  // The whole travel at the speed the panel shows; a speed it does not show may be the slowest.
  virtual std::chrono::milliseconds travelTime() const {
    const int speed = selected(C::kSpeed).value_or(-1);
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
    if (!offered(C::kSlider)) return;
    const int top = lens::lensRow(lens_).sliderTop;
    const int shown = lens::sliderPosition(lens_, step_);
    if (position < 0 || position > top) return;
    const int target = lens::stepOfSlider(lens_, position);
    if (target == step_ || !startMove(target)) view().setValue(C::kSlider, shown);
  }

  bool startMove(int target) {
    auto& ctx = context();
    move_ = std::stop_source();
    Operation op;
    op.heading = T::kZoomMoveHeading;
    op.name = T::kZoomMoveName;
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
        view().setText(C::kContinuousMax, formatValue(Format::Decimal, static_cast<std::uint32_t>(clamped)));
      }
      n = clamped;
    } else {
      // One digit, 1 to 8.
      std::string_view t = text;
      while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
      while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
      if (t.size() == 1 && t[0] >= '1' && t[0] <= '8') n = t[0] - '0';
    }
    const auto stored = n ? (familyCoding() ? lens::familyContinuousCode(code, *n) : lens::continuousCode(code, *n))
                          : std::nullopt;
    if (!stored) {
      view().beep();
      return;
    }
    const auto claim = context().runner.claim();
    if (!claim) return;
    if (context().camera.write(kContinuousMaxSetting, *stored)) {
      continuousText_ = formatValue(Format::Decimal, static_cast<std::uint32_t>(*n));
    }
    view().setText(C::kContinuousMax, continuousText_);
  }

  bool digital_ = false;
  std::string continuousText_;
  std::stop_source move_;
};

// ---- ZOOM CONTROL

class ZoomPanel final : public ZoomPart {
 public:
  ZoomPanel(PanelContext& c, PanelView& v) : ZoomPart(kZoomPanel, c, v) {}

 protected:
  bool handle(const Intent& in) override { return handleZoom(in); }
  bool readOnOpen() override {
    if (!readZoom() || !readContinuousMax() || !readInstantMax()) return false;
    showMagnification();
    return true;
  }
};

// ---- FOCUS

class FocusPanel final : public PanelLogic {
 public:
  FocusPanel(PanelContext& c, PanelView& v) : PanelLogic(kFocusPanel, c, v) {}

 protected:
  bool readOnOpen() override {
    arrowsFor(selected(C::kFocusMode).value_or(0));
    return true;
  }

  bool handle(const Intent& in) override {
    if (in.kind != Intent::Kind::Choose || in.control != C::kFocusMode) return false;
    if (!offered(C::kFocusMode) || in.index < 0 || in.index > 1 || selected(C::kFocusMode) == in.index) return true;
    const auto claim = context().runner.claim();
    if (!claim) return true;
    auto& ctx = context();
    // A held arrow stops before the focus leaves manual.
    if (in.index != 1) arrowsFor(0);
    switchFocusMode(ctx.camera, ctx.clock, ctx.model, in.index == 1 ? FocusMode::Manual : FocusMode::Auto);
    // What the camera now holds, whatever the switch achieved.
    refresh(C::kFocusMode);
    arrowsFor(selected(C::kFocusMode).value_or(0));
    return true;
  }

 private:
  void arrowsFor(int mode) {
    setControlEnabled(C::kFocusNear, mode == 1);
    setControlEnabled(C::kFocusFar, mode == 1);
  }
};

// ---- ZOOM/FOCUS CONTROL

class ZoomFocusPanel final : public ZoomPart {
 public:
  ZoomFocusPanel(PanelContext& c, PanelView& v, ZoomFocusOptions options)
      : ZoomPart(kZoomFocusPanel, c, v), options_(options) {}

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
    const auto claim = context().runner.claim();
    if (!claim) return true;
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
    const auto claim = context().runner.claim();
    if (!claim) return true;
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
    const auto claim = context().runner.claim();
    if (!claim) return true;
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
    const auto claim = context().runner.claim();
    if (!claim) return true;
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
    const auto claim = context().runner.claim();
    if (!claim) return;
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
    const auto claim = context().runner.claim();
    if (!claim) return;
    if (context().camera.write(kManualSpeedSetting, *v)) lastManualSpeed_ = *v;
  }

  bool onClick(ControlId control) {
    if (!offered(control)) return false;
    auto& ctx = context();
    auto write = [&](const camera::Setting& s, std::uint32_t value) {
      const auto claim = ctx.runner.claim();
      return claim && ctx.camera.write(s, value);
    };
    switch (control) {
      case C::kOnePush: {
        const auto claim = ctx.runner.claim();
        if (claim && ctx.camera.write(kLensDriveRegister, kOnePushAf))
          view().startTimer(kOnePushTimer, kOnePushInterval);
        return true;
      }
      case C::kAdjustment: return toggleAdjustment();
      case C::kSetNowZoomPosition: {
        const auto claim = ctx.runner.claim();
        if (!claim) return true;
        std::uint32_t position = 0;
        if (ctx.camera.read(kNowPositionSetting, position) && ctx.camera.write(kLensPositionSetting, position))
          refresh(C::kLensPosition);
        return true;
      }
      case C::kLensCheck: {
        const auto claim = ctx.runner.claim();
        if (!claim) return true;
        ctx.monitor.heading(T::kLensConditionHeading);
        if (ctx.camera.write(camera::kLensConditionSetting, 0x80) && ctx.clock.sleepFor(100ms))
          refresh(C::kLensCondition);
        return true;
      }
      case C::kOnePushTrigger: {
        const auto claim = ctx.runner.claim();
        if (claim && ctx.camera.write(reg8(0xF73B), 1)) refresh(C::kOnePushState);
        return true;
      }
      case C::kTimerStop:
      case C::kRestartInPause: {
        const auto claim = ctx.runner.claim();
        if (!claim) return true;
        const std::uint32_t bit = control == C::kTimerStop ? 0x01 : 0x02;
        std::uint32_t v = 0;
        if (ctx.camera.read(kWatchdogOptionRegister, v) && ctx.camera.write(kWatchdogOptionRegister, v ^ bit))
          watchdogOptions_ = v ^ bit;
        captionWatchdogOptions();
        return true;
      }
      case C::kFocusInit: write(kFocusInitSetting, 1); return true;
      case C::kAfReset: write(kAfResetSetting, 1); return true;
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
    if (ctx.lensChanged) ctx.lensChanged(lens_);
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
    const auto claim = context().runner.claim();
    if (!claim) return true;
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

// ---- zoom moves

ZoomLens cameraZoomLens(CameraAccess& camera, const camera::ModelRecord& model) {
  ZoomLens zoom{
      [&camera, &model](std::uint32_t& position) { return lens::readZoomPosition(camera, model, position); },
      [&camera](ZoomDirection d) {
        const ProtocolValue value = d == ZoomDirection::Tele   ? kZoomTeleDrive.start
                                    : d == ZoomDirection::Wide ? kZoomWideDrive.start
                                                               : kLensStop;
        return camera.write(kZoomDriveSetting, value);
      }};
  if (lens::hasDigitalZoom(model))
    zoom.readDigitalLevel = [&camera](std::uint32_t& level) { return camera.read(lens::kDigitalActiveSetting, level); };
  return zoom;
}

std::chrono::milliseconds zoomMoveLimit(std::chrono::milliseconds travel) {
  return std::max(kShortestZoomMoveLimit, travel + travel / 2);
}

Outcome moveZoom(const ZoomLens& zoom, core::Clock& clock, std::stop_token stop, int lensIndex, int target,
                 std::chrono::milliseconds limit) {
  std::uint32_t position = 0, level = 0;
  const auto readLevel = [&zoom, &level] { return !zoom.readDigitalLevel || zoom.readDigitalLevel(level); };
  if (!zoom.readPosition(position)) return Outcome::Error;
  const int from = lens::zoomStep(lensIndex, position);
  if (from == target) return Outcome::Done;
  if (!readLevel()) return Outcome::Error;
  const bool tele = target > from;
  // From here on the lens may be driving: the stop goes out on every way out.
  struct StopOnExit {
    const ZoomLens& zoom;
    ~StopOnExit() { zoom.drive(ZoomDirection::Stop); }
  } stopOnExit{zoom};
  if (!zoom.drive(tele ? ZoomDirection::Tele : ZoomDirection::Wide)) return Outcome::Error;
  const core::Deadline deadline(clock, limit);
  std::uint32_t last = position, lastLevel = level;
  auto lastChange = clock.now();
  for (;;) {
    if (stop.stop_requested()) return Outcome::Stopped;
    if (!zoom.readPosition(position)) return Outcome::Error;
    const int step = lens::zoomStep(lensIndex, position);
    if (tele ? step >= target : step <= target) return Outcome::Done;
    // Out of digital zoom the position stands at the tele end while the level falls.
    if (!readLevel()) return Outcome::Error;
    if (position != last || level != lastLevel) {
      last = position;
      lastLevel = level;
      lastChange = clock.now();
    } else if (clock.now() - lastChange >= kZoomStallLimit) {
      return Outcome::Error;
    }
    if (deadline.expired()) return Outcome::TimeOver;
    if (!clock.sleepFor(std::min<core::Clock::duration>(kPollSlice, deadline.remaining()), stop))
      return Outcome::Stopped;
  }
}

// ---- focus mode

bool readFocusMode(CameraAccess& camera, const camera::ModelRecord& model, FocusMode& mode) {
  std::uint32_t v = 0;
  if (camera.protocol() == P::Afp) {
    if (!camera.read(camera::kFocusModeSetting, v)) return false;
    mode = v == 2 ? FocusMode::Manual : FocusMode::Auto;
    return true;
  }
  if (lens::hasZoomCue(model)) {
    if (!camera.read(kZoomCueRegister, v)) return false;
    if (v != 0) {
      mode = FocusMode::ZoomCue;
      return true;
    }
  }
  if (!camera.read(kFocusModeRegister, v)) return false;
  mode = (v & kManualFocusBit) != 0 ? FocusMode::Manual : FocusMode::Auto;
  return true;
}

bool switchFocusMode(CameraAccess& camera, core::Clock& clock, const camera::ModelRecord& model, FocusMode wanted) {
  if (camera.protocol() == P::Afp)
    return camera.write(camera::kFocusModeSetting, wanted == FocusMode::Auto ? 1u : 2u);
  const bool cueModel = lens::hasZoomCue(model);
  if (!cueModel && wanted == FocusMode::ZoomCue) return false;
  FocusMode now = FocusMode::Auto;
  if (!readFocusMode(camera, model, now)) return false;
  bool sent = false;
  bool ok = true;
  // Each toggle moves one place along zoom cue - manual - auto; three at most reach any mode.
  for (int i = 0; i < 3 && ok && now != wanted; ++i) {
    const bool cueToggle = now == FocusMode::ZoomCue || (now == FocusMode::Manual && wanted == FocusMode::ZoomCue);
    const camera::Setting& watched = cueToggle ? kZoomCueRegister : kFocusModeRegister;
    // What the watched register says now, as the mode just read tells it.
    const bool before = cueToggle ? now == FocusMode::ZoomCue : now == FocusMode::Manual;
    const auto state = [cueToggle](std::uint32_t v) { return cueToggle ? v != 0 : (v & kManualFocusBit) != 0; };
    sent = true;
    if (!camera.write(kLensDriveRegister, cueToggle ? kToggleZoomCue : kToggleFocus)) {
      ok = false;
      break;
    }
    const Outcome changed = pollUntilDone(clock, {}, kFocusSwitchLimit, [&]() -> std::optional<Outcome> {
      std::uint32_t v = 0;
      if (!camera.read(watched, v)) return Outcome::Error;
      if (state(v) != before) return Outcome::Done;
      return std::nullopt;
    });
    if (changed == Outcome::Error) ok = false;
    // A toggle the camera did not take ends the cycle rather than sending more.
    if (changed != Outcome::Done) break;
    if (!readFocusMode(camera, model, now)) ok = false;
  }
  if (sent) ok = camera.write(kLensDriveRegister, kLensStop.eap) && ok;
  return ok;
}

// ---- the panels

const PanelDescription& zoomPanelDescription() { return kZoomPanel; }
const PanelDescription& focusPanelDescription() { return kFocusPanel; }
const PanelDescription& zoomFocusPanelDescription() { return kZoomFocusPanel; }

std::unique_ptr<PanelLogic> makeZoomPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<ZoomPanel>(context, view);
}
std::unique_ptr<PanelLogic> makeFocusPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<FocusPanel>(context, view);
}
std::unique_ptr<PanelLogic> makeZoomFocusPanel(PanelContext& context, PanelView& view, ZoomFocusOptions options) {
  return std::make_unique<ZoomFocusPanel>(context, view, options);
}

}  // namespace orva::panels
