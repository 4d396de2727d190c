#pragma once
// All a panel may ask of the rest of the program. The shell implements it for the desktop
// tool and the command line; tests use FakePanelHost. A panel never reaches the session
// directly: what it changes outside its own window goes through here, so the session knows
// of it (a flag a panel sets is cleared by a disconnect too).
//
// Window thread only: a run on the operation thread posts to the panel first.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "panels/panel_id.hpp"
#include "panels/panel_view.hpp"
#include "panels/tool_presets.hpp"

namespace orva::panels {

// Flags of the session that panels set and the rest of the program obeys.
enum class SessionFlag : std::uint8_t {
  // Motion detection is on: EEPROM backup, write-back and command files refuse, and the
  // camera mode entries of the menu are disabled. Cleared at disconnect.
  MotionDetection,
};

// Menu items a panel greys while it is open; restoring one applies the model's gating again.
enum class HostMenuItem : std::uint8_t {
  SerialPort,          // "Serial Port..."
  CameraSetupUtility,  // "Camera Setup Utility"
  CcdDriveMode,        // the MODEL menu's "CCD DRIVE MODE"
};

// How a sub-panel ended, as its opener sees it.
struct PanelResult {
  CloseReason reason = CloseReason::Closed;
  // The result the sub-panel closed with (0 by default; a selection dialog's choice).
  int result = 0;
  bool opened = true;  // false: this build or camera does not offer the panel
};

class PanelHost {
 public:
  virtual ~PanelHost() = default;

  virtual void setFlag(SessionFlag flag, bool on) = 0;
  virtual bool flag(SessionFlag flag) const = 0;
  // Greys (false) or restores (true, as far as the model's gating allows) a menu item.
  virtual void setMenuItemEnabled(HostMenuItem item, bool enabled) = 0;
  // The launcher's fields read again from the camera (the AE MODE field after a panel
  // changed the mode).
  virtual void refreshLauncherFields() = 0;
  // The camera condition window's "CONDITION" button.
  virtual void setConditionEnabled(bool enabled) = 0;
  // false: the launcher's model-dependent buttons and menu items are disabled; true: the
  // base set and the model's gating are applied again.
  virtual void setLauncherEnabled(bool enabled) = 0;
  // Identify the camera again once the open panel has closed (its settings changed what
  // identification finds).
  virtual void identifyAfterClose() = 0;
  // A value of the configuration (ORVA.ini) by its key as the file writes it ("LED Control =",
  // "AF Fast mode="): the file's, or the program's default for a key the file lacks; none for
  // a key the program does not know or a value that is no number.
  virtual std::optional<int> configValue(std::string_view key) const = 0;
  // Opens a sub-panel over the open one and returns once it has closed (modal).
  virtual PanelResult openPanel(PanelId panel) = 0;
  // A panel switched the lens the camera emulates: the model record takes the new lens index.
  virtual void lensChanged(int lensIndex) = 0;
  // The presets the tool keeps for the panels, for as long as the program runs.
  virtual ToolPresets& toolPresets() = 0;
  // The launcher's "ZOOM Arrival Message" check box: preset runs wait for the camera's
  // arrival message instead of polling its status.
  virtual bool zoomArrivalMessage() const = 0;
};

}  // namespace orva::panels
