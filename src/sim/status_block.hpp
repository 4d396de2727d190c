#pragma once
// The camera status block, AFP function F101 (asked with EE): six bytes and five words drawn
// from the camera's state as it stands, so the block agrees with every register and function.
//
//   B1  bit 0 manual focus (FF0E bit 3), 1 continuous digital zoom (FCCB bit 0), 2 instant
//       digital zoom (FF0F bit 7), 3 focus moving (FCBB A9 / AA), 4 zoom moving (F751 bit 5)
//   B2  bit 0 IR cut filter in (FFE7 = 1), 1 back light compensation on (FECE = 2),
//       2 whiteout reduction (FF90 = 10)
//   B3  bits 4-7 the AE mode in its AFP numbering (FCC8)
//   B4  bit 7 enhanced intensity on or whiteout reduction (FF90 not 0)
//   B6  bit 6 image stabiliser on (FCCC bit 0)
//   W1  focus position (F712), W2 zoom position (F850)
// The fields this camera does not model (DSS, defog, white balance, WDR, the other toggles,
// iris, shutter and gain) read 0.
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
