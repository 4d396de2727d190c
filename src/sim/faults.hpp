#pragma once
// Faults a virtual camera shows on request, so the tool's handling of a bad line can be
// tried without a bad line. On the command line each is KIND or KIND:N:
//   silent        no answer at all
//   wrong-echo:N  the answer to character N (from 1) of every frame is wrong
//   bad-hex       register value digits are answered with 'G', which is not a hex digit
//   garbage[:S]   random bytes instead of answers; S seeds them (the same S, the same bytes)
//   hangup:N      after N complete frames the line hangs up, as an unplugged adapter does
//   cut:N         after N characters heard from the tool the line hangs up, mid-frame if need be
//   slow:MS       every answer goes out MS milliseconds late
//   drop:N        every Nth frame goes unanswered
//   factory-fail  a factory default ends as failed and restores nothing (camera_controls.hpp)
//   echo-tail:N   after an answer that went wrong (or did not come) the camera finishes its
//                 echo anyway: N more characters follow, one character time apart
//   stray:MS      a stray byte MS milliseconds after DTR rises (on a pty, where DTR cannot be
//                 seen: after each change of the tool's line speed)
//   latency:MS    answers reach the tool in lumps every MS milliseconds, as through a USB
//                 adapter's latency timer
//   ircf-stuck    the IR cut filter never reaches the position it was sent to (ir_filter.hpp)
//   preset-error  every preset run, store, delete and go-to fails (presets.hpp)
// Faults combine, applied in the order given. A new kind is one row in kFaultKinds and one
// case in FaultInjector::apply.
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.hpp"
#include "sim/responder.hpp"

namespace orva::sim {

enum class FaultKind { Silent, WrongEcho, BadHex, Garbage, HangUp, Cut, Slow, Drop, FactoryFail, EchoTail, Stray, Latency, IrcfStuck, PresetError };

enum class FaultArgument { None, Optional, Required };

struct FaultKindInfo {
  FaultKind kind;
  std::string_view name;
  FaultArgument argument;
  std::uint32_t minimum;    // smallest N accepted
  std::uint32_t byDefault;  // N when an optional one is left out
  std::string_view usage;   // how it is written, e.g. "wrong-echo:N"
};

inline constexpr std::array<FaultKindInfo, 14> kFaultKinds{{
    {FaultKind::Silent, "silent", FaultArgument::None, 0, 0, "silent"},
    {FaultKind::WrongEcho, "wrong-echo", FaultArgument::Required, 1, 0, "wrong-echo:N"},
    {FaultKind::BadHex, "bad-hex", FaultArgument::None, 0, 0, "bad-hex"},
    {FaultKind::Garbage, "garbage", FaultArgument::Optional, 0, 1, "garbage[:SEED]"},
    {FaultKind::HangUp, "hangup", FaultArgument::Required, 0, 0, "hangup:N"},
    {FaultKind::Cut, "cut", FaultArgument::Required, 0, 0, "cut:N"},
    {FaultKind::Slow, "slow", FaultArgument::Required, 1, 0, "slow:MS"},
    {FaultKind::Drop, "drop", FaultArgument::Required, 1, 0, "drop:N"},
    {FaultKind::FactoryFail, "factory-fail", FaultArgument::None, 0, 0, "factory-fail"},
    {FaultKind::EchoTail, "echo-tail", FaultArgument::Required, 1, 0, "echo-tail:N"},
    {FaultKind::Stray, "stray", FaultArgument::Required, 0, 0, "stray:MS"},
    {FaultKind::Latency, "latency", FaultArgument::Required, 1, 0, "latency:MS"},
    {FaultKind::IrcfStuck, "ircf-stuck", FaultArgument::None, 0, 0, "ircf-stuck"},
    {FaultKind::PresetError, "preset-error", FaultArgument::None, 0, 0, "preset-error"},
}};

struct Fault {
  FaultKind kind = FaultKind::Silent;
  std::uint32_t n = 0;

  friend bool operator==(const Fault&, const Fault&) = default;
};

// "wrong-echo:3" → {WrongEcho, 3}; the error says what is wrong and lists the kinds.
core::Result<Fault> parseFault(std::string_view text);
// The kinds as written on the command line, comma-separated.
std::string faultUsage();
// The fault as written on the command line: "cut:12", "bad-hex".
std::string faultText(const Fault& fault);

struct FaultEffect {
  std::optional<Fault> hangUp;        // the fault that took the line away from this character on
  std::chrono::milliseconds delay{};  // the answer goes out this much later
  std::uint32_t tail = 0;             // characters that follow an answer gone wrong
};

// Whether a reply answers a character heard from the tool or goes out of the camera's own
// accord (a completion, an indication): only the first kind counts characters and frames.
enum class ReplyOrigin { Answer, OwnAccord };

// Bends the camera's replies as its faults say. Deterministic: the same faults and the same
// characters give the same answers.
class FaultInjector {
 public:
  explicit FaultInjector(std::vector<Fault> faults);

  FaultEffect apply(Reply& reply, ReplyOrigin origin = ReplyOrigin::Answer);
  bool has(FaultKind kind) const;
  // The N of the first fault of the kind; none without one.
  std::optional<std::uint32_t> argument(FaultKind kind) const;

 private:
  std::uint8_t randomByteOtherThan(std::uint8_t b);

  std::vector<Fault> faults_;
  std::uint64_t charactersHeard_ = 0;
  std::uint64_t framesStarted_ = 0;
  std::uint64_t garbageState_ = 0;
};

}  // namespace orva::sim
