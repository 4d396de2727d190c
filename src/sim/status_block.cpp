#include "sim/status_block.hpp"

#include <fmt/format.h>

#include "sim/function_bindings.hpp"
#include "sim/ir_filter.hpp"
#include "sim/lens.hpp"
#include "sim/picture.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

constexpr std::uint16_t kInstantDigitalZoomRegister = 0xFF0F;
constexpr std::uint8_t kInstantDigitalZoomBit = 0x80;
constexpr std::uint16_t kEnhancedIntensityRegister = 0xFF90;
constexpr std::uint8_t kWhiteoutReduction = 0x10;
constexpr std::uint16_t kStabiliserRegister = 0xFCCC;
constexpr std::uint8_t kManualApertureBit = 0x02;
constexpr std::uint16_t kWdrRegister = 0xFF4C;
constexpr std::uint16_t kPrivacyMaskRegister = 0xF900;
constexpr std::uint16_t kReverseRegister = 0xFF30;
constexpr std::uint16_t kFreezeRegister = 0xFF33;
constexpr std::uint16_t kMotionDetectionRegister = 0xF950;
constexpr std::uint16_t kMotionTrackingRegister = 0xF9B0;
constexpr std::uint16_t kIrisRegister = 0xFFDC;
constexpr std::uint16_t kShutterRegister = 0xFFDA;
constexpr std::uint16_t kGainRegister = 0xFFDE;
constexpr std::uint16_t kAeModeFunction = 0x2105;
constexpr std::uint16_t kBackLightFunction = 0x2301;
constexpr std::uint8_t kAfpOn = 2;

unsigned bit(bool set, unsigned position) { return set ? 1u << position : 0u; }

unsigned word(const RegisterMemory& memory, std::uint16_t address) {
  return static_cast<unsigned>(memory.read(address) << 8 | memory.read(static_cast<std::uint16_t>(address + 1)));
}

// The light source as the block numbers it: 1 normal, 2 sodium, 3 mercury; 0 for none of them.
unsigned lightSource(std::uint8_t value) {
  switch (value) {
    case 0: return 1;
    case 2: return 2;
    case 3: return 3;
    default: return 0;
  }
}

}  // namespace

std::string statusBlock(const RegisterMemory& memory) {
  const std::uint8_t drive = memory.read(kLensDriveRegister);
  const std::uint8_t intensity = memory.read(kEnhancedIntensityRegister);
  const unsigned b1 = bit((memory.read(kFocusModeRegister) & kManualFocusBit) != 0, 0) |
                      bit((memory.read(kContinuousDigitalZoomRegister) & kContinuousDigitalZoomBit) != 0, 1) |
                      bit((memory.read(kInstantDigitalZoomRegister) & kInstantDigitalZoomBit) != 0, 2) |
                      bit(drive == kDriveFar || drive == kDriveNear, 3) |
                      bit((memory.read(kLensStatusRegister) & kZoomMovingBit) != 0, 4);
  const unsigned b2 = bit(memory.read(kFilterPositionRegister) == kFilterIn, 0) |
                      bit(boundValue(memory, kBackLightFunction) == kAfpOn, 1) |
                      bit(intensity == kWhiteoutReduction, 2);
  const unsigned b3 = static_cast<unsigned>(boundValue(memory, kAeModeFunction) & 0x0Fu) << 4;
  const std::uint8_t wbAperture = memory.read(kWhiteBalanceRegister);
  const unsigned b4 = bit((wbAperture & kManualWhiteBalanceBit) != 0, 3) |
                      bit((wbAperture & kManualApertureBit) != 0, 4) | bit(memory.read(kWdrRegister) != 0, 5) |
                      bit(intensity != 0, 7);
  const unsigned b5 = lightSource(memory.read(kLightSourceRegister));
  const unsigned b6 = bit(memory.read(kPrivacyMaskRegister) != 0, 0) | bit(memory.read(kReverseRegister) != 0, 2) |
                      bit(memory.read(kFreezeRegister) != 0, 3) | bit(memory.read(kMotionDetectionRegister) != 0, 4) |
                      bit(memory.read(kMotionTrackingRegister) != 0, 5) |
                      bit((memory.read(kStabiliserRegister) & 0x01u) != 0, 6);
  return fmt::format("{:02X}{:02X}{:02X}{:02X}{:02X}{:02X}{:04X}{:04X}{:04X}{:04X}{:04X}", b1, b2, b3, b4, b5, b6,
                     word(memory, kFocusPositionRegister), word(memory, kZoomPositionWideRegister),
                     word(memory, kIrisRegister), word(memory, kShutterRegister), word(memory, kGainRegister));
}

void installStatusBlock(VirtualCamera& camera) {
  camera.onFunctionGet(kStatusBlockFunction, [](const VirtualCamera& cam) { return statusBlock(cam.memory()); });
}

}  // namespace orva::sim
