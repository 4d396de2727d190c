#include "core/version.hpp"

namespace orva::core {
std::string_view version() { return ORVA_VERSION; }
}  // namespace orva::core
