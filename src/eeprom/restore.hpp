#pragma once
// Putting the camera's EEPROM back as it came:
//   the restore         every address the session changed gets the factory image's value
//                       back, then the camera soft-resets and is identified afresh;
//   the factory reset   the camera's own factory-default command, polled until done, then
//                       the same soft reset.
// Both run on the thread that asks for them and block it for the camera's restart wait (the
// clock's, so tests do not wait).
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/prompt.hpp"
#include "eeprom/changed_addresses.hpp"
#include "eeprom/range.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"

namespace orva::eeprom {

inline constexpr std::string_view kRestoreQuestion =
    "EEPROM data was changed \nDo you want to restore original EEPROM data values ?";
inline constexpr std::string_view kRestoredText = "EEPROM data has been restored to original values.";
inline constexpr std::string_view kImageMissingText = "Internal File is  bad";
inline constexpr std::string_view kSoftResetText = "Soft Reset is executed.";
inline constexpr std::string_view kFactoryResetQuestion = "Reset to factory default is carried out. Is it all right?";
inline constexpr std::string_view kFactoryResetText = "Reset to factory default is executed.";
inline constexpr std::string_view kEepromWriteErrorText = "There was an error writing to camera EEPROM.";

inline constexpr std::uint16_t kSoftResetRegister = 0xFCAC;
inline constexpr std::uint16_t kSoftResetFunction = 0x0102;
inline constexpr std::uint16_t kFactoryDefaultRegister = 0xF8D8;
inline constexpr std::uint16_t kFactoryDefaultFunction = 0x018A;
inline constexpr std::uint8_t kFactoryDefaultDone = 3;
inline constexpr std::uint8_t kFactoryDefaultFailed = 4;
// The camera restarts after a soft reset; nothing it says meanwhile is wanted.
inline constexpr std::chrono::milliseconds kSoftResetWait{6000};
// The factory-default register is polled at this pace, for at most this long.
inline constexpr std::chrono::milliseconds kFactoryPollPause{100};
inline constexpr std::chrono::milliseconds kFactoryResetLimit{30000};
// Preset memories and this register are written with 0xFF where the factory image does not
// cover them; where it does, they get its values like any other address.
inline constexpr std::uint16_t kPresetAreaEnd = 0x1FFF;
inline constexpr std::uint16_t kClearedRegister = 0xE1F7;

// What the restore and the factory reset need of the connected camera.
struct CameraContext {
  std::uint16_t modelCode = 0;
  Range range;
  std::vector<std::filesystem::path> searchPath;  // where factory images are looked for
  std::function<void()> identify;                 // identifies the camera afresh
};

enum class RestoreResult {
  Restored,
  NoImage,        // no factory image file for the model: "Internal File is  bad"
  BadImage,       // no line ends, rows that are not the range's, or fewer rows than the image
                  // covers (that one keeps the changed-address list: nothing was written)
  WriteFailed,    // a write failed; the camera holds what was written so far
};

struct RestoreOutcome {
  RestoreResult result = RestoreResult::Restored;
  std::size_t written = 0;
  std::string why;
};

enum class FactoryResetResult { Done, Failed, TimedOut };

class Restore {
 public:
  Restore(link::Link& link, link::Eap& eap, link::Afp& afp, core::Prompt& prompt, ChangedAddresses& changed)
      : link_(link), eap_(eap), afp_(afp), prompt_(prompt), changed_(changed) {}

  // Asked when the operator leaves or disconnects. When the model has a factory image and the
  // session changed EEPROM addresses, asks whether to restore them: OK restores, any other
  // answer forgets the changes. True when it asked (the caller then stays), else false.
  bool offer(const CameraContext& camera);
  RestoreOutcome run(const CameraContext& camera);

  // The camera's own factory default, after the caller has asked kFactoryResetQuestion.
  FactoryResetResult factoryReset(const CameraContext& camera);

 private:
  bool writeByte(std::uint16_t address, std::uint8_t value);
  void softResetAndWait();
  void finish(const CameraContext& camera);

  link::Link& link_;
  link::Eap& eap_;
  link::Afp& afp_;
  core::Prompt& prompt_;
  ChangedAddresses& changed_;
};

}  // namespace orva::eeprom
