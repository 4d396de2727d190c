#pragma once
// AFP functions that stand for an EAP register: one camera, whichever protocol the tool
// speaks. A set of the function writes the register and a get reads it back, through the
// binding's value map; a register write is seen by the next get of the function.
//
// A map pairs each AFP value with the register bits it stands for (AE mode 4 with FCC8 = 01,
// focus mode 2 with FF0E bit 3 set). A set of a value outside the map changes nothing; a get
// of register bits outside the map answers 00. Without a map the function carries the register
// as it stands, a byte or a word. Bits outside a binding's mask keep their value.
#include <cstdint>
#include <span>

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
};

// Every bound function, for tests that go over them all.
std::span<const FunctionBinding> functionBindings();

// The value a get of the bound byte function `code` answers, from the registers; 0 when the
// register's bits are outside the map or `code` is not bound.
std::uint8_t boundValue(const RegisterMemory& memory, std::uint16_t code);

void installFunctionBindings(VirtualCamera& camera);

}  // namespace orva::sim
