#include "panels/preset/launcher_runs.hpp"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "camera/lens_tables.hpp"
#include "core/deadline.hpp"
#include "panels/hold_button.hpp"
#include "panels/lens/lens_operations.hpp"
#include "panels/operation_runner.hpp"
#include "panels/panel_description.hpp"

namespace orva::panels::preset {
namespace {

using P = link::Protocol;
using lens::FocusMode;

// Registers of the runs; in AFP the gateway carries them.
constexpr camera::Setting kFocusPosition = reg16(0xF710);
constexpr camera::Setting kFocusTarget = reg16(0xF712);
constexpr camera::Setting kZoomPosition = reg16(0xF714);
constexpr camera::Setting kGoToSteps = reg16(0xF716);
constexpr camera::Setting kLensWord1 = reg16(0xF718);
constexpr camera::Setting kLensWord2 = reg16(0xF71A);
constexpr camera::Setting kWideLimit = reg16(0xF71C);
constexpr camera::Setting kTeleLimit = reg16(0xF71E);
constexpr camera::Setting kZoomMoving = reg8(0xF751);
constexpr camera::Setting kGoToControl = reg8(0xF753);
constexpr camera::Setting kTrackingWord1 = reg16(0xF7BE);
constexpr camera::Setting kTrackingWord2 = reg16(0xF7C2);
constexpr camera::Setting kTrackingWord3 = reg16(0xF7C4);
constexpr camera::Setting kTrackingLoad = reg8(0xF894);
constexpr camera::Setting kTrackingByte = reg8(0xF895);
constexpr camera::Setting kTrackingBase = reg16(0xFB32);
constexpr camera::Setting kTrackingSide = reg8(0xFB7E);
constexpr camera::Setting kTrackingHold = reg8(0xFB7F);
constexpr camera::Setting kAfArea = reg16(0xFC6E);
constexpr camera::Setting kAfReference = reg8(0xFC91);
constexpr camera::Setting kAfAreaOn = reg8(0xFCCB);
constexpr camera::Setting kAfSpeed = reg8(0xFDE6);
constexpr camera::Setting kZoomSpeedBits = reg8(0xFDFC);
constexpr camera::Setting kZoomUnit = reg8(0xFE00);
constexpr camera::Setting kAfSpeedHold = reg8(0xFF0F);
constexpr camera::Setting kArrivalRequest = reg8(0xD16C);

constexpr std::uint16_t kTypeOneCode = 0x6101;
constexpr std::uint16_t kTypeTwoCode = 0x6102;
constexpr std::uint32_t kGoToStart = 3;
constexpr std::uint32_t kGoToEnd = 2;
constexpr std::uint32_t kHighZoomSpeed = 18;  // AFP zoom speed function
constexpr std::uint8_t kMovingBit = 0x20;
constexpr std::uint8_t kTrackingHoldBit = 0x10;
constexpr std::uint8_t kTrackingSideBit = 0x02;
constexpr std::uint8_t kAfSpeedHoldBit = 0x80;
constexpr std::uint8_t kSpeedFixBit = 0x04;
constexpr std::uint8_t kSpeedBits = 0x0C;
constexpr std::uint8_t kManualBit = 0x08;
constexpr std::uint32_t kTrackingLoadOn = 0xC0;
constexpr std::uint16_t kOldModels = 48;  // model codes below keep the zoom tracking base

std::uint16_t u16(std::uint32_t v) { return static_cast<std::uint16_t>(v); }
std::uint8_t u8(std::uint32_t v) { return static_cast<std::uint8_t>(v); }

// One run's accesses and waits: every access is refused once a stop was asked.
struct Run {
  Run(const LauncherRunContext& c, std::stop_token token)
      : ctx(c), cam(c.camera), stop(std::move(token)), withAfArea(camera::lens::hasAfArea(c.model)) {}

  bool afp() const { return cam.protocol() == P::Afp; }
  bool afArea() const { return withAfArea; }
  bool stopped() const { return stop.stop_requested(); }

  bool read(const camera::Setting& s, std::uint32_t& v) { return !stopped() && cam.read(s, v); }
  bool write(const camera::Setting& s, std::uint32_t v) { return !stopped() && cam.write(s, v); }
  bool read(const camera::Setting& s, std::uint16_t& v) {
    std::uint32_t x = 0;
    if (!read(s, x)) return false;
    v = u16(x);
    return true;
  }
  bool read(const camera::Setting& s, std::uint8_t& v) {
    std::uint32_t x = 0;
    if (!read(s, x)) return false;
    v = u8(x);
    return true;
  }
  // Read, change the bits, write back.
  bool update(const camera::Setting& s, std::uint8_t set, std::uint8_t clear) {
    std::uint32_t v = 0;
    return read(s, v) && write(s, (v | set) & ~static_cast<std::uint32_t>(clear));
  }

  bool focus(FocusMode mode) { return !stopped() && lens::switchFocusMode(cam, ctx.clock, ctx.model, mode); }
  // The focus mode as 0xFF0E (AFP the focus mode function) holds it.
  bool readManual(bool& manual) {
    std::uint32_t v = 0;
    if (!read(camera::kFocusModeSetting, v)) return false;
    manual = afp() ? v == 2 : (v & kManualBit) != 0;
    return true;
  }
  bool drive(ProtocolValue code) { return write(kZoomDriveSetting, code.in(cam.protocol())); }
  bool stopDrive() { return drive(kLensStop); }
  // The drive code in the "#W" frame, so that the camera sends its arrival message.
  bool driveAskingArrival(ProtocolValue code) {
    return !stopped() && cam.eap().writeByteHash(kZoomDriveSetting.eapRegister, u8(code.eap));
  }

  bool pause(std::chrono::milliseconds d) { return ctx.clock.sleepFor(d, stop); }
  // Polls `reached` until it holds; TimeOver when `deadline` passes first.
  Outcome waitFor(const core::Deadline& deadline, const std::function<std::optional<bool>()>& reached) {
    for (;;) {
      const auto r = reached();
      if (!r) return Outcome::Error;
      if (*r) return Outcome::Done;
      if (deadline.expired()) return Outcome::TimeOver;
      if (!ctx.clock.sleepFor(std::min<core::Clock::duration>(kLauncherPoll, deadline.remaining()), stop))
        return Outcome::Stopped;
    }
  }
  // A TYPE II drive has ended when 0xF751 bit 5 was seen set and then clear, or after the limit.
  bool waitDrive() {
    bool seen = false;
    const Outcome o = waitFor(core::Deadline(ctx.clock, kDriveLimit), [&]() -> std::optional<bool> {
      std::uint32_t v = 0;
      if (!read(kZoomMoving, v)) return std::nullopt;
      const bool moving = (v & kMovingBit) != 0;
      if (moving) seen = true;
      return seen && !moving;
    });
    return o == Outcome::Done || o == Outcome::TimeOver;
  }
  // After a drive in zoom cue the zoom panel refuses "MANUAL FOCUS" for a while. The launcher
  // has no such key: the zoom-cue state (and its hold time) is read, and nothing is held.
  void zoomCueCheck() {
    if (!stopped()) (void)lens::zoomCueHold(cam, ctx.model);
  }
  // The camera's 8-byte arrival message by `deadline`, shown as it came; nothing on a time-out.
  void takeArrival(const core::Deadline& deadline) { (void)cam.takeMessage(kArrivalMessageBytes, deadline, stop); }

  bool functionRead(std::uint16_t code, std::vector<std::uint32_t>& fields, std::size_t count) {
    return !stopped() && cam.codes().read(code, fields) && fields.size() >= count;
  }
  bool functionWrite(std::uint16_t code, std::span<const std::uint32_t> fields) {
    return !stopped() && cam.codes().write(code, fields);
  }

  void line(std::string_view text) { ctx.monitor.line(text); }
  bool end() {
    line(texts::kLauncherEnd);
    return true;
  }

  const LauncherRunContext& ctx;
  CameraAccess& cam;
  std::stop_token stop;
  bool withAfArea;
};

// Writes back the zoom limits a TYPE II run moved, and stops the drive, on a way out that
// did not get to put them back itself. Best effort: the run has failed already.
class LimitsGuard {
 public:
  explicit LimitsGuard(Run& run) : run_(run) {}
  ~LimitsGuard() {
    if (!armed_) return;
    CameraAccess& cam = run_.cam;
    (void)cam.write(kZoomDriveSetting, kLensStop);
    if (wide_) (void)cam.write(kWideLimit, *wide_);
    if (tele_) (void)cam.write(kTeleLimit, *tele_);
  }
  LimitsGuard(const LimitsGuard&) = delete;
  LimitsGuard& operator=(const LimitsGuard&) = delete;
  void keep(std::optional<std::uint16_t> wide, std::optional<std::uint16_t> tele) {
    wide_ = wide;
    tele_ = tele;
    armed_ = true;
  }
  void release() { armed_ = false; }

 private:
  Run& run_;
  bool armed_ = false;
  std::optional<std::uint16_t> wide_, tele_;
};

// ---- TYPE I

bool storeTypeOne(Run& r, camera::PresetRecord& rec) {
  if (r.afp()) {
    std::vector<std::uint32_t> f;
    if (!r.functionRead(kTypeOneCode, f, 8)) return false;
    rec.focusPosition = u16(f[0]);
    rec.zoomPosition = u16(f[1]);
    rec.lensWord1 = u16(f[2]);
    rec.lensWord2 = u16(f[3]);
    rec.trackingWord1 = u16(f[4]);
    rec.trackingWord2 = u16(f[5]);
    rec.trackingWord3 = u16(f[6]);
    rec.trackingByte = u8(f[7]);
    return r.end();
  }
  bool manual = false;
  if (!r.readManual(manual) || !r.focus(FocusMode::Manual)) return false;
  if (r.ctx.model.modelCode < kOldModels && !r.update(kTrackingHold, kTrackingHoldBit, 0)) return false;
  if (!r.read(kTrackingBase, rec.zoomTrackingBase) || !r.read(kFocusPosition, rec.focusPosition) ||
      !r.read(kZoomPosition, rec.zoomPosition) || !r.read(kLensWord1, rec.lensWord1) ||
      !r.read(kLensWord2, rec.lensWord2) || !r.read(kTrackingWord1, rec.trackingWord1) ||
      !r.read(kTrackingWord2, rec.trackingWord2) || !r.read(kTrackingWord3, rec.trackingWord3) ||
      !r.read(kTrackingByte, rec.trackingByte))
    return false;
  rec.afAreaWord = 0;
  if (r.afArea() && !r.read(kAfArea, rec.afAreaWord)) return false;
  if (!r.focus(manual ? FocusMode::Manual : FocusMode::Auto)) return false;
  return r.end();
}

bool recallTypeOne(Run& r, const camera::PresetRecord& rec) {
  if (r.afp()) {
    const std::array<std::uint32_t, 8> f{rec.focusPosition, rec.zoomPosition,  rec.lensWord1,     rec.lensWord2,
                                         rec.trackingWord1, rec.trackingWord2, rec.trackingWord3, rec.trackingByte};
    return r.functionWrite(kTypeOneCode, f) && r.end();
  }
  if (!r.focus(FocusMode::Manual)) return false;
  if (!r.write(kGoToSteps, rec.zoomPosition) || !r.write(kGoToControl, kGoToStart)) return false;
  if (r.afArea() && rec.afAreaWord != 0 && !r.write(kAfAreaOn, 1)) return false;
  if (!r.write(kLensWord1, rec.lensWord1) || !r.write(kLensWord2, rec.lensWord2) ||
      !r.write(kTrackingWord1, rec.trackingWord1) || !r.write(kTrackingWord2, rec.trackingWord2) ||
      !r.write(kTrackingWord3, rec.trackingWord3) || !r.write(kTrackingByte, rec.trackingByte))
    return false;
  if (r.afArea() && !r.write(kAfArea, rec.afAreaWord)) return false;
  if (!r.write(kFocusTarget, rec.focusPosition)) return false;
  const core::Deadline arrival(r.ctx.clock, kArrivalLimit);  // T0
  if (r.ctx.arrivalMessage) {
    r.line(texts::kArrivalLine);
    const bool asked = r.ctx.activeExec ? r.write(kArrivalRequest, 1)
                                       : !r.stopped() &&
                                             r.cam.eap().writeByteHash(kGoToControl.eapRegister, u8(kGoToStart));
    if (!asked) return false;
    r.takeArrival(arrival);  // a time-out goes on quietly
  } else {
    const auto equals = [&r](const camera::Setting& s, std::uint16_t want) {
      return [&r, &s, want]() -> std::optional<bool> {
        std::uint16_t v = 0;
        if (!r.read(s, v)) return std::nullopt;
        return v == want;
      };
    };
    Outcome o = r.waitFor(arrival, equals(kZoomPosition, rec.zoomPosition));
    if (o == Outcome::Error || o == Outcome::Stopped) return false;
    if ((r.ctx.model.optionWord & 0x08u) != 0) {
      o = r.waitFor(core::Deadline(r.ctx.clock, kFocusArrivalLimit), equals(kFocusPosition, rec.focusPosition));
      if (o == Outcome::Error || o == Outcome::Stopped) return false;
    }
  }
  if (!r.write(kGoToControl, kGoToEnd)) return false;
  if (r.ctx.model.modelCode < kOldModels) {
    std::uint16_t before = 0;
    if (!r.update(kTrackingHold, kTrackingHoldBit, 0) || !r.read(kTrackingBase, before) ||
        !r.write(kTrackingBase, rec.zoomTrackingBase))
      return false;
    const bool below = before <= rec.zoomTrackingBase;
    if (!r.update(kTrackingSide, below ? kTrackingSideBit : 0, below ? 0 : kTrackingSideBit)) return false;
  }
  return r.end();
}

// ---- TYPE II

bool storeTypeTwo(Run& r, camera::PresetRecord& rec) {
  std::uint16_t z = 0, tele = 0, wide = 0;
  bool manual = false;
  if (!r.read(kZoomPosition, z) || !r.read(kTeleLimit, tele)) return false;
  rec.afAreaWord = 0;
  if (r.afArea() && !r.read(kAfArea, rec.afAreaWord)) return false;
  if (!r.readManual(manual)) return false;
  if (!r.focus(FocusMode::Auto) || !r.update(kZoomSpeedBits, 0, kSpeedBits)) return false;
  if (r.afArea() && !r.write(kAfAreaOn, 0)) return false;
  if (r.afp() && !r.write(camera::kZoomSpeedSetting, kHighZoomSpeed)) return false;
  LimitsGuard limits(r);
  limits.keep(std::nullopt, std::nullopt);  // from the first drive on, a way out stops the lens
  const auto driveAndWait = [&r, z, tele](ProtocolValue code) {
    if (!r.drive(code)) return false;
    if (z != tele && !r.waitDrive()) return false;
    if (!r.stopDrive()) return false;
    r.zoomCueCheck();
    return true;
  };
  if (!driveAndWait(kZoomTeleDrive.start)) return false;
  if (!r.pause(kSettleWait) || !r.focus(FocusMode::Manual)) return false;
  if (!r.read(kWideLimit, wide)) return false;
  limits.keep(wide, std::nullopt);
  if (!r.write(kWideLimit, z) || !driveAndWait(kZoomWideDrive.start)) return false;
  if (!r.write(kWideLimit, wide)) return false;
  limits.release();  // the drive has stopped and the limit is back
  if (r.afp()) {
    std::vector<std::uint32_t> f;
    if (!r.functionRead(kTypeTwoCode, f, 5)) return false;
    rec.zoomPosition = u16(f[0]);
    rec.trackingWord1 = u16(f[1]);
    rec.trackingWord2 = u16(f[2]);
    rec.trackingWord3 = u16(f[3]);
    rec.trackingByte = u8(f[4]);
  } else if (!r.read(kZoomPosition, rec.zoomPosition) || !r.read(kTrackingWord1, rec.trackingWord1) ||
             !r.read(kTrackingWord2, rec.trackingWord2) || !r.read(kTrackingWord3, rec.trackingWord3) ||
             !r.read(kTrackingByte, rec.trackingByte)) {
    return false;
  }
  rec.afReference = 0xFF;
  if (r.afArea() && (!r.write(kAfArea, rec.afAreaWord) || !r.read(kAfReference, rec.afReference))) return false;
  rec.afSpeed = camera::presetAfSpeed(rec.afReference);
  if (!r.focus(manual ? FocusMode::Manual : FocusMode::Auto)) return false;
  return r.end();
}

bool recallTypeTwo(Run& r, const camera::PresetRecord& rec) {
  using camera::kNoAfSpeed;
  if (r.afArea()) {
    std::uint8_t reference = 0;
    if (!r.read(kAfReference, reference) ||
        !r.write(kAfSpeed, reference < 0xFF ? camera::presetAfSpeed(reference) : kNoAfSpeed) ||
        !r.update(kAfSpeedHold, kAfSpeedHoldBit, 0) || !r.write(kAfArea, 0) || !r.write(kAfAreaOn, 0))
      return false;
  }
  std::uint8_t unit = 0;
  std::uint16_t wide = 0, tele = 0;
  if (!r.read(kZoomUnit, unit) || !r.read(kWideLimit, wide) || !r.read(kTeleLimit, tele) ||
      !r.update(kZoomSpeedBits, kSpeedFixBit, 0x08))
    return false;
  if (!r.write(kTrackingLoad, kTrackingLoadOn)) return false;
  if (r.afp()) {
    const std::array<std::uint32_t, 5> f{rec.zoomPosition, rec.trackingWord1, rec.trackingWord2, rec.trackingWord3,
                                         rec.trackingByte};
    if (!r.functionWrite(kTypeTwoCode, f)) return false;
  } else if (!r.write(kTrackingWord1, rec.trackingWord1) || !r.write(kTrackingWord2, rec.trackingWord2) ||
             !r.write(kTrackingWord3, rec.trackingWord3) || !r.write(kTrackingByte, rec.trackingByte)) {
    return false;
  }
  if (!r.write(kTrackingLoad, 0)) return false;
  std::uint16_t now = 0;
  if (!r.read(kZoomPosition, now)) return false;
  const auto z = static_cast<std::int16_t>(now);
  const auto s = static_cast<std::int16_t>(rec.zoomPosition);
  bool drive = true;
  if (r.afArea()) {
    std::uint8_t speed = 0;
    if (!r.read(kAfSpeed, speed)) return false;
    if (speed != kNoAfSpeed && rec.afSpeed != kNoAfSpeed) {
      if (!r.write(kAfSpeed, rec.afSpeed)) return false;
      drive = false;
    } else if (rec.afSpeed == kNoAfSpeed && speed != kNoAfSpeed) {
      if (!r.update(kAfSpeedHold, 0, kAfSpeedHoldBit) || !r.write(kAfSpeed, kNoAfSpeed)) return false;
    }
  }
  LimitsGuard limits(r);
  if (drive && z != s) {
    const bool tow = z > s;  // F714 counts down toward tele
    limits.keep(wide, tele);
    if (!r.write(tow ? kTeleLimit : kWideLimit, rec.zoomPosition)) return false;
    const ProtocolValue code = tow ? kZoomTeleDrive.start : kZoomWideDrive.start;
    // In AFP the receive thread takes every byte the camera sends: no arrival message there.
    const bool arrival = r.ctx.arrivalMessage && !r.afp();
    if (arrival && !r.ctx.activeExec) {
      if (!r.driveAskingArrival(code)) return false;
    } else if (!r.drive(code) || (arrival && !r.write(kArrivalRequest, 2))) {
      return false;
    }
    if (!arrival) {
      if (!r.waitDrive() || !r.stopDrive()) return false;
      r.zoomCueCheck();
    } else {
      r.line(texts::kArrivalLine);
      r.takeArrival(core::Deadline(r.ctx.clock, kArrivalLimit));
      if (r.stopped() || !r.stopDrive()) return false;
      r.zoomCueCheck();
      std::uint16_t at = 0;
      if (!r.read(kZoomPosition, at)) return false;
      if (at == u16(4u * unit) && rec.afSpeed != kNoAfSpeed &&
          (!r.write(kAfSpeed, rec.afSpeed) || !r.update(kAfSpeedHold, kAfSpeedHoldBit, 0)))
        return false;
    }
  }
  r.line(texts::kReturnValue);
  if (!r.write(kWideLimit, wide) || !r.write(kTeleLimit, tele)) return false;
  limits.release();
  if (r.afArea() && (!r.update(kAfSpeedHold, 0, kAfSpeedHoldBit) || !r.write(kAfAreaOn, 1) ||
                     !r.write(kAfArea, rec.afAreaWord) || !r.write(kAfSpeed, kNoAfSpeed)))
    return false;
  if (!r.update(kZoomSpeedBits, 0, kSpeedBits)) return false;
  return r.end();
}

}  // namespace

std::string launcherHeading(PresetType type, bool memory, std::size_t n) {
  std::string out(type == PresetType::One ? "TYPE I " : "TYPE II ");
  out += memory ? "Memory" : "Preset";
  out += static_cast<char>('1' + n);
  return out;
}

bool storeLauncherPreset(const LauncherRunContext& run, PresetType type, camera::PresetRecord& record,
                         std::stop_token stop) {
  Run r(run, std::move(stop));
  return type == PresetType::One ? storeTypeOne(r, record) : storeTypeTwo(r, record);
}

bool recallLauncherPreset(const LauncherRunContext& run, PresetType type, const camera::PresetRecord& record,
                          std::stop_token stop) {
  Run r(run, std::move(stop));
  return type == PresetType::One ? recallTypeOne(r, record) : recallTypeTwo(r, record);
}

}  // namespace orva::panels::preset
