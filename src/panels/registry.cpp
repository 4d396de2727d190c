#include "panels/registry.hpp"

#include <algorithm>

#include "panels/camera_type_panel.hpp"
#include "panels/eis/eis_panel.hpp"
#include "panels/exposure/ae_panel.hpp"
#include "panels/exposure/exposure_panels.hpp"
#include "panels/intensity/intensity_panels.hpp"
#include "panels/ircf/ircf_panels.hpp"
#include "panels/lens/lens_panels.hpp"
#include "panels/picture/level_panels.hpp"
#include "panels/picture/picture_panel.hpp"
#include "panels/picture/white_balance_panel.hpp"
#include "panels/preset/eeprom_preset_panel.hpp"
#include "panels/preset/preset_panels.hpp"
#include "panels/preset/store_preset_panels.hpp"
#include "panels/status_block/status_block_panel.hpp"
#include "panels/strobe/strobe_panel.hpp"
#include "panels/strobe/trigger_led_panel.hpp"

namespace orva::panels {
namespace {

// A panel without rules of its own runs its description as it stands.
template <const PanelDescription& (*Describe)()>
std::unique_ptr<PanelLogic> describedOnly(PanelContext& context, PanelView& view, const PanelOptions&) {
  return std::make_unique<PanelLogic>(Describe(), context, view);
}

constexpr PanelRow kRows[] = {
    {.id = PanelId::CameraType,
     .name = "cameratype",
     .description = camera_type::description,
     .make = describedOnly<camera_type::description>},
    {.id = PanelId::Zoom,
     .name = "zoom",
     .description = lens::zoomPanelDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return lens::makeZoomPanel(c, v); }},
    {.id = PanelId::Focus,
     .name = "focus",
     .description = lens::focusPanelDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return lens::makeFocusPanel(c, v); }},
    {.id = PanelId::ZoomFocus,
     .name = "zoomfocus",
     .description = lens::zoomFocusPanelDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions& o) {
       return lens::makeZoomFocusPanel(c, v, {.afFastMode = o.afFastMode});
     }},
    {.id = PanelId::EisSetup,
     .name = "eis",
     .description = eis::description,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return eis::makePanel(c, v); }},
    {.id = PanelId::NightScope,
     .name = "nightscope",
     .description = intensity::nightScopeDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return intensity::makeNightScope(c, v); }},
    {.id = PanelId::EnhancedIntensity,
     .name = "enhancedintensity",
     .description = intensity::enhancedIntensityDescription,
     .make = describedOnly<intensity::enhancedIntensityDescription>},
    {.id = PanelId::BlockRead,
     .name = "blockread",
     .description = status_block::description,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return status_block::makePanel(c, v); }},
    {.id = PanelId::Exposure,
     .name = "exposure",
     .description = exposure::exposureDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return exposure::makeExposurePanel(c, v); }},
    {.id = PanelId::ShutterSpeed,
     .name = "shutter",
     .description = exposure::shutterDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return exposure::makeShutterPanel(c, v); }},
    {.id = PanelId::Agc,
     .name = "agc",
     .description = exposure::agcDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return exposure::makeAgcPanel(c, v); }},
    {.id = PanelId::Ae,
     .name = "ae",
     .description = exposure::aeDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return exposure::makeAePanel(c, v); }},
    {.id = PanelId::WeightingData,
     .name = "weighting",
     .description = exposure::weightingDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return exposure::makeWeightingPanel(c, v); },
     .openedFrom = PanelId::Ae},
    {.id = PanelId::Strobe,
     .name = "strobe",
     .description = strobe::strobeDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return strobe::makeStrobePanel(c, v); }},
    {.id = PanelId::TriggerLed,
     .name = "triggerled",
     .description = strobe::triggerLedDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return strobe::makeTriggerLedPanel(c, v); }},
    {.id = PanelId::WhiteBalance,
     .name = "whitebalance",
     .description = picture::whiteBalanceDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return picture::makeWhiteBalancePanel(c, v); }},
    {.id = PanelId::BackLight,
     .name = "backlight",
     .description = picture::backLightDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return picture::makeBackLightPanel(c, v); }},
    {.id = PanelId::Aperture,
     .name = "aperture",
     .description = picture::apertureDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return picture::makeAperturePanel(c, v); }},
    {.id = PanelId::Picture,
     .name = "picture",
     .description = picture::pictureDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return picture::makePicturePanel(c, v); }},
    {.id = PanelId::IrcfRemove,
     .name = "ircf",
     .description = ircf::ircfDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return ircf::makeIrcfPanel(c, v); }},
    {.id = PanelId::PlFilter,
     .name = "plfilter",
     .description = ircf::plFilterDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return ircf::makePlFilterPanel(c, v); }},
    {.id = PanelId::MemPreset,
     .name = "mempreset",
     .description = preset::memPresetDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return preset::makeMemPresetPanel(c, v); }},
    {.id = PanelId::DirectPreset,
     .name = "directpreset",
     .description = preset::directPresetDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return preset::makeDirectPresetPanel(c, v); }},
    {.id = PanelId::EepromStorePreset,
     .name = "eepromstorepreset",
     .description = preset::storePresetDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return preset::makeStorePresetPanel(c, v); }},
    {.id = PanelId::CamPreset,
     .name = "campreset",
     .description = preset::camPresetDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return preset::makeCamPresetPanel(c, v); }},
    {.id = PanelId::EepromPreset,
     .name = "eeprompreset",
     .description = preset::eeprom::eepromPresetDescription,
     .make = [](PanelContext& c, PanelView& v, const PanelOptions&) { return preset::eeprom::makeEepromPresetPanel(c, v); }},
};

const PanelRow* rowOf(PanelId panel) {
  const auto* row =
      std::find_if(std::begin(kRows), std::end(kRows), [panel](const PanelRow& r) { return r.id == panel; });
  return row == std::end(kRows) ? nullptr : row;
}

}  // namespace

std::span<const PanelRow> panelRows() { return kRows; }

const PanelRow* findPanel(std::string_view name) {
  const auto* row =
      std::find_if(std::begin(kRows), std::end(kRows), [name](const PanelRow& r) { return r.name == name; });
  return row == std::end(kRows) ? nullptr : row;
}

const PanelDescription* panelDescription(PanelId panel) {
  const PanelRow* row = rowOf(panel);
  return row == nullptr ? nullptr : &row->description();
}

std::unique_ptr<PanelLogic> makePanel(PanelId panel, PanelContext& context, PanelView& view,
                                      const PanelOptions& options) {
  const PanelRow* row = rowOf(panel);
  return row == nullptr ? nullptr : row->make(context, view, options);
}

}  // namespace orva::panels
