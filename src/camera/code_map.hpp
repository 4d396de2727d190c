#pragma once
// The AFP function codes as data, and one generic read and write over them.
//
// A function code takes the place of a register address in the AFP frames. Each row of the
// map says which value fields follow the code in the payload (8, 16 or 32 bits, upper-case
// hex), which directions the camera accepts, whether a write waits for the camera's
// completion, and which EAP register carries the same setting when the camera speaks EAP.
// A code and its twin with bit 7 of the low byte set (0x1104 and 0x1184) are distinct rows;
// a code may also appear twice with different widths (0x7106 as 16 and as 32 bits).
//
// Payloads: a write sends the caller's values; a read sends every value field filled with
// "F" and the index fields with the caller's index. A read's reply holds the fields in
// payload order; it is accepted only when it has exactly the expected length, hex digits
// only, and echoes the index fields that were sent. Anything else is a failed read and the
// caller's values stay as they were.
//
// Threads: FunctionCodes keeps no state of its own; it runs on the caller's thread and the
// link serialises the commands.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/afp.hpp"
#include "link/link.hpp"

namespace orva::camera {

enum class FieldKind : std::uint8_t {
  Value,     // read: filled with F, taken from the reply
  Index,     // read: the caller's index, echoed by the camera and checked
  Selector,  // read: the caller's value is sent, the reply's value taken back unchecked
};

struct Field {
  std::uint8_t bits = 8;  // 8, 16 or 32
  FieldKind kind = FieldKind::Value;
  constexpr std::size_t digits() const { return bits / 4u; }
};

enum class Access : std::uint8_t { Read = 1, Write = 2, ReadWrite = 3 };

// Attributes of single rows.
enum CodeFlag : std::uint8_t {
  kNoWait = 1u << 0,          // a write returns once the camera accepted it (motion commands)
  kReadOnlyDirection2 = 1u << 1,  // in the call-by-direction form, only direction 2 reads
  kReadAnyDirection = 1u << 2,    // in the call-by-direction form, every direction reads
  kGateway = 1u << 3,             // EAP register space: monitor quiet for the exchange
};

struct CodeInfo {
  std::uint16_t code = 0;
  std::string_view name;                 // what it controls, empty when no panel names it
  std::span<const Field> fields;         // the payload after the code
  Access access = Access::ReadWrite;
  std::uint16_t eapRegister = 0;         // the same setting in EAP; 0 when none
  std::uint8_t flags = 0;
  char readFill = 'F';                   // what a read puts in its value fields
  std::span<const Field> replyFields{};  // when the reply differs from the payload

  constexpr bool readable() const { return (static_cast<unsigned>(access) & 1u) != 0; }
  constexpr bool writable() const { return (static_cast<unsigned>(access) & 2u) != 0; }
  constexpr bool waits() const { return (flags & kNoWait) == 0; }
  constexpr std::span<const Field> reply() const { return replyFields.empty() ? fields : replyFields; }
  // The total width of the payload's fields, in bits.
  constexpr int payloadBits() const {
    int bits = 0;
    for (const Field& f : fields) bits += f.bits;
    return bits;
  }
  std::size_t indexCount() const;
};

namespace layouts {

inline constexpr Field kB{8, FieldKind::Value};
inline constexpr Field kW{16, FieldKind::Value};
inline constexpr Field kL{32, FieldKind::Value};
inline constexpr Field kIB{8, FieldKind::Index};
inline constexpr Field kIW{16, FieldKind::Index};
inline constexpr Field kSB{8, FieldKind::Selector};

// Field layouts shared by the rows.
inline constexpr std::array kByte{kB};
inline constexpr std::array kWord{kW};
inline constexpr std::array kLong{kL};
inline constexpr std::array kIndexByte{kIB, kB};
inline constexpr std::array kTwoBytes{kB, kB};
inline constexpr std::array kThreeBytes{kB, kB, kB};
inline constexpr std::array kFourBytes{kB, kB, kB, kB};
inline constexpr std::array kFiveBytes{kB, kB, kB, kB, kB};
inline constexpr std::array kWordByte{kW, kB};
inline constexpr std::array kTwoWords{kW, kW};
inline constexpr std::array kSevenWordsByte{kW, kW, kW, kW, kW, kW, kW, kB};
inline constexpr std::array kFourWordsByte{kW, kW, kW, kW, kB};
// A 24-bit weighting value comes back as three bytes after its index.
inline constexpr std::array kIndexThreeBytes{kIB, kB, kB, kB};
inline constexpr std::array kSelectorTwoWords{kSB, kW, kW};
inline constexpr std::array kAddressByte{kIW, kB};
inline constexpr std::array kAddressWord{kIW, kW};
// The camera status block: asked with "EE", answered with six bytes and five words.
inline constexpr std::array kStatusBlock{kB, kB, kB, kB, kB, kB, kW, kW, kW, kW, kW};

}  // namespace layouts

// The map, one row per function code and width.
inline constexpr CodeInfo kCodeMap[] = {
    {0x0181, "camera serial speed code", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x0102, "camera restart", layouts::kByte, Access::Write, 0xFCAC, 0},
    {0x0183, "camera type code", layouts::kWord, Access::Read, 0xE1ED, kReadOnlyDirection2},
    {0x0104, "lens condition", layouts::kByte, Access::ReadWrite, 0xF740, 0},
    {0x0185, "camera mode", layouts::kByte, Access::ReadWrite, 0x1701, 0},
    {0x018A, "", layouts::kByte, Access::Write, 0xF8D8, 0},
    {0x1101, "focus mode", layouts::kByte, Access::ReadWrite, 0xFF0E, 0},
    {0x1102, "focus drive", layouts::kByte, Access::Write, 0xFCBB, 0},
    {0x1103, "", layouts::kByte, Access::ReadWrite, 0xF8A0, 0},
    {0x1104, "minimum focus length, wide and tele pair", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x1184, "minimum focus length, wide and tele pair", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x1185, "minimum focus length", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x1106, "AF search type", layouts::kByte, Access::ReadWrite, 0xF8E0, 0},
    {0x1107, "zoom drive", layouts::kByte, Access::ReadWrite, 0xFCBB, 0},
    {0x1108, "zoom speed", layouts::kByte, Access::ReadWrite, 0xFDFC, 0},
    {0x1109, "zoom position", layouts::kWord, Access::Read, 0xF850, kReadOnlyDirection2},
    {0x110A, "", layouts::kWord, Access::Read, 0, kReadOnlyDirection2},
    {0x110B, "fast AF on/off", layouts::kByte, Access::ReadWrite, 0xF8D0, 0},
    {0x118B, "fast AF on/off", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x110C, "", layouts::kByte, Access::Write, 0, 0},
    {0x110D, "", layouts::kByte, Access::Read, 0, 0},
    {0x110E, "", layouts::kByte, Access::ReadWrite, 0x08F7, 0},
    {0x110F, "AF sensitivity", layouts::kByte, Access::ReadWrite, 0xF7F0, 0},
    {0x1201, "continuous digital zoom", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x1202, "", layouts::kByte, Access::ReadWrite, 0xFDF0, 0},
    {0x1203, "instant digital zoom", layouts::kByte, Access::ReadWrite, 0xFF0F, 0},
    {0x1204, "instant magnification in tenths", layouts::kByte, Access::ReadWrite, 0xFDE6, 0},
    {0x1285, "", layouts::kByte, Access::ReadWrite, 0x0AFE, 0},
    {0x1209, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x120B, "quick AF", layouts::kByte, Access::ReadWrite, 0xF840, 0},
    {0x120C, "multi-area AF", layouts::kByte, Access::ReadWrite, 0xF8E5, 0},
    {0x120D, "point light source AF zoom", layouts::kByte, Access::ReadWrite, 0xF830, 0},
    {0x120E, "", layouts::kIndexByte, Access::ReadWrite, 0xF73F, 0},
    {0x120F, "AF zoom macro mode", layouts::kByte, Access::ReadWrite, 0xF831, 0},
    {0x1301, "AF watchdog mode", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x1302, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x1303, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x1304, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x1305, "", layouts::kIndexByte, Access::ReadWrite, 0, 0},
    {0x1306, "", layouts::kByte, Access::Read, 0, 0},
    {0x1307, "", layouts::kByte, Access::Write, 0, 0},
    {0x1308, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x2101, "iris offset, average level, WDR off", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x2102, "iris offset, peak level, WDR off", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x2103, "iris offset, average level, WDR on", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x2104, "iris offset, peak level, WDR on", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x2184, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x2105, "program AE mode", layouts::kByte, Access::ReadWrite, 0xFCC8, 0},
    {0x2106, "slow AE response", layouts::kByte, Access::ReadWrite, 0xFB50, 0},
    {0x2107, "weighting data, read by index", layouts::kIndexThreeBytes, Access::Read, 0, kReadOnlyDirection2},
    {0x2108, "weighting data, set", layouts::kWord, Access::Write, 0, 0},
    {0x2109, "AE mode", layouts::kByte, Access::Read, 0, kReadOnlyDirection2},
    {0x210B, "shutter speed", layouts::kByte, Access::ReadWrite, 0xFCC9, 0},
    {0x210C, "exposure", layouts::kByte, Access::ReadWrite, 0xFCC9, 0},
    {0x210D, "shutter speed in full manual mode", layouts::kWord, Access::ReadWrite, 0xFFDA, 0},
    {0x210E, "exposure in full manual mode", layouts::kWord, Access::ReadWrite, 0xFFDC, 0},
    {0x210F, "AGC gain in full manual mode", layouts::kWord, Access::ReadWrite, 0, 0},
    {0x2201, "IR-cut filter state", layouts::kByte, Access::Read, 0xFFE7, kReadOnlyDirection2},
    {0x2202, "IR-cut filter move", layouts::kByte, Access::Write, 0xFFE6, 0},
    {0x2203, "IR-cut filter out only", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x2204, "IR-cut filter threshold offset", layouts::kByte, Access::ReadWrite, 0xFFEA, 0},
    {0x2205, "IR curve", layouts::kByte, Access::ReadWrite, 0xF8A4, 0},
    {0x2207, "IR-cut filter direction notification", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x2301, "back light compensation", layouts::kByte, Access::ReadWrite, 0xFECE, 0},
    {0x2302, "back light compensation level", layouts::kByte, Access::ReadWrite, 0xFD8E, 0},
    {0x2303, "AGC priority gain", layouts::kByte, Access::ReadWrite, 0xFCC9, 0},
    {0x3101, "white balance", layouts::kByte, Access::ReadWrite, 0xFBFF, 0},
    {0x3102, "white balance R gain", layouts::kWord, Access::ReadWrite, 0xFBBC, 0},
    {0x3182, "", layouts::kWord, Access::ReadWrite, 0, 0},
    {0x3103, "white balance B gain", layouts::kWord, Access::ReadWrite, 0xFBBE, 0},
    {0x3183, "", layouts::kWord, Access::ReadWrite, 0, 0},
    {0x3104, "white balance mode in auto", layouts::kByte, Access::ReadWrite, 0xF9F2, 0},
    {0x3185, "manual white balance fixed mode", layouts::kByte, Access::ReadWrite, 0x142F, 0},
    {0x3201, "WDR on/off", layouts::kByte, Access::ReadWrite, 0xFF4C, 0},
    {0x3202, "WDR mode", layouts::kByte, Access::ReadWrite, 0xFF57, 0},
    {0x3207, "", layouts::kByte, Access::ReadWrite, 0xFF48, 0},
    {0x3208, "defog", layouts::kByte, Access::ReadWrite, 0xFF80, 0},
    {0x3209, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x320A, "", layouts::kByte, Access::Write, 0, 0},
    {0x320B, "", layouts::kByte, Access::ReadWrite, 0xFF84, 0},
    {0x320C, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x9901, "enhanced intensity", layouts::kByte, Access::ReadWrite, 0xFF90, 0},
    {0x9902, "enhanced intensity effect level", layouts::kByte, Access::ReadWrite, 0xFF91, 0},
    {0x9904, "E.I whiteout reduction effect level", layouts::kByte, Access::ReadWrite, 0xFF9A, 0},
    {0x3301, "", layouts::kByte, Access::ReadWrite, 0xFF4A, 0},
    {0x3302, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x3303, "effect mode", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x3401, "AGC", layouts::kWordByte, Access::ReadWrite, 0xFD46, 0},
    {0x3402, "colour level set of the current picture mode", layouts::kFiveBytes, Access::ReadWrite, 0, 0},
    {0x3403, "aperture", layouts::kByte, Access::ReadWrite, 0xFBFF, 0},
    {0x3404, "horizontal aperture level", layouts::kByte, Access::ReadWrite, 0xFBF6, 0},
    {0x3406, "vertical aperture level", layouts::kByte, Access::ReadWrite, 0xFBF9, 0},
    {0x3408, "colour gamma level tuning values", layouts::kFiveBytes, Access::ReadWrite, 0, 0},
    {0x3409, "Y gamma level tuning values", layouts::kFiveBytes, Access::ReadWrite, 0, 0},
    {0x340A, "Y knee", layouts::kFiveBytes, Access::ReadWrite, 0, 0},
    {0x340B, "pedestal level tuning values", layouts::kFiveBytes, Access::ReadWrite, 0, 0},
    {0x348C, "soft reset", layouts::kFourBytes, Access::ReadWrite, 0, 0},
    {0x340D, "picture mode 1 to 4", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x348E, "gain up / high-sensitivity mode", layouts::kByte, Access::ReadWrite, 0x1221, 0},
    {0x340F, "zoom sensitivity boost", layouts::kByte, Access::ReadWrite, 0xFB5C, 0},
    {0x4101, "instant fade", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x4102, "freeze", layouts::kByte, Access::ReadWrite, 0xFF33, 0},
    {0x4103, "image reverse", layouts::kByte, Access::ReadWrite, 0xFF30, 0},
    {0x4104, "reverse / inverse mode", layouts::kByte, Access::ReadWrite, 0xFF31, 0},
    {0x5101, "", layouts::kByte, Access::ReadWrite, 0xFF56, 0},
    {0x5102, "", layouts::kThreeBytes, Access::ReadWrite, 0, 0},
    {0x5103, "digital output mode on/off", layouts::kByte, Access::ReadWrite, 0xFF55, 0},
    {0x5104, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x5185, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x5201, "sync output setting", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x5202, "sync output setting", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x5203, "sync output setting", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x5204, "sync output setting", layouts::kWord, Access::ReadWrite, 0, 0},
    {0x5205, "sync output setting", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x6101, "", layouts::kSevenWordsByte, Access::ReadWrite, 0, 0},
    {0x6102, "", layouts::kFourWordsByte, Access::ReadWrite, 0, 0},
    {0x6103, "preset memory recall", layouts::kTwoWords, Access::ReadWrite, 0xF850, kNoWait},
    {0x6104, "focus position", layouts::kWord, Access::ReadWrite, 0, kNoWait},
    {0x6105, "zoom position", layouts::kWord, Access::ReadWrite, 0, kNoWait},
    {0x6106, "go to zoom position", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x6187, "lens position", layouts::kWord, Access::ReadWrite, 0x11E6, 0},
    {0x6109, "EEPROM Store64 preset store or delete", layouts::kTwoBytes, Access::ReadWrite, 0, 0},
    {0x610A, "preset cancel", layouts::kByte, Access::Write, 0, 0},
    {0x618B, "lens position set mode", layouts::kByte, Access::ReadWrite, 0x11E1, 0},
    {0x610C, "", layouts::kByte, Access::ReadWrite, 0xF861, 0},
    {0x610D, "camera preset Store64 delete", layouts::kTwoBytes, Access::ReadWrite, 0, 0},
    {0x610F, "", layouts::kByte, Access::ReadWrite, 0xF863, 0},
    {0x6112, "preset digital zoom mode, 0xF863 + 1", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x7101, "privacy mask display", layouts::kByte, Access::ReadWrite, 0xF900, 0},
    {0x7102, "privacy mask, per mask number", layouts::kIndexByte, Access::ReadWrite, 0, 0},
    {0x7103, "", layouts::kFiveBytes, Access::ReadWrite, 0, 0},
    {0x7104, "", layouts::kFourBytes, Access::Read, 0xFB14, kReadAnyDirection},
    {0x7106, "", layouts::kWord, Access::Read, 0, kReadOnlyDirection2},
    {0x7106, "", layouts::kLong, Access::Read, 0, kReadOnlyDirection2},
    {0x7107, "", layouts::kTwoWords, Access::Write, 0, 0},
    {0x7109, "", layouts::kByte, Access::ReadWrite, 0xFD2E, 0},
    {0x710A, "", layouts::kByte, Access::ReadWrite, 0xFD2F, 0},
    {0x710B, "", layouts::kTwoBytes, Access::ReadWrite, 0, 0},
    {0x710D, "", layouts::kByte, Access::ReadWrite, 0x107A, 0},
    {0x718D, "", layouts::kByte, Access::ReadWrite, 0x107A, 0},
    {0x718E, "", layouts::kByte, Access::ReadWrite, 0x1081, 0},
    {0x710F, "mosaic setting", layouts::kByte, Access::ReadWrite, 0xF92A, 0},
    {0x7201, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x7202, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x7286, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x7208, "", layouts::kFiveBytes, Access::ReadWrite, 0, 0},
    {0x7209, "", layouts::kSelectorTwoWords, Access::Read, 0, 0},
    {0x720B, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x720F, "", layouts::kWord, Access::Read, 0, kReadOnlyDirection2},
    {0x7301, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x7302, "", layouts::kFiveBytes, Access::ReadWrite, 0, 0},
    {0x7303, "", layouts::kFourBytes, Access::Write, 0, 0},
    {0x7304, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x7305, "", layouts::kTwoBytes, Access::ReadWrite, 0, 0},
    {0x7306, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x7307, "", layouts::kThreeBytes, Access::ReadWrite, 0, 0},
    {0x7308, "", layouts::kTwoBytes, Access::ReadWrite, 0, 0},
    {0x8101, "motion detection mode on", layouts::kByte, Access::ReadWrite, 0xF950, 0},
    {0x8102, "motion detection mode", layouts::kByte, Access::ReadWrite, 0xF951, 0},
    {0x8103, "", layouts::kThreeBytes, Access::ReadWrite, 0, 0},
    {0x8104, "", layouts::kByte, Access::ReadWrite, 0, 0},
    {0x8106, "", layouts::kByte, Access::Read, 0, kReadOnlyDirection2},
    {0x8108, "motion detection mode", layouts::kByte, Access::ReadWrite, 0xF953, 0},
    {0x8201, "motion tracking", layouts::kByte, Access::ReadWrite, 0xF9B0, 0},
    {0x8202, "motion tracking area display", layouts::kByte, Access::ReadWrite, 0xF9B3, 0},
    {0x8203, "motion tracking reported area", layouts::kByte, Access::ReadWrite, 0xF9B1, 0},
    {0x8204, "motion tracking range", layouts::kWord, Access::ReadWrite, 0xF9BB, 0},
    {0x8205, "motion tracking border display", layouts::kByte, Access::ReadWrite, 0xF9BA, 0},
    {0x8301, "electronic image stabiliser", layouts::kByte, Access::ReadWrite, 0xFCCC, 0},
    {0x8304, "EIS mode", layouts::kByte, Access::ReadWrite, 0xFCCE, 0},
    {0xFE01, "gateway to the EAP register space, 8-bit", layouts::kAddressByte, Access::ReadWrite, 0, kGateway},
    {0xFE02, "gateway to the EAP register space, 16-bit", layouts::kAddressWord, Access::ReadWrite, 0, kGateway},
    {0xFD01, "switch the camera to EAP", layouts::kByte, Access::Write, 0, 0},
    {0xF101, "camera status block", layouts::kByte, Access::Read, 0, 0, 'E', layouts::kStatusBlock},
};

// Every row of the map, in map order.
constexpr std::span<const CodeInfo> codeMap() { return kCodeMap; }

// The first row for `code`; with `payloadBits` not 0, the row whose fields add up to that
// width (0x7106 as 16 or 32). Null when the map has no such row.
constexpr const CodeInfo* findCode(std::uint16_t code, int payloadBits = 0) {
  for (const CodeInfo& info : kCodeMap)
    if (info.code == code && (payloadBits == 0 || info.payloadBits() == payloadBits)) return &info;
  return nullptr;
}

// The payload text of a write ("%04X" code, then each field) from `fields`, one value per
// field; empty when the count does not match or a value does not fit its field.
std::string writePayload(const CodeInfo& info, std::span<const std::uint32_t> fields);
// The payload text of a read: value fields filled, index and selector fields from
// `indexes` in order; empty when the count of indexes does not match or one does not fit.
std::string readPayload(const CodeInfo& info, std::span<const std::uint32_t> indexes);
// The reply text (fields only, the code removed) as values in payload order; false when
// its length, its digits or an echoed index do not match.
bool parseReply(const CodeInfo& info, std::string_view reply, std::span<const std::uint32_t> indexes,
                std::vector<std::uint32_t>& fields);

class FunctionCodes {
 public:
  FunctionCodes(link::Afp& afp, link::Link& link) : afp_(afp), link_(link) {}

  // Reads a row. `indexes` supply the index and selector fields in payload order. On
  // success `fields` holds the reply's fields in payload order (index echoes included); on
  // any failure it is left as it was. A row that cannot be read sends nothing.
  bool read(const CodeInfo& info, std::vector<std::uint32_t>& fields, std::span<const std::uint32_t> indexes = {});
  bool read(std::uint16_t code, std::vector<std::uint32_t>& fields, std::span<const std::uint32_t> indexes = {});
  // Writes a row: one value per payload field, index fields included. A row that cannot be
  // written, or values that do not fit, send nothing.
  bool write(const CodeInfo& info, std::span<const std::uint32_t> fields);
  bool write(std::uint16_t code, std::span<const std::uint32_t> fields);

  // The panels' call shape: direction 1 writes `fields`; any other direction reads, taking
  // the index fields from `fields` at their payload positions and replacing `fields` with
  // the reply. Rows marked kReadOnlyDirection2 read only for direction 2; kReadAnyDirection
  // rows read whatever the direction.
  bool call(const CodeInfo& info, int direction, std::vector<std::uint32_t>& fields);

  link::Afp& afp() { return afp_; }

 private:
  link::Afp& afp_;
  link::Link& link_;
};

}  // namespace orva::camera
