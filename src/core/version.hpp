#pragma once
#include <string_view>

namespace orva::core {
// The program version, e.g. "0.1.0".
std::string_view version();
}  // namespace orva::core
