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
static_assert(link::eap::kRowReadBytes == kRowBytes, "a row read is an image row");

}  // namespace

std::string_view backupMessage(BackupResult result) {
  switch (result) {
    case BackupResult::NoWindow: return "It has not saved at File. (Not Create Window) ";
    case BackupResult::FileNotOpened: return "It has not saved at File. (File dose not Open) ";
    case BackupResult::CommunicationError: return "It has not saved at File. (Communication Error) ";
    default: return {};
  }
}

ImageHeader imageHeader(const camera::ModelRecord& record, const core::WallClock& clock) {
  ImageHeader h;
  h.modelName = record.name;
  if (h.modelName.size() < kHeaderModelNameWidth) h.modelName.resize(kHeaderModelNameWidth, ' ');
  h.cameraVersion = record.cameraVersion;
  h.reg0108 = record.reg0108;
  h.reg0109 = record.reg0109;
  h.reg010A = record.reg010A;
  h.reg010B = record.reg010B;
  h.saved = clock.localNow();
  return h;
}

bool CameraImageReader::readRow(std::uint16_t address, std::uint8_t* row) {
  if (link_.protocol() == link::Protocol::Afp) {
    for (std::size_t i = 0; i < kRowBytes; ++i)
      if (!link::gatewayReadByte(afp_, link_, static_cast<std::uint16_t>(address + i), row[i])) return false;
    return true;
  }
  if (link_.blockReadMode() == kBlockReadRows) {
    std::array<std::uint8_t, link::eap::kRowReadBytes> values{};
    if (!eap_.readRow(address, values)) return false;
    std::memcpy(row, values.data(), values.size());
    return true;
  }
  for (std::size_t i = 0; i < kRowBytes; ++i)
    if (!eap_.readByte(static_cast<std::uint16_t>(address + i), row[i])) return false;
  return true;
}

CameraImageReader::Read CameraImageReader::read(const Range& range, std::size_t rows, std::string_view caption,
                                                std::stop_token stop) {
  Read out;
  const std::size_t count = rows == 0 ? range.rows() : std::min(rows, range.rows());
  out.image.start = range.start;
  out.image.bytes.assign(count * kRowBytes, 0);
  // Without a camera the reads only show their frames: there is nothing to read.
  if (link_.noCameraMode() == link::NoCameraMode::Absent) {
    out.end = End::Failed;
    out.why = "no camera is present";
    out.image.bytes.clear();
    return out;
  }
  const auto bytesPerStep = static_cast<std::size_t>(std::max(range.bytesPerStep, 1));
  std::size_t shownSteps = 0;
  prompt_.progress(caption, 0, kBackupProgressSteps);
  core::EchoModeScope statusLine(link_.monitor(), core::EchoMode::StatusLine);
  for (std::size_t r = 0; r < count; ++r) {
    if (stop.stop_requested() || prompt_.cancelled()) {
      out.end = End::Cancelled;
      out.image.bytes.resize(r * kRowBytes);
      return out;
    }
    const auto address = static_cast<std::uint16_t>(range.start + r * kRowBytes);
    if (!readRow(address, out.image.bytes.data() + r * kRowBytes)) {
      out.end = End::Failed;
      out.why = fmt::format("the camera did not answer the read of row {:04X}", address);
      out.image.bytes.resize(r * kRowBytes);
      return out;
    }
    const std::size_t steps = std::min(kBackupProgressSteps, (r + 1) * kRowBytes / bytesPerStep);
    if (steps != shownSteps) {
      shownSteps = steps;
      prompt_.progress(caption, steps, kBackupProgressSteps);
    }
  }
  return out;
}

BackupOutcome BackupRun::run(const BackupRequest& request, std::stop_token stop) {
  BackupOutcome outcome;
  link_.monitor().line(kBackupStartText);
  const bool afp = link_.protocol() == link::Protocol::Afp;
  // The gateway reads whole registers: the camera is asked for rows again only after it has
  // been identified again.
  if (afp) link_.setBlockReadMode(0);
  const bool withHeader = !afp && link_.blockReadMode() == kBlockReadRows && request.header;

  auto read = reader_.read(request.range, 0, kBackupCaption, stop);
  outcome.rowsRead = read.image.rows();
  switch (read.end) {
    case CameraImageReader::End::Cancelled:
      outcome.result = BackupResult::Cancelled;
      return outcome;
    case CameraImageReader::End::Failed:
      outcome.result = BackupResult::CommunicationError;
      outcome.why = read.why;
      return outcome;
    case CameraImageReader::End::Done:
      break;
  }
  if (core::Status saved = writeImageFile(request.file, read.image, withHeader ? request.header : std::nullopt); !saved) {
    outcome.result = BackupResult::FileNotOpened;
    outcome.why = saved.message();
    return outcome;
  }
  // The steps of the range need not add up to a full bar; a finished backup shows one.
  prompt_.progress(kBackupCaption, kBackupProgressSteps, kBackupProgressSteps);
  link_.monitor().line(kBackupDoneText);
  outcome.result = BackupResult::Done;
  outcome.backupMade = true;
  return outcome;
}

}  // namespace orva::eeprom
