#include <array>
#include <string>

#include "panels/ircf/ircf_panels.hpp"
#include "panels/ircf/ircf_settings.hpp"
#include "panels/ircf/ircf_texts.hpp"
#include "panels/texts.hpp"

namespace orva::panels::ircf {
namespace {

namespace t = texts;

constexpr Choice kModes[] = {{t::kPlModes[0], {0, 0}}, {t::kPlModes[1], {1, 1}}, {t::kPlModes[2], {2, 2}}};
// Any other status shows an empty field.
constexpr Choice kStatuses[] = {{t::kPlOut, {1, 1}}, {t::kPlIn, {2, 2}}};

// The filter is a register of the camera's own command set: nothing of it is offered in AFP.
constexpr std::array kControls{
    list(kPlControl, t::kPlControl, Binding{kPlControlRegister}, kModes).readOnRequest().enabledFor(speaksEap).takingSlot(),
    list(kPlStatus, t::kPlStatus, Binding{kPlStatusRegister}, kStatuses).readOnRequest().shownOnly(),
    readButton(kPlGet, panels::texts::kGet, kPlStatus).enabledFor(speaksEap),
    closeButton(kPlClose, panels::texts::kClose),
};

constexpr PanelDescription kPanel{.id = PanelId::PlFilter, .title = t::kPlTitle, .controls = kControls};

// The panel reads on open in EAP only, writes its heading before a change of "Control", and
// closes with result 1 on "CLOSE", after which the launcher does nothing more.
class PlFilterPanel final : public PanelLogic {
 public:
  PlFilterPanel(PanelContext& context, PanelView& view) : PanelLogic(kPanel, context, view) {}

 protected:
  bool readOnOpen() override {
    if (context().camera.protocol() != link::Protocol::Eap) return true;
    return refresh(kPlControl) && refresh(kPlStatus);
  }

  bool handle(const Intent& in) override {
    if (in.kind == Intent::Kind::Click && in.control == kPlClose) {
      finishWith(1);
      return true;
    }
    if (in.kind != Intent::Kind::Choose || in.control != kPlControl) return false;
    const auto index = static_cast<std::size_t>(in.index);
    if (!offered(kPlControl) || in.index < 0 || index >= std::size(kModes) || selected(kPlControl) == in.index)
      return true;
    context().monitor.heading(std::string(t::kPlHeading) + std::string(t::kPlModeHeadings[index]) +
                              std::string(t::kPlHeadingEnd));
    if (context().camera.write(kPlControlRegister, kModes[index].value)) present(kPlControl, kModes[index].value.eap);
    return true;
  }
};

}  // namespace

const PanelDescription& plFilterDescription() { return kPanel; }
std::unique_ptr<PanelLogic> makePlFilterPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<PlFilterPanel>(context, view);
}

}  // namespace orva::panels::ircf
