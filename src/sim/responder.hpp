#pragma once
// One protocol's side of the camera: it hears the tool's characters one at a time and says
// what the camera sends back. A virtual camera holds one responder per protocol it speaks;
// faults, timing and the frame log are the camera's business, not the responder's.
#include <cstdint>
#include <vector>

namespace orva::sim {

struct MemoryWrite {
  std::uint16_t address = 0;
  std::uint8_t value = 0;

  friend bool operator==(const MemoryWrite&, const MemoryWrite&) = default;
};

// What the camera makes of one character.
struct Reply {
  std::vector<std::uint8_t> answer;  // sent back in this order; empty: nothing to say
  int position = 0;                  // place of the character in its frame, from 1; 0: outside any frame
  bool frameEnds = false;            // the frame cannot grow past this character
  bool valueDigit = false;           // the answer carries register value digits instead of an echo
  std::vector<MemoryWrite> writes;   // registers this character changed, in order
};

class Responder {
 public:
  virtual ~Responder() = default;
  virtual Reply hear(std::uint8_t c) = 0;
  // Forgets any frame in progress, as a camera that restarts does.
  virtual void reset() = 0;
};

}  // namespace orva::sim
