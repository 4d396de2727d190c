#include "eeprom/setup_runs.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "camera/code_map.hpp"
#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "sim/in_process_channel.hpp"
#include "sim/model_profiles.hpp"
#include "sim/virtual_camera.hpp"
#include "support/sim_faults.hpp"

namespace orva::eeprom {
namespace {

using namespace setup_at;
using namespace std::chrono_literals;

// A virtual QB-109 on an in-process line, in virtual time.
struct Qb109 {
  explicit Qb109(sim::Protocol protocol, std::vector<sim::Fault> faults = {})
      : camera(profile(protocol), std::move(faults)), link(clock, monitor) {
    link.setChannel(std::make_unique<sim::InProcessChannel>(camera, clock, false));
    link.setLineSettings(camera.settings());
    link.setProtocol(protocol == sim::Protocol::Afp ? link::Protocol::Afp : link::Protocol::Eap);
    EXPECT_TRUE(link.open());
    fillDefaultAddresses(record);
  }
  // The series is EAP-only in the model table; the virtual camera speaks AFP all the same, so
  // the gateway path is covered too.
  static sim::Profile profile(sim::Protocol protocol) {
    sim::Profile p = *sim::modelProfile("QB-109", sim::Protocol::Eap);
    p.protocol = protocol;
    return p;
  }
  std::uint16_t word(std::uint16_t a) const {
    return static_cast<std::uint16_t>(camera.memory().read(a) << 8 | camera.memory().read(static_cast<std::uint16_t>(a + 1)));
  }
  void putWord(std::uint16_t a, std::uint16_t v) {
    camera.memory().write(a, static_cast<std::uint8_t>(v >> 8));
    camera.memory().write(static_cast<std::uint16_t>(a + 1), static_cast<std::uint8_t>(v & 0xFF));
  }

  core::FakeClock clock{100ms};
  core::RecordingMonitorSink monitor;
  sim::VirtualCamera camera;
  link::Link link;
  link::Eap eap{link};
  link::Afp afp{link};
  camera::FunctionCodes codes{afp, link};
  SetupCamera access{link, eap, codes, monitor};
  SetupRecord record;
};

class SetupRuns : public ::testing::TestWithParam<sim::Protocol> {};

TEST_P(SetupRuns, OpensOnlyOnTheSeriesWithFamilyAt0102) {
  Qb109 qb(GetParam());
  EXPECT_TRUE(setupOpens(qb.access));
  qb.putWord(0x0104, 0x0000);  // early cameras of the series
  EXPECT_TRUE(setupOpens(qb.access));
  qb.putWord(0x0102, 0x0018);  // the roles swapped: not this series
  qb.putWord(0x0104, 0x53FF);
  EXPECT_FALSE(setupOpens(qb.access));
}

TEST_P(SetupRuns, ReadThenWriteGivesDeltaZeroAndWritesTheWordsBack) {
  Qb109 qb(GetParam());
  qb.camera.memory().write(0xFBFF, 0x08);
  const auto read = readSetupFromCamera(qb.access, qb.record);
  ASSERT_TRUE(read);
  const SetupRecord& r = *read;
  EXPECT_EQ(r.byte(W(0)), 4);  // bit 3 of 0xFBFF
  EXPECT_EQ(r.word(L(8)), qb.word(0x12A2));
  EXPECT_EQ(r.word(T(10)), qb.word(0x12A4));
  EXPECT_FALSE(checkSetupRecord(r)) << checkSetupRecord(r)->data;

  ASSERT_EQ(writeSetupToCamera(qb.access, r), SetupWriteResult::Done);
  struct Copy {
    std::uint16_t from, to;
  } const copies[] = {{0xF714, 0x11E6}, {0xF714, 0x1802}, {0xF7BE, 0x1808}, {0xF7C2, 0x180A},
                      {0xF7C4, 0x180C}, {0xF710, 0x1800}, {0xF718, 0x1804}, {0xF71A, 0x1806}};
  for (const Copy& c : copies) EXPECT_EQ(qb.word(c.to), qb.word(c.from)) << std::hex << c.to;
  EXPECT_EQ(qb.camera.memory().read(0x1810), qb.camera.memory().read(0xF895));
  EXPECT_EQ(qb.camera.memory().read(0x142F) & 0x04, 0x04);
  EXPECT_NE(qb.monitor.pc().find("<< CAMERA SETUP DATA WRITE FINISH >>"), std::string::npos);
}

TEST_P(SetupRuns, AZeroAddressSkipsItsValue) {
  Qb109 qb(GetParam());
  SetupRecord r = *loadSetupDefaults(qb.access, qb.record);
  EXPECT_EQ(r.word(L(2)), static_cast<std::uint16_t>(4 * qb.word(0x12A2)));
  qb.camera.memory().write(0xE198, 0x55);
  r.setWord(P(52), 0);
  ASSERT_EQ(writeSetupToCamera(qb.access, r), SetupWriteResult::Done);
  EXPECT_EQ(qb.camera.memory().read(0xE198), 0x55);
  EXPECT_EQ(qb.camera.memory().read(0xE199), 0x80);  // its neighbour written as usual
}

TEST_P(SetupRuns, AFlatTraceTableReadsAsItsFirstPoint) {
  Qb109 qb(GetParam());
  for (std::uint16_t k = 0; k < 9; ++k) qb.putWord(static_cast<std::uint16_t>(0x12AE + 2 * k), 0xFFFF);
  const auto read = readSetupFromCamera(qb.access, qb.record);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->word(T(12)), qb.word(0x12C0));
}

TEST_P(SetupRuns, AnotherModelOrAZeroReadAddressKeepsTheRecord) {
  Qb109 qb(GetParam());
  SetupRecord r = qb.record;
  r.setWord(L(46), 0);  // no register for the focus base: the value read stays
  r.setWord(L(2), 0x4242);
  const auto read = readSetupFromCamera(qb.access, r);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->word(L(2)), 0x4242);

  qb.putWord(0x11E6, 0x1234);
  qb.camera.memory().write(0xE1EE, 0x10);  // a variant above 15
  EXPECT_EQ(writeSetupToCamera(qb.access, *read), SetupWriteResult::ModelMismatch);
  EXPECT_EQ(qb.word(0x11E6), 0x1234);
}

TEST_P(SetupRuns, ALineLostMidRunEndsItWithoutAHalfRecord) {
  Qb109 reading(GetParam(), testing::faults({"hangup:20"}));
  EXPECT_FALSE(readSetupFromCamera(reading.access, reading.record));
  EXPECT_EQ(reading.monitor.pc().find(std::string(kSetupReadFinishHeading)), std::string::npos);

  Qb109 writing(GetParam(), testing::faults({"hangup:20"}));
  SetupRecord r = writing.record;
  loadDefaultValues(r, 0x0100);
  EXPECT_EQ(writeSetupToCamera(writing.access, r), SetupWriteResult::Failed);
  EXPECT_EQ(setupWriteMessage(SetupWriteResult::Failed), "Camera setup data could not be written to camera.");
}

TEST_P(SetupRuns, ResetRestartsAndWaitsSevenSeconds) {
  Qb109 qb(GetParam());
  const auto before = qb.clock.now();
  ASSERT_TRUE(resetSetupCamera(qb.access));
  EXPECT_GE(qb.clock.now() - before, kSetupResetWait);
  EXPECT_NE(qb.monitor.pc().find("<< CAMERA RESET >>"), std::string::npos);
  EXPECT_TRUE(setupOpens(qb.access));  // up again and answering
}

INSTANTIATE_TEST_SUITE_P(Protocols, SetupRuns, ::testing::Values(sim::Protocol::Eap, sim::Protocol::Afp),
                         [](const auto& p) { return p.param == sim::Protocol::Afp ? "Afp" : "Eap"; });

}  // namespace
}  // namespace orva::eeprom
