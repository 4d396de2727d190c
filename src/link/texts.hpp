#pragma once
// Texts the link shows in the monitor (first) and writes to the log (second), verbatim.
#include <string_view>

namespace orva::link::texts {

struct Pair {
  std::string_view monitor;
  std::string_view log;
};

inline constexpr Pair kNotOpen{"\r\n!! RS-232C not open.", "\n!! RS-232C not open."};
inline constexpr Pair kWriteError{"\r\n!! RS-232C write error.", "\n!! RS-232C write error."};
inline constexpr Pair kReadError{"\r\n!! RS-232C read error.", "\n!! RS-232C read error."};
inline constexpr Pair kReceiveError{"\r\n!! RS-232C receive error.", "\n!! RS-232C receive error."};

}  // namespace orva::link::texts
