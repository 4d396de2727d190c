#pragma once
// Test aid: feeds a text to a responder or a camera character by character and collects
// everything answered.
#include <chrono>
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

// One frame in the protocol it is written in, switching the camera to that protocol first as a
// tool would (an EAP switch waits for the set's completion).
inline std::string afpFrame(VirtualCamera& camera, std::string_view frame) {
  if (camera.protocol() != Protocol::Afp) converse(camera, ":WFA5801");
  return converse(camera, frame);
}
inline std::string eapFrame(VirtualCamera& camera, std::string_view frame) {
  using namespace std::chrono_literals;
  if (camera.protocol() != Protocol::Eap) {
    converse(camera, "SFD0101T");
    camera.advanceTo(camera.now() + 1s);
    camera.takeOutput();
  }
  return converse(camera, frame);
}

}  // namespace orva::sim::testing
