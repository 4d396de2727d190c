#pragma once
// The changed-address list: every EEPROM address the tool has written since the camera's
// EEPROM was last known to be as it came, so that leaving the session can offer to put those
// addresses back to the factory image's values.
//
// Writes arrive from the register protocol (link::ChangedAddressSink) as register address and
// value. Inside the EEPROM range the address is noted as it is; above the range end a
// register that mirrors an EEPROM byte is translated to that byte's address, the lower
// 0x1000-0x1FFF area is noted as it is, and a preset store (0xF8B0 with 0x43 in the high byte)
// notes the preset's 18 bytes. The list keeps insertion order, each address once, and holds
// at most kChangedAddressCapacity addresses.
//
// Threads: any thread may write and read; one mutex guards the list (the run's thread and the
// window thread both reach it).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "eeprom/range.hpp"
#include "link/link.hpp"

namespace orva::eeprom {

inline constexpr std::size_t kChangedAddressCapacity = 11264;
inline constexpr std::uint16_t kPresetStoreRegister = 0xF8B0;
inline constexpr std::uint8_t kPresetStoreCommand = 0x43;
inline constexpr std::uint16_t kPresetArea = 0x1800;
inline constexpr std::size_t kPresetBytes = 18;

// The EEPROM address that holds a camera register's value; nullopt for a register that has
// none. 0xE1F7 is kept as itself.
std::optional<std::uint16_t> eepromAddressOfRegister(std::uint16_t reg);

class ChangedAddresses final : public link::ChangedAddressSink {
 public:
  // The range is asked afresh for every write: it follows the connected camera.
  explicit ChangedAddresses(std::function<Range()> range) : range_(std::move(range)) {}

  void written(std::uint16_t address, std::uint16_t value) override { record(address, value); }
  void clear() override;

  // Notes the write; false when something could not be noted (the list is full, or a register
  // has no EEPROM address).
  bool record(std::uint16_t address, std::uint16_t value);

  std::vector<std::uint16_t> addresses() const;
  bool contains(std::uint16_t address) const;
  std::size_t size() const;
  bool empty() const { return size() == 0; }

 private:
  bool add(std::uint16_t address);  // under the lock

  std::function<Range()> range_;
  mutable std::mutex mutex_;
  std::vector<std::uint16_t> list_;
  std::vector<bool> present_ = std::vector<bool>(0x10000, false);
};

}  // namespace orva::eeprom
