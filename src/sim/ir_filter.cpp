#include "sim/ir_filter.hpp"

#include <fmt/format.h>

#include <memory>
#include <optional>

#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

constexpr std::uint8_t kNotifyOff = 1;
constexpr std::uint8_t kNotifyOn = 2;

// A register that takes a new value some time after the command that asked for it.
struct Movement {
  std::uint16_t address = 0;
  std::optional<std::uint8_t> to;
  VirtualCamera::time_point at{};

  void start(const VirtualCamera& cam, std::uint8_t value) {
    to = value;
    at = cam.now() + kFilterMoveTime;
  }
  void update(VirtualCamera& cam, bool stuck) {
    if (!to || cam.now() < at) return;
    if (!stuck) cam.memory().write(address, *to);
    to.reset();
  }
};

struct Filters {
  Movement irCut{.address = kFilterPositionRegister, .to = {}, .at = {}};
  Movement pl{.address = kPlFilterStatusRegister, .to = {}, .at = {}};
  std::uint32_t notification = kNotifyOn;
};

void moveIrCut(Filters& f, const VirtualCamera& cam, std::uint8_t command) {
  if (command == kFilterMoveIn) f.irCut.start(cam, kFilterIn);
  if (command == kFilterMoveOut) f.irCut.start(cam, kFilterOut);
}

}  // namespace

void installIrFilter(VirtualCamera& camera) {
  auto filters = std::make_shared<Filters>();
  camera.onWrite(kFilterMoveRegister, [filters](VirtualCamera& cam, const MemoryWrite& w) {
    moveIrCut(*filters, cam, w.value);
  });
  camera.onFunctionSet(kFilterMoveFunction, [filters](VirtualCamera& cam, const FunctionSet& s) {
    // The binding has written FFE6 by now, unless the value was no move.
    const auto value = s.number();
    if (value == 1u || value == 2u) moveIrCut(*filters, cam, cam.memory().read(kFilterMoveRegister));
  });
  camera.onWrite(kPlFilterControlRegister, [filters](VirtualCamera& cam, const MemoryWrite& w) {
    if (w.value == 1 || w.value == 2) filters->pl.start(cam, w.value);
  });
  camera.onTime([filters](VirtualCamera& cam) {
    filters->irCut.update(cam, cam.hasFault(FaultKind::IrcfStuck));
    filters->pl.update(cam, false);
  });

  camera.onFunctionSet(kIrNotificationFunction, [filters](VirtualCamera&, const FunctionSet& s) {
    if (const auto value = s.number()) filters->notification = *value;
  });
  camera.onFunctionGet(kIrNotificationFunction,
                       [filters](const VirtualCamera&) { return fmt::format("{:02X}", filters->notification); });
  camera.onIndication([filters](const VirtualCamera&, std::uint8_t kind, std::uint8_t) {
    return kind != kIrFilterIndication || filters->notification != kNotifyOff;
  });
}

}  // namespace orva::sim
