// Any bytes from the camera, with the commands' takes in between: no crash, the frame in
// progress and the reply store stay bounded, every frame that comes out is whole, and the
// slot sets follow the frames.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_check.hpp"
#include "link/afp_frames.hpp"
#include "link/afp_replies.hpp"

using orva::fuzz::check;

namespace {

using orva::link::AfpFrame;
using orva::link::AfpFrameKind;
using orva::link::AfpReplyStore;


void checkWhole(const AfpFrame& f) {
  check(f.text.size() >= 2 && f.text.size() <= orva::link::afp::kMaxFrameLength);
  check(f.text.front() == static_cast<char>(f.kind) && f.text.back() == 'T');
  check(std::popcount(f.slotBit()) == 1);
  check(f.code().size() <= 4 && f.value().size() < f.text.size());
}

// Bytes with the top bit set (invalid on the line, so the receiver would stop there) also
// pick what a command takes from the store next.
void take(AfpReplyStore& store, std::uint8_t op) {
  const auto isR = [](const AfpFrame& f) { return f.kind == AfpFrameKind::R; };
  const auto isData = [](const AfpFrame& f) { return f.kind == AfpFrameKind::Y && f.code() == "0183"; };
  const std::uint32_t bit = orva::link::afp::slotBit(static_cast<char>('0' + (op >> 3 & 0x7)));
  const auto isDone = [bit](const AfpFrame& f) { return f.kind == AfpFrameKind::X && f.slotBit() == bit; };
  const std::size_t before = store.size();
  std::vector<AfpFrame> taken;
  switch (op & 0x7) {
    case 0: taken = store.takeThrough(isR); check(taken.empty() || isR(taken.back())); break;
    case 1: taken = store.takeThrough(isData); check(taken.empty() || isData(taken.back())); break;
    case 2: taken = store.takeThrough(isDone); check(taken.empty() || isDone(taken.back())); break;
    case 3:
      taken = store.takeReplies();
      for (const auto& f : taken) check(f.kind == AfpFrameKind::R || f.kind == AfpFrameKind::Y);
      break;
    case 4: {
      bool stopped = false;
      taken = store.takeCompletions(stopped);
      for (const auto& f : taken) check(f.kind == AfpFrameKind::X);
      check(stopped == (store.size() > 0));
      break;
    }
    case 5: taken = store.takeAll(); check(store.size() == 0); break;
    case 6: store.clearFrames(); return;
    default: return;
  }
  check(store.size() + taken.size() == before);
  for (const auto& f : taken) store.reveal(f, (op & 0x40) != 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orva::link::AfpFrameAssembler assembler;
  AfpReplyStore store;
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t b = data[i];
    orva::link::AfpFeed fed = assembler.feed(b);
    check(assembler.pending() < orva::link::afp::kMaxFrameLength);
    if (fed.frame) {
      check(fed.fault == orva::link::AfpByteFault::None);
      AfpFrame f = *fed.frame;
      checkWhole(f);
      if (f.kind == AfpFrameKind::I) {
        store.reveal(f, (b & 1) != 0);
      } else {
        const std::uint32_t bit = f.slotBit();
        const AfpFrameKind kind = f.kind;
        const int status = f.status();
        const unsigned slot = f.slotIndex();
        store.add(std::move(f));
        if (kind == AfpFrameKind::R) check(!store.done(bit));
        if (kind == AfpFrameKind::X) check(store.done(bit) && store.completionStatus(slot) == status);
      }
    }
    check(store.size() <= AfpReplyStore::kCapacity);
    if (b & 0x80) take(store, b);
  }
  return 0;
}
