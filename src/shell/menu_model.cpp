#include "shell/menu_model.hpp"

#include <algorithm>
#include <string>

namespace orva::shell {
namespace {

using M = MenuItem;
using camera::Submenu;

constexpr Entry item(MenuItem id, std::string_view caption) { return {EntryKind::Item, caption, id, nullptr}; }
constexpr Entry sub(const Menu& menu) { return {EntryKind::Submenu, menu.caption, {}, &menu}; }
constexpr Entry kSeparator{};

// ---- the bar, as the window shows it

constexpr std::array kFileEntries{
    item(M::LogFile, "Log File"),
    item(M::SendFile, "Send File..."),
    kSeparator,
    item(M::CameraDataRead, "Camera Data Read -> File"),
    item(M::CameraDataWrite, "Camera Data Write <- File"),
    item(M::PresetDataOpen, "Preset Data OPEN"),
    item(M::PresetDataSave, "Preset Data SAVE"),
    item(M::AdrTrans, "ADR Trans..."),
    kSeparator,
    item(M::Exit, "Exit"),
};

constexpr std::array kProtocolEntries{item(M::AfpSelect, "AFP select"), item(M::EapSelect, "EAP select")};
constexpr Menu kProtocolMenu{"Protocol Type", Submenu::ProtocolType, kProtocolEntries};

constexpr std::array kSetupEntries{
    item(M::SerialPort, "Serial Port..."),
    kSeparator,
    item(M::CameraSetupUtility, "Camera Setup Utility"),
    item(M::EisSetup, "EIS Setup"),
    sub(kProtocolMenu),
};

constexpr std::array kClsEntries{item(M::ClearScreen, "Clear Screen"), kSeparator,
                                 item(M::RsBufferClear, "RS Buffer Clear")};

constexpr std::array kDemoEntries{
    item(M::WaitTime3s, "Wait Time 3s"), item(M::WaitTime5s, "Wait Time 5s"), kSeparator,
    item(M::OneTime, "One TIME"),        item(M::InfLoop, "Inf. LOOP"),       item(M::LimitedLoop, "Limited LOOP"),
};

constexpr std::array kDisplayModeEntries{item(M::ExtKeyDisplayMode, "Ext.Key Display mode"),
                                         item(M::PrivacyMaskMode, "PRIVACY MASK mode")};
constexpr std::array kCcdDriveEntries{item(M::ProgressiveMode, "Progressive mode"),
                                      item(M::InterlaceMode, "Interlace mode")};
constexpr std::array kOutputEntries{item(M::DigitalOut, "DIGITAL OUT"), item(M::AnalogOut, "ANALOG OUT")};
constexpr std::array kCameraModeEntries{
    item(M::Mode1_720Line, "MODE-1 (720Line)"),
    item(M::Mode2_960Line, "MODE-2 (960Line)"),
    item(M::Mode1080_60p, "1080 60p"),
    item(M::Mode1080_5994p, "1080 59.94p"),
    item(M::Mode1080_50p, "1080 50p"),
    item(M::Mode1080_30p, "1080 30p"),
    item(M::Mode1080_2997p, "1080 29.97p"),
    item(M::Mode1080_25p, "1080 25p"),
    item(M::Mode1080_60i, "1080 60i"),
    item(M::Mode1080_5994i, "1080 59.94i"),
    item(M::Mode1080_50i, "1080 50i"),
    item(M::Mode1080_60iFrameOut, "1080 60i frame out (30PsF)"),
    item(M::Mode1080_50iFrameOut, "1080 50i frame out (25PsF)"),
    item(M::Mode720_60p, "720 60p"),
    item(M::Mode720_5994p, "720 59.94p"),
    item(M::Mode720_50p, "720 50p"),
    item(M::Mode720_30p, "720 30p"),
    item(M::Mode720_25p, "720 25p"),
};
constexpr std::array kClockEntries{item(M::Clock36MHz, "36MHz"), item(M::Clock30MHz, "30MHz"),
                                   item(M::Clock27MHz, "27MHz"), item(M::Clock28_5MHz, "28.5MHz")};
constexpr std::array kGainUpEntries{item(M::GainNormal, "NORMAL"), item(M::GainHighSensitivity, "HIGH-SENSITIVITY")};

constexpr Menu kDisplayModeMenu{"DISPLAY MODE", Submenu::DisplayMode, kDisplayModeEntries};
constexpr Menu kCcdDriveMenu{"CCD DRIVE MODE", Submenu::CcdDriveMode, kCcdDriveEntries};
constexpr Menu kOutputMenu{"OUTPUT MODE", Submenu::OutputMode, kOutputEntries};
constexpr Menu kCameraModeMenu{"CAMERA MODE", Submenu::CameraMode, kCameraModeEntries};
constexpr Menu kClockMenu{"CLOCK", Submenu::Clock, kClockEntries};
constexpr Menu kGainUpMenu{"GAIN UP MODE", Submenu::GainUpMode, kGainUpEntries};

// The six submenus stand at positions 6 to 11: they are enabled and greyed by position.
constexpr std::array kModelEntries{
    item(M::Ntsc, "NTSC"),
    item(M::Pal, "PAL"),
    kSeparator,
    item(M::SoftReset, "SOFT RESET"),
    item(M::ResetToFactoryDefault, "Reset to factory default"),
    kSeparator,
    sub(kDisplayModeMenu),
    sub(kCcdDriveMenu),
    sub(kOutputMenu),
    sub(kCameraModeMenu),
    sub(kClockMenu),
    sub(kGainUpMenu),
};

constexpr std::array kHelpEntries{item(M::Help, "Help"), item(M::About, "About")};

constexpr Menu kFileMenu{"File", std::nullopt, kFileEntries};
constexpr Menu kSetupMenu{"SETUP", std::nullopt, kSetupEntries};
constexpr Menu kClsMenu{"CLS", std::nullopt, kClsEntries};
constexpr Menu kDemoMenu{"DEMO", std::nullopt, kDemoEntries};
constexpr Menu kModelMenu{"MODEL", std::nullopt, kModelEntries};
constexpr Menu kHelpMenu{"Help", std::nullopt, kHelpEntries};

constexpr std::array kBar{sub(kFileMenu),  sub(kSetupMenu), sub(kClsMenu),
                          sub(kDemoMenu),  sub(kModelMenu), sub(kHelpMenu),
                          item(M::MotorTest, "Motor Test")};

constexpr std::array<const Menu*, camera::kSubmenuCount> kSubmenus{
    &kDisplayModeMenu, &kCcdDriveMenu, &kOutputMenu, &kCameraModeMenu, &kClockMenu, &kGainUpMenu, &kProtocolMenu};

// ---- walking the bar

template <typename Visit>
void forEachEntry(std::span<const Entry> entries, const Menu* parent, Visit& visit) {
  for (const Entry& e : entries) {
    visit(e, parent);
    if (e.kind == EntryKind::Submenu) forEachEntry(e.menu->entries, e.menu, visit);
  }
}

// The submenu an item sits in, or null for an item of a bar menu or the bar itself.
const Menu* gatedParent(MenuItem id) {
  const Menu* found = nullptr;
  auto visit = [&](const Entry& e, const Menu* parent) {
    if (e.kind == EntryKind::Item && e.item == id && parent != nullptr && parent->gate) found = parent;
  };
  forEachEntry(kBar, nullptr, visit);
  return found;
}

// ---- choices: items of which at most one carries the check

// Within a submenu the items are one choice; in the menus of the bar only these are.
constexpr std::array kWaitChoice{M::WaitTime3s, M::WaitTime5s};
constexpr std::array kLoopChoice{M::OneTime, M::InfLoop, M::LimitedLoop};
constexpr std::array kFormatChoice{M::Ntsc, M::Pal};
constexpr std::array<std::span<const MenuItem>, 3> kBarChoices{kWaitChoice, kLoopChoice, kFormatChoice};

// What a busy lock greys.
bool lockedWhileBusy(MenuItem id) { return id == M::SerialPort || id == M::CameraSetupUtility; }
bool lockedWhileBusy(Submenu s) { return s == Submenu::CcdDriveMode; }

bool switchAt(std::string_view line, std::string_view name) {
  for (auto at = line.find(name); at != std::string_view::npos; at = line.find(name, at + 1)) {
    const auto after = at + name.size();
    if (after == line.size() || line[after] == ' ') return true;
  }
  return false;
}

}  // namespace

// ---- start switches

StartSwitches parseStartSwitches(std::string_view commandLine) {
  StartSwitches s;
  s.secondFactory = switchAt(commandLine, "/FS");
  s.factory = s.secondFactory || switchAt(commandLine, "/F");
  s.noCamera = switchAt(commandLine, "/DS");
  return s;
}

StartSwitches parseStartSwitches(std::span<const std::string_view> arguments) {
  std::string line;
  for (auto a : arguments) {
    if (!line.empty()) line += ' ';
    line += a;
  }
  return parseStartSwitches(line);
}

camera::GatingSwitches gatingSwitches(const Settings& settings, const StartSwitches& start) {
  camera::GatingSwitches sw;
  sw.protocol = settings.protocol == kProtocolAfp ? link::Protocol::Afp : link::Protocol::Eap;
  sw.protocolConfigured = settings.protocol == kProtocolAfp || settings.protocol == kProtocolEap;
  sw.factory = start.factory;
  sw.waitTime = settings.demoWaitSeconds;
  sw.demoMode = settings.demoMode;
  sw.qaMode = settings.qaMode;
  sw.sendFile = settings.sendFile;
  sw.psetdatBup = settings.psetdatBup;
  sw.adrMenu = settings.adrMenu;
  sw.motorTest = settings.motorTest;
  sw.newFeature = settings.newFeature;
  sw.wspotCancel = settings.wspotCancel;
  sw.ledControl = settings.ledControl;
  sw.motionDetOn = settings.motionDetOn;
  sw.activeExec = settings.activeExec;
  sw.biCycling = settings.biCycling;
  return sw;
}

// ---- structure

std::span<const Entry> menuBar() { return kBar; }

const Entry& findEntry(MenuItem id) {
  const Entry* found = nullptr;
  auto visit = [&](const Entry& e, const Menu*) {
    if (e.kind == EntryKind::Item && e.item == id) found = &e;
  };
  forEachEntry(kBar, nullptr, visit);
  return *found;  // every MenuItem is in the bar (checked by the tests)
}

const Menu& findMenu(Submenu submenu) { return *kSubmenus[static_cast<std::size_t>(submenu)]; }

// ---- state

MenuModel::MenuModel(const Settings& settings, const StartSwitches& start)
    : menu_(camera::startMenu(gatingSwitches(settings, start))) {
  // Inside the submenus the items themselves start enabled: a submenu is offered or greyed
  // as a whole, and only a few commands grey single items in it.
  for (auto id : camera::menuItems())
    if (gatedParent(id) != nullptr) menu_[id].enabled = true;
}

EntryState MenuModel::state(MenuItem id) const {
  const camera::ItemState& s = menu_[id];
  return {!s.removed, s.enabled && !(busy() && lockedWhileBusy(id)) && !held(id), s.checked};
}

bool MenuModel::enabled(Submenu submenu) const {
  return menu_.submenuEnabled(submenu) && !(busy() && lockedWhileBusy(submenu)) &&
         !heldSubmenus_[static_cast<std::size_t>(submenu)];
}

bool MenuModel::held(MenuItem id) const {
  return std::find(heldItems_.begin(), heldItems_.end(), id) != heldItems_.end();
}

void MenuModel::setHeld(MenuItem id, bool hold) {
  if (held(id) == hold) return;
  const Shown before = shown();
  if (hold) heldItems_.push_back(id);
  else std::erase(heldItems_, id);
  publish(before);
}

void MenuModel::setHeld(Submenu submenu, bool hold) {
  const Shown before = shown();
  heldSubmenus_[static_cast<std::size_t>(submenu)] = hold;
  publish(before);
}

EntryState MenuModel::state(const Entry& entry) const {
  switch (entry.kind) {
    case EntryKind::Item: return state(entry.item);
    case EntryKind::Separator: return {true, false, false};
    case EntryKind::Submenu: return {true, !entry.menu->gate || enabled(*entry.menu->gate), false};
  }
  return {};
}

MenuModel::Shown MenuModel::shown() const {
  Shown s;
  const auto all = camera::menuItems();
  for (std::size_t i = 0; i < all.size(); ++i) s.items[i] = state(all[i]);
  for (std::size_t i = 0; i < s.submenus.size(); ++i) s.submenus[i] = enabled(static_cast<Submenu>(i));
  return s;
}

void MenuModel::publish(const Shown& before) {
  const Shown after = shown();
  MenuChange change;
  const auto all = camera::menuItems();
  for (std::size_t i = 0; i < all.size(); ++i)
    if (before.items[i] != after.items[i]) change.items.push_back(all[i]);
  for (std::size_t i = 0; i < after.submenus.size(); ++i)
    if (before.submenus[i] != after.submenus[i]) change.submenus.push_back(static_cast<Submenu>(i));
  if (change.items.empty() && change.submenus.empty()) return;
  // An observer may unsubscribe from inside its call.
  const auto observers = observers_;
  for (auto* o : observers)
    if (std::find(observers_.begin(), observers_.end(), o) != observers_.end()) o->menuChanged(change);
}

void MenuModel::apply(const camera::MenuState& next) {
  const Shown before = shown();
  menu_ = next;
  publish(before);
}

void MenuModel::applyModel(const camera::ModelRecord& record, const camera::IdentificationFlags& flags,
                           const camera::GatingSwitches& sw, const camera::SettingReader& read) {
  apply(camera::menuGating(menu_, record, flags, sw, read));
}

void MenuModel::connected(const camera::ModelRecord& record, const camera::IdentificationFlags& flags,
                          const camera::GatingSwitches& sw, const camera::SettingReader& read) {
  camera::MenuState next = camera::menuGating(menu_, record, flags, sw, read);
  next[M::SerialPort].enabled = true;
  const bool switchesProtocol = ((record.menuWord >> 12) & 1u) != 0;
  next.submenuEnabled(Submenu::ProtocolType) = switchesProtocol;
  if (switchesProtocol) next[M::AfpSelect].enabled = next[M::EapSelect].enabled = true;
  apply(next);
}

void MenuModel::disconnected(const camera::Disconnected& disabled) {
  camera::MenuState next = disabled.menu;
  next[M::SerialPort].enabled = true;
  next.submenuEnabled(Submenu::ProtocolType) = false;
  next[M::LogFile].checked = false;
  apply(next);
}

void MenuModel::setChecked(MenuItem id, bool checked) {
  camera::MenuState next = menu_;
  next[id].checked = checked;
  apply(next);
}

void MenuModel::checkInGroup(MenuItem id) {
  camera::MenuState next = menu_;
  if (const Menu* parent = gatedParent(id)) {
    for (const Entry& e : parent->entries) next[e.item].checked = false;
  } else {
    for (auto choice : kBarChoices)
      if (std::find(choice.begin(), choice.end(), id) != choice.end())
        for (auto other : choice) next[other].checked = false;
  }
  next[id].checked = true;
  apply(next);
}

void MenuModel::setEnabled(MenuItem id, bool enabled) {
  camera::MenuState next = menu_;
  next[id].enabled = enabled;
  apply(next);
}

void MenuModel::subscribe(MenuObserver& observer) { observers_.push_back(&observer); }

void MenuModel::unsubscribe(MenuObserver& observer) { std::erase(observers_, &observer); }

void MenuModel::lock() {
  const Shown before = shown();
  ++busyLocks_;
  publish(before);
}

void MenuModel::unlock() {
  const Shown before = shown();
  --busyLocks_;
  publish(before);
}

MenuBusyLock::MenuBusyLock(MenuModel& menus) : menus_(menus) { menus_.lock(); }
MenuBusyLock::~MenuBusyLock() { menus_.unlock(); }

}  // namespace orva::shell
