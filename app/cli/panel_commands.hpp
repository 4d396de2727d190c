#pragma once
// orva-cli panels and orva-cli panel ID [--do ACTION]...: the registered panels without a
// window, through the text renderer.
#include <ostream>

#include "tool.hpp"

namespace orva::cli {

int panelsCommand(const Options& o, const shell::Settings& s, std::ostream& out);
int panelCommand(const Options& o, const shell::Settings& s, std::ostream& out, std::ostream& err);
// orva-cli status: the camera status block as the BLOCK READ panel shows it, one
// "Caption: value" line per control it shows for this camera, in the panel's order. The panel
// itself reads and decodes the block (camera mode first), so the command line and the window
// cannot disagree. AFP only: in EAP the camera has no status block (exit 2).
int statusCommand(const Options& o, const shell::Settings& s, std::ostream& out, std::ostream& err);

}  // namespace orva::cli
