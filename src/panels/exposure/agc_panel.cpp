#include <array>

#include "panels/exposure/exposure_panels.hpp"
#include "panels/exposure/exposure_settings.hpp"
#include "panels/exposure/exposure_texts.hpp"
#include "panels/texts.hpp"

namespace orva::panels::exposure {
namespace {

using namespace agc;
using namespace control;
namespace T = control::texts;

// ON is the automatic gain: its bit clear.
constexpr Choice kModes[] = {{T::kOn, {0, 0}}, {T::kOff, {kFixedGainBit, kFixedGainBit}}};

// Whole dB from 0 up to the top, kept by the camera in 1/32 dB.
constexpr ControlDescription gain(ControlId id, std::string_view caption, const camera::Setting& setting,
                                  std::int64_t top, std::string_view group) {
  return entry(id, caption, Binding{setting}, Format::Decimal, 0, top)
      .scaledBy(kGainScale)
      .readOnRequest()
      .inGroup(group);
}

constexpr std::array kControls{
    radio(kMode, "", Binding{kExposureBits, kFixedGainBit}, kModes).named(T::kAgc),
    gain(kMaximumGain, T::kMaximumGain, kMaximumGainSetting, kMaximumGainTop, T::kMaximumGroup),
    label(kMaximumUnit, T::kDecibel).inGroup(T::kMaximumGroup),
    gain(kFixedLevel, T::kFixedLevel, kFixedLevelSetting, kFixedLevelTop, T::kFixedGroup),
    label(kFixedUnit, T::kDecibel).inGroup(T::kFixedGroup),
    entry(kChroma, T::kSuppression, Binding{kChromaSuppression}, Format::Hex4, 0, 0xFFFF)
        .readOnRequest()
        .inGroup(T::kChromaGroup),
    label(kChromaUnit, T::kHex).inGroup(T::kChromaGroup),
    closeButton(kClose, panels::texts::kClose),
};

constexpr PanelDescription kPanel{
    .id = PanelId::Agc, .title = T::kAgcTitle, .heading = T::kAgcTitle, .controls = kControls};

class AgcPanel final : public PanelLogic {
 public:
  AgcPanel(PanelContext& context, PanelView& view) : PanelLogic(kPanel, context, view) {}

 protected:
  bool readOnOpen() override {
    const bool on = automaticGain();
    enableFor(on);
    return refresh(on ? kMaximumGain : kFixedLevel) && refresh(kChroma);
  }

  // What the choice enabled is read again; a failed read leaves it as it was.
  void afterWrite(ControlId control) override {
    if (control != kMode) return;
    const bool on = automaticGain();
    enableFor(on);
    if (on) {
      if (refresh(kMaximumGain)) refresh(kChroma);
    } else {
      refresh(kFixedLevel);
    }
  }

 private:
  bool automaticGain() const { return selected(kMode) == 0; }

  // The chroma suppression works on the automatic gain only, from the open on as after a choice.
  void enableFor(bool on) {
    setControlEnabled(kMaximumGain, on);
    setControlEnabled(kFixedLevel, !on);
    setControlEnabled(kChroma, on);
  }
};

}  // namespace

const PanelDescription& agcDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeAgcPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<AgcPanel>(context, view);
}

}  // namespace orva::panels::exposure
