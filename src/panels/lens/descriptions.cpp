#include "panels/lens/lens_panels.hpp"

#include <array>
#include <string>
#include <vector>

#include "panels/formats.hpp"
#include "panels/lens/lens_choices.hpp"
#include "panels/lens/lens_controls.hpp"
#include "panels/lens/lens_readout.hpp"
#include "panels/lens/lens_settings.hpp"
#include "panels/lens/lens_texts.hpp"
#include "panels/texts.hpp"

namespace orva::panels::lens {
namespace {

namespace C = controls;
namespace T = texts;

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
    closeButton(C::kClose, panels::texts::kClose),
};

constexpr PanelDescription kZoomPanel{
    .id = PanelId::Zoom, .title = T::kZoomTitle, .heading = T::kZoomHeading, .controls = kZoomControls};

constexpr std::array kFocusControls{
    radio(C::kFocusMode, "", Binding{camera::kFocusModeSetting, kManualFocusBit}, kFocusModes).takingSlot(),
    arrow(C::kFocusNear, ArrowRole::FocusNear, kFocusNearDrive),
    arrow(C::kFocusFar, ArrowRole::FocusFar, kFocusFarDrive),
    closeButton(C::kClose, panels::texts::kClose),
};

constexpr PanelDescription kFocusPanel{
    .id = PanelId::Focus, .title = T::kFocusTitle, .heading = T::kFocusHeading, .controls = kFocusControls};

// ZOOM/FOCUS CONTROL: zoom and lens position in column 0, focus in column 1, AF options in
// columns 2 and 3. Every read on open is the panel's own, in that order.
constexpr std::array kZoomFocusControls{
    // column 0: zoom
    ownRadio(C::kSpeed, "", kSpeeds).withItemCaptions(speedCaptionsOf).shownFor(notSlow).takingSlot(),
    ownRadio(C::kSpeedSlow, "", kSpeedsSlow).withItemCaptions(speedCaptionsOf).shownFor(slow).takingSlot(),
    own(list(C::kSlowList, "", Binding{}, kSlowChoices)).shownFor(slow).takingSlot(),
    digiMark(),
    zoomSlider(),
    magnificationReadout(),
    arrow(C::kZoomWide, ArrowRole::ZoomWide, kZoomWideDrive).inGroup(T::kZoomPosition),
    arrow(C::kZoomTele, ArrowRole::ZoomTele, kZoomTeleDrive).inGroup(T::kZoomPosition),
    instantCheck(0).readOnRequest(),
    ownEntry(C::kInstantMax, T::kMax, Format::Tenths, 10, 20).inGroup(T::kInstant).takingSlot(),
    continuousCheck(0).readOnRequest(),
    ownEntry(C::kContinuousMax, T::kMax, Format::Decimal, 1, 99).inGroup(T::kContinuous),
    button(C::k36x, T::k36xMode).inGroup(T::kCompatibilityGroup).shownFor(magnificationModes),
    button(C::k35x, T::k35xMode).inGroup(T::kCompatibilityGroup).shownFor(magnificationModes),
    radio(C::kLensPositionMode, "", Binding{reg8(0x11E1), 0x80}, kLensPositionModes)
        .readOnRequest()
        .inGroup(T::kLensPositionSetting, 0)
        .shownFor(afOptions),
    button(C::kSetNowZoomPosition, T::kSetNowZoomPosition).inGroup(T::kLensPositionSetting, 0).shownFor(afOptions).takingSlot(),
    readout(C::kLensPosition, Binding{kLensPositionSetting}, Format::Hex4)
        .readOnRequest()
        .inGroup(T::kLensPositionSetting, 0)
        .shownFor(afOptions),
    // column 1: focus
    ownRadio(C::kFocusMode, "", kZfFocusModes).inColumn(1).shownFor(noZoomCue).takingSlot(),
    ownRadio(C::kFocusModeCue, "", kZfFocusModesCue).inColumn(1).shownFor(zoomCue).takingSlot(),
    button(C::kOnePush, T::kOnePushAf).inColumn(1).shownFor(zoomCue).takingSlot(),
    arrow(C::kFocusNear, ArrowRole::FocusNear, kFocusNearDrive).inColumn(1),
    arrow(C::kFocusFar, ArrowRole::FocusFar, kFocusFarDrive).inColumn(1),
    ownEntry(C::kManualSpeed, T::kSpeed, Format::Decimal, 0, 99).withSpin().inGroup(T::kManualGroup, 1).takingSlot(),
    button(C::kAdjustment, T::kAdjustmentOff).inColumn(1).shownFor(adjustment).takingSlot(),
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
    ownRadio(C::kFastAf, T::kFastAf, kFastAfChoices).inColumn(1).shownFor(fastAf).takingSlot(),
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
    button(C::kTimerStop, T::kTimerStopOff).inGroup(T::kOptionSetting, 2).shownFor(afOptions).takingSlot(),
    button(C::kRestartInPause, T::kRestartInPauseOff).inGroup(T::kOptionSetting, 2).shownFor(afOptions).takingSlot(),
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
    button(C::kLensCheck, T::kSetAndRead).inGroup(T::kLensConditionCheck, 3).shownFor(afOptions).takingSlot(),
    readout(C::kLensCondition, Binding{camera::kLensConditionSetting}, Format::Hex2)
        .readOnRequest()
        .inGroup(T::kLensConditionCheck, 3)
        .shownFor(afOptions),
    button(C::kOnePushTrigger, T::kOnePushAf).inGroup(T::kOnePushAf, 3).shownFor(afOptions).takingSlot(),
    readout(C::kOnePushState, Binding{reg8(0xF73C)}, Format::Hex2)
        .readOnRequest()
        .inGroup(T::kOnePushAf, 3)
        .shownFor(afOptions),
    entry(C::kOnePushTime, T::kTimeSeconds, Binding{kOnePushTimeSetting}, Format::Decimal, 0, 255)
        .readOnRequest()
        .inGroup(T::kOnePushAf, 3)
        .shownFor(afOptions),
    button(C::kFocusInit, T::kFocusInit).inColumn(3).shownFor(afOptions).takingSlot(),
    button(C::kAfReset, T::kReset).inColumn(3).shownFor(afOptions).takingSlot(),
    closeButton(C::kClose, panels::texts::kClose),
};

constexpr PanelDescription kZoomFocusPanel{.id = PanelId::ZoomFocus,
                                           .title = T::kZoomFocusTitle,
                                           .heading = T::kZoomFocusHeading,
                                           .controls = kZoomFocusControls};

}  // namespace

const PanelDescription& zoomPanelDescription() { return kZoomPanel; }
const PanelDescription& focusPanelDescription() { return kFocusPanel; }
const PanelDescription& zoomFocusPanelDescription() { return kZoomFocusPanel; }

}  // namespace orva::panels::lens
