#pragma once
// The camera status block, AFP function F101 (asked with EE): six bytes and five words drawn
// from the camera's state as it stands, so the block agrees with every register and function.
//
//   B1  bit 0 manual focus (FF0E bit 3), 1 continuous digital zoom (FCCB bit 0), 2 instant
//       digital zoom (FF0F bit 7), 3 focus moving (FCBB A9 / AA), 4 zoom moving (F751 bit 5)
//   B2  bit 0 IR cut filter in (FFE7 = 1), 1 back light compensation on (FECE = 2),
//       2 whiteout reduction (FF90 = 10)
//   B3  bits 4-7 the AE mode in its AFP numbering (FCC8)
//   B4  bit 3 manual white balance (FBFF bit 3), 4 manual aperture (FBFF bit 1), 5 WDR on
//       (FF4C not 0), 7 enhanced intensity on or whiteout reduction (FF90 not 0)
//   B5  bits 0-2 the auto white balance light source (F9F2: 0, 2, 3 give 1, 2, 3)
//   B6  bit 0 privacy masks shown (F900 not 0), 2 reverse (FF30 not 0), 3 freeze (FF33 not 0),
//       4 motion detection (F950 not 0), 5 motion tracking (F9B0 not 0), 6 image stabiliser
//       on (FCCC bit 0)
//   W1  focus position (F712), W2 zoom position (F850), W3 iris (FFDC), W4 shutter (FFDA),
//   W5  gain (FFDE): the full manual exposure values
// The fields this camera does not model (slow shutter range, defog, manual WDR, WDR mode,
// fade) read 0.
#include <cstdint>
#include <string>

namespace orva::sim {

class RegisterMemory;
class VirtualCamera;

inline constexpr std::uint16_t kStatusBlockFunction = 0xF101;

// The block's 32 value digits.
std::string statusBlock(const RegisterMemory& memory);

void installStatusBlock(VirtualCamera& camera);

}  // namespace orva::sim
