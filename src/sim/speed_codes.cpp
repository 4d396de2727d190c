#include "sim/speed_codes.hpp"

#include <array>
#include <cstddef>

#include "link/settings_forms.hpp"

namespace orva::sim {
namespace {

constexpr std::size_t kChoosableForms = 10;
constexpr std::array<std::uint8_t, kChoosableForms> kEapCodes{0x00, 0xC0, 0xB0, 0xF0, 0xB9,
                                                               0xF9, 0xA9, 0xE9, 0x99, 0xD9};
constexpr std::array<std::uint8_t, kChoosableForms> kEapCodesOfSomeFamilies{0x00, 0xC0, 0xB1, 0xF1, 0xB9,
                                                                            0xF9, 0xA9, 0xE9, 0x99, 0xD9};

link::LineSettings form(std::size_t index) {
  const auto& f = link::kSettingsForms[index];
  return {f.baud, f.evenParity};
}

}  // namespace

std::optional<link::LineSettings> eapSpeedCode(std::uint8_t code) {
  for (std::size_t i = 0; i < kChoosableForms; ++i)
    if (kEapCodes[i] == code || kEapCodesOfSomeFamilies[i] == code) return form(i);
  return std::nullopt;
}

std::optional<link::LineSettings> afpSpeedCode(std::uint32_t code) {
  if (code < 1 || code > kChoosableForms) return std::nullopt;
  return form(code - 1);
}

}  // namespace orva::sim
