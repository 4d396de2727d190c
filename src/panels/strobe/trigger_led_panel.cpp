#include "panels/strobe/trigger_led_panel.hpp"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <string>

#include "core/monitor_sink.hpp"
#include "panels/formats.hpp"
#include "panels/strobe/trigger_led_settings.hpp"
#include "panels/strobe/trigger_led_texts.hpp"

namespace orva::panels::strobe {
namespace led {
namespace {

const Field* findField(ControlId id) {
  const auto it = std::find_if(kFields.begin(), kFields.end(), [id](const Field& f) { return f.id == id; });
  return it != kFields.end() ? &*it : nullptr;
}

// A field in part of its byte.
const Field* maskedField(ControlId id) {
  const Field* f = findField(id);
  return f != nullptr && f->mask != 0 ? f : nullptr;
}

std::uint32_t bitsOf(const Field& f, std::uint32_t byte) {
  return (byte & f.mask) >> std::countr_zero(static_cast<unsigned>(f.mask));
}

class TriggerLedPanel final : public PanelLogic {
 public:
  TriggerLedPanel(PanelContext& context, PanelView& view)
      : PanelLogic(triggerLedDescription(), context, view),
        mirror_(context.host != nullptr && context.host->configValue(kLedControlKey) == kLedControlMirror) {}

 protected:
  camera::Setting settingFor(const ControlDescription& d) const override { return target(d.binding->setting); }

  bool readOnOpen() override {
    setControlShown(kNoEeprom, mirror_);
    view().setValue(kNoEeprom, mirror_ ? 1 : 0);
    {
      // The standard only chooses the time texts: read quietly, as the exposure panels do.
      const core::EchoModeScope quiet(context().monitor, core::EchoMode::Hidden);
      std::uint32_t standard = 0;
      if (!context().camera.read(kVideoStandardRegister, standard)) return false;
      fieldMs_ = (standard & kSixtyHertzBit) != 0 ? kFieldMs60 : kFieldMs50;
    }
    return readFields();
  }

  bool handle(const Intent& in) override {
    if (in.kind == Intent::Kind::Step) {
      const Field* f = maskedField(in.control);
      if (f == nullptr) return false;
      if (offered(f->id)) stepBits(*f, in.index);
      return true;
    }
    if (in.kind == Intent::Kind::Toggle && in.control == kNoEeprom) {
      if (offered(kNoEeprom)) switchTarget();
      return true;
    }
    if (in.kind == Intent::Kind::Click && in.control == kDefault) {
      if (offered(kDefault)) writeDefaults();
      return true;
    }
    return false;
  }

  void afterWrite(ControlId id) override {
    if (id == kZoomSwitch) showZoomState();
    else if (const Field* f = findField(id)) showTime(*f);
  }

 private:
  camera::Setting target(camera::Setting eeprom) const {
    if (mirror_) eeprom.eapRegister = static_cast<std::uint16_t>(eeprom.eapRegister + kMirrorOffset);
    return eeprom;
  }

  // Every bound control from the target, in the panel's order (the pattern, the fields, the
  // zoom switch), and the texts that follow them. False at the first failed read.
  bool readFields() {
    for (const ControlDescription& d : description().controls) {
      if (!d.binding) continue;
      if (const Field* f = maskedField(d.id)) {
        std::uint32_t byte = 0;
        if (!context().camera.read(settingFor(d), byte)) return false;
        present(f->id, bitsOf(*f, byte));
      } else if (!refresh(d.id)) {
        return false;
      }
    }
    for (const Field& f : kFields) showTime(f);
    showZoomState();
    return true;
  }

  // A field in part of a byte: the byte is read afresh from the target and written back with
  // only the field's bits changed. A failed read writes nothing; a failed write keeps the old
  // value shown.
  void stepBits(const Field& f, int steps) {
    const auto shown = number(f.id);
    if (!shown || steps == 0) return;
    const auto now = static_cast<std::int64_t>(*shown);
    const std::int64_t next = std::clamp(now + steps, f.minimum, f.maximum);
    if (next == now) return;
    const camera::Setting at = target(camera::registerSetting(f.address, f.width));
    std::uint32_t byte = 0;
    if (!context().camera.read(at, byte)) return;
    const auto shift = std::countr_zero(static_cast<unsigned>(f.mask));
    const auto bits = static_cast<std::uint32_t>(next) << shift;
    if (!context().camera.write(at, (byte & ~std::uint32_t{f.mask}) | (bits & f.mask))) return;
    present(f.id, static_cast<std::uint32_t>(next));
  }

  void switchTarget() {
    mirror_ = !mirror_;
    view().setValue(kNoEeprom, mirror_ ? 1 : 0);
    if (!readFields()) finish(CloseReason::ReadFailed);
  }

  // The defaults go to the EEPROM whatever the target; the fields are read again either way,
  // so the panel shows what the camera holds after the first failed write too.
  void writeDefaults() {
    context().monitor.line(texts::kWriteDefaults);
    const bool written = std::all_of(kDefaults.begin(), kDefaults.end(), [this](const Default& d) {
      return context().camera.write(camera::registerSetting(d.address, d.width), d.value);
    });
    if (written) context().monitor.heading(headingText(texts::kHeading));
    if (!readFields()) finish(CloseReason::ReadFailed);
  }

  void showTime(const Field& f) {
    const auto value = number(f.id);
    if (f.timing == Timing::None || !value) return;
    const double ms = *value * fieldMs_ * (f.timing == Timing::DoubleFields ? 2.0 : 1.0);
    // The widest, 0xFFFF fields at 50 Hz, is "Time=1310700.0 [ms]": room for every digit.
    char text[48];
    std::snprintf(text, sizeof text, "Time=%-6.1f [ms]", ms);
    view().setText(f.time, text);
  }

  void showZoomState() {
    if (const auto on = selected(kZoomSwitch)) view().setCaption(kZoomState, *on == 1 ? texts::kZoomOn : texts::kZoomOff);
  }

  bool mirror_;
  double fieldMs_ = kFieldMs50;
};

}  // namespace
}  // namespace led

std::unique_ptr<PanelLogic> makeTriggerLedPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<led::TriggerLedPanel>(context, view);
}

}  // namespace orva::panels::strobe
