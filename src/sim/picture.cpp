#include "sim/picture.hpp"

#include <fmt/format.h>

#include <array>
#include <string>
#include <string_view>

#include "core/text.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

struct PictureSets {
  std::uint16_t function;
  std::array<std::uint16_t, 4> byMode;  // the first register of mode 1 to 4
};
constexpr std::array<PictureSets, 3> kPictureSets{{
    {kColourLevelFunction, {0xFC10, 0xFC15, 0xFC50, 0xFC55}},
    {kYGammaFunction, {0xFBD9, 0xFBE4, 0xFC70, 0xFC7A}},
    {kCGammaFunction, {0xFBDF, 0xFBE9, 0xFC75, 0xFC7F}},
}};

constexpr std::size_t kSetDigits = 2 * kPictureSetBytes;
constexpr std::uint8_t kAutoModes[] = {0x00, 0x02, 0x03};

int pictureMode(const RegisterMemory& memory) {
  const int mode = memory.read(kPictureModeRegister);
  return mode >= 1 && mode <= 4 ? mode : 1;
}

void copyWord(RegisterMemory& m, std::uint16_t from, std::uint16_t to) {
  m.write(to, m.read(from));
  m.write(static_cast<std::uint16_t>(to + 1), m.read(static_cast<std::uint16_t>(from + 1)));
}

void reloadWhiteBalance(RegisterMemory& m) {
  const std::uint8_t powerOn = m.read(kPowerOnWhiteBalanceRegister);
  const std::uint8_t wb = m.read(kWhiteBalanceRegister);
  if ((powerOn & kFixedWhiteBalanceBit) != 0) {
    m.write(kWhiteBalanceRegister, static_cast<std::uint8_t>(wb | kManualWhiteBalanceBit));
    copyWord(m, kFixedRedGainRegister, kRedGainRegister);
    copyWord(m, kFixedBlueGainRegister, kBlueGainRegister);
    return;
  }
  for (const std::uint8_t mode : kAutoModes) {
    if (powerOn != mode) continue;
    m.write(kWhiteBalanceRegister, static_cast<std::uint8_t>(wb & ~kManualWhiteBalanceBit));
    m.write(kLightSourceRegister, mode);
  }
}

}  // namespace

std::optional<std::uint16_t> pictureSetAddress(const RegisterMemory& memory, std::uint16_t function,
                                               std::optional<std::uint16_t> modelCode) {
  if (modelCode && *modelCode < kFirstPictureSetModel) {
    if (function == kColourLevelFunction) return kOldColourLevelRegister;
    return std::nullopt;
  }
  for (const PictureSets& sets : kPictureSets)
    if (sets.function == function) return sets.byMode[static_cast<std::size_t>(pictureMode(memory) - 1)];
  return std::nullopt;
}

void installPicture(VirtualCamera& camera) {
  for (const PictureSets& sets : kPictureSets) {
    const std::uint16_t function = sets.function;
    if (!pictureSetAddress(camera.memory(), function, camera.modelCode())) continue;
    camera.onFunctionSet(function, [function](VirtualCamera& cam, const FunctionSet& s) {
      const auto at = pictureSetAddress(cam.memory(), function, cam.modelCode());
      if (!at || s.value.size() != kSetDigits) return;
      for (std::size_t i = 0; i < kPictureSetBytes; ++i) {
        const auto byte = core::parseHex(std::string_view(s.value).substr(2 * i, 2), 2);
        if (!byte) return;
        cam.memory().write(static_cast<std::uint16_t>(*at + i), static_cast<std::uint8_t>(*byte));
      }
    });
    camera.onFunctionGet(function, [function](const VirtualCamera& cam) {
      const auto at = pictureSetAddress(cam.memory(), function, cam.modelCode());
      std::string digits;
      for (std::size_t i = 0; i < kPictureSetBytes; ++i)
        digits += fmt::format("{:02X}", cam.memory().read(static_cast<std::uint16_t>(*at + i)));
      return digits;
    });
  }
  camera.onRestart([](VirtualCamera& cam) { reloadWhiteBalance(cam.memory()); });
}

}  // namespace orva::sim
