#include <array>

#include "camera/setting.hpp"
#include "panels/picture/level_panels.hpp"
#include "panels/picture/levels_adjuster.hpp"
#include "panels/texts.hpp"

namespace orva::panels::picture {
namespace {

using namespace aperture;

// The manual aperture is bit 1 of the register it shares with the white balance; the
// function numbers the choices 1 and 2.
constexpr std::uint32_t kManualBit = 0x02;
constexpr Choice kModes[] = {{"AUTO", {0, 1}, "APERTURE Auto"}, {"MANUAL", {kManualBit, 2}, "APERTURE Manual"}};
constexpr camera::Setting kModeSetting = *camera::settingFromCode(0x3403);
constexpr camera::Setting kHorizontalSetting = *camera::settingFromCode(0x3404);
constexpr camera::Setting kVerticalSetting = *camera::settingFromCode(0x3406);
// The picture mode's function carries the register's value 1 to 4 as it is.
constexpr camera::Setting kPictureModeSetting{.afpCode = 0x340D, .afpField = 0, .eapRegister = 0xFF60, .width = 8};
constexpr Choice kPictureModes[] = {{"PIC_MODE1", {1, 1}, "Picture Mode 1"},
                                    {"PIC_MODE2", {2, 2}, "Picture Mode 2"},
                                    {"PIC_MODE3", {3, 3}, "Picture Mode 3"},
                                    {"PIC_MODE4", {4, 4}, "Picture Mode 4"}};

constexpr int kHorizontalOnly = 0;
constexpr int kVerticalOnly = 1;
constexpr int kBoth = 2;
constexpr Choice kAdjustDataItems[] = {{"Horizontal", {0, 0}}, {"Vertical", {1, 1}}, {"H/V", {2, 2}}};

// Levels up to 0x1F, or 0x3F from processor class 4 on.
constexpr std::uint32_t kTop = 0x1F;
constexpr std::uint32_t kWideTop = 0x3F;
constexpr int kWideFromClass = 4;
constexpr levels::Bursts kBursts{.coarse = {4, 2}, .fine = {2, 1}};

constexpr ControlDescription level(ControlId id, std::string_view caption, const camera::Setting& setting,
                                   std::string_view heading) {
  // The entry's range is the widest; the panel keeps a model to its own top.
  return entry(id, caption, Binding{setting}, Format::Hex2, 0, kWideTop)
      .readOnRequest()
      .withHeading(heading, HeadingItem::None, HeadingWhen::BeforeWrite);
}

constexpr std::array kControls{
    radio(kMode, "", Binding{kModeSetting, kManualBit}, kModes)
        .named("APERTURE")
        .withHeading("", HeadingItem::Choice, HeadingWhen::BeforeWrite),
    level(kHorizontal, "Horizontal", kHorizontalSetting, "Set Horizontal"),
    level(kVertical, "Vertical", kVerticalSetting, "Set Vertical"),
    label(kLevelUnit, levels::kHex),
    ownChoice(kAdjustMode, levels::kAdjustMode, levels::kAdjustModes),
    ownChoice(kAdjustData, levels::kAdjustData, kAdjustDataItems),
    levelArrow(kDown, ArrowRole::LevelDown, levels::kDown).takingSlot(),
    levelArrow(kUp, ArrowRole::LevelUp, levels::kUp).takingSlot(),
    radio(kPictureMode, "Picture mode", Binding{kPictureModeSetting}, kPictureModes)
        .withHeading("", HeadingItem::Choice, HeadingWhen::BeforeWrite)
        .inColumn(1),
    closeButton(kClose, texts::kClose),
};

constexpr PanelDescription kPanel{
    .id = PanelId::Aperture, .title = "APERTURE LEVEL", .heading = "APERTURE", .controls = kControls};

class AperturePanel final : public PanelLogic {
 public:
  AperturePanel(PanelContext& context, PanelView& view) : PanelLogic(kPanel, context, view) {}

 protected:
  bool readOnOpen() override { return switchLevels(); }

  // MANUAL reads both levels again; a failed read leaves them as they were.
  void afterWrite(ControlId control) override {
    if (control == kMode) switchLevels();
  }

  bool handle(const Intent& in) override {
    const bool entered = in.kind == Intent::Kind::Enter && (in.control == kHorizontal || in.control == kVertical);
    const bool pressed = in.kind == Intent::Kind::Press && (in.control == kDown || in.control == kUp);
    if ((!entered && !pressed) || !offered(in.control)) return false;
    if (entered) {
      // Above the model's top: refused here; the rest, heading and write, as any entry.
      const auto value = parseEntry(Format::Hex2, in.text);
      if (value && *value <= top()) return false;
      view().beep();
      return true;
    }
    press(in.control == kUp);
    return true;
  }

 private:
  std::uint32_t top() {
    return context().model.processorClass >= kWideFromClass ? kWideTop : kTop;
  }

  // Each step: its heading, then the chosen level or both, a step each.
  void press(bool up) {
    const levels::Burst burst = selected(kAdjustMode) == levels::kCoarse ? kBursts.coarse : kBursts.fine;
    const int data = selected(kAdjustData).value_or(kBoth);
    const std::uint32_t limit = top();
    const auto next = [&burst, up, limit](std::uint32_t v) { return levels::stepLevel(v, burst.size, up, 0, limit); };
    for (int i = 0; i < burst.steps; ++i) {
      context().monitor.heading(headingText(up ? levels::kUp : levels::kDown));
      if (data != kVerticalOnly && !adjustLevel(kHorizontal, 1, next)) return;
      if (data != kHorizontalOnly && !adjustLevel(kVertical, 1, next)) return;
    }
  }

  // False when a level could not be read on the open.
  bool switchLevels() {
    const bool manual = selected(kMode) == 1;
    for (const ControlId c : {kHorizontal, kVertical, kAdjustMode, kAdjustData, kDown, kUp})
      setControlEnabled(c, manual);
    if (!manual) return true;
    if (!selected(kAdjustMode)) present(kAdjustMode, levels::kFine);
    if (!selected(kAdjustData)) present(kAdjustData, kBoth);
    return refresh(kHorizontal) && refresh(kVertical);
  }
};

}  // namespace

const PanelDescription& apertureDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeAperturePanel(PanelContext& context, PanelView& view) {
  return std::make_unique<AperturePanel>(context, view);
}

}  // namespace orva::panels::picture
