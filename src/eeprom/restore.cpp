#include "eeprom/restore.hpp"

#include <fmt/format.h>

#include <array>

#include "camera/code_map.hpp"
#include "core/monitor_sink.hpp"
#include "eeprom/factory_images.hpp"
#include "eeprom/write_back.hpp"
#include "link/gateway.hpp"

namespace orva::eeprom {
namespace {

constexpr std::string_view kAttention = "Attention";
constexpr std::string_view kInformation = "Information";

}  // namespace

bool Restore::offer(const CameraContext& camera) {
  if (!factoryImageFor(camera.modelCode) || changed_.empty()) return false;
  if (prompt_.ask(kRestoreQuestion, kAttention, core::Buttons::OkCancel, core::Icon::Question) == core::Answer::Ok)
    run(camera);
  else
    changed_.clear();
  return true;
}

bool Restore::writeByte(std::uint16_t address, std::uint8_t value) {
  if (link_.protocol() == link::Protocol::Afp) return link::gatewayWriteByte(afp_, link_, address, value);
  return eap_.writeByte(address, value);
}

void Restore::softResetAndWait() {
  link_.monitor().line(kSoftResetText);
  // The camera restarts before it has answered the whole command: the outcome says nothing.
  if (link_.protocol() == link::Protocol::Afp) {
    camera::FunctionCodes codes(afp_, link_);
    codes.write(kSoftResetFunction, std::array<std::uint32_t, 1>{1});
  } else {
    eap_.writeByte(kSoftResetRegister, 0);
  }
  link_.clock().sleepFor(kSoftResetWait);
  link_.clearBuffers();
}

void Restore::finish(const CameraContext& camera) {
  prompt_.busy(false);
  link_.monitor().line(kWriteDoneText);
  if (camera.identify) camera.identify();
  prompt_.message(kRestoredText, kInformation, core::Icon::Information);
}

RestoreOutcome Restore::run(const CameraContext& camera) {
  RestoreOutcome out;
  // The list is a snapshot: the restore's own writes are noted again while it runs.
  const std::vector<std::uint16_t> addresses = changed_.addresses();
  std::vector<bool> wanted(0x10000, false);
  for (auto a : addresses) wanted[a] = true;

  auto file = findFactoryImage(camera.modelCode, camera.searchPath);
  if (!file) {
    changed_.clear();
    prompt_.message(fmt::format("{}\n{}", kImageMissingText, file.message()), kAttention);
    out.result = RestoreResult::NoImage;
    out.why = file.message();
    return out;
  }
  // The whole image is checked before the first write, so a damaged image changes nothing.
  FactoryImageRead image = readFactoryImage(*file, camera.range);
  requireCoverage(image, *factoryImageFor(camera.modelCode), camera.range);
  if (!image.ok()) {
    std::string_view text = kImageMissingText;
    if (image.fault == FactoryImageFault::NoLineEnds) text = kImageNoLineEndsText;
    if (image.fault == FactoryImageFault::InvalidData || image.fault == FactoryImageFault::Short)
      text = kImageInvalidText;
    // Nothing was written from a short image: the camera still holds the session's changes, so
    // the list stays for the next offer.
    if (image.fault != FactoryImageFault::Short) changed_.clear();
    prompt_.message(fmt::format("{}\n{}", text, image.message), kAttention);
    out.result = image.fault == FactoryImageFault::Unreadable ? RestoreResult::NoImage : RestoreResult::BadImage;
    out.why = image.message;
    return out;
  }
  changed_.clear();

  link_.reopen();
  prompt_.busy(true);
  auto& monitor = link_.monitor();
  monitor.line(kWriteStartText);
  bool ok = true;
  {
    core::EchoModeScope statusLine(monitor, core::EchoMode::StatusLine);
    const Image& values = image.image;
    auto covered = [&](std::uint32_t a) { return a >= values.start && a < values.start + values.bytes.size(); };
    prompt_.progress(kWriteCaption, 0, kBackupProgressSteps);
    for (std::size_t i = 0; ok && i < values.bytes.size(); ++i) {
      const auto address = static_cast<std::uint16_t>(values.start + i);
      if (!wanted[address]) continue;
      ok = writeByte(address, values.bytes[i]);
      if (ok) ++out.written;
    }
    // Preset memories beyond the image have no factory values: they go back to empty. Where
    // the image covers them (the large EEPROMs) they hold per-unit data, which got its
    // factory value above.
    for (std::uint32_t a = kPresetArea; ok && a <= kPresetAreaEnd; ++a) {
      if (!wanted[a] || covered(a)) continue;
      ok = writeByte(static_cast<std::uint16_t>(a), 0xFF);
      if (ok) ++out.written;
    }
    if (ok && wanted[kClearedRegister] && !covered(kClearedRegister)) {
      ok = writeByte(kClearedRegister, 0xFF);
      if (ok) ++out.written;
    }
    prompt_.progress(kWriteCaption, kBackupProgressSteps, kBackupProgressSteps);
  }
  changed_.clear();
  if (!ok) {
    prompt_.busy(false);
    out.result = RestoreResult::WriteFailed;
    out.why = fmt::format("a write failed after {} of the {} changed addresses", out.written, addresses.size());
    return out;
  }
  softResetAndWait();
  finish(camera);
  return out;
}

FactoryResetResult Restore::factoryReset(const CameraContext& camera) {
  changed_.clear();
  prompt_.busy(true);
  auto& monitor = link_.monitor();
  monitor.heading(kFactoryResetText);
  auto failed = [&](FactoryResetResult result) {
    prompt_.busy(false);
    prompt_.message(kEepromWriteErrorText, kAttention);
    return result;
  };
  if (link_.protocol() == link::Protocol::Afp) {
    camera::FunctionCodes codes(afp_, link_);
    if (!codes.write(kFactoryDefaultFunction, std::array<std::uint32_t, 1>{1})) return failed(FactoryResetResult::Failed);
  } else {
    if (!eap_.writeByte(kFactoryDefaultRegister, 1)) return failed(FactoryResetResult::Failed);
    // The camera counts the register up to 3 when it is done, or to 4 when it failed.
    auto& clock = link_.clock();
    const auto limit = clock.now() + kFactoryResetLimit;
    for (;;) {
      std::uint8_t state = 0;
      if (!eap_.readByte(kFactoryDefaultRegister, state) || state == kFactoryDefaultFailed)
        return failed(FactoryResetResult::Failed);
      if (state == kFactoryDefaultDone) break;
      if (clock.now() >= limit) {
        monitor.line(fmt::format("The camera did not finish its factory default within {} s.",
                                 std::chrono::duration_cast<std::chrono::seconds>(kFactoryResetLimit).count()));
        return failed(FactoryResetResult::TimedOut);
      }
      clock.sleepFor(kFactoryPollPause);
    }
  }
  softResetAndWait();
  finish(camera);
  return FactoryResetResult::Done;
}

}  // namespace orva::eeprom
