#pragma once
// The menu bar drawn from shell::MenuModel: one QAction per item, one QMenu per menu and
// submenu, in the model's order. The model decides what is present, enabled and checked; this
// view only mirrors it, also after a click, which Qt would otherwise let toggle a check mark
// by itself. Choosing an item hands its identifier to the `chosen` callback.
//
// The window thread only, as the model is.
#include <QObject>

#include <functional>
#include <map>
#include <span>

#include "shell/menu_model.hpp"

class QAction;
class QMenu;
class QMenuBar;

namespace orva::gui {

class MenuBarView final : public QObject, public shell::MenuObserver {
  Q_OBJECT

 public:
  MenuBarView(shell::MenuModel& model, QMenuBar& bar, std::function<void(shell::MenuItem)> chosen);
  ~MenuBarView() override;
  MenuBarView(const MenuBarView&) = delete;
  MenuBarView& operator=(const MenuBarView&) = delete;

  QAction* action(shell::MenuItem item) const;
  QMenu* submenu(camera::Submenu submenu) const;

  void menuChanged(const shell::MenuChange& change) override;

 private:
  void build(QMenu& menu, std::span<const shell::Entry> entries);
  QAction* addItem(const shell::Entry& entry, QWidget& into);
  void show(shell::MenuItem item);
  void show(camera::Submenu submenu);

  shell::MenuModel& model_;
  std::function<void(shell::MenuItem)> chosen_;
  std::map<shell::MenuItem, QAction*> actions_;
  std::map<camera::Submenu, QMenu*> submenus_;
};

}  // namespace orva::gui
