#include "camera/lens_tables.hpp"

#include <algorithm>
#include <cstdio>

namespace orva::camera::lens {
namespace {

using S = std::array<std::string_view, 4>;

constexpr S kX10{"x2.5", "x5", "x7.5", "x10"};
constexpr S kX16{"x4", "x8", "x12", "x16"};
constexpr S kX18{"x4.5", "x9", "x13.5", "x18"};
constexpr S kX22{"x5.5", "x11", "x16.5", "x22"};
constexpr S kX30{"x7", "x15", "x22", "x30"};
constexpr S kX35{"x8", "x17", "x25", "x35"};

constexpr std::array<LensRow, kLensCount> kRows{{
    {12, {"x3", "x6", "x9", "x12"}, "3.6", "6.0", 11},
    {16, kX16, "3.6", "6.0", 15},
    {22, kX22, "3.9", "6.3", 21},
    {23, {"x6", "x11.5", "x17.5", "x23"}, "4.2", "5.8", 22},
    {10, kX10, "3.2", "4.3", 9},
    {10, kX10, "3.2", "4.3", 9},
    {18, kX18, "4.1", "5.7", 17},
    {24, {"x6", "x12", "x18", "x24"}, "3.9", "5.7", 23},
    {35, kX35, "4.6", "6.6", 18},
    {16, kX16, "7.4", "12.0", 15},
    {35, kX35, "4.6", "6.6", 15},
    {30, kX30, "4.6", "6.6", 15},
    {18, kX18, "3.5", "5.1", 15},
    {18, kX18, "5.2", "7.7", 15},
    {18, kX18, "4.2", "6.2", 15},
    {18, kX18, "4.7", "6.9", 15},
    {18, kX18, "6.3", "9.3", 15},
    {18, kX18, "7.0", "10.2", 15},
    {18, kX18, "3.5", "5.1", 15},
    {35, kX35, "4.6", "6.6", 15},
    {30, kX30, "4.6", "6.6", 15},
    {27, {"x6.75", "x13.5", "x20.5", "x27"}, "4.6", "6.6", 15},
    {20, {"x5", "x10", "x15", "x20"}, "3.2", "4.0", 15},
    {36, {"x9", "x18", "x27", "x36"}, "4.6", "6.6", 15},
    {30, kX30, "3.45", "4.4", 15},
    {29, {"x7", "x14.5", "x21.5", "x29"}, "4.6", "6.6", 15},
    {22, kX22, "3.9", "4.9", 15},
    {3, {"", "x2", "", "x3"}, "", "", 15},
    {10, kX10, "3.03", "4.37", 15},
}};

constexpr int kMostSteps = 36;

// The 16x curve at magnification 1 + num / den: where that magnification begins, linear
// between whole steps; magnification 1 begins at the wide end (0).
constexpr std::uint16_t curve(int num, int den) {
  const int whole = num / den;  // 0..15
  const int rest = num % den;
  const int from = whole == 0 ? 0 : k16xThresholds[static_cast<std::size_t>(whole - 1)];
  if (rest == 0) return static_cast<std::uint16_t>(from);
  const int to = k16xThresholds[static_cast<std::size_t>(whole)];
  return static_cast<std::uint16_t>(from + (to - from) * rest / den);
}

struct StepList {
  std::array<std::uint16_t, kMostSteps> entries{};
  int count = 0;
};

constexpr StepList makeList(int maximum) {
  StepList l;
  l.count = maximum;
  for (int m = 1; m < maximum; ++m) l.entries[static_cast<std::size_t>(m - 1)] = curve(m * 15, maximum - 1);
  l.entries[static_cast<std::size_t>(maximum - 1)] = static_cast<std::uint16_t>(kTelePosition);
  return l;
}

constexpr std::array<StepList, kLensCount> makeLists() {
  std::array<StepList, kLensCount> lists{};
  for (std::size_t i = 0; i < kLensCount; ++i) lists[i] = makeList(kRows[i].maximum);
  return lists;
}

constexpr std::array<StepList, kLensCount> kLists = makeLists();

constexpr bool ascending(const StepList& l) {
  for (int i = 1; i < l.count; ++i)
    if (l.entries[static_cast<std::size_t>(i)] <= l.entries[static_cast<std::size_t>(i - 1)]) return false;
  return l.count >= 1;
}
static_assert(std::all_of(kLists.begin(), kLists.end(), ascending), "every step list ascends");
static_assert(kLists[1].entries[0] == 0x14C0 && kLists[1].entries[14] == 0x6360, "the 16x lens keeps its curve");

// Go-to offsets from x2 upward; the last entry (the lens's maximum) is full tele.
constexpr std::uint16_t kGoTo1[] = {0x0D07, 0x12AB, 0x1613, 0x181E, 0x1A23, 0x1B87, 0x1CAF, 0x1DA3,
                                    0x1E77, 0x1F2B, 0x1FC7, 0x204B, 0x20BF, 0x211F, kFullTele};
constexpr std::uint16_t kGoTo2[] = {0x08F6, 0x0CAC, 0x0ED8, 0x1054, 0x1172, 0x1254, 0x1312, 0x13B2,
                                    0x1440, 0x14BE, 0x152E, 0x1590, 0x15E8, 0x1636, 0x1678, 0x16B2,
                                    0x16E2, 0x170C, 0x172E, 0x174C, kFullTele};
constexpr std::uint16_t kGoTo3[] = {0x0AD8, 0x0F5B, 0x1203, 0x13D3, 0x1533, 0x1647, 0x172F, 0x17F3,
                                    0x18A3, 0x193B, 0x19C3, 0x1A3F, 0x1AAB, 0x1B0B, 0x1B5F, 0x1BA7,
                                    0x1BE3, 0x1C17, 0x1C43, 0x1C67, 0x1C87, kFullTele};
constexpr std::uint16_t kGoTo4[] = {0x0536, 0x0796, 0x0914, 0x0A28, 0x0B04, 0x0BB8, 0x0C4E, 0x0CCA, kFullTele};
constexpr std::uint16_t kGoTo5[] = {0x0714, 0x0A28, 0x0C10, 0x0D70, 0x0E8C, 0x0F7C, 0x1044, 0x10EC, kFullTele};

std::span<const std::uint16_t> goToTable(int lensIndex) {
  switch (lensIndex) {
    case 1: return kGoTo1;
    case 2: return kGoTo2;
    case 3: return kGoTo3;
    case 4: return kGoTo4;
    case 5: return kGoTo5;
    default: return {};
  }
}

std::size_t rowIndex(int lensIndex) {
  return lensIndex >= 0 && lensIndex < kLensCount ? static_cast<std::size_t>(lensIndex) : 0;
}

// A travel time text of the table ("6.0", "3.45") in milliseconds; 0 for an empty one.
constexpr int secondsText(std::string_view text) {
  int ms = 0, scale = 1000;
  bool fraction = false;
  for (const char c : text) {
    if (c == '.') {
      fraction = true;
      continue;
    }
    if (!fraction) {
      ms = ms * 10 + (c - '0') * 1000;
    } else {
      scale /= 10;
      ms += (c - '0') * scale;
    }
  }
  return ms;
}
static_assert(secondsText("3.45") == 3450 && secondsText("12.0") == 12000 && secondsText("") == 0);

constexpr int slowestNormalTravel() {
  int slowest = 0;
  for (const LensRow& row : kRows) slowest = std::max(slowest, secondsText(row.normalSeconds));
  return slowest;
}

constexpr std::chrono::milliseconds kSlowTravel{30000};
constexpr std::chrono::milliseconds kSuperSlowLevelTravel{10000};
constexpr int kSlowestLevel = 15;

}  // namespace

const LensRow& lensRow(int lensIndex) { return kRows[rowIndex(lensIndex)]; }

std::span<const std::uint16_t> stepList(int lensIndex) {
  const StepList& l = kLists[rowIndex(lensIndex)];
  return std::span<const std::uint16_t>(l.entries.data(), static_cast<std::size_t>(l.count));
}

int zoomStep(int lensIndex, std::uint32_t position) {
  const auto list = stepList(lensIndex);
  if ((position & 0x8000u) != 0 || position <= list.front()) return 0;
  const auto below = std::lower_bound(list.begin(), list.end(), position);
  return std::min(static_cast<int>(below - list.begin()), static_cast<int>(list.size()) - 1);
}

int sliderPosition(int lensIndex, int step) {
  const LensRow& row = lensRow(lensIndex);
  const int last = row.maximum - 1;
  if (last <= 0) return 0;
  step = std::clamp(step, 0, last);
  return (step * row.sliderTop * 2 + last) / (last * 2);
}

int stepOfSlider(int lensIndex, int position) {
  const LensRow& row = lensRow(lensIndex);
  const int last = row.maximum - 1;
  if (row.sliderTop <= 0) return 0;
  position = std::clamp(position, 0, row.sliderTop);
  return (position * last * 2 + row.sliderTop) / (row.sliderTop * 2);
}

std::vector<std::string> scaleLabels(int lensIndex) {
  const LensRow& row = lensRow(lensIndex);
  return {row.scale.begin(), row.scale.end()};
}

std::chrono::milliseconds zoomTravelTime(int lensIndex, ZoomSpeed speed, int slowLevel) {
  if (speed == ZoomSpeed::Slow) return kSlowTravel + std::clamp(slowLevel, 0, kSlowestLevel) * kSuperSlowLevelTravel;
  const LensRow& row = lensRow(lensIndex);
  const int stated = secondsText(speed == ZoomSpeed::High ? row.highSeconds : row.normalSeconds);
  return std::chrono::milliseconds(stated != 0 ? stated : slowestNormalTravel());
}

std::optional<std::uint16_t> goToOffset(int lensIndex, int magnification) {
  const auto table = goToTable(lensIndex);
  if (table.empty()) return std::nullopt;
  if (magnification <= 1) return std::uint16_t{0};
  const auto at = std::min(static_cast<std::size_t>(magnification - 2), table.size() - 1);
  return table[at];
}

std::optional<int> continuousMaximum(std::uint16_t modelCode, std::uint8_t stored) {
  if (modelCode >= 0x30) return 256 / (256 - stored);
  if (stored >= 64) return std::nullopt;  // the old coding divides by zero there, and goes negative above
  return 512 / ((64 - stored) * 8);
}

std::optional<std::uint8_t> continuousCode(std::uint16_t modelCode, int maximum) {
  if (maximum < 1 || maximum > kContinuousMaximumTop) return std::nullopt;
  if (modelCode >= 0x30) return static_cast<std::uint8_t>((256 - 256 / maximum) & 0xFF);
  return static_cast<std::uint8_t>((512 - 512 / maximum) / 8);
}

namespace {

bool sharesOldCoding(unsigned family) { return family <= 0x20 || family == 0x90 || family == 0xD0; }

}  // namespace

int familyDigitalZoomLimit(const ModelRecord& m) {
  const unsigned family = oldFamily(m);
  if (family <= 0x20 || family == 0x50) return 8;
  if (family == 0x60 || family == 0x70) return 10;
  if (family >= 0x80 && family <= 0xE0) return 12;
  const int recorded = recordedDigitalZoomLimit(m);
  return recorded == 0 ? 8 : recorded;
}

std::optional<int> familyContinuousMaximum(std::uint16_t modelCode, std::uint8_t stored) {
  const unsigned family = modelCode & 0xF0u;
  if (!sharesOldCoding(family)) return 256 / (256 - stored);
  if (stored >= 64) return std::nullopt;  // 512 - 8 b reaches zero at 64
  const int shown = static_cast<int>(512.0 / (512.0 - 8.0 * stored) + 0.6);
  return family == 0xD0 && shown > 10 ? shown - 1 : shown;
}

std::optional<std::uint8_t> familyContinuousCode(std::uint16_t modelCode, int maximum) {
  if (maximum < 1) return std::nullopt;
  const unsigned family = modelCode & 0xF0u;
  if (!sharesOldCoding(family)) return static_cast<std::uint8_t>(static_cast<unsigned>(-256 / maximum) & 0xFFu);
  int code = (512 - 512 / maximum) / 8;
  if (family == 0xD0 && maximum >= 10) ++code;
  if (code > 0xFF) return std::nullopt;
  return static_cast<std::uint8_t>(code);
}

Setting zoomPositionSetting(const ModelRecord& m, link::Protocol protocol) {
  if (protocol == link::Protocol::Afp || hasExtendedPosition(m)) return kZoomPositionSetting;
  return registerSetting(0xF720, 16);
}

}  // namespace orva::camera::lens
