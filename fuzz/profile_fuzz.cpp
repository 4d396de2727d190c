// Any bytes as a virtual camera profile, then (after a line "%%") as what the tool says on the
// line: the reader either refuses the profile with a message or gives one the camera starts
// from; the camera hears the line bytes with its time running, then drives its lens both ways,
// and the zoom stays within the lens's ends throughout (the wide end reads in its negative
// form, so the position is taken as a signed word).
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_check.hpp"
#include "sim/lens.hpp"
#include "sim/profile.hpp"
#include "sim/virtual_camera.hpp"

using orva::fuzz::check;

namespace {


void say(orva::sim::VirtualCamera& camera, std::string_view frame) {
  for (char c : frame) (void)camera.hear(static_cast<std::uint8_t>(c));
  (void)camera.takeOutput();
}

std::uint16_t word(const orva::sim::VirtualCamera& camera, std::uint16_t address) {
  return static_cast<std::uint16_t>(camera.memory().read(address) << 8 |
                                    camera.memory().read(static_cast<std::uint16_t>(address + 1)));
}

// Between the wide end's negative form and the tele end.
bool withinEnds(std::uint16_t position, std::uint16_t tele) {
  const auto signedPosition = static_cast<std::int16_t>(position);
  return signedPosition >= orva::sim::kWideEndPosition && (signedPosition < 0 || position <= tele);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace std::chrono_literals;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto split = input.find("\n%%\n");
  const std::string_view text = input.substr(0, split);
  const std::string_view line = split == std::string_view::npos ? std::string_view{} : input.substr(split + 4);
  const auto profile = orva::sim::parseProfile(text);
  if (!profile) {
    check(!profile.message().empty());
    return 0;
  }
  orva::sim::VirtualCamera camera(*profile);
  auto t = camera.now();
  for (std::size_t i = 0; i < line.size(); ++i) {
    (void)camera.hear(static_cast<std::uint8_t>(line[i]));
    if (i % 8 == 7) {
      t += 50ms;
      camera.advanceTo(t);
      (void)camera.takeOutput();
      check(withinEnds(word(camera, orva::sim::kZoomPositionRegister), profile->lensTele));
    }
  }
  const bool afp = camera.protocol() == orva::sim::Protocol::Afp;
  // Whatever the line left behind, a fresh drive in the camera's protocol now.
  for (std::string_view drive : afp ? std::initializer_list<std::string_view>{"S110702T", "S110703T", "S110202T"}
                                    : std::initializer_list<std::string_view>{":WFCBB99", ":WFCBB9B", ":WFCBBA9"}) {
    say(camera, drive);
    t += 2500ms;
    camera.advanceTo(t);
    const std::uint16_t zoom = word(camera, orva::sim::kZoomPositionRegister);
    check(withinEnds(zoom, profile->lensTele));
  }
  say(camera, afp ? "S110701T" : ":WFCBBFE");
  say(camera, afp ? "G1109FFFFT" : ":rF720");
  camera.advanceTo(t + 1s);
  return 0;
}
