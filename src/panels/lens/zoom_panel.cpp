#include "panels/lens/lens_panels.hpp"

#include "panels/lens/lens_choices.hpp"
#include "panels/lens/lens_controls.hpp"
#include "panels/lens/lens_operations.hpp"
#include "panels/lens/lens_readout.hpp"
#include "panels/lens/lens_settings.hpp"
#include "panels/lens/lens_texts.hpp"
#include "panels/lens/zoom_part.hpp"

namespace orva::panels::lens {
namespace {

using namespace std::chrono_literals;
namespace C = controls;
namespace T = texts;

// ---- ZOOM CONTROL

class ZoomPanel final : public ZoomPart {
 public:
  ZoomPanel(PanelContext& c, PanelView& v) : ZoomPart(zoomPanelDescription(), c, v) {}

 protected:
  bool handle(const Intent& in) override { return handleZoom(in); }
  bool readOnOpen() override {
    if (!readZoom() || !readContinuousMax() || !readInstantMax()) return false;
    showMagnification();
    return true;
  }
};

}  // namespace

std::unique_ptr<PanelLogic> makeZoomPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<ZoomPanel>(context, view);
}

}  // namespace orva::panels::lens
