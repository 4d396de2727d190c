#pragma once
// Characters the operator types into the monitor while the camera speaks AFP.
//
// The camera's answers are read here, character by character (the receive thread is stopped
// first). The typed frame state — none, "S", "G" or "Z" — decides what is read after each
// character: nothing inside a typed frame, the reply when its "T" completes it, a group of
// four characters or a single character otherwise. Runs under the link's command lock.
#include <atomic>
#include <string>
#include <string_view>

#include "link/link.hpp"

namespace orva::link {

class AfpTypedExchange {
 public:
  explicit AfpTypedExchange(Link& link) : link_(link) {}

  // Sends `c` and reads what the camera answers. False after a reported fault.
  bool exchange(char c);
  // The camera lets both protocols be chosen: ":", ";" and "/" get one answer character.
  void setProtocolChoice(bool on) { protocolChoice_ = on; }
  // 0, 'S', 'G' or 'Z'.
  char state() const { return state_; }

 private:
  bool afterSetFrame();
  bool afterGetFrame();
  bool readOne();
  bool readGroup(std::string_view tabbed, std::string& group);
  bool receive(char& c);
  void show(char c, bool tabbed);
  bool fault(FaultKind kind);

  Link& link_;
  char state_ = 0;
  std::atomic<bool> protocolChoice_{false};
};

}  // namespace orva::link
