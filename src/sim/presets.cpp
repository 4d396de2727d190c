#include "sim/presets.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "camera/lens_tables.hpp"
#include "core/text.hpp"
#include "sim/lens.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

// The registers a record copies, in its order; the byte F895 and the type follow.
constexpr std::array<std::uint16_t, 8> kRecordWords{0xF710, 0xF714, 0xF718, 0xF71A, 0xF7BE, 0xF7C2, 0xF7C4, 0xFC6E};
constexpr std::uint16_t kRecordByte = 0xF895;
constexpr std::size_t kZoomField = 1;  // F714 among the words
// What the AFP lens-state functions carry, as indexes into kRecordWords (then F895).
constexpr std::array<std::size_t, 7> kTypeOneFields{0, 1, 2, 3, 4, 5, 6};
constexpr std::array<std::size_t, 4> kTypeTwoFields{1, 4, 5, 6};

constexpr std::uint16_t kTypeOneFunction = 0x6101;
constexpr std::uint16_t kTypeTwoFunction = 0x6102;
constexpr std::uint16_t kPairFunction = 0x6103;
constexpr std::uint16_t kDirectFocusFunction = 0x6104;
constexpr std::uint16_t kDirectZoomFunction = 0x6105;
constexpr std::uint16_t kGoToZoomFunction = 0x6106;
constexpr std::uint16_t kMemoryTypeFunction = 0x610C;
constexpr std::uint16_t kCameraPresetFunction = 0x610D;
constexpr std::uint16_t kPresetDigitalFunction = 0x6112;

// The direct focus value of the near end: "1cm", twelve steps of 1000 from "Over Inf".
constexpr std::int32_t kDirectFocusNear = 0xC000;
constexpr int kTopMagnification = 16;
constexpr std::uint32_t kTopZoomValue = 0xFF;
// Where the status digit of an AFP completion stands: "X" slot STATUS "T".
constexpr std::size_t kCompletionStatus = 2;

using Record = std::array<std::uint8_t, kRecordBytes>;

std::uint16_t readWord(const RegisterMemory& memory, std::uint16_t address) {
  return static_cast<std::uint16_t>(memory.read(address) << 8 | memory.read(static_cast<std::uint16_t>(address + 1)));
}

void writeWord(RegisterMemory& memory, std::uint16_t address, std::uint16_t value) {
  memory.write(address, static_cast<std::uint8_t>(value >> 8));
  memory.write(static_cast<std::uint16_t>(address + 1), static_cast<std::uint8_t>(value));
}

std::uint16_t recordWord(const Record& r, std::size_t field) {
  return static_cast<std::uint16_t>(r[2 * field] | r[2 * field + 1] << 8);
}

Record readRecord(const RegisterMemory& memory, std::uint16_t at) {
  Record r{};
  for (std::size_t i = 0; i < r.size(); ++i) r[i] = memory.read(static_cast<std::uint16_t>(at + i));
  return r;
}

// The lens state now, as the camera stores it.
Record currentState(const RegisterMemory& memory, std::uint8_t type) {
  Record r{};
  for (std::size_t i = 0; i < kRecordWords.size(); ++i) {
    const std::uint16_t value = readWord(memory, kRecordWords[i]);
    r[2 * i] = static_cast<std::uint8_t>(value);
    r[2 * i + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  r[16] = memory.read(kRecordByte);
  r[kRecordTypeOffset] = type;
  return r;
}

std::uint16_t recordAddress(std::uint16_t table, int n) {
  return static_cast<std::uint16_t>(table + kRecordBytes * (n - 1));
}

bool runnable(std::uint8_t type) { return type == 1 || type == 2 || type == kRecordByCamera; }

// Motor steps (F714's form) as a zoom position.
std::int32_t positionOfSteps(std::uint16_t steps, std::int32_t tele) {
  // The tele end's steps are rounded: they stand for the end itself.
  if (static_cast<std::int16_t>(steps) <= kWideEndSteps - tele / kPositionsPerStep) return tele;
  const std::int32_t position = (kWideEndSteps - static_cast<std::int16_t>(steps)) * kPositionsPerStep;
  return std::clamp(position, std::int32_t{0}, tele);
}

// A BCD magnification as a zoom position, on the magnification bands of the 16x lens.
std::optional<std::int32_t> magnificationPosition(std::uint8_t bcd, std::int32_t tele) {
  const int tens = bcd >> 4;
  const int units = bcd & 0x0F;
  if (tens > 9 || units > 9) return std::nullopt;
  const int m = tens * 10 + units;
  if (m == 0) return std::nullopt;
  if (m == 1) return 0;
  if (m >= kTopMagnification) return tele;
  return std::min<std::int32_t>(camera::lens::k16xThresholds[static_cast<std::size_t>(m - 2)], tele);
}

enum class Watch { None, CommandWord, Memory, Move };

class Engine {
 public:
  explicit Engine(std::shared_ptr<LensMotion> lens) : lens_(std::move(lens)) {}

  // A run begins: whatever the frame in hand would send of its own accord waits for its end.
  // A run in progress is over (its lens move is replaced), except a memory preset's, which
  // takes its focus target after its zoom target.
  void begin(VirtualCamera& cam, Watch watch) {
    if (watch_ != Watch::None && !(watch_ == Watch::Memory && watch == Watch::Memory)) end(cam, true);
    watch_ = watch;
    if (auto bytes = cam.takeOverOwnAccord(); !bytes.empty()) atEnd_.push_back(std::move(bytes));
    if (watch == Watch::CommandWord) cam.memory().write(kPresetStatusRegister, kPresetRunning);
    if (watch == Watch::Memory) cam.memory().write(kMemoryStatusRegister, kMemoryMoving);
  }

  // Starts a lens move for the run begun, or fails it.
  void move(VirtualCamera& cam, std::optional<std::int32_t> zoom, std::optional<std::int32_t> focus) {
    if (cam.hasFault(FaultKind::PresetError) || (!zoom && !focus)) return end(cam, false);
    if (zoom) zoom_ = zoom;
    if (focus) focus_ = focus;
    lens_->goTo(cam, zoom_ ? *zoom_ : currentZoom(cam), focus_);
    update(cam);
  }

  // The run ends when the lens stands.
  void update(VirtualCamera& cam) {
    publishFocus(cam);
    if (watch_ == Watch::None) return;
    if (!lens_->moving()) return end(cam, true);
    if (const auto at = lens_->arrival(cam.memory())) cam.wakeAt(*at);
  }

  void end(VirtualCamera& cam, bool ok) {
    RegisterMemory& memory = cam.memory();
    if (watch_ == Watch::CommandWord) memory.write(kPresetStatusRegister, ok ? kPresetComplete : kPresetFailed);
    if (watch_ == Watch::Memory) memory.write(kMemoryStatusRegister, ok ? kMemoryDone : kMemoryFailed);
    watch_ = Watch::None;
    zoom_.reset();
    focus_.reset();
    for (auto& bytes : std::exchange(atEnd_, {})) {
      const bool completion = bytes.size() > kCompletionStatus && bytes.front() == kAfpCompleted;
      if (completion && !ok) bytes[kCompletionStatus] = '1';
      // A failed run never arrives: the tool waits for the message in vain.
      if (completion || ok) cam.sendNow(std::move(bytes));
    }
  }

  void cancel(VirtualCamera& cam) {
    lens_->halt(cam);
    end(cam, true);
  }

  // D16C: the arrival message of the run in progress, or now.
  void askArrival(VirtualCamera& cam) {
    std::vector<std::uint8_t> message{kArrivalMessage.begin(), kArrivalMessage.end()};
    if (watch_ == Watch::None && lens_->moving()) watch_ = Watch::Move;
    if (watch_ == Watch::None) return cam.sendNow(std::move(message));
    atEnd_.push_back(std::move(message));
  }

  // A drive sent with "#W": its arrival comes when the lens stops at a limit.
  void driveStarted(VirtualCamera& cam) {
    if (auto bytes = cam.takeOverOwnAccord(); !bytes.empty()) {
      if (watch_ != Watch::None) end(cam, true);
      watch_ = Watch::Move;
      atEnd_.push_back(std::move(bytes));
      update(cam);
    }
  }

  void forget() {
    watch_ = Watch::None;
    zoom_.reset();
    focus_.reset();
    atEnd_.clear();
  }

  std::int32_t tele() const { return lens_->tele(); }
  std::array<std::optional<Record>, kCameraSlots>& slots() { return slots_; }

 private:
  static std::int32_t currentZoom(const VirtualCamera& cam) {
    return std::max<std::int32_t>(static_cast<std::int16_t>(readWord(cam.memory(), kZoomPositionWideRegister)), 0);
  }
  static void publishFocus(VirtualCamera& cam) {
    writeWord(cam.memory(), kFocusWideRegister, readWord(cam.memory(), kFocusPositionRegister));
  }

  std::shared_ptr<LensMotion> lens_;
  Watch watch_ = Watch::None;
  std::vector<std::vector<std::uint8_t>> atEnd_;
  // The targets of the run in progress.
  std::optional<std::int32_t> zoom_;
  std::optional<std::int32_t> focus_;
  std::array<std::optional<Record>, kCameraSlots> slots_;
};

// Restores a record's registers (those its type writes) and moves the zoom to its position.
void runRecord(Engine& engine, VirtualCamera& cam, const Record& r, bool typeOne) {
  RegisterMemory& memory = cam.memory();
  for (std::size_t i = 0; i < kRecordWords.size(); ++i) {
    const bool written = typeOne || std::ranges::find(kTypeTwoFields, i) != kTypeTwoFields.end() || i == 7;
    if (written && i != kZoomField) writeWord(memory, kRecordWords[i], recordWord(r, i));
  }
  memory.write(kRecordByte, r[16]);
  engine.move(cam, positionOfSteps(recordWord(r, kZoomField), engine.tele()), std::nullopt);
}

std::optional<Record> tableRecord(const RegisterMemory& memory, int n) {
  if (n >= 1 && n <= kTypeOneRecords) {
    const Record r = readRecord(memory, recordAddress(kTypeOneTable, n));
    if (runnable(r[kRecordTypeOffset])) return r;
  }
  if (n < 1 || n > kStoreRecords) return std::nullopt;
  const Record r = readRecord(memory, recordAddress(kStoreTable, n));
  if (!runnable(r[kRecordTypeOffset])) return std::nullopt;
  return r;
}

// The easy preset load area: the record's fields as registers, words big-endian.
std::optional<Record> easyRecord(const RegisterMemory& memory) {
  Record r{};
  for (std::size_t i = 0; i < kRecordWords.size(); ++i) {
    const std::uint16_t value = readWord(memory, static_cast<std::uint16_t>(kEasyPresetArea + 2 * i));
    r[2 * i] = static_cast<std::uint8_t>(value);
    r[2 * i + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  r[16] = memory.read(kEasyPresetArea + 16);
  r[kRecordTypeOffset] = memory.read(kEasyPresetArea + 17);
  if (r[kRecordTypeOffset] != 1 && r[kRecordTypeOffset] != 2) return std::nullopt;
  return r;
}

void storeRecord(VirtualCamera& cam, int n, std::optional<Record> record) {
  const std::uint16_t at = recordAddress(kStoreTable, n);
  if (!record) return cam.memory().write(static_cast<std::uint16_t>(at + kRecordTypeOffset), kRecordEmpty);
  for (std::size_t i = 0; i < record->size(); ++i) cam.memory().write(static_cast<std::uint16_t>(at + i), (*record)[i]);
}

void commandWord(Engine& engine, VirtualCamera& cam, std::uint16_t word) {
  if (word == 0) return;  // the tool clears the word before each command
  engine.begin(cam, Watch::CommandWord);
  if (cam.hasFault(FaultKind::PresetError)) return engine.end(cam, false);
  const RegisterMemory& memory = cam.memory();
  const int high = word >> 8;
  const int n = word & 0xFF;
  switch (high) {
    case 0x01:
    case 0x02: {
      const auto record = tableRecord(memory, n);
      if (!record) return engine.end(cam, false);
      return runRecord(engine, cam, *record, high == 0x01);
    }
    case 0x04: return engine.move(cam, magnificationPosition(static_cast<std::uint8_t>(n), engine.tele()), std::nullopt);
    case 0x08: return engine.move(cam, n * engine.tele() / static_cast<std::int32_t>(kTopZoomValue), std::nullopt);
    case 0x23:
    case 0x43:
      if (n < 1 || n > kStoreRecords) return engine.end(cam, false);
      storeRecord(cam, n, high == 0x43 ? std::optional{currentState(memory, kRecordByCamera)} : std::nullopt);
      return engine.end(cam, true);
    case 0x81:
    case 0x82: {
      const auto record = easyRecord(memory);
      if (n != 1 || !record) return engine.end(cam, false);
      return runRecord(engine, cam, *record, high == 0x81);
    }
    default: return engine.end(cam, false);
  }
}

std::int32_t directFocus(std::uint16_t value) {
  const std::int32_t v = std::min<std::int32_t>(value, kDirectFocusNear);
  return kFocusFarEnd + v * (kFocusNearEnd - kFocusFarEnd) / kDirectFocusNear;
}

void installRegisters(VirtualCamera& camera, const std::shared_ptr<Engine>& engine) {
  const auto low = [](std::uint16_t word) { return static_cast<std::uint16_t>(word + 1); };
  camera.onWrite(low(kPresetCommandRegister), [engine](VirtualCamera& cam, const MemoryWrite&) {
    commandWord(*engine, cam, readWord(cam.memory(), kPresetCommandRegister));
  });
  const auto target = [engine, low](VirtualCamera& camera_, std::uint16_t address, bool zoom,
                                    std::int32_t (*convert)(std::uint16_t)) {
    camera_.onWrite(low(address), [engine, address, zoom, convert](VirtualCamera& cam, const MemoryWrite&) {
      const std::int32_t value = convert(readWord(cam.memory(), address));
      engine->begin(cam, Watch::Memory);
      engine->move(cam, zoom ? std::optional{value} : std::nullopt, zoom ? std::nullopt : std::optional{value});
    });
  };
  const auto asPosition = [](std::uint16_t v) -> std::int32_t { return v; };
  const auto asFocus = [](std::uint16_t v) -> std::int32_t { return static_cast<std::int16_t>(v); };
  target(camera, kMemoryZoomTarget, true, asPosition);
  target(camera, kMemoryFocusTarget, false, asFocus);
  target(camera, kDirectZoomTarget, true, asPosition);
  target(camera, kDirectFocusTarget, false, directFocus);
  camera.onWrite(kPresetCancelRegister, [engine](VirtualCamera& cam, const MemoryWrite& w) {
    if (w.value == 1) engine->cancel(cam);
  });
  camera.onWrite(kGoToControlRegister, [engine](VirtualCamera& cam, const MemoryWrite& w) {
    if (w.value != kGoToStart) return;
    engine->begin(cam, Watch::Move);
    engine->move(cam, positionOfSteps(readWord(cam.memory(), kGoToStepsRegister), engine->tele()), std::nullopt);
  });
  camera.onWrite(kArrivalRequestRegister, [engine](VirtualCamera& cam, const MemoryWrite& w) {
    if (w.value != 0) engine->askArrival(cam);
  });
  camera.onWrite(kLensDriveRegister, [engine](VirtualCamera& cam, const MemoryWrite& w) {
    if (w.value == kDriveTele || w.value == kDriveWide) engine->driveStarted(cam);
  });
}

std::string fieldDigits(const RegisterMemory& memory, std::span<const std::size_t> fields) {
  std::string digits;
  for (std::size_t field : fields) digits += fmt::format("{:04X}", readWord(memory, kRecordWords[field]));
  return digits + fmt::format("{:02X}", memory.read(kRecordByte));
}

// A lens-state set: the fields in the get's order; the zoom goes to the F714 field.
void setFields(Engine& engine, VirtualCamera& cam, std::string_view value, std::span<const std::size_t> fields) {
  engine.begin(cam, Watch::Move);
  if (value.size() != 4 * fields.size() + 2) return engine.end(cam, false);
  std::optional<std::int32_t> zoom;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const auto word = static_cast<std::uint16_t>(*core::parseHex(value.substr(4 * i, 4), 4));
    if (fields[i] == kZoomField)
      zoom = positionOfSteps(word, engine.tele());
    else
      writeWord(cam.memory(), kRecordWords[fields[i]], word);
  }
  cam.memory().write(kRecordByte, static_cast<std::uint8_t>(*core::parseHex(value.substr(4 * fields.size()), 2)));
  engine.move(cam, zoom, std::nullopt);
}

void installLensStateFunctions(VirtualCamera& camera, const std::shared_ptr<Engine>& engine) {
  camera.onFunctionGet(kTypeOneFunction, [](const VirtualCamera& cam) { return fieldDigits(cam.memory(), kTypeOneFields); });
  camera.onFunctionGet(kTypeTwoFunction, [](const VirtualCamera& cam) { return fieldDigits(cam.memory(), kTypeTwoFields); });
  camera.onFunctionSet(kTypeOneFunction, [engine](VirtualCamera& cam, const FunctionSet& s) {
    setFields(*engine, cam, s.value, kTypeOneFields);
  });
  camera.onFunctionSet(kTypeTwoFunction, [engine](VirtualCamera& cam, const FunctionSet& s) {
    setFields(*engine, cam, s.value, kTypeTwoFields);
  });
}

void installFunctions(VirtualCamera& camera, const std::shared_ptr<Engine>& engine) {
  installLensStateFunctions(camera, engine);
  camera.onFunctionGet(kPairFunction, [](const VirtualCamera& cam) {
    return fmt::format("{:04X}{:04X}", readWord(cam.memory(), kZoomPositionWideRegister),
                       readWord(cam.memory(), kFocusPositionRegister));
  });
  camera.onFunctionSet(kPairFunction, [engine](VirtualCamera& cam, const FunctionSet& s) {
    engine->begin(cam, Watch::Memory);
    const auto pair = s.number();
    if (s.value.size() != 8 || !pair) return engine->end(cam, false);
    engine->move(cam, static_cast<std::int32_t>(*pair >> 16), static_cast<std::int16_t>(*pair & 0xFFFFu));
  });
  camera.onFunctionSet(kDirectFocusFunction, [engine](VirtualCamera& cam, const FunctionSet& s) {
    engine->begin(cam, Watch::Memory);
    const auto v = s.number();
    engine->move(cam, std::nullopt, v ? std::optional{directFocus(static_cast<std::uint16_t>(*v))} : std::nullopt);
  });
  camera.onFunctionSet(kDirectZoomFunction, [engine](VirtualCamera& cam, const FunctionSet& s) {
    engine->begin(cam, Watch::Memory);
    const auto v = s.number();
    engine->move(cam, v ? std::optional{static_cast<std::int32_t>(*v & 0xFFFFu)} : std::nullopt, std::nullopt);
  });
  camera.onFunctionSet(kGoToZoomFunction, [engine](VirtualCamera& cam, const FunctionSet& s) {
    engine->begin(cam, Watch::Move);
    const auto v = s.number();
    engine->move(cam, v && *v <= 0xFF ? magnificationPosition(static_cast<std::uint8_t>(*v), engine->tele()) : std::nullopt,
                 std::nullopt);
  });
  camera.onFunctionSet(kCameraPresetFunction, [engine](VirtualCamera& cam, const FunctionSet& s) {
    engine->begin(cam, Watch::Move);
    const auto v = s.number();
    const std::uint32_t sub = v ? *v >> 8 : 0;
    const std::uint32_t n = v ? *v & 0xFFu : 0;
    if (s.value.size() != 4 || n < 1 || n > kCameraSlots || cam.hasFault(FaultKind::PresetError))
      return engine->end(cam, false);
    auto& slot = engine->slots()[n - 1];
    switch (sub) {
      case 1:
      case 2:
        if (!slot) return engine->end(cam, false);
        return runRecord(*engine, cam, *slot, sub == 1);
      case 3: slot = currentState(cam.memory(), kRecordByCamera); return engine->end(cam, true);
      case 4: slot.reset(); return engine->end(cam, true);
      default: return engine->end(cam, false);
    }
  });
  camera.onFunctionSet(kMemoryTypeFunction, [](VirtualCamera& cam, const FunctionSet& s) {
    if (const auto v = s.number(); v && *v <= 0xFF) cam.memory().write(kMemoryTypeRegister, static_cast<std::uint8_t>(*v));
  });
  camera.onFunctionGet(kMemoryTypeFunction,
                       [](const VirtualCamera& cam) { return fmt::format("{:02X}", cam.memory().read(kMemoryTypeRegister)); });
  camera.onFunctionSet(kPresetDigitalFunction, [](VirtualCamera& cam, const FunctionSet& s) {
    if (const auto v = s.number(); v && *v >= 1 && *v <= 0x100)
      cam.memory().write(kPresetDigitalRegister, static_cast<std::uint8_t>(*v - 1));
  });
  camera.onFunctionGet(kPresetDigitalFunction, [](const VirtualCamera& cam) {
    return fmt::format("{:02X}", cam.memory().read(kPresetDigitalRegister) + 1);
  });
}

}  // namespace

void installPresets(VirtualCamera& camera, std::shared_ptr<LensMotion> lens) {
  auto engine = std::make_shared<Engine>(std::move(lens));
  camera.onTime([engine](VirtualCamera& cam) { engine->update(cam); });
  camera.onRestart([engine](VirtualCamera&) { engine->forget(); });
  installRegisters(camera, engine);
  installFunctions(camera, engine);
}

}  // namespace orva::sim
