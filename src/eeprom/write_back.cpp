#include "eeprom/write_back.hpp"

#include <fmt/format.h>

#include <algorithm>

#include "core/monitor_sink.hpp"
#include "link/gateway.hpp"

namespace orva::eeprom {

std::string_view writeBackMessage(WriteBackResult result) {
  switch (result) {
    case WriteBackResult::NoWindow: return "It has not performed. (Not Create Window) ";
    case WriteBackResult::FileNotOpened: return "It has not executed. (Non EEPROM.MEM File) ";
    case WriteBackResult::CommunicationError: return "It has not performed. (Communication Error) ";
    case WriteBackResult::VerifyFailed: return "The camera EEPROM does not read back as the file.";
    case WriteBackResult::Refused:
      return "The camera speaks AFP; this write needs EAP register writes. Switch the camera to EAP first.";
    default: return {};
  }
}

std::vector<AddressDifference> compareImages(const Image& file, const Image& camera, const AdjustmentAddresses* skip) {
  std::vector<AddressDifference> out;
  const std::size_t n = std::min(file.bytes.size(), camera.bytes.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto address = static_cast<std::uint16_t>(file.start + i);
    if (skip && skip->contains(address)) continue;
    if (file.bytes[i] != camera.bytes[i]) out.push_back({address, file.bytes[i], camera.bytes[i]});
  }
  return out;
}

bool WriteBackRun::writeByte(std::uint16_t address, std::uint8_t value, bool eapWrites) {
  if (eapWrites) return eap_.writeByte(address, value);
  return link::gatewayWriteByte(afp_, link_, address, value);
}

WriteBackOutcome WriteBackRun::write(const WriteBackRequest& request, const Image& image, bool eapWrites,
                                     std::stop_token stop) {
  WriteBackOutcome out;
  out.rowsInFile = image.rows();
  const bool except = request.method == WriteMethod::ExceptAdjustment;
  const auto linesPerStep = static_cast<std::size_t>(std::max(request.range.linesPerStep, 1));
  std::size_t shownSteps = 0;
  prompt_.progress(kWriteCaption, 0, kBackupProgressSteps);
  core::EchoModeScope statusLine(link_.monitor(), core::EchoMode::StatusLine);
  for (std::size_t r = 0; r < image.rows(); ++r) {
    if (stop.stop_requested() || prompt_.cancelled()) {
      out.result = WriteBackResult::Cancelled;
      out.why = fmt::format("stopped after {} of {} rows; the camera holds the file's rows up to {:04X} and its "
                            "own values from there",
                            r, image.rows(), image.start + r * kRowBytes);
      return out;
    }
    for (std::size_t i = 0; i < kRowBytes; ++i) {
      const auto address = static_cast<std::uint16_t>(image.start + r * kRowBytes + i);
      if (except && request.adjustment.contains(address)) {
        ++out.bytesKept;
        continue;
      }
      if (!writeByte(address, image.bytes[r * kRowBytes + i], eapWrites)) {
        out.result = WriteBackResult::CommunicationError;
        out.why = fmt::format("the camera did not take the write of {:04X} (row {} of {}); it holds the file's values "
                              "before {:04X} and its own from there",
                              address, r + 1, image.rows(), address);
        return out;
      }
      ++out.bytesWritten;
    }
    out.rowsWritten = r + 1;
    const std::size_t steps = std::min(kBackupProgressSteps, (r + 1) / linesPerStep);
    if (steps != shownSteps) {
      shownSteps = steps;
      prompt_.progress(kWriteCaption, steps, kBackupProgressSteps);
    }
  }
  return out;
}

WriteBackOutcome WriteBackRun::run(const WriteBackRequest& request, std::stop_token stop) {
  WriteBackOutcome out;
  const bool camWrite = request.method != WriteMethod::WriteBack;
  const bool map = imageVariantFor(request.file) == ImageVariant::Map;
  const bool eapWrites = camWrite || map || link_.protocol() == link::Protocol::Eap;
  if (eapWrites && link_.protocol() == link::Protocol::Afp) {
    out.result = WriteBackResult::Refused;
    out.why = camWrite ? "\"CAM EEPROM Data Write\" writes with EAP register writes"
                       : "a MAP file is written with EAP register writes";
    return out;
  }
  if (link_.noCameraMode() == link::NoCameraMode::Absent) {
    out.result = WriteBackResult::CommunicationError;
    out.why = "no camera is present";
    return out;
  }
  auto image = request.image ? core::Result<Image>(*request.image) : readImageFile(request.file, request.range);
  if (!image) {
    out.result = WriteBackResult::FileNotOpened;
    out.why = image.message();
    return out;
  }

  auto& monitor = link_.monitor();
  monitor.line(kWriteStartText);
  if (image->rows() < request.range.rows())
    monitor.line(fmt::format("The file holds {} of the range's {} rows ({:04X}-{:04X}); only those are written.",
                             image->rows(), request.range.rows(), request.range.start,
                             request.range.start + image->rows() * kRowBytes - 1));
  out = write(request, *image, eapWrites, stop);
  if (out.result != WriteBackResult::Done) return out;
  if (changed_) changed_->clear();

  if (request.verify) {
    auto back = reader_.read(request.range, image->rows(), kVerifyCaption, stop);
    if (back.end == CameraImageReader::End::Cancelled) {
      out.result = WriteBackResult::Cancelled;
      out.why = "the file was written; the read-back check was stopped";
      return out;
    }
    if (back.end == CameraImageReader::End::Failed) {
      out.result = WriteBackResult::CommunicationError;
      out.why = "the file was written, but the read-back check failed: " + back.why;
      return out;
    }
    out.differences = compareImages(*image, back.image, request.method == WriteMethod::ExceptAdjustment ? &request.adjustment : nullptr);
    if (!out.differences.empty()) {
      const auto& d = out.differences.front();
      out.result = WriteBackResult::VerifyFailed;
      out.why = fmt::format("{} address{} differ{}; the first is {:04X}: file {:02X}, camera {:02X}",
                            out.differences.size(), out.differences.size() == 1 ? "" : "es",
                            out.differences.size() == 1 ? "s" : "", d.address, d.file, d.camera);
      monitor.line("Read-back check: " + out.why);
      return out;
    }
    monitor.line(fmt::format("Read-back check: the camera holds the file's {} bytes.", out.bytesWritten));
  }
  prompt_.progress(kWriteCaption, kBackupProgressSteps, kBackupProgressSteps);
  switch (request.method) {
    case WriteMethod::WriteBack: monitor.line(kWriteDoneText); break;
    case WriteMethod::AllData: monitor.line(kAllDataDoneText); break;
    case WriteMethod::ExceptAdjustment: monitor.line(kExceptAdjDoneText); break;
  }
  return out;
}

}  // namespace orva::eeprom
