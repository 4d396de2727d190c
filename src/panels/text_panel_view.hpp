#pragma once
// A panel without a window: keeps what the logic shows (texts, selections, captions, enabled
// and shown states) so that the command line can perform an operator's actions by caption and
// print the panel as "Caption: value" lines. Timers are noted, not run: nothing here has an
// event loop, and a script acts through the controls, not through held buttons or polling.
//
// Window thread only, like every view: the caller runs the dispatcher's posts itself.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "panels/panel_description.hpp"
#include "panels/panel_logic.hpp"
#include "panels/panel_view.hpp"

namespace orva::panels {

class TextPanelView final : public PanelView {
 public:
  explicit TextPanelView(const PanelDescription& description) : description_(description) {}

  void setText(ControlId control, std::string_view text) override { texts_[control] = std::string(text); }
  void setValue(ControlId control, int value) override { values_[control] = value; }
  void setRange(ControlId, int, int) override {}
  void setEnabled(ControlId control, bool enabled) override { enabled_[control] = enabled; }
  void setShown(ControlId control, bool shown) override { shown_[control] = shown; }
  void setCaption(ControlId control, std::string_view caption) override { captions_[control] = std::string(caption); }
  void setItemCaption(ControlId control, std::size_t item, std::string_view caption) override {
    itemCaptions_[{control, item}] = std::string(caption);
  }
  void setItemEnabled(ControlId control, std::size_t item, bool enabled) override {
    itemEnabled_[{control, item}] = enabled;
  }
  void beep() override { ++beeps_; }
  void startTimer(int, std::chrono::milliseconds) override {}
  void stopTimer(int) override {}
  void close(CloseReason reason) override { closed_ = reason; }

  int beeps() const { return beeps_; }
  std::optional<CloseReason> closed() const { return closed_; }

  // What an action names: the intents it stands for, in order, or why there are none. No
  // intents and no refusal: the control is already as asked (a toggle set to what it shows).
  struct Action {
    std::vector<Intent> intents;
    std::string refusal;
    bool unnamed = false;  // refused because no control has the name
    bool refused() const { return !refusal.empty(); }
  };
  // "NAME" presses a button, selects a radio item, toggles a check or a toggle, or presses
  // and lets go a level adjuster's arrow (a name with "=" in it, "IN=>OUT", is tried whole
  // first);
  // "NAME=VALUE" types VALUE into an entry (its edit, then its "Set"; for an entry that its
  // group's one "Set" sends, the edit alone), chooses the list or radio item with that text,
  // moves a slider, sets a check or toggle "on" or "off", or steps a stepper ("up", "down",
  // "+N", "-N": N presses); "GROUP/NAME" picks among controls with the same name. A control's
  // name is its description's `name`, else its caption. Hidden controls are not there; a
  // disabled control or item, and one that is shown only, is refused.
  Action action(std::string_view text) const;

  // Every shown control with a value, in the description's order: "Name: value", a check or
  // toggle as on/off, a radio group or list as its selected item, an entry, readout or
  // stepper as its text, " (disabled)" after a disabled one.
  std::vector<std::string> lines() const;

 private:
  Action act(std::string_view key, bool valued, std::string_view given) const;
  bool shown(const ControlDescription& c) const;
  bool enabled(const ControlDescription& c) const;
  std::string caption(const ControlDescription& c) const;
  std::string itemCaption(const ControlDescription& c, std::size_t item) const;
  bool itemEnabled(const ControlDescription& c, std::size_t item) const;
  // What the control is called in a line and in an action: its `name`, else its caption, else
  // the caption of the button that reads it, else its group's; empty when it has none of them.
  std::string name(const ControlDescription& c) const;
  std::string value(const ControlDescription& c) const;
  // The shown controls that print a value (`valued`) or that a bare caption presses, each
  // with the key that names it alone: its name, else GROUP/name, else the name numbered.
  std::vector<std::pair<const ControlDescription*, std::string>> keyed(bool valued) const;

  const PanelDescription& description_;
  std::map<ControlId, std::string> texts_;
  std::map<ControlId, int> values_;
  std::map<ControlId, bool> enabled_;
  std::map<ControlId, bool> shown_;
  std::map<ControlId, std::string> captions_;
  std::map<std::pair<ControlId, std::size_t>, std::string> itemCaptions_;
  std::map<std::pair<ControlId, std::size_t>, bool> itemEnabled_;
  int beeps_ = 0;
  std::optional<CloseReason> closed_;
};

}  // namespace orva::panels
