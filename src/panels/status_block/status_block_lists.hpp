#pragma once
// The BLOCK READ lists whose entries depend on the model (and, for the slow shutter ranges, on
// the camera mode). The description pads them to the window's list length; the logic counts
// them, since a value past the model's entries selects nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "camera/model_record.hpp"

namespace orva::panels::status_block {

// The window's slow shutter list: the most ranges a model has.
inline constexpr std::size_t kDssListLength = 7;

// The entries each list has on this model, in order.
std::vector<std::string> dssEntries(const camera::ModelRecord& model, std::uint32_t cameraMode);
std::vector<std::string> defogEntries(const camera::ModelRecord& model);
std::vector<std::string> intensityEntries(const camera::ModelRecord& model);

}  // namespace orva::panels::status_block
