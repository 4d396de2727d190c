#include "eeprom/setup_record.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/atomic_file.hpp"

namespace orva::eeprom {
namespace {

using namespace setup_at;

constexpr std::array<std::size_t, 6> kBlockStarts{0, 60, 136, 254, 284, 316};
constexpr std::size_t kHeaderBytes = 35;

constexpr SetupAddress word(SetupField f, std::uint16_t reg) { return {f, reg}; }

// The address fields and the registers they hold by default.
constexpr std::array kAddresses{
    word(L(22), 0x11E1), word(L(24), 0x11E6), word(L(26), 0x1802), word(L(30), 0xFDF0),
    word(L(32), 0x12A2), word(L(34), 0x1808), word(L(36), 0x180A), word(L(38), 0x180C),
    word(L(40), 0x1810), word(L(42), 0x180E), word(L(44), 0xF720), word(L(46), 0xF714),
    word(L(48), 0xF7BE), word(L(50), 0xF7C2), word(L(52), 0xF7C4), word(L(54), 0xF895),
    word(L(56), 0xFC6E), word(L(58), 0xFDF0),
    word(T(50), 0x1800), word(T(52), 0xFF0E), word(T(54), 0xF9F3), word(T(56), 0x1337),
    word(T(58), 0xE139), word(T(60), 0x1804), word(T(62), 0x1806), word(T(64), 0x12A4),
    word(T(66), 0x12AE), word(T(68), 0x12C0), word(T(70), 0xF710), word(T(72), 0xF718),
    word(T(74), 0xF71A),
    word(P(42), 0x11E5), word(P(44), 0xE09E), word(P(46), 0xE09F), word(P(48), 0xE0A0),
    word(P(50), 0xE08E), word(P(52), 0xE198), word(P(54), 0xE199), word(P(56), 0xE19A),
    word(P(58), 0xE19B), word(P(60), 0x1360), word(P(62), 0x1361), word(P(64), 0x1362),
    word(P(66), 0x1363), word(P(68), 0x1364), word(P(70), 0x136A), word(P(72), 0x136B),
    word(P(74), 0x136C), word(P(76), 0x136D), word(P(78), 0x136E), word(P(80), 0x139C),
    word(P(82), 0x139D), word(P(84), 0x139E), word(P(86), 0x139F), word(P(88), 0x13A0),
    word(P(90), 0xE046), word(P(92), 0x116C), word(P(94), 0xFDA0), word(P(96), 0xFD8E),
    word(P(98), 0xFC10), word(P(100), 0xFC11), word(P(102), 0xFC12), word(P(104), 0xFC13),
    word(P(106), 0xFC14), word(P(108), 0xFD46), word(P(110), 0xFA20), word(P(112), 0x1140),
    word(W(14), 0x142F), word(W(16), 0x1430), word(W(18), 0x1432), word(W(20), 0x1048),
    word(W(22), 0x104A), word(W(24), 0xFBFF), word(W(26), 0xFBBC), word(W(28), 0xFBBE),
    word(S(10), 0x128F), word(S(12), 0x1081), word(S(14), 0x127B), word(S(16), 0x127C),
    word(S(18), 0x127D), word(S(20), 0x128E), word(S(22), 0x128E), word(S(24), 0x1148),
    word(S(26), 0x1149), word(S(28), 0xFF3C), word(S(30), 0xFF3D),
};

struct ByteDefault {
  SetupField field;
  std::uint8_t value;
};
struct WordDefault {
  SetupField field;
  std::uint16_t value;
};

constexpr std::array kWordDefaults{
    WordDefault{L(12), 0}, WordDefault{L(14), 0}, WordDefault{L(16), 0}, WordDefault{L(20), 0},
    WordDefault{T(0), 0},  WordDefault{T(2), 0x1000},  // T+3 ("Manual FOCUS Speed") is its high byte: 0x10
    WordDefault{T(6), 0},  WordDefault{T(8), 0},  WordDefault{P(8), 0x169F}, WordDefault{P(30), 0x0400},
    WordDefault{W(2), 0},  WordDefault{W(4), 0},  WordDefault{W(6), 0},      WordDefault{W(8), 0},
};
constexpr std::array kByteDefaults{
    ByteDefault{L(0), 0x08},  ByteDefault{L(7), 0x0C},  ByteDefault{L(18), 0},    ByteDefault{T(4), 0},
    ByteDefault{P(0), 0},     ByteDefault{P(4), 0x10},  ByteDefault{P(6), 0x4B},  ByteDefault{P(7), 0x4E},
    ByteDefault{P(10), 0x10}, ByteDefault{P(11), 0x63}, ByteDefault{P(12), 0x80}, ByteDefault{P(13), 0x00},
    ByteDefault{P(14), 0x00}, ByteDefault{P(15), 0x7F}, ByteDefault{P(16), 0x7A}, ByteDefault{P(17), 0x48},
    ByteDefault{P(18), 0x2E}, ByteDefault{P(19), 0x1C}, ByteDefault{P(20), 0x30}, ByteDefault{P(21), 0x2A},
    ByteDefault{P(22), 0x14}, ByteDefault{P(23), 0x04}, ByteDefault{P(24), 0x02}, ByteDefault{P(25), 0x12},
    ByteDefault{P(26), 0x0E}, ByteDefault{P(27), 0x08}, ByteDefault{P(28), 0x03}, ByteDefault{P(29), 0x01},
    ByteDefault{P(32), 0x80}, ByteDefault{W(0), 0},     ByteDefault{S(0), 0x01},  ByteDefault{S(2), 0x02},
    ByteDefault{S(3), 0x04},  ByteDefault{S(4), 0x10},  ByteDefault{S(5), 0x01},  ByteDefault{S(6), 0x10},
    ByteDefault{S(7), 0x09},  ByteDefault{S(8), 0x04},
};

// The gain ranges as the PICTURE page captions them, naming the aperture levels in the checks.
constexpr std::array<std::string_view, 5> kGainRanges{"~AGC on", "~1/3 AGC", "~2/3 AGC", "~Max AGC", "Max AGC~"};

char blockLetter(SetupBlock b) { return "LTPWSO"[static_cast<std::size_t>(b)]; }

bool gainOk(std::uint16_t g) { return g == 0 || (g >= 128 && g <= 1023 && (g & 0x80) != 0); }

}  // namespace

std::size_t SetupRecord::at(SetupField f) {
  return kBlockStarts[static_cast<std::size_t>(f.block)] + f.offset;
}

void fillDefaultAddresses(SetupRecord& record) {
  for (const SetupAddress& a : kAddresses) record.setWord(a.field, a.defaultRegister);
}

void loadDefaultValues(SetupRecord& record, std::uint16_t zoomPosition) {
  record.setWord(L(8), zoomPosition);
  const auto base = static_cast<std::uint16_t>(4u * zoomPosition);
  record.setWord(L(2), base);
  record.setWord(L(4), base);
  for (const WordDefault& d : kWordDefaults) record.setWord(d.field, d.value);
  for (const ByteDefault& d : kByteDefaults) record.setByte(d.field, d.value);
}

std::span<const SetupAddress> setupAddresses() { return kAddresses; }

std::vector<ForeignAddress> foreignAddresses(const SetupRecord& record) {
  std::vector<ForeignAddress> out;
  for (const SetupAddress& a : kAddresses) {
    const std::uint16_t held = record.word(a.field);
    if (held != a.defaultRegister) out.push_back({a.field, held, a.defaultRegister});
  }
  return out;
}

std::string foreignAddressLine(const ForeignAddress& a) {
  char text[48];
  std::snprintf(text, sizeof text, "%c+%zu = 0x%04X (default 0x%04X)", blockLetter(a.field.block), a.field.offset,
                static_cast<unsigned>(a.held), static_cast<unsigned>(a.defaultRegister));
  return text;
}

std::optional<SetupCheckFailure> checkSetupRecord(const SetupRecord& r) {
  int code = 0;
  auto rule = [&code](bool fails, std::string data) -> std::optional<SetupCheckFailure> {
    ++code;
    if (fails) return SetupCheckFailure{code, std::move(data)};
    return std::nullopt;
  };
  std::optional<SetupCheckFailure> f;
  if ((f = rule(r.byte(L(18)) > 12, "Trace curve select"))) return f;
  const std::uint8_t speed = r.byte(T(3));
  if ((f = rule(speed == 0 || speed > 31, "Manual FOCUS Speed"))) return f;
  const std::uint8_t minFocus = r.byte(T(4));
  if ((f = rule(minFocus != 0 && (minFocus < 0xF7 || minFocus > 0xF9), "Min. FOCUS Length"))) return f;
  for (std::size_t i = 0; i < 10; ++i) {
    const std::string name = std::string(i < 5 ? "Horizontal" : "Vertical") + " Aperture Level (" +
                             std::string(kGainRanges[i % 5]) + ")";
    if ((f = rule(r.byte(P(20 + i)) > 63, name))) return f;
  }
  if ((f = rule(r.word(P(30)) > 1280 || r.byte(P(32)) > 160, "Maximum AGC gain data"))) return f;
  if ((f = rule(r.byte(P(7)) > 127, "IRIS Offset Level (Peak)"))) return f;
  if ((f = rule(r.byte(P(0)) > 1, "Default Program AE mode"))) return f;
  if ((f = rule(r.byte(P(4)) > 64, "Auto DSS Limit"))) return f;
  if ((f = rule(r.byte(W(0)) != 0 && r.byte(W(0)) != 4, "White Balance mode"))) return f;
  if ((f = rule(!gainOk(r.word(W(2))), "R gain"))) return f;
  if ((f = rule(!gainOk(r.word(W(4))), "B gain"))) return f;
  if ((f = rule(r.byte(S(7)) > 31, "MOSAIC Size (H)"))) return f;
  if ((f = rule(r.byte(S(8)) > 15, "MOSAIC Size (V)"))) return f;
  return std::nullopt;
}

std::string setupCheckMessage(const SetupCheckFailure& failure) {
  return "Parameter data is out of range.\nData : " + failure.data;
}

std::uint16_t traceCurveValue(const TraceTable& xs, const TraceTable& ys, std::uint16_t x) {
  std::size_t i = 7;
  for (std::size_t k = 0; k < xs.size(); ++k) {
    if (x < xs[k]) {
      i = k == 0 ? 0 : k - 1;
      break;
    }
  }
  if (xs[i + 1] == xs[i]) return ys[i];
  const double slope = (double(ys[i + 1]) - double(ys[i])) / (double(xs[i + 1]) - double(xs[i]));
  const double value = std::clamp(double(ys[i]) + slope * (double(x) - double(xs[i])), 0.0, 65535.0);
  return static_cast<std::uint16_t>(value);
}

std::string encodeSetupFile(const SetupFile& file) {
  std::string out(kSetupFileSignature);
  const SetupStamp& s = file.stamp;
  for (unsigned v : {s.modelCode & 0xFFu, unsigned(s.version >> 8), s.version & 0xFFu, unsigned(s.reg0108),
                     unsigned(s.reg0109), unsigned(s.reg010A), unsigned(s.reg010B >> 8), s.reg010B & 0xFFu})
    out.push_back(static_cast<char>(v));
  for (std::uint8_t b : file.record.bytes()) out.push_back(static_cast<char>(b));
  return out;
}

std::optional<SetupFile> decodeSetupFile(std::string_view bytes) {
  if (bytes.size() != kSetupFileBytes || bytes.substr(0, kSetupFileSignature.size()) != kSetupFileSignature)
    return std::nullopt;
  auto at = [bytes](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
  SetupFile file;
  file.stamp.modelCode = at(27);
  file.stamp.version = static_cast<std::uint16_t>((at(28) << 8) | at(29));
  file.stamp.reg0108 = at(30);
  file.stamp.reg0109 = at(31);
  file.stamp.reg010A = at(32);
  file.stamp.reg010B = static_cast<std::uint16_t>((at(33) << 8) | at(34));
  for (std::size_t i = 0; i < kSetupRecordBytes; ++i) file.record.bytes()[i] = at(kHeaderBytes + i);
  return file;
}

SetupLoad acceptSetupFile(std::string_view bytes, const SetupStamp& camera) {
  std::optional<SetupFile> file = decodeSetupFile(bytes);
  if (!file) return {std::nullopt, SetupLoadError::FileType};
  if (file->stamp.modelCode != (camera.modelCode & 0xFFu) || file->stamp.version != camera.version)
    return {std::nullopt, SetupLoadError::Model};
  return {file->record, std::nullopt};
}

std::string_view setupLoadMessage(SetupLoadError error) {
  return error == SetupLoadError::FileType ? kSetupFileTypeText : kSetupModelText;
}

std::filesystem::path setupSaveName(const std::filesystem::path& chosen) {
  const std::string ext = chosen.extension().string();
  if (ext == ".csu" || ext == ".CSU") return chosen;
  std::filesystem::path out = chosen;
  out += kSetupFileExtension;
  return out;
}

core::Status saveSetupFile(const std::filesystem::path& chosen, SetupRecord& record, const SetupStamp& stamp) {
  record.setWord(W(10), record.word(W(6)));
  record.setWord(W(12), record.word(W(8)));
  const std::filesystem::path target = setupSaveName(chosen);
  const core::Status written = core::AtomicFile::write(target, encodeSetupFile({stamp, record}));
  if (written) return written;
  return core::Error{std::string(kSetupSaveFailedText) + "\n" + written.message()};
}

}  // namespace orva::eeprom
