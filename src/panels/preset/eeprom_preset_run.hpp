#pragma once
// The camera's EEPROM preset engine as the EEPROM preset panels use it: one command word
// through 0xF8B0 and the wait for its end, and the 18-byte lens-state records of the camera's
// two EEPROM tables.
//
// The wait ends one of three ways. Without the arrival message the status 0xF8B2 is polled
// (1 error, 2 done) until the limit. With it, the word goes out so that the camera sends an
// 8-byte message when the lens arrives: in the "#w" frame, or, when the configuration's
// "Active Exec =" is 1, as a plain write followed by the request 0xD16C = arrival code; the
// message is taken and shown as the camera sent it. The arrival message is an EAP form: under
// AFP the status is polled through the register gateway whatever the wait asks.
//
// An abort asked of the run is taken between two status polls: the zoom is braked against the
// direction it is seen moving, the abort line written, and the wait goes on. While the arrival
// message is awaited the line is held for it and the abort waits until the message is in.
//
// Failures: an access that fails has reported itself in the monitor; the run then ends with
// Outcome::Error ("-- Error !! --"), so the operator sees that the preset did not complete and
// no refresh reads the camera after a broken line. Runs on the operation thread; every wait
// goes through the clock with the run's stop token and ends as Stopped on a stop request.
#include <chrono>
#include <cstdint>
#include <string_view>

#include "camera/model_record.hpp"
#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "panels/camera_access.hpp"
#include "panels/operation_runner.hpp"
#include "panels/tool_presets.hpp"

namespace orva::panels::preset {

struct CommandWait {
  bool arrivalMessage = false;   // host().zoomArrivalMessage() when the run started
  bool activeExec = false;       // host().configValue("Active Exec =") == 1
  std::uint8_t arrivalCode = 4;  // 0xD16C: 4 EEPROM preset, 3 go to zoom, 6 store/delete by the camera
  std::string_view arrivalLine = "< Zoom position Arrival Message >";
  core::Clock::duration limit = std::chrono::milliseconds(20000);  // the status poll's limit
};

inline constexpr std::string_view kZoomArrivalLine = "< Zoom position Arrival Message >";
inline constexpr std::string_view kMemoryFinishLine = "< Memory Finish Message >";
inline constexpr std::string_view kDeleteFinishLine = "< Delete Finish Message >";
inline constexpr std::string_view kAbortLine = " < Preset Abort >";
inline constexpr std::uint8_t kArrivalEepromPreset = 4;
inline constexpr std::uint8_t kArrivalGoToZoom = 3;
inline constexpr std::uint8_t kArrivalStoreDelete = 6;
inline constexpr std::chrono::milliseconds kArrivalLimit{8200};
inline constexpr std::size_t kArrivalBytes = 8;

inline constexpr std::uint16_t kCommandRegister = 0xF8B0;
inline constexpr std::uint16_t kCommandStatusRegister = 0xF8B2;
inline constexpr std::uint16_t kArrivalRequestRegister = 0xD16C;
enum : std::uint32_t { kCommandRunning = 0, kCommandError = 1, kCommandDone = 2 };
// The abort's brake: the zoom position read twice, then a short drive on the lens register.
inline constexpr std::uint16_t kBrakePositionRegister = 0xF714;
inline constexpr std::uint16_t kBrakeDriveRegister = 0xFCBB;
inline constexpr std::uint8_t kBrakeRising = 0x9B;
inline constexpr std::uint8_t kBrakeFalling = 0x99;
inline constexpr std::uint8_t kBrakeStop = 0xFE;
inline constexpr std::chrono::milliseconds kBrakeTime{16};

// Sends `word` and waits for its end as `wait` says (above).
Outcome runPresetCommand(CameraAccess& camera, core::MonitorSink& monitor, core::Clock& clock,
                         const OperationRun& run, std::uint16_t word, const CommandWait& wait);

// ---- the records

inline constexpr std::uint16_t kTypeOneTable = 0x1700, kStoreTable = 0x1800;
inline constexpr int kRecordBytes = 18;
inline constexpr int kRecordTypeOffset = 17;
inline constexpr std::uint8_t kTypeOne = 1, kTypeTwo = 2, kTypeByCamera = 3, kRecordEmpty = 0xFF;
// The registers a record copies, in its order; the byte 0xF895 and the type follow.
inline constexpr std::uint16_t kRecordWordRegisters[] = {0xF710, 0xF714, 0xF718, 0xF71A,
                                                         0xF7BE, 0xF7C2, 0xF7C4, 0xFC6E};
inline constexpr std::uint16_t kRecordByteRegister = 0xF895;
inline constexpr std::size_t kAfAreaWord = 7;  // FC6E among the words
// Which words TYPE II keeps (F714, F7BE, F7C2, F7C4, FC6E); the byte is kept by both.
inline constexpr bool typeTwoWord(std::size_t index) { return index == 1 || index >= 4; }

inline constexpr std::uint16_t recordAddress(std::uint16_t base, int n) {
  return static_cast<std::uint16_t>(base + kRecordBytes * (n - 1));
}

// A TYPE I / TYPE II lens state from its registers: TYPE I all the words, TYPE II only its own
// (the others left 0), 0xFC6E only on models with the AF area function (0 on the others).
bool readLensState(CameraAccess& camera, const camera::ModelRecord& model, std::uint8_t type, LensRecord& out);
// Record n (from 1) of the table at `base`: the type byte 0xFF first, then the fields the
// record's type keeps (little-endian words), the type byte last, so a store that fails midway
// never leaves a valid type over mixed fields.
bool writeLensRecord(CameraAccess& camera, std::uint16_t base, int n, const LensRecord& record);
bool readRecordType(CameraAccess& camera, std::uint16_t base, int n, std::uint8_t& type);
// Exactly one write: 0xFF to the type byte.
bool clearRecord(CameraAccess& camera, std::uint16_t base, int n);

}  // namespace orva::panels::preset
