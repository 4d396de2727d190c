#include "panels/strobe/strobe_panel.hpp"

#include <cstdint>
#include <map>

#include "core/monitor_sink.hpp"
#include "panels/formats.hpp"
#include "panels/strobe/strobe_settings.hpp"
#include "panels/strobe/strobe_texts.hpp"

namespace orva::panels::strobe {
namespace {

class StrobePanel final : public PanelLogic {
 public:
  StrobePanel(PanelContext& context, PanelView& view) : PanelLogic(strobeDescription(), context, view) {}

 protected:
  bool readOnOpen() override {
    if (context().camera.protocol() != link::Protocol::Eap) return true;
    // Each register once, shown in every control that holds a part of it.
    std::map<std::uint16_t, std::uint32_t> held;
    for (const ControlDescription& c : description().controls) {
      if (!c.binding || c.kind == ControlKind::Button) continue;
      const camera::Setting& setting = c.binding->setting;
      auto it = held.find(setting.eapRegister);
      if (it == held.end()) {
        std::uint32_t value = 0;
        if (!context().camera.read(setting, value)) return false;
        it = held.emplace(setting.eapRegister, value).first;
      }
      present(c.id, c.id == kPilotDelay ? it->second & kPilotDelayBits : it->second);
    }
    followSelections();
    return true;
  }

  bool handle(const Intent& in) override {
    if (in.kind == Intent::Kind::Step && in.control == kPilotDelay) {
      if (offered(kPilotDelay)) stepPilotDelay(in.index);
      return true;
    }
    const bool trigger = in.control >= kFirstSoftwareTrigger && in.control < kFirstSoftwareTrigger + kSoftwareTriggers;
    if (in.kind == Intent::Kind::Click && trigger) {
      if (offered(in.control)) softwareTrigger(static_cast<std::uint32_t>(in.control - kFirstSoftwareTrigger));
      return true;
    }
    return false;
  }

  void afterWrite(ControlId control) override {
    if (control == kMode || control == kAutoControlSelector) followSelections();
  }

 private:
  // The manual sets are for their manual mode, the peak exposure for NotFix.
  void followSelections() {
    const auto mode = selected(kMode);
    const bool notFix = selected(kAutoControlSelector) == kNotFix;
    for (std::size_t i = 0; i < kManualEntries; ++i) {
      setControlEnabled(static_cast<ControlId>(kFirstManualNight + i), mode == kManualNightMode);
      setControlEnabled(static_cast<ControlId>(kFirstManualTwilight + i), mode == kManualTwilightMode);
    }
    setControlEnabled(kPeakNight, notFix);
    setControlEnabled(kPeakTwilight, notFix);
  }

  // Round the eight values; the register's other bits are the camera's, read afresh. A failed
  // read writes nothing, and a failed write leaves the value shown.
  void stepPilotDelay(int steps) {
    constexpr int kValues = static_cast<int>(kPilotDelayBits) + 1;
    const auto shown = number(kPilotDelay);
    const int now = static_cast<int>(shown.value_or(0));
    const int next = ((now + steps % kValues) % kValues + kValues) % kValues;
    if (shown && next == now) return;
    std::uint32_t held = 0;
    if (!context().camera.read(kPilotDelayRegister, held)) return;
    const auto value = static_cast<std::uint32_t>(next);
    if (!context().camera.write(kPilotDelayRegister, (held & ~kPilotDelayBits) | value)) return;
    present(kPilotDelay, value);
  }

  // "A" is 1, "B" 2, "AB" 3, ... "ABC" 7: the heading first, whatever the write then does.
  void softwareTrigger(std::uint32_t index) {
    context().monitor.heading(headingText(texts::kTriggerHeadings[index]));
    context().camera.write(kSoftwareTriggerRegister, index + 1);
  }
};

}  // namespace

std::unique_ptr<PanelLogic> makeStrobePanel(PanelContext& context, PanelView& view) {
  return std::make_unique<StrobePanel>(context, view);
}

}  // namespace orva::panels::strobe
