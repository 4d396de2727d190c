#pragma once
// Test aid: feeds a text to a responder or a camera character by character and collects
// everything answered.
#include <string>
#include <string_view>

#include "sim/responder.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim::testing {

inline std::string converse(Responder& responder, std::string_view sent) {
  std::string answered;
  for (char c : sent)
    for (auto b : responder.hear(static_cast<std::uint8_t>(c)).answer) answered += static_cast<char>(b);
  return answered;
}

inline std::string converse(VirtualCamera& camera, std::string_view sent) {
  std::string answered;
  for (char c : sent)
    for (auto b : camera.hear(static_cast<std::uint8_t>(c)).answer) answered += static_cast<char>(b);
  return answered;
}

}  // namespace orva::sim::testing
