#include "eeprom/backup.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "core/monitor_sink.hpp"
#include "link/gateway.hpp"

namespace orva::eeprom {

namespace {

// Block-read mode in which the camera answers a ten-byte block read.
constexpr int kBlockReadRows = 2;
// The second block of a row starts here, so both blocks stay inside the row.
constexpr std::size_t kSecondBlock = kRowBytes - link::eap::kBlockReadBytes;

static_assert(2 * link::eap::kBlockReadBytes >= kRowBytes, "two block reads cover a row");

}  // namespace

std::string_view backupMessage(BackupResult result) {
  switch (result) {
    case BackupResult::NoWindow: return "It has not saved at File. (Not Create Window) ";
    case BackupResult::FileNotOpened: return "It has not saved at File. (File dose not Open) ";
    case BackupResult::CommunicationError: return "It has not saved at File. (Communication Error) ";
    default: return {};
  }
}

bool BackupRun::readRowBlocks(std::uint16_t address, std::uint8_t* row) {
  std::array<std::uint8_t, link::eap::kBlockReadBytes> block{};
  if (!eap_.blockRead(address, block)) return false;
  std::memcpy(row, block.data(), block.size());
  if (!eap_.blockRead(static_cast<std::uint16_t>(address + kSecondBlock), block)) return false;
  std::memcpy(row + kSecondBlock, block.data(), block.size());
  return true;
}

bool BackupRun::readRow(std::uint16_t address, std::uint8_t* row) {
  if (link_.protocol() == link::Protocol::Afp) {
    for (std::size_t i = 0; i < kRowBytes; ++i)
      if (!link::gatewayReadByte(afp_, link_, static_cast<std::uint16_t>(address + i), row[i])) return false;
    return true;
  }
  if (link_.blockReadMode() == kBlockReadRows) return readRowBlocks(address, row);
  for (std::size_t i = 0; i < kRowBytes; ++i)
    if (!eap_.readByte(static_cast<std::uint16_t>(address + i), row[i])) return false;
  return true;
}

BackupOutcome BackupRun::run(const BackupRequest& request, std::stop_token stop) {
  BackupOutcome outcome;
  const Range& range = request.range;
  auto& monitor = link_.monitor();
  monitor.line(kBackupStartText);

  // Without a camera the reads only show their frames: there is nothing to back up.
  if (link_.noCameraMode() == link::NoCameraMode::Absent) {
    outcome.result = BackupResult::CommunicationError;
    outcome.why = "no camera is present";
    return outcome;
  }
  const bool afp = link_.protocol() == link::Protocol::Afp;
  // The gateway reads whole registers: the camera is asked for rows again only after it has
  // been identified again.
  if (afp) link_.setBlockReadMode(0);
  const bool withHeader = !afp && link_.blockReadMode() == kBlockReadRows && request.header;

  Image image;
  image.start = range.start;
  image.bytes.assign(range.rows() * kRowBytes, 0);
  const auto bytesPerStep = static_cast<std::size_t>(std::max(range.bytesPerStep, 1));
  std::size_t shownSteps = 0;
  prompt_.progress(kBackupCaption, 0, kBackupProgressSteps);
  {
    core::EchoModeScope statusLine(monitor, core::EchoMode::StatusLine);
    for (std::size_t r = 0; r < range.rows(); ++r) {
      if (stop.stop_requested() || prompt_.cancelled()) {
        outcome.result = BackupResult::Cancelled;
        return outcome;
      }
      const auto address = static_cast<std::uint16_t>(range.start + r * kRowBytes);
      if (!readRow(address, image.bytes.data() + r * kRowBytes)) {
        outcome.result = BackupResult::CommunicationError;
        outcome.why = fmt::format("the camera did not answer the read of row {:04X}", address);
        return outcome;
      }
      outcome.rowsRead = r + 1;
      const std::size_t steps = std::min(kBackupProgressSteps, (r + 1) * kRowBytes / bytesPerStep);
      if (steps != shownSteps) {
        shownSteps = steps;
        prompt_.progress(kBackupCaption, steps, kBackupProgressSteps);
      }
    }
  }
  if (core::Status saved = writeImageFile(request.file, image, withHeader ? request.header : std::nullopt); !saved) {
    outcome.result = BackupResult::FileNotOpened;
    outcome.why = saved.message();
    return outcome;
  }
  // The steps of the range need not add up to a full bar; a finished backup shows one.
  prompt_.progress(kBackupCaption, kBackupProgressSteps, kBackupProgressSteps);
  monitor.line(kBackupDoneText);
  outcome.result = BackupResult::Done;
  outcome.backupMade = true;
  return outcome;
}

}  // namespace orva::eeprom
