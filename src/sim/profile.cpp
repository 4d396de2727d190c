#include "sim/profile.hpp"

#include "core/text.hpp"

#include <fmt/format.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <optional>
#include <string>

namespace orva::sim {
namespace {

// Far beyond any real profile (a full 64 K map is about 200 KB of text); a bigger file is
// the wrong file, and reading it whole would only waste memory.
constexpr std::uintmax_t kMaxProfileBytes = 16 * 1024 * 1024;

// EEPROM images are whole blocks of eight rows.
constexpr unsigned kEepromBlock = 0x80;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Shows a piece of a bad line safely in a message, whatever bytes it holds.
std::string quoted(std::string_view s) {
  constexpr std::size_t kMaxShown = 40;
  std::string out = "\"";
  for (std::size_t i = 0; i < s.size() && i < kMaxShown; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\')
      out += static_cast<char>(c);
    else
      out += fmt::format("\\x{:02X}", c);
  }
  if (s.size() > kMaxShown) out += "...";
  return out + "\"";
}

struct LineError {
  std::string what;
};

class ProfileParser {
 public:
  std::optional<LineError> statement(std::string_view line) {
    if (auto colon = line.find(':'); colon != std::string_view::npos)
      return registers(trim(line.substr(0, colon)), line.substr(colon + 1));
    const auto blank = line.find_first_of(" \t");
    const std::string_view keyword = line.substr(0, blank);
    const std::string_view rest = blank == std::string_view::npos ? "" : trim(line.substr(blank));
    if (keyword == "settings") return settings(rest);
    if (keyword == "protocol") return protocol(rest);
    if (keyword == "completion") return time(keyword, rest, haveCompletion_, profile_.completionDelay);
    if (keyword == "restart") return time(keyword, rest, haveRestart_, profile_.restartTime);
    if (keyword == "factory") return time(keyword, rest, haveFactory_, profile_.factoryTime);
    if (keyword == "refuse") return refuse(rest);
    if (keyword == "eeprom") return eeprom(rest);
    if (keyword == "lens") return lens(rest);
    return LineError{fmt::format(
        "{} is not a statement (expected settings, protocol, completion, restart, factory, refuse, eeprom, "
        "lens or ADDR: BB ...)",
        quoted(line))};
  }

  Profile& profile() { return profile_; }

 private:
  std::optional<LineError> settings(std::string_view text) {
    if (haveSettings_) return LineError{"settings are given a second time"};
    auto form = link::parseSettingsText(text);
    if (!form) return LineError{fmt::format("{} is not a settings text (e.g. \"9600,N,8,1\")", quoted(text))};
    profile_.settings = *form;
    haveSettings_ = true;
    return std::nullopt;
  }

  std::optional<LineError> protocol(std::string_view text) {
    if (haveProtocol_) return LineError{"the protocol is given a second time"};
    if (text == "eap")
      profile_.protocol = Protocol::Eap;
    else if (text == "afp")
      profile_.protocol = Protocol::Afp;
    else
      return LineError{fmt::format("protocol {} is neither eap nor afp", quoted(text))};
    haveProtocol_ = true;
    return std::nullopt;
  }

  std::optional<LineError> time(std::string_view keyword, std::string_view text, bool& given,
                                 std::chrono::milliseconds& out) {
    if (given) return LineError{fmt::format("{} is given a second time", keyword)};
    std::uint32_t ms = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, ms);
    if (text.empty() || ec != std::errc{} || ptr != end)
      return LineError{fmt::format("{} {} is not a whole number of milliseconds", keyword, quoted(text))};
    if (std::chrono::milliseconds(ms) > kLongestProfileTime)
      return LineError{fmt::format("{} {} is longer than {} ms", keyword, ms, kLongestProfileTime.count())};
    out = std::chrono::milliseconds(ms);
    given = true;
    return std::nullopt;
  }

  std::optional<LineError> refuse(std::string_view text) {
    const auto blank = text.find_first_of(" \t");
    if (blank == std::string_view::npos)
      return LineError{fmt::format("refuse {} needs a function code and a status, e.g. \"refuse 0181 3\"",
                                   quoted(text))};
    const std::string_view codeText = text.substr(0, blank);
    const std::string_view statusText = trim(text.substr(blank));
    auto code = core::parseHex(codeText, 4);
    if (!code)
      return LineError{
          fmt::format("function code {} is not a hex number of up to four digits", quoted(codeText))};
    auto status = statusText.size() == 1 ? core::parseHex(statusText, 1) : std::nullopt;
    if (!status || *status == 0)
      return LineError{fmt::format("status {} is not one hex digit from 1 to F", quoted(statusText))};
    profile_.refusals[static_cast<std::uint16_t>(*code)] = static_cast<std::uint8_t>(*status);
    return std::nullopt;
  }

  std::optional<LineError> eeprom(std::string_view text) {
    if (profile_.eepromRange) return LineError{"the EEPROM range is given a second time"};
    const auto blank = text.find_first_of(" \t");
    if (blank == std::string_view::npos)
      return LineError{fmt::format("eeprom {} needs a start and an end address, e.g. \"eeprom 0800 3280\"",
                                   quoted(text))};
    std::array<std::uint16_t, 2> ends{};
    const std::array<std::string_view, 2> texts{text.substr(0, blank), trim(text.substr(blank))};
    for (std::size_t i = 0; i < ends.size(); ++i) {
      auto address = core::parseHex(texts[i], 4);
      if (!address)
        return LineError{
            fmt::format("EEPROM address {} is not a hex number of up to four digits", quoted(texts[i]))};
      if (*address % kEepromBlock != 0)
        return LineError{fmt::format("EEPROM address {:04X} is not a multiple of {:X}", *address, kEepromBlock)};
      ends[i] = static_cast<std::uint16_t>(*address);
    }
    if (ends[0] >= ends[1])
      return LineError{fmt::format("the EEPROM range {:04X} {:04X} ends before it starts", ends[0], ends[1])};
    profile_.eepromRange = eeprom::Range{ends[0], ends[1]};
    return std::nullopt;
  }

  std::optional<LineError> lens(std::string_view text) {
    if (haveLens_) return LineError{"the lens is given a second time"};
    auto tele = core::parseHex(text, 4);
    if (!tele) return LineError{fmt::format("lens {} is not a hex number of up to four digits", quoted(text))};
    if (*tele < kLowestLensTele || *tele > kHighestLensTele)
      return LineError{
          fmt::format("lens {:04X} is outside {:04X} to {:04X}", *tele, kLowestLensTele, kHighestLensTele)};
    profile_.lensTele = static_cast<std::uint16_t>(*tele);
    haveLens_ = true;
    return std::nullopt;
  }

  std::optional<LineError> registers(std::string_view addressText, std::string_view values) {
    auto address = core::parseHex(addressText, 4);
    if (!address)
      return LineError{
          fmt::format("address {} is not a hex number of up to four digits", quoted(addressText))};
    RegisterBlock block{static_cast<std::uint16_t>(*address), {}};
    for (values = trim(values); !values.empty(); values = trim(values)) {
      const auto end = values.find_first_of(" \t");
      const std::string_view word = values.substr(0, end);
      values = end == std::string_view::npos ? std::string_view{} : values.substr(end);
      auto byte = word.size() == 2 ? core::parseHex(word, 2) : std::nullopt;
      if (!byte) return LineError{fmt::format("register value {} is not two hex digits", quoted(word))};
      if (*address + block.bytes.size() >= 0x10000)
        return LineError{fmt::format("the values starting at {:04X} run past address FFFF", *address)};
      block.bytes.push_back(static_cast<std::uint8_t>(*byte));
    }
    if (block.bytes.empty())
      return LineError{fmt::format("no register values after address {:04X}", *address)};
    profile_.registers.push_back(std::move(block));
    return std::nullopt;
  }

  Profile profile_;
  bool haveSettings_ = false;
  bool haveProtocol_ = false;
  bool haveCompletion_ = false;
  bool haveRestart_ = false;
  bool haveFactory_ = false;
  bool haveLens_ = false;
};

}  // namespace

std::string_view protocolName(Protocol protocol) { return protocol == Protocol::Afp ? "AFP" : "EAP"; }

core::Result<Profile> parseProfile(std::string_view text) {
  ProfileParser parser;
  std::size_t lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const auto newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
    if (auto hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    line = trim(line);
    if (line.empty()) continue;
    if (auto error = parser.statement(line))
      return core::Error{fmt::format("line {}: {}", lineNumber, error->what)};
  }
  return std::move(parser.profile());
}

core::Result<Profile> loadProfile(const std::filesystem::path& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return core::Error{fmt::format("could not read {}: {}", path.string(), ec.message())};
  if (size > kMaxProfileBytes)
    return core::Error{fmt::format("{}: {} bytes is too big for a profile", path.string(), size)};
  std::ifstream in(path, std::ios::binary);
  if (!in) return core::systemError("read", path.string(), errno);
  std::string text(static_cast<std::size_t>(size), '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.gcount() != static_cast<std::streamsize>(text.size()))
    return core::Error{fmt::format("could not read {}: the file changed while being read", path.string())};
  auto profile = parseProfile(text);
  if (!profile) return core::Error{fmt::format("{}: {}", path.string(), profile.message())};
  return profile;
}

}  // namespace orva::sim
