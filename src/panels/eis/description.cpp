#include <array>
#include <string>
#include <vector>

#include "panels/eis/eis_panel.hpp"
#include "panels/eis/eis_settings.hpp"
#include "panels/eis/eis_texts.hpp"
#include "panels/texts.hpp"

namespace orva::panels::eis {
namespace {

// The first button is value 1, the second value 0.
constexpr Choice kFrequencies[] = {{texts::kFiveHertz, kOn}, {texts::kSixteenHertz, kOff}};

// Option word bit 6 names the buttons by mode.
std::vector<std::string> frequencyCaptions(const camera::ModelRecord& m) {
  if (((m.optionWord >> 6) & 1u) == 0) return {};
  return {std::string(texts::kModeOne), std::string(texts::kModeZero)};
}

constexpr ControlDescription tuning(const Tuning& t, std::uint8_t column) {
  return stepper(t.id, t.caption, Binding{camera::registerSetting(t.address, 16)}, Format::Hex4, 0, t.maximum, t.step)
      .readOnRequest()
      .closingOnFailure()
      .inGroup(t.group, column)
      .shownFor(tunes);
}

// Every read is the panel's own: none may come before the camera is accepted. A value the
// camera holds outside the two buttons' selects the second, as bit 0 clear does.
constexpr std::array kControls{
    radio(kFrequency, "", Binding{kFrequencySetting}, kFrequencies)
        .withItemCaptions(frequencyCaptions)
        .readOnRequest()
        .closingOnFailure()
        .otherwiseItem(1)
        .inGroup(texts::kFrequencyGroup),
    toggle(kEis, texts::kEis, Binding{kSwitchSetting}, kOff, kOn, texts::kEisOff, texts::kEisOn)
        .readOnRequest()
        .closingOnFailure()
        .withHeading("", HeadingItem::Caption, HeadingWhen::BeforeWrite),
    tuning(kTunings[0], 1),
    tuning(kTunings[2], 1),
    tuning(kTunings[3], 1),
    tuning(kTunings[4], 1),
    tuning(kTunings[1], 2),
    button(kDefault, texts::kDefault).takingSlot().inColumn(2).shownFor(tunes),
    closeButton(kClose, panels::texts::kClose).inColumn(2),
};

constexpr PanelDescription kPanel{.id = PanelId::EisSetup,
                                  .title = texts::kTitle,
                                  .heading = {},
                                  .controls = kControls,
                                  .closingHeading = texts::kEndHeading};

}  // namespace

const PanelDescription& description() { return kPanel; }

}  // namespace orva::panels::eis
