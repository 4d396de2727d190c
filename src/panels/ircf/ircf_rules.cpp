// What the IRcf CONTROL panel decides from the model and the camera's values.
#include <iterator>

#include "panels/ircf/ircf_panels.hpp"
#include "panels/ircf/ircf_settings.hpp"

namespace orva::panels::ircf {
namespace {

bool bit(unsigned word, unsigned n) { return ((word >> n) & 1u) != 0; }
bool afp(link::Protocol p) { return p == link::Protocol::Afp; }

// Model codes of the restricted model and the capability bits of the gates.
constexpr std::uint16_t kRestrictedModel = 0x0FF0;
constexpr std::uint16_t kRestrictedVersionSeries = 0xB;
constexpr unsigned kAgcPriorityBit = 3;           // panel word 1
constexpr unsigned kExposureShutterBit = 4;       // panel word 1: the exposure-shutter-priority capability
constexpr unsigned kFullManualBit = 14;           // feature word
constexpr unsigned kLightFunctionBit = 2;         // function word
constexpr unsigned kLensLightBit = 1;             // lens-control word: the light's 0x20 bit
constexpr unsigned kThresholdBit = 10;            // lens-control word
constexpr unsigned kInterruptBit = 8;             // extra option word
constexpr std::uint16_t kLightVersion = 0x234;    // the 0x70 family's first with the light register

}  // namespace

std::optional<FilterControl> filterControl(std::uint32_t code, link::Protocol protocol) {
  if (afp(protocol)) {
    if (code == 2 || code == 3 || (code >= 5 && code <= 7)) return FilterControl::Automatic;
    if (code == 1 || code == 4 || (code >= 8 && code <= 12)) return FilterControl::Manual;
    return std::nullopt;
  }
  if (code == 0x10 || code == 0x11 || code == 0x20 || code == 0x21 || code == 0x31) return FilterControl::Automatic;
  if (code == 0x00 || code == 0x01 || (code >= 0x07 && code <= 0x0B)) return FilterControl::Manual;
  return std::nullopt;
}

std::uint32_t buttonCode(std::uint32_t code, link::Protocol protocol) {
  if (!afp(protocol)) return code & 0x0Fu;
  if (code >= 1 && code <= 3) return 1;
  if (code >= 4 && code <= 7) return 4;
  return code;
}

std::uint32_t registerCode(std::uint32_t afpCode) {
  constexpr std::uint32_t kCodes[] = {0xFF, 0x00, 0x10, 0x20, 0x01, 0x11, 0x21, 0x31, 0x07, 0x08, 0x0A, 0x09, 0x0B};
  return afpCode < std::size(kCodes) ? kCodes[afpCode] : 0xFF;
}

std::uint32_t automaticCode(std::uint32_t code, link::Protocol protocol) {
  if (afp(protocol)) {
    if (code == 1 || (code >= 8 && code <= 12)) return 3;
    if (code == 4) return 6;
    return code;
  }
  if (code >= 0x07 && code <= 0x0B) return 0x20;
  return code | 0x20u;
}

std::optional<std::uint32_t> manualCode(std::uint32_t code, link::Protocol protocol) {
  if (afp(protocol)) {
    if (code == 2 || code == 3 || (code >= 8 && code <= 12)) return 1;
    if (code >= 5 && code <= 7) return 4;
    return code;
  }
  if (filterControl(code, protocol) == FilterControl::Automatic) return code & 0x0Fu;
  return std::nullopt;
}

int lightItem(std::uint32_t value) {
  if (value == 2 || value == 0xC1 || value == 0xE1) return 1;
  if (value == 3 || value == 0xC2 || value == 0xE2) return 2;
  return 0;
}

std::uint32_t lightValue(int item, const camera::ModelRecord& m) {
  const std::uint32_t value = kLightValues[item].eap;
  return bit(m.lensControlWord, kLensLightBit) ? value | 0x20u : value;
}

std::uint32_t thresholdStep(std::uint32_t value, bool up) {
  constexpr std::uint32_t kNegative = 0x80;
  constexpr std::uint32_t kLimit = 0x18;
  const std::uint32_t magnitude = value & 0x7Fu;
  if ((value & kNegative) != 0) {
    if (!up) return magnitude >= kLimit ? kNegative | kLimit : value + 1;
    return magnitude == 0 ? 0x00 : value - 1;  // -0 crosses to 0
  }
  if (up) return magnitude >= kLimit ? kLimit : value + 1;
  return value == 0 ? kNegative : value - 1;  // 0 crosses to -0
}

bool restricted(const camera::ModelRecord& m) {
  return m.modelCode == kRestrictedModel && (m.cameraVersion >> 12) == kRestrictedVersionSeries;
}

bool offersAeButton(const camera::ModelRecord& m, int button) {
  switch (static_cast<AeButton>(button)) {
    case AeButton::Agc: return bit(m.panelWord1, kAgcPriorityBit);
    case AeButton::FullManual: return bit(m.featureWord, kFullManualBit);
    case AeButton::ExposureShutter: return bit(m.panelWord1, kExposureShutterBit);
    default: return true;
  }
}

bool lightInRegister(const camera::ModelRecord& m) {
  const unsigned family = m.modelCode & 0xF0u;
  return family == 0xB0 || (family == 0x70 && m.cameraVersion >= kLightVersion);
}

bool lightGroup(const camera::ModelRecord& m) {
  return lightInRegister(m) || bit(m.functionWord, kLightFunctionBit);
}

bool thresholdShown(const camera::ModelRecord& m, link::Protocol) { return bit(m.lensControlWord, kThresholdBit); }
bool interruptShown(const camera::ModelRecord& m, link::Protocol) { return bit(m.extraOptionWord, kInterruptBit); }

}  // namespace orva::panels::ircf
