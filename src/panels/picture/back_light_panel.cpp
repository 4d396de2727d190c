#include <array>

#include "camera/setting.hpp"
#include "panels/picture/level_panels.hpp"
#include "panels/picture/levels_adjuster.hpp"
#include "panels/texts.hpp"

namespace orva::panels::picture {
namespace {

using namespace backlight;

// Off is 0 in the register and 1 in the function; on is 2 in both.
constexpr Choice kModes[] = {{"OFF", {0, 1}}, {"ON", {2, 2}}};
constexpr camera::Setting kLevelSetting = *camera::settingFromCode(0x2302);
constexpr std::uint32_t kTop = 0xEF;
constexpr levels::Bursts kBursts{.coarse = {5, 8}, .fine = {2, 4}};

constexpr std::array kControls{
    radio(kMode, "", Binding{camera::kBackLightSetting}, kModes).named("BLC"),
    entry(kLevel, "BLC level", Binding{kLevelSetting}, Format::Hex2, 0, 0xFF).readOnRequest(),
    label(kLevelUnit, levels::kHex),
    ownChoice(kAdjustMode, levels::kAdjustMode, levels::kAdjustModes),
    levelArrow(kDown, ArrowRole::LevelDown, levels::kDown).takingSlot(),
    levelArrow(kUp, ArrowRole::LevelUp, levels::kUp).takingSlot(),
    closeButton(kClose, texts::kClose),
};

constexpr PanelDescription kPanel{.id = PanelId::BackLight,
                                  .title = "BACK LIGHT COMP.",
                                  .heading = "BACK LIGHT COMPENSATION",
                                  .controls = kControls};

class BackLightPanel final : public PanelLogic {
 public:
  BackLightPanel(PanelContext& context, PanelView& view) : PanelLogic(kPanel, context, view) {}

 protected:
  bool readOnOpen() override { return switchGroup(); }

  // ON reads the level again; a failed read leaves it as it was.
  void afterWrite(ControlId control) override {
    if (control == kMode) switchGroup();
  }

  bool handle(const Intent& in) override {
    if (in.kind != Intent::Kind::Press || (in.control != kDown && in.control != kUp)) return false;
    if (!offered(in.control)) return true;
    const levels::Burst burst = selected(kAdjustMode) == levels::kCoarse ? kBursts.coarse : kBursts.fine;
    const bool up = in.control == kUp;
    adjustLevel(kLevel, burst.steps,
                [&burst, up](std::uint32_t v) { return levels::stepLevel(v, burst.size, up, 0, kTop); });
    return true;
  }

 private:
  // False when the level could not be read on the open.
  bool switchGroup() {
    const bool on = selected(kMode) == 1;
    for (const ControlId c : {kLevel, kAdjustMode, kDown, kUp}) setControlEnabled(c, on);
    if (!on) return true;
    if (!selected(kAdjustMode)) present(kAdjustMode, levels::kFine);
    return refresh(kLevel);
  }
};

}  // namespace

const PanelDescription& backLightDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeBackLightPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<BackLightPanel>(context, view);
}

}  // namespace orva::panels::picture
