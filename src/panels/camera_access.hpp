#pragma once
// What a panel needs to reach the camera: the link and the two protocols' operations, with
// the protocol picked at the moment each access runs.
//
// Values are the camera's, in the form of the protocol in use; a ProtocolValue carries both
// numberings of one choice (AFP often counts from 1 where the register counts from 0).
// Any thread may use it: the link serialises the commands.
#include <cstdint>

#include "camera/code_map.hpp"
#include "camera/setting.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"

namespace orva::panels {

struct ProtocolValue {
  std::uint32_t eap = 0;
  std::uint32_t afp = 0;
  constexpr std::uint32_t in(link::Protocol p) const { return p == link::Protocol::Afp ? afp : eap; }
  friend constexpr bool operator==(const ProtocolValue&, const ProtocolValue&) = default;
};

class CameraAccess {
 public:
  CameraAccess(link::Link& link, link::Eap& eap, camera::FunctionCodes& codes)
      : link_(link), eap_(eap), codes_(codes) {}

  link::Protocol protocol() const { return link_.protocol(); }
  // camera::readSetting and camera::writeSetting over this link.
  bool read(const camera::Setting& s, std::uint32_t& value);
  bool write(const camera::Setting& s, std::uint32_t value);
  // The value of the protocol in use.
  bool write(const camera::Setting& s, ProtocolValue value) { return write(s, value.in(protocol())); }

  link::Link& link() { return link_; }
  link::Eap& eap() { return eap_; }
  camera::FunctionCodes& codes() { return codes_; }

 private:
  link::Link& link_;
  link::Eap& eap_;
  camera::FunctionCodes& codes_;
};

}  // namespace orva::panels
