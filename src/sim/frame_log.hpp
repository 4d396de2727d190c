#pragma once
// Every frame a virtual camera heard, with what it answered: what tests assert on and what
// orva-camsim --verbose prints.
//
// A record is open while its frame may still grow; it closes when the frame reaches its
// final length, when the next frame or a stray character begins, or when closeOpen() is
// called (a quiet line). A frame that goes on after its record was closed continues in a new
// record marked `continued`. Characters outside any frame (typed by an operator) collect in
// records of their own. What the camera sends of its own accord (completions, indications)
// is a closed record of its own, placed before a record that is still open so that the
// frame in progress stays whole. The log keeps the most recent records only; indices count from the
// first record ever logged.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

namespace orva::sim {

struct FrameRecord {
  std::string sent;        // the characters heard from the tool
  std::string answered;    // the characters sent back (fewer when the camera kept silent)
  bool framed = true;      // false: characters heard outside any frame
  bool continued = false;  // the rest of a frame whose beginning is in the record before
  bool fromCamera = false; // sent by the camera of its own accord; `sent` is empty
  bool closed = false;
};

// One line of text for a record, with unprintable bytes as \xNN: ":R010200 -> :R01025A",
// "S018105T -> R00T", and "camera: X00T" for what the camera sent of its own accord.
std::string describeRecord(const FrameRecord& record);

class FrameLog {
 public:
  static constexpr std::size_t kDefaultCapacity = 10000;

  explicit FrameLog(std::size_t capacity = kDefaultCapacity) : capacity_(capacity == 0 ? 1 : capacity) {}

  // `position` and `frameEnds` as in Reply.
  void add(std::uint8_t heard, std::span<const std::uint8_t> answer, int position, bool frameEnds);
  void addFromCamera(std::span<const std::uint8_t> sent);
  void closeOpen();

  bool hasOpenRecord() const { return !records_.empty() && !records_.back().closed; }
  // Index one past the newest record.
  std::uint64_t end() const { return first_ + records_.size(); }
  // The records from index `from` on (from the oldest one kept, if `from` is older).
  std::vector<FrameRecord> since(std::uint64_t from) const;
  std::vector<FrameRecord> all() const { return since(0); }

 private:
  void begin(bool framed, bool continued);
  void dropOldest();

  std::size_t capacity_;
  std::deque<FrameRecord> records_;
  std::uint64_t first_ = 0;
};

}  // namespace orva::sim
