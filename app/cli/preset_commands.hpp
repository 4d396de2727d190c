#pragma once
// orva-cli preset ...: the launcher's preset data file for the connected camera.
#include <ostream>
#include <string>

#include "tool.hpp"

namespace orva::cli {

// save FILE: the preset data file of this camera's model, with empty records (a command
// line run holds no captured records); open FILE: checks FILE against the camera's model and
// prints each record's memory-set flag. A file that is refused exits 2 with its message.
// store TYPE N FILE: the launcher's TYPE I / II "Memory" N on the camera; the record goes into
// FILE (read first when it exists, written back whole through a temporary file) only when the
// store got through. recall TYPE N FILE: the "Preset" N of the record FILE holds (exit 2 when
// it is not set), with the arrival message when asked.
int presetCommand(const std::string& tool, const Options& o, const shell::Settings& s, std::ostream& out,
                  std::ostream& err);

}  // namespace orva::cli
