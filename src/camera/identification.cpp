#include "camera/identification.hpp"

#include "camera/gating.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "camera/model_table.hpp"
#include "link/gateway.hpp"

namespace orva::camera {
namespace {

// Identification registers (EAP addresses; the AFP gateway reaches the same ones).
constexpr std::uint16_t kFamilyRegister = 0x0102;
constexpr std::uint16_t kTypeRegister = 0x0104;
constexpr std::uint16_t kVersionRegister = 0x0106;
constexpr std::uint16_t kSelectorRegister = 0xE1ED;
constexpr std::uint16_t kVariantRegister = 0xE1EE;
constexpr std::uint16_t kAeModeRegister = 0xFCC8;
constexpr std::uint16_t kProtocolRegister = 0x1158;
constexpr std::uint16_t kVideoFormatRegister = 0xFF08;
constexpr std::uint16_t kLensStatusRegister = 0xF750;
constexpr std::uint16_t kLensConditionRegister = 0xF740;
constexpr std::uint16_t kMaskTypeRegister = 0x1081;
constexpr std::uint16_t kFormatItemsRegister = 0x11EE;
constexpr std::uint16_t kDisplayModeRegister = 0x128F;
constexpr std::uint16_t kMarkerRegister = 0x123C;
constexpr std::uint16_t kSensorRegister = 0x123F;
constexpr std::uint16_t kBoardRegister = 0x010D;
constexpr std::uint16_t kGeneration29Register = 0x1700;
constexpr std::uint16_t kCameraModeRegister = 0xFCC0;
constexpr std::uint16_t kClockRegister = 0x1701;
constexpr std::uint16_t kDriveRegister = 0x1221;
constexpr std::uint16_t kZoomRangeRegister = 0x0AFE;
constexpr std::array<std::uint16_t, 3> kEepromByteRegisters{0x0108, 0x0109, 0x010A};
constexpr std::uint16_t kEepromWordRegister = 0x010B;

// AFP functions for the values the identification reads by function query.
constexpr std::uint16_t kAeModeFunction = 0x2105;
constexpr std::uint16_t kLensConditionFunction = 0x0104;
constexpr std::uint16_t kZoomRangeFunction = 0x1285;

constexpr std::uint16_t kQb146Marker = 0x03C7;
constexpr std::uint16_t kQb166Marker = 0x0511;
constexpr std::uint16_t kQb152Marker = 0xA654;

constexpr std::string_view kMessageTitle = "Message";
constexpr std::string_view kPalModel = "PAL model";
constexpr std::string_view kNtscModel = "NTSC model";
constexpr std::string_view kDigitalOut = "DIGITAL OUT";

// The camera "/DS" pretends is there: the identification registers of a type-53 camera and
// 0 everywhere else, so every read has a defined answer and no byte goes on the line.
class SimulatedCamera final : public RegisterReader {
 public:
  explicit SimulatedCamera(RegisterReader& real) : real_(real) {}
  link::Protocol protocol() const override { return real_.protocol(); }
  bool readByte(std::uint16_t, std::uint8_t& value) override {
    value = 0;
    return true;
  }
  bool readWord(std::uint16_t address, std::uint16_t& value) override {
    value = address == kFamilyRegister ? kCurrentFamily : address == kTypeRegister ? kSimulatedType : 0;
    return true;
  }
  bool queryFunction(std::uint16_t, std::uint8_t& value) override {
    value = 0;
    return true;
  }
  link::NoCameraMode noCameraMode() const override { return real_.noCameraMode(); }
  void setNoCameraMode(link::NoCameraMode mode) override { real_.setNoCameraMode(mode); }

 private:
  static constexpr std::uint16_t kSimulatedType = 53;
  RegisterReader& real_;
};

struct Ids {
  std::uint16_t family = 0;
  std::uint16_t type = 0;
  std::uint8_t selector = 0;
  std::uint8_t variantNibble = 0;
  std::uint16_t version = 0;
};

enum class Pick { Row, NotSupported, Failed };
struct Decision {
  Pick pick = Pick::NotSupported;
  const ModelRow* row = nullptr;
};

Decision rowOf(Branch b) { return {Pick::Row, &modelRow(b)}; }
constexpr Decision kNoModel{};
constexpr Decision kRefused{Pick::Failed, nullptr};

// The row of the type that names this selector, else the one for any other selector.
Decision bySelector(std::uint16_t type, int selector) {
  const ModelRow* fallback = nullptr;
  for (const auto& row : models()) {
    if (row.family != kCurrentFamily || !row.hasType(type)) continue;
    if (row.selector && *row.selector == selector) return {Pick::Row, &row};
    if (!row.selector && !fallback) fallback = &row;
  }
  return fallback ? Decision{Pick::Row, fallback} : kNoModel;
}

bool typeReadsAeMode(std::uint16_t type) {
  for (const auto& row : models())
    if (row.family == kCurrentFamily && row.hasType(type) && row.readsAeMode) return true;
  return false;
}

std::uint16_t versionNumber(std::uint16_t version) { return version & 0xFFF; }

// One identification: the reader may turn into the simulated camera on the way.
class Walk {
 public:
  Walk(RegisterReader& reader, core::Prompt& prompt, ModelRecord& record, IdentificationFlags& flags,
       IdentificationSwitches& switches, LauncherFields& launcher)
      : simulated_(reader), reader_(&reader), prompt_(prompt), r_(record), f_(flags), s_(switches), out_(launcher) {}

  bool run() {
    f_.protocolChoice = false;
    f_.protocolSelect = false;
    f_.aeMode = 0xFF;
    resetModelRecord(r_);
    out_ = {};
    Ids ids;
    if (!readIds(ids)) return false;
    r_.cameraVersion = ids.version;
    r_.monochrome = false;
    r_.modelCode = kModelNotIdentified;
    r_.name = std::string(kNotSupported);
    r_.maskType = 0;

    const Decision d = decide(ids);
    if (d.pick == Pick::Failed) return false;
    if (d.pick == Pick::Row && !apply(*d.row, ids)) return false;
    return commonTail();
  }

 private:
  bool readByte(std::uint16_t a, std::uint8_t& v) { return reader_->readByte(a, v); }
  bool readWord(std::uint16_t a, std::uint16_t& v) { return reader_->readWord(a, v); }
  bool afp() const { return reader_->protocol() == link::Protocol::Afp; }

  bool readIds(Ids& ids) {
    if (!readWord(kFamilyRegister, ids.family)) {
      if (reader_->noCameraMode() != link::NoCameraMode::Allowed) return false;
      reader_->setNoCameraMode(link::NoCameraMode::Absent);
      reader_ = &simulated_;
      if (!readWord(kFamilyRegister, ids.family)) return false;
    }
    std::uint8_t variant = 0;
    if (!readWord(kTypeRegister, ids.type) || !readByte(kSelectorRegister, ids.selector) ||
        !readByte(kVariantRegister, variant) || !readWord(kVersionRegister, ids.version))
      return false;
    ids.variantNibble = static_cast<std::uint8_t>(variant >> 4);
    return true;
  }

  bool readAeMode() {
    std::uint8_t v = 0;
    const bool ok = afp() ? reader_->queryFunction(kAeModeFunction, v) : readByte(kAeModeRegister, v);
    if (ok) f_.aeMode = v;
    return ok;
  }

  // The decision tree: family, type code, then the type's own decision.
  Decision decide(const Ids& ids) {
    if (ids.family == kOldestFamily) return ids.type == 1 ? rowOf(Branch::Oldest) : kNoModel;
    if (ids.family != kCurrentFamily) return kNoModel;
    if (typeReadsAeMode(ids.type) && !readAeMode()) return kRefused;
    switch (ids.type) {
      case 18:
      case 19: return decideType18Or19(ids);
      case 22: return decideType22();
      case 29: return decideType29(ids);
      case 40: return decideType40(ids);
      case 44: return decideType44(ids);
      case 46: return decideType46();
      case 47: return ids.version < 17 ? rowOf(Branch::Qb165Type47Earlier) : rowOf(Branch::Qb165Type47Later);
      case 71: return decideType71(ids);
      default: return bySelector(ids.type, ids.selector);
    }
  }

  static Decision decideType18Or19(const Ids& ids) {
    if (ids.type == 19 || versionNumber(ids.version) == 2) return rowOf(Branch::Type18Or19);
    return kNoModel;
  }

  Decision decideType22() {
    std::uint16_t marker = 0;
    if (!readWord(kMarkerRegister, marker)) return kRefused;
    return marker == kQb146Marker ? rowOf(Branch::Qb146) : rowOf(Branch::Type22);
  }

  Decision decideType29(const Ids& ids) {
    const auto n = versionNumber(ids.version);
    if (n < 16) return rowOf(Branch::Qb150First);
    if (n <= 18) return rowOf(Branch::Qb150Second);
    std::uint16_t marker = 0;
    if (!readWord(kGeneration29Register, marker)) return kRefused;
    return marker == kQb152Marker ? rowOf(Branch::Qb152Type29) : rowOf(Branch::Qb150Third);
  }

  // A selector this family does not list is refused outright.
  static Decision decideType40(const Ids& ids) {
    const Decision d = bySelector(ids.type, ids.selector);
    return d.row && d.row->selector ? d : kRefused;
  }

  Decision decideType44(const Ids& ids) {
    std::uint8_t board = 0;
    if (!readByte(kBoardRegister, board)) return kRefused;
    if (board >> 4 == 0xA)
      return ids.version >= 8 ? rowOf(Branch::Qb165Type44Later) : rowOf(Branch::Qb165Type44Earlier);
    return ids.version < 5 ? rowOf(Branch::Qb161Base) : rowOf(Branch::Qb161Type44);
  }

  Decision decideType46() {
    std::uint16_t marker = 0;
    if (!readWord(kMarkerRegister, marker)) return kRefused;
    if (marker == kQb166Marker) return rowOf(Branch::Qb166);
    std::uint8_t sensor = 0;
    if (!readByte(kSensorRegister, sensor)) return kRefused;
    return sensor & 0x80 ? rowOf(Branch::Qb163) : rowOf(Branch::Qb161);
  }

  // Early cameras of the family report their selectors 0x20 lower.
  static Decision decideType71(const Ids& ids) {
    const int shift = ids.version <= 3 ? 0x20 : 0;
    for (const auto& row : models())
      if (row.hasType(ids.type) && row.selector && *row.selector - shift == ids.selector) return {Pick::Row, &row};
    return kNoModel;
  }

  // The setup of a row: the record values, then what the camera version and the row's own
  // registers change.
  bool apply(const ModelRow& row, const Ids& ids) {
    const ModelVariant* variant = row.variantFor(ids.variantNibble);
    if (!variant) return true;  // a variant the row does not know stays "Not supported"
    r_.name = std::string(variant->name);
    r_.modelCode = variant->code;
    r_.monochrome = variant->monochrome;
    r_.lensIndex = row.lensIndex;
    r_.processorClass = row.processorClass;
    if (!applyMenuRule(row, ids)) return false;
    applyCapabilities(row.capabilities);
    if (row.newFeature == NewFeatureRule::Set) s_.newFeature = 1;
    if (row.newFeature == NewFeatureRule::Clear) s_.newFeature = 0;
    if (!adjust(row.branch)) return false;
    return row.mask != MaskRule::Read || readMaskType(*reader_, r_);
  }

  bool applyMenuRule(const ModelRow& row, const Ids& ids) {
    switch (row.menu) {
      case MenuRule::Grey:
        r_.formatMenu = FormatMenu::Grey;
        r_.formatSwitchMode = 2;
        return true;
      case MenuRule::FormatRegister: {
        std::uint8_t items = 0;
        if (!readByte(kFormatItemsRegister, items)) return false;
        r_.formatMenu = items == 0x88   ? FormatMenu::PalChecked
                        : items == 0xAA ? FormatMenu::NtscChecked
                                        : FormatMenu::Grey;
        r_.formatSwitchMode = 2;
        return true;
      }
      case MenuRule::SetupRoutine: r_.formatSwitchMode = ids.type <= 47 ? 2 : 3; return true;
    }
    return true;
  }

  void applyCapabilities(const Capabilities& c) {
    if (c.functionWord) r_.functionWord = *c.functionWord;
    if (c.menuWord) r_.menuWord = *c.menuWord;
    if (c.launcherMask) r_.launcherMask = *c.launcherMask;
    if (c.featureWord) r_.featureWord = *c.featureWord;
    if (c.optionWord) r_.optionWord = *c.optionWord;
    if (c.eisLevel) r_.eisLevel = *c.eisLevel;
    if (c.effectsSet) r_.effectsSet = *c.effectsSet;
    if (c.lensControlWord) r_.lensControlWord = *c.lensControlWord;
    if (c.motionTracking) r_.motionTracking = *c.motionTracking;
    if (c.panelWord2) r_.panelWord2 = *c.panelWord2;
    if (c.panelWord4) r_.panelWord4 = *c.panelWord4;
    if (c.panelByte2) r_.panelByte2 = *c.panelByte2;
    if (c.panelByte8) r_.panelByte8 = *c.panelByte8;
    r_.extraOptionWord = c.extraOptionWord;
  }

  // Version- and register-dependent parts of the setups.
  bool adjust(Branch branch) {
    const std::uint16_t version = r_.cameraVersion;
    switch (branch) {
      case Branch::Type13:
        if (version < 0x234) {
          r_.maskType = 1;
          return true;
        }
        r_.panelWord4 = 0x40;
        return readMaskType(*reader_, r_);
      case Branch::Type24: {
        std::uint8_t mode = 0;
        if (!readByte(kDisplayModeRegister, mode)) return false;
        r_.displayModeMenu = true;
        r_.displayModePrivacyMask = (mode & 0x01) != 0;
        return true;
      }
      case Branch::Qb148:
        r_.eisLevel = version >= 16 ? 2 : 1;
        if (version >= 16) r_.panelByte8 = 1;
        return true;
      case Branch::Qb150First:
        if (versionNumber(version) >= 6) r_.launcherMask = 0;
        return true;
      case Branch::Qb152Type29:
        r_.cameraVersion = 1;
        versionFixed_ = true;
        return true;
      case Branch::Qb152Type31: adjustGeneration(versionNumber(version)); return true;
      case Branch::Qb156: {
        std::uint8_t drive = 0;
        if (!readByte(kDriveRegister, drive)) return false;
        if (drive & 0x02) r_.lensControlWord = 0;
        return true;
      }
      case Branch::Qb157:
      case Branch::Qb159:
        r_.panelWord2 = version < 0x304 ? 0x0CFF : 0x0FFF;
        return true;
      case Branch::Qb161Type44:
      case Branch::Qb166:
      case Branch::Qb161:
      case Branch::Qb163:
        if (version >= 0x113) {
          r_.panelWord2 = static_cast<std::uint16_t>((r_.panelWord2 & 0xFF) | 0x1900);
          if (s_.picModeCmd == 1) r_.lensControlWord = static_cast<std::uint16_t>((r_.lensControlWord & 0xFF) | 0x5200);
        }
        return true;
      case Branch::Qb165Type44Later:
        if (version >= 39) r_.lensControlWord = 0x1000;
        return true;
      case Branch::Qb165Type47Earlier: r_.removedClockItems |= kClockItem28_5MHz; return true;
      case Branch::Qb165Type47Later: return adjustQb165Clock(version);
      case Branch::Qb177: return adjustZoomRange();
      case Branch::Qb187: return adjustQb187Clock();
      case Branch::Qb200:
        if (version < 0x100) r_.featureWord = 0xC6FE;
        return true;
      default: return true;
    }
  }

  // Type 31 comes in four generations by version number.
  void adjustGeneration(std::uint16_t number) {
    constexpr std::array<std::uint16_t, 4> kOptionWords{0x0B, 0x1F, 0x7F, 0x7F};
    const std::size_t generation = number <= 5 ? 0 : number <= 17 ? 1 : number <= 1023 ? 2 : 3;
    r_.optionWord = kOptionWords[generation];
    if (generation == 3) r_.functionWord = 0xAF4F;
  }

  bool adjustQb165Clock(std::uint16_t version) {
    std::uint8_t mode = 0;
    std::uint8_t clock = 0;
    if (!readByte(kCameraModeRegister, mode) || !readByte(kClockRegister, clock)) return false;
    struct ClockChoice {
      std::uint8_t mode, clock;
      int selector, lens;
    };
    constexpr std::array<ClockChoice, 6> kChoices{{{0, 0x00, 5, 15}, {0, 0x01, 1, 14}, {0, 0xFF, 3, 12},
                                                    {1, 0x00, 6, 17}, {1, 0x01, 2, 16}, {1, 0xFF, 4, 13}}};
    r_.lensIndex = 12;
    for (const auto& c : kChoices)
      if (c.mode == mode && c.clock == clock) {
        r_.clockSelector = c.selector;
        r_.lensIndex = c.lens;
      }
    if (version >= 39) r_.lensControlWord = 0x5000;
    if (version >= 0x102)
      s_.qb165Clock = 1;
    else if (s_.qb165Clock != 0)
      r_.removedClockItems |= kClockItem27MHz;
    r_.removedClockItems |= kClockItem28_5MHz;
    return true;
  }

  bool adjustZoomRange() {
    std::uint8_t range = 0;
    bool wide = false;
    if (afp()) {
      if (!reader_->queryFunction(kZoomRangeFunction, range)) return false;
      wide = range != 1;
    } else {
      if (!readByte(kZoomRangeRegister, range)) return false;
      wide = range != 0;
    }
    r_.lensIndex = wide ? 19 : 23;
    return true;
  }

  bool adjustQb187Clock() {
    std::uint8_t clock = 0;
    std::uint8_t board = 0;
    if (!readByte(kClockRegister, clock) || !readByte(kBoardRegister, board)) return false;
    r_.lensIndex = clock < 2 ? 14 : 12;
    r_.clockSelector = clock < 2 ? 1 : 3;
    r_.removedClockItems |= kClockItem27MHz;
    if ((board & 0x01) == 0) r_.removedClockItems |= kClockItem28_5MHz;
    return true;
  }

  bool commonTail() {
    if (r_.menuWord & 0x1000) {
      std::uint8_t offered = 0;
      if (!readByte(kProtocolRegister, offered)) return false;
      f_.protocolSelect = offered == 2 || offered == 3;
      f_.protocolChoice = offered == 3;
    }
    out_.model = r_.name;
    out_.aeMode = aeModeText(f_.aeMode, reader_->protocol());
    if (r_.modelCode <= 0xFF) applyOldEffects();
    out_.effectsCaption = std::string(effectsCaption(r_.effectsSet));
    readVideoFormat();
    if (!versionFixed_ && !readWord(kVersionRegister, r_.cameraVersion)) return false;
    for (std::size_t i = 0; i < kEepromByteRegisters.size(); ++i) {
      std::uint8_t v = 0;
      if (readByte(kEepromByteRegisters[i], v)) (i == 0 ? r_.reg0108 : i == 1 ? r_.reg0109 : r_.reg010A) = v;
    }
    std::uint16_t w = 0;
    if (readWord(kEepromWordRegister, w)) r_.reg010B = w;
    f_.extendedCommMode = s_.exComMode != 0 ? s_.exComMode : (r_.optionWord & 0x0001) ? 2 : 0;
    reportLensStatus();
    return true;
  }

  void applyOldEffects() {
    switch (r_.modelCode & 0xF0) {
      case 0x80:
      case 0xA0:
      case 0xE0: r_.effectsSet = 1; break;
      case 0xB0: r_.effectsSet = 2; break;
      case 0xC0: r_.effectsSet = 3; break;
      default: break;
    }
  }

  void readVideoFormat() {
    std::uint8_t format = 0;
    if (!readByte(kVideoFormatRegister, format)) return;
    const bool digital = (r_.optionWord & 0x0080) != 0;
    const bool ntsc = (format & 0x20) != 0;
    f_.ntscTiming = ntsc || digital;
    out_.format = std::string(digital ? kDigitalOut : ntsc ? kNtscModel : kPalModel);
  }

  void reportLensStatus() {
    std::uint8_t v = 0;
    int status = 0;
    if ((r_.lensControlWord & 0x0010) == 0) {
      if (!readByte(kLensStatusRegister, v)) return;
      status = v >> 6;
    } else {
      const bool ok = afp() ? reader_->queryFunction(kLensConditionFunction, v) : readByte(kLensConditionRegister, v);
      if (!ok) return;
      status = v % 8;
    }
    if (status != 0) prompt_.message(lensStatusMessage(status), kMessageTitle, core::Icon::Exclamation);
  }

  SimulatedCamera simulated_;
  RegisterReader* reader_;
  core::Prompt& prompt_;
  ModelRecord& r_;
  IdentificationFlags& f_;
  IdentificationSwitches& s_;
  LauncherFields& out_;
  bool versionFixed_ = false;
};

// Converts the value characters of an AFP reply the way every AFP read does: a character
// that is not a hex digit starts the value again from 0.
std::uint32_t afpField(std::string_view text) {
  std::uint32_t v = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9')
      v = v * 16 + static_cast<std::uint32_t>(c - '0');
    else if (c >= 'A' && c <= 'F')
      v = v * 16 + static_cast<std::uint32_t>(c - 'A' + 10);
    else
      v = 0;
  }
  return v;
}

}  // namespace

bool LinkRegisterReader::readByte(std::uint16_t address, std::uint8_t& value) {
  return link_.protocol() == link::Protocol::Afp ? link::gatewayReadByte(afp_, link_, address, value)
                                                 : eap_.readByte(address, value);
}

bool LinkRegisterReader::readWord(std::uint16_t address, std::uint16_t& value) {
  return link_.protocol() == link::Protocol::Afp ? link::gatewayReadWord(afp_, link_, address, value)
                                                 : eap_.readWord(address, value);
}

bool LinkRegisterReader::queryFunction(std::uint16_t code, std::uint8_t& value) {
  std::string reply;
  if (!afp_.get(fmt::format("{:04X}FF", code), reply)) return false;
  value = static_cast<std::uint8_t>(afpField(std::string_view(reply).substr(0, 2)));
  return true;
}

IdentifyOutcome Identification::run(ModelRecord& record, IdentificationFlags& flags,
                                    IdentificationSwitches& switches) {
  if (reader_.noCameraMode() == link::NoCameraMode::Absent) return IdentifyOutcome::AlreadyAbsent;
  core::EchoModeScope quiet(monitor_, core::EchoMode::Hidden);
  Walk walk(reader_, prompt_, record, flags, switches, launcher_);
  return walk.run() ? IdentifyOutcome::Identified : IdentifyOutcome::Failed;
}

bool readMaskType(RegisterReader& reader, ModelRecord& record) {
  // These families hold their masks in one layout and need no read.
  constexpr std::array<std::uint16_t, 5> kFixedFamilies{0x19F0, 0x1AF0, 0x1BF0, 0x1CF0, 0x1DF0};
  const auto family = static_cast<std::uint16_t>(record.modelCode & 0xFFF0);
  if (record.modelCode == 0xFF0 || std::find(kFixedFamilies.begin(), kFixedFamilies.end(), family) != kFixedFamilies.end()) {
    record.maskType = 2;
    return true;
  }
  std::uint8_t v = 0;
  if (!reader.readByte(kMaskTypeRegister, v)) return false;
  const int bits = v >> 6;
  record.maskType = bits == 2 ? 2 : bits == 3 ? 3 : 1;
  return true;
}

}  // namespace orva::camera
