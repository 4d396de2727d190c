#pragma once
// Faults for a virtual camera, written as on orva-camsim's command line ("hangup:40").
#include <gtest/gtest.h>

#include <initializer_list>
#include <string_view>
#include <vector>

#include "sim/faults.hpp"

namespace orva::testing {

inline std::vector<sim::Fault> faults(std::initializer_list<std::string_view> texts) {
  std::vector<sim::Fault> out;
  for (auto t : texts) {
    auto f = sim::parseFault(t);
    EXPECT_TRUE(f) << f.message();
    if (f) out.push_back(*f);
  }
  return out;
}

}  // namespace orva::testing
