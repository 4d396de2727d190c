// Luminance Weighting Data (AREA_6_SET), opened from AE Control.
#include <array>
#include <vector>

#include "panels/exposure/ae_panel.hpp"
#include "panels/exposure/ae_settings.hpp"
#include "panels/exposure/ae_texts.hpp"
#include "panels/formats.hpp"
#include "panels/texts.hpp"

namespace orva::panels::exposure {
namespace {

namespace t = texts;

constexpr ControlDescription area(int index) {
  ControlDescription c = label(static_cast<ControlId>(kFirstArea + index), t::kAreas[static_cast<std::size_t>(index)]);
  c.kind = ControlKind::Readout;
  c.format = Format::Hex6;
  return c;
}

constexpr std::array kControls{
    entry(kWeightingData, t::kWeightingData, Binding{kWeightingSetSetting}, Format::Hex4, 0, 0xFFFF)
        .readOnRequest()
        .withHeading(t::kWeightingSetHeading, HeadingItem::None, HeadingWhen::BeforeWrite),
    area(0),
    area(1),
    area(2),
    area(3),
    area(4),
    area(5),
    button(kReadAreas, t::kRead).takingSlot(),
    closeButton(kWeightingClose, panels::texts::kClose),
};

constexpr PanelDescription kPanel{.id = PanelId::WeightingData, .title = t::kWeightingTitle, .controls = kControls};

class WeightingPanel final : public PanelLogic {
 public:
  WeightingPanel(PanelContext& context, PanelView& view) : PanelLogic(kPanel, context, view) {}

 protected:
  // The entry shows the value last set, from its register: the function only sets it.
  bool readOnOpen() override {
    std::uint32_t value = 0;
    if (!context().camera.read(kWeightingDataRegister, value)) return false;
    present(kWeightingData, value);
    return readAreas(true);
  }

  bool handle(const Intent& in) override {
    if (in.kind != Intent::Kind::Click || in.control != kReadAreas) return false;
    if (offered(kReadAreas)) readAreas(true);
    return true;
  }

  void afterWrite(ControlId control) override {
    if (control == kWeightingData) readAreas(false);
  }

 private:
  // Shows the areas one by one; stops at the first that cannot be read.
  bool readAreas(bool heading) {
    if (heading) context().monitor.heading(headingText(t::kWeightingReadHeading));
    for (int i = 0; i < kAreaCount; ++i) {
      std::uint32_t value = 0;
      if (!readArea(i, value)) return false;
      present(static_cast<ControlId>(kFirstArea + i), value);
    }
    return true;
  }

  bool readArea(int index, std::uint32_t& value) {
    CameraAccess& camera = context().camera;
    std::array<std::uint32_t, 3> bytes{};
    if (camera.protocol() == link::Protocol::Afp) {
      const std::uint32_t number = static_cast<std::uint32_t>(index) + 1;
      std::vector<std::uint32_t> fields;
      // The reply: the area's number, then its three bytes.
      if (!camera.codes().read(kAreaFunction, fields, std::span(&number, 1)) || fields.size() != 4) return false;
      std::copy(fields.begin() + 1, fields.end(), bytes.begin());
    } else {
      std::array<std::uint8_t, 3> raw{};
      const auto address = static_cast<std::uint16_t>(kFirstAreaRegister + 3 * index);
      if (!camera.readSequence(address, raw)) return false;
      std::copy(raw.begin(), raw.end(), bytes.begin());
    }
    value = bytes[0] << 16 | bytes[1] << 8 | bytes[2];
    return true;
  }
};

}  // namespace

const PanelDescription& weightingDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeWeightingPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<WeightingPanel>(context, view);
}

}  // namespace orva::panels::exposure
