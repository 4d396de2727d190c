#include <array>

#include "camera/setting.hpp"
#include "panels/intensity/intensity_panels.hpp"
#include "panels/intensity/intensity_settings.hpp"
#include "panels/intensity/intensity_texts.hpp"
#include "panels/texts.hpp"

namespace orva::panels::intensity {
namespace {

// ---- NIGHTSCOPE: the entry's index is the register's value.

constexpr Choice kSwitches[] = {{texts::kOff, {0, 0}}, {texts::kContinuous, {1, 1}}, {texts::kFix, {2, 2}}};
constexpr Choice kEffects[] = {{texts::kLow, {0, 0}}, {texts::kMiddle, {1, 1}}, {texts::kHigh, {2, 2}}};

constexpr ControlDescription nightList(ControlId id, std::string_view caption, const camera::Setting& setting,
                                       std::span<const Choice> choices, std::string_view heading) {
  // The panel reads the lists itself: in AFP they are not read at all.
  return list(id, caption, Binding{setting}, choices)
      .readOnRequest()
      .enabledFor(speaksEap)
      .withHeading(heading, HeadingItem::Caption, HeadingWhen::BeforeWrite);
}

constexpr std::array kNightScopeControls{
    nightList(kSwitch, texts::kSwitch, kSwitchRegister, kSwitches, texts::kSwitchHeading),
    nightList(kDark, texts::kDark, kDarkRegister, kEffects, texts::kDarkHeading).inGroup(texts::kEffectLevelGroup),
    nightList(kBright, texts::kBright, kBrightRegister, kEffects, texts::kBrightHeading)
        .inGroup(texts::kEffectLevelGroup),
    closeButton(kNightScopeClose, panels::texts::kClose),
};

constexpr PanelDescription kNightScope{.id = PanelId::NightScope,
                                       .title = texts::kTitle,
                                       .heading = {},
                                       .checksPort = false,
                                       .controls = kNightScopeControls};

// ---- ENHANCEDINTENSITY: the mode numbers 1, 2, 3 in AFP.

constexpr Choice kModes[] = {{texts::kOff, {0x00, 1}}, {texts::kOn, {0x01, 2}}};
constexpr Choice kModesWhiteout[] = {
    {texts::kOff, {0x00, 1}}, {texts::kOnEnhanced, {0x01, 2}}, {texts::kOnWhiteout, {0x10, 3}}};

// The heading names the entry as the list shows it, which differs with whiteout reduction.
constexpr ControlDescription modeList(ControlId id, std::span<const Choice> choices) {
  return list(id, texts::kMode, Binding{kModeSetting}, choices)
      .withHeading(texts::kModeHeading, HeadingItem::Caption, HeadingWhen::BeforeWrite);
}

constexpr ControlDescription level(ControlId id, std::string_view caption, const camera::Setting& setting,
                                   std::string_view heading) {
  return entry(id, caption, Binding{setting}, Format::Hex2, 0x00, 0xFF)
      .refusingQuietly()
      .withHeading(heading, HeadingItem::None, HeadingWhen::BeforeWrite);
}

constexpr std::array kEnhancedControls{
    modeList(kMode, kModes).shownFor(withoutWhiteout),
    modeList(kModeWhiteout, kModesWhiteout).shownFor(withWhiteout),
    level(kEffectLevel, texts::kEffectLevel, kEffectLevelSetting, texts::kEffectLevelHeading),
    label(kEffectLevelUnit, texts::kHex),
    level(kWhiteoutLevel, texts::kWhiteoutLevel, kWhiteoutLevelSetting, texts::kWhiteoutLevelHeading)
        .shownFor(withWhiteout),
    label(kWhiteoutLevelUnit, texts::kHex).shownFor(withWhiteout),
    closeButton(kEnhancedClose, panels::texts::kClose),
};

constexpr PanelDescription kEnhanced{.id = PanelId::EnhancedIntensity,
                                     .title = texts::kTitle,
                                     .heading = {},
                                     .checksPort = false,
                                     .controls = kEnhancedControls};

}  // namespace

const PanelDescription& nightScopeDescription() { return kNightScope; }
const PanelDescription& enhancedIntensityDescription() { return kEnhanced; }

}  // namespace orva::panels::intensity
