// Any bytes as an adjustment-address file: reading never crashes, and a list it accepts is
// within the count limit, holds each address once, and reads back the same when written out
// plainly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <fmt/format.h>

#include "fuzz_check.hpp"
#include "eeprom/adjustment.hpp"

using orva::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orva::eeprom;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto r = parseAdjustmentAddresses(text);
  if (!r) {
    check(!r.message().empty());
    return 0;
  }
  const std::vector<std::uint16_t>& list = r->addresses;
  check(!list.empty() && list.size() <= kMaxAdjustmentAddresses);
  std::vector<bool> seen(0x10000);
  std::string plain = "%END\n%END\n%END\n";
  for (std::uint16_t a : list) {
    check(a >= 0x1000 && a <= 0x1FFF);  // every address is written starting with "1"
    check(!seen[a] && r->contains(a));
    seen[a] = true;
    plain += fmt::format("{:04x}\n", a);
  }
  auto again = parseAdjustmentAddresses(plain);
  check(again && again->addresses == list);
  return 0;
}
