#include "sim/start_values.hpp"

#include <algorithm>
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

// The five registers of a picture-mode set: step 0x10 apart, the mode in the low digit after
// `base`, so every set of every mode holds values of its own.
std::vector<std::uint8_t> pictureSet(std::uint8_t base, std::uint8_t mode) {
  std::vector<std::uint8_t> bytes;
  for (std::uint8_t i = 0; i < 5; ++i) bytes.push_back(static_cast<std::uint8_t>(base + 0x10 * i + mode));
  return bytes;
}

const std::vector<Start>& picture() {
  static const std::vector<Start> starts{
      {0xFBFF, {0x00}},                    // auto white balance and aperture
      {0xFBBC, {0x02, 0x90}},              // R gain
      {0xFBBE, {0x01, 0xC8}},              // B gain
      {0xF9F2, {0x00}},                    // light source normal
      {0x142F, {0x00}},                    // power-on mode AWB normal
      {0x1430, {0x03, 0x88, 0x01, 0x98}},  // fixed R and B gains, apart from the gains in use
      {0x172E, {0x00}},                    // WB RBC MAX
      {0x1720, {0x01}},                    // newdark_rom
      {0xFECE, {0x00}},                    // back light compensation off
      {0xFD8E, {0x40}},                    // its level
      {0xFBF6, {0x0A}},                    // aperture level, horizontal
      {0xFBF9, {0x08}},                    // and vertical
      {0xFF60, {0x01}},                    // picture mode 1
      {0xFB5C, {0x00}},                    // zoom sensitivity boost off
      {0xFC10, pictureSet(0x10, 1)},       // colour level, modes 1 and 2
      {0xFC15, pictureSet(0x10, 2)},
      {0xFC50, pictureSet(0x10, 3)},       // modes 3 and 4
      {0xFC55, pictureSet(0x10, 4)},
      {0xFBD9, pictureSet(0x80, 1)},       // Y_Gamma
      {0xFBE4, pictureSet(0x80, 2)},
      {0xFC70, pictureSet(0x80, 3)},
      {0xFC7A, pictureSet(0x80, 4)},
      {0xFBDF, pictureSet(0x18, 1)},       // C_Gamma
      {0xFBE9, pictureSet(0x18, 2)},
      {0xFC75, pictureSet(0x18, 3)},
      {0xFC7F, pictureSet(0x18, 4)},
      {0xB790, pictureSet(0x40, 0)},       // the one colour level set of the older models
      {0xFFE6, {0x00, 0x01}},              // no move command; the IR cut filter in
      {0xF8A4, {0x00}},                    // normal light while the filter is out
      {0xFFEA, {0x00}},                    // threshold offset 0
      {0xFFEE, {0x00, 0x01}},              // PL filter auto, out
  };
  return starts;
}

// The 720-line models' AGC gain limit, in 1/32 dB: 37 dB.
const std::vector<Start>& agcLimit() {
  static const std::vector<Start> starts{{0x10F4, {0x04, 0xA0}}};
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

// What the camera setup utility reads: the zoom position and lens reference it saves with, the
// two nine-point trace tables (X and Y, both rising), the lens RAM's zoom and focus words, and
// picture, exposure and mosaic values inside the ranges its checks allow.
const std::vector<Start>& setupUtility() {
  static const std::vector<Start> starts{
      {0x12A2, {0x01, 0x00}},  // zoom position at save time
      {0x12A4, {0x02, 0x00}},  // lens reference position
      {0x12AE, {0x00, 0x00, 0x04, 0x00, 0x08, 0x00, 0x0C, 0x00, 0x10, 0x00, 0x18, 0x00, 0x20, 0x00, 0x30, 0x00,
                0x40, 0x00}},  // trace X
      {0x12C0, {0x01, 0x00, 0x01, 0x80, 0x02, 0x20, 0x02, 0xD0, 0x03, 0x90, 0x05, 0x00, 0x06, 0x80, 0x09, 0x00,
                0x0C, 0x00}},  // trace Y
      {0xF710, {0x08, 0x00}},
      {0xF718, {0x08, 0x40}},
      {0xF71A, {0x08, 0x80}},
      {0xF7BE, {0x00, 0x30}},
      {0xF7C2, {0x00, 0x34}},
      {0xF7C4, {0x00, 0x38}},
      {0xF895, {0x03}},  // trace curve 3
      {0x1337, {0x10}},  // manual focus speed
      {0xE139, {0x00}},  // minimum focus length
      {0x11E5, {0x10}},  // auto DSS limit
      {0xE09E, {0x4B, 0x4E}},                    // exposure value, peak iris offset
      {0x136A, {0x30, 0x2A, 0x14, 0x04, 0x02}},  // horizontal aperture by gain range
      {0x139C, {0x12, 0x0E, 0x08, 0x03, 0x01}},  // vertical aperture by gain range
      {0xFA20, {0x80}},                          // maximum AGC gain, second form
      {0xFF3C, {0x09, 0x04}},                    // mosaic size H and V
  };
  return starts;
}

void put(Profile& p, const std::vector<Start>& starts, std::uint16_t offset = 0) {
  for (const Start& s : starts) p.registers.push_back({static_cast<std::uint16_t>(s.address + offset), s.bytes});
}

}  // namespace

void putStartValues(Profile& profile, std::uint16_t modelCode) {
  put(profile, exposure());
  put(profile, picture());
  if (std::ranges::find(k720LineModels, modelCode) != k720LineModels.end()) put(profile, agcLimit());
  if (modelCode == kStrobeModelCode) put(profile, strobe());
  if (modelCode == kTriggerLedModelCode) {
    put(profile, triggerLed());
    put(profile, triggerLed(), kTriggerLedMirrorOffset);
    put(profile, setupUtility());
  }
}

}  // namespace orva::sim
