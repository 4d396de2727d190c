#pragma once
// The MODEL menu commands: the video format, soft reset, display, CCD drive, output, camera
// mode, clock and gain up items, each a short sequence of reads, questions, writes and the
// camera's restart waits.
//
// Threads: a command runs on the session's run thread, never on the window thread, so the
// seconds a camera takes to restart never freeze the window. It reaches only objects that
// are safe from any thread (the link and its protocols, the monitor, the prompt, the clock)
// and copies of what the window owns (the model record, the identification flags), taken
// when the command starts. What the window must change afterwards (check marks, the
// launcher's FORMAT field, a fresh identification) comes back in the outcome, which the
// caller posts to the window thread.
//
// Check marks follow the camera: a mark is reported only once the write it stands for has
// succeeded, so a refused or failed write leaves the menu showing what the camera still has.
// A command stops at the first failed read or write; the link has reported the fault.
//
// Stopping: the fixed waits run on the clock with the stop token, so a shutdown stops a
// command at its next wait (or before its next write). The outcome then holds what was done
// up to there, and a monitor line says the command was stopped.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "camera/code_map.hpp"
#include "camera/gating.hpp"
#include "camera/identification.hpp"
#include "camera/model_record.hpp"
#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "core/prompt.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/link.hpp"

namespace orva::shell {

using camera::MenuItem;

// The fixed waits of the commands.
inline constexpr std::chrono::milliseconds kFormatResetWait{5000};     // "NTSC", "PAL"
inline constexpr std::chrono::milliseconds kSoftResetWait{7000};       // a soft reset and its restart
inline constexpr std::chrono::milliseconds kPanelCloseWait{500};       // after asking the panels to close
inline constexpr std::chrono::milliseconds kLineModeSettleWait{2000};  // MODE-1 / MODE-2 before the re-read
inline constexpr std::chrono::milliseconds kClockSettleWait{3000};     // a clock change before the identification
// Re-reading 0xFCC0 after a restart: one read per pause until one succeeds, for at most the
// limit; then the camera counts as lost.
inline constexpr std::chrono::milliseconds kRestartPollPause{500};
inline constexpr std::chrono::milliseconds kRestartAnswerLimit{30000};

// The items runModelCommand() carries out ("Reset to factory default" is the session's).
bool isModelCommand(MenuItem item);

// A 1080 or 720 CAMERA MODE item: its text as the menu and the heading show it, and the
// value written for it (register 0x1701 in EAP, the camera-mode function in AFP).
struct CameraModeValue {
  MenuItem item;
  std::string_view text;
  std::uint8_t eap;
  std::uint8_t afp;
};
// The sixteen items; none for any other item.
std::optional<CameraModeValue> cameraModeValue(MenuItem item);

// Built on the window thread when the command starts, used on the run thread.
struct ModelCommandContext {
  link::Link& link;
  link::Eap& eap;
  link::Afp& afp;
  camera::FunctionCodes& codes;
  core::MonitorSink& monitor;
  core::Prompt& prompt;
  core::Clock& clock;
  camera::ModelRecord model;          // copies taken at the start
  camera::IdentificationFlags flags;
  bool wdrPanelOpen = false;          // the WDR panel blocks a CCD drive mode change
  // Asks the window thread to close an open panel and returns at once; it must never wait
  // for the window thread (which may be waiting for this command). Empty: nothing to close.
  std::function<void()> closePanels;
  // Identifies the camera again, on the calling thread; false when that failed.
  std::function<bool(camera::ModelRecord&, camera::IdentificationFlags&, camera::LauncherFields&)> identify;
};

// What the window applies once the command has ended, in this order.
struct ModelCommandOutcome {
  // Check marks to set (MenuModel::setChecked), in order; each stands for a change the
  // camera accepted.
  std::vector<std::pair<MenuItem, bool>> checks;
  std::optional<std::string> formatField;  // the launcher's FORMAT field, e.g. "PAL model"
  std::optional<int> formatSwitchMode;     // "SOFT RESET" toggled the mode between 1 and 2
  bool greySoftReset = false;              // "SOFT RESET" under any other mode than 1, 2 or 3
  // A fresh identification (apply it to the launcher and the menus), or the record with a
  // changed lens-control word (OUTPUT MODE); the flags and fields come with a fresh
  // identification only.
  std::optional<camera::ModelRecord> record;
  std::optional<camera::IdentificationFlags> flags;
  std::optional<camera::LauncherFields> fields;
  bool cameraLost = false;  // the camera did not answer after its restart: nothing was identified
  bool stopped = false;     // a stop request ended the command early
};

// Carries out `item` (isModelCommand() must hold). Blocks for the camera's waits; call it
// on the run thread. The port is open: the caller refused the command otherwise.
ModelCommandOutcome runModelCommand(MenuItem item, ModelCommandContext& ctx, std::stop_token stop = {});

}  // namespace orva::shell
