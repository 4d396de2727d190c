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
  Radio,    // one of its choices, as buttons
  List,     // one of its choices, as a drop-down list
  Entry,    // a number the operator types and sends
  Readout,  // a number shown, not edited
  Slider,   // a position between minimum and maximum
  Button,   // reads its target readout, or runs the panel's own action
  Arrow,    // press and hold
  Close,    // "CLOSE"
};

struct Choice {
  std::string_view caption;
  ProtocolValue value;
};

struct Binding {
  camera::Setting setting;
  // The register bits a check, radio group or list owns, in EAP and, for a setting the AFP
  // gateway carries, in AFP too; 0: all.
  std::uint32_t eapMask = 0;
};

// What a control shows after its write failed.
enum class OnWriteFailure : std::uint8_t {
  KeepCamera,    // what the camera had: the control is not updated
  ShowOperator,  // what the operator set
};

using ModelTest = bool (*)(const camera::ModelRecord&, link::Protocol);
// Captions of a radio group's buttons or a list's entries, set when the panel opens.
using ItemCaptions = std::vector<std::string> (*)(const camera::ModelRecord&);

struct ControlDescription {
  ControlId id = 0;
  ControlKind kind = ControlKind::Label;
  std::string_view caption;
  std::optional<Binding> binding;
  bool readOnOpen = true;
  ProtocolValue off{0, 1};          // Check
  ProtocolValue on{1, 2};           // Check
  std::span<const Choice> choices;  // Radio, List
  Format format = Format::Hex2;     // Entry, Readout
  std::uint32_t minimum = 0;        // Entry, Slider
  std::uint32_t maximum = 0xFF;     // Entry, Slider
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
  std::string_view group;
  std::uint8_t column = 0;

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
};

struct PanelDescription {
  PanelId id = PanelId::CameraType;
  std::string_view title;    // the window's title
  std::string_view heading;  // written as "<< heading >>" when the panel opens; empty: none
  bool checksPort = true;    // the port guard runs on open
  bool marksBusy = false;    // the main window's busy marking while open
  std::span<const ControlDescription> controls;
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

constexpr ControlDescription list(ControlId id, std::string_view caption, Binding binding,
                                  std::span<const Choice> choices) {
  ControlDescription c = radio(id, caption, binding, choices);
  c.kind = ControlKind::List;
  return c;
}

constexpr ControlDescription entry(ControlId id, std::string_view caption, Binding binding, Format format,
                                   std::uint32_t minimum, std::uint32_t maximum) {
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

constexpr ControlDescription slider(ControlId id, Binding binding, std::uint32_t minimum, std::uint32_t maximum) {
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

constexpr ControlDescription closeButton(ControlId id, std::string_view caption) {
  ControlDescription c = label(id, caption);
  c.kind = ControlKind::Close;
  return c;
}

}  // namespace orva::panels
