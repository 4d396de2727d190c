// Any bytes as a preset data file: the reader never reads past the end, takes all eight
// records or none, refuses every truncation of a file it took, and a saved file opens to the
// same records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_check.hpp"
#include "camera/preset_file.hpp"

using orva::fuzz::check;

namespace {


// The model the file names, so that most inputs reach the records.
std::uint32_t namedModel(std::string_view bytes) {
  if (bytes.size() < 24) return 0;
  const auto at = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[i])); };
  if (bytes.substr(0, 20) == orva::camera::kOldPresetFileTag) return at(20);
  return at(20) << 24 | at(21) << 16 | at(22) << 8 | at(23);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orva::camera;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::uint32_t model = namedModel(bytes);
  const DecodedPresetFile d = decodePresetFile(bytes, model);
  check((d.fault == PresetFileFault::None) == d.records.has_value());
  if (!d.records) return 0;

  const bool old = bytes.substr(0, 20) == kOldPresetFileTag;
  const std::size_t needed = old ? kOldPresetFileBytes : kPresetFileBytes;
  check(size >= needed);
  for (std::size_t n = 0; n < needed; n += 7) check(!decodePresetFile(bytes.substr(0, n), model).records);
  check(!decodePresetFile(bytes.substr(0, needed - 1), model).records);

  const std::string saved = encodePresetFile(*d.records, model);
  check(saved.size() == kPresetFileBytes);
  const DecodedPresetFile again = decodePresetFile(saved, model);
  check(again.records && *again.records == *d.records);
  check(!decodePresetFile(saved, model + 1).records);
  return 0;
}
