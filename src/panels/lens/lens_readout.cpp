#include "panels/lens/lens_readout.hpp"

#include <algorithm>

#include "panels/formats.hpp"

namespace orva::panels::lens {

std::vector<std::string> speedCaptions(int lensIndex) {
  const LensRow& row = lensRow(lensIndex);
  if (row.highSeconds.empty()) return {};
  return {highSpeedCaption(row.highSeconds), normalSpeedCaption(row.normalSeconds)};
}

std::string magnificationText(const camera::ModelRecord& m, int optical, bool instantOn, std::uint32_t tenths) {
  if (!instantOn) return formatValue(Format::Decimal, static_cast<std::uint32_t>(std::max(optical, 0)));
  std::uint32_t cap = 0;  // in whole magnifications; 0: none
  const unsigned family = newFamily(m);
  if (family == 0x13F0 || family == 0x14F0 || family == 0x16F0) cap = 60;
  else if (family == 0x15F0) cap = 44;
  const std::uint32_t product = tenths * static_cast<std::uint32_t>(std::max(optical, 0));  // in tenths
  if (tenths == 10 || tenths == 20) {
    const std::uint32_t whole = product / 10;
    return formatValue(Format::Decimal, cap != 0 ? std::min(whole, cap) : whole);
  }
  return formatValue(Format::Tenths, cap != 0 ? std::min(product, cap * 10) : product);
}

bool readZoomPosition(CameraAccess& camera, const camera::ModelRecord& m, std::uint32_t& position) {
  const auto protocol = camera.protocol();
  std::uint32_t value = 0;
  if (!camera.read(zoomPositionSetting(m, protocol), value)) return false;
  const bool capped = protocol == link::Protocol::Afp || hasExtendedPosition(m);
  // The wide end's negative form (bit 15) is no tele position: it is never capped.
  if (capped && (value & 0x8000u) == 0) value = std::min(value, kTelePosition);
  position = value;
  return true;
}

}  // namespace orva::panels::lens
