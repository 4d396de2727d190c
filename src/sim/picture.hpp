#pragma once
// The camera's picture settings beyond the plain bindings (function_bindings.hpp):
//
// Picture-mode register sets. Colour level (AFP 3402), Y_Gamma (3409) and C_Gamma (3408) each
// carry five bytes, the five registers of the set that belongs to the current picture mode
// (FF60, 1 to 4; any other value stands for mode 1, so a camera whose FF60 went astray still
// answers from a set of its own):
//
//   mode   colour level   Y_Gamma       C_Gamma
//   1      FC10-FC14      FBD9-FBDD     FBDF-FBE3
//   2      FC15-FC19      FBE4-FBE8     FBE9-FBED
//   3      FC50-FC54      FC70-FC74     FC75-FC79
//   4      FC55-FC59      FC7A-FC7E     FC7F-FC83
//
// A set writes the five registers, a get reads them; a set of another length than ten digits
// changes nothing. Models below model code 0x60 have one colour level set, B790-B794, whatever
// the mode, and no gamma sets (3408 and 3409 then keep their digits as any function does). A
// camera without a model code has the sets by mode.
//
// Soft reset. A restart (EAP FCAC = 0, AFP 0102 = 1) reloads RAM from the EEPROM as the camera
// powers up: with the fixed white balance mode in 142F (bit 2 set) the white balance turns
// manual (FBFF bit 3) and the fixed gains 1430 and 1432 become the gains FBBC and FBBE; with
// an auto mode (0, 2, 3) the white balance turns auto and the light source F9F2 takes the mode.
// Other values of 142F leave the white balance as it is.
#include <cstdint>
#include <optional>

namespace orva::sim {

class RegisterMemory;
class VirtualCamera;

inline constexpr std::uint16_t kPictureModeRegister = 0xFF60;
inline constexpr std::uint16_t kColourLevelFunction = 0x3402;
inline constexpr std::uint16_t kCGammaFunction = 0x3408;
inline constexpr std::uint16_t kYGammaFunction = 0x3409;
inline constexpr std::uint16_t kFirstPictureSetModel = 0x60;
inline constexpr std::uint16_t kOldColourLevelRegister = 0xB790;
inline constexpr int kPictureSetBytes = 5;

inline constexpr std::uint16_t kWhiteBalanceRegister = 0xFBFF;
inline constexpr std::uint8_t kManualWhiteBalanceBit = 0x08;
inline constexpr std::uint16_t kRedGainRegister = 0xFBBC;
inline constexpr std::uint16_t kBlueGainRegister = 0xFBBE;
inline constexpr std::uint16_t kLightSourceRegister = 0xF9F2;
inline constexpr std::uint16_t kPowerOnWhiteBalanceRegister = 0x142F;
inline constexpr std::uint8_t kFixedWhiteBalanceBit = 0x04;
inline constexpr std::uint16_t kFixedRedGainRegister = 0x1430;
inline constexpr std::uint16_t kFixedBlueGainRegister = 0x1432;

// The first register of the set `function` stands for on a camera of the model, in the
// current picture mode; none when the model has no such set.
std::optional<std::uint16_t> pictureSetAddress(const RegisterMemory& memory, std::uint16_t function,
                                               std::optional<std::uint16_t> modelCode);

void installPicture(VirtualCamera& camera);

}  // namespace orva::sim
