#pragma once
// The model table: every camera model the tool knows, as data.
//
// One row per model or per branch of the identification tree: what makes the identification
// land on it (family code, type codes, selector, a camera version that lands there, further
// registers it tests) and the record values its setup sets (names and model codes per variant
// nibble, lens index, processor class, capability words, panel values). The values that change
// with the camera version or with registers read on the way are applied by the identification
// (identification.cpp); a row holds the values its setup starts from.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace orva::camera {

inline constexpr std::uint16_t kOldestFamily = 0x5302;
inline constexpr std::uint16_t kCurrentFamily = 0x53FF;
inline constexpr std::string_view kNotSupported = "Not supported";

// A variant nibble that matches whatever the variant byte holds.
inline constexpr std::uint8_t kAnyVariant = 0xFF;

struct ModelVariant {
  std::uint8_t nibble = kAnyVariant;  // upper nibble of the variant byte (0xE1EE)
  std::string_view name{};              // empty: the end of the list
  std::uint16_t code = 0xFF;
  bool monochrome = false;
};

// What the MODEL menu's format items do for the row.
enum class MenuRule : std::uint8_t {
  Grey,            // greyed, format-switch mode 2
  FormatRegister,  // from register 0x11EE, format-switch mode 2
  SetupRoutine,    // by the menu word; format-switch mode 2 up to type 47, 3 from type 52
};

enum class MaskRule : std::uint8_t {
  None,         // mask type stays 0
  Read,         // the mask-type read (which may answer without a read for some families)
  FromVersion,  // read from camera version 0x234 on, else type 1
};

// What the row does to the "New Feature = " switch.
enum class NewFeatureRule : std::uint8_t { Keep, Set, Clear };

// Record values the setup sets; an empty one keeps the reset value.
struct Capabilities {
  std::optional<std::uint16_t> functionWord{};
  std::optional<std::uint16_t> menuWord{};
  std::optional<std::uint8_t> launcherMask{};
  std::optional<std::uint16_t> featureWord{};
  std::optional<std::uint16_t> optionWord{};
  std::optional<int> eisLevel{};
  std::optional<int> effectsSet{};
  std::optional<std::uint16_t> lensControlWord{};
  std::optional<int> motionTracking{};
  std::optional<std::uint16_t> panelWord2{};
  std::optional<std::uint16_t> panelWord4{};
  std::optional<std::uint8_t> panelByte2{};
  std::optional<std::uint8_t> panelByte8{};
  // Not read from the camera and not kept from an earlier model: each row states it whole.
  std::uint16_t extraOptionWord = 0;
};

// Extra option word bits (model_table.cpp says which models have which, and why).
inline constexpr std::uint16_t kExtraPlFilter = 0x0001;        // IRcf REMOVE opens the PL filter
inline constexpr std::uint16_t kExtraFactoryDefault = 0x0004;  // the camera takes the factory-default command
inline constexpr std::uint16_t kExtraDssTwoIsOff = 0x0020;     // the condition readout shows DSS x2 as off
inline constexpr std::uint16_t kExtraIrDetection = 0x0100;     // IR direction notification (AFP)

// A register value that steers the identification to a row. Address 0 marks an unused slot
// (the identification never reads register 0).
struct RegisterValue {
  std::uint16_t address = 0;
  std::uint16_t value = 0;
  bool word = false;
};

// Names the rows, so the tree can say where it lands.
enum class Branch : std::uint8_t {
  Oldest,
  Type2, Type4, Type6Selector30, Type6Selector38, Type6Other, Type7, Type11, Type13, Type17,
  Type18Or19, Type20, Type22, Type24, Type25, Type26,
  Qb146, Qb148, Qb150First, Qb150Second, Qb152Type29, Qb150Third, Qb152Type31, Qb154, Qb155,
  Qb156, Qb157, Qb159, Qb161Base, Qb161Type44, Qb165Type44Earlier, Qb165Type44Later, Qb166,
  Qb161, Qb163, Qb165Type47Earlier, Qb165Type47Later, Qb174, Qb172, Qb170, Qb168, Qb176, Qb181,
  Qb179, Qb177, Qb183, Qb188, Qb186, Qb185, Qb184, Qb187, Qb191, Qb189, Qb190, Family19F0Other,
  Qb197, Qb196, Qb195, Qb194, Qb193, Qb192, Family1AF0Other, Qb199, Qb198, Qb200,
};

struct ModelRow {
  Branch branch = Branch::Oldest;
  std::string_view description{};
  std::uint16_t family = kCurrentFamily;
  std::array<std::uint8_t, 6> typeCodes{};   // 0 ends the list
  std::optional<std::uint8_t> selector{};      // empty: any selector no other row of the type takes
  std::uint16_t sampleVersion = 0;           // a camera version that lands on this row
  std::array<RegisterValue, 2> registers{};  // further registers that steer to this row
  std::array<ModelVariant, 6> variants{};
  int lensIndex = 0;
  int processorClass = 0;
  bool readsAeMode = false;
  MenuRule menu = MenuRule::SetupRoutine;
  MaskRule mask = MaskRule::Read;
  NewFeatureRule newFeature = NewFeatureRule::Keep;
  Capabilities capabilities{};
  bool speaksAfp = false;  // besides EAP

  bool hasType(std::uint16_t type) const;
  // The variant entry for the nibble, or null when the row has none for it.
  const ModelVariant* variantFor(std::uint8_t nibble) const;
  std::uint8_t firstType() const { return typeCodes[0]; }
};

std::span<const ModelRow> models();
const ModelRow& modelRow(Branch branch);

}  // namespace orva::camera
