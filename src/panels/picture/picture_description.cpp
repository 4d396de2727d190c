#include <algorithm>
#include <array>

#include "panels/picture/picture_panel.hpp"
#include "panels/picture/picture_settings.hpp"
#include "panels/picture/picture_texts.hpp"
#include "panels/texts.hpp"

namespace orva::panels::picture {
namespace {

using namespace agc2;
namespace T = agc2::texts;

bool pictureModes(const camera::ModelRecord& m, link::Protocol) { return hasPictureModes(m); }
bool gamma(const camera::ModelRecord& m, link::Protocol) { return hasGamma(m); }
bool chromaCaption(const camera::ModelRecord& m, link::Protocol) { return !colourLevelCaption(m); }
bool colorCaption(const camera::ModelRecord& m, link::Protocol) { return colourLevelCaption(m); }
bool zoomSens(const camera::ModelRecord& m, link::Protocol) { return hasZoomSens(m) && !hasZoomSensPlus(m); }
bool zoomSensPlus(const camera::ModelRecord& m, link::Protocol) { return hasZoomSensPlus(m); }

// An entry of a five-value group: the panel reads and sends the group as a whole.
constexpr ControlDescription point(ControlId id, std::size_t place, std::string_view caption, std::string_view group,
                                   std::uint8_t column) {
  auto c = entry(id, caption, Binding{}, Format::Hex2, 0, 0xFF).named(T::kPlaces[place]).inGroup(group, column);
  c.binding = std::optional<Binding>{};  // a reset one cannot be copied in a constant expression
  return c;
}

using Six = std::array<ControlDescription, kGroupSize + 1>;
constexpr Six group(GroupIds ids, std::string_view caption, const std::array<std::string_view, 5>& labels,
                    std::string_view heading, std::uint8_t column, ModelTest shown, ModelTest enabled) {
  Six out{};
  for (std::size_t i = 0; i < kGroupSize; ++i) {
    out[i] = point(static_cast<ControlId>(ids.first + i), i, labels[i], caption, column);
    out[i].shownWhen = shown;
    out[i].enabledWhen = enabled;
  }
  out[kGroupSize] = groupSetButton(ids.set, T::kSet, caption, column).withHeading(heading);
  out[kGroupSize].shownWhen = shown;
  out[kGroupSize].enabledWhen = enabled;
  return out;
}

constexpr Choice kOffOn[] = {{T::kOff, {0, 1}}, {T::kOn, {1, 2}}};

constexpr std::array kHead{
    entry(kGain, "", Binding{kMaximumGainSetting}, Format::Decimal, 0, kGainTop)
        .scaledBy(kGainScale)
        .withSpin()
        .inGroup(T::kMaximumGain),
    label(kGainUnit, T::kDecibel).inGroup(T::kMaximumGain),
    button(kGainSet, T::kSet).inGroup(T::kMaximumGain),
};
constexpr auto kChromaGroup = group(kChroma, T::kChromaSuppression, T::kColourPoints, T::kColorHeading, 1, chromaCaption, nullptr);
constexpr auto kColorGroup = group(kColorLevel, T::kColorLevel, T::kColourPoints, T::kColorHeading, 1, colorCaption, nullptr);
constexpr auto kYGroup = group(kYGamma, T::kYGamma, T::kGammaPoints, T::kYGammaHeading, 2, nullptr, gamma);
constexpr auto kCGroup = group(kCGamma, T::kCGamma, T::kGammaPoints, T::kCGammaHeading, 3, nullptr, gamma);
constexpr std::array kTail{
    readout(kPictureModeField, Binding{kPictureModeSetting}, Format::Decimal)
        .readOnRequest()
        .inGroup(T::kPictureMode)
        .enabledFor(pictureModes),
    button(kPictureModeButton, T::kMode).inGroup(T::kPictureMode).enabledFor(pictureModes),
    list(kZoomSens, "", Binding{kZoomSensSetting}, kOffOn).shownOnly().otherwiseItem(0).inGroup(T::kZoomSensUp).shownFor(zoomSens),
    button(kZoomSensButton, T::kMode).inGroup(T::kZoomSensUp).shownFor(zoomSens),
    list(kZoomSensPlus, "", Binding{kZoomSensSetting}, kOffOn)
        .shownOnly()
        .otherwiseItem(0)
        .inGroup(T::kZoomSenseUpPlus)
        .shownFor(zoomSensPlus),
    button(kZoomSensPlusButton, T::kMode).inGroup(T::kZoomSenseUpPlus).shownFor(zoomSensPlus),
    closeButton(kClose, panels::texts::kClose),
};

template <std::size_t... N>
constexpr auto joined(const std::array<ControlDescription, N>&... parts) {
  std::array<ControlDescription, (N + ...)> out{};
  std::size_t at = 0;
  ((std::copy(parts.begin(), parts.end(), out.begin() + static_cast<std::ptrdiff_t>(at)), at += N), ...);
  return out;
}

constexpr auto kControls = joined(kHead, kChromaGroup, kColorGroup, kYGroup, kCGroup, kTail);

constexpr PanelDescription kPanel{.id = PanelId::Picture, .title = T::kTitle, .heading = T::kTitle, .controls = kControls};

}  // namespace

const PanelDescription& pictureDescription() { return kPanel; }

}  // namespace orva::panels::picture
