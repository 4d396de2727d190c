#include "sim/lens.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;
using time_point = VirtualCamera::time_point;

constexpr milliseconds kHighTravel{3900};
constexpr milliseconds kNormalTravel{6000};
constexpr milliseconds kSlowTravel{15000};
constexpr milliseconds kSuperSlowStepTravel{3000};
constexpr milliseconds kFocusTravel{3000};

constexpr std::uint8_t kSpeedBits = 0x0C;
constexpr std::uint8_t kHighSpeed = 0x00;
constexpr std::uint8_t kNormalSpeed = 0x08;
constexpr std::uint8_t kSlowSpeed = 0x0C;
constexpr std::uint8_t kSlowestLevel = 15;
// AFP zoom speed values: 18 high, 17 normal, 16 - level slow.
constexpr std::uint32_t kAfpHighSpeed = 18;
constexpr std::uint32_t kAfpNormalSpeed = 17;
constexpr std::uint32_t kAfpSlowSpeed = 16;

// Drive and switch function values.
constexpr std::uint32_t kAfpStop = 1;
constexpr std::uint32_t kAfpTeleOrFar = 2;
constexpr std::uint32_t kAfpWideOrNear = 3;

std::uint16_t readWord(const RegisterMemory& memory, std::uint16_t address) {
  return static_cast<std::uint16_t>(memory.read(address) << 8 | memory.read(static_cast<std::uint16_t>(address + 1)));
}

void writeWord(RegisterMemory& memory, std::uint16_t address, std::uint16_t value) {
  memory.write(address, static_cast<std::uint8_t>(value >> 8));
  memory.write(static_cast<std::uint16_t>(address + 1), static_cast<std::uint8_t>(value));
}

void writeBits(RegisterMemory& memory, std::uint16_t address, std::uint8_t mask, bool set) {
  const std::uint8_t old = memory.read(address);
  memory.write(address, static_cast<std::uint8_t>(set ? old | mask : old & ~mask));
}

std::string byteDigits(unsigned value) { return fmt::format("{:02X}", value & 0xFFu); }
std::string wordDigits(unsigned value) { return fmt::format("{:04X}", value & 0xFFFFu); }

// One moving part between two ends. While it runs, its position follows from where and when
// the run (or its latest speed) began, so it depends on the camera's time alone and never
// drifts however often it is looked at.
class Axis {
 public:
  explicit Axis(std::int32_t position) : position_(position), anchor_(position) {}

  std::int32_t position() const { return position_; }
  int direction() const { return direction_; }

  void run(time_point now, int direction, nanoseconds travel) {
    direction_ = direction;
    rebase(now, travel);
  }
  void halt() { direction_ = 0; }
  void place(time_point now, std::int32_t position) {
    position_ = position;
    rebase(now, travel_);
  }
  // Carries on from here at another speed.
  void rebase(time_point now, nanoseconds travel) {
    anchor_ = position_;
    since_ = now;
    travel_ = travel;
  }

  // When the run reaches `stop`, a full `span` taking the travel time.
  time_point reaches(std::int32_t stop, std::int32_t span) const {
    const std::int64_t distance = std::abs(stop - anchor_);
    const std::int64_t travel = travel_.count();
    const std::int64_t spanLength = std::max(span, 1);
    return since_ + nanoseconds((distance * travel + spanLength - 1) / spanLength);
  }

  // Moves on to `now`, a full `span` taking the travel time, up to `stop`; never back. Halts
  // at the stop and says so.
  bool advance(time_point now, std::int32_t span, std::int32_t stop) {
    if (direction_ == 0) return false;
    // No run is longer than two spans (the optical travel, the digital range and the overrun
    // at the wide end together); the bound keeps the product below from overflowing.
    const auto elapsed = std::clamp(now - since_, nanoseconds::zero(), 2 * travel_);
    const auto moved = static_cast<std::int32_t>(elapsed.count() * span / std::max<std::int64_t>(travel_.count(), 1));
    const std::int32_t wanted = anchor_ + direction_ * moved;
    const bool reached = direction_ > 0 ? wanted >= stop : wanted <= stop;
    const std::int32_t next = reached ? stop : wanted;
    position_ = direction_ > 0 ? std::max(position_, next) : std::min(position_, next);
    if (reached) halt();
    return reached;
  }

 private:
  std::int32_t position_;
  std::int32_t anchor_;
  time_point since_{};
  nanoseconds travel_{kNormalTravel};
  int direction_ = 0;
};

class Lens final : public LensMotion {
 public:
  Lens(VirtualCamera& camera, std::uint16_t tele)
      : tele_(tele), zoom_(startingZoom(camera.memory(), tele)),
        focus_(static_cast<std::int16_t>(readWord(camera.memory(), kFocusPositionRegister))) {
    RegisterMemory& memory = camera.memory();
    writeWord(memory, kWideLimitRegister, stepsAt(0));
    writeWord(memory, kTeleLimitRegister, stepsAt(tele_));
    publish(memory);
  }

  // Brings the lens to the camera's time.
  void update(VirtualCamera& camera) {
    RegisterMemory& memory = camera.memory();
    const time_point now = camera.now();
    bool stopped = false;
    // Digital zoom switched off in the digital range: the picture is the optical tele end's.
    if (!digitalZoomOn(memory) && zoom_.position() > tele_) zoom_.place(now, tele_);
    if (zoom_.direction() != 0) {
      const std::int32_t stop = zoomTarget_ ? *zoomTarget_ : zoom_.direction() > 0 ? teleStop(memory) : wideStop(memory);
      stopped = zoom_.advance(now, tele_, stop);
      if (!stopped && zoomTravel(memory) != zoomTravel_) {
        zoomTravel_ = zoomTravel(memory);
        zoom_.rebase(now, zoomTravel_);
      }
    }
    if (focus_.direction() != 0) {
      const std::int32_t stop = focusTarget_ ? *focusTarget_ : focus_.direction() > 0 ? kFocusNearEnd : kFocusFarEnd;
      stopped = focus_.advance(now, kFocusNearEnd - kFocusFarEnd, stop) || stopped;
    }
    if (stopped) command_ = kDriveStop;
    if (zoom_.direction() == 0) zoomTarget_.reset();
    if (focus_.direction() == 0) focusTarget_.reset();
    publish(memory);
  }

  void goTo(VirtualCamera& camera, std::int32_t zoom, std::optional<std::int32_t> focus) override {
    halt(camera);
    const time_point now = camera.now();
    zoom = std::clamp(zoom, std::int32_t{0}, tele_);
    if (zoom != zoom_.position()) {
      zoomTravel_ = zoomTravel(camera.memory());
      zoom_.run(now, zoom > zoom_.position() ? 1 : -1, zoomTravel_);
      zoomTarget_ = zoom;
    }
    if (focus) {
      const std::int32_t to = std::clamp(*focus, kFocusFarEnd, kFocusNearEnd);
      if (to != focus_.position()) {
        focus_.run(now, to > focus_.position() ? 1 : -1, kFocusTravel);
        focusTarget_ = to;
      }
    }
    update(camera);
  }

  void halt(VirtualCamera& camera) override {
    update(camera);
    zoom_.halt();
    focus_.halt();
    zoomTarget_.reset();
    focusTarget_.reset();
    command_ = kDriveStop;
    publish(camera.memory());
  }

  bool moving() const override { return zoom_.direction() != 0 || focus_.direction() != 0; }

  std::optional<time_point> arrival(const RegisterMemory& memory) const override {
    std::optional<time_point> at;
    const auto later = [&at](time_point t) { at = at ? std::max(*at, t) : t; };
    if (zoom_.direction() != 0) {
      const std::int32_t stop = zoomTarget_ ? *zoomTarget_ : zoom_.direction() > 0 ? teleStop(memory) : wideStop(memory);
      later(zoom_.reaches(stop, tele_));
    }
    if (focus_.direction() != 0) {
      const std::int32_t stop = focusTarget_ ? *focusTarget_ : focus_.direction() > 0 ? kFocusNearEnd : kFocusFarEnd;
      later(focus_.reaches(stop, kFocusNearEnd - kFocusFarEnd));
    }
    return at;
  }

  std::int32_t tele() const override { return tele_; }

  // A command written to the drive register, or given through a function.
  void command(VirtualCamera& camera, std::uint8_t code) {
    update(camera);
    RegisterMemory& memory = camera.memory();
    const time_point now = camera.now();
    zoom_.halt();
    focus_.halt();
    zoomTarget_.reset();
    focusTarget_.reset();
    command_ = kDriveStop;
    switch (code) {
      case kDriveTele:
      case kDriveWide:
        zoomTravel_ = zoomTravel(memory);
        zoom_.run(now, code == kDriveTele ? 1 : -1, zoomTravel_);
        command_ = code;
        break;
      case kDriveNear:
      case kDriveFar:
        focus_.run(now, code == kDriveNear ? 1 : -1, kFocusTravel);
        command_ = code;
        break;
      case kToggleFocusMode:
        memory.write(kFocusModeRegister, static_cast<std::uint8_t>(memory.read(kFocusModeRegister) ^ kManualFocusBit));
        break;
      case kToggleZoomCue:
        memory.write(kZoomCueRegister, memory.read(kZoomCueRegister) == 0 ? std::uint8_t{1} : std::uint8_t{0});
        break;
      case kOnePushAf:
        focus_.place(now, kFocusInFocus);
        break;
      default:
        break;
    }
    // A drive that cannot move (already at its limit) ends at once.
    update(camera);
  }

  // The tool stepped the focus motor itself.
  void placeFocus(VirtualCamera& camera) {
    const std::int16_t written = static_cast<std::int16_t>(readWord(camera.memory(), kFocusPositionRegister));
    update(camera);
    focus_.place(camera.now(), written);
    publish(camera.memory());
  }

  // What the drive functions read: tele runs up the zoom positions, near up the focus ones.
  std::uint32_t zoomDrive() const { return driveValue(zoom_.direction(), 1); }
  std::uint32_t focusDrive() const { return driveValue(focus_.direction(), -1); }
  // The optical position in its 16-bit form: the wide end's is negative.
  std::uint16_t zoomPosition() const { return static_cast<std::uint16_t>(opticalPosition()); }

 private:
  static std::int32_t startingZoom(const RegisterMemory& memory, std::uint16_t tele) {
    std::uint16_t at = readWord(memory, kZoomPositionWideRegister);
    if (at == 0) at = readWord(memory, kZoomPositionRegister);
    return (at & 0x8000u) != 0 ? kWideEndPosition : std::min<std::int32_t>(at, tele);
  }

  static bool digitalZoomOn(const RegisterMemory& memory) {
    return (memory.read(kContinuousDigitalZoomRegister) & kContinuousDigitalZoomBit) != 0;
  }
  std::int32_t digitalSpan() const { return tele_ / kDigitalSpanDivisor; }
  std::int32_t opticalPosition() const { return std::min(zoom_.position(), tele_); }
  // FC91: FF while the zoom is optical, else how far into the digital range it is.
  std::uint8_t digitalLevel() const {
    const std::int32_t into = zoom_.position() - tele_;
    if (into <= 0) return kDigitalIdle;
    constexpr std::int32_t kDeepest = kDigitalIdle - 1;
    return static_cast<std::uint8_t>(std::min(kDeepest, into * kDeepest / digitalSpan()));
  }

  // 1 stopped, 2 toward tele or far (`towardTwo`), 3 toward wide or near.
  static std::uint32_t driveValue(int direction, int towardTwo) {
    if (direction == 0) return kAfpStop;
    return direction == towardTwo ? kAfpTeleOrFar : kAfpWideOrNear;
  }

  static nanoseconds zoomTravel(const RegisterMemory& memory) {
    switch (memory.read(kZoomSpeedRegister) & kSpeedBits) {
      case kHighSpeed: return kHighTravel;
      case kSlowSpeed: {
        const auto level = std::min(memory.read(kSlowLevelRegister), kSlowestLevel);
        return kSlowTravel + level * kSuperSlowStepTravel;
      }
      default: return kNormalTravel;
    }
  }

  // The motors count from the nominal wide end; the lens's overrun past it is not counted.
  static std::uint16_t stepsAt(std::int32_t position) {
    return static_cast<std::uint16_t>(kWideEndSteps - std::max(position, 0) / kPositionsPerStep);
  }

  // A limit in motor steps as a zoom position; a limit past an end is that end.
  std::int32_t positionAt(std::uint16_t steps) const {
    const std::int32_t signedSteps = static_cast<std::int16_t>(steps);
    if (signedSteps >= kWideEndSteps) return kWideEndPosition;
    if (signedSteps <= static_cast<std::int16_t>(stepsAt(tele_))) return tele_;
    return std::min<std::int32_t>((kWideEndSteps - signedSteps) * kPositionsPerStep, tele_);
  }
  // At its own tele end the lens goes on digitally while digital zoom is on.
  std::int32_t teleStop(const RegisterMemory& memory) const {
    const std::int32_t stop = positionAt(readWord(memory, kTeleLimitRegister));
    return stop == tele_ && digitalZoomOn(memory) ? tele_ + digitalSpan() : stop;
  }
  std::int32_t wideStop(const RegisterMemory& memory) const { return positionAt(readWord(memory, kWideLimitRegister)); }

  void publish(RegisterMemory& memory) const {
    writeWord(memory, kZoomPositionRegister, zoomPosition());
    writeWord(memory, kZoomPositionWideRegister, zoomPosition());
    writeWord(memory, kZoomStepsRegister, stepsAt(opticalPosition()));
    memory.write(kDigitalActiveRegister, digitalLevel());
    writeBits(memory, kLensStatusRegister, kZoomMovingBit, zoom_.direction() != 0);
    writeWord(memory, kFocusPositionRegister, static_cast<std::uint16_t>(focus_.position()));
    memory.write(kLensDriveRegister, command_);
  }

  std::int32_t tele_;
  Axis zoom_;
  Axis focus_;
  nanoseconds zoomTravel_{kNormalTravel};
  std::uint8_t command_ = kDriveStop;
  // Where a go-to move ends; none while a drive runs toward the limits.
  std::optional<std::int32_t> zoomTarget_;
  std::optional<std::int32_t> focusTarget_;
};

void installZoomSpeed(VirtualCamera& camera, const std::shared_ptr<Lens>& lens) {
  for (std::uint16_t address : {kZoomSpeedRegister, kSlowLevelRegister})
    camera.onWrite(address, [lens](VirtualCamera& cam, const MemoryWrite&) { lens->update(cam); });
  camera.onFunctionSet(kZoomSpeedFunction, [lens](VirtualCamera& cam, const FunctionSet& set) {
    const auto value = set.number();
    if (!value || *value == 0 || *value > kAfpHighSpeed) return;
    RegisterMemory& memory = cam.memory();
    std::uint8_t bits = kSlowSpeed;
    if (*value == kAfpHighSpeed) bits = kHighSpeed;
    if (*value == kAfpNormalSpeed) bits = kNormalSpeed;
    if (*value <= kAfpSlowSpeed) memory.write(kSlowLevelRegister, static_cast<std::uint8_t>(kAfpSlowSpeed - *value));
    memory.write(kZoomSpeedRegister, static_cast<std::uint8_t>((memory.read(kZoomSpeedRegister) & ~kSpeedBits) | bits));
    lens->update(cam);
  });
  camera.onFunctionGet(kZoomSpeedFunction, [](const VirtualCamera& cam) {
    const RegisterMemory& memory = cam.memory();
    switch (memory.read(kZoomSpeedRegister) & kSpeedBits) {
      case kHighSpeed: return byteDigits(kAfpHighSpeed);
      case kSlowSpeed: return byteDigits(kAfpSlowSpeed - std::min(memory.read(kSlowLevelRegister), kSlowestLevel));
      default: return byteDigits(kAfpNormalSpeed);
    }
  });
}

// A drive function: 1 stops, 2 and 3 give the drive register's commands.
void installDrive(VirtualCamera& camera, const std::shared_ptr<Lens>& lens, std::uint16_t code,
                  std::uint8_t teleOrFar, std::uint8_t wideOrNear, std::uint32_t (Lens::*running)() const) {
  camera.onFunctionSet(code, [lens, teleOrFar, wideOrNear](VirtualCamera& cam, const FunctionSet& set) {
    const auto value = set.number();
    if (value == kAfpStop) lens->command(cam, kDriveStop);
    if (value == kAfpTeleOrFar) lens->command(cam, teleOrFar);
    if (value == kAfpWideOrNear) lens->command(cam, wideOrNear);
  });
  camera.onFunctionGet(code, [lens, running](const VirtualCamera&) { return byteDigits(((*lens).*running)()); });
}

}  // namespace

void presetLensRegisters(RegisterMemory& memory) {
  memory.write(kDigitalActiveRegister, kDigitalIdle);
  memory.write(kInstantMagnificationRegister, 0x14);
}

std::shared_ptr<LensMotion> installLens(VirtualCamera& camera, std::uint16_t tele) {
  auto lens = std::make_shared<Lens>(camera, tele);
  camera.onTime([lens](VirtualCamera& cam) { lens->update(cam); });
  camera.onWrite(kLensDriveRegister, [lens](VirtualCamera& cam, const MemoryWrite& w) { lens->command(cam, w.value); });
  camera.onWrite(kContinuousDigitalZoomRegister, [lens](VirtualCamera& cam, const MemoryWrite&) { lens->update(cam); });
  for (std::uint16_t address : {kFocusPositionRegister, static_cast<std::uint16_t>(kFocusPositionRegister + 1)})
    camera.onWrite(address, [lens](VirtualCamera& cam, const MemoryWrite&) { lens->placeFocus(cam); });
  // A limit written behind a running zoom stops it at once.
  for (std::uint16_t address = kWideLimitRegister; address < kTeleLimitRegister + 2; ++address)
    camera.onWrite(address, [lens](VirtualCamera& cam, const MemoryWrite&) { lens->update(cam); });
  installZoomSpeed(camera, lens);
  installDrive(camera, lens, kZoomDriveFunction, kDriveTele, kDriveWide, &Lens::zoomDrive);
  installDrive(camera, lens, kFocusDriveFunction, kDriveFar, kDriveNear, &Lens::focusDrive);
  // The cap is on tele positions: the wide end's negative form reads as it is.
  camera.onFunctionGet(kZoomPositionFunction, [lens](const VirtualCamera&) {
    const std::uint16_t at = lens->zoomPosition();
    return wordDigits((at & 0x8000u) != 0 ? at : std::min(at, kZoomPositionFunctionCap));
  });
  return lens;
}

}  // namespace orva::sim
