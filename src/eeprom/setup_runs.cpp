#include "eeprom/setup_runs.hpp"

#include <array>

#include "camera/setting.hpp"

namespace orva::eeprom {
namespace {

using namespace setup_at;

constexpr std::uint16_t kFamilyRegister = 0x0102;
constexpr std::uint16_t kTypeRegister = 0x0104;
constexpr std::uint16_t kVariantRegister = 0xE1EE;
constexpr std::uint16_t kZoomRegister = 0x12A2;
constexpr std::uint16_t kResetRegister = 0xFCAC;
constexpr std::uint16_t kRestartFunction = 0x0102;
constexpr std::uint32_t kRestart = 1;
constexpr std::uint8_t kWbRegisterBit = 1u << 3;
constexpr std::uint8_t kWbManual = 4;
constexpr std::uint8_t kLensFlagBit = 1u << 7;
constexpr std::uint8_t kWbWriteBit = 1u << 2;

// Reads value fields from the registers their address fields name, into one record, until
// the first failure; a zero address field leaves its value as it is.
class FieldReader {
 public:
  FieldReader(SetupCamera& camera, SetupRecord& record) : camera_(camera), r_(record) {}

  bool ok() const { return ok_; }
  void byte(SetupField value, SetupField address) {
    std::uint8_t v = 0;
    if (readByte(r_.word(address), v)) r_.setByte(value, v);
  }
  void word(SetupField value, SetupField address) {
    std::uint16_t v = 0;
    if (readWord(r_.word(address), v)) r_.setWord(value, v);
  }
  bool readByte(std::uint16_t address, std::uint8_t& v) {
    if (!ok_ || address == 0) return false;
    ok_ = camera_.readByte(address, v);
    return ok_;
  }
  bool readWord(std::uint16_t address, std::uint16_t& v) {
    if (!ok_ || address == 0) return false;
    ok_ = camera_.readWord(address, v);
    return ok_;
  }
  // Nine consecutive words from `address` on.
  bool table(std::uint16_t address, TraceTable& t) {
    for (std::size_t k = 0; k < t.size(); ++k)
      if (!readWord(static_cast<std::uint16_t>(address + 2 * k), t[k])) return false;
    return true;
  }
  // The trace curve's value at x on the camera's tables; `fallback` when either table has no address.
  std::uint16_t trace(std::uint16_t x, std::uint16_t fallback) {
    TraceTable xs{}, ys{};
    if (!table(r_.word(T(66)), xs) || !table(r_.word(T(68)), ys)) return fallback;
    return traceCurveValue(xs, ys, x);
  }

 private:
  SetupCamera& camera_;
  SetupRecord& r_;
  bool ok_ = true;
};

// Writes to the registers the record's address fields name; a zero address is skipped.
class FieldWriter {
 public:
  FieldWriter(SetupCamera& camera, const SetupRecord& record) : camera_(camera), r_(record) {}

  bool ok() const { return ok_; }
  void byte(SetupField address, std::uint8_t v) {
    const std::uint16_t a = r_.word(address);
    if (ok_ && a != 0) ok_ = camera_.writeByte(a, v);
  }
  void word(SetupField address, std::uint16_t v) {
    const std::uint16_t a = r_.word(address);
    if (ok_ && a != 0) ok_ = camera_.writeWord(a, v);
  }
  // Read, the bit set or cleared as `on`, written back.
  void bit(SetupField address, std::uint8_t mask, bool on) {
    const std::uint16_t a = r_.word(address);
    if (!ok_ || a == 0) return;
    std::uint8_t v = 0;
    ok_ = camera_.readByte(a, v);
    if (ok_) byte(address, static_cast<std::uint8_t>(on ? (v | mask) : (v & ~mask)));
  }
  // A word read quietly from the register an address field names; `fallback` when it has none.
  std::uint16_t quietWord(SetupField address, std::uint16_t fallback) {
    const std::uint16_t a = r_.word(address);
    if (!ok_ || a == 0) return fallback;
    core::EchoModeScope quiet(camera_.monitor(), core::EchoMode::Hidden);
    std::uint16_t v = 0;
    ok_ = camera_.readWord(a, v);
    return ok_ ? v : fallback;
  }
  void fail() { ok_ = false; }

 private:
  SetupCamera& camera_;
  const SetupRecord& r_;
  bool ok_ = true;
};

std::uint16_t plus(std::uint16_t a, int b) { return static_cast<std::uint16_t>(a + b); }

bool seriesMatches(SetupCamera& camera, bool typeMayBeZero) {
  core::EchoModeScope quiet(camera.monitor(), core::EchoMode::Hidden);
  std::uint16_t family = 0, type = 0;
  if (!camera.readWord(kFamilyRegister, family) || !camera.readWord(kTypeRegister, type)) return false;
  return family == kSetupFamily && (type == kSetupType || (typeMayBeZero && type == 0));
}

}  // namespace

bool SetupCamera::readByte(std::uint16_t address, std::uint8_t& value) {
  std::uint32_t v = 0;
  if (!camera::readSetting(camera::registerSetting(address, 8), v, link_, eap_, codes_)) return false;
  value = static_cast<std::uint8_t>(v);
  return true;
}
bool SetupCamera::readWord(std::uint16_t address, std::uint16_t& value) {
  std::uint32_t v = 0;
  if (!camera::readSetting(camera::registerSetting(address, 16), v, link_, eap_, codes_)) return false;
  value = static_cast<std::uint16_t>(v);
  return true;
}
bool SetupCamera::writeByte(std::uint16_t address, std::uint8_t value) {
  return camera::writeSetting(camera::registerSetting(address, 8), value, link_, eap_, codes_);
}
bool SetupCamera::writeWord(std::uint16_t address, std::uint16_t value) {
  return camera::writeSetting(camera::registerSetting(address, 16), value, link_, eap_, codes_);
}

SetupStamp setupStamp(const camera::ModelRecord& m) {
  return {m.modelCode, m.cameraVersion, m.reg0108, m.reg0109, m.reg010A, m.reg010B};
}

bool setupOpens(SetupCamera& camera) { return seriesMatches(camera, true); }

std::optional<SetupRecord> loadSetupDefaults(SetupCamera& camera, const SetupRecord& current) {
  std::uint16_t zoom = 0;
  {
    core::EchoModeScope quiet(camera.monitor(), core::EchoMode::Hidden);
    if (!camera.readWord(kZoomRegister, zoom)) return std::nullopt;
  }
  SetupRecord record = current;
  loadDefaultValues(record, zoom);
  return record;
}

std::optional<SetupRecord> readSetupFromCamera(SetupCamera& camera, const SetupRecord& current) {
  camera.monitor().heading(kSetupReadHeading);
  SetupRecord r = current;
  FieldReader in(camera, r);
  in.byte(L(0), L(22));
  in.word(L(2), L(46));
  in.word(L(4), L(46));
  in.word(L(12), L(48));
  in.word(L(14), L(50));
  in.word(L(16), L(52));
  in.byte(L(18), L(54));
  in.word(L(8), L(32));
  in.word(L(10), L(44));
  in.word(T(0), T(70));
  in.word(T(6), T(72));
  in.word(T(8), T(74));
  in.word(T(10), T(64));
  r.setWord(T(12), in.trace(r.word(L(10)), r.word(T(12))));
  in.byte(T(3), T(56));
  in.byte(T(4), T(58));
  for (std::size_t i = 0; i < 5; ++i) in.byte(P(15 + i), P(98 + 2 * i));
  for (std::size_t i = 0; i < 10; ++i) in.byte(P(20 + i), P(70 + 2 * i));
  std::uint8_t wb = 0;
  if (in.readByte(r.word(W(24)), wb)) r.setByte(W(0), (wb & kWbRegisterBit) != 0 ? kWbManual : 0);
  in.word(W(2), W(26));
  in.word(W(4), W(28));
  {
    core::EchoModeScope quiet(camera.monitor(), core::EchoMode::Hidden);
    in.word(W(6), W(20));
    in.word(W(8), W(22));
  }
  in.word(P(30), P(108));
  in.byte(P(32), P(110));
  in.byte(P(6), P(44));
  in.byte(P(7), P(46));
  in.byte(P(10), P(96));
  in.byte(P(4), P(42));
  in.word(P(8), P(94));
  in.byte(S(0), S(10));
  in.byte(S(2), S(14));
  in.byte(S(3), S(16));
  in.byte(S(4), S(18));
  // One register, kept as its low and high four bits so that its write (S+6 OR S+5) gives it back.
  std::uint8_t split = 0;
  if (in.readByte(r.word(S(20)), split)) {
    r.setByte(S(5), split & 0x0F);
    r.setByte(S(6), split & 0xF0);
  }
  in.byte(S(7), S(28));
  in.byte(S(8), S(30));
  for (std::size_t i = 0; i < 4; ++i) in.byte(P(11 + i), P(52 + 2 * i));
  if (!in.ok()) return std::nullopt;
  camera.monitor().heading(kSetupReadFinishHeading);
  return r;
}

SetupWriteResult writeSetupToCamera(SetupCamera& camera, const SetupRecord& r) {
  {
    std::uint8_t variant = 0;
    if (!seriesMatches(camera, false)) return SetupWriteResult::ModelMismatch;
    core::EchoModeScope quiet(camera.monitor(), core::EchoMode::Hidden);
    if (!camera.readByte(kVariantRegister, variant) || variant > kSetupVariantLimit)
      return SetupWriteResult::ModelMismatch;
  }
  camera.monitor().heading(kSetupWriteHeading);
  FieldWriter out(camera, r);
  out.bit(L(22), kLensFlagBit, (r.byte(L(0)) & kLensFlagBit) != 0);

  // The focus base follows the zoom position's move since the record was taken.
  const std::uint16_t zoomNow = out.quietWord(L(32), r.word(L(8)));
  const auto base = static_cast<std::uint16_t>(4 * r.word(L(8)) - 4 * zoomNow + r.word(L(2)));
  out.word(L(24), base);
  out.word(L(26), base);

  // The lens reference and trace curve moves since the read give one correction for all.
  const std::uint16_t referenceNow = out.quietWord(T(64), r.word(T(10)));
  std::uint16_t traceNow = r.word(T(12));
  if (out.ok()) {
    SetupRecord scratch = r;
    FieldReader tables(camera, scratch);
    traceNow = tables.trace(r.word(L(10)), r.word(T(12)));
    if (!tables.ok()) out.fail();
  }
  const auto delta = static_cast<std::int16_t>(r.word(T(10)) - referenceNow + (r.word(T(12)) - traceNow));
  out.word(L(34), plus(r.word(L(12)), delta >> 2));
  out.word(L(36), plus(r.word(L(14)), delta));
  out.word(L(38), plus(r.word(L(16)), delta));
  out.byte(L(40), r.byte(L(18)));
  const int delta8 = 8 * delta;
  out.word(T(50), plus(r.word(T(0)), delta8));
  out.word(T(60), plus(r.word(T(6)), delta8));
  out.word(T(62), plus(r.word(T(8)), delta8));

  out.byte(T(56), r.byte(T(3)));
  out.byte(T(58), r.byte(T(4)));
  for (std::size_t i = 0; i < 5; ++i) out.byte(P(60 + 2 * i), r.byte(P(15 + i)));
  for (std::size_t i = 0; i < 10; ++i) out.byte(P(70 + 2 * i), r.byte(P(20 + i)));
  out.byte(P(112), r.byte(P(0)));

  out.bit(W(14), kWbWriteBit, (r.byte(W(0)) & kWbWriteBit) != 0);
  out.word(W(16), r.word(W(2)));
  out.word(W(18), r.word(W(4)));

  out.word(P(90), r.word(P(30)));
  out.byte(P(92), r.byte(P(32)));
  out.byte(P(44), r.byte(P(6)));
  out.byte(P(46), r.byte(P(7)));
  out.byte(P(50), r.byte(P(10)));
  out.byte(P(42), r.byte(P(4)));
  out.word(P(48), r.word(P(8)));

  out.byte(S(10), r.byte(S(0)) & 1u);
  out.byte(S(14), r.byte(S(2)));
  out.byte(S(16), r.byte(S(3)));
  out.byte(S(18), r.byte(S(4)));
  out.byte(S(20), r.byte(S(6)) | r.byte(S(5)));
  out.byte(S(24), r.byte(S(7)));
  out.byte(S(26), r.byte(S(8)));

  for (std::size_t i = 0; i < 4; ++i) out.byte(P(52 + 2 * i), r.byte(P(11 + i)));
  if (!out.ok()) return SetupWriteResult::Failed;
  camera.monitor().heading(kSetupWriteFinishHeading);
  return SetupWriteResult::Done;
}

std::string_view setupWriteMessage(SetupWriteResult result) {
  switch (result) {
    case SetupWriteResult::Done: return {};
    case SetupWriteResult::ModelMismatch: return kSetupModelMismatchText;
    case SetupWriteResult::Failed: return kSetupWriteFailedText;
  }
  return {};
}

bool resetSetupCamera(SetupCamera& camera, std::stop_token stop) {
  camera.monitor().heading(kSetupResetHeading);
  if (camera.link().protocol() == link::Protocol::Afp) {
    camera.codes().write(kRestartFunction, std::array<std::uint32_t, 1>{kRestart});
  } else {
    // The camera restarts before it echoes the frame's end: nothing of it is shown.
    core::EchoModeScope quiet(camera.monitor(), core::EchoMode::Hidden);
    camera.eap().writeByte(kResetRegister, 0);
  }
  if (!camera.link().clock().sleepFor(kSetupResetWait, std::move(stop))) return false;
  auto lock = camera.link().command();
  camera.link().clearBuffers();
  return true;
}

}  // namespace orva::eeprom
