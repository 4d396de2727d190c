#pragma once
// EAP register commands over the Link.
//
// Every frame goes out one character at a time and the camera answers each character with
// one: the echo of the command part and, for reads, the value digits in place of the zeros.
// The answer is checked, shown in the camera pane and logged. Any fault is reported in the
// monitor, the line is closed and reopened, and the operation returns false; callers stop at
// the first failure. Values are stored only on success.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "link/eap_frames.hpp"
#include "link/link.hpp"

namespace orva::link {

class Eap {
 public:
  explicit Eap(Link& link) : link_(link) {}

  bool readByte(std::uint16_t address, std::uint8_t& value);
  bool readWord(std::uint16_t address, std::uint16_t& value);
  bool writeByte(std::uint16_t address, std::uint8_t value);
  bool writeWord(std::uint16_t address, std::uint16_t value);
  bool writeByteHash(std::uint16_t address, std::uint8_t value);
  bool writeWordHash(std::uint16_t address, std::uint16_t value);
  // Forms 1-4 (see eap_frames.hpp); any other form sends nothing and fails.
  bool functionCommand(char letter, std::uint32_t value, int form);
  // A byte read whose frame starts with `first` ("[" and "]" start and stop a readout).
  bool prefixedRead(std::uint16_t address, std::uint8_t& value, char first);
  bool blockRead(std::uint16_t address, std::array<std::uint8_t, eap::kBlockReadBytes>& values);
  // Consecutive registers from `address` on, as many as `values` holds: the byte read of the
  // first, then the next-byte read for each further one (one blank per digit, each answered
  // with the next value digit), across rows. The blanks follow the block-read mode like any
  // frame: back to back in block-read mode, else each waits for its answer; every answer
  // within the link's byte read limit. A digit that does not come, or is not hex, is a receive
  // fault: no value is ever guessed, and `values` is changed only on success. Without a
  // camera there is nothing to read, and a made-up run must not pass for one: false.
  bool readSequence(std::uint16_t address, std::span<std::uint8_t> values);
  // A whole row of sixteen registers from a camera that answers block reads (readSequence).
  bool readRow(std::uint16_t address, std::array<std::uint8_t, eap::kRowReadBytes>& values) {
    return readSequence(address, values);
  }

  // A character the operator typed into the monitor: sent raw, the answer shown, not checked.
  bool exchangeChar(char c);
  // One byte out, the answer back; nothing shown.
  bool swapByte(std::uint8_t byte, std::uint8_t& answer);
  // The byte as two hex characters; the two answered characters are its new value.
  bool exchangeHexByte(std::uint8_t& byte);

 private:
  struct Frame;
  enum class Attempt { Ok, Mismatch, Fault };
  // Answered: the camera answered the whole frame. ShownOnly: no camera is present and the
  // frame was only shown (success, nothing to store). Failed: reported, line reopened.
  enum class Outcome { Answered, ShownOnly, Failed };

  Outcome run(const Frame& f, std::string& answer);
  static std::uint32_t valueAt(const std::string& answer, std::size_t from, std::size_t digits);
  Attempt attempt(const Frame& f, std::string& answer);
  bool accepts(const Frame& f, std::size_t i, char c) const;
  void showAnswer(const Frame& f, char c, bool received);
  bool fault(FaultKind kind);
  bool claimLine();
  void startLogLine(char sent);
  bool exchangeOne(char sent, char& answer, bool lenient);

  Link& link_;
};

}  // namespace orva::link
