// The IR cut filter and PL filter moving on the camera's time, and the IR direction
// notification.
#include "sim/ir_filter.hpp"

#include <gtest/gtest.h>

#include "converse.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {}  // namespace
}  // namespace orva::sim
