#pragma once
// The reply frames between the AFP receive thread and the commands that take them.
//
// Whole frames are kept in arrival order, at most kCapacity of them: a camera that floods the
// line pushes out the oldest frame and the store says so, instead of overwriting what a
// command still waits for. Beside the frames it keeps the two slot sets that outlive any one
// receive thread: which slots have completed (with the completion's status) and which slots
// had their acceptance shown, so that their completion is shown too.
//
// Not thread-safe by itself: the AFP channel holds its own mutex around every call.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "link/afp_frames.hpp"

namespace orva::link {

class AfpReplyStore {
 public:
  static constexpr std::size_t kCapacity = 64;
  using Match = std::function<bool(const AfpFrame&)>;

  // Keeps an R, X or Y frame. An R clears its slot's done bit; an X sets it and records its
  // status. False when the store was full and its oldest frame was dropped to make room.
  bool add(AfpFrame frame);
  // A new receive thread starts without frames; the slot sets live on.
  void clearFrames() { frames_.clear(); }
  std::size_t size() const { return frames_.size(); }

  bool contains(const Match& wanted) const;
  // Removes every frame up to and including the first wanted one and returns them in order,
  // the wanted one last. Removes nothing and returns nothing when no frame is wanted.
  std::vector<AfpFrame> takeThrough(const Match& wanted);
  // Removes the R and Y frames (no command waits for them any more); X frames stay.
  std::vector<AfpFrame> takeReplies();
  std::vector<AfpFrame> takeAll();
  // Removes the X frames at the front, up to the first R or Y, which stays. `stopped` says
  // whether such a frame was there.
  std::vector<AfpFrame> takeCompletions(bool& stopped);

  bool done(std::uint32_t slotBit) const { return (done_ & slotBit) != 0; }
  // The status of the latest X frame of the slot.
  int completionStatus(unsigned slotIndex) const { return completion_[slotIndex % 32]; }

  // Whether a frame is shown when it is taken, by the monitor's echo at that time. R and I
  // follow the echo and mark their slot as shown or hidden; X follows its slot's mark (so the
  // completion of a hidden acceptance stays hidden); Y follows the echo.
  bool reveal(const AfpFrame& frame, bool echoShown);

 private:
  std::deque<AfpFrame> frames_;
  std::uint32_t done_ = 0;
  std::uint32_t shown_ = 0;
  std::array<int, 32> completion_{};
};

}  // namespace orva::link
