#include "sim/frame_log.hpp"

#include <fmt/format.h>

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
  const char* lead = record.framed ? (record.continued ? "..." : "") : "typed ";
  return fmt::format("{}{} -> {}{}", lead, printable(record.sent), record.continued ? "..." : "",
                     printable(record.answered));
}

void FrameLog::begin(bool framed, bool continued) {
  closeOpen();
  records_.push_back(FrameRecord{{}, {}, framed, continued, false});
  if (records_.size() > capacity_) {
    records_.pop_front();
    ++first_;
  }
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
