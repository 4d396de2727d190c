#include "shell/connection.hpp"

#include <utility>

#include "camera/setting.hpp"
#include "link/settings_forms.hpp"
#include "shell/session_texts.hpp"

namespace orva::shell {
namespace {

link::Protocol protocolOf(int setting) { return setting == kProtocolAfp ? link::Protocol::Afp : link::Protocol::Eap; }

camera::LauncherFields noCameraFields() {
  return {std::string(texts::kNoModelField), std::string(texts::kNoModelField), {}, std::string(texts::kNoModelField)};
}

}  // namespace

Connection::Connection(const Settings& settings, bool noCamera, Monitor& monitor, core::Clock& clock,
                       core::Prompt& prompt)
    : monitor_(monitor), prompt_(prompt), eepromSize_(settings.eepromSize), link_(clock, monitor) {
  link_.setChangedAddressSink(&changed_);
  if (noCamera) link_.setNoCameraMode(link::NoCameraMode::Allowed);
  link_.setProtocol(protocolOf(settings.protocol));
  monitor_.setAfpVariant(settings.protocol == kProtocolAfp);
}

void Connection::setChannel(std::unique_ptr<link::ByteChannel> channel, std::string portName) {
  link_.setChannel(std::move(channel));
  portName_ = std::move(portName);
}

eeprom::Range Connection::range() const { return eeprom::cameraRange(rangeModel_.load(), eepromSize_); }

camera::IdentificationSwitches Connection::identificationSwitches(const Settings& s) {
  return {s.exComMode, s.newFeature, s.picModeCmd, s.qb165Clock};
}

bool Connection::identify(camera::ModelRecord& record, camera::IdentificationFlags& flags,
                          camera::LauncherFields& fields, camera::IdentificationSwitches& switches) {
  camera::LinkRegisterReader reader(link_, eap_, afp_);
  camera::Identification identification(reader, monitor_, prompt_);
  if (identification.run(record, flags, switches) == camera::IdentifyOutcome::Failed) return false;
  link_.setBlockReadMode(flags.extendedCommMode);
  fields = identification.launcher();
  return true;
}

LineOutcome Connection::open(const Settings& settings, const LineWork& lineWork) {
  camera::resetModelRecord(record_);
  flags_ = {};
  if (const auto form = link::findSettingsForm(settings.settingsText))
    link_.setLineSettings(link::lineSettingsOf(*form));
  link_.setProtocol(protocolOf(settings.protocol));

  // The negotiation may try twenty settings and the identification reads dozens of
  // registers, so this may run off the window thread: it reaches only the link, the monitor
  // and the prompt, and hands its results back in the outcome.
  // With "/DS" a line that does not open or a camera that does not answer is no failure: the
  // identification's first read fails and the session goes on with the simulated camera.
  const bool allowedWithoutCamera = link_.noCameraMode() == link::NoCameraMode::Allowed;
  const bool negotiate = settings.rsNegotiate != 0;
  LineOutcome out;
  out.switches = identificationSwitches(settings);
  out.identity.record = record_;
  const std::function<void()> job = [&] {
    out.found = negotiator_.connect(negotiate) && link_.isOpen();
    if (!out.found && !allowedWithoutCamera) {
      negotiator_.disconnect();
      return;
    }
    monitor_.setAfpVariant(link_.protocol() == link::Protocol::Afp);
    out.stage = identify(out.identity.record, out.identity.flags, out.identity.fields, out.switches)
                    ? LineOutcome::Stage::Identified
                    : LineOutcome::Stage::IdentificationFailed;
  };
  if (lineWork) lineWork(job);
  else job();
  return out;
}

void Connection::adopt(const Identity& identity, const std::string& settingsText) {
  portOpen_ = true;
  take(identity);
  portField_ = " " + portName_ + ": " + settingsText;
}

void Connection::take(const Identity& identity) {
  record_ = identity.record;
  flags_ = identity.flags;
  fields_ = identity.fields;
  rangeModel_ = record_.modelCode;
}

void Connection::close() {
  negotiator_.disconnect();
  portOpen_ = false;
  fields_ = noCameraFields();
  portField_.clear();
}

bool Connection::readAeMode() {
  std::uint32_t value = 0;
  if (!camera::readSetting(camera::kAeModeSetting, value, link_, eap_, codes_)) return false;
  flags_.aeMode = static_cast<int>(value);
  fields_.aeMode = camera::aeModeText(flags_.aeMode, link_.protocol());
  return true;
}

camera::SettingReader Connection::settingReader() {
  return [this](const camera::Setting& s) -> std::optional<std::uint32_t> {
    std::uint32_t value = 0;
    if (!camera::readSetting(s, value, link_, eap_, codes_)) return std::nullopt;
    return value;
  };
}

}  // namespace orva::shell
