// Every registered panel, in both protocols, on the virtual camera of each model it takes to
// show all its controls: with the port closed it opens sending nothing; every control it offers
// the operator reaches the camera, and a panel opened afterwards shows it; a refused entry sends
// nothing. A new row is covered as soon as it is registered; the tables below name, each with
// its reason, the controls left to a panel's own tests, the models a panel refuses by a rule of
// its own, and the panels no model of the table offers.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "camera/gating.hpp"
#include "camera/identification.hpp"
#include "panels/exposure/ae_panel.hpp"
#include "panels/exposure/exposure_panels.hpp"
#include "panels/fake_panel_view.hpp"
#include "panels/ircf/ircf_panels.hpp"
#include "panels/launcher.hpp"
#include "panels/lens/lens_controls.hpp"
#include "panels/panel_bench.hpp"
#include "panels/picture/white_balance_panel.hpp"
#include "panels/preset/eeprom_preset_panel.hpp"
#include "panels/preset/preset_lens_part.hpp"
#include "panels/preset/preset_panels.hpp"
#include "panels/preset/store_preset_panels.hpp"
#include "panels/registry.hpp"
#include "sim/model_profiles.hpp"

namespace orva::panels {
namespace {

using P = link::Protocol;
using testing::Bench;
namespace L = lens::controls;

// Controls the round trip leaves to the panel's own tests, and why.
struct OptOut {
  std::string_view panel;
  ControlId control;
  bool writtenOnly;  // sent, but never read back: what a fresh panel shows is not the camera's
  std::string_view why;
};
constexpr OptOut kOptOuts[] = {
    {"zoomfocus", L::kFocusStep, false, "the adjustment mode's step size stays in the panel"},
    {"zoomfocus", L::kZoomStep, false, "the adjustment mode's step size stays in the panel"},
    {"zoomfocus", L::kManualSpeed, true, "the manual focus speed goes with each drive; the camera keeps none"},
    {"exposure", exposure::iris::kFNumber, true, "the F-number buttons drive the iris; a panel opens with none chosen"},
    {"ae", exposure::kProgramAePlus, false,
     "one AE mode with the main buttons and the Program AE group, which its choices move off what they last chose"},
    {"ircf", ircf::kFilterMode, false, "AUTO and MANUAL rewrite the AE mode, which the AE buttons show as well"},
    {"ircf", ircf::kManualControl, false, "the buttons move the filter, whose position follows after the camera's delay"},
    {"whitebalance", picture::wb::kRGain, false,
     "a typed gain is limited to the model's range and coded with bit 7: the panel shows the code, not the text"},
    {"whitebalance", picture::wb::kBGain, false,
     "a typed gain is limited to the model's range and coded with bit 7: the panel shows the code, not the text"},
    {"whitebalance", picture::wb::kAdjData, false, "the arrows' choice of gains stays in the panel"},
    {"whitebalance", picture::wb::kAdjMode, false, "the arrows' step size stays in the panel"},
    {"whitebalance", picture::wb::kFixedMode, true,
     "one value (0x142F) with Power On mode, whose round trip moves the check"},
    {"mempreset", preset::kMemory1, false, "a memory keeps the lens's pair in the tool; unticking sends nothing"},
    {"mempreset", preset::kMemory1 + 1, false, "a memory keeps the lens's pair in the tool; unticking sends nothing"},
    {"mempreset", preset::kMemory1 + 2, false, "a memory keeps the lens's pair in the tool; unticking sends nothing"},
    {"mempreset", preset::kMemory1 + 3, false, "a memory keeps the lens's pair in the tool; unticking sends nothing"},
    {"directpreset", preset::kZoom, false, "the choice of magnification stays in the panel until it is set"},
    {"directpreset", preset::kFocus, false, "the choice of distance stays in the panel until it is set"},
    {"campreset", preset::kCamType, false, "the run type stays in the panel until a preset runs"},
    {"campreset", preset::lens_part::kGotoZoom, false, "the magnification is kept for START, which sends it"},
    {"eepromstorepreset", preset::kStoreType, false, "the store type stays in the panel until a key uses it"},
    {"eepromstorepreset", preset::lens_part::kGotoZoom, false, "the magnification is kept for START, which sends it"},
    {"eeprompreset", preset::lens_part::kGotoZoom, false, "the magnification waits in the entry for START"},
    {"eeprompreset", preset::eeprom::kGotoZoom2, false, "the zoom value waits in the entry for START"},
};

// Runs of keys that differ only by their number, opted out as one (`out.control` the first).
struct KeyRun {
  OptOut out;
  int count;
};
constexpr KeyRun kKeyRuns[] = {
    {{"campreset", preset::kCamMemory1, true, "the camera cannot be asked which slots hold a state: a fresh panel "
                                              "starts unticked"},
     preset::kOpenSlots},
    {{"eepromstorepreset", preset::kStoreMemory1 + 8, true,
      "records 1 to 8 make the round trip for all 64: each further one is stored, not opened again"},
     preset::kStoreRecords - 8},
};

const OptOut* optOut(std::string_view panel, ControlId control) {
  for (const OptOut& o : kOptOuts)
    if (o.panel == panel && o.control == control) return &o;
  for (const KeyRun& r : kKeyRuns)
    if (r.out.panel == panel && control >= r.out.control && control < r.out.control + r.count) return &r.out;
  return nullptr;
}

// Models the gating offers a panel to that the panel refuses by a rule of its own.
struct Refusal {
  std::string_view panel;
  std::string_view model;
  std::string_view why;
};
// EIS setup takes type codes 27, 31, 40, 53, 56, 57 and 61 only, while the menu item follows
// the EIS level: the two type 29 models have level 2.
constexpr std::string_view kType29 = "type 29, not a type EIS setup takes, with EIS level 2";
constexpr Refusal kRefusals[] = {{"eis", "QB-152", kType29}, {"eis", "QB-153", kType29}};

bool refuses(std::string_view panel, std::string_view model) {
  return std::any_of(std::begin(kRefusals), std::end(kRefusals),
                     [&](const Refusal& r) { return r.panel == panel && r.model == model; });
}

// Panels no model of the table offers, run on a model whose record is given what their launcher
// route asks for.
struct Reach {
  std::string_view panel;
  std::string_view model;
  void (*give)(camera::ModelRecord&);
  std::string_view why;
  // The configuration the route needs ("LED Control =" for the trigger LED panel).
  void (*configure)(camera::GatingSwitches&) = nullptr;
};
constexpr Reach kReaches[] = {
    {"nightscope", "QB-191", [](camera::ModelRecord& m) { m.featureWord |= 0x0800; },
     "ENHANCED INTENSITY opens NIGHTSCOPE on feature word bit 11, which no model of the table has"},
    {"strobe", "QB-191", [](camera::ModelRecord& m) { m.featureWord |= 0x1000; },
     "STROBE is shown on feature word bit 12, which no model of the table has"},
    {"plfilter", "QB-191", [](camera::ModelRecord& m) { m.extraOptionWord |= 0x0001; },
     "IRcf REMOVE opens the PL filter on extra option word bit 0, which no model of the table has"},
    {"triggerled", "QB-109", [](camera::ModelRecord&) {}, "IRcf REMOVE opens the trigger LED panel with LED Control 1 or 2",
     [](camera::GatingSwitches& sw) { sw.ledControl = 1; }},
    {"eeprompreset", "QB-191",
     [](camera::ModelRecord& m) { m.functionWord = static_cast<std::uint16_t>((m.functionWord | 0x4000u) & 0x7FEFu); },
     "in AFP: EXPOSURE opens EEPROM PRESET on function word bit 14 without bits 4 and 15, which no AFP model has"},
};


bool choosesItem(ControlKind k) {
  return k == ControlKind::Check || k == ControlKind::Toggle || k == ControlKind::Radio || k == ControlKind::List;
}
bool operated(const ControlDescription& c) {
  return !c.readOnly && (choosesItem(c.kind) || c.kind == ControlKind::Entry || c.kind == ControlKind::Stepper);
}

// A model's camera, identified as the tool identifies it, with what its launcher and menu offer.
struct ModelCamera {
  ModelCamera(P protocol, std::string_view model, const Reach* reach = nullptr)
      : bench(protocol, *sim::builtInProfile(model, protocol == P::Afp ? sim::Protocol::Afp : sim::Protocol::Eap,
                                             testing::profile(protocol, "").settings)) {
    camera::LinkRegisterReader reader(bench.link, bench.eap, bench.afp);
    camera::IdentificationSwitches switches;
    identified = camera::Identification(reader, bench.monitor, bench.prompt).run(bench.model, flags, switches) ==
                 camera::IdentifyOutcome::Identified;
    bench.link.setBlockReadMode(flags.extendedCommMode);
    if (reach != nullptr) reach->give(bench.model);
    if (reach != nullptr && reach->configure != nullptr) reach->configure(switches_);
    bench.host.config["LED Control ="] = switches_.ledControl;
  }

  // What `orva-cli panels` gives as enabled: a shown and enabled launcher button or menu item
  // that leads to the panel.
  bool offers(PanelId panel) {
    for (const PanelRow& row : panelRows())
      if (row.id == panel && row.openedFrom) return offers(*row.openedFrom);
    camera::GatingSwitches sw = switches_;
    sw.protocol = bench.link.protocol();
    const auto launcher =
        camera::launcherGating(camera::connectedLauncher(camera::idleLauncher(), sw), bench.model, flags, sw);
    for (std::size_t i = 0; i < camera::kLauncherItemCount; ++i) {
      const auto item = static_cast<camera::LauncherItem>(i);
      if (!launcher[item].enabled || !launcher[item].shown) continue;
      const Route r = route(item, launcher, bench.model, sw);
      const auto sequence = r.sequence();
      if (r.kind == RouteKind::Panels && std::find(sequence.begin(), sequence.end(), panel) != sequence.end())
        return true;
    }
    for (const camera::MenuItem item : camera::menuItems()) {
      if (menuPanel(item) != panel) continue;
      const auto menu = camera::menuGating(camera::startMenu(sw), bench.model, flags, sw,
                                           [this](const camera::Setting& s) -> std::optional<std::uint32_t> {
                                             std::uint32_t v = 0;
                                             return bench.access.read(s, v) ? std::optional(v) : std::nullopt;
                                           });
      if (menu[item].enabled && !menu[item].removed) return true;
    }
    return false;
  }

  Bench bench;
  camera::IdentificationFlags flags;
  bool identified = false;

 private:
  camera::GatingSwitches switches_;
};

// The controls a model shows and enables by the description's own tests.
std::set<ControlId> declaredFor(const PanelDescription& d, const camera::ModelRecord& m, P protocol) {
  std::set<ControlId> out;
  for (const ControlDescription& c : d.controls)
    if (operated(c) && (c.shownWhen == nullptr || c.shownWhen(m, protocol)) &&
        (c.enabledWhen == nullptr || c.enabledWhen(m, protocol)))
      out.insert(c.id);
  return out;
}

// A model to run a panel on, and which of its controls to operate there: all it offers for the
// first model, only those no model before it showed for the others.
struct ModelRun {
  std::string model;
  std::optional<std::set<ControlId>> only;
  const Reach* reach = nullptr;
};

// The models that offer each panel in a protocol, few and chosen so that together they show
// every control any model shows; none for a panel no model offers.
std::map<PanelId, std::vector<ModelRun>> runsFor(P protocol) {
  struct Candidate {
    std::string model;
    std::set<ControlId> controls;
    const Reach* reach = nullptr;
  };
  const auto speaks = [protocol](std::string_view model) {
    return sim::modelProfile(model, protocol == P::Afp ? sim::Protocol::Afp : sim::Protocol::Eap).has_value();
  };
  std::map<PanelId, std::vector<Candidate>> offers;
  for (const std::string& name : sim::modelNames()) {
    if (!speaks(name)) continue;
    ModelCamera cam(protocol, name);
    EXPECT_TRUE(cam.identified) << name;
    for (const PanelRow& row : panelRows())
      if (cam.offers(row.id) && !refuses(row.name, name))
        offers[row.id].push_back({name, declaredFor(row.description(), cam.bench.model, protocol)});
  }
  for (const Reach& reach : kReaches) {
    const PanelRow* row = findPanel(reach.panel);
    if (row == nullptr || !offers[row->id].empty() || !speaks(reach.model)) continue;
    ModelCamera cam(protocol, reach.model, &reach);
    if (cam.offers(row->id))
      offers[row->id].push_back({std::string(reach.model), declaredFor(row->description(), cam.bench.model, protocol),
                                 &reach});
  }
  std::map<PanelId, std::vector<ModelRun>> runs;
  for (const PanelRow& row : panelRows()) {
    auto& candidates = offers[row.id];
    std::set<ControlId> covered;
    const auto fresh = [&covered](const std::set<ControlId>& s) {
      std::set<ControlId> out;
      std::set_difference(s.begin(), s.end(), covered.begin(), covered.end(), std::inserter(out, out.end()));
      return out;
    };
    auto& chosen = runs[row.id];
    while (!candidates.empty()) {
      const auto best = std::max_element(candidates.begin(), candidates.end(), [&fresh](const auto& x, const auto& y) {
        return fresh(x.controls).size() < fresh(y.controls).size();
      });
      const auto added = fresh(best->controls);
      if (!chosen.empty() && added.empty()) break;
      chosen.push_back({best->model, chosen.empty() ? std::nullopt : std::optional(added), best->reach});
      covered.insert(added.begin(), added.end());
      candidates.erase(best);
    }
  }
  return runs;
}

// What the panel shows for a control: the item or the text. A bound control as the logic holds
// it, one the panel's own code reads as the view was told.
std::optional<std::string> shows(const PanelLogic& panel, const FakePanelView& view, const ControlDescription& c) {
  if (choosesItem(c.kind)) {
    const auto item = c.binding ? panel.selected(c.id) : view.value(c.id);
    return item ? std::optional(std::to_string(*item)) : std::nullopt;
  }
  if (!c.binding) return view.text(c.id);
  const auto number = panel.number(c.id);
  return number ? std::optional(formatValue(c.format, *number / c.scale)) : std::nullopt;
}

// The operator's n-th action on a control and what the panel is then to show, if it has an
// n-th: every choice and back, both states, one value in range, a step up and a step down.
// `now` is what the panel shows before it.
struct Action {
  Intent intent;
  std::optional<std::string> expected;  // none: anything, as long as it is something
};
std::optional<Action> nthAction(const ControlDescription& c, const FakePanelView& view,
                                const std::optional<std::string>& now, std::size_t n) {
  switch (c.kind) {
    case ControlKind::Radio:
    case ControlKind::List: {
      // Each choice in turn, then the first again: the way back is a change of its own.
      const std::size_t item = n == c.choices.size() ? 0 : n;
      if (n > c.choices.size() || !view.itemEnabled(c.id, item)) return std::nullopt;
      return Action{Intent::choose(c.id, static_cast<int>(item)), std::to_string(item)};
    }
    case ControlKind::Check:
    case ControlKind::Toggle:
      if (n >= 2) return std::nullopt;
      return Action{Intent::toggle(c.id), now == "1" ? "0" : "1"};
    case ControlKind::Entry: {
      if (n >= 1) return std::nullopt;
      const auto text = formatValue(c.format, static_cast<std::uint32_t>(std::min(c.minimum + 1, c.maximum)));
      return Action{Intent::enter(c.id, text), text};
    }
    case ControlKind::Stepper: {
      if (n >= 2) return std::nullopt;
      const int steps = n == 0 ? 1 : -1;
      const auto value = now ? parseEntry(c.format, *now) : std::nullopt;
      // Where a wrapped or signed stepper lands is for a fresh panel to confirm.
      if (!value || c.wrap || c.minimum < 0) return Action{Intent::step(c.id, steps), std::nullopt};
      const std::int64_t next = std::clamp<std::int64_t>(
          static_cast<std::int32_t>(*value) + steps * static_cast<std::int64_t>(c.step), c.minimum, c.maximum);
      return Action{Intent::step(c.id, steps), formatValue(c.format, static_cast<std::uint32_t>(next))};
    }
    default: return std::nullopt;
  }
}

bool offeredNow(const FakePanelView& view, const ControlDescription& c) {
  return view.shown(c.id) && view.enabled(c.id);
}

// A fresh panel on the camera shows what was last done to each control so far.
void freshPanelShows(const PanelRow& row, Bench& b, const std::map<ControlId, std::string>& expected) {
  FakePanelView view;
  const auto panel = row.make(b.context, view, {});
  ASSERT_TRUE(panel->open());
  for (const ControlDescription& c : row.description().controls)
    if (const auto e = expected.find(c.id); e != expected.end()) {
      EXPECT_EQ(shows(*panel, view, c), e->second) << "control " << c.id << ", a fresh panel";
    }
  panel->close();
  b.settle();
}

// The operator's actions the round trip took on the panel.
int roundTrip(const PanelRow& row, P protocol, const ModelRun& run) {
  int actions = 0;
  ModelCamera cam(protocol, run.model, run.reach);
  EXPECT_TRUE(cam.identified);
  Bench& b = cam.bench;

  // With the port closed a panel sends nothing, unless its description skips the port guard.
  b.portOpen = false;
  if (row.description().checksPort) {
    FakePanelView view;
    const auto closedPort = row.make(b.context, view, {});
    const auto mark = b.mark();
    EXPECT_FALSE(closedPort->open());
    EXPECT_TRUE(b.heardSince(mark).empty()) << "the port is closed";
  }
  b.portOpen = true;

  FakePanelView view;
  const auto panel = row.make(b.context, view, {});
  if (!panel->open()) {
    ADD_FAILURE() << "the panel did not open"
                  << (b.prompt.asked().empty() ? std::string() : ": " + b.prompt.asked().back().text);
    return actions;
  }
  const auto& controls = row.description().controls;

  for (const ControlDescription& c : controls) {
    // An entry the panel's own code takes has rules of its own (a bound kept to the model's).
    if (c.kind != ControlKind::Entry || !c.binding || c.readOnly || !offeredNow(view, c)) continue;
    const auto before = shows(*panel, view, c);
    for (const std::int64_t refused : {c.minimum - 1, c.maximum + 1}) {
      if (refused < 0) continue;
      const auto mark = b.mark();
      panel->intent(Intent::enter(c.id, formatValue(c.format, static_cast<std::uint32_t>(refused))));
      b.settle();
      EXPECT_TRUE(b.heardSince(mark).empty()) << "control " << c.id << " took " << refused;
      EXPECT_EQ(shows(*panel, view, c), before) << "control " << c.id;
    }
  }

  std::map<ControlId, std::string> expected;
  for (const ControlDescription& c : controls) {
    if (!operated(c) || (run.only && !run.only->contains(c.id))) continue;
    const OptOut* out = optOut(row.name, c.id);
    if (out != nullptr && !out->writtenOnly) continue;
    for (std::size_t n = 0;; ++n) {
      if (!offeredNow(view, c)) break;
      const auto before = shows(*panel, view, c);
      const auto action = nthAction(c, view, before, n);
      if (!action) break;
      SCOPED_TRACE(::testing::Message() << "control " << c.id << ", action " << n);
      const auto mark = b.mark();
      panel->intent(action->intent);
      b.settle();
      if (out != nullptr) {
        EXPECT_FALSE(b.heardSince(mark).empty()) << "sent";
        break;
      }
      const auto now = shows(*panel, view, c);
      if (action->expected) {
        EXPECT_EQ(now, action->expected);
      } else {
        EXPECT_TRUE(now.has_value());
      }
      if (now != before) {
        EXPECT_FALSE(b.heardSince(mark).empty()) << "a change reaches the line";
      }
      if (now) expected[c.id] = *now;
      ++actions;
      freshPanelShows(row, b, expected);
    }
  }
  panel->close();
  b.settle();
  return actions;
}

TEST(EveryPanel, OpensOnlyWithThePortOpenAndEveryControlReachesTheCameraForAFreshPanel) {
  std::map<PanelId, int> protocols, actions;
  for (const P protocol : {P::Eap, P::Afp}) {
    SCOPED_TRACE(testing::name(protocol));
    const auto runs = runsFor(protocol);
    for (const PanelRow& row : panelRows()) {
      for (const ModelRun& run : runs.at(row.id)) {
        SCOPED_TRACE(std::string(row.name) + " on " + run.model);
        actions[row.id] += roundTrip(row, protocol, run);
        ++protocols[row.id];
      }
    }
  }
  for (const PanelRow& row : panelRows()) {
    EXPECT_GT(protocols[row.id], 0) << row.name << ": no model offers it";
    const auto& controls = row.description().controls;
    if (std::any_of(controls.begin(), controls.end(), operated)) {
      EXPECT_GT(actions[row.id], 0) << row.name << ": none of its controls was offered";
    }
  }
}

}  // namespace
}  // namespace orva::panels
