#pragma once
// The launcher's preset records (PRESET TYPE I and TYPE II, four each) and the preset data
// file they are saved to and opened from. Toolkit-free: the session owns one PresetRecords for
// the whole run, the file commands and orva-cli go through the codec below.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orva::camera {

// One captured lens state, in the order the file keeps the fields. TYPE I leaves the AF
// reference and AF speed unused; TYPE II leaves the base, focus and lens words unused.
struct PresetRecord {
  std::uint16_t zoomTrackingBase = 0;
  std::uint16_t focusPosition = 0;
  std::uint16_t zoomPosition = 0;
  std::uint16_t lensWord1 = 0;
  std::uint16_t lensWord2 = 0;
  std::uint16_t trackingWord1 = 0;
  std::uint16_t trackingWord2 = 0;
  std::uint16_t trackingWord3 = 0;
  std::uint8_t trackingByte = 0;
  std::uint16_t afAreaWord = 0;
  std::uint8_t afReference = 0;
  std::uint8_t afSpeed = 0;
  bool operator==(const PresetRecord&) const = default;
};

inline constexpr std::size_t kPresetsPerType = 4;
inline constexpr std::size_t kPresetRecordCount = 2 * kPresetsPerType;

// Records 0-3 are TYPE I 1-4, records 4-7 TYPE II 1-4 (the launcher's memory-key order).
// `set` is the memory-set flag: the record's "Memory" key is checked. Unchecking a key clears
// only the flag; the data stays.
struct PresetRecords {
  std::array<PresetRecord, kPresetRecordCount> records{};
  std::array<bool, kPresetRecordCount> set{};
  bool operator==(const PresetRecords&) const = default;
};

// The AF speed a TYPE II record keeps beside its AF reference. 10 (reference 0xFF) means no
// AF speed to set.
std::uint8_t presetAfSpeed(std::uint8_t afReference);
inline constexpr std::uint8_t kNoAfSpeed = 10;

inline constexpr std::string_view kPresetFileName = "PSET_MEM.PTT";
inline constexpr std::string_view kPresetFileTag = "Preset Memory Data1:";
inline constexpr std::string_view kOldPresetFileTag = "Preset Memory Data :";  // one model byte; read only
inline constexpr std::size_t kPresetRecordBytes = 22;
inline constexpr std::size_t kPresetFileBytes = 20 + 4 + kPresetRecordCount * kPresetRecordBytes;  // 200
inline constexpr std::size_t kOldPresetFileBytes = 20 + 1 + kPresetRecordCount * kPresetRecordBytes;  // 197

// The file for `modelCode`, always in the four-byte model form.
std::string encodePresetFile(const PresetRecords& records, std::uint32_t modelCode);

enum class PresetFileFault { None, NotPresetFile, ModelsDiffer };

struct DecodedPresetFile {
  PresetFileFault fault = PresetFileFault::None;
  std::uint32_t modelCode = 0;          // as the file has it (also for ModelsDiffer)
  std::optional<PresetRecords> records;  // all eight, or none
};

// Reads either form. A file shorter than its form needs is not a preset data file: nothing
// of it is taken. Bytes after the records are ignored.
DecodedPresetFile decodePresetFile(std::string_view bytes, std::uint32_t modelCode);

// What the operator is shown for a fault: the text and its title, English or ("Language    ="
// 1) Japanese.
struct PresetFileMessage {
  std::string_view text;
  std::string_view title;
};
PresetFileMessage presetFileMessage(PresetFileFault fault, bool japanese);

inline constexpr std::string_view kPresetNotAFile = "It is not in a Preset data file.";
inline constexpr std::string_view kPresetModelsDiffer = "Models Differ.";
inline constexpr std::string_view kPresetErrorTitle = "Error";
inline constexpr std::string_view kPresetNotAFileJa = "プリセットデータファイルの識別情報ありません。";
inline constexpr std::string_view kPresetModelsDifferJa = "モデル情報が異なります。";
inline constexpr std::string_view kPresetWarningTitleJa = "警告";
// A save that could not be written; the file that was there is left as it was.
inline constexpr std::string_view kPresetNotWritten = "The preset data file could not be written.";

}  // namespace orva::camera
