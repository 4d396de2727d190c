// Writing image files into the in-process virtual camera: what reaches its EEPROM over each
// write path, what is refused before the first write, and how a run that cannot finish ends.
#include "eeprom/write_back.hpp"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <stop_token>

#include "camera_bench.hpp"
#include "support/temp_folder.hpp"

namespace orva {
namespace {

using eeprom::WriteBackResult;
using eeprom::WriteMethod;
using testing::Bench;
using testing::CancelAfterFirstStep;
using testing::faults;

// Values unlike the camera's, so each written byte shows.
eeprom::Image fileImage(const eeprom::Range& range) {
  eeprom::Image image{range.start, {}};
  for (std::size_t i = 0; i < range.bytes(); ++i) image.bytes.push_back(static_cast<std::uint8_t>(0xA5 ^ (i * 13 + i / 256)));
  return image;
}

std::filesystem::path saveImage(const std::filesystem::path& file, const eeprom::Image& image) {
  EXPECT_TRUE(eeprom::writeImageFile(file, image));
  return file;
}

struct WriteBench : Bench {
  using Bench::Bench;

  eeprom::WriteBackOutcome write(eeprom::WriteBackRequest request, core::Prompt& p, std::stop_token stop = {}) {
    request.range = range;
    eeprom::WriteBackRun run(link, eap, afp, p, &changed);
    return run.run(request, stop);
  }
  eeprom::WriteBackOutcome write(const std::filesystem::path& file, WriteMethod method = WriteMethod::WriteBack) {
    eeprom::WriteBackRequest request;
    request.file = file;
    request.method = method;
    return write(request, prompt);
  }

  eeprom::ChangedAddresses changed{[r = range] { return r; }};
};

class WriteBackPaths : public ::testing::TestWithParam<testing::LinePath> {};

TEST_P(WriteBackPaths, CameraHoldsTheFileAndReadsBackAsIt) {
  WriteBench b(GetParam().protocol, {}, GetParam().blockMode);
  testing::TempFolder folder;
  const auto image = fileImage(b.range);
  b.changed.record(0x0900, 1);
  const auto out = b.write(saveImage(folder / "EEPROM.MEM", image));
  ASSERT_EQ(out.result, WriteBackResult::Done) << out.why;
  EXPECT_EQ(b.cameraImage(), image);
  EXPECT_EQ(out.rowsWritten, b.range.rows());
  EXPECT_EQ(out.bytesWritten, b.range.bytes());
  EXPECT_TRUE(out.differences.empty());
  EXPECT_TRUE(b.changed.empty());
  EXPECT_EQ(b.monitor.echoMode(), core::EchoMode::Shown);
  EXPECT_EQ(b.prompt.lastProgressDone(), eeprom::kBackupProgressSteps);
  EXPECT_NE(b.monitor.pc().find("\r\n<< It writes in EEPROM. >>"), std::string::npos);
  EXPECT_TRUE(b.monitor.pc().ends_with("\r\nComplete.")) << b.monitor.pc().substr(b.monitor.pc().size() - 60);
}

INSTANTIATE_TEST_SUITE_P(WriteBack, WriteBackPaths, ::testing::ValuesIn(testing::kLinePaths),
                         testing::linePathName);

TEST(WriteBackExceptAdjustment, AdjustmentAddressesKeepTheCameraValues) {
  WriteBench b(sim::Protocol::Eap, {}, 2);
  testing::TempFolder folder;
  const auto before = b.cameraImage();
  const auto image = fileImage(b.range);
  eeprom::WriteBackRequest request;
  request.file = saveImage(folder / "EEPROM.MEM", image);
  request.method = WriteMethod::ExceptAdjustment;
  request.adjustment.addresses = {0x1A20, 0x0810, 0x0811};
  const auto out = b.write(request, b.prompt);
  ASSERT_EQ(out.result, WriteBackResult::Done) << out.why;
  EXPECT_EQ(out.bytesKept, 2u);
  const auto after = b.cameraImage();
  for (std::size_t i = 0; i < after.bytes.size(); ++i) {
    const bool kept = i == 0x10 || i == 0x11;
    EXPECT_EQ(after.bytes[i], kept ? before.bytes[i] : image.bytes[i]) << i;
  }
  EXPECT_TRUE(b.monitor.pc().ends_with("\r\n<< Except ADJ. Data Complete. >>"));

  WriteBench all(sim::Protocol::Eap);
  EXPECT_EQ(all.write(request.file, WriteMethod::AllData).result, WriteBackResult::Done);
  EXPECT_TRUE(all.monitor.pc().ends_with("\r\n<< All Data Complete. >>"));
}

TEST(WriteBackRefusals, PathsNeedingEapWritesAreRefusedBeforeAnyWriteWhileTheCameraSpeaksAfp) {
  testing::TempFolder folder;
  const auto plain = saveImage(folder / "EEPROM.MEM", fileImage(eeprom::cameraRange(testing::kQb183, 0)));
  const auto map = folder / "EEPROM.MAP";
  std::filesystem::copy_file(plain, map);
  for (auto [file, method] : {std::pair{plain, WriteMethod::AllData}, std::pair{plain, WriteMethod::ExceptAdjustment},
                              std::pair{map, WriteMethod::WriteBack}}) {
    WriteBench b(sim::Protocol::Afp);
    const auto before = b.cameraImage();
    const auto out = b.write(file, method);
    EXPECT_EQ(out.result, WriteBackResult::Refused);
    EXPECT_NE(eeprom::writeBackMessage(out.result).find("Switch the camera to EAP first"), std::string_view::npos);
    EXPECT_EQ(b.cameraImage(), before);
    EXPECT_TRUE(b.monitor.pc().empty()) << b.monitor.pc();
  }
}

TEST(WriteBackMap, MapVariantRowsGoToTheRangeInFileOrder) {
  WriteBench b(sim::Protocol::Eap);
  testing::TempFolder folder;
  std::string text;
  for (std::size_t r = 0; r < 2; ++r) {
    text += fmt::format(":{:04X}   ", 0xFFFF - r);  // the address columns mean nothing
    for (std::size_t i = 0; i < 16; ++i) text += fmt::format("{:02X}{}", r * 16 + i, i % 4 == 3 ? "   " : " ");
    text += "\r\n";
  }
  { std::ofstream(folder / "X.MAP", std::ios::binary) << text; }
  const auto before = b.cameraImage();
  const auto out = b.write(folder / "X.MAP");
  ASSERT_EQ(out.result, WriteBackResult::Done) << out.why;
  const auto after = b.cameraImage();
  for (std::size_t i = 0; i < 32; ++i) EXPECT_EQ(after.bytes[i], i);
  EXPECT_TRUE(std::equal(after.bytes.begin() + 32, after.bytes.end(), before.bytes.begin() + 32));
  EXPECT_NE(b.monitor.pc().find("The file holds 2 of the range's 256 rows (0800-081F); only those are written."),
            std::string::npos);
}

TEST(WriteBackFile, TheImageCheckedIsWrittenWhateverTheFileHoldsByThen) {
  WriteBench b(sim::Protocol::Eap);
  testing::TempFolder folder;
  const auto checked = fileImage(b.range);
  // Since it was checked, the file has been overwritten with the camera's own contents.
  eeprom::WriteBackRequest request;
  request.file = saveImage(folder / "EEPROM.MEM", b.cameraImage());
  request.image = checked;
  EXPECT_EQ(b.write(request, b.prompt).result, WriteBackResult::Done);
  EXPECT_EQ(b.cameraImage(), checked);
}

TEST(WriteBackFile, DamagedOrForeignFileWritesNothing) {
  testing::TempFolder folder;
  const auto range = eeprom::cameraRange(testing::kQb183, 0);
  auto text = eeprom::formatImage(fileImage(range));
  auto shuffled = text;
  shuffled.replace(shuffled.find("\r\n0810 "), 7, "\r\n0820 ");
  { std::ofstream(folder / "shuffled.mem", std::ios::binary) << shuffled; }
  auto bad = text;
  bad.replace(bad.find("\r\n0900 ") + 7, 2, "G1");
  { std::ofstream(folder / "bad.mem", std::ios::binary) << bad; }
  eeprom::Range other{0x1000, 0x1800, 6, 102};
  saveImage(folder / "foreign.mem", fileImage(other));

  for (const char* name : {"shuffled.mem", "bad.mem", "foreign.mem", "missing.mem"}) {
    WriteBench b(sim::Protocol::Eap);
    const auto before = b.cameraImage();
    const auto out = b.write(folder / name);
    EXPECT_EQ(out.result, WriteBackResult::FileNotOpened) << name;
    EXPECT_NE(out.why.find(name), std::string::npos) << out.why;
    EXPECT_EQ(b.cameraImage(), before) << name;
    EXPECT_EQ(b.camera.frameLog().end(), 0u) << name;
    EXPECT_EQ(eeprom::writeBackMessage(out.result), "It has not executed. (Non EEPROM.MEM File) ");
  }
}

TEST(WriteBackLink, DyingLineEndsTheRunAtTheFailedWriteAndKeepsTheChanges) {
  WriteBench b(sim::Protocol::Eap, faults({"hangup:100"}));
  testing::TempFolder folder;
  b.changed.record(0x0900, 1);
  const auto out = b.write(saveImage(folder / "EEPROM.MEM", fileImage(b.range)));
  EXPECT_EQ(out.result, WriteBackResult::CommunicationError);
  EXPECT_EQ(out.bytesWritten, 100u);
  EXPECT_NE(out.why.find("0864"), std::string::npos) << out.why;
  EXPECT_TRUE(b.changed.contains(0x0900)) << "the restore offer still covers it";
  EXPECT_EQ(b.monitor.echoMode(), core::EchoMode::Shown);
  EXPECT_EQ(b.monitor.pc().find("Complete."), std::string::npos);
  EXPECT_EQ(eeprom::writeBackMessage(out.result), "It has not performed. (Communication Error) ");
}

TEST(WriteBackCancel, StopsBetweenRowsAndSaysHowFarItGot) {
  WriteBench b(sim::Protocol::Eap);
  testing::TempFolder folder;
  const auto file = saveImage(folder / "EEPROM.MEM", fileImage(b.range));
  CancelAfterFirstStep cancel;
  eeprom::WriteBackRequest request;
  request.file = file;
  b.changed.record(0x0900, 1);
  const auto out = b.write(request, cancel);
  EXPECT_EQ(out.result, WriteBackResult::Cancelled);
  EXPECT_TRUE(b.changed.contains(0x0900)) << "a stopped run keeps the list";
  EXPECT_GT(out.rowsWritten, 0u);
  EXPECT_LT(out.rowsWritten, b.range.rows());
  EXPECT_NE(out.why.find(fmt::format("after {} of {} rows", out.rowsWritten, b.range.rows())), std::string::npos);

  WriteBench early(sim::Protocol::Eap);
  std::stop_source stop;
  stop.request_stop();
  const auto before = early.cameraImage();
  EXPECT_EQ(early.write(request, early.prompt, stop.get_token()).result, WriteBackResult::Cancelled);
  EXPECT_EQ(early.cameraImage(), before);
}

TEST(WriteBackVerify, CameraThatDoesNotKeepAByteFailsTheRunAndNamesIt) {
  WriteBench b(sim::Protocol::Eap, {}, 2);
  // This camera's cell at 0x0A05 is stuck: it keeps what it held.
  const std::uint8_t stuck = b.camera.memory().read(0x0A05);
  b.camera.onWrite(0x0A05, [stuck](sim::VirtualCamera& cam, const sim::MemoryWrite&) { cam.memory().write(0x0A05, stuck); });
  testing::TempFolder folder;
  auto image = fileImage(b.range);
  ASSERT_NE(image.bytes[0x205], stuck);
  const auto out = b.write(saveImage(folder / "EEPROM.MEM", image));
  EXPECT_EQ(out.result, WriteBackResult::VerifyFailed);
  ASSERT_EQ(out.differences.size(), 1u);
  EXPECT_EQ(out.differences[0].address, 0x0A05);
  EXPECT_EQ(out.differences[0].file, image.bytes[0x205]);
  EXPECT_EQ(out.differences[0].camera, stuck);

  WriteBench unchecked(sim::Protocol::Eap);
  unchecked.camera.onWrite(0x0A05, [stuck](sim::VirtualCamera& cam, const sim::MemoryWrite&) { cam.memory().write(0x0A05, stuck); });
  eeprom::WriteBackRequest request;
  request.file = folder / "EEPROM.MEM";
  request.verify = false;
  EXPECT_EQ(unchecked.write(request, unchecked.prompt).result, WriteBackResult::Done);
}

}  // namespace
}  // namespace orva
