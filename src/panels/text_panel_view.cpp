#include "panels/text_panel_view.hpp"

#include <algorithm>
#include <charconv>

namespace orva::panels {
namespace {

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
    case ControlKind::Toggle:
    case ControlKind::Radio:
    case ControlKind::List:
    case ControlKind::Entry:
    case ControlKind::Readout:
    case ControlKind::Slider: return true;
    default: return false;
  }
}

bool twoStates(ControlKind kind) { return kind == ControlKind::Check || kind == ControlKind::Toggle; }

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
    const bool pressed = c.kind == ControlKind::Button || twoStates(c.kind);
    if (!shown(c) || (valued ? !hasValue(c.kind) : !pressed)) continue;
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
  const std::string_view key = text.substr(0, equals);
  // A plain flag and view rather than an optional: GCC at -O2 misreads the optional's state.
  const bool valued = equals != std::string_view::npos;
  const std::string_view given = valued ? text.substr(equals + 1) : std::string_view();

  struct Match {
    const ControlDescription* control;
    int item;  // a radio item the action selects; -1: the control itself
  };
  std::vector<Match> found;
  for (const auto& [c, k] : keyed(valued))
    if (k == key) found.push_back({c, -1});
  // Else by caption alone or by GROUP/CAPTION, which may name several controls.
  const bool exact = !found.empty();
  for (const auto& c : description_.controls) {
    if (exact || !shown(c)) continue;
    if (valued) {
      if ((c.kind == ControlKind::Entry || c.kind == ControlKind::List || c.kind == ControlKind::Radio ||
           c.kind == ControlKind::Slider) &&
          names(key, trimmed(c.group), name(c)))
        found.push_back({&c, -1});
    } else if (c.kind == ControlKind::Button || twoStates(c.kind)) {
      if (names(key, trimmed(c.group), name(c))) found.push_back({&c, -1});
    } else if (c.kind == ControlKind::Radio) {
      for (std::size_t i = 0; i < c.choices.size(); ++i) {
        const std::string item = itemCaption(c, i);
        if (names(key, trimmed(c.group), item) || names(key, name(c), item))
          found.push_back({&c, static_cast<int>(i)});
      }
    }
  }
  const std::string quoted = "\"" + std::string(key) + "\"";
  if (found.empty()) return {std::nullopt, "no control " + quoted + " on this panel"};
  if (found.size() > 1) return {std::nullopt, quoted + " names more than one control; use GROUP/CAPTION"};
  const ControlDescription& c = *found.front().control;
  if (!enabled(c)) return {std::nullopt, quoted + " is disabled"};
  if (c.readOnly) return {std::nullopt, quoted + " is shown only"};
  if (!valued) {
    if (c.kind == ControlKind::Button) return {Intent::click(c.id), {}};
    if (twoStates(c.kind)) return {Intent::toggle(c.id), {}};
    const auto item = static_cast<std::size_t>(found.front().item);
    if (!itemEnabled(c, item)) return {std::nullopt, quoted + " is disabled"};
    return {Intent::choose(c.id, found.front().item), {}};
  }
  if (c.kind == ControlKind::Entry) return {Intent::enter(c.id, std::string(given)), {}};
  if (c.kind == ControlKind::Slider) {
    int position = 0;
    const auto [end, error] = std::from_chars(given.data(), given.data() + given.size(), position);
    if (error != std::errc() || end != given.data() + given.size())
      return {std::nullopt, "\"" + std::string(given) + "\" is no position of " + quoted};
    return {Intent::choose(c.id, position), {}};
  }
  for (std::size_t i = 0; i < c.choices.size(); ++i) {
    if (itemCaption(c, i) != given) continue;
    if (!itemEnabled(c, i)) return {std::nullopt, "\"" + std::string(given) + "\" of " + quoted + " is disabled"};
    return {Intent::choose(c.id, static_cast<int>(i)), {}};
  }
  return {std::nullopt, "\"" + std::string(given) + "\" is not a choice of " + quoted};
}

std::vector<std::string> TextPanelView::lines() const {
  std::vector<std::string> out;
  for (const auto& [c, key] : keyed(true)) out.push_back(key + ": " + value(*c) + (enabled(*c) ? "" : " (disabled)"));
  return out;
}

}  // namespace orva::panels
