#include "sim/exposure.hpp"

#include <algorithm>
#include <array>

#include "sim/function_bindings.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

void takeAeMode(VirtualCamera& cam) {
  const auto base = static_cast<std::uint8_t>(cam.memory().read(kAeModeRegister) & 0x0Fu);
  const auto found = std::ranges::find(kAeDefaults, base, &AeDefault::baseMode);
  if (found != std::ranges::end(kAeDefaults)) cam.memory().write(kAeParameterRegister, found->parameter);
}

void takeWeightingData(VirtualCamera& cam) {
  RegisterMemory& m = cam.memory();
  const auto high = m.read(kWeightingDataRegister);
  const unsigned area = high >> 4;
  if (area < 1 || area > kWeightingAreas) return;
  const auto at = static_cast<std::uint16_t>(kWeightingAreaRegister + 3 * (area - 1));
  m.write(at, 0x00);
  m.write(static_cast<std::uint16_t>(at + 1), static_cast<std::uint8_t>(high & 0x0Fu));
  m.write(static_cast<std::uint16_t>(at + 2), m.read(static_cast<std::uint16_t>(kWeightingDataRegister + 1)));
}

}  // namespace

void installExposure(VirtualCamera& camera) {
  camera.onWrite(kAeModeRegister, [](VirtualCamera& cam, const MemoryWrite&) { takeAeMode(cam); });
  camera.onFunctionSet(kAeModeFunction, [](VirtualCamera& cam, const FunctionSet& set) {
    // The binding has written FCC8 by now, unless the value was outside the numbering.
    if (set.number() == boundValue(cam.memory(), kAeModeFunction)) takeAeMode(cam);
  });
  camera.onWrite(static_cast<std::uint16_t>(kWeightingDataRegister + 1),
                 [](VirtualCamera& cam, const MemoryWrite&) { takeWeightingData(cam); });
  camera.onFunctionSet(kWeightingDataFunction, [](VirtualCamera& cam, const FunctionSet&) { takeWeightingData(cam); });
  // Read only: the camera puts back what it held before the tool's write.
  for (const std::uint16_t address : {kStrobeStatusRegister, kTriggerStatusRegister}) {
    camera.onWrite(address, [address, held = camera.memory().read(address)](VirtualCamera& cam, const MemoryWrite&) {
      cam.memory().write(address, held);
    });
  }
}

}  // namespace orva::sim
