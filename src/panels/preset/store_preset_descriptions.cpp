#include <array>
#include <cstddef>

#include "panels/preset/preset_lens_part.hpp"
#include "panels/preset/store_preset_panels.hpp"

namespace orva::panels::preset {
namespace {

namespace T = texts;

// "1".."N", "Memory1".."MemoryN": the captions and script names of a numbered key row, kept
// in static storage so that the descriptions can point at them.
template <std::size_t N>
struct Numbered {
  std::array<std::array<char, 12>, N> text{};
  std::array<std::size_t, N> size{};
  constexpr std::string_view operator[](std::size_t i) const { return {text[i].data(), size[i]}; }
};
template <std::size_t N>
constexpr Numbered<N> numbered(std::string_view stem) {
  Numbered<N> out;
  for (std::size_t i = 0; i < N; ++i) {
    std::size_t k = 0;
    for (char c : stem) out.text[i][k++] = c;
    const std::size_t n = i + 1;
    if (n >= 10) out.text[i][k++] = static_cast<char>('0' + n / 10);
    out.text[i][k++] = static_cast<char>('0' + n % 10);
    out.size[i] = k;
  }
  return out;
}
constexpr auto kNumbers = numbered<kStoreRecords>("");
constexpr auto kMemoryNames = numbered<kStoreRecords>("Memory");
constexpr auto kPresetNames = numbered<kStoreRecords>("Preset");


// One row per record, its "Memory" key with its "Preset" key beside it, sixteen rows to a
// column.
template <std::size_t Count>
constexpr std::array<ControlDescription, 2 * Count> keyRows(ControlId memory1, ControlId preset1) {
  std::array<ControlDescription, 2 * Count> out{};
  for (std::size_t i = 0; i < Count; ++i) {
    const auto column = static_cast<std::uint8_t>(i / 16);
    out[2 * i] = ownCheck(static_cast<ControlId>(memory1 + i), kNumbers[i], kMemoryNames[i]).inGroup("Memory", column);
    out[2 * i + 1] = button(static_cast<ControlId>(preset1 + i), "Preset")
                         .named(kPresetNames[i])
                         .inGroup("Memory", column)
                         .besidePrevious();
  }
  return out;
}

constexpr Choice kStoreKinds[] = {{T::kTypeOne, {0, 0}}, {T::kTypeTwo, {1, 1}}, {T::kByCamera, {2, 2}}};
constexpr Choice kRunTypes[] = {{T::kTypeOne, {0, 0}}, {T::kTypeTwo, {1, 1}}};

template <std::size_t A, std::size_t B>
constexpr std::array<ControlDescription, A + B> join(const std::array<ControlDescription, A>& a,
                                                     const std::array<ControlDescription, B>& b) {
  std::array<ControlDescription, A + B> out{};
  for (std::size_t i = 0; i < A; ++i) out[i] = a[i];
  for (std::size_t i = 0; i < B; ++i) out[A + i] = b[i];
  return out;
}

constexpr std::uint8_t kSide = 4;  // the column right of the key rows
constexpr std::uint8_t kLens = 5;  // and the lens part right of it

constexpr auto kStoreControls = withLensPart(join(keyRows<kStoreRecords>(kStoreMemory1, kStorePreset1),
                                     std::array{
                                         ownList(kStoreType, T::kTypeList, kStoreKinds).inColumn(kSide),
                                         button(kClearAll, T::kClearAll).inColumn(kSide),
                                         button(kAbort, T::kAbort).inColumn(kSide),
                                         label(kProgress, "").named(T::kProgress).inColumn(kSide),
                                         closeButton(kStoreClose, "CLOSE").inColumn(kSide),
                                     }),
                                                  kLens);

constexpr auto kCamControls = withLensPart(join(keyRows<kCameraSlots>(kCamMemory1, kCamPreset1),
                                   std::array{
                                       ownList(kCamType, T::kTypeList, kRunTypes).inColumn(kSide),
                                       button(kDetailSet, T::kDetailSet).inColumn(kSide),
                                       button(kCamClearAll, T::kClearAll).inColumn(kSide),
                                       closeButton(kCamClose, "CLOSE").inColumn(kSide),
                                   }),
                                                kLens);

}  // namespace

const PanelDescription& storePresetDescription() {
  static constexpr PanelDescription d{.id = PanelId::EepromStorePreset, .title = T::kStoreTitle, .controls = kStoreControls};
  return d;
}

const PanelDescription& camPresetDescription() {
  static constexpr PanelDescription d{.id = PanelId::CamPreset, .title = T::kCamTitle, .controls = kCamControls};
  return d;
}

}  // namespace orva::panels::preset
