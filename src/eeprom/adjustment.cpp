#include "eeprom/adjustment.hpp"

#include <algorithm>
#include <optional>

#include <fmt/format.h>

#include "core/atomic_file.hpp"
#include "core/text.hpp"
#include "eeprom/image.hpp"

namespace orva::eeprom {
namespace {

constexpr std::string_view kEndMark = "%END";
constexpr std::size_t kAddressEndMark = 3;
constexpr std::size_t kAddressDigits = 4;
constexpr std::string_view kLayout = "an adjustment-address file needs three \"%END\" lines, then the addresses";

// The four characters at `pos` as an address, when all are there and hexadecimal.
std::optional<std::uint16_t> address(std::string_view line, std::size_t pos) {
  if (pos + kAddressDigits > line.size()) return std::nullopt;
  std::uint16_t value = 0;
  for (std::size_t i = pos; i < pos + kAddressDigits; ++i) {
    auto d = core::hexDigit(line[i]);
    if (!d) return std::nullopt;
    value = static_cast<std::uint16_t>((static_cast<unsigned>(value) << 4) | *d);
  }
  return value;
}

bool isEndMark(std::string_view line) {
  return line.starts_with('%') && line.find(kEndMark) != std::string_view::npos;
}

// Lines end at LF; the CR of a CR LF goes with the line end, a lone CR is a character.
std::string_view withoutCr(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

class Collector {
 public:
  core::Status scan(std::size_t number, std::string_view line) {
    std::size_t pos = 0;
    while ((pos = line.find('1', pos)) != std::string_view::npos) {
      auto a = address(line, pos);
      // Skipping a malformed address would leave its adjustment data to be overwritten.
      if (!a) {
        return core::Error{fmt::format("line {}: {} is not a four-digit address", number,
                                       detail::quoted(line.substr(pos, kAddressDigits)))};
      }
      if (!seen_[*a]) {
        // Dropping the rest would let the write-back overwrite their adjustment data.
        if (result_.addresses.size() == kMaxAdjustmentAddresses) {
          return core::Error{
              fmt::format("line {}: more than {} adjustment addresses", number, kMaxAdjustmentAddresses)};
        }
        seen_[*a] = true;
        result_.addresses.push_back(*a);
      }
      pos += kAddressDigits + 1;  // the address and its separator
    }
    return {};
  }

  core::Result<AdjustmentAddresses> finish(std::size_t endMarks) {
    // Too few end marks means the file is not what we take it for: using it as empty would
    // overwrite every adjustment byte.
    if (endMarks < kAddressEndMark) {
      return core::Error{fmt::format("found {} \"%END\" line{}; {}", endMarks, endMarks == 1 ? "" : "s", kLayout)};
    }
    // An empty list protects nothing; far more likely the wrong file than a camera without data.
    if (result_.addresses.empty()) {
      return core::Error{fmt::format("no address after the third \"%END\" line; {}", kLayout)};
    }
    return std::move(result_);
  }

 private:
  AdjustmentAddresses result_;
  std::vector<bool> seen_ = std::vector<bool>(0x10000);
};

}  // namespace

bool AdjustmentAddresses::contains(std::uint16_t a) const { return std::ranges::find(addresses, a) != addresses.end(); }

core::Result<AdjustmentAddresses> parseAdjustmentAddresses(std::string_view text) {
  Collector collector;
  std::size_t endMarks = 0;
  std::size_t number = 0;
  // Lines are taken whole however long: cutting one could split an address and misread it.
  while (!text.empty()) {
    const std::size_t nl = text.find('\n');
    const std::string_view line = withoutCr(text.substr(0, nl));
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    ++number;
    if (isEndMark(line)) ++endMarks;
    if (endMarks > kAddressEndMark) break;
    if (endMarks < kAddressEndMark || line.starts_with('*')) continue;
    core::Status s = collector.scan(number, line);
    if (s.failed()) return core::Error{s.message()};
  }
  return collector.finish(endMarks);
}

core::Result<AdjustmentAddresses> readAdjustmentFile(const std::filesystem::path& path) {
  core::Result<std::string> text = core::readFile(path);
  if (!text) return core::Error{text.message()};
  core::Result<AdjustmentAddresses> addresses = parseAdjustmentAddresses(*text);
  if (!addresses) return core::Error{fmt::format("{}: {}", path.string(), addresses.message())};
  return addresses;
}

}  // namespace orva::eeprom
