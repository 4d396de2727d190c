#pragma once
// What the camera does of its own when the tool sets its exposure:
//
//   AE mode (EAP FCC8, AFP 2105, FCC8 through the gateway)
//       the priority modes put their default parameter into FCC9 at once: shutter priority
//       (base mode 7) shutter index 05 (1/60 in the common numbering), exposure priority (8)
//       iris index 02 (F2.8), AGC priority (9) gain index 02 (12 dB). Every other mode leaves
//       FCC9 as it is. An AFP set outside the AE mode numbering changes nothing.
//   weighting data (EAP word FDA0, AFP 2108, the word through the gateway)
//       0xNVVV with N from 1 to 6 sets weighting area N (the three bytes at FAE0 + 3 x (N - 1))
//       to 000VVV; any other N changes no area. The word takes effect with its low byte (FDA1),
//       so a byte write of FDA0 alone does nothing yet.
//
// The strobe status registers FFC0 (strobe state) and FFA5 (trigger status) are read only: a
// write by the tool leaves them as they were, whatever the profile set them to (even past the
// values the camera itself would show, for the tool's sake).
#include <cstdint>

namespace orva::sim {

class VirtualCamera;

inline constexpr std::uint16_t kAeModeRegister = 0xFCC8;
inline constexpr std::uint16_t kAeParameterRegister = 0xFCC9;
inline constexpr std::uint16_t kAeModeFunction = 0x2105;
inline constexpr std::uint16_t kWeightingDataRegister = 0xFDA0;
inline constexpr std::uint16_t kWeightingDataFunction = 0x2108;
inline constexpr std::uint16_t kStrobeStatusRegister = 0xFFC0;
inline constexpr std::uint16_t kTriggerStatusRegister = 0xFFA5;

// The default parameter a mode written to FCC8 puts into FCC9; none for a mode that leaves it.
struct AeDefault {
  std::uint8_t baseMode;
  std::uint8_t parameter;
};
inline constexpr AeDefault kAeDefaults[] = {{0x07, 0x05}, {0x08, 0x02}, {0x09, 0x02}};

void installExposure(VirtualCamera& camera);

}  // namespace orva::sim
