// The launcher's PRESET TYPE I / TYPE II keys and its "ZOOM Arrival Message" check box. The
// keys' checks and the records belong to the window thread; a run works on copies and hands
// what it read back there when it has ended.
#include <functional>
#include <memory>
#include <optional>

#include "panels/camera_access.hpp"
#include "panels/preset/launcher_runs.hpp"
#include "shell/session.hpp"

namespace orva::shell {
namespace {

using camera::LauncherItem;
using panels::preset::PresetType;

LauncherItem memoryItem(std::size_t k) {
  return static_cast<LauncherItem>(static_cast<std::size_t>(LauncherItem::MemoryKey1) + k);
}
LauncherItem presetButton(std::size_t k) {
  return static_cast<LauncherItem>(static_cast<std::size_t>(LauncherItem::PresetButton1) + k);
}
PresetType typeOf(std::size_t k) { return k < camera::kPresetsPerType ? PresetType::One : PresetType::Two; }

}  // namespace

bool Session::presetKeyLive(camera::LauncherItem item) const {
  const camera::ButtonState& key = launcher_[item];
  return connected() && key.enabled && key.shown && !runner_.busy();
}

void Session::setMemoryChecked(std::size_t k, bool on) {
  launcher_.items[static_cast<std::size_t>(memoryItem(k))].checked = on;
  launcher_.items[static_cast<std::size_t>(presetButton(k))].enabled = on;
  presetRecords_.set[k] = on;
}

bool Session::memoryKey(std::size_t k) {
  if (k >= camera::kPresetRecordCount || !presetKeyLive(memoryItem(k))) return false;
  if (launcher_[memoryItem(k)].checked) {
    // Forgetting is the tool's alone: the record's data stays, nothing goes to the camera.
    setMemoryChecked(k, false);
    notifyChanged();
    return true;
  }
  // The run reads into a copy; the record changes only when the whole store got through, so a
  // failed one leaves the record as it was and the key unchecked.
  auto read = std::make_shared<std::optional<camera::PresetRecord>>();
  const camera::PresetRecord start = presetRecords_.records[k];
  panels::Operation op;
  op.heading = panels::preset::launcherHeading(typeOf(k), true, k % camera::kPresetsPerType);
  op.body = [k, start, read, runOn = launcherRunner()](const panels::OperationRun& run) {
    camera::PresetRecord record = start;
    if (runOn(typeOf(k), record, true, run.stop())) *read = record;
    return panels::Outcome::Silent;
  };
  op.ended = [this, k, read, token = alive_.token()] {
    if (!token.open()) return;
    if (*read) presetRecords_.records[k] = **read;
    setMemoryChecked(k, read->has_value());
    notifyChanged();
  };
  if (!startLauncherRun(std::move(op))) return false;
  setMemoryChecked(k, true);
  notifyChanged();
  return true;
}

bool Session::presetKey(std::size_t k) {
  if (k >= camera::kPresetRecordCount || !presetKeyLive(presetButton(k))) return false;
  panels::Operation op;
  op.heading = panels::preset::launcherHeading(typeOf(k), false, k % camera::kPresetsPerType);
  op.body = [k, record = presetRecords_.records[k], runOn = launcherRunner()](const panels::OperationRun& run) mutable {
    (void)runOn(typeOf(k), record, false, run.stop());
    return panels::Outcome::Silent;
  };
  op.ended = [this, token = alive_.token()] {
    if (token.open()) notifyChanged();
  };
  return startLauncherRun(std::move(op));
}

bool Session::presetItem(LauncherItem item) {
  const auto from = [item](LauncherItem first) {
    return static_cast<std::size_t>(item) - static_cast<std::size_t>(first);
  };
  if (item == LauncherItem::ZoomArrivalMessage) return setZoomArrivalMessage(!launcher_[item].checked);
  if (item >= LauncherItem::PresetButton1 && item <= LauncherItem::PresetButton8)
    return presetKey(from(LauncherItem::PresetButton1));
  if (item >= LauncherItem::MemoryKey1 && item <= LauncherItem::MemoryKey8) return memoryKey(from(LauncherItem::MemoryKey1));
  return false;
}

bool Session::setZoomArrivalMessage(bool on) {
  camera::ButtonState& box = launcher_.items[static_cast<std::size_t>(LauncherItem::ZoomArrivalMessage)];
  if (!box.shown || !box.enabled) return false;
  box.checked = on;
  return true;
}

std::function<bool(PresetType, camera::PresetRecord&, bool, std::stop_token)> Session::launcherRunner() {
  // Taken here, on the window thread: the run must not read the launcher's state.
  const camera::ButtonState& box = launcher_[LauncherItem::ZoomArrivalMessage];
  const bool arrival = box.shown && box.enabled && box.checked;
  const bool activeExec = settings_.activeExec == 1;
  return [this, arrival, activeExec](PresetType type, camera::PresetRecord& record, bool store,
                                     std::stop_token stop) {
    panels::CameraAccess access(link(), eap(), functionCodes());
    const panels::preset::LauncherRunContext run{access, monitor_, link().clock(), model(), arrival, activeExec};
    return store ? panels::preset::storeLauncherPreset(run, type, record, std::move(stop))
                 : panels::preset::recallLauncherPreset(run, type, record, std::move(stop));
  };
}

}  // namespace orva::shell
