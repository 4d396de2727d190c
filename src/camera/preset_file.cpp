#include "camera/preset_file.hpp"

namespace orva::camera {
namespace {

void putWord(std::string& out, std::uint16_t w) {
  out.push_back(static_cast<char>(w >> 8));
  out.push_back(static_cast<char>(w & 0xFF));
}
void putByte(std::string& out, std::uint8_t b) { out.push_back(static_cast<char>(b)); }

// Reads big-endian fields from a span whose length the caller has checked.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  std::uint8_t byte() { return static_cast<std::uint8_t>(bytes_[pos_++]); }
  std::uint16_t word() {
    const auto hi = byte();
    return static_cast<std::uint16_t>((hi << 8) | byte());
  }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

}  // namespace

std::uint8_t presetAfSpeed(std::uint8_t afReference) {
  const unsigned q = 256u / (afReference + 1u);
  return static_cast<std::uint8_t>(((q + (4u * q) % 256u) % 256u) * 2u);
}

std::string encodePresetFile(const PresetRecords& p, std::uint32_t modelCode) {
  std::string out(kPresetFileTag);
  out.reserve(kPresetFileBytes);
  putWord(out, static_cast<std::uint16_t>(modelCode >> 16));
  putWord(out, static_cast<std::uint16_t>(modelCode & 0xFFFF));
  for (std::size_t i = 0; i < kPresetRecordCount; ++i) {
    const PresetRecord& r = p.records[i];
    putByte(out, p.set[i] ? 1 : 0);
    for (std::uint16_t w : {r.zoomTrackingBase, r.focusPosition, r.zoomPosition, r.lensWord1, r.lensWord2,
                            r.trackingWord1, r.trackingWord2, r.trackingWord3})
      putWord(out, w);
    putByte(out, r.trackingByte);
    putWord(out, r.afAreaWord);
    putByte(out, r.afReference);
    putByte(out, r.afSpeed);
  }
  return out;
}

DecodedPresetFile decodePresetFile(std::string_view bytes, std::uint32_t modelCode) {
  DecodedPresetFile d;
  const std::string_view tag = bytes.substr(0, kPresetFileTag.size());
  const bool current = tag == kPresetFileTag;
  const bool old = tag == kOldPresetFileTag;
  if ((!current && !old) || bytes.size() < (current ? kPresetFileBytes : kOldPresetFileBytes)) {
    d.fault = PresetFileFault::NotPresetFile;
    return d;
  }
  Reader in(bytes.substr(kPresetFileTag.size()));
  if (current) {
    const std::uint32_t hi = in.word();
    d.modelCode = (hi << 16) | in.word();
  } else {
    d.modelCode = in.byte();
  }
  if (d.modelCode != modelCode) {
    d.fault = PresetFileFault::ModelsDiffer;
    return d;
  }
  PresetRecords p;
  for (std::size_t i = 0; i < kPresetRecordCount; ++i) {
    PresetRecord& r = p.records[i];
    // Any non-zero flag counts as set, as the launcher's keys are checked from it.
    p.set[i] = in.byte() != 0;
    for (std::uint16_t* w : {&r.zoomTrackingBase, &r.focusPosition, &r.zoomPosition, &r.lensWord1, &r.lensWord2,
                             &r.trackingWord1, &r.trackingWord2, &r.trackingWord3})
      *w = in.word();
    r.trackingByte = in.byte();
    r.afAreaWord = in.word();
    r.afReference = in.byte();
    r.afSpeed = in.byte();
  }
  d.records = p;
  return d;
}

PresetFileMessage presetFileMessage(PresetFileFault fault, bool japanese) {
  switch (fault) {
    case PresetFileFault::None: return {};
    case PresetFileFault::NotPresetFile:
      return japanese ? PresetFileMessage{kPresetNotAFileJa, kPresetWarningTitleJa}
                      : PresetFileMessage{kPresetNotAFile, kPresetErrorTitle};
    case PresetFileFault::ModelsDiffer:
      return japanese ? PresetFileMessage{kPresetModelsDifferJa, kPresetWarningTitleJa}
                      : PresetFileMessage{kPresetModelsDiffer, kPresetErrorTitle};
  }
  return {};
}

}  // namespace orva::camera
