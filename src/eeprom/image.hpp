#pragma once
// EEPROM image files: a dump of the camera's EEPROM as text rows of sixteen hexadecimal bytes.
//
// Layout, CR LF line ends throughout:
//   optional header  eight blanks, the model name, "  Camera Ver 01.23  45.67.89 AB:CD"
//                    "         EEPROM save date : M.D.YYYY h:m.s"
//                    an empty line
//   every block of eight rows (addresses ending in 00 or 80): an empty line, the caption
//                    "addr  0  1 ...  F", then eight rows "1000 FF FF ... FF" (52 characters).
// Readers also skip "%TXT" ... "%MAP" text blocks. A file whose name contains ".MAP" is the MAP
// variant: only lines starting with ":" carry data, values in four groups of four.
//
// The readers check the whole file before they hand out anything, so a run never writes half
// a file into a camera: a bad line refuses the file with an error that names the line.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.hpp"
#include "core/wall_clock.hpp"
#include "eeprom/range.hpp"

namespace orva::eeprom {

inline constexpr std::string_view kCaption = "addr  0  1  2  3  4  5  6  7  8  9  A  B  C  D  E  F";
inline constexpr std::string_view kTextBlockOpen = "%TXT";
inline constexpr std::string_view kTextBlockClose = "%MAP";

// EEPROM contents from `start` on, one byte per address; what the runs write from.
struct Image {
  std::uint16_t start = 0;
  std::vector<std::uint8_t> bytes;

  std::size_t rows() const { return bytes.size() / kRowBytes; }
  bool operator==(const Image&) const = default;
};

// The first lines of a backup made in block-read mode with "EPFile model" 1.
struct ImageHeader {
  std::string modelName;             // as identification holds it, trailing blanks included
  std::uint16_t cameraVersion = 0;   // register 0x0106
  std::uint8_t reg0108 = 0;
  std::uint8_t reg0109 = 0;
  std::uint8_t reg010A = 0;
  std::uint16_t reg010B = 0;
  core::LocalTime saved{};           // local date and time of the backup
};

// The file text of an image, byte for byte.
std::string formatImage(const Image& image, const std::optional<ImageHeader>& header = std::nullopt);

// Saves the image through core::AtomicFile: on failure the file at `path` is left as it was,
// and the message says so.
core::Status writeImageFile(const std::filesystem::path& path, const Image& image,
                            const std::optional<ImageHeader>& header = std::nullopt);

enum class ImageVariant : std::uint8_t { Plain, Map };

// ".MAP" (upper case) anywhere in the name as chosen makes the MAP variant; ".map" does not.
ImageVariant imageVariantFor(const std::filesystem::path& chosen);

// One data row as the writer lays it out: "%04X" and sixteen " %02X" (hex digits of either case),
// then nothing but blanks. On failure the message says what is wrong with the row.
struct Row {
  std::uint16_t address = 0;
  std::array<std::uint8_t, kRowBytes> values{};
};
core::Result<Row> parseRow(std::string_view line);

// Reads image text for `range`. Plain variant: every row shows its address, the next one from
// the range start; lines starting with a blank before the first row are the header. MAP variant:
// sixteen values per data line, rows in file order. Both: more rows than the range holds refuse
// the file; fewer are accepted (Image::rows() says how many), none are not ("no data rows").
// A bad line refuses the file with a message starting "line N: ".
core::Result<Image> parseImage(std::string_view text, ImageVariant variant, const Range& range);

// Reads and checks the file, the variant taken from its name. Messages start with the path.
core::Result<Image> readImageFile(const std::filesystem::path& path, const Range& range);

namespace detail {
// Shared by the readers of image files and of factory images.
// The lines of a text, split at CR LF, LF or CR alone; line N of the file is element N - 1.
std::vector<std::string_view> splitLines(std::string_view text);
// A short, printable rendering of outside text for error messages.
std::string quoted(std::string_view text);
}  // namespace detail

}  // namespace orva::eeprom
