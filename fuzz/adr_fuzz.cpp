// Any bytes as an address map: the converter never reads past a line's end (the sanitizers
// watch) and every ADR line it writes is "ADDR NAME\r\n", taken from a symbol line of the map.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_check.hpp"
#include "eeprom/adr_convert.hpp"

using orva::fuzz::check;

namespace {

using namespace orva::eeprom;


bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

std::size_t symbolLines(std::string_view map) {
  std::size_t n = 0;
  std::size_t pos = 0;
  while (pos < map.size()) {
    std::size_t nl = map.find('\n', pos);
    if (nl == std::string_view::npos) nl = map.size();
    const std::string_view line = map.substr(pos, nl - pos);
    if (line.find("H'00FF") != std::string_view::npos || line.find("H'FFFF") != std::string_view::npos) ++n;
    pos = nl + 1;
  }
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view map(reinterpret_cast<const char*>(data), size);
  const std::string adr = convertMap(map);
  const bool marked = map.find(kAdrStartMarker) != std::string_view::npos;
  check(marked || adr.empty());

  std::size_t lines = 0;
  std::size_t pos = 0;
  while (pos < adr.size()) {
    const std::size_t end = adr.find("\r\n", pos);
    check(end != std::string::npos);
    const std::string_view line(adr.data() + pos, end - pos);
    check(line.size() > kAdrAddressLength && line[kAdrAddressLength] == ' ');
    const std::string_view address = line.substr(0, kAdrAddressLength);
    const std::string_view name = line.substr(kAdrAddressLength + 1);
    for (char c : address) check(!isControl(c));
    check(name.size() <= kAdrNameEnd - kAdrNameColumn);
    for (char c : name) check(c != ' ' && !isControl(c));
    check(map.find(address) != std::string_view::npos && map.find(name) != std::string_view::npos);
    ++lines;
    pos = end + 2;
  }
  check(lines <= symbolLines(map));
  return 0;
}
