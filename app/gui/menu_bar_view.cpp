#include "menu_bar_view.hpp"
#include "qt_text.hpp"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace orva::gui {
namespace {

}  // namespace

MenuBarView::MenuBarView(shell::MenuModel& model, QMenuBar& bar, std::function<void(shell::MenuItem)> chosen)
    : QObject(&bar), model_(model), chosen_(std::move(chosen)) {
  for (const shell::Entry& entry : shell::menuBar()) {
    switch (entry.kind) {
      case shell::EntryKind::Submenu: {
        QMenu* menu = bar.addMenu(qs(entry.caption));
        build(*menu, entry.menu->entries);
        break;
      }
      case shell::EntryKind::Item: addItem(entry, bar); break;
      case shell::EntryKind::Separator: bar.addSeparator(); break;
    }
  }
  for (const auto& [item, action] : actions_) show(item);
  for (const auto& [gate, menu] : submenus_) show(gate);
  model_.subscribe(*this);
}

MenuBarView::~MenuBarView() { model_.unsubscribe(*this); }

void MenuBarView::build(QMenu& menu, std::span<const shell::Entry> entries) {
  for (const shell::Entry& entry : entries) {
    switch (entry.kind) {
      case shell::EntryKind::Item: addItem(entry, menu); break;
      case shell::EntryKind::Separator: menu.addSeparator(); break;
      case shell::EntryKind::Submenu: {
        QMenu* sub = menu.addMenu(qs(entry.caption));
        if (entry.menu->gate) submenus_[*entry.menu->gate] = sub;
        build(*sub, entry.menu->entries);
        break;
      }
    }
  }
}

QAction* MenuBarView::addItem(const shell::Entry& entry, QWidget& into) {
  auto* action = new QAction(qs(entry.caption), &into);
  into.addAction(action);
  const shell::MenuItem item = entry.item;
  actions_[item] = action;
  connect(action, &QAction::triggered, this, [this, item] {
    // Undo Qt's own toggle first: only the command sets a check mark.
    show(item);
    if (chosen_) chosen_(item);
  });
  return action;
}

QAction* MenuBarView::action(shell::MenuItem item) const {
  const auto it = actions_.find(item);
  return it == actions_.end() ? nullptr : it->second;
}

QMenu* MenuBarView::submenu(camera::Submenu submenu) const {
  const auto it = submenus_.find(submenu);
  return it == submenus_.end() ? nullptr : it->second;
}

void MenuBarView::menuChanged(const shell::MenuChange& change) {
  for (const shell::MenuItem item : change.items) show(item);
  for (const camera::Submenu gate : change.submenus) show(gate);
}

void MenuBarView::show(shell::MenuItem item) {
  QAction* action = this->action(item);
  if (action == nullptr) return;
  const shell::EntryState state = model_.state(item);
  action->setVisible(state.present);
  action->setEnabled(state.enabled);
  // Only a checked item carries a mark, as in the menus the operator knows.
  action->setCheckable(state.checked);
  action->setChecked(state.checked);
}

void MenuBarView::show(camera::Submenu gate) {
  if (QMenu* menu = submenu(gate)) menu->menuAction()->setEnabled(model_.enabled(gate));
}

}  // namespace orva::gui
