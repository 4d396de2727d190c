#pragma once
// The camera setup utility's camera runs: the open check, the default load, "Read Camera
// Data", WRITE (from the model re-test on) and "Camera RESET".
//
// Registers are reached in the protocol the camera speaks (AFP through the register gateway).
// Every value field is read from, and written to, the register its address field holds; an
// address field of 0 skips its value. A run that fails leaves the caller's record as it was:
// reads go into a copy that is handed back only when every read succeeded.
//
// Questions ("Are you sure ...") and the messages of a failure are the caller's; the runs put
// their headings on the monitor. Threads: the caller's (the operation thread); waits go
// through the link's clock with the caller's stop token.
#include <cstdint>
#include <optional>
#include <stop_token>
#include <string_view>

#include "camera/code_map.hpp"
#include "camera/model_record.hpp"
#include "core/monitor_sink.hpp"
#include "eeprom/setup_record.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"

namespace orva::eeprom {

inline constexpr std::string_view kSetupTitle = "Camera Setup Utility";
inline constexpr std::string_view kSetupMessageTitle = "Message";
inline constexpr std::string_view kSetupOpenHeading = "<< CAMERA SETUP UTILITY !! >>";
inline constexpr std::string_view kSetupReadHeading = "<< CAMERA PRESENT DATA READ >>";
inline constexpr std::string_view kSetupReadFinishHeading = "<< CAMERA PRESENT DATA READ FINISH >>";
inline constexpr std::string_view kSetupWriteHeading = "<< CAMERA SETUP DATA WRITE START >>";
inline constexpr std::string_view kSetupWriteFinishHeading = "<< CAMERA SETUP DATA WRITE FINISH >>";
inline constexpr std::string_view kSetupResetHeading = "<< CAMERA RESET >>";
inline constexpr std::string_view kSetupCommunicationText = "Communication error with camera.";
inline constexpr std::string_view kSetupModelMismatchText =
    "Camera model code in setup data file does not match the code of connected camera.";
inline constexpr std::string_view kSetupWriteFailedText = "Camera setup data could not be written to camera.";
inline constexpr std::string_view kSetupDefaultQuestion = "Do you want to load factory default data ?";
inline constexpr std::string_view kSetupReadQuestion = "Are you sure you want to read setup data from camera ?";
inline constexpr std::string_view kSetupWriteQuestion = "Are you sure you want to write setup data to camera ?";
inline constexpr std::string_view kSetupLoadQuestion = "Are you sure you want to load setup data from file ?";
inline constexpr std::string_view kSetupResetQuestion = "Are you sure you want to reset camera ?";
inline constexpr std::string_view kSetupConfirmCaption = "Confirm data when writing to camera";
// Asked once before the first WRITE of a record whose address fields are not the defaults.
inline constexpr std::string_view kSetupForeignAddressQuestion =
    "The setup data holds camera addresses that differ from the defaults.\nWrite to these addresses ?";

// The identification words of the series: family 0x0102, type 0x0104 (0 on early cameras).
inline constexpr std::uint16_t kSetupFamily = 0x53FF;
inline constexpr std::uint16_t kSetupType = 0x0018;
inline constexpr std::uint8_t kSetupVariantLimit = 15;  // byte 0xE1EE
inline constexpr auto kSetupResetWait = std::chrono::milliseconds(7000);

// Byte and word registers in the protocol the link speaks.
class SetupCamera {
 public:
  SetupCamera(link::Link& link, link::Eap& eap, camera::FunctionCodes& codes, core::MonitorSink& monitor)
      : link_(link), eap_(eap), codes_(codes), monitor_(monitor) {}

  bool readByte(std::uint16_t address, std::uint8_t& value);
  bool readWord(std::uint16_t address, std::uint16_t& value);
  bool writeByte(std::uint16_t address, std::uint8_t value);
  bool writeWord(std::uint16_t address, std::uint16_t value);

  link::Link& link() { return link_; }
  link::Eap& eap() { return eap_; }
  camera::FunctionCodes& codes() { return codes_; }
  core::MonitorSink& monitor() { return monitor_; }

 private:
  link::Link& link_;
  link::Eap& eap_;
  camera::FunctionCodes& codes_;
  core::MonitorSink& monitor_;
};

// What a setup data file records of the camera it was saved from, and is checked against.
SetupStamp setupStamp(const camera::ModelRecord& model);

// Whether the utility opens: 0x0102 reads the series' family and 0x0104 its type or 0 (echo off).
bool setupOpens(SetupCamera& camera);

// The defaults on the camera's present zoom position (0x12A2, echo off); none when it could
// not be read. The address fields are not touched.
std::optional<SetupRecord> loadSetupDefaults(SetupCamera& camera, const SetupRecord& current);

// "Read Camera Data": every value read in order into a copy of `current`; none on the first
// failed read. The WB mode takes bit 3 of its register as 4 (set) or 0 (clear).
std::optional<SetupRecord> readSetupFromCamera(SetupCamera& camera, const SetupRecord& current);

enum class SetupWriteResult { Done, ModelMismatch, Failed };
// WRITE from the model re-test on; the record has passed checkSetupRecord().
SetupWriteResult writeSetupToCamera(SetupCamera& camera, const SetupRecord& record);
// The message of a result; empty for Done.
std::string_view setupWriteMessage(SetupWriteResult result);

// "Camera RESET": the restart, the wait while the camera restarts, then the line's buffers
// dropped. False when stopped during the wait.
bool resetSetupCamera(SetupCamera& camera, std::stop_token stop = {});

}  // namespace orva::eeprom
