#include "panels/eis/eis_panel.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/monitor_sink.hpp"
#include "panels/eis/eis_settings.hpp"
#include "panels/eis/eis_texts.hpp"
#include "panels/formats.hpp"
#include "panels/texts.hpp"

namespace orva::panels::eis {
namespace {

using P = link::Protocol;

// An on/off register holds its state in bit 0; its function says 2 for on and anything else
// for off. The value the panel's controls know for it.
std::uint32_t onOff(P protocol, std::uint32_t value) {
  const bool on = protocol == P::Afp ? value == kOn.afp : (value & 1u) != 0;
  return (on ? kOn : kOff).in(protocol);
}

class EisPanel final : public PanelLogic {
 public:
  EisPanel(PanelContext& context, PanelView& view) : PanelLogic(eis::description(), context, view) {}

 protected:
  bool readOnOpen() override {
    switch (acceptance()) {
      case Model::Unread: return false;
      case Model::Refused:
        context().prompt.message(texts::kNotAvailable, panels::texts::kAttention, core::Icon::Exclamation);
        return false;
      case Model::Accepted: break;
    }
    if (!context().runner.busy()) context().monitor.heading(headingText(texts::kStartHeading));
    if (!presentOnOff(kFrequency, kFrequencySetting) || !presentOnOff(kEis, kSwitchSetting)) return false;
    if (!tunes(context().model, context().camera.protocol())) return true;
    return std::all_of(kTunings.begin(), kTunings.end(), [this](const Tuning& t) { return refresh(t.id); });
  }

  bool handle(const Intent& in) override {
    if (in.kind != Intent::Kind::Click || in.control != kDefault) return false;
    if (offered(kDefault)) loadDefaults();
    return true;
  }

 private:
  enum class Model : std::uint8_t { Accepted, Refused, Unread };

  // The identification registers are read quietly, as the identification itself reads them.
  Model acceptance() {
    const core::EchoModeScope quiet(context().monitor, core::EchoMode::Hidden);
    std::uint32_t family = 0;
    std::uint32_t type = 0;
    if (!context().camera.read(kFamilyRegister, family) || !context().camera.read(kTypeRegister, type))
      return Model::Unread;
    const bool known = std::find(std::begin(kAcceptedTypes), std::end(kAcceptedTypes), type) != std::end(kAcceptedTypes);
    return family == kAcceptedFamily && known ? Model::Accepted : Model::Refused;
  }

  bool presentOnOff(ControlId control, const camera::Setting& setting) {
    std::uint32_t value = 0;
    if (!context().camera.read(setting, value)) return false;
    present(control, onOff(context().camera.protocol(), value));
    return true;
  }

  void loadDefaults() {
    if (context().prompt.ask(texts::kLoadDefaults, panels::texts::kAttention, core::Buttons::OkCancel,
                             core::Icon::Exclamation) != core::Answer::Ok)
      return;
    std::array<std::uint32_t, kTunings.size()> values{};
    {
      const core::EchoModeScope quiet(context().monitor, core::EchoMode::Hidden);
      for (std::size_t i = 0; i < kTunings.size(); ++i) {
        std::uint32_t stored = 0;
        if (!context().camera.read(camera::registerSetting(kTunings[i].defaultAddress, 8), stored)) {
          finish(CloseReason::ReadFailed);
          return;
        }
        values[i] = std::min<std::uint32_t>(stored * kTunings[i].scale, kTunings[i].maximum);
      }
    }
    for (std::size_t i = 0; i < kTunings.size(); ++i) {
      if (!context().camera.write(camera::registerSetting(kTunings[i].address, 16), values[i])) {
        finish(CloseReason::WriteFailed);
        return;
      }
      present(kTunings[i].id, values[i]);
    }
  }
};

}  // namespace

std::unique_ptr<PanelLogic> makePanel(PanelContext& context, PanelView& view) {
  return std::make_unique<EisPanel>(context, view);
}

}  // namespace orva::panels::eis
