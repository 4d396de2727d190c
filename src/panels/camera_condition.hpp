#pragma once
// The camera condition window without a toolkit: which of its controls a model has, how the
// camera's register values become the texts and radio states it shows, where it stands, and
// the readout behind its "CONDITION" button.
//
// The readout (ConditionReadout::read) writes "<< CAMERA CONDITION >>" and one line per
// part to the monitor and reads the camera part by part: zoom, focus, shutter, AGC,
// exposure, IR cut filter, WDR, reverse (or mirror, or mosaic), freeze, CCD drive. The first
// failed read ends it; what was read before stays in the result, so the window keeps showing
// it. It runs on the caller's thread and holds the operation slot while it reads, so nothing
// else talks to the camera in between; the result is a plain value the window shows on its
// own thread.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "camera/model_record.hpp"
#include "core/monitor_sink.hpp"
#include "link/link.hpp"
#include "panels/camera_access.hpp"
#include "panels/condition_texts.hpp"
#include "panels/operation_runner.hpp"
#include "panels/placement.hpp"

namespace orva::panels {

// ---- which controls a model has

// Enabled controls after the readout; every other control of the window is disabled.
struct ConditionLayout {
  bool zoom = false;          // the magnification field, "x" and the "Zoom Position" caption
  bool digital = false;       // "Digi."
  bool focus = false;         // "AF", "MF" and the "Focus Mode" caption
  bool dssCaption = false;    // the "Digital Slow Shutter" caption
  bool dssButtons = false;    // its "ON" and "OFF"
  bool shutterField = false;
  bool shutterLabels = false;  // "Shutter" and "S", once the shutter has been shown
  bool agcField = false;
  bool agcLabels = false;  // the "AGC" caption and "dB", once the gain has been shown
  bool exposure = false;   // the field, "F value" and the "Exposure" caption
  bool irCut = false;
  bool wdr = false;
  bool reverse = false;
  std::string_view reverseCaption = condition_texts::kReverseGroup;
  bool freeze = false;
  bool ccdDrive = false;
  bool protocol = false;

  friend bool operator==(const ConditionLayout&, const ConditionLayout&) = default;
};

// The reverse group reads "MIRROR MODE" on three models when the camera's clock byte
// (register 0x1701) is not 0; the record does not keep that byte, so the readout reads it
// for them first.
bool layoutNeedsClockByte(const camera::ModelRecord& r);
// The controls a model has. `clockByte` matters only where layoutNeedsClockByte says so.
ConditionLayout conditionLayout(const camera::ModelRecord& r, std::optional<std::uint8_t> clockByte = std::nullopt);

// Which of the three effects the reverse group shows.
enum class ReverseKind : std::uint8_t { None, Reverse, Mirror, Mosaic };

// The parts the readout reads besides zoom, focus and exposure, which every model has.
struct ConditionSteps {
  bool shutter = false;
  bool agc = false;
  bool irCut = false;
  bool wdr = false;
  ReverseKind reverse = ReverseKind::None;
  bool freeze = false;
  bool ccdDrive = false;
};
ConditionSteps conditionSteps(const camera::ModelRecord& r);

// ---- shutter

// The frame rate the shutter counts in and the texts of the slow shutter steps (entry k for
// a factor of 2^k).
struct ShutterFrame {
  double rate = 60;
  std::span<const std::string_view> steps;
};

// The rate and the NTSC timing flag the shutter display works with.
struct ShutterTiming {
  ShutterFrame frame;
  bool ntscTiming = false;
};

// Models whose rate comes from the camera mode (the camera mode setting) rather than from the
// NTSC timing flag; the readout reads the mode for them and updates the flag.
bool readsCameraMode(std::uint16_t modelCode);
// `cameraMode` is the camera mode as `protocol` gives it, for the models that read it.
ShutterTiming shutterTiming(const camera::ModelRecord& r, link::Protocol protocol, bool ntscTiming,
                            std::optional<std::uint32_t> cameraMode);

// The slow shutter is on for a factor other than 1 (0 counts as 1), except that factor 2
// shows "OFF" on models with extra option word bit 5.
bool dssOn(std::uint8_t dssFactor, std::uint16_t extraOptionWord);
// A computed shutter speed snapped to the standard speed shown for it.
int snapShutterSpeed(int speed, bool ntscTiming, std::uint16_t modelCode);
// The "Shutter" field: the slow shutter step of the factor, or with the slow shutter off
// "1/%d" of the speed the shutter register gives at the frame rate.
std::string shutterText(const ShutterTiming& timing, std::uint16_t modelCode, std::uint16_t shutter,
                        std::uint8_t dssFactor);

// ---- AGC, exposure, zoom

// The gain register in dB: its value shifted right by 5.
std::string agcText(std::uint16_t gain);
// The lens's F value at the widest aperture.
double baseFValue(int lensIndex);
// The F value the exposure register gives on the lens, "%2.1f" of its single-precision value.
std::string fValueText(int lensIndex, std::uint16_t exposure);
// The magnification: the zoom step plus 1, times the instant digital zoom factor (in tenths)
// while that is on.
int magnification(int zoomStep, std::optional<int> instantFactorTenths);

// ---- the readout

enum class ConditionOutcome : std::uint8_t {
  Ignored,     // the camera did not answer, or a run holds the line: the window stays as it is
  PortClosed,  // every control disabled; the caller says texts::kSetPort under texts::kAttention
  Read,        // the layout applies and what was read is shown
};

// What the window shows after a readout. A value left empty was not reached (a read failed
// before it, or the model has no such part): the window keeps what it showed before.
struct ConditionView {
  ConditionOutcome outcome = ConditionOutcome::Ignored;
  bool complete = false;  // every part was read
  ConditionLayout layout;
  std::optional<std::string> magnification;
  std::optional<bool> digital;  // "Digi." checked
  std::optional<bool> manualFocus;
  std::optional<bool> dssOn;
  std::optional<std::string> shutter;
  std::optional<std::string> agc;
  std::optional<std::string> fValue;
  std::optional<bool> irCutIn;
  std::optional<bool> wdrOn;
  std::optional<bool> reverseOn;
  std::optional<bool> freezeOn;
  std::optional<bool> interlace;  // "Inter." checked, else "Prog."
  std::optional<link::Protocol> protocol;
  // The NTSC timing flag as the camera mode gave it, for the models that read it: the caller
  // keeps the flag and takes this value over.
  std::optional<bool> ntscTiming;
};

class ConditionReadout {
 public:
  ConditionReadout(CameraAccess& access, core::MonitorSink& monitor, OperationRunner& runner)
      : access_(access), monitor_(monitor), runner_(runner) {}

  // The "CONDITION" button: PortClosed without a port; Ignored while the operation slot is
  // taken or when the camera does not answer its version register; else the readout. Any
  // thread; `record` must not change while it runs.
  ConditionView read(const camera::ModelRecord& record, bool ntscTiming, bool portOpen);

 private:
  CameraAccess& access_;
  core::MonitorSink& monitor_;
  OperationRunner& runner_;
};

// ---- where the window stands

// Its right edge this far left of the main window's right edge (of the screen's, when the
// main window is maximised), at the top: the CONTROL launcher's width, so the two stood side
// by side over a maximised main window.
inline constexpr int kConditionRightGap = 305;

struct ConditionPlacement {
  MainPlacement main;
  Rect screen;                   // the screen's available area
  std::optional<Rect> launcher;  // the CONTROL launcher's frame
};

// The window's top left corner. At its place beside the launcher over the main window, unless
// it would cover more than a quarter of the main window there (a main window that is not
// maximised is narrow and the monitor would be lost behind it): then beside the launcher or
// the main window where the screen has room for it, and only when it has none at its place
// after all. Always inside the screen.
Point conditionWindowPosition(const ConditionPlacement& p, Size window);

}  // namespace orva::panels
