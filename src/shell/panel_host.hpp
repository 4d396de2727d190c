#pragma once
// The session as panels may reach it (panels::PanelHost): session flags on its camera state,
// menu items held on its menu model, the launcher's fields and gating, configuration values
// from ORVA.ini and the lens the model record keeps. What only a window can do (open a
// sub-panel, the condition window's "CONDITION" button) goes to hooks the program fills in.
//
// A panel's request to identify the camera again is kept until its opener, once the panel
// has closed, calls identifyIfAsked().
//
// Window thread only, as the session.
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

#include "panels/panel_host.hpp"
#include "shell/session.hpp"

namespace orva::shell {

class SessionPanelHost final : public panels::PanelHost {
 public:
  struct Hooks {
    // Opens a sub-panel over the open one and returns once it has closed; empty: the
    // sub-panel is not offered.
    std::function<panels::PanelResult(panels::PanelId)> openPanel;
    std::function<void(bool enabled)> conditionEnabled;
  };

  explicit SessionPanelHost(Session& session, Hooks hooks = {}) : session_(session), hooks_(std::move(hooks)) {}

  void setFlag(panels::SessionFlag flag, bool on) override;
  bool flag(panels::SessionFlag flag) const override;
  void setMenuItemEnabled(panels::HostMenuItem item, bool enabled) override;
  void refreshLauncherFields() override;
  void setConditionEnabled(bool enabled) override;
  void setLauncherEnabled(bool enabled) override;
  void identifyAfterClose() override { identifyAsked_ = true; }
  std::optional<int> configValue(std::string_view key) const override;
  panels::PanelResult openPanel(panels::PanelId panel) override;
  void lensChanged(int lensIndex) override;
  panels::ToolPresets& toolPresets() override { return session_.toolPresets(); }
  bool zoomArrivalMessage() const override;

  // For the opener, once the panel has closed: identifies the camera again when that was
  // asked for (Session::identifyAgain()); true when it identified.
  bool identifyIfAsked(const LineWork& lineWork = {});

 private:
  Session& session_;
  Hooks hooks_;
  bool identifyAsked_ = false;
};

}  // namespace orva::shell
