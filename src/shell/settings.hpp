#pragma once
// ORVA.ini: the link settings, protocol, last model and the feature switches a service
// engineer sets by hand. Read once at start, written back at exit by the desktop tool only.
//
// The file is line based. A line starting with "/" is a comment. A setting line starts with
// its 13-character key (closing "=" included), one blank, and the value from column 15.
// Only the first 80 columns of a line count for the switches; the rest of the line is kept.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/error.hpp"

namespace orva::shell {

inline constexpr int kProtocolAfp = 1;
inline constexpr int kProtocolEap = 2;

struct Settings {
  // The eight keys the program writes back.
  int demoWaitSeconds = 5;                 // "Wait_time   =": 0 = 3 s, 1 = 5 s
  int demoMode = 0;                        // "Demo_mode   =": 0 endless loop, 1 one pass
  std::string settingsText = "4800,E,8 ,1";  // "Baudrate    =": replaced by a valid form at start
  bool backupMade = false;                 // "Backup_mode ="
  std::uint32_t modelCode = 0;             // "Model Data  =": last connected camera
  int portIndex = 0;                       // "Comm..Port  =": port number minus 1
  int protocol = kProtocolEap;             // "RS_NEW_PTCL =": 1 AFP, 2 EAP
  std::string portDevice;                  // "Port Device =": device path, wins over the index

  // Switches read at start, never written.
  int qaMode = 0;
  int exComMode = 0;
  int pm2Mode = 0;
  int motionDetOn = 0;
  int mdCursor = 0;
  int language = 0;
  int eisExt = 0;
  int wdrManual = 0;
  int fileSelect = 1;
  int sendFile = 0;
  int eepromSize = 0;
  int analyzer = 0;
  int wspotCancel = 0;
  int newFeature = 1;
  int rsNegotiate = 1;
  int textColour = 0;  // colour code: black
  int backColour = 7;  // colour code: white
  int adjDtWrite = 0;
  int mdCurColour = 0;
  int psetdatBup = 0;
  int epfileModel = 0;
  int adrMenu = 0;
  int activeExec = 0;
  int biCycling = 0;
  int ledControl = 0;
  int motorTest = 0;
  int afFastMode = 0;
  int wbCtrlMode = 0;
  int qb165Clock = 0;
  int afNewCmd = 0;
  int picModeCmd = 0;
  int rsNewTest = 0;
  int eepMemMod = 0;
  int defogMon = 0;
  int defogSubmd = 0;
  int zoomSense = 0;
  int eepromVerify = 1;  // "EEP Verify  =": 0 skips the read-back check after an EEPROM write

  int portNumber() const { return portIndex + 1; }
};

// Applies the lines of `fileText` over `s` (which holds the defaults or earlier values).
// Never fails: lines and values it cannot use are ignored or masked as the file format says.
void parseSettings(std::string_view fileText, Settings& s);

// A number of the configuration by its key as the file writes it ("LED Control =", with or
// without the blank after it), as the reader took it; none for a key the file format does not
// have or whose value is no number (the settings text, the device path).
std::optional<int> settingValue(const Settings& s, std::string_view key);

// A settings text that is not one of the twelve link forms becomes "4800,E,8  ,1".
void normalizeSettingsText(Settings& s);

// The whole file as written when none exists yet.
std::string renderFreshSettings(const Settings& s);

// `oldText` with the managed keys replaced in place by the current values, every other line
// kept byte for byte, and the sections of keys the file lacks appended at its end.
std::string rewriteSettings(std::string_view oldText, const Settings& s);

class SettingsFile {
 public:
  enum class Loaded { Read, Missing, Unreadable };

  // The configuration file in `folder`: an existing "ORVA.ini", "ORVA.INI" or any other
  // spelling of that name, else "ORVA.ini".
  static std::filesystem::path locate(const std::filesystem::path& folder);

  explicit SettingsFile(std::filesystem::path path) : path_(std::move(path)) {}
  const std::filesystem::path& path() const { return path_; }

  // Defaults, then the file's lines, then the start-up check of the settings text.
  // `message` tells why an existing file could not be read.
  Loaded load(Settings& s, std::string* message = nullptr) const;

  // Writes the file back (or afresh) through a temporary file and an atomic rename.
  // On failure the old file is untouched and the Status says so.
  core::Status save(const Settings& s) const;

 private:
  std::filesystem::path path_;
};

}  // namespace orva::shell
