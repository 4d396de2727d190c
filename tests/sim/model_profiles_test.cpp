// Every model of the table, generated as a virtual camera and identified over the in-process
// line, in each protocol it speaks.
#include <gtest/gtest.h>

#include <fmt/format.h>

#include <set>
#include <string>

#include "camera/identification.hpp"
#include "camera/model_table.hpp"
#include "core/clock.hpp"
#include "core/prompt.hpp"
#include "eeprom/range.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/model_profiles.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

using namespace std::chrono_literals;

struct Identified {
  camera::IdentifyOutcome outcome;
  camera::ModelRecord record;
  camera::IdentificationFlags flags;
};

Identified identify(const Profile& profile) {
  core::FakeClock clock{50ms};
  core::RecordingMonitorSink monitor;
  core::ScriptedPrompt prompt;
  VirtualCamera cam(profile);
  link::Link line(clock, monitor);
  line.setChannel(std::make_unique<InProcessChannel>(cam, clock, false));
  line.setLineSettings(profile.lineSettings());
  line.setProtocol(profile.protocol == Protocol::Afp ? link::Protocol::Afp : link::Protocol::Eap);
  EXPECT_TRUE(line.open());
  link::Eap eap(line);
  link::Afp afp(line);
  camera::LinkRegisterReader reader(line, eap, afp);
  camera::IdentificationSwitches switches;
  Identified out{};
  out.outcome = camera::Identification(reader, monitor, prompt).run(out.record, out.flags, switches);
  EXPECT_TRUE(prompt.asked().empty()) << "the generated lens is healthy";
  afp.stopReceiver();
  return out;
}

TEST(ModelProfiles, EveryModelOfTheTableIsIdentifiedInEachProtocolItSpeaksWhateverItsEeprom) {
  int identified = 0;
  for (const auto& row : camera::models()) {
    for (const auto& variant : row.variants) {
      if (variant.name.empty()) break;
      for (const Protocol protocol : {Protocol::Eap, Protocol::Afp}) {
        if (protocol == Protocol::Afp && !row.speaksAfp) continue;
        // The seed changes every EEPROM byte; the registers the identification reads must not move.
        const std::uint32_t seed = identified % 2 == 0 ? 1u : 0xC0FFEEu;
        SCOPED_TRACE(fmt::format("{} / {} in {}, seed {}", row.description, variant.name, protocolName(protocol), seed));
        const auto got = identify(rowProfile(row, variant, protocol, seed));
        ASSERT_EQ(got.outcome, camera::IdentifyOutcome::Identified);
        EXPECT_EQ(got.record.name, variant.name);
        EXPECT_EQ(got.record.modelCode, variant.code);
        EXPECT_EQ(got.record.monochrome, variant.monochrome);
        EXPECT_EQ(got.record.lensIndex, row.lensIndex);
        EXPECT_EQ(got.record.processorClass, row.processorClass);
        EXPECT_EQ(got.flags.protocolChoice, row.speaksAfp && (got.record.menuWord & 0x1000) != 0);
        ++identified;
      }
    }
  }
  EXPECT_GT(identified, 100);
  for (int b = 0; b <= static_cast<int>(camera::Branch::Qb200); ++b) {
    const auto branch = static_cast<camera::Branch>(b);
    EXPECT_EQ(camera::modelRow(branch).branch, branch) << "every branch has its row, " << b;
  }
}

TEST(ModelProfiles, EachNameLandsOnItselfAndUnknownNamesHaveNoProfile) {
  const auto names = modelNames();
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
  EXPECT_EQ(names.size(), 100u) << "QB-101 to QB-200";
  for (const auto& name : names) {
    SCOPED_TRACE(name);
    auto profile = modelProfile(name, Protocol::Eap);
    ASSERT_TRUE(profile);
    EXPECT_EQ(identify(*profile).record.name, name);
  }
  EXPECT_FALSE(modelProfile("QB-999", Protocol::Eap));
  EXPECT_FALSE(modelProfile("Not supported", Protocol::Eap));
  EXPECT_FALSE(modelProfile("QB-145", Protocol::Afp)) << "the oldest models speak EAP only";
  EXPECT_TRUE(modelProfile("QB-168", Protocol::Afp));
}

// The EEPROM the camera starts with, read back from a camera of the profile.
eeprom::Image startingEeprom(const Profile& profile) { return VirtualCamera(profile).eepromContents(); }

TEST(ModelProfiles, FillTheModelsEepromRangeFromTheSeedAndNothingElse) {
  for (const char* name : {"QB-145", "QB-168", "QB-183"}) {
    SCOPED_TRACE(name);
    const auto profile = modelProfile(name, Protocol::Eap);
    ASSERT_TRUE(profile);
    ASSERT_EQ(profile->eepromRange, eeprom::cameraRange(identify(*profile).record.modelCode, 0));
    const eeprom::Range range = *profile->eepromRange;

    const auto seed1 = startingEeprom(*profile);
    ASSERT_EQ(seed1.start, range.start);
    ASSERT_EQ(seed1.bytes.size(), range.bytes());
    EXPECT_EQ(startingEeprom(*modelProfile(name, Protocol::Eap, 1)), seed1) << "seed 1 is the default";
    if (auto afp = modelProfile(name, Protocol::Afp)) {
      EXPECT_EQ(startingEeprom(*afp), seed1) << "whatever the protocol";
    }
    const auto seed2 = startingEeprom(*modelProfile(name, Protocol::Eap, 2));
    std::size_t pattern = 0;
    std::size_t differ = 0;
    std::set<std::uint8_t> values;
    for (std::size_t i = 0; i < seed1.bytes.size(); ++i) {
      const auto address = static_cast<std::uint16_t>(range.start + i);
      pattern += seed1.bytes[i] == eepromPatternByte(1, address);
      differ += seed1.bytes[i] != seed2.bytes[i];
      values.insert(seed1.bytes[i]);
    }
    // Only the few identification registers in the range (E1ED and E1EE for the oldest models)
    // stand out of the pattern.
    EXPECT_GE(pattern + 16, seed1.bytes.size());
    EXPECT_GE(differ * 100, seed1.bytes.size() * 95) << "another seed, another EEPROM";
    EXPECT_GT(values.size(), 200u) << "bytes of every kind, not a counter";
  }
}

TEST(ModelProfiles, ThePatternDependsOnSeedAndAddressAlone) {
  std::set<std::uint8_t> acrossSeeds;
  std::set<std::uint8_t> acrossAddresses;
  for (std::uint32_t i = 0; i < 64; ++i) {
    acrossSeeds.insert(eepromPatternByte(i, 0x0800));
    acrossAddresses.insert(eepromPatternByte(1, static_cast<std::uint16_t>(0x0800 + i)));
  }
  EXPECT_GT(acrossSeeds.size(), 40u);
  EXPECT_GT(acrossAddresses.size(), 40u);
}

}  // namespace
}  // namespace orva::sim
