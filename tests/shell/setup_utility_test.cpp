// The camera setup utility's state and menu actions on a session with a virtual QB-109.
#include <gtest/gtest.h>

#include <thread>

#include "core/atomic_file.hpp"
#include "eeprom/setup_runs.hpp"
#include "session_bench.hpp"

namespace orva::shell {
namespace {

using namespace eeprom::setup_at;

struct SetupBench : SessionBench {
  SetupBench() {
    plug("QB-109");
    connectWithoutBackup();
    monitor.setEchoMode(core::EchoMode::Hidden);  // the messages only: the traffic would push them out
  }
  SetupUtility& utility() { return session.setupUtility(); }
  std::uint8_t byteAt(std::uint16_t a) { return camera().memory().read(a); }
  eeprom::SetupStamp stamp() { return eeprom::setupStamp(session.model()); }
};

TEST(SetupUtility, OpensOnlyOnTheSeriesAndLoadsTheDefaultsOnce) {
  SessionBench other;
  other.connectWithoutBackup();
  EXPECT_FALSE(other.session.setupUtility().open());
  EXPECT_FALSE(other.session.menus().busy());

  SetupBench b;
  ASSERT_TRUE(b.utility().open());
  EXPECT_TRUE(b.session.menus().busy());
  EXPECT_NE(b.monitor.snapshot().pc.find(eeprom::kSetupOpenHeading), std::string::npos);
  EXPECT_FALSE(b.utility().broken());
  EXPECT_TRUE(b.utility().confirmWrite());
  const std::uint16_t zoom = b.utility().record().word(L(8));
  EXPECT_EQ(b.utility().record().word(L(2)), static_cast<std::uint16_t>(4 * zoom));

  b.utility().record().setByte(T(3), 7);  // an edit the next opening keeps
  b.utility().close(false, SetupPage::Other);
  EXPECT_FALSE(b.session.menus().busy());
  ASSERT_TRUE(b.utility().open());
  EXPECT_EQ(b.utility().record().byte(T(3)), 7);
  EXPECT_FALSE(b.utility().confirmWrite());
  EXPECT_EQ(b.utility().page(), SetupPage::Other);
  EXPECT_EQ(b.askedCount(eeprom::kSetupDefaultQuestion), 0u);
}

TEST(SetupUtility, ABrokenRecordIsNeitherWrittenNorSaved) {
  SetupBench b;
  ASSERT_TRUE(b.utility().open());
  b.camera().restart();  // silent while it restarts
  b.prompt.answer(core::Answer::Ok);
  EXPECT_EQ(b.utility().readCamera(), SetupResult::Failed);
  EXPECT_TRUE(b.utility().broken());
  EXPECT_EQ(b.askedCount(eeprom::kSetupCommunicationText), 1u);

  EXPECT_EQ(b.utility().write(false), SetupResult::Refused);
  EXPECT_EQ(b.utility().save(), SetupResult::Refused);
  EXPECT_EQ(b.askedCount(eeprom::kSetupBrokenText), 2u);
  EXPECT_TRUE(b.prompt.fileChoices().empty());
}

TEST(SetupUtility, ARefusedLoadTakesNothing) {
  SetupBench b;
  ASSERT_TRUE(b.utility().open());
  const eeprom::SetupRecord before = b.utility().record();
  eeprom::SetupFile other{b.stamp(), before};
  other.record.setByte(T(3), 9);
  other.stamp.modelCode = static_cast<std::uint16_t>(other.stamp.modelCode + 1);
  ASSERT_TRUE(core::AtomicFile::write(b.folder / "other.csu", eeprom::encodeSetupFile(other)));
  ASSERT_TRUE(core::AtomicFile::write(b.folder / "short.csu", eeprom::encodeSetupFile(other).substr(0, 200)));

  for (const char* name : {"other.csu", "short.csu"}) {
    b.prompt.answer(core::Answer::Ok).file(b.folder / name);
    EXPECT_EQ(b.utility().load(), SetupResult::Refused) << name;
    EXPECT_EQ(b.prompt.asked().back().title, eeprom::kSetupErrorTitle) << name;
    EXPECT_EQ(b.utility().record(), before) << name;
    EXPECT_FALSE(b.utility().loadedFromFile()) << name;
  }
}

TEST(SetupUtility, WriteAsksOnceAboutForeignAddressesAndNoSendsNothing) {
  SetupBench b;
  ASSERT_TRUE(b.utility().open());
  eeprom::SetupFile file{b.stamp(), b.utility().record()};
  file.record.setByte(T(3), 0x11);
  file.record.setWord(T(56), 0x1338);  // the focus speed to a register of the file's choosing
  ASSERT_TRUE(core::AtomicFile::write(b.folder / "foreign.csu", eeprom::encodeSetupFile(file)));
  b.prompt.answer(core::Answer::Ok).file(b.folder / "foreign.csu");
  ASSERT_EQ(b.utility().load(), SetupResult::Done);
  const std::uint8_t held = b.byteAt(0x1338);

  b.prompt.answer(core::Answer::No);
  EXPECT_EQ(b.utility().write(false), SetupResult::Declined);
  EXPECT_EQ(b.byteAt(0x1338), held);
  EXPECT_NE(b.monitor.snapshot().pc.find("T+56 = 0x1338"), std::string::npos);

  b.prompt.answer(core::Answer::Yes);
  EXPECT_EQ(b.utility().write(false), SetupResult::Done);
  EXPECT_EQ(b.byteAt(0x1338), 0x11);
  EXPECT_EQ(b.utility().write(false), SetupResult::Done);  // asked once per record
  EXPECT_EQ(b.askedCount(eeprom::kSetupForeignAddressQuestion), 2u);
  EXPECT_EQ(b.prompt.unexpected(), 0);
}

// The desktop keeps painting through the camera work: every access goes through the hook,
// here on a thread of its own, and the questions stay on the caller's thread.
TEST(SetupUtility, EveryCameraAccessRunsThroughTheLineWorkHook) {
  SetupBench b;
  int jobs = 0;
  b.utility().setLineWork([&](const std::function<void()>& job) {
    ++jobs;
    std::thread(job).join();
  });
  ASSERT_TRUE(b.utility().open());  // the open check and the defaults
  EXPECT_EQ(jobs, 2);
  b.prompt.answer(core::Answer::Ok);
  EXPECT_EQ(b.utility().readCamera(), SetupResult::Done);
  EXPECT_EQ(b.utility().write(false), SetupResult::Done);
  b.prompt.answer(core::Answer::Ok);
  const auto before = b.clock.now();
  EXPECT_EQ(b.utility().reset(), SetupResult::Done);
  EXPECT_GE(b.clock.now() - before, eeprom::kSetupResetWait);
  EXPECT_EQ(jobs, 5);
  EXPECT_EQ(b.prompt.unexpected(), 0);
}

}  // namespace
}  // namespace orva::shell
