#include "panels/camera_condition.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "camera/setting.hpp"
#include "panels/lens/lens_readout.hpp"

namespace orva::panels {
namespace {

namespace t = condition_texts;
using camera::ModelRecord;

constexpr std::uint16_t family(const ModelRecord& r) { return static_cast<std::uint16_t>(r.modelCode & 0xF0u); }
constexpr bool bit(unsigned value, int n) { return ((value >> n) & 1u) != 0; }

constexpr bool isOneOf(std::uint16_t v, std::initializer_list<std::uint16_t> values) {
  return std::find(values.begin(), values.end(), v) != values.end();
}

// The three models whose shutter counts in the rate of their clock setting.
constexpr bool clockedModel(std::uint16_t code) { return isOneOf(code, {0x9F0, 0x9F1, 0x17F0}); }
// The family whose rate is 25 or 30 by its camera mode.
constexpr bool rate25or30Model(std::uint16_t code) { return code >= 0x13F0 && code <= 0x16F0 && (code & 0xFF) == 0xF0; }

// ---- shutter tables

constexpr std::array<std::string_view, 7> k60Rate{"1/60", "1/30", "1/15", "1/8", "1/4", "1/2", "1/1"};
constexpr std::array<std::string_view, 7> k50Rate{"1/50", "1/25", "1/12", "1/6", "1/3", "1/1.5", "1/0.75"};
constexpr std::array<std::string_view, 4> k30Rate{"1/30", "1/15", "1/8", "1/4"};
constexpr std::array<std::string_view, 6> k25RateModel{"1/25", "1/12", "1/6", "1/3", "1/1.5", "1/0.75"};
// The clock setting's rates, by clock selector 1 to 6; "～" is the full-width wave dash.
constexpr std::array<std::string_view, 5> kClock25{"～1/25", "1/25～1/13", "1/13～1/7", "1/7～1/4", "1/4～1/2"};
constexpr std::array<std::string_view, 4> kClock16{"～1/16.7", "1/16.7～1/8", "1/8～1/4", "1/4～1/2"};
constexpr std::array<std::string_view, 5> kClock30{"～1/30", "1/30～1/15", "1/15～1/8", "1/8～1/4", "1/4～1/2"};
constexpr std::array<std::string_view, 5> kClock20{"～1/20", "1/20～1/10", "1/10～1/5", "1/5～1/4", "1/4～1/2"};
constexpr std::array<std::string_view, 5> kClock22{"～1/22.5", "1/22.5～1/11", "1/11～1/6", "1/6～1/4", "1/4～1/2"};
constexpr std::array<std::string_view, 4> kClock15{"～1/15", "1/15～1/7", "1/7～1/4", "1/4～1/2"};

ShutterFrame clockFrame(int selector) {
  switch (selector) {
    case 1: return {25.0, kClock25};
    case 2: return {16.7, kClock16};
    case 3: return {30.0, kClock30};
    case 4: return {20.0, kClock20};
    case 5: return {22.5, kClock22};
    case 6: return {15.0, kClock15};
    default: return {};
  }
}

struct Snap {
  int low, high, shown;
};

constexpr std::array<Snap, 10> kSnapNtsc{{{61, 99, 100},
                                          {101, 119, 120},
                                          {121, 179, 180},
                                          {181, 249, 250},
                                          {251, 499, 500},
                                          {501, 999, 1000},
                                          {1001, 1999, 2000},
                                          {2001, 3999, 4000},
                                          {4001, 9999, 10000},
                                          {10001, 30499, 30000}}};
constexpr std::array<Snap, 12> kSnapNtsc25or30{{{31, 51, 30},
                                                {52, 58, 50},
                                                {59, 98, 60},
                                                {99, 118, 100},
                                                {119, 188, 120},
                                                {189, 248, 180},
                                                {249, 497, 250},
                                                {498, 993, 500},
                                                {994, 1982, 1000},
                                                {1983, 4131, 2000},
                                                {4132, 10378, 4000},
                                                {10379, INT_MAX, 10000}}};
constexpr std::array<Snap, 10> kSnapPal{{{51, 99, 100},
                                         {101, 119, 120},
                                         {121, 149, 150},
                                         {151, 249, 250},
                                         {251, 499, 500},
                                         {501, 999, 1000},
                                         {1001, 1999, 2000},
                                         {2001, 3999, 4000},
                                         {4001, 9999, 10000},
                                         {10001, 30499, 30000}}};
constexpr std::array<Snap, 12> kSnapPal25or30{{{26, 51, 30},
                                               {52, 58, 50},
                                               {59, 98, 60},
                                               {99, 118, 100},
                                               {119, 188, 120},
                                               {189, 249, 180},
                                               {250, 497, 250},
                                               {498, 994, 500},
                                               {995, 1984, 1000},
                                               {1985, 4136, 2000},
                                               {4137, 10390, 4000},
                                               {10391, INT_MAX, 10000}}};

std::optional<int> snapIn(std::span<const Snap> table, int speed) {
  for (const Snap& s : table)
    if (speed >= s.low && speed <= s.high) return s.shown;
  return std::nullopt;
}

}  // namespace

// ---- layout

bool layoutNeedsClockByte(const ModelRecord& r) { return clockedModel(r.modelCode) && bit(r.panelByte2, 1); }

ConditionLayout conditionLayout(const ModelRecord& r, std::optional<std::uint8_t> clockByte) {
  ConditionLayout l;
  l.zoom = true;
  l.focus = true;
  l.exposure = true;  // every model shows its F value
  auto dssGroup = [&l] { l.dssCaption = l.dssButtons = true; };
  switch (family(r)) {
    case 0x30:
      dssGroup();
      l.shutterField = true;
      break;
    case 0x50:
      l.dssButtons = l.irCut = true;
      break;
    case 0x60:
      dssGroup();
      l.wdr = l.irCut = true;
      break;
    case 0x70:
    case 0xB0:
      dssGroup();
      l.wdr = l.irCut = l.reverse = l.freeze = true;
      break;
    case 0x80:
    case 0xA0:
    case 0xE0:
      dssGroup();
      l.reverse = l.freeze = true;
      l.reverseCaption = t::kMirrorGroup;
      break;
    case 0xC0:
      dssGroup();
      l.reverse = l.freeze = true;
      break;
    case 0x90:
    case 0xD0:
      l.reverse = true;
      l.reverseCaption = t::kMosaicGroup;
      l.dssCaption = false;
      break;
    default: break;
  }
  // Every family named above has the AGC field; older ones and the newer models go by the
  // panel bits alone.
  if (isOneOf(family(r), {0x30, 0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0})) l.agcField = true;

  const unsigned p = r.panelByte2;
  if (bit(p, 0)) {
    dssGroup();
    l.shutterField = true;
  }
  if (bit(p, 7)) l.agcField = true;
  if (bit(p, 4)) l.irCut = true;
  if (bit(p, 1)) {
    l.reverse = true;
    if (clockedModel(r.modelCode) && clockByte.value_or(0) != 0) l.reverseCaption = t::kMirrorGroup;
  } else if (bit(p, 3)) {
    l.reverse = true;
    l.reverseCaption = t::kMosaicGroup;
  } else if (bit(p, 2)) {
    l.reverse = true;
    l.reverseCaption = t::kMirrorGroup;
  }
  if (bit(p, 5)) l.wdr = true;
  if (bit(p, 6)) l.freeze = true;
  if (bit(r.menuWord, 2)) l.ccdDrive = true;
  l.digital = bit(r.panelWord2, 5);
  l.protocol = true;
  return l;
}

ConditionSteps conditionSteps(const ModelRecord& r) {
  ConditionSteps s;
  const std::uint16_t f = family(r);
  const unsigned p = r.panelByte2;
  s.shutter = r.modelCode >= 0x30 || bit(p, 0);
  s.agc = r.modelCode >= 0x30 && bit(p, 7);
  s.irCut = isOneOf(f, {0x50, 0x60, 0x70, 0xB0}) || bit(p, 4);
  s.wdr = isOneOf(f, {0x60, 0x70, 0xB0}) || bit(p, 5);
  if (isOneOf(f, {0x70, 0xB0, 0xC0})) s.reverse = ReverseKind::Reverse;
  else if (isOneOf(f, {0x80, 0xA0, 0xE0})) s.reverse = ReverseKind::Mirror;
  else if (isOneOf(f, {0x90, 0xD0})) s.reverse = ReverseKind::Mosaic;
  else if (bit(p, 1)) s.reverse = ReverseKind::Reverse;
  else if (bit(p, 3)) s.reverse = ReverseKind::Mosaic;
  else if (bit(p, 2)) s.reverse = ReverseKind::Mirror;
  s.freeze = isOneOf(f, {0x70, 0x80, 0xA0, 0xB0, 0xC0, 0xE0}) || bit(p, 6);
  s.ccdDrive = bit(r.menuWord, 2);
  return s;
}

// ---- shutter

bool readsCameraMode(std::uint16_t code) {
  const auto group = static_cast<std::uint16_t>(code & 0xFFF0u);
  return code == 0xFF0 || code == 0x18F0 || isOneOf(group, {0x19F0, 0x1AF0, 0x1BF0, 0x1CF0, 0x1DF0}) ||
         rate25or30Model(code);
}

ShutterTiming shutterTiming(const ModelRecord& r, link::Protocol protocol, bool ntscTiming,
                            std::optional<std::uint32_t> cameraMode) {
  const bool afp = protocol == link::Protocol::Afp;
  const std::uint16_t code = r.modelCode;
  ShutterTiming out;
  out.ntscTiming = ntscTiming;
  if (cameraMode && readsCameraMode(code) && !rate25or30Model(code))
    out.ntscTiming =
        afp ? !isOneOf(static_cast<std::uint16_t>(*cameraMode), {5, 6, 7, 8, 10, 17}) : bit(*cameraMode, 4);
  out.frame = out.ntscTiming ? ShutterFrame{60, k60Rate} : ShutterFrame{50, k50Rate};

  if (clockedModel(code)) {
    if (ShutterFrame f = clockFrame(r.clockSelector); !f.steps.empty()) out.frame = f;
  }
  if (rate25or30Model(code) && cameraMode) {
    const std::uint32_t mode = *cameraMode;
    if (afp && mode == 9) {
      // Mode 9 is a 30 frame mode in itself: the flag stays as the identification set it.
      out.frame = {30, k30Rate};
    } else if (afp ? mode == 10 : !bit(mode, 4)) {
      out.frame = {25, k30Rate};
      out.ntscTiming = false;
    } else {
      out.frame = {30, k30Rate};
      out.ntscTiming = true;
    }
  }
  if (code == 0x18F0) out.frame = {25, k25RateModel};
  return out;
}

bool dssOn(std::uint8_t dssFactor, std::uint16_t extraOptionWord) {
  const int d = dssFactor == 0 ? 1 : dssFactor;
  if (d == 1) return false;
  return !(bit(extraOptionWord, 5) && d == 2);
}

int snapShutterSpeed(int speed, bool ntscTiming, std::uint16_t modelCode) {
  const bool family25or30 = rate25or30Model(modelCode);
  std::optional<int> shown;
  if (ntscTiming) shown = family25or30 ? snapIn(kSnapNtsc25or30, speed) : snapIn(kSnapNtsc, speed);
  else shown = family25or30 ? snapIn(kSnapPal25or30, speed) : snapIn(kSnapPal, speed);
  if (shown == 30000 && !ntscTiming && modelCode == 0x18F0) return 28000;
  return shown.value_or(speed);
}

std::string shutterText(const ShutterTiming& timing, std::uint16_t modelCode, std::uint16_t shutter,
                        std::uint8_t dssFactor) {
  const unsigned d = dssFactor == 0 ? 1u : dssFactor;
  if (d != 1) {
    // The factor's power of two picks the step.
    const std::size_t k = static_cast<std::size_t>(std::bit_width(d)) - 1;
    const auto steps = timing.frame.steps;
    return std::string(k < steps.size() ? steps[k] : condition_texts::kUnknownStep);
  }
  // 1/32 dB per count, 960 counts at the frame rate itself.
  const double exponent = (static_cast<int>(shutter) - 960) * 0.03125 / 20.0;
  const double speed = timing.frame.rate * std::pow(10.0, exponent);
  const int truncated = speed >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(speed);
  return fmt::format("1/{}", snapShutterSpeed(truncated, timing.ntscTiming, modelCode));
}

// ---- AGC, exposure, zoom

std::string agcText(std::uint16_t gain) { return fmt::format("{}", gain >> 5); }

double baseFValue(int lensIndex) {
  switch (lensIndex) {
    case 2:
    case 3:
    case 6:
    case 22:
    case 28: return 1.6;
    case 4:
    case 5: return 1.8;
    case 7: return 1.2;
    default: return lensIndex >= 12 && lensIndex <= 18 ? 1.6 : 1.4;
  }
}

std::string fValueText(int lensIndex, std::uint16_t exposure) {
  // Half of the register's dB steps (1/32 dB each) open or close the iris from its widest.
  const auto f = static_cast<float>(baseFValue(lensIndex) * std::pow(10.0, exposure * 0.03125 / 20.0 * 0.5));
  return fmt::format("{:2.1f}", f);
}

int magnification(int zoomStep, std::optional<int> instantFactorTenths) {
  const int optical = zoomStep + 1;
  return instantFactorTenths ? optical * *instantFactorTenths / 10 : optical;
}


// ---- the readout

namespace {

using camera::Setting;

constexpr Setting kVersionRegister = camera::registerSetting(0x0106, 16);
constexpr Setting kShutterRegister = camera::registerSetting(0xFB42, 16);
constexpr Setting kDssFactorRegister = camera::registerSetting(0xFCC7, 8);
constexpr Setting kGainRegister = camera::registerSetting(0xFB38, 16);
constexpr Setting kExposureRegister = camera::registerSetting(0xFB32, 16);
constexpr Setting kIrCutState = *camera::settingFromCode(0x2201);
constexpr Setting kReverseSetting = *camera::settingFromCode(0x4103);
constexpr Setting kMirrorRegister = camera::registerSetting(0xFF3B, 8);
constexpr Setting kMosaicRegister = camera::registerSetting(0xFF3A, 8);
constexpr Setting kFreezeSetting = *camera::settingFromCode(0x4102);

// AFP values that mean "on" where AFP counts from 1.
constexpr std::uint32_t kAfpOn = 2;
constexpr std::uint32_t kAfpManualFocus = 2;

// One readout: each part writes its line, reads, and fills its fields; false ends it.
class Run {
 public:
  Run(CameraAccess& access, core::MonitorSink& monitor, const ModelRecord& r, bool ntscTiming, ConditionView& view)
      : access_(access), monitor_(monitor), r_(r), ntsc_(ntscTiming), view_(view),
        afp_(access.protocol() == link::Protocol::Afp) {}

  bool layout() {
    std::optional<std::uint8_t> clock;
    if (layoutNeedsClockByte(r_)) {
      std::uint32_t v = 0;
      if (!get(camera::kClockRegister, v)) return false;
      clock = static_cast<std::uint8_t>(v);
    }
    view_.layout = conditionLayout(r_, clock);
    return true;
  }

  bool zoom() {
    monitor_.line(condition_texts::kZoomLine);
    // The position and its step as the zoom panels read them.
    std::uint32_t p = 0;
    if (!lens::readZoomPosition(access_, r_, p)) return false;
    const int step = lens::zoomStep(r_.lensIndex, p);
    std::optional<int> factor;
    if (bit(r_.panelWord2, 5)) {
      // Whether the camera zooms digitally now, as the zoom panels tell it: the continuous
      // digital zoom setting only allows it.
      std::uint32_t active = lens::kDigitalIdle, instant = 0;
      if (!get(lens::kDigitalActiveSetting, active)) return false;
      view_.digital = active < lens::kDigitalIdle;
      if (!get(lens::kInstantZoomSetting, instant)) return false;
      if (afp_ ? instant == kAfpOn : bit(instant, 7)) {
        std::uint32_t tenths = 0;
        if (!get(lens::kInstantMaxSetting, tenths)) return false;
        view_.digital = true;
        factor = static_cast<int>(tenths);
      }
    }
    view_.magnification = fmt::format("{}", magnification(step, factor));
    return true;
  }

  bool focus() {
    monitor_.line(condition_texts::kFocusLine);
    std::uint32_t v = 0;
    if (!get(camera::kFocusModeSetting, v)) return false;
    view_.manualFocus = afp_ ? v == kAfpManualFocus : bit(v, 3);
    return true;
  }

  bool shutter() {
    monitor_.line(condition_texts::kShutterLine);
    std::uint32_t r = 0, d = 0;
    if (!get(kShutterRegister, r) || !get(kDssFactorRegister, d)) return false;
    std::optional<std::uint32_t> mode;
    if (readsCameraMode(r_.modelCode)) {
      std::uint32_t m = 0;
      if (!get(camera::kCameraModeSetting, m)) return false;
      mode = m;
    }
    const ShutterTiming timing = shutterTiming(r_, access_.protocol(), ntsc_, mode);
    if (mode) view_.ntscTiming = timing.ntscTiming;
    const auto factor = static_cast<std::uint8_t>(d);
    view_.dssOn = dssOn(factor, r_.extraOptionWord);
    view_.shutter = shutterText(timing, r_.modelCode, static_cast<std::uint16_t>(r), factor);
    view_.layout.shutterLabels = true;
    return true;
  }

  bool agc() {
    monitor_.line(condition_texts::kAgcLine);
    std::uint32_t v = 0;
    if (!get(kGainRegister, v)) return false;
    view_.agc = agcText(static_cast<std::uint16_t>(v));
    view_.layout.agcLabels = true;
    return true;
  }

  bool exposure() {
    monitor_.line(condition_texts::kExposureLine);
    std::uint32_t v = 0;
    if (!get(kExposureRegister, v)) return false;
    view_.fValue = fValueText(r_.lensIndex, static_cast<std::uint16_t>(v));
    return true;
  }

  bool irCut() {
    monitor_.line(condition_texts::kIrCutLine);
    std::uint32_t v = 0;
    if (!get(kIrCutState, v)) return false;
    view_.irCutIn = v == 1;
    return true;
  }

  bool wdr() {
    monitor_.line(condition_texts::kWdrLine);
    const Setting s{0x3201, 0, static_cast<std::uint16_t>(bit(r_.panelWord3, 15) ? 0xFF4C : 0xFF32), 8};
    std::uint32_t v = 0;
    if (!get(s, v)) return false;
    view_.wdrOn = afp_ ? v == kAfpOn : v == 1;
    return true;
  }

  bool reverse(ReverseKind kind) {
    std::uint32_t v = 0;
    switch (kind) {
      case ReverseKind::None: return true;
      case ReverseKind::Reverse:
        monitor_.line(condition_texts::kReverseLine);
        if (!get(kReverseSetting, v)) return false;
        view_.reverseOn = afp_ ? v == kAfpOn : v == 1;
        return true;
      case ReverseKind::Mirror:
        monitor_.line(condition_texts::kMirrorLine);
        if (!get(kMirrorRegister, v)) return false;
        view_.reverseOn = v == 1;
        return true;
      case ReverseKind::Mosaic:
        monitor_.line(condition_texts::kMosaicLine);
        if (!get(kMosaicRegister, v)) return false;
        view_.reverseOn = v == 1;
        return true;
    }
    return true;
  }

  bool freeze() {
    monitor_.line(condition_texts::kFreezeLine);
    std::uint32_t v = 0;
    if (!get(kFreezeSetting, v)) return false;
    view_.freezeOn = afp_ ? v != 1 : v != 0;
    return true;
  }

  bool ccdDrive() {
    view_.layout.ccdDrive = true;
    monitor_.line(condition_texts::kCcdDriveLine);
    std::uint32_t v = 0;
    if (!get(camera::kDriveModeRegister, v)) return false;
    view_.interlace = bit(v, 0);
    return true;
  }

 private:
  bool get(const Setting& s, std::uint32_t& value) { return access_.read(s, value); }

  CameraAccess& access_;
  core::MonitorSink& monitor_;
  const ModelRecord& r_;
  bool ntsc_;
  ConditionView& view_;
  bool afp_;
};

}  // namespace

ConditionView ConditionReadout::read(const ModelRecord& record, bool ntscTiming, bool portOpen) {
  ConditionView view;
  if (!portOpen) {
    view.outcome = ConditionOutcome::PortClosed;
    return view;
  }
  // The readout holds the line for its whole length, as any run does.
  auto claim = runner_.claim();
  if (!claim) return view;
  {
    core::EchoModeScope quiet(monitor_, core::EchoMode::Hidden);
    std::uint32_t version = 0;
    if (!access_.read(kVersionRegister, version)) return view;
  }
  view.outcome = ConditionOutcome::Read;
  monitor_.heading(condition_texts::kHeading);
  Run run(access_, monitor_, record, ntscTiming, view);
  const ConditionSteps steps = conditionSteps(record);
  const bool complete = run.layout() && run.zoom() && run.focus() && (!steps.shutter || run.shutter()) &&
                        (!steps.agc || run.agc()) && run.exposure() && (!steps.irCut || run.irCut()) &&
                        (!steps.wdr || run.wdr()) && run.reverse(steps.reverse) && (!steps.freeze || run.freeze()) &&
                        (!steps.ccdDrive || run.ccdDrive());
  if (complete) {
    view.protocol = access_.protocol();
    view.complete = true;
  }
  return view;
}

// ---- placement

namespace {

int width(const Rect& r) { return r.right - r.left; }
int height(const Rect& r) { return r.bottom - r.top; }

Rect at(Point p, Size s) { return {p.x, p.y, p.x + s.width, p.y + s.height}; }

long long overlapArea(const Rect& a, const Rect& b) {
  const long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
  const long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

bool inside(const Rect& r, const Rect& screen) {
  return r.left >= screen.left && r.top >= screen.top && r.right <= screen.right && r.bottom <= screen.bottom;
}

Point clampInto(Point p, Size s, const Rect& screen) {
  p.x = std::max(screen.left, std::min(p.x, screen.right - s.width));
  p.y = std::max(screen.top, std::min(p.y, screen.bottom - s.height));
  return p;
}

}  // namespace

Point conditionWindowPosition(const ConditionPlacement& p, Size window) {
  const Rect main = p.main.maximised ? p.screen : p.main.normal;
  const Point home = p.main.maximised ? Point{p.screen.right - kConditionRightGap - window.width, p.screen.top}
                                      : Point{main.right - kConditionRightGap - window.width, main.top};
  const long long mainArea = static_cast<long long>(width(main)) * height(main);
  if (overlapArea(at(home, window), main) * 4 <= mainArea) return clampInto(home, window, p.screen);

  std::vector<Point> spots;
  if (p.launcher) {
    spots.push_back({p.launcher->right, p.launcher->top});
    spots.push_back({p.launcher->left, p.launcher->bottom});
  }
  spots.push_back({main.right, main.top});
  spots.push_back({main.left - window.width, main.top});
  for (Point spot : spots) {
    const Rect r = at(spot, window);
    if (inside(r, p.screen) && overlapArea(r, main) == 0 && (!p.launcher || overlapArea(r, *p.launcher) == 0))
      return spot;
  }
  return clampInto(home, window, p.screen);
}

}  // namespace orva::panels
