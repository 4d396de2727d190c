#include "shell/panel_host.hpp"

namespace orva::shell {

void SessionPanelHost::setFlag(panels::SessionFlag flag, bool on) { session_.cameraState().setFlag(flag, on); }

bool SessionPanelHost::flag(panels::SessionFlag flag) const { return session_.cameraState().flag(flag); }

void SessionPanelHost::setMenuItemEnabled(panels::HostMenuItem item, bool enabled) {
  // Held items show what the gating says once they are let go.
  MenuModel& menus = session_.menus();
  switch (item) {
    case panels::HostMenuItem::SerialPort: menus.setHeld(MenuItem::SerialPort, !enabled); break;
    case panels::HostMenuItem::CameraSetupUtility: menus.setHeld(MenuItem::CameraSetupUtility, !enabled); break;
    case panels::HostMenuItem::CcdDriveMode: menus.setHeld(camera::Submenu::CcdDriveMode, !enabled); break;
  }
}

void SessionPanelHost::refreshLauncherFields() { session_.refreshLauncherFields(); }

void SessionPanelHost::setConditionEnabled(bool enabled) {
  if (hooks_.conditionEnabled) hooks_.conditionEnabled(enabled);
}

void SessionPanelHost::setLauncherEnabled(bool enabled) { session_.setLauncherEnabled(enabled); }

std::optional<int> SessionPanelHost::configValue(std::string_view key) const {
  return settingValue(session_.settings(), key);
}

panels::PanelResult SessionPanelHost::openPanel(panels::PanelId panel) {
  if (!hooks_.openPanel) return {.opened = false};
  return hooks_.openPanel(panel);
}

void SessionPanelHost::lensChanged(int lensIndex) { session_.connection().setLensIndex(lensIndex); }

bool SessionPanelHost::zoomArrivalMessage() const {
  const camera::ButtonState& box = session_.launcher()[camera::LauncherItem::ZoomArrivalMessage];
  return box.shown && box.enabled && box.checked;
}

bool SessionPanelHost::identifyIfAsked(const LineWork& lineWork) {
  if (!identifyAsked_) return false;
  identifyAsked_ = false;
  return session_.identifyAgain(lineWork);
}

}  // namespace orva::shell
