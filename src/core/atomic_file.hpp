#pragma once
// Safe replacement of files the operator cares about (EEPROM backups, setup data, ORVA.ini).
//
// The new contents go to a temporary file in the target's folder, are flushed to the disk,
// and are renamed over the target in one step. If anything fails the target is left exactly
// as it was, the temporary file is removed, and the Status says what failed and where.
#include <filesystem>
#include <string_view>

#include "core/error.hpp"

namespace orva::core {

class AtomicFile {
 public:
  // Replaces (or creates) `target` with `contents`. An existing target keeps its permission bits.
  static Status write(const std::filesystem::path& target, std::string_view contents);
};

// Reads a whole file as bytes. Fails with a message naming the file.
Result<std::string> readFile(const std::filesystem::path& path);

}  // namespace orva::core
