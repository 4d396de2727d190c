#pragma once
// The EEPROM range: which addresses make up the connected camera's EEPROM, and how often the
// progress bar steps while a run goes through them.
//
// It is worked out afresh before every backup, write-back, restore and change record, in three
// stages: the camera's EEPROM size code, the "EEPROM Size" setting (which may enlarge the range
// up to the camera's maximum size code), then the model-code family, which has the last word.
// Every range starts and ends on a multiple of 0x80, so an image is whole blocks of eight rows.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "camera/model_record.hpp"

namespace orva::eeprom {

inline constexpr std::size_t kRowBytes = 16;

struct Range {
  std::uint16_t start = 0x1000;  // first EEPROM address
  std::uint16_t end = 0x1400;    // one past the last EEPROM address
  int linesPerStep = 3;          // data lines a file reader handles between two progress steps
  int bytesPerStep = 51;         // bytes a backup reads between two progress steps

  std::size_t bytes() const { return end > start ? std::size_t{end} - start : 0; }
  std::size_t rows() const { return bytes() / kRowBytes; }
  bool contains(std::uint32_t address) const { return address >= start && address < end; }
  bool operator==(const Range&) const = default;
};

// What the range is derived from.
struct RangeSource {
  std::uint16_t modelCode = camera::kModelNotIdentified;
  int sizeCode = 0;           // the camera's EEPROM size code; 0: unknown
  int maxSizeCode = 0;        // the largest size code the camera can be given
  int eepromSizeSetting = 0;  // "EEPROM Size" of ORVA.ini; only its low four bits count, 0 when absent
};

// The range of one EEPROM size code (1-10); nullopt for any other code.
std::optional<Range> sizeCodeRange(int sizeCode);

// The three stages, starting from the defaults of Range.
Range eepromRange(const RangeSource& source);

// The source for the connected camera. Identification reads no EEPROM size codes, so a model's
// size code is the one whose range its factory image covers (0x1000-0x17FF: 5, 0x0800-0x17FF: 7,
// 0x0800-0x27FF: 9, 0x0800-0x327F: 10), and its maximum is that same code: the "EEPROM Size"
// setting then never reaches past what the factory image holds, so a backup, a write-back and a
// restore of one camera agree on the range. A model without a factory image has no size code:
// it keeps the defaults and what its model-code family gives.
RangeSource cameraRangeSource(std::uint16_t modelCode, int eepromSizeSetting);

inline Range cameraRange(std::uint16_t modelCode, int eepromSizeSetting) {
  return eepromRange(cameraRangeSource(modelCode, eepromSizeSetting));
}

}  // namespace orva::eeprom
