#pragma once
// The camera's zoom lens and focus: positions that move with the camera's time while a drive
// runs, the registers that show them and the AFP functions that reach the same storage.
//
// Zoom. The position runs from the wide end to the profile's tele end (kDefaultLensTele
// unless set) and reads at F720 and F850 (words) and, capped at 25600, through the zoom
// position function 1109. Driven into its wide end the lens overruns nominal 0 a little
// (kWideEndPosition) and reads in that negative form (FFF0), uncapped. The lens also keeps
// its position in motor steps at F714: one step for every three positions, counting down
// from 0400 at the wide end, so the tele end lies below zero (E156 for the default 6800). The tool's go-to and preset runs work in that form: they write
// a temporary wide limit to F71C or tele limit to F71E, drive, and the lens stops there. At
// start the limits hold the lens's own ends; a limit past an end means that end.
//
//   FCBB = 99 / 9B    zoom toward tele / wide     AFP 1107 = 2 / 3
//   FCBB = A9 / AA    focus far / near            AFP 1102 = 2 / 3
//   FCBB = FE         stop                        AFP 1107 = 1 or 1102 = 1
//   FCBB = A8         toggle manual focus (FF0E bit 3)     AFP 1101 = 1 auto / 2 manual
//   FCBB = A4         toggle zoom cue (F9F3 00 / 01)
//   FCBB = AC         one-push AF: the focus goes to the in-focus point at once
// One drive runs at a time, as the one drive register says: a new command ends the drive in
// progress, and any other value stops the lens. FCBB reads the drive command while a drive
// runs and FE once the lens has stopped, by command or at a limit; the drive functions read
// 2 or 3 while their drive runs, else 1. F751 bit 5 is set while the zoom moves.
//
// Zoom speed: FDFC bits 2-3, 00 high (a full travel takes 3.9 s), 08 normal (6 s; 04 as
// well), 0C slow (15 s, and 3 s more for each SuperSlow level in FDFB); AFP 1108 carries
// 18, 17 and 16 - level (hex digits 12, 11, 10 - level). The speed and the limits are read as
// the lens moves, so a change takes effect at once.
//
// Focus: a position in F712 (word, two's complement) from F800 (far end) to 0700 (near end),
// a full travel in 3 s. Writing F712 puts the focus there, as the adjustment mode's steps do.
//
// Digital zoom. With continuous digital zoom on (FCCB bit 0), a zoom toward tele goes on past
// the optical tele end through a digital range a quarter of the optical travel long; F720,
// F850, F714 and 1109 stay at the tele end meanwhile, and FC91 reads how far into the range
// the zoom is (00 to FE) instead of FF. Switching digital zoom off there returns the zoom to
// the optical tele end.
//
// The focus mode, digital zoom and lens position functions (1101, 1201 to 1204, 6187) are bound
// to their registers like the camera's other settings (function_bindings.hpp).
//
// F720, F850, F714, F751 bit 5 and FC91 are the lens's own: a write to them lasts until the camera's
// time next moves. A profile's F850 (else F720) places the zoom at start; its F712 places the
// focus.
#include <cstdint>
#include <memory>
#include <optional>

#include "core/clock.hpp"

namespace orva::sim {

class RegisterMemory;
class VirtualCamera;

inline constexpr std::uint16_t kLensDriveRegister = 0xFCBB;
inline constexpr std::uint8_t kDriveTele = 0x99;
inline constexpr std::uint8_t kDriveWide = 0x9B;
inline constexpr std::uint8_t kDriveFar = 0xA9;
inline constexpr std::uint8_t kDriveNear = 0xAA;
inline constexpr std::uint8_t kToggleFocusMode = 0xA8;
inline constexpr std::uint8_t kToggleZoomCue = 0xA4;
inline constexpr std::uint8_t kOnePushAf = 0xAC;
inline constexpr std::uint8_t kDriveStop = 0xFE;

inline constexpr std::uint16_t kZoomPositionRegister = 0xF720;
inline constexpr std::uint16_t kZoomPositionWideRegister = 0xF850;
inline constexpr std::uint16_t kZoomStepsRegister = 0xF714;
inline constexpr std::uint16_t kWideLimitRegister = 0xF71C;
inline constexpr std::uint16_t kTeleLimitRegister = 0xF71E;
inline constexpr std::uint16_t kFocusPositionRegister = 0xF712;
inline constexpr std::uint16_t kLensStatusRegister = 0xF751;
inline constexpr std::uint8_t kZoomMovingBit = 0x20;
inline constexpr std::uint16_t kZoomSpeedRegister = 0xFDFC;
inline constexpr std::uint16_t kSlowLevelRegister = 0xFDFB;
inline constexpr std::uint16_t kFocusModeRegister = 0xFF0E;
inline constexpr std::uint8_t kManualFocusBit = 0x08;
inline constexpr std::uint16_t kZoomCueRegister = 0xF9F3;

inline constexpr std::uint16_t kFocusModeFunction = 0x1101;
inline constexpr std::uint16_t kFocusDriveFunction = 0x1102;
inline constexpr std::uint16_t kZoomDriveFunction = 0x1107;
inline constexpr std::uint16_t kZoomSpeedFunction = 0x1108;
inline constexpr std::uint16_t kZoomPositionFunction = 0x1109;
// The zoom position function reads no further than this.
inline constexpr std::uint16_t kZoomPositionFunctionCap = 25600;

// Motor steps at the wide end, and zoom positions per step.
inline constexpr std::int32_t kWideEndSteps = 0x0400;
// Where the lens stops when driven into its wide end.
inline constexpr std::int32_t kWideEndPosition = -0x10;
inline constexpr std::int32_t kPositionsPerStep = 3;
inline constexpr std::int32_t kFocusFarEnd = -0x0800;
inline constexpr std::int32_t kFocusNearEnd = 0x0700;
// Where one-push AF leaves the focus.
inline constexpr std::int32_t kFocusInFocus = 0x0000;

// What the lens registers hold at power-on, before a profile's registers: FC91 = FF (no
// digital zoom under way), FDE6 = 14 (instant digital zoom 2.0 times).
inline constexpr std::uint16_t kDigitalActiveRegister = 0xFC91;
inline constexpr std::uint8_t kDigitalIdle = 0xFF;
inline constexpr std::uint16_t kContinuousDigitalZoomRegister = 0xFCCB;
inline constexpr std::uint8_t kContinuousDigitalZoomBit = 0x01;
// The digital range is this part of the optical travel.
inline constexpr std::int32_t kDigitalSpanDivisor = 4;
inline constexpr std::uint16_t kInstantMagnificationRegister = 0xFDE6;
void presetLensRegisters(RegisterMemory& memory);

// What the camera's preset engine (presets.hpp) asks of the lens: a move straight to a zoom
// position and, if given, a focus position, at the zoom speed (the focus at its own), ignoring
// the drive limits, as the camera's own go-to does. A drive command ends such a move.
class LensMotion {
 public:
  virtual ~LensMotion() = default;
  // `zoom` is an optical position (0 to the tele end), `focus` one of F712's (far to near end).
  virtual void goTo(VirtualCamera& camera, std::int32_t zoom, std::optional<std::int32_t> focus) = 0;
  // Stops the lens where it is.
  virtual void halt(VirtualCamera& camera) = 0;
  virtual bool moving() const = 0;
  // When the move or drive under way ends (at its target, or at a limit or end), at the speed
  // it runs at now; none when the lens stands.
  virtual std::optional<core::Clock::time_point> arrival(const RegisterMemory& memory) const = 0;
  virtual std::int32_t tele() const = 0;
};

// Installs the lens with its tele end `tele` (kLowestLensTele to kHighestLensTele).
std::shared_ptr<LensMotion> installLens(VirtualCamera& camera, std::uint16_t tele);

}  // namespace orva::sim
