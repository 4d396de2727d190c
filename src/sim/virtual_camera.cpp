#include "sim/virtual_camera.hpp"

#include "sim/eap_responder.hpp"

namespace orva::sim {
namespace {

std::unique_ptr<Responder> makeResponder(Protocol protocol, RegisterMemory& memory) {
  if (protocol == Protocol::Eap) return std::make_unique<EapResponder>(memory);
  return nullptr;
}

}  // namespace

VirtualCamera::VirtualCamera(const Profile& profile, std::vector<Fault> faults)
    : settings_(profile.lineSettings()),
      protocol_(profile.protocol),
      responder_(makeResponder(profile.protocol, memory_)),
      faults_(std::move(faults)) {
  for (const auto& block : profile.registers)
    for (std::size_t i = 0; i < block.bytes.size(); ++i)
      memory_.write(static_cast<std::uint16_t>(block.address + i), block.bytes[i]);
}

void VirtualCamera::onWrite(std::uint16_t address, WriteHook hook) {
  writeHooks_.emplace_back(address, std::move(hook));
}

Heard VirtualCamera::hear(std::uint8_t c) {
  if (hungUp_ || !responder_) return {{}, {}, hungUp_};
  Reply reply = responder_->hear(c);
  const FaultEffect effect = faults_.apply(reply);
  if (effect.hangUp) {
    hungUp_ = true;
    return {{}, {}, true};
  }
  log_.add(c, reply.answer, reply.position, reply.frameEnds);
  for (const auto& write : reply.writes) {
    // By index and by copy: a hook may add hooks.
    for (std::size_t i = 0; i < writeHooks_.size(); ++i) {
      if (writeHooks_[i].first != write.address) continue;
      WriteHook hook = writeHooks_[i].second;
      hook(*this, write);
    }
  }
  return {std::move(reply.answer), effect.delay, false};
}

}  // namespace orva::sim
