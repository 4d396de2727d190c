#include "sim/camera_controls.hpp"

#include "sim/speed_codes.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {

void installControls(VirtualCamera& camera) {
  camera.onWrite(kToAfpRegister, [](VirtualCamera& cam, const MemoryWrite& w) {
    if (w.value == 1) cam.switchProtocol(Protocol::Afp);
  });
  camera.onFunctionSet(kToEapFunction, [](VirtualCamera& cam, const FunctionSet& set) {
    if (set.number() == 1u) cam.switchProtocol(Protocol::Eap);
  });
  camera.onWrite(kSpeedRegister, [](VirtualCamera& cam, const MemoryWrite& w) {
    if (auto settings = eapSpeedCode(w.value)) cam.setPendingSettings(*settings);
  });
  camera.onFunctionSet(kSpeedFunction, [](VirtualCamera& cam, const FunctionSet& set) {
    if (auto code = set.number())
      if (auto settings = afpSpeedCode(*code)) cam.setPendingSettings(*settings);
  });
  camera.onWrite(kResetRegister, [](VirtualCamera& cam, const MemoryWrite& w) {
    if (w.value == 0) cam.restart();
  });
  camera.onFunctionSet(kResetFunction, [](VirtualCamera& cam, const FunctionSet& set) {
    if (set.number() == 1u) cam.restart();
  });
  camera.onWrite(kFactoryRegister, [](VirtualCamera& cam, const MemoryWrite& w) {
    if (w.value == kFactoryStart || cam.factoryBusy()) cam.factoryDefault();
  });
  camera.onFunctionSet(kFactoryFunction, [](VirtualCamera& cam, const FunctionSet& set) {
    if (set.number() == kFactoryStart) cam.factoryDefault();
  });
}

}  // namespace orva::sim
