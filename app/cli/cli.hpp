#pragma once
// orva-cli: the camera operations from a terminal and from scripts.
// Exit status: 0 success; 1 camera or link failure; 2 usage, file or refused-input error.
#include <iosfwd>

namespace orva::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitCamera = 1;
inline constexpr int kExitUsage = 2;

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace orva::cli
