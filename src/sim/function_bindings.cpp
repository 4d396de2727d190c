#include "sim/function_bindings.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <string>

#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

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
constexpr std::array<ValuePair, 2> kPrivacyMaskSwitch{{{1, 0x00}, {2, 0x03}}};

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
    {.code = 0x3201, .address = 0xFF4C, .values = kOffOn},
    {.code = 0x4103, .address = 0xFF30, .values = kOffOn},
    {.code = 0x7101, .address = 0xF900, .values = kPrivacyMaskSwitch},
    {.code = 0x8201, .address = 0xF9B0, .values = kOffOn},
    {.code = 0x210D, .address = 0xFFDA, .word = true},
    {.code = 0x210E, .address = 0xFFDC, .word = true},
    {.code = 0x210F, .address = 0xFFDE, .word = true},
};

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
  return pair == b.values.end() ? std::uint8_t{0} : pair->afp;
}

std::string get(const RegisterMemory& memory, const FunctionBinding& b) {
  if (b.word)
    return fmt::format("{:02X}{:02X}", memory.read(b.address), memory.read(static_cast<std::uint16_t>(b.address + 1)));
  return fmt::format("{:02X}", byteValue(memory, b));
}

}  // namespace

std::span<const FunctionBinding> functionBindings() { return kBindings; }

std::uint8_t boundValue(const RegisterMemory& memory, std::uint16_t code) {
  const auto b = std::ranges::find(kBindings, code, &FunctionBinding::code);
  return b == std::ranges::end(kBindings) || b->word ? std::uint8_t{0} : byteValue(memory, *b);
}

void installFunctionBindings(VirtualCamera& camera) {
  for (const FunctionBinding& b : kBindings) {
    camera.onFunctionSet(b.code, [&b](VirtualCamera& cam, const FunctionSet& s) {
      if (const auto value = s.number()) set(cam.memory(), b, *value);
    });
    camera.onFunctionGet(b.code, [&b](const VirtualCamera& cam) { return get(cam.memory(), b); });
  }
}

}  // namespace orva::sim
