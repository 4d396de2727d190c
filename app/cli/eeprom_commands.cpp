#include "eeprom_commands.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <optional>

#include "camera/gating.hpp"
#include "core/atomic_file.hpp"
#include "core/wall_clock.hpp"
#include "eeprom/adjustment.hpp"
#include "eeprom/backup.hpp"
#include "eeprom/changed_addresses.hpp"
#include "eeprom/command_file.hpp"
#include "eeprom/factory_images.hpp"
#include "eeprom/range.hpp"
#include "eeprom/restore.hpp"
#include "eeprom/write_back.hpp"
#include "sigint_stop.hpp"

namespace orva::cli {
namespace {

constexpr std::string_view kCameraOperand = "camera";

// Connects and identifies; the range of the camera found.
std::optional<eeprom::Range> identifiedRange(Tool& tool, const shell::Settings& s, camera::ModelRecord& record) {
  camera::IdentificationFlags flags;
  if (!tool.connect() || !tool.identify(s, record, flags)) return std::nullopt;
  return eeprom::cameraRange(record.modelCode, s.eepromSize);
}

eeprom::BackupOutcome backUp(Tool& tool, const shell::Settings& s, const camera::ModelRecord& record,
                             const eeprom::Range& range, const std::filesystem::path& file, std::stop_token stop) {
  std::optional<eeprom::ImageHeader> header;
  // "EPFile model" 1 heads a backup read in rows with the camera's version and the date.
  if (s.epfileModel == 1 && !tool.afp() && tool.link().blockReadMode() == 2)
    header = eeprom::imageHeader(record, core::SystemWallClock());
  ProgressPrompt prompt(tool.prompt());
  eeprom::BackupRun run(tool.link(), tool.eap(), tool.afpChannel(), prompt);
  return run.run({range, file, header}, stop);
}

// Says how a backup ended; the exit status.
int reportBackup(const eeprom::BackupOutcome& outcome, const eeprom::Range& range, const std::filesystem::path& file,
                 std::ostream& err) {
  using eeprom::BackupResult;
  const std::string message(eeprom::backupMessage(outcome.result));
  switch (outcome.result) {
    case BackupResult::Done:
      return kExitOk;
    case BackupResult::Cancelled:
      say(err, fmt::format("backup cancelled after {} of {} rows; {} was not written", outcome.rowsRead, range.rows(),
                      file.string()));
      return kExitCamera;
    case BackupResult::FileNotOpened:
      say(err, message);
      say(err, outcome.why);
      return kExitUsage;
    default:
      say(err, message);
      say(err, fmt::format("{} after {} of {} rows; {} was not written", outcome.why, outcome.rowsRead, range.rows(),
                      file.string()));
      return kExitCamera;
  }
}

int backupCommand(const Options& o, const shell::Settings& s, std::ostream& err) {
  SigintStop interrupt;
  Tool tool(o, s);
  camera::ModelRecord record;
  auto range = identifiedRange(tool, s, record);
  if (!range) return kExitCamera;
  eeprom::echoFileChoice(tool.link().monitor(), o.target);
  return reportBackup(backUp(tool, s, record, *range, o.target, interrupt.token()), *range, o.target, err);
}

// True when both names reach one file (the same device and inode: a second name, a link, a
// relative path). A name with no file behind it is no file at all.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

int writeCommand(const Options& o, const shell::Settings& s, std::ostream& err) {
  eeprom::WriteBackRequest request;
  request.file = o.target;
  request.verify = !o.noVerify && s.eepromVerify != 0;
  // A backup over the image would put the camera's bytes in place of the operator's: refused
  // before the camera is asked anything.
  std::optional<std::filesystem::path> backup;
  if (!o.noBackup)
    backup = o.backupTo.empty() ? datedBackupPath(request.file, core::SystemWallClock().localNow())
                                : std::filesystem::path(o.backupTo);
  if (backup && sameFile(*backup, request.file)) {
    say(err, fmt::format("the backup {} is the image file {} itself; back up to another file", backup->string(),
                         request.file.string()));
    return kExitUsage;
  }
  if (!o.exceptAdj.empty()) {
    auto adjustment = eeprom::readAdjustmentFile(o.exceptAdj);
    if (!adjustment) throw UsageError(adjustment.message());
    request.method = eeprom::WriteMethod::ExceptAdjustment;
    request.adjustment = std::move(*adjustment);
  }
  SigintStop interrupt;
  Tool tool(o, s);
  camera::ModelRecord record;
  auto range = identifiedRange(tool, s, record);
  if (!range) return kExitCamera;
  request.range = *range;
  // The files as the desktop tool names them once chosen, for the monitor and the log.
  eeprom::echoFileChoice(tool.link().monitor(), request.file);
  if (!o.exceptAdj.empty()) eeprom::echoFileChoice(tool.link().monitor(), o.exceptAdj);
  // The whole file is checked against this camera's range before anything is written, and
  // what was checked is what is written: the file is not read again.
  auto image = eeprom::readImageFile(request.file, request.range);
  if (!image) {
    say(err, std::string(eeprom::writeBackMessage(eeprom::WriteBackResult::FileNotOpened)));
    say(err, image.message());
    return kExitUsage;
  }
  request.image = std::move(*image);
  const bool needsEap = request.method != eeprom::WriteMethod::WriteBack ||
                        eeprom::imageVariantFor(request.file) == eeprom::ImageVariant::Map;
  if (needsEap && tool.afp()) {
    say(err, std::string(eeprom::writeBackMessage(eeprom::WriteBackResult::Refused)));
    say(err, "orva-cli protocol eap switches it");
    return kExitUsage;
  }
  if (tool.prompt().ask("Is it all right ?   ", "Attention", core::Buttons::OkCancel, core::Icon::Question) !=
      core::Answer::Ok) {
    say(err, "nothing was written");
    return kExitCamera;
  }
  if (backup) {
    const int backed =
        reportBackup(backUp(tool, s, record, request.range, *backup, interrupt.token()), request.range, *backup, err);
    if (backed != kExitOk) {
      say(err, "the camera was not written: its backup failed");
      return backed;
    }
    say(err, fmt::format("the camera's EEPROM was saved to {}", backup->string()));
  }

  eeprom::WriteBackOutcome outcome;
  {
    ProgressPrompt prompt(tool.prompt());
    eeprom::WriteBackRun run(tool.link(), tool.eap(), tool.afpChannel(), prompt, nullptr);
    outcome = run.run(request, interrupt.token());
  }
  using eeprom::WriteBackResult;
  const std::string message(eeprom::writeBackMessage(outcome.result));
  switch (outcome.result) {
    case WriteBackResult::Done:
      say(err, fmt::format("wrote {} bytes ({} rows){}{}", outcome.bytesWritten, outcome.rowsWritten,
                      outcome.bytesKept ? fmt::format(", kept {} adjustment bytes", outcome.bytesKept) : "",
                      request.verify ? "; the camera reads back as the file" : ""));
      return kExitOk;
    case WriteBackResult::VerifyFailed: {
      say(err, message);
      say(err, outcome.why);
      constexpr std::size_t kShown = 20;
      for (std::size_t i = 0; i < outcome.differences.size() && i < kShown; ++i) {
        const auto& d = outcome.differences[i];
        err << fmt::format("  {:04X} file {:02X} camera {:02X}\n", d.address, d.file, d.camera);
      }
      if (outcome.differences.size() > kShown) err << "  ...\n";
      return kExitCamera;
    }
    case WriteBackResult::Cancelled:
      say(err, "write cancelled: " + outcome.why);
      return kExitCamera;
    case WriteBackResult::FileNotOpened:
    case WriteBackResult::Refused:
      say(err, message);
      say(err, outcome.why);
      return kExitUsage;
    default:
      say(err, message);
      say(err, outcome.why);
      return kExitCamera;
  }
}

int factoryResetCommand(const Options& o, const shell::Settings& s, std::ostream& err) {
  Tool tool(o, s);
  camera::ModelRecord record;
  auto range = identifiedRange(tool, s, record);
  if (!range) return kExitCamera;
  // The same rule as the desktop tool's menu item: only a camera that takes the command gets it.
  if (!camera::offersFactoryDefault(record)) {
    say(err, fmt::format("{} (model code {:04X}) has no factory default to reset to; nothing was sent",
                         record.name, record.modelCode));
    return kExitUsage;
  }
  if (tool.prompt().ask(eeprom::kFactoryResetQuestion, "Confirmation", core::Buttons::OkCancel, core::Icon::Question) !=
      core::Answer::Ok)
    return kExitCamera;
  eeprom::ChangedAddresses unused([r = *range] { return r; });
  eeprom::Restore restore(tool.link(), tool.eap(), tool.afpChannel(), tool.prompt(), unused);
  eeprom::CameraContext context;
  context.modelCode = record.modelCode;
  context.range = *range;
  context.identify = [&] {
    camera::ModelRecord again;
    camera::IdentificationFlags flags;
    tool.identify(s, again, flags);
  };
  // The camera's answer to the information message is not needed on a terminal.
  switch (restore.factoryReset(context)) {
    case eeprom::FactoryResetResult::Done:
      return kExitOk;
    case eeprom::FactoryResetResult::TimedOut:
      say(err, fmt::format("the camera did not report its factory default done within {} s",
                           std::chrono::duration_cast<std::chrono::seconds>(eeprom::kFactoryResetLimit).count()));
      return kExitCamera;
    case eeprom::FactoryResetResult::Failed:
      break;
  }
  return kExitCamera;
}

// The range a file without a camera is read over: from its first row's address on.
eeprom::Range fileRange(const std::filesystem::path& path) {
  auto text = core::readFile(path);
  if (!text) throw UsageError(text.message());
  for (auto line : eeprom::detail::splitLines(*text))
    if (auto row = eeprom::parseRow(line)) return eeprom::Range{row->address, 0xFFFF, 13, 255};
  throw UsageError(fmt::format("{}: no data row; compare it with the camera instead", path.string()));
}

int diffCommand(const Options& o, const shell::Settings& s, std::ostream& out, std::ostream& err) {
  const std::array<std::string, 2> operands{o.target, o.second};
  const bool withCamera = operands[0] == kCameraOperand || operands[1] == kCameraOperand;
  std::optional<SigintStop> interrupt;
  std::unique_ptr<Tool> tool;
  eeprom::Range range;
  if (withCamera) {
    interrupt.emplace();
    tool = std::make_unique<Tool>(o, s);
    camera::ModelRecord record;
    auto r = identifiedRange(*tool, s, record);
    if (!r) return kExitCamera;
    range = *r;
  } else {
    const auto plain = std::find_if(operands.begin(), operands.end(), [](const std::string& f) {
      return eeprom::imageVariantFor(f) == eeprom::ImageVariant::Plain;
    });
    if (plain == operands.end())
      throw UsageError("MAP files carry no row addresses: compare them with the camera or with a plain image file");
    range = fileRange(*plain);
  }
  std::array<eeprom::Image, 2> images;
  for (std::size_t i = 0; i < 2; ++i) {
    if (operands[i] == kCameraOperand) {
      ProgressPrompt prompt(tool->prompt());
      eeprom::CameraImageReader reader(tool->link(), tool->eap(), tool->afpChannel(), prompt);
      auto read = reader.read(range, 0, eeprom::kBackupCaption, interrupt->token());
      if (read.end == eeprom::CameraImageReader::End::Cancelled) {
        say(err, fmt::format("cancelled after {} of {} rows", read.image.rows(), range.rows()));
        return kExitCamera;
      }
      if (read.end == eeprom::CameraImageReader::End::Failed) {
        say(err, read.why);
        return kExitCamera;
      }
      images[i] = std::move(read.image);
    } else {
      auto image = eeprom::readImageFile(operands[i], range);
      if (!image) throw UsageError(image.message());
      images[i] = std::move(*image);
    }
  }
  // Address by address over both extents; "--" where one side has no row.
  const std::size_t length = std::max(images[0].bytes.size(), images[1].bytes.size());
  std::size_t differing = 0;
  auto cell = [](const eeprom::Image& image, std::size_t i) {
    return i < image.bytes.size() ? fmt::format("{:02X}", image.bytes[i]) : std::string("--");
  };
  for (std::size_t i = 0; i < length; ++i) {
    const std::string a = cell(images[0], i), b = cell(images[1], i);
    if (a == b) continue;
    ++differing;
    out << fmt::format("{:04X} {} {}\n", range.start + i, a, b);
  }
  out.flush();
  if (differing == 0) {
    say(err, fmt::format("no differences in {} bytes", length));
    return kExitOk;
  }
  say(err, fmt::format("{} {}", differing, differing == 1 ? "address differs" : "addresses differ"));
  return kExitCamera;
}

// Which model codes have a factory EEPROM image, and which files were found for them.
int factoryImagesCommand(std::ostream& out, std::ostream& err) {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  const auto search = eeprom::dataSearchPath(ORVA_INSTALL_PREFIX, ec ? std::filesystem::path() : self.parent_path());
  for (const auto& c : eeprom::factoryImageCoverage(search)) {
    std::string codes;
    for (auto code : c.entry->modelCodes)
      if (code != 0) codes += fmt::format("{}{:04X}", codes.empty() ? "" : ",", code);
    out << c.entry->fileName() << '\t' << codes << '\t' << (c.file ? c.file->string() : std::string("not found")) << "\n";
  }
  out.flush();
  std::string folders;
  for (const auto& f : search) folders += (folders.empty() ? "" : ", ") + f.string();
  say(err, fmt::format("factory images are looked for in {}", folders));
  return kExitOk;
}

}  // namespace

std::filesystem::path datedBackupPath(const std::filesystem::path& file, const core::LocalTime& now) {
  std::string stem = file.stem().string();
  for (std::size_t at; (at = stem.find(".MAP")) != std::string::npos;) stem.replace(at, 4, "_MAP");
  const std::string base = fmt::format("{}-backup-{:04}{:02}{:02}-{:02}{:02}{:02}", stem, now.year, now.month, now.day,
                                       now.hour, now.minute, now.second);
  const auto folder = file.parent_path();
  std::error_code ec;
  for (int n = 1;; ++n) {
    auto candidate = folder / (n == 1 ? base + ".mem" : fmt::format("{}-{}.mem", base, n));
    if (!std::filesystem::exists(candidate, ec)) return candidate;
  }
}

int eepromCommand(const std::string& tool, const Options& o, const shell::Settings& s, std::ostream& out,
                  std::ostream& err) {
  if (tool == "backup") return backupCommand(o, s, err);
  if (tool == "write") return writeCommand(o, s, err);
  if (tool == "factory-reset") return factoryResetCommand(o, s, err);
  if (tool == "diff") return diffCommand(o, s, out, err);
  return factoryImagesCommand(out, err);
}

}  // namespace orva::cli
