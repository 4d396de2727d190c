#pragma once
// The twelve forms of the communication settings text: speed, parity, 8 data bits, 1 stop bit.
// Every form is exactly 12 characters; the inner blanks are part of the text and are what the
// configuration file stores.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace orva::link {

struct SettingsForm {
  int speedCode;          // 1..12
  std::string_view text;  // e.g. "4800,E,8  ,1"
  int baud;
  bool evenParity;
};

inline constexpr std::array<SettingsForm, 12> kSettingsForms{{
    {1, "4800,E,8  ,1", 4800, true},     {2, "4800,N,8  ,1", 4800, false},
    {3, "9600,E,8  ,1", 9600, true},     {4, "9600,N,8  ,1", 9600, false},
    {5, "19200,E,8 ,1", 19200, true},    {6, "19200,N,8 ,1", 19200, false},
    {7, "38400,E,8 ,1", 38400, true},    {8, "38400,N,8 ,1", 38400, false},
    {9, "57600,E,8 ,1", 57600, true},    {10, "57600,N,8 ,1", 57600, false},
    {11, "115200,E,8,1", 115200, true},  {12, "115200,N,8,1", 115200, false},
}};

// The settings text every start falls back to.
inline constexpr std::string_view kDefaultSettingsText = "4800,E,8  ,1";

// The form whose text is exactly `text`.
std::optional<SettingsForm> findSettingsForm(std::string_view text);
// Also accepts the text without its padding blanks ("9600,N,8,1") and lower-case parity,
// as typed on a command line.
std::optional<SettingsForm> parseSettingsText(std::string_view text);

inline int speedRank(int speedCode) { return (speedCode + 1) / 2; }
inline int parityIndex(int speedCode) { return (speedCode - 1) % 2; }

}  // namespace orva::link
