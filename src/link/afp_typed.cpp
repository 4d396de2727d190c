#include "link/afp_typed.hpp"

#include <chrono>

namespace orva::link {

using namespace std::chrono_literals;
using core::EchoMode;

namespace {

constexpr std::size_t kGroup = 4;
constexpr auto kGroupPause = 100ms;
constexpr auto kCompletionLimit = 12001ms;  // a typed set may take this long to complete
constexpr int kMaxGetReply = 51;

// Characters that begin "\t\t\t" in the log.
constexpr std::string_view kGroupTabs = "RX";
constexpr std::string_view kSetReplyTabs = "RXY";

bool isTypedFrameChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || c == 'S' || c == 'G' || c == 'T';
}

bool inSet(char c, std::string_view set) { return c != '\0' && set.find(c) != std::string_view::npos; }

}  // namespace

bool AfpTypedExchange::fault(FaultKind kind) {
  link_.reportFault(kind);
  link_.reopen();
  return false;
}

bool AfpTypedExchange::receive(char& c) {
  std::uint8_t b = 0;
  const IoResult r = link_.readByte(b);
  if (r == IoResult::Error || r == IoResult::Stopped) return fault(FaultKind::Read);
  // Nothing in time is no fault here: the character stays empty and nothing is shown.
  c = r == IoResult::Ok ? static_cast<char>(b) : '\0';
  return true;
}

void AfpTypedExchange::show(char c, bool tabbed) {
  auto& m = link_.monitor();
  if (c == '\0' || m.echoMode() != EchoMode::Shown) return;
  const std::string_view one(&c, 1);
  m.appendCamera(one);
  if (tabbed) m.writeLog("\t\t\t");
  m.writeLog(one);
}

bool AfpTypedExchange::readOne() {
  char c = 0;
  if (!receive(c)) return false;
  show(c, true);
  if (c != '\0' && link_.monitor().echoMode() == EchoMode::StatusLine) link_.monitor().setStatusLine({&c, 1});
  return true;
}

bool AfpTypedExchange::readGroup(std::string_view tabbed, std::string& group) {
  group.assign(kGroup, '\0');
  for (char& c : group) {
    if (!receive(c)) return false;
    show(c, inSet(c, tabbed));
  }
  return true;
}

bool AfpTypedExchange::afterSetFrame() {
  std::string reply;
  if (!readGroup(kSetReplyTabs, reply)) return false;
  if (reply[2] != '0') {
    // A refusal is answered; a "Z" in it means the camera could not read the frame.
    if (reply.find('Z') != std::string::npos) return fault(FaultKind::Read);
    return true;
  }
  auto& m = link_.monitor();
  if (m.echoMode() == EchoMode::Shown) {
    m.appendCamera("\r\n");
    m.writeLog("\n");
  }
  auto& clock = link_.clock();
  const core::Deadline limit(clock, kCompletionLimit);
  bool completing = false;
  while (!limit.expired()) {
    clock.sleepFor(kGroupPause);
    std::string group;
    if (!readGroup(kSetReplyTabs, group)) return false;
    for (char c : group) {
      if (c == 'X') completing = true;
      else if (c == 'T' && completing) return true;
    }
  }
  return true;
}

bool AfpTypedExchange::afterGetFrame() {
  for (int n = 1;; ++n) {
    char c = 0;
    if (!receive(c)) return false;
    show(c, inSet(c, kGroupTabs));
    if (c == 'T') return true;
    if (c == 'Z' || n > kMaxGetReply) return fault(FaultKind::Read);
  }
}

bool AfpTypedExchange::exchange(char c) {
  if (link_.writeByte(static_cast<std::uint8_t>(c)) != IoResult::Ok) return fault(FaultKind::Write);
  std::string group;
  if (c == 'S' || c == 'G') {
    state_ = c;
    // The letter may still be in the adapter's transmit buffer: only the input is purged.
    link_.clearInput();
    return true;
  }
  if (c == ':' || c == ';' || c == '/') {
    if (protocolChoice_) {
      state_ = 0;
      return readOne();
    }
    state_ = 'Z';
    return readGroup(kGroupTabs, group);
  }
  if (state_ == 'S' || state_ == 'G') {
    if (c == 'T') {
      const bool setFrame = state_ == 'S';
      state_ = 'Z';
      return setFrame ? afterSetFrame() : afterGetFrame();
    }
    if (isTypedFrameChar(c)) return true;  // part of the frame: the camera waits for its "T"
    state_ = 'Z';
    return readGroup(kGroupTabs, group);
  }
  if (state_ == 'Z') {
    if (!protocolChoice_) return readGroup(kGroupTabs, group);
    state_ = 0;
  }
  return readOne();
}

}  // namespace orva::link
