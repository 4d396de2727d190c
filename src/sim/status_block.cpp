#include "sim/status_block.hpp"

#include <fmt/format.h>

#include "sim/function_bindings.hpp"
#include "sim/lens.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

constexpr std::uint16_t kInstantDigitalZoomRegister = 0xFF0F;
constexpr std::uint8_t kInstantDigitalZoomBit = 0x80;
constexpr std::uint16_t kFilterPositionRegister = 0xFFE7;
constexpr std::uint8_t kFilterIn = 1;
constexpr std::uint16_t kEnhancedIntensityRegister = 0xFF90;
constexpr std::uint8_t kWhiteoutReduction = 0x10;
constexpr std::uint16_t kStabiliserRegister = 0xFCCC;
constexpr std::uint16_t kAeModeFunction = 0x2105;
constexpr std::uint16_t kBackLightFunction = 0x2301;
constexpr std::uint8_t kAfpOn = 2;

unsigned bit(bool set, unsigned position) { return set ? 1u << position : 0u; }

unsigned word(const RegisterMemory& memory, std::uint16_t address) {
  return static_cast<unsigned>(memory.read(address) << 8 | memory.read(static_cast<std::uint16_t>(address + 1)));
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
  const unsigned b4 = bit(intensity != 0, 7);
  const unsigned b6 = bit((memory.read(kStabiliserRegister) & 0x01u) != 0, 6);
  return fmt::format("{:02X}{:02X}{:02X}{:02X}{:02X}{:02X}{:04X}{:04X}{:04X}{:04X}{:04X}", b1, b2, b3, b4, 0u, b6,
                     word(memory, kFocusPositionRegister), word(memory, kZoomPositionWideRegister), 0u, 0u, 0u);
}

void installStatusBlock(VirtualCamera& camera) {
  camera.onFunctionGet(kStatusBlockFunction, [](const VirtualCamera& cam) { return statusBlock(cam.memory()); });
}

}  // namespace orva::sim
