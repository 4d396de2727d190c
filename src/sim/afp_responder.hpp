#pragma once
// The camera's side of AFP: the tool sends whole frames and the camera answers each complete
// frame with frames of its own; it echoes nothing.
//
//   set  "S" CODE VALUE "T"   answered "R" slot "0" "T" at once; "X" slot "0" "T" follows
//                             when the command completes (Reply::completion). The value digits
//                             are kept for the code, so a later get returns them.
//   get  "G" CODE FF.. "T"    answered "Y" CODE and the kept digits in place of the F's
//                             ("0" where nothing was set), then "T"; digits that are not F
//                             (an index) come back as sent. A function that holds a table
//                             (privacy masks 7208 / 7209, weighting areas 2107, presets
//                             610D, 120E, 1305) keeps one value per index: the digits at
//                             its index place pick the entry, for a set and a get alike;
//                             a get whose index is all F's answers the latest entry set.
//                             A function whose reply the code map lays out apart from
//                             its request (F101 asked with EE) is answered in the map's
//                             width with the value alone.
// CODE is four hex digits; the slot is a hex digit the camera assigns to each R, cycling
// 0..F. A refused code (the profile's "refuse") is answered "R" slot STATUS "T": a refused
// set changes nothing and never completes. FE01 and FE02 reach the EAP registers (gateway.hpp);
// a gateway command of the wrong length is refused with status 1.
//
// Digits are upper-case hex. An 'S' or 'G' inside a frame abandons it and starts a new one.
// Any other character outside a frame, a character inside one that is neither a digit nor
// 'T', a frame without a value digit, or one longer than 64 digits is answered "Z" and the
// frame is dropped.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "sim/register_memory.hpp"
#include "sim/responder.hpp"

namespace orva::sim {

// Function code → the status digit (1-F) the camera refuses it with.
using Refusals = std::map<std::uint16_t, std::uint8_t>;

inline constexpr char kAfpSet = 'S';
inline constexpr char kAfpGet = 'G';
inline constexpr char kAfpEnd = 'T';
inline constexpr char kAfpAccepted = 'R';
inline constexpr char kAfpCompleted = 'X';
inline constexpr char kAfpData = 'Y';
inline constexpr char kAfpIndication = 'I';
inline constexpr char kAfpGarbage = 'Z';
inline constexpr std::uint8_t kMalformedStatus = 1;

class AfpResponder final : public Responder {
 public:
  explicit AfpResponder(RegisterMemory& memory, Refusals refusals = {})
      : memory_(memory), refusals_(std::move(refusals)) {}

  Reply hear(std::uint8_t c) override;
  void reset() override;

  // For a function whose value the camera holds elsewhere (registers, a moving lens): a get
  // answers with what `reader` gives, the value digits as a set carries them, instead of the
  // digits last set. The reader sees the get's value digits as asked (an index among F's).
  using FunctionReader = std::function<std::string(std::string_view asked)>;
  void bindReader(std::uint16_t code, FunctionReader reader) { readers_[code] = std::move(reader); }

 private:
  Reply complete();
  Reply set(std::uint16_t code, std::string_view value);
  Reply get(std::string_view code, std::uint16_t number, std::string_view value);
  Reply status(std::uint8_t digit);
  Reply garbage(int position);
  char nextSlot();

  RegisterMemory& memory_;
  Refusals refusals_;
  // By code and, for a table function, index digits (empty otherwise).
  std::map<std::pair<std::uint16_t, std::string>, std::string> values_;
  std::map<std::uint16_t, FunctionReader> readers_;
  char kind_ = 0;  // kAfpSet or kAfpGet while a frame is open
  std::string payload_;
  unsigned slot_ = 0;
};

}  // namespace orva::sim
