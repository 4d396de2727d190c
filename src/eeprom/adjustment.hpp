#pragma once
// Adjustment-address files (*.cfg): the EEPROM addresses that hold a camera's factory
// adjustment data. A write-back in "Except ADJ. Data" mode leaves these addresses untouched.
//
// Layout, CR LF or LF line ends:
//   free text up to the third line that starts with "%" and contains "%END";
//   from that line on (itself included), every line not starting with "*" is scanned from
//   its start: each "1" begins a four-digit hexadecimal address ("1" and three hex digits of
//   either case), and the scan goes on after the address and one separator character;
//   a fourth "%END" line ends the file, whatever follows it.
//
// The file guards factory data, so one that cannot be read completely is refused as a whole:
// a bad address, too few "%END" lines, no address at all, or more than kMaxAdjustmentAddresses.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "core/error.hpp"

namespace orva::eeprom {

inline constexpr std::size_t kMaxAdjustmentAddresses = 1023;

struct AdjustmentAddresses {
  std::vector<std::uint16_t> addresses;  // in file order, each once

  bool contains(std::uint16_t address) const;
};

// A bad line refuses the file with a message starting "line N: ".
core::Result<AdjustmentAddresses> parseAdjustmentAddresses(std::string_view text);

// Reads and checks the file. Messages name the path; those about its contents start with it.
core::Result<AdjustmentAddresses> readAdjustmentFile(const std::filesystem::path& path);

}  // namespace orva::eeprom
