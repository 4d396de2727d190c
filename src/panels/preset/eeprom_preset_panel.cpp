// EEPROM PRESET: "Memory" n copies the lens state into record n of the camera's 0x1700 table
// as TYPE I or TYPE II, "Preset" n has the camera run it; the easy presets keep a lens state in
// the tool and run it through the camera's load area; Goto ZOOM 2 goes to a zoom value; MOSAIC
// and Instant FADE switch the picture. Every run goes on the operation slot, and the keys that
// start one are let go while the slot is taken.
//
// A memory key is ticked only once its record has been stored: a store that fails leaves it
// unticked, with the opposite type's key as it was. On open the keys are ticked from the 14
// records' type bytes (1 TYPE I, 2 TYPE II), so the panel shows what the camera holds.
#include <fmt/format.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "panels/preset/eeprom_preset_panel.hpp"
#include "panels/preset/eeprom_preset_run.hpp"
#include "panels/preset/preset_lens_part.hpp"

namespace orva::panels::preset::eeprom {
namespace {

namespace T = texts;
using P = link::Protocol;

constexpr camera::Setting kMosaicSetting = reg8(0xFF3A);
constexpr camera::Setting kFadeSetting = reg8(0xFA21);
constexpr ProtocolValue kFadeOn{1, 2};
constexpr ProtocolValue kFadeOff{0, 1};
constexpr ProtocolValue kContinuousOn{1, 2};
constexpr std::uint16_t kGotoZoom2Word = 0x0800;
constexpr std::uint16_t kEasyTypeOneWord = 0x8101;
constexpr std::uint16_t kEasyTypeTwoWord = 0x8201;

// The easy preset load area: where each record field goes, in the order it is written.
struct LoadField {
  std::uint16_t address;
  int word;  // index into LensRecord::words; -1 the tracking byte, -2 the type
};
constexpr LoadField kTypeOneLoad[] = {{0xF800, 0}, {0xF802, 1}, {0xF804, 2}, {0xF806, 3}, {0xF808, 4},
                                      {0xF80A, 5}, {0xF80C, 6}, {0xF80E, 7}, {0xF810, -1}, {0xF811, -2}};
constexpr LoadField kTypeTwoLoad[] = {{0xF802, 1}, {0xF808, 4},  {0xF80A, 5}, {0xF80C, 6},
                                      {0xF810, -1}, {0xF80E, 7}, {0xF811, -2}};

bool loadEasyPreset(CameraAccess& camera, const LensRecord& r) {
  const std::span<const LoadField> fields = r.type == kTypeOne ? std::span<const LoadField>(kTypeOneLoad)
                                                               : std::span<const LoadField>(kTypeTwoLoad);
  for (const LoadField& f : fields) {
    const bool ok = f.word >= 0  ? camera.write(reg16(f.address), r.words[static_cast<std::size_t>(f.word)])
                    : f.word == -1 ? camera.write(reg8(f.address), r.trackingByte)
                                   : camera.write(reg8(f.address), r.type);
    if (!ok) return false;
  }
  return true;
}

// Mosaic is refused on these families while continuous digital zoom is on.
bool mosaicNeedsZoomOff(const camera::ModelRecord& m) {
  return (m.modelCode >= 0x90 && m.modelCode <= 0x9F) || (m.modelCode >= 0xD0 && m.modelCode <= 0xDF);
}

// "Value (0-FF) :": up to two hex digits.
std::optional<std::uint32_t> zoomValueOf(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty() || text.size() > 2) return std::nullopt;
  return parseEntry(Format::Hex2, text);
}

// "H Size" / "V Size": two decimal digits.
std::optional<std::uint32_t> sizeOf(std::string_view text) {
  const auto v = parseEntry(Format::Decimal, text);
  if (!v || *v > 99) return std::nullopt;
  return lens_part::bcd(static_cast<int>(*v));
}

class EepromPresetPanel final : public PresetLensPart {
 public:
  EepromPresetPanel(PanelContext& context, PanelView& view)
      : PresetLensPart(eepromPresetDescription(), context, view) {}

 protected:
  bool readOnOpen() override {
    if (!readLens()) return false;
    for (int n = 1; n <= kRecords; ++n) {
      std::uint8_t type = kRecordEmpty;
      if (!readRecordType(context().camera, kTypeOneTable, n, type)) return false;
      showRecord(n, type == kTypeOne || type == kTypeTwo ? type : kRecordEmpty);
    }
    for (std::size_t k = 0; k < ToolPresets::kEasyPresets; ++k)
      setControlEnabled(static_cast<ControlId>(kEasyPreset1 + k), easy()[k].has_value());
    return true;
  }

  bool handle(const Intent& in) override {
    if (handleLens(in)) return true;
    const ControlId c = in.control;
    if (in.kind == Intent::Kind::Toggle && c >= kTypeOneMemory1 && c < kTypeOneMemory1 + kRecords) {
      memory(kTypeOne, c - kTypeOneMemory1 + 1);
      return true;
    }
    if (in.kind == Intent::Kind::Toggle && c >= kTypeTwoMemory1 && c < kTypeTwoMemory1 + kRecords) {
      memory(kTypeTwo, c - kTypeTwoMemory1 + 1);
      return true;
    }
    if (in.kind == Intent::Kind::Click && c >= kPreset1 && c < kPreset1 + kRecords) {
      preset(c - kPreset1 + 1);
      return true;
    }
    if (in.kind == Intent::Kind::Click && c >= kEasyMemory1 && c < kEasyMemory1 + 4) {
      easyMemory(static_cast<std::size_t>(c - kEasyMemory1));
      return true;
    }
    if (in.kind == Intent::Kind::Click && c >= kEasyPreset1 && c < kEasyPreset1 + 4) {
      easyPreset(static_cast<std::size_t>(c - kEasyPreset1));
      return true;
    }
    switch (c) {
      case kGotoZoom2:
        if (in.kind == Intent::Kind::Edit || in.kind == Intent::Kind::Enter) zoomValueText_ = in.text;
        if (in.kind == Intent::Kind::Enter) view().setText(kGotoZoom2, zoomValueText_);
        return in.kind == Intent::Kind::Enter;
      case kGotoZoom2Start:
        if (in.kind == Intent::Kind::Click) gotoZoom2();
        return in.kind == Intent::Kind::Click;
      case kMosaic:
        if (in.kind == Intent::Kind::Toggle) mosaic();
        return in.kind == Intent::Kind::Toggle;
      case kFade:
        if (in.kind == Intent::Kind::Toggle) fade();
        return in.kind == Intent::Kind::Toggle;
      case kHSize:
      case kVSize:
        if (in.kind == Intent::Kind::Enter) size(c, in.text);
        return in.kind == Intent::Kind::Enter;
      default: return false;
    }
  }

 private:
  static ControlId memoryKey(std::uint8_t type, int n) {
    return static_cast<ControlId>((type == kTypeOne ? kTypeOneMemory1 : kTypeTwoMemory1) + n - 1);
  }
  static ControlId presetKey(int n) { return static_cast<ControlId>(kPreset1 + n - 1); }
  static std::uint8_t other(std::uint8_t type) { return type == kTypeOne ? kTypeTwo : kTypeOne; }

  // Record n as the camera holds it: ticked for its type, the other type's key disabled.
  void showRecord(int n, std::uint8_t type) {
    const auto i = static_cast<std::size_t>(n - 1);
    types_[i] = type;
    const bool stored = type != kRecordEmpty;
    present(memoryKey(kTypeOne, n), type == kTypeOne ? 1 : 0);
    present(memoryKey(kTypeTwo, n), type == kTypeTwo ? 1 : 0);
    setControlEnabled(memoryKey(kTypeOne, n), type != kTypeTwo);
    setControlEnabled(memoryKey(kTypeTwo, n), type != kTypeOne);
    setControlEnabled(presetKey(n), stored);
  }

  void memory(std::uint8_t type, int n) {
    const auto i = static_cast<std::size_t>(n - 1);
    auto& ctx = context();
    if (!offered(memoryKey(type, n)) || ctx.runner.busy()) {
      showRecord(n, types_[i]);
      return;
    }
    if (types_[i] == type) {
      // Unticking: one write of the empty type, no run.
      const auto claim = ctx.runner.claim();
      if (claim && clearRecord(ctx.camera, kTypeOneTable, n)) showRecord(n, kRecordEmpty);
      else showRecord(n, types_[i]);
      return;
    }
    // The key stays unticked until the record is in.
    showRecord(n, types_[i]);
    Operation op;
    op.heading = fmt::format(fmt::runtime(type == kTypeOne ? T::kTypeOneMemoryHeading : T::kTypeTwoMemoryHeading), n);
    op.body = [this, &ctx, type, n](const OperationRun& run) {
      LensRecord record;
      if (readLensState(ctx.camera, ctx.model, type, record) &&
          writeLensRecord(ctx.camera, kTypeOneTable, n, record))
        run.report([this, n, type] { showRecord(n, type); });
      return Outcome::Silent;
    };
    startOperation(std::move(op));
  }

  void preset(int n) {
    auto& ctx = context();
    if (!offered(presetKey(n)) || ctx.runner.busy()) return;
    Operation op;
    op.heading = fmt::format(fmt::runtime(T::kPresetHeading), n);
    op.name = fmt::format(fmt::runtime(T::kPresetName), n);
    op.body = [&ctx, n, wait = commandWait(kArrivalEepromPreset)](const OperationRun& run) {
      std::uint8_t type = kRecordEmpty;
      if (!readRecordType(ctx.camera, kTypeOneTable, n, type)) return Outcome::Error;
      // Only a stored record runs; anything else ends without a word.
      if (type != kTypeOne && type != kTypeTwo) return Outcome::Silent;
      const auto word = static_cast<std::uint16_t>((type << 8) + n);
      return runPresetCommand(ctx.camera, ctx.monitor, ctx.clock, run, word, wait);
    };
    op.refresh = lensRefresh();
    startOperation(std::move(op));
  }

  static std::uint8_t easyType(std::size_t k) { return k < kEasyPerType ? kTypeOne : kTypeTwo; }

  void easyMemory(std::size_t k) {
    auto& ctx = context();
    const auto key = static_cast<ControlId>(kEasyMemory1 + k);
    if (!offered(key) || ctx.runner.busy()) return;
    Operation op;  // a quiet run: the state is the tool's
    op.body = [this, &ctx, k](const OperationRun& run) {
      LensRecord record;
      if (readLensState(ctx.camera, ctx.model, easyType(k), record))
        run.report([this, k, record] {
          easy()[k] = record;
          setControlEnabled(static_cast<ControlId>(kEasyPreset1 + k), true);
        });
      return Outcome::Silent;
    };
    startOperation(std::move(op));
  }

  void easyPreset(std::size_t k) {
    auto& ctx = context();
    const auto key = static_cast<ControlId>(kEasyPreset1 + k);
    if (!offered(key) || ctx.runner.busy() || !easy()[k]) return;
    const LensRecord record = *easy()[k];
    Operation op;
    op.heading = T::kEasyPresetHeading;
    op.name = fmt::format(fmt::runtime(T::kEasyPresetName), k % kEasyPerType + 1);
    // Easy presets never wait for the arrival message.
    op.body = [&ctx, record](const OperationRun& run) {
      if (!loadEasyPreset(ctx.camera, record)) return Outcome::Error;
      const std::uint16_t word = record.type == kTypeOne ? kEasyTypeOneWord : kEasyTypeTwoWord;
      return runPresetCommand(ctx.camera, ctx.monitor, ctx.clock, run, word, CommandWait{});
    };
    op.refresh = lensRefresh();
    startOperation(std::move(op));
  }

  void gotoZoom2() {
    auto& ctx = context();
    if (!offered(kGotoZoom2Start) || ctx.runner.busy()) return;
    const auto v = zoomValueOf(zoomValueText_);
    if (!v) {
      view().beep();
      return;
    }
    Operation op;
    op.heading = T::kGotoZoom2Heading;
    op.name = T::kGotoZoom2;
    op.body = [&ctx, word = static_cast<std::uint16_t>(kGotoZoom2Word + *v),
               wait = commandWait(kArrivalGoToZoom)](const OperationRun& run) {
      return runPresetCommand(ctx.camera, ctx.monitor, ctx.clock, run, word, wait);
    };
    op.refresh = lensRefresh();
    startOperation(std::move(op));
  }

  // ---- MOSAIC and Instant FADE: refused while the slot is taken, the box shown as it was

  void mosaic() {
    auto& ctx = context();
    const std::uint32_t was = selected(kMosaic).value_or(0) == 1 ? 1 : 0;
    const auto claim = ctx.runner.claim();
    if (!offered(kMosaic) || !claim) {
      present(kMosaic, was);
      return;
    }
    const bool on = was == 0;
    if (on && mosaicNeedsZoomOff(ctx.model)) {
      std::uint32_t continuous = 0;
      if (!ctx.camera.read(camera::lens::kContinuousZoomSetting, continuous)) {
        present(kMosaic, was);
        return;
      }
      if (continuous == kContinuousOn.in(ctx.camera.protocol())) {
        ctx.monitor.line(T::kMosaicRefused);
        present(kMosaic, was);
        return;
      }
    }
    ctx.monitor.heading(on ? T::kMosaicOnHeading : T::kMosaicOffHeading);
    present(kMosaic, ctx.camera.write(kMosaicSetting, on ? 1u : 0u) ? (on ? 1u : 0u) : was);
  }

  void fade() {
    auto& ctx = context();
    const bool was = selected(kFade).value_or(0) == 1;
    const auto shown = [&](bool on) { present(kFade, (on ? kFadeOn : kFadeOff).in(ctx.camera.protocol())); };
    const auto claim = ctx.runner.claim();
    if (!offered(kFade) || !claim) {
      shown(was);
      return;
    }
    ctx.monitor.heading(was ? T::kFadeOffHeading : T::kFadeOnHeading);
    shown(ctx.camera.write(kFadeSetting, was ? kFadeOff : kFadeOn) ? !was : was);
  }

  void size(ControlId control, std::string_view text) {
    auto& ctx = context();
    const auto before = number(control);
    const auto claim = ctx.runner.claim();
    if (!offered(control) || !claim) {
      if (before) present(control, *before);
      return;
    }
    const auto value = sizeOf(text);
    if (!value) {
      view().beep();
      if (before) present(control, *before);
      return;
    }
    if (before && *before == *value) return;  // unchanged: nothing goes out
    const camera::Setting s = reg8(control == kHSize ? 0xFF3C : 0xFF3D);
    if (ctx.camera.write(s, *value)) present(control, *value);
    else if (before) present(control, *before);
  }

  decltype(ToolPresets::easy)& easy() { return host().toolPresets().easy; }

  std::array<std::uint8_t, kRecords> types_{};
  std::string zoomValueText_;
};

}  // namespace

std::unique_ptr<PanelLogic> makeEepromPresetPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<EepromPresetPanel>(context, view);
}

}  // namespace orva::panels::preset::eeprom
