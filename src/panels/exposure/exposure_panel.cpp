#include <array>
#include <cstddef>
#include <cstdint>

#include "panels/exposure/exposure_panels.hpp"
#include "panels/exposure/exposure_settings.hpp"
#include "panels/exposure/exposure_texts.hpp"
#include "panels/texts.hpp"

namespace orva::panels::exposure {
namespace {

using namespace iris;
using namespace control;
namespace T = control::texts;

constexpr Choice kModes[] = {{T::kAuto, {0, 0}}, {T::kManual, {kManualIrisBit, kManualIrisBit}}};

constexpr auto kFNumberChoices = [] {
  std::array<Choice, kFNumbers.size()> out{};
  for (std::size_t i = 0; i < kFNumbers.size(); ++i) out[i].caption = kFNumbers[i].caption;
  return out;
}();

// The F-number buttons are the panel's own: they drive the iris to their positions rather than
// show a setting.
constexpr ControlDescription fNumberButtons() {
  ControlDescription c = label(kFNumber, "");
  c.kind = ControlKind::Radio;
  c.choices = kFNumberChoices;
  return c.named(T::kFNumber).takingSlot().inColumn(1);
}

constexpr ControlDescription offset(ControlId id, std::string_view caption, const camera::Setting& setting) {
  return entry(id, caption, Binding{setting}, Format::Hex2, 0x00, 0xFF).readOnRequest().inGroup(T::kOffsetGroup);
}

constexpr std::array kControls{
    radio(kMode, "", Binding{kExposureBits, kManualIrisBit}, kModes),
    fNumberButtons(),
    offset(kAverage, T::kAverage, kAverageOffset),
    offset(kPeak, T::kPeak, kPeakOffset),
    closeButton(kClose, panels::texts::kClose).inColumn(1),
};

constexpr PanelDescription kPanel{.id = PanelId::Exposure,
                                  .title = T::kExposureTitle,
                                  .heading = T::kExposureTitle,
                                  .controls = kControls};

class ExposurePanel final : public PanelLogic {
 public:
  ExposurePanel(PanelContext& context, PanelView& view) : PanelLogic(kPanel, context, view) {}

 protected:
  bool readOnOpen() override {
    const bool manual = manualIris();
    enableFor(manual);
    return manual || readOffsets();
  }

  void afterWrite(ControlId control) override {
    if (control != kMode) return;
    const bool manual = manualIris();
    enableFor(manual);
    if (manual) showFNumber(-1);
    // Both ways: the entries AUTO enables must not show what they held before MANUAL. A failed
    // read leaves them as they were; the link has said why.
    readOffsets();
  }

  bool handle(const Intent& in) override {
    if (in.control != kFNumber) return false;
    // A button, not a setting: the one shown drives the iris again.
    if (in.kind == Intent::Kind::Choose && offered(kFNumber) && in.index >= 0 &&
        static_cast<std::size_t>(in.index) < kFNumbers.size())
      drive(in.index);
    return true;
  }

  camera::Setting settingFor(const ControlDescription& d) const override {
    if (d.id == kAverage && averageMoved_) return kAverageOffsetMoved;
    return PanelLogic::settingFor(d);
  }

 private:
  bool manualIris() const { return selected(kMode) == 1; }

  void enableFor(bool manual) {
    setControlEnabled(kAverage, !manual);
    setControlEnabled(kPeak, !manual);
    setControlEnabled(kFNumber, manual);
  }

  // Where the average is kept is the camera's state: asked again each time the offsets are.
  bool readOffsets() {
    if (context().model.modelCode >= kAverageMovedFrom) {
      std::uint32_t selector = 0;
      if (!context().camera.read(kAverageSelector, selector)) return false;
      averageMoved_ = selector != 1;
    }
    return refresh(kAverage) && refresh(kPeak);
  }

  // The camera drives towards the new position in the direction it is told first; a failed
  // read or write stops here, and the buttons show what they showed.
  void drive(int button) {
    const std::uint32_t target = kFNumbers[static_cast<std::size_t>(button)].position;
    CameraAccess& camera = context().camera;
    std::uint32_t position = 0;
    std::uint32_t direction = 0;
    if (!camera.read(kIrisPosition, position) || !camera.read(kIrisDirection, direction)) return;
    direction = position <= target ? (direction | kUpwardBit) : (direction & ~kUpwardBit);
    if (!camera.write(kIrisDirection, direction) || !camera.write(kIrisPosition, target)) return;
    showFNumber(button);
  }

  // The button last driven to since MANUAL; none on open.
  void showFNumber(int button) { view().setValue(kFNumber, button); }

  bool averageMoved_ = false;
};

}  // namespace

const PanelDescription& exposureDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makeExposurePanel(PanelContext& context, PanelView& view) {
  return std::make_unique<ExposurePanel>(context, view);
}

}  // namespace orva::panels::exposure
