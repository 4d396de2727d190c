// Any camera answers to every EAP operation: no crash, no hang, and an operation that
// succeeds returns exactly the value the answer carried.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_check.hpp"
#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "link/eap.hpp"
#include "link/testing/scripted_channel.hpp"

using orva::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  using namespace orva;
  core::FakeClock clock(std::chrono::milliseconds(0));
  core::RecordingMonitorSink monitor;
  link::Link link(clock, monitor);
  auto owned = std::make_unique<link::testing::ScriptedChannel>(clock);
  auto* line = owned.get();
  link.setChannel(std::move(owned));
  link.setBlockReadMode(data[0] & 1 ? 2 : 0);
  link.setAltReadPrefix(data[0] & 2);
  monitor.setEchoMode(static_cast<core::EchoMode>(data[0] % 3));
  const auto address = static_cast<std::uint16_t>(data[1] << 8 | data[2]);
  const int op = data[3] % 12;
  line->answers.assign(reinterpret_cast<const char*>(data + 4), size - 4);
  link.open();

  link::Eap eap(link);
  std::uint8_t b = 0;
  std::uint16_t w = 0;
  std::array<std::uint8_t, 10> block{};
  bool ok = false;
  switch (op) {
    case 0: ok = eap.readByte(address, b); break;
    case 1: ok = eap.readWord(address, w); break;
    case 2: ok = eap.writeByte(address, data[1]); break;
    case 3: ok = eap.writeWord(address, address); break;
    case 4: ok = eap.writeByteHash(address, data[2]); break;
    case 5: ok = eap.writeWordHash(address, address); break;
    case 6: ok = eap.functionCommand('M', address, data[1] % 6); break;
    case 7: ok = eap.prefixedRead(address, b, '['); break;
    case 8: ok = eap.blockRead(address, block); break;
    case 9: ok = eap.exchangeChar(static_cast<char>(data[1])); break;
    case 10: ok = eap.swapByte(data[1], b); break;
    default: b = data[1]; ok = eap.exchangeHexByte(b); break;
  }
  // A read that succeeded saw its own frame echoed: the value digits sit after the echo.
  if (ok && op == 0 && line->sent.size() == 8) {
    const std::string& a = line->answers;
    auto v = link::eap::hexValue(std::string_view(a).substr(6, 2));
    check(v && *v == b);
  }
  // Whatever the camera answered, the line is left open for the next command.
  check(link.isOpen());
  return 0;
}
