#pragma once
// The presets the tool itself keeps for the panels: MEM-PRESET's four zoom/focus pairs and the
// EEPROM PRESET panel's easy presets. They live as long as the program, not the panel that
// made them (a panel reopened finds them again), and are lost when it ends.
//
// Window thread only: a run on the operation thread posts what it captured back first.
#include <array>
#include <cstdint>
#include <optional>

namespace orva::panels {

// A zoom/focus pair as the camera reports it (EAP 0xF850/0xF852, AFP the pair query).
struct MemoryPair {
  std::uint32_t zoom = 0;
  std::uint32_t focus = 0;
  bool operator==(const MemoryPair&) const = default;
};

// A lens state in the camera's 18-byte preset record order: the words copied from 0xF710,
// 0xF714, 0xF718, 0xF71A, 0xF7BE, 0xF7C2, 0xF7C4 and 0xFC6E, the byte from 0xF895, the type
// (1 TYPE I, 2 TYPE II).
struct LensRecord {
  std::array<std::uint16_t, 8> words{};
  std::uint8_t trackingByte = 0;
  std::uint8_t type = 0;
  bool operator==(const LensRecord&) const = default;
};

struct ToolPresets {
  static constexpr std::size_t kMemoryPairs = 4;
  static constexpr std::size_t kEasyPresets = 4;  // TYPE I 1 and 2, then TYPE II 1 and 2
  std::array<std::optional<MemoryPair>, kMemoryPairs> memory;
  std::array<std::optional<LensRecord>, kEasyPresets> easy;
};

}  // namespace orva::panels
