#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "panels/strobe/strobe_panel.hpp"
#include "panels/strobe/strobe_settings.hpp"
#include "panels/strobe/strobe_texts.hpp"
#include "panels/texts.hpp"

namespace orva::panels::strobe {
namespace {

// ---- choices: register values (the same in both forms: the panel is EAP only)

constexpr Choice item(std::string_view caption, std::uint32_t value, std::string_view heading = {}) {
  return {caption, {value, value}, heading};
}

// A list's items, the n-th holding n times `step` (its bits' lowest value).
template <std::size_t N>
constexpr std::array<Choice, N> items(const std::array<std::string_view, N>& captions,
                                      const std::array<std::string_view, N>& headings, std::uint32_t step = 1) {
  std::array<Choice, N> out{};
  for (std::size_t i = 0; i < N; ++i) out[i] = item(captions[i], static_cast<std::uint32_t>(i) * step, headings[i]);
  return out;
}
template <std::size_t N>
constexpr std::array<Choice, N> statuses(const std::array<std::string_view, N>& captions) {
  std::array<Choice, N> out{};
  for (std::size_t i = 0; i < N; ++i) out[i] = item(captions[i], static_cast<std::uint32_t>(i));
  return out;
}

// Two-way choices in the order of their buttons, with the values of their bits.
constexpr std::array<Choice, 2> onOff(std::uint32_t on, std::uint32_t off) {
  return {item(texts::kOn, on, texts::kOnState), item(texts::kOff, off, texts::kOffState)};
}
constexpr std::array<Choice, 2> continuousFix(std::uint32_t bit) {
  return {item(texts::kContinuous, 0, texts::kContinuousState), item(texts::kFix, bit, texts::kFixState)};
}

constexpr auto kLinkSwitches = onOff(0, 1);
constexpr auto kActivations = onOff(0, 0x02);
constexpr auto kMasks = onOff(0x08, 0);
constexpr std::array kAcquisitions{item(texts::kContinuous, 1, texts::kContinuousState),
                                   item(texts::kSingleFrame, 0, texts::kSingleFrameState)};
constexpr std::array kAsserts{item(texts::kHigh, 1, texts::kHighState), item(texts::kLow, 0, texts::kLowState)};
constexpr std::array kEdgeTypes{item(texts::kPosi, 0, texts::kPosiState), item(texts::kNega, 0x02, texts::kNegaState)};
constexpr std::array kSources{item(texts::kSoftware, 1, texts::kSoftwareState),
                              item(texts::kLine0, 0, texts::kLine0State)};
constexpr std::array kLightModes{continuousFix(kOutputRegisters[0].lightModeBit),
                                 continuousFix(kOutputRegisters[1].lightModeBit),
                                 continuousFix(kOutputRegisters[2].lightModeBit)};
constexpr std::array kMovieOns{onOff(kOutputRegisters[0].movieOnBit, 0), onOff(kOutputRegisters[1].movieOnBit, 0),
                               onOff(kOutputRegisters[2].movieOnBit, 0)};

constexpr auto kModeItems = items(texts::kModes, texts::kModeStates);
constexpr auto kSwitchItems = items(texts::kSwitches, texts::kSwitchStates, 0x04);
constexpr auto kRateItems = items(texts::kRates, texts::kRateStates);
constexpr auto kForceItems = items(texts::kForces, texts::kForceStates);
constexpr auto kSelectorItems = items(texts::kSelectors, texts::kSelectorStates);
constexpr auto kLinkStatusItems = statuses(texts::kLinkStatuses);
constexpr auto kTriggerStatusItems = statuses(texts::kTriggerStatuses);

// ---- controls: every bound one is read by the panel itself (nothing in AFP) and offered in
// EAP only.

constexpr ControlDescription eapOnly(const ControlDescription& c) {
  return c.enabledFor(speaksEap).readOnRequest();
}

// A two-way choice or a list on bits of a register: only those bits are rewritten, and the
// heading follows a successful write.
constexpr ControlDescription bits(ControlDescription c, std::uint32_t mask, std::string_view heading) {
  c.binding->eapMask = mask;
  return eapOnly(c).withHeading(heading, HeadingItem::Choice);
}
constexpr ControlDescription twoWay(ControlId id, std::string_view caption, const camera::Setting& setting,
                                    std::uint32_t mask, const std::array<Choice, 2>& choices,
                                    std::string_view heading) {
  return bits(radio(id, caption, Binding{setting}, choices), mask, heading);
}

constexpr ControlDescription wrapping(ControlDescription c) {
  c.wrap = true;
  return c;
}

constexpr ControlDescription hex(ControlId id, std::string_view caption, const camera::Setting& setting,
                                 std::uint32_t maximum) {
  return eapOnly(entry(id, caption, Binding{setting}, setting.width == 16 ? Format::Hex4 : Format::Hex2, 0, maximum));
}

constexpr ControlDescription status(ControlId id, const camera::Setting& setting, std::span<const Choice> meanings) {
  // A value past the texts selects nothing: the field shows empty.
  return eapOnly(list(id, texts::kStatus, Binding{setting}, meanings)).shownOnly();
}

constexpr std::size_t kControlCount = 4 + 8 + 3 + kSoftwareTriggers + 5 + 2 * kManualEntries + 8 * kOutputs + 1;

constexpr std::array<ControlDescription, kControlCount> controls() {
  std::array<ControlDescription, kControlCount> c{};
  std::size_t n = 0;
  // Column 0: the strobe link, what the outputs share, the trigger.
  c[n++] = twoWay(kLinkSwitch, texts::kSwitch, kLinkSwitchRegister, 0x01, kLinkSwitches, texts::kLinkSwitchHeading)
               .inGroup(texts::kLinkGroup);
  c[n++] = eapOnly(list(kMode, texts::kMode, Binding{kModeRegister}, kModeItems))
               .withHeading(texts::kModeHeading, HeadingItem::Choice)
               .inGroup(texts::kLinkGroup);
  c[n++] = status(kLinkStatus, kLinkStatusRegister, kLinkStatusItems).inGroup(texts::kLinkGroup);
  c[n++] = readButton(kLinkGet, panels::texts::kGet, kLinkStatus).enabledFor(speaksEap).inGroup(texts::kLinkGroup);

  c[n++] = twoWay(kAcquisitionMode, texts::kAcquisitionMode, kControlRegister, 0x01, kAcquisitions,
                  texts::kAcquisitionHeading)
               .inGroup(texts::kCommonGroup);
  c[n++] = twoWay(kActivation, texts::kActivation, kControlRegister, 0x02, kActivations, texts::kActivationHeading)
               .inGroup(texts::kCommonGroup);
  c[n++] = bits(list(kRate, texts::kRate, Binding{kRateRegister}, kRateItems), 0x03, texts::kRateHeading)
               .inGroup(texts::kCommonGroup);
  c[n++] = twoWay(kMask, texts::kMask, kRateRegister, 0x08, kMasks, texts::kMaskHeading).inGroup(texts::kCommonGroup);
  c[n++] = eapOnly(stepper(kPilotWidth, texts::kPilotWidth, Binding{kPilotWidthRegister}, Format::Hex2, 0, 0xFF))
               .inGroup(texts::kCommonGroup);
  // Stepped by the panel: only its three bits of the register are rewritten.
  c[n++] = wrapping(eapOnly(stepper(kPilotDelay, texts::kPilotDelay, Binding{kPilotDelayRegister, kPilotDelayBits},
                                    Format::Hex2, 0, 7)))
               .takingSlot()
               .inGroup(texts::kCommonGroup);
  c[n++] = hex(kGateWidth, texts::kGateWidth, kGateWidthRegister, 0xFFFF).inGroup(texts::kCommonGroup);
  c[n++] = eapOnly(list(kForceStrobeSwitch, texts::kForceStrobeSwitch, Binding{kForceRegister}, kForceItems))
               .withHeading(texts::kForceHeading, HeadingItem::Choice)
               .inGroup(texts::kCommonGroup);

  c[n++] = twoWay(kSource, texts::kSource, kSourceRegister, 0x01, kSources, texts::kSourceHeading)
               .inGroup(texts::kTriggerGroup);
  c[n++] = status(kTriggerStatus, kTriggerStatusRegister, kTriggerStatusItems).inGroup(texts::kTriggerGroup);
  c[n++] = readButton(kTriggerGet, panels::texts::kGet, kTriggerStatus).enabledFor(speaksEap).inGroup(texts::kTriggerGroup);
  for (std::size_t i = 0; i < kSoftwareTriggers; ++i)
    c[n++] = button(static_cast<ControlId>(kFirstSoftwareTrigger + i), texts::kTriggerButtons[i])
                 .enabledFor(speaksEap)
                 .takingSlot()
                 .inGroup(texts::kSoftwareTriggerGroup);

  // Columns 1 to 3: the outputs, one each.
  for (std::size_t i = 0; i < kOutputs; ++i) {
    const Output& r = kOutputRegisters[i];
    const texts::OutputTexts& t = texts::kOutputs[i];
    const auto id = [i](OutputControl which) { return outputControl(i, which); };
    const auto column = static_cast<std::uint8_t>(1 + i);
    c[n++] = bits(list(id(OutputControl::Switch), texts::kSwitch, Binding{reg8(r.control)}, kSwitchItems), 0x0C,
                  t.switchHeading)
                 .inGroup(t.group, column);
    c[n++] = twoWay(id(OutputControl::Assert), texts::kAssert, reg8(r.control), 0x01, kAsserts, t.assertHeading)
                 .inGroup(t.group, column);
    c[n++] = twoWay(id(OutputControl::EdgeType), texts::kEdgeType, reg8(r.control), 0x02, kEdgeTypes,
                    t.edgeTypeHeading)
                 .inGroup(t.group, column);
    c[n++] = twoWay(id(OutputControl::LightMode), texts::kLightMode, kControlRegister, r.lightModeBit, kLightModes[i],
                    t.lightModeHeading)
                 .inGroup(t.group, column);
    c[n++] = twoWay(id(OutputControl::MovieOn), texts::kMovieOn, kRateRegister, r.movieOnBit, kMovieOns[i],
                    t.movieOnHeading)
                 .inGroup(t.group, column);
    c[n++] = wrapping(eapOnly(stepper(id(OutputControl::FrameDelay), texts::kFrameDelay,
                                      Binding{reg8(r.frameDelay)}, Format::Hex2, 0, 15)))
                 .inGroup(t.group, column);
    c[n++] = hex(id(OutputControl::Rise), texts::kRise, reg16(r.rise), 0xFFFF).inGroup(t.group, column);
    c[n++] = hex(id(OutputControl::Width), texts::kWidth, reg16(r.width), 0xFFFF).inGroup(t.group, column);
  }

  // Under the outputs: the exposure the strobe link states use, and the two manual sets.
  c[n++] = eapOnly(list(kAutoControlSelector, texts::kAutoControlSelector, Binding{kSelectorRegister}, kSelectorItems))
               .withHeading(texts::kSelectorHeading, HeadingItem::Choice)
               .inColumn(1);
  c[n++] = hex(kAverageNight, texts::kNight, kAverageNightRegister, 0xFF).inGroup(texts::kAverageGroup, 1);
  c[n++] = hex(kAverageTwilight, texts::kTwilight, kAverageTwilightRegister, 0xFF).inGroup(texts::kAverageGroup, 1);
  c[n++] = hex(kPeakNight, texts::kNight, kPeakNightRegister, 0x7F).inGroup(texts::kPeakGroup, 1);
  c[n++] = hex(kPeakTwilight, texts::kTwilight, kPeakTwilightRegister, 0x7F).inGroup(texts::kPeakGroup, 1);
  for (std::size_t i = 0; i < kManualEntries; ++i)
    c[n++] = hex(static_cast<ControlId>(kFirstManualNight + i), texts::kManualEntries[i],
                 reg16(static_cast<std::uint16_t>(kManualNightBase + 2 * i)), 0xFFFF)
                 .inGroup(texts::kManualNightGroup, 2);
  for (std::size_t i = 0; i < kManualEntries; ++i)
    c[n++] = hex(static_cast<ControlId>(kFirstManualTwilight + i), texts::kManualEntries[i],
                 reg16(static_cast<std::uint16_t>(kManualTwilightBase + 2 * i)), 0xFFFF)
                 .inGroup(texts::kManualTwilightGroup, 3);
  c[n++] = closeButton(kClose, panels::texts::kClose).inColumn(3);
  return c;
}

constexpr auto kControls = controls();

constexpr PanelDescription kPanel{.id = PanelId::Strobe,
                                  .title = texts::kTitle,
                                  .heading = texts::kTitle,
                                  .controls = kControls};

}  // namespace

const PanelDescription& strobeDescription() { return kPanel; }

}  // namespace orva::panels::strobe
