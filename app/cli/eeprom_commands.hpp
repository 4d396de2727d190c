#pragma once
// orva-cli eeprom ...: backup, write, factory-reset, diff and factory-images.
#include <ostream>
#include <string>

#include "tool.hpp"

namespace orva::cli {

int eepromCommand(const std::string& tool, const Options& o, const shell::Settings& s, std::ostream& out,
                  std::ostream& err);

// The file a write-back saves the camera to when not told where: beside FILE, named after it
// and the time, never over an existing file, never with ".MAP" in the name (the backup is a
// plain image).
std::filesystem::path datedBackupPath(const std::filesystem::path& file, const core::LocalTime& now);

}  // namespace orva::cli
