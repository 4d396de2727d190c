#include "eeprom/image.hpp"

#include <fmt/format.h>

#include "core/atomic_file.hpp"

namespace orva::eeprom {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::size_t kRowLength = 4 + 3 * kRowBytes;

std::optional<std::uint8_t> hexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
  return std::nullopt;
}

// The two characters at `pos` as a byte, when both are there and hexadecimal.
std::optional<std::uint8_t> hexByte(std::string_view line, std::size_t pos) {
  if (pos + 2 > line.size()) return std::nullopt;
  auto hi = hexDigit(line[pos]);
  auto lo = hexDigit(line[pos + 1]);
  if (!hi || !lo) return std::nullopt;
  return static_cast<std::uint8_t>(*hi << 4 | *lo);
}

bool onlyBlanks(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

std::string valueProblem(std::string_view what, std::string_view line, std::size_t index, std::size_t pos) {
  if (pos + 2 > line.size() && onlyBlanks(line.substr(std::min(pos, line.size())))) {
    return fmt::format("{} has {} of its 16 values", what, index);
  }
  return fmt::format("{}: value {} (column {}) {} is not two hex digits", what, index + 1, pos + 1,
                     detail::quoted(line.substr(pos, 2)));
}

// Value i of a MAP line stands in four groups of four: three characters between groups,
// one between the values of a group.
constexpr std::size_t mapValuePos(std::size_t i) { return 8 + 3 * i + 2 * (i / 4); }

core::Result<Row> parseMapRow(std::string_view line) {
  Row row;
  for (std::size_t i = 0; i < kRowBytes; ++i) {
    auto v = hexByte(line, mapValuePos(i));
    if (!v) return core::Error{valueProblem("MAP row", line, i, mapValuePos(i))};
    row.values[i] = *v;
  }
  return row;
}

// Where a reader stands in the file.
class Reader {
 public:
  Reader(ImageVariant variant, const Range& range) : variant_(variant), range_(range) {
    image_.start = range.start;
    image_.bytes.reserve(range.bytes());
  }

  core::Status line(std::size_t number, std::string_view text) {
    if (text.find(kTextBlockOpen) != std::string_view::npos) {
      inTextBlock_ = true;
      return {};
    }
    if (text.find(kTextBlockClose) != std::string_view::npos) {
      inTextBlock_ = false;
      return {};
    }
    if (inTextBlock_ || !isDataLine(text)) return {};
    core::Status s = dataLine(text);
    if (s.failed()) return core::Error{fmt::format("line {}: {}", number, s.message())};
    return {};
  }

  core::Result<Image> finish() {
    if (image_.bytes.empty()) return core::Error{"no data rows"};
    return std::move(image_);
  }

 private:
  bool isDataLine(std::string_view text) const {
    if (variant_ == ImageVariant::Map) return !text.empty() && text[0] == ':';
    if (onlyBlanks(text) || text.starts_with("addr")) return false;
    // The header lines of a backup begin with blanks and stand before the first row.
    return !(image_.bytes.empty() && (text[0] == ' ' || text[0] == '\t'));
  }

  core::Status dataLine(std::string_view text) {
    core::Result<Row> row = variant_ == ImageVariant::Map ? parseMapRow(text) : parseRow(text);
    if (!row) return row.status();
    if (image_.rows() >= range_.rows()) {
      return core::Error{fmt::format("more rows than the EEPROM range {:04X}-{:04X} holds ({} rows)", range_.start,
                                     range_.end - 1, range_.rows())};
    }
    const std::uint32_t expected = range_.start + static_cast<std::uint32_t>(image_.bytes.size());
    if (variant_ == ImageVariant::Plain && row->address != expected) {
      return core::Error{fmt::format("row {:04X} where row {:04X} comes next", row->address, expected)};
    }
    image_.bytes.insert(image_.bytes.end(), row->values.begin(), row->values.end());
    return {};
  }

  ImageVariant variant_;
  Range range_;
  Image image_;
  bool inTextBlock_ = false;
};

void appendHeader(std::string& out, const ImageHeader& h) {
  out += fmt::format("        {}  Camera Ver {:02X}.{:02X}  {:02X}.{:02X}.{:02X} {:02X}:{:02X}\r\n", h.modelName,
                     h.cameraVersion >> 8, h.cameraVersion & 0xFF, h.reg0108, h.reg0109, h.reg010A, h.reg010B >> 8,
                     h.reg010B & 0xFF);
  const core::LocalTime& t = h.saved;
  out += fmt::format("         EEPROM save date : {}.{}.{} {}:{}.{}\r\n\r\n", t.month, t.day, t.year, t.hour, t.minute,
                     t.second);
}

}  // namespace

namespace detail {

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    std::size_t next = end + 1;
    if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
    text.remove_prefix(next);
  }
  return lines;
}

std::string quoted(std::string_view text) {
  constexpr std::size_t kShown = 24;
  std::string out = "\"";
  for (char c : text.substr(0, kShown)) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F && c != '"' && c != '\\') {
      out += c;
    } else {
      out += fmt::format("\\x{:02X}", u);
    }
  }
  if (text.size() > kShown) out += "...";
  return out + "\"";
}

}  // namespace detail

std::string formatImage(const Image& image, const std::optional<ImageHeader>& header) {
  std::string out;
  out.reserve(image.bytes.size() * 4 + image.rows() * 8);
  if (header) appendHeader(out, *header);
  std::uint32_t a = image.start;
  for (std::uint8_t b : image.bytes) {
    if ((a & 0x7F) == 0) {
      out += kCrLf;
      out += kCaption;
      out += kCrLf;
    }
    if (a % kRowBytes == 0) out += fmt::format("{:04X}", a);
    out += fmt::format(" {:02X}", b);
    if (a % kRowBytes == kRowBytes - 1) out += kCrLf;
    ++a;
  }
  return out;
}

core::Status writeImageFile(const std::filesystem::path& path, const Image& image,
                            const std::optional<ImageHeader>& header) {
  core::Status s = core::AtomicFile::write(path, formatImage(image, header));
  if (s.failed()) return core::Error{s.message() + " (the file there is unchanged)"};
  return {};
}

ImageVariant imageVariantFor(const std::filesystem::path& chosen) {
  return chosen.string().find(".MAP") != std::string::npos ? ImageVariant::Map : ImageVariant::Plain;
}

core::Result<Row> parseRow(std::string_view line) {
  Row row;
  std::uint32_t address = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    auto d = i < line.size() ? hexDigit(line[i]) : std::nullopt;
    if (!d) return core::Error{fmt::format("{} does not start with a four-digit row address", detail::quoted(line))};
    address = address << 4 | *d;
  }
  row.address = static_cast<std::uint16_t>(address);
  const std::string what = fmt::format("row {:04X}", address);
  for (std::size_t i = 0; i < kRowBytes; ++i) {
    const std::size_t blank = 4 + 3 * i;
    if (blank < line.size() && line[blank] != ' ') {
      return core::Error{fmt::format("{}: a blank belongs before value {} (column {})", what, i + 1, blank + 1)};
    }
    auto v = hexByte(line, blank + 1);
    if (!v) return core::Error{valueProblem(what, line, i, blank + 1)};
    row.values[i] = *v;
  }
  if (!onlyBlanks(line.substr(kRowLength))) {
    return core::Error{fmt::format("{}: {} after the 16th value", what, detail::quoted(line.substr(kRowLength)))};
  }
  return row;
}

core::Result<Image> parseImage(std::string_view text, ImageVariant variant, const Range& range) {
  Reader reader(variant, range);
  const std::vector<std::string_view> lines = detail::splitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    core::Status s = reader.line(i + 1, lines[i]);
    if (s.failed()) return core::Error{s.message()};
  }
  return reader.finish();
}

core::Result<Image> readImageFile(const std::filesystem::path& path, const Range& range) {
  core::Result<std::string> text = core::readFile(path);
  if (!text) return core::Error{text.message()};
  core::Result<Image> image = parseImage(*text, imageVariantFor(path), range);
  if (!image) return core::Error{fmt::format("{}: {}", path.string(), image.message())};
  return image;
}

}  // namespace orva::eeprom
