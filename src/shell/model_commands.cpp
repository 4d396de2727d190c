#include "shell/model_commands.hpp"

#include <array>
#include <initializer_list>
#include <mutex>

#include "camera/setting.hpp"
#include "shell/model_texts.hpp"

namespace orva::shell {
namespace {

using M = MenuItem;
using camera::Setting;

// Registers only these commands use; in AFP they go through the gateway.
constexpr Setting kFormatRegister = camera::registerSetting(0x11EE, 8);
constexpr Setting kResetRegister = camera::registerSetting(0xFCAC, 8);
constexpr Setting kOutputStateRegister = camera::registerSetting(0x1222, 8);
// The AFP restart function and the value that restarts.
constexpr std::uint16_t kRestartFunction = 0x0102;
constexpr std::uint32_t kRestart = 1;

constexpr std::uint8_t kPalFormat = 0x88;
constexpr std::uint8_t kNtscFormat = 0xAA;
// The clock register's values, and the model whose value 0 is 28.5 MHz (and that is not
// re-read through 0xFCC0 after its restart).
constexpr std::uint8_t kClock36MHz = 0xFF;
constexpr std::uint8_t kClock30MHz = 0x01;
constexpr std::uint8_t kClockLow = 0x00;
constexpr std::uint16_t kClock28_5MHzModel = 0x17F0;
// Menu word bit 8: the output mode is the digital output switch.
constexpr unsigned kDigitalOutputSwitchBit = 1u << 8;
// Lens-control word bit 3 follows the output mode.
constexpr std::uint16_t kOutputLensBit = 1u << 3;

constexpr std::array<CameraModeValue, 16> kCameraModes{{
    {M::Mode1080_50i, "1080 50i", 0x00, 5},
    {M::Mode720_50p, "720 50p", 0x01, 6},
    {M::Mode1080_25p, "1080 25p", 0x02, 7},
    {M::Mode1080_50iFrameOut, "1080 50i frame out (25PsF)", 0x03, 8},
    {M::Mode720_25p, "720 25p", 0x04, 10},
    {M::Mode1080_50p, "1080 50p", 0x05, 17},
    {M::Mode1080_60i, "1080 60i", 0x10, 1},
    {M::Mode720_60p, "720 60p", 0x11, 2},
    {M::Mode1080_30p, "1080 30p", 0x12, 3},
    {M::Mode1080_60iFrameOut, "1080 60i frame out (30PsF)", 0x13, 4},
    {M::Mode720_30p, "720 30p", 0x14, 9},
    {M::Mode1080_60p, "1080 60p", 0x15, 16},
    {M::Mode1080_5994i, "1080 59.94i", 0x30, 12},
    {M::Mode720_5994p, "720 59.94p", 0x31, 13},
    {M::Mode1080_2997p, "1080 29.97p", 0x32, 14},
    {M::Mode1080_5994p, "1080 59.94p", 0x35, 18},
}};

// The register value of a camera-mode function value. Every model's own mapping agrees with
// the values written above; a value outside them stands for no item.
std::optional<std::uint32_t> registerValueOf(std::uint32_t afp) {
  for (const auto& m : kCameraModes)
    if (m.afp == afp) return m.eap;
  return std::nullopt;
}

class Command {
 public:
  Command(ModelCommandContext& ctx, std::stop_token stop) : ctx_(ctx), stop_(std::move(stop)) {}

  ModelCommandOutcome run(MenuItem item) {
    switch (item) {
      case M::Pal: format(true); break;
      case M::Ntsc: format(false); break;
      case M::SoftReset: softReset(); break;
      case M::ExtKeyDisplayMode: displayMode(false); break;
      case M::PrivacyMaskMode: displayMode(true); break;
      case M::InterlaceMode: ccdDrive(true); break;
      case M::ProgressiveMode: ccdDrive(false); break;
      case M::DigitalOut:
      case M::AnalogOut:
        if ((ctx_.model.menuWord & kDigitalOutputSwitchBit) != 0) outputSwitch(item == M::DigitalOut);
        else outputMode(item == M::AnalogOut);
        break;
      case M::Mode1_720Line: lineMode(false); break;
      case M::Mode2_960Line: lineMode(true); break;
      case M::Clock36MHz: clock(kClock36MHz); break;
      case M::Clock30MHz: clock(kClock30MHz); break;
      case M::Clock27MHz:
      case M::Clock28_5MHz: clock(kClockLow); break;
      case M::GainNormal: gain(false); break;
      case M::GainHighSensitivity: gain(true); break;
      default:
        if (auto mode = cameraModeValue(item)) cameraMode(*mode);
        break;
    }
    return std::move(out_);
  }

 private:
  enum class Restart { Answered, Lost, Stopped };

  bool afp() const { return ctx_.link.protocol() == link::Protocol::Afp; }
  void heading(std::string_view text) { ctx_.monitor.heading(text); }

  // Before each step that reads, asks or changes something: false once a stop is requested.
  bool proceed() {
    if (!stop_.stop_requested()) return true;
    stopped();
    return false;
  }
  void stopped() {
    if (out_.stopped) return;
    out_.stopped = true;
    ctx_.monitor.line(texts::kCommandStopped);
  }

  bool read(const Setting& s, std::uint32_t& value) {
    return proceed() && camera::readSetting(s, value, ctx_.link, ctx_.eap, ctx_.codes);
  }
  bool write(const Setting& s, std::uint32_t value) {
    return proceed() && camera::writeSetting(s, value, ctx_.link, ctx_.eap, ctx_.codes);
  }
  bool confirm(std::string_view text, std::string_view title) {
    return proceed() &&
           ctx_.prompt.ask(text, title, core::Buttons::OkCancel, core::Icon::Question) == core::Answer::Ok;
  }
  bool wait(std::chrono::milliseconds d) {
    if (ctx_.clock.sleepFor(d, stop_)) return true;
    stopped();
    return false;
  }
  void purge() {
    auto lock = ctx_.link.command();
    ctx_.link.clearBuffers();
  }
  void check(MenuItem on, std::initializer_list<MenuItem> off) {
    for (auto item : off) out_.checks.emplace_back(item, false);
    out_.checks.emplace_back(on, true);
  }

  // The restart commands are sent even when a stop has been asked for meanwhile: they follow
  // a change the camera has taken, which it applies only when it restarts. Their outcome says
  // nothing, as the camera restarts before it has answered the whole command.
  void writeResetRegister() { camera::writeSetting(kResetRegister, 0, ctx_.link, ctx_.eap, ctx_.codes); }
  void restartCommand() {
    if (afp()) {
      ctx_.codes.write(kRestartFunction, std::array<std::uint32_t, 1>{kRestart});
      return;
    }
    ctx_.eap.writeByte(kResetRegister.eapRegister, 0);
  }
  // The camera restarts with the waiting cursor shown; what it said meanwhile is dropped.
  bool restartWait() {
    core::BusyCursor busy(ctx_.prompt);
    if (!wait(kSoftResetWait)) return false;
    purge();
    return true;
  }
  bool softResetAndWait() {
    if (afp()) {
      restartCommand();
    } else {
      // The frame's answer goes to the status line: the camera cuts it short as it restarts.
      core::EchoModeScope echo(ctx_.monitor, core::EchoMode::StatusLine);
      restartCommand();
    }
    return restartWait();
  }

  // Reads 0xFCC0 until the restarted camera answers, for a bounded time.
  Restart awaitRestart() {
    const auto giveUpAt = ctx_.clock.now() + kRestartAnswerLimit;
    for (;;) {
      std::uint32_t value = 0;
      if (!proceed()) return Restart::Stopped;
      if (camera::readSetting(camera::kLineModeRegister, value, ctx_.link, ctx_.eap, ctx_.codes))
        return Restart::Answered;
      if (ctx_.clock.now() >= giveUpAt) {
        ctx_.monitor.line(texts::kCameraLostAfterRestart);
        out_.cameraLost = true;
        return Restart::Lost;
      }
      if (!wait(kRestartPollPause)) return Restart::Stopped;
    }
  }

  // The window closes an open panel; the wait lets the panel's own closing traffic end first.
  bool closePanels() {
    if (!proceed()) return false;
    if (ctx_.closePanels) ctx_.closePanels();
    return wait(kPanelCloseWait);
  }

  void identify() {
    if (!ctx_.identify) return;
    camera::ModelRecord record;
    camera::IdentificationFlags flags;
    camera::LauncherFields fields;
    if (!ctx_.identify(record, flags, fields)) return;
    out_.record = record;
    out_.flags = flags;
    out_.fields = fields;
  }

  // ---- the commands

  void format(bool pal) {
    heading(pal ? texts::kChangingFormatPal : texts::kChangingFormatNtsc);
    if (!write(kFormatRegister, pal ? kPalFormat : kNtscFormat)) return;
    check(pal ? M::Pal : M::Ntsc, {pal ? M::Ntsc : M::Pal});
    if (ctx_.model.formatSwitchMode != 1) return;
    heading(texts::kSoftResetOn);
    writeResetRegister();
    if (!wait(kFormatResetWait)) return;
    out_.formatField = std::string(pal ? texts::kPalModel : texts::kNtscModel);
  }

  void softReset() {
    switch (ctx_.model.formatSwitchMode) {
      case 2:
        out_.checks.emplace_back(M::SoftReset, true);
        out_.formatSwitchMode = 1;
        break;
      case 1:
        out_.checks.emplace_back(M::SoftReset, false);
        out_.formatSwitchMode = 2;
        break;
      case 3:
        if (!proceed()) return;
        heading(texts::kSoftResetOn);
        softResetAndWait();
        break;
      default: out_.greySoftReset = true; break;
    }
  }

  void displayMode(bool privacyMask) {
    std::uint32_t value = 0;
    if (!read(camera::kDisplayModeRegister, value)) return;
    if (((value & 1u) != 0) == privacyMask) return;
    if (!confirm(texts::kSoftResetQuestion, texts::kConfirmation)) return;
    if (!write(camera::kDisplayModeRegister, privacyMask ? value | 1u : value & ~1u)) return;
    check(privacyMask ? M::PrivacyMaskMode : M::ExtKeyDisplayMode,
          {privacyMask ? M::ExtKeyDisplayMode : M::PrivacyMaskMode});
    writeResetRegister();
    restartWait();
  }

  void ccdDrive(bool interlace) {
    if (ctx_.wdrPanelOpen) {
      ctx_.prompt.message(texts::kWdrPanelOpen, texts::kCcdDriveTitle);
      return;
    }
    heading(texts::kCcdDriveModeCheck);
    std::uint32_t value = 0;
    if (!read(camera::kDriveModeRegister, value)) return;
    if (((value & 1u) != 0) == interlace) return;
    if (!confirm(interlace ? texts::kToInterlaceQuestion : texts::kToProgressiveQuestion,
                 interlace ? texts::kCcdDriveInterlaceTitle : texts::kCcdDriveTitle))
      return;
    heading(interlace ? texts::kInterlaceMode : texts::kProgressiveMode);
    if (!write(camera::kDriveModeRegister, interlace ? 1u : 0u)) return;
    check(interlace ? M::InterlaceMode : M::ProgressiveMode, {interlace ? M::ProgressiveMode : M::InterlaceMode});
    writeResetRegister();
    restartWait();
  }

  // The models with a digital output switch: no question and no restart.
  void outputSwitch(bool digital) {
    std::uint32_t value = 0;
    if (!read(camera::kDigitalOutputSetting, value)) return;
    const bool digitalNow = afp() ? value == 2 : value != 0;
    if (digitalNow == digital) return;
    heading(digital ? texts::kDigitalOutputOn : texts::kDigitalOutputOff);
    const std::uint32_t next = digital ? (afp() ? 2u : 1u) : (afp() ? 1u : 0u);
    if (!write(camera::kDigitalOutputSetting, next)) return;
    if (digital) {
      out_.checks.emplace_back(M::DigitalOut, true);
      out_.checks.emplace_back(M::AnalogOut, false);
    } else {
      out_.checks.emplace_back(M::DigitalOut, false);
      out_.checks.emplace_back(M::AnalogOut, true);
    }
  }

  void outputMode(bool analog) {
    heading(texts::kOutputModeCheck);
    std::uint32_t value = 0;
    if (!read(camera::kDriveModeRegister, value)) return;
    if (((value & 2u) != 0) == analog) return;
    if (!confirm(analog ? texts::kToAnalogQuestion : texts::kToDigitalQuestion, texts::kOutputModeTitle)) return;
    std::uint16_t lensControl = ctx_.model.lensControlWord;
    std::uint32_t mode = 0;
    if (analog) {
      heading(texts::kAnalogOutputMode);
      lensControl = static_cast<std::uint16_t>(lensControl & ~kOutputLensBit);
      mode = 2;
    } else {
      heading(texts::kDigitalOutputMode);
      std::uint32_t state = 0;
      {
        core::EchoModeScope quiet(ctx_.monitor, core::EchoMode::Hidden);
        if (!read(kOutputStateRegister, state)) return;
      }
      lensControl = (state & 0x80u) == 0 ? static_cast<std::uint16_t>(lensControl | kOutputLensBit)
                                         : static_cast<std::uint16_t>(lensControl & ~kOutputLensBit);
      mode = 0;
    }
    if (!write(camera::kDriveModeRegister, mode)) return;
    check(analog ? M::AnalogOut : M::DigitalOut, {analog ? M::DigitalOut : M::AnalogOut});
    if (lensControl != ctx_.model.lensControlWord) {
      camera::ModelRecord record = ctx_.model;
      record.lensControlWord = lensControl;
      out_.record = record;
    }
    writeResetRegister();
    restartWait();
  }

  void lineMode(bool mode2) {
    heading(texts::kCameraModeCheck);
    std::uint32_t value = 0;
    if (!read(camera::kLineModeRegister, value)) return;
    const std::uint32_t wanted = mode2 ? 1u : 0u;
    if (value == wanted) return;
    heading(mode2 ? texts::kCameraMode960LineSet : texts::kCameraMode720LineSet);
    if (!closePanels()) return;
    if (!write(camera::kLineModeRegister, wanted)) return;
    check(mode2 ? M::Mode2_960Line : M::Mode1_720Line, {mode2 ? M::Mode1_720Line : M::Mode2_960Line});
    core::BusyCursor busy(ctx_.prompt);
    if (!wait(kLineModeSettleWait)) return;
    if (awaitRestart() != Restart::Answered) return;
    identify();
  }

  void cameraMode(const CameraModeValue& mode) {
    heading(texts::kCameraModeCheck);
    std::uint32_t value = 0;
    if (!read(camera::kCameraModeSetting, value)) return;
    const std::optional<std::uint32_t> current = afp() ? registerValueOf(value) : std::optional(value);
    if (current == mode.eap) return;
    std::string text(texts::kCameraModeSetPrefix);
    text += mode.text;
    text += texts::kCameraModeSetSuffix;
    heading(text);
    if (!write(camera::kCameraModeSetting, afp() ? mode.afp : mode.eap)) return;
    // Whatever item showed the mode before loses its mark.
    for (auto item : camera::cameraModeItems())
      if (item != mode.item) out_.checks.emplace_back(item, false);
    out_.checks.emplace_back(mode.item, true);
    softResetAndWait();
  }

  void clock(std::uint8_t wanted) {
    heading(texts::kClockCheck);
    std::uint32_t value = 0;
    if (!read(camera::kClockRegister, value)) return;
    if (value == wanted) return;
    const bool slow28_5 = ctx_.model.modelCode == kClock28_5MHzModel;
    heading(wanted == kClock36MHz   ? texts::kClock36MHzSet
            : wanted == kClock30MHz ? texts::kClock30MHzSet
            : slow28_5              ? texts::kClock28_5MHzSet
                                    : texts::kClock27MHzSet);
    if (!closePanels()) return;
    if (!write(camera::kClockRegister, wanted)) return;
    // Value 0 is both "27MHz" and "28.5MHz": the model keeps one of them.
    for (auto item : camera::clockItems()) {
      const bool on = item == M::Clock36MHz   ? wanted == kClock36MHz
                      : item == M::Clock30MHz ? wanted == kClock30MHz
                                              : wanted == kClockLow;
      out_.checks.emplace_back(item, on);
    }
    core::BusyCursor busy(ctx_.prompt);
    writeResetRegister();
    if (!wait(kSoftResetWait)) return;
    purge();
    if (!slow28_5 && awaitRestart() != Restart::Answered) return;
    busy.restore();
    if (!wait(kClockSettleWait)) return;
    identify();
  }

  void gain(bool high) {
    heading(texts::kSetGainUp);
    std::uint32_t value = 0;
    if (!read(camera::kGainUpModeSetting, value)) return;
    const std::uint32_t wanted = afp() ? (high ? 2u : 1u) : (high ? 1u : 0u);
    if (value == wanted) return;
    heading(high ? texts::kHighSensitivityModeSet : texts::kNormalModeSet);
    if (!write(camera::kGainUpModeSetting, wanted)) return;
    check(high ? M::GainHighSensitivity : M::GainNormal, {high ? M::GainNormal : M::GainHighSensitivity});
    restartCommand();
    if (!wait(kSoftResetWait)) return;
    purge();
    identify();
  }

  ModelCommandContext& ctx_;
  std::stop_token stop_;
  ModelCommandOutcome out_;
};

}  // namespace

std::optional<CameraModeValue> cameraModeValue(MenuItem item) {
  for (const auto& m : kCameraModes)
    if (m.item == item) return m;
  return std::nullopt;
}

bool isModelCommand(MenuItem item) {
  switch (item) {
    case M::Ntsc:
    case M::Pal:
    case M::SoftReset:
    case M::ExtKeyDisplayMode:
    case M::PrivacyMaskMode:
    case M::ProgressiveMode:
    case M::InterlaceMode:
    case M::DigitalOut:
    case M::AnalogOut:
    case M::Mode1_720Line:
    case M::Mode2_960Line:
    case M::Clock36MHz:
    case M::Clock30MHz:
    case M::Clock27MHz:
    case M::Clock28_5MHz:
    case M::GainNormal:
    case M::GainHighSensitivity: return true;
    default: return cameraModeValue(item).has_value();
  }
}

ModelCommandOutcome runModelCommand(MenuItem item, ModelCommandContext& ctx, std::stop_token stop) {
  return Command(ctx, std::move(stop)).run(item);
}

}  // namespace orva::shell
