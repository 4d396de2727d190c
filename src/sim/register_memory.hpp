#pragma once
// The camera's register space: 64 K bytes at 16-bit addresses. Arithmetic on addresses
// (the second byte of a word, the next register of a block read) wraps from FFFF to 0000,
// as a 16-bit address counter does.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orva::sim {

class RegisterMemory {
 public:
  static constexpr std::size_t kSize = 0x10000;

  RegisterMemory() : bytes_(kSize, 0) {}

  std::uint8_t read(std::uint16_t address) const { return bytes_[address]; }
  void write(std::uint16_t address, std::uint8_t value) { bytes_[address] = value; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace orva::sim
