#include "eeprom/factory_images.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "core/atomic_file.hpp"

namespace orva::eeprom {
namespace {

// Size codes of the rows an image covers: 5 = 0x1000-0x17FF, 7 = 0x0800-0x17FF,
// 9 = 0x0800-0x27FF, 10 = 0x0800-0x327F.
constexpr std::array<FactoryImageEntry, 35> kImages{{
    {276, {0x0CF0}, "QB-168", 7},
    {277, {0x09F0, 0x09F1}, "QB-165", 5},
    {278, {0x0BF1}, "QB-175", 5},
    {279, {0x0CF1}, "QB-169", 7},
    {280, {0x0DF0}, "QB-172", 7},
    {281, {0x0DF1}, "QB-173", 7},
    {282, {0x08F0}, "QB-161", 5},
    {283, {0x08F1}, "QB-162", 5},
    {284, {0x0AF0}, "QB-166", 5},
    {285, {0x0AF1}, "QB-167", 5},
    {286, {0x0BF0}, "QB-174", 5},
    {287, {0x0EF0}, "QB-170", 7},
    {288, {0x0EF1}, "QB-171", 7},
    {297, {0x0FF0, 0x0FF1}, "QB-176", 7},
    {301, {0x10F0}, "QB-177", 7},
    {302, {0x10F1}, "QB-178", 7},
    {305, {0x12F0}, "QB-179", 7},
    {306, {0x12F1}, "QB-180", 7},
    {307, {0x11F0}, "QB-181", 7},
    {308, {0x11F1}, "QB-182", 7},
    {311, {0x13F0, 0x13F1}, "QB-183", 7},
    {312, {0x14F0, 0x15F0, 0x16F0}, "QB-184, QB-186, QB-185", 7},
    {313, {0x17F0}, "QB-187", 7},
    {321, {0x18F0}, "QB-188", 9},
    {323, {0x19F0, 0x19F2}, "QB-191, QB-190", 10},
    {324, {0x19F1}, "QB-189", 10},
    {326, {0x1BF0}, "QB-192", 10},
    {327, {0x1AF1}, "QB-196", 10},
    {328, {0x1AF0}, "QB-197", 10},
    {329, {0x1AF3}, "QB-194", 10},
    {367, {0x1CF0}, "QB-199", 10},
    {369, {0x1AF2}, "QB-195", 10},
    {375, {0x1CF1}, "QB-198", 10},
    {380, {0x1DF0}, "QB-200", 10},
    {381, {0x1AF4}, "QB-193", 10},
}};

std::optional<std::filesystem::path> findIn(std::span<const std::filesystem::path> searchPath,
                                            const std::string& fileName) {
  for (const auto& folder : searchPath) {
    std::error_code ec;
    const std::filesystem::path candidate = folder / fileName;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
  }
  return std::nullopt;
}

std::string folderList(std::span<const std::filesystem::path> searchPath) {
  if (searchPath.empty()) return "no folders (none configured)";
  std::string out;
  for (const auto& folder : searchPath) {
    if (!out.empty()) out += ", ";
    out += folder.string();
  }
  return out;
}

FactoryImageRead refused(FactoryImageFault fault, std::string message) {
  return {.image = {}, .fault = fault, .message = std::move(message)};
}

bool isEmptyLine(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

}  // namespace

bool FactoryImageEntry::serves(std::uint16_t modelCode) const {
  return modelCode != 0 && std::find(modelCodes.begin(), modelCodes.end(), modelCode) != modelCodes.end();
}

std::string FactoryImageEntry::fileName() const { return fmt::format("{}.mem", number); }

std::span<const FactoryImageEntry> factoryImages() { return kImages; }

const FactoryImageEntry* factoryImageFor(std::uint16_t modelCode) {
  auto it = std::find_if(kImages.begin(), kImages.end(), [&](const auto& e) { return e.serves(modelCode); });
  return it == kImages.end() ? nullptr : &*it;
}

std::vector<std::filesystem::path> dataSearchPath(std::string_view dataDirVariable,
                                                  const std::filesystem::path& installPrefix,
                                                  const std::filesystem::path& programFolder) {
  std::vector<std::filesystem::path> path;
  if (!dataDirVariable.empty()) path.emplace_back(dataDirVariable);
  if (!installPrefix.empty()) path.push_back(installPrefix / "share" / "orva" / "eeprom");
  if (!programFolder.empty()) path.push_back(programFolder / "data" / "eeprom");
  return path;
}

std::vector<std::filesystem::path> dataSearchPath(const std::filesystem::path& installPrefix,
                                                  const std::filesystem::path& programFolder) {
  // Read only; nothing in the program sets environment variables.
  const char* value = std::getenv(std::string(kDataDirVariable).c_str());
  return dataSearchPath(value ? value : "", installPrefix, programFolder);
}

core::Result<std::filesystem::path> findFactoryImage(std::uint16_t modelCode,
                                                     std::span<const std::filesystem::path> searchPath) {
  const FactoryImageEntry* entry = factoryImageFor(modelCode);
  if (!entry) return core::Error{fmt::format("model code {:04X} has no factory EEPROM image", modelCode)};
  const std::string name = entry->fileName();
  if (auto found = findIn(searchPath, name)) return *found;
  return core::Error{fmt::format("factory EEPROM image {} (model code {:04X}) not found; looked in {}", name,
                                 modelCode, folderList(searchPath))};
}

FactoryImageRead parseFactoryImage(std::string_view text, const Range& range) {
  if (text.find_first_of("\r\n") == std::string_view::npos) {
    return refused(FactoryImageFault::NoLineEnds, "the image has no line ends");
  }
  FactoryImageRead read;
  read.image.start = range.start;
  read.image.bytes.reserve(range.bytes());
  bool inTextBlock = false;
  const std::vector<std::string_view> lines = detail::splitLines(text);
  for (std::size_t i = 0; i < lines.size() && read.image.rows() < range.rows(); ++i) {
    const std::string_view line = lines[i];
    if (line.find(kTextBlockOpen) != std::string_view::npos) {
      inTextBlock = true;
      continue;
    }
    if (line.find(kTextBlockClose) != std::string_view::npos) {
      inTextBlock = false;
      continue;
    }
    if (inTextBlock || isEmptyLine(line) || line.find("addr") != std::string_view::npos) continue;

    core::Result<Row> row = parseRow(line);
    if (!row) return refused(FactoryImageFault::InvalidData, fmt::format("line {}: {}", i + 1, row.message()));
    const std::uint32_t expected = range.start + static_cast<std::uint32_t>(read.image.bytes.size());
    if (row->address != expected) {
      return refused(FactoryImageFault::InvalidData,
                     fmt::format("line {}: row {:04X} where row {:04X} comes next", i + 1, row->address, expected));
    }
    read.image.bytes.insert(read.image.bytes.end(), row->values.begin(), row->values.end());
  }
  if (read.image.bytes.empty()) return refused(FactoryImageFault::InvalidData, "no data rows");
  return read;
}

FactoryImageRead readFactoryImage(const std::filesystem::path& path, const Range& range) {
  core::Result<std::string> text = core::readFile(path);
  if (!text) return refused(FactoryImageFault::Unreadable, text.message());
  FactoryImageRead read = parseFactoryImage(*text, range);
  if (!read.ok()) read.message = fmt::format("{}: {}", path.string(), read.message);
  return read;
}

void requireCoverage(FactoryImageRead& read, const FactoryImageEntry& entry, const Range& range) {
  if (!read.ok()) return;
  const Range cover = entry.rows();
  const std::uint32_t end = std::min<std::uint32_t>(cover.end, range.end);
  const std::uint32_t reached = read.image.start + static_cast<std::uint32_t>(read.image.bytes.size());
  if (reached >= end) return;
  read.fault = FactoryImageFault::Short;
  read.message = fmt::format("image {} ends at {:04X}; its rows cover {:04X}-{:04X}", entry.fileName(), reached,
                             cover.start, end - 1);
  read.image = {};
}

std::vector<FactoryImageCoverage> factoryImageCoverage(std::span<const std::filesystem::path> searchPath) {
  std::vector<FactoryImageCoverage> out;
  out.reserve(kImages.size());
  for (const auto& entry : kImages) out.push_back({&entry, findIn(searchPath, entry.fileName())});
  return out;
}

}  // namespace orva::eeprom
