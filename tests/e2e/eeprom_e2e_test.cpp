// The EEPROM runs end to end: orva-cli against orva-camsim on a pseudo-terminal, with the
// camera's own record of its EEPROM (saved when it stops) as the judge of what happened.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <functional>
#include <fstream>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "core/testing/file_size_limit.hpp"
#include "eeprom/factory_images.hpp"
#include "eeprom/image.hpp"
#include "eeprom/range.hpp"
#include "eeprom/restore.hpp"
#include "sim/model_profiles.hpp"
#include "sim/virtual_camera.hpp"
#include "support/child_process.hpp"
#include "support/file_watch.hpp"
#include "support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using orva::testing::ChildProcess;
using orva::testing::fileText;
using orva::testing::ProgramRun;
namespace eeprom = orva::eeprom;
namespace sim = orva::sim;

// No line timing unless a test needs it, so the pty runs as fast as both programs can go.
constexpr const char* kFastLine = "115200,N,8,1";
constexpr std::uint32_t kSeed = 3;      // the camera's contents as it starts
constexpr std::uint32_t kNewSeed = 4;   // the contents the tests write into it
// A row read as the camera logs it: the byte read of the row's first address, then 30 blanks.
const std::string kRowBlanks(30, ' ');

eeprom::Range rangeOf(const std::string& model) {
  auto profile = sim::modelProfile(model, sim::Protocol::Eap);
  return profile && profile->eepromRange ? *profile->eepromRange : eeprom::Range{};
}

// What the camera of `model` holds in its EEPROM range when it starts from `seed`: the same
// profile orva-camsim builds, so the identification registers inside the range count too.
eeprom::Image startContents(const std::string& model, std::uint32_t seed) {
  auto profile = sim::modelProfile(model, sim::Protocol::Eap, seed);
  if (!profile) {
    ADD_FAILURE() << "no model " << model;
    return {};
  }
  return sim::VirtualCamera(*profile).eepromContents();
}

std::uint8_t at(const eeprom::Image& image, std::uint16_t address) { return image.bytes.at(address - image.start); }
void put(eeprom::Image& image, std::uint16_t address, std::uint8_t value) {
  image.bytes.at(address - image.start) = value;
}

::testing::AssertionResult sameContents(const eeprom::Image& actual, const eeprom::Image& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  if (actual.start != expected.start || actual.bytes.size() != expected.bytes.size())
    return ::testing::AssertionFailure() << fmt::format("{:04X} + {} bytes where {:04X} + {} were expected",
                                                        actual.start, actual.bytes.size(), expected.start,
                                                        expected.bytes.size());
  std::size_t differ = 0, first = 0;
  for (std::size_t i = expected.bytes.size(); i-- > 0;)
    if (actual.bytes[i] != expected.bytes[i]) ++differ, first = i;
  return ::testing::AssertionFailure() << fmt::format(
             "{} addresses differ; the first is {:04X}: {:02X} where {:02X} was expected", differ,
             expected.start + first, actual.bytes[first], expected.bytes[first]);
}

// The file is, byte for byte, the image file of `expected`.
::testing::AssertionResult isImageFileOf(const fs::path& file, const eeprom::Image& expected) {
  if (!fs::exists(file)) return ::testing::AssertionFailure() << file << " does not exist";
  const std::string text = fileText(file);
  if (text == eeprom::formatImage(expected)) return ::testing::AssertionSuccess();
  const eeprom::Range range{expected.start, static_cast<std::uint16_t>(expected.start + expected.bytes.size())};
  auto image = eeprom::parseImage(text, eeprom::ImageVariant::Plain, range);
  if (!image) return ::testing::AssertionFailure() << image.message();
  auto same = sameContents(*image, expected);
  if (!same) return same;
  return ::testing::AssertionFailure() << file << " holds the right bytes, but not in the writer's layout";
}

std::vector<std::string> entriesOf(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::size_t countLines(const std::string& text, const std::function<bool(const std::string&)>& match) {
  std::istringstream in(text);
  std::size_t n = 0;
  for (std::string line; std::getline(in, line);)
    if (match(line)) ++n;
  return n;
}

// A frame in the camera's log whose address (four hex digits after `prefix`) lies in the range.
bool isFrameInRange(const std::string& line, std::string_view prefix, const eeprom::Range& range) {
  if (!line.starts_with(prefix) || line.size() < prefix.size() + 4) return false;
  std::uint32_t address = 0;
  const char* digits = line.data() + prefix.size();
  const auto [end, ec] = std::from_chars(digits, digits + 4, address, 16);
  return ec == std::errc() && end == digits + 4 && range.contains(address);
}

// orva-camsim as one camera model, its EEPROM saved to a file when it stops, and orva-cli
// talking to it. The camera's files live apart from the files the tool writes, so a test can
// see exactly what the tool left behind.
class EepromE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(cameraDir_);
    fs::create_directory(files_);
  }
  void TearDown() override { camsim_.reset(); }

  void startCamera(const std::string& model, std::vector<std::string> extra = {}) {
    model_ = model;
    std::vector<std::string> args{"--model", model, "--settings", settings_, "--eeprom-seed", std::to_string(kSeed),
                                  "--save-eeprom", saved().string(), "--verbose"};
    if (afp_) args.insert(args.end(), {"--protocol", "afp"});
    args.insert(args.end(), extra.begin(), extra.end());
    camsim_ = std::make_unique<ChildProcess>(ORVA_CAMSIM_PATH, args, cameraLog());
    const std::string first = camsim_->firstLine();
    ASSERT_THAT(first, ::testing::StartsWith("PTY /dev/")) << fileText(cameraLog());
    pty_ = first.substr(4);
  }

  std::vector<std::string> lineArgs() const {
    std::vector<std::string> args{"--port", pty_, "--settings", settings_, "--no-negotiate"};
    if (afp_) args.insert(args.end(), {"--protocol", "afp"});
    return args;
  }
  ProgramRun cli(const std::vector<std::string>& args) {
    return orva::testing::runProgram(ORVA_CLI_PATH, withLine(args), dir_ / "cli.err");
  }
  std::unique_ptr<ChildProcess> startCli(const std::vector<std::string>& args) {
    return std::make_unique<ChildProcess>(ORVA_CLI_PATH, withLine(args), dir_ / "cli.err");
  }
  std::vector<std::string> withLine(const std::vector<std::string>& args) const {
    std::vector<std::string> all = lineArgs();
    all.insert(all.end(), args.begin(), args.end());
    return all;
  }

  // Stops the camera (a camera whose line hung up has stopped already); its EEPROM then.
  eeprom::Image stopCamera() {
    EXPECT_EQ(camsim_->signalAndWait(SIGTERM), 0) << fileText(cameraLog());
    auto image = eeprom::readImageFile(saved(), rangeOf(model_));
    EXPECT_TRUE(image) << image.message();
    return image ? *image : eeprom::Image{};
  }
  std::string cameraHeard() const { return fileText(cameraLog()); }

  eeprom::Image start() const { return startContents(model_, kSeed); }
  eeprom::Range range() const { return rangeOf(model_); }
  fs::path saved() const { return cameraDir_ / "saved.mem"; }
  fs::path cameraLog() const { return cameraDir_ / "camsim.err"; }

  orva::testing::TempFolder folder_;
  const fs::path& dir_ = folder_.path();
  const fs::path cameraDir_ = dir_ / "camera";
  const fs::path files_ = dir_ / "files";  // what the tool writes, and nothing else
  std::string settings_ = kFastLine;
  bool afp_ = false;
  std::string model_;
  std::string pty_;
  std::unique_ptr<ChildProcess> camsim_;
};

// ---- backup: the file is the camera's contents, whatever the range and the way of reading

enum class Reads { Rows, Bytes, Gateway };

struct BackupCase {
  const char* name;
  const char* model;
  Reads reads;
};

void PrintTo(const BackupCase& c, std::ostream* os) { *os << c.name; }

class EepromE2eBackup : public EepromE2e, public ::testing::WithParamInterface<BackupCase> {};

TEST_P(EepromE2eBackup, FileIsTheCameraContentsByteForByte) {
  const BackupCase& c = GetParam();
  afp_ = c.reads == Reads::Gateway;
  startCamera(c.model);
  const fs::path file = files_ / "EEPROM.MEM";
  ProgramRun r = cli({"eeprom", "backup", file.string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(isImageFileOf(file, start()));
  const eeprom::Image held = stopCamera();
  EXPECT_TRUE(isImageFileOf(file, held));
  EXPECT_EQ(fileText(file), fileText(saved()));

  // The way of reading is the one the model calls for: rows, bytes, or bytes through AFP.
  const std::string heard = cameraHeard();
  const auto rows = countLines(heard, [&](const std::string& l) {
    return isFrameInRange(l, ":R", range()) && l.find(kRowBlanks) != std::string::npos;
  });
  const auto byteReads = countLines(heard, [&](const std::string& l) {
    return isFrameInRange(l, ":R", range()) && l.find(kRowBlanks) == std::string::npos;
  });
  const auto gatewayReads =
      countLines(heard, [&](const std::string& l) { return isFrameInRange(l, "GFE01", range()); });
  // (The identification reads a few registers inside some ranges on its own.)
  EXPECT_EQ(rows, c.reads == Reads::Rows ? range().rows() : 0);
  if (c.reads == Reads::Bytes) EXPECT_GE(byteReads, range().bytes());
  else EXPECT_LT(byteReads, range().rows());
  if (c.reads == Reads::Gateway) EXPECT_GE(gatewayReads, range().bytes());
  else EXPECT_EQ(gatewayReads, 0u);
}

// Size codes 1 (E000-E1FF), 2 (1000-13FF), 5 (1000-17FF), 7 (0800-17FF), 9 (0800-27FF) and
// 10 (0800-327F). Every model of these sizes reads rows, so the byte-by-byte reads are shown
// on the older models of sizes 1, 2 and 5. AFP reads a byte per frame and waits for each
// answer: one range is enough to show it, the others would only add seconds.
INSTANTIATE_TEST_SUITE_P(Ranges, EepromE2eBackup,
                         ::testing::Values(BackupCase{"QB165_size5_rows", "QB-165", Reads::Rows},
                                           BackupCase{"QB183_size7_rows", "QB-183", Reads::Rows},
                                           BackupCase{"QB188_size9_rows", "QB-188", Reads::Rows},
                                           BackupCase{"QB191_size10_rows", "QB-191", Reads::Rows},
                                           BackupCase{"QB102_size1_bytes", "QB-102", Reads::Bytes},
                                           BackupCase{"QB101_size2_bytes", "QB-101", Reads::Bytes},
                                           BackupCase{"QB108_size5_bytes", "QB-108", Reads::Bytes},
                                           BackupCase{"QB183_size7_afp", "QB-183", Reads::Gateway}),
                         [](const auto& c) { return std::string(c.param.name); });

// ---- write-back

// The contents the tests write: another seed's pattern, with the registers the
// identification reads left as they are (they come from the model, not the seed).
eeprom::Image newContents(const std::string& model) { return startContents(model, kNewSeed); }

fs::path writeImage(const fs::path& file, const eeprom::Image& image) {
  std::ofstream(file, std::ios::binary) << eeprom::formatImage(image);
  return file;
}

TEST_F(EepromE2e, WriteBacksUpFirstWritesReadsBackAndItsBackupPutsTheCameraBack) {
  startCamera("QB-165");
  const eeprom::Image before = start(), after = newContents(model_);
  const fs::path file = writeImage(files_ / "new.mem", after);

  ProgramRun r = cli({"eeprom", "write", file.string()});
  EXPECT_EQ(r.exitCode, 2) << "without a terminal the question needs --yes";
  EXPECT_THAT(r.err, HasSubstr("--yes"));
  EXPECT_EQ(entriesOf(files_), std::vector<std::string>{"new.mem"});

  r = cli({"eeprom", "write", file.string(), "--yes"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_THAT(r.err, HasSubstr("wrote 2048 bytes (128 rows); the camera reads back as the file"));
  // The dated backup beside the file holds what the camera held before.
  const auto names = entriesOf(files_);
  ASSERT_EQ(names.size(), 2u) << ::testing::PrintToString(names);
  EXPECT_THAT(names[0], ::testing::MatchesRegex(R"(new-backup-[0-9]{8}-[0-9]{6}\.mem)"));
  const fs::path backup = files_ / names[0];
  EXPECT_THAT(r.err, HasSubstr("the camera's EEPROM was saved to " + backup.string()));
  EXPECT_TRUE(isImageFileOf(backup, before));

  r = cli({"eeprom", "diff", "camera", file.string()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  // Against the backup, every address the write changed, camera first.
  std::string expected;
  for (std::size_t i = 0; i < before.bytes.size(); ++i)
    if (before.bytes[i] != after.bytes[i])
      expected += fmt::format("{:04X} {:02X} {:02X}\n", before.start + i, after.bytes[i], before.bytes[i]);
  ASSERT_FALSE(expected.empty());
  r = cli({"eeprom", "diff", "camera", backup.string()});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_EQ(r.out, expected);

  // The backup written back puts the camera where it was; its own backup goes where asked.
  const fs::path explicitBackup = files_ / "before-restore.mem";
  r = cli({"eeprom", "write", backup.string(), "--backup-to", explicitBackup.string(), "--yes"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(isImageFileOf(explicitBackup, after));
  EXPECT_EQ(entriesOf(files_).size(), 3u);
  EXPECT_TRUE(sameContents(stopCamera(), before));
}

TEST_F(EepromE2e, WriteExceptAdjustmentKeepsTheListedAddressesAndNoBackupMakesNone) {
  startCamera("QB-165");
  const eeprom::Image before = start(), after = newContents(model_);
  // Three addresses the write would change, from the upper half of the range.
  std::vector<std::uint16_t> kept;
  for (std::uint16_t a = 0x1400; kept.size() < 3 && a < range().end; ++a)
    if (at(before, a) != at(after, a)) kept.push_back(a);
  ASSERT_EQ(kept.size(), 3u);
  const fs::path cfg = dir_ / "adjust.cfg";
  std::ofstream(cfg) << "adjustment data of the test camera\r\n%END\r\n%END\r\n%END\r\n"
                     << fmt::format("{:04X} {:04X}\r\n{:04X}\r\n%END\r\n", kept[0], kept[1], kept[2]);
  const fs::path file = writeImage(files_ / "new.mem", after);

  ProgramRun r = cli({"eeprom", "write", file.string(), "--except-adj", cfg.string(), "--no-backup", "--yes"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_THAT(r.err, HasSubstr("wrote 2045 bytes (128 rows), kept 3 adjustment bytes"));
  EXPECT_EQ(entriesOf(files_), std::vector<std::string>{"new.mem"});

  eeprom::Image expected = after;
  for (auto a : kept) put(expected, a, at(before, a));
  EXPECT_TRUE(sameContents(stopCamera(), expected));
  for (auto a : kept) EXPECT_THAT(cameraHeard(), ::testing::Not(HasSubstr(fmt::format(":W{:04X}", a))));
}

// ---- factory reset and the restore of changed addresses

TEST_F(EepromE2e, FactoryResetBringsBackTheStartContents) {
  startCamera("QB-165");
  ASSERT_EQ(cli({"write", "1234", fmt::format("{:02X}", at(start(), 0x1234) ^ 0xFF)}).exitCode, 0);
  ASSERT_EQ(cli({"write", "17FF", fmt::format("{:02X}", at(start(), 0x17FF) ^ 0xFF)}).exitCode, 0);

  ProgramRun r = cli({"eeprom", "factory"});
  EXPECT_EQ(r.exitCode, 2) << "without a terminal the question needs --yes";
  // This run waits out the camera's restart after the soft reset, as the tool always does.
  r = cli({"eeprom", "factory", "--yes"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(sameContents(stopCamera(), start()));
  const std::string heard = cameraHeard();
  EXPECT_THAT(heard, HasSubstr(":WF8D801 -> :WF8D801"));
  EXPECT_THAT(heard, HasSubstr(":WFCAC00"));
}

TEST_F(EepromE2e, FailedFactoryResetSaysSoAndChangesNothing) {
  startCamera("QB-165", {"--fault", "factory-fail"});
  const std::uint8_t changed = at(start(), 0x1234) ^ 0xFF;
  ASSERT_EQ(cli({"write", "1234", fmt::format("{:02X}", changed)}).exitCode, 0);
  ProgramRun r = cli({"eeprom", "factory-reset", "--yes"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_THAT(r.err, HasSubstr(std::string(eeprom::kEepromWriteErrorText)));
  eeprom::Image expected = start();
  put(expected, 0x1234, changed);
  EXPECT_TRUE(sameContents(stopCamera(), expected));
  EXPECT_THAT(cameraHeard(), ::testing::Not(HasSubstr(":WFCAC00")));
}

// A variable of this process's environment (which children inherit) set for a while, then
// put back as it was.
class ScopedEnvironment {
 public:
  ScopedEnvironment(std::string name, const std::string& value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    ::setenv(name_.c_str(), value.c_str(), 1);
  }
  ~ScopedEnvironment() {
    if (old_) ::setenv(name_.c_str(), old_->c_str(), 1);
    else ::unsetenv(name_.c_str());
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// The restore of changed addresses from the factory image is Restore's (tests/eeprom), over the
// in-process line; what only a whole program shows is that the command line finds the images
// in the data folder named by ORVA_DATA_DIR, where the restore looks for them.
TEST(EepromE2eImages, TheCommandLineFindsTheFactoryImagesInTheDataFolder) {
  orva::testing::TempFolder folder;
  const fs::path dataDir = folder.path() / "data";
  fs::create_directory(dataDir);
  std::ofstream(dataDir / "311.mem", std::ios::binary) << "%TXT\r\nfactory values\r\n%MAP\r\n";
  ProgramRun images;
  {
    ScopedEnvironment data("ORVA_DATA_DIR", dataDir.string());
    images = orva::testing::runProgram(ORVA_CLI_PATH, {"eeprom", "factory-images"}, folder.path() / "cli.err");
  }
  EXPECT_EQ(images.exitCode, 0);
  EXPECT_THAT(images.out, HasSubstr("311.mem\t13F0,13F1\t" + (dataDir / "311.mem").string() + "\n"));
}

// ---- command files

TEST_F(EepromE2e, CommandFilePlaysCommandsPausesAndTheCutPiecesOfALongLine) {
  startCamera("QB-165");
  const fs::path file = files_ / "commands.dat";
  // Line 4 is longer than 79 characters: its second piece starts with ':' and is a command.
  std::ofstream(file, std::ios::binary) << "* registers, pause, long line\r\n"
                                        << ":W20205A\r\n"
                                        << "P\r\n"
                                        << std::string(79, '-') << ":W2021BB\r\n"
                                        << ":W2022CC\r\n";
  ProgramRun r = cli({"send", file.string(), "--monitor"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_THAT(r.err, HasSubstr("* registers, pause, long line"));
  EXPECT_THAT(r.err, HasSubstr("Send File...: The Pause command was found !!"));
  EXPECT_EQ(cli({"read", "2020"}).out, "5A\n");
  EXPECT_EQ(cli({"read", "2021"}).out, "BB\n");
  EXPECT_EQ(cli({"read", "2022"}).out, "CC\n");
  camsim_->signalAndWait(SIGTERM);
  const std::string heard = cameraHeard();
  EXPECT_THAT(heard, HasSubstr(":W20205A -> :W20205A"));
  EXPECT_THAT(heard, HasSubstr(":W2021BB -> :W2021BB"));
  // The comment pieces never reach the camera.
  EXPECT_THAT(heard, ::testing::Not(HasSubstr("---")));
  EXPECT_THAT(heard, ::testing::Not(HasSubstr("registers, pause")));
}

// ---- a line that dies, a disk that is full, an operator who presses Ctrl-C

TEST_F(EepromE2e, LinkDyingMidBackupLeavesNoFileAndThePreviousOneIntact) {
  // Identification takes some 130 characters and a row 38: the line goes some 20 rows in.
  for (const bool previous : {false, true}) {
    SCOPED_TRACE(previous ? "over an earlier backup" : "to a new file");
    startCamera("QB-165", {"--fault", "cut:1000"});
    const fs::path file = files_ / "EEPROM.MEM";
    if (previous) std::ofstream(file, std::ios::binary) << "an earlier backup\r\n";
    ProgramRun r = cli({"eeprom", "backup", file.string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_THAT(r.err, HasSubstr("It has not saved at File. (Communication Error)"));
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.err, m, std::regex("after ([0-9]+) of 128 rows; (.*) was not written"))) << r.err;
    EXPECT_GT(std::stoul(m[1]), 0u);
    EXPECT_LT(std::stoul(m[1]), 128u);
    EXPECT_EQ(m[2], file.string());
    if (previous) {
      EXPECT_EQ(fileText(file), "an earlier backup\r\n");
      EXPECT_EQ(entriesOf(files_), std::vector<std::string>{"EEPROM.MEM"});
    } else {
      EXPECT_TRUE(entriesOf(files_).empty());
    }
    EXPECT_EQ(camsim_->waitForExit(), 0);
    EXPECT_THAT(fileText(cameraLog()), HasSubstr("hung up the line, as the cut:1000 fault asked"));
  }
}

TEST_F(EepromE2e, LinkDyingMidWriteSaysHowFarItGot) {
  // Identification takes some 130 characters and a byte write 8: the line goes some 230 bytes in.
  startCamera("QB-165", {"--fault", "cut:2000"});
  const eeprom::Image before = start(), after = newContents(model_);
  const fs::path file = writeImage(files_ / "new.mem", after);
  ProgramRun r = cli({"eeprom", "write", file.string(), "--no-backup", "--yes"});
  EXPECT_EQ(r.exitCode, 1);
  std::smatch m;
  const std::regex howFar("the camera did not take the write of ([0-9A-F]{4}) \\(row ([0-9]+) of 128\\)");
  ASSERT_TRUE(std::regex_search(r.err, m, howFar)) << r.err;
  const auto failed = static_cast<std::uint16_t>(std::stoul(m[1], nullptr, 16));
  EXPECT_EQ(std::stoul(m[2]), (failed - 0x1000u) / 16 + 1);
  EXPECT_GT(failed, 0x1000);
  // Everything before that byte holds the file, everything after it what it held.
  const eeprom::Image held = stopCamera();
  ASSERT_EQ(held.bytes.size(), after.bytes.size());
  for (std::uint16_t a = held.start; a < range().end; ++a) {
    if (a == failed) continue;
    ASSERT_EQ(at(held, a), a < failed ? at(after, a) : at(before, a)) << fmt::format("at {:04X}", a);
  }
}

TEST_F(EepromE2e, BackupThatCannotBeSavedExitsTwoAndKeepsTheOldFile) {
  startCamera("QB-165");
  const fs::path file = files_ / "EEPROM.MEM";
  std::ofstream(file, std::ios::binary) << "an earlier backup\r\n";
  {
    // A full disk: the child inherits a file size limit far below the image's 8 KB.
    std::unique_ptr<ChildProcess> child;
    {
      orva::core::testing::FileSizeLimit limit(4096);
      child = startCli({"eeprom", "backup", file.string()});
    }
    EXPECT_EQ(child->waitForExit(), 2);
    const std::string err = fileText(dir_ / "cli.err");
    EXPECT_THAT(err, HasSubstr("It has not saved at File. (File dose not Open)"));
    EXPECT_EQ(fileText(file), "an earlier backup\r\n");
    EXPECT_EQ(entriesOf(files_), std::vector<std::string>{"EEPROM.MEM"});
  }
  // A folder that is a file: no one, root included, can create anything in it.
  const fs::path notAFolder = files_ / "EEPROM.MEM" / "x.mem";
  ProgramRun r = cli({"eeprom", "backup", notAFolder.string()});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_THAT(r.err, HasSubstr("It has not saved at File. (File dose not Open)"));
  EXPECT_EQ(fileText(file), "an earlier backup\r\n");
  EXPECT_EQ(entriesOf(files_), std::vector<std::string>{"EEPROM.MEM"});
}

TEST_F(EepromE2e, InterruptedBackupSaysHowFarItGotAndWritesNoFile) {
  // At 9600 with line timing the backup takes seconds: long enough to be interrupted.
  settings_ = "9600,N,8,1";
  startCamera("QB-165", {"--line-timing"});
  const fs::path file = files_ / "EEPROM.MEM";
  auto child = startCli({"eeprom", "backup", file.string()});
  ASSERT_TRUE(orva::testing::waitForText(cameraLog(), ":R100000" + kRowBlanks, 30s)) << "the first row was not read";
  EXPECT_EQ(child->signalAndWait(SIGINT), 1);
  const std::string err = fileText(dir_ / "cli.err");
  std::smatch m;
  const std::regex howFar("backup cancelled after ([0-9]+) of 128 rows; (.*) was not written");
  ASSERT_TRUE(std::regex_search(err, m, howFar)) << err;
  EXPECT_GE(std::stoul(m[1]), 1u);
  EXPECT_LT(std::stoul(m[1]), 128u);
  EXPECT_EQ(m[2], file.string());
  EXPECT_TRUE(entriesOf(files_).empty());
}

}  // namespace
