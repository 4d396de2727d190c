#pragma once
// The launcher's PRESET TYPE I and TYPE II runs: a "Memory" key captures the lens state into
// a record, a "Preset" key drives the camera back to it. TYPE I keeps the whole lens and focus
// state and writes it back; TYPE II keeps the zoom position with its tracking data and drives
// the zoom there between temporary limits.
//
// Each run is one sequence of register accesses and waits on the operation thread; it ends
// with "-- END --" when it got through. A failed access ends it at once without a line of its
// own (the link has reported it), as does a stop. A store fills only the record it is given:
// the caller keeps its own until the run has succeeded.
//
// Models with the AF area function (panel word 2 bit 5) keep the AF area word and AF reference;
// the others never touch 0xFC6E, 0xFC91, 0xFCCB, 0xFDE6 or 0xFF0F bit 7.
#include <chrono>
#include <cstddef>
#include <stop_token>
#include <string>

#include "camera/model_record.hpp"
#include "camera/preset_file.hpp"
#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "panels/camera_access.hpp"

namespace orva::panels::preset {

enum class PresetType : std::uint8_t { One, Two };

struct LauncherRunContext {
  CameraAccess& camera;
  core::MonitorSink& monitor;
  core::Clock& clock;
  const camera::ModelRecord& model;
  bool arrivalMessage = false;  // the launcher's "ZOOM Arrival Message" is checked
  bool activeExec = false;      // "Active Exec =" is 1: the arrival is asked for through 0xD16C
};

// Waits of the runs.
inline constexpr std::chrono::milliseconds kArrivalLimit{12000};      // the zoom's arrival at its target
inline constexpr std::chrono::milliseconds kFocusArrivalLimit{1500};  // then the focus's
inline constexpr std::chrono::milliseconds kDriveLimit{7000};         // one TYPE II drive
inline constexpr std::chrono::milliseconds kSettleWait{2000};         // between the two store drives
inline constexpr std::chrono::milliseconds kLauncherPoll{16};         // between two reads of a wait
inline constexpr std::size_t kArrivalMessageBytes = 8;

// "TYPE I Memory1" ... "TYPE II Preset4": the run's heading without its brackets; n from 0.
std::string launcherHeading(PresetType type, bool memory, std::size_t n);

// The store of the group into `record`: only the fields the run reads change. False when an
// access failed or a stop was asked.
bool storeLauncherPreset(const LauncherRunContext& run, PresetType type, camera::PresetRecord& record,
                         std::stop_token stop);
// The restore of `record`. A TYPE I wait that runs out goes on with the rest of the run.
bool recallLauncherPreset(const LauncherRunContext& run, PresetType type, const camera::PresetRecord& record,
                          std::stop_token stop);

namespace texts {
inline constexpr std::string_view kLauncherEnd = "-- END --";
inline constexpr std::string_view kReturnValue = "-- Return value --";
inline constexpr std::string_view kArrivalLine = " < Zoom position Arrival Message >";
}  // namespace texts

}  // namespace orva::panels::preset
