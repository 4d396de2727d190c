#pragma once
// Runs orva-cli in this process, as a shell would start it, and keeps what it printed.
#include "cli.hpp"

#include <sstream>
#include <string>
#include <vector>

namespace orva::cli {

struct CliRun {
  int code;
  std::string out;
  std::string err;
};

inline CliRun cli(std::vector<std::string> args) {
  args.insert(args.begin(), "orva-cli");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  const int code = run(static_cast<int>(argv.size()), argv.data(), out, err);
  return {code, out.str(), err.str()};
}

}  // namespace orva::cli
