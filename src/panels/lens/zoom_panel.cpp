#include "panels/lens/lens_panels.hpp"

#include <memory>

#include "panels/lens/zoom_part.hpp"

namespace orva::panels::lens {
namespace {

// ZOOM CONTROL: the shared zoom part as it stands, reading the continuous maximum and the
// instant magnification on open.
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
