#include <array>

#include "panels/ircf/ircf_panels.hpp"
#include "panels/ircf/ircf_settings.hpp"
#include "panels/ircf/ircf_texts.hpp"
#include "panels/texts.hpp"

namespace orva::panels::ircf {
namespace {

namespace t = texts;

// AE codes by button, the register form first (the AFP numbering has "Full Manual" before "AGC
// Priority").
constexpr Choice kAeModes[] = {
    {t::kAeButtons[0], {0x00, 1}},  {t::kAeButtons[1], {0x01, 4}}, {t::kAeButtons[2], {0x07, 8}},
    {t::kAeButtons[3], {0x08, 9}},  {t::kAeButtons[4], {0x09, 11}}, {t::kAeButtons[5], {0x0A, 10}},
    {t::kAeButtons[6], {0x0B, 12}},
};
constexpr Choice kFilterModes[] = {{t::kAuto, {0, 0}}, {t::kManual, {1, 1}}};
constexpr Choice kMoves[] = {{t::kMoveIn, kInCommand}, {t::kMoveOut, kOutCommand}};
constexpr Choice kLights[] = {
    {t::kNormalLight, kLightValues[0]}, {t::kIr950, kLightValues[1]}, {t::kIr850, kLightValues[2]}};
constexpr Choice kNotifications[] = {{t::kNotNotify, {1, 1}}, {t::kNotify, {2, 2}}};

// Every control is the panel's own: its logic reads and writes the camera (ircf_panel.cpp).
constexpr std::array kControls{
    radio(kAeMode, "", Binding{kModeSetting}, kAeModes).readOnRequest().named(t::kAeName).takingSlot(),
    ownChoice(kFilterMode, "", kFilterModes).inGroup(t::kFilterModeGroup, 1).takingSlot(),
    ownChoice(kManualControl, "", kMoves).inGroup(t::kManualGroup, 1),
    radio(kLight, "", Binding{kLightSetting}, kLights).readOnRequest().inGroup(t::kLightGroup, 1).takingSlot(),
    stepper(kThreshold, "", Binding{kThresholdSetting}, Format::Hex2, -24, 24)
        .readOnRequest()
        .shownFor(thresholdShown)
        .inGroup(t::kThresholdGroup, 2)
        .takingSlot(),
    radio(kNotify, t::kModeLabel, Binding{kNotifySetting}, kNotifications)
        .readOnRequest()
        .otherwiseItem(kDoNotify)
        .shownFor(interruptShown)
        .inGroup(t::kInterruptGroup, 2)
        .takingSlot(),
    label(kRequestLabel, t::kRequestLabel).shownFor(interruptShown).inGroup(t::kInterruptGroup, 2),
    button(kChangeRequest, t::kNoRequest)
        .named(t::kRequestName)
        .shownFor(interruptShown)
        .inGroup(t::kInterruptGroup, 2)
        .takingSlot(),
    closeButton(kClose, panels::texts::kClose).inColumn(2),
};

constexpr PanelDescription kPanel{
    .id = PanelId::IrcfRemove, .title = t::kTitle, .heading = t::kHeading, .controls = kControls};

}  // namespace

const PanelDescription& ircfDescription() { return kPanel; }

}  // namespace orva::panels::ircf
