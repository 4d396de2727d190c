#include "sim/virtual_camera.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "converse.hpp"

namespace orva::sim {
namespace {

using testing::converse;

Profile cameraProfile() {
  Profile p;
  p.settings = *link::parseSettingsText("9600,N,8,1");
  p.registers.push_back({0x0102, {0x5A, 0x6B}});
  p.registers.push_back({0x0103, {0x7C}});  // a later line wins
  return p;
}

TEST(VirtualCamera, StartsAsItsProfileSays) {
  VirtualCamera camera(cameraProfile());
  EXPECT_EQ(camera.settings(), (link::LineSettings{9600, false}));
  EXPECT_EQ(camera.protocol(), Protocol::Eap);
  EXPECT_EQ(camera.memory().read(0x0102), 0x5A);
  EXPECT_EQ(camera.memory().read(0x0103), 0x7C);
  EXPECT_EQ(converse(camera, ":r01020000"), ":r01025A7C");
}

TEST(VirtualCamera, AnAfpCameraAnswersWholeFramesAndLogsThem) {
  Profile p = cameraProfile();
  p.protocol = Protocol::Afp;
  VirtualCamera camera(p);
  EXPECT_EQ(camera.protocol(), Protocol::Afp);
  EXPECT_EQ(converse(camera, ":R"), "ZZ") << "EAP frames are garbage to it";
  EXPECT_EQ(converse(camera, "GFE010102FFT"), "YFE0101025AT");
  const auto log = camera.frameLog().all();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(describeRecord(log[0]), "typed :R -> ZZ");
  EXPECT_EQ(describeRecord(log[1]), "GFE010102FFT -> YFE0101025AT");
  EXPECT_TRUE(log[1].closed);
}

TEST(VirtualCamera, LogsEveryFrameWithItsAnswer) {
  VirtualCamera camera(cameraProfile(), {Fault{FaultKind::Drop, 3}});
  converse(camera, ":R010200");
  converse(camera, ":W020011");
  converse(camera, "ab");
  converse(camera, ":R0102" + std::string(20, '0'));  // the third frame: dropped
  converse(camera, "/M021234");
  const auto log = camera.frameLog().all();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[0].sent, ":R010200");
  EXPECT_EQ(log[0].answered, ":R01025A");
  EXPECT_TRUE(log[0].closed) << "closed by the frame after it";
  EXPECT_EQ(log[1].sent, ":W020011");
  EXPECT_EQ(log[1].answered, ":W020011");
  EXPECT_FALSE(log[2].framed);
  EXPECT_EQ(log[2].sent, "ab");
  EXPECT_EQ(log[3].sent.size(), 26u) << "a block read is one frame";
  EXPECT_EQ(log[3].answered, "");
  EXPECT_TRUE(log[3].closed);
  EXPECT_EQ(log[4].sent, "/M021234");
  EXPECT_TRUE(log[4].closed) << "a mask command is eight characters";
  EXPECT_EQ(describeRecord(log[0]), ":R010200 -> :R01025A");
  EXPECT_EQ(describeRecord(log[2]), "typed ab -> ab");
}

TEST(VirtualCamera, KeepsTheLatestEapFrameOfEachFirstCharacterAndKind) {
  VirtualCamera camera(cameraProfile());
  for (const char* frame : {"#WF90401", ":WF90402", "#w30001234", "[RFF0E00", "]RFF0E00", ":r01020000", "/M021234"})
    converse(camera, frame);
  converse(camera, ":R0102");  // given up on: not taken
  EXPECT_EQ(camera.lastEapFrame("#W"), "F90401");
  EXPECT_EQ(camera.lastEapFrame(":W"), "F90402");
  EXPECT_EQ(camera.lastEapFrame("#w"), "30001234");
  EXPECT_EQ(camera.lastEapFrame("[R"), "FF0E00");
  EXPECT_EQ(camera.lastEapFrame("]R"), "FF0E00");
  EXPECT_EQ(camera.lastEapFrame(":r"), "01020000");
  EXPECT_EQ(camera.lastEapFrame("/M"), "021234");
  EXPECT_EQ(camera.lastEapFrame(":R"), std::nullopt);
  EXPECT_EQ(camera.memory().read(0xF904), 0x02) << "both writes land";
}

TEST(VirtualCamera, AFrameGoingOnAfterAQuietLineIsLoggedAsContinued) {
  VirtualCamera camera(cameraProfile());
  converse(camera, ":R0102");
  camera.frameLog().closeOpen();
  converse(camera, "00\r");
  const auto log = camera.frameLog().all();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(describeRecord(log[0]), ":R0102 -> :R0102");
  EXPECT_TRUE(log[1].continued);
  EXPECT_EQ(describeRecord(log[1]), "...00 -> ...5A");
  EXPECT_EQ(describeRecord(log[2]), "typed \\x0D -> \\x0D");
}

TEST(FrameLog, KeepsTheNewestRecordsAndCountsThemAll) {
  FrameLog log(3);
  const std::uint8_t echo[] = {'x'};
  for (int i = 0; i < 5; ++i) log.add('x', echo, 1, true);
  EXPECT_EQ(log.end(), 5u);
  EXPECT_EQ(log.all().size(), 3u);
  EXPECT_EQ(log.since(3).size(), 2u);
  EXPECT_EQ(log.since(0).size(), 3u);
  EXPECT_TRUE(log.since(5).empty());
  EXPECT_FALSE(log.hasOpenRecord());
}

TEST(VirtualCamera, WriteHooksRunAfterTheWritingFrameIsAnswered) {
  VirtualCamera camera(cameraProfile());
  std::vector<MemoryWrite> seen;
  camera.onWrite(0xFCAC, [&](VirtualCamera& cam, const MemoryWrite& w) {
    seen.push_back(w);
    cam.setSettings({19200, true});
  });
  camera.onWrite(0x2001, [&](VirtualCamera&, const MemoryWrite& w) { seen.push_back(w); });

  EXPECT_EQ(converse(camera, ":WFCAC0"), ":WFCAC0");
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(converse(camera, "1"), "1") << "the writing character is still answered";
  EXPECT_EQ(seen, (std::vector<MemoryWrite>{{0xFCAC, 0x01}}));
  EXPECT_EQ(camera.settings(), (link::LineSettings{19200, true}));

  converse(camera, ":w20001234");
  EXPECT_EQ(seen.back(), (MemoryWrite{0x2001, 0x34}));
  converse(camera, ":R FCAC00");  // not a write
  EXPECT_EQ(seen.size(), 2u);
}

}  // namespace
}  // namespace orva::sim
