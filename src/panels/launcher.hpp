#pragma once
// What a CONTROL launcher button opens, as data: the launcher item, the panel (or panels, or
// the one command) it leads to, whether the operation slot is asked first, and the rules by
// which the model, the button's caption and the configuration choose among panels.
//
// route() is a pure function of the launcher state, the model record and the switches; the
// renderer calls launch(), which also asks the operation runner. A refused request opens
// nothing and says nothing.
#include <array>
#include <cstddef>
#include <optional>
#include <span>

#include "camera/gating.hpp"
#include "camera/model_record.hpp"
#include "panels/operation_runner.hpp"
#include "panels/panel_id.hpp"
#include "panels/panel_view.hpp"

namespace orva::panels {

enum class RouteKind : std::uint8_t {
  None,      // the button opens nothing here (BLOCK READ in EAP, ...)
  Panels,    // one panel, or two opened one after the other
  Command,   // "FULL AUTO": the command with its heading, no panel
  Presets,   // the preset keys and "ZOOM Arrival Message": the session's own (Session::memoryKey ...)
};

struct Route {
  RouteKind kind = RouteKind::None;
  std::array<PanelId, 2> panels{};
  std::size_t count = 0;
  // Ask the operation runner before anything opens. "FULL AUTO" does not; the privacy mask
  // selection asks only when it goes on to the mask panel.
  bool asksRunner = true;

  std::span<const PanelId> sequence() const { return std::span(panels).first(count); }
  // Whether the next panel of a sequence opens after the previous one closed for `reason`:
  // only after the operator closed it, not after its read on open failed.
  static bool goesOn(CloseReason reason) { return reason == CloseReason::Closed; }
};

// Where a launcher button leads for this model and configuration; RouteKind::None for a
// button this layer routes nowhere.
Route route(camera::LauncherItem item, const camera::LauncherState& launcher, const camera::ModelRecord& model,
            const camera::GatingSwitches& switches);

// The launcher's answer to a press: the route, or none when the request is ignored (the
// button is disabled or hidden, leads nowhere, or the operation slot is taken and the route
// asks).
std::optional<Route> launch(camera::LauncherItem item, const camera::LauncherState& launcher,
                            const camera::ModelRecord& model, const camera::GatingSwitches& switches,
                            const OperationRunner& runner);

// The panel a menu item opens ("EIS Setup"), if any. The menu's gating decides whether the
// item is enabled; like a launcher button, it opens nothing while the operation slot is taken.
std::optional<PanelId> menuPanel(camera::MenuItem item);

}  // namespace orva::panels
