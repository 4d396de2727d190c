#include "panels/text_panel_view.hpp"

#include <algorithm>
#include <charconv>

namespace orva::panels {
namespace {

// More presses than any stepper has steps is a typing error, not a script.
constexpr int kMaxPresses = 0x10000;

template <typename Map, typename Key, typename Value>
Value lookup(const Map& map, const Key& key, Value fallback) {
  const auto it = map.find(key);
  return it == map.end() ? fallback : it->second;
}

// Captions are padded for the window's layout; a line or an action needs none of that.
std::string trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// `key` is `name` itself, or `group/name`.
bool names(std::string_view key, std::string_view group, std::string_view name) {
  if (name.empty()) return false;
  if (key == name) return true;
  return !group.empty() && key.size() == group.size() + 1 + name.size() && key.starts_with(group) &&
         key[group.size()] == '/' && key.ends_with(name);
}

bool hasValue(ControlKind kind) {
  switch (kind) {
    case ControlKind::Check:
    case ControlKind::Radio:
    case ControlKind::List:
    case ControlKind::Entry:
    case ControlKind::Readout:
    case ControlKind::Slider:
    case ControlKind::Toggle:
    case ControlKind::Stepper: return true;
    default: return false;
  }
}

// A bare name presses these.
bool pressed(ControlKind kind) {
  return kind == ControlKind::Button || kind == ControlKind::Check || kind == ControlKind::Toggle;
}

// NAME=VALUE names these.
bool takesValue(ControlKind kind) {
  switch (kind) {
    case ControlKind::Entry:
    case ControlKind::List:
    case ControlKind::Radio:
    case ControlKind::Slider:
    case ControlKind::Check:
    case ControlKind::Toggle:
    case ControlKind::Stepper: return true;
    default: return false;
  }
}

bool twoState(ControlKind kind) { return kind == ControlKind::Check || kind == ControlKind::Toggle; }

// An arrow that is pressed and let go at once (a level adjuster's burst); held arrows that
// drive the lens are not run from a script.
bool tapped(const ControlDescription& c) { return c.kind == ControlKind::Arrow && c.hold == nullptr; }

// A stepper's presses: "up", "down", "+N", "-N" (N from 1); 0 for anything else.
int presses(std::string_view given) {
  if (given == "up") return 1;
  if (given == "down") return -1;
  if (given.size() < 2 || (given[0] != '+' && given[0] != '-')) return 0;
  int n = 0;
  const auto [end, error] = std::from_chars(given.data() + 1, given.data() + given.size(), n);
  if (error != std::errc() || end != given.data() + given.size() || n < 1 || n > kMaxPresses) return 0;
  return given[0] == '+' ? n : -n;
}

}  // namespace

bool TextPanelView::shown(const ControlDescription& c) const { return lookup(shown_, c.id, true); }
bool TextPanelView::enabled(const ControlDescription& c) const { return lookup(enabled_, c.id, true); }

std::string TextPanelView::caption(const ControlDescription& c) const {
  return trimmed(lookup(captions_, c.id, std::string(c.caption)));
}

std::string TextPanelView::itemCaption(const ControlDescription& c, std::size_t item) const {
  return trimmed(lookup(itemCaptions_, std::pair{c.id, item},
                        item < c.choices.size() ? std::string(c.choices[item].caption) : std::string()));
}

bool TextPanelView::itemEnabled(const ControlDescription& c, std::size_t item) const {
  return lookup(itemEnabled_, std::pair{c.id, item}, true);
}

std::string TextPanelView::name(const ControlDescription& c) const {
  if (!c.name.empty()) return trimmed(c.name);
  if (std::string own = caption(c); !own.empty()) return own;
  for (const auto& other : description_.controls)
    if (other.kind == ControlKind::Button && other.target == c.id) return caption(other);
  if (!c.group.empty()) return trimmed(c.group);
  // A group of radio buttons standing alone is known by its items.
  std::string items;
  if (c.kind == ControlKind::Radio)
    for (std::size_t i = 0; i < c.choices.size(); ++i) items += (i ? "/" : "") + itemCaption(c, i);
  return items;
}

std::string TextPanelView::value(const ControlDescription& c) const {
  switch (c.kind) {
    case ControlKind::Check:
    case ControlKind::Toggle: return lookup(values_, c.id, 0) == 1 ? "on" : "off";
    case ControlKind::Radio:
    case ControlKind::List: {
      const int item = lookup(values_, c.id, -1);
      return item < 0 ? std::string() : itemCaption(c, static_cast<std::size_t>(item));
    }
    case ControlKind::Slider: {
      const auto it = values_.find(c.id);
      return it == values_.end() ? std::string() : std::to_string(it->second);
    }
    default: return lookup(texts_, c.id, std::string());
  }
}

std::vector<std::pair<const ControlDescription*, std::string>> TextPanelView::keyed(bool valued) const {
  std::vector<std::pair<const ControlDescription*, std::string>> out;
  for (const auto& c : description_.controls) {
    if (!shown(c) || (valued ? !hasValue(c.kind) : !pressed(c.kind))) continue;
    if (std::string n = name(c); !n.empty()) out.emplace_back(&c, std::move(n));
  }
  const auto count = [&out](std::string_view key) {
    return std::count_if(out.begin(), out.end(), [key](const auto& k) { return k.second == key; });
  };
  std::vector<std::string> keys;
  for (const auto& [c, n] : out) {
    std::string key = n;
    const std::string group = trimmed(c->group);
    if (count(n) > 1 && !group.empty() && group != n) key = group + "/" + n;
    keys.push_back(std::move(key));
  }
  // Still the same (no caption, or the same group): numbered in the panel's order.
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (std::count(keys.begin(), keys.end(), keys[i]) < 2) continue;
    const std::string shared = keys[i];
    int n = 0;
    for (auto& k : keys)
      if (k == shared) k += " #" + std::to_string(++n);
  }
  for (std::size_t i = 0; i < out.size(); ++i) out[i].second = std::move(keys[i]);
  return out;
}

TextPanelView::Action TextPanelView::action(std::string_view text) const {
  const auto equals = text.find('=');
  // A caption with "=" in it ("IN=>OUT") is taken whole first.
  if (equals != std::string_view::npos) {
    Action whole = act(text, false, {});
    if (!whole.unnamed) return whole;
  }
  return act(text.substr(0, equals), equals != std::string_view::npos,
             equals != std::string_view::npos ? text.substr(equals + 1) : std::string_view());
}

TextPanelView::Action TextPanelView::act(std::string_view key, bool valued, std::string_view given) const {

  struct Match {
    const ControlDescription* control;
    int item;  // a radio item the action selects; -1: the control itself
  };
  std::vector<Match> found;
  for (const auto& [c, k] : keyed(valued))
    if (k == key) found.push_back({c, -1});
  // Else by name alone or by GROUP/NAME, which may name several controls.
  const bool exact = !found.empty();
  for (const auto& c : description_.controls) {
    if (exact || !shown(c)) continue;
    if (valued ? takesValue(c.kind) : pressed(c.kind) || tapped(c)) {
      if (names(key, trimmed(c.group), name(c))) found.push_back({&c, -1});
    } else if (!valued && c.kind == ControlKind::Radio) {
      for (std::size_t i = 0; i < c.choices.size(); ++i) {
        const std::string item = itemCaption(c, i);
        if (names(key, trimmed(c.group), item) || names(key, name(c), item))
          found.push_back({&c, static_cast<int>(i)});
      }
    }
  }
  const std::string quoted = "\"" + std::string(key) + "\"";
  const std::string value = "\"" + std::string(given) + "\"";
  const auto refuse = [](std::string why) { return Action{{}, std::move(why)}; };
  const auto intend = [](Intent i) { return Action{{std::move(i)}, {}}; };
  if (found.empty()) {
    Action none = refuse("no control " + quoted + " on this panel");
    none.unnamed = true;
    return none;
  }
  if (found.size() > 1) return refuse(quoted + " names more than one control; use GROUP/CAPTION");
  const ControlDescription& c = *found.front().control;
  if (c.readOnly) return refuse(quoted + " is shown only");
  if (!enabled(c)) return refuse(quoted + " is disabled");
  if (!valued) {
    if (c.kind == ControlKind::Button) return intend(Intent::click(c.id));
    if (tapped(c)) return {{Intent::press(c.id), Intent::release(c.id)}, {}};
    if (twoState(c.kind)) return intend(Intent::toggle(c.id));
    const auto item = static_cast<std::size_t>(found.front().item);
    if (!itemEnabled(c, item)) return refuse(quoted + " is disabled");
    return intend(Intent::choose(c.id, found.front().item));
  }
  switch (c.kind) {
    case ControlKind::Entry: {
      // An entry its group's one "Set" sends is typed into only: the script presses that Set.
      const bool groupSet = !c.group.empty() && std::any_of(description_.controls.begin(), description_.controls.end(),
                                                            [&c](const auto& o) { return o.setsGroup && o.group == c.group; });
      if (groupSet) return intend(Intent::edit(c.id, std::string(given)));
      return {{Intent::edit(c.id, std::string(given)), Intent::enter(c.id, std::string(given))}, {}};
    }
    case ControlKind::Slider: {
      int position = 0;
      const auto [end, error] = std::from_chars(given.data(), given.data() + given.size(), position);
      if (error != std::errc() || end != given.data() + given.size())
        return refuse(value + " is no position of " + quoted);
      return intend(Intent::choose(c.id, position));
    }
    case ControlKind::Check:
    case ControlKind::Toggle: {
      if (given != "on" && given != "off") return refuse(value + " is neither on nor off for " + quoted);
      // Already so: nothing is sent, as a click is not needed.
      if ((lookup(values_, c.id, 0) == 1) == (given == "on")) return {};
      return intend(Intent::toggle(c.id));
    }
    case ControlKind::Stepper: {
      const int n = presses(given);
      if (n == 0) return refuse(value + " is no step of " + quoted + " (up, down, +N, -N)");
      return {std::vector<Intent>(static_cast<std::size_t>(n < 0 ? -n : n), Intent::step(c.id, n < 0 ? -1 : 1)), {}};
    }
    default: break;
  }
  for (std::size_t i = 0; i < c.choices.size(); ++i) {
    if (itemCaption(c, i) != given) continue;
    if (!itemEnabled(c, i)) return refuse(value + " of " + quoted + " is disabled");
    return intend(Intent::choose(c.id, static_cast<int>(i)));
  }
  return refuse(value + " is not a choice of " + quoted);
}

std::vector<std::string> TextPanelView::lines() const {
  std::vector<std::string> out;
  for (const auto& [c, key] : keyed(true)) out.push_back(key + ": " + value(*c) + (enabled(*c) ? "" : " (disabled)"));
  return out;
}

}  // namespace orva::panels
