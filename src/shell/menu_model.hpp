#pragma once
// The main window's menu bar as data: its menus, items, separators and submenus, and the
// state of every item (present, enabled, checked) as the configuration, the start switches,
// the connected camera and the open panels decide it.
//
// The structure is fixed: menuBar() walks it, findEntry() looks an item up. The state lives
// in MenuModel, which keeps it in the form the model gating takes and gives
// (camera::MenuState), so connecting and disconnecting hand that state to the gating
// functions and take their result back; nothing here decides what a model offers.
// Renderers subscribe and mirror the entries they are told have changed.
//
// Check marks change only when a caller sets them. A command that writes to the camera sets
// its mark after the write succeeded, so a failed write leaves the menu showing what the
// camera still has.
//
// Not thread-safe: the window thread owns the menus, as it owns every window.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "camera/gating.hpp"
#include "camera/model_record.hpp"
#include "shell/settings.hpp"

namespace orva::shell {

using camera::MenuItem;

// ---- the start switches

struct StartSwitches {
  bool factory = false;        // "/F" or "/FS": "Camera Setup Utility" stays in the SETUP menu
  bool secondFactory = false;  // "/FS": read by the camera setup utility
  bool noCamera = false;       // "/DS": when no camera answers, one is simulated
};

// A switch counts wherever it stands, but only when the end of the line or a blank follows
// it: "/FX" is no factory switch, "/F" at the very end is.
StartSwitches parseStartSwitches(std::string_view commandLine);
// The program's arguments, read as one command line with a blank between them.
StartSwitches parseStartSwitches(std::span<const std::string_view> arguments);

// What the model gating needs of the configuration and the start switches.
camera::GatingSwitches gatingSwitches(const Settings& settings, const StartSwitches& start);

// ---- the structure

enum class EntryKind : std::uint8_t { Item, Separator, Submenu };

struct Menu;

struct Entry {
  EntryKind kind = EntryKind::Separator;
  std::string_view caption;     // empty for a separator
  MenuItem item{};              // EntryKind::Item only
  const Menu* menu = nullptr;   // EntryKind::Submenu only
};

struct Menu {
  std::string_view caption;
  // The submenus enabled and greyed as a whole; the menus of the bar are always enabled.
  std::optional<camera::Submenu> gate;
  std::span<const Entry> entries;
};

// The bar from left to right: the six menus, then the "Motor Test" command, which is present
// only when the configuration asks for it.
std::span<const Entry> menuBar();
// Every item is in the bar exactly once.
const Entry& findEntry(MenuItem item);
const Menu& findMenu(camera::Submenu submenu);

// ---- the state

struct EntryState {
  bool present = true;  // false: taken out of its menu
  bool enabled = false;
  bool checked = false;
  friend bool operator==(const EntryState&, const EntryState&) = default;
};

// Which entries a change touched, in the order of camera::menuItems().
struct MenuChange {
  std::vector<MenuItem> items;
  std::vector<camera::Submenu> submenus;
};

class MenuObserver {
 public:
  virtual ~MenuObserver() = default;
  // Called after the state changed, never for a change that left every entry as it was.
  virtual void menuChanged(const MenuChange& change) = 0;
};

class MenuModel {
 public:
  // The menu bar at start: the configuration removes and greys items, the factory switch
  // keeps "Camera Setup Utility" (greyed), the demonstration and protocol items are checked.
  MenuModel(const Settings& settings, const StartSwitches& start);
  MenuModel(const MenuModel&) = delete;
  MenuModel& operator=(const MenuModel&) = delete;

  // What a renderer shows. An item inside a greyed submenu keeps its own state.
  EntryState state(MenuItem item) const;
  bool enabled(camera::Submenu submenu) const;
  // Either kind of entry; separators are always present and never enabled.
  EntryState state(const Entry& entry) const;

  // The state as the gating functions take it (without what a busy lock greys).
  const camera::MenuState& gatingState() const { return menu_; }

  // The MODEL, SETUP and File menus for an identified camera (camera::menuGating).
  void applyModel(const camera::ModelRecord& record, const camera::IdentificationFlags& flags,
                  const camera::GatingSwitches& sw, const camera::SettingReader& read);
  // A connection made: the model applied, "Serial Port..." enabled, and the "Protocol Type"
  // submenu offered, with both items, only to a camera whose menu word says it switches.
  void connected(const camera::ModelRecord& record, const camera::IdentificationFlags& flags,
                 const camera::GatingSwitches& sw, const camera::SettingReader& read);
  // The menu part of camera::disableForDisconnect at a disconnect or a failed connect:
  // "Serial Port..." enabled again, "Protocol Type" greyed and, the log file being closed,
  // the check taken off "Log File".
  void disconnected(const camera::Disconnected& disabled);
  // The same menu part while the line stays open (a panel holding the camera): connected()
  // gives the model's items back.
  void modelItemsDisabled(const camera::Disconnected& disabled) { apply(disabled.menu); }

  // Check marks, set by the commands once what they stand for is true.
  void setChecked(MenuItem item, bool checked);
  // Checks `item` and unchecks the others of its choice ("NTSC" / "PAL", the CAMERA MODE
  // items, ...); an item that belongs to no choice is just checked.
  void checkInGroup(MenuItem item);
  void setEnabled(MenuItem item, bool enabled);

  // Greys an item or a submenu, whatever the gating says, until it is let go; let go, it
  // shows what the gating says by then. For what an open panel or a session flag holds.
  void setHeld(MenuItem item, bool held);
  void setHeld(camera::Submenu submenu, bool held);

  // True while a MenuBusyLock exists.
  bool busy() const { return busyLocks_ > 0; }

  // The observer must unsubscribe before it goes.
  void subscribe(MenuObserver& observer);
  void unsubscribe(MenuObserver& observer);

 private:
  friend class MenuBusyLock;

  struct Shown {
    std::array<EntryState, camera::kMenuItemCount> items{};
    std::array<bool, camera::kSubmenuCount> submenus{};
  };
  Shown shown() const;
  void publish(const Shown& before);
  void apply(const camera::MenuState& next);
  void lock();
  void unlock();
  bool held(MenuItem item) const;

  camera::MenuState menu_;
  int busyLocks_ = 0;
  std::vector<MenuItem> heldItems_;
  std::array<bool, camera::kSubmenuCount> heldSubmenus_{};
  std::vector<MenuObserver*> observers_;
};

// While a panel or a run is active, "Serial Port...", "Camera Setup Utility" and the CCD
// DRIVE MODE submenu are greyed. When the last lock goes, each shows again what it would
// show without locks, so an item that was greyed before stays greyed. Locks nest.
class MenuBusyLock {
 public:
  explicit MenuBusyLock(MenuModel& menus);
  ~MenuBusyLock();
  MenuBusyLock(const MenuBusyLock&) = delete;
  MenuBusyLock& operator=(const MenuBusyLock&) = delete;

 private:
  MenuModel& menus_;
};

}  // namespace orva::shell
