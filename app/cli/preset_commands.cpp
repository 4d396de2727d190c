#include "preset_commands.hpp"

#include <fmt/format.h>

#include <filesystem>
#include <optional>

#include "camera/preset_file.hpp"
#include "core/atomic_file.hpp"
#include "panels/camera_access.hpp"
#include "panels/formats.hpp"
#include "panels/preset/launcher_runs.hpp"
#include "sigint_stop.hpp"

namespace orva::cli {
namespace {

// The launcher's captions of the records, in file order.
std::string recordName(std::size_t i) {
  return fmt::format("TYPE {} Memory{}", i < camera::kPresetsPerType ? "I" : "II", i % camera::kPresetsPerType + 1);
}

int saveCommand(const std::uint32_t model, const Options& o, std::ostream& err) {
  const core::Status written = core::AtomicFile::write(o.target, camera::encodePresetFile({}, model));
  if (written) return kExitOk;
  err << "orva-cli: " << camera::kPresetNotWritten << "\norva-cli: " << written.message() << "\n";
  return kExitUsage;
}

int openCommand(const std::uint32_t model, const Options& o, const shell::Settings& s, std::ostream& out,
                std::ostream& err) {
  const auto bytes = core::readFile(o.target);
  if (!bytes) {
    err << "orva-cli: " << bytes.message() << "\n";
    return kExitUsage;
  }
  const camera::DecodedPresetFile decoded = camera::decodePresetFile(*bytes, model);
  if (!decoded.records) {
    err << "orva-cli: " << camera::presetFileMessage(decoded.fault, s.language == 1).text << "\n";
    return kExitUsage;
  }
  for (std::size_t i = 0; i < camera::kPresetRecordCount; ++i)
    out << recordName(i) << ": " << (decoded.records->set[i] ? "set" : "not set") << "\n";
  return kExitOk;
}

// The records FILE holds for this model; empty records when FILE does not exist. None (and
// the reason on stderr) for a file that is not this model's preset data file.
std::optional<camera::PresetRecords> recordsOf(const std::uint32_t model, const Options& o, const shell::Settings& s,
                                               std::ostream& err) {
  std::error_code ec;
  if (!std::filesystem::exists(o.target, ec)) return camera::PresetRecords{};
  const auto bytes = core::readFile(o.target);
  if (!bytes) {
    err << "orva-cli: " << bytes.message() << "\n";
    return std::nullopt;
  }
  camera::DecodedPresetFile decoded = camera::decodePresetFile(*bytes, model);
  if (!decoded.records) err << "orva-cli: " << camera::presetFileMessage(decoded.fault, s.language == 1).text << "\n";
  return decoded.records;
}

// "preset store" and "preset recall": the launcher's Memory and Preset keys on one record.
int keyCommand(bool store, Tool& line, const camera::ModelRecord& record, const Options& o, const shell::Settings& s,
               std::stop_token stop, std::ostream& err) {
  auto records = recordsOf(record.modelCode, o, s, err);
  if (!records) return kExitUsage;
  const auto type = o.presetType == "II" ? panels::preset::PresetType::Two : panels::preset::PresetType::One;
  const auto n = static_cast<std::size_t>(o.presetNumber - 1);
  const std::size_t k = (type == panels::preset::PresetType::Two ? camera::kPresetsPerType : 0) + n;
  if (!store && !records->set[k]) {
    err << "orva-cli: " << recordName(k) << " is not set in " << o.target << "\n";
    return kExitUsage;
  }
  camera::FunctionCodes codes(line.afpChannel(), line.link());
  panels::CameraAccess access(line.link(), line.eap(), codes);
  const panels::preset::LauncherRunContext run{access, line.monitor(), line.clock(), record, o.arrivalMessage,
                                               s.activeExec == 1};
  line.monitor().heading(panels::headingText(panels::preset::launcherHeading(type, store, n)));
  camera::PresetRecord captured = records->records[k];
  if (!store) return panels::preset::recallLauncherPreset(run, type, captured, stop) ? kExitOk : kExitCamera;
  if (!panels::preset::storeLauncherPreset(run, type, captured, stop)) return kExitCamera;
  records->records[k] = captured;
  records->set[k] = true;
  const core::Status written = core::AtomicFile::write(o.target, camera::encodePresetFile(*records, record.modelCode));
  if (written) return kExitOk;
  err << "orva-cli: " << camera::kPresetNotWritten << "\norva-cli: " << written.message() << "\n";
  return kExitUsage;
}

}  // namespace

int presetCommand(const std::string& tool, const Options& o, const shell::Settings& s, std::ostream& out,
                  std::ostream& err) {
  // Before the line's threads: Ctrl-C stops a store or recall between two accesses.
  std::optional<SigintStop> interrupt;
  if (tool == "store" || tool == "recall") interrupt.emplace();
  Tool line(o, s);
  camera::ModelRecord record;
  camera::IdentificationFlags flags;
  if (!line.connect() || !line.identify(s, record, flags)) return kExitCamera;
  if (interrupt) return keyCommand(tool == "store", line, record, o, s, interrupt->token(), err);
  if (tool == "save") return saveCommand(record.modelCode, o, err);
  return openCommand(record.modelCode, o, s, out, err);
}

}  // namespace orva::cli
