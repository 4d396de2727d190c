#include "preset_commands.hpp"

#include <fmt/format.h>

#include "camera/preset_file.hpp"
#include "core/atomic_file.hpp"

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

}  // namespace

int presetCommand(const std::string& tool, const Options& o, const shell::Settings& s, std::ostream& out,
                  std::ostream& err) {
  Tool line(o, s);
  camera::ModelRecord record;
  camera::IdentificationFlags flags;
  if (!line.connect() || !line.identify(s, record, flags)) return kExitCamera;
  if (tool == "save") return saveCommand(record.modelCode, o, err);
  return openCommand(record.modelCode, o, s, out, err);
}

}  // namespace orva::cli
