#include <array>

#include "panels/exposure/ae_panel.hpp"
#include "panels/exposure/ae_settings.hpp"
#include "panels/exposure/ae_texts.hpp"
#include "panels/texts.hpp"

namespace orva::panels::exposure {
namespace {

namespace t = texts;

constexpr Choice kModes[] = {
    {t::kProgramAe, {0x00, 1}},    {t::kProgramAePlus, {0x01, 4}}, {t::kShutterPriority, kShutterPriority},
    {t::kExposurePriority, {0x08, 9}}, {t::kAgcPriority, {0x09, 11}}, {t::kFullManual, {0x0A, 10}},
    {t::kExposureShutterPriority, {0x0B, 12}},
};
constexpr Choice kProgramAeModes[] = {
    {t::kProgramAe, {0x00, 1}}, {t::kProgramAer1, {0x10, 2}}, {t::kProgramAer2, {0x20, 3}}};
constexpr Choice kProgramAePlusModes[] = {{t::kProgramAePlus, {0x01, 4}},
                                          {t::kProgramAerPlus1, {0x11, 5}},
                                          {t::kProgramAerPlus2, {0x21, 6}},
                                          {t::kProgramAerPlus3, {0x31, 7}}};

// Codes by button position: the slowest first (255), then 0 to 15 (AFP: 1, then 2 to 17).
constexpr auto kSpeeds = [] {
  std::array<Choice, 17> out{};
  out[0] = {t::kSpeeds60[0], {255, 1}};
  for (std::uint32_t p = 1; p < out.size(); ++p) out[p] = {t::kSpeeds60[p], {p - 1, p + 1}};
  return out;
}();
// The 0x13F0 to 0x16F0 families: positions 1 to 15 two higher in EAP; in AFP positions 1 to 4
// one higher and position 5 is 18.
constexpr auto kShiftedSpeeds = [] {
  std::array<Choice, 16> out{};
  out[0] = {t::kSpeeds60[0], {255, 1}};
  for (std::uint32_t p = 1; p < out.size(); ++p) {
    const std::uint32_t afp = p <= 4 ? p + 2 : p == 5 ? 18 : p + 1;
    out[p] = {t::kSpeeds60[p], {p + 1, afp}};
  }
  return out;
}();
template <std::size_t N>
constexpr std::array<Choice, N> counted(const std::array<std::string_view, N>& captions) {
  std::array<Choice, N> out{};
  for (std::uint32_t i = 0; i < N; ++i) out[i] = {captions[i], {i, i + 1}};
  return out;
}
constexpr auto kFNumberChoices = counted(t::kFNumbers);
constexpr auto kGainChoices = counted(t::kGains);

constexpr Choice kFreezeChoices[] = {{t::kFreezeField, {1, 1}}, {t::kFreezeFrame, {2, 2}}, {t::kOff, {0, 0}}};
constexpr Choice kOnOff[] = {{t::kOn, {1, 1}}, {t::kOff, {0, 0}}};

// The mode groups and parameters are read by the panel: the mode once for all three groups,
// the parameter of the mode the camera is in.
constexpr ControlDescription mode(ControlId id, std::string_view caption, std::span<const Choice> choices) {
  return radio(id, caption, Binding{kModeSetting}, choices).readOnRequest().inColumn(0);
}
constexpr ControlDescription parameter(ControlId id, std::string_view caption, camera::Setting setting,
                                       std::span<const Choice> choices, std::uint8_t column = 1) {
  return radio(id, caption, Binding{setting}, choices).readOnRequest().inColumn(column);
}
constexpr ControlDescription manual(ControlId id, std::string_view caption, camera::Setting setting,
                                    std::string_view group) {
  return entry(id, caption, Binding{setting}, Format::Hex4, 0, 0xFFFF).readOnRequest().inGroup(group, 2);
}
constexpr ControlDescription irisOffset(ControlId id, std::string_view caption, std::uint16_t address) {
  return entry(id, caption, Binding{camera::registerSetting(address, 8)}, Format::Hex2, 0, 0xFF)
      .readOnRequest()
      .inGroup(t::kIrisGroup, 3);
}
constexpr ControlDescription wdrStatus() {
  ControlDescription c = readout(kWdrStatus, Binding{kWdrRegister}, Format::Hex2).inGroup(t::kIrisGroup, 3);
  c.caption = t::kWdrStatus;
  return c;
}

constexpr std::array kControls{
    mode(kAeMode, t::kModeGroup, kModes),
    mode(kProgramAe, t::kProgramAe, kProgramAeModes),
    mode(kProgramAePlus, t::kProgramAePlus, kProgramAePlusModes),
    parameter(kShutterSpeeds, t::kShutterSpeedGroup, kShutterSpeedSetting, kSpeeds).shownFor(standardShutterCodes),
    parameter(kShutterSpeedsShifted, t::kShutterSpeedGroup, kShutterSpeedSetting, kShiftedSpeeds)
        .shownFor(shiftedShutterCodes),
    parameter(kFNumbers, t::kFNumberGroup, kFNumberSetting, kFNumberChoices, 2).withItemCaptions(fNumberCaptions),
    parameter(kGains, t::kGainGroup, kGainSetting, kGainChoices, 2),
    manual(kManualExposure, t::kExposure, kManualExposureSetting, t::kFullManual),
    manual(kManualShutter, t::kShutter, kManualShutterSetting, t::kFullManual),
    manual(kManualGain, t::kGain, kManualGainSetting, t::kFullManual),
    manual(kEspExposure, t::kExposure, kManualExposureSetting, t::kExposureShutterPriority),
    manual(kEspShutter, t::kShutter, kManualShutterSetting, t::kExposureShutterPriority),
    button(kHalfSecond, t::kHalfSecond).inColumn(1),
    button(kTenthSecond, t::kTenthSecond).inColumn(1),
    irisOffset(kIrisAverage, t::kAverage, 0xFD9E),
    irisOffset(kIrisPeak, t::kPeak, 0xFD9F),
    wdrStatus(),
    entry(kSlowAe, t::kSlowAe, Binding{kSlowAeSetting}, Format::Hex2, 0, 0xFF).inColumn(3),
    check(kNewAeChart, t::kNewAeChart, Binding{kChartRegister}, kChartOff, kChartOn).inColumn(3),
    check(kClarity, t::kClarity, Binding{kClarityRegister}, kClarityOff, kClarityOn).inColumn(3),
    radio(kFreeze, t::kFreeze, Binding{kFreezeRegister}, kFreezeChoices).inColumn(3),
    radio(kMirror, t::kMirror, Binding{kMirrorRegister}, kOnOff).inColumn(3),
    radio(kMosaic, t::kMosaic, Binding{kMosaicRegister}, kOnOff).inColumn(3),
    button(kOpenWeighting, t::kOpenWeighting).inColumn(3),
    closeButton(kAeClose, panels::texts::kClose).inColumn(3),
};

constexpr PanelDescription kPanel{
    .id = PanelId::Ae, .title = t::kAeTitle, .heading = t::kAeHeading, .controls = kControls};

}  // namespace

const PanelDescription& aeDescription() { return kPanel; }

}  // namespace orva::panels::exposure
