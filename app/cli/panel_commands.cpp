#include "panel_commands.hpp"

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "camera/code_map.hpp"
#include "camera/gating.hpp"
#include "camera/setting.hpp"
#include "panels/camera_access.hpp"
#include "panels/dispatch.hpp"
#include "panels/launcher.hpp"
#include "panels/operation_runner.hpp"
#include "panels/panel_host.hpp"
#include "panels/panel_logic.hpp"
#include "panels/registry.hpp"
#include "panels/text_panel_view.hpp"
#include "shell/menu_model.hpp"
#include "shell/settings.hpp"

namespace orva::cli {
namespace {

// The launcher as the window shows it for the identified camera.
struct Gated {
  camera::ModelRecord record;
  camera::IdentificationFlags flags;
  camera::GatingSwitches switches;
  camera::LauncherState launcher;
  // The menus as the window gates them, read once a panel that a menu item opens is asked for.
  std::optional<camera::MenuState> menu;
};

bool connectAndGate(Tool& tool, const shell::Settings& s, Gated& g) {
  if (!tool.connect() || !tool.identify(s, g.record, g.flags)) return false;
  g.switches = shell::gatingSwitches(s, {});
  g.switches.protocol = tool.link().protocol();
  g.launcher = camera::launcherGating(camera::connectedLauncher(camera::idleLauncher(), g.switches), g.record,
                                      g.flags, g.switches);
  return true;
}

// Whether an enabled menu item opens the panel for this camera. The menu gating reads a few
// registers, as the window's connect does.
bool offeredByMenu(panels::PanelId panel, Tool& tool, Gated& g) {
  const auto items = camera::menuItems();
  const auto item = std::find_if(items.begin(), items.end(), [panel](camera::MenuItem i) {
    return panels::menuPanel(i) == panel;
  });
  if (item == items.end()) return false;
  if (!g.menu) {
    camera::FunctionCodes codes(tool.afpChannel(), tool.link());
    g.menu = camera::menuGating(camera::startMenu(g.switches), g.record, g.flags, g.switches,
                                [&](const camera::Setting& s) -> std::optional<std::uint32_t> {
                                  std::uint32_t v = 0;
                                  if (!camera::readSetting(s, v, tool.link(), tool.eap(), codes)) return std::nullopt;
                                  return v;
                                });
  }
  return (*g.menu)[*item].enabled;
}

// Whether an enabled and shown launcher button, or an enabled menu item, opens the panel for
// this camera; a sub-panel goes with the panel that opens it.
bool offered(panels::PanelId panel, Tool& tool, Gated& g) {
  for (const panels::PanelRow& row : panels::panelRows())
    if (row.id == panel && row.openedFrom) return offered(*row.openedFrom, tool, g);
  if (offeredByMenu(panel, tool, g)) return true;
  for (std::size_t i = 0; i < camera::kLauncherItemCount; ++i) {
    const auto item = static_cast<camera::LauncherItem>(i);
    const auto& button = g.launcher[item];
    if (!button.enabled || !button.shown) continue;
    const panels::Route r = panels::route(item, g.launcher, g.record, g.switches);
    if (r.kind != panels::RouteKind::Panels) continue;
    const auto sequence = r.sequence();
    if (std::find(sequence.begin(), sequence.end(), panel) != sequence.end()) return true;
  }
  return false;
}

// A link fault beeps the monitor before it is reported: the camera failed the command.
class FaultWatch final : public shell::MonitorObserver {
 public:
  explicit FaultWatch(shell::Monitor& monitor) : monitor_(monitor) { monitor_.subscribe(*this); }
  ~FaultWatch() override { monitor_.unsubscribe(*this); }
  FaultWatch(const FaultWatch&) = delete;
  FaultWatch& operator=(const FaultWatch&) = delete;

  void beep() noexcept override { faults_.fetch_add(1); }
  int faults() const { return faults_.load(); }

 private:
  shell::Monitor& monitor_;
  std::atomic<int> faults_{0};
};

// Lets the runs the panel started end, then shows what they posted; a post may start the
// next run.
void settle(panels::OperationRunner& runner, panels::QueuedDispatcher& dispatcher) {
  for (;;) {
    runner.waitIdle();
    if (dispatcher.runPending() == 0 && !runner.busy()) return;
  }
}

// An action's intents one by one, as the operator's clicks would come (a stepper's presses),
// each settled before the next; stops at the first the panel refused or the camera failed.
int perform(const std::vector<panels::Intent>& intents, const std::string& text, panels::PanelLogic& logic,
            const panels::TextPanelView& view, const FaultWatch& watch, panels::OperationRunner& runner,
            panels::QueuedDispatcher& dispatcher, std::ostream& err) {
  for (const panels::Intent& intent : intents) {
    const int beeps = view.beeps();
    const int faults = watch.faults();
    logic.intent(intent);
    settle(runner, dispatcher);
    if (view.beeps() != beeps) {
      err << fmt::format("orva-cli: the panel refused \"{}\"\n", text);
      return kExitUsage;
    }
    if (watch.faults() != faults || !logic.isOpen()) return kExitCamera;
  }
  return kExitOk;
}

// The rest of the program as a panel sees it from the command line: there is no window, menu,
// launcher or condition window to change, and the session flags last as long as the command.
class CliPanelHost final : public panels::PanelHost {
 public:
  using Opener = std::function<panels::PanelResult(panels::PanelId)>;
  CliPanelHost(const shell::Settings& settings, camera::ModelRecord& record, Opener opener)
      : settings_(settings), record_(record), opener_(std::move(opener)) {}

  void setFlag(panels::SessionFlag flag, bool on) override { flags_[flag] = on; }
  bool flag(panels::SessionFlag flag) const override {
    const auto it = flags_.find(flag);
    return it != flags_.end() && it->second;
  }
  void setMenuItemEnabled(panels::HostMenuItem, bool) override {}
  void refreshLauncherFields() override {}
  void setConditionEnabled(bool) override {}
  void setLauncherEnabled(bool) override {}
  // Each command identifies the camera afresh and none shows the launcher: nothing would
  // read another identification before the program ends.
  void identifyAfterClose() override {}
  std::optional<int> configValue(std::string_view key) const override { return shell::settingValue(settings_, key); }
  panels::PanelResult openPanel(panels::PanelId panel) override { return opener_(panel); }
  void lensChanged(int lensIndex) override { record_.lensIndex = lensIndex; }
  // Each command is a run of its own: what a panel keeps lasts as long as the command.
  panels::ToolPresets& toolPresets() override { return presets_; }
  bool zoomArrivalMessage() const override { return false; }

 private:
  const shell::Settings& settings_;
  camera::ModelRecord& record_;
  Opener opener_;
  std::map<panels::SessionFlag, bool> flags_;
  panels::ToolPresets presets_;
};

const panels::PanelRow* rowOf(panels::PanelId panel) {
  for (const panels::PanelRow& row : panels::panelRows())
    if (row.id == panel) return &row;
  return nullptr;
}

}  // namespace

int panelsCommand(const Options& o, const shell::Settings& s, std::ostream& out) {
  Tool tool(o, s);
  Gated g;
  if (!connectAndGate(tool, s, g)) return kExitCamera;
  for (const panels::PanelRow& row : panels::panelRows())
    out << row.name << '\t' << row.description().title << '\t' << (offered(row.id, tool, g) ? "enabled" : "disabled")
        << '\n';
  return kExitOk;
}

namespace {

// Opens the panel as the window does, performs the actions, prints the panel and closes it.
int runPanel(Tool& tool, const shell::Settings& s, Gated& g, const panels::PanelRow& row,
             const std::vector<std::string>& actions, std::ostream& out, std::ostream& err) {
  FaultWatch watch(tool.monitor());
  camera::FunctionCodes codes(tool.afpChannel(), tool.link());
  panels::CameraAccess access(tool.link(), tool.eap(), codes);
  panels::QueuedDispatcher dispatcher;
  panels::OperationRunner runner(tool.monitor(), dispatcher);
  const panels::PanelOptions options{.afFastMode = s.afFastMode != 0};
  panels::PanelContext context{access, tool.monitor(), tool.prompt(), tool.clock(), runner, dispatcher, g.record,
                               [&tool] { return tool.link().isOpen(); }};
  // A sub-panel opens through the same renderer, shows nothing and closes again as CLOSE
  // closes it: no action reaches it.
  CliPanelHost host(s, g.record, [&](panels::PanelId panel) -> panels::PanelResult {
    const panels::PanelRow* sub = rowOf(panel);
    if (sub == nullptr) return {.opened = false};
    panels::TextPanelView subView(sub->description());
    const auto subLogic = sub->make(context, subView, options);
    if (subLogic->open()) subLogic->close();
    return {subView.closed().value_or(panels::CloseReason::Closed), subLogic->result(), true};
  });
  context.host = &host;
  panels::TextPanelView view(row.description());
  const auto logic = row.make(context, view, options);

  if (!logic->open()) return kExitCamera;
  int code = kExitOk;
  for (const std::string& text : actions) {
    const auto action = view.action(text);
    if (action.refused()) {
      err << "orva-cli: " << action.refusal << "\n";
      code = kExitUsage;
      break;
    }
    code = perform(action.intents, text, *logic, view, watch, runner, dispatcher, err);
    if (code != kExitOk) break;
  }
  // A script reads the panel only when every action was taken.
  if (code == kExitOk)
    for (const std::string& line : view.lines()) out << line << '\n';
  if (logic->isOpen()) logic->close();
  settle(runner, dispatcher);
  return code;
}

}  // namespace

int panelCommand(const Options& o, const shell::Settings& s, std::ostream& out, std::ostream& err) {
  const panels::PanelRow* row = panels::findPanel(o.target);
  if (row == nullptr) throw UsageError(fmt::format("no panel \"{}\" (orva-cli panels lists them)", o.target));
  Tool tool(o, s);
  Gated g;
  if (!connectAndGate(tool, s, g)) return kExitCamera;
  if (!offered(row->id, tool, g)) {
    err << fmt::format("orva-cli: this camera does not offer the panel \"{}\"\n", o.target);
    return kExitUsage;
  }
  return runPanel(tool, s, g, *row, o.actions, out, err);
}

// The status block as BLOCK READ shows it: the panel itself, without its button, whatever the
// launcher offers (the block is a function of every AFP camera).
int statusCommand(const Options& o, const shell::Settings& s, std::ostream& out, std::ostream& err) {
  Tool tool(o, s);
  if (!tool.connect()) return kExitCamera;
  if (!tool.afp()) {
    err << "orva-cli: the status block needs AFP; the camera speaks EAP (orva-cli protocol afp switches it)\n";
    return kExitUsage;
  }
  Gated g;
  if (!tool.identify(s, g.record, g.flags)) return kExitCamera;
  return runPanel(tool, s, g, *panels::findPanel("blockread"), {}, out, err);
}

}  // namespace orva::cli
