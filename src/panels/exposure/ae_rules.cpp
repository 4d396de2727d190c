// What the AE Control panel decides from the model and the camera's state.
#include <algorithm>
#include <array>

#include "panels/exposure/ae_settings.hpp"
#include "panels/exposure/ae_texts.hpp"

namespace orva::panels::exposure {
namespace {

template <std::size_t N>
bool oneOf(std::uint16_t v, const std::array<std::uint16_t, N>& set) {
  return std::find(set.begin(), set.end(), v) != set.end();
}

constexpr std::array<std::uint16_t, 4> kShiftedFamilies{0x13F0, 0x14F0, 0x15F0, 0x16F0};
// The newest families: a shutter range of their own, and their own F-number captions.
constexpr std::array<std::uint16_t, 5> kNewestFamilies{0x19F0, 0x1AF0, 0x1BF0, 0x1CF0, 0x1DF0};
constexpr std::uint16_t kNarrowIrisFamily = 0x18F0;

}  // namespace

std::uint32_t mainModeCode(std::uint32_t code, link::Protocol protocol) {
  if (protocol == link::Protocol::Afp) {
    if (code >= 1 && code <= 3) return 1;
    if (code >= 4 && code <= 7) return 4;
    return code;
  }
  const std::uint32_t level = code >> 4;
  if (code <= 0xFF && (code & 0x0F) == 0x0 && level <= 2) return 0x00;
  if (code <= 0xFF && (code & 0x0F) == 0x1 && level <= 3) return 0x01;
  return code;
}

bool shiftedShutterCodes(const camera::ModelRecord& m, link::Protocol) { return oneOf(family(m), kShiftedFamilies); }
bool standardShutterCodes(const camera::ModelRecord& m, link::Protocol p) { return !shiftedShutterCodes(m, p); }

std::vector<std::string> fNumberCaptions(const camera::ModelRecord& m) {
  std::vector<std::string> out(texts::kFNumbers.begin(), texts::kFNumbers.end());
  if (oneOf(family(m), kNewestFamilies)) {
    out[5] = texts::kF9;
    out[6] = texts::kF11;
    out[8] = texts::kF22;
  }
  return out;
}

Range exposureRange(const camera::ModelRecord& m) {
  return {0, family(m) == kNarrowIrisFamily ? 0x0480u : 0x06C0u};
}

bool shutterRangeReadsCameraMode(const camera::ModelRecord& m) {
  return !oneOf(family(m), kNewestFamilies) && family(m) != kNarrowIrisFamily;
}

Range shutterRange(const camera::ModelRecord& m, std::uint32_t cameraMode, link::Protocol protocol) {
  if (oneOf(family(m), kNewestFamilies)) return {0, 0x0A80};
  if (family(m) == kNarrowIrisFamily) return {0, 0x0B60};
  const bool wide = protocol == link::Protocol::Afp ? cameraMode != 9 : (cameraMode == 2 || cameraMode == 4);
  return wide ? Range{0x01B3, 0x0B73} : Range{0x0187, 0x0B40};
}

bool irisTargetNeedsWdrMode(std::uint32_t wdr, std::uint32_t wdrLevel) {
  return !(wdr == 0 || (wdr == 1 && wdrLevel != 0));
}

IrisTarget irisTarget(std::uint32_t wdr, std::uint32_t wdrLevel, std::uint32_t wdrMode) {
  if (!irisTargetNeedsWdrMode(wdr, wdrLevel) || wdrMode == 18) return {};
  return {0xFD90, 0x13CF};
}

}  // namespace orva::panels::exposure
