#pragma once
// The camera's side of EAP: every character heard is answered with exactly one character.
//
// A frame starts with ':', ';', '#', '/', '[' or ']', followed by its kind letter:
//   R  byte read    ":R" ADDR "00"     echo 1-6; 7-8 carry register ADDR as two hex digits.
//                                      Further pairs starting with '0' extend it to a block
//                                      read (up to 26 characters) with ADDR+1, ADDR+2, ...
//                                      Blanks right after the 8th character read on instead
//                                      (the next-byte read): each blank is answered with the
//                                      next hex digit, ADDR+1 high, ADDR+1 low, ..., through
//                                      the row and the rows after it while blanks come
//   r  word read    ":r" ADDR "0000"   echo 1-6; 7-10 carry ADDR (high) and ADDR+1 (low),
//                                      both as they stood at the 7th character
//   W  byte write   ":W" ADDR VV       echo all; VV lands at ADDR after the last character
//   w  word write   ":w" ADDR VVVV     echo all; high byte at ADDR, low at ADDR+1
// ':' takes R, r, W, w; ';', '[' and ']' take R and r; '#' takes W and w. A '/' function
// command, and any other kind letter, is echoed up to ten characters: the camera cannot tell
// a function's form from its letter, except "/M" (a privacy mask command), which is eight. A frame-start character inside a frame abandons that
// frame and starts a new one, so a tool that gave up halfway finds the camera in step again.
// Characters outside any frame (typed by an operator) are echoed. A frame whose address or
// value is not hex is echoed and changes nothing.
//
// A frame the camera took is reported (Reply::eapFrame) with the character it began with: a
// write and a "/" command at their last character, a read once its first register went out
// (a block read may go on after that).
#include <array>
#include <string>

#include "sim/register_memory.hpp"
#include "sim/responder.hpp"

namespace orva::sim {

class EapResponder final : public Responder {
 public:
  explicit EapResponder(RegisterMemory& memory) : memory_(memory) {}

  Reply hear(std::uint8_t c) override;
  void reset() override;

 private:
  enum class Kind { Pending, ByteRead, WordRead, ByteWrite, WordWrite, EchoOnly, BlankRow };

  Reply kindLetter(std::uint8_t c);
  Reply body(std::uint8_t c);
  Reply readValue(std::uint8_t c, int lastPosition);
  Reply blankRow(std::uint8_t c);
  Reply writeValue(std::uint8_t c, int valueDigits);
  Reply valueDigit(int digitIndex);
  Reply echo(std::uint8_t c, bool ends = false);
  Reply endFrame(Reply reply);
  Reply took(Reply reply) const;

  RegisterMemory& memory_;
  std::uint8_t start_ = 0;
  std::uint8_t letter_ = 0;
  std::string body_;  // the characters after the kind letter
  Kind kind_ = Kind::Pending;
  int position_ = 0;  // characters of the current frame heard so far; 0: no frame
  std::uint16_t address_ = 0;
  std::uint16_t value_ = 0;
  std::array<std::uint8_t, 2> word_{};  // a word read's value, taken at its first digit
  bool valid_ = true;
};

}  // namespace orva::sim
