#pragma once
// The choices of the lens panels' radio groups and lists, with the values each protocol
// stores for them, the headings written with some of them, and the AF options ZOOM/FOCUS
// CONTROL reads on open.
#include <array>
#include <string_view>

#include "panels/lens/lens_controls.hpp"
#include "panels/lens/lens_settings.hpp"
#include "panels/lens/lens_texts.hpp"
#include "panels/panel_description.hpp"

namespace orva::panels::lens {

inline constexpr Choice kSpeeds[] = {{texts::kHighSpeed, {0x00, 18}}, {texts::kNormalSpeed, {0x08, 17}}};
inline constexpr Choice kSpeedsSlow[] = {
    {texts::kHighSpeed, {0x00, 18}}, {texts::kNormalSpeed, {0x08, 17}}, {texts::kSlowSpeed, {0x0C, 16}}};
inline constexpr std::array<Choice, 16> slowChoices() {
  std::array<Choice, 16> c{};
  for (std::uint32_t k = 0; k < 16; ++k) c[k] = Choice{texts::kSlowSpeeds[k], {k, 16 - k}};
  return c;
}
inline constexpr auto kSlowChoices = slowChoices();
inline constexpr Choice kFocusModes[] = {{texts::kAuto, {0x00, 1}}, {texts::kManual, {kManualFocusBit, 2}}};
inline constexpr Choice kZfFocusModes[] = {{texts::kAutoFocus, {0x00, 1}}, {texts::kManualFocus, {kManualFocusBit, 2}}};
inline constexpr Choice kZfFocusModesCue[] = {
    {texts::kAutoFocus, {0x00, 1}}, {texts::kManualFocus, {kManualFocusBit, 2}}, {texts::kZoomCue, {0, 0}}};
inline constexpr Choice kStepSizes[] = {{texts::kCoarse, {}}, {texts::kFine, {}}};
inline constexpr Choice kFastAfChoices[] = {{texts::kOn, {}}, {texts::kOff, {}}};
inline constexpr Choice kAfSearches[] = {{texts::kTypeAOnly, {1, 2}}, {texts::kTypeAB, {3, 3}}, {texts::kOff, {0, 1}}};
inline constexpr Choice kAfSearchesC[] = {
    {texts::kTypeAOnly, {1, 2}}, {texts::kTypeAB, {3, 3}}, {texts::kTypeC, {5, 4}}, {texts::kOff, {0, 1}}};
inline constexpr std::string_view kAfSearchHeadings[] = {texts::kAfSearchTypeAHeading, texts::kAfSearchTypeABHeading,
                                                         texts::kAfSearchOffHeading};
inline constexpr std::string_view kAfSearchHeadingsC[] = {texts::kAfSearchTypeAHeading, texts::kAfSearchTypeABHeading,
                                                          texts::kAfSearchTypeCHeading, texts::kAfSearchOffHeading};
// Quick AF has a function of its own (1 off, 2 on); the other switches travel as registers.
inline constexpr Choice kQuickAfChoices[] = {{texts::kOff, {0, 1}}, {texts::kOn, {1, 2}}};
inline constexpr Choice kRegisterSwitch[] = {{texts::kOff, {0, 0}}, {texts::kOn, {1, 1}}};
inline constexpr Choice kLensPositionModes[] = {{texts::kTypeA, {0x00, 0x00}}, {texts::kTypeB, {0x80, 0x80}}};
inline constexpr Choice kMfConditions[] = {{texts::kOnlyTimeProgress, {0, 0}}, {texts::kTimeOrFocusedStop, {1, 1}}};
inline constexpr Choice kMinFocusChoices[] = {{texts::kMinFocusLengths[0], {0x00, 0x00}},
                                              {texts::kMinFocusLengths[1], {0xF9, 0xF9}},
                                              {texts::kMinFocusLengths[2], {0xF8, 0xF8}},
                                              {texts::kMinFocusLengths[3], {0xF7, 0xF7}},
                                              {texts::kMinFocusLengths[4], {0xF4, 0xF4}}};
inline constexpr Choice kNewMinFocusChoices[] = {
    {texts::kNewMinFocusLengths[0], {0xFF, 0}}, {texts::kNewMinFocusLengths[1], {0x00, 1}},
    {texts::kNewMinFocusLengths[2], {0xF9, 2}}, {texts::kNewMinFocusLengths[3], {0xF8, 3}},
    {texts::kNewMinFocusLengths[4], {0xF7, 4}}, {texts::kNewMinFocusLengths[5], {0xF4, 5}},
    {texts::kNewMinFocusLengths[6], {0xF2, 6}}, {texts::kNewMinFocusLengths[7], {0xF1, 7}},
    {texts::kNewMinFocusLengths[8], {0xF0, 8}}};
inline constexpr Choice kWatchdogModes[] = {{texts::kWatchdogModes[0], {0, 1}},
                                            {texts::kWatchdogModes[1], {1, 2}},
                                            {texts::kWatchdogModes[2], {2, 3}},
                                            {texts::kWatchdogModes[3], {3, 4}}};
inline constexpr Choice kStopTimeUnits[] = {{texts::kMinutes, {0x80, 0x80}}, {texts::kSeconds, {0x00, 0x00}}};
inline constexpr Choice kSensitivities[] = {{texts::kAfSensitivities[0], {0, 1}},
                                            {texts::kAfSensitivities[1], {1, 2}},
                                            {texts::kAfSensitivities[2], {2, 3}},
                                            {texts::kAfSensitivities[3], {3, 4}}};

// The AF options the ZOOM/FOCUS panel reads on open, in this order, when shown.
inline constexpr ControlId kAfOptionReads[] = {
    controls::kMinFocus,     controls::kNewMinFocus,   controls::kLensPositionMode, controls::kFocusOffset,
    controls::kWatchdogMode, controls::kActiveTime,    controls::kStopTime,         controls::kCycleLimit,
    controls::kStopTimeUnit, controls::kAfSensitivity, controls::kQuickAf,          controls::kMultiAreaAf,
    controls::kPointLightAf, controls::kAfZoomMacro,   controls::kMfCondition,      controls::kOnePushTime};

}  // namespace orva::panels::lens
