#include "sim/start_values.hpp"

#include <utility>
#include <vector>

namespace orva::sim {
namespace {

struct Start {
  std::uint16_t address;
  std::vector<std::uint8_t> bytes;
};

const std::vector<Start>& exposure() {
  static const std::vector<Start> starts{
      {0xFB7F, {0x00}},                                            // auto iris, shutter and AGC
      {0xFB32, {0x01, 0x80}},                                      // iris at F2.8
      {0xFB7E, {0x02}},                                            // last drive upward
      {0xFD9E, {0x18, 0x28}},                                      // iris offsets, average and peak
      {0xFCA8, {0x00, 0x96, 0x80}},                                // manual shutter 1/100: 150 lines and a half
      {0xFD46, {0x05, 0x00}},                                      // maximum AGC gain 40 dB
      {0xFB38, {0x01, 0x80}},                                      // fixed AGC level 12 dB
      {0xFD1A, {0x00, 0x40}},                                      // chroma suppression
      {0xFCC9, {0x05}},                                            // AE parameter
      {0xFFDA, {0x04, 0x00, 0x03, 0x00, 0x01, 0x00}},              // full manual shutter, iris, gain
      {0xFB50, {0x04}},                                            // slow AE response
      {0x11F5, {0x75}},                                            // new AE chart off
      {0x16E9, {0xC8}},                                            // clarity improvement off
      {0xFF32, {0x00}},                                            // WDR off
      {0xFF33, {0x00}},                                            // freeze off
      {0xFF3A, {0x00, 0x00}},                                      // mosaic, mirror off
      {0xFF57, {0x12}},
      {0xFDA0, {0x00, 0x00}},
      {0xFAE0, {0x00, 0x01, 0x11, 0x00, 0x02, 0x22, 0x00, 0x03, 0x33,
                0x00, 0x04, 0x44, 0x00, 0x05, 0x55, 0x00, 0x06, 0x66}},  // weighting areas 1 to 6
  };
  return starts;
}

const std::vector<Start>& strobe() {
  static const std::vector<Start> starts{
      // Trigger source Line0; strobe A on, low, positive, two frames late, rise 10, width 100;
      // B on, high; C off.
      {0xFF96, {0x00, 0x00, 0x04, 0x02, 0x00, 0x10, 0x01, 0x00}},  // FF96 to FF9D
      {0xFF9E, {0x05, 0x00, 0x00, 0x20, 0x02, 0x00}},              // FF9E to FFA3
      {0xFFA4, {0x00, 0x00, 0x03, 0x00, 0x80}},                    // force, trigger status, pilot delay, gate
      {0xFFAB, {0x40, 0x00, 0x01, 0x00, 0x30, 0x03, 0x00}},        // pilot width, C, C's delay, rise, width
      {0xFFB2, {0x01, 0x00}},                                      // continuous acquisition, frame rate 1
      {0xFFBE, {0x00, 0x00, 0x01}},                                // link on, auto, status day
      {0x167F, {0x00}},                                            // auto control StrobeFix
      {0x1702, {0x40, 0x50, 0x20, 0x30}},                          // AE exposures
      {0x1684, {0x03, 0x00, 0x04, 0x00, 0x02, 0x00, 0x01, 0x00, 0x01, 0x10,    // manual night
                0x02, 0x00, 0x03, 0x00, 0x01, 0x00, 0x01, 0x20, 0x01, 0x30}},  // manual twilight
  };
  return starts;
}

// The trigger-LED fields at the values the panel's "default" writes.
const std::vector<Start>& triggerLed() {
  static const std::vector<Start> starts{
      {0x14A0, {0x08, 0x09, 0x00, 0x3B, 0x0C}},
      {0x14A7, {0x02, 0x00, 0x00}},
      {0x14B0, {0xFE, 0xF9, 0x72, 0x72, 0x00, 0x04, 0x0F, 0x03}},
      {0x1251, {0x08}},
      {0x1255, {0x31, 0x82}},
      {0x1259, {0x96}},
  };
  return starts;
}

void put(Profile& p, const std::vector<Start>& starts, std::uint16_t offset = 0) {
  for (const Start& s : starts) p.registers.push_back({static_cast<std::uint16_t>(s.address + offset), s.bytes});
}

}  // namespace

void putStartValues(Profile& profile, std::uint16_t modelCode) {
  put(profile, exposure());
  if (modelCode == kStrobeModelCode) put(profile, strobe());
  if (modelCode == kTriggerLedModelCode) {
    put(profile, triggerLed());
    put(profile, triggerLed(), kTriggerLedMirrorOffset);
  }
}

}  // namespace orva::sim
