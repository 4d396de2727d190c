// Any bytes as a command file: the parser cuts them into lines without losing or inventing a
// character, and a small file played into a silent camera sends exactly its command lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_check.hpp"
#include "core/clock.hpp"
#include "core/monitor_sink.hpp"
#include "core/prompt.hpp"
#include "eeprom/command_file.hpp"
#include "link/afp.hpp"
#include "link/eap.hpp"
#include "link/testing/scripted_channel.hpp"

using orva::fuzz::check;

namespace {

using orva::eeprom::CommandLineKind;

constexpr std::size_t kSendAtMost = 256;


std::string withoutCarriageReturns(std::string_view s) {
  std::string out;
  for (char c : s)
    if (c != '\r') out += c;
  return out;
}

void checkLines(std::string_view input, const orva::eeprom::CommandFile& lines) {
  const bool hasNul = input.find('\0') != std::string_view::npos;
  std::string joined;
  std::size_t expectedLine = 1;
  for (const auto& line : lines) {
    const std::string_view body = line.body();
    check(body.size() <= orva::eeprom::kCommandFileLineLength);
    check(body.find('\n') == std::string_view::npos);
    check(line.text.find('\0') == std::string::npos);
    const char first = body.empty() ? '\n' : body.front();
    const CommandLineKind kind = first == ':' || first == '/' ? CommandLineKind::Command
                                 : first == 'P'               ? CommandLineKind::Pause
                                                              : CommandLineKind::Comment;
    check(line.kind == kind);
    check(hasNul || line.fileLine == expectedLine);
    if (line.text.size() != body.size()) ++expectedLine;
    joined += line.text;
  }
  // Without NULs (which end a line's text) every character is kept, in order; only the CR of
  // a CR LF goes.
  if (!hasNul) check(withoutCarriageReturns(joined) == withoutCarriageReturns(input));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orva;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const eeprom::CommandFile lines = eeprom::parseCommandFile(input);
  checkLines(input, lines);
  if (size == 0 || size > kSendAtMost) return 0;

  core::FakeClock clock(std::chrono::milliseconds(0));
  core::RecordingMonitorSink monitor;
  link::Link link(clock, monitor);
  auto owned = std::make_unique<link::testing::ScriptedChannel>(clock);
  auto* line = owned.get();
  link.setChannel(std::move(owned));
  link.setProtocol(data[0] & 1 ? link::Protocol::Afp : link::Protocol::Eap);
  link.open();
  link::Eap eap(link);
  link::Afp afp(link);
  core::ScriptedPrompt prompt;
  const eeprom::SendResult r = eeprom::CommandFileSender(link, eap, afp, prompt).send(lines);

  // Nothing goes out but the command lines, in order. A silent camera fails no EAP character;
  // in AFP a typed get frame fails when its reply never comes, and the file stops there.
  std::string commands;
  for (std::size_t i = 0; i < r.linesDone; ++i)
    if (lines[i].kind == CommandLineKind::Command) commands += lines[i].body();
  using Outcome = eeprom::SendResult::Outcome;
  check(r.outcome != Outcome::Cancelled);
  if (r.outcome == Outcome::Done) {
    check(r.linesDone == lines.size() && line->sent == commands);
  } else {
    check(link.protocol() == link::Protocol::Afp && r.linesDone < lines.size());
    const auto& failed = lines[r.linesDone];
    check(failed.kind == CommandLineKind::Command && r.fileLine == failed.fileLine);
    const std::string_view rest(line->sent);
    check(rest.starts_with(commands) && failed.body().starts_with(rest.substr(commands.size())));
  }
  check(!monitor.typedInput());
  return 0;
}
