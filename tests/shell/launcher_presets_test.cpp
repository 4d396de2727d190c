// The launcher's PRESET TYPE I / TYPE II keys on a session: a store puts the record in place
// only when it got through, a checked memory key is only unchecked, and the keys do nothing
// while the operation slot is taken.
#include <gtest/gtest.h>

#include <string>

#include "session_bench.hpp"
#include "support/sim_faults.hpp"

namespace orva::shell {
namespace {

using camera::LauncherItem;

const camera::ButtonState& key(const Session& s, LauncherItem first, std::size_t k) {
  return s.launcher().items[static_cast<std::size_t>(first) + k];
}

void settle(SessionBench& b) {
  do b.session.runner().waitIdle();
  while (b.dispatcher.runPending() > 0 || b.session.runner().busy());
}

bool logged(const SessionBench& b, std::string_view text) {
  return b.monitor.snapshot().pc.find(text) != std::string::npos;
}

TEST(LauncherPresetKeys, AStoreTakesTheRecordAndACheckedKeyIsOnlyUnchecked) {
  SessionBench b;
  b.connectWithoutBackup();
  b.monitor.setEchoMode(core::EchoMode::Hidden);  // the messages only: the traffic would push them out
  constexpr std::size_t k = 5;  // TYPE II Memory2
  ASSERT_TRUE(key(b.session, LauncherItem::MemoryKey1, k).enabled);
  EXPECT_FALSE(key(b.session, LauncherItem::PresetButton1, k).enabled);
  {
    auto slot = b.session.runner().claim();
    EXPECT_FALSE(b.session.memoryKey(k)) << "ignored while the slot is taken";
  }
  EXPECT_FALSE(key(b.session, LauncherItem::MemoryKey1, k).checked);

  ASSERT_TRUE(b.session.memoryKey(k));
  EXPECT_TRUE(key(b.session, LauncherItem::MemoryKey1, k).checked);
  settle(b);
  EXPECT_TRUE(key(b.session, LauncherItem::MemoryKey1, k).checked);
  EXPECT_TRUE(key(b.session, LauncherItem::PresetButton1, k).enabled);
  EXPECT_TRUE(b.session.presetRecords().set[k]);
  const auto& m = b.camera().memory();
  EXPECT_EQ(b.session.presetRecords().records[k].zoomPosition, m.read(0xF714) << 8u | m.read(0xF715));
  EXPECT_TRUE(logged(b, "<< TYPE II Memory2 >>"));
  EXPECT_TRUE(logged(b, "\r\n-- END --"));

  ASSERT_TRUE(b.session.presetKey(k));
  settle(b);
  EXPECT_TRUE(logged(b, "<< TYPE II Preset2 >>"));
  EXPECT_TRUE(logged(b, "\r\n-- Return value --"));

  const camera::PresetRecord kept = b.session.presetRecords().records[k];
  const auto mark = b.camera().frameLog().end();
  ASSERT_TRUE(b.session.memoryKey(k));
  EXPECT_TRUE(b.camera().frameLog().since(mark).empty()) << "nothing is sent";
  EXPECT_FALSE(b.session.runner().busy());
  EXPECT_FALSE(key(b.session, LauncherItem::MemoryKey1, k).checked);
  EXPECT_FALSE(key(b.session, LauncherItem::PresetButton1, k).enabled);
  EXPECT_FALSE(b.session.presetRecords().set[k]);
  EXPECT_EQ(b.session.presetRecords().records[k], kept) << "the data stays";
  EXPECT_FALSE(b.session.presetKey(k)) << "its Preset key is disabled";
}

TEST(LauncherPresetKeys, AFailedStoreLeavesTheRecordAndUnchecksItsKey) {
  SessionBench b;
  b.connectWithoutBackup();
  b.monitor.setEchoMode(core::EchoMode::Hidden);
  const camera::PresetRecords before = b.session.presetRecords();
  b.plug("QB-183", orva::testing::faults({"silent"}));
  ASSERT_TRUE(b.session.memoryKey(0));
  settle(b);
  EXPECT_FALSE(key(b.session, LauncherItem::MemoryKey1, 0).checked);
  EXPECT_FALSE(key(b.session, LauncherItem::PresetButton1, 0).enabled);
  EXPECT_EQ(b.session.presetRecords(), before);
  EXPECT_TRUE(logged(b, "<< TYPE I Memory1 >>"));
  EXPECT_FALSE(logged(b, "-- END --"));
}

TEST(LauncherPresetKeys, TheArrivalMessageBoxIsTakenOnlyWhereItIsOffered) {
  SessionBench b;
  b.connectWithoutBackup();
  const auto& box = b.session.launcher()[LauncherItem::ZoomArrivalMessage];
  EXPECT_EQ(b.session.setZoomArrivalMessage(true), box.shown && box.enabled);
  EXPECT_EQ(box.checked, box.shown && box.enabled);
}

}  // namespace
}  // namespace orva::shell
