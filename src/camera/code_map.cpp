#include "camera/code_map.hpp"

#include <algorithm>
#include <array>
#include <optional>

#include "core/monitor_sink.hpp"

namespace orva::camera {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void appendHex(std::string& out, std::uint32_t value, std::size_t digits) {
  for (std::size_t i = digits; i-- > 0;) out += kHex[(value >> (4 * i)) & 0xFu];
}

bool fits(std::uint32_t value, const Field& f) { return f.bits >= 32 || value < (1u << f.bits); }

std::string codeText(std::uint16_t code) {
  std::string out;
  appendHex(out, code, 4);
  return out;
}

// Only what the camera sends: upper-case hex digits.
bool hexDigits(std::string_view text, std::uint32_t& value) {
  value = 0;
  for (char c : text) {
    std::uint32_t d = 0;
    if (c >= '0' && c <= '9') d = static_cast<std::uint32_t>(c - '0');
    else if (c >= 'A' && c <= 'F') d = static_cast<std::uint32_t>(c - 'A' + 10);
    else return false;
    value = value * 16 + d;
  }
  return true;
}

bool sentByCaller(const Field& f) { return f.kind != FieldKind::Value; }

}  // namespace

std::size_t CodeInfo::indexCount() const {
  return static_cast<std::size_t>(std::count_if(fields.begin(), fields.end(), sentByCaller));
}

std::string writePayload(const CodeInfo& info, std::span<const std::uint32_t> fields) {
  if (fields.size() != info.fields.size()) return {};
  std::string out = codeText(info.code);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (!fits(fields[i], info.fields[i])) return {};
    appendHex(out, fields[i], info.fields[i].digits());
  }
  return out;
}

std::string readPayload(const CodeInfo& info, std::span<const std::uint32_t> indexes) {
  if (indexes.size() != info.indexCount()) return {};
  std::string out = codeText(info.code);
  std::size_t next = 0;
  for (const Field& f : info.fields) {
    if (!sentByCaller(f)) {
      out.append(f.digits(), info.readFill);
      continue;
    }
    if (!fits(indexes[next], f)) return {};
    appendHex(out, indexes[next++], f.digits());
  }
  return out;
}

bool parseReply(const CodeInfo& info, std::string_view reply, std::span<const std::uint32_t> indexes,
                std::vector<std::uint32_t>& fields) {
  const auto layout = info.reply();
  std::size_t length = 0;
  for (const Field& f : layout) length += f.digits();
  if (reply.size() != length) return false;
  std::vector<std::uint32_t> values;
  values.reserve(layout.size());
  std::size_t at = 0;
  std::size_t next = 0;
  for (const Field& f : layout) {
    std::uint32_t v = 0;
    if (!hexDigits(reply.substr(at, f.digits()), v)) return false;
    if (f.kind == FieldKind::Index && (next >= indexes.size() || v != indexes[next])) return false;
    if (sentByCaller(f)) ++next;
    values.push_back(v);
    at += f.digits();
  }
  fields = std::move(values);
  return true;
}

bool FunctionCodes::read(const CodeInfo& info, std::vector<std::uint32_t>& fields,
                         std::span<const std::uint32_t> indexes) {
  if (!info.readable()) return false;
  const std::string payload = readPayload(info, indexes);
  if (payload.empty()) return false;
  std::optional<core::EchoModeScope> quiet;
  if (info.flags & kGateway) quiet.emplace(link_.monitor(), core::EchoMode::Hidden);
  std::string reply;
  if (!afp_.get(payload, reply)) return false;
  // Without a camera the frame was only shown: nothing came back to store.
  if (link_.noCameraMode() == link::NoCameraMode::Absent) return true;
  return parseReply(info, reply, indexes, fields);
}

bool FunctionCodes::read(std::uint16_t code, std::vector<std::uint32_t>& fields,
                         std::span<const std::uint32_t> indexes) {
  const CodeInfo* info = findCode(code);
  return info != nullptr && read(*info, fields, indexes);
}

bool FunctionCodes::write(const CodeInfo& info, std::span<const std::uint32_t> fields) {
  if (!info.writable()) return false;
  const std::string payload = writePayload(info, fields);
  if (payload.empty()) return false;
  std::optional<core::EchoModeScope> quiet;
  if (info.flags & kGateway) quiet.emplace(link_.monitor(), core::EchoMode::Hidden);
  return afp_.set(payload, info.waits());
}

bool FunctionCodes::write(std::uint16_t code, std::span<const std::uint32_t> fields) {
  const CodeInfo* info = findCode(code);
  return info != nullptr && write(*info, fields);
}

bool FunctionCodes::call(const CodeInfo& info, int direction, std::vector<std::uint32_t>& fields) {
  const bool reads = (info.flags & kReadAnyDirection) != 0 || direction != 1;
  if (!reads) return write(info, fields);
  if ((info.flags & kReadOnlyDirection2) != 0 && direction != 2) return false;
  if (fields.size() != info.fields.size()) return false;
  std::vector<std::uint32_t> indexes;
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (sentByCaller(info.fields[i])) indexes.push_back(fields[i]);
  return read(info, fields, indexes);
}

}  // namespace orva::camera
