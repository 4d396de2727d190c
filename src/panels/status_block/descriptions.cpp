#include <algorithm>
#include <array>

#include "panels/status_block/status_block_lists.hpp"
#include "panels/status_block/status_block_panel.hpp"
#include "panels/status_block/status_block_texts.hpp"

namespace orva::panels::status_block {
namespace {

namespace c = controls;
namespace t = texts;

constexpr bool bit(unsigned word, unsigned n) { return ((word >> n) & 1u) != 0; }
constexpr unsigned family(const camera::ModelRecord& m) { return m.modelCode & 0xFFF0u; }
constexpr bool newestFamily(const camera::ModelRecord& m) { return family(m) >= 0x19F0 && family(m) <= 0x1DF0; }

// The fields' values choose the entries; a field read as 0 or 1 is one bit of the block.
constexpr ProtocolValue v(std::uint32_t value) { return {value, value}; }
constexpr std::array<Choice, 2> kAutoManual{{{t::kAuto, v(0)}, {t::kManual, v(1)}}};
constexpr std::array<Choice, 2> kFocusMotion{{{t::kNo, v(0)}, {t::kFocusing, v(1)}}};
constexpr std::array<Choice, 2> kZoomMotion{{{t::kNo, v(0)}, {t::kZooming, v(1)}}};
constexpr std::array<Choice, 2> kIrcf{{{t::kIrcfIn, v(1)}, {t::kIrcfOut, v(0)}}};
constexpr std::array<Choice, 2> kWdrOnOff{{{t::kWdrOff, v(0)}, {t::kWdrOn, v(1)}}};
constexpr std::array<Choice, 3> kWbAuto{
    {{t::kWbAutoModes[0], v(1)}, {t::kWbAutoModes[1], v(2)}, {t::kWbAutoModes[2], v(3)}}};
constexpr std::array<Choice, 3> kWdrMode{{{t::kWdrModes[0], v(3)}, {t::kWdrModes[1], v(4)}, {t::kWdrModes[2], v(5)}}};

// The list's entries, entry i chosen by the value `first + i`.
template <std::size_t N>
constexpr std::array<Choice, N> numbered(const std::array<std::string_view, N>& captions, std::uint32_t first) {
  std::array<Choice, N> out{};
  for (std::size_t i = 0; i < N; ++i) out[i] = {captions[i], v(first + static_cast<std::uint32_t>(i))};
  return out;
}
// The program AE modes 2 to 12 are entries 1 to 11; every other value the first.
constexpr auto kAeModes = numbered(t::kAeModes, 1);
// Range 1 is the first entry; 0 selects none. The captions follow the model and camera mode.
constexpr auto kDss = numbered(t::kDss60, 1);
static_assert(kDss.size() == kDssListLength);
// The logic picks these entries by their place.
constexpr auto kDefog = numbered(std::array<std::string_view, 7>{t::kDefogBase[0], t::kDefogBase[1], t::kDefogBase[2],
                                                                 t::kDefogBase[3], t::kDefogP[0], t::kDefogP[1],
                                                                 t::kDefogAuto},
                                 0);
constexpr auto kIntensity = numbered(t::kIntensityThree, 0);

bool defogShown(const camera::ModelRecord& m, link::Protocol) { return family(m) != 0x16F0 && bit(m.featureWord, 1); }
bool intensityShown(const camera::ModelRecord& m, link::Protocol) { return bit(m.featureWord, 15); }
bool eisShown(const camera::ModelRecord& m, link::Protocol) { return bit(m.optionWord, 6); }

// The window's list keeps its length; the entries this model lacks stay blank.
std::vector<std::string> padded(std::vector<std::string> entries, std::size_t length) {
  entries.resize(length);
  return entries;
}
std::vector<std::string> defogCaptions(const camera::ModelRecord& m) { return padded(defogEntries(m), kDefog.size()); }
std::vector<std::string> intensityCaptions(const camera::ModelRecord& m) {
  return padded(intensityEntries(m), kIntensity.size());
}

constexpr ControlDescription shownList(ControlId id, std::string_view caption, std::span<const Choice> choices) {
  ControlDescription d = label(id, caption);
  d.kind = ControlKind::List;
  d.choices = choices;
  return d.shownOnly();
}
constexpr ControlDescription shownToggle(ControlId id, std::string_view caption) {
  ControlDescription d = label(id, caption);
  d.kind = ControlKind::Toggle;
  d.off = v(0);
  d.on = v(1);
  return d.shownOnly();
}
constexpr ControlDescription position(ControlId id, std::string_view caption) {
  ControlDescription d = label(id, caption);
  d.kind = ControlKind::Readout;
  d.format = Format::Hex4;
  return d.shownOnly();
}

// In the block's order, which is also the order `orva-cli status` prints them in.
const std::array kControls{
    shownList(c::kFocusMode, t::kFocusMode, kAutoManual).inGroup(t::kLensGroup, 0),
    shownToggle(c::kContinuousZoom, t::kContinuousZoom).inGroup(t::kLensGroup, 0),
    shownToggle(c::kInstantZoom, t::kInstantZoom).inGroup(t::kLensGroup, 0),
    shownList(c::kFocusMotion, t::kFocusMotion, kFocusMotion).inGroup(t::kLensGroup, 0),
    shownList(c::kZoomMotion, t::kZoomMotion, kZoomMotion).inGroup(t::kLensGroup, 0),

    shownList(c::kIrcf, t::kIrcf, kIrcf).inGroup(t::kAeGroup, 0),
    shownToggle(c::kBlc, t::kBlc).inGroup(t::kAeGroup, 0),
    shownList(c::kDss, t::kDss, kDss).inGroup(t::kAeGroup, 0),
    shownList(c::kAeMode, t::kAeMode, kAeModes).otherwiseItem(0).inGroup(t::kAeGroup, 0),

    shownList(c::kDefog, t::kDefog, kDefog)
        .withItemCaptions(defogCaptions)
        .shownFor(defogShown)
        .inGroup(t::kImageGroup, 1),
    shownList(c::kWhiteBalance, t::kWhiteBalance, kAutoManual).inGroup(t::kImageGroup, 1),
    shownList(c::kAperture, t::kAperture, kAutoManual).inGroup(t::kImageGroup, 1),
    shownList(c::kWdrOnOff, t::kWdrOnOff, kWdrOnOff).inGroup(t::kImageGroup, 1),
    shownList(c::kWdrAutoManual, t::kWdrAutoManual, kAutoManual).inGroup(t::kImageGroup, 1),
    shownList(c::kIntensity, t::kIntensity, kIntensity)
        .withItemCaptions(intensityCaptions)
        .shownFor(intensityShown)
        .inGroup(t::kImageGroup, 1),
    shownList(c::kWbAuto, t::kWbAuto, kWbAuto).otherwiseItem(0).inGroup(t::kImageGroup, 1),
    shownList(c::kWdrMode, t::kWdrMode, kWdrMode).otherwiseItem(0).inGroup(t::kImageGroup, 1),

    shownToggle(c::kPrivacyMask, t::kPrivacyMask).inGroup(t::kFunctionGroup, 1),
    shownToggle(c::kFade, t::kFade).inGroup(t::kFunctionGroup, 1),
    shownToggle(c::kReverse, t::kReverse).inGroup(t::kFunctionGroup, 1),
    shownToggle(c::kFreeze, t::kFreeze).inGroup(t::kFunctionGroup, 1),
    shownToggle(c::kMotionDetect, t::kMotionDetect).inGroup(t::kFunctionGroup, 1),
    shownToggle(c::kMotionTracking, t::kMotionTracking).inGroup(t::kFunctionGroup, 1),
    shownToggle(c::kEis, t::kEis).shownFor(eisShown).inGroup(t::kFunctionGroup, 1),

    position(c::kFocusPosition, t::kFocusPosition).inGroup(t::kPositionGroup, 0),
    position(c::kZoomPosition, t::kZoomPosition).inGroup(t::kPositionGroup, 0),
    position(c::kIrisPosition, t::kIrisPosition).inGroup(t::kPositionGroup, 0),
    position(c::kShutterPosition, t::kShutterPosition).inGroup(t::kPositionGroup, 0),
    position(c::kAgcPosition, t::kAgcPosition).inGroup(t::kPositionGroup, 0),

    button(c::kReadSettings, t::kReadSettings).takingSlot().inColumn(1),
    closeButton(c::kClose, t::kClose).inColumn(1),
};

const PanelDescription kPanel{
    .id = PanelId::BlockRead, .title = t::kTitle, .heading = t::kHeading, .controls = kControls};

}  // namespace

std::vector<std::string> dssEntries(const camera::ModelRecord& m, std::uint32_t cameraMode) {
  const auto list = [](const auto& entries) { return std::vector<std::string>(entries.begin(), entries.end()); };
  if (!newestFamily(m)) return list(t::kDssOther);
  // The camera modes at 50 fields (or frames) a second.
  constexpr std::array<std::uint32_t, 6> kFifty{5, 6, 7, 8, 10, 17};
  const bool fifty = std::find(kFifty.begin(), kFifty.end(), cameraMode) != kFifty.end();
  return fifty ? list(t::kDss50) : list(t::kDss60);
}

std::vector<std::string> defogEntries(const camera::ModelRecord& m) {
  std::vector<std::string> out(t::kDefogBase.begin(), t::kDefogBase.end());
  const unsigned f = family(m);
  const bool early = (f == 0x14F0 || f == 0x15F0) && m.cameraVersion < 17;
  const bool other = f != 0x14F0 && f != 0x15F0 && !newestFamily(m);
  if (early || other) out.insert(out.end(), t::kDefogP.begin(), t::kDefogP.end());
  if (bit(m.featureWord, 9)) out.emplace_back(t::kDefogAuto);
  return out;
}

std::vector<std::string> intensityEntries(const camera::ModelRecord& m) {
  if (bit(m.extraOptionWord, 14)) return {t::kIntensityThree.begin(), t::kIntensityThree.end()};
  return {t::kIntensityTwo.begin(), t::kIntensityTwo.end()};
}

const PanelDescription& description() { return kPanel; }

}  // namespace orva::panels::status_block
