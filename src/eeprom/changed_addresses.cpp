#include "eeprom/changed_addresses.hpp"

#include <array>
#include <utility>

namespace orva::eeprom {
namespace {

constexpr std::array<std::pair<std::uint16_t, std::uint16_t>, 18> kRegisterToEeprom{{
    {0xE046, 0x10DC}, {0xE047, 0x10DD}, {0xE05E, 0x11E4}, {0xE086, 0x10F6}, {0xE087, 0x10F7},
    {0xE08E, 0x10FE}, {0xE09E, 0x110E}, {0xE09F, 0x110F}, {0xE0A0, 0x1110}, {0xE0A1, 0x1111},
    {0xE139, 0x12D9}, {0xE198, 0x1026}, {0xE199, 0x1027}, {0xE19A, 0x1028}, {0xE19B, 0x1029},
    {0xE1ED, 0x123D}, {0xE1EE, 0x123E}, {0xE1F7, 0xE1F7},
}};

constexpr std::uint16_t kLowAreaEnd = 0x1FFF;

}  // namespace

std::optional<std::uint16_t> eepromAddressOfRegister(std::uint16_t reg) {
  for (const auto& [r, e] : kRegisterToEeprom)
    if (r == reg) return e;
  return std::nullopt;
}

void ChangedAddresses::clear() {
  std::lock_guard lock(mutex_);
  for (auto a : list_) present_[a] = false;
  list_.clear();
}

bool ChangedAddresses::add(std::uint16_t address) {
  // Address 0 ends the list in the camera's own terms: it is never a changed address.
  if (address == 0) return true;
  if (present_[address]) return true;
  if (list_.size() >= kChangedAddressCapacity) return false;
  present_[address] = true;
  list_.push_back(address);
  return true;
}

bool ChangedAddresses::record(std::uint16_t address, std::uint16_t value) {
  const Range range = range_ ? range_() : Range{};
  std::lock_guard lock(mutex_);
  if (address < range.end) return address >= range.start ? add(address) : true;
  if ((address & 0xF000) == 0xE000) {
    auto e = eepromAddressOfRegister(address);
    return e ? add(*e) : false;
  }
  if (address <= kLowAreaEnd) return add(address);
  if (address == kPresetStoreRegister && (value >> 8) == kPresetStoreCommand) {
    const unsigned n = value & 0xFF;
    if (n == 0) return add(address);
    bool all = true;
    for (std::size_t i = 0; i < kPresetBytes; ++i)
      all = add(static_cast<std::uint16_t>(kPresetArea + kPresetBytes * (n - 1) + i)) && all;
    return all;
  }
  return true;
}

std::vector<std::uint16_t> ChangedAddresses::addresses() const {
  std::lock_guard lock(mutex_);
  return list_;
}

bool ChangedAddresses::contains(std::uint16_t address) const {
  std::lock_guard lock(mutex_);
  return present_[address];
}

std::size_t ChangedAddresses::size() const {
  std::lock_guard lock(mutex_);
  return list_.size();
}

}  // namespace orva::eeprom
