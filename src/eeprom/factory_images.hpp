#pragma once
// Factory EEPROM images: the factory values of each group of camera models, from which a
// restore puts changed addresses back.
//
// Their bytes are data supplied with the system, not part of our sources, so none ship. Each
// image is a file named by its number ("323.mem") in the first folder of the data search path
// that holds it:
//   $ORVA_DATA_DIR                 (the folder of the .mem files itself)
//   <prefix>/share/orva/eeprom     (the installation)
//   <program folder>/data/eeprom   (beside the program, for a build or an unpacked copy)
//
// An image is an EEPROM image file (image.hpp) opening with a "%TXT" ... "%MAP" descriptive
// header; its rows must show the addresses of the range, in order.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.hpp"
#include "eeprom/image.hpp"
#include "eeprom/range.hpp"

namespace orva::eeprom {

inline constexpr std::string_view kDataDirVariable = "ORVA_DATA_DIR";
// What the restore shows when an image has no line ends, and when its rows are not the range's.
inline constexpr std::string_view kImageNoLineEndsText = "Internal Error is occured";
inline constexpr std::string_view kImageInvalidText = "This EEPROM Data is invalid  ";

struct FactoryImageEntry {
  int number = 0;
  std::array<std::uint16_t, 3> modelCodes{};  // 0: unused slot
  std::string_view models{};                  // the camera models it serves
  int sizeCode = 0;                           // the EEPROM size code whose range its rows cover

  bool serves(std::uint16_t modelCode) const;
  Range rows() const { return sizeCodeRange(sizeCode).value_or(Range{}); }
  std::string fileName() const;  // "323.mem"
};

std::span<const FactoryImageEntry> factoryImages();

// The image for a model code; null when the model has none (the restore asks this first).
const FactoryImageEntry* factoryImageFor(std::uint16_t modelCode);

// The folders to look in, in order; empty parts are left out.
std::vector<std::filesystem::path> dataSearchPath(std::string_view dataDirVariable,
                                                  const std::filesystem::path& installPrefix,
                                                  const std::filesystem::path& programFolder);
// The same with $ORVA_DATA_DIR read from the environment.
std::vector<std::filesystem::path> dataSearchPath(const std::filesystem::path& installPrefix,
                                                  const std::filesystem::path& programFolder);

// The file of the model's factory image. Fails when the model has no image, or when no folder
// holds the file; the message then names the file and every folder searched.
core::Result<std::filesystem::path> findFactoryImage(std::uint16_t modelCode,
                                                     std::span<const std::filesystem::path> searchPath);

enum class FactoryImageFault : std::uint8_t {
  None,
  Unreadable,   // the file could not be read
  NoLineEnds,   // one line of text, or none: kImageNoLineEndsText
  InvalidData,  // a row that is not the next of the range: kImageInvalidText
  Short,        // rows end before the image's coverage does: kImageInvalidText
};

struct FactoryImageRead {
  Image image;  // the rows read, from the range start on; meaningful when ok()
  FactoryImageFault fault = FactoryImageFault::None;
  std::string message;  // when refused: which file or line, and what is wrong

  bool ok() const { return fault == FactoryImageFault::None; }
};

// Reads factory image text for `range`: rows from the range start on, each showing its address,
// until the range end or the end of the text (then Image::rows() is short). Rows past the range
// end are not read. Messages start with "line N: " where a line is at fault.
FactoryImageRead parseFactoryImage(std::string_view text, const Range& range);
FactoryImageRead readFactoryImage(const std::filesystem::path& path, const Range& range);

// An image's coverage is fixed by its entry: a read that ends before the entry's rows do (within
// `range`) is refused as Short, since a restore from it would leave changed addresses as the
// session set them and still say they are back.
void requireCoverage(FactoryImageRead& read, const FactoryImageEntry& entry, const Range& range);

// For "orva-cli eeprom factory-images": every image, and the file found for it, if any.
struct FactoryImageCoverage {
  const FactoryImageEntry* entry = nullptr;
  std::optional<std::filesystem::path> file;
};
std::vector<FactoryImageCoverage> factoryImageCoverage(std::span<const std::filesystem::path> searchPath);

}  // namespace orva::eeprom
