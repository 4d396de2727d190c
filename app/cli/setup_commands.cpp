#include "setup_commands.hpp"

#include <optional>

#include "camera/code_map.hpp"
#include "core/atomic_file.hpp"
#include "eeprom/setup_record.hpp"
#include "eeprom/setup_runs.hpp"
#include "sigint_stop.hpp"

namespace orva::cli {
namespace {

int save(const std::filesystem::path& file, eeprom::SetupRecord& record, const eeprom::SetupStamp& stamp,
         std::ostream& out, std::ostream& err) {
  const core::Status saved = eeprom::saveSetupFile(file, record, stamp);
  if (saved.failed()) {
    say(err, saved.message());
    return kExitUsage;
  }
  out << eeprom::setupSaveName(file).string() << "\n";
  return kExitOk;
}

int writeFile(Tool& tool, eeprom::SetupCamera& camera, const eeprom::SetupStamp& stamp, const Options& o,
              std::ostream& err) {
  const auto bytes = core::readFile(o.target);
  const eeprom::SetupLoad loaded =
      bytes ? eeprom::acceptSetupFile(*bytes, stamp) : eeprom::SetupLoad{std::nullopt, eeprom::SetupLoadError::FileType};
  if (!loaded.record) {
    say(err, eeprom::setupLoadMessage(*loaded.error));
    return kExitUsage;
  }
  const eeprom::SetupRecord& record = *loaded.record;
  if (const auto failure = eeprom::checkSetupRecord(record)) {
    say(err, eeprom::setupCheckMessage(*failure));
    return kExitUsage;
  }
  const auto foreign = eeprom::foreignAddresses(record);
  if (!foreign.empty()) {
    for (const auto& a : foreign) say(err, eeprom::foreignAddressLine(a));
    if (tool.prompt().ask(eeprom::kSetupForeignAddressQuestion, eeprom::kSetupMessageTitle, core::Buttons::YesNo,
                          core::Icon::Question) != core::Answer::Yes)
      return kExitUsage;
  }
  if (tool.prompt().ask(eeprom::kSetupWriteQuestion, eeprom::kSetupMessageTitle, core::Buttons::OkCancel,
                        core::Icon::Question) != core::Answer::Ok)
    return kExitUsage;
  const eeprom::SetupWriteResult result = eeprom::writeSetupToCamera(camera, record);
  if (result == eeprom::SetupWriteResult::Done) return kExitOk;
  say(err, eeprom::setupWriteMessage(result));
  return result == eeprom::SetupWriteResult::ModelMismatch ? kExitUsage : kExitCamera;
}

int reset(Tool& tool, eeprom::SetupCamera& camera, std::stop_token stop, std::ostream& err) {
  if (tool.prompt().ask(eeprom::kSetupResetQuestion, eeprom::kSetupMessageTitle, core::Buttons::OkCancel,
                        core::Icon::Question) != core::Answer::Ok)
    return kExitUsage;
  if (eeprom::resetSetupCamera(camera, std::move(stop))) return kExitOk;
  say(err, "stopped while the camera restarts: wait a few seconds before using it");
  return kExitCamera;
}

}  // namespace

int setupCommand(const std::string& tool, const Options& o, const shell::Settings& s, std::ostream& out,
                 std::ostream& err) {
  // Before the line's threads: Ctrl-C ends the restart's wait.
  std::optional<SigintStop> interrupt;
  if (tool == "reset") interrupt.emplace();
  Tool t(o, s);
  camera::ModelRecord model;
  camera::IdentificationFlags flags;
  if (!t.connect() || !t.identify(s, model, flags)) return kExitCamera;
  camera::FunctionCodes codes(t.afpChannel(), t.link());
  eeprom::SetupCamera camera(t.link(), t.eap(), codes, t.monitor());
  if (!eeprom::setupOpens(camera)) {
    say(err, eeprom::kSetupModelText);
    return kExitUsage;
  }
  t.monitor().heading(eeprom::kSetupOpenHeading);
  const eeprom::SetupStamp stamp = eeprom::setupStamp(model);
  if (tool == "write") return writeFile(t, camera, stamp, o, err);
  if (interrupt) return reset(t, camera, interrupt->token(), err);

  eeprom::SetupRecord record;
  eeprom::fillDefaultAddresses(record);
  std::optional<eeprom::SetupRecord> filled = eeprom::loadSetupDefaults(camera, record);
  if (filled && tool == "read") filled = eeprom::readSetupFromCamera(camera, *filled);
  if (!filled) {
    say(err, eeprom::kSetupCommunicationText);
    return kExitCamera;
  }
  return save(o.target, *filled, stamp, out, err);
}

}  // namespace orva::cli
