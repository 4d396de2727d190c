#pragma once
// AFP frames: the PC's set and get frames and the camera's reply frames.
//
// Pure builders and a byte-at-a-time assembler, so every frame can be checked byte for byte
// and any byte sequence can be fed without a line. The camera's frames all end with "T":
//   R slot status T   accepted (status 0) or refused, the command's slot named
//   X slot status T   the completion of a set, later
//   Y code value  T   the data of a get, its four-character function code first
//   I kind value  T   an indication the camera raises by itself
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orva::link {

namespace afp {

std::string setFrame(std::string_view payload);  // "S" payload "T"
std::string getFrame(std::string_view payload);  // "G" payload "T"

// The value of one digit of a reply: 0-9 and A-F as hex, anything else (lower case too)
// stands for 0x99.
inline constexpr int kNotADigit = 0x99;
int digitValue(char c);
// The place of a slot digit in a 32-bit slot set: a digit that is not hex lands on bit 25
// (0x99 mod 32), never on a shift past the word.
unsigned slotIndex(char slotDigit);
inline std::uint32_t slotBit(char slotDigit) { return std::uint32_t{1} << slotIndex(slotDigit); }

// Reply frames longer than this are garbage on the line, not replies.
inline constexpr std::size_t kMaxFrameLength = 64;

}  // namespace afp

enum class AfpFrameKind : char { R = 'R', X = 'X', Y = 'Y', I = 'I' };

// One complete reply frame as it came, from its kind letter to its closing "T".
struct AfpFrame {
  AfpFrameKind kind = AfpFrameKind::R;
  std::string text;

  // The character after the kind letter: the slot of R and X, the kind of I ('\0' if missing).
  char first() const { return text.size() > 2 ? text[1] : '\0'; }
  // The character after that: the status of R and X, the value of I.
  char second() const { return text.size() > 3 ? text[2] : '\0'; }
  int status() const { return afp::digitValue(second()); }
  unsigned slotIndex() const { return afp::slotIndex(first()); }
  std::uint32_t slotBit() const { return afp::slotBit(first()); }
  // Y: the function code and the value characters ("Y0183ABCDT" → "0183", "ABCD").
  std::string_view code() const;
  std::string_view value() const;

  friend bool operator==(const AfpFrame&, const AfpFrame&) = default;
};

// What one received byte amounts to.
enum class AfpByteFault {
  None,
  Refused,   // "Z": the camera could not take the command
  Invalid,   // 0 or above 0x7F: not the camera speaking AFP; the receiver stops
  Overlong,  // a frame grew past kMaxFrameLength and was dropped
};

struct AfpFeed {
  std::optional<AfpFrame> frame;
  AfpByteFault fault = AfpByteFault::None;
};

// Collects reply frames from single bytes. R, X, Y and I start a frame; other bytes outside a
// frame are dropped; "T" completes it; inside a frame every other byte is kept.
class AfpFrameAssembler {
 public:
  AfpFeed feed(std::uint8_t byte);
  void reset() { collecting_ = false; partial_.clear(); }
  // Characters of the frame being collected (bounded by kMaxFrameLength).
  std::size_t pending() const { return partial_.size(); }

 private:
  bool collecting_ = false;
  std::string partial_;
};

}  // namespace orva::link
