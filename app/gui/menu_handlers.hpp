#pragma once
// The commands behind the menu items, by item. Each part of the program registers the
// commands it owns; an item with none is reported to the operator by the window.
#include <functional>
#include <map>

#include "shell/menu_model.hpp"

namespace orva::gui {

class MenuHandlers {
 public:
  using Handler = std::function<void()>;

  void set(shell::MenuItem item, Handler handler) { handlers_[item] = std::move(handler); }
  bool has(shell::MenuItem item) const { return handlers_.contains(item); }
  // False when the item has no command.
  bool run(shell::MenuItem item) const {
    const auto it = handlers_.find(item);
    if (it == handlers_.end()) return false;
    // A copy: the command may replace its own handler.
    const Handler handler = it->second;
    handler();
    return true;
  }

 private:
  std::map<shell::MenuItem, Handler> handlers_;
};

}  // namespace orva::gui
