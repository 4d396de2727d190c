#pragma once
// The address map converter behind "ADR Trans..." and `orva-cli adr`: turns the externally
// visible symbols of a firmware build's linker address map into a short ADR file, one
// "ADDR NAME" line per symbol, for reading and writing registers by hand.
//
// convertMap() is a pure filter over any bytes. The map is read in whole lines of any length
// (LF ends a line, a trailing CR is dropped). Lines are skipped up to and including the first
// one that contains "EXTERNALLY"; from then on a line that contains "H'00FF" or "H'FFFF" is a
// symbol line: its address is the four characters at 77-80 (counting from 0), its name starts
// at 34 (at 35 when 34 holds "_") and runs up to the first blank, control character or
// position 76. A symbol line too short to hold the address, or whose address holds a control
// character, is skipped, so an output line is always "ADDR NAME\r\n".
//
// convertMapFile() is the file step: it writes <base name>.ADR beside the map (never into the
// current folder), refuses an output that is the map itself, and replaces an existing ADR
// only once the new one is complete (core::AtomicFile).
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace orva::eeprom {

inline constexpr std::string_view kAdrStartMarker = "EXTERNALLY";
inline constexpr std::string_view kAdrExtension = "ADR";
inline constexpr std::size_t kAdrNameColumn = 34;
inline constexpr std::size_t kAdrNameEnd = 76;
inline constexpr std::size_t kAdrAddressColumn = 77;
inline constexpr std::size_t kAdrAddressLength = 4;

namespace adr_texts {
inline constexpr std::string_view kDialogTitle = "Address MAP File -> ADR File Converter";
inline constexpr std::string_view kMapGroup = "Address Map File (*.MAP)";
inline constexpr std::string_view kFileSelect = "File Select";
inline constexpr std::string_view kConvert = "MAP -> ADR  CONVERT";
inline constexpr std::string_view kClose = "CLOSE";
inline constexpr std::string_view kMapFileNotFound = "Map File not Found.";
inline constexpr std::string_view kAdrFileNotCreate = "ADR File not Create.";
inline constexpr std::string_view kAttention = "Attention";
inline constexpr std::string_view kConvertEnd = "File Convert end !!";
inline constexpr std::string_view kMessage = "Message";
}  // namespace adr_texts

// The file dialog mode of the map filter (see fileFilters()).
inline constexpr int kMapFileDialogMode = 6;

// The ADR text of a map: "ADDR NAME\r\n" per symbol line; empty without the start marker.
std::string convertMap(std::string_view mapText);

// <folder of the map>/<base name of the map>.ADR
std::filesystem::path adrPathFor(const std::filesystem::path& mapPath);

struct AdrConversion {
  enum class Outcome { Converted, MapNotFound, AdrNotCreated };
  Outcome outcome = Outcome::Converted;
  std::filesystem::path adrPath;  // the output, also when it could not be written
  std::string detail;             // why it failed, for the log and the command line

  bool converted() const { return outcome == Outcome::Converted; }
  // The operator's message and its title: "File Convert end !!" / "Message" on success.
  std::string_view message() const;
  std::string_view title() const;
};

// Reads the map, converts it and writes the ADR file beside it. An empty path (a cancelled
// file dialog) is a map that is not found.
AdrConversion convertMapFile(const std::filesystem::path& mapPath);

}  // namespace orva::eeprom
