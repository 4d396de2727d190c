#include "sim/virtual_camera.hpp"

#include <algorithm>
#include <string_view>

#include "sim/camera_controls.hpp"

namespace orva::sim {
namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

}  // namespace

VirtualCamera::VirtualCamera(const Profile& profile, std::vector<Fault> faults)
    : settings_(profile.lineSettings()),
      protocol_(profile.protocol),
      afp_(memory_, profile.refusals),
      faults_(std::move(faults)),
      completionDelay_(profile.completionDelay),
      restartTime_(profile.restartTime) {
  for (const auto& block : profile.registers)
    for (std::size_t i = 0; i < block.bytes.size(); ++i)
      memory_.write(static_cast<std::uint16_t>(block.address + i), block.bytes[i]);
  installControls(*this);
}

void VirtualCamera::onWrite(std::uint16_t address, WriteHook hook) {
  writeHooks_.emplace_back(address, std::move(hook));
}

void VirtualCamera::onFunctionSet(std::uint16_t code, FunctionHook hook) {
  functionHooks_.emplace_back(code, std::move(hook));
}

Responder& VirtualCamera::responder() {
  if (protocol_ == Protocol::Afp) return afp_;
  return eap_;
}

Heard VirtualCamera::hear(std::uint8_t c) {
  if (hungUp_ || restarting_) return {{}, {}, hungUp_};
  const Protocol heardIn = protocol_;
  Reply reply = responder().hear(c);
  const FaultEffect effect = faults_.apply(reply);
  if (effect.hangUp) {
    hungUp_ = true;
    timers_.clear();
    return {{}, {}, true};
  }
  if (!reply.completion.empty()) schedule({now_ + completionDelay_, std::move(reply.completion)});
  hearing_ = true;
  runHooks(reply);
  hearing_ = false;
  if (restartAsked_) {
    // An EAP camera goes down before it echoes the character that asked for the restart.
    if (heardIn == Protocol::Eap) reply.answer.clear();
    beginRestart();
  }
  log_.add(c, reply.answer, reply.position, reply.frameEnds);
  return {std::move(reply.answer), effect.delay, false};
}

void VirtualCamera::runHooks(const Reply& reply) {
  // By index and by copy: a hook may add hooks.
  for (const auto& write : reply.writes) {
    for (std::size_t i = 0; i < writeHooks_.size(); ++i) {
      if (writeHooks_[i].first != write.address) continue;
      WriteHook hook = writeHooks_[i].second;
      hook(*this, write);
    }
  }
  if (!reply.functionSet) return;
  for (std::size_t i = 0; i < functionHooks_.size(); ++i) {
    if (functionHooks_[i].first != reply.functionSet->code) continue;
    FunctionHook hook = functionHooks_[i].second;
    hook(*this, *reply.functionSet);
  }
}

void VirtualCamera::schedule(Timer timer) {
  const auto later = std::upper_bound(timers_.begin(), timers_.end(), timer.at,
                                      [](time_point at, const Timer& t) { return at < t.at; });
  timers_.insert(later, std::move(timer));
}

void VirtualCamera::advanceTo(time_point now) {
  while (!timers_.empty() && timers_.front().at <= now) {
    Timer timer = std::move(timers_.front());
    timers_.pop_front();
    now_ = std::max(now_, timer.at);
    if (timer.bytes.empty())
      speak(timer.switchTo);
    else
      send(std::move(timer.bytes));
  }
  if (restarting_ && upAgainAt_ <= now) {
    restarting_ = false;
    if (pending_) settings_ = *std::exchange(pending_, std::nullopt);
  }
  now_ = std::max(now_, now);
}

std::optional<VirtualCamera::time_point> VirtualCamera::nextOutputTime() const {
  for (const auto& timer : timers_)
    if (!timer.bytes.empty()) return timer.at;
  return std::nullopt;
}

std::vector<CameraOutput> VirtualCamera::takeOutput() { return std::exchange(output_, {}); }

void VirtualCamera::send(std::vector<std::uint8_t> bytes) {
  Reply reply;
  reply.answer = std::move(bytes);
  const FaultEffect effect = faults_.apply(reply);
  if (reply.answer.empty()) return;
  log_.addFromCamera(reply.answer);
  output_.push_back({now_ + effect.delay, std::move(reply.answer)});
}

void VirtualCamera::switchProtocol(Protocol protocol) {
  time_point at = now_;
  for (const auto& timer : timers_)
    if (!timer.bytes.empty()) at = std::max(at, timer.at);
  if (at <= now_)
    speak(protocol);
  else
    schedule({at, {}, protocol});
}

void VirtualCamera::speak(Protocol protocol) {
  if (protocol == protocol_) return;
  protocol_ = protocol;
  eap_.reset();
  afp_.reset();
}

void VirtualCamera::restart() {
  restartAsked_ = true;
  if (!hearing_) beginRestart();
}

void VirtualCamera::beginRestart() {
  restartAsked_ = false;
  restarting_ = true;
  upAgainAt_ = now_ + restartTime_;
  timers_.clear();
  eap_.reset();
  afp_.reset();
}

void VirtualCamera::raiseIndication(std::uint8_t kind, std::uint8_t value) {
  std::function<void()> attention;
  {
    std::lock_guard lock(raisedMutex_);
    raised_.push_back({static_cast<std::uint8_t>(kind & 0x0Fu), static_cast<std::uint8_t>(value & 0x0Fu)});
    attention = attention_;
  }
  if (attention) attention();
}

void VirtualCamera::setAttention(std::function<void()> attention) {
  std::lock_guard lock(raisedMutex_);
  attention_ = std::move(attention);
}

void VirtualCamera::admitIndications() {
  std::vector<Indication> raised;
  {
    std::lock_guard lock(raisedMutex_);
    raised.swap(raised_);
  }
  if (hungUp_ || restarting_ || protocol_ != Protocol::Afp) return;
  for (const auto& indication : raised)
    send({static_cast<std::uint8_t>(kAfpIndication), static_cast<std::uint8_t>(kHexDigits[indication.kind]),
          static_cast<std::uint8_t>(kHexDigits[indication.value]), static_cast<std::uint8_t>(kAfpEnd)});
}

}  // namespace orva::sim
