#include "sim/faults.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <optional>

namespace orva::sim {
namespace {

const FaultKindInfo* findKind(std::string_view name) {
  for (const auto& info : kFaultKinds)
    if (info.name == name) return &info;
  return nullptr;
}

core::Error faultError(std::string_view text, std::string_view what) {
  return core::Error{fmt::format("fault \"{}\": {} (faults: {})", text, what, faultUsage())};
}

std::optional<std::uint32_t> parseNumber(std::string_view s) {
  std::uint32_t n = 0;
  const char* end = s.data() + s.size();
  auto [ptr, ec] = std::from_chars(s.data(), end, n);
  if (s.empty() || ec != std::errc{} || ptr != end) return std::nullopt;
  return n;
}

}  // namespace

std::string faultUsage() {
  std::string out;
  for (const auto& info : kFaultKinds) {
    if (!out.empty()) out += ", ";
    out += info.usage;
  }
  return out;
}

std::string faultText(const Fault& fault) {
  for (const auto& info : kFaultKinds)
    if (info.kind == fault.kind)
      return info.argument == FaultArgument::None ? std::string(info.name) : fmt::format("{}:{}", info.name, fault.n);
  return "?";
}

core::Result<Fault> parseFault(std::string_view text) {
  const auto colon = text.find(':');
  const FaultKindInfo* info = findKind(text.substr(0, colon));
  if (!info) return faultError(text, "unknown kind");
  if (colon == std::string_view::npos) {
    if (info->argument == FaultArgument::Required)
      return faultError(text, fmt::format("write it as {}", info->usage));
    return Fault{info->kind, info->byDefault};
  }
  if (info->argument == FaultArgument::None)
    return faultError(text, fmt::format("{} takes no number", info->name));
  auto n = parseNumber(text.substr(colon + 1));
  if (!n) return faultError(text, "the part after ':' is not a whole number");
  if (*n < info->minimum)
    return faultError(text, fmt::format("the number must be at least {}", info->minimum));
  return Fault{info->kind, *n};
}

FaultInjector::FaultInjector(std::vector<Fault> faults) : faults_(std::move(faults)) {
  for (const auto& f : faults_)
    if (f.kind == FaultKind::Garbage) garbageState_ = f.n;
}

// splitmix64: small, fast and the same on every platform, so a seed names one byte sequence.
std::uint8_t FaultInjector::randomByteOtherThan(std::uint8_t b) {
  garbageState_ += 0x9E3779B97F4A7C15ull;
  std::uint64_t z = garbageState_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  const auto r = static_cast<std::uint8_t>(z);
  return r == b ? static_cast<std::uint8_t>(r ^ 0xFF) : r;
}

bool FaultInjector::has(FaultKind kind) const {
  return std::any_of(faults_.begin(), faults_.end(), [kind](const Fault& f) { return f.kind == kind; });
}

std::optional<std::uint32_t> FaultInjector::argument(FaultKind kind) const {
  for (const auto& f : faults_)
    if (f.kind == kind) return f.n;
  return std::nullopt;
}

FaultEffect FaultInjector::apply(Reply& reply, ReplyOrigin origin) {
  const bool heard = origin == ReplyOrigin::Answer;
  const std::vector<std::uint8_t> asAnswered = reply.answer;
  if (heard) ++charactersHeard_;
  if (heard && reply.position == 1) ++framesStarted_;
  FaultEffect effect;
  for (const auto& f : faults_) {
    switch (f.kind) {
      case FaultKind::Silent:
        reply.answer.clear();
        break;
      case FaultKind::WrongEcho:
        if (reply.position == static_cast<std::int64_t>(f.n))
          for (auto& b : reply.answer) b = static_cast<std::uint8_t>(b ^ 0x01);
        break;
      case FaultKind::BadHex:
        if (reply.valueDigit)
          for (auto& b : reply.answer) b = 'G';
        break;
      case FaultKind::Garbage:
        for (auto& b : reply.answer) b = randomByteOtherThan(b);
        break;
      case FaultKind::HangUp:
        if (heard && reply.position == 1 && framesStarted_ > f.n && !effect.hangUp) effect.hangUp = f;
        break;
      case FaultKind::Cut:
        if (heard && charactersHeard_ > f.n && !effect.hangUp) effect.hangUp = f;
        break;
      case FaultKind::Slow:
        effect.delay += std::chrono::milliseconds(f.n);
        break;
      case FaultKind::Drop:
        if (f.n > 0 && reply.position > 0 && framesStarted_ % f.n == 0) reply.answer.clear();
        break;
      case FaultKind::EchoTail:
        // Only after the faults before it in the list have spoilt an echo (a changed value
        // digit looks like any other value to the tool, which goes on with the frame).
        if (heard && reply.position > 0 && !reply.valueDigit && reply.answer != asAnswered) effect.tail = f.n;
        break;
      case FaultKind::FactoryFail:  // the camera asks has() when a factory default ends
      case FaultKind::Stray:        // the camera asks argument() when DTR rises
      case FaultKind::Latency:      // the line asks argument() when it delivers
      case FaultKind::IrcfStuck:    // the IR cut filter asks has() as it moves
      case FaultKind::PresetError:  // the preset engine asks has() as a run starts
        break;
    }
  }
  return effect;
}

}  // namespace orva::sim
