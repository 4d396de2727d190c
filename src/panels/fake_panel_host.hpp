#pragma once
// A PanelHost for tests: keeps what panels asked of it and answers from what the test set.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "panels/panel_host.hpp"

namespace orva::panels {

class FakePanelHost final : public PanelHost {
 public:
  void setFlag(SessionFlag f, bool on) override { flags_[f] = on; }
  bool flag(SessionFlag f) const override {
    auto it = flags_.find(f);
    return it != flags_.end() && it->second;
  }
  void setMenuItemEnabled(HostMenuItem item, bool enabled) override { menuItems[item] = enabled; }
  void refreshLauncherFields() override { ++launcherRefreshes; }
  void setConditionEnabled(bool enabled) override { conditionEnabled = enabled; }
  void setLauncherEnabled(bool enabled) override { launcherEnabled = enabled; }
  void identifyAfterClose() override { ++identifications; }
  std::optional<int> configValue(std::string_view key) const override {
    auto it = config.find(std::string(key));
    if (it == config.end()) return std::nullopt;
    return it->second;
  }
  PanelResult openPanel(PanelId panel) override {
    opened.push_back(panel);
    return subPanel ? subPanel(panel) : PanelResult{};
  }
  void lensChanged(int lensIndex) override { lens = lensIndex; }
  ToolPresets& toolPresets() override { return presets; }
  bool zoomArrivalMessage() const override { return arrivalMessage; }

  std::map<HostMenuItem, bool> menuItems;
  int launcherRefreshes = 0;
  std::optional<bool> conditionEnabled;
  std::optional<bool> launcherEnabled;
  int identifications = 0;
  std::map<std::string, int> config;
  std::vector<PanelId> opened;
  // How an opened sub-panel ends; none: closed with result 0.
  std::function<PanelResult(PanelId)> subPanel;
  std::optional<int> lens;
  ToolPresets presets;
  bool arrivalMessage = false;

 private:
  std::map<SessionFlag, bool> flags_;
};

}  // namespace orva::panels
