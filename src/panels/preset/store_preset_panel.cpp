// EEPROM Store Preset: the 64 records of the camera's store table. "Memory" n stores the lens
// state into record n (the tool copies the registers as TYPE I or TYPE II, or the camera
// stores it itself) or deletes it; "Preset" n runs it; "All Data Clear" empties the table.
//
// A key is ticked while its record holds a lens state: on open from the records' type bytes,
// and after a store or delete only as far as the camera took it (a failed store leaves the key
// unticked, a failed delete ticked). Runs hold the operation slot; "Abort" asks the preset run
// to brake the lens, or the clear to stop between two words.
#include <fmt/format.h>

#include <array>
#include <string>

#include "core/monitor_sink.hpp"
#include "panels/preset/preset_lens_part.hpp"
#include "panels/preset/store_preset_panels.hpp"

namespace orva::panels::preset {

namespace {

// The run word of record n of type `recordType`: TYPE I and TYPE II as they are; one the
// camera stored runs as TYPE I when the "TYPE :" list shows its first entry, else as TYPE II;
// none for an empty or unknown type.
std::optional<std::uint16_t> storeRunWord(int n, std::uint8_t recordType, StoreKind chosen) {
  std::uint16_t type = recordType;
  if (recordType == kTypeByCamera) type = chosen == StoreKind::TypeOne ? kTypeOne : kTypeTwo;
  else if (recordType != kTypeOne && recordType != kTypeTwo) return std::nullopt;
  return static_cast<std::uint16_t>((type << 8) + n);
}

namespace T = texts;

// The eight registers "All Data Clear" zeroes after the table.
constexpr std::uint16_t kClearedRegisters = 0xF722;
constexpr int kClearedRegisterCount = 8;

class StorePresetPanel final : public PresetLensPart {
 public:
  StorePresetPanel(PanelContext& context, PanelView& view) : PresetLensPart(storePresetDescription(), context, view) {}

 protected:
  bool readOnOpen() override {
    PanelContext& ctx = context();
    for (int n = 1; n <= kStoreRecords; ++n) {
      std::uint8_t type = 0;
      if (!readRecordType(ctx.camera, kStoreTable, n, type)) return false;
      setKey(n, type == kTypeOne || type == kTypeTwo || type == kTypeByCamera);
    }
    present(kStoreType, 0);
    setControlEnabled(kAbort, false);
    view().setText(kProgress, "");
    return readLens();
  }

  bool handle(const Intent& in) override {
    if (handleLens(in)) return true;
    const ControlId c = in.control;
    if (c >= kStoreMemory1 && c < kStoreMemory1 + kStoreRecords && in.kind == Intent::Kind::Toggle) {
      memory(c - kStoreMemory1 + 1);
      return true;
    }
    if (c >= kStorePreset1 && c < kStorePreset1 + kStoreRecords && in.kind == Intent::Kind::Click) {
      execute(c - kStorePreset1 + 1);
      return true;
    }
    if (in.kind != Intent::Kind::Click) return false;
    if (c == kClearAll) {
      if (offered(kClearAll)) clearAll();
      return true;
    }
    if (c == kAbort) {
      if (offered(kAbort) && running_) context().runner.requestAbort();
      return true;
    }
    return false;
  }

  void closing() override {
    if (running_) context().runner.requestStop();
    running_ = false;
  }

 private:
  static ControlId memoryKey(int n) { return static_cast<ControlId>(kStoreMemory1 + n - 1); }
  static ControlId presetKey(int n) { return static_cast<ControlId>(kStorePreset1 + n - 1); }

  StoreKind chosen() const { return static_cast<StoreKind>(selected(kStoreType).value_or(0)); }

  void setKey(int n, bool on) {
    ticked_[static_cast<std::size_t>(n - 1)] = on;
    present(memoryKey(n), on ? 1 : 0);
    setControlEnabled(presetKey(n), on);
  }

  // The wait of a camera-side store or delete.
  CommandWait cameraWait(std::string_view finishLine) {
    CommandWait wait = commandWait(kArrivalStoreDelete);
    wait.arrivalLine = finishLine;
    return wait;
  }

  void memory(int n) {
    PanelContext& ctx = context();
    if (!offered(memoryKey(n)) || ctx.runner.busy()) return;
    const bool store = !ticked_[static_cast<std::size_t>(n - 1)];
    const StoreKind kind = chosen();
    setKey(n, store);
    ctx.monitor.heading(fmt::format(fmt::runtime(store ? T::kStoreMemory : T::kStoreDelete), n));
    CameraAccess& camera = ctx.camera;
    // What the key showed before: put back when the camera did not take the change.
    const auto revert = [this, n, store] { setKey(n, !store); };
    if (kind != StoreKind::ByCamera && !store) {
      // One write of "empty" to the type byte; the fields stay as they were.
      auto claim = ctx.runner.claim();
      if (!claim || !clearRecord(camera, kStoreTable, n)) revert();
      return;
    }
    Operation op;
    if (kind == StoreKind::ByCamera) {
      const auto word = static_cast<std::uint16_t>((store ? kCameraStoreWord : kCameraDeleteWord) + n);
      op.body = [&camera, &monitor = ctx.monitor, &clock = ctx.clock, word, revert,
                 wait = cameraWait(store ? kMemoryFinishLine : kDeleteFinishLine)](const OperationRun& run) {
        const Outcome outcome = runPresetCommand(camera, monitor, clock, run, word, wait);
        if (outcome == Outcome::Done) return Outcome::Silent;
        run.report(revert);
        return outcome;
      };
    } else {
      const std::uint8_t type = kind == StoreKind::TypeOne ? kTypeOne : kTypeTwo;
      op.body = [&camera, &model = ctx.model, n, type, revert](const OperationRun& run) {
        LensRecord record;
        if (!readLensState(camera, model, type, record) || !writeLensRecord(camera, kStoreTable, n, record))
          run.report(revert);
        return Outcome::Silent;
      };
    }
    op.body = ended(std::move(op.body));
    if (startOperation(std::move(op))) running_ = true;
    else revert();
  }

  void execute(int n) {
    PanelContext& ctx = context();
    if (!offered(presetKey(n)) || ctx.runner.busy()) return;
    const StoreKind kind = chosen();
    const CommandWait wait = commandWait(kArrivalEepromPreset);
    Operation op{.heading = fmt::format(fmt::runtime(T::kStoreRun), n),
                 .name = fmt::format(fmt::runtime(T::kStoreRunName), n)};
    op.body = [&camera = ctx.camera, &monitor = ctx.monitor, &clock = ctx.clock, n, kind,
               wait](const OperationRun& run) {
      std::uint8_t type = 0;
      if (!readRecordType(camera, kStoreTable, n, type)) return Outcome::Silent;
      const auto word = storeRunWord(n, type, kind);
      // A record that holds no lens state is not run, and nothing is said.
      if (!word) return Outcome::Silent;
      return runPresetCommand(camera, monitor, clock, run, *word, wait);
    };
    op.body = ended(std::move(op.body));
    op.refresh = lensRefresh();
    if (!startOperation(std::move(op))) return;
    running_ = true;
    setControlEnabled(kAbort, true);
  }

  void clearAll() {
    PanelContext& ctx = context();
    if (ctx.runner.busy()) return;
    if (ctx.prompt.ask(T::kClearQuestion, T::kClearTitle, core::Buttons::OkCancel, core::Icon::Question) !=
        core::Answer::Ok)
      return;
    ctx.prompt.busy(true);
    Operation op{.body = [this, &camera = ctx.camera, &monitor = ctx.monitor](const OperationRun& run) {
                   int stoppedAt = 0;
                   {
                     // 576 words and eight registers: the monitor shows none of them, and is
                     // itself again however the clear ends.
                     core::EchoModeScope quiet(monitor, core::EchoMode::Hidden);
                     for (std::uint16_t a = kStoreTable; a < kStoreTableEnd; a = static_cast<std::uint16_t>(a + 2)) {
                       const int n = (a - kStoreTable) / kRecordBytes + 1;
                       if (run.stop().stop_requested()) return Outcome::Stopped;
                       if (run.takeAbort()) {
                         stoppedAt = n;
                         break;
                       }
                       if (!camera.write(reg16(a), 0xFFFF)) return Outcome::Silent;
                       if ((a - kStoreTable) % kRecordBytes == 0)
                         run.report([this, n] {
                           view().setText(kProgress, std::to_string(n));
                           setKey(n, false);
                         });
                     }
                     for (int i = 0; i < kClearedRegisterCount && stoppedAt == 0; ++i)
                       if (!camera.write(reg8(static_cast<std::uint16_t>(kClearedRegisters + i)), 0)) return Outcome::Silent;
                   }
                   if (stoppedAt != 0) {
                     monitor.line(fmt::format(fmt::runtime(T::kClearStopped), stoppedAt));
                     return Outcome::Silent;
                   }
                   run.report([this] { view().setText(kProgress, ""); });
                   return Outcome::Silent;
                 },
                 .ended = [&prompt = ctx.prompt] { prompt.busy(false); }};
    op.body = ended(std::move(op.body));
    if (!startOperation(std::move(op))) {
      ctx.prompt.busy(false);
      return;
    }
    running_ = true;
    setControlEnabled(kAbort, true);
  }

  // The body, then the panel told that the run is over (before the result line).
  std::function<Outcome(const OperationRun&)> ended(std::function<Outcome(const OperationRun&)> body) {
    return [this, body = std::move(body)](const OperationRun& run) {
      const Outcome outcome = body(run);
      run.report([this] {
        running_ = false;
        setControlEnabled(kAbort, false);
      });
      return outcome;
    };
  }

  std::array<bool, kStoreRecords> ticked_{};
  bool running_ = false;
};

}  // namespace

std::unique_ptr<PanelLogic> makeStorePresetPanel(PanelContext& context, PanelView& view) {
  return std::make_unique<StorePresetPanel>(context, view);
}

}  // namespace orva::panels::preset
