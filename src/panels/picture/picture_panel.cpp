#include "panels/picture/picture_panel.hpp"

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "panels/formats.hpp"
#include "panels/picture/picture_settings.hpp"
#include "panels/picture/picture_texts.hpp"

namespace orva::panels::picture {
namespace {

using namespace agc2;
namespace T = agc2::texts;

struct GroupRow {
  Group group;
  GroupIds ids;
};
// The colour group twice: one of the two is shown, by model.
constexpr std::array<GroupRow, 4> kGroups{{
    {Group::Colour, kChroma},
    {Group::Colour, kColorLevel},
    {Group::YGamma, kYGamma},
    {Group::CGamma, kCGamma},
}};

const GroupRow* groupOf(ControlId id) {
  const auto* row = std::find_if(kGroups.begin(), kGroups.end(), [id](const GroupRow& r) {
    return id == r.ids.set || (id >= r.ids.first && id < r.ids.first + kGroupSize);
  });
  return row == kGroups.end() ? nullptr : row;
}

class PicturePanel final : public PanelLogic {
 public:
  PicturePanel(PanelContext& context, PanelView& view) : PanelLogic(pictureDescription(), context, view) {}

 protected:
  bool readOnOpen() override {
    const auto& model = context().model;
    if (hasPictureModes(model)) {
      if (!refresh(kPictureModeField)) return false;
      mode_ = number(kPictureModeField).value_or(1);
    }
    std::optional<std::uint32_t> stated;
    if (readsGainLimit(model)) {
      std::uint32_t v = 0;
      if (context().camera.read(kGainLimitRegister, v)) stated = v;
    }
    limit_ = gainLimit(model, stated);
    view().setRange(kGain, 0, static_cast<int>(limit_));
    return readGroups();
  }

  bool handle(const Intent& in) override {
    const GroupRow* row = groupOf(in.control);
    switch (in.kind) {
      case Intent::Kind::Edit:
        typed_[in.control] = in.text;
        return false;
      case Intent::Kind::Enter:
        if (in.control == kGain) {
          setGain(in.text);
          return true;
        }
        if (row == nullptr) return false;
        // An entry's own Return sends its group.
        typed_[in.control] = in.text;
        sendGroup(*row);
        return true;
      case Intent::Kind::Click:
        if (row != nullptr && in.control == row->ids.set) {
          sendGroup(*row);
          return true;
        }
        if (in.control == kGainSet) {
          setGain(shownText(kGain, Format::Decimal, kGainScale));
          return true;
        }
        if (in.control == kPictureModeButton) {
          stepMode();
          return true;
        }
        if (in.control == kZoomSensButton || in.control == kZoomSensPlusButton) {
          toggleZoomSens(in.control == kZoomSensButton ? kZoomSens : kZoomSensPlus, in.control);
          return true;
        }
        return false;
      default: return false;
    }
  }

 private:
  const ControlDescription& control(ControlId id) const {
    const auto& all = description().controls;
    return *std::find_if(all.begin(), all.end(), [id](const ControlDescription& c) { return c.id == id; });
  }
  bool afp() { return context().camera.protocol() == link::Protocol::Afp; }

  // What an entry holds now: what was typed since it last showed a value, else what it shows.
  std::string shownText(ControlId id, Format format, std::uint32_t scale) const {
    if (const auto t = typed_.find(id); t != typed_.end()) return t->second;
    const auto n = number(id);
    return n ? formatValue(format, *n / scale) : std::string();
  }
  void show(ControlId id, std::uint32_t value) {
    typed_.erase(id);
    present(id, value);
  }

  // ---- maximum gain

  // The gain offset in 1/32 dB by the camera's AE state; none when a read failed.
  std::optional<std::uint32_t> gainOffset() {
    if (!hasGainOffset(context().model)) return 0;
    CameraAccess& camera = context().camera;
    std::uint32_t v = 0;
    if (!camera.read(kAeModeSetting, v)) return std::nullopt;
    switch (offsetBy(v, camera.protocol())) {
      case OffsetBy::None: return 0;
      case OffsetBy::ShutterParameter:
        if (!camera.read(kAeParameterRegister, v)) return std::nullopt;
        if (v >= 5) return 0;
        break;
      case OffsetBy::Switch:
        if (!camera.read(kOffsetSwitchRegister, v)) return std::nullopt;
        if (v == 1) return 0;
        break;
    }
    if (!camera.read(kGainUpRegister, v)) return std::nullopt;
    return (v & 1u) != 0 ? kHighSensitivityOffset : kNormalOffset;
  }

  void setGain(const std::string& text) {
    if (!offered(kGain)) return;
    const auto db = parseEntry(Format::Decimal, text);
    if (!db || *db > limit_) {
      view().beep();
      return;
    }
    auto claim = context().runner.claim();
    if (!claim) return;
    const auto offset = gainOffset();
    if (!offset) return;
    CameraAccess& camera = context().camera;
    const std::uint32_t value = *db * kGainScale + *offset;
    const std::uint32_t reference = value / 8;
    const std::array<std::uint32_t, 2> fields{value, reference};
    const bool ok = afp() ? camera.codes().write(kMaximumGainFunction, fields) : camera.write(kMaximumGainSetting, value);
    if (!ok) return;
    show(kGain, *db * kGainScale);
    camera.write(camera::registerSetting(referenceRegister(context().model, mode_), 8), reference);
  }

  // ---- the five-value groups

  GroupIds colourIds() { return colourLevelCaption(context().model) ? kColorLevel : kChroma; }

  // The group's five values of the current picture mode, shown; false when a read failed.
  bool readGroup(Group g, GroupIds ids) {
    CameraAccess& camera = context().camera;
    std::array<std::uint32_t, kGroupSize> values{};
    if (afp()) {
      std::vector<std::uint32_t> fields;
      if (!camera.codes().read(groupFunction(g), fields)) return false;
      if (fields.size() < kGroupSize) return true;  // no camera: nothing to show
      std::copy_n(fields.begin(), kGroupSize, values.begin());
    } else {
      const std::uint16_t first = firstRegister(g, mode_, context().model);
      for (std::size_t i = 0; i < kGroupSize; ++i)
        if (!camera.read(camera::registerSetting(static_cast<std::uint16_t>(first + i), 8), values[i])) return false;
    }
    for (std::size_t i = 0; i < kGroupSize; ++i) show(static_cast<ControlId>(ids.first + i), values[i]);
    return true;
  }

  // Without gamma curves only the colour level is read.
  bool readGroups() {
    if (!readGroup(Group::Colour, colourIds())) return false;
    return !hasGamma(context().model) || (readGroup(Group::YGamma, kYGamma) && readGroup(Group::CGamma, kCGamma));
  }

  void sendGroup(const GroupRow& row) {
    if (!offered(row.ids.set)) return;
    std::array<std::uint32_t, kGroupSize> values{};
    for (std::size_t i = 0; i < kGroupSize; ++i) {
      const auto v = parseEntry(Format::Hex2, shownText(static_cast<ControlId>(row.ids.first + i), Format::Hex2, 1));
      if (!v) {
        view().beep();
        return;
      }
      values[i] = *v;
    }
    auto claim = context().runner.claim();
    if (!claim) return;
    context().monitor.heading(headingText(control(row.ids.set).heading));
    CameraAccess& camera = context().camera;
    if (afp()) {
      if (!camera.codes().write(groupFunction(row.group), values)) return;
      for (std::size_t i = 0; i < kGroupSize; ++i) show(static_cast<ControlId>(row.ids.first + i), values[i]);
      return;
    }
    const std::uint16_t first = firstRegister(row.group, mode_, context().model);
    for (std::size_t i = 0; i < kGroupSize; ++i) {
      if (!camera.write(camera::registerSetting(static_cast<std::uint16_t>(first + i), 8), values[i])) return;
      show(static_cast<ControlId>(row.ids.first + i), values[i]);
    }
  }

  // ---- picture mode and zoom sensitivity

  void stepMode() {
    if (!offered(kPictureModeButton)) return;
    auto claim = context().runner.claim();
    if (!claim) return;
    CameraAccess& camera = context().camera;
    std::uint32_t now = 0;
    if (!camera.read(kPictureModeSetting, now)) return;
    const std::uint32_t next = nextMode(now, hasTwoModesOnly(context().model));
    context().monitor.heading(headingText(T::kPictureModeHeadings[next - 1]));
    if (!camera.write(kPictureModeSetting, next)) return;
    mode_ = next;
    present(kPictureModeField, next);
    readGroups();
  }

  void toggleZoomSens(ControlId field, ControlId button) {
    if (!offered(button)) return;
    auto claim = context().runner.claim();
    if (!claim) return;
    CameraAccess& camera = context().camera;
    const ControlDescription& d = control(field);
    std::uint32_t now = 0;
    if (!camera.read(kZoomSensSetting, now)) return;
    const bool on = now != d.choices[1].value.in(camera.protocol());
    context().monitor.heading(headingText(on ? T::kZoomSensOnHeading : T::kZoomSensOffHeading));
    const std::uint32_t next = d.choices[on ? 1 : 0].value.in(camera.protocol());
    if (camera.write(kZoomSensSetting, next)) present(field, next);
  }

  std::uint32_t mode_ = 1;
  std::int64_t limit_ = kGainTop;
  std::map<ControlId, std::string> typed_;
};

}  // namespace

std::unique_ptr<PanelLogic> makePicturePanel(PanelContext& context, PanelView& view) {
  return std::make_unique<PicturePanel>(context, view);
}

}  // namespace orva::panels::picture
