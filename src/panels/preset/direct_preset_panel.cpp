// DIRECT-PRESET: the zoom sent to a magnification of the lens's direct table, the focus to
// one of thirteen fixed distances (index x 0x1000).
#include <string>

#include "panels/preset/preset_panel.hpp"
#include "panels/preset/preset_panels.hpp"
#include "panels/preset/preset_settings.hpp"

namespace orva::panels::preset {
namespace {

class DirectPresetPanel final : public PresetPanel {
 public:
  DirectPresetPanel(PanelContext& context, PanelView& view)
      : PresetPanel(directPresetDescription(), context, view),
        names_(zoomNames(context.model)),
        positions_(zoomPositions(context.model)),
        focusCount_(focusCount(context.model)) {}

 protected:
  bool readOnOpen() override {
    if (!takeManualFocus()) return false;
    limitItems(kZoom, description().controls[0].choices.size(), static_cast<int>(names_.size()));
    limitItems(kFocus, texts::kFocusNames.size(), focusCount_);
    present(kZoom, 0);
    present(kFocus, 0);
    setControlEnabled(kCancel, false);
    return true;
  }

  bool handle(const Intent& in) override {
    switch (in.kind) {
      case Intent::Kind::Choose:
        // Entries past the model's list are not there to choose.
        if (in.control == kZoom) return in.index >= static_cast<int>(names_.size());
        if (in.control == kFocus) return in.index >= focusCount_;
        return false;
      case Intent::Kind::Click:
        if (in.control == kSetZoom) setZoom();
        else if (in.control == kSetFocus) setFocus();
        else if (in.control == kCancel && offered(kCancel)) cancel();
        else return false;
        return true;
      default:
        return false;
    }
  }

 private:
  void limitItems(ControlId list, std::size_t items, int shown) {
    for (std::size_t i = 0; i < items; ++i) view().setItemEnabled(list, i, static_cast<int>(i) < shown);
  }

  void setZoom() {
    const int i = selected(kZoom).value_or(-1);
    if (!offered(kSetZoom) || i < 0 || i >= static_cast<int>(names_.size())) return;
    const std::uint32_t position = positions_[static_cast<std::size_t>(i)];
    startPreset("<< Preset " + names_[static_cast<std::size_t>(i)] + "  >>",
                [position](CameraAccess& camera) { return camera.write(kDirectZoom, position); });
  }

  void setFocus() {
    const int i = selected(kFocus).value_or(-1);
    if (!offered(kSetFocus) || i < 0 || i >= focusCount_) return;
    const std::uint32_t position = static_cast<std::uint32_t>(i) * kFocusStep;
    startPreset("<< " + std::string(texts::kFocusNames[static_cast<std::size_t>(i)]) + "  >>",
                [position](CameraAccess& camera) { return camera.write(kDirectFocus, position); });
  }

  std::vector<std::string> names_;
  std::vector<std::uint16_t> positions_;
  int focusCount_;
};

}  // namespace

std::unique_ptr<PanelLogic> makeDirectPresetPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<DirectPresetPanel>(context, view);
}

}  // namespace orva::panels::preset
