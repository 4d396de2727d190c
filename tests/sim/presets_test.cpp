// The camera's preset engine: runs that take camera time, camera-side records, the arrival
// message at the end of a move, and AFP preset sets completing when the lens arrives.
#include "sim/presets.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "converse.hpp"
#include "sim/lens.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {
namespace {

using namespace std::chrono_literals;
using testing::afpFrame;
using testing::converse;
using testing::eapFrame;

constexpr std::uint16_t kTele = 0x6800;
// F714 of a zoom position.
std::uint16_t stepsOf(std::int32_t position) {
  return static_cast<std::uint16_t>(kWideEndSteps - position / kPositionsPerStep);
}

std::uint16_t word(const VirtualCamera& cam, std::uint16_t address) {
  return static_cast<std::uint16_t>(cam.memory().read(address) << 8 | cam.memory().read(static_cast<std::uint16_t>(address + 1)));
}

// A record in the camera's EEPROM whose zoom field holds `position`.
void putRecord(VirtualCamera& cam, std::uint16_t table, int n, std::uint8_t type, std::int32_t position) {
  const auto at = static_cast<std::uint16_t>(table + kRecordBytes * (n - 1));
  const std::uint16_t steps = stepsOf(position);
  cam.memory().write(static_cast<std::uint16_t>(at + 2), static_cast<std::uint8_t>(steps));
  cam.memory().write(static_cast<std::uint16_t>(at + 3), static_cast<std::uint8_t>(steps >> 8));
  cam.memory().write(static_cast<std::uint16_t>(at + kRecordTypeOffset), type);
}

// Moves the camera's time on until nothing more is due (or a minute has passed); what it sent.
std::string runOut(VirtualCamera& cam) {
  std::string sent;
  const auto until = cam.now() + 60s;
  while (const auto next = cam.nextOutputTime()) {
    if (*next > until) break;
    cam.advanceTo(*next);
    for (const auto& o : cam.takeOutput()) sent.append(o.bytes.begin(), o.bytes.end());
  }
  return sent;
}

TEST(PresetCommandWord, RunsInCameraTimeToCompleteOrFails) {
  struct Case {
    const char* what;
    std::uint16_t word;
    std::uint8_t status;     // F8B2 at the end
    std::int32_t zoomAfter;  // F850 at the end
    bool fault = false;
  };
  const Case cases[] = {
      {"TYPE I record 1 (1700)", 0x0101, kPresetComplete, 0x3000},
      {"TYPE II record 20 (1800)", 0x0214, kPresetComplete, 0x1800},
      {"empty record", 0x0103, kPresetFailed, 0},
      {"magnification 16 is the tele end", 0x0416, kPresetComplete, kTele},
      {"magnification 2", 0x0402, kPresetComplete, 0x14C0},
      {"not BCD", 0x041A, kPresetFailed, 0},
      {"magnification 0", 0x0400, kPresetFailed, 0},
      {"zoom value FF", 0x08FF, kPresetComplete, kTele},
      {"easy preset", 0x8101, kPresetComplete, 0x2400},
      {"unknown word", 0x0901, kPresetFailed, 0},
      {"fault", 0x0101, kPresetFailed, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    VirtualCamera cam{Profile{}, c.fault ? std::vector{Fault{FaultKind::PresetError, 0}} : std::vector<Fault>{}};
    putRecord(cam, kTypeOneTable, 1, 1, 0x3000);
    putRecord(cam, kStoreTable, 20, 2, 0x1800);
    putRecord(cam, kTypeOneTable, 3, kRecordEmpty, 0x1000);
    eapFrame(cam, fmt::format(":wF802{:04X}", stepsOf(0x2400)));
    eapFrame(cam, ":WF81101");
    eapFrame(cam, fmt::format(":wF8B0{:04X}", c.word));
    const bool moves = c.status == kPresetComplete;
    EXPECT_EQ(cam.memory().read(kPresetStatusRegister), moves ? kPresetRunning : c.status) << "at once";
    runOut(cam);
    EXPECT_EQ(cam.memory().read(kPresetStatusRegister), c.status);
    EXPECT_EQ(word(cam, kZoomPositionWideRegister), c.zoomAfter);
    EXPECT_EQ(cam.memory().read(kLensStatusRegister) & kZoomMovingBit, 0);
  }
}

TEST(PresetCommandWord, StoresAndDeletesACameraSideRecord) {
  VirtualCamera cam{Profile{}};
  eapFrame(cam, ":wF8B00880");  // somewhere along the zoom
  runOut(cam);
  const std::uint16_t steps = word(cam, kZoomStepsRegister);
  eapFrame(cam, ":wF8B04305");
  EXPECT_EQ(cam.memory().read(kPresetStatusRegister), kPresetComplete);
  const auto at = static_cast<std::uint16_t>(kStoreTable + 4 * kRecordBytes);
  EXPECT_EQ(cam.memory().read(at + kRecordTypeOffset), kRecordByCamera);
  EXPECT_EQ(cam.memory().read(at + 2) | cam.memory().read(at + 3) << 8, steps) << "little-endian";
  eapFrame(cam, ":wF8B00000");
  eapFrame(cam, ":wF8B02305");
  EXPECT_EQ(cam.memory().read(at + kRecordTypeOffset), kRecordEmpty);
  eapFrame(cam, ":wF8B00205");
  EXPECT_EQ(cam.memory().read(kPresetStatusRegister), kPresetFailed) << "a deleted record does not run";
}

TEST(MemoryPreset, MovesWithTheStatusOneThenZeroAndCancelStopsTheLens) {
  VirtualCamera cam{Profile{}};
  eapFrame(cam, ":wF8544000");
  eapFrame(cam, ":wF8560300");
  EXPECT_EQ(cam.memory().read(kMemoryStatusRegister), kMemoryMoving);
  cam.advanceTo(cam.now() + 1s);
  EXPECT_EQ(cam.memory().read(kMemoryStatusRegister), kMemoryMoving) << "the zoom target survives the focus write";
  runOut(cam);
  EXPECT_EQ(cam.memory().read(kMemoryStatusRegister), kMemoryDone);
  EXPECT_EQ(word(cam, kZoomPositionWideRegister), 0x4000);
  EXPECT_EQ(word(cam, kFocusWideRegister), 0x0300);

  eapFrame(cam, ":wF8580000");  // direct zoom, back to wide
  cam.advanceTo(cam.now() + 1s);
  eapFrame(cam, ":WF85C01");
  EXPECT_EQ(cam.memory().read(kMemoryStatusRegister), kMemoryDone);
  const std::uint16_t stoppedAt = word(cam, kZoomPositionWideRegister);
  EXPECT_GT(stoppedAt, 0);
  EXPECT_LT(stoppedAt, 0x4000);
  cam.advanceTo(cam.now() + 5s);
  EXPECT_EQ(word(cam, kZoomPositionWideRegister), stoppedAt) << "stands where it was cancelled";

  VirtualCamera faulty{Profile{}, {Fault{FaultKind::PresetError, 0}}};
  eapFrame(faulty, ":wF8544000");
  EXPECT_EQ(faulty.memory().read(kMemoryStatusRegister), kMemoryFailed);
}

TEST(PresetArrivalMessage, ComesWhenTheLensArrives) {
  struct Case {
    const char* what;
    std::vector<const char*> frames;
  };
  const Case cases[] = {
      {"#w command word", {"#wF8B00416"}},
      {":w command word, then D16C", {":wF8B00416", ":WD16C03"}},
      {"TYPE I go-to with #W", {":wF716E156", "#WF75303"}},
      {"#w memory preset", {"#wF8546800"}},
      {"#W drive toward tele", {"#WFCBB99"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    VirtualCamera cam{Profile{}};
    for (const char* frame : c.frames) eapFrame(cam, frame);
    cam.advanceTo(cam.now() + 1s);
    EXPECT_TRUE(cam.takeOutput().empty()) << "not while the lens moves";
    const std::string sent = runOut(cam);
    EXPECT_EQ(sent, kArrivalMessage);
    EXPECT_EQ(word(cam, kZoomPositionWideRegister), kTele);
  }
}

TEST(AfpPresets, AnswerAtOnceAndCompleteWhenTheMoveEnds) {
  struct Case {
    const char* set;
    const char* completion;  // "X" slot status "T"
  };
  const Case cases[] = {
      {"S610D0101T", "X00T"},  // slot 1 holds the tele end (stored below)
      {"S61036800F900T", "X00T"},
      {"S610616T", "X00T"},
      {"S610100T", "X01T"},    // a bad length fails at once
      {"S610D0102T", "X01T"},  // an empty slot
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.set);
    VirtualCamera cam{Profile{}};
    afpFrame(cam, "S610616T");
    runOut(cam);
    afpFrame(cam, "S610D0301T");
    afpFrame(cam, "S610D0402T");
    runOut(cam);
    afpFrame(cam, "S61050000T");  // wide again
    runOut(cam);
    ASSERT_EQ(word(cam, kZoomPositionWideRegister), 0);
    const std::string answer = afpFrame(cam, c.set);
    EXPECT_EQ(answer.substr(0, 1), "R");
    cam.advanceTo(cam.now() + 100ms);
    const auto early = cam.takeOutput();
    if (std::string(c.completion) == "X00T") {
      EXPECT_TRUE(early.empty()) << "no X while the lens moves";
      const std::string sent = runOut(cam);
      ASSERT_EQ(sent.size(), 4u);
      EXPECT_EQ(sent[0], 'X');
      EXPECT_EQ(sent[2], '0');
      EXPECT_EQ(word(cam, kZoomPositionWideRegister), kTele);
    } else {
      ASSERT_EQ(early.size(), 1u);
      EXPECT_EQ(static_cast<char>(early[0].bytes[2]), '1');
    }
  }
}

}  // namespace
}  // namespace orva::sim
