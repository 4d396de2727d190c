// The File menu's preset data commands. They run on the window thread, as the records they
// replace are the launcher's; the operation slot only has to be free.
#include <fmt/format.h>

#include "core/atomic_file.hpp"
#include "eeprom/command_file.hpp"
#include "shell/session.hpp"

namespace orva::shell {
namespace {

// The PTT row of the file dialogs; 16 more makes it the save dialog.
constexpr int kPttOpenMode = 4;
constexpr int kPttSaveMode = kPttOpenMode + 16;

std::size_t memoryIndex(std::size_t k) { return static_cast<std::size_t>(camera::LauncherItem::MemoryKey1) + k; }
std::size_t presetIndex(std::size_t k) { return static_cast<std::size_t>(camera::LauncherItem::PresetButton1) + k; }

}  // namespace

PresetFileResult Session::savePresetData() {
  if (runner_.busy()) return PresetFileResult::Busy;
  if (refusedWithoutPort()) return PresetFileResult::Refused;
  const auto chosen = eeprom::chooseFile(
      prompt_, monitor_, eeprom::fileChoice(kPttSaveMode, presetFolder_ / camera::kPresetFileName));
  if (!chosen) return PresetFileResult::Declined;
  // The flags are the memory keys' checks now, not what the records were last opened with.
  camera::PresetRecords saved = presetRecords_;
  for (std::size_t k = 0; k < camera::kPresetRecordCount; ++k) saved.set[k] = launcher_.items[memoryIndex(k)].checked;
  const core::Status written = core::AtomicFile::write(*chosen, camera::encodePresetFile(saved, model().modelCode));
  if (!written) {
    prompt_.message(fmt::format("{}\n{}", camera::kPresetNotWritten, written.message()), camera::kPresetErrorTitle,
                    core::Icon::Exclamation);
    return PresetFileResult::Refused;
  }
  presetRecords_.set = saved.set;
  return PresetFileResult::Done;
}

PresetFileResult Session::openPresetData() {
  if (runner_.busy()) return PresetFileResult::Busy;
  if (refusedWithoutPort()) return PresetFileResult::Refused;
  const auto chosen =
      eeprom::chooseFile(prompt_, monitor_, eeprom::fileChoice(kPttOpenMode, presetFolder_ / camera::kPresetFileName));
  if (!chosen) return PresetFileResult::Declined;
  const auto bytes = core::readFile(*chosen);
  if (!bytes) return PresetFileResult::Declined;  // a file that cannot be read ends without a word
  const camera::DecodedPresetFile decoded = camera::decodePresetFile(*bytes, model().modelCode);
  if (!decoded.records) {
    const auto shown = camera::presetFileMessage(decoded.fault, settings_.language == 1);
    prompt_.message(shown.text, shown.title, core::Icon::Exclamation);
    return PresetFileResult::Refused;
  }
  presetRecords_ = *decoded.records;
  // A "Preset" key is enabled only where its memory key is, so a group this model hides or
  // disables stays so.
  for (std::size_t k = 0; k < camera::kPresetRecordCount; ++k) {
    camera::ButtonState& key = launcher_.items[memoryIndex(k)];
    key.checked = presetRecords_.set[k];
    launcher_.items[presetIndex(k)].enabled = key.checked && key.enabled;
  }
  notifyChanged();
  return PresetFileResult::Done;
}

}  // namespace orva::shell
