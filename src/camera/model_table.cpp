#include "camera/model_table.hpp"

#include <algorithm>

namespace orva::camera {
namespace {

constexpr ModelVariant v(std::uint8_t nibble, std::string_view name, std::uint16_t code) {
  return {.nibble = nibble, .name = name, .code = code};
}
// A monochrome model: no white balance.
constexpr ModelVariant mono(std::uint8_t nibble, std::string_view name, std::uint16_t code) {
  return {.nibble = nibble, .name = name, .code = code, .monochrome = true};
}
// One model whatever the variant nibble.
constexpr ModelVariant only(std::string_view name, std::uint16_t code) { return {.name = name, .code = code}; }

constexpr RegisterValue byteAt(std::uint16_t address, std::uint8_t value) { return {address, value, false}; }
constexpr RegisterValue wordAt(std::uint16_t address, std::uint16_t value) { return {address, value, true}; }

// The extra option word is not something a camera reports; each row states it, from these
// grounds:
// - kExtraFactoryDefault on every model with a factory EEPROM image (every model from QB-161
//   on). Those cameras keep their factory contents and take the factory-default command (EAP
//   register F8D8, AFP function 018A); the image list and this bit name the same models, and
//   the EEPROM tests hold them together.
//   For older models no such command is known, so the menu item stays grey for them.
// - kExtraIrDetection on the models that speak AFP, the only protocol that carries the IR
//   direction notification (function 2207), and that switch their IR cut filter by their own
//   detection (lens-control word bit 10, the threshold offset of that switching): a camera
//   that decides for itself when the filter moves is the one that can ask first. QB-176 and
//   QB-187 lack that bit and so lack this one.
// - kExtraPlFilter and kExtraDssTwoIsOff on no model: none of ours is known to carry a PL
//   filter in place of its IR cut filter (the IRcf REMOVE button shows the IR cut filter
//   wherever function word bit 2 allows it), and every one counts a DSS factor of 2 as slow
//   shutter on.
constexpr std::uint16_t kFactory = kExtraFactoryDefault;
constexpr std::uint16_t kFactoryIr = kExtraFactoryDefault | kExtraIrDetection;

// Capability sets shared by several rows.
constexpr Capabilities kQb150Third{.functionWord = 0x8F4F, .menuWord = 0x4, .launcherMask = 0xFF,
                                   .featureWord = 0x0, .optionWord = 0x3, .effectsSet = 0x2,
                                   .lensControlWord = 0x1};
constexpr Capabilities kQb152Type29{.functionWord = 0x8F4F, .menuWord = 0x4, .launcherMask = 0xFF,
                                    .featureWord = 0x0, .optionWord = 0x3, .eisLevel = 4, .effectsSet = 0x7,
                                    .lensControlWord = 0x3};
constexpr Capabilities kQb152Type31{.functionWord = 0x8F4F, .menuWord = 0x4, .launcherMask = 0xFF,
                                    .featureWord = 0x0, .optionWord = 0x0B, .eisLevel = 2, .effectsSet = 0x7,
                                    .lensControlWord = 0x13};
constexpr Capabilities kQb154{.functionWord = 0x8D45, .menuWord = 0x0, .launcherMask = 0xFF, .optionWord = 0x89,
                              .eisLevel = 0, .effectsSet = 0x8};
constexpr Capabilities kQb156{.functionWord = 0x8D41, .menuWord = 0x2, .launcherMask = 0xFF, .featureWord = 0x0,
                              .optionWord = 0x89, .eisLevel = 0, .effectsSet = 0x8, .lensControlWord = 0x8};
constexpr Capabilities kQb157{.functionWord = 0x8F4F, .menuWord = 0x4, .launcherMask = 0xFF, .featureWord = 0x0,
                              .optionWord = 0x7F, .eisLevel = 2, .effectsSet = 0x7, .lensControlWord = 0x13,
                              .panelWord2 = 0x0FFF};
constexpr Capabilities kQb161Base{.functionWord = 0x0C40, .menuWord = 0x0, .launcherMask = 0x80,
                                  .featureWord = 0x0, .optionWord = 0x1, .eisLevel = 0, .effectsSet = 0x2,
                                  .lensControlWord = 0x0, .extraOptionWord = kFactory};
constexpr Capabilities kQb161{.functionWord = 0xBF47, .menuWord = 0x102, .launcherMask = 0xFF, .featureWord = 0x0,
                              .optionWord = 0x1, .eisLevel = 0, .effectsSet = 0x9, .lensControlWord = 0x4260,
                              .extraOptionWord = kFactory};
constexpr Capabilities kQb165Type44Earlier{.functionWord = 0x0C40, .menuWord = 0x0, .launcherMask = 0x0,
                                           .featureWord = 0x0, .optionWord = 0x81, .eisLevel = 0,
                                           .effectsSet = 0x2, .lensControlWord = 0x0, .extraOptionWord = kFactory};
constexpr Capabilities kQb165Type44Later{.functionWord = 0x0D40, .menuWord = 0x1, .launcherMask = 0xFE,
                                         .featureWord = 0x0, .optionWord = 0x81, .eisLevel = 0,
                                         .effectsSet = 0x2, .lensControlWord = 0x0, .extraOptionWord = kFactory};
constexpr Capabilities kQb165Type47Earlier{.functionWord = 0x8D41, .menuWord = 0x201, .launcherMask = 0xFE,
                                           .featureWord = 0x0, .optionWord = 0x81, .eisLevel = 0,
                                           .effectsSet = 0x2, .lensControlWord = 0x0, .extraOptionWord = kFactory};
constexpr Capabilities kQb165Type47Later{.functionWord = 0xAF4F, .menuWord = 0x201, .launcherMask = 0xFE,
                                         .featureWord = 0x0, .optionWord = 0x81, .eisLevel = 0,
                                         .effectsSet = 0xA, .lensControlWord = 0x0, .motionTracking = 1,
                                         .extraOptionWord = kFactory};
constexpr Capabilities kQb168{.functionWord = 0x8F4F, .menuWord = 0xB42, .launcherMask = 0xFF, .featureWord = 0x0,
                              .optionWord = 0x27F, .eisLevel = 2, .effectsSet = 0xB, .lensControlWord = 0x5772,
                              .motionTracking = 1, .extraOptionWord = kFactoryIr};
constexpr Capabilities kQb177{.functionWord = 0x8F4F, .menuWord = 0x1B42, .launcherMask = 0xFF, .featureWord = 0x0,
                              .optionWord = 0x227F, .eisLevel = 2, .effectsSet = 0xB, .lensControlWord = 0xD772,
                              .motionTracking = 1, .extraOptionWord = kFactoryIr};
constexpr Capabilities kQb179{.functionWord = 0x8F4F, .menuWord = 0x1840, .launcherMask = 0xFF, .featureWord = 0x0,
                              .optionWord = 0x223F, .eisLevel = 2, .effectsSet = 0xB, .lensControlWord = 0xD772,
                              .motionTracking = 1, .extraOptionWord = kFactoryIr};
constexpr Capabilities kQb184{.functionWord = 0x8F4F, .menuWord = 0x1241, .launcherMask = 0xFF, .featureWord = 0x7E,
                              .optionWord = 0xF5E9, .eisLevel = 2, .effectsSet = 0xB, .lensControlWord = 0x4570,
                              .motionTracking = 1, .extraOptionWord = kFactoryIr};

// The newest families: new AF search and fast AF, the extended zoom position and the slow
// zoom speeds (panel word 2 bits 8, 9, 13 and 14) on top of the reset value.
constexpr std::uint16_t kNewestLensPanels = 0x63FF;

constexpr Capabilities family19F0(std::uint16_t featureWord) {
  return {.functionWord = 0x8F4F, .menuWord = 0x1241, .launcherMask = 0xFF, .featureWord = featureWord,
          .optionWord = 0xFD89, .eisLevel = 0, .effectsSet = 0xB, .lensControlWord = 0xC570, .motionTracking = 1,
          .panelWord2 = kNewestLensPanels, .extraOptionWord = kFactoryIr};
}
constexpr Capabilities family1AF0(std::uint16_t featureWord) {
  return {.functionWord = 0x8F4F, .menuWord = 0x1241, .launcherMask = 0xFF, .featureWord = featureWord,
          .optionWord = 0xF5C9, .eisLevel = 1, .effectsSet = 0xB, .lensControlWord = 0xC570, .motionTracking = 1,
          .panelWord2 = kNewestLensPanels, .extraOptionWord = kFactoryIr};
}
constexpr Capabilities family1CF0(std::uint16_t featureWord) {
  return {.functionWord = 0x8F4F, .menuWord = 0x1241, .launcherMask = 0xFF, .featureWord = featureWord,
          .optionWord = 0xF589, .eisLevel = 0, .effectsSet = 0xB, .lensControlWord = 0xC570, .motionTracking = 1,
          .panelWord2 = kNewestLensPanels, .extraOptionWord = kFactoryIr};
}

constexpr std::array<std::uint8_t, 6> kTypes64{64, 65};
constexpr std::array<std::uint8_t, 6> kTypes66{66, 67, 68, 69, 70, 74};

// Old models, decoded inline: name, code and monochrome flag by variant nibble; menu grey
// unless the format items come from register 0x11EE.
constexpr ModelRow old(Branch branch, std::string_view description, std::uint8_t type, bool readsAe, int lens,
                       int processorClass, std::array<ModelVariant, 6> variants) {
  return {.branch = branch, .description = description, .typeCodes = {type}, .variants = variants,
          .lensIndex = lens, .processorClass = processorClass, .readsAeMode = readsAe, .menu = MenuRule::Grey,
          .mask = MaskRule::None};
}

constexpr ModelRow kRows[] = {
    {.branch = Branch::Oldest, .description = "oldest family, type 1", .family = kOldestFamily,
     .typeCodes = {1},
     .variants = {v(0x7, "QB-145", 0x00), v(0x8, "QB-144", 0x01), mono(0x9, "QB-143", 0x04),
                  mono(0xA, "QB-142", 0x05), mono(0xB, "QB-141", 0x02), mono(0xC, "QB-140", 0x03)},
     .menu = MenuRule::Grey, .mask = MaskRule::None},
    old(Branch::Type2, "type 2", 2, false, 1, 3,
        {v(0, "QB-102", 0x10), v(1, "QB-139", 0x11), mono(2, "QB-138", 0x12), mono(3, "QB-137", 0x13)}),
    old(Branch::Type4, "type 4", 4, false, 0, 0, {v(0, "QB-135", 0x20), v(1, "QB-136", 0x21)}),
    [] {
      auto r = old(Branch::Type6Selector30, "type 6, selector 30", 6, true, 1, 5,
                   {v(0, "QB-101", 0x30), v(1, "QB-134", 0x31)});
      r.selector = 0x30;
      return r;
    }(),
    [] {
      auto r = old(Branch::Type6Selector38, "type 6, selector 38", 6, true, 2, 5,
                   {v(0, "QB-105", 0x40), v(1, "QB-133", 0x41), mono(2, "QB-132", 0x42), mono(3, "QB-131", 0x43)});
      r.selector = 0x38;
      return r;
    }(),
    old(Branch::Type6Other, "type 6, other selector", 6, true, 3, 5, {only("QB-130", 0x4F)}),
    [] {
      auto r = old(Branch::Type7, "type 7", 7, true, 3, 0,
                   {v(0, "QB-130", 0x50), v(1, "QB-130", 0x51), v(0xF, "QB-129", 0x52)});
      r.menu = MenuRule::FormatRegister;
      return r;
    }(),
    [] {
      auto r = old(Branch::Type11, "type 11", 11, true, 3, 6,
                   {v(0, "QB-126", 0x60), v(1, "QB-127", 0x61), v(0xF, "QB-128", 0x62)});
      r.menu = MenuRule::FormatRegister;
      return r;
    }(),
    [] {
      auto r = old(Branch::Type13, "type 13", 13, true, 3, 6, {v(0, "QB-103", 0x70), v(1, "QB-125", 0x71)});
      r.sampleVersion = 0x0234;
      r.mask = MaskRule::FromVersion;
      r.capabilities.panelByte2 = 0xF3;
      return r;
    }(),
    old(Branch::Type17, "type 17", 17, true, 2, 5,
        {v(0, "QB-104", 0x80), v(1, "QB-124", 0x81), mono(2, "QB-123", 0x82), mono(3, "QB-122", 0x83)}),
    [] {
      auto r = old(Branch::Type18Or19, "type 18 (version xx2) or 19", 18, true, 2, 3,
                   {v(0, "QB-107", 0x90), v(1, "QB-121", 0x91), mono(2, "QB-120", 0x92), mono(3, "QB-119", 0x93)});
      r.typeCodes = {18, 19};
      r.sampleVersion = 0x1002;
      r.capabilities.functionWord = 0x2000;
      return r;
    }(),
    [] {
      auto r = old(Branch::Type20, "type 20", 20, true, 2, 5,
                   {v(0, "QB-106", 0xA0), v(1, "QB-118", 0xA1), mono(2, "QB-117", 0xA2), mono(3, "QB-116", 0xA3)});
      r.mask = MaskRule::Read;
      r.capabilities.functionWord = 0x2000;
      return r;
    }(),
    [] {
      auto r = old(Branch::Type22, "type 22", 22, true, 3, 6, {v(0, "QB-108", 0xB0), v(1, "QB-115", 0xB1)});
      r.registers = {wordAt(0x123C, 0x0000)};
      r.mask = MaskRule::Read;
      r.capabilities = {.functionWord = 0x2000, .panelWord4 = 0x40, .panelByte2 = 0xF7};
      return r;
    }(),
    [] {
      auto r = old(Branch::Type24, "type 24", 24, true, 4, 6, {v(0, "QB-109", 0xC0), v(1, "QB-114", 0xC1)});
      r.registers = {byteAt(0x128F, 0x01)};
      r.mask = MaskRule::Read;
      r.capabilities = {.functionWord = 0x2000, .menuWord = 0x8};
      return r;
    }(),
    [] {
      auto r = old(Branch::Type25, "type 25", 25, true, 5, 3, {v(0, "QB-110", 0xD0), v(1, "QB-113", 0xD1)});
      r.capabilities.functionWord = 0x2000;
      return r;
    }(),
    old(Branch::Type26, "type 26", 26, true, 1, 5, {v(0, "QB-111", 0xE0), v(1, "QB-112", 0xE1)}),

    // Newer models: each row is a setup routine of its own.
    {.branch = Branch::Qb146, .description = "type 22, register 123C = 03C7", .typeCodes = {22},
     .registers = {wordAt(0x123C, 0x03C7)}, .variants = {v(0, "QB-146", 0x2F0), v(1, "QB-147", 0x2F1)},
     .lensIndex = 6, .processorClass = 6, .readsAeMode = true,
     .capabilities = {.functionWord = 0xBF4F, .menuWord = 0x0, .effectsSet = 0x2, .panelWord4 = 0x40,
                      .panelByte2 = 0xF7}},
    {.branch = Branch::Qb148, .description = "type 27", .typeCodes = {27}, .sampleVersion = 0x0010,
     .variants = {v(0, "QB-148", 0x1F0), v(1, "QB-149", 0x1F1)}, .lensIndex = 3, .processorClass = 6,
     .readsAeMode = true, .capabilities = {.functionWord = 0xBF4D, .menuWord = 0x0, .eisLevel = 1, .effectsSet = 0x6}},
    {.branch = Branch::Qb150First, .description = "type 29, first form (version below 16)", .typeCodes = {29},
     .sampleVersion = 0x0003, .variants = {v(0, "QB-150", 0x3F0), v(1, "QB-151", 0x3F1)}, .lensIndex = 7,
     .processorClass = 7, .readsAeMode = true,
     .capabilities = {.functionWord = 0x0, .menuWord = 0x0, .launcherMask = 0x80, .effectsSet = 0x2}},
    {.branch = Branch::Qb150Second, .description = "type 29, second form (version 16 to 18)", .typeCodes = {29},
     .sampleVersion = 0x0010, .variants = {v(0, "QB-150", 0x3F0), v(1, "QB-151", 0x3F1)}, .lensIndex = 7,
     .processorClass = 7, .readsAeMode = true,
     .capabilities = {.functionWord = 0x0D4C, .menuWord = 0x0, .launcherMask = 0xFE, .effectsSet = 0x2}},
    {.branch = Branch::Qb152Type29, .description = "type 29, version 19 on, register 1700 = A654",
     .typeCodes = {29}, .sampleVersion = 0x0013, .registers = {wordAt(0x1700, 0xA654)},
     .variants = {v(0, "QB-152", 0x4F0), v(1, "QB-153", 0x4F1)}, .lensIndex = 8, .processorClass = 7,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb152Type29},
    {.branch = Branch::Qb150Third, .description = "type 29, third form (version 19 on)", .typeCodes = {29},
     .sampleVersion = 0x0013, .registers = {wordAt(0x1700, 0x0000)},
     .variants = {v(0, "QB-150", 0x3F0), v(1, "QB-151", 0x3F1)}, .lensIndex = 7, .processorClass = 7,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb150Third},
    {.branch = Branch::Qb152Type31, .description = "type 31", .typeCodes = {31}, .sampleVersion = 0x0100,
     .variants = {v(0, "QB-152", 0x4F0), v(1, "QB-153", 0x4F1)}, .lensIndex = 8, .processorClass = 7,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb152Type31},
    {.branch = Branch::Qb154, .description = "type 34", .typeCodes = {34},
     .variants = {v(0, "QB-154", 0x4F0), v(1, "QB-154", 0x4F1)}, .lensIndex = 2, .processorClass = 7,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb154},
    {.branch = Branch::Qb155, .description = "type 35", .typeCodes = {35},
     .variants = {v(0, "QB-155", 0x4F0), v(1, "QB-155", 0x4F1)}, .lensIndex = 8, .processorClass = 7,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb154},
    {.branch = Branch::Qb156, .description = "type 38", .typeCodes = {38}, .registers = {byteAt(0x1221, 0x00)},
     .variants = {v(0, "QB-156", 0x5F0), v(1, "QB-156", 0x5F1)}, .lensIndex = 1, .processorClass = 7,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb156},
    {.branch = Branch::Qb157, .description = "type 40, selector 80", .typeCodes = {40}, .selector = 0x80,
     .sampleVersion = 0x0304, .variants = {v(0, "QB-157", 0x6F0), v(1, "QB-158", 0x6F1)}, .lensIndex = 10,
     .processorClass = 7, .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb157},
    {.branch = Branch::Qb159, .description = "type 40, selector D7", .typeCodes = {40}, .selector = 0xD7,
     .sampleVersion = 0x0304, .variants = {v(0, "QB-159", 0x7F0), v(1, "QB-160", 0x7F1)}, .lensIndex = 11,
     .processorClass = 7, .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb157},
    {.branch = Branch::Qb161Base, .description = "type 44, base form (version below 5)", .typeCodes = {44},
     .sampleVersion = 0x0001, .registers = {byteAt(0x010D, 0x00)}, .variants = {only("QB-161", 0x8F0)},
     .lensIndex = 3, .processorClass = 8, .readsAeMode = true, .newFeature = NewFeatureRule::Clear,
     .capabilities = kQb161Base},
    {.branch = Branch::Qb161Type44, .description = "type 44, version 5 on", .typeCodes = {44},
     .sampleVersion = 0x0113, .registers = {byteAt(0x010D, 0x00)},
     .variants = {v(0, "QB-161", 0x8F0), v(1, "QB-162", 0x8F1)}, .lensIndex = 3, .processorClass = 8,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb161},
    {.branch = Branch::Qb165Type44Earlier, .description = "type 44, register 010D = Ax, version below 8",
     .typeCodes = {44}, .sampleVersion = 0x0001, .registers = {byteAt(0x010D, 0xA0)},
     .variants = {only("QB-165", 0x9F1)}, .lensIndex = 12, .processorClass = 8, .readsAeMode = true,
     .newFeature = NewFeatureRule::Set, .capabilities = kQb165Type44Earlier},
    {.branch = Branch::Qb165Type44Later, .description = "type 44, register 010D = Ax, version 8 on",
     .typeCodes = {44}, .sampleVersion = 0x0027, .registers = {byteAt(0x010D, 0xA0)},
     .variants = {only("QB-165", 0x9F1)}, .lensIndex = 12, .processorClass = 8, .readsAeMode = true,
     .newFeature = NewFeatureRule::Set, .capabilities = kQb165Type44Later},
    {.branch = Branch::Qb166, .description = "type 46, register 123C = 0511", .typeCodes = {46},
     .registers = {wordAt(0x123C, 0x0511)}, .variants = {v(0, "QB-166", 0xAF0), v(1, "QB-167", 0xAF1)},
     .lensIndex = 6, .processorClass = 8, .readsAeMode = true, .newFeature = NewFeatureRule::Set,
     .capabilities = kQb161},
    {.branch = Branch::Qb161, .description = "type 46, register 123F bit 7 clear", .typeCodes = {46},
     .registers = {wordAt(0x123C, 0x0000), byteAt(0x123F, 0x00)},
     .variants = {v(0, "QB-161", 0x8F0), v(1, "QB-162", 0x8F1)}, .lensIndex = 3, .processorClass = 8,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb161},
    {.branch = Branch::Qb163, .description = "type 46, register 123F bit 7 set", .typeCodes = {46},
     .registers = {wordAt(0x123C, 0x0000), byteAt(0x123F, 0x80)},
     .variants = {v(0, "QB-163", 0x8F0), v(1, "QB-164", 0x8F1)}, .lensIndex = 3, .processorClass = 8,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb161},
    {.branch = Branch::Qb165Type47Earlier, .description = "type 47, version below 17", .typeCodes = {47},
     .sampleVersion = 0x0010, .variants = {v(0, "QB-165", 0x9F1), v(1, "QB-165", 0x9F1)}, .lensIndex = 12,
     .processorClass = 8, .readsAeMode = true, .newFeature = NewFeatureRule::Set,
     .capabilities = kQb165Type47Earlier},
    {.branch = Branch::Qb165Type47Later, .description = "type 47, version 17 on", .typeCodes = {47},
     .sampleVersion = 0x0102, .registers = {byteAt(0xFCC0, 0x00), byteAt(0x1701, 0x00)},
     .variants = {v(0, "QB-165", 0x9F1), v(1, "QB-165", 0x9F1)}, .lensIndex = 15, .processorClass = 8,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb165Type47Later},
    {.branch = Branch::Qb174, .description = "type 52", .typeCodes = {52},
     .variants = {v(0, "QB-174", 0xBF0), v(1, "QB-175", 0xBF1)}, .lensIndex = 18, .processorClass = 8,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set,
     .capabilities = {.functionWord = 0xBF47, .menuWord = 0x342, .launcherMask = 0xFF, .featureWord = 0x0,
                      .optionWord = 0x201, .eisLevel = 0, .effectsSet = 0xC, .lensControlWord = 0x6760,
                      .motionTracking = 0, .extraOptionWord = kFactory}},
    {.branch = Branch::Qb172, .description = "type 53, selector 87", .typeCodes = {53}, .selector = 0x87,
     .variants = {v(0, "QB-172", 0xDF0), v(1, "QB-173", 0xDF1)}, .lensIndex = 20, .processorClass = 8,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb168, .speaksAfp = true},
    {.branch = Branch::Qb170, .description = "type 53, selector C8", .typeCodes = {53}, .selector = 0xC8,
     .variants = {v(0, "QB-170", 0xEF0), v(1, "QB-171", 0xEF1)}, .lensIndex = 21, .processorClass = 8,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb168, .speaksAfp = true},
    {.branch = Branch::Qb168, .description = "type 53, other selector", .typeCodes = {53},
     .variants = {v(0, "QB-168", 0xCF0), v(1, "QB-169", 0xCF1)}, .lensIndex = 19, .processorClass = 8,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb168, .speaksAfp = true},
    {.branch = Branch::Qb176, .description = "type 54", .typeCodes = {54}, .variants = {only("QB-176", 0xFF0)},
     .lensIndex = 22, .processorClass = 10, .readsAeMode = true, .newFeature = NewFeatureRule::Set,
     .capabilities = {.functionWord = 0x8F4F, .menuWord = 0x1241, .launcherMask = 0xFF, .featureWord = 0x0,
                      .optionWord = 0xFD89, .eisLevel = 0, .effectsSet = 0xB, .lensControlWord = 0x0,
                      .motionTracking = 1, .extraOptionWord = kFactory},
     .speaksAfp = true},
    {.branch = Branch::Qb181, .description = "type 56, selector 32", .typeCodes = {56}, .selector = 0x32,
     .variants = {v(0, "QB-181", 0x11F0), v(1, "QB-182", 0x11F1)}, .lensIndex = 20, .processorClass = 8,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb177, .speaksAfp = true},
    {.branch = Branch::Qb179, .description = "type 56, selector 42", .typeCodes = {56}, .selector = 0x42,
     .variants = {v(0, "QB-179", 0x12F0), v(1, "QB-180", 0x12F1)}, .lensIndex = 25, .processorClass = 8,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = kQb179, .speaksAfp = true},
    {.branch = Branch::Qb177, .description = "type 56, other selector", .typeCodes = {56},
     .registers = {byteAt(0x0AFE, 0x01)}, .variants = {v(0, "QB-177", 0x10F0), v(1, "QB-178", 0x10F1)},
     .lensIndex = 19, .processorClass = 8, .readsAeMode = true, .newFeature = NewFeatureRule::Set,
     .capabilities = kQb177, .speaksAfp = true},
    {.branch = Branch::Qb183, .description = "type 57", .typeCodes = {57}, .variants = {only("QB-183", 0x13F0)},
     .lensIndex = 24, .processorClass = 8, .readsAeMode = true, .newFeature = NewFeatureRule::Set,
     .capabilities = {.functionWord = 0x8F4F, .menuWord = 0x1241, .launcherMask = 0xFF, .featureWord = 0x0E,
                      .optionWord = 0xF5E9, .eisLevel = 2, .effectsSet = 0xB, .lensControlWord = 0x4570,
                      .motionTracking = 1, .extraOptionWord = kFactoryIr},
     .speaksAfp = true},
    {.branch = Branch::Qb188, .description = "type 60", .typeCodes = {60}, .variants = {only("QB-188", 0x18F0)},
     .lensIndex = 27, .processorClass = 10, .readsAeMode = true, .newFeature = NewFeatureRule::Set,
     .capabilities = {.functionWord = 0x8F4F, .menuWord = 0x240, .launcherMask = 0xFE, .featureWord = 0xC2,
                      .optionWord = 0xED89, .eisLevel = 0, .effectsSet = 0xB, .lensControlWord = 0xC550,
                      .motionTracking = 1, .extraOptionWord = kFactoryIr},
     .speaksAfp = true},
    {.branch = Branch::Qb186, .description = "type 61, selector 71", .typeCodes = {61}, .selector = 0x71,
     .variants = {only("QB-186", 0x15F0)}, .lensIndex = 26, .processorClass = 8, .readsAeMode = true,
     .newFeature = NewFeatureRule::Set, .capabilities = kQb184, .speaksAfp = true},
    {.branch = Branch::Qb185, .description = "type 61, selector 81", .typeCodes = {61}, .selector = 0x81,
     .variants = {only("QB-185", 0x16F0)}, .lensIndex = 24, .processorClass = 8, .readsAeMode = true,
     .newFeature = NewFeatureRule::Set, .capabilities = kQb184, .speaksAfp = true},
    {.branch = Branch::Qb184, .description = "type 61, other selector", .typeCodes = {61},
     .variants = {only("QB-184", 0x14F0)}, .lensIndex = 24, .processorClass = 8, .readsAeMode = true,
     .newFeature = NewFeatureRule::Set, .capabilities = kQb184, .speaksAfp = true},
    {.branch = Branch::Qb187, .description = "type 62", .typeCodes = {62},
     .registers = {byteAt(0x1701, 0x00), byteAt(0x010D, 0x01)}, .variants = {only("QB-187", 0x17F0)},
     .lensIndex = 14, .processorClass = 8, .readsAeMode = true, .newFeature = NewFeatureRule::Set,
     .capabilities = {.functionWord = 0xAF4F, .menuWord = 0x241, .launcherMask = 0xFF, .featureWord = 0x0,
                      .optionWord = 0x181, .eisLevel = 0, .effectsSet = 0xB, .lensControlWord = 0x5010,
                      .motionTracking = 1, .extraOptionWord = kFactory},
     .speaksAfp = true},
    {.branch = Branch::Qb191, .description = "type 64 or 65, selector B0", .typeCodes = kTypes64,
     .selector = 0xB0, .variants = {only("QB-191", 0x19F0)}, .lensIndex = 22, .processorClass = 11,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = family19F0(0xC6FF), .speaksAfp = true},
    {.branch = Branch::Qb189, .description = "type 64 or 65, selector C0", .typeCodes = kTypes64,
     .selector = 0xC0, .variants = {only("QB-189", 0x19F1)}, .lensIndex = 22, .processorClass = 11,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = family19F0(0xC6FF), .speaksAfp = true},
    {.branch = Branch::Qb190, .description = "type 64 or 65, selector D0", .typeCodes = kTypes64,
     .selector = 0xD0, .variants = {only("QB-190", 0x19F2)}, .lensIndex = 22, .processorClass = 11,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = family19F0(0x40BD), .speaksAfp = true},
    {.branch = Branch::Family19F0Other, .description = "type 64 or 65, other selector", .typeCodes = kTypes64,
     .variants = {only(kNotSupported, 0x19F0)}, .lensIndex = 22, .processorClass = 11, .readsAeMode = true,
     .newFeature = NewFeatureRule::Set, .capabilities = family19F0(0xC6FF), .speaksAfp = true},
    {.branch = Branch::Qb197, .description = "type 66 to 70 or 74, selector E2", .typeCodes = kTypes66,
     .selector = 0xE2, .variants = {only("QB-197", 0x1AF0)}, .lensIndex = 24, .processorClass = 11,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = family1AF0(0xC6FF), .speaksAfp = true},
    {.branch = Branch::Qb196, .description = "type 66 to 70 or 74, selector F2", .typeCodes = kTypes66,
     .selector = 0xF2, .variants = {only("QB-196", 0x1AF1)}, .lensIndex = 24, .processorClass = 11,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = family1AF0(0xC6FF), .speaksAfp = true},
    {.branch = Branch::Qb195, .description = "type 66 to 70 or 74, selector 12", .typeCodes = kTypes66,
     .selector = 0x12, .variants = {only("QB-195", 0x1AF2)}, .lensIndex = 24, .processorClass = 11,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = family1AF0(0xC6FF), .speaksAfp = true},
    {.branch = Branch::Qb194, .description = "type 66 to 70 or 74, selector 03", .typeCodes = kTypes66,
     .selector = 0x03, .variants = {only("QB-194", 0x1AF3)}, .lensIndex = 24, .processorClass = 11,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = family1AF0(0xC6FF), .speaksAfp = true},
    {.branch = Branch::Qb193, .description = "type 66 to 70 or 74, selector 73", .typeCodes = kTypes66,
     .selector = 0x73, .variants = {only("QB-193", 0x1AF4)}, .lensIndex = 24, .processorClass = 11,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = family1AF0(0xC6FF), .speaksAfp = true},
    {.branch = Branch::Qb192, .description = "type 66 to 70 or 74, selector 22", .typeCodes = kTypes66,
     .selector = 0x22, .variants = {only("QB-192", 0x1BF0)}, .lensIndex = 24, .processorClass = 11,
     .readsAeMode = true, .newFeature = NewFeatureRule::Set, .capabilities = family1AF0(0xC6FE), .speaksAfp = true},
    {.branch = Branch::Family1AF0Other, .description = "type 66 to 70 or 74, other selector", .typeCodes = kTypes66,
     .variants = {only(kNotSupported, 0x1AF0)}, .lensIndex = 24, .processorClass = 11, .readsAeMode = true,
     .newFeature = NewFeatureRule::Set, .capabilities = family1AF0(0xC6FF), .speaksAfp = true},
    {.branch = Branch::Qb199, .description = "type 71, selector 33 (13 up to version 3)", .typeCodes = {71},
     .selector = 0x33, .sampleVersion = 0x0010, .variants = {only("QB-199", 0x1CF0)}, .lensIndex = 22,
     .processorClass = 11, .readsAeMode = true, .newFeature = NewFeatureRule::Set,
     .capabilities = family1CF0(0xC6FF), .speaksAfp = true},
    {.branch = Branch::Qb198, .description = "type 71, selector 43 (23 up to version 3)", .typeCodes = {71},
     .selector = 0x43, .sampleVersion = 0x0010, .variants = {only("QB-198", 0x1CF1)}, .lensIndex = 22,
     .processorClass = 11, .readsAeMode = true, .newFeature = NewFeatureRule::Set,
     .capabilities = family1CF0(0x40BD), .speaksAfp = true},
    {.branch = Branch::Qb200, .description = "type 73", .typeCodes = {73}, .sampleVersion = 0x0100,
     .variants = {only("QB-200", 0x1DF0)}, .lensIndex = 28, .processorClass = 11, .readsAeMode = true,
     .newFeature = NewFeatureRule::Set, .capabilities = family1CF0(0xC6FF), .speaksAfp = true},
};

}  // namespace

bool ModelRow::hasType(std::uint16_t type) const {
  return type != 0 && std::find(typeCodes.begin(), typeCodes.end(), type) != typeCodes.end();
}

const ModelVariant* ModelRow::variantFor(std::uint8_t nibble) const {
  for (const auto& variant : variants) {
    if (variant.name.empty()) break;
    if (variant.nibble == kAnyVariant || variant.nibble == nibble) return &variant;
  }
  return nullptr;
}

std::span<const ModelRow> models() { return kRows; }

const ModelRow& modelRow(Branch branch) {
  for (const auto& row : kRows)
    if (row.branch == branch) return row;
  return kRows[0];  // every Branch has a row; the table test holds that
}

}  // namespace orva::camera
