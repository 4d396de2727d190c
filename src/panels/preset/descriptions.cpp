#include <array>

#include "panels/preset/preset_panels.hpp"
#include "panels/preset/preset_settings.hpp"

namespace orva::panels::preset {
namespace {

namespace T = texts;


constexpr Choice kTypes[] = {{"Type1", {1, 1}}, {"Type2", {2, 2}}};

// List entries numbered by their index; the captions come from the model.
template <std::size_t N>
constexpr std::array<Choice, N> indexChoices() {
  std::array<Choice, N> out{};
  for (std::size_t i = 0; i < N; ++i) out[i] = Choice{"", {static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i)}};
  return out;
}
// Room for the longest Zoom list: a 36x lens and its eleven digital steps.
constexpr auto kZoomChoices = indexChoices<48>();
constexpr auto kFocusChoices = [] {
  auto out = indexChoices<T::kFocusNames.size()>();
  for (std::size_t i = 0; i < out.size(); ++i) out[i].caption = T::kFocusNames[i];
  return out;
}();


std::vector<std::string> zoomCaptions(const camera::ModelRecord& m) { return zoomNames(m); }

constexpr ControlDescription kMemControls[] = {
    ownCheck(kMemory1, "1", T::kMemoryCaptions[0]).inGroup(T::kMemory),
    ownCheck(kMemory1 + 1, "2", T::kMemoryCaptions[1]).inGroup(T::kMemory),
    ownCheck(kMemory1 + 2, "3", T::kMemoryCaptions[2]).inGroup(T::kMemory),
    ownCheck(kMemory1 + 3, "4", T::kMemoryCaptions[3]).inGroup(T::kMemory),
    button(kPreset1, "1").named(T::kPresetCaptions[0]).inGroup(T::kPreset),
    button(kPreset1 + 1, "2").named(T::kPresetCaptions[1]).inGroup(T::kPreset),
    button(kPreset1 + 2, "3").named(T::kPresetCaptions[2]).inGroup(T::kPreset),
    button(kPreset1 + 3, "4").named(T::kPresetCaptions[3]).inGroup(T::kPreset),
    radio(kType, "", Binding{kTypeSetting}, kTypes).named("Type").inColumn(1),
    check(kContinuous, T::kContinuous, Binding{kContinuousSetting}, {0, 1}, {1, 2}).shownFor(digital).inColumn(1),
    readout(kStatus, Binding{kStatusRegister}, Format::Decimal).readOnRequest().shownOnly().named(T::kStatus).inColumn(1),
    button(kCancel, T::kCancel).inColumn(1),
    closeButton(kClose, T::kClose).inColumn(1),
};

constexpr ControlDescription kDirectControls[] = {
    ownList(kZoom, T::kZoom, kZoomChoices).withItemCaptions(zoomCaptions),
    button(kSetZoom, T::kSetZoom),
    ownList(kFocus, T::kFocus, kFocusChoices),
    button(kSetFocus, T::kSetFocus),
    check(kContinuous, T::kContinuous, Binding{kContinuousSetting}, {0, 1}, {1, 2}).inColumn(1),
    readout(kStatus, Binding{kStatusRegister}, Format::Decimal).readOnRequest().shownOnly().named(T::kStatus).inColumn(1),
    button(kCancel, T::kCancel).inColumn(1),
    closeButton(kClose, T::kClose).inColumn(1),
};

}  // namespace

const PanelDescription& memPresetDescription() {
  static constexpr PanelDescription d{.id = PanelId::MemPreset, .title = T::kMemTitle, .controls = kMemControls};
  return d;
}

const PanelDescription& directPresetDescription() {
  static constexpr PanelDescription d{.id = PanelId::DirectPreset, .title = T::kDirectTitle, .controls = kDirectControls};
  return d;
}

}  // namespace orva::panels::preset
