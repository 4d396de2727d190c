// The restore of changed addresses from a factory image, and the camera's own factory
// default, against the in-process virtual camera in virtual time.
#include "eeprom/restore.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "camera/gating.hpp"
#include "camera/model_table.hpp"
#include "camera_bench.hpp"
#include "eeprom/factory_images.hpp"
#include "link/gateway.hpp"
#include "support/temp_folder.hpp"

namespace orva {
namespace {

using eeprom::FactoryResetResult;
using eeprom::RestoreResult;
using testing::Bench;
using testing::faults;

constexpr std::uint16_t kNoImageModel = 0x0150;  // a model code no factory image serves

constexpr std::uint16_t kQb188 = 0x18F0;  // its factory image covers 0x0800-0x27FF

struct RestoreBench : Bench {
  RestoreBench(sim::Protocol protocol = sim::Protocol::Eap, std::vector<sim::Fault> fs = {})
      : RestoreBench("QB-183", testing::kQb183, protocol, std::move(fs)) {}
  RestoreBench(std::string_view model, std::uint16_t modelCode, sim::Protocol protocol = sim::Protocol::Eap,
               std::vector<sim::Fault> fs = {})
      : Bench(testing::profileOf(model, protocol), protocol, std::move(fs), 0, modelCode) {
    link.setChangedAddressSink(&changed);
    context.modelCode = modelCode;
    context.range = range;
    context.searchPath = {folder.path()};
    context.identify = [this] { ++identified; };
  }

  // The factory image file: the camera's present contents, except where `differ` says.
  // Only its first `rows` rows when given.
  void placeImage(std::vector<std::pair<std::uint16_t, std::uint8_t>> differ = {}, std::size_t rows = 0) {
    auto image = cameraImage();
    for (auto [a, v] : differ) image.bytes[a - image.start] = v;
    if (rows != 0) image.bytes.resize(rows * eeprom::kRowBytes);
    factory = image;
    const auto* entry = eeprom::factoryImageFor(context.modelCode);
    std::ofstream(folder / entry->fileName(), std::ios::binary)
        << "%TXT\r\nFactory data\r\n%MAP\r\n" << eeprom::formatImage(image);
  }
  std::size_t writesTo(std::uint16_t address) const {
    const auto frame = fmt::format(":W{:04X}", address);
    const auto log = camera.frameLog().all();
    return static_cast<std::size_t>(std::count_if(log.begin(), log.end(), [&](const sim::FrameRecord& r) {
      return r.sent.starts_with(frame);
    }));
  }

  testing::TempFolder folder;
  eeprom::ChangedAddresses changed{[r = range] { return r; }};
  eeprom::CameraContext context;
  eeprom::Restore restore{link, eap, afp, prompt, changed};
  eeprom::Image factory;
  int identified = 0;
};

TEST(RestoreOffer, AsksOnlyWithChangesAndAFactoryImage) {
  RestoreBench b;
  EXPECT_FALSE(b.restore.offer(b.context));  // nothing changed
  ASSERT_TRUE(b.eap.writeByte(0x0900, 0x12));
  b.context.modelCode = kNoImageModel;
  EXPECT_FALSE(b.restore.offer(b.context));
  EXPECT_TRUE(b.prompt.asked().empty());
  EXPECT_FALSE(b.changed.empty());

  // Cancel forgets the changes and writes nothing; the caller stays.
  b.context.modelCode = testing::kQb183;
  b.prompt.answer(core::Answer::Cancel);
  const auto before = b.camera.frameLog().end();
  EXPECT_TRUE(b.restore.offer(b.context));
  ASSERT_EQ(b.prompt.asked().size(), 1u);
  EXPECT_EQ(b.prompt.asked()[0].text, eeprom::kRestoreQuestion);
  EXPECT_EQ(b.prompt.asked()[0].title, "Attention");
  EXPECT_TRUE(b.changed.empty());
  EXPECT_EQ(b.camera.frameLog().end(), before);
  EXPECT_FALSE(b.restore.offer(b.context));  // the next exit leaves without asking
}

TEST(Restore, ChangedAddressesGetFactoryValuesPresetsGoEmptyThenTheCameraRestarts) {
  RestoreBench b;
  b.placeImage({{0x0900, 0x5A}, {0x1027, 0x33}, {0x0A00, 0x77}});
  ASSERT_TRUE(b.eap.writeByte(0x0900, 0x12));
  ASSERT_TRUE(b.eap.writeByte(0xE199, 0x05));          // mirrors 0x1027
  ASSERT_TRUE(b.eap.writeWord(0xF8B0, 0x4301));        // preset 1: 0x1800-0x1811
  const auto start = b.clock.now();
  b.prompt.answer(core::Answer::Ok);
  EXPECT_TRUE(b.restore.offer(b.context));
  EXPECT_EQ(b.camera.memory().read(0x0900), 0x5A);
  EXPECT_EQ(b.camera.memory().read(0x1027), 0x33);
  EXPECT_NE(b.camera.memory().read(0x0A00), 0x77);  // not changed by the session: left alone
  for (std::uint16_t a = 0x1800; a < 0x1812; ++a) EXPECT_EQ(b.camera.memory().read(a), 0xFF) << a;
  EXPECT_EQ(b.writesTo(0x0900), 2u);  // the session's write and the restore's
  EXPECT_EQ(b.writesTo(0xFCAC), 1u);
  EXPECT_GE(b.clock.now() - start, eeprom::kSoftResetWait);
  EXPECT_EQ(b.identified, 1);
  EXPECT_TRUE(b.changed.empty());
  ASSERT_EQ(b.prompt.asked().size(), 2u);
  EXPECT_EQ(b.prompt.asked()[1].text, eeprom::kRestoredText);
  EXPECT_EQ(b.prompt.asked()[1].title, "Information");
  const auto& pc = b.monitor.pc();
  const auto writes = pc.find("\r\n<< It writes in EEPROM. >>");
  const auto reset = pc.find("\r\nSoft Reset is executed.");
  ASSERT_NE(writes, std::string::npos);
  ASSERT_NE(reset, std::string::npos);
  EXPECT_LT(writes, reset);
  EXPECT_TRUE(pc.ends_with("\r\nComplete."));
  EXPECT_EQ(b.monitor.echoMode(), core::EchoMode::Shown);
  EXPECT_FALSE(b.prompt.isBusy());
}

TEST(Restore, PresetAreaGetsTheFactoryValueWhereTheImageCoversItAndIsEmptiedOnlyBeyond) {
  struct Case {
    std::string_view model;
    std::uint16_t code;
    std::uint8_t restored;  // at 0x1805, which the session changed
  };
  // QB-183's image ends at 0x17FF; QB-188's holds per-unit data at 0x1805.
  for (const Case c : {Case{"QB-183", testing::kQb183, 0xFF}, Case{"QB-188", kQb188, 0x5A}}) {
    RestoreBench b(c.model, c.code);
    if (b.range.contains(0x1805))
      b.placeImage({{0x1805, 0x5A}});
    else
      b.placeImage();
    ASSERT_TRUE(b.eap.writeByte(0x1805, 0x12));
    EXPECT_EQ(b.restore.run(b.context).result, RestoreResult::Restored) << c.model;
    EXPECT_EQ(b.camera.memory().read(0x1805), c.restored) << c.model;
    EXPECT_EQ(b.writesTo(0x1805), 2u) << c.model << ": the session's write and one of the restore's";
  }
}

TEST(Restore, ImageShorterThanItsCoverageIsRefusedBeforeTheFirstWriteAndTheChangesStay) {
  RestoreBench b("QB-188", kQb188);
  b.placeImage({}, 0x1000 / eeprom::kRowBytes);  // 0x0800-0x17FF of 0x0800-0x27FF
  ASSERT_TRUE(b.eap.writeByte(0x0900, 0x12));
  const auto before = b.camera.frameLog().end();
  const auto out = b.restore.run(b.context);
  EXPECT_EQ(out.result, RestoreResult::BadImage);
  ASSERT_EQ(b.prompt.asked().size(), 1u);
  EXPECT_TRUE(b.prompt.asked()[0].text.starts_with(eeprom::kImageInvalidText)) << b.prompt.asked()[0].text;
  EXPECT_NE(out.why.find("1800"), std::string::npos) << out.why;
  EXPECT_EQ(b.camera.frameLog().end(), before);
  EXPECT_TRUE(b.changed.contains(0x0900));
  EXPECT_EQ(b.identified, 0);
}

TEST(Restore, MissingImageNamesTheFileAndWhereItWasLookedForAndWritesNothing) {
  RestoreBench b;
  ASSERT_TRUE(b.eap.writeByte(0x0900, 0x12));
  const auto before = b.camera.frameLog().end();
  const auto out = b.restore.run(b.context);
  EXPECT_EQ(out.result, RestoreResult::NoImage);
  ASSERT_EQ(b.prompt.asked().size(), 1u);
  const auto& text = b.prompt.asked()[0].text;
  EXPECT_TRUE(text.starts_with(eeprom::kImageMissingText)) << text;
  EXPECT_NE(text.find("311.mem"), std::string::npos) << text;
  EXPECT_NE(text.find(b.folder.path().string()), std::string::npos) << text;
  EXPECT_EQ(b.camera.frameLog().end(), before);
  EXPECT_TRUE(b.changed.empty());
  EXPECT_EQ(b.identified, 0);
}

TEST(Restore, ImageWhoseRowsAreNotTheRangesIsRefusedBeforeTheFirstWrite) {
  RestoreBench b;
  const auto* entry = eeprom::factoryImageFor(testing::kQb183);
  eeprom::Image shifted{0x1000, std::vector<std::uint8_t>(0x800, 0)};
  std::ofstream(b.folder / entry->fileName(), std::ios::binary) << "%TXT\r\n%MAP\r\n" << eeprom::formatImage(shifted);
  ASSERT_TRUE(b.eap.writeByte(0x0900, 0x12));
  const auto before = b.camera.frameLog().end();
  EXPECT_EQ(b.restore.run(b.context).result, RestoreResult::BadImage);
  ASSERT_EQ(b.prompt.asked().size(), 1u);
  EXPECT_TRUE(b.prompt.asked()[0].text.starts_with(eeprom::kImageInvalidText));
  EXPECT_EQ(b.camera.frameLog().end(), before);
  EXPECT_TRUE(b.changed.empty());
  EXPECT_EQ(b.monitor.echoMode(), core::EchoMode::Shown);
}

TEST(Restore, FailedWriteEndsTheRestoreWithoutRestartOrMessage) {
  RestoreBench b(sim::Protocol::Eap, faults({"hangup:3"}));
  b.placeImage();
  for (std::uint16_t a = 0x0900; a < 0x0903; ++a) ASSERT_TRUE(b.eap.writeByte(a, 0x12));
  const auto out = b.restore.run(b.context);
  EXPECT_EQ(out.result, RestoreResult::WriteFailed);
  EXPECT_TRUE(b.prompt.asked().empty());
  EXPECT_EQ(b.identified, 0);
  EXPECT_TRUE(b.changed.empty());
  EXPECT_FALSE(b.prompt.isBusy());
  EXPECT_EQ(b.monitor.echoMode(), core::EchoMode::Shown);
}

TEST(FactoryReset, IsOfferedByExactlyTheModelsWithAFactoryImage) {
  for (const auto& row : camera::models())
    for (const auto& v : row.variants) {
      if (v.name.empty()) break;
      camera::ModelRecord record;
      record.extraOptionWord = row.capabilities.extraOptionWord;
      EXPECT_EQ(camera::offersFactoryDefault(record), eeprom::factoryImageFor(v.code) != nullptr)
          << v.name << fmt::format(" {:04X}", v.code);
    }
}

TEST(FactoryReset, EapCameraIsPolledUntilDoneAndComesBackWithItsFactoryContents) {
  RestoreBench b;
  ASSERT_TRUE(b.eap.writeByte(0x0900, 0x12));
  const auto start = b.clock.now();
  EXPECT_EQ(b.restore.factoryReset(b.context), FactoryResetResult::Done);
  EXPECT_EQ(b.camera.eepromContents(), b.camera.factoryContents());
  EXPECT_TRUE(b.changed.empty());
  EXPECT_EQ(b.writesTo(0xF8D8), 1u);
  EXPECT_EQ(b.writesTo(0xFCAC), 1u);
  EXPECT_GE(b.clock.now() - start, eeprom::kSoftResetWait);
  EXPECT_EQ(b.identified, 1);
  ASSERT_EQ(b.prompt.asked().size(), 1u);
  EXPECT_EQ(b.prompt.asked()[0].text, eeprom::kRestoredText);
  EXPECT_NE(b.monitor.pc().find("\r\n\r\nReset to factory default is executed."), std::string::npos);
  EXPECT_TRUE(b.monitor.pc().ends_with("\r\nComplete."));
}

TEST(FactoryReset, CameraReportingFailureOrNeverFinishingIsAnError) {
  {
    RestoreBench b(sim::Protocol::Eap, faults({"factory-fail"}));
    EXPECT_EQ(b.restore.factoryReset(b.context), FactoryResetResult::Failed);
    ASSERT_EQ(b.prompt.asked().size(), 1u);
    EXPECT_EQ(b.prompt.asked()[0].text, eeprom::kEepromWriteErrorText);
    EXPECT_EQ(b.writesTo(0xFCAC), 0u);
    EXPECT_EQ(b.identified, 0);
  }
  {
    auto profile = testing::profileOf("QB-183", sim::Protocol::Eap);
    profile.factoryTime = std::chrono::minutes(5);
    Bench plain(profile, sim::Protocol::Eap, {}, 0);
    eeprom::ChangedAddresses changed{[] { return eeprom::Range{}; }};
    eeprom::Restore restore{plain.link, plain.eap, plain.afp, plain.prompt, changed};
    const auto start = plain.clock.now();
    EXPECT_EQ(restore.factoryReset({}), FactoryResetResult::TimedOut);
    const auto waited = plain.clock.now() - start;
    EXPECT_GE(waited, eeprom::kFactoryResetLimit);
    EXPECT_LT(waited, eeprom::kFactoryResetLimit + std::chrono::seconds(5));
    // Polled with a pause, not flat out.
    EXPECT_LT(plain.camera.frameLog().end(), 400u);
    ASSERT_EQ(plain.prompt.asked().size(), 1u);
    EXPECT_EQ(plain.prompt.asked()[0].text, eeprom::kEepromWriteErrorText);
  }
}

TEST(FactoryReset, AfpCameraTakesTheFunctionCommand) {
  RestoreBench b(sim::Protocol::Afp);
  ASSERT_TRUE(link::gatewayWriteByte(b.afp, b.link, 0x0900, 0x12));
  EXPECT_EQ(b.restore.factoryReset(b.context), FactoryResetResult::Done);
  EXPECT_EQ(b.camera.eepromContents(), b.camera.factoryContents());
  EXPECT_EQ(b.identified, 1);
}

}  // namespace
}  // namespace orva
