// Any bytes as a factory EEPROM image: reading never crashes, a refusal says why, and an image
// it accepts is written and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_check.hpp"
#include "eeprom/factory_images.hpp"

// The first byte picks the EEPROM size code of the range.
using orva::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  using namespace orva::eeprom;
  const Range range = *sizeCodeRange(1 + data[0] % 10);
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  const FactoryImageRead read = parseFactoryImage(text, range);
  if (!read.ok()) {
    check(!read.message.empty());
    return 0;
  }
  check(read.image.start == range.start);
  check(read.image.bytes.size() % kRowBytes == 0);
  check(read.image.rows() >= 1 && read.image.rows() <= range.rows());
  const FactoryImageRead again = parseFactoryImage(formatImage(read.image), range);
  check(again.ok() && again.image == read.image);
  return 0;
}
