#include <algorithm>

#include "camera/lens_tables.hpp"
#include "panels/preset/preset_panels.hpp"
#include "panels/preset/preset_settings.hpp"

namespace orva::panels::preset {
namespace {

namespace L = camera::lens;

// The 20x lens, measured: x1 to x20.
constexpr std::uint16_t k20x[] = {0x0000, 0x25E8, 0x364A, 0x3FF6, 0x46AB, 0x4BD1, 0x4FE0, 0x534E, 0x561D, 0x589C,
                                  0x5ACB, 0x5CAA, 0x5E3A, 0x5F79, 0x60B9, 0x61A8, 0x6270, 0x6310, 0x6388, 0x6400};
constexpr int kFirstDigital = 2;
constexpr int kLastDigital = 12;
constexpr std::uint16_t kDigitalStep = 0x100;
// The x3 lens focuses no closer than 1 m.
constexpr int kShortFocusMaximum = 3;

int opticalMaximum(const camera::ModelRecord& m) { return L::lensRow(m.lensIndex).maximum; }

}  // namespace

std::vector<std::string> zoomNames(const camera::ModelRecord& m) {
  const int top = opticalMaximum(m);
  std::vector<std::string> out;
  for (int x = 1; x <= top; ++x) out.push_back("x" + std::to_string(x));
  if (L::hasDigitalZoom(m))
    for (int k = kFirstDigital; k <= kLastDigital; ++k) out.push_back("x" + std::to_string(k * top) + "D");
  return out;
}

std::vector<std::uint16_t> zoomPositions(const camera::ModelRecord& m) {
  const int top = opticalMaximum(m);
  std::vector<std::uint16_t> out;
  if (top == static_cast<int>(std::size(k20x))) {
    out.assign(std::begin(k20x), std::end(k20x));
  } else {
    const auto steps = L::stepList(m.lensIndex);
    out.push_back(0);
    // Magnification x begins where the band of x - 1 ends.
    for (int x = 2; x < top; ++x) out.push_back(steps[static_cast<std::size_t>(x - 2)]);
    if (top > 1) out.push_back(static_cast<std::uint16_t>(L::kTelePosition));
  }
  if (L::hasDigitalZoom(m))
    for (int k = kFirstDigital; k <= kLastDigital; ++k)
      out.push_back(static_cast<std::uint16_t>(L::kTelePosition + static_cast<unsigned>(k - 1) * kDigitalStep));
  return out;
}

int focusCount(const camera::ModelRecord& m) {
  return opticalMaximum(m) <= kShortFocusMaximum ? texts::kShortFocusCount
                                                 : static_cast<int>(texts::kFocusNames.size());
}

}  // namespace orva::panels::preset
