#include "shell/setup_utility.hpp"

#include "core/atomic_file.hpp"
#include "eeprom/command_file.hpp"
#include "shell/session.hpp"

namespace orva::shell {
namespace {

using eeprom::setup_at::O;

// The CSU row of the file dialogs; 16 more makes it the save dialog.
constexpr int kCsuOpenMode = 9;
constexpr int kCsuSaveMode = kCsuOpenMode + 16;

bool okToGo(core::Prompt& prompt, std::string_view question) {
  return prompt.ask(question, eeprom::kSetupMessageTitle, core::Buttons::OkCancel, core::Icon::Question) ==
         core::Answer::Ok;
}

void tell(core::Prompt& prompt, std::string_view text, std::string_view title = eeprom::kSetupMessageTitle) {
  prompt.message(text, title, core::Icon::Exclamation);
}

}  // namespace

void SetupUtility::onLine(const std::function<void(eeprom::SetupCamera&)>& job) {
  core::BusyCursor cursor(prompt_);
  const auto work = [&] {
    eeprom::SetupCamera camera(session_.link(), session_.eap(), session_.functionCodes(), monitor_);
    job(camera);
  };
  if (lineWork_)
    lineWork_(work);
  else
    work();
}

bool SetupUtility::confirmWrite() const { return record_.word(O(0)) == 0 && record_.word(O(2)) == 0; }

eeprom::SetupStamp SetupUtility::stamp() const { return eeprom::setupStamp(session_.model()); }

bool SetupUtility::open() {
  if (isOpen() || !session_.connected()) return false;
  {
    auto slot = session_.runner().claim();
    if (!slot) return false;
    bool opens = false;
    onLine([&](eeprom::SetupCamera& camera) { opens = eeprom::setupOpens(camera); });
    if (!opens) return false;
  }
  busy_.emplace(session_.menus());
  if (!loadedFromFile_) eeprom::fillDefaultAddresses(record_);
  if (!opened_) {
    opened_ = true;
    monitor_.heading(eeprom::kSetupOpenHeading);
    if (!fillDefaults()) tell(prompt_, eeprom::kSetupBrokenText);
  }
  return true;
}

void SetupUtility::close(bool confirmWrite, SetupPage page) {
  record_.setWord(O(0), confirmWrite ? 0 : 1);
  record_.setWord(O(2), 0);
  page_ = page;
  busy_.reset();
}

bool SetupUtility::fillDefaults() {
  auto slot = session_.runner().claim();
  if (!slot) return false;
  std::optional<eeprom::SetupRecord> filled;
  onLine([&](eeprom::SetupCamera& camera) { filled = eeprom::loadSetupDefaults(camera, record_); });
  if (!filled) {
    broken_ = true;
    tell(prompt_, eeprom::kSetupCommunicationText);
    return false;
  }
  record_ = *filled;
  broken_ = false;
  return true;
}

SetupResult SetupUtility::loadDefaults() {
  if (session_.runner().busy()) return SetupResult::Busy;
  if (!okToGo(prompt_, eeprom::kSetupDefaultQuestion)) return SetupResult::Declined;
  return fillDefaults() ? SetupResult::Done : SetupResult::Failed;
}

SetupResult SetupUtility::readCamera() {
  if (session_.runner().busy()) return SetupResult::Busy;
  if (!okToGo(prompt_, eeprom::kSetupReadQuestion)) return SetupResult::Declined;
  auto slot = session_.runner().claim();
  if (!slot) return SetupResult::Busy;
  std::optional<eeprom::SetupRecord> read;
  onLine([&](eeprom::SetupCamera& camera) { read = eeprom::readSetupFromCamera(camera, record_); });
  if (!read) {
    broken_ = true;
    tell(prompt_, eeprom::kSetupCommunicationText);
    return SetupResult::Failed;
  }
  record_ = *read;
  broken_ = false;
  return SetupResult::Done;
}

// Addresses that differ from the defaults can only have come from a file: they are listed
// on the monitor and the operator asked once per record before anything goes to them.
bool SetupUtility::foreignAddressesAccepted() {
  if (foreignAccepted_) return true;
  const auto foreign = eeprom::foreignAddresses(record_);
  if (foreign.empty()) return true;
  for (const auto& a : foreign) monitor_.line(eeprom::foreignAddressLine(a));
  foreignAccepted_ = prompt_.ask(eeprom::kSetupForeignAddressQuestion, eeprom::kSetupMessageTitle,
                                 core::Buttons::YesNo, core::Icon::Question) == core::Answer::Yes;
  return foreignAccepted_;
}

SetupResult SetupUtility::write(bool confirmWrite) {
  if (session_.runner().busy()) return SetupResult::Busy;
  if (broken_) {
    tell(prompt_, eeprom::kSetupBrokenText);
    return SetupResult::Refused;
  }
  if (const auto failure = eeprom::checkSetupRecord(record_)) {
    tell(prompt_, eeprom::setupCheckMessage(*failure));
    return SetupResult::Refused;
  }
  if (!foreignAddressesAccepted()) return SetupResult::Declined;
  if (confirmWrite && !okToGo(prompt_, eeprom::kSetupWriteQuestion)) return SetupResult::Declined;
  auto slot = session_.runner().claim();
  if (!slot) return SetupResult::Busy;
  auto result = eeprom::SetupWriteResult::Failed;
  onLine([&](eeprom::SetupCamera& camera) { result = eeprom::writeSetupToCamera(camera, record_); });
  if (result == eeprom::SetupWriteResult::Done) return SetupResult::Done;
  tell(prompt_, eeprom::setupWriteMessage(result));
  return result == eeprom::SetupWriteResult::ModelMismatch ? SetupResult::Refused : SetupResult::Failed;
}

SetupResult SetupUtility::save() {
  if (broken_) {
    tell(prompt_, eeprom::kSetupBrokenText);
    return SetupResult::Refused;
  }
  const auto chosen = eeprom::chooseFile(prompt_, monitor_,
                                         eeprom::fileChoice(kCsuSaveMode, std::filesystem::path(eeprom::kSetupProposedName)));
  if (!chosen) return SetupResult::Declined;
  const core::Status saved = eeprom::saveSetupFile(*chosen, record_, stamp());
  if (saved.failed()) {
    tell(prompt_, saved.message(), eeprom::kSetupErrorTitle);
    return SetupResult::Refused;
  }
  return SetupResult::Done;
}

SetupResult SetupUtility::load() {
  if (!okToGo(prompt_, eeprom::kSetupLoadQuestion)) return SetupResult::Declined;
  const auto chosen = eeprom::chooseFile(prompt_, monitor_, eeprom::fileChoice(kCsuOpenMode));
  if (!chosen) return SetupResult::Declined;
  const auto bytes = core::readFile(*chosen);
  const eeprom::SetupLoad loaded = bytes ? eeprom::acceptSetupFile(*bytes, stamp())
                                         : eeprom::SetupLoad{std::nullopt, eeprom::SetupLoadError::FileType};
  if (!loaded.record) {
    tell(prompt_, eeprom::setupLoadMessage(*loaded.error), eeprom::kSetupErrorTitle);
    return SetupResult::Refused;
  }
  record_ = *loaded.record;
  loadedFromFile_ = true;
  foreignAccepted_ = false;
  broken_ = false;
  return SetupResult::Done;
}

SetupResult SetupUtility::reset() {
  if (session_.runner().busy()) return SetupResult::Busy;
  if (!okToGo(prompt_, eeprom::kSetupResetQuestion)) return SetupResult::Declined;
  auto slot = session_.runner().claim();
  if (!slot) return SetupResult::Busy;
  bool restarted = false;
  onLine([&](eeprom::SetupCamera& camera) { restarted = eeprom::resetSetupCamera(camera); });
  return restarted ? SetupResult::Done : SetupResult::Failed;
}

}  // namespace orva::shell
