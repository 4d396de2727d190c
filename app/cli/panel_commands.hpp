#pragma once
// orva-cli panels and orva-cli panel ID [--do ACTION]...: the registered panels without a
// window, through the text renderer.
#include <ostream>

#include "tool.hpp"

namespace orva::cli {

int panelsCommand(const Options& o, const shell::Settings& s, std::ostream& out);
int panelCommand(const Options& o, const shell::Settings& s, std::ostream& out, std::ostream& err);

}  // namespace orva::cli
