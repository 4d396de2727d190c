#pragma once
// The level adjuster the picture panels share: "ADJ. MODE" (COARSE / FINE, the panel's own
// choice) sets how many steps of what size an arrow's press applies at once; each step is
// limited to the panel's range.
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "panels/panel_description.hpp"

namespace orva::panels::picture::levels {

inline constexpr std::string_view kAdjustMode = "ADJ. MODE";
inline constexpr std::string_view kAdjustData = "ADJ. DATA";
inline constexpr std::string_view kDown = "DOWN";
inline constexpr std::string_view kUp = "UP";
inline constexpr std::string_view kHex = "[HEX]";

// The items' values only tell them apart when the panel selects one (PanelLogic::present).
inline constexpr int kCoarse = 0;
inline constexpr int kFine = 1;
inline constexpr Choice kAdjustModes[] = {{"COARSE", {0, 0}}, {"FINE", {1, 1}}};

// One press: `steps` steps of `size`.
struct Burst {
  int steps;
  std::uint32_t size;
};
struct Bursts {
  Burst coarse;
  Burst fine;
};

// A step down below `bottom` gives `bottom`, a step up above `top` gives `top`.
constexpr std::uint32_t stepLevel(std::uint32_t value, std::uint32_t size, bool up, std::uint32_t bottom,
                                  std::uint32_t top) {
  const std::int64_t next = static_cast<std::int64_t>(value) + (up ? 1 : -1) * static_cast<std::int64_t>(size);
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(next, bottom, top));
}

}  // namespace orva::panels::picture::levels
