#include "camera/setting.hpp"

#include <vector>

namespace orva::camera {
namespace {

bool fitsWidth(const Setting& s, std::uint32_t value) { return value <= (s.width == 16 ? 0xFFFFu : 0xFFu); }

const CodeInfo* gatewayRow(const Setting& s) { return findCode(s.width == 16 ? 0xFE02 : 0xFE01); }

bool readEap(const Setting& s, std::uint32_t& value, link::Eap& eap) {
  if (s.width == 16) {
    std::uint16_t w = 0;
    if (!eap.readWord(s.eapRegister, w)) return false;
    value = w;
    return true;
  }
  std::uint8_t b = 0;
  if (!eap.readByte(s.eapRegister, b)) return false;
  value = b;
  return true;
}

bool readAfp(const Setting& s, std::uint32_t& value, FunctionCodes& codes) {
  std::vector<std::uint32_t> fields;
  bool ok = false;
  if (s.afpCode != 0) {
    ok = codes.read(s.afpCode, fields);
  } else {
    const std::uint32_t address = s.eapRegister;
    ok = codes.read(*gatewayRow(s), fields, std::span(&address, 1));
    if (ok && !fields.empty()) fields.erase(fields.begin());  // the echoed address
  }
  // Without a camera a read succeeds with nothing to take.
  if (!ok) return false;
  if (s.afpField < fields.size()) value = fields[s.afpField];
  return true;
}

bool writeAfp(const Setting& s, std::uint32_t value, FunctionCodes& codes) {
  if (s.afpCode == 0) {
    const std::uint32_t fields[] = {s.eapRegister, value};
    return codes.write(*gatewayRow(s), fields);
  }
  const CodeInfo* info = findCode(s.afpCode);
  // A field among others would need the others' values too: such rows are written whole.
  if (info == nullptr || info->fields.size() != 1) return false;
  return codes.write(*info, std::span(&value, 1));
}

}  // namespace

bool readSetting(const Setting& s, std::uint32_t& value, link::Link& link, link::Eap& eap, FunctionCodes& codes) {
  if (link.protocol() == link::Protocol::Afp) {
    if (s.afpCode == 0 && s.eapRegister == 0) return false;
    return readAfp(s, value, codes);
  }
  if (s.eapRegister == 0) return false;
  return readEap(s, value, eap);
}

bool writeSetting(const Setting& s, std::uint32_t value, link::Link& link, link::Eap& eap, FunctionCodes& codes) {
  if (!fitsWidth(s, value)) return false;
  if (link.protocol() == link::Protocol::Afp) {
    if (s.afpCode == 0 && s.eapRegister == 0) return false;
    return writeAfp(s, value, codes);
  }
  if (s.eapRegister == 0) return false;
  return s.width == 16 ? eap.writeWord(s.eapRegister, static_cast<std::uint16_t>(value))
                       : eap.writeByte(s.eapRegister, static_cast<std::uint8_t>(value));
}

}  // namespace orva::camera
