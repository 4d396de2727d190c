#include "panels/lens/lens_panels.hpp"

#include <memory>

#include "panels/lens/lens_controls.hpp"
#include "panels/lens/lens_operations.hpp"

namespace orva::panels::lens {
namespace {

namespace C = controls;

// FOCUS: the focus mode, and the near and far arrows only in manual.
class FocusPanel final : public PanelLogic {
 public:
  FocusPanel(PanelContext& c, PanelView& v) : PanelLogic(focusPanelDescription(), c, v) {}

 protected:
  bool readOnOpen() override {
    arrowsFor(selected(C::kFocusMode).value_or(0));
    return true;
  }

  bool handle(const Intent& in) override {
    if (in.kind != Intent::Kind::Choose || in.control != C::kFocusMode) return false;
    if (!offered(C::kFocusMode) || in.index < 0 || in.index > 1 || selected(C::kFocusMode) == in.index) return true;
    auto& ctx = context();
    // A held arrow stops before the focus leaves manual.
    if (in.index != 1) arrowsFor(0);
    switchFocusMode(ctx.camera, ctx.clock, ctx.model, in.index == 1 ? FocusMode::Manual : FocusMode::Auto);
    // What the camera now holds, whatever the switch achieved.
    refresh(C::kFocusMode);
    arrowsFor(selected(C::kFocusMode).value_or(0));
    return true;
  }

 private:
  void arrowsFor(int mode) {
    setControlEnabled(C::kFocusNear, mode == 1);
    setControlEnabled(C::kFocusFar, mode == 1);
  }
};

}  // namespace

std::unique_ptr<PanelLogic> makeFocusPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<FocusPanel>(context, view);
}

}  // namespace orva::panels::lens
