#include "link/afp_replies.hpp"

#include <algorithm>
#include <iterator>

namespace orva::link {

namespace {

bool isReply(const AfpFrame& f) { return f.kind == AfpFrameKind::R || f.kind == AfpFrameKind::Y; }

std::vector<AfpFrame> moveOut(std::deque<AfpFrame>& frames, std::deque<AfpFrame>::iterator end) {
  std::vector<AfpFrame> out(std::make_move_iterator(frames.begin()), std::make_move_iterator(end));
  frames.erase(frames.begin(), end);
  return out;
}

}  // namespace

bool AfpReplyStore::add(AfpFrame frame) {
  if (frame.kind == AfpFrameKind::R) done_ &= ~frame.slotBit();
  if (frame.kind == AfpFrameKind::X) {
    done_ |= frame.slotBit();
    completion_[frame.slotIndex()] = frame.status();
  }
  const bool room = frames_.size() < kCapacity;
  if (!room) frames_.pop_front();
  frames_.push_back(std::move(frame));
  return room;
}

bool AfpReplyStore::contains(const Match& wanted) const {
  return std::any_of(frames_.begin(), frames_.end(), wanted);
}

std::vector<AfpFrame> AfpReplyStore::takeThrough(const Match& wanted) {
  auto it = std::find_if(frames_.begin(), frames_.end(), wanted);
  if (it == frames_.end()) return {};
  return moveOut(frames_, std::next(it));
}

std::vector<AfpFrame> AfpReplyStore::takeReplies() {
  std::vector<AfpFrame> out;
  std::deque<AfpFrame> kept;
  for (auto& f : frames_) {
    if (isReply(f)) out.push_back(std::move(f));
    else kept.push_back(std::move(f));
  }
  frames_ = std::move(kept);
  return out;
}

std::vector<AfpFrame> AfpReplyStore::takeAll() { return moveOut(frames_, frames_.end()); }

std::vector<AfpFrame> AfpReplyStore::takeCompletions(bool& stopped) {
  auto it = std::find_if(frames_.begin(), frames_.end(), isReply);
  stopped = it != frames_.end();
  return moveOut(frames_, it);
}

bool AfpReplyStore::reveal(const AfpFrame& frame, bool echoShown) {
  switch (frame.kind) {
    case AfpFrameKind::R:
    case AfpFrameKind::I:
      if (echoShown) shown_ |= frame.slotBit();
      else shown_ &= ~frame.slotBit();
      return echoShown;
    case AfpFrameKind::X: return (shown_ & frame.slotBit()) != 0;
    case AfpFrameKind::Y: return echoShown;
  }
  return false;
}

}  // namespace orva::link
