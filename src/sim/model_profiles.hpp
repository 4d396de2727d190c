#pragma once
// Profiles generated from the model table: the register image that makes the identification
// land on a model, so the virtual camera can be any model the tool knows.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "camera/model_table.hpp"
#include "sim/profile.hpp"

namespace orva::sim {

// Every model name of the table, once each, in table order ("Not supported" rows left out).
std::vector<std::string> modelNames();

// The camera that identifies as the first table entry with that name; none for an unknown
// name or a protocol the model does not speak.
std::optional<Profile> modelProfile(std::string_view name, Protocol protocol);

// The camera that identifies as this row and variant (the row may not speak AFP; the caller
// decides).
Profile rowProfile(const camera::ModelRow& row, const camera::ModelVariant& variant, Protocol protocol);

}  // namespace orva::sim
