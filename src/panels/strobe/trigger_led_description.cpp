#include <array>

#include "panels/strobe/trigger_led_panel.hpp"
#include "panels/strobe/trigger_led_settings.hpp"
#include "panels/strobe/trigger_led_texts.hpp"
#include "panels/texts.hpp"

namespace orva::panels::strobe {
namespace led {
namespace {

constexpr camera::Setting eeprom(std::uint16_t address, int width) { return camera::registerSetting(address, width); }

// Pattern-4 is the pattern with none of the three bits set.
constexpr Choice kPatterns[] = {{texts::kPattern1, {0x02, 0x02}},
                                {texts::kPattern2, {0x04, 0x04}},
                                {texts::kPattern3, {0x08, 0x08}},
                                {texts::kPattern4, {0x00, 0x00}}};

// Every read is the panel's own (on open, after "default", on a change of target), so each
// field's read goes with the others in one place. A field in part of a byte is stepped by the
// panel's own code, holding the operation slot.
constexpr ControlDescription stepped(const Field& f, std::string_view group = {}, std::uint8_t column = 0) {
  ControlDescription c = stepper(f.id, f.caption, Binding{eeprom(f.address, f.width), f.mask}, f.format, f.minimum,
                                 f.maximum)
                             .readOnRequest()
                             .inGroup(group, column);
  return f.mask != 0 ? c.takingSlot() : c;
}

// The time beside a time field: the panel's own text, named for scripts.
constexpr ControlDescription timeOf(const Field& f, std::string_view group = {}, std::uint8_t column = 0) {
  ControlDescription c = label(f.time, "").named(f.timeName).inGroup(group, column);
  c.kind = ControlKind::Readout;
  return c;
}

// A push-like button that keeps its caption: the state is written beside it.
constexpr ControlDescription zoomSwitch() {
  ControlDescription c = check(kZoomSwitch, texts::kZoomSwitch, Binding{eeprom(kZoomAddress, 8), kZoomMask},
                               {0, 0}, {kZoomMask, kZoomMask});
  c.kind = ControlKind::Toggle;
  return c.readOnRequest().closingOnFailure().inColumn(2);
}

// The target check is the panel's own state, bound to nothing.
constexpr ControlDescription targetCheck() {
  ControlDescription c = label(kNoEeprom, texts::kNoEeprom).takingSlot().inColumn(2);
  c.kind = ControlKind::Check;
  return c;
}

constexpr std::array kControls{
    radio(kLedPattern, "", Binding{eeprom(kPatternAddress, 8), kPatternMask}, kPatterns)
        .readOnRequest()
        .closingOnFailure()
        .inGroup(texts::kPatternGroup),
    stepped(fieldOf(kTrgTime0)),
    timeOf(fieldOf(kTrgTime0)),
    stepped(fieldOf(kLedOnTime1)),
    timeOf(fieldOf(kLedOnTime1)),
    stepped(fieldOf(kLedOnTime2)),
    timeOf(fieldOf(kLedOnTime2)),
    stepped(fieldOf(kLedOnCount)),
    stepped(fieldOf(kAgcLevel)),
    label(kWhichAllows, texts::kWhichAllows),
    label(kLedOn, texts::kLedOn),
    stepped(fieldOf(kHCenter), texts::kMaskSettingGroup, 1),
    stepped(fieldOf(kVCenter), texts::kMaskSettingGroup, 1),
    stepped(fieldOf(kHWidth), texts::kMaskSettingGroup, 1),
    stepped(fieldOf(kVWidth), texts::kMaskSettingGroup, 1),
    stepped(fieldOf(kShadeLevel), texts::kMaskConditionGroup, 1),
    stepped(fieldOf(kRyLevel), texts::kMaskConditionGroup, 1),
    stepped(fieldOf(kByLevel), texts::kMaskConditionGroup, 1),
    stepped(fieldOf(kChroma), texts::kSeeThroughGroup, 1),
    stepped(fieldOf(kLuminance), texts::kSeeThroughGroup, 1),
    stepped(fieldOf(kTrgTime3), {}, 2),
    timeOf(fieldOf(kTrgTime3), {}, 2),
    stepped(fieldOf(kWaitTime6), {}, 2),
    timeOf(fieldOf(kWaitTime6), {}, 2),
    stepped(fieldOf(kTargetMag), {}, 2),
    zoomSwitch(),
    label(kZoomState, "").inColumn(2),
    targetCheck(),
    button(kDefault, texts::kDefault).takingSlot().inColumn(2),
    closeButton(kClose, panels::texts::kClose).inColumn(2),
};

constexpr PanelDescription kPanel{
    .id = PanelId::TriggerLed, .title = texts::kTitle, .heading = texts::kHeading, .controls = kControls};

}  // namespace
}  // namespace led

const PanelDescription& triggerLedDescription() { return led::kPanel; }

}  // namespace orva::panels::strobe
