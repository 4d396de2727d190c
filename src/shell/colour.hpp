#pragma once
// The colour codes of ORVA.ini's "Text Color" and "Back Color" keys as RGB values.
#include <cstdint>

namespace orva::shell {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr int kDefaultTextColour = 0;  // black
inline constexpr int kDefaultBackColour = 7;  // white

// 1 blue, 2 green, 3 cyan, 4 red, 5 magenta, 6 yellow, 7 white; every other code is black.
constexpr Rgb colourFromCode(int code) {
  switch (code) {
    case 1: return {0, 0, 255};
    case 2: return {0, 255, 0};
    case 3: return {0, 255, 255};
    case 4: return {255, 0, 0};
    case 5: return {255, 0, 255};
    case 6: return {255, 255, 0};
    case 7: return {255, 255, 255};
    default: return {0, 0, 0};
  }
}

}  // namespace orva::shell
