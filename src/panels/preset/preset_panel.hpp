#pragma once
// What MEM-PRESET and DIRECT-PRESET share: the camera held in manual focus while the panel is
// open (and given back its auto focus on close when the panel took it), and a preset run: the
// panel's send, then the camera's status watched every 100 ms until it reports completion or
// an error, with "Cancel" enabled meanwhile.
//
// The watch is a run on the operation slot that sleeps through the context's clock with its
// stop token, so it needs no window timer and ends at once when the panel closes. "Cancel"
// asks the run to abort: the run writes the cancel register between two polls and goes on
// watching until the camera reports how the move ended.
#include <functional>
#include <string>
#include <string_view>

#include "panels/panel_logic.hpp"

namespace orva::panels::preset {

class PresetPanel : public PanelLogic {
 public:
  using PanelLogic::PanelLogic;

 protected:
  using Send = std::function<bool(CameraAccess&)>;

  // Reads the focus mode and switches an auto-focusing camera to manual focus; false when an
  // access failed (the panel closes).
  bool takeManualFocus();
  // Writes `heading`, then runs `send` and the watch on the operation slot; nothing (and no
  // heading) while the slot is taken.
  void startPreset(std::string_view heading, Send send);
  // "Cancel": the heading, and the run asked to cancel.
  void cancel();
  void closing() override;
  void showStatus(std::string_view text);

 private:
  void ended(std::uint32_t status);

  bool tookManualFocus_ = false;
  bool watching_ = false;
};

}  // namespace orva::panels::preset
