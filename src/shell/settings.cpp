#include "shell/settings.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <optional>
#include <system_error>
#include <vector>

#include "core/atomic_file.hpp"
#include "link/settings_forms.hpp"

namespace orva::shell {
namespace {

constexpr std::size_t kKeyWidth = 13;
constexpr std::size_t kValueColumn = 14;  // column 15, counted from 0
constexpr std::size_t kParsedColumns = 80;

enum class Rule { QaMode, WaitTime, DemoMode, Baudrate, BackupMode, ModelData, ExCom, Mask15, Mask1, CommPort, Protocol };

struct KeyRule {
  std::string_view key;
  Rule rule;
  int Settings::*field;
};

// The keys in the order the reader looks for them.
constexpr std::array<KeyRule, 44> kKeys{{
    {"QA_MODE     =", Rule::QaMode, &Settings::qaMode},
    {"Wait_time   =", Rule::WaitTime, &Settings::demoWaitSeconds},
    {"Demo_mode   =", Rule::DemoMode, &Settings::demoMode},
    {"Baudrate    =", Rule::Baudrate, nullptr},
    {"Backup_mode =", Rule::BackupMode, nullptr},
    {"Model Data  =", Rule::ModelData, nullptr},
    {"eX com mode =", Rule::ExCom, &Settings::exComMode},
    {"PM2_mode    =", Rule::Mask15, &Settings::pm2Mode},
    {"Motiondeton =", Rule::Mask15, &Settings::motionDetOn},
    {"MD cursor   =", Rule::Mask15, &Settings::mdCursor},
    {"Language    =", Rule::Mask1, &Settings::language},
    {"EIS ext.    =", Rule::Mask1, &Settings::eisExt},
    {"WDR manual  =", Rule::Mask1, &Settings::wdrManual},
    {"File Select =", Rule::Mask1, &Settings::fileSelect},
    {"Send File   =", Rule::Mask1, &Settings::sendFile},
    {"EEPROM Size =", Rule::Mask15, &Settings::eepromSize},
    {"Analyzer    =", Rule::Mask15, &Settings::analyzer},
    {"WSpotCancel =", Rule::Mask15, &Settings::wspotCancel},
    {"New Feature =", Rule::Mask15, &Settings::newFeature},
    {"RS Negotiate=", Rule::Mask15, &Settings::rsNegotiate},
    {"Text Color  =", Rule::Mask15, &Settings::textColour},
    {"Back Color  =", Rule::Mask15, &Settings::backColour},
    {"ADJ.DT Write=", Rule::Mask15, &Settings::adjDtWrite},
    {"MD Cur Color=", Rule::Mask15, &Settings::mdCurColour},
    {"Psetdat bup =", Rule::Mask15, &Settings::psetdatBup},
    {"Comm..Port  =", Rule::CommPort, &Settings::portIndex},
    {"EPFile model=", Rule::Mask15, &Settings::epfileModel},
    {"ADR menu    =", Rule::Mask15, &Settings::adrMenu},
    {"Active Exec =", Rule::Mask15, &Settings::activeExec},
    {"BiCycling   =", Rule::Mask15, &Settings::biCycling},
    {"LED Control =", Rule::Mask15, &Settings::ledControl},
    {"Motor Test  =", Rule::Mask15, &Settings::motorTest},
    {"AF Fast mode=", Rule::Mask15, &Settings::afFastMode},
    {"WB Ctrl mode=", Rule::Mask15, &Settings::wbCtrlMode},
    {"QB165 CLOCK =", Rule::Mask15, &Settings::qb165Clock},
    {"AF_NEW_CMD  =", Rule::Mask15, &Settings::afNewCmd},
    {"PIC_MODE_CMD=", Rule::Mask15, &Settings::picModeCmd},
    {"RS_NEW_PTCL =", Rule::Protocol, &Settings::protocol},
    {"RS_NEW_TEST =", Rule::Mask15, &Settings::rsNewTest},
    {"EEP_MEM_MOD =", Rule::Mask15, &Settings::eepMemMod},
    {"DEFOG_MON   =", Rule::Mask15, &Settings::defogMon},
    {"DEFOG_SUBMD =", Rule::Mask15, &Settings::defogSubmd},
    {"ZOOM_SENSE  =", Rule::Mask15, &Settings::zoomSense},
    {"EEP Verify  =", Rule::Mask1, &Settings::eepromVerify},
}};

constexpr bool keysAreThirteenWide() {
  for (const auto& k : kKeys)
    if (k.key.size() != kKeyWidth) return false;
  return true;
}
static_assert(keysAreThirteenWide());

constexpr std::string_view kPortDeviceKey = "Port Device =";
static_assert(kPortDeviceKey.size() == kKeyWidth);

// One line of the file: the raw bytes (terminator included) and what the reader looks at.
struct Line {
  std::string_view raw;   // as in the file, "\n" included when there is one
  std::string_view text;  // without "\n" and a "\r" before it
  bool terminated;        // ended by a line feed
  std::string_view parsed() const { return text.substr(0, std::min(text.size(), kParsedColumns)); }
  // The character at `column` (from 0) of the parsed part, as a C reader of the line sees it:
  // a line feed just past the text, NUL beyond.
  char at(std::size_t column) const {
    std::string_view p = parsed();
    if (column < p.size()) return p[column];
    if (column == p.size() && terminated) return '\n';
    return '\0';
  }
  bool isComment() const { return !text.empty() && text.front() == '/'; }
};

std::vector<Line> splitLines(std::string_view file) {
  std::vector<Line> lines;
  while (!file.empty()) {
    std::size_t nl = file.find('\n');
    bool terminated = nl != std::string_view::npos;
    std::size_t end = terminated ? nl + 1 : file.size();
    std::string_view raw = file.substr(0, end);
    std::string_view text = raw.substr(0, terminated ? nl : raw.size());
    if (terminated && !text.empty() && text.back() == '\r') text.remove_suffix(1);
    lines.push_back(Line{raw, text, terminated});
    file.remove_prefix(end);
  }
  return lines;
}

bool containsKeyWithBlank(std::string_view parsed, std::string_view key) {
  std::size_t pos = parsed.find(key);
  while (pos != std::string_view::npos) {
    if (pos + key.size() < parsed.size() && parsed[pos + key.size()] == ' ') return true;
    pos = parsed.find(key, pos + 1);
  }
  return false;
}

int hexDigitValue(char c) {
  auto u = static_cast<unsigned char>(c);
  return std::isalpha(u) ? (u + 9) & 15 : u & 15;
}

std::uint32_t readModelData(const Line& line) {
  std::string_view p = line.parsed();
  if (p.size() <= kValueColumn) return 0;
  std::uint32_t v = 0;
  for (char c : p.substr(kValueColumn)) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return 0;
    v = v * 16 + static_cast<std::uint32_t>(hexDigitValue(c));
  }
  return v;
}

int readCommPort(const Line& line) {
  int first = hexDigitValue(line.at(kValueColumn));
  char second = line.at(kValueColumn + 1);
  // The end of the file ends the value as a line feed does.
  if (second == '\n' || second == '\0') return first;
  return first * 16 + hexDigitValue(second);
}

void apply(const KeyRule& k, const Line& line, Settings& s) {
  const char c = line.at(kValueColumn);
  const int masked15 = c & 15;
  switch (k.rule) {
    case Rule::QaMode: s.*k.field = c - '0'; break;
    case Rule::WaitTime:
      if (c == '0') s.demoWaitSeconds = 3;
      else if (c == '1') s.demoWaitSeconds = 5;
      break;
    case Rule::DemoMode: s.demoMode = c == '0' ? 0 : 1; break;
    case Rule::Baudrate: {
      std::string_view p = line.parsed();
      s.settingsText = p.size() > kValueColumn ? std::string(p.substr(kValueColumn, 12)) : std::string();
      break;
    }
    case Rule::BackupMode: s.backupMade = c == '1'; break;
    case Rule::ModelData: s.modelCode = readModelData(line); break;
    case Rule::ExCom: s.*k.field = (masked15 == 1 || masked15 == 2) ? masked15 : 0; break;
    case Rule::Mask15: s.*k.field = masked15; break;
    case Rule::Mask1: s.*k.field = c & 1; break;
    case Rule::CommPort: s.*k.field = readCommPort(line); break;
    case Rule::Protocol: s.*k.field = masked15; break;
  }
}

// ---- writing ----

enum class Managed { WaitTime, DemoMode, Baudrate, BackupMode, ModelData, CommPort, Protocol, PortDevice };
constexpr int kManagedCount = 8;

struct ManagedKey {
  Managed which;
  std::string_view keyWithBlank;
  std::string_view comment;  // the section's comment line, "\n" included
};

// In the order the sections appear in a fresh file.
constexpr std::array<ManagedKey, kManagedCount> kSections{{
    {Managed::WaitTime, "Wait_time   = ", "//  Demo Wait Time -- 0:3s, 1:5s\n"},
    {Managed::DemoMode, "Demo_mode   = ", "//  Demo Loop number of time -- 0:Inf. LOOP, 1:ONE TIME\n"},
    {Managed::Baudrate, "Baudrate    = ", "//  RS-232C Serial Setting Baudrate,Parity,size,stop\n"},
    {Managed::BackupMode, "Backup_mode = ", "//  EEPROM Backup mode -- 0:non Backup\n"},
    {Managed::ModelData, "Model Data  = ", "//  Model Original Data\n"},
    {Managed::CommPort, "Comm..Port  = ", "//  Comm. Port Data \n"},
    {Managed::Protocol, "RS_NEW_PTCL = ", "//Protocol type 1:AFP 2:EAP\n"},
    {Managed::PortDevice, "Port Device = ", "//  Serial device path (wins over Comm..Port when present)\n"},
}};

// The order in which a rewrite tests a line for the managed keys.
constexpr std::array<Managed, 7> kRewriteOrder{Managed::BackupMode, Managed::ModelData, Managed::CommPort,
                                               Managed::DemoMode,   Managed::WaitTime,  Managed::Baudrate,
                                               Managed::Protocol};

const ManagedKey& section(Managed m) { return kSections[static_cast<std::size_t>(m)]; }

std::string waitCode(const Settings& s, int mask) {
  if (s.demoWaitSeconds == 3) return "0";
  if (s.demoWaitSeconds == 5) return "1";
  return fmt::format("{:X}", s.demoWaitSeconds & mask);
}

// The value as written after the key; a fresh file and a rewrite differ only in the width of
// an unusual wait code.
std::string value(Managed m, const Settings& s, bool fresh) {
  switch (m) {
    case Managed::WaitTime: return waitCode(s, fresh ? 7 : 15);
    case Managed::DemoMode: return fresh ? (s.demoMode == 0 ? "0" : "1") : fmt::format("{:X}", s.demoMode);
    case Managed::Baudrate: return s.settingsText;
    case Managed::BackupMode: return s.backupMade ? "1" : "0";
    case Managed::ModelData: return fmt::format("{:X}", s.modelCode);
    case Managed::CommPort: return fmt::format("{:X}", static_cast<unsigned>(s.portIndex));
    case Managed::Protocol: return fmt::format("{}", s.protocol);
    case Managed::PortDevice: return s.portDevice;
  }
  return {};
}

std::string settingLine(Managed m, const Settings& s, bool fresh) {
  return std::string(section(m).keyWithBlank) + value(m, s, fresh) + "\n";
}

std::string sectionText(Managed m, const Settings& s, bool fresh) {
  return "\n" + std::string(section(m).comment) + settingLine(m, s, fresh);
}

bool wantsPortDevice(const Settings& s) { return !s.portDevice.empty(); }

const char* const kHeader =
    "//=============================================\n"
    "//=                                           =\n"
    "//= ORVA2                                     =\n"
    "//=                                           =\n"
    "//=                           ORVA.ini File   =\n"
    "//=============================================\n";

std::optional<Managed> managedKeyOf(const Line& line) {
  if (line.isComment()) return std::nullopt;
  if (line.text.substr(0, kKeyWidth) == kPortDeviceKey) return Managed::PortDevice;
  std::string_view p = line.parsed();
  for (Managed m : kRewriteOrder)
    if (p.find(section(m).keyWithBlank) != std::string_view::npos) return m;
  return std::nullopt;
}

}  // namespace

void parseSettings(std::string_view fileText, Settings& s) {
  for (const Line& line : splitLines(fileText)) {
    if (line.isComment()) continue;
    std::string_view head = line.parsed().substr(0, std::min(line.parsed().size(), kKeyWidth));
    if (head == kKeys[0].key) { apply(kKeys[0], line, s); continue; }
    if (head == kKeys[1].key) { apply(kKeys[1], line, s); continue; }
    if (line.text.substr(0, kKeyWidth) == kPortDeviceKey) {
      // Our own key: its value runs to the end of the line, however long the path.
      s.portDevice = line.text.size() > kValueColumn ? std::string(line.text.substr(kValueColumn)) : std::string();
      continue;
    }
    for (std::size_t i = 2; i < kKeys.size(); ++i) {
      if (containsKeyWithBlank(line.parsed(), kKeys[i].key)) {
        apply(kKeys[i], line, s);
        break;
      }
    }
  }
  if (s.protocol == 0) s.protocol = kProtocolEap;
}

std::optional<int> settingValue(const Settings& s, std::string_view key) {
  while (key.size() > kKeyWidth && key.back() == ' ') key.remove_suffix(1);
  for (const KeyRule& k : kKeys) {
    if (k.key != key) continue;
    if (k.field != nullptr) return s.*k.field;
    if (k.rule == Rule::BackupMode) return s.backupMade ? 1 : 0;
    if (k.rule == Rule::ModelData) return static_cast<int>(s.modelCode);
    return std::nullopt;
  }
  return std::nullopt;
}

void normalizeSettingsText(Settings& s) {
  if (!link::findSettingsForm(s.settingsText)) s.settingsText = std::string(link::kDefaultSettingsText);
}

std::string renderFreshSettings(const Settings& s) {
  std::string out = kHeader;
  for (const auto& sec : kSections) {
    if (sec.which == Managed::PortDevice && !wantsPortDevice(s)) continue;
    out += sectionText(sec.which, s, true);
  }
  return out;
}

std::string rewriteSettings(std::string_view oldText, const Settings& s) {
  if (oldText.empty()) return renderFreshSettings(s);
  std::array<bool, kManagedCount> found{};
  std::string out;
  out.reserve(oldText.size() + 512);
  for (const Line& line : splitLines(oldText)) {
    if (auto m = managedKeyOf(line)) {
      found[static_cast<std::size_t>(*m)] = true;
      out += settingLine(*m, s, false);
    } else {
      out += line.raw;
    }
  }
  bool needsNewline = !out.empty() && out.back() != '\n';
  for (const auto& sec : kSections) {
    if (found[static_cast<std::size_t>(sec.which)]) continue;
    if (sec.which == Managed::PortDevice && !wantsPortDevice(s)) continue;
    if (needsNewline) { out += '\n'; needsNewline = false; }
    out += sectionText(sec.which, s, false);
  }
  return out;
}

std::filesystem::path SettingsFile::locate(const std::filesystem::path& folder) {
  const std::filesystem::path preferred = folder / "ORVA.ini";
  std::vector<std::string> matches;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string name = it->path().filename().string();
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "orva.ini") matches.push_back(name);
  }
  if (matches.empty()) return preferred;
  for (std::string_view best : {"ORVA.ini", "ORVA.INI"})
    if (std::find(matches.begin(), matches.end(), best) != matches.end()) return folder / std::string(best);
  std::sort(matches.begin(), matches.end());
  return folder / matches.front();
}

SettingsFile::Loaded SettingsFile::load(Settings& s, std::string* message) const {
  s = Settings{};
  auto text = core::readFile(path_);
  Loaded result = Loaded::Read;
  if (text) {
    parseSettings(*text, s);
  } else {
    std::error_code ec;
    result = std::filesystem::exists(path_, ec) || ec ? Loaded::Unreadable : Loaded::Missing;
    if (message && result == Loaded::Unreadable) *message = text.message();
  }
  normalizeSettingsText(s);
  return result;
}

core::Status SettingsFile::save(const Settings& s) const {
  std::error_code ec;
  std::filesystem::path target = path_;
  // A link to the file is kept: the file it points to is replaced.
  if (std::filesystem::is_symlink(path_, ec)) target = std::filesystem::weakly_canonical(path_, ec);
  if (ec) target = path_;

  std::string contents;
  if (std::filesystem::exists(target, ec)) {
    auto old = core::readFile(target);
    if (!old) return core::Error{old.message() + "; the settings were not saved"};
    contents = rewriteSettings(*old, s);
  } else {
    contents = renderFreshSettings(s);
  }
  return core::AtomicFile::write(target, contents);
}

}  // namespace orva::shell
