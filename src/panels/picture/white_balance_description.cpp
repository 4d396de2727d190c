#include "panels/picture/white_balance_panel.hpp"
#include "panels/picture/white_balance_settings.hpp"
#include "panels/picture/white_balance_texts.hpp"
#include "panels/texts.hpp"

namespace orva::panels::picture {
namespace {

namespace T = wb::texts;
using namespace wb;

constexpr Choice kModes[] = {{T::kAuto, kAutoValue, T::kAutoHeading}, {T::kManual, kManualValue, T::kManualHeading}};
// The panel's own choices: an item's value is its index.
constexpr Choice kAdjData[] = {{T::kRGain, {0, 0}}, {T::kBGain, {1, 1}}, {T::kRbGain, {2, 2}}};
constexpr Choice kAdjModes[] = {{T::kCoarse, {0, 0}}, {T::kFine, {1, 1}}};
constexpr Choice kLightSources[] = {{T::kLightSources[0], {0, 1}, T::kLightSourceHeadings[0]},
                                    {T::kLightSources[1], {2, 2}, T::kLightSourceHeadings[1]},
                                    {T::kLightSources[2], {3, 3}, T::kLightSourceHeadings[2]}};
constexpr Choice kPowerOnModes[] = {{T::kPowerOnModes[0], {0, 0}, T::kPowerOnHeadings[0]},
                                    {T::kPowerOnModes[1], {2, 2}, T::kPowerOnHeadings[1]},
                                    {T::kPowerOnModes[2], {3, 3}, T::kPowerOnHeadings[2]},
                                    {T::kPowerOnModes[3], {4, 4}, T::kPowerOnHeadings[3]}};
constexpr ProtocolValue kBitOff{0, 0};
constexpr ProtocolValue kBitOn{1, 1};

// Every bound control is read by the panel's own open sequence, in its order and as the
// model and the configuration allow.
constexpr ControlDescription gain(ControlId id, std::string_view caption, const camera::Setting& setting) {
  // Any four hex digits are taken; the panel limits them to the model's range.
  return entry(id, caption, Binding{setting}, Format::Hex4, 0, 0xFFFF).readOnRequest();
}

constexpr ControlDescription kControls[] = {
    radio(kMode, {}, Binding{kModeSetting, kManualBit}, kModes)
        .withHeading({}, HeadingItem::Choice, HeadingWhen::BeforeWrite)
        .readOnRequest(),
    gain(wb::kRGain, T::kRGain, kRGainSetting),
    gain(wb::kBGain, T::kBGain, kBGainSetting),
    ownChoice(wb::kAdjData, T::kAdjData, kAdjData),
    ownChoice(wb::kAdjMode, T::kAdjMode, kAdjModes),
    // A burst holds the operation slot from its first step to its last.
    levelArrow(kDown, ArrowRole::LevelDown, T::kDown).takingSlot(),
    levelArrow(kUp, ArrowRole::LevelUp, T::kUp).takingSlot(),
    list(wb::kLightSource, {}, Binding{kLightSourceSetting}, kLightSources)
        .named(T::kLightSourceName)
        .withHeading({}, HeadingItem::Choice, HeadingWhen::BeforeWrite)
        .otherwiseItem(0)
        .shownFor(hasLightSource)
        .readOnRequest()
        .inColumn(1),
    check(wb::kFixedMode, T::kFixedMode, Binding{kPowerOnRegister, kFixedBit}, {0, 0}, {kFixedBit, kFixedBit})
        .shownFor(hasFixedMode)
        .takingSlot()
        .readOnRequest()
        .inColumn(1),
    list(wb::kPowerOn, T::kPowerOnMode, Binding{kPowerOnRegister}, kPowerOnModes)
        .withHeading({}, HeadingItem::Choice, HeadingWhen::BeforeWrite)
        .otherwiseItem(0)
        .shownFor(hasPowerOnMode)
        .readOnRequest()
        .inColumn(1),
    check(wb::kRbcMax, T::kRbcMax, Binding{kRbcMaxRegister, 0x01}, kBitOff, kBitOn).takingSlot().readOnRequest().inColumn(1),
    check(wb::kNewdark, T::kNewdark, Binding{kNewdarkRegister, 0x01}, kBitOff, kBitOn).takingSlot().readOnRequest().inColumn(1),
    button(wb::kReset, T::kReset).shownFor(hasFixedMode).inColumn(1),
    closeButton(wb::kClose, panels::texts::kClose).inColumn(1),
};

constexpr PanelDescription kPanel{
    .id = PanelId::WhiteBalance, .title = T::kTitle, .heading = T::kTitle, .controls = kControls};

}  // namespace

const PanelDescription& whiteBalanceDescription() { return kPanel; }

}  // namespace orva::panels::picture
