#include "panels/launcher.hpp"

#include <algorithm>

#include "panels/texts.hpp"

namespace orva::panels {
namespace {

using L = camera::LauncherItem;
using P = PanelId;

constexpr std::array<std::string_view, kPanelCount> kResourceNames{
    "ZOOMFOCUSDLG", "ZOOMDLG", "FOCUSDLG", "MEMPRESETDLG", "DIRECTPRESETDLG", "CAMPSTDLG", "EPRESETDLG",
    "EEPPSTDLG", "EXPOSUREDLG", "PAEDLG", "SHUTTERDLG", "FIXDATA_DLG", "SPOTDLG", "IDD_INICOM", "AGCDLG",
    "AGCDLG2", "WBDLG", "BLCDLG", "APERTUREDLG", "STROBE", "IDD_LED_DLG", "IRREMOVEDLG", "PLFILTER", "DEMODLG",
    "IDD_MOTDET", "IDD_PMASK_SEL", "PMASK1_DLG", "PMASK2_DLG", "PMASK3_DLG", "IDD_FIXMASK", "IDD_TITLE_DLG",
    "WDR_INV", "NIGHTSCOPE", "ENHANCEDINTENSITY", "269", "311", "BICYCLING", "CAMERATYPEDLG", "IDD_EIS_SET_DLG",
    "AREA_6_SET"};
static_assert(!kResourceNames.back().empty(), "every panel named");

// How a button chooses its panel beyond the table's one.
enum class Rule : std::uint8_t {
  Fixed,              // always the table's panel
  Exposure,           // "EEPROM PRESET" opens an EEPROM preset panel
  ShutterSpeed,       // by caption
  Agc,                // the picture panel on the newer models
  Aperture,           // "PICTURE" opens the picture panel
  Ircf,               // PL filter, trigger LED or the IR cut filter
  PrivacyMask,        // the selection first, else the mask type's panel
  StatusMessage,      // "TITLE" opens the title panel
  EnhancedIntensity,  // one or both of its two panels, by the feature word
  AfpOnly,            // nothing in EAP
};

struct RouteRule {
  L item;
  P panel;
  Rule rule;
};

constexpr RouteRule kRules[] = {
    {L::ZoomFocus, P::ZoomFocus, Rule::Fixed},
    {L::Zoom, P::Zoom, Rule::Fixed},
    {L::Focus, P::Focus, Rule::Fixed},
    {L::MemPreset, P::MemPreset, Rule::Fixed},
    {L::DirectPreset, P::DirectPreset, Rule::Fixed},
    {L::CamPreset, P::CamPreset, Rule::Fixed},
    {L::Exposure, P::Exposure, Rule::Exposure},
    {L::Ae, P::Ae, Rule::Fixed},
    {L::ShutterSpeed, P::ShutterSpeed, Rule::ShutterSpeed},
    {L::Agc, P::Agc, Rule::Agc},
    {L::WhiteBalance, P::WhiteBalance, Rule::Fixed},
    {L::BackLightComp, P::BackLight, Rule::Fixed},
    {L::ApertureLevel, P::Aperture, Rule::Aperture},
    {L::Strobe, P::Strobe, Rule::Fixed},
    {L::IrcfRemove, P::IrcfRemove, Rule::Ircf},
    {L::Demonstration, P::Demonstration, Rule::Fixed},
    {L::MotionDetect, P::MotionDetect, Rule::Fixed},
    {L::PrivacyMask, P::PrivacyMask1, Rule::PrivacyMask},
    {L::StatusMessage, P::StatusMessage, Rule::StatusMessage},
    {L::WdrReverse, P::WdrReverse, Rule::Fixed},
    {L::EnhancedIntensity, P::NightScope, Rule::EnhancedIntensity},
    {L::MotionTracking, P::MotionTracking, Rule::Fixed},
    {L::BlockRead, P::BlockRead, Rule::AfpOnly},
    {L::BiCycling, P::BiCycling, Rule::Fixed},
    {L::Ver, P::CameraType, Rule::Fixed},
};

bool bit(unsigned word, unsigned n) { return ((word >> n) & 1u) != 0; }

Route one(P panel, bool asks = true) {
  Route r;
  r.kind = RouteKind::Panels;
  r.panels[0] = panel;
  r.count = 1;
  r.asksRunner = asks;
  return r;
}

// The gating captions the button for the panel it stands for.
Route shutterSpeed(std::string_view caption) {
  if (caption == texts::kSpotCancelCaption) return one(P::SpotCancel);
  if (caption == texts::kStatusMessageCaption) return one(P::StatusMessage);
  if (caption == texts::kFixedDataCaption) return one(P::FixedData);
  return one(P::ShutterSpeed);
}

Route ircf(const camera::ModelRecord& m, const camera::GatingSwitches& sw) {
  if (bit(m.extraOptionWord, 0)) return one(P::PlFilter);
  if (sw.ledControl == 1 || sw.ledControl == 2) return one(P::TriggerLed);
  // The IR cut filter panel asks for identification itself, once it has opened.
  return one(P::IrcfRemove);
}

Route privacyMask(const camera::ModelRecord& m) {
  if (bit(m.optionWord, 1)) return one(P::PrivacyMaskSelect, false);
  if (m.maskType == 1) return one(P::PrivacyMask1);
  if (m.maskType == 2 || m.maskType == 3) return one(bit(m.panelWord4, 10) ? P::PrivacyMask3 : P::PrivacyMask2);
  return {};
}

Route enhancedIntensity(const camera::ModelRecord& m) {
  Route r;
  if (bit(m.featureWord, 11)) r.panels[r.count++] = P::NightScope;
  if (bit(m.featureWord, 15)) r.panels[r.count++] = P::EnhancedIntensity;
  if (r.count > 0) r.kind = RouteKind::Panels;
  return r;
}

}  // namespace

std::string_view resourceName(PanelId panel) { return kResourceNames[static_cast<std::size_t>(panel)]; }

Route route(camera::LauncherItem item, const camera::LauncherState& launcher, const camera::ModelRecord& model,
            const camera::GatingSwitches& switches) {
  if (item == L::FullAuto) {
    Route r;
    r.kind = RouteKind::Command;
    r.asksRunner = false;
    return r;
  }
  if (item == L::ZoomArrivalMessage || (item >= L::MemoryKey1 && item <= L::PresetButton8)) {
    Route r;
    // The session asks the operation slot itself: a key pressed while a run is on is ignored.
    r.kind = RouteKind::Presets;
    r.asksRunner = false;
    return r;
  }
  const auto* rule =
      std::find_if(std::begin(kRules), std::end(kRules), [item](const RouteRule& r) { return r.item == item; });
  if (rule == std::end(kRules)) return {};
  const std::string_view caption = launcher.caption(item);
  switch (rule->rule) {
    case Rule::Fixed: return one(rule->panel);
    case Rule::Exposure:
      // The 64-record store on the models whose function word names it, else the 14-record one.
      if (caption == texts::kEepromPresetCaption)
        return one(bit(model.functionWord, 15) ? P::EepromStorePreset : P::EepromPreset);
      return one(P::Exposure);
    case Rule::ShutterSpeed: return shutterSpeed(caption);
    case Rule::Agc:  // the newer models: the family the gating counts as 0xF0
      return one((model.modelCode & 0xF0u) == 0xF0u ? P::Picture : P::Agc);
    case Rule::Aperture: return one(caption == texts::kPictureCaption ? P::Picture : P::Aperture);
    case Rule::Ircf: return ircf(model, switches);
    case Rule::PrivacyMask: return privacyMask(model);
    case Rule::StatusMessage: return one(caption == texts::kTitleCaption ? P::Title : P::StatusMessage);
    case Rule::EnhancedIntensity: return enhancedIntensity(model);
    case Rule::AfpOnly: return switches.protocol == link::Protocol::Afp ? one(rule->panel) : Route{};
  }
  return {};
}

std::optional<Route> launch(camera::LauncherItem item, const camera::LauncherState& launcher,
                            const camera::ModelRecord& model, const camera::GatingSwitches& switches,
                            const OperationRunner& runner) {
  const auto& button = launcher[item];
  if (!button.enabled || !button.shown) return std::nullopt;
  Route r = route(item, launcher, model, switches);
  if (r.kind == RouteKind::None) return std::nullopt;
  if (r.asksRunner && runner.busy()) return std::nullopt;
  return r;
}

std::optional<PanelId> menuPanel(camera::MenuItem item) {
  if (item == camera::MenuItem::EisSetup) return P::EisSetup;
  return std::nullopt;
}

}  // namespace orva::panels
