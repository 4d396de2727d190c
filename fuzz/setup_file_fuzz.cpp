// Any bytes as a camera setup data file: the reader never reads past the end, takes a file
// whole or not at all, refuses it for another model or version, and a file it took encodes
// back to the very same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_check.hpp"
#include "eeprom/setup_record.hpp"

using orva::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orva::eeprom;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto file = decodeSetupFile(bytes);
  check(file.has_value() == (size == kSetupFileBytes && bytes.starts_with(kSetupFileSignature)));
  if (!file) return 0;

  check(encodeSetupFile(*file) == bytes);
  const SetupLoad taken = acceptSetupFile(bytes, file->stamp);
  check(taken.record && *taken.record == file->record && !taken.error);
  SetupStamp other = file->stamp;
  other.version = static_cast<std::uint16_t>(other.version + 1);
  const SetupLoad refused = acceptSetupFile(bytes, other);
  check(!refused.record && refused.error == SetupLoadError::Model);
  check(!decodeSetupFile(bytes.substr(0, size - 1)));
  return 0;
}
