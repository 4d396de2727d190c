#pragma once
// Panels as data: the controls of a panel, their captions, ranges and formats, and the camera
// setting each one shows and changes. PanelLogic runs a description; the renderer builds the
// window from the same description (one generic dialog, with the custom widgets the
// descriptions name: arrows, sliders).
//
// A control bound to a setting shows the camera's value, read when the panel opens (unless it
// is read on request), and writes the setting when the operator changes it. Checks, radio
// groups and lists map the camera's values to items through ProtocolValues, so each protocol
// keeps its own numbering; in EAP, and in AFP for a register the gateway carries, a mask
// gives the register bits the control owns, and a change rewrites those bits only.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "camera/model_record.hpp"
#include "camera/setting.hpp"
#include "link/link.hpp"
#include "panels/camera_access.hpp"
#include "panels/formats.hpp"
#include "panels/hold_button.hpp"
#include "panels/panel_id.hpp"
#include "panels/panel_view.hpp"

namespace orva::panels {

enum class ControlKind : std::uint8_t {
  Label,    // a caption only
  Check,    // on or off
  Radio,    // one of its choices, as buttons (without a binding: the panel's own choice, as
            // "COARSE" / "FINE", kept and shown by the logic and written nowhere)
  List,     // one of its choices, as a drop-down list
  Entry,    // a number the operator types and sends
  Readout,  // a number shown, not edited
  Slider,   // a position between minimum and maximum
  Button,   // reads its target readout, or runs the panel's own action
  Arrow,    // press and hold
  Close,    // "CLOSE"
  // A push-like check button: pressed or released. Its caption may follow its state
  // (`onCaption` / `offCaption`, "EIS ON " / "EIS OFF").
  Toggle,
  // A number the logic owns and the operator steps with up/down arrows: each press is
  // Intent::step(n) for n steps of `step`; the value stays in [minimum, maximum] (clamped, or
  // wrapped round with `wrap`) and is written when it changed. Shown in `format`.
  Stepper,
};

struct Choice {
  std::string_view caption = {};
  ProtocolValue value = {};
  // The item's part of the control's heading (HeadingItem::Choice); empty: none.
  std::string_view heading = {};
};

struct Binding {
  camera::Setting setting = {};
  // The register bits a check, radio group or list owns, in EAP and, for a setting the AFP
  // gateway carries, in AFP too; 0: all.
  std::uint32_t eapMask = 0;
};

// What a control shows after its write failed.
enum class OnWriteFailure : std::uint8_t {
  KeepCamera,    // what the camera had: the control is not updated
  ShowOperator,  // what the operator set
  ClosePanel,    // nothing more: the panel closes (the link has said why)
};

// The heading line a control writes when the operator changes it: the control's `heading`
// text followed by the chosen item's part, as "<< text >>" with a blank line before it (the
// monitor's heading form). None when both parts are empty.
enum class HeadingItem : std::uint8_t {
  None,     // the control's text alone
  Choice,   // followed by the chosen Choice's `heading`
  Caption,  // followed by the caption the item shows now (lists whose entries vary by model;
            // a check or toggle: its on/off caption)
};
enum class HeadingWhen : std::uint8_t {
  AfterWrite,   // only after the write succeeded
  BeforeWrite,  // before the write, whatever comes of it
};

using ModelTest = bool (*)(const camera::ModelRecord&, link::Protocol);
// The test of controls the camera takes in register form only (greyed under AFP).
inline bool speaksEap(const camera::ModelRecord&, link::Protocol p) { return p == link::Protocol::Eap; }

// A register the AFP gateway carries, by its width.
constexpr camera::Setting reg8(std::uint16_t address) { return camera::registerSetting(address, 8); }
constexpr camera::Setting reg16(std::uint16_t address) { return camera::registerSetting(address, 16); }
// Captions of a radio group's buttons or a list's entries, set when the panel opens.
using ItemCaptions = std::vector<std::string> (*)(const camera::ModelRecord&);

struct ControlDescription {
  ControlId id = 0;
  ControlKind kind = ControlKind::Label;
  std::string_view caption = {};
  // What scripts and the text renderer call the control when its caption is empty or changes
  // with its state ("EIS" for the toggle captioned "EIS ON " / "EIS OFF"); empty: the caption.
  std::string_view name = {};
  std::optional<Binding> binding = {};
  bool readOnOpen = true;
  ProtocolValue off{0, 1};          // Check
  ProtocolValue on{1, 2};           // Check
  std::span<const Choice> choices = {};  // Radio, List
  Format format = Format::Hex2;     // Entry, Readout
  std::int64_t minimum = 0;         // Entry, Slider, Stepper (a stepper may go below 0)
  std::int64_t maximum = 0xFF;      // Entry, Slider, Stepper
  std::uint32_t step = 1;           // Stepper: what one press adds
  // Entry, Readout: the camera holds the shown value times `scale` (a gain in whole dB the
  // camera keeps in 1/32 dB); shown values are truncated, ranges are of the shown value.
  std::uint32_t scale = 1;
  bool wrap = false;                // Stepper: past one end comes the other
  // Check, Toggle: the captions of the two states; empty: the caption stays.
  std::string_view offCaption = {};
  std::string_view onCaption = {};
  // The item a value outside the choices selects (Radio, List); -1: none.
  int otherwise = -1;
  // Shown, never edited: the renderer shows it without taking the operator's changes
  // (status readouts drawn as lists, toggles and fields).
  bool readOnly = false;
  // Entry: a refused text sends nothing without the beep.
  bool quietRefusal = false;
  // The panel's own handling of the control (PanelLogic::handle) runs holding the operation
  // slot, taken by the framework first; while the slot is taken the intent is let go. A
  // description's own writes always hold it.
  bool takesSlot = false;
  // Button: sends every entry of its group (the entries with the same group caption) at once:
  // all of them are checked first, and one refused text refuses them all.
  bool setsGroup = false;
  // The heading written when the operator changes it (a toggle, a choice, an entry's "Set",
  // a step); see HeadingItem and HeadingWhen.
  std::string_view heading = {};
  HeadingItem headingItem = HeadingItem::None;
  HeadingWhen headingWhen = HeadingWhen::AfterWrite;
  // Entry: up and down arrows step the decimal value, each step entered at once (no "Set").
  bool spin = false;
  ControlId target = 0;             // Button: the readout it reads; 0: none
  const HoldCommand* hold = nullptr;       // Arrow
  ArrowRole arrow = ArrowRole::ZoomWide;   // Arrow
  OnWriteFailure onFailure = OnWriteFailure::KeepCamera;
  ModelTest enabledWhen = nullptr;  // none: always enabled
  ModelTest shownWhen = nullptr;    // none: always shown
  ItemCaptions itemCaptions = nullptr;
  // Where the renderer puts it: controls in a row with the same group caption share one group
  // box (empty: none), and a panel lays out in columns from left to right (0 first).
  std::string_view group = {};
  std::uint8_t column = 0;
  bool beside = false;  // on the same row as the control before it (a preset's key and its "Preset")

  constexpr ControlDescription enabledFor(ModelTest test) const {
    auto c = *this;
    c.enabledWhen = test;
    return c;
  }
  constexpr ControlDescription shownFor(ModelTest test) const {
    auto c = *this;
    c.shownWhen = test;
    return c;
  }
  constexpr ControlDescription withItemCaptions(ItemCaptions captions) const {
    auto c = *this;
    c.itemCaptions = captions;
    return c;
  }
  constexpr ControlDescription keepingOperatorValue() const {
    auto c = *this;
    c.onFailure = OnWriteFailure::ShowOperator;
    return c;
  }
  constexpr ControlDescription inGroup(std::string_view groupCaption, std::uint8_t atColumn = 0) const {
    auto c = *this;
    c.group = groupCaption;
    c.column = atColumn;
    return c;
  }
  constexpr ControlDescription besidePrevious() const {
    auto c = *this;
    c.beside = true;
    return c;
  }
  constexpr ControlDescription inColumn(std::uint8_t atColumn) const {
    auto c = *this;
    c.column = atColumn;
    return c;
  }
  constexpr ControlDescription withSpin() const {
    auto c = *this;
    c.spin = true;
    return c;
  }
  constexpr ControlDescription readOnRequest() const {
    auto c = *this;
    c.readOnOpen = false;
    return c;
  }
  constexpr ControlDescription named(std::string_view scriptName) const {
    auto c = *this;
    c.name = scriptName;
    return c;
  }
  constexpr ControlDescription withHeading(std::string_view text, HeadingItem item = HeadingItem::None,
                                           HeadingWhen when = HeadingWhen::AfterWrite) const {
    auto c = *this;
    c.heading = text;
    c.headingItem = item;
    c.headingWhen = when;
    return c;
  }
  constexpr ControlDescription closingOnFailure() const {
    auto c = *this;
    c.onFailure = OnWriteFailure::ClosePanel;
    return c;
  }
  constexpr ControlDescription shownOnly() const {
    auto c = *this;
    c.readOnly = true;
    return c;
  }
  constexpr ControlDescription takingSlot() const {
    auto c = *this;
    c.takesSlot = true;
    return c;
  }
  constexpr ControlDescription refusingQuietly() const {
    auto c = *this;
    c.quietRefusal = true;
    return c;
  }
  constexpr ControlDescription scaledBy(std::uint32_t factor) const {
    auto c = *this;
    c.scale = factor;
    return c;
  }
  constexpr ControlDescription otherwiseItem(int item) const {
    auto c = *this;
    c.otherwise = item;
    return c;
  }
};

struct PanelDescription {
  PanelId id = PanelId::CameraType;
  std::string_view title = {};    // the window's title
  std::string_view heading = {};  // written as "<< heading >>" when the panel opens; empty: none
  bool checksPort = true;    // the port guard runs on open
  bool marksBusy = false;    // the main window's busy marking while open
  std::span<const ControlDescription> controls = {};
  // Written as "<< closingHeading >>" when the operator closes the panel; empty: none.
  std::string_view closingHeading = {};
};

// ---- building descriptions

constexpr ControlDescription label(ControlId id, std::string_view caption) {
  ControlDescription c;
  c.id = id;
  c.caption = caption;
  return c;
}

constexpr ControlDescription check(ControlId id, std::string_view caption, Binding binding, ProtocolValue off,
                                   ProtocolValue on) {
  ControlDescription c = label(id, caption);
  c.kind = ControlKind::Check;
  c.binding = std::optional<Binding>(binding);
  c.off = off;
  c.on = on;
  return c;
}

constexpr ControlDescription radio(ControlId id, std::string_view caption, Binding binding,
                                   std::span<const Choice> choices) {
  ControlDescription c = label(id, caption);
  c.kind = ControlKind::Radio;
  c.binding = std::optional<Binding>(binding);
  c.choices = choices;
  return c;
}

// Radio buttons the panel keeps for itself ("COARSE" / "FINE"): chosen and shown by the logic,
// written nowhere; the panel learns of a choice in afterWrite().
constexpr ControlDescription ownChoice(ControlId id, std::string_view caption, std::span<const Choice> choices) {
  ControlDescription c = label(id, caption);
  c.kind = ControlKind::Radio;
  c.choices = choices;
  return c;
}

// The same as a list.
constexpr ControlDescription ownList(ControlId id, std::string_view caption, std::span<const Choice> choices) {
  ControlDescription c = ownChoice(id, caption, choices);
  c.kind = ControlKind::List;
  return c;
}

// A check box the panel keeps for itself (a preset's "Memory" key): ticked and unticked by the
// logic, written nowhere; `name` tells apart keys with the same caption.
constexpr ControlDescription ownCheck(ControlId id, std::string_view caption, std::string_view name) {
  ControlDescription c = label(id, caption).named(name);
  c.kind = ControlKind::Check;
  c.off = {0, 0};
  c.on = {1, 1};
  return c;
}

constexpr ControlDescription list(ControlId id, std::string_view caption, Binding binding,
                                  std::span<const Choice> choices) {
  ControlDescription c = radio(id, caption, binding, choices);
  c.kind = ControlKind::List;
  return c;
}

constexpr ControlDescription entry(ControlId id, std::string_view caption, Binding binding, Format format,
                                   std::int64_t minimum, std::int64_t maximum) {
  ControlDescription c = label(id, caption);
  c.kind = ControlKind::Entry;
  c.binding = std::optional<Binding>(binding);
  c.format = format;
  c.minimum = minimum;
  c.maximum = maximum;
  return c;
}

constexpr ControlDescription readout(ControlId id, Binding binding, Format format) {
  ControlDescription c;
  c.id = id;
  c.kind = ControlKind::Readout;
  c.binding = std::optional<Binding>(binding);
  c.format = format;
  return c;
}

constexpr ControlDescription slider(ControlId id, Binding binding, std::int64_t minimum, std::int64_t maximum) {
  ControlDescription c;
  c.id = id;
  c.kind = ControlKind::Slider;
  c.binding = std::optional<Binding>(binding);
  c.minimum = minimum;
  c.maximum = maximum;
  return c;
}

// A button whose action is the panel's own code (PanelLogic::handle).
constexpr ControlDescription button(ControlId id, std::string_view caption) {
  ControlDescription c = label(id, caption);
  c.kind = ControlKind::Button;
  return c;
}

// The one "Set" of a group of entries (the group caption it is placed in).
constexpr ControlDescription groupSetButton(ControlId id, std::string_view caption, std::string_view groupCaption,
                                            std::uint8_t column = 0) {
  ControlDescription c = button(id, caption).inGroup(groupCaption, column);
  c.setsGroup = true;
  return c;
}

constexpr ControlDescription readButton(ControlId id, std::string_view caption, ControlId target) {
  ControlDescription c = button(id, caption);
  c.target = target;
  return c;
}

constexpr ControlDescription arrow(ControlId id, ArrowRole role, const HoldCommand& command) {
  ControlDescription c;
  c.id = id;
  c.kind = ControlKind::Arrow;
  c.arrow = role;
  c.hold = &command;
  return c;
}

// A level adjuster's arrow (LevelDown, LevelUp): its press is the panel's own (a burst of
// steps, PanelLogic::adjustLevel); `name` is what scripts call it ("DOWN", "UP").
constexpr ControlDescription levelArrow(ControlId id, ArrowRole role, std::string_view name) {
  ControlDescription c;
  c.id = id;
  c.kind = ControlKind::Arrow;
  c.arrow = role;
  c.name = name;
  return c;
}

constexpr ControlDescription closeButton(ControlId id, std::string_view caption) {
  ControlDescription c = label(id, caption);
  c.kind = ControlKind::Close;
  return c;
}

// A push-like check button; `name` is what scripts call it.
constexpr ControlDescription toggle(ControlId id, std::string_view name, Binding binding, ProtocolValue off,
                                    ProtocolValue on, std::string_view offCaption, std::string_view onCaption) {
  ControlDescription c = check(id, onCaption, binding, off, on);
  c.kind = ControlKind::Toggle;
  c.name = name;
  c.offCaption = offCaption;
  c.onCaption = onCaption;
  return c;
}

constexpr ControlDescription stepper(ControlId id, std::string_view caption, Binding binding, Format format,
                                     std::int64_t minimum, std::int64_t maximum, std::uint32_t step = 1) {
  ControlDescription c = entry(id, caption, binding, format, minimum, maximum);
  c.kind = ControlKind::Stepper;
  c.step = step;
  return c;
}

}  // namespace orva::panels
