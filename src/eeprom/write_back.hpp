#pragma once
// Writing an EEPROM image file into the camera, in two forms:
//   the write-back       the whole file, over the protocol in use (AFP through the register
//                        gateway; EAP with byte writes);
//   "CAM EEPROM Data Write"
//                        the whole file ("All Data"), or all but the addresses of an
//                        adjustment-address file ("Except ADJ. Data"), always with EAP byte writes.
// A MAP-variant file is always written with EAP byte writes. Paths that need EAP byte writes
// are refused up front while the camera speaks AFP (it would fail on its first write): the
// operator switches the camera to EAP first.
//
// The file is read and checked whole before the first write, so a damaged or foreign file
// writes nothing. A caller that has already read and checked it hands the image in, and the
// file is not read again: what is written is what was checked, even when the file has changed
// on disk since (a backup saved over it, say). After the last row the camera is read back and compared with the file
// (unless told not to): a difference fails the run and names the addresses.
//
// Threads: run() works on the caller's thread; each write holds the link's command lock for
// its frame only. It stops between rows when the stop token or Prompt::cancelled() says so,
// and then says how far it got.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "core/prompt.hpp"
#include "eeprom/adjustment.hpp"
#include "eeprom/backup.hpp"
#include "eeprom/changed_addresses.hpp"
#include "eeprom/image.hpp"
#include "eeprom/range.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"

namespace orva::eeprom {

inline constexpr std::string_view kWriteCaption = "Camera EEPROM <- File";
inline constexpr std::string_view kWriteLine = "It writes from File.";
inline constexpr std::string_view kWriteStartText = "<< It writes in EEPROM. >>";
inline constexpr std::string_view kWriteDoneText = "Complete.";
inline constexpr std::string_view kAllDataDoneText = "<< All Data Complete. >>";
inline constexpr std::string_view kExceptAdjDoneText = "<< Except ADJ. Data Complete. >>";
inline constexpr std::string_view kVerifyCaption = "Camera EEPROM = File ?";
inline constexpr std::string_view kCamWriteTitle = "CAM EEPROM Data Write";

enum class WriteMethod : std::uint8_t {
  WriteBack,         // the menu's write-back
  AllData,           // "CAM EEPROM Data Write", "All Data"
  ExceptAdjustment,  // "CAM EEPROM Data Write", "Except ADJ. Data"
};

enum class WriteBackResult : int {
  Done = 0,
  NoWindow = 1,
  FileNotOpened = 2,  // the file could not be read, or was refused whole
  CommunicationError = 3,
  NoFileChosen = 4,
  Cancelled = 5,      // stopped between rows; the camera holds the rows written so far
  VerifyFailed = 6,   // written, but the camera does not read back as the file
  Refused = 7,        // the camera speaks AFP and the path needs EAP byte writes
};

// The message shown for a result; empty when the result shows none.
std::string_view writeBackMessage(WriteBackResult result);

struct WriteBackRequest {
  Range range;
  std::filesystem::path file;  // names the run; ".MAP" in it picks EAP byte writes
  std::optional<Image> image;   // the file's contents as read and checked; read from `file` when empty
  WriteMethod method = WriteMethod::WriteBack;
  AdjustmentAddresses adjustment;  // kept unwritten by ExceptAdjustment
  bool verify = true;
};

struct AddressDifference {
  std::uint16_t address = 0;
  std::uint8_t file = 0;
  std::uint8_t camera = 0;
};

struct WriteBackOutcome {
  WriteBackResult result = WriteBackResult::Done;
  std::size_t rowsInFile = 0;
  std::size_t rowsWritten = 0;
  std::size_t bytesWritten = 0;
  std::size_t bytesKept = 0;  // adjustment addresses left as they were
  std::vector<AddressDifference> differences;  // from the read-back check
  std::string why;  // what went wrong, for the operator and the CLI
};

// The read-back check's differences, addresses in `skip` left out.
std::vector<AddressDifference> compareImages(const Image& file, const Image& camera,
                                             const AdjustmentAddresses* skip = nullptr);

class WriteBackRun {
 public:
  // `changed` is emptied once every row has been written: the camera then holds what the file
  // says. A run that fails or is stopped before that keeps it, so the restore offer at exit
  // still covers what the session (and the run so far) changed.
  WriteBackRun(link::Link& link, link::Eap& eap, link::Afp& afp, core::Prompt& prompt, ChangedAddresses* changed)
      : link_(link), eap_(eap), afp_(afp), prompt_(prompt), changed_(changed), reader_(link, eap, afp, prompt) {}

  WriteBackOutcome run(const WriteBackRequest& request, std::stop_token stop = {});

 private:
  WriteBackOutcome write(const WriteBackRequest& request, const Image& image, bool eapWrites, std::stop_token stop);
  bool writeByte(std::uint16_t address, std::uint8_t value, bool eapWrites);

  link::Link& link_;
  link::Eap& eap_;
  link::Afp& afp_;
  core::Prompt& prompt_;
  ChangedAddresses* changed_;
  CameraImageReader reader_;
};

}  // namespace orva::eeprom
