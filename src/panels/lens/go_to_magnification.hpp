#pragma once
// Go to magnification: the tool's own way of bringing the zoom to a whole magnification, for
// its lens test tools (the preset panels use the camera's go-to-zoom command instead).
//
// The lens is driven towards a temporary zoom limit and stops there: the target offset from
// the wide end comes from the lens's go-to table (camera/lens_tables.hpp); a lens without a table
// goes to the wide end and says so. In order: the zoom speed register 0xFDFC is read and
// written back with the wanted speed bits; "+++ Go To Zoom +++"; continuous digital zoom off
// (0xFCCB = 0), a beep, the wide and tele limits read (0xF71C, 0xF71E), 100 ms; the drive
// (offset 0: wide, full tele: tele; otherwise the target = wide limit - offset is written as
// the tele limit when it lies at or below the position 0xF714, else as the wide limit, with
// "--- Go To TELE ---" or "--- Go To WIDE ---"); unless the speed byte written was 0xFF, 0xF751
// is polled until bit 5 (moving) clears, at most 5000 ms; the stop; 500 ms; the limits and
// 0xFDFC put back; 100 ms; "*** finish Zoom ***". 16-bit values from 0xE000 up count as
// negative.
//
// Every way out (a failed read or write, a stop request) stops the drive once one was sent
// and puts back the limits and the speed register once they were read, so no temporary limit
// or speed outlives the run. Runs on the caller's thread (the operation thread); waits go
// through the Clock and end early on a stop request.
#include <cstdint>
#include <stop_token>

#include "camera/model_record.hpp"
#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "panels/camera_access.hpp"
#include "panels/operation_runner.hpp"

namespace orva::panels::lens {

struct GoToMagnification {
  int lensIndex = 0;
  int magnification = 1;
  std::uint8_t speedBits = 0;  // ORed into 0xFDFC for the run
};

// Done when the lens was driven and everything put back; Error when an access failed (after
// putting back what it could); Stopped on a stop request.
Outcome goToMagnification(CameraAccess& camera, core::MonitorSink& monitor, core::Clock& clock,
                          std::stop_token stop, const GoToMagnification& request);

// Registers of the run.
inline constexpr std::uint16_t kZoomSpeedRegister = 0xFDFC;
inline constexpr std::uint16_t kContinuousZoomRegister = 0xFCCB;
inline constexpr std::uint16_t kWideLimitRegister = 0xF71C;
inline constexpr std::uint16_t kTeleLimitRegister = 0xF71E;
inline constexpr std::uint16_t kLensPositionRegister = 0xF714;
inline constexpr std::uint16_t kZoomStatusRegister = 0xF751;
inline constexpr std::uint8_t kZoomMovingBit = 0x20;

}  // namespace orva::panels::lens
