#pragma once
// orva-cli preset ...: the launcher's preset data file for the connected camera.
#include <ostream>
#include <string>

#include "tool.hpp"

namespace orva::cli {

// save FILE: the preset data file of this camera's model, with empty records (a command
// line run holds no captured records); open FILE: checks FILE against the camera's model and
// prints each record's memory-set flag. A file that is refused exits 2 with its message.
int presetCommand(const std::string& tool, const Options& o, const shell::Settings& s, std::ostream& out,
                  std::ostream& err);

}  // namespace orva::cli
