#include "panels/preset/eeprom_preset_run.hpp"

#include <optional>

#include "camera/lens_tables.hpp"
#include "core/deadline.hpp"
#include "panels/panel_description.hpp"

namespace orva::panels::preset {
namespace {

using P = link::Protocol;

// The abort's brake: a short drive against the direction the zoom position is seen moving.
// Nothing when it reads standing; nullopt when done, else how the run ends.
std::optional<Outcome> brake(CameraAccess& camera, core::Clock& clock, const std::stop_token& stop) {
  std::uint32_t first = 0, second = 0;
  if (!camera.read(reg16(kBrakePositionRegister), first) || !camera.read(reg16(kBrakePositionRegister), second))
    return Outcome::Error;
  if (first == second) return std::nullopt;
  if (!camera.write(reg8(kBrakeDriveRegister), first < second ? kBrakeRising : kBrakeFalling)) return Outcome::Error;
  // The stop goes out even when the run is being stopped: the lens must not keep driving.
  const bool slept = clock.sleepFor(kBrakeTime, stop);
  if (!camera.write(reg8(kBrakeDriveRegister), kBrakeStop)) return Outcome::Error;
  if (!slept) return Outcome::Stopped;
  return std::nullopt;
}

Outcome pollStatus(CameraAccess& camera, core::MonitorSink& monitor, core::Clock& clock, const OperationRun& run,
                   core::Clock::duration limit) {
  return pollUntilDone(clock, run.stop(), limit, [&]() -> std::optional<Outcome> {
    if (run.takeAbort()) {
      if (const auto ended = brake(camera, clock, run.stop())) return ended;
      monitor.line(kAbortLine);
    }
    std::uint32_t status = kCommandRunning;
    if (!camera.read(reg8(kCommandStatusRegister), status)) return Outcome::Error;
    if (status == kCommandError) return Outcome::Error;
    if (status == kCommandDone) return Outcome::Done;
    return std::nullopt;
  });
}

}  // namespace

Outcome runPresetCommand(CameraAccess& camera, core::MonitorSink& monitor, core::Clock& clock,
                         const OperationRun& run, std::uint16_t word, const CommandWait& wait) {
  std::uint32_t status = 0;
  if (!camera.write(reg16(kCommandRegister), 0) || !camera.read(reg8(kCommandStatusRegister), status))
    return Outcome::Error;
  if (status != kCommandRunning && !camera.write(reg8(kCommandStatusRegister), kCommandRunning)) return Outcome::Error;

  // The message's limit counts from the command's start.
  const core::Deadline arrival(clock, kArrivalLimit);
  if (!wait.arrivalMessage || camera.protocol() == P::Afp) {
    if (!camera.write(reg16(kCommandRegister), word)) return Outcome::Error;
    return pollStatus(camera, monitor, clock, run, wait.limit);
  }
  if (wait.activeExec) {
    if (!camera.write(reg16(kCommandRegister), word) ||
        !camera.write(reg8(kArrivalRequestRegister), wait.arrivalCode))
      return Outcome::Error;
  } else if (!camera.eap().writeWordHash(kCommandRegister, word)) {
    return Outcome::Error;
  }
  monitor.line(wait.arrivalLine);
  // Shown in the camera pane as it came.
  if (camera.takeMessage(kArrivalBytes, arrival, run.stop())) return Outcome::Done;
  return run.stop().stop_requested() ? Outcome::Stopped : Outcome::TimeOver;
}

bool readLensState(CameraAccess& camera, const camera::ModelRecord& model, std::uint8_t type, LensRecord& out) {
  LensRecord r;
  r.type = type;
  for (std::size_t i = 0; i < r.words.size(); ++i) {
    if (type != kTypeOne && !typeTwoWord(i)) continue;
    if (i == kAfAreaWord && !camera::lens::hasAfArea(model)) continue;
    std::uint32_t v = 0;
    if (!camera.read(reg16(kRecordWordRegisters[i]), v)) return false;
    r.words[i] = static_cast<std::uint16_t>(v);
  }
  std::uint32_t b = 0;
  if (!camera.read(reg8(kRecordByteRegister), b)) return false;
  r.trackingByte = static_cast<std::uint8_t>(b);
  out = r;
  return true;
}

bool writeLensRecord(CameraAccess& camera, std::uint16_t base, int n, const LensRecord& record) {
  const std::uint16_t at = recordAddress(base, n);
  const auto put = [&camera, at](int offset, std::uint32_t value) {
    return camera.write(reg8(static_cast<std::uint16_t>(at + offset)), value & 0xFFu);
  };
  if (!put(kRecordTypeOffset, kRecordEmpty)) return false;
  for (std::size_t i = 0; i < record.words.size(); ++i) {
    if (record.type != kTypeOne && !typeTwoWord(i)) continue;  // TYPE II leaves the others as they are
    const int offset = static_cast<int>(2 * i);
    if (!put(offset, record.words[i]) || !put(offset + 1, record.words[i] >> 8u)) return false;
  }
  return put(16, record.trackingByte) && put(kRecordTypeOffset, record.type);
}

bool readRecordType(CameraAccess& camera, std::uint16_t base, int n, std::uint8_t& type) {
  std::uint32_t v = 0;
  if (!camera.read(reg8(static_cast<std::uint16_t>(recordAddress(base, n) + kRecordTypeOffset)), v)) return false;
  type = static_cast<std::uint8_t>(v);
  return true;
}

bool clearRecord(CameraAccess& camera, std::uint16_t base, int n) {
  return camera.write(reg8(static_cast<std::uint16_t>(recordAddress(base, n) + kRecordTypeOffset)), kRecordEmpty);
}

}  // namespace orva::panels::preset
