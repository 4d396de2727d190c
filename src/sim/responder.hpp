#pragma once
// One protocol's side of the camera: it hears the tool's characters one at a time and says
// what the camera sends back. A virtual camera holds one responder per protocol it speaks;
// faults, timing and the frame log are the camera's business, not the responder's.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/text.hpp"

namespace orva::sim {

struct MemoryWrite {
  std::uint16_t address = 0;
  std::uint8_t value = 0;

  friend bool operator==(const MemoryWrite&, const MemoryWrite&) = default;
};

// An AFP set the camera accepted: the function code and its value digits as sent.
struct FunctionSet {
  std::uint16_t code = 0;
  std::string value;

  // The value digits as a number; none when there are more than eight of them.
  std::optional<std::uint32_t> number() const { return core::parseHex(value, 8); }

  friend bool operator==(const FunctionSet&, const FunctionSet&) = default;
};

// An EAP frame as the camera took it: the character it began with (":" and "#" writes are told
// apart), its kind letter and the characters after them.
struct EapFrame {
  char start = ':';
  char letter = 0;
  std::string body;

  friend bool operator==(const EapFrame&, const EapFrame&) = default;
};

// What the camera makes of one character.
struct Reply {
  std::vector<std::uint8_t> answer;  // sent back in this order; empty: nothing to say
  int position = 0;                  // place of the character in its frame, from 1; 0: outside any frame
  bool frameEnds = false;            // the frame cannot grow past this character
  bool valueDigit = false;           // the answer carries register value digits instead of an echo
  std::vector<MemoryWrite> writes;   // registers this character changed, in order
  std::vector<std::uint8_t> completion;    // sent later, once the command has completed
  std::optional<FunctionSet> functionSet;  // the AFP set this character completed
  std::optional<EapFrame> eapFrame;        // the EAP frame this character completed
};

class Responder {
 public:
  virtual ~Responder() = default;
  virtual Reply hear(std::uint8_t c) = 0;
  // Forgets any frame in progress, as a camera that restarts does.
  virtual void reset() = 0;
};

}  // namespace orva::sim
