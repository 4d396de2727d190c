#pragma once
// The EEPROM backup run: the camera's whole EEPROM range read row by row and saved as an image.
//
// Rows are read over the protocol in use: AFP through the register gateway, EAP with the byte
// read of a row's first address and then a blank for each further digit when the camera
// answers block reads (block-read mode 2), else with one byte read per address. A reply that is missing or not hex fails the read in the link
// (it has reported the fault and reopened the line), so no value is ever guessed: the run ends
// with a communication error.
//
// The file is written only after the last row, through a temporary file renamed over the
// target, so a failed, cancelled or half-read backup leaves the file that was there untouched.
//
// Threads: run() works on the caller's thread (the operation thread). It takes the link's
// command lock one read at a time and may be stopped between rows through the stop token or
// Prompt::cancelled().
#include <cstddef>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "camera/model_record.hpp"
#include "core/prompt.hpp"
#include "core/wall_clock.hpp"
#include "eeprom/image.hpp"
#include "eeprom/range.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"

namespace orva::eeprom {

inline constexpr std::string_view kBackupCaption = "Camera EEPROM -> File";
inline constexpr std::string_view kBackupLine = "It reads from EEPROM.";
inline constexpr std::string_view kBackupStartText = "<< It reads from EEPROM. >>";
inline constexpr std::string_view kBackupDoneText = "Complete.";
inline constexpr std::string_view kBackupMessageTitle = "Attention";
inline constexpr std::string_view kBackupDefaultFile = "EEPROM.MEM";
// The progress bar runs 0-100 in steps of 5.
inline constexpr std::size_t kBackupProgressSteps = 20;

// The run's result codes as the operator's messages know them; Cancelled is a stop between
// rows, which shows no message.
enum class BackupResult : int {
  Done = 0,
  NoWindow = 1,
  FileNotOpened = 2,
  CommunicationError = 3,
  NoFileChosen = 4,
  Cancelled = 5,
};

// The message shown for a result; empty when the result shows none.
std::string_view backupMessage(BackupResult result);

// Reads rows of the camera's EEPROM over the protocol in use: AFP through the register
// gateway; EAP a row at a time on blanks when the camera answers block reads (block-read mode
// 2), else one byte read per address. Shared by the backup, the read-back check of a
// write-back and the comparison with the camera.
class CameraImageReader {
 public:
  CameraImageReader(link::Link& link, link::Eap& eap, link::Afp& afp, core::Prompt& prompt)
      : link_(link), eap_(eap), afp_(afp), prompt_(prompt) {}

  enum class End { Done, Cancelled, Failed };
  struct Read {
    End end = End::Done;
    Image image;  // the rows read, from the range start on
    std::string why;
  };

  // The first `rows` rows of `range` (all of them when 0), with `caption` on the progress bar
  // (stepping every bytesPerStep bytes, at most 20 steps). Stops between rows when asked.
  Read read(const Range& range, std::size_t rows, std::string_view caption, std::stop_token stop = {});
  // One row of sixteen bytes.
  bool readRow(std::uint16_t address, std::uint8_t* row);

 private:
  link::Link& link_;
  link::Eap& eap_;
  link::Afp& afp_;
  core::Prompt& prompt_;
};

struct BackupRequest {
  Range range;
  std::filesystem::path file;
  // Written first when the camera is read in block-read mode and "EPFile model" is 1.
  std::optional<ImageHeader> header;
};

struct BackupOutcome {
  BackupResult result = BackupResult::Done;
  // Set only for Done; the caller keeps it for the write-back, which needs a backup first.
  bool backupMade = false;
  std::size_t rowsRead = 0;
  // For CommunicationError and FileNotOpened: what went wrong, for logs and the CLI.
  std::string why;
};

// The header of a backup made in block-read mode with "EPFile model" 1: the camera's version
// values as the identification read them (0x0106 word, 0x0108-0x010A bytes, 0x010B word), so
// the backup asks the camera nothing more, and the local time. The model name fills its
// 13-character field with blanks, as the identification's name field does, so the columns of
// the header line up from one model to the next.
inline constexpr std::size_t kHeaderModelNameWidth = 13;
ImageHeader imageHeader(const camera::ModelRecord& record, const core::WallClock& clock);

class BackupRun {
 public:
  BackupRun(link::Link& link, link::Eap& eap, link::Afp& afp, core::Prompt& prompt)
      : link_(link), prompt_(prompt), reader_(link, eap, afp, prompt) {}

  BackupOutcome run(const BackupRequest& request, std::stop_token stop = {});

 private:
  link::Link& link_;
  core::Prompt& prompt_;
  CameraImageReader reader_;
};

}  // namespace orva::eeprom
