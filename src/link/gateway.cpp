#include "link/gateway.hpp"

#include <fmt/format.h>

#include <optional>
#include <string>

#include "link/eap_frames.hpp"

namespace orva::link {
namespace {

constexpr std::uint16_t kByteCode = 0xFE01;
constexpr std::uint16_t kWordCode = 0xFE02;

// The reply holds the fields in payload order: the address again, then the value.
bool read(Afp& afp, Link& link, std::uint16_t code, std::uint16_t address, std::size_t digits, std::uint32_t& value) {
  core::EchoModeScope quiet(link.monitor(), core::EchoMode::Hidden);
  std::string reply;
  if (!afp.get(fmt::format("{:04X}{:04X}{}", code, address, std::string(digits, 'F')), reply)) return false;
  std::optional<std::uint32_t> v;
  if (reply.size() == 4 + digits && eap::hexValue(reply.substr(0, 4)) == address) v = eap::hexValue(reply.substr(4, digits));
  if (!v) {
    // The camera answered, but not this read: with the exchange hidden, the fault report is
    // all the operator sees, and the next command starts on a fresh line.
    link.reportFault(FaultKind::Receive);
    link.reopen();
    return false;
  }
  value = *v;
  return true;
}

}  // namespace

bool gatewayReadByte(Afp& afp, Link& link, std::uint16_t address, std::uint8_t& value) {
  std::uint32_t v = 0;
  if (!read(afp, link, kByteCode, address, 2, v)) return false;
  value = static_cast<std::uint8_t>(v);
  return true;
}

bool gatewayReadWord(Afp& afp, Link& link, std::uint16_t address, std::uint16_t& value) {
  std::uint32_t v = 0;
  if (!read(afp, link, kWordCode, address, 4, v)) return false;
  value = static_cast<std::uint16_t>(v);
  return true;
}

bool gatewayWriteByte(Afp& afp, Link& link, std::uint16_t address, std::uint8_t value) {
  core::EchoModeScope quiet(link.monitor(), core::EchoMode::Hidden);
  return afp.set(fmt::format("{:04X}{:04X}{:02X}", kByteCode, address, value), true);
}

bool gatewayWriteWord(Afp& afp, Link& link, std::uint16_t address, std::uint16_t value) {
  core::EchoModeScope quiet(link.monitor(), core::EchoMode::Hidden);
  return afp.set(fmt::format("{:04X}{:04X}{:04X}", kWordCode, address, value), true);
}

}  // namespace orva::link
