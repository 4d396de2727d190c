#include "link/negotiator.hpp"

#include <fmt/format.h>

#include <chrono>
#include <string>

#include "link/texts.hpp"

namespace orva::link {
namespace {

using namespace std::chrono_literals;

constexpr auto kOpenPause = 200ms;
constexpr auto kScanPause = 100ms;
constexpr auto kRestartWait = 7000ms;
// Forms 1-10 (up to 57600) are scanned; the two 115200 forms never are.
constexpr std::size_t kScannedForms = 10;

// The form's place in the speed code tables: (SpeedRank - 1) x 2 + ParityIndex.
std::optional<std::size_t> speedCodeIndex(const SettingsForm& f) {
  if (f.speedCode < 1 || f.speedCode > static_cast<int>(kScannedForms)) return std::nullopt;
  return static_cast<std::size_t>(f.speedCode - 1);
}

constexpr std::uint8_t kEapCodes[2][kScannedForms] = {
    {0x00, 0xC0, 0xB0, 0xF0, 0xB9, 0xF9, 0xA9, 0xE9, 0x99, 0xD9},
    {0x00, 0xC0, 0xB1, 0xF1, 0xB9, 0xF9, 0xA9, 0xE9, 0x99, 0xD9},
};

std::string logForm(std::string_view monitorForm) {
  std::string out;
  for (std::size_t i = 0; i < monitorForm.size(); ++i) {
    if (monitorForm[i] == '\r' && i + 1 < monitorForm.size() && monitorForm[i + 1] == '\n') continue;
    out += monitorForm[i];
  }
  return out;
}

}  // namespace

std::optional<SettingsForm> formForLinkCode(int code) {
  const int rank = code % 10;
  const int parity = code / 10;
  if (rank < 1 || rank > 6 || parity > 1) return std::nullopt;
  return kSettingsForms[static_cast<std::size_t>((rank - 1) * 2 + parity)];
}

SettingsForm formOf(const LineSettings& s) {
  for (const auto& f : kSettingsForms)
    if (f.baud == s.baud && f.evenParity == s.evenParity) return f;
  return kSettingsForms[0];
}

std::vector<SpeedChoice> portDialogSpeeds() {
  return {{"4800 ", 1}, {"9600 ", 2}, {"19200", 3}, {"38400", 4}, {"57600", 5}, {"115200", 6}};
}

std::vector<SpeedChoice> cameraSpeeds(std::uint16_t modelCode, int speedCapability) {
  std::vector<SpeedChoice> all = {{"4800 ", 1}, {"9600 ", 2}, {"19200", 3}, {"38400", 4}, {"57600", 5}};
  std::size_t count = 5;
  const unsigned family = modelCode & 0xF0u;
  if (family <= 0x80) count = 2;
  else if (family == 0x90 || family == 0xD0) count = 4;
  if (speedCapability == 1) count = 2;
  else if (speedCapability == 2) count = 4;
  else if (speedCapability == 3) count = 5;
  all.resize(count);
  return all;
}

std::optional<std::uint8_t> eapSpeedCode(const SettingsForm& form, std::uint16_t modelCode) {
  auto i = speedCodeIndex(form);
  if (!i) return std::nullopt;
  const unsigned family = modelCode & 0xF0u;
  return kEapCodes[family == 0x90 || family == 0xA0 ? 1 : 0][*i];
}

std::optional<std::uint8_t> afpSpeedCode(const SettingsForm& form) {
  auto i = speedCodeIndex(form);
  if (!i) return std::nullopt;
  return static_cast<std::uint8_t>(*i + 1);
}

void Negotiator::say(std::string_view monitorForm) { link_.monitor().message(monitorForm, logForm(monitorForm)); }

bool Negotiator::probe() {
  // A byte the line picked up while it was set up (a camera greeting DTR, noise on a
  // speed change) would be taken for the first echo.
  link_.drainInput();
  if (link_.protocol() == Protocol::Eap) {
    std::uint8_t value = 0;
    return eap_.readByte(kProbeRegister, value);
  }
  std::string reply;
  return afp_.get(fmt::format("{:04X}{:04X}{:02X}", kGatewayByteCode, kProbeRegister, 0xFF), reply);
}

void Negotiator::accessCheckHeading() {
  say(link_.protocol() == Protocol::Afp ? texts::kAfpAccessCheck : texts::kEapAccessCheck);
}

bool Negotiator::scanForms() {
  for (std::size_t i = 0; i < kScannedForms; ++i) {
    const SettingsForm& f = kSettingsForms[i];
    link_.setLineSettings(lineSettingsOf(f));
    say(std::string(texts::kCheckBaudrate) + std::string(f.text));
    link_.close();
    link_.clock().sleepFor(kScanPause);
    link_.open();
    link_.clock().sleepFor(kScanPause);
    if (probe()) return true;
  }
  return false;
}

bool Negotiator::negotiate() {
  auto lock = link_.command();
  const LineSettings startSettings = link_.lineSettings();
  const Protocol startProtocol = link_.protocol();
  say(texts::kNegotiation);
  say(std::string(texts::kCheckBaudrate) + std::string(formOf(startSettings).text));
  // The failed probes would flood the monitor.
  core::EchoModeScope quiet(link_.monitor(), core::EchoMode::Hidden);

  accessCheckHeading();
  if (probe()) return true;
  if (scanForms()) return true;
  link_.setProtocol(startProtocol == Protocol::Afp ? Protocol::Eap : Protocol::Afp);
  accessCheckHeading();
  if (scanForms()) return true;

  link_.setProtocol(startProtocol);
  link_.setLineSettings(startSettings);
  return false;
}

bool Negotiator::connect(bool negotiate) {
  auto lock = link_.command();
  if (link_.noCameraMode() == NoCameraMode::Allowed && !link_.hasChannel()) return true;
  link_.close();
  openFailed_ = !link_.open();
  // A line that cannot be opened at all has been reported; a search over it would only add
  // one failed open per setting and end by blaming the camera.
  if (openFailed_) return false;
  link_.clock().sleepFor(kOpenPause);
  if (!negotiate) return true;
  if (this->negotiate()) return true;
  // Nothing answered: the line must not stay open at the last form tried.
  link_.close();
  return false;
}

void Negotiator::disconnect() {
  auto lock = link_.command();
  link_.close();
  if (link_.noCameraMode() == NoCameraMode::Absent) link_.setNoCameraMode(NoCameraMode::Allowed);
}

bool Negotiator::switchProtocol() {
  auto lock = link_.command();
  if (link_.protocol() == Protocol::Eap) {
    say(texts::kChangeToAfp);
    eap_.writeByte(kToAfpRegister, 1);
    link_.setProtocol(Protocol::Afp);
    if (auto* changed = link_.changedAddresses()) changed->clear();
  } else {
    say(texts::kChangeToEap);
    afp_.set(fmt::format("{:04X}{:02X}", kToEapCode, 1), true);
    link_.setProtocol(Protocol::Eap);
  }
  link_.clearInput();
  link_.close();
  link_.clock().sleepFor(kOpenPause);
  link_.open();
  return true;
}

Negotiator::SpeedChange Negotiator::changeCameraSpeed(const SettingsForm& to, std::uint16_t modelCode,
                                                      core::Prompt& prompt) {
  if (to.speedCode == formOf(link_.lineSettings()).speedCode) {
    prompt.message(texts::kBaudrateNotChanged, texts::kBaudrateNotChangedTitle, core::Icon::Exclamation);
    return SpeedChange::Unchanged;
  }
  if (prompt.ask(texts::kBaudrateChangeQuestion, texts::kBaudrateChangeTitle, core::Buttons::OkCancel,
                 core::Icon::Question) != core::Answer::Ok)
    return SpeedChange::Cancelled;

  auto lock = link_.command();
  const bool eap = link_.protocol() == Protocol::Eap;
  auto code = eap ? eapSpeedCode(to, modelCode) : afpSpeedCode(to);
  if (!code) return SpeedChange::Failed;  // 115200 cannot be set in the camera
  link_.monitor().message(texts::kChangeBaudrate.monitor, texts::kChangeBaudrate.log);
  const bool written = eap ? eap_.writeByte(kSpeedRegister, *code)
                           : afp_.set(fmt::format("{:04X}{:02X}", kSpeedCode, *code), true);
  // Without the new code in the camera a reset would only cost the camera its restart.
  if (!written) return SpeedChange::Failed;
  link_.setLineSettings(lineSettingsOf(to));

  link_.monitor().message(texts::kCameraReset.monitor, texts::kCameraReset.log);
  prompt.busy(true);
  if (eap)
    eap_.writeByte(kResetRegister, 0);
  else
    afp_.set(fmt::format("{:04X}{:02X}", kResetCode, 1), true);
  link_.clock().sleepFor(kRestartWait);
  prompt.busy(false);
  return SpeedChange::Changed;
}

}  // namespace orva::link
