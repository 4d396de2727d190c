#pragma once
// A property a fuzz target holds: a broken one stops the run where libFuzzer keeps the input.
#include <cstdlib>

namespace orva::fuzz {

inline void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace orva::fuzz
