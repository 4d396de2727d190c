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

TEST(ModelProfiles, EveryModelOfTheTableIsIdentifiedInEachProtocolItSpeaks) {
  int identified = 0;
  for (const auto& row : camera::models()) {
    for (const auto& variant : row.variants) {
      if (variant.name.empty()) break;
      for (const Protocol protocol : {Protocol::Eap, Protocol::Afp}) {
        if (protocol == Protocol::Afp && !row.speaksAfp) continue;
        SCOPED_TRACE(fmt::format("{} / {} in {}", row.description, variant.name, protocolName(protocol)));
        const auto got = identify(rowProfile(row, variant, protocol));
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

}  // namespace
}  // namespace orva::sim
