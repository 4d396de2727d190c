#include <memory>

#include "panels/intensity/intensity_panels.hpp"
#include "panels/intensity/intensity_settings.hpp"

namespace orva::panels::intensity {
namespace {

class NightScopePanel final : public PanelLogic {
 public:
  NightScopePanel(PanelContext& context, PanelView& view) : PanelLogic(nightScopeDescription(), context, view) {}

 protected:
  // EAP: the three lists and the fourth register, in this order; the first failed read closes
  // the panel. AFP: nothing to read.
  bool readOnOpen() override {
    if (context().camera.protocol() != link::Protocol::Eap) return true;
    std::uint32_t unused = 0;
    return refresh(kSwitch) && refresh(kDark) && refresh(kBright) && context().camera.read(kHiddenRegister, unused);
  }
};

}  // namespace

std::unique_ptr<PanelLogic> makeNightScope(PanelContext& context, PanelView& view) {
  return std::make_unique<NightScopePanel>(context, view);
}

}  // namespace orva::panels::intensity
