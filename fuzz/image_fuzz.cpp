// Any bytes as an EEPROM image file, plain or MAP variant: reading never crashes, and an image
// it accepts is written and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_check.hpp"
#include "eeprom/image.hpp"

// The first byte picks the variant (bit 0) and the EEPROM size code of the range (the rest).
using orva::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  using namespace orva::eeprom;
  const ImageVariant variant = (data[0] & 1) != 0 ? ImageVariant::Map : ImageVariant::Plain;
  const Range range = *sizeCodeRange(1 + (data[0] >> 1) % 10);
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  auto image = parseImage(text, variant, range);
  if (!image) {
    check(!image.message().empty());
    return 0;
  }
  check(image->start == range.start);
  check(image->bytes.size() % kRowBytes == 0);
  check(image->rows() >= 1 && image->rows() <= range.rows());
  auto again = parseImage(formatImage(*image), ImageVariant::Plain, range);
  check(again && *again == *image);
  return 0;
}
