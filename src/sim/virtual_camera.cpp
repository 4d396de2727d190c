#include "sim/virtual_camera.hpp"

#include <algorithm>
#include <string_view>

#include "sim/camera_controls.hpp"
#include "sim/exposure.hpp"
#include "sim/function_bindings.hpp"
#include "sim/ir_filter.hpp"
#include "sim/lens.hpp"
#include "sim/picture.hpp"
#include "sim/presets.hpp"
#include "sim/status_block.hpp"

namespace orva::sim {
namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";
// What the rest of an echo the tool gave up on carries: the zeros of a read frame.
constexpr std::uint8_t kTailByte = '0';
// A glitch on the line reads as a byte with every data bit set.
constexpr std::uint8_t kStrayByte = 0xFF;

core::Clock::duration characterTime(const link::LineSettings& s) {
  return std::chrono::nanoseconds(static_cast<std::int64_t>(link::bitsPerCharacter(s)) * 1'000'000'000 /
                                  std::max(s.baud, 1));
}

}  // namespace

VirtualCamera::VirtualCamera(const Profile& profile, std::vector<Fault> faults)
    : settings_(profile.lineSettings()),
      protocol_(profile.protocol),
      afp_(memory_, profile.refusals),
      faults_(std::move(faults)),
      completionDelay_(profile.completionDelay),
      restartTime_(profile.restartTime),
      factoryTime_(profile.factoryTime),
      eepromRange_(profile.eepromRange),
      modelCode_(profile.modelCode) {
  presetLensRegisters(memory_);
  for (const auto& block : profile.registers)
    for (std::size_t i = 0; i < block.bytes.size(); ++i)
      memory_.write(static_cast<std::uint16_t>(block.address + i), block.bytes[i]);
  factory_ = eepromContents();
  installControls(*this);
  const auto lens = installLens(*this, profile.lensTele);
  installFunctionBindings(*this);
  installExposure(*this);  // after the bindings: it looks at what an AE mode set wrote
  installPicture(*this);
  installIrFilter(*this);  // after the bindings too: a move set has written FFE6
  installStatusBlock(*this);
  installPresets(*this, lens);  // after the lens: a drive written with "#W" has started by then
}

eeprom::Image VirtualCamera::eepromContents() const {
  if (!eepromRange_) return {};
  eeprom::Image image{eepromRange_->start, {}};
  image.bytes.reserve(eepromRange_->bytes());
  for (std::size_t i = 0; i < eepromRange_->bytes(); ++i)
    image.bytes.push_back(memory_.read(static_cast<std::uint16_t>(eepromRange_->start + i)));
  return image;
}

void VirtualCamera::onWrite(std::uint16_t address, WriteHook hook) {
  writeHooks_.emplace_back(address, std::move(hook));
}

void VirtualCamera::onFunctionSet(std::uint16_t code, FunctionHook hook) {
  functionHooks_.emplace_back(code, std::move(hook));
}

void VirtualCamera::onFunctionGet(std::uint16_t code, FunctionGetHook hook) {
  afp_.bindReader(code, [this, hook = std::move(hook)](std::string_view) { return hook(*this); });
}

void VirtualCamera::onTableGet(std::uint16_t code, TableGetHook hook) {
  afp_.bindReader(code, [this, hook = std::move(hook)](std::string_view asked) { return hook(*this, asked); });
}

std::optional<std::string> VirtualCamera::lastEapFrame(std::string_view head) const {
  const auto found = eapFrames_.find(head);
  if (found == eapFrames_.end()) return std::nullopt;
  return found->second;
}

void VirtualCamera::onTime(TimeHook hook) { timeHooks_.push_back(std::move(hook)); }

void VirtualCamera::onRestart(RestartHook hook) { restartHooks_.push_back(std::move(hook)); }

void VirtualCamera::onIndication(IndicationGate gate) { indicationGates_.push_back(std::move(gate)); }

Responder& VirtualCamera::responder() {
  if (protocol_ == Protocol::Afp) return afp_;
  return eap_;
}

Heard VirtualCamera::hear(std::uint8_t c) {
  if (hungUp() || restarting_) return {{}, {}, hungUp()};
  const Protocol heardIn = protocol_;
  Reply reply = responder().hear(c);
  const FaultEffect effect = faults_.apply(reply);
  if (effect.hangUp) {
    hangUpFault_ = effect.hangUp;
    timers_.clear();
    return {{}, {}, true};
  }
  inHand_ = 0;
  if (!reply.completion.empty()) {
    inHand_ = ++lastId_;
    schedule({now_ + completionDelay_, std::move(reply.completion), TimerJob::Send, Protocol::Eap, inHand_});
  }
  // The camera echoes on after the answer that went wrong, each character in its own time,
  // whatever the tool does meanwhile.
  for (std::uint32_t i = 1; i <= effect.tail; ++i)
    schedule({now_ + static_cast<std::int64_t>(i) * characterTime(settings_), {kTailByte}});
  if (reply.eapFrame) eapFrames_[std::string{reply.eapFrame->start, reply.eapFrame->letter}] = reply.eapFrame->body;
  if (reply.eapFrame && reply.eapFrame->start == '#') {
    inHand_ = ++lastId_;
    schedule({now_ + completionDelay_, {kArrivalMessage.begin(), kArrivalMessage.end()}, TimerJob::Send,
              Protocol::Eap, inHand_});
  }
  hearing_ = true;
  runHooks(reply);
  hearing_ = false;
  inHand_ = 0;
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
    switch (timer.job) {
      case TimerJob::Send: send(std::move(timer.bytes)); break;
      case TimerJob::SwitchProtocol: speak(timer.switchTo); break;
      case TimerJob::EndFactoryDefault: endFactoryDefault(); break;
      case TimerJob::Wake: break;
    }
  }
  if (restarting_ && upAgainAt_ <= now) {
    restarting_ = false;
    if (pending_) settings_ = *std::exchange(pending_, std::nullopt);
  }
  now_ = std::max(now_, now);
  // By index and by copy, as with the other hooks.
  for (std::size_t i = 0; i < timeHooks_.size(); ++i) {
    TimeHook hook = timeHooks_[i];
    hook(*this);
  }
}

std::optional<VirtualCamera::time_point> VirtualCamera::nextOutputTime() const {
  for (const auto& timer : timers_)
    if (timer.job == TimerJob::Send || timer.job == TimerJob::Wake) return timer.at;
  return std::nullopt;
}

std::vector<std::uint8_t> VirtualCamera::takeOverOwnAccord() {
  if (inHand_ == 0) return {};
  const auto found = std::ranges::find_if(timers_, [this](const Timer& t) { return t.id == inHand_; });
  inHand_ = 0;
  if (found == timers_.end()) return {};
  std::vector<std::uint8_t> bytes = std::move(found->bytes);
  timers_.erase(found);
  return bytes;
}

void VirtualCamera::wakeAt(time_point at) {
  const bool known = std::ranges::any_of(timers_, [at](const Timer& t) { return t.job == TimerJob::Wake && t.at == at; });
  if (!known && at > now_) schedule({at, {}, TimerJob::Wake});
}

std::vector<CameraOutput> VirtualCamera::takeOutput() { return std::exchange(output_, {}); }

void VirtualCamera::send(std::vector<std::uint8_t> bytes) {
  Reply reply;
  reply.answer = std::move(bytes);
  const FaultEffect effect = faults_.apply(reply, ReplyOrigin::OwnAccord);
  if (reply.answer.empty()) return;
  log_.addFromCamera(reply.answer);
  output_.push_back({now_ + effect.delay, std::move(reply.answer)});
}

void VirtualCamera::switchProtocol(Protocol protocol) {
  time_point at = now_;
  for (const auto& timer : timers_)
    if (timer.job == TimerJob::Send) at = std::max(at, timer.at);
  if (at <= now_)
    speak(protocol);
  else
    schedule({at, {}, TimerJob::SwitchProtocol, protocol});
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
  // Messages on the line are forgotten; work on the EEPROM goes on.
  std::erase_if(timers_, [](const Timer& t) { return t.job != TimerJob::EndFactoryDefault; });
  eap_.reset();
  afp_.reset();
  for (const RestartHook& hook : restartHooks_) hook(*this);
}

void VirtualCamera::factoryDefault() {
  memory_.write(kFactoryRegister, kFactoryBusy);
  if (factoryBusy_) return;
  factoryBusy_ = true;
  schedule({now_ + factoryTime_, {}, TimerJob::EndFactoryDefault});
}

void VirtualCamera::endFactoryDefault() {
  factoryBusy_ = false;
  if (faults_.has(FaultKind::FactoryFail)) {
    memory_.write(kFactoryRegister, kFactoryFailed);
    return;
  }
  for (std::size_t i = 0; i < factory_.bytes.size(); ++i)
    memory_.write(static_cast<std::uint16_t>(factory_.start + i), factory_.bytes[i]);
  memory_.write(kFactoryRegister, kFactoryDone);
}

void VirtualCamera::lineRaised() {
  if (hungUp()) return;
  if (auto ms = faults_.argument(FaultKind::Stray)) schedule({now_ + std::chrono::milliseconds(*ms), {kStrayByte}});
}

std::optional<std::chrono::milliseconds> VirtualCamera::deliveryLatency() const {
  if (auto ms = faults_.argument(FaultKind::Latency)) return std::chrono::milliseconds(*ms);
  return std::nullopt;
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
  if (hungUp() || restarting_ || protocol_ != Protocol::Afp) return;
  for (const auto& indication : raised) {
    const bool held = std::ranges::any_of(
        indicationGates_, [&](const IndicationGate& gate) { return !gate(*this, indication.kind, indication.value); });
    if (held) continue;
    send({static_cast<std::uint8_t>(kAfpIndication), static_cast<std::uint8_t>(kHexDigits[indication.kind]),
          static_cast<std::uint8_t>(kHexDigits[indication.value]), static_cast<std::uint8_t>(kAfpEnd)});
  }
}

}  // namespace orva::sim
