// orva-camsim: the virtual camera on a pseudo-terminal.
#include <fmt/format.h>

#include <cstring>

#include "core/version.hpp"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      fmt::print("orva-camsim {}\n", orva::core::version());
      return 0;
    }
  }
  fmt::print(stderr, "orva-camsim: the virtual camera is not part of this build yet\n");
  return 2;
}
