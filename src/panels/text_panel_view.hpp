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

  // What an action names: the intent it stands for, or why there is none.
  struct Action {
    std::optional<Intent> intent;
    std::string refusal;
  };
  // "CAPTION" presses a button, selects a radio item or toggles a check or toggle button (by
  // its name where it has one); "CAPTION=VALUE" types VALUE into an entry (its "Set"), or
  // chooses the list or radio item with that text, or moves a slider; "GROUP/CAPTION" picks
  // among controls with the same caption. Hidden controls are not there; a disabled or
  // read-only control, or a disabled item, is refused.
  Action action(std::string_view text) const;

  // Every shown control with a value, in the description's order: "Caption: value", a check
  // or toggle as on/off, a radio group or list as its selected item, " (disabled)" after a disabled one.
  std::vector<std::string> lines() const;

 private:
  bool shown(const ControlDescription& c) const;
  bool enabled(const ControlDescription& c) const;
  std::string caption(const ControlDescription& c) const;
  std::string itemCaption(const ControlDescription& c, std::size_t item) const;
  bool itemEnabled(const ControlDescription& c, std::size_t item) const;
  // What the control is called in a line and in an action: its caption, else the caption of
  // the button that reads it, else its group's; empty when it has none of them.
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
