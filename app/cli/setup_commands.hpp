#pragma once
// orva-cli setup ...: the camera setup utility of the QB-109 series from the command line.
#include <ostream>
#include <string>

#include "tool.hpp"

namespace orva::cli {

// read FILE: the camera's setup data, read as "Read Camera Data" does, saved as FILE;
// default FILE: the default record for the connected camera, saved as FILE; write FILE: FILE
// loaded with the utility's checks and written as WRITE does (asked first; --yes). FILE gets
// ".csu" unless it ends in ".csu" or ".CSU"; the path saved is printed. A camera outside the
// series, a refused file or a failed check exit 2; a camera that fails mid-run exits 1.
int setupCommand(const std::string& tool, const Options& o, const shell::Settings& s, std::ostream& out,
                 std::ostream& err);

}  // namespace orva::cli
