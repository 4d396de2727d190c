#pragma once
// Block-read mode switched off for a sequence of EAP commands, and put back as it was on
// every way out (return, early return, exception).
//
// Some register areas (the overlay screens from 0x3000) answer only frames sent one
// character at a time, whatever the camera does elsewhere. The guard holds the link's
// command lock for its whole life, so no command of another thread runs in between, with the
// mode off by accident or turning it back on halfway; those commands wait until the guard
// goes. It is therefore made, used and destroyed on one thread, and kept for no longer than
// the sequence: never across a wait for the window thread.
#include <mutex>

#include "link/link.hpp"

namespace orva::link {

class BlockReadOff {
 public:
  explicit BlockReadOff(Link& link) : link_(link), lock_(link.command()), previous_(link.blockReadMode()) {
    link_.setBlockReadMode(0);
  }
  ~BlockReadOff() { link_.setBlockReadMode(previous_); }
  BlockReadOff(const BlockReadOff&) = delete;
  BlockReadOff& operator=(const BlockReadOff&) = delete;

  // The mode that comes back.
  int previous() const { return previous_; }

 private:
  Link& link_;
  std::unique_lock<std::recursive_mutex> lock_;
  int previous_;
};

}  // namespace orva::link
