#pragma once
// A panel's logic: the open sequence every panel shares, the operator's intents, and what the
// window shows. It runs a PanelDescription; a panel with rules of its own derives from it.
//
// Opening, always in this order: the held arrow buttons are cleared; with the port closed the
// operator is told "Set a communication port." under "Attention" and the panel closes, having
// sent nothing; the heading pair goes to the monitor; captions, ranges and the controls the
// model offers are set; the bound settings are read one by one and shown, and the first read
// that fails closes the panel at once (the link has already said why); a control the model
// does not show is neither read nor takes intents. Placement is the renderer's, after a
// successful open (placement.hpp).
//
// Intents: the renderer reports what the operator did and shows only what the logic tells
// it. A change asks the operation runner first and is ignored while the slot is taken; an
// entry that is no value of its format, or out of its range, beeps and sends nothing; a
// choice of what is already shown sends nothing. A failed write shows what the control's
// description says (the camera's value, or the operator's).
//
// Closing ("CLOSE" or the window's close command): held arrow buttons send their stops, the
// panel's token closes so that a run's late update is dropped, and the view is told. Closing
// does not wait for a run the panel started.
//
// Window thread only, except that a run started from the panel reaches it through token() and
// a Dispatcher.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "camera/model_record.hpp"
#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "core/prompt.hpp"
#include "panels/camera_access.hpp"
#include "panels/dispatch.hpp"
#include "panels/hold_button.hpp"
#include "panels/operation_runner.hpp"
#include "panels/panel_description.hpp"
#include "panels/panel_host.hpp"
#include "panels/panel_view.hpp"

namespace orva::panels {

// What every panel works with; owned by the session that opens panels.
struct PanelContext {
  CameraAccess& camera;
  core::MonitorSink& monitor;
  core::Prompt& prompt;
  core::Clock& clock;
  OperationRunner& runner;
  Dispatcher& dispatcher;
  const camera::ModelRecord& model;
  std::function<bool()> portOpen;  // the port-open flag: set while connected (required)
  // The rest of the program, as panels may reach it (panel_host.hpp); every program passes
  // one.
  PanelHost* host = nullptr;
  // Runs the reads of the open sequence and returns once they have ended: a window runs them
  // off its thread with a busy cursor and keeps painting; empty: inline.
  std::function<void(const std::function<void()>&)> lineWork = {};
};

// What the operator did to a control.
struct Intent {
  enum class Kind : std::uint8_t {
    Toggle,   // a check box clicked
    Choose,   // a radio button, a list entry or a slider position chosen: `index`
    Enter,    // an entry's "Set" with the entry's `text`
    Click,    // a button
    Press,    // an arrow drawn pressed
    Release,  // an arrow drawn released
    Tick,     // a timer the panel started fired: `index` is the timer
    Step,     // a stepper's up (`index` > 0) or down (< 0) arrow, `index` steps
    Edit,     // an entry's text changed to `text`, before any "Set"
  };
  Kind kind = Kind::Click;
  ControlId control = 0;
  int index = 0;
  std::string text;

  static Intent toggle(ControlId c) { return {Kind::Toggle, c, 0, {}}; }
  static Intent choose(ControlId c, int index) { return {Kind::Choose, c, index, {}}; }
  static Intent enter(ControlId c, std::string text) { return {Kind::Enter, c, 0, std::move(text)}; }
  static Intent click(ControlId c) { return {Kind::Click, c, 0, {}}; }
  static Intent press(ControlId c) { return {Kind::Press, c, 0, {}}; }
  static Intent release(ControlId c) { return {Kind::Release, c, 0, {}}; }
  static Intent tick(int timer) { return {Kind::Tick, 0, timer, {}}; }
  static Intent step(ControlId c, int steps) { return {Kind::Step, c, steps, {}}; }
  static Intent edit(ControlId c, std::string text) { return {Kind::Edit, c, 0, std::move(text)}; }
};

class PanelLogic {
 public:
  PanelLogic(const PanelDescription& description, PanelContext& context, PanelView& view);
  virtual ~PanelLogic();
  PanelLogic(const PanelLogic&) = delete;
  PanelLogic& operator=(const PanelLogic&) = delete;

  // The open sequence; false when the panel closed during it. Once per panel.
  bool open();
  void intent(const Intent& intent);
  // "CLOSE" or the window's close command: the closing heading, if the panel has one, then
  // the close.
  void close();

  bool isOpen() const { return opened_ && !closed_; }
  // The result the panel closed with (0 unless the panel chose another), and the panel the
  // opener is to open next, if the panel chose one (a selection dialog, a type change).
  int result() const { return result_; }
  std::optional<PanelId> nextPanel() const { return next_; }
  // For runs started from the panel: their updates are dropped once it has closed.
  PanelToken token() const { return lifetime_.token(); }
  const PanelDescription& description() const { return description_; }

  // What the panel shows: the selected item of a check (0, 1), radio group or list (-1 none),
  // or the number of an entry, readout or slider; none before it was read.
  std::optional<int> selected(ControlId control) const;
  std::optional<std::uint32_t> number(ControlId control) const;

 protected:
  // A panel's own handling, tried before the description's; true when it took the intent.
  virtual bool handle(const Intent&) { return false; }
  // A panel's own reads, after the description's on open; false closes the panel.
  virtual bool readOnOpen() { return true; }
  // After the description's write for a control succeeded (a check toggled, a choice, an
  // entry), or a choice of the panel's own (an unbound check or radio group) was made: for
  // what a panel does beyond it, such as a heading, a read-out or enabling a group.
  virtual void afterWrite(ControlId) {}
  // The panel is closing, before its arrows stop and its token closes: for runs and timers of
  // its own.
  virtual void closing() {}
  // Where a bound control's setting is now, for every read and write the description makes:
  // the binding's, unless the panel redirects it (a field written to RAM instead of EEPROM).
  virtual camera::Setting settingFor(const ControlDescription& d) const { return d.binding->setting; }

  PanelContext& context() { return context_; }
  PanelView& view() { return *view_; }
  // The host; a panel built without one (tests of a panel that needs none) must not ask.
  PanelHost& host() { return *context_.host; }
  void finish(CloseReason reason);
  // Closes with a result of the panel's own and, optionally, the panel to open next.
  void finishWith(int result, std::optional<PanelId> next = std::nullopt);
  // Starts a run for this panel on the operation slot; its update reaches the panel only
  // while the panel is open. False, silently, while the slot is taken.
  bool startOperation(Operation op);
  // Shows a value the panel's own code read from the camera, as a read on open would.
  void present(ControlId control, std::uint32_t cameraValue);
  // A level adjuster's press: `steps` steps of a bound entry, each taking the value the entry
  // shows to `next(value)`, writing it to the entry's setting and showing it. A failed write
  // closes the panel (CloseReason::WriteFailed). False when the panel closed or the entry
  // shows no value yet. Holds the operation slot for the whole burst; while a run holds it the
  // press is let go (true, nothing sent).
  bool adjustLevel(ControlId entry, int steps, const std::function<std::uint32_t(std::uint32_t)>& next);
  // Reads a bound control again and shows it; false, with nothing changed, when the read fails.
  bool refresh(ControlId control);
  // A control the model offers may still be enabled and disabled, shown and hidden as the
  // camera's state changes; an arrow that is disabled or hidden while held is released.
  void setControlEnabled(ControlId control, bool enabled);
  void setControlShown(ControlId control, bool shown);
  // Enabled and shown: the control takes intents.
  bool offered(ControlId control) const;

 private:
  struct State {
    const ControlDescription* description = nullptr;
    std::optional<std::uint32_t> number;
    int selected = -1;
    bool known = false;
    bool enabled = true;
    bool shown = true;
    std::unique_ptr<HoldButton> hold;
    // The captions the items show now, where the model chose them.
    std::vector<std::string> itemCaptions;
    // What the operator typed into an entry since it last showed a value; none: what it shows.
    std::optional<std::string> typed;
  };

  State* find(ControlId control);
  const State* find(ControlId control) const;
  void prepare(State& s);
  bool read(State& s);
  void take(State& s, std::uint32_t value);
  void show(const State& s);
  void toggle(State& s);
  void chooseLocally(State& s, int item);
  void choose(State& s, int index);
  void enter(State& s, std::string_view text);
  void click(State& s);
  void step(State& s, int steps);
  void setGroup(const State& button);
  bool readAll();
  // The heading a change of `s` to `item` (an item index, or -1 for an entry or a step) writes
  // at `when`; nothing when the description has none for that moment.
  void heading(const State& s, int item, HeadingWhen when);
  // After a write through the description: what the control shows, the heading, the panel's
  // afterWrite, or the close its failure calls for.
  void written(State& s, bool ok, int item, const std::function<void()>& commit);
  bool writeItem(const State& s, ProtocolValue value);
  // The operation slot for a write of the description's: `claim` takes it unless the intent
  // already holds it (a control that takes the slot before the panel's own handling).
  bool slot(std::optional<OperationRunner::Claim>& claim);
  bool masks(const Binding& b) const;
  int itemOf(const ControlDescription& d, std::uint32_t value) const;

  const PanelDescription& description_;
  PanelContext& context_;
  // The window's view; while the open sequence reads off the window thread, a recorder that
  // is played back onto the window's once the reads have ended.
  PanelView* view_;
  PanelView& window_;
  PanelLifetime lifetime_;
  int result_ = 0;
  std::optional<PanelId> next_;
  bool slotHeld_ = false;
  bool opened_ = false;
  bool closed_ = false;
  std::vector<State> states_;
};

}  // namespace orva::panels
