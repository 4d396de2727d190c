#include "link/eap.hpp"

#include "core/text.hpp"

#include <fmt/format.h>

#include <chrono>
#include <string_view>

namespace orva::link {

using core::EchoMode;

struct Eap::Frame {
  std::string text;
  std::size_t compared = 0;    // characters 1..compared must come back as sent
  std::size_t valueFrom = 0;   // first value digit (0-based); == text.size() when none
  int attempts = 1;
  bool shortcutWithoutCamera = false;  // shown only, success, while no camera is present
  bool perCharacterAlways = false;     // ignores the block-read mode
  bool lineOfPairs = false;            // log: one line per sent/answered pair
  std::string_view tabbedAnswers = ":/";  // answered characters that begin "\t\t\t" in the log
  bool isWriteByte = false;
  std::uint16_t address = 0;
};

namespace {

bool isHex(char c) { return core::hexDigit(c).has_value(); }

}  // namespace

void Eap::startLogLine(char sent) {
  // The transport starts a new log line before ':' and '/' itself.
  if (link_.monitor().echoMode() == EchoMode::Shown && sent != ':' && sent != '/') link_.monitor().writeLog("\n");
}

void Eap::showAnswer(const Frame& f, char c, bool received) {
  auto& m = link_.monitor();
  if (m.echoMode() != EchoMode::Shown) return;
  const std::string_view one(&c, received ? 1 : 0);
  if (received) m.appendCamera(one);
  if (f.lineOfPairs || f.tabbedAnswers.find(c) != std::string_view::npos) m.writeLog("\t\t\t");
  m.writeLog(one);
}

bool Eap::accepts(const Frame& f, std::size_t i, char c) const {
  if (i < f.compared) return c == f.text[i];
  if (i >= f.valueFrom) return isHex(c);
  return true;
}

bool Eap::claimLine() {
  if (!link_.ensureOpen()) return false;
  // EAP answers are read here, character by character: no other reader may be on the line.
  link_.stopReader();
  return true;
}

bool Eap::fault(FaultKind kind) {
  link_.reportFault(kind);
  link_.reopen();
  return false;
}

Eap::Attempt Eap::attempt(const Frame& f, std::string& answer) {
  const bool whole = link_.blockReadMode() != 0 && !f.perCharacterAlways;
  auto receive = [&](std::size_t i) -> Attempt {
    std::uint8_t b = 0;
    IoResult r = link_.readByte(b);
    if (r == IoResult::Error || r == IoResult::Stopped) {
      fault(FaultKind::Read);
      return Attempt::Fault;
    }
    const bool received = r == IoResult::Ok;
    const char c = static_cast<char>(b);
    showAnswer(f, c, received);
    if (received) answer += c;
    if (!received || !accepts(f, i, c)) {
      // A wrong or missing answer: start again on a freshly opened line; after a wrong one,
      // once the camera has finished the rest of its answer, which would otherwise be taken
      // for the next echo.
      if (link_.reopen() && received) link_.drainInput();
      return Attempt::Mismatch;
    }
    return Attempt::Ok;
  };

  for (std::size_t i = 0; i < f.text.size(); ++i) {
    if (f.lineOfPairs && !whole) startLogLine(f.text[i]);
    if (link_.writeByte(static_cast<std::uint8_t>(f.text[i])) != IoResult::Ok) {
      fault(FaultKind::Write);
      return Attempt::Fault;
    }
    if (!whole) {
      if (Attempt a = receive(i); a != Attempt::Ok) return a;
    }
  }
  if (whole) {
    for (std::size_t i = 0; i < f.text.size(); ++i)
      if (Attempt a = receive(i); a != Attempt::Ok) return a;
  }
  return Attempt::Ok;
}

Eap::Outcome Eap::run(const Frame& f, std::string& answer) {
  auto lock = link_.command();
  auto& m = link_.monitor();
  if (link_.noCameraMode() == NoCameraMode::Absent && f.shortcutWithoutCamera) {
    if (m.echoMode() == EchoMode::Shown) m.appendPc(f.text);
    return Outcome::ShownOnly;
  }
  if (!claimLine()) return Outcome::Failed;
  for (int n = 0; n < f.attempts; ++n) {
    answer.clear();
    Attempt a = attempt(f, answer);
    if (m.echoMode() == EchoMode::StatusLine && a != Attempt::Fault) m.setStatusLine(answer);
    if (a == Attempt::Ok) return Outcome::Answered;
    if (a == Attempt::Fault) return Outcome::Failed;
  }
  // A failed write to the soft-reset register is expected: the camera restarts before it
  // has echoed the whole frame.
  const bool softReset = f.isWriteByte && f.address == 0xFCAC;
  if (!softReset) link_.reportFault(FaultKind::Receive);
  link_.reopen();
  return Outcome::Failed;
}

std::uint32_t Eap::valueAt(const std::string& answer, std::size_t from, std::size_t digits) {
  // The digits were checked on arrival.
  return *eap::hexValue(std::string_view(answer).substr(from, digits));
}

bool Eap::readByte(std::uint16_t address, std::uint8_t& value) {
  Frame f{.text = eap::readByteFrame(address, link_.altReadPrefix()), .compared = 6, .valueFrom = 6, .attempts = 1,
          .shortcutWithoutCamera = true, .lineOfPairs = link_.blockReadMode() == 0};
  std::string answer;
  Outcome o = run(f, answer);
  if (o == Outcome::Answered) value = static_cast<std::uint8_t>(valueAt(answer, 6, 2));
  return o != Outcome::Failed;
}

bool Eap::readWord(std::uint16_t address, std::uint16_t& value) {
  Frame f{.text = eap::readWordFrame(address, link_.altReadPrefix()), .compared = 6, .valueFrom = 6, .attempts = 1,
          .shortcutWithoutCamera = true};
  std::string answer;
  Outcome o = run(f, answer);
  if (o == Outcome::Answered) value = static_cast<std::uint16_t>(valueAt(answer, 6, 4));
  return o != Outcome::Failed;
}

bool Eap::writeByte(std::uint16_t address, std::uint8_t value) {
  Frame f{.text = eap::writeByteFrame(address, value), .compared = 8, .valueFrom = 8, .attempts = 1,
          .shortcutWithoutCamera = true, .isWriteByte = true, .address = address};
  std::string answer;
  Outcome o = run(f, answer);
  if (o == Outcome::Answered)
    if (auto* sink = link_.changedAddresses()) sink->written(address, value);
  return o != Outcome::Failed;
}

bool Eap::writeWord(std::uint16_t address, std::uint16_t value) {
  Frame f{.text = eap::writeWordFrame(address, value), .compared = 10, .valueFrom = 10, .attempts = 1,
          .shortcutWithoutCamera = true};
  std::string answer;
  Outcome o = run(f, answer);
  if (o == Outcome::Answered)
    if (auto* sink = link_.changedAddresses()) {
      sink->written(address, value);
      sink->written(static_cast<std::uint16_t>(address + 1), value);
    }
  return o != Outcome::Failed;
}

bool Eap::writeByteHash(std::uint16_t address, std::uint8_t value) {
  Frame f{.text = eap::writeByteHashFrame(address, value), .compared = 8, .valueFrom = 8, .attempts = 2};
  std::string answer;
  return run(f, answer) != Outcome::Failed;
}

bool Eap::writeWordHash(std::uint16_t address, std::uint16_t value) {
  Frame f{.text = eap::writeWordHashFrame(address, value), .compared = 10, .valueFrom = 10, .attempts = 2};
  std::string answer;
  return run(f, answer) != Outcome::Failed;
}

bool Eap::functionCommand(char letter, std::uint32_t value, int form) {
  auto text = eap::functionFrame(letter, value, form);
  if (!text) return false;
  const std::size_t n = text->size();
  Frame f{.text = std::move(*text), .compared = n, .valueFrom = n, .attempts = 2};
  std::string answer;
  return run(f, answer) != Outcome::Failed;
}

bool Eap::prefixedRead(std::uint16_t address, std::uint8_t& value, char first) {
  Frame f{.text = eap::prefixedReadFrame(address, first), .compared = 6, .valueFrom = 6, .attempts = 2,
          .tabbedAnswers = ":/#[]"};
  std::string answer;
  if (run(f, answer) != Outcome::Answered) return false;
  value = static_cast<std::uint8_t>(valueAt(answer, 6, 2));
  return true;
}

bool Eap::blockRead(std::uint16_t address, std::array<std::uint8_t, eap::kBlockReadBytes>& values) {
  Frame f{.text = eap::blockReadFrame(address), .compared = 6, .valueFrom = 6, .attempts = 2,
          .perCharacterAlways = true};
  std::string answer;
  if (run(f, answer) != Outcome::Answered) return false;
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<std::uint8_t>(valueAt(answer, 6 + 2 * i, 2));
  return true;
}

bool Eap::readSequence(std::uint16_t address, std::span<std::uint8_t> values) {
  if (link_.noCameraMode() == NoCameraMode::Absent) return false;
  if (values.empty()) return true;
  // The byte read of the first register and a blank for each further digit: one frame, so
  // the whole run is answered, checked and retried as one.
  const std::string read = eap::readByteFrame(address, link_.altReadPrefix());
  Frame f{.text = read + std::string(2 * (values.size() - 1), eap::kRowReadBlank), .compared = 6, .valueFrom = 6,
          .attempts = 1};
  std::string answer;
  if (run(f, answer) != Outcome::Answered) return false;
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<std::uint8_t>(valueAt(answer, 6 + 2 * i, 2));
  return true;
}

// Sends one character and reads its answer. A missing answer is a receive fault unless
// `lenient` (typed characters), where it simply shows nothing.
bool Eap::exchangeOne(char sent, char& answer, bool lenient) {
  if (link_.writeByte(static_cast<std::uint8_t>(sent)) != IoResult::Ok) return fault(FaultKind::Write);
  std::uint8_t b = 0;
  IoResult r = link_.readByte(b);
  if (r == IoResult::Error || r == IoResult::Stopped) return fault(FaultKind::Read);
  answer = static_cast<char>(b);
  if (r == IoResult::Timeout) return lenient ? true : fault(FaultKind::Receive);
  return true;
}

bool Eap::exchangeChar(char c) {
  auto lock = link_.command();
  if (!link_.typedLineReady() || !claimLine()) return false;
  Frame pairs{.text = std::string(1, c), .compared = 0, .valueFrom = 1, .attempts = 1, .perCharacterAlways = true,
              .lineOfPairs = true};
  startLogLine(c);
  char answer = 0;
  if (!exchangeOne(c, answer, true)) return false;
  if (answer == 0) return true;  // nothing came: nothing to show
  auto& m = link_.monitor();
  if (m.echoMode() == EchoMode::StatusLine) m.setStatusLine(std::string(1, answer));
  else showAnswer(pairs, answer, true);
  return true;
}

bool Eap::swapByte(std::uint8_t byte, std::uint8_t& answer) {
  auto lock = link_.command();
  answer = 0;
  if (!claimLine()) return false;
  char a = 0;
  if (!exchangeOne(static_cast<char>(byte), a, false)) return false;
  answer = static_cast<std::uint8_t>(a);
  return true;
}

bool Eap::exchangeHexByte(std::uint8_t& byte) {
  auto lock = link_.command();
  if (!claimLine()) return false;
  const std::string digits = fmt::format("{:02X}", byte);
  Frame pairs{.text = digits, .compared = 0, .valueFrom = 0, .attempts = 1, .perCharacterAlways = true,
              .lineOfPairs = true};
  std::string answered;
  for (std::size_t i = 0; i < 2; ++i) {
    // At 57600 the camera needs a moment between the two digits.
    if (i == 1 && link_.lineSettings().baud == 57600) link_.clock().sleepFor(std::chrono::milliseconds(5));
    startLogLine(digits[i]);
    char a = 0;
    if (!exchangeOne(digits[i], a, false)) return false;
    showAnswer(pairs, a, true);
    answered += a;
  }
  auto v = eap::hexValue(answered);
  if (!v) return fault(FaultKind::Receive);
  byte = static_cast<std::uint8_t>(*v);
  return true;
}

}  // namespace orva::link
