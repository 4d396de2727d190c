#pragma once
// AFP functions that stand for an EAP register: one camera, whichever protocol the tool
// speaks. A set of the function writes the register and a get reads it back, through the
// binding's value map; a register write is seen by the next get of the function.
//
// A map pairs each AFP value with the register bits it stands for (AE mode 4 with FCC8 = 01,
// focus mode 2 with FF0E bit 3 set). A set of a value outside the map changes nothing; a get
// of register bits outside the map answers the binding's `otherwise`, 00 unless given; where a map pairs two values with the same
// register bits, a get answers the first, and where it pairs one value with several register
// values (3185: 1 for the three auto modes of 142F), a set writes the first. Without a map the function carries the register as
// it stands, a byte or a word. A word function may carry further fields after the word (3401:
// the maximum AGC gain, then a byte): they are kept as set, as an unbound function's digits are,
// and read 0 until set. Bits outside a binding's mask keep their value.
//
// A binding may hold for some models only (by model code): a camera of such a model takes it
// in place of the binding of the same code for every other model. The AE shutter speeds 210B
// are numbered so on the 720-line models.
//
// The weighting areas 2107 are a table by area: index 1 to 6 stands for the three bytes at
// FAE0 + 3 x (index - 1), high byte first; a set writes them, a get answers them, an index
// outside 1 to 6 changes nothing and answers 000000.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orva::sim {

class RegisterMemory;
class VirtualCamera;

struct ValuePair {
  std::uint8_t afp = 0;
  std::uint8_t eap = 0;  // within the binding's mask
};

struct FunctionBinding {
  std::uint16_t code = 0;
  std::uint16_t address = 0;
  std::span<const ValuePair> values{};  // empty: the register's value as it stands
  std::uint8_t mask = 0xFF;             // the register bits the function stands for
  bool word = false;                    // a 16-bit register, high byte first; never mapped
  std::uint8_t otherwise = 0;           // what a get answers for register bits outside the map
  std::span<const std::uint16_t> models{};  // empty: every model without a binding of its own
};

inline constexpr std::uint16_t kWeightingAreaFunction = 0x2107;
inline constexpr std::uint16_t kWeightingAreaRegister = 0xFAE0;
inline constexpr int kWeightingAreas = 6;

// Every bound function, for tests that go over them all.
std::span<const FunctionBinding> functionBindings();

// The bindings a camera of the model takes (none: a camera without a model).
std::vector<const FunctionBinding*> bindingsFor(std::optional<std::uint16_t> modelCode);

// The value a get of the bound byte function `code` answers, from the registers; 0 when the
// register's bits are outside the map or `code` is not bound.
std::uint8_t boundValue(const RegisterMemory& memory, std::uint16_t code);

void installFunctionBindings(VirtualCamera& camera);

}  // namespace orva::sim
