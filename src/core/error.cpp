#include "core/error.hpp"

#include <fmt/format.h>

#include <cstring>

namespace orva::core {

Error systemError(std::string_view what, std::string_view subject, int errnum) {
  return Error{fmt::format("could not {} {}: {}", what, subject, std::strerror(errnum))};
}

}  // namespace orva::core
