#include "eeprom/adr_convert.hpp"

#include <system_error>

#include "core/atomic_file.hpp"

namespace orva::eeprom {
namespace {

constexpr std::string_view kSymbolTags[] = {"H'00FF", "H'FFFF"};

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }
bool endsName(char c) { return c == ' ' || isControl(c); }

bool isSymbolLine(std::string_view line) {
  for (std::string_view tag : kSymbolTags)
    if (line.find(tag) != std::string_view::npos) return true;
  return false;
}

// Appends the line's "ADDR NAME\r\n"; nothing for a line that cannot hold a symbol.
void convertLine(std::string_view line, std::string& out) {
  if (line.size() < kAdrAddressColumn + kAdrAddressLength) return;
  const std::string_view address = line.substr(kAdrAddressColumn, kAdrAddressLength);
  for (char c : address)
    if (isControl(c)) return;
  std::size_t start = kAdrNameColumn;
  if (line[start] == '_') ++start;
  std::size_t end = start;
  while (end < kAdrNameEnd && !endsName(line[end])) ++end;
  out.append(address);
  out += ' ';
  out.append(line.substr(start, end - start));
  out += "\r\n";
}

// Same file: the same path once made absolute, or the same inode (a link, another spelling).
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ea;
  std::error_code eb;
  const auto ca = std::filesystem::weakly_canonical(a, ea);
  const auto cb = std::filesystem::weakly_canonical(b, eb);
  if (!ea && !eb && ca == cb) return true;
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace

std::string convertMap(std::string_view mapText) {
  std::string out;
  bool converting = false;
  std::size_t pos = 0;
  while (pos < mapText.size()) {
    const std::size_t nl = mapText.find('\n', pos);
    const std::size_t end = nl == std::string_view::npos ? mapText.size() : nl;
    std::string_view line = mapText.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!converting) {
      converting = line.find(kAdrStartMarker) != std::string_view::npos;
      continue;
    }
    if (isSymbolLine(line)) convertLine(line, out);
  }
  return out;
}

std::filesystem::path adrPathFor(const std::filesystem::path& mapPath) {
  return mapPath.parent_path() / (mapPath.stem().string() + "." + std::string(kAdrExtension));
}

std::string_view AdrConversion::message() const {
  switch (outcome) {
    case Outcome::MapNotFound: return adr_texts::kMapFileNotFound;
    case Outcome::AdrNotCreated: return adr_texts::kAdrFileNotCreate;
    case Outcome::Converted: break;
  }
  return adr_texts::kConvertEnd;
}

std::string_view AdrConversion::title() const { return converted() ? adr_texts::kMessage : adr_texts::kAttention; }

AdrConversion convertMapFile(const std::filesystem::path& mapPath) {
  using Outcome = AdrConversion::Outcome;
  AdrConversion result;
  if (mapPath.empty()) {
    result.outcome = Outcome::MapNotFound;
    result.detail = "no map file chosen";
    return result;
  }
  result.adrPath = adrPathFor(mapPath);
  const auto map = core::readFile(mapPath);
  if (!map) {
    result.outcome = Outcome::MapNotFound;
    result.detail = map.message();
    return result;
  }
  if (sameFile(mapPath, result.adrPath)) {
    result.outcome = Outcome::AdrNotCreated;
    result.detail = result.adrPath.string() + " is the map file itself";
    return result;
  }
  if (const core::Status written = core::AtomicFile::write(result.adrPath, convertMap(*map)); !written) {
    result.outcome = Outcome::AdrNotCreated;
    result.detail = written.message();
  }
  return result;
}

}  // namespace orva::eeprom
