#include <array>
#include <cstddef>

#include "panels/preset/eeprom_preset_panel.hpp"
#include "panels/preset/preset_lens_part.hpp"

namespace orva::panels::preset::eeprom {
namespace {

namespace T = texts;


constexpr ControlDescription ownEntry(ControlId id, std::string_view caption, Format f, std::uint32_t lo,
                                      std::uint32_t hi) {
  ControlDescription c = entry(id, caption, Binding{}, f, lo, hi);
  c.binding = std::optional<Binding>{};
  return c;
}

constexpr std::size_t kOwnCount = 3 * kRecords + 8 + 2 + 4 + 1;

constexpr std::array<ControlDescription, kOwnCount> ownControls() {
  std::array<ControlDescription, kOwnCount> c{};
  std::size_t at = 0;
  for (int i = 0; i < kRecords; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const auto offset = static_cast<ControlId>(i);
    // A row per record: its TYPE I and TYPE II keys and its "Preset".
    c[at++] = ownCheck(kTypeOneMemory1 + offset, T::kNumbers[k], T::kTypeOneMemoryNames[k]).inGroup(T::kKeysGroup, 0);
    c[at++] = ownCheck(kTypeTwoMemory1 + offset, T::kNumbers[k], T::kTypeTwoMemoryNames[k])
                  .inGroup(T::kKeysGroup, 0)
                  .besidePrevious();
    c[at++] = button(kPreset1 + offset, T::kPreset).named(T::kPresetNames[k]).inGroup(T::kKeysGroup, 0).besidePrevious();
  }
  for (std::size_t k = 0; k < 4; ++k) {
    const auto offset = static_cast<ControlId>(k);
    const std::string_view group = T::kEasyGroups[k / 2];
    c[at++] = button(kEasyMemory1 + offset, T::kMem).named(T::kEasyMemoryNames[k]).inGroup(group, 3);
    c[at++] = button(kEasyPreset1 + offset, T::kPreset).named(T::kEasyPresetNames[k]).inGroup(group, 3);
  }
  c[at++] = ownEntry(kGotoZoom2, T::kGotoZoom2Value, Format::Hex2, 0, 0xFF).named(T::kGotoZoom2).inGroup(T::kGotoZoom2, 3);
  c[at++] = button(kGotoZoom2Start, lens_part::kStart).named(T::kGotoZoom2StartName).inGroup(T::kGotoZoom2, 3);
  // Read and shown by the description; changes are the panel's (refusals, headings, BCD).
  c[at++] = check(kMosaic, T::kMosaic, Binding{reg8(0xFF3A)}, {0, 0}, {1, 1}).inGroup(T::kMosaicGroup, 4);
  c[at++] = entry(kHSize, T::kHSize, Binding{reg8(0xFF3C)}, Format::Hex2, 0, 0x99).inGroup(T::kMosaicGroup, 4);
  c[at++] = entry(kVSize, T::kVSize, Binding{reg8(0xFF3D)}, Format::Hex2, 0, 0x99).inGroup(T::kMosaicGroup, 4);
  c[at++] = check(kFade, T::kFadeOn, Binding{reg8(0xFA21)}, {0, 1}, {1, 2}).inGroup(T::kFadeGroup, 4);
  c[at++] = closeButton(kClose, T::kClose).inColumn(4);
  return c;
}

constexpr auto kControls = withLensPart(ownControls(), 5);

}  // namespace

const PanelDescription& eepromPresetDescription() {
  static constexpr PanelDescription d{
      .id = PanelId::EepromPreset, .title = T::kTitle, .heading = T::kTitle, .controls = kControls};
  return d;
}

}  // namespace orva::panels::preset::eeprom
