#include "sim/frame_log.hpp"

#include <fmt/format.h>

#include <iterator>

namespace orva::sim {
namespace {

std::string printable(const std::string& bytes) {
  std::string out;
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c < 0x7F && c != '\\')
      out += ch;
    else
      out += fmt::format("\\x{:02X}", c);
  }
  return out;
}

}  // namespace

std::string describeRecord(const FrameRecord& record) {
  if (record.fromCamera) return fmt::format("camera: {}", printable(record.answered));
  const char* lead = record.framed ? (record.continued ? "..." : "") : "typed ";
  return fmt::format("{}{} -> {}{}", lead, printable(record.sent), record.continued ? "..." : "",
                     printable(record.answered));
}

void FrameLog::begin(bool framed, bool continued) {
  closeOpen();
  records_.push_back(FrameRecord{{}, {}, framed, continued, false, false});
  dropOldest();
}

void FrameLog::dropOldest() {
  if (records_.size() > capacity_) {
    records_.pop_front();
    ++first_;
  }
}

void FrameLog::addFromCamera(std::span<const std::uint8_t> sent) {
  FrameRecord record;
  record.answered.assign(sent.begin(), sent.end());
  record.fromCamera = true;
  record.closed = true;
  const auto at = hasOpenRecord() ? std::prev(records_.end()) : records_.end();
  records_.insert(at, std::move(record));
  dropOldest();
}

void FrameLog::add(std::uint8_t heard, std::span<const std::uint8_t> answer, int position, bool frameEnds) {
  const bool open = hasOpenRecord();
  if (position == 1)
    begin(true, false);
  else if (position > 1 && (!open || !records_.back().framed))
    begin(true, true);
  else if (position == 0 && (!open || records_.back().framed))
    begin(false, false);
  FrameRecord& record = records_.back();
  record.sent += static_cast<char>(heard);
  for (auto b : answer) record.answered += static_cast<char>(b);
  if (frameEnds) record.closed = true;
}

void FrameLog::closeOpen() {
  if (!records_.empty()) records_.back().closed = true;
}

std::vector<FrameRecord> FrameLog::since(std::uint64_t from) const {
  const std::uint64_t start = from < first_ ? 0 : from - first_;
  if (start >= records_.size()) return {};
  return {records_.begin() + static_cast<std::ptrdiff_t>(start), records_.end()};
}

}  // namespace orva::sim
