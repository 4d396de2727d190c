#include "sim/function_bindings.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "core/text.hpp"
#include "sim/start_values.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

constexpr std::size_t kWordDigits = 4;

// Value maps shared by several bindings.
constexpr std::array<ValuePair, 2> kOffOn{{{1, 0x00}, {2, 0x01}}};
constexpr std::array<ValuePair, 2> kOffOnTwo{{{1, 0x00}, {2, 0x02}}};
constexpr std::array<ValuePair, 2> kAutoManualFocus{{{1, 0x00}, {2, 0x08}}};
constexpr std::array<ValuePair, 2> kOffOnTopBit{{{1, 0x00}, {2, 0x80}}};
// A list whose register holds the entry's index and whose function the index plus one.
constexpr std::array<ValuePair, 4> kListIndex{{{1, 0}, {2, 1}, {3, 2}, {4, 3}}};
constexpr std::array<ValuePair, 4> kAfSearch{{{1, 0x00}, {2, 0x01}, {3, 0x03}, {4, 0x05}}};
constexpr std::array<ValuePair, 3> kEnhancedIntensity{{{1, 0x00}, {2, 0x01}, {3, 0x10}}};
// The AFP numbering of the AE modes against the register's (base mode low, "R" level high).
constexpr std::array<ValuePair, 12> kAeMode{{
    {1, 0x00}, {2, 0x10}, {3, 0x20}, {4, 0x01}, {5, 0x11}, {6, 0x21},
    {7, 0x31}, {8, 0x07}, {9, 0x08}, {10, 0x0A}, {11, 0x09}, {12, 0x0B},
}};
// The camera modes: the function's numbering against the register's (line rate high, format low).
constexpr std::array<ValuePair, 16> kCameraMode{{
    {5, 0x00}, {6, 0x01}, {7, 0x02}, {8, 0x03}, {10, 0x04}, {17, 0x05}, {1, 0x10}, {2, 0x11},
    {3, 0x12}, {4, 0x13}, {9, 0x14}, {16, 0x15}, {12, 0x30}, {13, 0x31}, {14, 0x32}, {18, 0x35},
}};
constexpr std::array<ValuePair, 2> kAutoManualWhiteBalance{{{1, 0x00}, {2, 0x08}}};
// The auto white balance light source: normal, sodium, mercury.
constexpr std::array<ValuePair, 3> kLightSource{{{1, 0x00}, {2, 0x02}, {3, 0x03}}};
// The fixed white balance: 4 on, 1 off, against the power-on mode 0x142F, where 4 is the fixed
// mode and 0, 2, 3 the auto modes; off writes AWB normal.
constexpr std::array<ValuePair, 4> kFixedWhiteBalance{{{1, 0x00}, {4, 0x04}, {1, 0x02}, {1, 0x03}}};
// The IR cut filter move command: in, out (the release, 00, has no AFP value).
constexpr std::array<ValuePair, 2> kFilterMove{{{1, 0xC0}, {2, 0x80}}};
// The IR light while the filter is out, F8A4 without its 0x20 bit (which the tool sets by the
// model and the camera keeps): normal, IR 950 nm, IR 850 nm; 2 and 3 are read in their short
// form too, and anything else is normal light.
constexpr std::array<ValuePair, 5> kIrLight{{{1, 0x00}, {2, 0xC1}, {3, 0xC2}, {2, 0x02}, {3, 0x03}}};
constexpr std::array<ValuePair, 2> kPrivacyMaskSwitch{{{1, 0x00}, {2, 0x03}}};
// The AE priority parameters (FCC9): a button's index, which the function counts from 1.
constexpr std::array<ValuePair, 10> kIrisIndex{{{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {7, 6}, {8, 7}, {9, 8}, {10, 9}}};
constexpr std::array<ValuePair, 6> kGainIndex{{{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}}};
// The shutter speeds by button position: the slowest (FF) is 1, the next sixteen count 2 to 17
// from 00, and the seventeenth, which only some models show, goes on with 18.
constexpr std::array<ValuePair, 18> kShutterIndex{{
    {1, 0xFF}, {2, 0}, {3, 1}, {4, 2}, {5, 3}, {6, 4}, {7, 5}, {8, 6}, {9, 7},
    {10, 8}, {11, 9}, {12, 10}, {13, 11}, {14, 12}, {15, 13}, {16, 14}, {17, 15}, {18, 16},
}};
// The 720-line models count the register two higher from the first position on, and the
// function one higher for positions 1 to 4 and 18 for position 5. Position 16 (register 0F,
// function 17) then shares its register value with position 14 (0F, function 15): both sets
// write 0F, and 0F gets as 15, the position the run of fifteen names.
constexpr std::array<ValuePair, 17> kShutterIndex720{{
    {1, 0xFF}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {18, 6}, {7, 7}, {8, 8}, {9, 9},
    {10, 10}, {11, 11}, {12, 12}, {13, 13}, {14, 14}, {15, 15}, {16, 16}, {17, 15},
}};

constexpr FunctionBinding kBindings[] = {
    // Lens: focus, zoom and digital zoom.
    {.code = 0x1101, .address = 0xFF0E, .values = kAutoManualFocus, .mask = 0x08},
    {.code = 0x1103, .address = 0xF8A0},  // manual focus speed
    {.code = 0x1201, .address = 0xFCCB, .values = kOffOn, .mask = 0x01},
    {.code = 0x1202, .address = 0xFDF0},  // continuous digital zoom maximum
    {.code = 0x1203, .address = 0xFF0F, .values = kOffOnTopBit, .mask = 0x80},
    {.code = 0x1204, .address = 0xFDE6},  // instant magnification
    {.code = 0x1285, .address = 0x0AFE, .values = kOffOn},  // 35x / 36x lens mode
    {.code = 0x6187, .address = 0x11E6, .word = true},      // lens position
    // AF options.
    {.code = 0x1106, .address = 0xF8E0, .values = kAfSearch},
    {.code = 0x110E, .address = 0x08F7},  // one-push AF time
    {.code = 0x110F, .address = 0xF7F0, .values = kListIndex},
    {.code = 0x120B, .address = 0xF840, .values = kOffOn},
    {.code = 0x120C, .address = 0xF8E5, .values = kOffOn},
    {.code = 0x120D, .address = 0xF830, .values = kOffOn},
    {.code = 0x120F, .address = 0xF831, .values = kOffOn},
    {.code = 0x1301, .address = 0xF745, .values = kListIndex},  // AF watchdog mode
    // Exposure and back light.
    {.code = 0x2105, .address = 0xFCC8, .values = kAeMode},
    {.code = 0x2106, .address = 0xFB50},  // slow AE response
    {.code = 0x2108, .address = 0xFDA0, .word = true},  // weighting data to set (exposure.hpp)
    {.code = 0x210B, .address = 0xFCC9, .values = kShutterIndex},
    {.code = 0x210C, .address = 0xFCC9, .values = kIrisIndex},
    {.code = 0x2303, .address = 0xFCC9, .values = kGainIndex},
    {.code = 0x3401, .address = 0xFD46, .word = true},  // maximum AGC gain, then a byte read as 0
    {.code = 0x2301, .address = 0xFECE, .values = kOffOnTwo},
    {.code = 0x2302, .address = 0xFD8E},
    // Image stabiliser and enhanced intensity.
    {.code = 0x8301, .address = 0xFCCC, .values = kOffOn},
    {.code = 0x8304, .address = 0xFCCE, .values = kOffOn},
    {.code = 0x9901, .address = 0xFF90, .values = kEnhancedIntensity},
    {.code = 0x9902, .address = 0xFF91},
    {.code = 0x9904, .address = 0xFF9A},
    // What the status block reads back: camera mode, picture, exposure values and functions.
    {.code = 0x0185, .address = 0x1701, .values = kCameraMode},
    {.code = 0x3101, .address = 0xFBFF, .values = kAutoManualWhiteBalance, .mask = 0x08},
    {.code = 0x3403, .address = 0xFBFF, .values = kOffOnTwo, .mask = 0x02},
    // White balance gains, light source and fixed mode; aperture levels; picture mode.
    {.code = 0x3102, .address = 0xFBBC, .word = true},  // R gain
    {.code = 0x3103, .address = 0xFBBE, .word = true},  // B gain
    {.code = 0x3182, .address = 0x1430, .word = true},  // fixed-mode R gain (EEPROM)
    {.code = 0x3183, .address = 0x1432, .word = true},  // fixed-mode B gain (EEPROM)
    {.code = 0x3104, .address = 0xF9F2, .values = kLightSource},
    {.code = 0x3185, .address = 0x142F, .values = kFixedWhiteBalance},
    {.code = 0x3404, .address = 0xFBF6},
    {.code = 0x3406, .address = 0xFBF9},
    {.code = 0x340D, .address = 0xFF60},  // picture mode (picture.hpp reads a stray one as 1)
    {.code = 0x340F, .address = 0xFB5C, .values = kOffOn},  // zoom sensitivity boost
    // IR cut filter: position, move command, threshold offset, IR light (ir_filter.hpp moves it).
    {.code = 0x2201, .address = 0xFFE7},
    {.code = 0x2202, .address = 0xFFE6, .values = kFilterMove},
    {.code = 0x2204, .address = 0xFFEA},
    {.code = 0x2205, .address = 0xF8A4, .values = kIrLight, .mask = 0xDF, .otherwise = 1},
    {.code = 0x3201, .address = 0xFF4C, .values = kOffOn},
    {.code = 0x4103, .address = 0xFF30, .values = kOffOn},
    {.code = 0x7101, .address = 0xF900, .values = kPrivacyMaskSwitch},
    {.code = 0x8201, .address = 0xF9B0, .values = kOffOn},
    {.code = 0x210D, .address = 0xFFDA, .word = true},
    {.code = 0x210E, .address = 0xFFDC, .word = true},
    {.code = 0x210F, .address = 0xFFDE, .word = true},
    // By model, after the bindings for every model (boundValue takes those).
    {.code = 0x210B, .address = 0xFCC9, .values = kShutterIndex720, .models = k720LineModels},
};

bool takes(const FunctionBinding& b, std::optional<std::uint16_t> model) {
  return model && std::ranges::find(b.models, *model) != b.models.end();
}

void set(RegisterMemory& memory, const FunctionBinding& b, std::uint32_t value) {
  if (b.word) {
    memory.write(b.address, static_cast<std::uint8_t>(value >> 8));
    memory.write(static_cast<std::uint16_t>(b.address + 1), static_cast<std::uint8_t>(value));
    return;
  }
  std::uint32_t bits = value;
  if (!b.values.empty()) {
    const auto pair = std::ranges::find(b.values, value, &ValuePair::afp);
    if (pair == b.values.end()) return;
    bits = pair->eap;
  }
  const auto kept = static_cast<unsigned>(memory.read(b.address) & ~b.mask);
  memory.write(b.address, static_cast<std::uint8_t>(kept | (bits & b.mask)));
}

std::uint8_t byteValue(const RegisterMemory& memory, const FunctionBinding& b) {
  const auto bits = static_cast<std::uint8_t>(memory.read(b.address) & b.mask);
  if (b.values.empty()) return bits;
  const auto pair = std::ranges::find(b.values, bits, &ValuePair::eap);
  return pair == b.values.end() ? b.otherwise : pair->afp;
}

std::string get(const RegisterMemory& memory, const FunctionBinding& b) {
  if (b.word)
    return fmt::format("{:02X}{:02X}", memory.read(b.address), memory.read(static_cast<std::uint16_t>(b.address + 1)));
  return fmt::format("{:02X}", byteValue(memory, b));
}

// The first register of the weighting area an index names; none outside 1 to 6.
std::optional<std::uint16_t> areaAddress(std::string_view digits) {
  const auto index = core::parseHex(digits.substr(0, std::min<std::size_t>(digits.size(), 2)), 2);
  if (!index || *index < 1 || *index > kWeightingAreas) return std::nullopt;
  return static_cast<std::uint16_t>(kWeightingAreaRegister + 3 * (*index - 1));
}

void installWeightingAreas(VirtualCamera& camera) {
  camera.onFunctionSet(kWeightingAreaFunction, [](VirtualCamera& cam, const FunctionSet& s) {
    const auto at = areaAddress(s.value);
    const auto value = s.value.size() == 8 ? core::parseHex(std::string_view(s.value).substr(2), 6) : std::nullopt;
    if (!at || !value) return;
    for (unsigned i = 0; i < 3; ++i)
      cam.memory().write(static_cast<std::uint16_t>(*at + i), static_cast<std::uint8_t>(*value >> (16 - 8 * i)));
  });
  camera.onTableGet(kWeightingAreaFunction, [](const VirtualCamera& cam, std::string_view asked) {
    const auto at = areaAddress(asked);
    if (!at) return std::string("00000000");
    const RegisterMemory& m = cam.memory();
    return fmt::format("{}{:02X}{:02X}{:02X}", asked.substr(0, 2), m.read(*at),
                       m.read(static_cast<std::uint16_t>(*at + 1)), m.read(static_cast<std::uint16_t>(*at + 2)));
  });
}

}  // namespace

std::span<const FunctionBinding> functionBindings() { return kBindings; }

std::vector<const FunctionBinding*> bindingsFor(std::optional<std::uint16_t> modelCode) {
  std::vector<const FunctionBinding*> out;
  for (const FunctionBinding& b : kBindings) {
    const bool ownBinding = std::ranges::any_of(
        kBindings, [&](const FunctionBinding& other) { return other.code == b.code && takes(other, modelCode); });
    if (b.models.empty() ? !ownBinding : takes(b, modelCode)) out.push_back(&b);
  }
  return out;
}

std::uint8_t boundValue(const RegisterMemory& memory, std::uint16_t code) {
  const auto b = std::ranges::find(kBindings, code, &FunctionBinding::code);
  return b == std::ranges::end(kBindings) || b->word ? std::uint8_t{0} : byteValue(memory, *b);
}

void installFunctionBindings(VirtualCamera& camera) {
  for (const FunctionBinding* b : bindingsFor(camera.modelCode())) {
    if (!b->word) {
      camera.onFunctionSet(b->code, [b](VirtualCamera& cam, const FunctionSet& s) {
        if (const auto value = s.number()) set(cam.memory(), *b, *value);
      });
      camera.onFunctionGet(b->code, [b](const VirtualCamera& cam) { return get(cam.memory(), *b); });
      continue;
    }
    // The fields after the word are kept as set, as any function's digits are.
    auto after = std::make_shared<std::string>();
    camera.onFunctionSet(b->code, [b, after](VirtualCamera& cam, const FunctionSet& s) {
      // A set shorter than the word (a few digits from a stray frame) changes nothing.
      if (s.value.size() < kWordDigits) return;
      const auto value = core::parseHex(std::string_view(s.value).substr(0, kWordDigits), kWordDigits);
      if (!value) return;
      set(cam.memory(), *b, *value);
      *after = s.value.substr(kWordDigits);
    });
    camera.onFunctionGet(b->code, [b, after](const VirtualCamera& cam) { return get(cam.memory(), *b) + *after; });
  }
  installWeightingAreas(camera);
}

}  // namespace orva::sim
