#pragma once
// The camera setup utility's record: the QB-109 series' power-on settings with, next to each
// value, the register it is written to and the register it is read from.
//
// The record is kept as its six byte blocks (L, T, P, W, S, O), as the setup data file holds
// them: the address fields travel inside the blocks, so a file carries them too. Words are
// 16-bit little-endian within a block. Fields are named by block and offset (L(8) is the zoom
// position word at L+8).
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.hpp"

namespace orva::eeprom {

enum class SetupBlock : std::uint8_t { L, T, P, W, S, O };

inline constexpr std::array<std::size_t, 6> kSetupBlockSizes{60, 76, 118, 30, 32, 4};
inline constexpr std::size_t kSetupRecordBytes = 320;

// A field: its block and its offset within the block.
struct SetupField {
  SetupBlock block = SetupBlock::L;
  std::size_t offset = 0;
};
namespace setup_at {
constexpr SetupField L(std::size_t o) { return {SetupBlock::L, o}; }
constexpr SetupField T(std::size_t o) { return {SetupBlock::T, o}; }
constexpr SetupField P(std::size_t o) { return {SetupBlock::P, o}; }
constexpr SetupField W(std::size_t o) { return {SetupBlock::W, o}; }
constexpr SetupField S(std::size_t o) { return {SetupBlock::S, o}; }
constexpr SetupField O(std::size_t o) { return {SetupBlock::O, o}; }
}  // namespace setup_at

class SetupRecord {
 public:
  std::uint8_t byte(SetupField f) const { return bytes_[at(f)]; }
  std::uint16_t word(SetupField f) const {
    const std::size_t i = at(f);
    return static_cast<std::uint16_t>(bytes_[i] | (bytes_[i + 1] << 8));
  }
  void setByte(SetupField f, std::uint8_t v) { bytes_[at(f)] = v; }
  void setWord(SetupField f, std::uint16_t v) {
    const std::size_t i = at(f);
    bytes_[i] = static_cast<std::uint8_t>(v & 0xFF);
    bytes_[i + 1] = static_cast<std::uint8_t>(v >> 8);
  }

  // The six blocks back to back, as the file holds them.
  const std::array<std::uint8_t, kSetupRecordBytes>& bytes() const { return bytes_; }
  std::array<std::uint8_t, kSetupRecordBytes>& bytes() { return bytes_; }

  friend bool operator==(const SetupRecord&, const SetupRecord&) = default;

 private:
  static std::size_t at(SetupField f);
  std::array<std::uint8_t, kSetupRecordBytes> bytes_{};
};

// The address fields every record starts with (and gets again on each opening unless a file
// was loaded): where each value is written and read.
void fillDefaultAddresses(SetupRecord& record);
// The factory value fields; L+2 and L+4 follow the zoom position read from 0x12A2. Fields
// without a factory value keep what they hold.
void loadDefaultValues(SetupRecord& record, std::uint16_t zoomPosition);

// One address field and the register it holds by default.
struct SetupAddress {
  SetupField field;
  std::uint16_t defaultRegister = 0;
};
// Every address field of the record with its default register.
std::span<const SetupAddress> setupAddresses();

// An address field that differs from its default, for the caller to show and ask about
// before the first write from a file.
struct ForeignAddress {
  SetupField field;
  std::uint16_t held = 0;
  std::uint16_t defaultRegister = 0;
};
std::vector<ForeignAddress> foreignAddresses(const SetupRecord& record);
// "L+24 = 0x1234 (default 0x11E6)"
std::string foreignAddressLine(const ForeignAddress& address);

// The WRITE checks in their order: the first failing rule (1-based code) and the data it names.
struct SetupCheckFailure {
  int code = 0;
  std::string data;
};
std::optional<SetupCheckFailure> checkSetupRecord(const SetupRecord& record);
// "Parameter data is out of range.\nData : <data>"
std::string setupCheckMessage(const SetupCheckFailure& failure);

// The trace curve's value at zoom position x from the two nine-point tables. Equal
// neighbouring X (an erased table) gives Y[i]; computed in double, clamped to a word and
// truncated toward zero.
using TraceTable = std::array<std::uint16_t, 9>;
std::uint16_t traceCurveValue(const TraceTable& xs, const TraceTable& ys, std::uint16_t x);

// The ".csu" file: 355 bytes, the signature, the camera's identity bytes and the six blocks.
inline constexpr std::string_view kSetupFileSignature = "Camera Setup Utility Data :";
inline constexpr std::size_t kSetupFileBytes = 355;
inline constexpr std::string_view kSetupFileExtension = ".csu";
inline constexpr std::string_view kSetupProposedName = "CSetup.csu";

inline constexpr std::string_view kSetupErrorTitle = "Error";
inline constexpr std::string_view kSetupFileTypeText = "Camera setup data file does not exist or is incorrect type.";
inline constexpr std::string_view kSetupModelText =
    "Not correct camera model. \nCamera setup utility is only for QB-109 series cameras.";
inline constexpr std::string_view kSetupBrokenText = "Camera data has broken.";

// The camera identity a file is stamped with and checked against.
struct SetupStamp {
  std::uint16_t modelCode = 0;  // only its low byte is kept
  std::uint16_t version = 0;    // register 0x0106
  std::uint8_t reg0108 = 0;
  std::uint8_t reg0109 = 0;
  std::uint8_t reg010A = 0;
  std::uint16_t reg010B = 0;
};

struct SetupFile {
  SetupStamp stamp;
  SetupRecord record;
};

std::string encodeSetupFile(const SetupFile& file);
// A whole file parsed, or none when its length or signature is wrong. Never reads past the end.
std::optional<SetupFile> decodeSetupFile(std::string_view bytes);

enum class SetupLoadError { FileType, Model };
struct SetupLoad {
  std::optional<SetupRecord> record;  // set only when the whole file was accepted
  std::optional<SetupLoadError> error;
};
// A file's bytes checked against the connected camera: the model byte must be the low byte of
// its model code and the version bytes its version word. All or nothing.
SetupLoad acceptSetupFile(std::string_view bytes, const SetupStamp& camera);
// The message of a refused load.
std::string_view setupLoadMessage(SetupLoadError error);

// The name a save writes to: ".csu" appended unless the name already ends in ".csu" or ".CSU".
std::filesystem::path setupSaveName(const std::filesystem::path& chosen);
// W+6/W+8 copied to W+10/W+12, then the file written through a temporary file. A failure
// names the file and the reason.
inline constexpr std::string_view kSetupSaveFailedText = "Camera setup data could not be saved.";
core::Status saveSetupFile(const std::filesystem::path& chosen, SetupRecord& record, const SetupStamp& stamp);

}  // namespace orva::eeprom
